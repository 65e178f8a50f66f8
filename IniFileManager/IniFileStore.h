#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Settings files on disk: read whole, and replaced whole or not at all, only in folders that nobody but the user and
// root can change, and through links only where those are the user's or root's (see Platform/CheckedFolder.h). A
// relative path is taken from the current folder.
namespace Ini {

// The text of the settings file at path, and kIniDone; for a file that is not there yet, in a folder that is, an empty
// text. kIniUnsafePath for a file that another user could turn elsewhere, kIniFileError for anything but a readable
// regular file (a folder, a named pipe, a missing folder), kIniTooLarge for a file beyond kIniMaxFileSize,
// kIniNotText for one with NUL bytes or that is not UTF-8.
std::int32_t ReadSettingsFile(const std::string& path, std::string& text);

// Writes text to a new file beside the one at path (beside the file a link leads to), flushes it to the disk and only
// then lets it take the old file's name, owner and permissions: a crash or a full disk leaves the old file as it was.
// kIniReadOnly, before anything is made, for an old file that its user may not write. kIniUnsafePath for a file that
// another user could turn elsewhere, kIniFileError when it could not be done; no new file is left behind.
std::int32_t WriteSettingsFile(const std::string& path, std::string_view text);

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, surrogates or values above U+10FFFF.
bool IsUtf8Text(std::string_view text);

}  // namespace Ini
