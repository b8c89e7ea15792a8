// Velocity and position resolvers: restitution, friction, warm starting,
// waking, degenerate mass terms and bias impulses.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

using ContactT = Contact<TwoDee>;
using BodyPtr = std::unique_ptr<Body<TwoDee>>;

// A static floor (top at y = 0) and one body resting on it, with their contacts
// listed as the world would list them.
struct Rig {
    BodyPtr floor{new Body<TwoDee>(new Rect(Vector2D(0.0f, -1.0f), 10.0f, 2.0f, 0.0f))};
    BodyPtr body;
    NaiveContactList<std::vector> list{true};
    ContactGenerator<TwoDee> gen;
    std::vector<Joint<TwoDee>*> joints;

    explicit Rig(Area* shape) : body(new Body<TwoDee>(shape)) { floor->setStatic(true); }
    void collide() { list.addContacts(gen.findContacts({{floor.get(), body.get()}})); }
    std::vector<ContactT*> contacts() const {
        return std::vector<ContactT*>(list.getContacts().begin(), list.getContacts().end());
    }
    void setMaterial(float restitution, float friction) {
        for (Body<TwoDee>* b : {floor.get(), body.get()}) {
            b->setRestitution(restitution);
            b->setFriction(friction);
        }
    }
};

Area* crateShape(float y = 1.0f) { return new Rect(Vector2D(0.0f, y), 2.0f, 2.0f, 0.0f); }

}  // namespace

TEST(VelocityResolver, BounceKeepsTheMeanRestitutionOfTheApproachSpeed) {
    Rig rig(new Circle(Vector2D(0.0f, 1.0f), 1.0f));
    rig.setMaterial(0.4f, 0.5f);
    rig.body->setVelocity(Vector2D(0.0f, -100.0f));
    rig.collide();
    ASSERT_EQ(rig.list.size(), 1);
    CattoVelocityResolver(10).resolve(&rig.list, &rig.joints);
    EXPECT_NEAR(rig.body->getVelocity().y, 40.0f, 1e-3f);
    EXPECT_NEAR(rig.body->getVelocity().x, 0.0f, 1e-6f);

    // Mixed restitutions average: (0.4 + 0.8) / 2.
    Rig mixed(new Circle(Vector2D(0.0f, 1.0f), 1.0f));
    mixed.body->setRestitution(0.8f);
    mixed.floor->setRestitution(0.4f);
    mixed.body->setVelocity(Vector2D(0.0f, -10.0f));
    mixed.collide();
    CattoVelocityResolver(10).resolve(&mixed.list, &mixed.joints);
    EXPECT_NEAR(mixed.body->getVelocity().y, 6.0f, 1e-4f);
}

TEST(VelocityResolver, OnlyApproachesFasterThanTheThresholdBounce) {
    // The threshold (0.2 units/s) is strict: an approach of exactly 0.2 stays
    // put, the next float above it bounces, and so does 0.3 (which a threshold
    // read as 0.4 would not).
    const float threshold = Globals::restitutionThreshold;
    ASSERT_EQ(threshold, 0.2f);
    const struct {
        float approach;
        bool bounces;
    } cases[] = {
        {0.19f, false},
        {threshold, false},
        {std::nextafter(threshold, 1.0f), true},
        {0.3f, true},
    };
    for (const auto& c : cases) {
        Rig rig(new Circle(Vector2D(0.0f, 1.0f), 1.0f));
        rig.setMaterial(1.0f, 0.5f);
        rig.body->setVelocity(Vector2D(0.0f, -c.approach));
        rig.collide();
        ASSERT_EQ(rig.list.size(), 1);
        ASSERT_EQ(rig.contacts()[0]->closingVelocity, c.approach);  // measured exactly, so the edge is the edge
        CattoVelocityResolver(10).resolve(&rig.list, &rig.joints);
        EXPECT_NEAR(rig.body->getVelocity().y, c.bounces ? c.approach : 0.0f, 1e-6f) << c.approach;
    }
}

TEST(VelocityResolver, GapContactsTakeNoImpulseAndForgetTheirs) {
    Rig rig(crateShape(1.05f));
    rig.body->setVelocity(Vector2D(0.0f, -1.0f));
    rig.collide();
    ASSERT_EQ(rig.list.size(), 2);
    for (ContactT* c : rig.contacts()) {
        c->normalImpulse = 3.0f;
        c->tangentImpulse = 1.0f;
        c->biasImpulse = 2.0f;
    }
    CattoVelocityResolver(10).resolve(&rig.list, &rig.joints);
    for (ContactT* c : rig.contacts()) {
        EXPECT_EQ(c->normalImpulse, 0.0f);
        EXPECT_EQ(c->tangentImpulse, 0.0f);
        EXPECT_EQ(c->biasImpulse, 0.0f);
    }
    EXPECT_EQ(rig.body->getVelocity(), Vector2D(0.0f, -1.0f));
}

TEST(VelocityResolver, ZeroIterationsApplyOnlyTheWarmStart) {
    Rig rig(crateShape(0.99f));  // overlapping: touching-only contacts are not warm started
    rig.collide();
    ASSERT_EQ(rig.list.size(), 2);
    rig.contacts()[0]->normalImpulse = 2.0f;
    rig.contacts()[1]->normalImpulse = 2.0f;
    rig.contacts()[0]->tangentImpulse = 1.0f;  // t = (-1, 0) for the normal (0, 1)
    rig.contacts()[1]->tangentImpulse = 1.0f;
    CattoVelocityResolver(0).resolve(&rig.list, &rig.joints);
    // Mass 4: (2 + 2) / 4 up, (1 + 1) / 4 along -x. The normal impulses at the
    // two corners turn the crate equally both ways; the friction impulses, 0.995
    // below its centre (the points sit mid-overlap), turn it clockwise with
    // inverse moment 3/8.
    EXPECT_FLOAT_EQ(rig.body->getVelocity().y, 1.0f);
    EXPECT_FLOAT_EQ(rig.body->getVelocity().x, -0.5f);
    EXPECT_NEAR(rig.body->getRotation().value, -2.0f * 0.995f * 0.375f, 1e-5f);
    EXPECT_EQ(rig.contacts()[0]->normalImpulse, 2.0f);
}

TEST(VelocityResolver, ImpulsesStayNonNegativeAndFrictionInsideItsCone) {
    World<TwoDee> world;
    scenes::useGameGravity(world);
    scenes::Material slippery;
    slippery.friction = 0.3f;
    scenes::addBox(world, 0.0f, -15.0f, 2000.0f, 30.0f, true, slippery);
    std::vector<Body<TwoDee>*> crates;
    for (int i = 0; i < 4; ++i) {
        auto* b = scenes::addBox(world, -200.0f + 90.0f * i, 40.0f + 20.0f * i, 30.0f, 20.0f, false, slippery);
        b->setVelocity(Vector2D(150.0f - 70.0f * i, -40.0f));
        b->setRotation(Rotation2D(3.0f - 2.0f * i));
        crates.push_back(b);
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

TEST(VelocityResolver, FrictionIsTheGeometricMeanOfBothShapes) {
    Rig rig(crateShape());
    rig.floor->setFriction(0.0f);  // the crate keeps the default 0.5
    rig.body->setVelocity(Vector2D(20.0f, -1.0f));
    rig.collide();
    CattoVelocityResolver(10).resolve(&rig.list, &rig.joints);
    EXPECT_FLOAT_EQ(rig.body->getVelocity().x, 20.0f);
    for (ContactT* c : rig.contacts()) EXPECT_EQ(c->tangentImpulse, 0.0f);

    Rig rough(crateShape());
    rough.body->setFriction(0.8f);
    rough.floor->setFriction(0.2f);  // sqrt(0.16) = 0.4
    rough.body->setVelocity(Vector2D(20.0f, -1.0f));
    rough.collide();
    CattoVelocityResolver(10).resolve(&rough.list, &rough.joints);
    float normal = 0.0f, tangent = 0.0f;
    for (ContactT* c : rough.contacts()) {
        normal += c->normalImpulse;
        tangent += c->tangentImpulse;
    }
    EXPECT_NEAR(std::fabs(tangent), 0.4f * normal, 1e-3f);  // sliding: the cone's edge
    EXPECT_LT(rough.body->getVelocity().x, 20.0f);
}

TEST(VelocityResolver, APressingBodyWakesASleepingOne) {
    NaiveContactList<std::vector> list(true);
    ContactGenerator<TwoDee> gen;
    std::vector<Joint<TwoDee>*> joints;
    BodyPtr lower(new Body<TwoDee>(crateShape(1.0f)));
    BodyPtr upper(new Body<TwoDee>(crateShape(3.0f)));
    lower->setAwake(false);
    // Stopping 0.1 units/s needs far less than twice a contact's normal mass (0.8 here).
    upper->setVelocity(Vector2D(0.0f, -0.1f));
    list.addContacts(gen.findContacts({{lower.get(), upper.get()}}));
    ASSERT_GT(list.size(), 0);
    CattoVelocityResolver(10).resolve(&list, &joints);
    EXPECT_FALSE(lower->isAwake());  // a gentle touch leaves the sleeper alone
    EXPECT_NEAR(upper->getVelocity().y, 0.0f, 1e-4f);

    upper->setVelocity(Vector2D(0.0f, -10.0f));
    list.addContacts({});
    CattoVelocityResolver(10).resolve(&list, &joints);
    EXPECT_TRUE(lower->isAwake());
    EXPECT_LT(lower->getVelocity().y, 0.0f);  // once awake it takes its share
}

TEST(VelocityResolver, ImmovablePairsAndDegenerateMassesApplyNothing) {
    // A pinned body (it can only turn) pushed through its centre: the normal
    // mass is 0, and the resolver must not produce infinities.
    Rig rig(crateShape());
    rig.body->setPinned(true);
    rig.body->setRotation(Rotation2D(0.5f));
    rig.collide();
    ContactT* c = rig.contacts()[0];
    c->point = rig.body->getPosition() - Vector2D(0.0f, 1.0f);
    c->r[1] = c->point - rig.body->getPosition();
    c->r[0] = c->point - rig.floor->getPosition();
    c->calculateMass();
    EXPECT_EQ(c->normalMass, 0.0f);
    CattoVelocityResolver(10).resolve(&rig.list, &rig.joints);
    EXPECT_TRUE(std::isfinite(rig.body->getRotation().value));
    EXPECT_EQ(rig.body->getVelocity(), Vector2D(0.0f, 0.0f));

    // Two static bodies: zero matrices, skipped.
    Rig still(crateShape());
    still.body->setStatic(true);
    still.collide();
    CattoVelocityResolver(10).resolve(&still.list, &still.joints);
    CattoPositionResolver(10).resolve(&still.list, &still.joints);
    EXPECT_EQ(still.body->getVelocity(), Vector2D(0.0f, 0.0f));
    EXPECT_EQ(still.body->getBiasVelocity(), Vector2D(0.0f, 0.0f));
}

TEST(PositionResolver, SmallOverlapsAreLeftAlone) {
    Rig rig(crateShape(1.0f - 0.005f));
    rig.collide();
    CattoPositionResolver(10).resolve(&rig.list, &rig.joints);
    EXPECT_EQ(rig.body->getBiasVelocity(), Vector2D(0.0f, 0.0f));
}

TEST(PositionResolver, DeepOverlapAimsForFourFifthsBeyondTheSlop) {
    Rig rig(crateShape(1.0f - 0.105f));
    rig.collide();
    for (ContactT* c : rig.contacts()) ASSERT_NEAR(c->penetration, 0.105f, 1e-5f);
    CattoPositionResolver(10).resolve(&rig.list, &rig.joints);
    // 0.8 * (0.105 - 0.005) = 0.08 of separation at each contact.
    EXPECT_NEAR(rig.body->getBiasVelocity().y, 0.08f, 1e-4f);
    EXPECT_NEAR(rig.body->getBiasRotation().value, 0.0f, 1e-4f);
    EXPECT_EQ(rig.floor->getBiasVelocity(), Vector2D(0.0f, 0.0f));  // static: untouched
    EXPECT_EQ(rig.body->getVelocity(), Vector2D(0.0f, 0.0f));      // no real momentum
    for (ContactT* c : rig.contacts()) {
        EXPECT_GE(c->biasImpulse, 0.0f);
        EXPECT_GT(c->bias, 0.0f);
    }
}

TEST(PositionResolver, NeverPullsAContactTogether) {
    Rig rig(crateShape(1.0f - 0.05f));
    rig.collide();
    // The body already separates fast in bias terms: nothing may hold it back.
    rig.body->m_biasVelocity = Vector2D(0.0f, 1.0f);
    CattoPositionResolver(10).resolve(&rig.list, &rig.joints);
    EXPECT_EQ(rig.body->getBiasVelocity(), Vector2D(0.0f, 1.0f));
    for (ContactT* c : rig.contacts()) EXPECT_EQ(c->biasImpulse, 0.0f);
}
