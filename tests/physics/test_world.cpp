// The world: construction defaults, ownership, adding and removing bodies,
// joints and force generators, and the fixed order of the step's stages.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

std::vector<std::string> g_log;  // stage calls, in order

struct SpyBroadPhase : QuadtreeBroadPhase {
    int* destroyed;
    int removed = 0;
    explicit SpyBroadPhase(int* d) : destroyed(d) {}
    ~SpyBroadPhase() override { ++*destroyed; }
    void init(World<TwoDee>* w) override {
        g_log.push_back("broadphase.init");
        QuadtreeBroadPhase::init(w);
    }
    PairList findPairs() override {
        g_log.push_back("findPairs");
        return QuadtreeBroadPhase::findPairs();
    }
    void bodyRemoved(BodyT* b) override {
        ++removed;
        QuadtreeBroadPhase::bodyRemoved(b);
    }
};

struct SpyContactList : NaiveContactList<std::vector> {
    int* destroyed;
    int removed = 0;
    explicit SpyContactList(int* d) : NaiveContactList<std::vector>(true), destroyed(d) {}
    ~SpyContactList() override { ++*destroyed; }
    void init(World<TwoDee>*) override { g_log.push_back("contactList.init"); }
    void addContacts(const std::vector<ContactT*>& c) override {
        g_log.push_back("addContacts");
        NaiveContactList<std::vector>::addContacts(c);
    }
    void notifyListeners() override {
        g_log.push_back("notifyListeners");
        NaiveContactList<std::vector>::notifyListeners();
    }
    void removeContacts(Body<TwoDee>* b) override {
        ++removed;
        NaiveContactList<std::vector>::removeContacts(b);
    }
};

struct SpyResolver : ContactResolver<TwoDee> {
    std::string name;
    int* destroyed;
    SpyResolver(std::string n, int* d) : name(std::move(n)), destroyed(d) {}
    ~SpyResolver() override { ++*destroyed; }
    void init(World<TwoDee>*) override { g_log.push_back(name + ".init"); }
    void resolve(ContactList<TwoDee>*, std::vector<Joint<TwoDee>*>*) override { g_log.push_back(name); }
};

struct SpyForce : ForceGenerator {
    int* destroyed;
    float lastStep = 0.0f;
    explicit SpyForce(int* d) : destroyed(d) {}
    ~SpyForce() override { ++*destroyed; }
    void applyForce(float timeStep) override {
        lastStep = timeStep;
        g_log.push_back("force");
    }
};

Body<TwoDee>* ballAt(World<TwoDee>& w, float x, float y, float r = 1.0f) { return scenes::addBall(w, x, y, r); }

}  // namespace

TEST(World, DefaultsAndTimeStep) {
    World<TwoDee> world(0.0f);
    EXPECT_EQ(world.getTimeStep(), Globals::DEFAULT_TIMESTEP);
    EXPECT_FLOAT_EQ(world.frameRWABias, std::pow(0.5f, 1.0f / 60.0f));
    EXPECT_EQ(world.getGravity(), Vector2D(0.0f, -9.8f));
    EXPECT_NE(dynamic_cast<QuadtreeBroadPhase*>(world.getBroadPhase()), nullptr);
    EXPECT_NE(dynamic_cast<NaiveContactList<std::vector>*>(world.getContactList()), nullptr);
    auto* velocity = dynamic_cast<CattoVelocityResolver*>(world.getVelocityResolver());
    auto* position = dynamic_cast<CattoPositionResolver*>(world.getPositionResolver());
    ASSERT_NE(velocity, nullptr);
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(velocity->m_iterations, 10);
    EXPECT_EQ(position->m_iterations, 10);
    EXPECT_EQ(world.getProfiler(), &Profiler::profiler);

    world.setTimeStep(0.02f);
    EXPECT_NEAR(world.frameRWABias, 0.98623f, 1e-5f);
    EXPECT_EQ(Globals::inverseTimeStep, 60.0f);
}

TEST(World, OwnsItsStagesAndInitialisesThemInOrder) {
    g_log.clear();
    int destroyed = 0;
    {
        World<TwoDee> world(0.0f, new SpyBroadPhase(&destroyed), new ContactGenerator<TwoDee>(),
                            new SpyContactList(&destroyed), new SpyResolver("velocity", &destroyed),
                            new SpyResolver("position", &destroyed));
        EXPECT_EQ(g_log, (std::vector<std::string>{"broadphase.init", "contactList.init", "velocity.init",
                                                   "position.init"}));
        world.add(new SpyForce(&destroyed));
    }
    EXPECT_EQ(destroyed, 5);
}

TEST(World, StepRunsTheStagesInOrderThenMoves) {
    int destroyed = 0;
    World<TwoDee> world(0.0f, new SpyBroadPhase(&destroyed), nullptr, new SpyContactList(&destroyed),
                        new SpyResolver("resolveVelocities", &destroyed),
                        new SpyResolver("resolvePenetration", &destroyed));
    auto* force = new SpyForce(&destroyed);
    world.add(force);
    Body<TwoDee>* ball = ballAt(world, 0.0f, 10.0f);
    g_log.clear();
    world.step();
    // (The quadtree re-initialises itself inside findPairs: its tree is rebuilt every step.)
    EXPECT_EQ(g_log, (std::vector<std::string>{"force", "findPairs", "broadphase.init", "addContacts",
                                               "notifyListeners", "resolveVelocities", "resolvePenetration"}));
    EXPECT_EQ(force->lastStep, world.getTimeStep());
    // Velocity first, then position: the ball has already moved by v * dt.
    EXPECT_FLOAT_EQ(ball->getVelocity().y, -9.8f / 60.0f);
    EXPECT_FLOAT_EQ(ball->getPosition().y, 10.0f + (-9.8f / 60.0f) * (1.0f / 60.0f));

    world.remove(force);
    g_log.clear();
    world.step();
    EXPECT_EQ(g_log.front(), "findPairs");
    delete force;
}

TEST(World, RemovingAnAbsentBodyTouchesNothing) {
    int destroyed = 0;
    auto* broad = new SpyBroadPhase(&destroyed);
    auto* contacts = new SpyContactList(&destroyed);
    World<TwoDee> world(0.0f, broad, nullptr, contacts);
    ballAt(world, 0.0f, 0.0f);
    Body<TwoDee> stranger;
    world.remove(&stranger);
    EXPECT_EQ(broad->removed, 0);
    EXPECT_EQ(contacts->removed, 0);
    EXPECT_EQ(world.bodies.size(), 1u);
}

TEST(World, RemovingABodyDeletesItsJointsAndHandsItBack) {
    World<TwoDee> world;
    auto* a = ballAt(world, 0.0f, 0.0f);
    auto* b = ballAt(world, 5.0f, 0.0f);
    auto* c = ballAt(world, 10.0f, 0.0f);
    auto* ab = new Joint<TwoDee>();
    ab->set(a, b, Vector2D(2.5f, 0.0f));
    auto* bc = new Joint<TwoDee>();
    bc->set(b, c, Vector2D(7.5f, 0.0f));
    world.add(ab);
    world.add(bc);
    EXPECT_EQ(b->joints.size(), 2u);
    world.remove(a);
    EXPECT_EQ(world.joints, (std::vector<Joint<TwoDee>*>{bc}));
    EXPECT_EQ(b->joints, (std::list<Joint<TwoDee>*>{bc}));
    EXPECT_TRUE(a->joints.empty());
    EXPECT_EQ(world.bodies, (std::vector<Body<TwoDee>*>{b, c}));
    delete a;  // ownership came back to us

    world.remove(bc);  // taken out everywhere, not deleted
    EXPECT_TRUE(world.joints.empty());
    EXPECT_TRUE(b->joints.empty());
    EXPECT_TRUE(c->joints.empty());
    delete bc;
}

TEST(World, ShapeAddedAloneBecomesStaticScenery) {
    World<TwoDee> world;
    world.setGravity(Vector2D(0.0f, -300.0f));
    Body<TwoDee>* wall = world.add(new Rect(Vector2D(3.0f, 4.0f), 10.0f, 2.0f, 0.0f));
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->isStatic());
    EXPECT_EQ(wall->getPosition(), Vector2D(3.0f, 4.0f));
    EXPECT_EQ(world.bodies.back(), wall);
    for (int i = 0; i < 10; ++i) world.step();
    EXPECT_EQ(wall->getPosition(), Vector2D(3.0f, 4.0f));
}

TEST(World, SleepingBodyStaysPutUntilWoken) {
    World<TwoDee> world;
    auto* ball = ballAt(world, 0.0f, 50.0f);
    ball->setAwake(false);
    for (int i = 0; i < 100; ++i) world.step();
    EXPECT_EQ(ball->getPosition(), Vector2D(0.0f, 50.0f));
    ball->setAwake(true);
    world.step();
    EXPECT_LT(ball->getPosition().y, 50.0f);
}

TEST(World, QueriesGoToTheBroadPhase) {
    World<TwoDee> world;
    auto* a = ballAt(world, 0.0f, 0.0f, 2.0f);
    auto* b = ballAt(world, 1.0f, 0.0f, 2.0f);
    EXPECT_EQ(world.findBeneath(Vector2D(0.5f, 0.0f)), a);
    EXPECT_EQ(world.findBeneath(Vector2D(2.5f, 0.0f)), b);
    EXPECT_EQ(world.findBeneathAll(AARect(Vector2D(2.5f, -0.5f), Vector2D(3.5f, 0.5f))),
              (std::list<Body<TwoDee>*>{b}));
    Vector2D hit;
    EXPECT_EQ(world.intersectRay(Vector2D(-5.0f, 0.0f), Vector2D(5.0f, 0.0f), hit), nullptr);
}
