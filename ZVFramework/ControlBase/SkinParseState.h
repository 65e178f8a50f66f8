#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/NameMap.h"
#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/SkinImageFinder.h"
#include "ControlBase/StringTable.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ZV {

// What the control factory keeps while it reads one skin document; every load starts from a new one.
struct SkinParseState {
    // The innermost open top-level Skin's root or SubControl.
    RCPtr<LControlDescriptor> currentDescriptor;
    // The last Look of the Looks section.
    RCPtr<LLookDescriptor> currentLook;
    // The look list that Look entries fill.
    RCPtr<LLookList> currentLookList;
    bool inLooksSection = false;

    // The table of the open CreateParamList, and the CreateParam being read: its ID and all of its text so far.
    RCPtr<LStringTable> currentCreateParams;
    bool createParamMode = false;
    WideString currentKey;
    std::wstring createParamText;
    bool createParamHasText = false;

    // The font of the last SubControl, for its nested Skin.
    SkinFontSettings subControlFont;
    // The last FontLocale; none yet means that no FontXLat applies.
    std::optional<std::int32_t> fontLocale;
    NameMap<WideString> fontTranslations;

    // The image files of the parts, each skin folder listed at most once.
    SkinImageFinder imageFinder;
};

}  // namespace ZV
