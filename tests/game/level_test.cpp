// The level: loading, settings lines, victory clock, queries, removal, drawing order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/animation.h"
#include "game/render/draw_log.h"
#include "game/render/text.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;

namespace {

class LevelTest : public LevelDir {
protected:
    std::unique_ptr<Level> load(const std::string& text, const std::string& name = "test") {
        writeLevel(name, text);
        return std::make_unique<Level>(name);
    }
};

}  // namespace

TEST_F(LevelTest, MissingFileGivesTheFourWallsSilently) {
    testing::internal::CaptureStdout();
    Level level("nowhere");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(level.objects.size(), 4u);
    ASSERT_EQ(level.world.bodies.size(), 4u);
    const Vector2D centres[] = {{400, -5}, {400, 605}, {-5, 300}, {805, 300}};
    int i = 0;
    for (Object* o : level.objects) {
        auto* wall = dynamic_cast<StaticBox*>(o);
        ASSERT_NE(wall, nullptr);
        EXPECT_TRUE(wall->boundary);
        EXPECT_TRUE(wall->physics->isStatic());
        // A body's reference point is its centre of mass: the shape's centre up to rounding.
        EXPECT_NEAR(wall->physics->getPosition().x, centres[i].x, 1e-3f);
        EXPECT_NEAR(wall->physics->getPosition().y, centres[i].y, 1e-3f);
        ++i;
    }
    EXPECT_EQ(level.world.getGravity(), Vector2D(0.0f, -300.0f));
    EXPECT_EQ(level.world.getTimeStep(), 0.016666668f);
    EXPECT_EQ(level.length, 300);
    EXPECT_EQ(level.background, nullptr);
}

TEST_F(LevelTest, LongLevelNamesNeitherOverflowNorFail) {
    Level missing(std::string(300, 'n'));
    EXPECT_EQ(missing.objects.size(), 4u);
    const std::string longName(120, 'q');
    auto level = load("Length 7\n", longName);
    EXPECT_EQ(level->length, 7);
}

TEST_F(LevelTest, WithoutConditionsTheLevelIsWonOnThe301stUpdate) {
    auto level = load("# nothing but walls\n");
    for (int tick = 1; tick <= 300; ++tick) {
        level->update(tick);
        ASSERT_FALSE(level->victory()) << tick;
    }
    EXPECT_EQ(level->victoryTime, 300.0f);
    level->update(301);
    EXPECT_TRUE(level->victory());
}

TEST_F(LevelTest, LengthZeroWinsAfterTheFirstUpdateAndNegativeCountsAsZero) {
    auto zero = load("Length 0\n");
    EXPECT_EQ(zero->clock->step, 0);
    EXPECT_FALSE(zero->victory());
    zero->update(1);
    EXPECT_TRUE(zero->victory());

    auto negative = load("Length -40\n", "negative");
    EXPECT_EQ(negative->length, 0);
    EXPECT_FALSE(negative->victory());  // not won before anything happened
    negative->update(1);
    EXPECT_TRUE(negative->victory());

    auto later = load("Length 50\n", "fifty");
    EXPECT_EQ(later->clock->step, 10);  // the clock follows the Length line
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
    EXPECT_EQ(level->clock->istep, 0);
}

TEST_F(LevelTest, ConditionsAreResolvedAfterTheWholeFile) {
    auto level = load(
        "Ball 100 300 10 ball.tga --victory goal\n"
        "Ball 200 300 10 ball.tga\n"
        "Ball 300 300 10 ball.tga --victory nosuch\n"
        "Box 400 300 20 20 crate.tga --victory goal\n"
        "Victory goal enter 100 100 30 40\n"
        "Victory goal leave 700 500 60 70 partial\n");
    Ball* named = nth<Ball>(*level, 4);
    Ball* unnamed = nth<Ball>(*level, 5);
    Ball* undeclared = nth<Ball>(*level, 6);
    Box* box = nth<Box>(*level, 7);
    ASSERT_TRUE(named && unnamed && undeclared && box);
    ASSERT_EQ(named->victory.size(), 1u);
    const victoryStruct& v = named->victory.front();  // the second definition
    EXPECT_EQ(v.condition, victoryStruct::LEAVE);
    EXPECT_EQ(v.completeness, victoryStruct::PARTIAL);
    EXPECT_EQ(v.x, 700);
    EXPECT_EQ(v.y, 500);
    EXPECT_EQ(v.w, 60);
    EXPECT_EQ(v.h, 70);
    EXPECT_EQ(box->victory.front().condition, victoryStruct::LEAVE);
    ASSERT_EQ(unnamed->victory.size(), 1u);
    EXPECT_EQ(unnamed->victory.front().condition, victoryStruct::AUTO);
    EXPECT_EQ(undeclared->victory.front().condition, victoryStruct::AUTO);
    EXPECT_EQ(level->victoryNames, (std::vector<std::string>{"goal"}));
    // Walls carry no condition name.
    EXPECT_TRUE(nth<StaticBox>(*level, 0)->victory.empty());
}

TEST_F(LevelTest, VictoryKindsAndCompleteness) {
    auto level = load(
        "Victory a enter 1 2 3 4 whole\nVictory b leave 1 2 3 4\nVictory c sideways 1 2 3 4 centre\nVictory d\n");
    EXPECT_EQ(level->victoryConditions["a"].condition, victoryStruct::ENTER);
    EXPECT_EQ(level->victoryConditions["a"].completeness, victoryStruct::WHOLE);
    EXPECT_EQ(level->victoryConditions["b"].condition, victoryStruct::LEAVE);
    EXPECT_EQ(level->victoryConditions["b"].completeness, victoryStruct::CENTRE);
    EXPECT_EQ(level->victoryConditions["c"].condition, victoryStruct::AUTO);
    EXPECT_EQ(level->victoryConditions["d"].condition, victoryStruct::AUTO);
    EXPECT_EQ(level->findVictoryCondition("zzz").condition, victoryStruct::AUTO);
    EXPECT_EQ(level->findVictoryCondition("").condition, victoryStruct::AUTO);
}

TEST_F(LevelTest, DrawRectOutlineTakesItsPlaceInTheObjectOrder) {
    auto level = load(
        "Ball 100 300 10 ball.tga\n"
        "Victory goal enter 700 60 120 100 whole --drawRect\n"
        "Box 300 300 20 20 crate.tga\n");
    ASSERT_EQ(level->objects.size(), 7u);
    StaticBox* outline = nth<StaticBox>(*level, 5);
    ASSERT_NE(outline, nullptr);
    EXPECT_FALSE(outline->hasPhysics);
    EXPECT_TRUE(outline->physics->getShapes().empty());  // collides with nothing
    EXPECT_EQ(outline->outlineOf, "goal");
    EXPECT_EQ(outline->noPhysPos, Vector2D(700.0f, 60.0f));

    DrawLog::Scope log;
    level->draw();
    std::vector<DrawCall> calls = DrawLog::sprites();
    // Walls, the ball with its highlight, the outline, then the box.
    ASSERT_GE(calls.size(), 8u);
    EXPECT_EQ(calls[4].image, "ball.tga");
    EXPECT_EQ(calls[5].image, "balltrans.tga");
    EXPECT_EQ(calls[6].image, "rect.tga");
    EXPECT_EQ(calls[6].x, 700.0f);
    EXPECT_EQ(calls[6].y, 60.0f);
    EXPECT_FLOAT_EQ(calls[6].sx * 16.0f, 120.0f);
    EXPECT_FLOAT_EQ(calls[6].sy * 16.0f, 100.0f);
    EXPECT_EQ(calls[7].image, "crate.tga");
}

TEST_F(LevelTest, DrawingOrderBackgroundObjectsExplosionClockTick) {
    auto level = load("Background backdrop.tga\nLength 0\nBall 100 300 10 ball.tga\n");
    EXPECT_EQ(level->backgroundName, "backdrop.tga");
    level->update(1);
    level->explode(50.0f, 60.0f, 10000.0f);
    ASSERT_TRUE(level->victory());
    DrawLog::Scope log;
    level->draw();
    std::vector<DrawCall> calls = DrawLog::sprites();
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0].image, "backdrop.tga");
    EXPECT_EQ(calls[0].x, 400.0f);
    EXPECT_EQ(calls[0].y, 300.0f);
    EXPECT_EQ(calls[0].sx, 2.0f);  // 800 / 400
    EXPECT_EQ(calls[0].sy, 2.0f);  // 600 / 300
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(calls[i].image, "wall.tga");
    EXPECT_EQ(calls[5].image, "ball.tga");
    EXPECT_EQ(calls[6].image, "balltrans.tga");
    EXPECT_EQ(calls[7].image, "e0.tga");
    EXPECT_EQ(calls[7].x, 50.0f);
    EXPECT_EQ(calls[8].image, "clock1.tga");
    EXPECT_EQ(calls[9].image, "tick.tga");
    EXPECT_EQ(calls[9].x, 750.0f);
    EXPECT_EQ(calls[9].y, 560.0f);
    EXPECT_EQ(calls[9].sx, 2.0f);  // 40 / 20
}

TEST_F(LevelTest, GetObjectFindsTheWallFirstAndGetBombOnlyBombs) {
    auto level = load("Ball 5 300 10 ball.tga\nBomb 200 200 3\nBox 200 200 40 40 crate.tga\n");
    Vector2D onWallAndBall(0.0f, 300.0f);
    Object* hit = level->getObject(onWallAndBall);
    EXPECT_EQ(hit, nth<StaticBox>(*level, 2));  // the left wall comes before the ball
    Vector2D ballOnly(12.0f, 300.0f);
    EXPECT_EQ(level->getObject(ballOnly), nth<Ball>(*level, 4));
    Vector2D nothing(400.0f, 400.0f);
    EXPECT_EQ(level->getObject(nothing), nullptr);
    EXPECT_EQ(level->getBomb(205.0f, 200.0f), nth<Bomb>(*level, 5));
    EXPECT_EQ(level->getBomb(12.0f, 300.0f), nullptr);
}

TEST_F(LevelTest, RemoveObjectTakesItsBodyOutOnceOnly) {
    auto level = load("Ball 100 300 10 ball.tga\nText 10 10 hello\nBlackHole 600 400 1500\n");
    ASSERT_EQ(level->world.bodies.size(), 5u);  // walls and the ball; label and hole stay out
    Ball* ball = nth<Ball>(*level, 4);
    Object::Body2D* body = ball->physics;
    EXPECT_EQ(level->removeObject(ball), 0);
    EXPECT_EQ(level->world.bodies.size(), 4u);
    EXPECT_EQ(std::count(level->world.bodies.begin(), level->world.bodies.end(), body), 0);
    EXPECT_EQ(level->objects.size(), 6u);
    EXPECT_EQ(level->removeObject(ball), 1);  // no longer in the level
    EXPECT_EQ(level->removeObject(nth<Text>(*level, 4)), 0);
    EXPECT_EQ(level->objects.size(), 5u);
    Object stranger;
    EXPECT_EQ(level->removeObject(&stranger), 1);
    for (int tick = 1; tick < 5; ++tick) level->update(tick);
}

TEST_F(LevelTest, ExplodeWithoutMovableBodiesOnlyShowsTheExplosion) {
    auto level = load("StaticBox 300 300 50 50\n");
    level->explode(120.0f, 80.0f, 10000.0f);
    EXPECT_EQ(Level::explodey->frame, 0u);
    EXPECT_EQ(Level::explodey->x, 120.0f);
    EXPECT_EQ(Level::explodey->y, 80.0f);
    for (Object::Body2D* b : level->world.bodies) EXPECT_EQ(b->getVelocity(), Vector2D(0.0f, 0.0f));
    // A new level hides the shared explosion again.
    auto next = load("", "next");
    EXPECT_EQ(Level::explodey->frame, 10u);
}

TEST_F(LevelTest, ShortLinesNeverSeeTheTokensOfEarlierLines) {
    auto level = load(
        "Ball 100 300 10 ball.tga --victory goal --restitution 0.9\n"
        "Ball 200 300\n"
        "Box 300 300\n"
        "Victory goal enter 100 300 50 50\n");
    Ball* second = nth<Ball>(*level, 5);
    Box* box = nth<Box>(*level, 6);
    ASSERT_TRUE(second && box);
    EXPECT_EQ(second->radius, 0.0f);
    EXPECT_EQ(second->image, "");
    EXPECT_EQ(second->data["vicCondName"], "");
    EXPECT_FALSE(second->hasRestitution);
    EXPECT_EQ(second->victory.front().condition, victoryStruct::AUTO);
    EXPECT_EQ(box->data["vicCondName"], "");
    for (int tick = 1; tick < 30; ++tick) level->update(tick);
}

TEST_F(LevelTest, ObjectLinesGiveBodylessObjectsThatStayOutOfTheSteps) {
    auto level = load("Object\nObject 100 100 ball.tga --victory goal\nVictory goal enter 0 0 1 1\n");
    ASSERT_EQ(level->objects.size(), 6u);
    EXPECT_FALSE(nth<Object>(*level, 4)->hasBody());
    EXPECT_EQ(level->world.bodies.size(), 4u);
    for (int tick = 1; tick <= 301; ++tick) level->update(tick);
    EXPECT_TRUE(level->victory());
    level->reset();
    level->draw();
    Vector2D p(100.0f, 100.0f);
    EXPECT_EQ(level->getObject(p), nullptr);
}

TEST_F(LevelTest, PolygonWithoutAHullIsSkippedWithALineNamingIt) {
    testing::internal::CaptureStdout();
    auto level = load(
        "# two points are no polygon\n"
        "Polygon 100 100 64 poly.tga 2 0 0 1 1\n"
        "Polygon 100 100 64 poly.tga 3 0 0 1 1 2 2\n"
        "Polygon 300 300 64 poly.tga 3 0 0 1 0 0.5 1\n",
        "hulls");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("./levels/hulls.lvl, line 2: Polygon"), std::string::npos) << out;
    EXPECT_NE(out.find("./levels/hulls.lvl, line 3: Polygon"), std::string::npos) << out;
    EXPECT_EQ(out.find("line 4"), std::string::npos) << out;
    ASSERT_EQ(level->objects.size(), 5u);
    EXPECT_EQ(level->world.bodies.size(), 5u);
    EXPECT_NE(nth<Polygon0>(*level, 4), nullptr);
}

TEST_F(LevelTest, CrLfFileLoadsAsWritten) {
    auto unix = load("Length 30\nBall 100 300 10 ball.tga --victory goal\nVictory goal enter 1 2 3 4\n", "lf");
    auto dos = load("Length 30\r\nBall 100 300 10 ball.tga --victory goal\r\nVictory goal enter 1 2 3 4\r\n", "crlf");
    EXPECT_EQ(dos->length, 30);
    Ball* a = nth<Ball>(*unix, 4);
    Ball* b = nth<Ball>(*dos, 4);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->data["vicCondName"], "goal");
    EXPECT_EQ(b->victory.front().condition, victoryStruct::ENTER);
    EXPECT_EQ(a->image, b->image);
}

TEST_F(LevelTest, EveryKindLoadsSimulatesAndIsReleased) {
    // Under the sanitizer build, LeakSanitizer checks that destroying the level
    // releases every object and body, those outside the world included.
    auto level = load(
        "Background backdrop.tga\n"
        "Victory goal enter 700 60 120 100 whole --drawRect\n"
        "Ball 100 500 16 ball.tga --victory goal --restitution 0.3\n"
        "Box 300 40 64 32 crate.tga\n"
        "StaticBox 400 200 200 20 wall.tga\n"
        "Polygon 550 100 64 poly.tga 3 0 0 1 0 0.5 1 --static\n"
        "Polygon 250 300 32 poly.tga 4 0 0 1 0 1 1 0 1\n"
        "Bomb 320 100 1\n"
        "BlackHole 600 400 1500\n"
        "Text 250 560 0xffffff \"Some text\"\n"
        "Object\n");
    ASSERT_EQ(level->objects.size(), 14u);
    EXPECT_EQ(nth<BlackHole>(*level, 11)->list, &level->objects);
    for (int tick = 1; tick <= 200; ++tick) {
        level->update(tick);
        level->draw();
    }
    for (Object::Body2D* b : level->world.bodies) {
        EXPECT_TRUE(std::isfinite(b->getPosition().x) && std::isfinite(b->getPosition().y));
    }
    level->removeObject(nth<Polygon0>(*level, 9));
    level->reset();
    level->update(201);
}

TEST_F(LevelTest, LevelFromAStream) {
    std::istringstream in("Length 12\nBall 100 300 10 ball.tga\n");
    Level level("inline", in);
    EXPECT_EQ(level.length, 12);
    EXPECT_EQ(level.objects.size(), 5u);
}
