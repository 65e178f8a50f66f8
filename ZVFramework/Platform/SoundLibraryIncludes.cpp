#include "Platform/SoundLibraryIncludes.h"

#include <optional>

namespace ZV::Platform {

namespace {

constexpr std::string_view kWhiteSpace = " \f\t\n\r";
// What ends a word. ALSA ends a key's word at "." too, and takes a mode character ("+-?!") before a key as a token:
// both are taken here wherever they stand, so that an include after them is found.
constexpr std::string_view kWordEnds = " \f\t\n\r=,;{}[]'\"\\#.";
constexpr std::string_view kTokens = "{}[],;=.+-?!\\";

class Reader {
public:
    explicit Reader(std::string_view text) : mText(text) {}

    bool AtEnd() const { return mNext >= mText.size(); }
    char Peek() const { return mText[mNext]; }
    char Take() { return mText[mNext++]; }

    // The text up to the delimiter, its escapes decoded; nothing when the text ends first.
    std::optional<std::string> Delimited(char delimiter)
    {
        std::string decoded;
        while (!AtEnd()) {
            const char c = Take();
            if (c == delimiter) {
                return decoded;
            }
            if (c != '\\') {
                decoded += c;
                continue;
            }
            const std::optional<char> escaped = Escaped();
            if (!escaped) {
                return std::nullopt;
            }
            if (*escaped != '\n') {
                decoded += *escaped;
            }
        }
        return std::nullopt;
    }

private:
    // The character after a backslash, as ALSA reads it: "\n" and its kind, "\xHH", up to three octal digits.
    std::optional<char> Escaped()
    {
        if (AtEnd()) {
            return std::nullopt;
        }
        const char c = Take();
        switch (c) {
        case 'n': return '\n';
        case 't': return '\t';
        case 'v': return '\v';
        case 'b': return '\b';
        case 'r': return '\r';
        case 'f': return '\f';
        case 'x': {
            int value = 0;
            for (int digit = 0; digit < 2; ++digit) {
                if (AtEnd()) {
                    return std::nullopt;
                }
                value = value * 16 + HexValue(Take());
            }
            return static_cast<char>(value);
        }
        default:
            break;
        }
        if (c < '0' || c > '7') {
            return c;
        }
        int value = c - '0';
        for (int digit = 1; digit < 3 && !AtEnd() && Peek() >= '0' && Peek() <= '7'; ++digit) {
            value = value * 8 + (Take() - '0');
        }
        return static_cast<char>(value);
    }

    // A digit's value as ALSA takes it: a letter from "a" to "f", in either case, counts its distance from "a" (so
    // "\x2d" is "#"), and any other character counts 0.
    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a';
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A';
        }
        return 0;
    }

    std::string_view mText;
    std::size_t mNext = 0;
};

}  // namespace

bool FindSoundLibraryIncludes(std::string_view text, bool included, std::vector<std::string>& names)
{
    names.clear();
    Reader reader(text);
    while (!reader.AtEnd()) {
        const char c = reader.Take();
        if (kWhiteSpace.find(c) != std::string_view::npos || kTokens.find(c) != std::string_view::npos) {
            continue;
        }
        if (c == '#') {
            while (!reader.AtEnd() && reader.Peek() != '\n') {
                reader.Take();
            }
            if (reader.AtEnd()) {
                return !included;
            }
            continue;
        }
        if (c == '<' || c == '"' || c == '\'') {
            std::optional<std::string> delimited = reader.Delimited(c == '<' ? '>' : c);
            if (!delimited) {
                return false;
            }
            if (c == '<') {
                names.push_back(std::move(*delimited));
            }
            continue;
        }
        while (!reader.AtEnd() && kWordEnds.find(reader.Peek()) == std::string_view::npos) {
            reader.Take();
        }
    }
    return true;
}

}  // namespace ZV::Platform
