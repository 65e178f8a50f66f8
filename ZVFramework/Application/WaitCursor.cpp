#include "Application/WaitCursor.h"

#include "Application/FrameworkApp.h"

namespace ZV {

namespace {

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
        mPreviousCursor = mRootWindow->SetCursor(mRootWindow->GetNamedCursor(L"UI_CURSOR_WAIT"));
    }
    LFrameworkApp* application = GetFrameworkApp();
    if (application != nullptr) {
        // Without a status bar there is nowhere to show the text.
        (void)application->SetStatusText(text, true);
    }
    if (caller == Caller::kGoesOn || application == nullptr) {
        return;
    }
    (void)application->ProcessIdle(true);
    // What the idle pass delivered may have set a cursor of its own (a device's state change sets the arrow); the
    // work that follows blocks the window, so it must run under the wait cursor.
    if (mRootWindow) {
        (void)mRootWindow->SetCursor(mRootWindow->GetNamedCursor(L"UI_CURSOR_WAIT"));
    }
}

LWaitCursor::~LWaitCursor()
{
    if (mRootWindow) {
        (void)mRootWindow->SetCursor(mPreviousCursor);
    }
    if (LFrameworkApp* application = GetFrameworkApp()) {
        (void)application->ResetStatusText(true);
    }
}

}  // namespace ZV
