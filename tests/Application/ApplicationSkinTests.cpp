// The program's own skin, read from the resources the build embeds, as the window and its controls will read it.

#include "ControlBase/ControlFactory.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace ZV {
namespace {

std::string Utf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

RCPtr<LControlFactory> ProgramSkin()
{
    RCPtr<LControlFactory> factory(new LControlFactory(L"Halvista Firmware Updater"));
    EXPECT_EQ(factory->LoadResources(L"::", 0x0409), 0) << Utf8(factory->GetLastParseError().text);
    return factory;
}

// The descriptor at a path of names below a top-level control ("mainControl/mainMenu/templateMenu"), or null.
RCPtr<LControlDescriptor> Find(const LControlFactory& factory, const std::string& path)
{
    std::size_t start = path.find('/');
    RCPtr<LControlDescriptor> found = factory.FindControlDescriptor(WideString(path.substr(0, start).c_str()));
    while (found && start != std::string::npos) {
        const std::size_t end = path.find('/', start + 1);
        const std::string name = path.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        const RCPtrArray<LControlDescriptor>& children = found->GetSubControls();
        RCPtr<LControlDescriptor> child;
        for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
            if (Utf8(children.GetData()[i]->GetName()) == name) {
                child = children.GetData()[i];
            }
        }
        found = child;
        start = end;
    }
    return found;
}

void ForEachDescriptor(const RCPtr<LControlDescriptor>& descriptor,
                       const std::function<void(const LControlDescriptor&, const std::string&)>& visit,
                       const std::string& path = "")
{
    const std::string own = path.empty() ? Utf8(descriptor->GetName()) : path + "/" + Utf8(descriptor->GetName());
    visit(*descriptor, own);
    const RCPtrArray<LControlDescriptor>& children = descriptor->GetSubControls();
    for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
        ForEachDescriptor(children.GetData()[i], visit, own);
    }
}

// Every control of the skin's two top-level controls, with its path.
void ForEachControl(const LControlFactory& factory,
                    const std::function<void(const LControlDescriptor&, const std::string&)>& visit)
{
    for (const wchar_t* name : {L"mainControl", L"toolTip"}) {
        const RCPtr<LControlDescriptor> top = factory.FindControlDescriptor(name);
        ASSERT_TRUE(top) << Utf8(name);
        ForEachDescriptor(top, visit);
    }
}

std::vector<std::string> LookNames(const LControlDescriptor& descriptor)
{
    std::vector<std::string> names;
    const RCPtr<LSkinDescriptor>& skin = descriptor.GetSkinDescriptor();
    if (skin && skin->GetLookList()) {
        for (std::uint32_t i = 0; i < skin->GetLookList()->GetCount(); ++i) {
            const RCPtr<LLookDescriptor> look = skin->GetLookList()->GetLook(i);
            names.push_back(look ? Utf8(look->GetName()) : "<unset>");
        }
    }
    return names;
}

// Every part a look draws, its text colour included.
std::vector<RCPtr<LVisualPartDescriptor>> PartsOf(const LLookDescriptor& look)
{
    std::vector<RCPtr<LVisualPartDescriptor>> parts;
    if (look.GetClientPart()) {
        parts.push_back(look.GetClientPart()->GetPart());
    }
    for (std::uint32_t i = 0; i < look.GetNonClientParts().GetCount(); ++i) {
        parts.push_back(look.GetNonClientParts().GetData()[i]->GetPart());
    }
    if (look.HasTextProperties()) {
        parts.push_back(look.GetTextProperties().foregroundPart);
    }
    return parts;
}

TEST(ProgramSkin, LoadsFromTheResourcesUnderTheApplicationsNameWithArialAt8Point25)
{
    RCPtr<LControlFactory> skinOnly(new LControlFactory(L"Halvista Firmware Updater"));
    EXPECT_EQ(skinOnly->LoadSkins(L"::APP_SKINS"), 0);
    EXPECT_EQ(Utf8(skinOnly->GetApplicationName()), "TideRush") << "the string tables' name, which their IDs use";

    const RCPtr<LControlFactory> factory = ProgramSkin();
    WideString face;
    float size = 0;
    std::int32_t style = -1;
    EXPECT_EQ(factory->GetSkinFont(face, size, style), 0);
    EXPECT_EQ(Utf8(face), "Arial");
    EXPECT_FLOAT_EQ(size, 8.25f);
    EXPECT_EQ(style, 0);
}

TEST(ProgramSkin, EveryControlTheWindowAndItsControlsLookUpIsThereWithTheClassTheyTakeItAs)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    const std::string main = "mainControl/";
    const std::string bar = main + "progressBar/";
    const std::string popup = main + "mainMenu/templateMenu/popupMenu/";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"mainControl", "FirmwareUpdater.MainControl"},
        {"toolTip", "Framework.ToolTip"},
        {main + "buttonExit", "Framework.Button"},
        {main + "buttonUpdateFirmware", "Framework.Button"},
        {main + "buttonReinitialize", "Framework.Button"},
        {main + "buttonScanForDevice", "Framework.Button"},
        {main + "buttonManualDeviceHasUpdatedRescanButton", "Framework.Button"},
        {main + "labelDeviceInformation", "Framework.Label"},
        {main + "labelFirmwareFileInformation", "Framework.Label"},
        {main + "labelUpdateProcessInformation", "Framework.Label"},
        {main + "labelFileFirmwareVersion", "Framework.Label"},
        {main + "labelDeviceFirmwareVersion", "Framework.Label"},
        {main + "labelDeviceCannotUpdateError", "Framework.Label"},
        {main + "progressBar", "Framework.ProgressBar"},
        {bar + "activeOverlay", "Framework.Panel"},
        {bar + "percentCompleteLabel", "Framework.Label"},
        {bar + "timeRemainingLabel", "Framework.Label"},
        {bar + "labelPercentComplete", "Framework.Label"},
        {main + "mainMenu", "Framework.MainMenu"},
        {main + "mainMenu/templateMenu", "Framework.ComboMenu"},
        {popup.substr(0, popup.size() - 1), "Framework.PopupMenu"},
        {popup + "corner", "Framework.Label"},
        {popup + "templateItem", "Framework.MenuItem"},
        {popup + "templateItem/checkBox", "Framework.Button"},
        {popup + "templateItem/hotKeyLabel", "Framework.Label"},
    };
    for (const auto& [path, className] : expected) {
        const RCPtr<LControlDescriptor> descriptor = Find(*factory, path);
        ASSERT_TRUE(descriptor) << path;
        EXPECT_EQ(Utf8(descriptor->GetClass()), className) << path;
    }
    for (const char* barName : {"hBar", "vBar"}) {
        const std::string scrollBar = popup + barName;
        ASSERT_TRUE(Find(*factory, scrollBar)) << scrollBar;
        EXPECT_EQ(Utf8(Find(*factory, scrollBar)->GetClass()), "Framework.ScrollBar");
        for (const char* button : {"/dec", "/inc", "/channel/thumb"}) {
            ASSERT_TRUE(Find(*factory, scrollBar + button)) << scrollBar + button;
            EXPECT_EQ(Utf8(Find(*factory, scrollBar + button)->GetClass()), "Framework.Button") << button;
        }
        EXPECT_EQ(Utf8(Find(*factory, scrollBar + "/channel")->GetClass()), "Framework.ScrollChannel");
    }
    EXPECT_FALSE(Find(*factory, main + "buttonManualDeviceReadyForUpdateButton"))
        << "the device is sent into update mode by the program, never by hand";
}

TEST(ProgramSkin, TheWindowIsFixedAt400By311WithItsMenuBarBuiltHiddenAndItsToolTipAboveEverything)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    const SubControlSettings& main = *Find(*factory, "mainControl")->GetSubControlSettings();
    for (const double extent : {main.xSize.abs, main.xMinimum.abs, main.xMaximum.abs}) {
        EXPECT_EQ(extent, 400);
    }
    for (const double extent : {main.ySize.abs, main.yMinimum.abs, main.yMaximum.abs}) {
        EXPECT_EQ(extent, 311);
    }
    EXPECT_FALSE(main.xMinimum.toControl || main.xMaximum.toControl || main.yMinimum.toControl ||
                 main.yMaximum.toControl);

    const SubControlSettings& menuBar = *Find(*factory, "mainControl/mainMenu")->GetSubControlSettings();
    EXPECT_FALSE(menuBar.isVisible);
    EXPECT_EQ(menuBar.ySize.abs, 24);
    EXPECT_EQ(menuBar.xSize.toControlKind, kSizeToClient);
    EXPECT_EQ(menuBar.xSize.rel, 1.0f);
    const SubControlSettings& popup =
        *Find(*factory, "mainControl/mainMenu/templateMenu/popupMenu")->GetSubControlSettings();
    EXPECT_FALSE(popup.clipToParent);
    EXPECT_EQ(popup.zOrder, 999);

    const SubControlSettings& toolTip = *Find(*factory, "toolTip")->GetSubControlSettings();
    EXPECT_FALSE(toolTip.clipToParent);
    EXPECT_EQ(toolTip.zOrder, 9999);
    EXPECT_EQ(toolTip.textOverflowXType, kTextOverflowExpand);
    EXPECT_EQ(toolTip.textOverflowYType, kTextOverflowExpand);
    EXPECT_EQ(toolTip.ySize.abs, 22);
}

TEST(ProgramSkin, ControlsWearTheLookListsTheirClassesPickFromByIndex)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    const std::string on = "Tiderush.Button.ButtonOn";
    const std::vector<std::string> buttonLooks = {
        on, on + "Hover", on + "Press", on + "Focus", on + "FocusHover", on + "FocusPress", on + "Disabled",
        on + "Press", on + "Hover", on + "Press", on + "Focus", on + "FocusHover", on + "FocusPress", on + "Disabled"};
    for (const char* button : {"buttonExit", "buttonUpdateFirmware", "buttonReinitialize", "buttonScanForDevice",
                               "buttonManualDeviceHasUpdatedRescanButton"}) {
        EXPECT_EQ(LookNames(*Find(*factory, std::string("mainControl/") + button)), buttonLooks) << button;
    }
    const std::string popup = "mainControl/mainMenu/templateMenu/popupMenu";
    const std::string row = "QD.MenuItem.";
    EXPECT_EQ(LookNames(*Find(*factory, popup + "/templateItem")),
              (std::vector<std::string>{row + "Unselected", row + "UnselectedHover", row + "UnselectedPressed",
                                        row + "UnselectedSubMenu", row + "UnselectedSubMenuHover",
                                        row + "UnselectedSubMenuPressed", row + "UnselectedDisabled", row + "Selected",
                                        row + "SelectedHover", row + "SelectedPressed", row + "SelectedSubMenu",
                                        row + "SelectedSubMenuHover", row + "SelectedSubMenuPressed",
                                        row + "Separator"}));
    const std::vector<std::string> check = LookNames(*Find(*factory, popup + "/templateItem/checkBox"));
    ASSERT_EQ(check.size(), 14u);
    EXPECT_EQ(check[7], "QD.MenuItem.Check.Unselect");
    for (std::size_t i = 8; i < 14; ++i) {
        EXPECT_EQ(check[i], "QD.MenuItem.Check.Select") << i;
    }
    EXPECT_EQ(LookNames(*Find(*factory, "mainControl/mainMenu/templateMenu")),
              (std::vector<std::string>{"QD.MenuItem.Unselected.MainMenu", "QD.MenuItem.SelectedHover.MainMenu",
                                        "QD.MenuItem.SelectedPressed.MainMenu",
                                        "QD.MenuItem.UnselectedDisabled.MainMenu"}));
    EXPECT_EQ(LookNames(*Find(*factory, "mainControl/mainMenu")), std::vector<std::string>{"QD.MenuBar"});
    EXPECT_EQ(LookNames(*Find(*factory, "toolTip")), std::vector<std::string>{"Cuelight.ToolTip"});
    EXPECT_EQ(LookNames(*Find(*factory, popup)).size(), 3u) << "normal, disabled, focused";
    EXPECT_EQ(LookNames(*Find(*factory, popup + "/vBar/channel")).size(), 3u) << "normal, paging, disabled";
}

// A control adds only the looks its list sets, so an unset number would shift every look after it; a text drawn
// from an image or a gradient cannot be drawn at all.
TEST(ProgramSkin, EveryLookNumberHasALookAndEveryTextIsDrawnInAPlainColour)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    ForEachControl(*factory, [](const LControlDescriptor& descriptor, const std::string& path) {
        for (const std::string& name : LookNames(descriptor)) {
            EXPECT_NE(name, "<unset>") << path;
        }
        const RCPtr<LSkinDescriptor>& skin = descriptor.GetSkinDescriptor();
        for (std::uint32_t i = 0; skin && skin->GetLookList() && i < skin->GetLookList()->GetCount(); ++i) {
            const RCPtr<LLookDescriptor> look = skin->GetLookList()->GetLook(i);
            if (look && look->HasTextProperties()) {
                const RCPtr<LVisualPartDescriptor>& text = look->GetTextProperties().foregroundPart;
                ASSERT_TRUE(text) << path;
                EXPECT_TRUE(text->GetImage().fileName.IsEmpty()) << Utf8(text->GetName());
                ASSERT_TRUE(text->GetColorizer()) << Utf8(text->GetName());
                EXPECT_EQ(text->GetColorizer()->GetColorType(), 0) << Utf8(text->GetName());
                EXPECT_GT(text->GetColorizer()->GetColor().a, 0.0f) << Utf8(text->GetName());
            }
        }
    });
}

TEST(ProgramSkin, EveryImagePieceOfEveryLookLoadsFromTheEmbeddedResourcesAndLiesInsideItsImage)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    std::set<std::string> images;
    std::set<std::string> checked;
    ForEachControl(*factory, [&](const LControlDescriptor& descriptor, const std::string& path) {
        const RCPtr<LSkinDescriptor>& skin = descriptor.GetSkinDescriptor();
        for (std::uint32_t i = 0; skin && skin->GetLookList() && i < skin->GetLookList()->GetCount(); ++i) {
            const RCPtr<LLookDescriptor> look = skin->GetLookList()->GetLook(i);
            if (!look) {
                continue;
            }
            for (const RCPtr<LVisualPartDescriptor>& part : PartsOf(*look)) {
                if (!checked.insert(Utf8(part->GetName())).second) {
                    continue;
                }
                const ImageSource& piece = part->GetImage();
                if (piece.fileName.IsEmpty()) {
                    EXPECT_TRUE(part->GetColorizer()) << Utf8(part->GetName()) << " draws nothing";
                    continue;
                }
                images.insert(Utf8(piece.fileName));
                const ConstRCPtr<LBitmap> bitmap = LBitmap::GetCachedBitmap(piece.fileName);
                ASSERT_TRUE(bitmap) << Utf8(piece.fileName) << " of " << Utf8(part->GetName()) << " in " << path;
                EXPECT_GE(piece.x, 0) << Utf8(part->GetName());
                EXPECT_GE(piece.y, 0) << Utf8(part->GetName());
                EXPECT_LE(piece.x + piece.width, bitmap->GetPart().width) << Utf8(part->GetName());
                EXPECT_LE(piece.y + piece.height, bitmap->GetPart().height) << Utf8(part->GetName());
            }
        }
    });
    EXPECT_EQ(images, (std::set<std::string>{"::background.png", "::buttons.png", "::menu.png", "::progress.png",
                                             "::scrollbar.png"}));
}

struct Box {
    double left;
    double top;
    double right;
    double bottom;
};

// The main window's children are placed by absolute offsets in its client area, which begins below the header.
Box BoxOf(const LControlFactory& factory, const std::string& name)
{
    const RCPtr<LDockedPart>& client =
        Find(factory, "mainControl")->GetSkinDescriptor()->GetLookList()->GetLook(0)->GetClientPart();
    const SubControlSettings& layout = *Find(factory, "mainControl/" + name)->GetSubControlSettings();
    EXPECT_EQ(layout.xPosition.toControlKind, kPositionToClient) << name;
    EXPECT_EQ(layout.yPosition.toControlKind, kPositionToClient) << name;
    EXPECT_EQ(layout.xPosition.rel + layout.yPosition.rel + layout.xPosition.placementAnchor +
                  layout.yPosition.placementAnchor,
              0.0f)
        << name;
    EXPECT_EQ(layout.xSize.toControlKind, kSizeToSelf) << name;
    EXPECT_EQ(layout.ySize.toControlKind, kSizeToSelf) << name;
    const double left = client->GetDocking().offsetLeft + layout.xPosition.abs;
    const double top = client->GetDocking().offsetTop + layout.yPosition.abs;
    return {left, top, left + layout.xSize.abs, top + layout.ySize.abs};
}

bool Overlap(const Box& a, const Box& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The window shows at most one control of each group at a time, whatever the state of the device, the file and the
// update; controls of different groups may show together, so they must not cover each other.
TEST(ProgramSkin, ControlsTheWindowCanShowTogetherLieInsideItWithoutCoveringEachOther)
{
    const RCPtr<LControlFactory> factory = ProgramSkin();
    const std::vector<std::vector<std::string>> groups = {
        {"labelFirmwareFileInformation"},
        {"labelDeviceInformation", "labelUpdateProcessInformation", "labelDeviceCannotUpdateError"},
        {"labelFileFirmwareVersion"},
        {"labelDeviceFirmwareVersion"},
        {"buttonReinitialize"},
        {"buttonUpdateFirmware", "buttonScanForDevice", "buttonManualDeviceHasUpdatedRescanButton"},
        {"buttonExit"},
    };
    for (std::size_t group = 0; group < groups.size(); ++group) {
        for (const std::string& name : groups[group]) {
            const Box box = BoxOf(*factory, name);
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= 400 && box.bottom <= 311) << name;
            for (std::size_t other = group + 1; other < groups.size(); ++other) {
                for (const std::string& otherName : groups[other]) {
                    EXPECT_FALSE(Overlap(box, BoxOf(*factory, otherName))) << name << " and " << otherName;
                }
            }
        }
    }
    // The bar shows only while the update runs; the sentence above it then says so in one line, two at the most,
    // of the skin's font (Arial at 8.25 points is 13 pixels a line at 96 dpi).
    constexpr double kLineHeight = 13;
    const Box bar = BoxOf(*factory, "progressBar");
    const Box sentence = BoxOf(*factory, "labelUpdateProcessInformation");
    EXPECT_GE(bar.top - sentence.top, 2 * kLineHeight);
    for (const char* name : {"labelFirmwareFileInformation", "labelFileFirmwareVersion", "labelDeviceFirmwareVersion",
                             "buttonUpdateFirmware", "buttonExit", "buttonReinitialize"}) {
        EXPECT_FALSE(Overlap(bar, BoxOf(*factory, name))) << name;
    }
}

}  // namespace
}  // namespace ZV
