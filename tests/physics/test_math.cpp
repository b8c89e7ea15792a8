// Value types and engine constants.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "physics/globals.h"
#include "physics/vector.h"

using namespace physics;

namespace {
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

TEST(Math, ZeroOrientationReturnsInputBitForBit) {
    // -0 and a NaN would not survive x*cos(0) - y*sin(0) unchanged.
    const Vector2D inputs[] = {Vector2D(-0.0f, 1e-38f), Vector2D(std::numeric_limits<float>::quiet_NaN(), -0.0f),
                               Vector2D(123456.78f, -0.1f)};
    for (const Vector2D& v : inputs) {
        Vector2D t = Orientation2D(0.0f).transform(v);
        Vector2D u = Orientation2D(0.0f).inverseTransform(v);
        Vector2D m = Orientation2D(0.0f) * v;
        EXPECT_TRUE(sameBits(t.x, v.x) && sameBits(t.y, v.y));
        EXPECT_TRUE(sameBits(u.x, v.x) && sameBits(u.y, v.y));
        EXPECT_TRUE(sameBits(m.x, v.x) && sameBits(m.y, v.y));
    }
    // A full turn is the identity only up to rounding.
    Vector2D v(3.0f, -2.0f);
    Vector2D full = Orientation2D(2.0f * Globals::PI).transform(v);
    EXPECT_NEAR(full.x, v.x, 1e-5f);
    EXPECT_NEAR(full.y, v.y, 1e-5f);
}

TEST(Math, TurningIsCounterClockwiseAndInverseUndoesIt) {
    Orientation2D quarter(Globals::PI / 2.0f);
    Vector2D t = quarter.transform(Vector2D(1.0f, 0.0f));
    EXPECT_NEAR(t.x, 0.0f, 1e-6f);
    EXPECT_NEAR(t.y, 1.0f, 1e-6f);
    Orientation2D o(0.83f);
    Vector2D v(-4.0f, 7.5f);
    Vector2D back = o.inverseTransform(o.transform(v));
    EXPECT_NEAR(back.x, v.x, 1e-5f);
    EXPECT_NEAR(back.y, v.y, 1e-5f);
    Orientation2D sum = o;
    sum += Rotation2D(0.17f);
    EXPECT_FLOAT_EQ(sum.getAngle(), 1.0f);
}

TEST(Math, VectorNormaliseAndRotationVelocity) {
    Vector2D zero(0.0f, 0.0f);
    EXPECT_EQ(zero.normalise(), zero);
    Vector2D n = Vector2D(3.0f, -4.0f).normalise();
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.y, -0.8f);
    Vector2D w = Rotation2D(2.0f).getVelocityAtPoint(Vector2D(1.0f, 3.0f));
    EXPECT_EQ(w, Vector2D(-6.0f, 2.0f));
}

TEST(Math, AARectSortsCornersAndCountsEdgesAsInside) {
    AARect a(Vector2D(5.0f, 7.0f), Vector2D(-1.0f, 2.0f));
    AARect b(Vector2D(-1.0f, 2.0f), Vector2D(5.0f, 7.0f));
    EXPECT_EQ(a.getMin(), b.getMin());
    EXPECT_EQ(a.getMax(), b.getMax());
    EXPECT_EQ(a.getMin(), Vector2D(-1.0f, 2.0f));
    EXPECT_TRUE(a.contains(Vector2D(5.0f, 2.0f)));
    EXPECT_FALSE(a.contains(Vector2D(5.001f, 2.0f)));
    // Touching counts; a gap larger than the tolerance does not.
    AARect touching(Vector2D(5.0f, 0.0f), Vector2D(6.0f, 1.0f));
    EXPECT_FALSE(a.intersects(touching));
    EXPECT_TRUE(a.intersects(touching, 1.0f));
    EXPECT_TRUE(a.intersects(AARect(Vector2D(5.0f, 7.0f), Vector2D(9.0f, 9.0f))));
}

TEST(Math, ClampAndMatrix) {
    EXPECT_EQ(Clamp(5.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(Clamp(-5.0f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(Clamp(1.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(Clamp(0.25f, 0.0f, 1.0f), 0.25f);

    EXPECT_EQ(Matrix2(1.0f, 2.0f, 2.0f, 4.0f).getInverse(), Matrix2());
    Matrix2 m(2.0f, 1.0f, 1.0f, 3.0f);
    Matrix2 product = m * m.getInverse();
    EXPECT_NEAR(product.data[0], 1.0f, 1e-6f);
    EXPECT_NEAR(product.data[1], 0.0f, 1e-6f);
    EXPECT_NEAR(product.data[2], 0.0f, 1e-6f);
    EXPECT_NEAR(product.data[3], 1.0f, 1e-6f);
    EXPECT_EQ(m * Vector2D(1.0f, 1.0f), Vector2D(3.0f, 4.0f));  // row-major
}

TEST(Math, EngineConstants) {
    EXPECT_FLOAT_EQ(Globals::DEFAULT_TIMESTEP, 1.0f / 60.0f);
    EXPECT_EQ(Globals::inverseTimeStep, 60.0f);
    EXPECT_EQ(Globals::GRAVITY, -9.8f);
    EXPECT_EQ(Globals::DEFAULT_DENSITY, 1.0f);
    EXPECT_EQ(Globals::DEFAULT_RESTITUTION, 0.4f);
    EXPECT_EQ(Globals::DEFAULT_FRICTION, 0.5f);
    EXPECT_TRUE(Globals::useSleeping);
    EXPECT_EQ(Globals::linearVelocitySleepEpsilon, 1.5f);
    EXPECT_EQ(Globals::angularVelocitySleepEpsilon, 0.01f);
    EXPECT_EQ(Globals::sleepRWABias, 0.5f);
    EXPECT_FALSE(Globals::airResistance);
    EXPECT_TRUE(Globals::linearDrag);
    EXPECT_EQ(Globals::linearDragCoefficient, 0.01f);
    EXPECT_EQ(Globals::quadraticDragCoefficient, 0.01f);
    EXPECT_EQ(Globals::penetrationEpsilon, 0.005f);
    EXPECT_TRUE(Globals::useRestitution);
    EXPECT_EQ(Globals::restitutionThreshold, 0.2f);
    EXPECT_TRUE(Globals::findMultipleContacts);
    EXPECT_TRUE(Globals::cacheContacts);
    EXPECT_FALSE(Globals::findSleepingContacts);
    EXPECT_EQ(Globals::_NEAR, 0.1f);
    EXPECT_EQ(Globals::whenToMove, Globals::MOVE_AFTER_COLLISIONS);
    EXPECT_EQ(Globals::PI, 3.1415927f);
}

TEST(Math, RandomOrientationStaysInOneTurnAndVaries) {
    float first = Orientation2D::random().getAngle();
    bool varied = false;
    for (int i = 0; i < 1000; ++i) {
        float a = Orientation2D::random().getAngle();
        ASSERT_GE(a, 0.0f);
        ASSERT_LT(a, 2.0f * Globals::PI);
        if (a != first) varied = true;
    }
    EXPECT_TRUE(varied);
}
