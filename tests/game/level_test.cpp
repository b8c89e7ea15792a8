// The level: loading, bad lines and their messages, and the victory clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/objects/ball.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/render/animation.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;

using LevelTest = LevelDir;

namespace {

// A few seconds of play with a restart and a blast: under the sanitizer build
// this also shows every object and body of a level released.
void play(Level& level) {
    for (int tick = 1; tick <= 120; ++tick) {
        level.update(tick);
        if (tick == 30) level.explode(400.0f, 300.0f, 10000.0f);
        level.draw();
        if (tick == 60) level.restart();
    }
    EXPECT_TRUE(allFinite(level));
}

}  // namespace

// A line that cannot be used is skipped with one line on standard error naming
// the file, the line and why; the lines around it load. Lines at the edges of
// what is allowed (no reason given) load without a word. Every level plays.
TEST_F(LevelTest, EachBadLineIsSkippedWithOneMessageAndOddButValidLinesLoadSilently) {
    const char* hull = " has fewer than three hull points (points on one line or all alike)";
    const struct {
        std::string line;
        std::string why;     // empty: the line is valid
        size_t objects = 0;  // made from a valid line
    } cases[] = {
        {"Ball abc def", "\"abc\" is not a number (Ball x)"},
        {"Ball 100 100", "missing (Ball radius)"},
        {"Ball 100 100 10", "missing (Ball picture)"},
        {std::string("Ball 100 100\0 16 ball.tga", 25), "missing (Ball radius)"},  // the line ends at the NUL
        {"Ball 100 100 10 ball.tga --restitution -inf", "\"-inf\" is not a finite number (Ball --restitution)"},
        {"Ball 100 100 10 ball.tga --victory", "missing (Ball --victory)"},
        {"Box 1 2 3", "missing (Box height)"},
        {"StaticBox 1 2 3 4e", "\"4e\" is not a number (StaticBox height)"},
        {"Bomb 1 1 99999999999", "\"99999999999\" is out of range (Bomb fuse)"},
        {"BlackHole 1 1 inf", "\"inf\" is not a number (BlackHole power)"},
        {"Text x 2 hello", "\"x\" is not a number (Text x)"},
        {"Text 1 2 0x12g4 hello", "\"0x12g4\" is not a colour 0xRRGGBB (Text colour)"},
        {"Polygon 300 300 10 poly.tga 5 0 0 4 0 0 4", "missing (Polygon x3)"},
        {"Polygon 300 300 10 poly.tga 40 0 0 4 0 0 4", "missing (Polygon x3)"},  // more than MAX_POINTS
        {"Polygon 300 300 nan poly.tga 3 0 0 4 0 0 4", "\"nan\" is not a finite number (Polygon scale)"},
        {"Polygon 300 300 1e39 poly.tga 3 0 0 4 0 0 4", "\"1e39\" is out of range (Polygon scale)"},
        {"Polygon 300 300 10 poly.tga 3 0 0 4 0 0 4 --rotate", "missing (Polygon --rotate)"},
        {"Polygon 100 100 64 poly.tga 2 0 0 1 1", std::string("Polygon with 2 point(s) at scale 64") + hull},
        {"Polygon 100 100 64 poly.tga 3 0 0 1 1 2 2", std::string("Polygon with 3 point(s) at scale 64") + hull},
        {"Polygon 100 100 64 poly.tga 4 1 1 1 1 1 1 1 1", std::string("Polygon with 4 point(s) at scale 64") + hull},
        {"Polygon 300 300 10 poly.tga -3 0 0 4 0 0 4", std::string("Polygon with 0 point(s) at scale 10") + hull},
        {"Polygon 300 300 0 poly.tga 3 0 0 4 0 0 4", std::string("Polygon with 3 point(s) at scale 0") + hull},
        {"Polygon 300 300 1e30 poly.tga 3 0 0 4e30 0 0 4e30",
         std::string("Polygon with 3 point(s) at scale 1e+30") + hull},
        {"Victory v enter 1 2", "missing (Victory width)"},
        {"Victory", "missing (Victory name)"},
        {"Victory v", "missing (Victory condition)"},
        {"Victory v sideways 1 2 3 4", "\"sideways\" is none of enter, leave and auto (Victory condition)"},
        {"Victory v enter 1 2 3 4 most --drawRect", "\"most\" is none of centre, whole and partial (Victory completeness)"},
        {"Length abc", "\"abc\" is not a number (Length updates)"},
        {"Background", "missing (Background picture)"},
        {"Gizmo 1 2 3", "unknown kind \"Gizmo\""},
        // Bytes of a binary file, shown escaped: a tab separates the first token.
        {"\x7f" "ELF\x02\x01\x01\x1b[2J\tBall", "unknown kind \"\\x7fELF\\x02\\x01\\x01\\x1b[2J\""},
        {"Bomb 1 1 99999999\nBomb 1 1 -99999999\nBomb 1 1 0", "", 3},  // fuses clamped to the int range of updates
        {"Ball 300 300 10 ball.tga --restitution 1e-3", "", 1},
        {"BlackHole 400 300 0\nText 386 286 28 centre", "", 2},  // 0 / 0: a label's body at the centre
        {"BlackHole 100 100 -2000000\nBox 110 100 1 1 crate.tga", "", 2},
        {"Text 2147483647 -2147483648 2147483647 far", "", 1},  // pixels beyond the int range
        {"Text 1 2\nText 3 4 0x00ff00\nObject\nStaticBox 1 2 3 4\nLength -40", "", 4},
        {"Background backdrop.tga\n"
         "Victory goal enter 700 60 120 100 whole --drawRect\n"
         "Ball 100 500 16 ball.tga --victory goal --restitution 0.3\n"
         "Box 300 40 64 32 crate.tga\n"
         "StaticBox 400 200 200 20 wall.tga\n"
         "Polygon 550 100 64 poly.tga 3 0 0 1 0 0.5 1 --static\n"
         "Polygon 250 300 32 poly.tga 4 0 0 1 0 1 1 0 1 --rotate 0.5\n"
         "Bomb 320 100 1\n"
         "BlackHole 600 400 1500\n"
         "Text 250 560 0xffffff \"Some text\"\n",
         "", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 60));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto level = load("# the lines around it load\nBall 100 500 16 ball.tga\n" + c.line +
                          "\nBox 300 40 64 32 crate.tga\n", "bad");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(err, c.why.empty() ? "" : "./levels/bad.lvl, line 3: " + c.why + "; line skipped\n");
        ASSERT_EQ(level->objects.size(), 6 + c.objects);
        EXPECT_NE(nth<Ball>(*level, 4), nullptr);
        EXPECT_NE(nth<Box>(*level, static_cast<int>(5 + c.objects)), nullptr);
        if (!c.why.empty()) {  // nothing of a skipped line is kept
            EXPECT_EQ(level->length, 300);
            EXPECT_TRUE(level->victoryConditions.empty());
        }
        play(*level);
    }
    // A file that cannot be read: its name and why, and only the boundary walls.
    // The editor's new level has no name and no file, and says nothing.
    std::filesystem::create_directory("levels/folder.lvl");
    const std::pair<const char*, const char*> files[] = {
        {"absent", "./levels/absent.lvl: cannot open: No such file or directory\n"},
        {"folder", "./levels/folder.lvl: cannot open: Is a directory\n"},
        {"", ""}};
    for (const auto& f : files) {
        testing::internal::CaptureStderr();
        Level level(f.first);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), f.second);
        EXPECT_EQ(level.objects.size(), 4u);
    }
}

// Conditions are resolved after the whole file: an object may name one defined
// later, the last definition of a name counts, and an unknown name always holds.
TEST_F(LevelTest, WonOnTheUpdateAfterTheConditionsHeldForItsLength) {
    const std::string ball = "Ball 400 40 16 ball.tga --victory g\n";
    const struct {
        std::string text;
        int wonAt;  // 0: not within 600 updates
    } cases[] = {
        {"# nothing but walls\n", 0},  // nothing to bring anywhere: never won, not won by itself
        {"Length 0\n" + ball + "Victory g enter 400 60 300 120\n", 1},
        {"Length -40\n" + ball + "Victory g enter 400 60 300 120\n", 1},  // a negative wait counts as none
        {"Length 10\n" + ball + "Victory g enter 400 60 300 120 centre\n", 11},
        {"Length 10\n" + ball + "Victory g leave 400 60 300 120\n", 0},
        {"Length 10\n" + ball + "Victory g enter 400 60 300 120\nVictory g enter 700 500 9 9\n", 0},
        {"Length 10\n" + ball + "Victory g enter 700 500 9 9\nVictory g enter 400 60 300 120\n", 11},
        {"Length 10\n" + ball + "Victory other enter 700 500 9 9\n", 0},  // g is never declared: no goal
    };
    for (const auto& c : cases) {
        auto level = load(c.text);
        EXPECT_FALSE(level->victory()) << c.text;
        int wonAt = 0;
        for (int update = 1; update <= 600 && wonAt == 0; ++update) {
            level->update(update);
            if (level->victory()) wonAt = update;
        }
        EXPECT_EQ(wonAt, c.wonAt) << c.text;
    }
}

TEST_F(LevelTest, AFailingConditionRestartsTheCountAndTheClock) {
    auto level = load("Victory low enter 400 50 800 100\nBall 400 15 10 ball.tga --victory low\n");
    Ball* ball = nth<Ball>(*level, 4);
    ASSERT_NE(ball, nullptr);
    for (int tick = 1; tick <= 20; ++tick) level->update(tick);
    EXPECT_EQ(level->victoryTime, 20.0f);
    EXPECT_LT(level->clock->frame, 5u);  // running
    ball->physics->setPosition(Vector2D(400.0f, 300.0f));  // out of the area for one update
    level->update(21);
    EXPECT_EQ(level->victoryTime, 0.0f);
    EXPECT_EQ(level->clock->frame, 10u);  // hidden
    ball->reset();
    // Its history still holds the jump: unstable until it has left the last 60 positions.
    int tick = 22;
    while (level->victoryTime == 0.0f && tick < 200) level->update(tick++);
    EXPECT_EQ(level->victoryTime, 1.0f);
    EXPECT_EQ(level->clock->frame, 0u);  // started again from its first picture
}
