#pragma once

#include "Renderer/RectList.h"
#include "Renderer/Renderer.h"
#include "System/RootWindowTarget.h"
#include "System/WindowHost.h"
#include "System/WindowOSServices.h"
#include "Utilities/Storage/Array.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ZV::Testing {

// A root window that writes down every call an OS window makes on it ("press 1 mods 0x1 at 10,20"), and paints
// each region it is given in its fill colour. Its size limits, when set, bound ConstrainClientSize.
class LRecordingRootWindow : public IRootWindowTarget {
public:
    LRecordingRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
        : mRenderer(renderer), mServices(services)
    {
    }

    // What AttachRenderer installs; the last one made is kept for the test.
    static RCPtr<IRootWindowTarget> Make(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    {
        RCPtr<LRecordingRootWindow> root(new LRecordingRootWindow(renderer, services));
        GetLastMade() = root;
        return RCPtr<IRootWindowTarget>(root.Get());
    }
    static RCPtr<LRecordingRootWindow>& GetLastMade()
    {
        static RCPtr<LRecordingRootWindow> last;
        return last;
    }

    void RouteMouseButton(ButtonAction action, std::uint32_t button, std::uint32_t modifiers,
                          const PointT<zlong>& point) override
    {
        static const char* const kActions[] = {"press", "release", "double"};
        Record("%s %u mods 0x%x at %d,%d", kActions[action], button, modifiers, point.x, point.y);
    }
    void RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers) override
    {
        ++mMoves;
        mLastMove = point;
        (void)modifiers;
    }
    void RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction) override
    {
        Record("wheel %u mods 0x%x at %d,%d", direction, modifiers, point.x, point.y);
    }
    void RouteKey(const RCPtr<LKeyParam>& key) override
    {
        const KeyCode& code = key->GetKey();
        Record("key 0x%08x sided 0x%02x previous %u", code.code, code.sidedModifiers, code.previousState);
    }
    void OnCaptureLost() override { Record("capture lost"); }
    void OnSetFocus() override { Record("focus"); }
    void OnKillFocus() override { Record("focus lost"); }
    void OnResize(const PointT<zlong>& size) override { Record("resize %dx%d", size.x, size.y); }
    void SetFullRepaint() override { mFullRepaint = true; }
    bool HasFocusControl() const override { return mHasFocusControl; }
    ZVRESULT ConstrainClientSize(zlong& width, zlong& height) override
    {
        const zlong oldWidth = width;
        const zlong oldHeight = height;
        if (mMaximum.x > 0) {
            width = std::min(std::max(width, mMinimum.x), mMaximum.x);
            height = std::min(std::max(height, mMinimum.y), mMaximum.y);
        }
        width = std::max<zlong>(width, 1);
        height = std::max<zlong>(height, 1);
        return width != oldWidth || height != oldHeight ? 1 : 0;
    }
    void CollectDirtyRegion(RectList& region) override
    {
        region.Clear();
        region.AppendCopies(mDirty);
        mDirty.Clear();
    }
    void Paint(const RectList& region) override
    {
        Array<RectT<zlong>> rects;
        (void)region.CopyToArray(rects);
        std::string painted = "paint";
        for (std::uint32_t index = 0; index < rects.GetCount(); ++index) {
            const RectT<zlong>& rect = *rects.GetItemPointer(index);
            painted += " " + std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.width) +
                       "," + std::to_string(rect.height);
            mRenderer->FillRect(rect, mFill, false);
            for (const Mark& mark : mMarks) {
                RectT<zlong> part;
                if (RectT<zlong>::Intersect(part, rect, mark.rect)) {
                    mRenderer->FillRect(part, mark.color, false);
                }
            }
        }
        mCalls.push_back(painted);
        ++mPaints;
    }
    void RequestClose() override { Record("close requested"); }
    std::int32_t CloseForLostWindow() override
    {
        Record("window lost");
        return 0;
    }
    RCPtr<ITextEditTarget> FindFocusedTextEditor() override { return mTextEditor; }
    bool OnIdle(bool) override { return false; }
    ZVRESULT ReleaseInternalReferences() override
    {
        mServices = nullptr;
        return LRefCountedObject::ReleaseInternalReferences();
    }

    // An area a control made invalid: kept for the next paint and passed on to the window, as the root window
    // does.
    void Invalidate(const RectT<zlong>& rect)
    {
        mDirty.Add({rect.x, rect.y, rect.x + rect.width, rect.y + rect.height});
        if (mServices != nullptr) {
            (void)mServices->InvalidateRect(rect);
        }
    }

    std::vector<std::string> TakeCalls()
    {
        std::vector<std::string> calls;
        calls.swap(mCalls);
        return calls;
    }
    IWindowOSServices* GetServices() const { return mServices; }
    // The scene: the fill, with marks of their own colour over it.
    void SetFill(const LColor& fill) { mFill = fill; }
    void AddMark(const RectT<zlong>& rect, const LColor& color)
    {
        mMarks.push_back({rect, color});
        Invalidate(rect);
    }
    void SetSizeLimits(PointT<zlong> minimum, PointT<zlong> maximum)
    {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    void SetHasFocusControl(bool has) { mHasFocusControl = has; }
    void SetFocusedTextEditor(const RCPtr<ITextEditTarget>& editor) { mTextEditor = editor; }
    bool TakeFullRepaint() { return std::exchange(mFullRepaint, false); }
    int GetMoveCount() const { return mMoves; }
    int GetPaintCount() const { return mPaints; }
    PointT<zlong> GetLastMove() const { return mLastMove; }

private:
    template <class... Arguments>
    void Record(const char* format, Arguments... arguments)
    {
        char line[160];
        std::snprintf(line, sizeof line, format, arguments...);
        mCalls.emplace_back(line);
    }
    void Record(const char* text) { mCalls.emplace_back(text); }

    struct Mark {
        RectT<zlong> rect;
        LColor color;
    };

    RCPtr<LRenderer> mRenderer;
    IWindowOSServices* mServices;
    RCPtr<ITextEditTarget> mTextEditor;
    std::vector<Mark> mMarks;
    std::vector<std::string> mCalls;
    RectList mDirty;
    LColor mFill;
    PointT<zlong> mMinimum;
    PointT<zlong> mMaximum;
    PointT<zlong> mLastMove;
    int mMoves = 0;
    int mPaints = 0;
    bool mFullRepaint = false;
    bool mHasFocusControl = true;
};

// The application's side for tests: the first root window added is the main one; the active one is the one the test
// names; idle calls are counted, and an optional action runs on each.
class TestWindowHost : public IWindowHost {
public:
    TestWindowHost() { SetWindowHost(this); }
    TestWindowHost(const TestWindowHost&) = delete;
    TestWindowHost& operator=(const TestWindowHost&) = delete;
    ~TestWindowHost() { SetWindowHost(nullptr); }

    void AddRootWindow(IRootWindowTarget* rootWindow) override { mRoots.push_back(rootWindow); }
    void RemoveRootWindow(IRootWindowTarget* rootWindow) override { std::erase(mRoots, rootWindow); }
    bool IsMainRootWindow(const IRootWindowTarget* rootWindow) const override
    {
        return !mRoots.empty() && mRoots.front() == rootWindow;
    }
    IRootWindowTarget* GetActiveRootWindow() override { return mActiveRoot; }
    bool ProcessIdle(bool firstCall) override
    {
        ++mIdleCalls;
        if (firstCall) {
            ++mFirstIdleCalls;
        }
        bool more = ProcessIdleNotifications(firstCall, mNoRoots);
        if (mOnIdle) {
            more = mOnIdle(firstCall) || more;
        }
        return more;
    }
    void OnDataCopy(const WideString& text) override { mDataCopies.push_back(text.ToUTF8().GetData()); }
    WideString GetWindowClassName() const override { return mClassName; }

    std::function<bool(bool)> mOnIdle;
    std::vector<IRootWindowTarget*> mRoots;
    IRootWindowTarget* mActiveRoot = nullptr;
    std::vector<std::string> mDataCopies;
    WideString mClassName = L"ZVTestWindow";
    int mIdleCalls = 0;
    int mFirstIdleCalls = 0;

private:
    Array<IIdleProcessor*> mNoRoots;
};

}  // namespace ZV::Testing
