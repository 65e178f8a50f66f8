#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/KeyParams.h"
#include "Controls/EditingKeys.h"
#include "Controls/TextBox.h"
#include "Controls/TextBoxTestSkin.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ZV;

constexpr int kLongLength = 1000;
constexpr int kShortLength = 10;

// A character typed at the end of the text and taken back with Backspace: two changes of the text, each measured,
// laid out, told to the subscribers and its caret placed and scrolled into view.
void TypeAndTakeBack(LTextBox& box, Testing::ControlHarness& harness)
{
    box.OnKey(LKeyParam::Create(KeyCode(static_cast<std::uint16_t>(L'x'), 0), true));
    box.OnKey(LKeyParam::Create(KeyCode(kKeyBackspace, true, 0, 0), true));
    // The harness's renderer logs every measurement; the log would grow without end.
    harness.Renderer().ClearCalls();
}

// A keystroke and its undoing in a text box of 1,000 characters, side by side with the same in a box of 10: the
// ratio is what the text's length costs a keystroke.
void KeystrokeInALongTextAgainstAShortOne(benchmark::State& state)
{
    Testing::ControlHarness harness;
    harness.Register<LTextBox>(L"Framework.TextBox");
    Testing::SkinDocumentBuilder skin;
    Testing::AddTextBoxLooks(skin);
    const char* const place = R"(XSizeAbs="200" YSizeAbs="24")";
    skin.controls = Testing::ControlWearing("Test.Control", "main", "plain", "",
                                            Testing::TextBoxControl("long", place) +
                                                Testing::TextBoxControl("short", place));
    harness.LoadSkinDocument(skin.Document());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    auto& longBox = dynamic_cast<LTextBox&>(*main->FindChildByName(L"long"));
    auto& shortBox = dynamic_cast<LTextBox&>(*main->FindChildByName(L"short"));
    (void)longBox.SetText(WideString(std::wstring(kLongLength, L'a').c_str()));
    (void)shortBox.SetText(WideString(std::wstring(kShortLength, L'a').c_str()));
    (void)longBox.SetCaretPosition(kLongLength, false);
    (void)shortBox.SetCaretPosition(kShortLength, false);
    bench::RunSideBySide(
        state, [&] { TypeAndTakeBack(longBox, harness); }, [&] { TypeAndTakeBack(shortBox, harness); });
    state.counters["long_chars"] = longBox.GetTextLength();
    state.counters["short_chars"] = shortBox.GetTextLength();
    harness.Window().SetRootControl(nullptr);
}
BENCHMARK(KeystrokeInALongTextAgainstAShortOne);

}  // namespace
