#pragma once

#include "ControlBase/ControlCreateFunction.h"
#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/NameMap.h"
#include "ControlBase/SkinParseState.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlBase/XMLDocumentParser.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ZV {

// Turns skin documents into descriptors and keeps them: the colorizers, parts, looks and look lists by name, and one
// root descriptor per top-level Skin, whose children are the top-level controls. It also keeps the create function
// of every control class name. User-interface thread only.
//
// Loading adds to what earlier loads built; a name that is taken keeps its first descriptor. A document that fails
// half-way keeps what was built before the failure.
class LControlFactory : public virtual LRefCountedObject, public IXMLContentHandler {
public:
    explicit LControlFactory(const WideString& applicationName);

    // Parses the skin document of a source: "::" and the name of a resource of type "ZVXML", or a file path. The
    // current skin becomes the first one. 0; ZV_E_FAIL for a missing resource, a file that cannot be read or a
    // document that fails (see ParseXML); ZV_E_OUTOFMEMORY when no buffer holds the file.
    [[nodiscard]] ZVRESULT LoadSkins(const WideString& source);
    // Parses one document from memory; a length of 0 means that it ends at its first NUL. 0, or ZV_E_FAIL for a
    // document that is not well-formed (GetLastParseError tells why) or that the skin language refuses (a
    // SubControl without Class or Name, or nested too deeply).
    [[nodiscard]] ZVRESULT ParseXML(const char* buffer, std::size_t length);
    const XMLParseError& GetLastParseError() const { return mLastParseError; }

    // What the image and mask file names of later Part elements are joined to: "::" for images among the resources,
    // a skin folder and its separator for images in that folder.
    void SetImagePrefix(const WideString& prefix) { mImagePrefix = prefix; }
    // The constructor's, or the Name of the last Application element.
    const WideString& GetApplicationName() const { return mApplicationName; }

    // A class name keeps its first function. 0.
    ZVRESULT RegisterControlCreateFunction(const WideString& className, ControlCreateFunction function);
    // 0 with the function; an unregistered class name throws a "Runtime Error".
    ZVRESULT GetControlCreateFunction(const WideString& className, ControlCreateFunction& function) const;

    // The top-level control descriptor of that name in the current skin (the last one of that name), or null.
    RCPtr<LControlDescriptor> FindControlDescriptor(const WideString& name) const;
    // A clone of the template with its own name and layout; for the children that controls make themselves.
    static RCPtr<LControlDescriptor> DeriveControlDescriptor(const RCPtr<LControlDescriptor>& templateDescriptor,
                                                             const RCPtr<LLayoutDescriptor>& layout,
                                                             const WideString& name);
    // Copies out what the current skin sets of its font: a face name that is not empty, a size of at least 1, a
    // style other than -1. 0 when it set any of them, else 1; outputs not set keep their values.
    ZVRESULT GetSkinFont(WideString& fontName, float& fontSize, std::int32_t& fontStyle) const;

    // The handlers of the skin language's elements and text.
    void XMLStartElement(std::string_view name, const XMLAttributes& attributes) override;
    void XMLEndElement(std::string_view name) override;
    void XMLCharacterData(std::string_view text) override;

private:
    // The root of the current skin, or null.
    const LControlDescriptor* GetCurrentRoot() const;

    void StartColorizer(const XMLAttributes& attributes);
    void StartPart(const XMLAttributes& attributes);
    void StartLookDefinition(const XMLAttributes& attributes);
    void StartClientPart(const XMLAttributes& attributes);
    void StartNonClientPart(const XMLAttributes& attributes);
    void StartTextProperties(const XMLAttributes& attributes);
    void StartLookList(const XMLAttributes& attributes);
    void StartLookListEntry(const XMLAttributes& attributes);
    void StartTopLevelSkin(const XMLAttributes& attributes);
    void StartNestedSkin(const XMLAttributes& attributes);
    void StartSubControl(const XMLAttributes& attributes);
    void StartCreateParam(const XMLAttributes& attributes);
    void StartFontXLat(const XMLAttributes& attributes);
    void EndSubControl();
    // Stores all the text of the CreateParam being read under its ID.
    void StoreCreateParamText();
    // The current look; null, with a line of debug output naming the element, when no Look came before it.
    const RCPtr<LLookDescriptor>& RequireCurrentLook(const char* element) const;
    // The translation of a font name for the current locale, or the name itself.
    WideString TranslateFontName(const WideString& name) const;

    WideString mApplicationName;
    // The locale whose texts and font translations apply.
    std::uint32_t mLocaleId = 0;
    WideString mImagePrefix;
    RCPtrArray<LControlDescriptor> mRoots;
    std::int32_t mCurrentSkinIndex = 0;
    NameMap<ControlCreateFunction> mCreateFunctions;
    NameMap<RCPtr<LColorizer>> mColorizers;
    NameMap<RCPtr<LVisualPartDescriptor>> mParts;
    NameMap<RCPtr<LLookDescriptor>> mLooks;
    NameMap<RCPtr<LLookList>> mLookLists;
    SkinParseState mParse;
    XMLParseError mLastParseError;
};

}  // namespace ZV
