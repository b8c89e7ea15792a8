// The contact list: persistence by feature identity, the bodies' contact lists
// kept in step, removal, listeners, and both container variants.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

using ContactT = Contact<TwoDee>;
using VectorList = NaiveContactList<std::vector>;
using ListList = NaiveContactList<std::list>;

// A static floor (top at y = 0) and a 2 x 2 crate, outside any world.
struct FloorAndCrate {
    std::unique_ptr<Body<TwoDee>> floor{new Body<TwoDee>(new Rect(Vector2D(0.0f, -1.0f), 10.0f, 2.0f, 0.0f))};
    std::unique_ptr<Body<TwoDee>> crate;
    ContactGenerator<TwoDee> gen;
    explicit FloorAndCrate(float crateY = 1.0f, float crateX = 0.0f)
        : crate(new Body<TwoDee>(new Rect(Vector2D(crateX, crateY), 2.0f, 2.0f, 0.0f))) {
        floor->setStatic(true);
    }
    std::vector<ContactT*> generate() { return gen.findContacts({{floor.get(), crate.get()}}); }
};

bool listed(const Body<TwoDee>* b, const ContactT* c) {
    return std::find(b->contacts.begin(), b->contacts.end(), c) != b->contacts.end();
}

// Vetoes every contact it hears of while `veto` is set; counts the calls.
struct Vetoer : CollisionListener<TwoDee> {
    bool veto = true;
    std::vector<int> sides;
    bool onCollision(ContactT*, int side) override {
        sides.push_back(side);
        return !veto;
    }
};

}  // namespace

TEST(ContactList, CachingKeepsTheSameRecordsAndTheirImpulses) {
    FloorAndCrate s;
    VectorList list(true);
    list.addContacts(s.generate());
    ASSERT_EQ(list.size(), 2);
    std::vector<ContactT*> first(list.getContacts().begin(), list.getContacts().end());
    first[0]->normalImpulse = 12.5f;
    first[1]->tangentImpulse = -3.0f;
    for (int step = 0; step < 5; ++step) list.addContacts(s.generate());
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.getContacts()[0], first[0]);
    EXPECT_EQ(list.getContacts()[1], first[1]);
    EXPECT_EQ(first[0]->normalImpulse, 12.5f);
    EXPECT_EQ(first[1]->tangentImpulse, -3.0f);
    EXPECT_EQ(s.crate->contacts.size(), 2u);
    EXPECT_EQ(s.floor->contacts.size(), 2u);
}

TEST(ContactList, GapsInsideTheMarginStayAndWiderGapsGo) {
    FloorAndCrate s(1.05f);
    VectorList list(true);
    list.addContacts(s.generate());
    ASSERT_EQ(list.size(), 2);
    for (ContactT* c : list.getContacts()) {
        EXPECT_NEAR(c->penetration, -0.05f, 1e-6f);
        EXPECT_EQ(c->closingVelocity, -10.0f);
    }
    s.crate->setPosition(Vector2D(0.0f, 1.15f));
    list.addContacts({});
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(s.crate->contacts.empty());
    EXPECT_TRUE(s.floor->contacts.empty());
}

TEST(ContactList, CornerSlidingOffAPlatformIsRemovedAtOnce) {
    FloorAndCrate s(1.0f, 3.5f);  // right corner at x = 4.5, floor ends at 5
    VectorList list(true);
    list.addContacts(s.generate());
    ASSERT_EQ(list.size(), 2);
    ContactT* outer = list.getContacts()[0];
    ASSERT_NEAR(outer->point.x, 4.5f, 1e-6f);
    s.crate->setAwake(false);
    s.crate->setPosition(Vector2D(4.5f, 1.0f));  // corner at 5.5: off the face
    list.addContacts({});
    ASSERT_EQ(list.size(), 1);
    EXPECT_NE(list.getContacts()[0], outer);
    EXPECT_NEAR(list.getContacts()[0]->point.x, 3.5f, 1e-6f);
    EXPECT_EQ(s.crate->contacts.size(), 1u);
    EXPECT_TRUE(s.crate->isAwake());
}

TEST(ContactList, NewFeaturesAreAddedAndEqualOnesDropped) {
    FloorAndCrate s;
    VectorList list(true);
    list.addContacts(s.generate());
    // A second crate shape pair producing the same identities adds nothing...
    list.addContacts(s.generate());
    EXPECT_EQ(list.size(), 2);
    // ...while a tilted crate touches with other features and adds them.
    s.crate->setOrientation(Orientation2D(0.3f));
    s.crate->setPosition(Vector2D(0.0f, 1.3f));
    auto fresh = s.generate();
    ASSERT_FALSE(fresh.empty());
    list.addContacts(fresh);
    EXPECT_GE(list.size(), 1);
    for (ContactT* c : list.getContacts()) {
        EXPECT_TRUE(listed(s.crate.get(), c));
        EXPECT_TRUE(listed(s.floor.get(), c));
        EXPECT_GE(c->penetration, -0.1f);
    }
}

TEST(ContactList, WithoutCachingEveryStepStartsAfresh) {
    FloorAndCrate s;
    VectorList list(false);
    list.addContacts(s.generate());
    ContactT* first = list.getContacts()[0];
    first->normalImpulse = 7.0f;
    auto second = s.generate();
    list.addContacts(second);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.getContacts()[0], second[0]);
    EXPECT_EQ(list.getContacts()[0]->normalImpulse, 0.0f);
    EXPECT_EQ(s.crate->contacts, (std::list<ContactT*>{second[0], second[1]}));
}

TEST(ContactList, RemovingABodyDeletesItsContactsAndWakesItsNeighbours) {
    World<TwoDee> world;
    world.setGravity(Vector2D(0.0f, -300.0f));
    auto* floor = scenes::addBox(world, 0.0f, -15.0f, 600.0f, 30.0f, true);
    auto* bottom = scenes::addBox(world, 0.0f, 15.0f, 30.0f, 30.0f, false);
    auto* top = scenes::addBox(world, 0.0f, 45.0f, 30.0f, 30.0f, false);
    world.step();
    ASSERT_GT(world.getContactList()->size(), 2);
    top->setAwake(false);
    world.remove(bottom);
    EXPECT_TRUE(top->isAwake());
    EXPECT_EQ(world.getContactList()->size(), 0);
    EXPECT_TRUE(top->contacts.empty());
    EXPECT_TRUE(floor->contacts.empty());
    EXPECT_TRUE(bottom->contacts.empty());
    delete bottom;
    // The top box now falls onto the floor.
    for (int i = 0; i < 120; ++i) world.step();
    EXPECT_NEAR(top->getPosition().y, 15.0f, 1.0f);
}

TEST(ContactList, ListenersHearEveryContactAndAVetoReleasesIt) {
    FloorAndCrate s;
    Vetoer onFloor;
    Vetoer onCrate;
    onCrate.veto = false;
    s.floor->add(&onFloor);
    s.crate->add(&onCrate);
    VectorList list(true);
    list.addContacts(s.generate());
    ASSERT_EQ(list.size(), 2);
    list.notifyListeners();
    // Both listeners hear both contacts, the vetoing one included.
    EXPECT_EQ(onFloor.sides, (std::vector<int>{0, 0}));
    EXPECT_EQ(onCrate.sides, (std::vector<int>{1, 1}));
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(s.floor->contacts.empty());  // unlinked (and deleted: the sanitizer build checks)
    EXPECT_TRUE(s.crate->contacts.empty());
    // With the veto lifted the same contacts are listed again.
    onFloor.veto = false;
    list.addContacts(s.generate());
    list.notifyListeners();
    EXPECT_EQ(list.size(), 2);
    s.floor->remove(&onFloor);
    s.crate->remove(&onCrate);
}

TEST(ContactList, GreatestVelocityAndPenetrationKeepTheFirstOfEqualOnes) {
    FloorAndCrate s;
    VectorList list(true);
    EXPECT_EQ(list.getGreatestVelocity(), nullptr);
    EXPECT_EQ(list.getGreatestPenetration(), nullptr);
    list.addContacts(s.generate());
    ContactT* a = list.getContacts()[0];
    ContactT* b = list.getContacts()[1];
    EXPECT_EQ(list.getGreatestPenetration(), a);  // tied at 0
    b->penetration = 0.5f;
    EXPECT_EQ(list.getGreatestPenetration(), b);
    s.crate->setVelocity(Vector2D(0.0f, -1.0f));
    s.crate->setRotation(Rotation2D(0.1f));  // the left corner (b) approaches faster
    list.prepareVelocities();
    EXPECT_EQ(list.getGreatestVelocity(), b);
    EXPECT_NEAR(a->closingVelocity, 0.9f, 1e-5f);
    EXPECT_NEAR(b->closingVelocity, 1.1f, 1e-5f);
}

TEST(ContactList, UpdatesFollowTheBodiesContactLists) {
    FloorAndCrate s;
    VectorList list(true);
    list.addContacts(s.generate());
    ContactT* a = list.getContacts()[0];
    ContactT* b = list.getContacts()[1];
    s.crate->setVelocity(Vector2D(0.0f, -2.0f));
    list.updateVelocities(a);
    EXPECT_FLOAT_EQ(b->closingVelocity, 2.0f);

    // Moving the crate (body[1]) by 0.25 along the normal deepens its contacts by
    // that much; the floor (body[0]) moving the same way would lessen them.
    float move[2] = {0.0f, 0.25f};
    list.updatePenetrations(a, move);
    EXPECT_FLOAT_EQ(a->penetration, -0.25f);
    EXPECT_FLOAT_EQ(b->penetration, -0.25f);
    float lift[2] = {0.5f, 0.0f};
    list.updatePenetrations(a, lift);
    EXPECT_FLOAT_EQ(a->penetration, 0.25f);
}

TEST(ContactList, VectorAndListContainersSimulateAlike) {
    auto run = [](ContactList<TwoDee>* contacts) {
        World<TwoDee> world(0.0f, nullptr, nullptr, contacts);
        scenes::useGameGravity(world);
        scenes::buildPyramid(world, 6, 400.0f);
        for (int i = 0; i < 120; ++i) world.step();
        std::vector<float> state;
        for (auto* b : world.bodies) {
            state.push_back(b->getPosition().x);
            state.push_back(b->getPosition().y);
            state.push_back(b->getOrientation().value);
        }
        state.push_back(static_cast<float>(world.getContactList()->size()));
        return state;
    };
    EXPECT_EQ(run(new VectorList(true)), run(new ListList(true)));
}
