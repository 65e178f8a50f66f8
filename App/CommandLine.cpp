#include "App/CommandLine.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/CommandLineArguments.h"
#include "Utilities/Storage/UTFConversion.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

bool IsUTF8(std::string_view text)
{
    std::vector<wchar_t> converted(text.size() + 1);
    const auto* source = reinterpret_cast<const unsigned char*>(text.data());
    wchar_t* target = converted.data();
    return ZV::UTF::ConvertUTF8ToUTF16(source, source + text.size(), target, target + converted.size()) ==
           ZV::UTF::ConversionResult::ok;
}

// The argument as a terminal shows it, with every byte outside printable ASCII written as \xNN.
std::string Escaped(std::string_view argument)
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

}  // namespace

bool JoinCommandLine(int argumentCount, const char* const* arguments, ZV::WideString& commandLine,
                     std::string& refusal)
{
    ZV::NarrowString line;
    for (int index = 1; index < argumentCount; ++index) {
        const std::string_view argument = arguments[index];
        if (!IsUTF8(argument)) {
            refusal = "Argument " + std::to_string(index) + " is not UTF-8 text, so it cannot name a file: " +
                      Escaped(argument);
            return false;
        }
        ZV::AppendCommandLineArgument(line, argument);
    }
    ZV_THROW_IF_FAILED(commandLine.AssignFromUTF8(line.GetData(), static_cast<int>(line.GetLength())));
    return true;
}
