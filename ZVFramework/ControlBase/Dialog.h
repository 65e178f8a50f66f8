#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

// The parameter of "NID_DIALOG_CLOSING": a receiver that wants the dialog to stay open cancels the close.
class LCancelArgs : public LRefCountedObject {
public:
    // Receivers get the record read-only and answer through it.
    void Cancel() const { mCancel = true; }
    bool IsCancelled() const { return mCancel; }

private:
    mutable bool mCancel = false;
};

// The root control of a dialog: a control tree that a window of its own runs modally, closed with a result that
// its subscribers may veto. Whoever shows the dialog hands it one reference, which the close that goes through
// gives back. User-interface thread only.
class LDialog : public LControl {
public:
    // What a dialog closed by its window's close box answers.
    static constexpr std::int32_t kCloseBoxResult = 2;

    LDialog(const RCPtr<LControl>& parent, const WideString& name);

    // Stores the result and sends "NID_DIALOG_CLOSING". Unless a receiver cancelled, the window's modal loop is
    // asked to end with the result, "NID_DIALOG_CLOSED" goes out, OnClosed runs and the dialog gives back the
    // reference it was shown with. A dialog that has closed stays closed: a later Close does nothing.
    void Close(std::int32_t result);
    // As Close, with no heed to a cancel: the window that the dialog stands in front of has gone, and its own goes
    // with it.
    void CloseWithoutVeto(std::int32_t result);
    // Sends "NID_DIALOG_CLOSING" with a new parameter, and hands the parameter back.
    void SendClosing(RCPtr<LCancelArgs>& closing);
    std::int32_t GetResult() const { return mResult; }
    bool IsClosed() const { return mClosed; }

protected:
    // Runs once, after "NID_DIALOG_CLOSED" went out.
    virtual void OnClosed();

private:
    void RunClose(std::int32_t result, bool mayBeCancelled);

    std::int32_t mResult = 0;
    bool mClosed = false;
};

}  // namespace ZV
