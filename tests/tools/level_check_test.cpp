// The quality gates, each shown to pass a sound level and to catch its fault.
#include <gtest/gtest.h>

#include "tool_fixture.h"
#include "tools/level/level_check.h"

using namespace leveltools;

namespace {

bool mentions(const LevelCheck& c, const std::string& words) {
    for (const std::string& p : c.problems) {
        if (p.find(words) != std::string::npos) return true;
    }
    return false;
}

std::string problems(const LevelCheck& c) {
    std::string all;
    for (const std::string& p : c.problems) all += p + "\n";
    return all;
}

}  // namespace

class Gates : public ToolDir {
protected:
    // A solution for `name` made for the level's current bytes.
    void writeSolutionFor(const std::string& name, int par, const std::vector<Click>& clicks) {
        Solution s;
        s.hash = levelHash(source(name).bytes);
        s.par = par;
        s.clicks = clicks;
        std::string error;
        ASSERT_TRUE(writeSolution(solutionPath(dir(), name), s, name, error)) << error;
    }
};

TEST_F(Gates, ShippedTestLevelsPass) {
    for (const char* name : {"slide", "lesson"}) {
        LevelCheck c = checkLevel(dir(), name);
        EXPECT_TRUE(c.passed) << name << ":\n" << problems(c);
        EXPECT_TRUE(c.won);
        EXPECT_EQ(c.explosions, c.solution.par);
        EXPECT_GE(c.playable, MIN_PLAYABLE);
        EXPECT_GT(c.simulated, 0);
    }
}

TEST_F(Gates, MissingLevelOrSolutionFails) {
    LevelCheck c = checkLevel(dir(), "centre");  // a level without a solution file
    EXPECT_FALSE(c.passed);
    EXPECT_FALSE(c.hasSolution);
    EXPECT_TRUE(mentions(c, "centre.sol: no solution file")) << problems(c);

    c = checkLevel(dir(), "absent");
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(mentions(c, "absent.lvl: cannot read")) << problems(c);

    c = checkLevel(dir(), "../levels/slide");
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(mentions(c, "not a level name")) << problems(c);
}

TEST_F(Gates, EditedLevelMakesItsSolutionStale) {
    writeFile("levels/slide.lvl", readFile("levels/slide.lvl") + "# an edit that changes nothing in play\n");
    LevelCheck c = checkLevel(dir(), "slide");
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(c.stale);
    EXPECT_TRUE(c.won);  // still wins: only the hash tells
    EXPECT_TRUE(mentions(c, "solve the level again")) << problems(c);
}

TEST_F(Gates, SolutionThatDoesNotWinOrMissesItsParFails) {
    writeSolutionFor("slide", 1, {{3, 700, 500}});  // far away: the crate hardly moves
    LevelCheck c = checkLevel(dir(), "slide");
    EXPECT_FALSE(c.passed);
    EXPECT_FALSE(c.won);
    EXPECT_TRUE(mentions(c, "does not win within 3600 updates")) << problems(c);

    // Wins, but the second click comes after the win: one explosion, par says two.
    writeSolutionFor("slide", 2, {{3, 157, 22}, {3000, 10, 590}});
    c = checkLevel(dir(), "slide");
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(c.won);
    EXPECT_EQ(c.explosions, 1);
    EXPECT_TRUE(mentions(c, "wins with 1 explosions, not par 2")) << problems(c);
}

TEST_F(Gates, UnplayableSolutionFails) {
    CheckOptions strict;
    strict.playability.shift = 60;  // a hand this unsteady cannot repeat the slide
    LevelCheck c = checkLevel(dir(), "slide", strict);
    EXPECT_FALSE(c.passed);
    EXPECT_LT(c.playable, MIN_PLAYABLE);
    EXPECT_TRUE(mentions(c, "not playable")) << problems(c);
}

TEST_F(Gates, LevelWonWithoutAClickNeedsParZero) {
    // The lesson wins by itself; calling it a one-click level is caught.
    writeSolutionFor("lesson", 1, {{5, 799, 599}});
    LevelCheck c = checkLevel(dir(), "lesson");
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(c.won);
    EXPECT_TRUE(mentions(c, "won without a click")) << problems(c);

    // A par-0 solution of a level that needs a click fails as a loss.
    writeSolutionFor("slide", 0, {});
    c = checkLevel(dir(), "slide");
    EXPECT_FALSE(c.passed);
    EXPECT_FALSE(c.won);
}

TEST_F(Gates, LevelWonByOneClickAtTheCentreNeedsParOne) {
    // One click at (400, 300) knocks the ball off its shelf into the area.
    writeSolutionFor("centre", 1, {{1, 400, 300}});
    LevelCheck c = checkLevel(dir(), "centre");
    EXPECT_TRUE(c.passed) << problems(c);

    // A two-click solution of the same level: the centre click betrays it.
    writeSolutionFor("centre", 2, {{1, 400, 300}, {20, 10, 590}});
    c = checkLevel(dir(), "centre");
    EXPECT_TRUE(c.won);
    EXPECT_EQ(c.explosions, 2);
    EXPECT_FALSE(c.passed);
    EXPECT_TRUE(mentions(c, "centre (400, 300)")) << problems(c);
}
