// Circles, segments, capsules and rectangles: geometry queries and tie-breaks.
#include <gtest/gtest.h>

#include <cmath>

#include "physics/globals.h"
#include "physics/rect.h"
#include "physics/shape.h"

using namespace physics;

namespace {

Line makeLine(const Vector2D& a, const Vector2D& b) {
    Line line;
    line.m_local_p1 = a;
    line.m_local_p2 = b;
    line.thisMoved();
    return line;
}

void expectNear(const Vector2D& actual, const Vector2D& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

}  // namespace

TEST(RectShape, ConstructorsNormaliseCentreAndExtents) {
    Rect fromCorners(Vector2D(2.0f, 3.0f), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(fromCorners.getPosition(), Vector2D(1.0f, 1.5f));
    EXPECT_EQ(fromCorners.getHalfWidth(), 1.0f);
    EXPECT_EQ(fromCorners.getHalfHeight(), 1.5f);

    Rect fromFloats(4.0f, 6.0f, -2.0f, 2.0f);
    EXPECT_EQ(fromFloats.getPosition(), Vector2D(1.0f, 4.0f));
    EXPECT_EQ(fromFloats.getHalfWidth(), 3.0f);
    EXPECT_EQ(fromFloats.getHalfHeight(), 2.0f);

    Rect negative(Vector2D(10.0f, 10.0f), -4.0f, 2.0f, Orientation2D(0.0f));
    EXPECT_EQ(negative.getHalfWidth(), 2.0f);
    EXPECT_EQ(negative.getHalfHeight(), 1.0f);
    // Corners are valid straight after construction, counter-clockwise from top-left.
    EXPECT_EQ(negative.getVertex(0), Vector2D(8.0f, 11.0f));
    EXPECT_EQ(negative.getVertex(1), Vector2D(8.0f, 9.0f));
    EXPECT_EQ(negative.getVertex(2), Vector2D(12.0f, 9.0f));
    EXPECT_EQ(negative.getVertex(3), Vector2D(12.0f, 11.0f));
    EXPECT_EQ(negative.getVertex(7), negative.getVertex(3));
}

TEST(RectShape, SizeChangesReachCornersOnlyAtNextMove) {
    Rect r(Vector2D(0.0f, 0.0f), 2.0f, 2.0f, Orientation2D(0.0f));
    r.setSize(-6.0f, 4.0f);
    EXPECT_EQ(r.getVertex(3), Vector2D(1.0f, 1.0f));  // old corner still cached
    r.init();                                         // makes the extents positive and refreshes
    EXPECT_EQ(r.getHalfWidth(), 3.0f);
    EXPECT_EQ(r.getVertex(3), Vector2D(3.0f, 2.0f));
}

TEST(RectShape, ExtremePointTieBreaks) {
    Rect r(Vector2D(0.0f, 0.0f), 4.0f, 2.0f, Orientation2D(0.0f));
    int index = -1;
    r.getExtremePoint(Vector2D(0.0f, 1.0f), index);
    EXPECT_EQ(index, 3);
    r.getExtremePoint(Vector2D(0.0f, -1.0f), index);
    EXPECT_EQ(index, 2);
    r.getExtremePoint(Vector2D(-1.0f, 0.0f), index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(r.getExtremePoint(Vector2D(1.0f, 0.0f), index), Vector2D(2.0f, 1.0f));
    EXPECT_EQ(index, 3);
    r.getExtremePoint(Vector2D(-1.0f, 1.0f), index);
    EXPECT_EQ(index, 0);

    // On a turned rectangle the direction is taken in its own frame.
    Rect turned(Vector2D(0.0f, 0.0f), 4.0f, 2.0f, Orientation2D(Globals::PI / 2.0f));
    expectNear(turned.getExtremePoint(Vector2D(0.1f, 1.0f), index), Vector2D(1.0f, 2.0f));
    EXPECT_EQ(index, 2);
}

TEST(RectShape, NormalsFollowEdgesAndOrientation) {
    Rect r(Vector2D(0.0f, 0.0f), 4.0f, 2.0f, Orientation2D(0.0f));
    EXPECT_EQ(r.getNormal(0), Vector2D(-1.0f, 0.0f));
    EXPECT_EQ(r.getNormal(1), Vector2D(0.0f, -1.0f));
    EXPECT_EQ(r.getNormal(2), Vector2D(1.0f, 0.0f));
    EXPECT_EQ(r.getNormal(3), Vector2D(0.0f, 1.0f));
    EXPECT_EQ(r.getNormal(6), Vector2D(1.0f, 0.0f));
    EXPECT_EQ(r.getNormal(-1), Vector2D(0.0f, 0.0f));
    // Normal k is the outward normal of edge k (corner k to corner k+1).
    Rect turned(Vector2D(3.0f, -1.0f), 4.0f, 2.0f, Orientation2D(0.6f));
    for (int k = 0; k < 4; ++k) {
        Vector2D edge = turned.getVertex(k + 1) - turned.getVertex(k);
        Vector2D n = turned.getNormal(k);
        EXPECT_NEAR(n.dot(edge), 0.0f, 1e-5f);
        EXPECT_GT(n.dot(turned.getVertex(k) - turned.getPosition()), 0.0f);
        EXPECT_NEAR(n.length(), 1.0f, 1e-6f);
    }
}

TEST(RectShape, ContainsEdgesAndIntersectsByCorners) {
    Rect r(Vector2D(0.0f, 0.0f), 4.0f, 2.0f, Orientation2D(0.0f));
    EXPECT_TRUE(r.contains(Vector2D(2.0f, 0.0f)));
    EXPECT_TRUE(r.contains(Vector2D(-2.0f, -1.0f)));
    EXPECT_FALSE(r.contains(Vector2D(2.001f, 0.0f)));

    EXPECT_TRUE(r.intersects(AARect(Vector2D(-0.5f, -0.5f), Vector2D(0.5f, 0.5f))));  // centre inside
    EXPECT_TRUE(r.intersects(AARect(Vector2D(1.5f, 0.5f), Vector2D(5.0f, 5.0f))));    // a corner inside
    EXPECT_TRUE(r.intersects(AARect(Vector2D(2.0f, 1.0f), Vector2D(5.0f, 5.0f))));    // touching corners
    EXPECT_TRUE(r.intersects(AARect(Vector2D(-10.0f, -10.0f), Vector2D(10.0f, 10.0f))));
    EXPECT_FALSE(r.intersects(AARect(Vector2D(2.5f, -5.0f), Vector2D(3.0f, 5.0f))));
    // A thin diagonal bar crossing a square with no corner of either inside the other.
    Rect bar(Vector2D(0.0f, 0.0f), 10.0f, 0.2f, Orientation2D(Globals::PI / 4.0f));
    EXPECT_FALSE(bar.intersects(AARect(Vector2D(1.0f, 0.0f), Vector2D(2.0f, 3.0f))));
}

TEST(RectShape, MassAndMomentFromExtents) {
    Rect r(Vector2D(0.0f, 0.0f), 4.0f, 2.0f, Orientation2D(0.3f));
    r.m_density = 0.5f;
    EXPECT_FLOAT_EQ(r.getArea(), 8.0f);
    EXPECT_FLOAT_EQ(r.getMass(), 4.0f);
    EXPECT_FLOAT_EQ(r.getMOI(), 4.0f * (16.0f + 4.0f) / 12.0f);
    Rect flat(Vector2D(1.0f, 1.0f), 5.0f, 0.0f, Orientation2D(0.0f));
    EXPECT_EQ(flat.getArea(), 0.0f);
    EXPECT_EQ(flat.getMOI(), 0.0f);
    EXPECT_TRUE(flat.contains(Vector2D(3.5f, 1.0f)));
}

TEST(CircleShape, GeometryAndBounds) {
    Circle c(Vector2D(1.0f, 2.0f), 3.0f);
    EXPECT_TRUE(c.contains(Vector2D(4.0f, 2.0f)));  // the rim is inside
    EXPECT_FALSE(c.contains(Vector2D(4.01f, 2.0f)));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.getNormal(i), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(c.getExtremePoint(Vector2D(0.0f, -1.0f)), Vector2D(1.0f, -1.0f));
    EXPECT_EQ(c.getMinX(), -2.0f);
    EXPECT_EQ(c.getMaxY(), 5.0f);
    EXPECT_FLOAT_EQ(c.getArea(), Globals::PI * 9.0f);
    EXPECT_FLOAT_EQ(c.getMOI(), c.getMass() * 4.5f);

    Circle point(Vector2D(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(point.getMass(), 0.0f);
    EXPECT_TRUE(point.contains(Vector2D(0.0f, 0.0f)));
}

TEST(CircleShape, IntersectsByDistanceToRectangle) {
    Circle c(Vector2D(0.0f, 0.0f), 1.0f);
    EXPECT_TRUE(c.intersects(AARect(Vector2D(-5.0f, -5.0f), Vector2D(5.0f, 5.0f))));  // centre inside
    EXPECT_TRUE(c.intersects(AARect(Vector2D(1.0f, -5.0f), Vector2D(3.0f, 5.0f))));   // touching a side
    EXPECT_FALSE(c.intersects(AARect(Vector2D(1.01f, -5.0f), Vector2D(3.0f, 5.0f))));
    EXPECT_FALSE(c.intersects(AARect(Vector2D(0.0f, -5.0f), Vector2D(3.0f, -1.01f))));
    // Beyond a corner: (0.8, 0.8) is 1.13 away although each axis gap is below 1.
    EXPECT_FALSE(c.intersects(AARect(Vector2D(0.8f, 0.8f), Vector2D(3.0f, 3.0f))));
    EXPECT_TRUE(c.intersects(AARect(Vector2D(0.7f, 0.7f), Vector2D(3.0f, 3.0f))));
}

TEST(LineShape, DistanceContainsAndNormals) {
    Line line = makeLine(Vector2D(0.0f, 0.0f), Vector2D(4.0f, 0.0f));
    EXPECT_FLOAT_EQ(line.distanceSq(Vector2D(2.0f, 3.0f)), 9.0f);
    EXPECT_FLOAT_EQ(line.distanceSq(Vector2D(-3.0f, 4.0f)), 25.0f);
    EXPECT_FLOAT_EQ(line.distanceSq(Vector2D(7.0f, -4.0f)), 25.0f);
    EXPECT_FALSE(line.contains(Vector2D(2.0f, 0.01f)));  // squared distance 0.0001 is not below 0.0001
    EXPECT_TRUE(line.contains(Vector2D(2.0f, 0.005f)));
    EXPECT_EQ(line.getNormal(0), Vector2D(0.0f, 1.0f));
    EXPECT_EQ(line.getNormal(1), Vector2D(0.0f, -1.0f));
    EXPECT_EQ(line.getVertex(3), Vector2D(4.0f, 0.0f));
    int index = -1;
    EXPECT_EQ(line.getExtremePoint(Vector2D(0.0f, 1.0f), index), Vector2D(0.0f, 0.0f));  // square: p1
    EXPECT_EQ(index, 0);
    line.getExtremePoint(Vector2D(1.0f, 1.0f), index);
    EXPECT_EQ(index, 1);
    EXPECT_FLOAT_EQ(line.getArea(), 0.2f);
    EXPECT_FLOAT_EQ(line.getMOI(), 0.2f * 16.0f / 12.0f);
    EXPECT_TRUE(line.intersects(AARect(Vector2D(3.0f, -1.0f), Vector2D(5.0f, 1.0f))));
    EXPECT_FALSE(line.intersects(AARect(Vector2D(1.0f, -1.0f), Vector2D(1.5f, 1.0f))));

    Line dot = makeLine(Vector2D(1.0f, 1.0f), Vector2D(1.0f, 1.0f));
    EXPECT_TRUE(dot.contains(Vector2D(1.0f, 1.0f)));
    EXPECT_EQ(dot.getNormal(0), Vector2D(0.0f, 0.0f));
}

TEST(LineShape, EndsFollowPlacement) {
    Line line(Vector2D(10.0f, 0.0f), Orientation2D(Globals::PI / 2.0f));
    line.m_local_p1 = Vector2D(-1.0f, 0.0f);
    line.m_local_p2 = Vector2D(1.0f, 0.0f);
    line.thisMoved();
    expectNear(line.getP1(), Vector2D(10.0f, -1.0f));
    expectNear(line.getP2(), Vector2D(10.0f, 1.0f));
}

TEST(CapsuleShape, RoundedBoundsAndMass) {
    Capsule2D capsule(Vector2D(0.0f, 0.0f), Orientation2D(0.0f), 0.5f);
    capsule.m_local_p1 = Vector2D(-2.0f, 0.0f);
    capsule.m_local_p2 = Vector2D(2.0f, 0.0f);
    capsule.thisMoved();
    EXPECT_EQ(capsule.getMinX(), -2.5f);
    EXPECT_EQ(capsule.getMaxX(), 2.5f);
    EXPECT_EQ(capsule.getMaxY(), 0.5f);
    EXPECT_TRUE(capsule.contains(Vector2D(2.3f, 0.3f)));
    EXPECT_FALSE(capsule.contains(Vector2D(0.0f, 0.5f)));  // strictly inside the radius only
    EXPECT_FLOAT_EQ(capsule.getArea(), 4.0f * 0.5f + Globals::PI * 0.25f);
    EXPECT_FLOAT_EQ(capsule.getMOI(), capsule.getMass() * (4.0f * 16.0f + 7.0f * 0.25f) / 12.0f);
}
