#include "Platform/FileNamePattern.h"

#include "Platform/TextLocale.h"
#include "Platform/Utf8Sequence.h"

#include <string>

namespace ZV::Platform {

namespace {

// Stands for a byte that does not start a valid UTF-8 sequence; above every code point, so it matches only itself.
constexpr char32_t kStrayByteBase = 0x110000;

// One code point from text at index, advancing index; a byte that begins no valid sequence is taken alone.
char32_t NextCharacter(std::string_view text, std::size_t& index)
{
    const auto lead = static_cast<unsigned char>(text[index]);
    const std::size_t length = GetUtf8SequenceLength(text, index);
    if (length == 0) {
        ++index;
        return kStrayByteBase + lead;
    }
    static constexpr unsigned char kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t codePoint = lead & kLeadMasks[length];
    for (std::size_t i = 1; i < length; ++i) {
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[index + i]) & 0x3F);
    }
    index += length;
    return codePoint;
}

char32_t FoldCase(char32_t character)
{
    if (character > 0xFFFF) {
        return character;
    }
    return static_cast<char32_t>(ToUpperUnit(static_cast<wchar_t>(character)));
}

// Greedy matching that goes back only to the latest '*', so it runs in time proportional to name times pattern.
bool Matches(std::u32string_view name, std::u32string_view pattern)
{
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starInPattern = std::u32string_view::npos;
    std::size_t nameAtStar = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starInPattern = p++;
            nameAtStar = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starInPattern != std::u32string_view::npos) {
            p = starInPattern + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

bool MatchesFileNamePattern(std::string_view name, std::string_view pattern)
{
    const std::u32string foldedName = FoldFileNameCase(name);
    const std::u32string foldedPattern = FoldFileNameCase(pattern);
    if (Matches(foldedName, foldedPattern)) {
        return true;
    }
    const std::u32string_view patternView(foldedPattern);
    return patternView.ends_with(U".*") && Matches(foldedName, patternView.substr(0, patternView.size() - 2));
}

std::u32string FoldFileNameCase(std::string_view name)
{
    std::u32string characters;
    characters.reserve(name.size());
    for (std::size_t index = 0; index < name.size();) {
        characters.push_back(FoldCase(NextCharacter(name, index)));
    }
    return characters;
}

}  // namespace ZV::Platform
