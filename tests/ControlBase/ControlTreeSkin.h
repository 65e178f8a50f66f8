#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/PaintedControl.h"

#include <string>

namespace ZV::Testing {

inline std::string Painted(const std::string& name, const std::string& attributes, const std::string& children = "",
                           std::initializer_list<std::pair<std::string, std::string>> createParams = {})
{
    return SubControl("Test.Painted", name, attributes, children, createParams);
}

// A window of 300 x 200 whose tree has three levels, with what drawing and hit testing must tell apart:
//
// main (the whole window)
//   panel (10,10 200x120): two looks of weights 0.25 and 0.75, their client areas 2 and 4 pixels in
//     a (5,5 40x20) and b (30,5 40x20): the same z-order; b overlaps a and lies above it
//     holed (100,5 40x40): transparent over (10,10 20x20) of it
//     dockedX (0,30 60x20): docked across, it stays put while the panel's content scrolls sideways
//     dockedBoth (140,80 50x30): docked on both axes
//     popup (170,100 60x50): reaches outside the panel and over its siblings, z-order 5
//       item (5,5 20x20): clips to the popup, so it is hit where the popup is
//   hiddenParent (220,10 50x50): hidden, with a grandchild that would reach outside it
//     lostPopup (0,0 20x20)
//   sibling (215,100 60x60): z-order 0 but drawn before the popup, which lies above it
//     deep (5,5 20x20)
inline std::string ControlTreeSkin()
{
    return Painted(
        "main", "",
        Painted("panel", R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="200" YSizeAbs="120" LayoutOrder="1")",
                Painted("a", R"(XPositionAbs="5" YPositionAbs="5" XSizeAbs="40" YSizeAbs="20" Z_Order="1")") +
                    Painted("b", R"(XPositionAbs="30" YPositionAbs="5" XSizeAbs="40" YSizeAbs="20" Z_Order="1")") +
                    Painted("holed", R"(XPositionAbs="100" YPositionAbs="5" XSizeAbs="40" YSizeAbs="40")", "",
                            {{"HOLE", "10 10 20 20"}}) +
                    Painted("dockedX",
                            R"(XIsDocked="True" YPositionAbs="30" XSizeAbs="60" YSizeAbs="20")") +
                    Painted("dockedBoth", R"(XIsDocked="True" YIsDocked="True" XPositionAbs="140" )"
                                          R"(YPositionAbs="80" XSizeAbs="50" YSizeAbs="30")") +
                    Painted("popup", R"(ClipToParent="False" Z_Order="5" XPositionAbs="170" YPositionAbs="100" )"
                                     R"(XSizeAbs="60" YSizeAbs="50")",
                            Painted("item", R"(XPositionAbs="5" YPositionAbs="5" XSizeAbs="20" YSizeAbs="20")")),
                {{"LOOKS", "0.25 2 2 2 2;0.75 4 4 4 4"}}) +
            Painted("hiddenParent",
                    R"(IsVisible="False" XPositionAbs="220" YPositionAbs="10" XSizeAbs="50" YSizeAbs="50" )"
                    R"(LayoutOrder="2")",
                    Painted("lostPopup", R"(ClipToParent="False" XSizeAbs="20" YSizeAbs="20")")) +
            Painted("sibling", R"(XPositionAbs="215" YPositionAbs="100" XSizeAbs="60" YSizeAbs="60" LayoutOrder="3")",
                    Painted("deep", R"(XPositionAbs="5" YPositionAbs="5" XSizeAbs="20" YSizeAbs="20")")));
}

// The harness's window at 300 x 200 with the tree above as its root.
inline RCPtr<LControl> CreateControlTree(ControlHarness& harness)
{
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(ControlTreeSkin());
    harness.Window().SetClientArea({0, 0, 300, 200});
    return harness.CreateRoot(L"main");
}

}  // namespace ZV::Testing
