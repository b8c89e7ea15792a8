// Pin joints, driven the way the velocity resolver drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "physics/body.h"
#include "physics/globals.h"
#include "physics/joint.h"
#include "physics/rect.h"

using namespace physics;

namespace {

using BodyPtr = std::unique_ptr<Body<TwoDee>>;

BodyPtr ball(const Vector2D& at) { return BodyPtr(Body<TwoDee>::create(new Circle(at, 1.0f))); }

Vector2D anchorGap(const Joint<TwoDee>& joint) {
    return joint.body2->localToWorld(joint.localAnchor2) - joint.body1->localToWorld(joint.localAnchor1);
}

}  // namespace

TEST(PinJoint, AnchorsAreStoredInEachBodyFrame) {
    BodyPtr a = ball(Vector2D(0.0f, 0.0f));
    BodyPtr b = ball(Vector2D(1.0f, 0.0f));
    b->setOrientation(Orientation2D(Globals::PI / 2.0f));
    Joint<TwoDee> joint;
    EXPECT_EQ(joint.biasFactor, 0.2f);
    EXPECT_TRUE(joint.ignoreContacts);
    joint.set(a.get(), b.get(), Vector2D(1.0f, 1.0f));
    EXPECT_EQ(joint.localAnchor1, Vector2D(1.0f, 1.0f));
    EXPECT_NEAR(joint.localAnchor2.x, 1.0f, 1e-6f);
    EXPECT_NEAR(joint.localAnchor2.y, 0.0f, 1e-6f);
}

TEST(PinJoint, BiasClosesASeparationAtTheFixedRate) {
    BodyPtr a = ball(Vector2D(0.0f, 0.0f));
    BodyPtr b = ball(Vector2D(0.0f, 0.0f));
    Joint<TwoDee> joint;
    joint.set(a.get(), b.get(), Vector2D(0.0f, 0.0f));
    b->translate(Vector2D(0.1f, 0.0f));
    joint.prepare();
    // 0.2 of the 0.1 gap per step at 60 steps per second, towards closing it.
    EXPECT_NEAR(joint.bias.x, -1.2f, 1e-5f);
    EXPECT_EQ(joint.bias.y, 0.0f);
    joint.applyImpulses();
    // One exact solve leaves the anchors approaching at the bias velocity, shared by equal masses.
    Vector2D dv = b->getVelocityAtPoint(b->getPosition() + joint.r2) - a->getVelocityAtPoint(a->getPosition() + joint.r1);
    EXPECT_NEAR(dv.x, -1.2f, 1e-4f);
    EXPECT_NEAR(dv.y, 0.0f, 1e-5f);
    EXPECT_NEAR(a->getVelocity().x, 0.6f, 1e-4f);
    EXPECT_NEAR(joint.P.x, -1.2f * a->getMass() / 2.0f, 1e-3f);
}

TEST(PinJoint, CoincidentAnchorsAtRestApplyNothing) {
    BodyPtr a = ball(Vector2D(0.0f, 0.0f));
    BodyPtr b = ball(Vector2D(3.0f, 0.0f));
    Joint<TwoDee> joint;
    joint.set(a.get(), b.get(), Vector2D(1.5f, 0.0f));
    joint.prepare();
    EXPECT_EQ(joint.bias, Vector2D(0.0f, 0.0f));
    joint.applyImpulses();
    EXPECT_EQ(joint.P, Vector2D(0.0f, 0.0f));
    EXPECT_EQ(a->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(b->getRotation().value, 0.0f);
}

TEST(PinJoint, BetweenTwoStaticBodiesDoesNothing) {
    BodyPtr a(Body<TwoDee>::createStatic(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    BodyPtr b(Body<TwoDee>::createStatic(new Circle(Vector2D(5.0f, 0.0f), 1.0f)));
    Joint<TwoDee> joint;
    joint.set(a.get(), b.get(), Vector2D(0.0f, 0.0f));
    b->translate(Vector2D(1.0f, 0.0f));
    joint.prepare();
    EXPECT_TRUE(joint.velocityPerImpulse.isZero());
    joint.applyImpulses();
    EXPECT_EQ(a->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(b->getVelocity(), Vector2D(0.0f, 0.0f));
}

TEST(PinJoint, PendulumSwingsOnItsPinAndNeverSleeps) {
    BodyPtr pivot(Body<TwoDee>::createStatic(new Circle(Vector2D(0.0f, 0.0f), 1.0f)));
    BodyPtr bob(Body<TwoDee>::create(new Rect(Vector2D(10.0f, 0.0f), 2.0f, 2.0f, Orientation2D(0.0f))));
    Joint<TwoDee> joint;
    joint.set(pivot.get(), bob.get(), Vector2D(0.0f, 0.0f));
    const float dt = Globals::DEFAULT_TIMESTEP;
    const float bias = std::pow(Globals::sleepRWABias, dt);
    const Vector2D gravity(0.0f, -300.0f);
    float lowest = 0.0f;
    for (int i = 0; i < 600; ++i) {
        bob->applyForces(dt, gravity, bias);
        joint.prepare();
        for (int k = 0; k < 10; ++k) joint.applyImpulses();
        bob->move(dt);
        ASSERT_LT(anchorGap(joint).length(), 1.0f) << "step " << i;
        lowest = std::fmin(lowest, bob->getPosition().y);
        ASSERT_TRUE(bob->isAwake());
    }
    EXPECT_LT(lowest, -9.0f);  // it swung down to hang under the pin
    EXPECT_NEAR(bob->getPosition().length(), 10.0f, 1.0f);
    EXPECT_FALSE(pivot->isAwake());
}
