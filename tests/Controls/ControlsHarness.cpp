#include "Controls/ControlsHarness.h"

#include "ControlBase/Harness/FakeRootWindow.h"
#include "ControlBase/Harness/WindowPaint.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/ToolTip.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Notification/ValueParam.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace ZV::Testing {

namespace {

constexpr zlong kWindowWidth = 400;
constexpr zlong kWindowHeight = 300;

std::string Narrow(const wchar_t* text)
{
    return WideString(text).ToUTF8().GetData();
}

std::string Hex(std::uint32_t colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(colour));
    return text;
}

// A look filled with the part, its label text inset 2 pixels on every side.
std::string FilledLook(const std::string& name, const std::string& part)
{
    return "<Look Name=\"" + name + "\"><ClientPart Name=\"" + part +
           R"(" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
           <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign="0"
                           TextTopRel="0" TextTopAbs="2" TextBottomRel="1" TextBottomAbs="-2" TextVAlign="0"
                           TextForegroundPart="Ink"/></Look>)";
}

void AddColour(SkinDocumentBuilder& skin, const std::string& name, std::uint32_t colour)
{
    skin.colorizers += "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + Hex(colour) + "\"/>";
    skin.parts += "<Part Name=\"" + name + "\" ColorizerName=\"" + name +
                  "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
}

}  // namespace

ControlsHarness::ControlsHarness() : mMouse(Window()), mKeys(Window())
{
    EXPECT_EQ(RegisterFrameworkControlClasses(Factory()), 0);
    Register<LShownControl>(L"Test.Panel");
    LToolTip::ForgetLastHide();
    Window().SetClientArea({0, 0, kWindowWidth, kWindowHeight});
    Window().HitTestThroughRootControl();
}

RCPtr<LControl> ControlsHarness::CreateMain(const SkinDocumentBuilder& skin)
{
    LoadSkinDocument(skin.Document());
    const RCPtr<LControl> main = CreateRoot(L"main");
    EXPECT_TRUE(main) << "the skin has no control \"main\"";
    return main;
}

void ControlsHarness::RunFor(std::uint32_t milliseconds, std::uint32_t step)
{
    for (std::uint32_t passed = 0; passed < milliseconds; passed += step) {
        AdvanceTime(step);
        PumpIdle();
    }
}

PointT<zlong> ControlsHarness::InWindow(const LControl& control, const PointT<zlong>& point) const
{
    const PointT<double> origin = GetOriginInWindow(control);
    return PointT<double>(origin.x + point.x, origin.y + point.y).ToLongPoint();
}

void ControlsHarness::MoveTo(const LControl& control, const PointT<zlong>& point)
{
    mMouse.Move(InWindow(control, point));
}

void ControlsHarness::PressAt(const LControl& control, const PointT<zlong>& point)
{
    mMouse.Press(MouseButton::kLeft, InWindow(control, point));
}

void ControlsHarness::ReleaseAt(const LControl& control, const PointT<zlong>& point)
{
    mMouse.Release(MouseButton::kLeft, InWindow(control, point));
}

void ControlsHarness::PaintAll()
{
    Window().InvalidateRect({0, 0, kWindowWidth, kWindowHeight});
    Renderer().ClearCalls();
    (void)PaintWindow(*this);
}

std::uint32_t ControlsHarness::PaintedColourOf(const LControl& control)
{
    PaintAll();
    const PointT<zlong> origin = InWindow(control, {0, 0});
    const std::string at = "| origin " + std::to_string(origin.x) + "," + std::to_string(origin.y) + " |";
    std::uint32_t colour = 0;
    for (const std::string& draw : DrawsOf(Renderer())) {
        if (draw.rfind("FillRect ", 0) == 0 && draw.find(at) != std::string::npos) {
            colour = static_cast<std::uint32_t>(std::stoul(draw.substr(draw.find('#') + 1, 8), nullptr, 16));
        }
    }
    return colour;
}

RCPtr<LNotificationRecorder> LNotificationRecorder::Create()
{
    return RCPtr<LNotificationRecorder>(new LNotificationRecorder());
}

void LNotificationRecorder::Watch(const RCPtr<LControl>& control, std::initializer_list<const wchar_t*> ids)
{
    for (const wchar_t* id : ids) {
        RegisterForNotification(control, id, 0);
    }
}

std::vector<std::string> LNotificationRecorder::TakeLines()
{
    std::vector<std::string> lines;
    for (; mTaken < mRecords.size(); ++mTaken) {
        lines.push_back(mRecords[mTaken].line);
    }
    return lines;
}

std::vector<std::uint32_t> LNotificationRecorder::TimesOf(const wchar_t* id) const
{
    const std::string wanted = Narrow(id);
    std::vector<std::uint32_t> times;
    for (const Record& record : mRecords) {
        if (record.id == wanted) {
            times.push_back(record.time);
        }
    }
    return times;
}

void LNotificationRecorder::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>& notification)
{
    const std::uint32_t time = GetRenderingServices().GetTimeMs();
    const auto* control = dynamic_cast<const LControl*>(sender.Get());
    const std::string id = Narrow(notification->GetId());
    std::string line = std::to_string(time) + " " + (control ? Narrow(control->GetName().GetData()) + " " : "") + id;
    if (const auto* value = dynamic_cast<const LValueParam*>(notification->GetParameter().Get())) {
        char text[32];
        std::snprintf(text, sizeof text, " = %g", value->GetNormalizedValue());
        line += text;
    }
    mRecords.push_back({time, id, line});
}

SkinDocumentBuilder ControlsSkin()
{
    SkinDocumentBuilder skin;
    AddColour(skin, "Ink", 0xFF000000);
    std::string buttonLooks;
    for (std::uint32_t look = 0; look < 14; ++look) {
        const std::string name = "button" + std::to_string(look);
        AddColour(skin, name, ButtonLookColour(look));
        skin.looks += FilledLook(name, name);
        buttonLooks += "<Look Name=\"" + name + "\" Index=\"" + std::to_string(look) + "\"/>";
    }
    skin.lookLists += "<LookList Name=\"button\" NumLooks=\"14\">" + buttonLooks + "</LookList>";
    using Colour = std::pair<std::string, std::uint32_t>;
    for (const auto& [name, colour] :
         {Colour{"label", kLabelColour}, Colour{"toolTip", kToolTipColour}, Colour{"panel", kPanelColour}}) {
        AddColour(skin, name, colour);
        skin.looks += FilledLook(name, name);
        skin.lookLists += "<LookList Name=\"" + name + "\" NumLooks=\"1\"><Look Name=\"" + name +
                          "\" Index=\"0\"/></LookList>";
    }
    skin.controls += Wearing("Framework.ToolTip", "toolTip", "toolTip",
                             R"(Z_Order="9999" ClipToParent="False" TextOverflowXType="Expand"
                                TextOverflowYType="Expand" XSizeAbs="10" YSizeAbs="22")");
    return skin;
}

std::string MainControl(const std::string& children)
{
    return Panel("main", R"(XSizeAbs="400" YSizeAbs="300")", children);
}

std::string Panel(const std::string& name, const std::string& attributes, const std::string& children)
{
    return "<SubControl Class=\"Test.Panel\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\" LookList=\"panel\">" + children + "</Skin></SubControl>";
}

ZVRESULT LShownControl::OnInitialized()
{
    (void)SelectLook(0);
    return LRecordingControl::OnInitialized();
}

}  // namespace ZV::Testing
