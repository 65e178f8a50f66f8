// The program's command line, joined from its arguments: it is refused exactly when an argument is not UTF-8 text,
// in one line of UTF-8 text without a control character whatever the argument holds; once joined, it splits back into
// exactly those arguments, and the switch finder finds a switch only where an argument begins with it, the first such
// argument, with the value that argument holds.
#include "App/CommandLine.h"
#include "Engine/UpdateProcessor.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "Utf8Reference.h"
#include "Utilities/Storage/CommandLineArguments.h"

#include <set>
#include <string>
#include <vector>

namespace {

using ZV::WideString;

constexpr std::size_t kMaxArguments = 32;
// Each name costs a search of the whole line.
constexpr std::size_t kMaxNames = 64;

bool IsNameCharacter(wchar_t character)
{
    return (character >= L'A' && character <= L'Z') || (character >= L'a' && character <= L'z') ||
           (character >= L'0' && character <= L'9') || character == L'_';
}

wchar_t AsciiUpper(wchar_t character)
{
    return character >= L'a' && character <= L'z' ? static_cast<wchar_t>(character - L'a' + L'A') : character;
}

bool BeginsWithNoCase(const std::wstring& text, const std::wstring& start)
{
    if (text.size() < start.size()) {
        return false;
    }
    for (std::size_t index = 0; index < start.size(); ++index) {
        if (AsciiUpper(text[index]) != AsciiUpper(start[index])) {
            return false;
        }
    }
    return true;
}

// Every "-NAME" that stands anywhere in an argument, NAME of ASCII letters, digits and '_', and "-NAME=" where an
// "=" follows it: inside a path or a quoted text as well as at an argument's start.
std::set<std::wstring> SwitchNamesIn(const std::vector<std::wstring>& arguments)
{
    std::set<std::wstring> names;
    for (const std::wstring& argument : arguments) {
        for (std::size_t start = argument.find(L'-'); start != std::wstring::npos && names.size() < kMaxNames;
             start = argument.find(L'-', start + 1)) {
            std::size_t end = start + 1;
            while (end < argument.size() && IsNameCharacter(argument[end])) {
                ++end;
            }
            if (end == start + 1) {
                continue;
            }
            names.insert(argument.substr(start, end - start));
            if (end < argument.size() && argument[end] == L'=') {
                names.insert(argument.substr(start, end + 1 - start));
            }
        }
    }
    return names;
}

struct Answer {
    bool found = false;
    std::wstring value;
    bool operator==(const Answer&) const = default;
};

// The first argument that begins with the name, and, for a name without "=", is no longer than it; its value is the
// rest, without the double quotes that enclose it.
Answer Expected(const std::vector<std::wstring>& arguments, const std::wstring& name)
{
    const bool takesValue = name.back() == L'=';
    for (const std::wstring& argument : arguments) {
        if (!BeginsWithNoCase(argument, name) || (!takesValue && argument.size() != name.size())) {
            continue;
        }
        std::wstring value = argument.substr(name.size());
        if (!value.empty() && value.front() == L'"') {
            value.erase(0, 1);
            if (!value.empty() && value.back() == L'"') {
                value.pop_back();
            }
        }
        return Answer{true, value};
    }
    return Answer{};
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
    std::vector<std::wstring> wideArguments;
    std::size_t firstNotText = 0;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        argumentPointers.push_back(arguments[index].c_str());
        const ZV::Fuzz::Utf8Reading reading = ZV::Fuzz::ReadUtf8(arguments[index]);
        wideArguments.push_back(reading.units);
        if (firstNotText == 0 && !reading.IsWhole(arguments[index].size())) {
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
        ZV_FUZZ_CHECK(ZV::Fuzz::ReadUtf8(refusal).IsWhole(refusal.size()));
        for (std::size_t index = 0; index < refusal.size(); ++index) {
            const auto byte = static_cast<unsigned char>(refusal[index]);
            const bool c1 = byte == 0xC2 && index + 1 < refusal.size() &&
                            static_cast<unsigned char>(refusal[index + 1]) < 0xA0;
            ZV_FUZZ_CHECK(byte >= 0x20 && byte != 0x7F && !c1);
        }
        return 0;
    }

    ZV::CommandLineSplitter<wchar_t> splitter(std::wstring_view(line.GetData(), line.GetLength()));
    WideString argument;
    std::size_t count = 0;
    while (splitter.Next(argument)) {
        ZV_FUZZ_CHECK(count < wideArguments.size());
        ZV_FUZZ_CHECK(std::wstring(argument.GetData(), argument.GetLength()) == wideArguments[count]);
        ++count;
    }
    ZV_FUZZ_CHECK(count == wideArguments.size());

    for (const std::wstring& name : SwitchNamesIn(wideArguments)) {
        Answer answer;
        WideString value;
        answer.found = LUpdateProcessor::FindSwitch(line, WideString(name.c_str()), value);
        answer.value.assign(value.GetData(), value.GetLength());
        ZV_FUZZ_CHECK(answer == Expected(wideArguments, name));
    }
    return 0;
}
