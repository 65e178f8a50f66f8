#pragma once

#include "ControlBase/IRootWindow.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// Tells the user that the program is busy for as long as it lives: the wait cursor over a window and the text in
// the application's status bar, where it has one. For a caller that blocks, one idle pass runs before the work
// starts, so that what waits to be delivered is delivered and the window shows the change before the caller blocks.
// Several may run over one window, and end in any order: the window shows the wait cursor while any of them runs,
// and the cursor it showed before the first began comes back when the last ends, also when the work ends by an
// exception. User-interface thread only.
class LWaitCursor {
public:
    enum class Caller {
        kBlocks,
        // The work runs elsewhere while the window goes on with its loop: no idle pass is needed, and none runs
        // inside the caller.
        kGoesOn,
    };

    // Over the application's active root window, else its main one; nothing without an application or a window.
    explicit LWaitCursor(const WideString& text);
    // Over the window given (a control's own), which may be null.
    LWaitCursor(const WideString& text, const RCPtr<IRootWindow>& rootWindow, Caller caller = Caller::kBlocks);
    LWaitCursor(const LWaitCursor&) = delete;
    LWaitCursor& operator=(const LWaitCursor&) = delete;
    ~LWaitCursor();

private:
    void Begin(const WideString& text, Caller caller);
    void End();
    // Another one that runs over the same window, or null.
    const LWaitCursor* FindOtherOverWindow() const;

    RCPtr<IRootWindow> mRootWindow;
    // What the window showed before any of the wait cursors over it began.
    CursorHandle mCursorBeforeWaiting = 0;
    // The one that began before this one and still runs, over any window.
    LWaitCursor* mOlder = nullptr;
};

}  // namespace ZV
