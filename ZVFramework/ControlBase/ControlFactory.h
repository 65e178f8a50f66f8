#pragma once

#include "ControlBase/ControlCreateFunction.h"
#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/DockedPart.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/NameMap.h"
#include "ControlBase/SkinParseState.h"
#include "ControlBase/StringTable.h"
#include "ControlBase/StringTableParseState.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ControlBase/XMLDocumentParser.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string_view>

namespace ZV {

class IRootWindow;
class LControl;

// Turns skin documents into descriptors and keeps them: the colorizers, parts, looks and look lists by name, and one
// root descriptor per top-level Skin, whose children are the top-level controls; the create function of every
// control class name; and the texts of the string tables for one locale, by table ID and key. User-interface thread
// only.
//
// Loading adds to what earlier loads built; a name that is taken keeps its first descriptor, a key that has a text
// keeps it. A document that fails half-way keeps what was built before the failure.
class LControlFactory : public virtual LRefCountedObject, public IXMLContentHandler {
public:
    explicit LControlFactory(const WideString& applicationName);

    // Loads the string tables and then the skin: from the resources APP_STRINGS, FRAMEWORK_STRINGS and APP_SKINS
    // for the source "::", else from StringTables.xml, FrameworkStrings.xml and Skins.xml in the source folder,
    // whose images the skin's parts then name. A locale id of 0 means the user's (Platform::LanguageId.h). The
    // string tables' failure or exception (see LoadStringTables), or the skin's result (see LoadSkins).
    [[nodiscard]] ZVRESULT LoadResources(const WideString& source, std::uint32_t localeId);
    // Loads the application's string-table document, then the framework's ("::" sources name resources of type
    // "ZVXML", others are files), keeping the texts of one locale. The application document is read for the given
    // locale, and when it has no text for that locale, for its fallback (0x7C04 for the traditional Chinese locales
    // 0x0404, 0x0C04 and 0x1404, else the low byte of the id), then for English (9). The framework document is read
    // for the locale that the application document settled on, then for English. That last locale is the
    // factory's locale. A missing or empty resource is skipped, and so is a document that is not well-formed
    // (after the texts before the fault, and with a line of debug output). 0; ZV_E_OUTOFMEMORY when no buffer holds
    // a file; a file that cannot be opened throws the file's runtime error.
    [[nodiscard]] ZVRESULT LoadStringTables(const WideString& applicationSource, const WideString& frameworkSource,
                                            std::uint32_t localeId);
    // The locale whose texts the string tables keep and whose font translations the skin applies.
    std::uint32_t GetLocaleId() const { return mLocaleId; }

    // Copies of the stored tables, which later loads do not change; null when no document had the table. The
    // framework's is "Framework", the application's "|" and the application name, a control's its parent's class
    // name (or for a top-level control the application name), "|" and its name.
    RCPtr<LStringTable> GetFrameworkStringTable() const;
    RCPtr<LStringTable> GetApplicationStringTable() const;
    // Null also for a parent without a descriptor.
    RCPtr<LStringTable> GetControlStringTable(const LControl* parent, const WideString& name) const;

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
    [[nodiscard]] ZVRESULT RegisterControlCreateFunction(const WideString& className, ControlCreateFunction function);
    // 0 with the function; an unregistered class name throws a "Runtime Error".
    [[nodiscard]] ZVRESULT GetControlCreateFunction(const WideString& className, ControlCreateFunction& function) const;

    // Builds a control of the descriptor's class, with its children, as a child of the parent (null: a top-level
    // control); the descriptor keeps its class's create function. Null for a class registered with a null function;
    // an unregistered class throws GetControlCreateFunction's "Runtime Error", and so do the create function's
    // failures.
    RCPtr<LControl> CreateControl(const RCPtr<LControlDescriptor>& descriptor, const RCPtr<LControl>& parent);
    // A new top-level control of the current skin shown in the root window; null when the skin has no control of
    // that name. Every control made from that descriptor is visible from then on: its layout is marked so.
    RCPtr<LControl> CreateControlByName(const WideString& name, const RCPtr<IRootWindow>& rootWindow);
    // Gives the control the current skin's top-level descriptor of its name: the control's ApplyDescriptor result;
    // ZV_E_FAIL for a null control or a name that the current skin does not have.
    [[nodiscard]] ZVRESULT ApplySkinToControl(const RCPtr<LControl>& control);

    // The number of top-level skins, and the index of the current one, which CreateControlByName and
    // ApplySkinToControl use.
    std::uint32_t GetSkinCount() const { return mRoots.GetCount(); }
    std::int32_t GetCurrentSkinIndex() const { return mCurrentSkinIndex; }
    void SetCurrentSkinIndex(std::int32_t index) { mCurrentSkinIndex = index; }

    // The top-level control descriptor of that name in the current skin (the last one of that name), or null.
    RCPtr<LControlDescriptor> FindControlDescriptor(const WideString& name) const;
    // A clone of the template with its own name and layout; for the children that controls make themselves.
    static RCPtr<LControlDescriptor> DeriveControlDescriptor(const RCPtr<LControlDescriptor>& templateDescriptor,
                                                             const RCPtr<LLayoutDescriptor>& layout,
                                                             const WideString& name);

    // The descriptors of a skin, each new, as the skin's elements make them.
    static RCPtr<LControlDescriptor> MakeControlDescriptor(const WideString& className, const WideString& name,
                                                           LControlDescriptor* parent);
    // Every rule at its default.
    static RCPtr<LLayoutDescriptor> MakeLayoutDescriptor();
    static RCPtr<LSkinDescriptor> MakeSkinDescriptor(const WideString& name);
    static RCPtr<LLookDescriptor> MakeLookDescriptor(const WideString& name);
    static RCPtr<LDockedPart> MakeDockedPart(const RCPtr<LVisualPartDescriptor>& part, const DockingRecord& docking);
    static RCPtr<LColorizer> MakeColorizer(const WideString& name, std::int32_t colorType, const LColor& color,
                                           const LColor& endColor, const GradientGeometry& gradient);
    // That many look numbers, none with a look yet.
    static RCPtr<LLookList> MakeLookList(std::uint32_t count);
    // A part the size of its image piece; null when the piece names no file.
    static RCPtr<LVisualPartDescriptor> MakeImagePart(const WideString& name, const ImageSource& image,
                                                      std::uint32_t resizeType, const RCPtr<LColorizer>& colorizer,
                                                      float colorizerAlphaMod, const ImageSource& mask);
    // A part of the colorizer's colour in the size given, without an image; null without a colorizer.
    static RCPtr<LVisualPartDescriptor> MakeColorPart(const WideString& name, std::uint32_t resizeType,
                                                      const RCPtr<LColorizer>& colorizer, const PointT<float>& size,
                                                      float colorizerAlphaMod, const ImageSource& mask);
    // Copies out what the current skin sets of its font: a face name that is not empty, a size of at least 1, a
    // style other than -1. 0 when it set any of them, else 1; outputs not set keep their values.
    [[nodiscard]] ZVRESULT GetSkinFont(WideString& fontName, float& fontSize, std::int32_t& fontStyle) const;

    // The handlers of the skin's and the string tables' elements and text.
    void XMLStartElement(std::string_view name, const XMLAttributes& attributes) override;
    void XMLEndElement(std::string_view name) override;
    void XMLCharacterData(std::string_view text) override;

private:
    // The descriptor's create function, looked up and kept in the descriptor the first time.
    ControlCreateFunction ResolveCreateFunction(LControlDescriptor& descriptor) const;

    // Parses a document of that many bytes (data may be null for none).
    [[nodiscard]] ZVRESULT ParseDocument(const char* data, std::size_t size);

    // Reads one string-table document for the first of the locales that it has texts for; the factory's locale is
    // the last one tried.
    [[nodiscard]] ZVRESULT LoadStringDocument(const WideString& source, std::initializer_list<std::uint32_t> locales);
    void StartStringTableElement(std::string_view name, const XMLAttributes& attributes);
    void StartStringTable(const XMLAttributes& attributes);
    void StartString(const XMLAttributes& attributes);
    void StartLocale(const XMLAttributes& attributes);
    void AppendLocaleText(std::string_view text);
    RCPtr<LStringTable> MakeStringTable(const WideString& id) const;

    void StartSkinElement(std::string_view name, const XMLAttributes& attributes);
    void EndSkinElement(std::string_view name);
    void SkinCharacterData(std::string_view text);
    void StartApplication(const XMLAttributes& attributes);

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

    // On from the first string-table load to the next skin load: documents are then read as string tables.
    bool mStringTableMode = false;
    // The texts of the wanted locale by table ID, then key.
    std::map<WideString, StringEntries> mStringStore;
    StringTableParseState mStringParse;
};

}  // namespace ZV
