#include "Platform/FileNamePattern.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV::Platform {
namespace {

TEST(FileNamePattern, LettersMatchInEitherCaseAsTheFontSearchNeeds)
{
    EXPECT_TRUE(MatchesFileNamePattern("a.ttf", "*.TTF"));
    EXPECT_TRUE(MatchesFileNamePattern("b.TTF", "*.TTF"));
    EXPECT_TRUE(MatchesFileNamePattern("DejaVuSans.ttf", "*.ttf"));
    EXPECT_FALSE(MatchesFileNamePattern("a.ttc", "*.TTF"));
    EXPECT_FALSE(MatchesFileNamePattern("a.ttf.bak", "*.TTF"));
    EXPECT_TRUE(MatchesFileNamePattern("\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89.TXT")) << "accents fold too";
}

TEST(FileNamePattern, StarAndQuestionMarkFollowTheFolderSearchRules)
{
    EXPECT_TRUE(MatchesFileNamePattern("anything", "*"));
    EXPECT_TRUE(MatchesFileNamePattern("", "*"));
    EXPECT_TRUE(MatchesFileNamePattern("Makefile", "*.*")) << "\"*.*\" matches names without a dot";
    EXPECT_TRUE(MatchesFileNamePattern("readme", "readme.*"));
    EXPECT_TRUE(MatchesFileNamePattern("readme.txt", "readme.*"));
    EXPECT_FALSE(MatchesFileNamePattern("readmes", "readme.*"));
    EXPECT_TRUE(MatchesFileNamePattern("abc", "a?c"));
    EXPECT_FALSE(MatchesFileNamePattern("ac", "a?c")) << "'?' stands for exactly one character";
    EXPECT_TRUE(MatchesFileNamePattern("a\xF0\x9F\x98\x80" "c", "a?c")) << "an emoji is one character";
    EXPECT_TRUE(MatchesFileNamePattern("aXbXc", "a*b*c"));
    EXPECT_TRUE(MatchesFileNamePattern("ababc", "*abc")) << "the star gives back what the rest needs";
    EXPECT_FALSE(MatchesFileNamePattern("abcd", "*abc"));
    EXPECT_FALSE(MatchesFileNamePattern("a", ""));
    EXPECT_TRUE(MatchesFileNamePattern("", ""));
}

TEST(FileNamePattern, InvalidUtf8BytesMatchOnlyThemselves)
{
    EXPECT_TRUE(MatchesFileNamePattern("x\xFF.bin", "x?.bin"));
    EXPECT_TRUE(MatchesFileNamePattern("x\xFF.bin", "x\xFF.BIN"));
    EXPECT_FALSE(MatchesFileNamePattern("x\xFF.bin", "x\xFE.bin"));
    EXPECT_FALSE(MatchesFileNamePattern("\xC3", "\xC3\x83")) << "a cut sequence is not the character it began";
}

TEST(FileNamePattern, ManyStarsOnALongNameFinishQuickly)
{
    const std::string name(4000, 'a');
    EXPECT_FALSE(MatchesFileNamePattern(name, "*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchesFileNamePattern(name + "b", "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace ZV::Platform
