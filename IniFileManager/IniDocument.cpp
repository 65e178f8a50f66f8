#include "IniDocument.h"

#include <algorithm>
#include <unordered_set>

namespace Ini {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return TrimRight(text);
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string EncodeValue(std::string_view value)
{
    std::string encoded;
    encoded.reserve(value.size() + 2);
    for (const char c : value) {
        switch (c) {
        case '\\':
            encoded += "\\\\";
            break;
        case '\n':
            encoded += "\\n";
            break;
        case '\r':
            encoded += "\\r";
            break;
        default:
            encoded += c;
        }
    }
    // Blanks around a value are not part of it when read, and a value between quotes loses them.
    if (!encoded.empty() && (encoded.front() == '"' || IsBlank(encoded.front()) || IsBlank(encoded.back()))) {
        return '"' + encoded + '"';
    }
    return encoded;
}

std::string DecodeValue(std::string_view written)
{
    written = Trim(written);
    if (written.size() >= 2 && written.front() == '"' && written.back() == '"') {
        written = written.substr(1, written.size() - 2);
    }
    std::string value;
    value.reserve(written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        const char next = i + 1 < written.size() ? written[i + 1] : '\0';
        // Any other backslash is kept as it stands, as a hand-written file means it.
        if (c == '\\' && (next == '\\' || next == 'n' || next == 'r')) {
            value += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++i;
        } else {
            value += c;
        }
    }
    return value;
}

}  // namespace

Document::Document(std::string_view text)
{
    mSections.emplace_back();
    if (text.starts_with(kByteOrderMark)) {
        mByteOrderMark = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r') {
        mLineEnd = "\r\n";
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        start = end + 1;

        const std::string_view visible = Trim(line);
        if (visible.size() >= 2 && visible.front() == '[' && visible.back() == ']') {
            mSections.push_back({std::string(Trim(visible.substr(1, visible.size() - 2))), std::string(line), {}});
            continue;
        }
        const std::size_t equals = visible.find('=');
        const bool isEntry =
            !visible.empty() && visible.find_first_of("[;#") != 0 && equals != std::string_view::npos && equals > 0;
        if (isEntry) {
            mSections.back().lines.push_back({Line::Kind::entry, std::string(TrimRight(visible.substr(0, equals))),
                                              DecodeValue(visible.substr(equals + 1)), std::string(line)});
        } else {
            mSections.back().lines.push_back({Line::Kind::other, {}, {}, std::string(line)});
        }
    }
}

std::string Document::GetText() const
{
    std::string text;
    for (std::size_t index = 0; index < mSections.size(); ++index) {
        const Section& section = mSections[index];
        if (index > 0) {
            AppendLine(text, section.header.empty() ? '[' + section.name + ']' : section.header);
        }
        for (const Line& line : section.lines) {
            AppendLine(text, line.kind == Line::Kind::entry && line.text.empty()
                                 ? line.key + '=' + EncodeValue(line.value)
                                 : line.text);
        }
    }
    // Only the first mark is taken for one when read: a first key that begins with U+FEFF needs one before it.
    if (mByteOrderMark || text.starts_with(kByteOrderMark)) {
        text.insert(0, kByteOrderMark);
    }
    return text;
}

void Document::AppendLine(std::string& text, std::string_view line) const
{
    text += line;
    // Reading takes a line's last carriage return for part of its end, so a line that ends with one gets another.
    text += line.ends_with('\r') ? std::string_view("\r\n") : std::string_view(mLineEnd);
}

bool Document::HasSection(std::string_view section) const
{
    return std::any_of(mSections.begin(), mSections.end(),
                       [section](const Section& candidate) { return candidate.name == section; });
}

const Document::Line* Document::FindEntry(std::string_view section, std::string_view key) const
{
    for (const Section& candidate : mSections) {
        if (candidate.name != section) {
            continue;
        }
        for (const Line& line : candidate.lines) {
            if (line.kind == Line::Kind::entry && line.key == key) {
                return &line;
            }
        }
    }
    return nullptr;
}

Document::Line* Document::FindEntry(std::string_view section, std::string_view key)
{
    return const_cast<Line*>(static_cast<const Document*>(this)->FindEntry(section, key));
}

const std::string* Document::FindValue(std::string_view section, std::string_view key) const
{
    const Line* entry = FindEntry(section, key);
    return entry != nullptr ? &entry->value : nullptr;
}

Document::Section& Document::SectionForNewKey(std::string_view section)
{
    for (Section& candidate : mSections) {
        if (candidate.name == section) {
            return candidate;
        }
    }
    // A blank line sets the new section apart from the one above it.
    std::vector<Line>& above = mSections.back().lines;
    if (!above.empty() && !(above.back().kind == Line::Kind::other && Trim(above.back().text).empty())) {
        above.push_back(Line{});
    }
    return mSections.emplace_back(Section{std::string(section), {}, {}});
}

bool Document::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (Line* entry = FindEntry(section, key)) {
        if (entry->value == value) {
            return false;
        }
        entry->value = value;
        entry->text.clear();
        return true;
    }
    std::vector<Line>& lines = SectionForNewKey(section).lines;
    // After the section's last line that shows anything, so that the blank lines before the next section stay there.
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const Line& line) {
        return line.kind == Line::Kind::entry || !Trim(line.text).empty();
    });
    lines.insert(last.base(), Line{Line::Kind::entry, std::string(key), std::string(value), {}});
    return true;
}

void Document::RemoveKey(std::string_view section, std::string_view key)
{
    for (Section& candidate : mSections) {
        if (candidate.name == section) {
            std::erase_if(candidate.lines,
                          [key](const Line& line) { return line.kind == Line::Kind::entry && line.key == key; });
        }
    }
}

std::vector<const std::string*> Document::GetKeyNames(std::string_view section) const
{
    std::vector<const std::string*> names;
    std::unordered_set<std::string_view> seen;
    for (const Section& candidate : mSections) {
        if (candidate.name != section) {
            continue;
        }
        for (const Line& line : candidate.lines) {
            if (line.kind == Line::Kind::entry && seen.insert(line.key).second) {
                names.push_back(&line.key);
            }
        }
    }
    return names;
}

bool Document::IsValidSectionName(std::string_view name)
{
    return !HasLineBreak(name) && (name.empty() || (!IsBlank(name.front()) && !IsBlank(name.back())));
}

bool Document::IsValidKeyName(std::string_view name)
{
    return !name.empty() && !HasLineBreak(name) && name.find('=') == std::string_view::npos &&
           name.find_first_of("[;#") != 0 && !IsBlank(name.front()) && !IsBlank(name.back());
}

}  // namespace Ini
