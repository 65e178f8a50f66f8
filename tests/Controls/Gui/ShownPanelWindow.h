#pragma once

// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/Gui/SkinApplication.h"
#include "ControlBase/CreateControl.h"
#include "ControlBase/SkinTestSupport.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Panel.h"
#include "Platform/NativeWindow.h"
#include "System/Gui/DesktopInput.h"
#include "TestFiles.h"
#include "support/WindowPixels.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ZV::Testing {

// The top control of the desktop tests' windows: a panel that shows its look, which draws and holds its children.
class LShownPanel : public LPanel {
public:
    using LPanel::LPanel;
    ZVRESULT OnInitialized() override
    {
        (void)SelectLook(0);
        return LPanel::OnInitialized();
    }
};

// A string-table document of the application "Test" holding the tables given.
inline std::string TestStringTables(const std::string& tables)
{
    return "<Z-Vireo_StringTable_Definitions><Application Name=\"Test\">" + tables +
           "</Application></Z-Vireo_StringTable_Definitions>";
}

// Adds a look that fills its control with one colour (0xRRGGBB), named as its part and colorizer; returns the name.
inline std::string FilledLook(SkinDocumentBuilder& skin, const std::string& name, std::uint32_t colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "0xFF%06X", static_cast<unsigned>(colour));
    skin.colorizers += "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + text + "\"/>";
    skin.parts += "<Part Name=\"" + name + "\" ColorizerName=\"" + name +
                  "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
    skin.looks += "<Look Name=\"" + name + "\"><ClientPart Name=\"" + name +
                  "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
    return name;
}

// A look list holding the looks given, look n at index n.
inline std::string LookList(const std::string& name, const std::vector<std::string>& looks)
{
    std::string list = "<LookList Name=\"" + name + "\" NumLooks=\"" + std::to_string(looks.size()) + "\">";
    for (std::size_t index = 0; index < looks.size(); ++index) {
        list += "<Look Name=\"" + looks[index] + "\" Index=\"" + std::to_string(index) + "\"/>";
    }
    return list + "</LookList>";
}

// A desktop test's window: a skin, from a folder or written by the test into a folder of its own, the framework's
// control classes and "Test.ShownPanel" registered, and the main window made of the control "main" and shown. The
// window keeps its place in a data folder of the test's own, not in the user's.
template <class Application = SkinApplication>
class ShownPanelWindowTest : public ::testing::Test {
protected:
    using SkinWriter = void (*)(const TemporaryFolder&);

    explicit ShownPanelWindowTest(SkinWriter writeSkin)
        : mApplication((writeSkin(mSkinFolder), mSkinFolder.Path().string()), L"Test")
    {
        Prepare();
    }

    ShownPanelWindowTest(const std::string& skinFolder, const wchar_t* applicationName)
        : mApplication(skinFolder, applicationName)
    {
        Prepare();
    }

    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        ASSERT_TRUE(mApplication.IsLoaded());
        ASSERT_EQ(mApplication.Host().CreateMainWindow(LRenderer::kGdi, L"main"), ZV_S_OK);
        ASSERT_TRUE(mApplication.WaitUntilShown());
        mRoot = mApplication.Host().GetMainRootWindow();
    }

    template <class Control>
    RCPtr<Control> ChildNamed(const wchar_t* name)
    {
        return RCPtr<Control>(dynamic_cast<Control*>(mRoot->GetRootControl()->FindChildByName(name).Get()));
    }
    const Platform::NativeWindow& Native() { return *mApplication.Host().GetMainWindow()->GetWindowHandle(); }
    // The colour 0xRRGGBB at a point of the window, once the server has drawn what it was sent.
    std::uint32_t ColourAt(const PointT<zlong>& point)
    {
        WaitForServer(Native());
        return ReadWindowPixels(Native(), static_cast<int>(point.x), static_cast<int>(point.y), 1, 1).at(0);
    }
    // Moves the pointer onto a point of the window.
    void MoveTo(const PointT<zlong>& point)
    {
        const RectT<zlong> client = mRoot->GetScreenBounds();
        mInput.MoveTo(static_cast<int>(client.x + point.x), static_cast<int>(client.y + point.y));
    }
    // The release went through: nothing holds the mouse any more.
    bool ClickDone() { return !mRoot->GetCaptureControl(); }

private:
    void Prepare()
    {
        setenv("XDG_DATA_HOME", mDataFolder.Path().string().c_str(), 1);
        EXPECT_EQ(RegisterFrameworkControlClasses(mApplication.Factory()), 0);
        (void)mApplication.Factory().RegisterControlCreateFunction(L"Test.ShownPanel", &CreateControl<LShownPanel>);
    }

protected:
    TemporaryFolder mSkinFolder;
    TemporaryFolder mDataFolder;
    Application mApplication;
    DesktopInput mInput;
    RCPtr<LRootWindow> mRoot;
};

}  // namespace ZV::Testing
