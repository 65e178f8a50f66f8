#include "SideBySide.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/ComboBox.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/ListBox.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ZV;

constexpr int kManyItems = 20000;
constexpr int kFewItems = 2000;

// Two combos 100 x 20 near the top of a window 400 x 311, "many" and "few", whose lists the skin gives no maximum
// height: open, a list has the room below its combo, 19 rows of 14 pixels.
void LoadSkin(Testing::ControlHarness& harness)
{
    (void)RegisterFrameworkControlClasses(harness.Factory());
    const std::string row = Testing::SubControl("Framework.ListBoxItem", "templateItem",
                                                R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    const auto combo = [&row](const std::string& name, int x) {
        return Testing::SubControl(
            "Framework.ComboBox", name,
            "XPositionAbs=\"" + std::to_string(x) + R"(" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20")",
            Testing::SubControl("Framework.ListBox", "listBox",
                                R"(ClipToParent="False" Z_Order="100" XSizeAbs="100" YSizeAbs="14")", row));
    };
    harness.LoadSkin(
        Testing::SubControl("Test.Control", "main", R"(XSizeAbs="400" YSizeAbs="311")",
                            combo("many", 20) + combo("few", 200)));
}

// Empties the open combo and adds that many items to it, one by one, as a program filling it does.
void Refill(LComboBox& combo, int items, Testing::ControlHarness& harness)
{
    (void)combo.SetItemCount(0);
    for (int item = 0; item < items; ++item) {
        (void)combo.AddItem(L"Item");
    }
    // The harness's renderer logs every measurement; the log would grow without end.
    harness.Renderer().ClearCalls();
}

// Adding 20,000 items to an open combo whose list has no maximum height, side by side with adding 2,000 to another:
// near 10 when the cost grows with the items alone, as it must, and not with the rows the list shows for them.
void AddingTwentyThousandItemsToAnOpenComboAgainstTwoThousand(benchmark::State& state)
{
    Testing::ControlHarness harness;
    LoadSkin(harness);
    harness.Window().SetClientArea({0, 0, 400, 311});
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    auto& many = dynamic_cast<LComboBox&>(*main->FindChildByName(L"many"));
    auto& few = dynamic_cast<LComboBox&>(*main->FindChildByName(L"few"));
    (void)many.ShowDropDown(true);
    (void)few.ShowDropDown(true);
    bench::RunRoundsSideBySide(
        state, 1, [&] { Refill(many, kManyItems, harness); }, [&] { Refill(few, kFewItems, harness); });
    state.counters["items"] = many.GetListBox()->GetRowCount();
    state.counters["row_controls"] = many.GetListBox()->GetRowControlCount();
    state.counters["list_height"] = many.GetListBox()->GetSize().y;
    harness.Window().SetRootControl(nullptr);
}
BENCHMARK(AddingTwentyThousandItemsToAnOpenComboAgainstTwoThousand)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
