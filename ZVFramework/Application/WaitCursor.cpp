#include "Application/WaitCursor.h"

#include "Application/FrameworkApp.h"

namespace ZV {

namespace {

// The wait cursors that run, the newest first, each linked to the one older than it.
LWaitCursor* gNewestWaitCursor = nullptr;

RCPtr<IRootWindow> ApplicationWindow()
{
    const LFrameworkApp* application = GetFrameworkApp();
    if (application == nullptr) {
        return nullptr;
    }
    RCPtr<LRootWindow> root = application->GetActiveRootWindow();
    if (!root) {
        root = application->GetMainRootWindow();
    }
    return RCPtr<IRootWindow>(root.Get());
}

}  // namespace

LWaitCursor::LWaitCursor(const WideString& text) : mRootWindow(ApplicationWindow())
{
    Begin(text, Caller::kBlocks);
}

LWaitCursor::LWaitCursor(const WideString& text, const RCPtr<IRootWindow>& rootWindow, Caller caller)
    : mRootWindow(rootWindow)
{
    Begin(text, caller);
}

void LWaitCursor::Begin(const WideString& text, Caller caller)
{
    if (mRootWindow) {
        const CursorHandle found = mRootWindow->SetCursor(mRootWindow->GetNamedCursor(L"UI_CURSOR_WAIT"));
        // Over a window that waits already, what this one found is the other's wait cursor.
        const LWaitCursor* other = FindOtherOverWindow();
        mCursorBeforeWaiting = other != nullptr ? other->mCursorBeforeWaiting : found;
    }
    mOlder = gNewestWaitCursor;
    gNewestWaitCursor = this;
    try {
        LFrameworkApp* application = GetFrameworkApp();
        if (application != nullptr) {
            // Without a status bar there is nowhere to show the text.
            (void)application->SetStatusText(text, true);
        }
        if (caller == Caller::kGoesOn || application == nullptr) {
            return;
        }
        (void)application->ProcessIdle(true);
        // What the idle pass delivered may have set a cursor of its own (a device's state change sets the arrow);
        // the work that follows blocks the window, so it must run under the wait cursor.
        if (mRootWindow) {
            (void)mRootWindow->SetCursor(mRootWindow->GetNamedCursor(L"UI_CURSOR_WAIT"));
        }
    } catch (...) {
        End();
        throw;
    }
}

LWaitCursor::~LWaitCursor()
{
    End();
}

void LWaitCursor::End()
{
    LWaitCursor** link = &gNewestWaitCursor;
    while (*link != this) {
        link = &(*link)->mOlder;
    }
    *link = mOlder;
    if (mRootWindow && FindOtherOverWindow() == nullptr) {
        (void)mRootWindow->SetCursor(mCursorBeforeWaiting);
    }
    if (LFrameworkApp* application = GetFrameworkApp()) {
        (void)application->ResetStatusText(true);
    }
}

const LWaitCursor* LWaitCursor::FindOtherOverWindow() const
{
    for (const LWaitCursor* other = gNewestWaitCursor; other != nullptr; other = other->mOlder) {
        if (other != this && other->mRootWindow.Get() == mRootWindow.Get()) {
            return other;
        }
    }
    return nullptr;
}

}  // namespace ZV
