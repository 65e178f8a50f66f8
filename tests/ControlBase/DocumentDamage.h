#pragma once

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>

// Damage of the kinds that a broken or hand-edited document shows, for the parsers' mutation tests.
namespace ZV::Testing {

inline std::size_t RandomPlace(const std::string& text, std::mt19937& random)
{
    return text.empty() ? 0 : random() % text.size();
}

inline void CutShort(std::string& text, std::mt19937& random)
{
    text.resize(RandomPlace(text, random));
}

// One to eight bytes anywhere become random ones.
inline void ChangeBytes(std::string& text, std::mt19937& random)
{
    for (int flips = static_cast<int>(random() % 8); flips >= 0 && !text.empty(); --flips) {
        text[RandomPlace(text, random)] = static_cast<char>(random());
    }
}

// Up to 2,000 bytes from one place again at another.
inline void RepeatPiece(std::string& text, std::mt19937& random)
{
    const std::size_t start = RandomPlace(text, random);
    text.insert(RandomPlace(text, random), text.substr(start, random() % 2000));
}

// Exchanges the tags at or after the two places, which moves elements out of their place or breaks the nesting.
inline void SwapTags(std::string& text, std::size_t from, std::size_t to)
{
    const std::size_t first = text.find('<', std::min(from, to));
    const std::size_t second = text.find('<', std::max(from, to));
    const std::size_t firstEnd = text.find('>', first);
    const std::size_t secondEnd = text.find('>', second);
    if (secondEnd == std::string::npos || firstEnd >= second) {
        return;
    }
    const std::string later = text.substr(second, secondEnd + 1 - second);
    text.replace(second, secondEnd + 1 - second, text.substr(first, firstEnd + 1 - first));
    text.replace(first, firstEnd + 1 - first, later);
}

}  // namespace ZV::Testing
