#include "Platform/FileNamePattern.h"

#include "Platform/TextLocale.h"

#include <string>

namespace ZV::Platform {

namespace {

// Stands for a byte that does not start a valid UTF-8 sequence; above every code point, so it matches only itself.
constexpr char32_t kStrayByteBase = 0x110000;

std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// One code point from text at index, advancing index; a byte that begins no valid sequence is taken alone.
char32_t NextCharacter(std::string_view text, std::size_t& index)
{
    const auto lead = static_cast<unsigned char>(text[index]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || index + length > text.size()) {
        ++index;
        return kStrayByteBase + lead;
    }
    static constexpr unsigned char kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t codePoint = lead & kLeadMasks[length];
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[index + i]);
        if ((next & 0xC0) != 0x80) {
            ++index;
            return kStrayByteBase + lead;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallestOfLength[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++index;
        return kStrayByteBase + lead;
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
