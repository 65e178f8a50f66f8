#include "ControlBase/ControlFactory.h"

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "ControlBase/XMLSource.h"
#include "ObjectBase/Exception.h"

#include <cstring>
#include <exception>

namespace ZV {

LControlFactory::LControlFactory(const WideString& applicationName) : mApplicationName(applicationName) {}

ZVRESULT LControlFactory::LoadSkins(const WideString& source)
{
    try {
        XMLSource document;
        const ZVRESULT loaded = document.Load(source);
        if (Failed(loaded)) {
            return loaded;
        }
        mParse = SkinParseState();
        mStringTableMode = false;
        const ZVRESULT parsed = ParseXML(document.GetData(), document.GetSize());
        mCurrentSkinIndex = 0;
        return parsed;
    } catch (const std::exception&) {
        return ZV_E_FAIL;
    }
}

ZVRESULT LControlFactory::ParseXML(const char* buffer, std::size_t length)
{
    if (buffer == nullptr) {
        return ZV_E_FAIL;
    }
    return ParseDocument(buffer, length != 0 ? length : std::strlen(buffer));
}

ZVRESULT LControlFactory::ParseDocument(const char* data, std::size_t size)
{
    mStringParse = StringTableParseState();
    // A document sees its skin folders as they are while it is read.
    mParse.imageFinder = SkinImageFinder();
    return ParseXMLDocument(data, size, *this, mLastParseError);
}

void LControlFactory::XMLStartElement(std::string_view name, const XMLAttributes& attributes)
{
    if (mStringTableMode) {
        StartStringTableElement(name, attributes);
    } else {
        StartSkinElement(name, attributes);
    }
}

void LControlFactory::XMLEndElement(std::string_view name)
{
    if (mStringTableMode) {
        mStringParse.localeMatched = false;
    } else {
        EndSkinElement(name);
    }
}

void LControlFactory::XMLCharacterData(std::string_view text)
{
    if (mStringTableMode) {
        AppendLocaleText(text);
    } else {
        SkinCharacterData(text);
    }
}

void LControlFactory::StartApplication(const XMLAttributes& attributes)
{
    mApplicationName.Empty();
    attributes.GetStringAttribute("Name", mApplicationName);
}

ZVRESULT LControlFactory::RegisterControlCreateFunction(const WideString& className, ControlCreateFunction function)
{
    mCreateFunctions.Add(className, function);
    return ZV_S_OK;
}

ZVRESULT LControlFactory::GetControlCreateFunction(const WideString& className,
                                                   ControlCreateFunction& function) const
{
    const ControlCreateFunction* registered = mCreateFunctions.Find(className);
    if (registered == nullptr) {
        ZV_THROW(std::runtime_error, "");
    }
    function = *registered;
    return ZV_S_OK;
}

ControlCreateFunction LControlFactory::ResolveCreateFunction(LControlDescriptor& descriptor) const
{
    if (descriptor.GetCreateFunction() == nullptr) {
        ControlCreateFunction function = nullptr;
        (void)GetControlCreateFunction(descriptor.GetClass(), function);
        descriptor.SetCreateFunction(function);
    }
    return descriptor.GetCreateFunction();
}

RCPtr<LControl> LControlFactory::CreateControl(const RCPtr<LControlDescriptor>& descriptor,
                                               const RCPtr<LControl>& parent)
{
    if (!descriptor) {
        return nullptr;
    }
    const ControlCreateFunction create = ResolveCreateFunction(*descriptor);
    RCPtr<LControl> control;
    return create != nullptr ? create(control, parent, descriptor) : control;
}

RCPtr<LControl> LControlFactory::CreateControlByName(const WideString& name, const RCPtr<IRootWindow>& rootWindow)
{
    const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(name);
    if (!descriptor) {
        return nullptr;
    }
    if (const RCPtr<LLayoutDescriptor>& layout = descriptor->GetLayoutDescriptor()) {
        layout->isVisible = true;
    }
    const RCPtr<LControl> control = CreateControl(descriptor, nullptr);
    if (control) {
        (void)control->SetRootWindow(rootWindow);
    }
    return control;
}

ZVRESULT LControlFactory::ApplySkinToControl(const RCPtr<LControl>& control)
{
    if (!control) {
        return ZV_E_FAIL;
    }
    const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(control->GetName());
    return descriptor ? control->ApplyDescriptor(descriptor) : ZV_E_FAIL;
}

const LControlDescriptor* LControlFactory::GetCurrentRoot() const
{
    if (mCurrentSkinIndex < 0 || static_cast<std::uint32_t>(mCurrentSkinIndex) >= mRoots.GetCount()) {
        return nullptr;
    }
    return mRoots.GetData()[mCurrentSkinIndex].Get();
}

RCPtr<LControlDescriptor> LControlFactory::FindControlDescriptor(const WideString& name) const
{
    const LControlDescriptor* root = GetCurrentRoot();
    if (root == nullptr) {
        return nullptr;
    }
    const RCPtrArray<LControlDescriptor>& controls = root->GetSubControls();
    for (std::uint32_t i = controls.GetCount(); i-- > 0;) {
        if (controls.GetData()[i]->GetName() == name) {
            return controls.GetData()[i];
        }
    }
    return nullptr;
}

RCPtr<LControlDescriptor> LControlFactory::DeriveControlDescriptor(const RCPtr<LControlDescriptor>& templateDescriptor,
                                                                   const RCPtr<LLayoutDescriptor>& layout,
                                                                   const WideString& name)
{
    if (!templateDescriptor) {
        return nullptr;
    }
    RCPtr<LControlDescriptor> derived = templateDescriptor->Clone();
    derived->SetName(name);
    ZV_THROW_IF_FAILED(derived->SetLayoutDescriptor(layout));
    return derived;
}

ZVRESULT LControlFactory::GetSkinFont(WideString& fontName, float& fontSize, std::int32_t& fontStyle) const
{
    const LControlDescriptor* root = GetCurrentRoot();
    if (root == nullptr || !root->GetSkinDescriptor()) {
        return ZV_S_FALSE;
    }
    const SkinFontSettings& font = root->GetSkinDescriptor()->GetFont();
    bool copied = false;
    if (!font.name.IsEmpty()) {
        fontName = font.name;
        copied = true;
    }
    if (font.size >= 1.0f) {
        fontSize = font.size;
        copied = true;
    }
    if (font.style != -1) {
        fontStyle = font.style;
        copied = true;
    }
    return copied ? ZV_S_OK : ZV_S_FALSE;
}

}  // namespace ZV
