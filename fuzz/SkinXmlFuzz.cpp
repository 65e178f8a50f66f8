// The skin language over any document, read through the control factory's skin loading as the program reads its
// skins: the load answers 0 or a failure and nothing else, the same document gives a fresh factory the same answer,
// error and skin font, and a factory that loads it a second time on top of the first stays sound.
#include "ControlBase/ControlFactory.h"
#include "FuzzTarget.h"
#include "InputResource.h"

#include <bit>

namespace {

using ZV::LControlFactory;
using ZV::RCPtr;
using ZV::WideString;
using ZV::ZVRESULT;

struct Outcome {
    ZVRESULT result;
    WideString errorText;
    std::uint32_t errorLine;
    ZVRESULT fontResult;
    WideString fontName;
    std::uint32_t fontSizeBits;
    std::int32_t fontStyle;
    bool operator==(const Outcome&) const = default;
};

Outcome Load(LControlFactory& factory)
{
    Outcome outcome{};
    outcome.result = factory.LoadSkins(ZV::Fuzz::InputResource::kSource);
    outcome.errorText = factory.GetLastParseError().text;
    outcome.errorLine = factory.GetLastParseError().line;
    float fontSize = 0;
    outcome.fontStyle = 0;
    outcome.fontResult = factory.GetSkinFont(outcome.fontName, fontSize, outcome.fontStyle);
    outcome.fontSizeBits = std::bit_cast<std::uint32_t>(fontSize);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ZV::Fuzz::InputResource document(data, size);
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Fuzz"));
    const Outcome first = Load(*factory);
    ZV_FUZZ_CHECK(first.result == ZV::ZV_S_OK || first.result == ZV::ZV_E_FAIL);

    const RCPtr<LControlFactory> fresh(new LControlFactory(L"Fuzz"));
    ZV_FUZZ_CHECK(Load(*fresh) == first);

    const Outcome again = Load(*factory);
    ZV_FUZZ_CHECK(again.result == ZV::ZV_S_OK || again.result == ZV::ZV_E_FAIL);
    return 0;
}
