#include "App/CommandLine.h"

#include "ObjectBase/Exception.h"
#include "Platform/StandardError.h"
#include "Utilities/Storage/CommandLineArguments.h"
#include "Utilities/Storage/UTFConversion.h"

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

}  // namespace

bool JoinCommandLine(int argumentCount, const char* const* arguments, ZV::WideString& commandLine,
                     std::string& refusal)
{
    ZV::NarrowString line;
    for (int index = 1; index < argumentCount; ++index) {
        const std::string_view argument = arguments[index];
        if (!IsUTF8(argument)) {
            refusal = "Argument " + std::to_string(index) + " is not UTF-8 text, so it cannot name a file: " +
                      ZV::Platform::EscapeForLine(argument);
            return false;
        }
        ZV::AppendCommandLineArgument(line, argument);
    }
    ZV_THROW_IF_FAILED(commandLine.AssignFromUTF8(line.GetData(), static_cast<int>(line.GetLength())));
    return true;
}
