// The narrow phase, the contact list and the resolvers: separating axes for
// every shape pair, persistence of contacts by their features, listeners,
// restitution and its threshold, the friction cone and degenerate mass terms.
// Only the configuration the world runs is tested: every contact of a pair,
// cached from step to step, in a vector.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

using BodyPtr = std::unique_ptr<Body<TwoDee>>;
using ContactT = Contact<TwoDee>;
using VectorList = NaiveContactList<std::vector>;

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float ROOT_HALF = 0.70710678f;

BodyPtr ball(float x, float y, float r) { return BodyPtr(new Body<TwoDee>(new Circle(Vector2D(x, y), r))); }

Area* crate(float x = 0.0f, float y = 1.0f, float angle = 0.0f, float w = 2.0f, float h = 2.0f) {
    return new Rect(Vector2D(x, y), w, h, Orientation2D(angle));
}

BodyPtr box(float x, float y, float w, float h, bool isStatic = false, float angle = 0.0f) {
    BodyPtr b(new Body<TwoDee>(crate(x, y, angle, w, h)));
    if (isStatic) b->setStatic(true);
    return b;
}

BodyPtr floorBox() { return box(0.0f, -1.0f, 10.0f, 2.0f, true); }  // top face at y = 0, x in [-5, 5]

BodyPtr polygonBody(std::vector<Vector2D> points) {
    return BodyPtr(new Body<TwoDee>(new Polygon(points.data(), static_cast<int>(points.size()))));
}

BodyPtr segmentBody(float x, float y, float halfLength, float radius) {
    return BodyPtr(new Body<TwoDee>(scenes::segment(x, y, halfLength, radius)));
}

// Runs the generator on one pair and takes charge of the contacts.
struct Generated {
    std::vector<std::unique_ptr<ContactT>> contacts;
    Generated(Body<TwoDee>* a, Body<TwoDee>* b) {
        for (ContactT* c : ContactGenerator<TwoDee>().findContacts({{a, b}})) contacts.emplace_back(c);
    }
    std::size_t size() const { return contacts.size(); }
    const ContactT& operator[](std::size_t i) const { return *contacts[i]; }
};

void expectVec(const Vector2D& v, const Vector2D& expected, float tol = 1e-4f) {
    EXPECT_NEAR(v.x, expected.x, tol);
    EXPECT_NEAR(v.y, expected.y, tol);
}

// A static floor and one body on it, outside any world, with the contacts of
// the pair listed as the world lists them.
struct Rig {
    BodyPtr floor = floorBox();
    BodyPtr body;
    VectorList list{true};
    std::vector<Joint<TwoDee>*> joints;

    explicit Rig(Area* shape = crate(), const Vector2D& velocity = Vector2D()) : body(new Body<TwoDee>(shape)) {
        body->setVelocity(velocity);
    }
    std::vector<ContactT*> generate() { return ContactGenerator<TwoDee>().findContacts({{floor.get(), body.get()}}); }
    void collide() { list.addContacts(generate()); }
    std::vector<ContactT*> contacts() const { return {list.getContacts().begin(), list.getContacts().end()}; }
    void resolveVelocities() { CattoVelocityResolver(10).resolve(&list, &joints); }
};

// Vetoes every contact it hears of while `veto` is set; records the sides it was told.
struct Vetoer : CollisionListener<TwoDee> {
    bool veto = true;
    std::vector<int> sides;
    bool onCollision(ContactT*, int side) override {
        sides.push_back(side);
        return !veto;
    }
};

}  // namespace

TEST(ContactGenerator, ShapePairsTable) {
    auto diamond = [](float x) { return box(x, 0.0f, 2.0f, 2.0f, false, 0.78539816f); };
    const float s = 0.95f * ROOT_HALF;
    const struct {
        const char* name;
        BodyPtr a, b;
        std::size_t count;
        Vector2D normal;    // of the first contact, from a to b
        float penetration;  // of the first contact; negative: a gap within the margin
        Vector2D point;     // of the first contact
        int face;           // whose face gives the normal: 1 a's, 2 b's, 0 the rounded axis
        Vector2D second;    // point of the second contact (NaN: not checked)
    } cases[] = {
        {"circles overlapping", ball(0, 0, 1), ball(1.9f, 0, 1), 1, {1, 0}, 0.1f, {0.95f, 0}, 0, {NaN, NaN}},
        {"circles reversed", ball(1.9f, 0, 1), ball(0, 0, 1), 1, {-1, 0}, 0.1f, {0.95f, 0}, 0, {NaN, NaN}},
        {"circles in the margin", ball(0, 0, 1), ball(2.05f, 0, 1), 1, {1, 0}, -0.05f, {1.025f, 0}, 0, {NaN, NaN}},
        {"circles apart", ball(0, 0, 1), ball(2.15f, 0, 1), 0, {}, 0, {}, 0, {NaN, NaN}},
        {"coincident circles", ball(3, 3, 1), ball(3, 3, 1), 1, {0, 0}, 0.0f, {3, 3}, 0, {NaN, NaN}},
        // The deepest corner first (ties pick corner 2), then its neighbour.
        {"crate on floor", floorBox(), box(0, 1, 2, 2), 2, {0, 1}, 0.0f, {1, 0}, 1, {-1, 0}},
        {"floor under crate", box(0, 1, 2, 2), floorBox(), 2, {0, -1}, 0.0f, {1, 0}, 2, {-1, 0}},
        {"crate hovering", floorBox(), box(0, 1.15f, 2, 2), 0, {}, 0, {}, 0, {NaN, NaN}},
        {"diamond short of a wall", diamond(0), box(std::sqrt(2.0f) + 1.2f, 0, 2, 2), 0, {}, 0, {}, 0, {NaN, NaN}},
        {"diamond into a wall", diamond(0), box(std::sqrt(2.0f) + 0.95f, 0, 2, 2), 1, {1, 0}, 0.05f,
         {std::sqrt(2.0f), 0}, 2, {NaN, NaN}},
        // The least-penetration face (the short axis); both neighbours of the corner found lie within the margin.
        {"coincident boxes", box(0, 0, 4, 2), box(0, 0, 4, 2), 3, {0, -1}, 2.0f, {2, 1}, 1, {2, -1}},
        // A circle's only vertex is not repeated as its own neighbour.
        {"circle on a face", floorBox(), ball(0, 0.9f, 1), 1, {0, 1}, 0.1f, {0, -0.1f}, 1, {NaN, NaN}},
        {"circle off a corner", floorBox(), ball(5 + s, s, 1), 1, {ROOT_HALF, ROOT_HALF}, 0.05f,
         {5 - 0.025f * ROOT_HALF, -0.025f * ROOT_HALF}, 0, {NaN, NaN}},  // mid-overlap, inside the corner
        // Each end once: a segment's two neighbours are one vertex.
        {"segment on a face", floorBox(), segmentBody(0, -0.05f, 1, 0), 2, {0, 1}, 0.05f, {-1, -0.05f}, 1, {1, -0.05f}},
        {"capsule on a face", floorBox(), segmentBody(0, 0.4f, 1, 0.5f), 2, {0, 1}, 0.1f, {-1, -0.1f}, 1, {NaN, NaN}},
        // Counter-clockwise from the bottom-right corner: vertices 0 and 3 lie on
        // the floor, and the deepest-point tie picks 0, whose lower neighbour is 3.
        {"neighbour index wraps", floorBox(), polygonBody({{1, 0}, {1, 1}, {0, 1}, {0, 0}}), 2, {0, 1}, 0.0f,
         {1, 0}, 1, {0, 0}},
        {"wraps on the second", polygonBody({{1, 0}, {1, 1}, {0, 1}, {0, 0}}), floorBox(), 2, {0, -1}, 0.0f,
         {1, 0}, 2, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Generated g(c.a.get(), c.b.get());
        EXPECT_EQ(g.size(), c.count);
        if (g.size() != c.count) continue;
        if (c.count == 0) {
            EXPECT_FALSE(ContactGenerator<TwoDee>().check(c.a->getShapes().front(), c.b->getShapes().front()));
            continue;
        }
        expectVec(g[0].normal, c.normal);
        EXPECT_NEAR(g[0].penetration, c.penetration, 1e-4f);
        expectVec(g[0].point, c.point);
        EXPECT_EQ(g[0].faceOnFirst, c.face == 1);
        EXPECT_EQ(g[0].faceOnSecond, c.face == 2);
        if (c.count > 1 && !std::isnan(c.second.x)) expectVec(g[1].point, c.second);
        for (std::size_t i = 0; i < g.size(); ++i) {
            EXPECT_EQ(g[i].body[0], c.a.get());
            for (int k = 0; k < 2; ++k) {
                EXPECT_GE(g[i].feature[k], 0);
                EXPECT_LT(g[i].feature[k], g[i].area[k]->getVertexCount());
            }
        }
    }
}

TEST(ContactRecord, IdentityIsShapesFlagsAndFeaturesNotState) {
    Rig rig;
    Generated g(rig.floor.get(), rig.body.get());
    ContactT state = g[0], rounded = g[0], swapped = g[0];
    state.penetration = 5.0f;
    state.normalImpulse = 2.0f;
    rounded.faceOnFirst = false;
    ContactT faceOnSecond = rounded;
    faceOnSecond.faceOnSecond = true;
    std::swap(swapped.area[0], swapped.area[1]);
    EXPECT_TRUE(g[0] == state);
    for (const ContactT& other : {g[1], rounded, swapped}) EXPECT_TRUE(g[0] != other);  // g[1]: another vertex
    EXPECT_TRUE(rounded != faceOnSecond);
}

TEST(ContactRecord, OnlyAGapDeepeningPastOneHundredthWakesTheBodies) {
    Rig rig;
    Generated g(rig.floor.get(), rig.body.get());
    ContactT c = g[0];
    rig.body->setAwake(false);
    c.setPenetration(-0.005f);
    EXPECT_FALSE(rig.body->isAwake());
    c.setPenetration(-0.02f);
    EXPECT_TRUE(rig.body->isAwake());
    rig.body->setAwake(false);
    c.setPenetration(-0.015f);  // closing again
    EXPECT_FALSE(rig.body->isAwake());
}

TEST(ContactList, CornerSlidingOffAFaceIsDroppedAtOnceAndWakesTheCrate) {
    Rig rig(crate(3.5f));  // right corner at x = 4.5, the floor ends at 5
    rig.collide();
    ASSERT_EQ(rig.list.size(), 2);
    ContactT* outer = rig.contacts()[0];
    ASSERT_NEAR(outer->point.x, 4.5f, 1e-6f);
    rig.body->setAwake(false);
    rig.body->setPosition(Vector2D(4.5f, 1.0f));  // that corner is now past the edge
    EXPECT_TRUE(outer->invalid());
    rig.list.addContacts({});
    ASSERT_EQ(rig.list.size(), 1);
    EXPECT_TRUE(rig.body->isAwake());
    const ContactT* inner = rig.contacts()[0];
    expectVec(inner->point, Vector2D(3.5f, 0.0f));  // rebuilt from its features on the new placement
    expectVec(inner->r[1], Vector2D(-1.0f, -1.0f));
    EXPECT_EQ(rig.body->contacts, (std::vector<ContactT*>{rig.contacts()[0]}));
}

TEST(ContactList, ListenersHearEveryContactAndAVetoReleasesIt) {
    Rig rig;
    Vetoer onFloor;
    Vetoer onCrate;
    onCrate.veto = false;
    rig.floor->add(&onFloor);
    rig.body->add(&onCrate);
    rig.collide();
    rig.list.notifyListeners();
    // Both listeners hear both contacts, the vetoing one included.
    EXPECT_EQ(onFloor.sides, (std::vector<int>{0, 0}));
    EXPECT_EQ(onCrate.sides, (std::vector<int>{1, 1}));
    EXPECT_EQ(rig.list.size(), 0);
    EXPECT_TRUE(rig.floor->contacts.empty());  // unlinked (and deleted: the sanitizer build checks)
    EXPECT_TRUE(rig.body->contacts.empty());
    onFloor.veto = false;  // lifted: the same contacts are listed again
    rig.collide();
    rig.list.notifyListeners();
    EXPECT_EQ(rig.list.size(), 2);
    rig.floor->remove(&onFloor);
    rig.body->remove(&onCrate);
}

TEST(VelocityResolver, BouncesWithTheMeanRestitutionOnlyAboveTheThreshold) {
    // The threshold (0.2 units/s) is strict: an approach of exactly 0.2 stays
    // put, the next float above it bounces, and so does 0.3 (which a threshold
    // read as 0.4 would not).
    const float threshold = Globals::restitutionThreshold;
    ASSERT_EQ(threshold, 0.2f);
    const struct {
        float ball, floor;  // restitutions
        float approach, rebound;
    } cases[] = {
        {0.4f, 0.4f, 100.0f, 40.0f},
        {0.8f, 0.4f, 10.0f, 6.0f},
        {1.0f, 1.0f, 0.19f, 0.0f},
        {1.0f, 1.0f, threshold, 0.0f},
        {1.0f, 1.0f, std::nextafter(threshold, 1.0f), std::nextafter(threshold, 1.0f)},
        {1.0f, 1.0f, 0.3f, 0.3f},
    };
    for (const auto& c : cases) {
        Rig rig(new Circle(Vector2D(0.0f, 1.0f), 1.0f), Vector2D(0.0f, -c.approach));
        rig.body->setRestitution(c.ball);
        rig.floor->setRestitution(c.floor);
        rig.collide();
        ASSERT_EQ(rig.list.size(), 1);
        ASSERT_EQ(rig.contacts()[0]->closingVelocity, c.approach);  // measured exactly, so the edge is the edge
        rig.resolveVelocities();
        EXPECT_NEAR(rig.body->getVelocity().y, c.rebound, 1e-5f * c.approach) << c.approach;
        EXPECT_EQ(rig.body->getVelocity().x, 0.0f);
    }
}

TEST(VelocityResolver, ImpulsesStayNonNegativeAndFrictionInsideItsCone) {
    World<TwoDee> world;
    scenes::useGameGravity(world);
    scenes::Material slippery;
    slippery.friction = 0.3f;
    scenes::addBox(world, 0.0f, -15.0f, 2000.0f, 30.0f, true, slippery);
    for (int i = 0; i < 4; ++i) {
        auto* b = scenes::addBox(world, -200.0f + 90.0f * i, 40.0f + 20.0f * i, 30.0f, 20.0f, false, slippery);
        b->setVelocity(Vector2D(150.0f - 70.0f * i, -40.0f));
        b->setRotation(Rotation2D(3.0f - 2.0f * i));
    }
    auto* list = static_cast<NaiveContactList<std::vector>*>(world.getContactList());
    int checked = 0;
    for (int step = 0; step < 240; ++step) {
        world.step();
        for (ContactT* c : list->getContacts()) {
            EXPECT_GE(c->normalImpulse, 0.0f);
            EXPECT_LE(std::fabs(c->tangentImpulse), 0.3f * c->normalImpulse * (1.0f + 1e-6f) + 1e-6f);
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(VelocityResolver, OnlyAFirmPressWakesASleepingBody) {
    BodyPtr lower = box(0.0f, 1.0f, 2.0f, 2.0f);
    BodyPtr upper = box(0.0f, 3.0f, 2.0f, 2.0f);
    lower->setAwake(false);
    VectorList list(true);
    list.addContacts(ContactGenerator<TwoDee>().findContacts({{lower.get(), upper.get()}}));
    std::vector<Joint<TwoDee>*> joints;
    // Stopping 0.1 units/s needs far less than twice a contact's normal mass (0.8 here).
    upper->setVelocity(Vector2D(0.0f, -0.1f));
    CattoVelocityResolver(10).resolve(&list, &joints);
    EXPECT_FALSE(lower->isAwake());
    EXPECT_NEAR(upper->getVelocity().y, 0.0f, 1e-4f);
    upper->setVelocity(Vector2D(0.0f, -10.0f));
    CattoVelocityResolver(10).resolve(&list, &joints);
    EXPECT_TRUE(lower->isAwake());
    EXPECT_LT(lower->getVelocity().y, 0.0f);  // once awake it takes its share
}

TEST(VelocityResolver, ImmovablePairsAndDegenerateMassesApplyNothing) {
    // A pinned body (it can only turn) pushed through its centre: the normal
    // mass is 0, and the resolver must not produce infinities.
    Rig rig;
    rig.body->setPinned(true);
    rig.collide();
    rig.body->setRotation(Rotation2D(0.5f));
    ContactT* c = rig.contacts()[0];
    c->point = rig.body->getPosition() - Vector2D(0.0f, 1.0f);
    c->r[1] = c->point - rig.body->getPosition();
    c->r[0] = c->point - rig.floor->getPosition();
    c->calculateMass();
    EXPECT_EQ(c->normalMass, 0.0f);
    rig.resolveVelocities();
    EXPECT_TRUE(std::isfinite(rig.body->getRotation().value));
    EXPECT_EQ(rig.body->getVelocity(), Vector2D(0.0f, 0.0f));

    // Two static bodies, also pinned to each other: zero matrices, skipped.
    Rig still;
    still.body->setStatic(true);
    still.collide();
    auto* pin = new Joint<TwoDee>();
    pin->set(still.floor.get(), still.body.get(), Vector2D(0.0f, 0.0f));
    still.joints.push_back(pin);
    still.body->translate(Vector2D(1.0f, 0.0f));
    still.resolveVelocities();
    CattoPositionResolver(10).resolve(&still.list, &still.joints);
    EXPECT_TRUE(pin->velocityPerImpulse.isZero());
    EXPECT_EQ(still.body->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(still.body->getBiasVelocity(), Vector2D(0.0f, 0.0f));
    delete pin;
}
