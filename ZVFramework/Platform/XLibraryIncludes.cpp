#include "Platform/XLibraryIncludes.h"

#include <cstdlib>
#include <optional>

namespace ZV::Platform {

namespace {

constexpr std::string_view kBlanks = " \t";

bool IsKeyCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-';
}

int OctalValue(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A line that ends in a backslash goes on in the next, as libX11 reads it.
std::string WithoutContinuations(std::string_view text)
{
    std::string joined;
    for (std::size_t next = 0; next < text.size(); ++next) {
        if (text[next] == '\\' && next + 1 < text.size() && text[next + 1] == '\n') {
            ++next;
            continue;
        }
        joined += text[next];
    }
    return joined;
}

// The quoted text from the opening quote on, its escapes decoded; nothing when the line or the text ends first, as a
// fault that libX11 skips the line for.
std::optional<std::string> ComposeString(const std::string& text, std::size_t& next)
{
    std::string decoded;
    while (next < text.size()) {
        const char c = text[next++];
        if (c == '"') {
            return decoded;
        }
        if (c == '\n') {
            --next;
            return std::nullopt;
        }
        if (c != '\\') {
            decoded += c;
            continue;
        }
        if (next == text.size()) {
            return std::nullopt;
        }
        const char escaped = text[next++];
        if (OctalValue(escaped) >= 0) {
            int value = OctalValue(escaped);
            for (int digit = 1; digit < 3 && next < text.size() && OctalValue(text[next]) >= 0; ++digit) {
                value = value * 8 + OctalValue(text[next++]);
            }
            decoded += static_cast<char>(value);
        } else if (escaped == 'x' || escaped == 'X') {
            int value = 0;
            int digits = 0;
            for (; digits < 2 && next < text.size() && HexValue(text[next]) >= 0; ++digits) {
                value = value * 16 + HexValue(text[next++]);
            }
            if (digits == 0) {
                return std::nullopt;
            }
            decoded += static_cast<char>(value);
        } else {
            decoded += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
        }
    }
    return std::nullopt;
}

// The path libX11 opens for a name; nothing for the locale's own table.
std::optional<std::string> ExpandComposeName(const std::string& written)
{
    // The name is taken as text, up to a zero byte.
    const std::string name = written.substr(0, written.find('\0'));
    if (name == "%L") {
        return std::nullopt;
    }
    std::string path;
    for (std::size_t next = 0; next < name.size(); ++next) {
        if (name[next] != '%') {
            path += name[next];
            continue;
        }
        // libX11 reads past the name's end after a last "%": such a name, and "%L" in part of one, stay as written,
        // which is judged as what it is.
        if (next + 1 == name.size() || name[next + 1] == 'L') {
            return name;
        }
        switch (name[++next]) {
        case '%':
            path += '%';
            break;
        case 'H':
            if (const char* home = std::getenv("HOME")) {
                path += home;
            }
            break;
        case 'S':
            if (const char* folders = std::getenv("XLOCALEDIR")) {
                path += std::string(folders) + ":";
            }
            path += kXLocaleFolder;
            break;
        default:
            break;
        }
    }
    return path;
}

}  // namespace

std::vector<std::string> FindComposeIncludes(std::string_view text)
{
    const std::string joined = WithoutContinuations(text);
    std::vector<std::string> names;
    bool afterInclude = false;
    for (std::size_t next = 0; next < joined.size();) {
        const char c = joined[next++];
        if (kBlanks.find(c) != std::string_view::npos) {
            continue;
        }
        std::optional<std::string> token;
        bool isKey = false;
        if (c == '"') {
            token = ComposeString(joined, next);
        } else if (c == '#') {
            next = std::min(joined.find('\n', next), joined.size());
        } else if (IsKeyCharacter(c)) {
            const std::size_t start = next - 1;
            while (next < joined.size() && IsKeyCharacter(joined[next])) {
                ++next;
            }
            token = joined.substr(start, next - start);
            isKey = true;
        }
        if (afterInclude && token) {
            if (std::optional<std::string> path = ExpandComposeName(*token)) {
                names.push_back(std::move(*path));
            }
        }
        afterInclude = isKey && *token == "include";
    }
    return names;
}

std::vector<std::string> FindResourceIncludes(std::string_view text, const std::string& file)
{
    const std::size_t folderEnd = file.rfind('/');
    const std::string folder = folderEnd == std::string::npos ? std::string() : file.substr(0, folderEnd + 1);
    std::vector<std::string> names;
    for (std::size_t lineStart = 0; lineStart < text.size();) {
        const std::size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const auto skipBlanks = [&line] { line.remove_prefix(std::min(line.find_first_not_of(kBlanks), line.size())); };
        skipBlanks();
        if (!line.starts_with('#')) {
            continue;
        }
        line.remove_prefix(1);
        skipBlanks();
        if (!line.starts_with("include")) {
            continue;
        }
        line.remove_prefix(7);
        skipBlanks();
        const std::size_t nameEnd = line.find('"', 1);
        if (!line.starts_with('"') || nameEnd == std::string_view::npos) {
            continue;
        }
        std::string name(line.substr(1, nameEnd - 1));
        name = name.substr(0, name.find('\0'));
        names.push_back(name.starts_with('/') ? name : folder + name);
    }
    return names;
}

}  // namespace ZV::Platform
