// A settings library that answers nonsense, to show that the program does not believe it. What it answers depends on
// the key, node or path it is asked about; anything else gets a sound answer. Built a second time without
// RemoveArrayItemAt, as a library that lacks one of the functions.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::int32_t kBufferTooSmall = -2;
constexpr std::int32_t kFailed = -3;

void Fill(char* buffer, std::int32_t size, char c)
{
    std::memset(buffer, c, static_cast<std::size_t>(size));
}

// "needed:N" answers that the buffer is too small and needs N bytes, every time; "second-fails" asks for 2,000 bytes
// and then fails, with the buffer full of junk; "unterminated" fills the whole first buffer without a NUL;
// "unterminated-long" asks for 3,000 bytes and fills them without a NUL; "not-utf8" gives bytes that are not UTF-8.
std::int32_t AnswerText(std::string_view behaviour, char* buffer, std::int32_t size, std::int32_t* needed)
{
    if (behaviour.starts_with("needed:")) {
        *needed = static_cast<std::int32_t>(std::strtoll(behaviour.data() + 7, nullptr, 10));
        return kBufferTooSmall;
    }
    if (behaviour == "second-fails") {
        if (size < 2000) {
            *needed = 2000;
            return kBufferTooSmall;
        }
        Fill(buffer, size, '?');
        return kFailed;
    }
    if (behaviour == "unterminated") {
        Fill(buffer, size, 'a');
        return 0;
    }
    if (behaviour == "unterminated-long") {
        if (size < 3000) {
            *needed = 3000;
            return kBufferTooSmall;
        }
        Fill(buffer, size, 'b');
        return 0;
    }
    if (behaviour == "not-utf8") {
        std::strcpy(buffer, "\xFF\xFE broken");
        return 0;
    }
    std::strcpy(buffer, "sound");
    return 0;
}

// "negative" and "huge" give counts no settings file has; "junk-on-failure" fails but leaves a count behind.
std::int32_t AnswerCount(std::string_view behaviour, std::int32_t* count)
{
    if (behaviour == "negative") {
        *count = -5;
        return 0;
    }
    if (behaviour == "huge") {
        *count = INT_MAX;
        return 0;
    }
    if (behaviour == "junk-on-failure") {
        *count = 99;
        return kFailed;
    }
    *count = 3;
    return 0;
}

}  // namespace

// "no-handle" succeeds without a handle; "junk-on-failure" fails but leaves a handle behind.
FAKE_EXPORT std::int32_t OpenIniFile(const char* path, const char*, const char*, std::int32_t* handle)
{
    const std::string_view behaviour(path);
    if (behaviour == "no-handle") {
        *handle = 0;
        return 0;
    }
    *handle = 7;
    return behaviour == "junk-on-failure" ? kFailed : 0;
}

FAKE_EXPORT std::int32_t WriteIniFile(std::int32_t)
{
    return 0;
}

FAKE_EXPORT std::uint8_t DoesNodeExist(std::int32_t, const char*)
{
    return 2;
}

FAKE_EXPORT std::int32_t CloseIniFile(std::int32_t, std::int32_t)
{
    return 0;
}

FAKE_EXPORT std::int32_t GetIniValueInt(std::int32_t, const char* key, std::int32_t, std::int32_t* value)
{
    *value = 12345;
    return std::string_view(key) == "junk-on-failure" ? kFailed : 0;
}

FAKE_EXPORT std::int32_t SetIniValueInt(std::int32_t, const char*, std::int32_t)
{
    return 0;
}

FAKE_EXPORT std::int32_t GetIniValueStr(std::int32_t, const char* key, const char*, char* buffer, std::int32_t size,
                                        std::int32_t* needed)
{
    return AnswerText(key, buffer, size, needed);
}

FAKE_EXPORT std::int32_t SetIniValueStr(std::int32_t, const char*, const char*)
{
    return 0;
}

FAKE_EXPORT std::int32_t GetKeyCount(std::int32_t, const char* node, std::int32_t* count)
{
    return AnswerCount(node, count);
}

FAKE_EXPORT std::int32_t GetKeyNameAt(std::int32_t, const char* node, std::int32_t, char* buffer, std::int32_t size,
                                      std::int32_t* needed)
{
    return AnswerText(node, buffer, size, needed);
}

FAKE_EXPORT std::int32_t GetArrayCount(std::int32_t, const char* key, std::int32_t* count)
{
    return AnswerCount(key, count);
}

FAKE_EXPORT std::int32_t SetArrayCount(std::int32_t, const char*, std::int32_t)
{
    return 0;
}

FAKE_EXPORT std::int32_t GetArrayItemAt(std::int32_t, const char* key, std::int32_t, char* buffer, std::int32_t size,
                                        std::int32_t* needed)
{
    return AnswerText(key, buffer, size, needed);
}

FAKE_EXPORT std::int32_t SetArrayItemAt(std::int32_t, const char*, std::int32_t, const char*)
{
    return 0;
}

#ifndef WITHOUT_REMOVE_ARRAY_ITEM
FAKE_EXPORT std::int32_t RemoveArrayItemAt(std::int32_t, const char*, std::int32_t)
{
    return 0;
}
#endif
