// The level-file grammar: lines, tokens, quoting, limits and number fields.
#include <gtest/gtest.h>

#include <climits>
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

TEST(LevelFileGrammar, NumberFieldsReadTheLeadingNumberAndNeverAnInfinity) {
    const struct {
        const char* text;
        int asInt;
        float asReal;
    } cases[] = {
        {"120", 120, 120.0f},       {"-7", -7, -7.0f},         {"+8", 8, 8.0f},
        {"3.9", 3, 3.9f},           {"12abc", 12, 12.0f},      {"64px", 64, 64.0f},
        {"-1.5e2", -1, -150.0f},    {".5", 0, 0.5f},           {"2e", 2, 2.0f},
        {"abc", 0, 0.0f},           {"", 0, 0.0f},             {"-", 0, 0.0f},
        {".", 0, 0.0f},             {"0x10", 0, 0.0f},         {"nan", 0, 0.0f},
        {"inf", 0, 0.0f},           {"-infinity", 0, 0.0f},    {"1e39", 1, 0.0f},
        {"-1e39", -1, 0.0f},        {"1e999999", 1, 0.0f},     {"2147483647", INT_MAX, 2147483647.0f},
        {"2147483648", INT_MAX, 2147483648.0f},                {"-2147483648", INT_MIN, -2147483648.0f},
        {"99999999999999999999999999", INT_MAX, 1e26f},        {"-99999999999999999999999999", INT_MIN, -1e26f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LevelFile::toInt(c.text), c.asInt) << c.text;
        EXPECT_FLOAT_EQ(LevelFile::toReal(c.text), c.asReal) << c.text;
    }
    // Colours keep the low 24 bits of the hex digits before the first other character.
    const std::pair<const char*, int> colours[] = {{"0xFfA0b1", 0xffa0b1}, {"0x12g4", 0x12}, {"0x", 0},
                                                   {"0x1ff00ff", 0xff00ff}, {"0xffffffffffffffff123456", 0x123456}};
    for (const auto& c : colours) EXPECT_EQ(LevelFile::toColour(c.first), c.second) << c.first;
}
