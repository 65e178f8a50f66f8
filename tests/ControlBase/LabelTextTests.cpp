#include "ControlBase/FontText.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/TextWrapping.h"
#include "Renderer/Font.h"
#include "support/ScopedMeasurementRenderer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;

// The harness's metrics (7 pixels a character, lines 16 high), counting what it measures. Past a bound it throws:
// a wrap that never ends fails at once instead of running into the test's time-out.
class LCountingMeasurer : public LMeasurementRenderer {
public:
    static constexpr int kMeasureBound = 100000;

    ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>&, zlong& lineHeight, zlong& top, zlong& bottom) override
    {
        lineHeight = ControlHarness::kLineHeight;
        top = -12;
        bottom = 4;
        return ZV_S_OK;
    }

    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>&) override
    {
        if (++measures > kMeasureBound) {
            throw std::runtime_error("measured without end");
        }
        characters += text.GetLength();
        return {0, -12, 7.0f * static_cast<float>(text.GetLength()), 16};
    }

    int measures = 0;
    long characters = 0;
};

// The same metrics, measuring the heads of a text in one pass as a font renderer does.
class LHeadsMeasurer : public LCountingMeasurer {
public:
    bool MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                      Array<RectT<float>>& heads) override
    {
        (void)heads.Clear();
        ++passes;
        for (std::uint32_t length = 1; length <= text.GetLength(); ++length) {
            ++characters;
            const RectT<float> head{0, -12, 7.0f * static_cast<float>(length), 16};
            EXPECT_TRUE(Succeeded(heads.AddItem(head)));
            if (widthLimit > 0 && DrawnWidth(head) > widthLimit) {
                break;
            }
        }
        (void)font;
        return true;
    }

    int passes = 0;
};

// What LLayingOutMeasurer keeps of a text it measured.
class LMeasuredTextLayout : public LLaidOutText {
public:
    LMeasuredTextLayout(const WideString& text, const LFont* font, std::uint32_t characters)
        : text(text), font(font), characters(characters)
    {
    }
    std::uint32_t GetCharacterCount() const override { return characters; }

    WideString text;
    const LFont* font;
    std::uint32_t characters;
};

// Heads in one pass, each pass keeping the text it measured as its layout.
class LLayingOutMeasurer : public LHeadsMeasurer {
public:
    bool MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                               Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout) override
    {
        const bool measured = MeasureHeads(text, font, widthLimit, heads);
        layout = new LMeasuredTextLayout(text, font.Get(), heads.GetCount());
        return measured;
    }
};

std::vector<std::string> Wrap(const char* text, float width, LCountingMeasurer* measurer = nullptr)
{
    LCountingMeasurer local;
    WideStringArray lines;
    WrapText(measurer != nullptr ? measurer : &local, nullptr, WideString(text), width, lines);
    std::vector<std::string> result;
    for (std::uint32_t index = 0; index < lines.GetCount(); ++index) {
        result.push_back(lines.GetData()[index].ToUTF8().GetData());
    }
    return result;
}

using Lines = std::vector<std::string>;

TEST(LabelText, WordWrapBreaksBeforeSpacesOrAfterHyphensAndKeepsAWordWiderThanTheBoxWhole)
{
    EXPECT_EQ(Wrap("aaa bbb ccc", 60), (Lines{"aaa bbb", "ccc"})) << "two words fit (49 pixels), three do not (77)";
    EXPECT_EQ(Wrap("aaa bbb ccc", 77), (Lines{"aaa bbb", "ccc"})) << "a line must be narrower than the box";
    EXPECT_EQ(Wrap("aaa bbb ccc", 78), (Lines{"aaa bbb ccc"}));
    EXPECT_EQ(Wrap("well-known", 40), (Lines{"well-", "known"})) << "the hyphen stays with the first part";
    EXPECT_EQ(Wrap("a well-known", 60), (Lines{"a well-", "known"})) << "a hyphen gives a longer line than the space";
    EXPECT_EQ(Wrap("abcdefghij klm", 30), (Lines{"abcdefghij", "klm"})) << "a word wider than the box is not split";
    EXPECT_EQ(Wrap("abc   \t def", 40), (Lines{"abc  ", "def"})) << "blanks that would start a line are dropped";
    EXPECT_EQ(Wrap("one\n\ntwo three", 50), (Lines{"one", "", "two", "three"})) << "each paragraph on its own";
    EXPECT_EQ(Wrap("one\n", 50), (Lines{"one"})) << "a line feed at the very end starts no paragraph";
    EXPECT_EQ(Wrap("one\n\n", 50), (Lines{"one", ""}));
    EXPECT_EQ(Wrap("\n", 50), (Lines{""}));
    EXPECT_EQ(Wrap("", 50), (Lines{""})) << "an empty text is one empty line";
    EXPECT_EQ(Wrap(" lead", 10), (Lines{" lead"})) << "a space at the start is no place to break";
}

TEST(LabelText, EveryLineTakesACharacterSoWrappingEndsInABoxTooNarrowForAnything)
{
    EXPECT_EQ(Wrap("abc ", 0), (Lines{"abc", " "})) << "the trailing blank ends the paragraph as its last line";
    EXPECT_EQ(Wrap("abc    ", 0), (Lines{"abc", "    "}));
    EXPECT_EQ(Wrap("ab cd ", -5), (Lines{"ab", "cd", " "}));
    EXPECT_EQ(Wrap("  x", 0), (Lines{" ", "x"})) << "leading blanks, then the word";
    EXPECT_EQ(Wrap("hello world ", 78), (Lines{"hello world", " "}));
    EXPECT_EQ(Wrap("hello world ", 85), (Lines{"hello world "}));
}

TEST(LabelText, TheWorkOfWrappingGrowsWithTheTextNotWithItsSquare)
{
    std::string paragraph;
    for (int word = 0; word < 500; ++word) {
        paragraph += "word" + std::to_string(word % 10) + " ";
    }
    LCountingMeasurer small;
    LCountingMeasurer large;
    const Lines shortLines = Wrap(paragraph.c_str(), 300, &small);
    const Lines longLines = Wrap((paragraph + paragraph + paragraph + paragraph).c_str(), 300, &large);
    EXPECT_EQ(shortLines.size(), 72u) << "seven words a line";
    EXPECT_EQ(longLines.size(), 286u);
    EXPECT_LT(large.characters, 5 * small.characters) << "measured " << small.characters << " then "
                                                       << large.characters << " characters";
    EXPECT_LT(large.measures, 5 * small.measures);
}

TEST(LabelText, HeadsMeasuredInOnePassWrapAsHeadByHeadWithEachLinesBoxAndEachCharacterMeasuredAboutOnce)
{
    std::string paragraph;
    for (int word = 0; word < 500; ++word) {
        paragraph += "word" + std::to_string(word % 10) + (word % 7 == 3 ? "-x " : " ");
    }
    const std::vector<std::pair<std::string, float>> cases = {
        {"aaa bbb ccc", 60},   {"aaa bbb ccc", 77},  {"aaa bbb ccc", 78}, {"well-known", 40},
        {"a well-known", 60},  {"abcdefghij klm", 30}, {"abc   \t def", 40}, {"one\n\ntwo three", 50},
        {"", 50},              {" lead", 10},        {"abc ", 0},          {"ab cd ", -5},
        {"  x", 0},            {"hello world ", 78}, {paragraph, 300},     {paragraph, 1000}};
    for (const auto& [text, width] : cases) {
        LHeadsMeasurer heads;
        WideStringArray lines;
        Array<RectT<float>> boxes;
        WrapText(&heads, nullptr, WideString(text.c_str()), width, lines, &boxes);
        std::vector<std::string> wrapped;
        for (std::uint32_t index = 0; index < lines.GetCount(); ++index) {
            wrapped.push_back(lines.GetData()[index].ToUTF8().GetData());
            ASSERT_LT(index, boxes.GetCount());
            EXPECT_EQ(boxes.GetData()[index], LCountingMeasurer().MeasureText(lines.GetData()[index], nullptr))
                << "the box of line " << index << " of \"" << text << "\" at " << width;
        }
        EXPECT_EQ(boxes.GetCount(), lines.GetCount());
        EXPECT_EQ(wrapped, Wrap(text.c_str(), width)) << "\"" << text << "\" at " << width;
        if (text == paragraph && width == 300) {
            EXPECT_LT(heads.characters, static_cast<long>(paragraph.size()) * 5 / 4)
                << "measured " << heads.characters << " characters of " << paragraph.size();
            EXPECT_EQ(heads.measures, 0) << "every line's box is one of its heads";
        }
    }
}

class FontTextTest : public ::testing::Test {
protected:
    ControlHarness harness;
    RCPtr<LFont> font = LFont::GetFont(L"Label Sans", 10, LFont::kRegular);
    RCPtr<LFontText> text = LFontText::Create(WideString(), font);

    std::vector<std::string> Lines()
    {
        std::vector<std::string> lines;
        for (std::uint32_t index = 0; index < text->GetLineCount(); ++index) {
            lines.push_back(text->GetLine(index).ToUTF8().GetData());
        }
        return lines;
    }

    std::vector<RectT<float>> Rects()
    {
        std::vector<RectT<float>> rects;
        for (std::uint32_t index = 0; index < text->GetLineCount(); ++index) {
            rects.push_back(text->GetLineRect(index));
        }
        return rects;
    }
};

TEST_F(FontTextTest, LinesArePlacedAsABlockByTheAlignmentsAndMeasuredOnceUntilSomethingChanges)
{
    (void)text->SetText(L"one\n\nthree");
    (void)text->SetBoxSize({100, 100});
    (void)text->SetAlignment(0.5f, 0.5f);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(Rects(), (std::vector<RectT<float>>{{39, 26, 21, 16}, {50, 42, 0, 16}, {32, 58, 35, 16}}))
        << "three line heights centred in the box: (100 - 48) / 2 from the top";
    EXPECT_EQ(text->GetSize(), PointT<zlong>(35, 48)) << "the union of the lines";

    harness.Renderer().ClearCalls();
    EXPECT_EQ(text->GetLineCount(), 3u);
    (void)text->GetSize();
    EXPECT_EQ(text->GetMaxLineWidth(), 35) << "35 + 0.99, truncated";
    EXPECT_EQ(text->GetHeightForWidth(10), 48) << "without word wrap the width does not matter";
    const std::size_t layoutMeasures = harness.Renderer().GetCalls().size();
    EXPECT_EQ(text->GetLineCount(), 3u);
    EXPECT_EQ(harness.Renderer().GetCalls().size(), layoutMeasures) << "kept lines are not measured again";
    EXPECT_TRUE(text->IsLaidOut()) << "the size questions leave the kept lines alone";

    EXPECT_FALSE(text->SetAlignment(0.5f, 0.5f));
    EXPECT_TRUE(text->SetAlignment(0, 1));
    EXPECT_FALSE(text->IsLaidOut());
    EXPECT_EQ(Rects().front(), (RectT<float>{0, 52, 21, 16})) << "left and bottom";

    EXPECT_EQ(text->SetText(L"one\n\nthree"), 0) << "the same text";
    EXPECT_TRUE(text->IsLaidOut());
    EXPECT_EQ(text->SetText(L""), 1) << "a new text";
    EXPECT_EQ(text->GetLineCount(), 1u) << "an empty text is one empty line";
    EXPECT_EQ(text->GetSize(), PointT<zlong>(0, 16));
    EXPECT_EQ(text->GetLineRect(1), (RectT<float>{})) << "past the lines: the empty rectangle";
    EXPECT_EQ(text->GetLineRect(0xFFFFFFFFu), (RectT<float>{}));
    EXPECT_TRUE(text->GetLine(1).IsEmpty()) << "past the lines: the empty line";
    EXPECT_TRUE(text->GetLine(0xFFFFFFFFu).IsEmpty());
    (void)text->SetText(L"new");
    EXPECT_TRUE(text->GetLine(0).IsEmpty()) << "not yet laid out: no lines";
}

TEST_F(FontTextTest, WrappedLinesFollowTheBoxAndHeightForWidthAsksWithoutDisturbingThem)
{
    (void)text->SetText(L"aaa bbb ccc");
    (void)text->SetBoxSize({60, 40});
    EXPECT_TRUE(text->SetWordWrap(true));
    EXPECT_FALSE(text->SetWordWrap(true));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"aaa bbb", "ccc"}));
    EXPECT_EQ(text->GetHeightForWidth(30), 48) << "three lines of 16";
    EXPECT_EQ(text->GetHeightForWidth(1000), 16);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"aaa bbb", "ccc"})) << "still the box's lines";
    EXPECT_EQ(text->GetMaxLineWidth(), 77) << "the text as one line";

    EXPECT_TRUE(text->SetBoxSize({100, 40}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"aaa bbb ccc"}));

    (void)text->SetAlignment(0.5f, 0);
    (void)text->SetText(L"abcde");
    EXPECT_EQ(Rects().front().x, 32) << "a line 35 wide in a box 100 wide, centred and truncated";
}

TEST_F(FontTextTest, AFontChangeCountsOnlyWhenItDrawsDifferentlyAndTheNewFontIsKeptEitherWay)
{
    const RCPtr<LFont> same = LFont::GetFont(L"LABEL SANS", 10, LFont::kRegular);
    EXPECT_EQ(text->SetFont(same), 0) << "the face name in any letter case";
    EXPECT_EQ(text->SetFont(LFont::GetFont(L"Label Sans", 11, LFont::kRegular)), 1);
    EXPECT_EQ(text->SetFont(LFont::GetFont(L"Label Sans", 11, LFont::kBold)), 1);
    EXPECT_EQ(text->SetFont(nullptr), 1);
    EXPECT_EQ(text->SetFont(nullptr), 0);
    EXPECT_EQ(text->GetFont(), nullptr);
    EXPECT_TRUE(IsSameFont(font.Get(), same.Get()));
    EXPECT_FALSE(IsSameFont(font.Get(), nullptr));
}

TEST(LabelText, AWrappedLineKeepsTheLayoutOfATextItHeadsInTheLabelsFontUntilTheTextOrTheFontChanges)
{
    const RCPtr<LLayingOutMeasurer> measurer(new LLayingOutMeasurer());
    const Testing::ScopedMeasurementRenderer services(measurer);
    const RCPtr<LFont> font = LFont::GetFont(L"Label Sans", 10, LFont::kRegular);
    const RCPtr<LFontText> label = LFontText::Create(L"aaa bbb ccc abcdefghij  ", font);
    (void)label->SetBoxSize({60, 100});
    (void)label->SetWordWrap(true);
    // Which lines have a layout: the blanks that end the text are measured whole, and a word wider than the box
    // reaches past the heads measured.
    const auto expectLayouts = [&](const LFont* drawnIn, const std::vector<bool>& laidOut) {
        ASSERT_EQ(label->GetLineCount(), laidOut.size());
        for (std::uint32_t index = 0; index < laidOut.size(); ++index) {
            const auto* layout = dynamic_cast<const LMeasuredTextLayout*>(label->GetLineLayout(index));
            ASSERT_EQ(layout != nullptr, laidOut[index]) << "line " << index;
            if (layout != nullptr) {
                const WideString& line = label->GetLine(index);
                EXPECT_TRUE(layout->text.Left(line.GetLength()) == line) << "line " << index;
                EXPECT_GE(layout->characters, line.GetLength());
                EXPECT_EQ(layout->font, drawnIn);
            }
        }
        EXPECT_EQ(label->GetLineLayout(static_cast<std::uint32_t>(laidOut.size())), nullptr);
    };
    expectLayouts(font.Get(), {true, true, false, false});
    const int passes = measurer->passes;
    expectLayouts(font.Get(), {true, true, false, false});
    EXPECT_EQ(measurer->passes, passes) << "kept with the lines";

    const RCPtr<LFont> larger = LFont::GetFont(L"Label Sans", 12, LFont::kRegular);
    EXPECT_EQ(label->SetFont(larger), kFontTextChanged);
    expectLayouts(larger.Get(), {true, true, false, false});
    EXPECT_EQ(label->SetText(L"abc def ghi"), kFontTextChanged);
    expectLayouts(larger.Get(), {true, true});
    EXPECT_EQ(label->GetLine(1), WideString(L"ghi"));
    EXPECT_TRUE(label->SetWordWrap(false));
    // Lines not wrapped are measured whole.
    expectLayouts(larger.Get(), {false});
}

}  // namespace
}  // namespace ZV
