#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DebugLine.h"
#include "ControlBase/SkinLayoutAttributes.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/UTFConversion.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace ZV {

namespace {

// SubControls nest no deeper than this: a tree that deep is a mistake, and descriptors are released recursively.
constexpr std::int32_t kMaxSubControlDepth = 128;
// A look list holds at most this many looks: the most that a hexadecimal count can say. A larger decimal count is a
// mistake.
constexpr std::int32_t kMaxLookCount = 0xFFFF;

void ReportIgnored(std::string_view element, std::string_view reason)
{
    WriteDebugLine("Skin element " + std::string(element) + " ignored: " + std::string(reason));
}

std::int32_t DepthOf(const LControlDescriptor* descriptor)
{
    std::int32_t depth = 0;
    for (; descriptor != nullptr; descriptor = descriptor->GetParent()) {
        ++depth;
    }
    return depth;
}

// The UTF-8 file name of the piece of an image that a Part element names with a file attribute and two location
// attributes; null when any of the three is missing.
const char* ReadImagePiece(const XMLAttributes& attributes, const char* file, const char* x, const char* y,
                           ImageSource& piece)
{
    const char* fileName = attributes.GetUTF8Attribute(file);
    return fileName != nullptr && attributes.GetIntAttribute(x, piece.x) && attributes.GetIntAttribute(y, piece.y)
               ? fileName
               : nullptr;
}

enum class SkinElement {
    application,
    colorizer,
    part,
    looks,
    look,
    clientPart,
    nonClientPart,
    textProperties,
    lookLists,
    lookList,
    skin,
    subControl,
    createParamList,
    createParam,
    fontLocale,
    fontXLat,
    other,
};

struct ElementName {
    std::string_view name;
    SkinElement element;
};

// Sorted by name, for a binary search.
constexpr ElementName kElements[] = {
    {"Application", SkinElement::application},
    {"ClientPart", SkinElement::clientPart},
    {"Colorizer", SkinElement::colorizer},
    {"CreateParam", SkinElement::createParam},
    {"CreateParamList", SkinElement::createParamList},
    {"FontLocale", SkinElement::fontLocale},
    {"FontXLat", SkinElement::fontXLat},
    {"Look", SkinElement::look},
    {"LookList", SkinElement::lookList},
    {"LookLists", SkinElement::lookLists},
    {"Looks", SkinElement::looks},
    {"NonClientPart", SkinElement::nonClientPart},
    {"Part", SkinElement::part},
    {"Skin", SkinElement::skin},
    {"SubControl", SkinElement::subControl},
    {"TextProperties", SkinElement::textProperties},
};
static_assert(std::ranges::is_sorted(kElements, {}, &ElementName::name));

SkinElement ElementOf(std::string_view name)
{
    const auto* found = std::ranges::lower_bound(kElements, name, {}, &ElementName::name);
    return found != std::end(kElements) && found->name == name ? found->element : SkinElement::other;
}

}  // namespace

void LControlFactory::StartSkinElement(std::string_view name, const XMLAttributes& attributes)
{
    switch (ElementOf(name)) {
    case SkinElement::application:
        StartApplication(attributes);
        break;
    case SkinElement::colorizer:
        StartColorizer(attributes);
        break;
    case SkinElement::part:
        StartPart(attributes);
        break;
    case SkinElement::looks:
        mParse.inLooksSection = true;
        break;
    case SkinElement::look:
        mParse.inLooksSection ? StartLookDefinition(attributes) : StartLookListEntry(attributes);
        break;
    case SkinElement::clientPart:
        StartClientPart(attributes);
        break;
    case SkinElement::nonClientPart:
        StartNonClientPart(attributes);
        break;
    case SkinElement::textProperties:
        StartTextProperties(attributes);
        break;
    case SkinElement::lookLists:
        mParse.currentDescriptor = nullptr;
        break;
    case SkinElement::lookList:
        StartLookList(attributes);
        break;
    case SkinElement::skin:
        mParse.currentDescriptor ? StartNestedSkin(attributes) : StartTopLevelSkin(attributes);
        break;
    case SkinElement::subControl:
        StartSubControl(attributes);
        break;
    case SkinElement::createParamList:
        mParse.currentCreateParams = new LStringTable();
        break;
    case SkinElement::createParam:
        StartCreateParam(attributes);
        break;
    case SkinElement::fontLocale: {
        std::int32_t locale = 0;
        if (attributes.GetIntAttribute("LCID", locale)) {
            mParse.fontLocale = locale;
        }
        break;
    }
    case SkinElement::fontXLat:
        StartFontXLat(attributes);
        break;
    case SkinElement::other:
        break;
    }
}

void LControlFactory::EndSkinElement(std::string_view name)
{
    switch (ElementOf(name)) {
    case SkinElement::subControl:
        EndSubControl();
        break;
    case SkinElement::skin:
        if (mParse.currentDescriptor && mParse.currentDescriptor.Get() == GetCurrentRoot()) {
            mParse.currentDescriptor = nullptr;
        }
        break;
    case SkinElement::createParamList:
        if (mParse.currentDescriptor) {
            ZV_THROW_IF_FAILED(mParse.currentDescriptor->SetCreateParams(mParse.currentCreateParams));
        }
        // The list belongs to its control now; a stray CreateParam after it must not write into it.
        mParse.currentCreateParams = nullptr;
        break;
    case SkinElement::createParam:
        StoreCreateParamText();
        mParse.createParamMode = false;
        break;
    case SkinElement::looks:
        mParse.inLooksSection = false;
        break;
    default:
        break;
    }
}

void LControlFactory::SkinCharacterData(std::string_view text)
{
    // Every run is kept: the parser splits one text at line breaks and at character and entity references.
    if (mParse.createParamMode && mParse.currentCreateParams) {
        // UTF-16 needs no more units than UTF-8 has bytes.
        std::wstring& collected = mParse.createParamText;
        const std::size_t start = collected.size();
        collected.resize(start + text.size());
        const auto* source = reinterpret_cast<const unsigned char*>(text.data());
        wchar_t* target = collected.data() + start;
        UTF::ConvertUTF8ToUTF16(source, source + text.size(), target, collected.data() + collected.size());
        collected.resize(static_cast<std::size_t>(target - collected.data()));
        mParse.createParamHasText = true;
    }
}

void LControlFactory::StartColorizer(const XMLAttributes& attributes)
{
    WideString name;
    WideString type;
    LColor color;
    if (!attributes.GetStringAttribute("Name", name) || !attributes.GetStringAttribute("ColorType", type) ||
        !attributes.GetColorAttribute("Color", color)) {
        return;
    }
    std::int32_t colorType = LColorizer::kSolidFill;
    if (type == L"LinearGradient") {
        colorType = LColorizer::kLinearGradient;
    } else if (type == L"RadialGradient") {
        colorType = LColorizer::kRadialGradient;
    }
    LColor endColor;
    GradientGeometry gradient;
    // A gradient given in full is drawn as a solid fill of its first colour; one given in part stays a gradient
    // with what was given up to the first missing attribute.
    if (colorType != LColorizer::kSolidFill && attributes.GetColorAttribute("GradientEndColor", endColor) &&
        attributes.GetFloatAttribute("GradientStartX", gradient.startX) &&
        attributes.GetFloatAttribute("GradientStartY", gradient.startY) &&
        attributes.GetFloatAttribute("GradientEndX", gradient.endX) &&
        attributes.GetFloatAttribute("GradientEndY", gradient.endY)) {
        colorType = LColorizer::kSolidFill;
        endColor = LColor();
    }
    mColorizers.Add(name, MakeColorizer(name, colorType, color, endColor, gradient));
}

void LControlFactory::StartPart(const XMLAttributes& attributes)
{
    WideString name;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const char* resize = attributes.GetUTF8Attribute("ResizeType");
    if (!attributes.GetStringAttribute("Name", name) || !attributes.GetIntAttribute("Width", width) ||
        !attributes.GetIntAttribute("Height", height) || resize == nullptr) {
        return;
    }
    std::uint32_t resizeType = kResizeStretch;
    if (std::string_view(resize) == "Tile") {
        resizeType = kResizeTile;
    } else if (std::string_view(resize) == "Center") {
        resizeType = kResizeCenter;
    }

    ImageSource image;
    const char* imageFile = ReadImagePiece(attributes, "ImageFile", "ImageLocX", "ImageLocY", image);
    if (imageFile != nullptr && imageFile[0] != 0) {
        image = {mParse.imageFinder.Find(mImagePrefix, imageFile, true), image.x, image.y, width, height};
    } else {
        image = ImageSource();
    }
    RCPtr<LColorizer> colorizer;
    WideString colorizerName;
    if (attributes.GetStringAttribute("ColorizerName", colorizerName)) {
        if (const RCPtr<LColorizer>* found = mColorizers.Find(colorizerName)) {
            colorizer = *found;
        }
    }
    if (image.fileName.IsEmpty() && !colorizer) {
        return;
    }
    float alphaMod = 1.0f;
    attributes.GetFloatAttribute("ColorizerAlphaMod", alphaMod);
    ImageSource mask;
    if (const char* maskFile = ReadImagePiece(attributes, "ColorizerMaskFile", "MaskLocX", "MaskLocY", mask)) {
        mask = {mParse.imageFinder.Find(mImagePrefix, maskFile, false), mask.x, mask.y, width, height};
    } else {
        mask = ImageSource();
    }
    const PointT<float> size(static_cast<float>(width), static_cast<float>(height));
    mParts.Add(name, image.fileName.IsEmpty() ? MakeColorPart(name, resizeType, colorizer, size, alphaMod, mask)
                                              : MakeImagePart(name, image, resizeType, colorizer, alphaMod, mask));
}

void LControlFactory::StartLookDefinition(const XMLAttributes& attributes)
{
    WideString name;
    if (!attributes.GetStringAttribute("Name", name)) {
        return;
    }
    mParse.currentLook = MakeLookDescriptor(name);
    mLooks.Add(name, mParse.currentLook);
}

const RCPtr<LLookDescriptor>& LControlFactory::RequireCurrentLook(const char* element) const
{
    if (!mParse.currentLook) {
        ReportIgnored(element, "no Look comes before it");
    }
    return mParse.currentLook;
}

void LControlFactory::StartClientPart(const XMLAttributes& attributes)
{
    WideString name;
    DockingRecord docking;
    if (!attributes.GetStringAttribute("Name", name) ||
        !attributes.GetIntAttribute("OffsetLeft", docking.offsetLeft) ||
        !attributes.GetIntAttribute("OffsetTop", docking.offsetTop) ||
        !attributes.GetIntAttribute("OffsetRight", docking.offsetRight) ||
        !attributes.GetIntAttribute("OffsetBottom", docking.offsetBottom)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor>* part = mParts.Find(name);
    if (part == nullptr) {
        return;
    }
    if (const RCPtr<LLookDescriptor>& look = RequireCurrentLook("ClientPart")) {
        docking.dockFlags = kDockAllEdges;
        ZV_THROW_IF_FAILED(look->SetClientPart(MakeDockedPart(*part, docking)));
    }
}

void LControlFactory::StartNonClientPart(const XMLAttributes& attributes)
{
    WideString name;
    if (!attributes.GetStringAttribute("Name", name)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor>* part = mParts.Find(name);
    if (part == nullptr) {
        return;
    }
    const RCPtr<LLookDescriptor>& look = RequireCurrentLook("NonClientPart");
    if (!look) {
        return;
    }
    DockingRecord docking;
    const struct {
        const char* attribute;
        std::uint32_t flag;
        std::int32_t* offset;
    } edges[] = {
        {"OffsetLeft", kDockLeft, &docking.offsetLeft},
        {"OffsetTop", kDockTop, &docking.offsetTop},
        {"OffsetRight", kDockRight, &docking.offsetRight},
        {"OffsetBottom", kDockBottom, &docking.offsetBottom},
    };
    for (const auto& edge : edges) {
        if (attributes.GetIntAttribute(edge.attribute, *edge.offset)) {
            docking.dockFlags |= edge.flag;
        }
    }
    attributes.GetIntAttribute("Width", docking.width);
    attributes.GetIntAttribute("Height", docking.height);
    docking.hasWidth = docking.width > 0;
    docking.hasHeight = docking.height > 0;
    look->AddNonClientPart(MakeDockedPart(*part, docking));
}

void LControlFactory::StartTextProperties(const XMLAttributes& attributes)
{
    TextProperties text;
    WideString foreground;
    if (!attributes.GetFloatAttribute("TextLeftRel", text.leftRel) ||
        !attributes.GetIntAttribute("TextLeftAbs", text.leftAbs) ||
        !attributes.GetFloatAttribute("TextRightRel", text.rightRel) ||
        !attributes.GetIntAttribute("TextRightAbs", text.rightAbs) ||
        !attributes.GetFloatAttribute("TextHAlign", text.hAlign) ||
        !attributes.GetFloatAttribute("TextTopRel", text.topRel) ||
        !attributes.GetIntAttribute("TextTopAbs", text.topAbs) ||
        !attributes.GetFloatAttribute("TextBottomRel", text.bottomRel) ||
        !attributes.GetIntAttribute("TextBottomAbs", text.bottomAbs) ||
        !attributes.GetFloatAttribute("TextVAlign", text.vAlign) ||
        !attributes.GetStringAttribute("TextForegroundPart", foreground)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor>* part = mParts.Find(foreground);
    if (part == nullptr) {
        return;
    }
    if (const RCPtr<LLookDescriptor>& look = RequireCurrentLook("TextProperties")) {
        text.foregroundPart = *part;
        ZV_THROW_IF_FAILED(look->SetTextProperties(text));
    }
}

void LControlFactory::StartLookList(const XMLAttributes& attributes)
{
    WideString name;
    std::int32_t count = 0;
    if (!attributes.GetStringAttribute("Name", name) || !attributes.GetIntAttribute("NumLooks", count)) {
        return;
    }
    // A name that is taken gives its list to the control again; the entries of this element change nothing.
    RCPtr<LLookList> list;
    if (const RCPtr<LLookList>* registered = mLookLists.Find(name)) {
        list = *registered;
        mParse.currentLookList = nullptr;
    } else if (count < 0 || count > kMaxLookCount) {
        ReportIgnored("LookList", "NumLooks " + std::to_string(count) + " is outside 0 to 65535");
        mParse.currentLookList = nullptr;
        return;
    } else {
        list = MakeLookList(static_cast<std::uint32_t>(count));
        mLookLists.Add(name, list);
        mParse.currentLookList = list;
    }
    if (!mParse.currentDescriptor) {
        return;
    }
    if (const RCPtr<LSkinDescriptor>& skin = mParse.currentDescriptor->GetSkinDescriptor()) {
        skin->SetLookList(list);
    } else {
        ReportIgnored("LookList", "its control has no Skin to give the list to");
    }
}

void LControlFactory::StartLookListEntry(const XMLAttributes& attributes)
{
    WideString name;
    std::int32_t index = 0;
    if (!mParse.currentLookList || !attributes.GetStringAttribute("Name", name) ||
        !attributes.GetPlainIntAttribute("Index", index)) {
        return;
    }
    const RCPtr<LLookDescriptor>* look = mLooks.Find(name);
    if (look == nullptr) {
        return;
    }
    if (index < 0 || !mParse.currentLookList->SetLook(static_cast<std::uint32_t>(index), *look)) {
        ReportIgnored("Look", "Index " + std::to_string(index) + " is outside its LookList");
    }
}

void LControlFactory::StartTopLevelSkin(const XMLAttributes& attributes)
{
    WideString name;
    if (!attributes.GetStringAttribute("Name", name)) {
        ReportIgnored("Skin", "it has no Name, and the controls inside it are dropped");
        return;
    }
    const RCPtr<LSkinDescriptor> skin = MakeSkinDescriptor(name);
    SkinFontSettings font;
    attributes.GetStringAttribute("FontName", font.name);
    attributes.GetFloatAttribute("FontSize", font.size);
    attributes.GetIntAttribute("FontStyle", font.style);
    skin->SetFont(font);

    const RCPtr<LControlDescriptor> root = MakeControlDescriptor(WideString(L"Application"), mApplicationName, nullptr);
    ZV_THROW_IF_FAILED(root->SetSkinDescriptor(skin));
    AppendItem(mRoots, root);
    mCurrentSkinIndex = static_cast<std::int32_t>(mRoots.GetCount() - 1);
    mParse.fontTranslations.Clear();
    mParse.currentDescriptor = root;
}

void LControlFactory::StartNestedSkin(const XMLAttributes& attributes)
{
    WideString name;
    if (!attributes.GetStringAttribute("Name", name)) {
        ReportIgnored("Skin", "it has no Name");
        return;
    }
    const RCPtr<LSkinDescriptor> skin = MakeSkinDescriptor(name);
    SkinFontSettings font = mParse.subControlFont;
    font.name = TranslateFontName(font.name);
    skin->SetFont(font);
    WideString lookListName;
    if (attributes.GetStringAttribute("LookList", lookListName)) {
        if (const RCPtr<LLookList>* list = mLookLists.Find(lookListName)) {
            skin->SetLookList(*list);
        }
    }
    ZV_THROW_IF_FAILED(mParse.currentDescriptor->SetSkinDescriptor(skin));
}

void LControlFactory::StartSubControl(const XMLAttributes& attributes)
{
    WideString className;
    WideString name;
    if (!attributes.GetStringAttribute("Class", className) || !attributes.GetStringAttribute("Name", name)) {
        ZV_THROW_IN("ZV::LControlFactory::XMLStartElement", std::runtime_error, "Bad Subcontrol Element");
    }
    const RCPtr<LControlDescriptor> parent = mParse.currentDescriptor;
    if (!parent) {
        ReportIgnored("SubControl", "it lies outside any Skin");
        return;
    }
    if (DepthOf(parent.Get()) >= kMaxSubControlDepth) {
        ZV_THROW_IN("ZV::LControlFactory::XMLStartElement", std::runtime_error, "SubControls nested too deeply");
    }
    const RCPtr<LControlDescriptor> descriptor = MakeControlDescriptor(className, name, parent.Get());
    parent->AddSubControl(descriptor);
    mParse.currentDescriptor = descriptor;
    const RCPtr<LLayoutDescriptor> layout = MakeLayoutDescriptor();
    ZV_THROW_IF_FAILED(descriptor->SetLayoutDescriptor(layout));
    ReadLayoutAttributes(attributes, parent->GetClass() == L"Application", *layout);
    mParse.subControlFont = ReadSubControlFont(attributes);
}

void LControlFactory::EndSubControl()
{
    // A root's children, the top-level controls, keep the skin's order; a SubControl that was ignored has none.
    const RCPtr<LControlDescriptor> descriptor = mParse.currentDescriptor;
    if (!descriptor || descriptor->GetParent() == nullptr) {
        return;
    }
    descriptor->SortSubControlsByLayoutOrder();
    mParse.currentDescriptor = descriptor->GetParent();
}

void LControlFactory::StartCreateParam(const XMLAttributes& attributes)
{
    WideString key;
    if (!attributes.GetStringAttribute("ID", key)) {
        return;
    }
    if (!mParse.currentCreateParams) {
        ReportIgnored("CreateParam", "it lies outside any CreateParamList");
        return;
    }
    StoreCreateParamText();
    mParse.createParamMode = true;
    mParse.currentKey = key;
}

void LControlFactory::StoreCreateParamText()
{
    if (mParse.createParamMode && mParse.createParamHasText && mParse.currentCreateParams) {
        WideString text;
        text.Assign(mParse.createParamText.data(), static_cast<std::uint32_t>(mParse.createParamText.size()));
        ZV_THROW_IF_FAILED(mParse.currentCreateParams->SetString(mParse.currentKey, text));
    }
    mParse.createParamText.clear();
    mParse.createParamHasText = false;
}

void LControlFactory::StartFontXLat(const XMLAttributes& attributes)
{
    if (!mParse.fontLocale) {
        ReportIgnored("FontXLat", "no FontLocale comes before it");
        return;
    }
    if (!mParse.currentDescriptor) {
        ReportIgnored("FontXLat", "it lies outside any Skin");
        return;
    }
    if (static_cast<std::uint32_t>(*mParse.fontLocale) != mLocaleId) {
        return;
    }
    WideString name;
    WideString translation;
    attributes.GetStringAttribute("Name", name);
    attributes.GetStringAttribute("XLat", translation);
    mParse.fontTranslations.Add(name, translation);
    const RCPtr<LSkinDescriptor>& skin = mParse.currentDescriptor->GetSkinDescriptor();
    if (skin && skin->GetFont().name == name) {
        skin->SetFontName(translation);
    }
}

WideString LControlFactory::TranslateFontName(const WideString& name) const
{
    const WideString* translation = mParse.fontTranslations.Find(name);
    return translation != nullptr ? *translation : name;
}

}  // namespace ZV
