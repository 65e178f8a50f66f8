#include "App/CommandLine.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/UTFConversion.h"

#include <cstdio>
#include <vector>

namespace {

constexpr char kQuote = '"';

bool IsUTF8(const std::string& text)
{
    std::vector<wchar_t> converted(text.size() + 1);
    const auto* source = reinterpret_cast<const unsigned char*>(text.data());
    wchar_t* target = converted.data();
    return ZV::UTF::ConvertUTF8ToUTF16(source, source + text.size(), target, target + converted.size()) ==
           ZV::UTF::ConversionResult::ok;
}

// The argument as a terminal shows it, with every byte outside printable ASCII written as \xNN.
std::string Escaped(const std::string& argument)
{
    std::string shown;
    for (const char character : argument) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += character;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        }
    }
    return shown;
}

std::string Enclosed(const std::string& argument)
{
    const std::size_t valueStart = argument.starts_with('-') ? argument.find('=') : std::string::npos;
    // Bare, an empty value would be followed by the blank before the next argument, which tells the switch finder
    // that the switch is not there.
    if (valueStart != std::string::npos && valueStart + 1 == argument.size()) {
        return argument + kQuote + kQuote;
    }
    if (argument.find(' ') == std::string::npos || argument.starts_with(kQuote)) {
        return argument;
    }
    if (valueStart == std::string::npos) {
        return kQuote + argument + kQuote;
    }
    if (valueStart + 1 < argument.size() && argument[valueStart + 1] == kQuote) {
        return argument;
    }
    return argument.substr(0, valueStart + 1) + kQuote + argument.substr(valueStart + 1) + kQuote;
}

}  // namespace

bool JoinCommandLine(int argumentCount, const char* const* arguments, ZV::WideString& commandLine,
                     std::string& refusal)
{
    std::string line;
    for (int index = 1; index < argumentCount; ++index) {
        const std::string argument = arguments[index];
        if (!IsUTF8(argument)) {
            refusal = "Argument " + std::to_string(index) + " is not UTF-8 text, so it cannot name a file: " +
                      Escaped(argument);
            return false;
        }
        if (index > 1) {
            line += ' ';
        }
        line += Enclosed(argument);
    }
    ZV_THROW_IF_FAILED(commandLine.AssignFromUTF8(line.c_str(), static_cast<int>(line.size())));
    return true;
}
