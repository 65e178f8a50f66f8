#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// One validation pass of a text box's text ("NID_TEXTBOX_VALIDATING", then "NID_TEXTBOX_VALIDATED"). Handlers get
// the record read-only and answer through its text and valid flag: a corrected text, or a refusal.
class LTextValidationParams : public virtual LRefCountedObject {
public:
    // The text and the initial text are the text as it is; valid to begin with.
    static RCPtr<LTextValidationParams> Create(const WideString& text);

    const WideString& GetText() const { return mText; }
    void SetText(const WideString& text) const { mText = text; }
    // The text when the pass began.
    const WideString& GetInitialText() const { return mInitialText; }
    bool IsValid() const { return mValid; }
    void SetValid(bool valid) const { mValid = valid; }

private:
    explicit LTextValidationParams(const WideString& text);

    mutable WideString mText;
    WideString mInitialText;
    mutable bool mValid = true;
};

}  // namespace ZV
