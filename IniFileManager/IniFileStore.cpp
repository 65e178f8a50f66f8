#include "IniFileStore.h"

#include "IniFileManager.h"
#include "Platform/CheckedFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace Ini {

namespace {

using ZV::Platform::CheckedFolder;

// The folder the settings file lies in, links followed where that is safe, and the file's name in it.
CheckedFolder FindFolder(const std::string& path, std::string& name)
{
    std::string absolute = path;
    if (!path.empty() && !path.starts_with('/')) {
        const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
        absolute = current != nullptr ? std::string(current.get()) + "/" + path : std::string();
    }
    return CheckedFolder::OpenFileFolder(absolute, CheckedFolder::Missing::refuse, name);
}

std::int32_t RefusalOf(const CheckedFolder& folder)
{
    return folder.IsUnsafe() ? kIniUnsafePath : kIniFileError;
}

}  // namespace

std::int32_t ReadSettingsFile(const std::string& path, std::string& text)
{
    text.clear();
    std::string name;
    const CheckedFolder folder = FindFolder(path, name);
    if (!folder.IsOpen()) {
        return RefusalOf(folder);
    }
    std::string content;
    switch (ZV::Platform::ReadFileIn(folder, name, kIniMaxFileSize, content)) {
    case ZV::Platform::FileRead::done:
        break;
    case ZV::Platform::FileRead::missing:
        return kIniDone;
    case ZV::Platform::FileRead::tooLarge:
        return kIniTooLarge;
    case ZV::Platform::FileRead::notAFile:
    case ZV::Platform::FileRead::failed:
        return kIniFileError;
    }
    if (content.find('\0') != std::string::npos || !IsUtf8Text(content)) {
        return kIniNotText;
    }
    text = std::move(content);
    return kIniDone;
}

std::int32_t WriteSettingsFile(const std::string& path, std::string_view text)
{
    std::string name;
    const CheckedFolder folder = FindFolder(path, name);
    if (!folder.IsOpen()) {
        return RefusalOf(folder);
    }
    switch (ZV::Platform::ReplaceFileIn(folder, name, text)) {
    case ZV::Platform::FileWrite::done:
        return kIniDone;
    case ZV::Platform::FileWrite::readOnly:
        return kIniReadOnly;
    case ZV::Platform::FileWrite::failed:
        break;
    }
    return kIniFileError;
}

bool IsUtf8Text(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        // The range the byte after the lead byte must lie in: it rules out overlong forms, surrogates and values
        // beyond U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace Ini
