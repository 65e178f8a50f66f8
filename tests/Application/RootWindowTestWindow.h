#pragma once

#include "Application/ApplicationWindowHost.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/PaintedControl.h"
#include "Application/InputControl.h"
#include "Renderer/RecordingRenderer.h"
#include "System/FakeWindowBackEnd.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "System/RootWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace ZV::Testing {

using LTestInput = LInputControl<LPaintedControl>;

// A root window as the application makes it, over a desktop window that the test plays: the harness's factory and
// clocks, the application's window host, an OS window over a fake desktop window, and the recording renderer
// drawing its frames. Input goes in through the OS window, as the desktop delivers it; "Test.Input" controls
// (LTestInput) write down what reaches them.
class RootWindowTestWindow {
public:
    RootWindowTestWindow() { mHarness.Register<LTestInput>(L"Test.Input"); }
    RootWindowTestWindow(const RootWindowTestWindow&) = delete;
    RootWindowTestWindow& operator=(const RootWindowTestWindow&) = delete;
    ~RootWindowTestWindow()
    {
        if (mWindow) {
            mWindow->Destroy();
        }
        GetMessageLoop().ReleaseDeferred();
    }

    // Loads the skin and string tables, opens a window of that size and installs the top-level control "main".
    void Open(const std::string& skin, int width, int height, const std::string& strings = "")
    {
        mHarness.LoadSkin(skin);
        if (!strings.empty()) {
            mHarness.LoadStrings(strings);
        }
        auto backEnd = std::make_unique<FakeWindowBackEnd>();
        mDesktop = backEnd.get();
        mDesktop->mSize = {width, height};
        mWindow = OSWindow::Create(std::move(backEnd), nullptr);
        ASSERT_EQ(mWindow->AttachRenderer(mRenderer), ZV_S_OK);
        mRoot = RCPtr<LRootWindow>(mWindow->GetRootWindow());
        ASSERT_TRUE(mRoot);
        ASSERT_EQ(mRoot->CreateRootControl(L"main"), ZV_S_OK);
        ControlEvents().clear();
    }

    RCPtr<LControl> Find(const wchar_t* name) const { return FindControl(mRoot->GetRootControl(), name); }
    Platform::IWindowEventSink& Desktop() const { return mDesktop->GetSink(); }

    void Press(int x, int y, std::uint32_t time = 0)
    {
        mDesktop->SetKey(Platform::VirtualKey::kLeftButton, true);
        Desktop().OnButton(true, MouseButton::kLeft, {x, y}, time != 0 ? time : NextTime());
    }
    void Release(int x, int y)
    {
        mDesktop->SetKey(Platform::VirtualKey::kLeftButton, false);
        Desktop().OnButton(false, MouseButton::kLeft, {x, y}, NextTime());
    }
    // A press and release of the button, apart from any other press.
    void Click(std::uint32_t button, int x, int y)
    {
        const std::uint8_t virtualKey =
            button == MouseButton::kRight ? Platform::VirtualKey::kRightButton : Platform::VirtualKey::kLeftButton;
        mDesktop->SetKey(virtualKey, true);
        Desktop().OnButton(true, button, {x, y}, NextTime());
        mDesktop->SetKey(virtualKey, false);
        Desktop().OnButton(false, button, {x, y}, NextTime());
    }
    void Move(int x, int y) { Desktop().OnPointerMoved({x, y}); }
    // A key going down and up, with the modifier keys the desktop reports held.
    void Key(std::uint8_t virtualKey)
    {
        Desktop().OnKey(virtualKey, true, false, false, false);
        Desktop().OnKey(virtualKey, false, false, false, false);
    }
    // One notch away from the user.
    void Wheel(int x, int y) { Desktop().OnWheel(0, 120, {x, y}); }
    // One turn of the loop: the OS window paints what waits, then one idle pass runs.
    void TurnLoop()
    {
        bool first = true;
        (void)GetMessageLoop().Run([&first] { return std::exchange(first, false); });
    }

    ControlHarness mHarness;
    LApplicationWindowHost mHost{L"ZVRootWindowTests"};
    RCPtr<LRecordingRenderer> mRenderer{new LRecordingRenderer()};
    FakeWindowBackEnd* mDesktop = nullptr;
    RCPtr<OSWindow> mWindow;
    RCPtr<LRootWindow> mRoot;

private:
    // Presses more than a double click's time apart.
    std::uint32_t NextTime() { return mTime += 1000; }

    std::uint32_t mTime = 0;
};

}  // namespace ZV::Testing
