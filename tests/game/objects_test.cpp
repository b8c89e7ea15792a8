// The object kinds as drawn and sized: pictures at the size the body has, dilation,
// polygon textures, and the rest test every victory condition relies on.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/polygon.h"
#include "game/render/draw_log.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;

namespace {

class ObjectsTest : public LevelDir {
protected:
    // The world-unit size a sprite call draws its picture at.
    static Vector2D drawnSize(const DrawCall& call) {
        for (const Picture& p : pictures()) {
            if (call.image == p.name) return Vector2D(call.sx * p.width, call.sy * p.height);
        }
        ADD_FAILURE() << "no picture " << call.image;
        return Vector2D();
    }
};

}  // namespace

TEST_F(ObjectsTest, AFuseOfThreeSecondsGoesOffInUpdate181AndBlastsWhereTheBombWas) {
    auto level = load("Bomb 320 100 3\n");
    Bomb* bomb = nth<Bomb>(*level, 4);
    bomb->update(180);
    EXPECT_FALSE(bomb->exploded);
    bomb->update(181);
    EXPECT_TRUE(bomb->exploded);
    DrawLog::Scope log;
    bomb->draw();
    EXPECT_EQ(DrawLog::sprites().at(0).x, 320.0f);  // not where its body is parked
}

TEST_F(ObjectsTest, DilationShrinksShapeAndPictureAndResetUndoesIt) {
    // A black hole shrinks what comes within 50 units by (r / 50)^2.
    auto level = load("BlackHole 400 300 1500\nBall 425 300 20 ball.tga\nBox 100 100 64 32 crate.tga\n");
    Ball* ball = nth<Ball>(*level, 5);
    Box* box = nth<Box>(*level, 6);
    nth<BlackHole>(*level, 4)->update(1);
    box->changeDilation(0.5f);
    EXPECT_NEAR(ball->physics->getShapes().front()->getRadius(), 5.0f, 1e-4f);
    auto* rect = static_cast<physics::Rect*>(box->physics->getShapes().front());
    EXPECT_EQ(rect->getVertex(2), Vector2D(116.0f, 92.0f));  // the corners follow at once
    {
        DrawLog::Scope log;
        ball->draw();
        box->draw();
        ASSERT_EQ(DrawLog::sprites().size(), 3u);
        EXPECT_NEAR(drawnSize(DrawLog::sprites()[0]).x, 10.0f, 1e-4f);
        EXPECT_NEAR(drawnSize(DrawLog::sprites()[1]).x, 10.0f, 1e-4f);  // the highlight too
        EXPECT_EQ(drawnSize(DrawLog::sprites()[2]), Vector2D(32.0f, 16.0f));
    }
    ball->changeDilation(0.0f);  // at the hole's centre: nothing to shrink to, the circle keeps its size
    EXPECT_NEAR(ball->physics->getShapes().front()->getRadius(), 5.0f, 1e-4f);
    level->reset();
    EXPECT_EQ(ball->physics->getShapes().front()->getRadius(), 20.0f);
    EXPECT_EQ(rect->getVertex(2), Vector2D(132.0f, 84.0f));
}

TEST_F(ObjectsTest, PolygonTextureFollowsItsHullWhereverTheHullStarts) {
    // The hull starts at another point than the line and leaves out (0.5, 0.5).
    auto level = load("Polygon 300 300 40 poly.tga 5 1 0 0.5 0.5 1 1 0 1 0 0 --static\n");
    Polygon0* polygon = nth<Polygon0>(*level, 4);
    ASSERT_NE(polygon, nullptr);
    DrawLog::Scope log;
    polygon->draw();
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    const DrawCall& call = DrawLog::calls()[0];
    ASSERT_EQ(call.kind, DrawCall::POLYGON);
    ASSERT_EQ(call.count, 4);
    // Each vertex (data[4i + 2], data[4i + 3]) is its texture coordinate (data[4i],
    // data[4i + 1]) times the scale plus one offset for all: the picture is not distorted.
    const float ox = call.data[2] - call.data[0] * 40.0f, oy = call.data[3] - call.data[1] * 40.0f;
    for (int i = 1; i < call.count; ++i) {
        const float* v = &call.data[static_cast<size_t>(4 * i)];
        EXPECT_NEAR(v[2] - v[0] * 40.0f, ox, 1e-3f) << "vertex " << i;
        EXPECT_NEAR(v[3] - v[1] * 40.0f, oy, 1e-3f) << "vertex " << i;
    }
}

TEST_F(ObjectsTest, RestingMeansNoTwoOfTheLast60PositionsMoreThan20Apart) {
    auto level = load("Ball 0 0 5 ball.tga\n");
    Ball* ball = nth<Ball>(*level, 4);
    auto storeAt = [&](float x, float y) {
        ball->physics->setPosition(Vector2D(x, y));
        ball->storePos();
    };
    EXPECT_TRUE(ball->isStable());  // nothing recorded yet
    storeAt(0.0f, 0.0f);
    storeAt(12.0f, 16.0f);  // exactly 20 away
    EXPECT_TRUE(ball->isStable());
    storeAt(-1.0f, 0.0f);  // 20.6 from (12, 16)
    for (int i = 0; i < 57; ++i) storeAt(-1.0f, 0.0f);
    EXPECT_FALSE(ball->isStable());
    storeAt(-1.0f, 0.0f);  // (0, 0) drops out, (12, 16) is still in
    EXPECT_FALSE(ball->isStable());
    storeAt(-1.0f, 0.0f);
    EXPECT_TRUE(ball->isStable());
    EXPECT_EQ(ball->posHistory.size(), 60u);
}
