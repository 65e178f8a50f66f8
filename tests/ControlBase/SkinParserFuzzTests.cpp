#include "ControlBase/ControlFactory.h"
#include "SkinTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ContentOf;
using Testing::ControlsDocument;
using Testing::NewFactory;
using Testing::Parse;
using Testing::Text;

// A mutation of a well-formed skin, of the kinds a skin author or a damaged file produces.
class SkinMutator {
public:
    explicit SkinMutator(std::string original) : mOriginal(std::move(original)) {}

    std::string Mutate(std::mt19937& random) const
    {
        std::string text = mOriginal;
        const int rounds = 1 + static_cast<int>(random() % 3);
        for (int round = 0; round < rounds; ++round) {
            switch (random() % 6) {
            case 0:
                text.resize(Position(random, text));
                break;
            case 1:
                FlipBytes(random, text);
                break;
            case 2:
                SwapElements(random, text);
                break;
            case 3:
                ReplaceNumber(random, text);
                break;
            case 4:
                NestDeeply(random, text);
                break;
            default:
                DuplicateRange(random, text);
                break;
            }
        }
        return text;
    }

private:
    static std::size_t Position(std::mt19937& random, const std::string& text)
    {
        return text.empty() ? 0 : random() % text.size();
    }

    static void FlipBytes(std::mt19937& random, std::string& text)
    {
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips && !text.empty(); ++i) {
            text[Position(random, text)] = static_cast<char>(random() % 256);
        }
    }

    // Exchanges two tags, which moves elements out of their place (or breaks the nesting).
    static void SwapElements(std::mt19937& random, std::string& text)
    {
        std::vector<std::pair<std::size_t, std::size_t>> tags;
        for (std::size_t start = text.find('<'); start != std::string::npos; start = text.find('<', start + 1)) {
            const std::size_t end = text.find('>', start);
            if (end == std::string::npos) {
                break;
            }
            tags.emplace_back(start, end + 1 - start);
        }
        if (tags.size() < 2) {
            return;
        }
        auto first = tags[random() % tags.size()];
        auto second = tags[random() % tags.size()];
        if (first.first > second.first) {
            std::swap(first, second);
        }
        if (first.first + first.second > second.first) {
            return;
        }
        const std::string a = text.substr(first.first, first.second);
        const std::string b = text.substr(second.first, second.second);
        text.replace(second.first, second.second, a);
        text.replace(first.first, first.second, b);
    }

    static void ReplaceNumber(std::mt19937& random, std::string& text)
    {
        static const char* const kHuge[] = {"99999999999999999999", "-2147483649", "1e999", "-1e-999", "0xFFFFFFFF",
                                            "4294967296", "2147483647", "-1", "65536", "nan", "1.7976931348623157e309"};
        const std::size_t start = text.find_first_of("0123456789", Position(random, text));
        if (start == std::string::npos) {
            return;
        }
        const std::size_t end = text.find_first_not_of("0123456789.x", start);
        text.replace(start, (end == std::string::npos ? text.size() : end) - start,
                     kHuge[random() % std::size(kHuge)]);
    }

    static void NestDeeply(std::mt19937& random, std::string& text)
    {
        const std::size_t depth = 1 + random() % 400;
        std::string opening;
        std::string closing;
        for (std::size_t i = 0; i < depth; ++i) {
            opening += "<SubControl Class=\"C\" Name=\"n" + std::to_string(i) + "\"><Skin Name=\"s\">";
            closing += "</Skin></SubControl>";
        }
        const std::size_t tag = text.find("<SubControl", Position(random, text));
        text.insert(tag == std::string::npos ? Position(random, text) : tag, opening + closing);
    }

    static void DuplicateRange(std::mt19937& random, std::string& text)
    {
        const std::size_t start = Position(random, text);
        const std::size_t length = std::min<std::size_t>(random() % 2000, text.size() - start);
        text.insert(Position(random, text), text.substr(start, length));
    }

    std::string mOriginal;
};

TEST(SkinParserFuzz, MutatedDemoSkinsAnswerZeroOrFailAndNothingElse)
{
    const SkinMutator mutator(ContentOf(ZV_TEST_DATA_DIR "/DemoSkin/Skins.xml"));
    // One factory takes every document, so that what each leaves behind meets the next.
    const RCPtr<LControlFactory> shared = NewFactory();
    std::mt19937 random(20240615);
    int failures = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::string document = mutator.Mutate(random);
        const RCPtr<LControlFactory> fresh = NewFactory();
        const ZVRESULT result = Parse(*fresh, document);
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
