// The level-file grammar: lines, tokens, quoting, limits and number fields.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "game/objects/levelfile.h"
#include "game/objects/object.h"

namespace {

// The tokens before the terminator.
std::vector<std::string> tokensOf(const std::string& line) {
    std::vector<std::string> all = LevelFile::tokenise(line);
    EXPECT_EQ(all.size(), static_cast<size_t>(LevelFile::TOKEN_SLOTS));
    return std::vector<std::string>(all.begin(), all.begin() + LevelFile::count(all.data()));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::istringstream in(text);
    LevelFile file(in);
    std::vector<std::string> lines;
    std::string line;
    while (file.nextLine(line)) lines.push_back(line);
    return lines;
}

using V = std::vector<std::string>;

}  // namespace

TEST(Tokenise, SeparatorsAreRunsOfSpacesAndTabs) {
    EXPECT_EQ(tokensOf("Ball\t100  200 \t 16 ball.tga"), (V{"Ball", "100", "200", "16", "ball.tga"}));
    EXPECT_EQ(tokensOf("   Box 1 2   "), (V{"Box", "1", "2"}));
}

TEST(Tokenise, QuoteAfterOneSeparatorOpensAQuotedToken) {
    EXPECT_EQ(tokensOf("Text 100 200 \"Some text\""), (V{"Text", "100", "200", "Some text"}));
    EXPECT_EQ(tokensOf("Text 100 200\t\"tab\tinside\" 5"), (V{"Text", "100", "200", "tab\tinside", "5"}));
    // No closing quote: the token runs to the end of the line.
    EXPECT_EQ(tokensOf("Text 1 2 \"open to the end"), (V{"Text", "1", "2", "open to the end"}));
}

TEST(Tokenise, QuoteAfterTwoSeparatorsOrAtTheStartIsOrdinary) {
    EXPECT_EQ(tokensOf("Text 100 200  \"Some text\""), (V{"Text", "100", "200", "\"Some", "text\""}));
    EXPECT_EQ(tokensOf("\"Text\" 1"), (V{"\"Text\"", "1"}));
    // Glued to a token the quote is part of it.
    EXPECT_EQ(tokensOf("Text a\"b c\""), (V{"Text", "a\"b", "c\""}));
}

TEST(Tokenise, SecondQuotedTextAfterASpaceIsNotQuoted) {
    EXPECT_EQ(tokensOf("Text 1 2 \"a b\" \"c d\""), (V{"Text", "1", "2", "a b", "\"c", "d\""}));
    // A quote right after the closing quote opens the next quoted token.
    EXPECT_EQ(tokensOf("Text 1 2 \"a b\"\"c d\""), (V{"Text", "1", "2", "a b", "c d"}));
    // Text right after the closing quote is the next ordinary token.
    EXPECT_EQ(tokensOf("Text 1 2 \"a b\"c d"), (V{"Text", "1", "2", "a b", "c", "d"}));
}

TEST(Tokenise, EmptyQuotedTokenIsSkipped) {
    EXPECT_EQ(tokensOf("Text 1 2 \"\" word"), (V{"Text", "1", "2", "word"}));
    EXPECT_EQ(tokensOf("Text 1 \"\"\"x\""), (V{"Text", "1", "x"}));
}

TEST(Tokenise, CommentsAndBlankLinesAreIgnored) {
    EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise("")));
    EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise(" \t  \t")));
    EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise("# boxquake user level")));
    EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise("#Ball 100 100 16 ball.tga")));
    EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise("   #Ball")));
    // A "#" after the fields is an ordinary extra token.
    std::vector<std::string> t = LevelFile::tokenise("Ball 100 100 16 ball.tga # not a comment");
    EXPECT_FALSE(LevelFile::isIgnored(t));
    EXPECT_EQ(t[5], "#");
}

TEST(Tokenise, KeepsAtMost31TokensAndAlwaysItsTerminator) {
    std::string line;
    for (int i = 0; i < 40; ++i) line += "w" + std::to_string(i) + " ";
    std::vector<std::string> t = LevelFile::tokenise(line);
    ASSERT_EQ(t.size(), 32u);
    EXPECT_EQ(LevelFile::count(t.data()), 31);
    EXPECT_EQ(t[30], "w30");
    EXPECT_EQ(t[31], "");
    // A short line leaves every slot after its tokens empty.
    std::vector<std::string> s = LevelFile::tokenise("Box 1");
    for (size_t i = 2; i < s.size(); ++i) EXPECT_EQ(s[i], "") << i;
}

TEST(LevelFileLines, CarriageReturnBeforeTheNewlineIsDropped) {
    EXPECT_EQ(linesOf("Length 20\r\nBall 1 2 3 b.tga\r\n"), (V{"Length 20", "Ball 1 2 3 b.tga"}));
    EXPECT_EQ(linesOf("last line without newline\r"), (V{"last line without newline"}));
    // Only the one before the line end: others are ordinary characters.
    EXPECT_EQ(linesOf("a\rb\n"), (V{"a\rb"}));
}

TEST(LevelFileLines, OverlongLineIsCutAndEndsTheReading) {
    std::string longLine = "Text 1 2 " + std::string(2000, 'x');
    std::vector<std::string> lines = linesOf("Length 5\n" + longLine + "\nLength 7\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].size(), 1023u);
    EXPECT_EQ(lines[1], longLine.substr(0, 1023));
    // Exactly 1023 characters is still a whole line.
    std::string fits(1023, 'y');
    EXPECT_EQ(linesOf(fits + "\nnext\n"), (V{fits, "next"}));
}

TEST(LevelFileLines, NulEndsTheLineAndLineNumbersCount) {
    std::string text = std::string("Box 1 2\0 3 4\n", 13) + "\nLength 3\n";
    std::istringstream in(text);
    LevelFile file(in);
    std::string line;
    ASSERT_TRUE(file.nextLine(line));
    EXPECT_EQ(line, "Box 1 2");
    ASSERT_TRUE(file.nextLine(line));
    ASSERT_TRUE(file.nextLine(line));
    EXPECT_EQ(line, "Length 3");
    EXPECT_EQ(file.lineNumber(), 3);
    EXPECT_FALSE(file.nextLine(line));
}

TEST(LevelFileLines, MissingFileReadsAsEmpty) {
    LevelFile file("./no/such/dir/level.lvl");
    EXPECT_FALSE(file.isOpen());
    std::string line;
    EXPECT_FALSE(file.nextLine(line));
}

TEST(Numbers, IntegersReadLeadingDigitsAndClamp) {
    EXPECT_EQ(LevelFile::toInt("120"), 120);
    EXPECT_EQ(LevelFile::toInt("-7"), -7);
    EXPECT_EQ(LevelFile::toInt("+8"), 8);
    EXPECT_EQ(LevelFile::toInt("3.9"), 3);
    EXPECT_EQ(LevelFile::toInt("12abc"), 12);
    EXPECT_EQ(LevelFile::toInt("abc"), 0);
    EXPECT_EQ(LevelFile::toInt(""), 0);
    EXPECT_EQ(LevelFile::toInt("-"), 0);
    EXPECT_EQ(LevelFile::toInt("2147483647"), INT_MAX);
    EXPECT_EQ(LevelFile::toInt("2147483648"), INT_MAX);
    EXPECT_EQ(LevelFile::toInt("-2147483648"), INT_MIN);
    EXPECT_EQ(LevelFile::toInt("-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(LevelFile::toInt("99999999999999999999999999"), INT_MAX);
}

TEST(Numbers, RealsThatAreNotFiniteFloatsReadAsZero) {
    EXPECT_FLOAT_EQ(LevelFile::toReal("0.3"), 0.3f);
    EXPECT_FLOAT_EQ(LevelFile::toReal("-1.5e2"), -150.0f);
    EXPECT_FLOAT_EQ(LevelFile::toReal(".5"), 0.5f);
    EXPECT_FLOAT_EQ(LevelFile::toReal("64px"), 64.0f);
    EXPECT_FLOAT_EQ(LevelFile::toReal("2e"), 2.0f);
    EXPECT_EQ(LevelFile::toReal("nan"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("inf"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("-infinity"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("1e39"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("-1e39"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("1e999999"), 0.0f);
    EXPECT_EQ(LevelFile::toReal("0x10"), 0.0f);  // decimal only
    EXPECT_EQ(LevelFile::toReal("."), 0.0f);
    EXPECT_EQ(LevelFile::toReal(""), 0.0f);
}

TEST(Numbers, ColourKeepsItsLow24Bits) {
    EXPECT_EQ(LevelFile::toColour("0xff0000"), 0xff0000);
    EXPECT_EQ(LevelFile::toColour("0xFfA0b1"), 0xffa0b1);
    EXPECT_EQ(LevelFile::toColour("0x12g4"), 0x12);
    EXPECT_EQ(LevelFile::toColour("0xzz"), 0);
    EXPECT_EQ(LevelFile::toColour("0x"), 0);
    EXPECT_EQ(LevelFile::toColour("0x1ff00ff"), 0xff00ff);
    EXPECT_EQ(LevelFile::toColour("0xffffffffffffffffffffff123456"), 0x123456);
}

TEST(TokenLists, PositionsPastTheEndReadEmpty) {
    std::string words[] = {"Ball", "1", "2", ""};
    EXPECT_EQ(LevelFile::count(words), 3);
    EXPECT_EQ(LevelFile::word(words, 2), "2");
    EXPECT_EQ(LevelFile::word(words, 3), "");
    EXPECT_EQ(LevelFile::word(words, 50), "");
    EXPECT_EQ(LevelFile::word(words, -1), "");
    // Searching the options after field 4 of a 3-token line starts at the terminator.
    EXPECT_EQ(LevelFile::from(words, 4), words + 3);
    EXPECT_EQ(Object::getOpt(LevelFile::from(words, 4), "--victory"), "");
    EXPECT_FALSE(Object::hasOpt(LevelFile::from(words, 4), "1"));
}

TEST(TokenLists, GetOptAndHasOpt) {
    std::string words[] = {"Ball", "1", "2", "3", "b.tga", "--victory", "a", "--victory", "b", "--restitution", ""};
    EXPECT_EQ(Object::getOpt(words, "--victory"), "a");       // the first occurrence
    EXPECT_EQ(Object::getOpt(words, "--restitution"), "");    // last token: no value
    EXPECT_TRUE(Object::hasOpt(words, "--restitution"));
    EXPECT_FALSE(Object::hasOpt(words, "--static"));
    EXPECT_EQ(Object::getOpt(words + 7, "--victory"), "b");   // searched from a later position
    EXPECT_EQ(Object::getOpt(words, "--Victory"), "");        // case-sensitive
}
