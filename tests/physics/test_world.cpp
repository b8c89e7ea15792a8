// The world: the fixed order of its stages, ownership of what it is given, and
// removal of bodies with their contacts and joints.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

// Stage calls in the order they came, and how many stages were deleted.
struct Log {
    std::vector<std::string> calls;
    int destroyed = 0;
};

// A resolver, a force generator or a listener: logs its name, and for a
// resolver where the watched body is at that moment.
struct Spy : ContactResolver<TwoDee>, ForceGenerator, CollisionListener<TwoDee> {
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
    bool onCollision(Contact<TwoDee>*, int) override {
        log->calls.push_back(name);
        return true;
    }
};

}  // namespace

TEST(World, OwnsItsStagesAndStepsThemInOrderThenMoves) {
    Log log;
    Spy listener("listener", &log);
    {
        auto* velocity = new Spy("resolveVelocities", &log);
        auto* position = new Spy("resolvePenetration", &log);
        World<TwoDee> world(0.5f, nullptr, nullptr, nullptr, velocity, position);
        EXPECT_EQ(log.calls, (std::vector<std::string>{"resolveVelocities.init", "resolvePenetration.init"}));
        world.add(new Spy("force", &log));
        scenes::addBox(world, 0.0f, -1.0f, 10.0f, 2.0f, true)->add(&listener);
        Body<TwoDee>* ball = scenes::addBall(world, 0.0f, 1.05f, 1.0f);  // a gap within the margin
        velocity->watched = position->watched = ball;
        log.calls.clear();
        world.step();
        // Contacts are found and heard of between the forces and the resolvers;
        // the bodies move last, velocity first: by v * dt after this step's gravity.
        EXPECT_EQ(log.calls, (std::vector<std::string>{"force 0.500000", "listener", "resolveVelocities at y 1.050000",
                                                       "resolvePenetration at y 1.050000"}));
        EXPECT_FLOAT_EQ(ball->getPosition().y, 1.05f - 9.8f * 0.5f * 0.5f);
        world.setTimeStep(1.0f);  // the sleep averages' weight per step follows the step
        EXPECT_EQ(world.frameRWABias, Globals::sleepRWABias);
    }
    EXPECT_EQ(log.destroyed, 3);  // both resolvers and the force
}

TEST(World, RemovingABodyTakesItsContactsAndJointsAndHandsItBack) {
    World<TwoDee> world;
    auto* a = scenes::addBall(world, 0.0f, 0.0f, 1.0f);
    auto* b = scenes::addBall(world, 1.5f, 0.0f, 1.0f);
    auto* c = scenes::addBall(world, 10.0f, 0.0f, 1.0f);
    auto* ab = new Joint<TwoDee>();
    ab->set(a, b, Vector2D(2.5f, 0.0f));
    ab->ignoreContacts = false;
    auto* bc = new Joint<TwoDee>();
    bc->set(b, c, Vector2D(7.5f, 0.0f));
    world.add(ab);
    world.add(bc);
    world.step();
    ASSERT_EQ(world.getContactList()->size(), 1);
    Body<TwoDee> stranger;
    world.remove(&stranger);  // not in the world: nothing is touched
    EXPECT_EQ(world.getContactList()->size(), 1);

    b->setAwake(false);
    world.remove(a);
    EXPECT_TRUE(b->isAwake());  // what rested on a removed body must be free to fall
    EXPECT_EQ(world.getContactList()->size(), 0);
    EXPECT_TRUE(a->contacts.empty() && b->contacts.empty());
    EXPECT_EQ(world.joints, (std::vector<Joint<TwoDee>*>{bc}));
    EXPECT_EQ(b->joints, (std::list<Joint<TwoDee>*>{bc}));
    EXPECT_TRUE(a->joints.empty());
    EXPECT_EQ(world.bodies, (std::vector<Body<TwoDee>*>{b, c}));
    delete a;  // ownership came back to us
    world.step();  // and the world no longer reaches it

    world.remove(bc);  // taken out everywhere, not deleted
    EXPECT_TRUE(world.joints.empty());
    EXPECT_TRUE(b->joints.empty() && c->joints.empty());
    delete bc;
}
