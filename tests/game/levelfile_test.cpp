// The level-file grammar: lines, tokens, quoting, limits, number fields and how
// messages quote tokens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/objects/levelfile.h"

using V = std::vector<std::string>;

TEST(LevelFileGrammar, TokensAndQuoting) {
    const struct {
        const char* line;
        V tokens;
    } cases[] = {
        {"Ball\t100  200 \t 16 ball.tga", {"Ball", "100", "200", "16", "ball.tga"}},
        {"   Box 1 2   ", {"Box", "1", "2"}},
        // A quote right after the one separator that ended a token opens a quoted token.
        {"Text 1 2\t\"tab\tinside\" 5", {"Text", "1", "2", "tab\tinside", "5"}},
        {"Text 1 2 \"open to the end", {"Text", "1", "2", "open to the end"}},
        // After two separators, at the start or glued to a token it is an ordinary character.
        {"Text 1 2  \"Some text\"", {"Text", "1", "2", "\"Some", "text\""}},
        {"\"Text\" 1", {"\"Text\"", "1"}},
        {"Text a\"b c\"", {"Text", "a\"b", "c\""}},
        // After a closing quote: a space ends quoting, a quote opens the next quoted token.
        {"Text 1 2 \"a b\" \"c d\"", {"Text", "1", "2", "a b", "\"c", "d\""}},
        {"Text 1 2 \"a b\"\"c d\"", {"Text", "1", "2", "a b", "c d"}},
        {"Text 1 2 \"a b\"c d", {"Text", "1", "2", "a b", "c", "d"}},
        {"Text 1 2 \"\" word", {"Text", "1", "2", "word"}},  // an empty quoted token is skipped
        {"Ball 1 1 16 b.tga # not a comment", {"Ball", "1", "1", "16", "b.tga", "#", "not", "a", "comment"}},
    };
    for (const auto& c : cases) {
        V all = LevelFile::tokenise(c.line);
        ASSERT_EQ(all.size(), static_cast<size_t>(LevelFile::TOKEN_SLOTS));
        EXPECT_EQ(V(all.begin(), all.begin() + LevelFile::count(all.data())), c.tokens) << c.line;
        EXPECT_FALSE(LevelFile::isIgnored(all)) << c.line;
    }
    for (const char* ignored : {"", " \t  \t", "#Ball 100 100 16 ball.tga", "   #Ball"}) {
        EXPECT_TRUE(LevelFile::isIgnored(LevelFile::tokenise(ignored))) << ignored;
    }
    // At most 31 tokens, and the terminator always follows.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "w" + std::to_string(i) + " ";
    V t = LevelFile::tokenise(many);
    EXPECT_EQ(LevelFile::count(t.data()), 31);
    EXPECT_EQ(t[30], "w30");
}

TEST(LevelFileGrammar, LinesEndAtNewlineNulOrTheLengthLimit) {
    const std::string overlong = "Text 1 2 " + std::string(2000, 'x');
    const std::string fits(1023, 'y');
    const struct {
        std::string text;
        V lines;
    } cases[] = {
        {"Length 20\r\nBall 1 2 3 b.tga\r\n", {"Length 20", "Ball 1 2 3 b.tga"}},
        {"last\r", {"last"}},
        {"a\rb\n", {"a\rb"}},  // only the carriage return before the line end is dropped
        {std::string("Box 1 2\0 3 4\n", 13) + "\nLength 3\n", {"Box 1 2", "", "Length 3"}},
        // An over-long line is cut, and it ends the reading.
        {"Length 5\n" + overlong + "\nLength 7\n", {"Length 5", overlong.substr(0, 1023)}},
        {fits + "\nnext\n", {fits, "next"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        LevelFile file(in);
        V lines;
        for (std::string line; file.nextLine(line);) lines.push_back(line);
        EXPECT_EQ(lines, c.lines) << c.text.substr(0, 40);
        EXPECT_EQ(file.lineNumber(), static_cast<int>(c.lines.size()));
    }
}

// A field is a number only when the whole token is one: what is not, is said,
// quoting the token. Expected values are written out; a reason starts with "is ".
TEST(LevelFileGrammar, NumberFieldsAreWholeTokensInRangeAndFinite) {
    const char* notWhole = "is not a whole number";
    const char* notNumber = "is not a number";
    const char* notFinite = "is not a finite number";
    const char* outOfRange = "is out of range";
    const struct {
        std::string text;
        const char* asWhole;
        const char* asReal;
    } cases[] = {
        {"120", "120", "120"},          {"-7", "-7", "-7"},           {"+8", "8", "8"},
        {"3.9", notWhole, "3.9"},       {".5", notWhole, "0.5"},      {"5.", notWhole, "5"},
        {"-1.5e2", notWhole, "-150"},   {"1E+3", notWhole, "1000"},   {"2e", notNumber, notNumber},
        {"12abc", notNumber, notNumber}, {"64px", notNumber, notNumber}, {"abc", notNumber, notNumber},
        {"", notNumber, notNumber},     {"-", notNumber, notNumber},  {".", notNumber, notNumber},
        {" 5", notNumber, notNumber},   {"0x10", notNumber, notNumber}, {"1,5", notNumber, notNumber},
        {"nan", notNumber, notFinite},  {"-Infinity", notNumber, notFinite}, {"inf", notNumber, notFinite},
        {"1e39", notWhole, outOfRange}, {"-1e999999", notWhole, outOfRange},
        // FLT_MAX as the level writer prints it rounds back to FLT_MAX.
        {"3.40282347e+38", notWhole, "3.40282347e+38"},
        {"2147483647", "2147483647", "2147483647"}, {"-2147483648", "-2147483648", "-2147483648"},
        {"2147483648", outOfRange, "2147483648"},  {"99999999999999999999999999", outOfRange, "1e26"},
    };
    // What a read gives: the value, or the message quoting the token.
    auto expected = [](const std::string& text, const char* result) {
        return result[0] == 'i' ? "\"" + text + "\" " + result : std::string(result);
    };
    for (const auto& c : cases) {
        int whole = 0;
        float real = 0.0f;
        std::string whyWhole, whyReal;
        const bool isWhole = LevelFile::readWhole(c.text, whole, whyWhole);
        EXPECT_EQ(isWhole ? std::to_string(whole) : whyWhole, expected(c.text, c.asWhole));
        const bool isReal = LevelFile::readReal(c.text, real, whyReal);
        EXPECT_EQ(isReal, c.asReal[0] != 'i') << c.text << ": " << whyReal;
        if (isReal) {
            EXPECT_EQ(real, std::strtof(c.asReal, nullptr)) << c.text;
        } else {
            EXPECT_EQ(whyReal, expected(c.text, c.asReal));
        }
    }
    // Colours keep the low 24 bits of all their hex digits; -1 marks a refused one.
    const std::pair<const char*, int> colours[] = {{"0xFfA0b1", 0xffa0b1}, {"0x1ff00ff", 0xff00ff},
                                                   {"0xffffffffffffffff123456", 0x123456},
                                                   {"0x12g4", -1}, {"0x", -1}, {"ff00ff", -1}};
    for (const auto& c : colours) {
        int colour = -1;
        std::string why;
        EXPECT_EQ(LevelFile::readColour(c.first, colour, why), c.second >= 0) << c.first;
        EXPECT_EQ(colour, c.second) << c.first;
        EXPECT_EQ(why, c.second < 0 ? "\"" + std::string(c.first) + "\" is not a colour 0xRRGGBB" : "");
    }
}

// Messages show tokens escaped and cut short: a binary file or a huge token
// never puts raw bytes or megabytes on the terminal.
TEST(LevelFileGrammar, QuotedTokensAreEscapedAndCut) {
    std::string cutOnes;  // the first MAX_QUOTED bytes of a token of 0x01 bytes, escaped
    for (size_t i = 0; i < LevelFile::MAX_QUOTED; ++i) cutOnes += "\\x01";
    const std::pair<std::string, std::string> cases[] = {
        {"Ball", "\"Ball\""},
        {std::string("\x7f" "ELF\x02\x01\0\x1b[31m", 12), "\"\\x7fELF\\x02\\x01\\x00\\x1b[31m\""},
        {"tab\there\r\n", "\"tab\\there\\r\\n\""},
        {"back\\slash \"quote\"", "\"back\\\\slash \\\"quote\\\"\""},
        {"\xc3\xa9t\xc3\xa9", "\"\\xc3\\xa9t\\xc3\\xa9\""},
        {std::string(LevelFile::MAX_QUOTED, 'x'), "\"" + std::string(LevelFile::MAX_QUOTED, 'x') + "\""},
        {std::string(10 << 20, '\x01'), "\"" + cutOnes + "\"... (10485760 bytes)"},
    };
    for (const auto& c : cases) EXPECT_EQ(LevelFile::quote(c.first), c.second) << c.second;
}
