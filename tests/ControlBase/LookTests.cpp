#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Look.h"
#include "Renderer/Font.h"
#include "TestSupport.h"
#include "Utilities/Graphics/BitmapData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LRecordingRenderer;
using Testing::ThrowsText;

RCPtr<LColorizer> Colorizer(std::uint32_t argb, std::int32_t type = LColorizer::kSolidFill)
{
    LColor color;
    color.SetFromARGB(argb);
    return RCPtr<LColorizer>(new LColorizer(type, color, LColor(0, 0, 0, 1)));
}

RCPtr<LVisualPartDescriptor> ColourPart(std::uint32_t argb, float width, float height)
{
    return RCPtr<LVisualPartDescriptor>(new LVisualPartDescriptor(L"part", ImageSource(), kResizeStretch,
                                                                  Colorizer(argb), PointT<float>(width, height), 1.0f,
                                                                  ImageSource()));
}

// Offsets from the edges that the flags name, and a width and height that override the part's own when above 0.
DockingRecord Dock(std::uint32_t flags, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t width = 0, std::int32_t height = 0)
{
    DockingRecord docking;
    docking.dockFlags = flags;
    docking.offsetLeft = left;
    docking.offsetTop = top;
    docking.offsetRight = right;
    docking.offsetBottom = bottom;
    docking.hasWidth = width > 0;
    docking.width = width;
    docking.hasHeight = height > 0;
    docking.height = height;
    return docking;
}

RCPtr<LDockedPart> Docked(const RCPtr<LVisualPartDescriptor>& part, const DockingRecord& docking)
{
    return RCPtr<LDockedPart>(new LDockedPart(part, docking));
}

// A framed look: a client part inside a margin, three 6 x 6 corners, a 10 x 8 part in the middle, an edge along the
// top between the corners, and a text box 10 % in from the sides and 5 pixels from top and bottom.
RCPtr<LLookDescriptor> FramedLook()
{
    RCPtr<LLookDescriptor> look(new LLookDescriptor(L"framed"));
    EXPECT_EQ(look->SetClientPart(Docked(ColourPart(0xFF0000DD, 1, 1), Dock(kDockAllEdges, 4, 3, -4, -3))), 0);
    look->AddNonClientPart(Docked(ColourPart(0xFFAA0000, 6, 6), Dock(kDockLeft | kDockTop, 0, 0, 0, 0)));
    look->AddNonClientPart(Docked(ColourPart(0xFFBB0000, 6, 6), Dock(kDockRight | kDockTop, 0, 0, 0, 0)));
    look->AddNonClientPart(Docked(ColourPart(0xFFCC0000, 6, 6), Dock(kDockRight | kDockBottom, 0, 0, 0, 0)));
    look->AddNonClientPart(Docked(ColourPart(0xFFDD0000, 10, 8), Dock(0, 0, 0, 0, 0)));
    look->AddNonClientPart(
        Docked(ColourPart(0xFF00BB00, 1, 1), Dock(kDockLeft | kDockRight | kDockTop, 6, 0, -6, 0, 0, 3)));
    TextProperties text;
    text.leftRel = 0.1f;
    text.leftAbs = 2;
    text.rightRel = 0.9f;
    text.rightAbs = -2;
    text.topAbs = 5;
    text.bottomRel = 1;
    text.bottomAbs = -5;
    text.foregroundPart = ColourPart(0xFF112233, 1, 1);
    EXPECT_EQ(look->SetTextProperties(text), 0);
    return look;
}

TEST(Look, ALookLaysItsClientPartCornersMiddlePartEdgeAndTextBoxOutForEachSize)
{
    ControlHarness harness;
    const RCPtr<LLook> look = LLook::Create(FramedLook(), false);
    ASSERT_EQ(look->GetNonClientPartCount(), 5u);
    using Rect = RectT<zlong>;
    const struct {
        PointT<zlong> size;
        Rect client;
        Rect topLeft, topRight, bottomRight, middle, topEdge;
        Rect textBox;
    } table[] = {
        {{100, 40}, {4, 3, 92, 34}, {0, 0, 6, 6}, {94, 0, 6, 6}, {94, 34, 6, 6}, {45, 16, 10, 8}, {6, 0, 88, 3},
         {12, 5, 76, 30}},
        {{30, 20}, {4, 3, 22, 14}, {0, 0, 6, 6}, {24, 0, 6, 6}, {24, 14, 6, 6}, {10, 6, 10, 8}, {6, 0, 18, 3},
         {5, 5, 20, 10}},
        // Smaller than its margins: the client area shrinks to nothing; the middle part still centres, truncated
        // toward zero.
        {{7, 5}, {4, 3, 0, 0}, {0, 0, 6, 6}, {1, 0, 6, 6}, {1, -1, 6, 6}, {-1, -1, 10, 8}, {6, 0, -5, 3},
         {2, 5, 2, -5}},
    };
    for (const auto& row : table) {
        EXPECT_TRUE(look->SetSize(row.size.x, row.size.y));
        EXPECT_EQ(look->GetClientRect(), row.client) << row.size.x << " x " << row.size.y;
        EXPECT_EQ(look->GetNonClientRect(0), row.topLeft) << row.size.x << " x " << row.size.y;
        EXPECT_EQ(look->GetNonClientRect(1), row.topRight) << "flush with the right edge at its own width";
        EXPECT_EQ(look->GetNonClientRect(2), row.bottomRight) << row.size.x << " x " << row.size.y;
        EXPECT_EQ(look->GetNonClientRect(3), row.middle) << "neither edge given: centred";
        EXPECT_EQ(look->GetNonClientRect(4), row.topEdge) << "between the corners, at the height it overrides";
        EXPECT_EQ(look->GetTextBox(), row.textBox) << row.size.x << " x " << row.size.y;
    }

    RCPtr<LLookDescriptor> wide(new LLookDescriptor(L"wide"));
    EXPECT_EQ(wide->SetClientPart(Docked(ColourPart(0xFF0000DD, 1, 1), Dock(kDockAllEdges, 4, 3, 10, 2))), 0);
    const RCPtr<LLook> grown = LLook::Create(wide, false);
    EXPECT_TRUE(grown->SetSize(50, 20));
    EXPECT_EQ(grown->GetClientRect(), Rect(4, 3, 46, 17)) << "a positive right offset does not reach past the look";
    EXPECT_EQ(grown->GetText(), nullptr) << "no text without text properties";
    EXPECT_EQ(grown->GetTextBox(), Rect());
}

// A frame of the recording renderer with the origin moved to the control's corner, as the control's drawing does.
class LookDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(renderer.InitRenderContextInfo({0, 0, 300, 200}, nullptr, false, context), 0);
        ASSERT_EQ(renderer.RenderStart(context), 0);
        EnterControl(RectT<double>(10, 20, 100, 40));
        look->SetSize(100, 40);
        // (0, 0, 20, 10) and (90, 30, 10, 10) of the look, in the window's pixels.
        dirty.Add({10, 20, 30, 30});
        dirty.Add({100, 50, 110, 60});
    }

    void TearDown() override
    {
        EXPECT_EQ(context->GetSavedStateCount(), 1u) << "every clip pushed was popped";
        (void)renderer.RenderFinish(context);
    }

    void EnterControl(const RectT<double>& clip)
    {
        renderer.PopState();
        renderer.PushClip(RectT<double>(10, 20, 100, 40), clip, nullptr, true);
    }

    // The calls of that operation, with where they were drawn.
    std::vector<std::string> Drawn(const std::string& operation)
    {
        std::vector<std::string> drawn;
        for (const Testing::RecordedCall& call : renderer.GetCalls()) {
            if (call.operation.rfind(operation, 0) == 0) {
                drawn.push_back(call.ToString());
            }
        }
        renderer.ClearCalls();
        return drawn;
    }

    ControlHarness harness;
    LRecordingRenderer& renderer = harness.Renderer();
    RCPtr<LRenderContextInfo> context;
    RCPtr<LLook> look = LLook::Create(FramedLook(), false);
    RectList dirty;
};

using Drawing = std::vector<std::string>;

TEST_F(LookDrawingTest, EachPartIsDrawnOncePerDirtyRectangleItMeetsClippedToThatRectangle)
{
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawNonClientParts(renderer, dirty), 0);
    EXPECT_EQ(Drawn("FillRect"), (Drawing{"FillRect 0,0,6,6 #FFAA0000 blend @ origin 10,20 clip 10,20,6,6",
                                          "FillRect 0,0,6,6 #FFCC0000 blend @ origin 104,54 clip 104,54,6,6",
                                          "FillRect 0,0,88,3 #FF00BB00 blend @ origin 16,20 clip 16,20,14,3"}))
        << "the corner top left and the edge meet the first rectangle, the corner bottom right the second";
    EXPECT_EQ(look->DrawClientParts(renderer, dirty), 0);
    EXPECT_EQ(Drawn("FillRect"), (Drawing{"FillRect 0,0,92,34 #FF0000DD blend @ origin 14,23 clip 14,23,16,7",
                                          "FillRect 0,0,92,34 #FF0000DD blend @ origin 14,23 clip 100,50,6,7"}));

    // What the control's own clip leaves out is not drawn at all.
    EnterControl(RectT<double>(10, 20, 50, 40));
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawClientParts(renderer, dirty), 0);
    EXPECT_EQ(Drawn("FillRect"), (Drawing{"FillRect 0,0,92,34 #FF0000DD blend @ origin 14,23 clip 14,23,16,7"}));
    EXPECT_EQ(Drawn("PushClip").size(), 0u) << "nor clipped for";

    // Nor what lies outside the look's own region.
    EnterControl(RectT<double>(10, 20, 100, 40));
    look->GetRegion().Add({50, 0, 100, 40});
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawNonClientParts(renderer, dirty), 0);
    EXPECT_EQ(Drawn("FillRect"), (Drawing{"FillRect 0,0,6,6 #FFCC0000 blend @ origin 104,54 clip 104,54,6,6"}));
}

TEST_F(LookDrawingTest, TheLabelIsDrawnInItsForegroundColourInsideItsBoxMovedByTheOffset)
{
    const RCPtr<LFont> font = LFont::GetFont(L"Label Sans", 10, LFont::kRegular);
    EXPECT_TRUE(look->SetFont(font));
    EXPECT_TRUE(look->SetText(L"Hi\nthere"));
    EXPECT_FALSE(look->SetText(L"Hi\nthere"));
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawLabelText(renderer, dirty, PointT<double>(0, 0)), 0);
    EXPECT_EQ(Drawn("DrawText"),
              (Drawing{"DrawText \"Hi\" \"Label Sans\" 10 style 0 at 0,0 #FF112233 @ origin 22,25 clip 22,25,8,5",
                       "DrawText \"there\" \"Label Sans\" 10 style 0 at 0,16 #FF112233 @ origin 22,25 clip 22,25,8,5"}))
        << "only the first dirty rectangle meets the text box (12, 5, 76, 30)";
    EXPECT_EQ(look->DrawLabelText(renderer, dirty, PointT<double>(3, -2)), 0);
    EXPECT_EQ(Drawn("DrawText").front(),
              "DrawText \"Hi\" \"Label Sans\" 10 style 0 at -3,2 #FF112233 @ origin 22,25 clip 22,25,8,5");

    look->SetTextForegroundPart(LVisualPart::CreateColorPart(L"shade", kResizeStretch,
                                                             Colorizer(0xFF000000, LColorizer::kLinearGradient),
                                                             {0, 0}, 1.0f, nullptr));
    EXPECT_TRUE(ThrowsText<std::domain_error>(
        [&] { (void)look->DrawLabelText(renderer, dirty, {}); },
        "Domain Error : Gradient fill for text foreground part not yet implemented. : ZV::LLook::DrawLabelText"));
    look->SetTextForegroundPart(LVisualPart::Create(
        L"image", LBitmap::CreateFilledBitmap({2, 2}, LColor(1, 1, 1, 1)), kResizeStretch, nullptr, 1.0f, nullptr));
    EXPECT_TRUE(ThrowsText<std::domain_error>(
        [&] { (void)look->DrawLabelText(renderer, dirty, {}); },
        "Domain Error : Bitmap fill for text foreground part not yet implemented. : ZV::LLook::DrawLabelText"));
    EXPECT_EQ(context->GetSavedStateCount(), 1u) << "the clip pushed before the throw is popped";

    const RCPtr<LLook> plain = LLook::Create(RCPtr<LLookDescriptor>(new LLookDescriptor(L"plain")), false);
    EXPECT_EQ(plain->DrawLabelText(renderer, dirty, {}), 1) << "a look without text";
    EXPECT_TRUE(plain->SetText(L"ignored"));
    EXPECT_TRUE(plain->SetFont(font));
}

TEST_F(LookDrawingTest, AnOverlayIsDrawnOverOrInsteadOfTheClientPartAndAnswersForItsPixels)
{
    EXPECT_EQ(look->GetColorAtPoint({2, 2}), 0xFFAA0000u) << "a corner";
    EXPECT_EQ(look->GetColorAtPoint({50, 20}), 0xFFDD0000u) << "the middle part lies over the client part";
    EXPECT_EQ(look->GetColorAtPoint({20, 20}), 0xFF0000DDu);
    EXPECT_EQ(look->GetColorAtPoint({1, 38}), 0x00FFFFFFu) << "in the margin, where no part lies";

    RCPtr<LBitmap> sheet = LBitmap::CreateFilledBitmap({8, 4}, LColor(0, 0, 0, 0));
    *sheet->GetPixelData()->GetPixelPointer(7, 0) = 0xFF445566u;
    EXPECT_EQ(look->SetOverlay(sheet, {4, 0}, false), 0);
    EXPECT_EQ(look->GetColorAtPoint({95, 8}), 0xFF445566u) << "the overlay's last column over the client's";
    EXPECT_EQ(look->GetColorAtPoint({20, 20}), 0xFF0000DDu) << "where the overlay is clear the client shows";
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawClientParts(renderer, dirty), 0);
    const std::vector<std::string> operations = renderer.GetOperations();
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "FillRect 0,0,92,34 #FF0000DD blend"), 2);
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "DrawBitmap bitmap part 4,0,4,4 to 0,0,92,34 resize 0"),
              2);

    EXPECT_EQ(look->SetOverlay(sheet, {0, 0}, true), 0);
    EXPECT_EQ(look->GetColorAtPoint({20, 20}), 0x00FFFFFFu) << "the client part it replaces is not drawn";
    renderer.ClearCalls();
    EXPECT_EQ(look->DrawClientParts(renderer, dirty), 0);
    EXPECT_EQ(Drawn("FillRect").size(), 0u);

    EXPECT_EQ(look->SetOverlay(nullptr, {}, false), 0);
    EXPECT_EQ(look->SetOverlay(nullptr, {}, false), 1) << "nothing left to drop";
    EXPECT_EQ(look->GetColorAtPoint({20, 20}), 0xFF0000DDu);
}

}  // namespace
}  // namespace ZV
