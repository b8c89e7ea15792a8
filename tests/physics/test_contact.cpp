// The narrow phase and the contact record: separating axes for every shape
// pair, the two kept candidates, adjacent vertices, mass terms and validity.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "physics/physics.h"

using namespace physics;

namespace {

using BodyPtr = std::unique_ptr<Body<TwoDee>>;
using ContactT = Contact<TwoDee>;

BodyPtr ball(float x, float y, float r) { return BodyPtr(new Body<TwoDee>(new Circle(Vector2D(x, y), r))); }

BodyPtr box(float x, float y, float w, float h, bool isStatic = false) {
    BodyPtr b(new Body<TwoDee>(new Rect(Vector2D(x, y), w, h, Orientation2D(0.0f))));
    if (isStatic) b->setStatic(true);
    return b;
}

BodyPtr polygonBody(std::vector<Vector2D> points) {
    return BodyPtr(new Body<TwoDee>(new Polygon(points.data(), static_cast<int>(points.size()))));
}

// Runs the generator on one pair and takes charge of the contacts.
struct Generated {
    std::vector<std::unique_ptr<ContactT>> contacts;
    Generated(Body<TwoDee>* a, Body<TwoDee>* b) {
        ContactGenerator<TwoDee> gen;
        for (ContactT* c : gen.findContacts({{a, b}})) contacts.emplace_back(c);
    }
    std::size_t size() const { return contacts.size(); }
    const ContactT& operator[](std::size_t i) const { return *contacts[i]; }
};

struct MultiGuard {
    bool multi = Globals::findMultipleContacts;
    ~MultiGuard() { Globals::findMultipleContacts = multi; }
};

void expectVec(const Vector2D& v, float x, float y, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
}

}  // namespace

TEST(ContactGenerator, OverlappingCirclesMeetOnTheCentreLine) {
    auto a = ball(0.0f, 0.0f, 1.0f);
    auto b = ball(1.9f, 0.0f, 1.0f);
    Generated g(a.get(), b.get());
    ASSERT_EQ(g.size(), 1u);
    EXPECT_NEAR(g[0].penetration, 0.1f, 1e-5f);
    expectVec(g[0].normal, 1.0f, 0.0f);
    expectVec(g[0].point, 0.95f, 0.0f);  // middle of the overlap
    EXPECT_FALSE(g[0].faceOnFirst || g[0].faceOnSecond);
    EXPECT_EQ(g[0].body[0], a.get());
    EXPECT_EQ(g[0].area[1], b->getShapes().front());

    Generated reversed(b.get(), a.get());
    ASSERT_EQ(reversed.size(), 1u);
    expectVec(reversed[0].normal, -1.0f, 0.0f);  // always from the first shape to the second
}

TEST(ContactGenerator, CircleGapsInsideTheMarginGiveNegativePenetration) {
    auto a = ball(0.0f, 0.0f, 1.0f);
    auto near = ball(2.05f, 0.0f, 1.0f);
    Generated g(a.get(), near.get());
    ASSERT_EQ(g.size(), 1u);
    EXPECT_NEAR(g[0].penetration, -0.05f, 1e-5f);
    EXPECT_EQ(g[0].closingVelocity, -10.0f);

    auto far = ball(2.15f, 0.0f, 1.0f);
    ContactGenerator<TwoDee> gen;
    EXPECT_FALSE(gen.check(a->getShapes().front(), far->getShapes().front()));
    EXPECT_EQ(Generated(a.get(), far.get()).size(), 0u);
}

TEST(ContactGenerator, BoxRestingOnAWiderBoxTouchesAtBothBottomCorners) {
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto crate = box(0.0f, 1.0f, 2.0f, 2.0f);
    Generated g(floor.get(), crate.get());
    ASSERT_EQ(g.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        expectVec(g[i].normal, 0.0f, 1.0f);
        EXPECT_EQ(g[i].penetration, 0.0f);
        EXPECT_TRUE(g[i].faceOnFirst);
        EXPECT_EQ(g[i].feature[0], 3);  // the floor's top edge
    }
    expectVec(g[0].point, 1.0f, 0.0f);   // the deepest corner first (ties pick corner 2)
    expectVec(g[1].point, -1.0f, 0.0f);  // then its neighbour
    EXPECT_EQ(g[0].feature[1], 2);
    EXPECT_EQ(g[1].feature[1], 1);

    Generated reversed(crate.get(), floor.get());
    ASSERT_EQ(reversed.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        expectVec(reversed[i].normal, 0.0f, -1.0f);
        EXPECT_TRUE(reversed[i].faceOnSecond);
    }
}

TEST(ContactGenerator, AnySeparatingAxisBeyondTheMarginMeansNoContact) {
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto hovering = box(0.0f, 1.15f, 2.0f, 2.0f);
    EXPECT_EQ(Generated(floor.get(), hovering.get()).size(), 0u);
    // Deep overlap in y but 0.2 apart in x.
    auto left = box(0.0f, 0.0f, 2.0f, 2.0f);
    auto right = box(2.2f, 0.5f, 2.0f, 2.0f);
    EXPECT_EQ(Generated(left.get(), right.get()).size(), 0u);
    // A rotated box whose corner stops 0.2 short of a face.
    auto diamond = box(0.0f, 0.0f, 2.0f, 2.0f);
    diamond->setOrientation(Orientation2D(0.78539816f));
    auto wall = box(std::sqrt(2.0f) + 1.2f, 0.0f, 2.0f, 2.0f);
    EXPECT_EQ(Generated(diamond.get(), wall.get()).size(), 0u);
    wall->setPosition(Vector2D(std::sqrt(2.0f) + 0.95f, 0.0f));
    Generated touching(diamond.get(), wall.get());
    ASSERT_GE(touching.size(), 1u);
    EXPECT_NEAR(touching[0].penetration, 0.05f, 1e-4f);
    expectVec(touching[0].normal, 1.0f, 0.0f, 1e-4f);
}

TEST(ContactGenerator, CoincidentShapesStillGiveAContact) {
    auto a = ball(3.0f, 3.0f, 1.0f);
    auto b = ball(3.0f, 3.0f, 1.0f);
    Generated circles(a.get(), b.get());
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].normal, Vector2D(0.0f, 0.0f));  // no direction to choose
    EXPECT_TRUE(circles[0].contactToWorld.isZero());
    EXPECT_EQ(circles[0].normalMass, 0.0f);

    auto c = box(0.0f, 0.0f, 4.0f, 2.0f);
    auto d = box(0.0f, 0.0f, 4.0f, 2.0f);
    Generated boxes(c.get(), d.get());
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].penetration, 2.0f);  // the least-penetration face: the short axis
    EXPECT_EQ(std::fabs(boxes[0].normal.y), 1.0f);
}

TEST(ContactGenerator, CircleAgainstBoxTakesTheFaceOrTheRoundedCorner) {
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto onFace = ball(0.0f, 0.9f, 1.0f);
    Generated face(floor.get(), onFace.get());
    ASSERT_EQ(face.size(), 1u);  // the circle's only vertex is not repeated as its own neighbour
    EXPECT_TRUE(face[0].faceOnFirst);
    expectVec(face[0].normal, 0.0f, 1.0f);
    EXPECT_NEAR(face[0].penetration, 0.1f, 1e-5f);

    // Beyond the corner (5, 0) along the diagonal: the rounded axis wins.
    float s = 0.95f / std::sqrt(2.0f);
    auto offCorner = ball(5.0f + s, s, 1.0f);
    Generated corner(floor.get(), offCorner.get());
    ASSERT_EQ(corner.size(), 1u);
    EXPECT_FALSE(corner[0].faceOnFirst || corner[0].faceOnSecond);
    expectVec(corner[0].normal, 1.0f / std::sqrt(2.0f), 1.0f / std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(corner[0].penetration, 0.05f, 1e-4f);
}

TEST(ContactGenerator, SegmentLyingOnAFaceTouchesAtBothEnds) {
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto* segment = new Line(Vector2D(0.0f, -0.05f));
    segment->m_local_p1 = Vector2D(-1.0f, 0.0f);
    segment->m_local_p2 = Vector2D(1.0f, 0.0f);
    segment->thisMoved();
    BodyPtr rod(new Body<TwoDee>(segment));
    Generated g(floor.get(), rod.get());
    ASSERT_EQ(g.size(), 2u);  // each end once: a segment's two neighbours are one vertex
    EXPECT_NE(g[0].feature[1], g[1].feature[1]);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(g[i].penetration, 0.05f, 1e-6f);
    EXPECT_NEAR(std::fabs(g[0].point.x), 1.0f, 1e-6f);
    EXPECT_NEAR(g[0].point.x, -g[1].point.x, 1e-6f);
}

TEST(ContactGenerator, SingleContactModeEmitsOnePerShapePair) {
    MultiGuard guard;
    Globals::findMultipleContacts = false;
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto crate = box(0.0f, 1.0f, 2.0f, 2.0f);
    Generated g(floor.get(), crate.get());
    ASSERT_EQ(g.size(), 1u);
    expectVec(g[0].point, 1.0f, 0.0f);
}

TEST(ContactGenerator, AdjacentVertexIndicesWrapAround) {
    auto floor = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    // Counter-clockwise from the bottom-right corner: vertices 0 and 3 lie on the
    // floor, and the deepest-point tie picks vertex 0, whose lower neighbour is 3.
    auto square = polygonBody({{1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}});
    Generated g(floor.get(), square.get());
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].feature[1], 0);
    EXPECT_EQ(g[1].feature[1], 3);
    expectVec(g[1].point, 0.0f, 0.0f);

    // The same with the polygon first: the floor's face is the second shape's.
    Generated r(square.get(), floor.get());
    ASSERT_EQ(r.size(), 2u);
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_TRUE(r[i].faceOnSecond);
        EXPECT_GE(r[i].feature[0], 0);
        EXPECT_LT(r[i].feature[0], 4);
    }
    EXPECT_EQ(r[1].feature[0], 3);
}

TEST(ContactRecord, MassTermsForStaticAndPinnedBodies) {
    auto wall = box(0.0f, 0.0f, 2.0f, 2.0f, true);
    auto ground = box(0.0f, -2.0f, 2.0f, 2.0f, true);
    ContactT c;
    c.normal = Vector2D(0.0f, 1.0f);
    c.point = Vector2D(0.0f, -1.0f);
    c.init(ground->getShapes().front(), wall->getShapes().front());
    EXPECT_TRUE(c.velocityPerImpulse.isZero());
    EXPECT_TRUE(c.impulsePerVelocity.isZero());
    EXPECT_EQ(c.normalMass, 0.0f);

    // A pinned (turning only) body pushed straight through its centre cannot
    // respond along the normal: no impulse, not an infinite one.
    auto wheel = box(0.0f, 0.0f, 2.0f, 2.0f);
    wheel->setPinned(true);
    ContactT pinned;
    pinned.normal = Vector2D(0.0f, 1.0f);
    pinned.point = Vector2D(0.0f, -1.0f);
    pinned.init(ground->getShapes().front(), wheel->getShapes().front());
    EXPECT_EQ(pinned.velocityPerImpulse.data[0], 0.0f);
    EXPECT_GT(pinned.velocityPerImpulse.data[3], 0.0f);
    EXPECT_EQ(pinned.normalMass, 0.0f);
    EXPECT_TRUE(std::isfinite(pinned.impulsePerVelocity.data[0]));

    // A free unit body at its centre: K = (1/m) I.
    auto crate = box(0.0f, 0.0f, 2.0f, 2.0f);
    ContactT free;
    free.normal = Vector2D(0.0f, 1.0f);
    free.point = crate->getPosition();
    free.init(ground->getShapes().front(), crate->getShapes().front());
    EXPECT_FLOAT_EQ(free.normalMass, 4.0f);  // mass of a 2 x 2 box of density 1
    EXPECT_FLOAT_EQ(free.impulsePerVelocity.data[3], 4.0f);
}

TEST(ContactRecord, VelocitiesAreMeasuredInContactCoordinates) {
    auto ground = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto crate = box(0.0f, 1.0f, 2.0f, 2.0f);
    crate->setVelocity(Vector2D(3.0f, -2.0f));
    ContactT c;
    c.normal = Vector2D(0.0f, 1.0f);
    c.point = Vector2D(0.0f, 0.0f);
    c.init(ground->getShapes().front(), crate->getShapes().front());
    expectVec(c.contactVelocity, -2.0f, -3.0f);  // x along the normal, y along (-n.y, n.x)
    EXPECT_FLOAT_EQ(c.closingVelocity, 2.0f);
    c.penetration = -0.01f;
    c.calculateVelocities();
    EXPECT_EQ(c.closingVelocity, -10.0f);
}

TEST(ContactRecord, SlidingOffAFaceKillsTheContactAndWakesBoth) {
    auto platform = box(0.0f, -1.0f, 4.0f, 2.0f, true);
    auto crate = box(0.5f, 1.0f, 2.0f, 2.0f);
    Generated g(platform.get(), crate.get());
    ASSERT_EQ(g.size(), 2u);
    ContactT outer = g[0];  // the corner at x = 1.5
    ASSERT_NEAR(outer.point.x, 1.5f, 1e-6f);
    EXPECT_FALSE(outer.invalid());
    crate->setAwake(false);
    crate->setPosition(Vector2D(1.5f, 1.0f));  // that corner is now past the edge at x = 2
    EXPECT_TRUE(outer.invalid());
    outer.calculatePenetration();
    EXPECT_EQ(outer.penetration, -500.0f);
    EXPECT_TRUE(crate->isAwake());

    ContactT inner = g[1];
    inner.calculatePenetration();
    EXPECT_NEAR(inner.penetration, 0.0f, 1e-6f);
    expectVec(inner.point, 0.5f, 0.0f);  // rebuilt from its features on the new placement
    expectVec(inner.r[1], -1.0f, -1.0f);
}

TEST(ContactRecord, PenetrationRuleWakesOnlyOnADeepeningGap) {
    auto ground = box(0.0f, -1.0f, 10.0f, 2.0f, true);
    auto crate = box(0.0f, 1.0f, 2.0f, 2.0f);
    Generated g(ground.get(), crate.get());
    ContactT c = g[0];
    crate->setAwake(false);
    c.setPenetration(-0.005f);  // below the old value, but not past -0.01
    EXPECT_FALSE(crate->isAwake());
    c.setPenetration(-0.02f);
    EXPECT_TRUE(crate->isAwake());
    crate->setAwake(false);
    c.setPenetration(-0.015f);  // rising again
    EXPECT_FALSE(crate->isAwake());
    EXPECT_EQ(c.penetration, -0.015f);
}

TEST(ContactRecord, IdentityIsShapesFlagsAndFeatures) {
    auto a = box(0.0f, 0.0f, 2.0f, 2.0f);
    auto b = box(0.0f, 2.0f, 2.0f, 2.0f);
    ContactT x;
    x.area[0] = a->getShapes().front();
    x.area[1] = b->getShapes().front();
    x.faceOnFirst = true;
    x.feature[0] = 3;
    x.feature[1] = 1;
    ContactT y = x;
    y.penetration = 5.0f;  // state is not identity
    y.normalImpulse = 2.0f;
    EXPECT_TRUE(x == y);
    y.faceOnFirst = false;
    y.faceOnSecond = true;  // same features, swapped flags
    EXPECT_TRUE(x != y);
    y = x;
    y.feature[1] = 2;
    EXPECT_TRUE(x != y);
    y = x;
    std::swap(y.area[0], y.area[1]);
    EXPECT_TRUE(x != y);
}
