// Solution files: the text format both ways, the reader's refusals, and which of
// two solutions solve keeps. The level hash is pinned by the shipped solutions:
// verify finds every one stale if it changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>

#include "tool_fixture.h"
#include "game/objects/solution.h"

using namespace leveltools;

TEST_F(ToolDir, SolutionWrittenReadsBackTheSame) {
    Solution s;
    s.hash = "9c1f3e0a5b7d2c41";
    s.par = 2;
    s.updates = 734;
    s.playable = 0.90625;
    s.limit = 7200;
    s.clicks = {{40, 352, 118}, {300, 0, 599}};
    std::string error;
    const std::string path = dir() + "/levels/slide.sol";  // replaced whole, through a temporary
    ASSERT_TRUE(writeSolution(path, s, "level3", error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    Solution back;
    ASSERT_TRUE(readSolution(path, back, error)) << error;
    EXPECT_EQ(std::tie(back.hash, back.par, back.updates, back.limit, back.clicks),
              std::tie(s.hash, s.par, s.updates, s.limit, s.clicks));
    EXPECT_NEAR(back.playable, 0.906, 1e-9);  // written with three decimals
}

TEST(SolutionFormat, RefusesBrokenFilesAndClicksNoPlayerCanMakeNamingTheLine) {
    const std::string head = "hash 0123456789abcdef\n";
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"par 0\n", "no \"hash\""},
        {head, "no \"par\""},
        {"hash 0123456789ABCDEF\npar 0\n", "x.sol, line 1"},  // lower case only
        {head + "par 1\n", "par 1 but 0 clicks"},
        {head + "par -1\n", "line 2"},
        {head + "par 0\nlimit 0\n", "line 3"},
        {head + "par 0\nplayable 1.5\n", "line 3"},
        {head + "par 0\nclicks 3\n", "unknown item \"clicks\""},
        {head + "par 1\nclick 1 2 3x\n", "line 3"},
        {head + "par 1\nclick 2000000000 2 3\n", "line 3"},  // beyond what a replay may add to it
        // Two presses need an update with the button up in between.
        {head + "par 2\nclick 10 1 1\nclick 11 1 1\n", "released"},
        {head + "par 2\nclick 10 1 1\nclick 9 1 1\n", "released"},
        {head + "par 1\nclick 0 1 1\n", "first update is 1"},
        {head + "par 1\nclick 1 800 1\n", "outside"},
        {head + "par 1\nclick 1 1 -1\n", "outside"},
    };
    Solution s;
    std::string error;
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        EXPECT_FALSE(parseSolution(in, "x.sol", s, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
    }
    std::istringstream corners(head + "par 2\nclick 1 0 0\nclick 3 799 599\n");
    EXPECT_TRUE(parseSolution(corners, "x.sol", s, error)) << error;
}

// A playable stored solution is never replaced by an unplayable find, however few
// its clicks; otherwise fewer clicks win, then the more forgiving of equals.
TEST(SolutionChoice, APlayableStoredSolutionIsNeverReplacedByAFluke) {
    const struct {
        int foundPar;
        double foundPlayable;
        bool playable, keep;
    } cases[] = {{1, 0.09, false, true}, {1, 0.6, true, false}, {3, 1.0, true, true},
                 {2, 0.97, true, false}, {2, 0.81, true, true}};
    Solution stored;
    stored.par = 2;
    stored.playable = 0.81;
    for (const auto& c : cases) {
        Solution found;
        found.par = c.foundPar;
        found.playable = c.foundPlayable;
        EXPECT_EQ(keepStoredSolution(stored, found, c.playable), c.keep) << c.foundPar << " " << c.foundPlayable;
    }
}
