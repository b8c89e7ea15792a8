// Random play: the same seed plays the same clicks, a body that leaves the
// field is caught with where it went out, and the command's rows and exit code.
#include <gtest/gtest.h>

#include "tool_fixture.h"
#include "tools/level/random_play.h"

TEST_F(ToolDir, RandomPlayIsFixedBySeedAndCatchesABodyOutsideTheWalls) {
    leveltools::RandomPlayOptions options;
    options.updates = 1200;  // 20 s
    const leveltools::RandomPlayResult a = leveltools::playRandomly(source("slide"), options);
    const leveltools::RandomPlayResult again = leveltools::playRandomly(source("slide"), options);
    EXPECT_TRUE(a.finite);
    // A click every 12 to 180 updates; the crate flies from the blasts but stays in.
    EXPECT_GE(a.clicks, 1200 / 180);
    EXPECT_LE(a.clicks, 1200 / 12);
    EXPECT_GT(a.fastest, 0.0f);
    EXPECT_EQ(a.farthest.distance, 0.0f);
    EXPECT_EQ(a.clicks, again.clicks);
    EXPECT_EQ(a.fastest, again.fastest);
    options.seed = 2;
    EXPECT_NE(leveltools::playRandomly(source("slide"), options).fastest, a.fastest);

    // A ball put under the floor falls on for good: found past the wall at once
    // (where, the command's row below says), then ever farther.
    writeFile("levels/under.lvl", "Ball 400 -400 16 ball.tga\n");
    const leveltools::RandomPlayResult under = leveltools::playRandomly(source("under"), options);
    EXPECT_GT(under.farthest.distance, 1000.0f);
    EXPECT_EQ(under.farthest.update, options.updates);
    EXPECT_EQ(under.outside, 1);

    std::string out;
    const std::string d = " --dir " + dir();
    EXPECT_EQ(runTool("play" + d + " --minutes 0.2 slide", out), 0) << out;
    EXPECT_NE(out.find("1 levels, 720 updates"), std::string::npos) << out;
    EXPECT_EQ(runTool("play" + d + " --minutes 0.2 --seed 3 slide under", out), 1) << out;
    EXPECT_NE(out.find("THROUGH THE floor WALL: object 4 (Ball) placed at (400, -400), after update 1"),
              std::string::npos) << out;
    EXPECT_NE(out.find("2 levels, 1440 updates"), std::string::npos) << out;
    EXPECT_EQ(runTool("play" + d + " --minutes 0 slide", out), 2) << out;
}
