#include "System/OpenFileDialog.h"

#include "ControlBase/DebugLine.h"
#include "Platform/FilePicker.h"
#include "Platform/StandardError.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/ZVFile.h"

#include <string>
#include <vector>

namespace ZV {

namespace {

std::string ToUtf8(const WideString& text)
{
    const auto utf8 = text.ToUTF8();
    return std::string(utf8.GetData(), utf8.GetLength());
}

// The path the picker chose may hold anything; the line stays one.
void TellUser(const std::string& message)
{
    WriteDebugLine(message);
    Platform::WriteLineToStandardError(message);
}

// "*.*" means every file there; on this desktop a name need not have a dot.
std::string ToPattern(const WideString& text)
{
    const WideString pattern = text.Trim().TrimLeftChars(L"\"").TrimRightChars(L"\"").Trim();
    return pattern == L"*.*" ? std::string("*") : ToUtf8(pattern);
}

// Descriptions and patterns alternate; a description without patterns is left out.
std::vector<Platform::FilePickerFilter> ParseFilter(const WideString& filter)
{
    std::vector<Platform::FilePickerFilter> filters;
    const WideStringArray parts = filter.Split(L"|");
    for (std::uint32_t index = 0; index + 1 < parts.GetCount(); index += 2) {
        Platform::FilePickerFilter entry;
        entry.description = ToUtf8(parts.GetItemPointer(index)->Trim());
        const WideStringArray patterns = parts.GetItemPointer(index + 1)->Split(L";");
        for (std::uint32_t pattern = 0; pattern < patterns.GetCount(); ++pattern) {
            if (std::string text = ToPattern(*patterns.GetItemPointer(pattern)); !text.empty()) {
                entry.patterns.push_back(std::move(text));
            }
        }
        if (!entry.patterns.empty()) {
            filters.push_back(std::move(entry));
        }
    }
    return filters;
}

// The chosen path, or the path with the default extension when only that one exists and the name has none.
WideString WithDefaultExtension(const WideString& path, const WideString& defaultExtension)
{
    const WideString extension = defaultExtension.Trim().TrimLeftChars(L"*").TrimLeftChars(L".");
    if (extension.IsEmpty() || File::FileExists(path) || File::GetFileName(path).ReverseFind(L'.') >= 0) {
        return path;
    }
    const WideString extended = path + WideString(L".") + extension;
    return File::FileExists(extended) ? extended : path;
}

}  // namespace

LOpenFileDialog::LOpenFileDialog(OSWindow* owner) : mOwner(owner) {}

LOpenFileDialog::~LOpenFileDialog() = default;

ZVRESULT LOpenFileDialog::Show(const WideString& filter, const WideString& defaultExtension, const WideString& title,
                               bool multiSelect)
{
    mFilePath.Empty();
    // Everything the picker is told is set anew for each call.
    Platform::FilePickerRequest request;
    request.title = ToUtf8(title);
    request.folder = ToUtf8(mFolder);
    request.filters = ParseFilter(filter);
    request.multiple = multiSelect;
    std::string error;
    const std::unique_ptr<Platform::FilePickerProcess> picker = Platform::FilePickerProcess::Start(request, error);
    if (!picker) {
        TellUser(error);
        return ZV_E_FAIL;
    }
    const bool ownerWasEnabled = mOwner && mOwner->IsEnabled();
    if (ownerWasEnabled) {
        mOwner->SetEnabled(false);
    }
    const bool owned = mOwner && mOwner->GetBackEnd().Exists();
    const auto ownerStands = [&] { return !owned || mOwner->GetBackEnd().Exists(); };
    LMessageLoop& loop = GetMessageLoop();
    loop.AddSource(picker.get());
    // The end of the picker is seen at the next tick at the latest.
    loop.StartTick();
    const bool ended = loop.Run([&] { return picker->IsRunning() && ownerStands(); });
    loop.StopTick();
    loop.RemoveSource(picker.get());
    if (ownerWasEnabled) {
        mOwner->SetEnabled(true);
    }
    std::string chosen;
    // When the application quits or the owner window goes meanwhile, the picker is ended with it, as cancelled.
    if (!ended || !ownerStands() || !picker->GetChosenPath(chosen)) {
        return ZV_E_FAIL;
    }
    WideString path;
    if (Failed(path.AssignFromUTF8(chosen.data(), static_cast<int>(chosen.size()))) || ToUtf8(path) != chosen) {
        // Cut or changed by the conversion, the name would lead to another file.
        TellUser("The file picker chose " + chosen + ", whose name is not UTF-8 text; it is not used.");
        return ZV_E_FAIL;
    }
    path = WithDefaultExtension(path, defaultExtension);
    if (!File::FileExists(path)) {
        TellUser("The file picker chose " + ToUtf8(path) + ", which is no file that exists.");
        return ZV_E_FAIL;
    }
    mFilePath = path;
    mFolder = File::GetParentFolder(path);
    return ZV_S_OK;
}

}  // namespace ZV
