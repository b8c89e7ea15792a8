// The object kinds: bombs and blasts, black holes, balls, boxes, walls, polygons, labels.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/draw_log.h"
#include "game/render/text.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;

namespace {

class ObjectsTest : public LevelDir {
protected:
    // A level from the given lines, after the four walls.
    std::unique_ptr<Level> make(const std::string& text) {
        std::istringstream in(text);
        return std::make_unique<Level>("objects", in);
    }
    // Counted after the walls.
    template <class T>
    static T* nth(Level& level, int index) {
        return LevelDir::nth<T>(level, index + 4);
    }
    static float speed(Object* o) { return o->physics->getVelocity().length(); }
};

}  // namespace

// ---------------------------------------------------------------- bombs

TEST_F(ObjectsTest, FuseOfThreeSecondsGoesOffOnTick181) {
    auto level = make("Bomb 320 100 3\n");
    Bomb* bomb = nth<Bomb>(*level, 0);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->getTime(), 180);
    EXPECT_TRUE(bomb->physics->isStatic());
    bomb->update(180);
    EXPECT_FALSE(bomb->exploded);
    bomb->update(181);
    EXPECT_TRUE(bomb->exploded);
    EXPECT_EQ(bomb->physics->getPosition(), Vector2D(1000.0f, 1000.0f));
}

TEST_F(ObjectsTest, FuseFieldsOutOfRange) {
    auto level = make("Bomb 1 1\nBomb 1 1 99999999999\nBomb 1 1 -99999999999\n");
    EXPECT_EQ(nth<Bomb>(*level, 0)->getTime(), 0);
    EXPECT_EQ(nth<Bomb>(*level, 1)->getTime(), INT_MAX);
    EXPECT_EQ(nth<Bomb>(*level, 2)->getTime(), INT_MIN);
    nth<Bomb>(*level, 0)->update(1);
    EXPECT_TRUE(nth<Bomb>(*level, 0)->exploded);
}

TEST_F(ObjectsTest, BombBlastFallsFromMassTimes1000ToNothingAt1004) {
    auto level = make(
        "Bomb 400 300 0\n"
        "Ball 404 300 10 ball.tga\n"    // distance 4
        "Ball 400 1303 10 ball.tga\n"   // distance 1003
        "Ball 400 1304 10 ball.tga\n"   // distance 1004
        "Ball 400 300 10 ball.tga\n"    // at the centre
        "Ball 400 299.5 10 ball.tga\n"  // integers: at (400, 299), distance 1
        "StaticBox 420 300 10 10\n"
        "Bomb 380 300 5\n");
    Bomb* bomb = nth<Bomb>(*level, 0);
    // Exactly on the centre: centres of mass carry rounding, so put it there.
    nth<Ball>(*level, 4)->physics->setPosition(bomb->physics->getPosition());
    bomb->update(1);
    ASSERT_TRUE(bomb->exploded);
    Ball* near = nth<Ball>(*level, 1);
    EXPECT_NEAR(near->physics->getVelocity().x, 1000.0f, 0.01f);
    EXPECT_NEAR(near->physics->getVelocity().y, 0.0f, 1e-4f);
    EXPECT_NEAR(speed(nth<Ball>(*level, 2)), 1.0f, 1e-3f);
    EXPECT_EQ(speed(nth<Ball>(*level, 3)), 0.0f);
    Ball* centre = nth<Ball>(*level, 4);
    EXPECT_EQ(speed(centre), 0.0f);
    EXPECT_EQ(centre->physics->getRotation().toFloat(), 0.0f);
    EXPECT_NEAR(nth<Ball>(*level, 5)->physics->getVelocity().y, -1003.0f, 0.01f);
    EXPECT_EQ(speed(nth<StaticBox>(*level, 6)), 0.0f);
    EXPECT_EQ(nth<Bomb>(*level, 7)->physics->getPosition(), Vector2D(380.0f, 300.0f));
}

TEST_F(ObjectsTest, BlastsSkipBodiesWithoutMassThatAreNotStatic) {
    auto level = make("Bomb 400 300 0\n");
    // Pinned: no inverse mass, but it may still turn, so it is not static.
    auto* pinned = new Object::Body2D(new physics::Circle(Vector2D(450.0f, 300.0f), 10.0f));
    pinned->setPinned(true);
    ASSERT_FALSE(pinned->isStatic());
    level->world.add(pinned);
    nth<Bomb>(*level, 0)->update(1);
    level->explode(420.0f, 300.0f, 10000.0f);
    EXPECT_EQ(pinned->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_TRUE(std::isfinite(pinned->getRotation().toFloat()));
    for (int tick = 2; tick < 10; ++tick) level->update(tick);
    EXPECT_TRUE(std::isfinite(pinned->getPosition().x));
}

TEST_F(ObjectsTest, PointBlastOfPower10000) {
    // Boxes of area 1 have mass 1: the speed gained is the impulse's length.
    auto level = make(
        "Box 500 300 1 1 crate.tga\n"   // distance 100
        "Box 401 300 1 1 crate.tga\n"   // distance 1: factor limited to 1000
        "Box 400 300 1 1 crate.tga\n"   // at the centre
        "StaticBox 410 300 5 5\n");
    level->explode(400.0f, 300.0f, 10000.0f);
    EXPECT_NEAR(nth<Box>(*level, 0)->physics->getVelocity().x, 100.0f, 1e-3f);
    EXPECT_NEAR(nth<Box>(*level, 1)->physics->getVelocity().x, 1000.0f, 1e-2f);
    EXPECT_EQ(speed(nth<Box>(*level, 2)), 0.0f);
    EXPECT_EQ(speed(nth<StaticBox>(*level, 3)), 0.0f);
}

TEST_F(ObjectsTest, DraggedBombGoesBackOnResetAndIsArmedAgain) {
    auto level = make("Bomb 320 100 1\n");
    Bomb* bomb = nth<Bomb>(*level, 0);
    const Vector2D loaded = bomb->physics->getPosition();
    EXPECT_NEAR(loaded.x, 320.0f, 1e-3f);
    EXPECT_NEAR(loaded.y, 100.0f, 1e-3f);
    bomb->move(50.0f, 60.0f);
    EXPECT_EQ(level->getBomb(50.0f, 60.0f), bomb);
    bomb->update(61);
    EXPECT_TRUE(bomb->exploded);
    bomb->reset();
    EXPECT_FALSE(bomb->exploded);
    EXPECT_EQ(bomb->physics->getPosition(), loaded);  // exactly where it was loaded
    EXPECT_EQ(bomb->getTime(), 60);
}

TEST_F(ObjectsTest, BombDrawsItsFuseThenItsExplosionOnce) {
    auto level = make("Bomb 320 100 1\n");
    Bomb* bomb = nth<Bomb>(*level, 0);
    {
        DrawLog::Scope log;
        EXPECT_EQ(bomb->draw(), 0);
        ASSERT_EQ(DrawLog::sprites().size(), 1u);
        EXPECT_EQ(DrawLog::sprites()[0].image, "bombA.tga");
        EXPECT_EQ(DrawLog::sprites()[0].x, 320.0f);
        EXPECT_EQ(DrawLog::sprites()[0].sx, 0.703125f);
    }
    bomb->update(61);
    DrawLog::Scope log;
    for (int i = 0; i < 40; ++i) EXPECT_EQ(bomb->draw(), 1);
    std::vector<DrawCall> calls = DrawLog::sprites();
    ASSERT_EQ(calls.size(), 19u);  // 3 + 4 x 4 draws, then nothing
    EXPECT_EQ(calls.front().image, "e0.tga");
    EXPECT_EQ(calls.front().x, 320.0f);  // where the bomb was, not where its body is parked
    EXPECT_EQ(calls.back().image, "e4.tga");
}

// ---------------------------------------------------------------- black holes

TEST_F(ObjectsTest, BlackHoleShrinksWithin50Units) {
    auto level = make("BlackHole 400 300 1500\nBall 425 300 20 ball.tga\nBall 500 300 20 ball.tga\n");
    BlackHole* hole = nth<BlackHole>(*level, 0);
    Ball* close = nth<Ball>(*level, 1);
    Ball* far = nth<Ball>(*level, 2);
    hole->update(1);
    EXPECT_NEAR(close->dilation, 0.25f, 1e-5f);
    EXPECT_NEAR(close->physics->getShapes().front()->getRadius(), 5.0f, 1e-4f);
    EXPECT_EQ(far->dilation, 1.0f);
    DrawLog::Scope log;
    close->draw();
    ASSERT_EQ(DrawLog::sprites().size(), 2u);
    EXPECT_NEAR(DrawLog::sprites()[0].sx * 64.0f, 10.0f, 1e-4f);  // a quarter of the diameter
    EXPECT_FLOAT_EQ(DrawLog::sprites()[1].sx, DrawLog::sprites()[0].sx);  // the highlight too
}

TEST_F(ObjectsTest, BlackHolePullsWithPowerOverDistance) {
    // A 2 x 1 crate has mass 2: an impulse of 30 is a speed of 15.
    auto level = make("BlackHole 400 300 1500\nBox 500 300 2 1 crate.tga\nStaticBox 410 300 4 4\n");
    nth<BlackHole>(*level, 0)->update(1);
    Box* box = nth<Box>(*level, 1);
    EXPECT_NEAR(box->physics->getVelocity().x, -15.0f, 1e-4f);
    EXPECT_NEAR(box->physics->getVelocity().y, 0.0f, 1e-6f);
    StaticBox* wall = nth<StaticBox>(*level, 2);
    EXPECT_EQ(speed(wall), 0.0f);
    EXPECT_EQ(wall->dilation, 1.0f);
}

TEST_F(ObjectsTest, TheLaterHoleInTheListSetsTheDilation) {
    auto level = make("BlackHole 400 300 10\nBlackHole 460 300 10\nBall 425 300 20 ball.tga\n");
    Ball* ball = nth<Ball>(*level, 2);
    nth<BlackHole>(*level, 0)->update(1);
    nth<BlackHole>(*level, 1)->update(1);
    EXPECT_NEAR(ball->dilation, (35.0f * 35.0f) / 2500.0f, 1e-5f);  // not 0.25 from the first hole
}

TEST_F(ObjectsTest, BlackHoleNeverProducesNaN) {
    // Power 0 with an object at the centre (0 / 0), its own entry, and a huge
    // negative power next to the centre.
    auto level = make(
        "BlackHole 400 300 0\nBall 400 300 10 ball.tga\n"
        "BlackHole 100 100 -2000000\nBox 110 100 1 1 crate.tga\n");
    BlackHole* still = nth<BlackHole>(*level, 0);
    still->update(1);
    EXPECT_EQ(speed(nth<Ball>(*level, 1)), 0.0f);
    EXPECT_EQ(speed(still), 0.0f);
    EXPECT_EQ(still->dilation, 1.0f);
    nth<BlackHole>(*level, 2)->update(1);
    // -2000000 / 100 is limited to -1000: a push of 1000 x 10 away from the centre.
    EXPECT_NEAR(nth<Box>(*level, 3)->physics->getVelocity().x, 10000.0f, 0.1f);
    BlackHole alone(nullptr, LevelFile::tokenise("BlackHole 1 1 100").data());
    EXPECT_EQ(alone.update(1), 0);  // no list: acts on nothing
    delete alone.physics;
}

TEST_F(ObjectsTest, BallsPassThroughAHole) {
    auto level = make("BlackHole 400 300 0\nBall 400 400 10 ball.tga\n");
    for (int tick = 1; tick <= 60; ++tick) level->update(tick);
    EXPECT_LT(nth<Ball>(*level, 1)->physics->getPosition().y, 300.0f);
    DrawLog::Scope log;
    nth<BlackHole>(*level, 0)->draw();
    ASSERT_EQ(DrawLog::sprites().size(), 1u);
    EXPECT_FLOAT_EQ(DrawLog::sprites()[0].sx * 160.0f, 80.0f);
}

// ---------------------------------------------------------------- balls and boxes

TEST_F(ObjectsTest, BoxDrawsAndCollidesAtTheSameSize) {
    auto level = make("Box 100 100 64 32 crate.tga\n");
    Box* box = nth<Box>(*level, 0);
    auto* rect = static_cast<physics::Rect*>(box->physics->getShapes().front());
    EXPECT_EQ(rect->getHalfWidth(), 32.0f);
    EXPECT_EQ(rect->getHalfHeight(), 16.0f);
    DrawLog::Scope log;
    box->draw();
    ASSERT_EQ(DrawLog::sprites().size(), 1u);
    EXPECT_FLOAT_EQ(DrawLog::sprites()[0].sx * 128.0f, 64.0f);
    EXPECT_FLOAT_EQ(DrawLog::sprites()[0].sy * 64.0f, 32.0f);
}

TEST_F(ObjectsTest, BoxDilationScalesShapeAndPicture) {
    auto level = make("Box 100 100 64 32 crate.tga\n");
    Box* box = nth<Box>(*level, 0);
    auto* rect = static_cast<physics::Rect*>(box->physics->getShapes().front());
    box->changeDilation(0.5f);
    EXPECT_EQ(rect->getHalfWidth(), 16.0f);
    EXPECT_EQ(rect->getVertex(2), Vector2D(116.0f, 92.0f));  // corners follow at once
    box->changeDilation(1.0f);
    EXPECT_EQ(rect->getHalfWidth(), 32.0f);
    EXPECT_EQ(rect->getHalfHeight(), 16.0f);
    box->size(Vector2D(10.0f, 20.0f));
    EXPECT_EQ(box->width, 10.0f);
    auto* resized = static_cast<physics::Rect*>(box->physics->getShapes().front());
    EXPECT_EQ(resized->getHalfHeight(), 10.0f);
    EXPECT_EQ(box->physics->getShapes().size(), 1u);
}

TEST_F(ObjectsTest, BallRestitutionAndResize) {
    auto level = make("Ball 100 300 10 ball.tga --restitution 0.3\nBall 200 300 10 ball.tga\n"
                      "Ball 300 300 10 ball.tga --restitution nan\n");
    Ball* bouncy = nth<Ball>(*level, 0);
    EXPECT_FLOAT_EQ(bouncy->physics->getShapes().front()->getRestitution(), 0.3f);
    EXPECT_FLOAT_EQ(nth<Ball>(*level, 1)->physics->getShapes().front()->getRestitution(),
                    physics::Globals::DEFAULT_RESTITUTION);
    EXPECT_EQ(nth<Ball>(*level, 2)->physics->getShapes().front()->getRestitution(), 0.0f);
    bouncy->size(Vector2D(3.0f, 4.0f));
    EXPECT_EQ(bouncy->radius, 5.0f);
    ASSERT_EQ(bouncy->physics->getShapes().size(), 1u);
    physics::Area* circle = bouncy->physics->getShapes().front();
    EXPECT_EQ(circle->getRadius(), 5.0f);
    EXPECT_EQ(circle->getPosition(), Vector2D(100.0f, 300.0f));
    EXPECT_FLOAT_EQ(circle->getRestitution(), 0.3f);  // kept through the resize
}

TEST_F(ObjectsTest, BallDilationChangesOnlyWhenAsked) {
    auto level = make("Ball 100 300 12 ball.tga\n");
    Ball* ball = nth<Ball>(*level, 0);
    physics::Area* circle = ball->physics->getShapes().front();
    ball->changeDilation(1.0f);
    EXPECT_EQ(circle->getRadius(), 12.0f);
    ball->changeDilation(0.5f);
    EXPECT_EQ(circle->getRadius(), 6.0f);
    ball->changeDilation(0.0f);  // nothing left to shrink to: the circle keeps its size
    EXPECT_EQ(circle->getRadius(), 6.0f);
    EXPECT_EQ(ball->dilation, 0.0f);
    ball->reset();
    EXPECT_EQ(circle->getRadius(), 12.0f);
    EXPECT_EQ(ball->dilation, 1.0f);
}

// ---------------------------------------------------------------- walls

TEST_F(ObjectsTest, StaticBoxDefaultsAndVictor) {
    auto level = make("StaticBox 400 200 64 16\nStaticBox 100 100 10 10 crate.tga\n");
    StaticBox* wall = nth<StaticBox>(*level, 0);
    EXPECT_EQ(wall->image, "wall.tga");
    EXPECT_TRUE(wall->physics->isStatic());
    wall->victory.push_back(victoryStruct{0, 0, 1, 1, victoryStruct::ENTER, victoryStruct::CENTRE});
    EXPECT_TRUE(wall->isVictor());
    DrawLog::Scope log;
    wall->draw();
    ASSERT_EQ(DrawLog::sprites().size(), 1u);
    EXPECT_EQ(DrawLog::sprites()[0].image, "wall.tga");
    EXPECT_EQ(DrawLog::sprites()[0].sx, 2.0f);
    EXPECT_EQ(DrawLog::sprites()[0].sy, 0.5f);
    EXPECT_EQ(DrawLog::sprites()[0].angle, 0.0f);
    wall->size(Vector2D(100.0f, 50.0f));
    EXPECT_TRUE(wall->physics->isStatic());
    EXPECT_EQ(static_cast<physics::Rect*>(wall->physics->getShapes().front())->getHalfWidth(), 50.0f);
}

TEST_F(ObjectsTest, OutlineResizesWithoutAShape) {
    auto level = make("Victory goal enter 700 60 120 100 whole --drawRect\n");
    StaticBox* outline = nth<StaticBox>(*level, 0);
    outline->size(Vector2D(40.0f, 30.0f));
    EXPECT_TRUE(outline->physics->getShapes().empty());
    EXPECT_EQ(outline->width, 40.0f);
    DrawLog::Scope log;
    outline->draw();
    EXPECT_FLOAT_EQ(DrawLog::sprites()[0].sx * 16.0f, 40.0f);
}

// ---------------------------------------------------------------- polygons

namespace {

// Every drawn vertex must be the texture coordinate it is drawn with, times the
// scale, plus one offset shared by all vertices.
void expectTextureFollowsVertices(const DrawCall& call, float scale) {
    ASSERT_EQ(call.kind, DrawCall::POLYGON);
    ASSERT_GE(call.count, 3);
    const float ox = call.data[2] - call.data[0] * scale;
    const float oy = call.data[3] - call.data[1] * scale;
    for (int i = 1; i < call.count; ++i) {
        const float* v = &call.data[static_cast<size_t>(4 * i)];
        EXPECT_NEAR(v[2] - v[0] * scale, ox, 1e-3f) << "vertex " << i;
        EXPECT_NEAR(v[3] - v[1] * scale, oy, 1e-3f) << "vertex " << i;
    }
}

}  // namespace

TEST_F(ObjectsTest, PolygonScalesItsPointsAndKeepsThemAsTextureCoordinates) {
    auto level = make("Polygon 550 100 64 poly.tga 3 0 0 1 0 0.5 1 --static\n");
    Polygon0* polygon = nth<Polygon0>(*level, 0);
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->pointNum, 3);
    EXPECT_EQ(polygon->points[2], Vector2D(0.5f, 1.0f));
    EXPECT_TRUE(polygon->physics->isStatic());
    // The shape's vertex mean sits at (550, 100).
    physics::Area* shape = polygon->physics->getShapes().front();
    const Vector2D mean(32.0f, 64.0f / 3.0f);
    EXPECT_NEAR(shape->getVertex(0).x, 550.0f - mean.x, 1e-3f);
    EXPECT_NEAR(shape->getVertex(0).y, 100.0f - mean.y, 1e-3f);
    EXPECT_NEAR(shape->getVertex(1).x, 550.0f + 64.0f - mean.x, 1e-3f);
    EXPECT_NEAR(shape->getVertex(2).y, 100.0f + 64.0f - mean.y, 1e-3f);
    DrawLog::Scope log;
    polygon->draw();
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    const DrawCall& call = DrawLog::calls()[0];
    EXPECT_EQ(call.image, "poly.tga");
    EXPECT_EQ(call.data[0], 0.0f);  // vertex 0 drawn with texture coordinate (0, 0)
    EXPECT_EQ(call.data[4], 1.0f);  // vertex 1 with (1, 0)
    EXPECT_EQ(call.data[9], 1.0f);  // vertex 2 with (0.5, 1)
    expectTextureFollowsVertices(call, 64.0f);
}

TEST_F(ObjectsTest, PolygonTextureFollowsHullThatStartsElsewhereAndDropsPoints) {
    // The hull starts at (0, 1) and leaves out the inner point (0.5, 0.5).
    auto level = make("Polygon 300 300 40 poly.tga 5 1 0 0.5 0.5 1 1 0 1 0 0 --static\n");
    Polygon0* polygon = nth<Polygon0>(*level, 0);
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->physics->getShapes().front()->getVertexCount(), 4);
    DrawLog::Scope log;
    polygon->draw();
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    expectTextureFollowsVertices(DrawLog::calls()[0], 40.0f);
}

TEST_F(ObjectsTest, PolygonPointCountsFromTheFileAreBounded) {
    std::string many = "Polygon 300 300 10 poly.tga 40";
    for (int i = 0; i < 12; ++i) many += " " + std::to_string(i % 3) + " " + std::to_string(i / 3);
    testing::internal::CaptureStdout();
    auto level = make(many +
                      "\n"
                      "Polygon 300 300 10 poly.tga 5 0 0 4 0 0 4\n"  // two missing points read (0, 0)
                      "Polygon 300 300 10 poly.tga -3 0 0 4 0 0 4\n"
                      "Polygon 300 300 0 poly.tga 3 0 0 4 0 0 4\n"
                      "Polygon 300 300 1e30 poly.tga 3 0 0 4e30 0 0 4e30\n");
    std::string out = testing::internal::GetCapturedStdout();
    Polygon0* big = nth<Polygon0>(*level, 0);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->pointNum, 32);
    EXPECT_EQ(big->points[31], Vector2D(0.0f, 0.0f));
    Polygon0* padded = nth<Polygon0>(*level, 1);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->pointNum, 5);
    EXPECT_EQ(padded->physics->getShapes().front()->getVertexCount(), 3);
    // The negative count, scale 0 and the overflowing points make no object.
    EXPECT_EQ(level->objects.size(), 6u);
    EXPECT_NE(out.find("line 3:"), std::string::npos) << out;
    EXPECT_NE(out.find("line 4:"), std::string::npos) << out;
    EXPECT_NE(out.find("line 5:"), std::string::npos) << out;
}

TEST_F(ObjectsTest, PolygonRotatesOnceAndResetsToItsLoadedAngle) {
    auto level = make("Polygon 300 300 32 poly.tga 4 0 0 1 0 1 1 0 1 --rotate 0.5\n");
    Polygon0* polygon = nth<Polygon0>(*level, 0);
    EXPECT_FLOAT_EQ(polygon->physics->getOrientation().getAngle(), 0.5f);
    EXPECT_FALSE(polygon->physics->isStatic());
    for (int tick = 1; tick <= 30; ++tick) level->update(tick);
    EXPECT_LT(polygon->physics->getPosition().y, 300.0f);  // movable: it falls
    polygon->reset();
    // A restarted level is the level as loaded: the plank stays tilted.
    EXPECT_EQ(polygon->physics->getOrientation().getAngle(), 0.5f);
    EXPECT_EQ(polygon->physics->getPosition(), Vector2D(300.0f, 300.0f));
    // Dilation is only stored, and never on a static polygon.
    polygon->changeDilation(0.5f);
    EXPECT_EQ(polygon->dilation, 0.5f);
    auto fixed = make("Polygon 300 300 32 poly.tga 3 0 0 1 0 1 1 --static\n");
    nth<Polygon0>(*fixed, 0)->changeDilation(0.5f);
    EXPECT_EQ(nth<Polygon0>(*fixed, 0)->dilation, 1.0f);
}

// ---------------------------------------------------------------- text labels

TEST_F(ObjectsTest, TextSizeColourAndWords) {
    auto level = make(
        "Text 100 200 word\n"
        "Text 100 200 18 0xff0000 red\n"
        "Text 100 200 18 yellow\n"
        "Text 100 200 0xzz next\n"
        "Text 100 200 \"two words\"\n"
        "Text 100 200  \"two words\"\n"
        "Text 1 2 12 0x1ff00ff two\\lines\n");
    Text* plain = nth<Text>(*level, 0);
    EXPECT_EQ(plain->size, 29);
    EXPECT_EQ(plain->colour, 0xffff00);
    EXPECT_EQ(plain->text, "word");
    EXPECT_EQ(plain->physics->getPosition(), Vector2D(114.0f, 214.0f));
    EXPECT_EQ(plain->cachedPosition, Vector2D(100.0f, 200.0f));
    EXPECT_EQ(nth<Text>(*level, 1)->size, 18);
    EXPECT_EQ(nth<Text>(*level, 1)->colour, 0xff0000);
    EXPECT_EQ(nth<Text>(*level, 1)->text, "red");
    EXPECT_EQ(nth<Text>(*level, 2)->colour, 0xffff00);
    EXPECT_EQ(nth<Text>(*level, 2)->text, "yellow");
    EXPECT_EQ(nth<Text>(*level, 3)->colour, 0);
    EXPECT_EQ(nth<Text>(*level, 3)->text, "next");
    EXPECT_EQ(nth<Text>(*level, 4)->text, "two words");
    EXPECT_EQ(nth<Text>(*level, 5)->text, "\"two");
    EXPECT_EQ(nth<Text>(*level, 6)->colour, 0xff00ff);
    EXPECT_EQ(nth<Text>(*level, 6)->text, "two\nlines");
    EXPECT_EQ(level->world.bodies.size(), 4u);  // labels stay out of the world
}

TEST_F(ObjectsTest, TextDrawsAtItsBodyAndStaysPut) {
    auto level = make("Text 100 200 0x00ff00 AB\nText 2147483647 -2147483648 2147483647 far\n");
    Text* label = nth<Text>(*level, 0);
    for (int tick = 1; tick <= 10; ++tick) level->update(tick);
    level->explode(110.0f, 210.0f, 10000.0f);
    level->reset();
    EXPECT_EQ(label->physics->getPosition(), Vector2D(114.0f, 214.0f));
    EXPECT_TRUE(label->isStable());
    DrawLog::Scope log;
    EXPECT_EQ(label->draw(), 0);
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    const DrawCall& call = DrawLog::calls()[0];
    EXPECT_EQ(call.kind, DrawCall::QUADS);
    EXPECT_EQ(call.count, 2);
    EXPECT_EQ(call.g, 1.0f);
    EXPECT_EQ(call.r, 0.0f);
    EXPECT_EQ(call.data[14], 114.0f);  // lower-left corner of A at the body's centre
    EXPECT_EQ(call.data[15], 214.0f);
    nth<Text>(*level, 1)->draw();      // far outside the int range of pixels: clamped, no overflow
}
