// The world: the fixed order of its stages, ownership of what it is given, and
// removal of bodies with their contacts and joints.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

// What the spies saw: stage calls in order, and how many of them were deleted.
struct Log {
    std::vector<std::string> calls;
    int destroyed = 0;
};

struct SpyBroadPhase : QuadtreeBroadPhase {
    Log* log;
    int removed = 0;
    explicit SpyBroadPhase(Log* l) : log(l) {}
    ~SpyBroadPhase() override { ++log->destroyed; }
    void init(World<TwoDee>* w) override {
        log->calls.push_back("broadphase.init");
        QuadtreeBroadPhase::init(w);
    }
    PairList findPairs() override {
        log->calls.push_back("findPairs");
        return QuadtreeBroadPhase::findPairs();
    }
    void bodyRemoved(BodyT* b) override {
        ++removed;
        QuadtreeBroadPhase::bodyRemoved(b);
    }
};

struct SpyContactList : NaiveContactList<std::vector> {
    Log* log;
    int removed = 0;
    explicit SpyContactList(Log* l) : NaiveContactList<std::vector>(true), log(l) {}
    ~SpyContactList() override { ++log->destroyed; }
    void init(World<TwoDee>*) override { log->calls.push_back("contactList.init"); }
    void addContacts(const std::vector<ContactT*>& c) override {
        log->calls.push_back("addContacts");
        NaiveContactList<std::vector>::addContacts(c);
    }
    void notifyListeners() override {
        log->calls.push_back("notifyListeners");
        NaiveContactList<std::vector>::notifyListeners();
    }
    void removeContacts(Body<TwoDee>* b) override {
        ++removed;
        NaiveContactList<std::vector>::removeContacts(b);
    }
};

// A resolver or a force generator: logs its name (and for a resolver, where the
// watched body is at that moment).
struct Spy : ContactResolver<TwoDee>, ForceGenerator {
    std::string name;
    Log* log;
    const Body<TwoDee>* watched = nullptr;
    Spy(std::string n, Log* l) : name(std::move(n)), log(l) {}
    ~Spy() override { ++log->destroyed; }
    void init(World<TwoDee>*) override { log->calls.push_back(name + ".init"); }
    void resolve(ContactList<TwoDee>*, std::vector<Joint<TwoDee>*>*) override {
        log->calls.push_back(name + " at y " + std::to_string(watched->getPosition().y));
    }
    void applyForce(float timeStep) override { log->calls.push_back(name + " " + std::to_string(timeStep)); }
};

}  // namespace

TEST(World, OwnsItsStagesAndStepsThemInOrderThenMoves) {
    Log log;
    {
        auto* velocity = new Spy("resolveVelocities", &log);
        auto* position = new Spy("resolvePenetration", &log);
        World<TwoDee> world(0.5f, new SpyBroadPhase(&log), new ContactGenerator<TwoDee>(), new SpyContactList(&log),
                            velocity, position);
        EXPECT_EQ(log.calls, (std::vector<std::string>{"broadphase.init", "contactList.init", "resolveVelocities.init",
                                                       "resolvePenetration.init"}));
        world.add(new Spy("force", &log));
        Body<TwoDee>* ball = scenes::addBall(world, 0.0f, 10.0f, 1.0f);
        velocity->watched = position->watched = ball;
        log.calls.clear();
        world.step();
        // (The quadtree re-initialises itself inside findPairs: its tree is rebuilt every step.)
        EXPECT_EQ(log.calls, (std::vector<std::string>{"force 0.500000", "findPairs", "broadphase.init", "addContacts",
                                                       "notifyListeners", "resolveVelocities at y 10.000000",
                                                       "resolvePenetration at y 10.000000"}));
        // Velocity first, then position: the ball has moved by v * dt at the end of the step.
        EXPECT_FLOAT_EQ(ball->getVelocity().y, -9.8f * 0.5f);
        EXPECT_FLOAT_EQ(ball->getPosition().y, 10.0f - 9.8f * 0.25f);
        world.setTimeStep(Globals::DEFAULT_TIMESTEP);
        EXPECT_FLOAT_EQ(world.frameRWABias, std::pow(Globals::sleepRWABias, Globals::DEFAULT_TIMESTEP));
    }
    EXPECT_EQ(log.destroyed, 5);  // broad phase, contact list, both resolvers and the force
}

TEST(World, RemovingABodyTakesItsContactsAndJointsAndHandsItBack) {
    Log log;
    auto* broad = new SpyBroadPhase(&log);
    auto* contacts = new SpyContactList(&log);
    World<TwoDee> world(0.0f, broad, nullptr, contacts);
    Body<TwoDee> stranger;
    world.remove(&stranger);  // not in the world: nothing is touched
    EXPECT_EQ(broad->removed + contacts->removed, 0);

    auto* a = scenes::addBall(world, 0.0f, 0.0f, 1.0f);
    auto* b = scenes::addBall(world, 5.0f, 0.0f, 1.0f);
    auto* c = scenes::addBall(world, 10.0f, 0.0f, 1.0f);
    auto* ab = new Joint<TwoDee>();
    ab->set(a, b, Vector2D(2.5f, 0.0f));
    auto* bc = new Joint<TwoDee>();
    bc->set(b, c, Vector2D(7.5f, 0.0f));
    world.add(ab);
    world.add(bc);
    world.remove(a);
    EXPECT_EQ(broad->removed + contacts->removed, 2);
    EXPECT_EQ(world.joints, (std::vector<Joint<TwoDee>*>{bc}));
    EXPECT_EQ(b->joints, (std::list<Joint<TwoDee>*>{bc}));
    EXPECT_TRUE(a->joints.empty());
    EXPECT_EQ(world.bodies, (std::vector<Body<TwoDee>*>{b, c}));
    delete a;  // ownership came back to us

    world.remove(bc);  // taken out everywhere, not deleted
    EXPECT_TRUE(world.joints.empty());
    EXPECT_TRUE(b->joints.empty() && c->joints.empty());
    delete bc;
}

TEST(World, ShapeAddedAloneBecomesStaticScenery) {
    World<TwoDee> world;
    Body<TwoDee>* wall = world.add(new Rect(Vector2D(3.0f, 4.0f), 10.0f, 2.0f, 0.0f));
    EXPECT_TRUE(wall->isStatic());
    EXPECT_EQ(world.bodies.back(), wall);
    for (int i = 0; i < 10; ++i) world.step();
    EXPECT_EQ(wall->getPosition(), Vector2D(3.0f, 4.0f));
}
