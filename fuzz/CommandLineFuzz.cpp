// The program's command line, joined from its arguments: it is refused exactly when an argument is not UTF-8 text,
// and once joined, the switch finder finds every switch argument with its value as it was given.
#include "App/CommandLine.h"
#include "Engine/UpdateProcessor.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "Utf8Reference.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using ZV::WideString;

constexpr std::size_t kMaxArguments = 32;

// A switch argument whose name the finder can tell apart: "-NAME" or "-NAME=value", NAME of ASCII letters, digits
// and '_', the value without a double quote (the line has no way to hold one inside quotes).
struct SwitchArgument {
    std::string key;  // "-NAME" or "-NAME="
    std::string value;
};

std::optional<SwitchArgument> SwitchOf(const std::string& argument)
{
    if (argument.size() < 2 || argument[0] != '-') {
        return std::nullopt;
    }
    const std::size_t equals = argument.find('=');
    const std::size_t nameEnd = std::min(equals, argument.size());
    const bool plainName = nameEnd > 1 && std::all_of(argument.begin() + 1, argument.begin() + nameEnd, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
    if (!plainName) {
        return std::nullopt;
    }
    if (equals == std::string::npos) {
        return SwitchArgument{argument, ""};
    }
    std::string value = argument.substr(equals + 1);
    if (value.find('"') != std::string::npos) {
        return std::nullopt;
    }
    return SwitchArgument{argument.substr(0, equals + 1), value};
}

WideString Wide(const std::string& utf8)
{
    WideString text;
    ZV_FUZZ_CHECK(text.AssignFromUTF8(utf8.c_str(), -1) == ZV::ZV_S_OK);
    return text;
}

}  // namespace

// The input: the arguments, each ended by a NUL byte (FuzzInput.h).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZV::Fuzz::FuzzInput input(data, size);
    std::vector<std::string> arguments;
    while (!input.IsEmpty() && arguments.size() < kMaxArguments) {
        arguments.push_back(input.TakeUntil(0));
    }
    std::vector<const char*> argumentPointers{"FirmwareUpdater"};
    std::size_t firstNotText = 0;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        argumentPointers.push_back(arguments[index].c_str());
        if (firstNotText == 0 && !ZV::Fuzz::ReadUtf8(arguments[index]).IsWhole(arguments[index].size())) {
            firstNotText = index + 1;
        }
    }

    WideString line;
    std::string refusal;
    const bool joined =
        JoinCommandLine(static_cast<int>(argumentPointers.size()), argumentPointers.data(), line, refusal);
    ZV_FUZZ_CHECK(joined == (firstNotText == 0));
    if (!joined) {
        ZV_FUZZ_CHECK(refusal.starts_with("Argument " + std::to_string(firstNotText) + " is not UTF-8 text"));
        return 0;
    }

    WideString earlier;
    for (const std::string& argument : arguments) {
        const std::optional<SwitchArgument> switchArgument = SwitchOf(argument);
        // Only the first occurrence of a name counts, wherever it stands.
        if (switchArgument && earlier.ToUpper().Find(Wide(switchArgument->key).ToUpper()) < 0) {
            WideString value;
            ZV_FUZZ_CHECK(LUpdateProcessor::FindSwitch(line, Wide(switchArgument->key), value));
            ZV_FUZZ_CHECK(value == Wide(switchArgument->value));
        }
        earlier += Wide(argument) + WideString(L" ");
    }
    return 0;
}
