#pragma once

#include "ControlBase/ControlFactory.h"
#include "ControlBase/StringTable.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace ZV::Testing {

// A factory with the demo skin's string tables (the embedded APP_STRINGS and FRAMEWORK_STRINGS) for the locale.
inline RCPtr<LControlFactory> FactoryWithDemoStrings(std::uint32_t localeId)
{
    RCPtr<LControlFactory> factory(new LControlFactory(L"Test"));
    EXPECT_EQ(factory->LoadStringTables(L"::APP_STRINGS", L"::FRAMEWORK_STRINGS", localeId), 0);
    return factory;
}

inline std::vector<std::pair<std::string, std::string>> EntriesOf(const StringPairArray& entries)
{
    std::vector<std::pair<std::string, std::string>> texts;
    for (std::uint32_t i = 0; i < entries.GetCount(); ++i) {
        texts.emplace_back(entries.GetData()[i].first.ToUTF8().GetData(),
                           entries.GetData()[i].second.ToUTF8().GetData());
    }
    return texts;
}

// Every key and text of a table, in key order; nothing for a null table.
inline std::vector<std::pair<std::string, std::string>> EntriesOf(const ConstRCPtr<LStringTable>& table)
{
    StringPairArray entries;
    if (table) {
        table->GetAllEntries(entries);
    }
    return EntriesOf(entries);
}

// The text of a key as UTF-8, or "<absent>".
inline std::string TextOf(const ConstRCPtr<LStringTable>& table, const wchar_t* key)
{
    WideString text;
    return table && table->GetString(key, text) ? text.ToUTF8().GetData() : "<absent>";
}

// The entries whose keys begin with the prefix, the prefix taken off: a numbered menu's entries.
inline StringPairArray EntriesAfterPrefix(const LStringTable& table, const wchar_t* prefix)
{
    StringPairArray entries;
    static_cast<void>(table.GetEntriesWithPrefix(prefix, entries));
    for (std::uint32_t i = 0; i < entries.GetCount(); ++i) {
        entries.GetData()[i].first = entries.GetData()[i].first.MidToEnd(static_cast<int>(std::wcslen(prefix)));
    }
    return entries;
}

// The UTF-8 document in UTF-16 with a byte-order mark, its declaration (when it has one) saying so. The copy ends
// where the UTF-8 stops being valid.
inline std::string Utf16Document(const std::string& utf8Document, bool bigEndian)
{
    std::string declared = utf8Document;
    const std::string utf8Declaration = "encoding=\"utf-8\"";
    if (const std::size_t at = declared.find(utf8Declaration); at != std::string::npos) {
        declared.replace(at, utf8Declaration.size(), "encoding=\"UTF-16\"");
    }
    WideString wide;
    static_cast<void>(wide.AssignFromUTF8(declared.data(), static_cast<int>(declared.size())));
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (std::uint32_t i = 0; i < wide.GetLength(); ++i) {
        const auto unit = static_cast<std::uint16_t>(wide.GetData()[i]);
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace ZV::Testing
