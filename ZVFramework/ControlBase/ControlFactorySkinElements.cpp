#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DebugLine.h"
#include "ControlBase/SkinLayoutAttributes.h"
#include "ControlBase/SkinValueSyntax.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/UTFConversion.h"

#include <algorithm>
#include <iterator>
#include <optional>
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

// The mask of a part that names none; shared, as thousands of parts have no mask.
const ImageSource& NoMask()
{
    static const ImageSource none;
    return none;
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

// The most frequent first. No two names share both length and first letter, so a name is told by those two and
// then checked in full.
constexpr ElementName kElements[] = {
    {"Part", SkinElement::part},
    {"Look", SkinElement::look},
    {"SubControl", SkinElement::subControl},
    {"Skin", SkinElement::skin},
    {"NonClientPart", SkinElement::nonClientPart},
    {"ClientPart", SkinElement::clientPart},
    {"TextProperties", SkinElement::textProperties},
    {"CreateParam", SkinElement::createParam},
    {"Colorizer", SkinElement::colorizer},
    {"LookList", SkinElement::lookList},
    {"CreateParamList", SkinElement::createParamList},
    {"FontLocale", SkinElement::fontLocale},
    {"FontXLat", SkinElement::fontXLat},
    {"Looks", SkinElement::looks},
    {"LookLists", SkinElement::lookLists},
    {"Application", SkinElement::application},
};

constexpr bool HaveUniqueLengthAndFirstLetter()
{
    for (std::size_t i = 0; i < std::size(kElements); ++i) {
        for (std::size_t j = i + 1; j < std::size(kElements); ++j) {
            if (kElements[i].name.size() == kElements[j].name.size() &&
                kElements[i].name[0] == kElements[j].name[0]) {
                return false;
            }
        }
    }
    return true;
}

static_assert(HaveUniqueLengthAndFirstLetter());

SkinElement ElementOf(std::string_view name)
{
    if (name.empty()) {
        return SkinElement::other;
    }
    for (const ElementName& element : kElements) {
        if (element.name.size() == name.size() && element.name[0] == name[0]) {
            // Byte by byte: the names are shorter than a library call takes to set out.
            return std::equal(name.begin() + 1, name.end(), element.name.begin() + 1) ? element.element
                                                                                       : SkinElement::other;
        }
    }
    return SkinElement::other;
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
    // A skin has thousands of parts: their attributes are found in one pass.
    enum { kName, kWidth, kHeight, kResizeType, kImageFile, kImageX, kImageY, kColorizer, kAlphaMod, kMaskFile,
           kMaskX, kMaskY, kCount };
    static constexpr const char* kNames[kCount] = {
        "Name",          "Width",         "Height",           "ResizeType",        "ImageFile", "ImageLocX",
        "ImageLocY",     "ColorizerName", "ColorizerAlphaMod", "ColorizerMaskFile", "MaskLocX",  "MaskLocY"};
    const char* values[kCount];
    attributes.GetUTF8Attributes(kNames, values);
    if (values[kName] == nullptr || values[kWidth] == nullptr || values[kHeight] == nullptr ||
        values[kResizeType] == nullptr) {
        return;
    }
    const std::int32_t width = SkinValueSyntax::ParseInteger(values[kWidth]);
    const std::int32_t height = SkinValueSyntax::ParseInteger(values[kHeight]);
    std::uint32_t resizeType = kResizeStretch;
    if (XMLAttributes::IsSameName(values[kResizeType], "Tile")) {
        resizeType = kResizeTile;
    } else if (XMLAttributes::IsSameName(values[kResizeType], "Center")) {
        resizeType = kResizeCenter;
    }

    // Made in place: the found path is the image's name without a string in between.
    const char* imageFile = values[kImageFile];
    const ImageSource image = imageFile != nullptr && imageFile[0] != 0 && values[kImageX] != nullptr &&
                                      values[kImageY] != nullptr
                                  ? ImageSource{mParse.imageFinder.Find(mImagePrefix, imageFile, true),
                                                SkinValueSyntax::ParseInteger(values[kImageX]),
                                                SkinValueSyntax::ParseInteger(values[kImageY]), width, height}
                                  : ImageSource();
    RCPtr<LColorizer> colorizer;
    if (values[kColorizer] != nullptr) {
        if (const RCPtr<LColorizer>* found = mColorizers.Find(WideString(values[kColorizer]))) {
            colorizer = *found;
        }
    }
    if (image.fileName.IsEmpty() && !colorizer) {
        return;
    }
    const float alphaMod = values[kAlphaMod] != nullptr ? SkinValueSyntax::ParseFloat(values[kAlphaMod]) : 1.0f;
    std::optional<ImageSource> mask;
    if (values[kMaskFile] != nullptr && values[kMaskX] != nullptr && values[kMaskY] != nullptr) {
        mask = ImageSource{mParse.imageFinder.Find(mImagePrefix, values[kMaskFile], false),
                           SkinValueSyntax::ParseInteger(values[kMaskX]),
                           SkinValueSyntax::ParseInteger(values[kMaskY]), width, height};
    }
    const WideString name = XMLAttributes::ConvertString(values[kName]);
    const PointT<float> size(static_cast<float>(width), static_cast<float>(height));
    const ImageSource& partMask = mask ? *mask : NoMask();
    mParts.Add(name, image.fileName.IsEmpty()
                         ? MakeColorPart(name, resizeType, colorizer, size, alphaMod, partMask)
                         : MakeImagePart(name, image, resizeType, colorizer, alphaMod, partMask));
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
