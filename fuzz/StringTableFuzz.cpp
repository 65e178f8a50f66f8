// The string tables over any document, read as the program reads its application and framework tables: the load
// answers 0, settles on one of the locales it may try, gives a fresh factory the same texts, and a second load of the
// same document changes no text (a key that has a text keeps it).
#include "ControlBase/ControlFactory.h"
#include "FuzzTarget.h"
#include "InputResource.h"

#include <utility>
#include <vector>

namespace {

using ZV::LControlFactory;
using ZV::RCPtr;
using ZV::WideString;

// German in Germany: its own texts, then the language's, then English.
constexpr std::uint32_t kLocale = 0x0407;

using Texts = std::vector<std::pair<WideString, WideString>>;

Texts TextsOf(const RCPtr<ZV::LStringTable>& table)
{
    Texts texts;
    if (!table) {
        return texts;
    }
    ZV::StringPairArray entries;
    table->GetAllEntries(entries);
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        texts.emplace_back(entries.GetData()[index].first, entries.GetData()[index].second);
    }
    return texts;
}

struct Tables {
    std::uint32_t locale;
    WideString applicationName;
    Texts framework;
    Texts application;
    bool operator==(const Tables&) const = default;
};

Tables Load(LControlFactory& factory)
{
    const WideString source = ZV::Fuzz::InputResource::kSource;
    ZV_FUZZ_CHECK(factory.LoadStringTables(source, source, kLocale) == ZV::ZV_S_OK);
    return Tables{factory.GetLocaleId(), factory.GetApplicationName(), TextsOf(factory.GetFrameworkStringTable()),
                  TextsOf(factory.GetApplicationStringTable())};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ZV::Fuzz::InputResource document(data, size);
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Fuzz"));
    const Tables first = Load(*factory);
    ZV_FUZZ_CHECK(first.locale == kLocale || first.locale == (kLocale & 0xFF) || first.locale == 0x0009);

    const RCPtr<LControlFactory> fresh(new LControlFactory(L"Fuzz"));
    ZV_FUZZ_CHECK(Load(*fresh) == first);
    ZV_FUZZ_CHECK(Load(*factory) == first);
    return 0;
}
