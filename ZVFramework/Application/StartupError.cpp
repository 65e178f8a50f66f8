#include "Application/StartupError.h"

#include "Application/ApplicationFolders.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DebugLine.h"
#include "Platform/MessageBox.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"

#include <exception>
#include <memory>
#include <string>

namespace ZV {

namespace {

WideString StringOrDefault(const LStringTable* strings, const wchar_t* key, const wchar_t* fallback)
{
    WideString text(fallback);
    if (strings != nullptr) {
        // An absent id leaves the built-in text.
        (void)strings->GetString(key, text);
    }
    return text;
}

// The framework's texts in the user's language, read from the program's resources as its start reads them, for a
// failure that comes before the start has them (an argument it cannot take, the resources themselves). Null when
// they cannot be read.
RCPtr<LStringTable> LoadUsersFrameworkStrings()
{
    try {
        WideString resources;
        (void)FindApplicationFolder(kResourceFolder, WideString(), WideString(), resources);
        const RCPtr<LControlFactory> factory(new LControlFactory(WideString()));
        // The skin may be what failed; the string tables are read before it and stay.
        (void)factory->LoadResources(resources, 0);
        return factory->GetFrameworkStringTable();
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The system's request to end answers the box as its OK does, whenever it shows: where the loop catches the requests
// already, the box watches the loop's, and the loop takes the request afterwards.
void ShowBox(const LStringTable* frameworkStrings, const Platform::NativeWindow* owner)
{
    const RCPtr<LStringTable> loaded = frameworkStrings == nullptr ? LoadUsersFrameworkStrings() : nullptr;
    const LStringTable* strings = frameworkStrings != nullptr ? frameworkStrings : loaded.Get();
    const std::string caption = GetStartupErrorCaption(strings).ToUTF8().GetData();
    const std::string text = GetStartupErrorText(strings).ToUTF8().GetData();
    const std::unique_ptr<Platform::TerminationRequests> endRequests = Platform::TerminationRequests::Catch(nullptr);
    constexpr unsigned kFlags = Platform::kMessageBoxOk | Platform::kMessageBoxIconError;
    (void)Platform::ShowMessageBoxWindow(caption, text, kFlags, owner);
}

}  // namespace

WideString GetStartupErrorText(const LStringTable* frameworkStrings)
{
    return StringOrDefault(frameworkStrings, L"STARTUP_ERROR", kStartupErrorText);
}

WideString GetStartupErrorCaption(const LStringTable* frameworkStrings)
{
    return StringOrDefault(frameworkStrings, L"STARTUP_ERROR_CAPTION", kStartupErrorCaption);
}

void ShowStartupError(const LStringTable* frameworkStrings, std::string_view detail,
                      const Platform::NativeWindow* owner)
{
    if (!detail.empty()) {
        Platform::WriteLineToStandardError(detail);
        WriteDebugLine(detail);
    }
    // Scripts and logs read the standard error: it stays English whatever language the box speaks.
    Platform::WriteLineToStandardError(std::string(WideString(kStartupErrorCaption).ToUTF8().GetData()) + ": " +
                                       WideString(kStartupErrorText).ToUTF8().GetData());
    ShowBox(frameworkStrings, owner);
}

void RefuseStart(std::string_view reason)
{
    Platform::WriteLineToStandardError(reason);
    ShowBox(nullptr, nullptr);
}

}  // namespace ZV
