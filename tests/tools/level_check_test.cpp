// The quality gates verify applies to every shipped level.
#include <gtest/gtest.h>

#include <algorithm>

#include "tool_fixture.h"
#include "tools/level/level_check.h"

using namespace leveltools;

namespace {

std::string problemsOf(const LevelCheck& c) {
    std::string all;
    for (const std::string& p : c.problems) all += p + "\n";
    return all;
}

// A ball that rolls down a wedge and on along the floor never settles.
const std::string ROLLER = "Victory goal enter 700 60 150 110 centre\n"
                           "Polygon 150 40 200 poly.tga 3 0 0 1 0 0 0.3 --static\n"
                           "Ball 80 120 16 ball.tga --victory goal\n";

}  // namespace

// Each gate passes the sound test levels and catches its fault.
TEST_F(ToolDir, EachGateCatchesItsFault) {
    const struct {
        const char* name;
        std::string level;  // replaces the level file when not empty
        int par;            // with `clicks` and `limit`, the solution written; -1: the file as it is
        std::vector<Click> clicks;
        int limit;
        const char* problem;  // a problem it must have; empty: it passes
        const char* absent;   // a problem it must not have
        int shift;            // pixels the playability check jitters clicks by
    } cases[] = {
        {"slide", "", -1, {}, 0, "", "", 8},
        {"lesson", "", -1, {}, 0, "", "", 8},
        {"centre", "", -1, {}, 0, "centre.sol: no solution file", "", 8},
        {"absent", "", -1, {}, 0, "absent.lvl: cannot read", "", 8},
        {"../levels/slide", "", -1, {}, 0, "not a level name", "", 8},
        {"slide", "", 1, {{3, 700, 500}}, 3600, "does not win within 3600 updates", "", 8},
        // Won, but the second click comes after the win: one explosion, par says two.
        {"slide", "", 2, {{3, 157, 22}, {3000, 10, 590}}, 3600, "wins with 1 explosions, not par 2", "", 8},
        {"slide", "", 1, {{4, 128, 24}}, 3600, "not playable", "", 60},  // an unsteady hand
        {"lesson", "", 1, {{5, 799, 599}}, 3600, "won without a click", "", 8},
        // One click at the centre knocks the ball off its shelf into its area.
        {"centre", "", 1, {{1, 400, 300}}, 3600, "", "", 8},
        {"centre", "", 2, {{1, 400, 300}, {20, 10, 590}}, 3600, "centre (400, 300)", "", 8},
        // Wins at update ~780, but not with every click 240 updates later inside a cap of 1000...
        {"slide", "", 1, {{300, 128, 24}}, 1000, "240 updates later", "", 8},
        // ... unless a bomb makes the timing part of the level.
        {"slide", "Victory goal enter 620 60 340 120 centre\nBox 150 20 40 40 crate.tga --victory goal\n"
                  "Bomb 700 500 20\n", 1, {{300, 128, 24}}, 1000, "", "240 updates later", 8},
        {"roller", ROLLER, 1, {{2, 60, 100}}, 3600, "left alone, a body moves", "", 8},
        {"roller", ROLLER + "Bomb 700 500 20\n", 0, {}, 3600, "", "left alone", 8},
        {"roller", ROLLER + "BlackHole 700 500 10\n", 0, {}, 3600, "", "left alone", 8},
        // Won by waiting, a lesson in nothing: no object names a declared condition.
        {"idle", "Victory goal enter 400 60 300 120\nBall 400 40 16 ball.tga --victory other\n", 0, {}, 3600,
         "no object names an enter or leave", "", 8},
        {"idle", "Victory goal auto 400 60 300 120\nBall 400 40 16 ball.tga --victory goal\n", 0, {}, 3600,
         "no object names an enter or leave", "", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.problem + c.absent);
        if (!c.level.empty()) writeFile("levels/" + std::string(c.name) + ".lvl", c.level);
        if (c.par >= 0) {
            Solution s;
            s.hash = levelHash(source(c.name).bytes);
            s.par = c.par;
            s.clicks = c.clicks;
            s.limit = c.limit;
            std::string error;
            ASSERT_TRUE(writeSolution(solutionPath(dir(), c.name), s, c.name, error)) << error;
        }
        CheckOptions options;
        options.playability.shift = c.shift;
        const std::string problems = problemsOf(checkLevel(dir(), c.name, options));
        if (*c.problem != '\0') {
            EXPECT_NE(problems.find(c.problem), std::string::npos) << problems;
        } else if (*c.absent != '\0') {
            EXPECT_EQ(problems.find(c.absent), std::string::npos) << problems;
        } else {
            EXPECT_EQ(problems, "");
        }
    }
    // What loading reports reaches the check once, naming the file and the line;
    // the replays and the other gates say nothing.
    writeFile("levels/lesson.lvl", readFile("levels/lesson.lvl") + "Ball abc def\n");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const LevelCheck reported = checkLevel(dir(), "lesson");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // (The pictures' messages follow: the test directory has none.)
    ASSERT_FALSE(reported.messages.empty());
    EXPECT_EQ(reported.messages[0], dir() + "/levels/lesson.lvl, line 5: \"abc\" is not a number (Ball x); line skipped");
    EXPECT_EQ(std::count_if(reported.messages.begin(), reported.messages.end(),
                            [](const std::string& m) { return m.find("line skipped") != std::string::npos; }),
              1);
    // An edit that changes nothing in play still makes the solution stale.
    writeFile("levels/lesson.lvl", readFile("levels/lesson.lvl") + "# an edit\n");
    EXPECT_NE(problemsOf(checkLevel(dir(), "lesson")).find("solve the level again"), std::string::npos);
}
