#include "ControlBase/ControlFactory.h"
#include "DocumentDamage.h"
#include "SkinTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace ZV {
namespace {

using Testing::ChangeBytes;
using Testing::ContentOf;
using Testing::ControlsDocument;
using Testing::CutShort;
using Testing::NewFactory;
using Testing::Parse;
using Testing::RepeatPiece;
using Testing::SwapTags;

// One to three mutations of a skin, of the kinds that a skin author or a damaged file produces.
std::string Mutate(std::string text, std::mt19937& random)
{
    static const char* const kNumbers[] = {"99999999999999999999", "-2147483649", "1e999", "0xFFFFFFFF",
                                           "4294967296", "-1", "65536", "nan", "1.8e308"};
    const auto position = [&] { return Testing::RandomPlace(text, random); };
    for (int round = static_cast<int>(random() % 3); round >= 0; --round) {
        switch (random() % 6) {
        case 0:
            CutShort(text, random);
            break;
        case 1:
            ChangeBytes(text, random);
            break;
        case 2:
            SwapTags(text, position(), position());
            break;
        case 3:
            if (const std::size_t start = text.find_first_of("0123456789", position()); start != std::string::npos) {
                const std::size_t end = text.find_first_not_of("0123456789.x", start);
                text.replace(start, std::min(end, text.size()) - start, kNumbers[random() % std::size(kNumbers)]);
            }
            break;
        case 4: {
            std::string nested;
            for (std::size_t depth = 1 + random() % 400; depth > 0; --depth) {
                nested = R"(<SubControl Class="C" Name="n"><Skin Name="s">)" + nested + "</Skin></SubControl>";
            }
            text.insert(std::min(text.find("<SubControl", position()), text.size()), nested);
            break;
        }
        default:
            RepeatPiece(text, random);
            break;
        }
    }
    return text;
}

TEST(SkinParserFuzz, MutatedDemoSkinsAnswerZeroOrFailAndNothingElse)
{
    const std::string demo = ContentOf(ZV_TEST_DATA_DIR "/DemoSkin/Skins.xml");
    // One factory takes every document, so that what each leaves behind meets the next.
    const RCPtr<LControlFactory> shared = NewFactory();
    std::mt19937 random(20240615);
    int failures = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::string document = Mutate(demo, random);
        const ZVRESULT result = Parse(*NewFactory(), document);
        ASSERT_TRUE(result == 0 || result == ZV_E_FAIL) << "round " << round << ": " << result;
        const ZVRESULT again = Parse(*shared, document);
        ASSERT_TRUE(again == 0 || again == ZV_E_FAIL) << "round " << round << ": " << again;
        failures += result == ZV_E_FAIL ? 1 : 0;
    }
    EXPECT_GT(failures, 0);
    EXPECT_LT(failures, 2000) << "some mutations stay well-formed";
}

TEST(SkinParserFuzz, TenThousandDeepAndTenMegabyteDocumentsAreRefusedOrParsedWithoutExhaustingTheStack)
{
    const auto nested = [](const std::string& open, const std::string& close) {
        std::string opening;
        std::string closing;
        for (int i = 0; i < 10000; ++i) {
            opening += open;
            closing += close;
        }
        return opening + closing;
    };
    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(Parse(*factory, ControlsDocument(nested(R"(<SubControl Class="C" Name="deep"><Skin Name="s">)",
                                                      "</Skin></SubControl>"))),
              ZV_E_FAIL)
        << "SubControls that deep are refused";
    EXPECT_TRUE(factory->FindControlDescriptor(L"deep")) << "what came before the refusal stays";
    EXPECT_EQ(Parse(*NewFactory(), ControlsDocument(nested("<Unknown>", "</Unknown>"))), 0);

    const std::string line = "line &amp; &#65; entity\n";
    const std::string decodedLine = "line & A entity\n";
    std::string text;
    std::size_t lines = 0;
    for (; text.size() < 10u << 20; ++lines) {
        text += line;
    }
    const RCPtr<LControlFactory> large = NewFactory();
    ASSERT_EQ(Parse(*large, ControlsDocument(R"(<SubControl Class="C" Name="large"><Skin Name="s"/><CreateParamList>
                                              <CreateParam ID="TEXT">)" + text +
                                              "</CreateParam></CreateParamList></SubControl>")),
              0);
    WideString kept;
    ASSERT_TRUE(large->FindControlDescriptor(L"large")->GetCreateParams()->GetString(L"TEXT", kept));
    EXPECT_EQ(kept.GetLength(), lines * decodedLine.size()) << "every run of the text is kept";
}

}  // namespace
}  // namespace ZV
