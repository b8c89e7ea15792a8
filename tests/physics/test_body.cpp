// Bodies: mass properties from shapes, centre-of-mass shift, switches,
// integration and sleeping. Bodies are stepped directly (applyForces, move),
// the way the world drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "physics/body.h"
#include "physics/globals.h"
#include "physics/polygon.h"
#include "physics/rect.h"

using namespace physics;

namespace {

using BodyPtr = std::unique_ptr<Body<TwoDee>>;

const float DT = 1.0f / 60.0f;
const Vector2D NO_GRAVITY(0.0f, 0.0f);

float stepBias() { return std::pow(Globals::sleepRWABias, DT); }

void step(Body<TwoDee>& body, const Vector2D& gravity = NO_GRAVITY) {
    body.applyForces(DT, gravity, stepBias());
    body.move(DT);
}

// Steps until the body sleeps; returns the step (1-based) at which it fell asleep, or -1.
int stepsUntilAsleep(Body<TwoDee>& body, int limit = 1000) {
    for (int i = 1; i <= limit; ++i) {
        step(body);
        if (!body.isAwake()) return i;
    }
    return -1;
}

void expectNear(const Vector2D& actual, const Vector2D& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

}  // namespace

TEST(BodyMass, CircleRectangleAndPolygonAgainstHandValues) {
    BodyPtr circle(Body<TwoDee>::create(new Circle(Vector2D(3.0f, 4.0f), 2.0f)));
    circle->setDensity(3.0f, true);
    const float pi = Globals::PI;
    EXPECT_FLOAT_EQ(circle->getInverseMass(), 1.0f / (pi * 4.0f * 3.0f));
    EXPECT_FLOAT_EQ(circle->getMOI().inverseMOI, 2.0f / (pi * 16.0f * 3.0f));
    EXPECT_FLOAT_EQ(circle->getBoundingRadius(), 2.0f);
    EXPECT_EQ(circle->getPosition(), Vector2D(3.0f, 4.0f));

    // 4 x 2 at density 0.5: mass 4, I = m (w^2 + h^2) / 12 = 20/3, corners sqrt(5) away.
    Rect* r = new Rect(Vector2D(10.0f, 20.0f), 4.0f, 2.0f, Orientation2D(0.4f));
    r->m_density = 0.5f;
    BodyPtr box(Body<TwoDee>::create(r));
    EXPECT_FLOAT_EQ(box->getMass(), 4.0f);
    EXPECT_FLOAT_EQ(box->getMOI().inverseMOI, 0.15f);
    EXPECT_FLOAT_EQ(box->getBoundingRadius(), std::sqrt(5.0f));

    // Right triangle with legs 3: area 4.5, centroid (1,1) equals the vertex mean,
    // I about the centroid = m (a^2 + b^2 + c^2) / 36 = 4.5 * 36 / 36.
    std::vector<Vector2D> tri = {{0, 0}, {3, 0}, {0, 3}};
    BodyPtr triangle(Body<TwoDee>::create(Polygon::create(tri.data(), 3)));
    EXPECT_EQ(triangle->getPosition(), Vector2D(1.0f, 1.0f));
    EXPECT_FLOAT_EQ(triangle->getMass(), 4.5f);
    EXPECT_FLOAT_EQ(triangle->getMOI().inverseMOI, 1.0f / 4.5f);
    EXPECT_FLOAT_EQ(triangle->getBoundingRadius(), std::sqrt(5.0f));
}

TEST(BodyMass, TwoUnitSquaresShiftToTheirCentreOfMass) {
    BodyPtr body(Body<TwoDee>::create());
    Rect* left = new Rect(Vector2D(-1.0f, 0.0f), 1.0f, 1.0f, Orientation2D(0.0f));
    Rect* right = new Rect(Vector2D(1.0f, 0.0f), 1.0f, 1.0f, Orientation2D(0.0f));
    body->add(left);
    EXPECT_EQ(body->getPosition(), Vector2D(-1.0f, 0.0f));
    EXPECT_EQ(left->m_localPosition, Vector2D(0.0f, 0.0f));
    body->add(right);
    EXPECT_EQ(body->getPosition(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(left->m_localPosition, Vector2D(-1.0f, 0.0f));
    EXPECT_EQ(right->m_localPosition, Vector2D(1.0f, 0.0f));
    EXPECT_FLOAT_EQ(body->getMass(), 2.0f);
    EXPECT_FLOAT_EQ(body->getMOI().inverseMOI, 3.0f / 7.0f);  // I = 2 (1/6 + 1)
    EXPECT_FLOAT_EQ(body->getBoundingRadius(), std::sqrt(1.5f * 1.5f + 0.25f));
    AARect bounds = body->getAABB();
    EXPECT_EQ(bounds.getMin(), Vector2D(-1.5f, -0.5f));
    EXPECT_EQ(bounds.getMax(), Vector2D(1.5f, 0.5f));
    EXPECT_TRUE(body->contains(Vector2D(1.5f, 0.0f)));
    EXPECT_FALSE(body->contains(Vector2D(0.0f, 0.0f)));  // the gap between the squares
}

TEST(BodyMass, ShiftOnATurnedBodyKeepsShapesInPlace) {
    // The same two circles (masses pi and 3 pi, 4 apart) in a turned and an unturned body.
    auto build = [](float angle) {
        Body<TwoDee>* body = Body<TwoDee>::create();
        body->setPosition(Vector2D(5.0f, 5.0f));
        body->setOrientation(Orientation2D(angle));
        body->add(new Circle(Vector2D(4.0f, 5.0f), 1.0f));
        Circle* heavy = new Circle(Vector2D(8.0f, 5.0f), 1.0f);
        heavy->m_density = 3.0f;
        body->add(heavy);
        return BodyPtr(body);
    };
    BodyPtr turned = build(0.7f);
    BodyPtr level = build(0.0f);
    expectNear(turned->getPosition(), Vector2D(7.0f, 5.0f));
    EXPECT_EQ(level->getPosition(), Vector2D(7.0f, 5.0f));
    turned->thisMoved();  // recompute the shapes' world placement from the new reference point
    expectNear(turned->getShapes().front()->getPosition(), Vector2D(4.0f, 5.0f));
    expectNear(turned->getShapes().back()->getPosition(), Vector2D(8.0f, 5.0f));
    // I = pi/2 + 3 pi/2 + pi * 3^2 + 3 pi * 1^2 = 14 pi, whatever the orientation.
    EXPECT_NEAR(turned->getMOI().inverseMOI, 1.0f / (14.0f * Globals::PI), 1e-6f);
    EXPECT_FLOAT_EQ(level->getMOI().inverseMOI, 1.0f / (14.0f * Globals::PI));
}

TEST(BodyMass, AddKeepsTheWorldPlacementOfATurnedShape) {
    Rect* r = new Rect(Vector2D(4.0f, 6.0f), 3.0f, 1.0f, Orientation2D(0.2f));
    Vector2D before[4];
    for (int k = 0; k < 4; ++k) before[k] = r->getVertex(k);
    BodyPtr body(Body<TwoDee>::create());
    body->setPosition(Vector2D(1.0f, 2.0f));
    body->setOrientation(Orientation2D(0.5f));
    body->add(r);
    body->thisMoved();
    EXPECT_NEAR(r->m_localOrientation.getAngle(), -0.3f, 1e-6f);
    EXPECT_NEAR(r->getOrientation().getAngle(), 0.2f, 1e-6f);
    for (int k = 0; k < 4; ++k) expectNear(r->getVertex(k), before[k]);
}

TEST(BodyMass, BodiesWithoutMassCannotMoveOrTurn) {
    BodyPtr dot(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 0.0f)));
    BodyPtr flat(Body<TwoDee>::create(new Rect(Vector2D(0.0f, 0.0f), 5.0f, 0.0f, Orientation2D(0.0f))));
    BodyPtr weightless(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 2.0f)));
    weightless->setDensity(0.0f, true);
    for (Body<TwoDee>* body : {dot.get(), flat.get(), weightless.get()}) {
        EXPECT_EQ(body->getInverseMass(), 0.0f);
        EXPECT_EQ(body->getMOI().inverseMOI, 0.0f);
        EXPECT_TRUE(body->isStatic());
        EXPECT_FALSE(body->isAwake());
        body->applyImpulse(Vector2D(5.0f, 5.0f), Vector2D(1.0f, 0.0f), true);
        step(*body, Vector2D(0.0f, -300.0f));
        EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 0.0f));
        EXPECT_EQ(body->getRotation().value, 0.0f);
        EXPECT_EQ(body->getPosition(), Vector2D(0.0f, 0.0f));
    }

    Circle* only = new Circle(Vector2D(2.0f, 0.0f), 1.0f);
    BodyPtr body(Body<TwoDee>::create(only));
    body->remove(only);
    EXPECT_EQ(body->getInverseMass(), 0.0f);
    EXPECT_EQ(body->getMOI().inverseMOI, 0.0f);
    EXPECT_EQ(body->getBoundingRadius(), -1.0f);
    EXPECT_TRUE(body->getShapes().empty());
    EXPECT_EQ(only->getBody(), nullptr);
    only->setDensity(2.0f, true);  // must not reach the body it left
    EXPECT_EQ(body->getInverseMass(), 0.0f);
    delete only;  // the caller owns a removed shape again

    // No polygon from a degenerate point set: the body stays empty instead of holding null.
    const Vector2D collinear[] = {{0, 0}, {1, 0}, {2, 0}};
    BodyPtr empty(Body<TwoDee>::create(Polygon::create(collinear, 3)));
    EXPECT_TRUE(empty->getShapes().empty());
    EXPECT_EQ(empty->getInverseMass(), 0.0f);
}

TEST(BodySwitches, MassPropertiesComeBackWhenShapesChange) {
    BodyPtr body(Body<TwoDee>::create(new Rect(Vector2D(0.0f, 0.0f), 2.0f, 2.0f, Orientation2D(0.0f))));
    body->setVelocity(Vector2D(1.0f, 0.0f));
    body->setStatic(true);
    EXPECT_TRUE(body->isStatic());
    EXPECT_FALSE(body->isAwake());
    EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 0.0f));
    body->setDensity(2.0f, true);
    EXPECT_FALSE(body->isStatic());
    EXPECT_FLOAT_EQ(body->getMass(), 8.0f);
    Body<TwoDee> empty;
    EXPECT_TRUE(std::isinf(empty.getMass()));

    body->setPinned(true);
    EXPECT_TRUE(body->isPinned());
    EXPECT_TRUE(body->isRotatable());
    body->setRotatable(false);  // recomputes first: no longer pinned, but cannot turn
    EXPECT_FALSE(body->isPinned());
    EXPECT_FALSE(body->isRotatable());
    body->applyImpulse(Vector2D(0.0f, 8.0f), Vector2D(1.0f, 0.0f), true);
    EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 1.0f));
    EXPECT_EQ(body->getRotation().value, 0.0f);
    body->setStatic(false);
    EXPECT_TRUE(body->isRotatable());

    // A shape's own density change reaches its body when asked to.
    body->getShapes().front()->setDensity(0.5f, true);
    EXPECT_FLOAT_EQ(body->getMass(), 2.0f);
}

TEST(BodyMotion, ImpulsesAndIntegration) {
    BodyPtr body(Body<TwoDee>::create(new Rect(Vector2D(0.0f, 0.0f), 2.0f, 1.0f, Orientation2D(0.0f))));
    body->setDensity(0.5f, true);  // mass 1, I = (4 + 1) / 12
    body->applyImpulse(Vector2D(0.0f, 2.0f), Vector2D(1.0f, 0.0f), true);
    EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 2.0f));
    EXPECT_FLOAT_EQ(body->getRotation().value, 2.0f * 12.0f / 5.0f);
    Vector2D atTip = body->getVelocityAtPoint(Vector2D(1.0f, 0.0f));
    EXPECT_FLOAT_EQ(atTip.y, 2.0f + 24.0f / 5.0f);

    body->killVelocity();
    body->applyForces(DT, Vector2D(0.0f, -300.0f), stepBias());
    EXPECT_FLOAT_EQ(body->getVelocity().y, -300.0f * DT);  // gravity is independent of mass
    body->move(DT);
    EXPECT_FLOAT_EQ(body->getPosition().y, -300.0f * DT * DT);

    // Bias displacements are whole-step amounts: dt does not scale them.
    body->setPosition(Vector2D(0.0f, 0.0f));
    body->applyBiasImpulse(Vector2D(0.01f, 0.0f), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(body->getBiasVelocityAtPoint(Vector2D(3.0f, 3.0f)), Vector2D(0.01f, 0.0f));
    body->moveBias(123.0f);
    EXPECT_FLOAT_EQ(body->getPosition().x, 0.01f);
    EXPECT_EQ(body->getBiasVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(body->getShapes().front()->getVertex(2).x, 1.01f);  // shapes follow
}

TEST(BodyMotion, DragOnlyWithAirResistance) {
    BodyPtr body(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    body->setVelocity(Vector2D(10.0f, 0.0f));
    EXPECT_EQ(body->getDrag(), Vector2D(0.0f, 0.0f));
    Globals::airResistance = true;
    EXPECT_FLOAT_EQ(body->getDrag().x, -0.1f);
    Globals::linearDrag = false;
    EXPECT_FLOAT_EQ(body->getDrag().x, -0.01f * 4.0f * 10.0f * 10.0f);
    Globals::linearDrag = true;
    body->applyForces(DT, NO_GRAVITY, stepBias());
    Globals::airResistance = false;
    EXPECT_FLOAT_EQ(body->getVelocity().x, 10.0f - 0.1f * body->getInverseMass());
}

TEST(BodySleep, NewBodyAtRestSleepsAfterAboutTwoHundredSteps) {
    BodyPtr body(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    // The angular average starts capped at 0.1 and halves every 60 steps: 0.1 -> 0.01 takes ~200.
    int steps = stepsUntilAsleep(*body);
    EXPECT_GE(steps, 195);
    EXPECT_LE(steps, 205);
    EXPECT_FALSE(body->isAwake());

    body->setAwake(true);  // averages restart at twice the thresholds: one halving, ~60 steps
    steps = stepsUntilAsleep(*body);
    EXPECT_GE(steps, 58);
    EXPECT_LE(steps, 63);
}

TEST(BodySleep, MovingOrUnsleepableBodiesStayAwake) {
    BodyPtr moving(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    moving->setVelocity(Vector2D(0.0f, 1.6f));  // just above the 1.5 threshold
    EXPECT_EQ(stepsUntilAsleep(*moving), -1);

    BodyPtr insomniac(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    insomniac->setCanSleep(false);
    insomniac->setAwake(false);
    EXPECT_TRUE(insomniac->isAwake());
    EXPECT_EQ(stepsUntilAsleep(*insomniac), -1);

    BodyPtr sleeper(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    sleeper->setAwake(false);
    Globals::useSleeping = false;
    sleeper->setAwake(true);  // waking is part of sleeping: switched off, nothing changes
    Globals::useSleeping = true;
    EXPECT_FALSE(sleeper->isAwake());
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
        BodyPtr body(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
        body->m_linearRWA = c.linearRWA;
        body->m_rotationalRWA = c.rotationalRWA;
        body->applyForces(DT, Vector2D(0.0f, 0.0f), 1.0f);
        EXPECT_EQ(body->isAwake(), !c.sleeps) << c.linearRWA << " " << c.rotationalRWA;
    }
}

TEST(BodySleep, ResetMotionGivesTheMotionOfANewBody) {
    BodyPtr body(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    body->setVelocity(Vector2D(3.0f, 1.0f));
    body->setRotation(Rotation2D(2.0f));
    body->applyBiasImpulse(Vector2D(1.0f, 0.0f), Vector2D(0.0f, 0.5f));
    body->setAwake(false);
    body->resetMotion();
    const BodyPtr fresh(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    EXPECT_EQ(body->getVelocity(), fresh->getVelocity());
    EXPECT_EQ(body->getRotation().value, fresh->getRotation().value);
    EXPECT_EQ(body->getBiasVelocity(), fresh->getBiasVelocity());
    EXPECT_EQ(body->getBiasRotation().value, fresh->getBiasRotation().value);
    EXPECT_TRUE(body->isAwake());
    EXPECT_EQ(body->m_linearRWA, fresh->m_linearRWA);
    EXPECT_EQ(body->m_rotationalRWA, fresh->m_rotationalRWA);
}

TEST(BodySleep, SleepingBodiesKeepStillUntilWoken) {
    BodyPtr body(Body<TwoDee>::create(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    body->setVelocity(Vector2D(3.0f, 0.0f));
    body->setAwake(false);
    EXPECT_EQ(body->getVelocity(), Vector2D(0.0f, 0.0f));

    body->applyImpulse(Vector2D(body->getMass() * 2.0f, 0.0f), false);
    body->applyBiasImpulse(Vector2D(body->getMass() * 0.5f, 0.0f), Vector2D(0.0f, 0.0f));
    step(*body, Vector2D(0.0f, -300.0f));
    body->moveBias(DT);
    EXPECT_FALSE(body->isAwake());
    EXPECT_EQ(body->getPosition(), Vector2D(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(body->getVelocity().x, 2.0f);  // kept, and no gravity while asleep
    EXPECT_EQ(body->getVelocity().y, 0.0f);

    body->applyImpulse(Vector2D(0.0f, 0.0f), true);
    body->moveBias(DT);  // the bias gathered while asleep is spent at the first move
    EXPECT_FLOAT_EQ(body->getPosition().x, 0.5f);
    step(*body);
    EXPECT_FLOAT_EQ(body->getPosition().x, 0.5f + 2.0f * DT);
}
