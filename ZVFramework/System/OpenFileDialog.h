#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class OSWindow;

// The desktop's file picker, asked for one existing file. It opens where the last chosen file lay. While the picker
// is open the loop runs on, so the windows keep painting and idling, and the owner window takes no input; when the
// owner window goes, the picker is ended as cancelled. Without any picker the user is told so in the debug output
// and on the standard error. User-interface thread only.
class LOpenFileDialog {
public:
    // The owner may be null; a window given is held for the dialog's lifetime.
    explicit LOpenFileDialog(OSWindow* owner);
    LOpenFileDialog(const LOpenFileDialog&) = delete;
    LOpenFileDialog& operator=(const LOpenFileDialog&) = delete;
    ~LOpenFileDialog();

    // The filter lists descriptions and patterns alternately, separated by "|" ("Firmware (*.syx)|*.syx|All files
    // (*.*)|*.*"); patterns of one description are separated by ";". The default extension ("syx", also "*.syx") is
    // added to a chosen name that has none when only the name with it exists. 0 when a file was chosen (with
    // multiSelect the first of those chosen); 0x80004005 when the picker was cancelled, failed or is missing, or
    // chose no existing file.
    [[nodiscard]] ZVRESULT Show(const WideString& filter, const WideString& defaultExtension, const WideString& title,
                                bool multiSelect);
    // The file the last Show chose; empty after a Show that chose none.
    WideString GetFilePath() const { return mFilePath; }

private:
    RCPtr<OSWindow> mOwner;
    WideString mFilePath;
    WideString mFolder;
};

}  // namespace ZV
