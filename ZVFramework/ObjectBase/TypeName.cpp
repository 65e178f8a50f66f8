#include "ObjectBase/TypeName.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace ZV {

namespace {

bool StartsWithWord(std::string_view text, std::string_view word)
{
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || !(std::isalnum(static_cast<unsigned char>(text[word.size()])) ||
                                             text[word.size()] == '_'));
}

bool NamesBuiltinOrValue(std::string_view argument)
{
    if (argument.empty()) {
        return true;
    }
    const char first = argument.front();
    if (std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '(') {
        return true;
    }
    static constexpr std::string_view builtins[] = {"bool",   "char",  "signed",  "unsigned", "short",   "int",
                                                    "long",   "float", "double",  "wchar_t",  "char8_t", "char16_t",
                                                    "char32_t", "void", "true",   "false",    "std::nullptr_t"};
    for (std::string_view builtin : builtins) {
        if (StartsWithWord(argument, builtin)) {
            return true;
        }
    }
    return false;
}

// Drops the u, l and ul suffixes that the demangler puts behind integer arguments.
std::string_view WithoutIntegerSuffix(std::string_view argument)
{
    if (argument.empty() || !(std::isdigit(static_cast<unsigned char>(argument.front())) || argument.front() == '-')) {
        return argument;
    }
    while (!argument.empty() && (argument.back() == 'u' || argument.back() == 'l')) {
        argument.remove_suffix(1);
    }
    return argument;
}

}  // namespace

std::string JoinTemplateName(const std::string& templateName, const std::string& arguments)
{
    std::string name = templateName + "<" + arguments;
    if (!arguments.empty() && arguments.back() == '>') {
        name += ' ';
    }
    return name + ">";
}

std::string MsvcStyleTemplateArguments(const std::string& demangledName)
{
    std::string result;
    bool atArgumentStart = false;
    std::size_t position = 0;
    while (position < demangledName.size()) {
        const char c = demangledName[position];
        if (c == '<' || c == ',') {
            result += c;
            position = demangledName.find_first_not_of(' ', position + 1);
            atArgumentStart = true;
        } else if (c == '>') {
            while (!result.empty() && result.back() == ' ') {
                result.pop_back();
            }
            result += result.back() == '>' ? " >" : ">";
            ++position;
        } else if (atArgumentStart) {
            const std::size_t end = std::min(demangledName.find_first_of("<,>", position), demangledName.size());
            std::string_view argument(demangledName.data() + position, end - position);
            while (!argument.empty() && argument.back() == ' ') {
                argument.remove_suffix(1);
            }
            if (!NamesBuiltinOrValue(argument)) {
                result += "class ";
            }
            result += WithoutIntegerSuffix(argument);
            position = end;
            atArgumentStart = false;
        } else {
            result += c;
            ++position;
        }
    }
    return result;
}

std::string RuntimeClassName(const std::type_info& type)
{
    return "class " + MsvcStyleTemplateArguments(Platform::DemangledTypeName(type));
}

}  // namespace ZV
