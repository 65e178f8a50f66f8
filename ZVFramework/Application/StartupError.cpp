#include "Application/StartupError.h"

#include "ControlBase/DebugLine.h"
#include "Platform/MessageBox.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"

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
        const std::string line = std::string(detail) + "\n";
        Platform::WriteToStandardError(line.data(), line.size());
        WriteDebugLine(detail);
    }
    // The system's request to end answers the box as its OK does, whenever it shows: where the loop catches the
    // requests already, the box watches the loop's, and the loop takes the request afterwards.
    const std::unique_ptr<Platform::TerminationRequests> endRequests = Platform::TerminationRequests::Catch(nullptr);
    Platform::ShowMessageBox(GetStartupErrorCaption(frameworkStrings).ToUTF8().GetData(),
                             GetStartupErrorText(frameworkStrings).ToUTF8().GetData(),
                             Platform::kMessageBoxOk | Platform::kMessageBoxIconError, owner);
}

}  // namespace ZV
