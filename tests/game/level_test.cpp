// The level: loading, bad lines, the victory clock and the drawing order.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "game/objects/ball.h"
#include "game/objects/level.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/animation.h"
#include "game/render/draw_log.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;

using LevelTest = LevelDir;

TEST_F(LevelTest, BadLinesAreSkippedOrMendedAndTheLevelStillPlays) {
    std::string manyPoints = "Polygon 300 300 10 poly.tga 40";  // 40 points announced, 32 kept
    for (int i = 0; i < 12; ++i) manyPoints += " " + std::to_string(i % 3) + " " + std::to_string(i / 3);
    const std::string skipped = "./levels/bad.lvl, line 2: Polygon with";
    const struct {
        std::string line;
        std::string says;  // in what loading prints; empty: it prints nothing
        size_t objects;    // made from the line
    } cases[] = {
        {"Polygon 100 100 64 poly.tga 2 0 0 1 1", skipped, 0},
        {"Polygon 100 100 64 poly.tga 3 0 0 1 1 2 2", skipped, 0},  // on one line
        {"Polygon 300 300 10 poly.tga -3 0 0 4 0 0 4", skipped, 0},
        {"Polygon 300 300 0 poly.tga 3 0 0 4 0 0 4", skipped, 0},
        {"Polygon 300 300 1e30 poly.tga 3 0 0 4e30 0 0 4e30", skipped, 0},
        {manyPoints, "", 1},
        {"Polygon 300 300 10 poly.tga 5 0 0 4 0 0 4", "", 1},  // the missing points read (0, 0)
        {"Gizmo 1 2 3", "Invalid find object type Gizmo", 0},
        {"Bomb 1 1 99999999999\nBomb 1 1 -99999999999\nBomb 1 1", "", 3},
        {"Ball 300 300 10 ball.tga --restitution nan", "", 1},
        {"BlackHole 400 300 0\nText 386 286 28 centre", "", 2},  // 0 / 0: a label's body at the centre
        {"BlackHole 100 100 -2000000\nBox 110 100 1 1 crate.tga", "", 2},
        {"Text 2147483647 -2147483648 2147483647 far", "", 1},  // pixels beyond the int range
        {"Text 1 2 " + std::string(2000, 'x') + "\nBall 100 100 10 ball.tga", "", 1},  // reading stops
        {"Victory\nVictory d\nLength abc\nObject", "", 1},
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
        auto level = load("# the line below\n" + c.line + "\n", "bad");
        const std::string out = testing::internal::GetCapturedStdout();
        if (c.says.empty()) {
            EXPECT_EQ(out, "");
        } else {
            EXPECT_NE(out.find(c.says), std::string::npos) << out;
        }
        EXPECT_EQ(level->objects.size(), 4 + c.objects);
        // Under the sanitizer build this also shows every object and body released.
        for (int tick = 1; tick <= 120; ++tick) {
            level->update(tick);
            if (tick == 30) level->explode(400.0f, 300.0f, 10000.0f);
            level->draw();
            if (tick == 60) level->restart();
        }
        for (Object* o : level->objects) {
            if (o->physics == nullptr) continue;
            const Vector2D p = o->physics->getPosition(), v = o->physics->getVelocity();
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(v.x) && std::isfinite(v.y));
        }
    }
    EXPECT_EQ(nth<Polygon0>(*load(manyPoints), 4)->pointNum, Polygon0::MAX_POINTS);
}

// Conditions are resolved after the whole file: an object may name one defined
// later, the last definition of a name counts, and an unknown name always holds.
// A short line reads empty fields, never those of the line before it.
TEST_F(LevelTest, WonOnTheUpdateAfterTheConditionsHeldForItsLength) {
    const std::string ball = "Ball 400 40 16 ball.tga --victory g\n";
    const struct {
        std::string text;
        int wonAt;  // 0: not within 600 updates
    } cases[] = {
        {"# nothing but walls\n", 301},
        {"Length 0\n", 1},
        {"Length -40\n", 1},  // a negative wait counts as none, not as won before anything happened
        {"Length 10\n" + ball + "Victory g enter 400 60 300 120 centre\n", 11},
        {"Length 10\n" + ball + "Victory g leave 400 60 300 120\n", 0},
        {"Length 10\n" + ball + "Victory g enter 400 60 300 120\nVictory g enter 700 500 9 9\n", 0},
        {"Length 10\n" + ball + "Victory g enter 700 500 9 9\nVictory g enter 400 60 300 120\n", 11},
        {"Length 10\n" + ball + "Victory other enter 700 500 9 9\n", 11},
        {"Length 10\n" + ball + "Ball 100 40\nVictory g enter 400 60 300 120\n", 11},
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
