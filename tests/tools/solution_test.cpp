// Solution files: the hash, the text format both ways, and the reader's refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tool_fixture.h"
#include "tools/level/solution.h"

using namespace leveltools;

namespace {

bool parse(const std::string& text, Solution& out, std::string& error) {
    std::istringstream in(text);
    return parseSolution(in, "x.sol", out, error);
}

std::string parseError(const std::string& text) {
    Solution s;
    std::string error;
    EXPECT_FALSE(parse(text, s, error)) << text;
    return error;
}

const char* const HASH = "hash 0123456789abcdef\n";

}  // namespace

TEST(SolutionHash, Fnv1a64KnownValues) {
    // Published FNV-1a 64-bit test vectors.
    EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ull);
    EXPECT_EQ(hashHex(0xaf63dc4c8601ec8cull), "af63dc4c8601ec8c");
    EXPECT_EQ(hashHex(0x1ull), "0000000000000001");
    // Every byte counts, including line ends and bytes above 127.
    EXPECT_NE(levelHash("Ball 1 2 3\n"), levelHash("Ball 1 2 3\r\n"));
    EXPECT_NE(levelHash(std::string("\xff", 1)), levelHash(std::string("\x7f", 1)));
}

TEST(SolutionFormat, WrittenTextReadsBackTheSame) {
    Solution s;
    s.hash = "9c1f3e0a5b7d2c41";
    s.par = 2;
    s.updates = 734;
    s.playable = 0.90625;
    s.limit = 7200;
    s.clicks = {{40, 352, 118}, {300, 0, 599}};
    const std::string text = formatSolution(s, "level3");
    EXPECT_EQ(text.rfind("# boxquake solution for level3\n", 0), 0u) << text;

    Solution back;
    std::string error;
    ASSERT_TRUE(parse(text, back, error)) << error;
    EXPECT_EQ(back.hash, s.hash);
    EXPECT_EQ(back.par, 2);
    EXPECT_EQ(back.updates, 734);
    EXPECT_NEAR(back.playable, 0.906, 1e-9);  // written with three decimals
    EXPECT_EQ(back.limit, 7200);
    EXPECT_EQ(back.clicks, s.clicks);
}

TEST(SolutionFormat, OptionalItemsHaveDefaultsAndLessonsHaveNoClicks) {
    Solution s;
    std::string error;
    ASSERT_TRUE(parse(std::string("# lesson\n\n") + HASH + "par 0\r\n", s, error)) << error;
    EXPECT_EQ(s.par, 0);
    EXPECT_TRUE(s.clicks.empty());
    EXPECT_EQ(s.limit, DEFAULT_MAX_UPDATES);
    EXPECT_LT(s.playable, 0.0);
    EXPECT_EQ(s.updates, 0);
}

TEST(SolutionFormat, RefusesBrokenFilesNamingTheLine) {
    EXPECT_NE(parseError("par 0\n").find("no \"hash\""), std::string::npos);
    EXPECT_NE(parseError(HASH).find("no \"par\""), std::string::npos);
    EXPECT_NE(parseError("hash 0123\npar 0\n").find("x.sol, line 1"), std::string::npos);
    EXPECT_NE(parseError("hash 0123456789ABCDEF\npar 0\n").find("line 1"), std::string::npos);  // lower case only
    EXPECT_NE(parseError(std::string(HASH) + "par 1\n").find("par 1 but 0 clicks"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par 0\nclick 1 2\n").find("line 3"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par 1\nclick 1 2 3x\n").find("line 3"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par -1\n").find("line 2"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par 0\nlimit 0\n").find("line 3"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par 0\nplayable 1.5\n").find("line 3"), std::string::npos);
    EXPECT_NE(parseError(std::string(HASH) + "par 0\nclicks 3\n").find("unknown item \"clicks\""), std::string::npos);
}

TEST(SolutionFormat, RefusesClicksThePlayerCannotMake) {
    const std::string head = std::string(HASH) + "par 2\n";
    // Two presses need an update with the button up in between.
    EXPECT_NE(parseError(head + "click 10 1 1\nclick 11 1 1\n").find("released"), std::string::npos);
    EXPECT_NE(parseError(head + "click 10 1 1\nclick 9 1 1\n").find("released"), std::string::npos);
    EXPECT_NE(parseError(head + "click 0 1 1\nclick 9 1 1\n").find("first update is 1"), std::string::npos);
    EXPECT_NE(parseError(head + "click 1 800 1\nclick 9 1 1\n").find("outside"), std::string::npos);
    EXPECT_NE(parseError(head + "click 1 1 -1\nclick 9 1 1\n").find("outside"), std::string::npos);
    Solution s;
    std::string error;
    EXPECT_TRUE(parse(head + "click 1 0 0\nclick 3 799 599\n", s, error)) << error;
}

TEST_F(ToolDir, WriteSolutionReplacesTheFileWholeAndLeavesNoTemporary) {
    Solution s;
    s.hash = "0123456789abcdef";
    s.par = 1;
    s.clicks = {{5, 10, 20}};
    std::string error;
    const std::string path = dir() + "/levels/new.sol";
    ASSERT_TRUE(writeSolution(path, s, "new", error)) << error;
    s.clicks[0].x = 11;
    ASSERT_TRUE(writeSolution(path, s, "new", error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    Solution back;
    ASSERT_TRUE(readSolution(path, back, error)) << error;
    EXPECT_EQ(back.clicks[0].x, 11);

    EXPECT_FALSE(writeSolution(dir() + "/no/such/dir/x.sol", s, "x", error));
    EXPECT_NE(error.find("no/such/dir/x.sol"), std::string::npos) << error;
    EXPECT_FALSE(readSolution(dir() + "/levels/absent.sol", back, error));
    EXPECT_NE(error.find("absent.sol: no solution file"), std::string::npos) << error;
}

TEST_F(ToolDir, LevelListIsReadAsTheMenuReadsIt) {
    writeFile("levels.txt", "one\r\n\n two\nthree \n\n");
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(readLevelList(dir(), names, error)) << error;
    EXPECT_EQ(names, (std::vector<std::string>{"one", " two", "three "}));
    EXPECT_TRUE(isValidLevelName("one"));
    EXPECT_FALSE(isValidLevelName(" two"));
    EXPECT_FALSE(isValidLevelName("three "));
    EXPECT_FALSE(isValidLevelName("a/b"));
    EXPECT_FALSE(isValidLevelName(std::string(51, 'x')));
    EXPECT_TRUE(isValidLevelName(std::string(50, 'x')));
    EXPECT_FALSE(readLevelList(dir() + "/nothing", names, error));
    EXPECT_NE(error.find("nothing/levels.txt"), std::string::npos);
}

TEST(SolutionChoice, APlayableStoredSolutionIsNeverReplacedByAFluke) {
    Solution stored;
    stored.par = 2;
    stored.playable = 0.81;
    Solution fluke;
    fluke.par = 1;
    fluke.playable = 0.09;
    EXPECT_TRUE(keepStoredSolution(stored, fluke, false));
    // A playable find with fewer clicks replaces it; with more clicks it does not.
    Solution better = fluke;
    better.playable = 0.6;
    EXPECT_FALSE(keepStoredSolution(stored, better, true));
    Solution longer;
    longer.par = 3;
    longer.playable = 1.0;
    EXPECT_TRUE(keepStoredSolution(stored, longer, true));
    // Equal clicks: the more forgiving one stays or comes in.
    Solution same;
    same.par = 2;
    same.playable = 0.97;
    EXPECT_FALSE(keepStoredSolution(stored, same, true));
    same.playable = 0.81;
    EXPECT_TRUE(keepStoredSolution(stored, same, true));
}
