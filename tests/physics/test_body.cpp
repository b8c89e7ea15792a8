// Bodies: mass properties from shapes, the centre-of-mass shift, bodies that
// cannot move, the switches, and sleeping. Bodies are stepped directly
// (applyForces, move), the way the world drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <utility>

#include "physics/physics.h"

using namespace physics;

namespace {

using BodyPtr = std::unique_ptr<Body<TwoDee>>;

const float DT = 1.0f / 60.0f;

void step(Body<TwoDee>& body, const Vector2D& gravity = Vector2D(0.0f, 0.0f)) {
    body.applyForces(DT, gravity, std::pow(Globals::sleepRWABias, DT));
    body.move(DT);
}

// Steps until the body sleeps; returns the step (1-based) at which it fell asleep, or -1.
int stepsUntilAsleep(Body<TwoDee>& body) {
    for (int i = 1; i <= 1000; ++i) {
        step(body);
        if (!body.isAwake()) return i;
    }
    return -1;
}

BodyPtr ball(float x = 0.0f, float y = 0.0f, float r = 1.0f) { return BodyPtr(Body<TwoDee>::create(new Circle({x, y}, r))); }

BodyPtr box(float w, float h, float angle = 0.0f, float density = 1.0f) {
    Rect* r = new Rect(Vector2D(10.0f, 20.0f), w, h, Orientation2D(angle));
    r->m_density = density;
    return BodyPtr(Body<TwoDee>::create(r));
}

}  // namespace

TEST(BodyMass, ShapesAddedToATurnedBodyKeepTheirPlaceAndShiftItToTheirCentreOfMass) {
    // Two circles (masses pi and 3 pi, 4 apart) and a weightless turned crate.
    BodyPtr body(Body<TwoDee>::create());
    body->setPosition(Vector2D(5.0f, 5.0f));
    body->setOrientation(Orientation2D(0.7f));
    body->add(new Circle(Vector2D(4.0f, 5.0f), 1.0f));
    Circle* heavy = new Circle(Vector2D(8.0f, 5.0f), 1.0f);
    heavy->m_density = 3.0f;
    body->add(heavy);
    Rect* crate = new Rect(Vector2D(4.0f, 6.0f), 3.0f, 1.0f, Orientation2D(0.2f));
    crate->m_density = 0.0f;
    Vector2D corner = crate->getVertex(2);
    body->add(crate);
    body->thisMoved();  // recompute the shapes' world placement from the new reference point
    const std::pair<Vector2D, Vector2D> placements[] = {{body->getPosition(), {7.0f, 5.0f}},
                                                        {body->getShapes().front()->getPosition(), {4.0f, 5.0f}},
                                                        {heavy->getPosition(), {8.0f, 5.0f}},
                                                        {crate->getVertex(2), corner}};
    for (const auto& [actual, expected] : placements) EXPECT_LT((actual - expected).length(), 1e-4f);
    EXPECT_NEAR(crate->getOrientation().getAngle(), 0.2f, 1e-6f);
    EXPECT_FLOAT_EQ(body->getMass(), 4.0f * Globals::PI);
    // I = pi/2 + 3 pi/2 + pi * 3^2 + 3 pi * 1^2 = 14 pi, whatever the orientation.
    EXPECT_NEAR(body->getMOI().inverseMOI, 1.0f / (14.0f * Globals::PI), 1e-6f);
    float reach = 4.0f;  // the far rim of the light circle, or a corner of the crate
    for (int k = 0; k < 4; ++k) reach = std::max(reach, (crate->getVertex(k) - body->getPosition()).length());
    EXPECT_NEAR(body->getBoundingRadius(), reach, 1e-4f);
    EXPECT_TRUE(body->contains(Vector2D(8.9f, 5.0f)));
    EXPECT_FALSE(body->contains(Vector2D(6.0f, 5.0f)));  // the gap between the circles
}

TEST(BodyMass, BodiesWithoutMassCannotMoveOrTurn) {
    BodyPtr weightless = ball();
    weightless->setDensity(0.0f, true);
    Circle* only = new Circle(Vector2D(2.0f, 0.0f), 1.0f);
    BodyPtr emptied(Body<TwoDee>::create(only));
    emptied->remove(only);
    // A removed shape forgets its body, so its density change cannot reach it.
    EXPECT_EQ(only->getBody(), nullptr);
    only->setDensity(2.0f, true);
    delete only;  // the caller owns a removed shape again
    // No polygon from a degenerate point set: the body stays empty instead of holding null.
    const Vector2D collinear[] = {{0, 0}, {1, 0}, {2, 0}};
    BodyPtr empty(Body<TwoDee>::create(Polygon::create(collinear, 3)));
    EXPECT_TRUE(empty->getShapes().empty());
    for (Body<TwoDee>* body : {ball(0.0f, 0.0f, 0.0f).release(), box(5.0f, 0.0f).release(), weightless.release(),
                               emptied.release(), empty.release()}) {
        BodyPtr owned(body);
        Vector2D start = body->getPosition();
        EXPECT_TRUE(body->isStatic());
        EXPECT_FALSE(body->isAwake());
        body->applyImpulse(Vector2D(5.0f, 5.0f), Vector2D(1.0f, 0.0f), true);
        step(*body, Vector2D(0.0f, -300.0f));
        EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 0.0f));
        EXPECT_EQ(body->getRotation().value, 0.0f);
        EXPECT_EQ(body->getPosition(), start);
    }
}

TEST(BodySleep, RestingBodiesSleepOnceTheirAveragesDecay) {
    BodyPtr body = ball();
    // The angular average starts capped at 0.1 and halves every 60 steps: 0.1 -> 0.01 takes ~200.
    EXPECT_NEAR(stepsUntilAsleep(*body), 200, 5);
    body->setAwake(true);  // averages restart at twice the thresholds: one halving, ~60 steps
    EXPECT_NEAR(stepsUntilAsleep(*body), 60, 3);

    BodyPtr moving = ball();
    moving->setVelocity(Vector2D(0.0f, 1.6f));  // just above the 1.5 threshold
    EXPECT_EQ(stepsUntilAsleep(*moving), -1);
    BodyPtr insomniac = ball();
    insomniac->setCanSleep(false);
    insomniac->setAwake(false);
    EXPECT_EQ(stepsUntilAsleep(*insomniac), -1);
    Globals::useSleeping = false;
    body->setAwake(true);  // waking is part of sleeping: switched off, nothing changes
    Globals::useSleeping = true;
    EXPECT_FALSE(body->isAwake());
}

TEST(BodySleep, OnlyAveragesStrictlyBelowBothThresholdsSleep) {
    // With the running averages' weight at 1 they keep their values through a
    // step exactly, so each edge of the sleep test is met head on.
    const float linear = Globals::linearVelocitySleepEpsilon;
    const float angular = Globals::angularVelocitySleepEpsilon;
    const struct {
        float linearRWA, rotationalRWA;
        bool sleeps;
    } cases[] = {
        {std::nextafter(linear, 0.0f), std::nextafter(angular, 0.0f), true},
        {linear, 0.0f, false},
        {0.0f, angular, false},
        {std::nextafter(linear, 0.0f), angular, false},
    };
    for (const auto& c : cases) {
        BodyPtr body = ball();
        body->m_linearRWA = c.linearRWA;
        body->m_rotationalRWA = c.rotationalRWA;
        body->applyForces(DT, Vector2D(0.0f, 0.0f), 1.0f);
        EXPECT_EQ(body->isAwake(), !c.sleeps) << c.linearRWA << " " << c.rotationalRWA;
    }
}

TEST(BodySleep, SleepingBodiesKeepStillUntilWokenAndARestartGivesTheMotionOfANewBody) {
    BodyPtr body = ball();
    body->setVelocity(Vector2D(3.0f, 0.0f));
    body->setAwake(false);
    EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 0.0f));
    body->applyImpulse(Vector2D(body->getMass() * 2.0f, 0.0f), false);
    body->applyBiasImpulse(Vector2D(body->getMass() * 0.5f, 0.0f), Vector2D(0.0f, 0.0f));
    step(*body, Vector2D(0.0f, -300.0f));
    body->moveBias(DT);
    EXPECT_EQ(body->getPosition(), Vector2D(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(body->getVelocity().x, 2.0f);  // kept, and no gravity while asleep
    EXPECT_EQ(body->getVelocity().y, 0.0f);

    body->applyImpulse(Vector2D(0.0f, 0.0f), true);
    body->moveBias(123.0f);  // the bias gathered while asleep is spent at the first move, whatever dt
    EXPECT_FLOAT_EQ(body->getPosition().x, 0.5f);
    EXPECT_EQ(body->getBiasVelocity(), Vector2D(0.0f, 0.0f));
    step(*body);
    EXPECT_FLOAT_EQ(body->getPosition().x, 0.5f + 2.0f * DT);

    // A restart (resetMotion) gives the motion of a new body, bias and sleep averages included.
    body->applyBiasImpulse(Vector2D(1.0f, 0.0f), Vector2D(0.0f, 0.5f));
    body->setAwake(false);
    body->resetMotion();
    auto motion = [](const Body<TwoDee>& b) {
        return std::make_tuple(b.getVelocity(), b.getRotation().value, b.getBiasVelocity(), b.getBiasRotation().value,
                               b.isAwake(), b.m_linearRWA, b.m_rotationalRWA);
    };
    EXPECT_EQ(motion(*body), motion(*ball()));
}

// The world moves a body by advance(): the same bits as move() then moveBias(),
// the shapes' corners included, though it places the shapes once.
TEST(BodyMotion, AdvanceIsMoveThenMoveBias) {
    BodyPtr once = box(30.0f, 12.0f, 0.3f);
    BodyPtr twice = box(30.0f, 12.0f, 0.3f);
    for (Body<TwoDee>* b : {once.get(), twice.get()}) {
        b->setVelocity(Vector2D(37.1f, -12.9f));
        b->setRotation(Rotation2D(2.7f));
        b->applyBiasImpulse(Vector2D(0.31f, 0.17f), b->getPosition() + Vector2D(4.0f, 1.0f));
    }
    once->advance(DT);
    twice->move(DT);
    twice->moveBias(DT);
    const auto* a = static_cast<const Rect*>(once->getShapes().front());
    const auto* b = static_cast<const Rect*>(twice->getShapes().front());
    EXPECT_EQ(std::make_tuple(once->getPosition(), once->getOrientation().value, once->getBiasVelocity()),
              std::make_tuple(twice->getPosition(), twice->getOrientation().value, twice->getBiasVelocity()));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(a->getVertex(k), b->getVertex(k)) << k;
}
