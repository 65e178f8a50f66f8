#pragma once

#include <stdint.h>

// The settings library: INI files read into memory, changed there and written back whole. Programs load it at run
// time and find these functions by name; nothing else is exported.
//
// Texts are NUL-terminated UTF-8. An open file is known by a handle above 0. A key is a path: "Section/Name" names the
// key Name in the section Section (everything before the last '/'), "/Name" a key above the first section, and a
// plain "Name" a key in the default section given to OpenIniFile. An array at a key path is the section of that path
// with the key "Count" and the items "0" to "Count - 1". The file format is described in IniDocument.h.
//
// Results: kIniDone, or kIniDefaultUsed when the value is absent or unusable and the default stands in, or
// kIniUnchanged when a file that was to be written had nothing new to write, or one of the failures below. A text
// read copies into the caller's buffer; when it does not fit, the answer is kIniBufferTooSmall with the size it needs,
// NUL included, in *neededSize (which may be null).

#ifdef __cplusplus
extern "C" {
#endif

enum {
    kIniDone = 0,
    kIniDefaultUsed = 1,
    // Nothing was written: the file has not changed since it was read or last written.
    kIniUnchanged = 2,
    kIniBadHandle = -1,
    kIniBufferTooSmall = -2,
    // The file or its folder cannot be read or written; nothing was changed on disk.
    kIniFileError = -3,
    kIniBadArgument = -4,
    // A file or a text beyond the size a settings file may have.
    kIniTooLarge = -5,
    // The file holds NUL bytes or is not UTF-8: it is left as it is, never read nor overwritten.
    kIniNotText = -6,
    kIniOutOfMemory = -7,
    kIniInternalError = -8,
    // The file is one its user may not write: it is left as it is, and its changes stay unwritten.
    kIniReadOnly = -9,
    // The file lies in a folder, or behind a link, that another user controls, who could turn it elsewhere: it is
    // neither read nor written.
    kIniUnsafePath = -10,
};

enum {
    kIniMaxArrayCount = 4096,
    // A settings file larger than this (1 MiB) is refused, and no text may make one: a file of short lines costs
    // many times its size in memory.
    kIniMaxFileSize = 1024 * 1024,
};

#define INI_FILE_MANAGER_EXPORT __attribute__((visibility("default")))

// Reads the file at path; a file that does not exist yet, in a folder that does, opens empty. version is recorded in
// the section "File" under "Version" when the file is next written; defaultSection holds the keys named without a
// section. *handle is 0 unless the file opened. The file is reached, when it is read and each time it is written, only
// through folders that nobody but the user and root can change and through links that are the user's or root's.
INI_FILE_MANAGER_EXPORT int32_t OpenIniFile(const char* path, const char* version, const char* defaultSection,
                                            int32_t* handle);
// Writes the file when it has changed since it was read or last written (else kIniUnchanged): into a new file beside
// it, which then takes its place, so that the old file stays whole until the new one is. A file its user may not write
// is never replaced (kIniReadOnly).
INI_FILE_MANAGER_EXPORT int32_t WriteIniFile(int32_t handle);
// 1 when node is a section (empty: the default section) or the path of a key.
INI_FILE_MANAGER_EXPORT uint8_t DoesNodeExist(int32_t handle, const char* node);
// Writes first when writeFirst is not 0, answering as WriteIniFile does; the handle is spent either way.
INI_FILE_MANAGER_EXPORT int32_t CloseIniFile(int32_t handle, int32_t writeFirst);

// A decimal 32-bit value; anything else reads as absent.
INI_FILE_MANAGER_EXPORT int32_t GetIniValueInt(int32_t handle, const char* key, int32_t defaultValue, int32_t* value);
INI_FILE_MANAGER_EXPORT int32_t SetIniValueInt(int32_t handle, const char* key, int32_t value);
// An absent value copies the default (empty when null) into the buffer.
INI_FILE_MANAGER_EXPORT int32_t GetIniValueStr(int32_t handle, const char* key, const char* defaultText, char* buffer,
                                               int32_t bufferSize, int32_t* neededSize);
INI_FILE_MANAGER_EXPORT int32_t SetIniValueStr(int32_t handle, const char* key, const char* text);

// The keys of a section (empty node: the default section), each named once, in the order of the file.
INI_FILE_MANAGER_EXPORT int32_t GetKeyCount(int32_t handle, const char* node, int32_t* count);
INI_FILE_MANAGER_EXPORT int32_t GetKeyNameAt(int32_t handle, const char* node, int32_t index, char* buffer,
                                             int32_t bufferSize, int32_t* neededSize);

// Counts run from 0 to kIniMaxArrayCount; a count in the file outside that range reads as absent.
INI_FILE_MANAGER_EXPORT int32_t GetArrayCount(int32_t handle, const char* key, int32_t* count);
// Drops the items from count on, and gives missing items below it an empty text.
INI_FILE_MANAGER_EXPORT int32_t SetArrayCount(int32_t handle, const char* key, int32_t count);
// An item that the count includes but the file lacks reads as an empty text, with kIniDefaultUsed.
INI_FILE_MANAGER_EXPORT int32_t GetArrayItemAt(int32_t handle, const char* key, int32_t index, char* buffer,
                                               int32_t bufferSize, int32_t* neededSize);
// The index must lie below the count; SetArrayCount makes room.
INI_FILE_MANAGER_EXPORT int32_t SetArrayItemAt(int32_t handle, const char* key, int32_t index, const char* text);
// The items after it move down by one.
INI_FILE_MANAGER_EXPORT int32_t RemoveArrayItemAt(int32_t handle, const char* key, int32_t index);

#ifdef __cplusplus
}
#endif
