// The object base: position history, rest test, victory tests, registry.
#include <gtest/gtest.h>

#include <memory>

#include "game/objects/object.h"
#include "game/render/draw_log.h"
#include "game/render/sprite.h"
#include "physics/physics.h"

using physics::Vector2D;

namespace {

// A bare object with a movable circle body outside any world; deletes the body.
struct Probe : Object {
    Probe() { physics = new Body2D(new physics::Circle(Vector2D(0.0f, 0.0f), 5.0f)); }
    ~Probe() override { delete physics; }
    void at(float x, float y) { physics->setPosition(Vector2D(x, y)); }
};

victoryStruct area(victoryStruct::Condition c, int x, int y, int w, int h) {
    victoryStruct v;
    v.condition = c;
    v.x = x;
    v.y = y;
    v.w = w;
    v.h = h;
    return v;
}

}  // namespace

TEST(ObjectHistory, KeepsTheLast60Positions) {
    Probe p;
    for (int i = 0; i < 61; ++i) {
        p.at(static_cast<float>(i), 0.0f);
        p.update(i);
    }
    ASSERT_EQ(p.posHistory.size(), 60u);
    EXPECT_EQ(p.posHistory.front().x, 1.0f);  // position 0 was dropped
    EXPECT_EQ(p.posHistory.back().x, 60.0f);
}

TEST(ObjectHistory, StableUnlessTwoPositionsAreMoreThan20Apart) {
    Probe p;
    EXPECT_TRUE(p.isStable());  // nothing recorded yet
    p.at(0.0f, 0.0f);
    p.storePos();
    EXPECT_TRUE(p.isStable());
    p.at(12.0f, 16.0f);  // exactly 20 away
    p.storePos();
    EXPECT_TRUE(p.isStable());
    p.at(-1.0f, 0.0f);  // 20.6 from (12, 16)
    p.storePos();
    EXPECT_FALSE(p.isStable());
}

TEST(ObjectHistory, NotStableAfterMoving21WithinTheLastSecond) {
    Probe p;
    for (int i = 0; i < 60; ++i) {
        p.at(i == 30 ? 21.0f : 0.0f, 0.0f);
        p.storePos();
    }
    EXPECT_FALSE(p.isStable());
    for (int i = 0; i < 31; ++i) {  // the 21 falls out of the history
        p.at(0.0f, 0.0f);
        p.storePos();
    }
    EXPECT_TRUE(p.isStable());
}

TEST(ObjectVictory, EnterAndLeaveNeedTheCentreAndRest) {
    Probe p;
    p.at(100.0f, 100.0f);
    victoryStruct enter = area(victoryStruct::ENTER, 100, 100, 40, 20);
    victoryStruct leave = area(victoryStruct::LEAVE, 100, 100, 40, 20);
    EXPECT_TRUE(p.testVictory(enter));
    EXPECT_FALSE(p.testVictory(leave));
    p.at(120.0f, 110.0f);  // on the corner: Rect::contains counts edges inside
    EXPECT_TRUE(p.testVictory(enter));
    p.at(121.0f, 100.0f);  // the body's circle still overlaps, its centre does not
    EXPECT_FALSE(p.testVictory(enter));
    EXPECT_TRUE(p.testVictory(leave));
    // Moving: neither holds.
    p.storePos();
    p.at(300.0f, 300.0f);
    p.storePos();
    EXPECT_FALSE(p.testVictory(leave));
    EXPECT_TRUE(p.testVictory(area(victoryStruct::AUTO, 0, 0, 0, 0)));
}

TEST(ObjectVictory, VictorWhenEveryConditionHolds) {
    Probe p;
    EXPECT_TRUE(p.isVictor());  // no conditions
    p.at(10.0f, 10.0f);
    p.victory.push_back(area(victoryStruct::AUTO, 0, 0, 0, 0));
    p.victory.push_back(area(victoryStruct::ENTER, 10, 10, 4, 4));
    EXPECT_TRUE(p.isVictor());
    p.victory.push_back(area(victoryStruct::LEAVE, 10, 10, 4, 4));
    EXPECT_FALSE(p.isVictor());
}

TEST(ObjectReset, PutsTheBodyBackAndRestoresTheSize) {
    Probe p;
    p.cachedPosition = Vector2D(50.0f, 60.0f);
    p.cachedOrientation = physics::Orientation2D(0.5f);
    p.at(1.0f, 2.0f);
    p.physics->setVelocity(Vector2D(3.0f, 4.0f));
    p.physics->setAwake(false);
    p.changeDilation(0.3f);
    p.storePos();
    EXPECT_EQ(p.reset(), 0);
    EXPECT_EQ(p.physics->getPosition(), Vector2D(50.0f, 60.0f));
    EXPECT_EQ(p.physics->getOrientation().getAngle(), 0.5f);
    EXPECT_EQ(p.physics->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(p.dilation, 1.0f);
    // As loaded: awake with a new body's running averages, and no history of
    // where it was before, which the rest test would otherwise still weigh.
    EXPECT_TRUE(p.physics->isAwake());
    EXPECT_EQ(p.physics->m_linearRWA, physics::Body<physics::TwoDee>::NEW_RWA);
    EXPECT_TRUE(p.posHistory.empty());
}

TEST(ObjectDraw, DefaultDrawTurnsWithTheBodyOrientation) {
    Probe p;
    Sprite picture("no-such-picture.tga");
    p.sprite = &picture;
    p.physics->setOrientation(physics::Orientation2D(0.75f));
    p.physics->setRotation(physics::Rotation2D(9.0f));  // angular velocity, not an angle
    DrawLog::Scope log;
    p.draw();
    ASSERT_EQ(DrawLog::sprites().size(), 1u);
    EXPECT_EQ(DrawLog::sprites()[0].angle, 0.75f);
}

TEST(BareObject, TakesNoPartInBodySteps) {
    std::string words[] = {"Object", "1", "2", ""};
    std::unique_ptr<Object> o(Object::construct(nullptr, words));
    EXPECT_FALSE(o->hasBody());
    EXPECT_EQ(o->alpha, 1.0f);
    EXPECT_EQ(o->update(5), 0);
    EXPECT_TRUE(o->posHistory.empty());
    EXPECT_EQ(o->reset(), 0);
    EXPECT_FALSE(o->contains(Vector2D(1.0f, 2.0f)));
    EXPECT_EQ(o->draw(), 1);
    o->victory.push_back(area(victoryStruct::ENTER, 0, 0, 10, 10));
    EXPECT_TRUE(o->isVictor());  // cannot be tested, so it holds nothing up
}

TEST(Registry, UnknownTypeIsReportedAndGivesNull) {
    Object::registerType("Object");
    std::string words[] = {"Spaceship", "1", ""};
    testing::internal::CaptureStdout();
    Object* o = Object::create("Spaceship", nullptr, words);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(o, nullptr);
    EXPECT_EQ(out, "Invalid find object type Spaceship\n");
    std::unique_ptr<Object> bare(Object::create("Object", nullptr, words));
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->getType(), OBJECT);
}
