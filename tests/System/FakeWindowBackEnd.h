#pragma once

#include "Platform/EventSource.h"
#include "Platform/WindowBackEnd.h"

#include <bitset>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ZV::Testing {

// A desktop window without a desktop: it answers what the test sets (size, place, work area, keys down, focus) and
// writes down what the OS window asks of it. Events reach the OS window through GetSink().
class FakeWindowBackEnd : public Platform::IWindowBackEnd {
public:
    void SetEventSink(Platform::IWindowEventSink* sink) override { mSink = sink; }
    const Platform::NativeWindow* GetNativeWindow() const override { return nullptr; }
    bool Exists() const override { return mExists; }
    bool SetTitle(const std::string& utf8Title) override
    {
        mTitle = utf8Title;
        return true;
    }
    void SetIcon(int, int, const std::uint32_t*) override {}
    Platform::WindowPoint GetClientSize() const override { return mSize; }
    Platform::WindowPoint GetClientOrigin() const override { return mOrigin; }
    Platform::WindowRect GetWorkArea() const override { return mWorkArea; }
    void MoveResize(const Platform::WindowRect& rect) override
    {
        mMoves.push_back(rect);
        mOrigin = {rect.x, rect.y};
    }
    void SetSizeLimits(Platform::WindowPoint minimum, Platform::WindowPoint maximum) override
    {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    bool IsVisible() const override { return mVisible; }
    void Show(bool show) override { mVisible = show; }
    void Raise() override {}
    void SetTopMost(bool) override {}
    void SetModalFor(const IWindowBackEnd* owner) override { mModalFor = owner; }
    bool IsActive() const override { return mActive; }
    bool HasFocus() const override { return mActive; }
    void TakeFocus() override { ++mFocusRequests; }
    void SetCursor(std::uintptr_t cursor) override { mCursors.push_back(cursor); }
    std::uintptr_t LoadCursor(const char*) override { return 1; }
    Platform::WindowPoint GetPointerPosition() const override { return mPointer; }
    bool IsKeyDown(std::uint8_t virtualKey) const override { return mKeysDown.test(virtualKey); }
    void Destroy() override
    {
        mExists = false;
        ++mDestroyCount;
    }

    Platform::IWindowEventSink& GetSink() const { return *mSink; }
    bool HasSink() const { return mSink != nullptr; }
    void SetKey(std::uint8_t virtualKey, bool down) { mKeysDown.set(virtualKey, down); }

    Platform::WindowPoint mSize{200, 100};
    Platform::WindowPoint mOrigin{50, 40};
    Platform::WindowRect mWorkArea{0, 0, 1280, 1024};
    Platform::WindowPoint mPointer;
    Platform::WindowPoint mMinimum;
    Platform::WindowPoint mMaximum;
    std::vector<Platform::WindowRect> mMoves;
    std::vector<std::uintptr_t> mCursors;
    std::string mTitle;
    const IWindowBackEnd* mModalFor = nullptr;
    int mFocusRequests = 0;
    int mDestroyCount = 0;
    bool mActive = true;
    bool mVisible = false;
    bool mExists = true;

private:
    Platform::IWindowEventSink* mSink = nullptr;
    std::bitset<256> mKeysDown;
};

// Events the test queues for the loop: each runs when the loop dispatches it.
class ScriptedEventSource : public Platform::IEventSource {
public:
    int GetDescriptor() const override { return -1; }
    bool HasPendingEvent() override { return !mEvents.empty(); }
    bool DispatchEvent() override
    {
        const std::function<void()> event = mEvents.front();
        mEvents.pop_front();
        event();
        return true;
    }
    void Queue(std::function<void()> event) { mEvents.push_back(std::move(event)); }

private:
    std::deque<std::function<void()>> mEvents;
};

}  // namespace ZV::Testing
