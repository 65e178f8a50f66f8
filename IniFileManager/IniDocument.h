#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Ini {

// A settings file in memory, kept line by line as it was read: writing it back keeps what this library does not
// understand (comments, blank lines, lines that are neither a section nor a key, a line cut short) and every line
// that was not changed, byte for byte, with the file's line ends and its byte order mark.
//
// The format: "[Name]" starts the section Name; "key=value" sets a key of the section above it (above the first
// section: of the nameless one); a line whose first visible character is ';' or '#' is a comment. Blanks around
// names and values are not part of them. A value is written with "\\" for a backslash and "\n" and "\r" for line
// breaks, and between double quotes when it begins with a quote or begins or ends with a blank, so that every text
// reads back as it was set. A section may appear more than once: its blocks count as one, the first key of a name
// wins.
class Document {
public:
    // text: UTF-8 without NUL bytes.
    explicit Document(std::string_view text = {});

    std::string GetText() const;

    bool HasSection(std::string_view section) const;
    // Null when the section has no such key.
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    // false when the key held that value already.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key.
    void RemoveKey(std::string_view section, std::string_view key);
    // The section's key names, each once, in the order of the file.
    std::vector<const std::string*> GetKeyNames(std::string_view section) const;

    // A section name can be written as a header and read back as it is.
    static bool IsValidSectionName(std::string_view name);
    // Likewise for a key name; it is never empty.
    static bool IsValidKeyName(std::string_view name);

private:
    struct Line {
        enum class Kind { other, entry };
        Kind kind = Kind::other;
        std::string key;
        std::string value;
        // As read from the file; empty for a line made or changed here, which is written from key and value.
        std::string text;
    };
    struct Section {
        std::string name;
        // As read; empty for the nameless first section and for a section made here.
        std::string header;
        std::vector<Line> lines;
    };

    Line* FindEntry(std::string_view section, std::string_view key);
    const Line* FindEntry(std::string_view section, std::string_view key) const;
    Section& SectionForNewKey(std::string_view section);
    // The line and its end, such that it reads back as it is.
    void AppendLine(std::string& text, std::string_view line) const;

    // The nameless section comes first, even when empty.
    std::vector<Section> mSections;
    std::string mLineEnd = "\n";
    bool mByteOrderMark = false;
};

}  // namespace Ini
