#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DebugLine.h"
#include "ControlBase/XMLSource.h"
#include "Platform/LanguageId.h"
#include "Utilities/Storage/ZVFile.h"

#include <string>

namespace ZV {

namespace {

constexpr std::uint32_t kLanguageEnglish = 0x0009;
constexpr std::uint32_t kChineseTraditional = 0x7C04;

// The locale whose texts stand in for a locale that a document has none for: the language's texts, with the
// traditional Chinese locales (Taiwan, Hong Kong, Macao) sharing one.
std::uint32_t LanguageFallback(std::uint32_t localeId)
{
    if (localeId == 0x0404 || localeId == 0x0C04 || localeId == 0x1404) {
        return kChineseTraditional;
    }
    return localeId & 0xFF;
}

void ReportIgnored(std::string_view element, std::string_view reason)
{
    WriteDebugLine("String-table element " + std::string(element) + " ignored: " + std::string(reason));
}

}  // namespace

ZVRESULT LControlFactory::LoadResources(const WideString& source, std::uint32_t localeId)
{
    const std::uint32_t locale = localeId != 0 ? localeId : Platform::GetUserDefaultLanguageId();
    ZVRESULT strings = ZV_S_OK;
    WideString skins;
    if (source == L"::") {
        SetImagePrefix(source);
        strings = LoadStringTables(L"::APP_STRINGS", L"::FRAMEWORK_STRINGS", locale);
        skins = L"::APP_SKINS";
    } else {
        WideString folder = source;
        folder.AppendChar(kPathSep);
        SetImagePrefix(folder);
        strings = LoadStringTables(folder + WideString(L"StringTables.xml"),
                                   folder + WideString(L"FrameworkStrings.xml"), locale);
        skins = folder + WideString(L"Skins.xml");
    }
    return Failed(strings) ? strings : LoadSkins(skins);
}

ZVRESULT LControlFactory::LoadStringTables(const WideString& applicationSource, const WideString& frameworkSource,
                                           std::uint32_t localeId)
{
    // Set before either source is read: when the application's document is missing, the framework's is still read
    // for the user's locale.
    mLocaleId = localeId;
    mStringTableMode = true;
    const ZVRESULT application =
        LoadStringDocument(applicationSource, {localeId, LanguageFallback(localeId), kLanguageEnglish});
    if (Failed(application)) {
        return application;
    }
    return LoadStringDocument(frameworkSource, {mLocaleId, kLanguageEnglish});
}

ZVRESULT LControlFactory::LoadStringDocument(const WideString& source, std::initializer_list<std::uint32_t> locales)
{
    XMLSource document;
    const ZVRESULT loaded = document.Load(source);
    if (loaded == ZV_E_OUTOFMEMORY) {
        return loaded;
    }
    if (Failed(loaded)) {
        return ZV_S_OK;
    }
    bool first = true;
    for (const std::uint32_t locale : locales) {
        // A parse for the locale just tried cannot match either.
        if (!first && locale == mLocaleId) {
            continue;
        }
        first = false;
        mLocaleId = locale;
        // A document that is not well-formed keeps what it gave before the fault; the debug output says why.
        static_cast<void>(ParseDocument(document.GetData(), document.GetSize()));
        if (mStringParse.matchedCount != 0) {
            break;
        }
    }
    return ZV_S_OK;
}

void LControlFactory::StartStringTableElement(std::string_view name, const XMLAttributes& attributes)
{
    if (name == "Application") {
        StartApplication(attributes);
    } else if (name == "StringTable") {
        StartStringTable(attributes);
    } else if (name == "String") {
        StartString(attributes);
    } else if (name == "Locale") {
        StartLocale(attributes);
    }
}

void LControlFactory::StartStringTable(const XMLAttributes& attributes)
{
    WideString id;
    attributes.GetStringAttribute("ID", id);
    // The current key carries on: a String without an ID adds to it in this table too.
    mStringParse.currentTable = &mStringStore[id];
}

void LControlFactory::StartString(const XMLAttributes& attributes)
{
    if (mStringParse.currentTable == nullptr) {
        ReportIgnored("String", "it lies outside any StringTable");
        return;
    }
    // Without an ID the String goes on with the current key, and its texts join that key's.
    if (attributes.GetStringAttribute("ID", mStringParse.currentKey)) {
        mStringParse.hasKey = true;
        mStringParse.textAddedForKey = nullptr;
    }
}

void LControlFactory::StartLocale(const XMLAttributes& attributes)
{
    if (!mStringParse.hasKey) {
        ReportIgnored("Locale", "no String with an ID comes before it in the document");
        return;
    }
    std::int32_t locale = 0;
    if (!attributes.GetIntAttribute("LCID", locale)) {
        ReportIgnored("Locale", "it has no LCID");
        return;
    }
    if (static_cast<std::uint32_t>(locale) != mLocaleId) {
        return;
    }
    ++mStringParse.matchedCount;
    mStringParse.localeMatched = true;
    const auto [entry, added] = mStringParse.currentTable->try_emplace(mStringParse.currentKey);
    if (added) {
        mStringParse.textAddedForKey = &entry->second;
    }
    mStringParse.currentText = &entry->second == mStringParse.textAddedForKey ? &entry->second : nullptr;
}

void LControlFactory::AppendLocaleText(std::string_view text)
{
    if (!mStringParse.localeMatched || mStringParse.currentText == nullptr) {
        return;
    }
    WideString run;
    static_cast<void>(run.AssignFromUTF8(text.data(), static_cast<int>(text.size())));
    *mStringParse.currentText += run;
}

RCPtr<LStringTable> LControlFactory::MakeStringTable(const WideString& id) const
{
    const auto table = mStringStore.find(id);
    return table == mStringStore.end() ? nullptr : RCPtr<LStringTable>(new LStringTable(table->second));
}

RCPtr<LStringTable> LControlFactory::GetFrameworkStringTable() const
{
    return MakeStringTable(L"Framework");
}

RCPtr<LStringTable> LControlFactory::GetApplicationStringTable() const
{
    return MakeStringTable(WideString(L"|") + mApplicationName);
}

RCPtr<LStringTable> LControlFactory::GetControlStringTable(const LControl* parent, const WideString& name) const
{
    if (parent != nullptr && !parent->GetControlDescriptor()) {
        return nullptr;
    }
    const WideString& owner = parent != nullptr ? parent->GetControlDescriptor()->GetClass() : mApplicationName;
    return MakeStringTable(owner + WideString(L"|") + name);
}

}  // namespace ZV
