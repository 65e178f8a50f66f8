// The update processor's switch finder, over any command line and any switch name: it answers the same every time,
// it finds a switch only at the start of one of the line's arguments, a word put before the line changes nothing,
// neither does writing the line's arguments anew by the quoting rule, and the letter case of the name does not count.
#include "Engine/UpdateProcessor.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "Utilities/Storage/CommandLineArguments.h"

#include <algorithm>
#include <string>

namespace {

using ZV::WideString;

struct Answer {
    bool found;
    WideString value;
    bool operator==(const Answer&) const = default;
};

Answer Find(const WideString& line, const WideString& name)
{
    Answer answer{false, WideString()};
    answer.found = LUpdateProcessor::FindSwitch(line, name, answer.value);
    return answer;
}

std::wstring_view View(const WideString& text)
{
    return {text.GetData(), text.GetLength()};
}

bool IsAscii(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t unit) { return unit < 0x80; });
}

std::wstring InAsciiCase(std::wstring text, bool upper)
{
    for (wchar_t& unit : text) {
        if (upper && unit >= L'a' && unit <= L'z') {
            unit = static_cast<wchar_t>(unit - L'a' + L'A');
        } else if (!upper && unit >= L'A' && unit <= L'Z') {
            unit = static_cast<wchar_t>(unit - L'A' + L'a');
        }
    }
    return text;
}

}  // namespace

// The input: the switch's name, a line feed, the command line (FuzzInput.h: WideTextOf).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZV::Fuzz::FuzzInput input(data, size);
    const std::wstring nameText = ZV::Fuzz::WideTextOf(input.TakeUntil('\n'));
    const WideString name(nameText.c_str());
    const WideString line(ZV::Fuzz::WideTextOf(input.TakeRest()).c_str());

    const Answer answer = Find(line, name);
    ZV_FUZZ_CHECK(Find(line, name) == answer);
    ZV::CommandLineSplitter<wchar_t> splitter(View(line));
    WideString argument;
    WideString written;
    bool beginsAnArgument = false;
    while (splitter.Next(argument)) {
        beginsAnArgument = beginsAnArgument || ZV::BeginsWithSwitchName(View(argument), View(name));
        ZV::AppendCommandLineArgument(written, View(argument));
    }
    ZV_FUZZ_CHECK(!answer.found || beginsAnArgument);
    ZV_FUZZ_CHECK(answer.found || answer.value.IsEmpty());
    ZV_FUZZ_CHECK(answer.value.IsEmpty() || name.GetData()[name.GetLength() - 1] == L'=');
    ZV_FUZZ_CHECK(Find(written, name) == answer);
    ZV_FUZZ_CHECK(Find(WideString(L"word ") + line, name) == answer);
    if (IsAscii(nameText)) {
        const Answer upper = Find(line, WideString(InAsciiCase(nameText, true).c_str()));
        ZV_FUZZ_CHECK(Find(line, WideString(InAsciiCase(nameText, false).c_str())) == upper);
        ZV_FUZZ_CHECK(upper == answer);
    }
    return 0;
}
