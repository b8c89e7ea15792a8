// Broad phases: the quadtree's pairs checked, pair for pair and in order, against
// the tree walk it replaced (quadtree_oracle.h) on running benchmark scenes and on
// odd random scenes; the rules deciding which pairs are candidates, and the queries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "physics/physics.h"
#include "tests/physics/quadtree_oracle.h"
#include "tests/physics/scenes.h"

using namespace physics;
using scenes::addBall;
using scenes::addBox;

namespace {

using Pair = std::pair<Body<TwoDee>*, Body<TwoDee>*>;
// The world's broad phase gives the tree walk's pairs in the tree walk's order;
// on failure, the first pair that differs, as world indices.
::testing::AssertionResult pairsAsTheTreeWalk(World<TwoDee>& world) {
    BroadPhase<TwoDee>::PairList pairs = world.getBroadPhase()->findPairs();
    BroadPhase<TwoDee>::PairList expected = oracle::quadtreePairs(*world.getBroadPhase(), world.bodies);
    if (pairs == expected) return ::testing::AssertionSuccess();
    std::map<const Body<TwoDee>*, int> index;
    for (std::size_t k = 0; k < world.bodies.size(); ++k) index.emplace(world.bodies[k], static_cast<int>(k));
    auto show = [&](const BroadPhase<TwoDee>::PairList& list, std::size_t k) {
        if (k >= list.size()) return std::string("none");
        return "(" + std::to_string(index[list[k].first]) + ", " + std::to_string(index[list[k].second]) + ")";
    };
    std::size_t k = 0;
    while (k < pairs.size() && k < expected.size() && pairs[k] == expected[k]) ++k;
    return ::testing::AssertionFailure() << pairs.size() << " pairs, the walk has " << expected.size() << "; pair "
                                         << k << " is " << show(pairs, k) << ", the walk's " << show(expected, k);
}

// Switches read by the broad phase and the world, restored on leaving a test.
struct SavedSwitches {
    bool useSleeping = Globals::useSleeping;
    bool findSleepingContacts = Globals::findSleepingContacts;
    ~SavedSwitches() {
        Globals::useSleeping = useSleeping;
        Globals::findSleepingContacts = findSleepingContacts;
    }
};

}  // namespace

TEST(QuadtreeBroadPhase, SamePairsInSameOrderAsTheTreeWalkWhileBenchScenesRun) {
    struct Case {
        const char* scene;
        bool sleeping;      // bodies may fall asleep
        bool findSleeping;  // Globals::findSleepingContacts
        int steps;
    };
    // Balls fall through the tree's region and its cell lines; wide lies almost
    // wholly outside the region, in its outer cells, its upper row dropping
    // across a cell line; the pyramid stands inside it. Only wide falls asleep
    // (all at once, near step 250): then every 97th box is thrown up and sideways,
    // waking what it hits, moving among sleepers.
    const Case cases[] = {{"pyramid", false, false, 60}, {"pyramid", false, true, 40}, {"balls", false, false, 200},
                          {"balls", false, true, 40},    {"wide", true, false, 340},   {"wide", false, false, 40}};
    SavedSwitches saved;
    for (const Case& c : cases) {
        Globals::useSleeping = c.sleeping;  // fixed for each body when it is made
        Globals::findSleepingContacts = c.findSleeping;
        World<TwoDee> world;
        scenes::useGameGravity(world);
        std::string scene = c.scene;
        if (scene == "pyramid") scenes::buildPyramid(world, 20, 1800.0f);
        if (scene == "balls") scenes::buildBalls(world);
        if (scene == "wide") scenes::buildWide(world);
        bool mixed = false;  // some dynamic bodies asleep, some awake, at a compared step
        for (int step = 0; step <= c.steps; ++step) {
            if (c.sleeping && step == c.steps - 60) {
                for (std::size_t k = 1; k < world.bodies.size(); k += 97) {
                    world.bodies[k]->setVelocity(Vector2D(k % 2 ? 150.0f : -150.0f, 200.0f));
                }
            }
            if (step % 20 == 0 || (step > c.steps - 60 && step % 4 == 0)) {
                ASSERT_TRUE(pairsAsTheTreeWalk(world)) << scene << " at step " << step;
                int asleep = 0, awake = 0;
                for (const Body<TwoDee>* b : world.bodies) {
                    if (b->isStatic()) continue;
                    (b->isAwake() ? awake : asleep) += 1;
                }
                mixed = mixed || (asleep > 0 && awake > 0);
            }
            world.step();
        }
        if (c.sleeping) {
            EXPECT_TRUE(mixed) << scene << ": never sleepers beside moving bodies";
        }
    }
}

TEST(QuadtreeBroadPhase, SamePairsInSameOrderAsTheTreeWalkOnOddScenes) {
    SavedSwitches saved;
    scenes::Lcg rng;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto integer = [&](float lo, float hi) { return std::floor(rng.next(lo, hi - lo + 1.0f)); };
    for (int scene = 0; scene < 40; ++scene) {
        Globals::findSleepingContacts = scene % 2 == 1;
        World<TwoDee> world;
        // Anywhere, much of it outside the region (x in [-100, 100], y in [0, 100]).
        auto addAnywhere = [&](int i) {
            float x = rng.next(-180.0f, 360.0f), y = rng.next(-60.0f, 220.0f);
            return (i % 3 == 0) ? addBall(world, x, y, rng.next(0.5f, 12.0f))
                                : addBox(world, x, y, rng.next(1.0f, 25.0f), rng.next(1.0f, 25.0f), i % 7 == 0);
        };
        for (int i = 0; i < 30; ++i) addAnywhere(i);
        // Balls touching integer lines from either side: every cell centre line of
        // the tree is an integer, so many sit exactly on one.
        for (int i = 0; i < 30; ++i) {
            float r = integer(1.0f, 8.0f), side = (i % 2 == 0) ? r : -r;
            float x = integer(-100.0f, 100.0f) + side, y = integer(0.0f, 100.0f) + ((i % 4 < 2) ? side : -side);
            addBall(world, x, y, r);
        }
        // Across the root's centre lines, 0.05 apart: test() passes, but they are
        // filed in cells side by side, which the walk never pairs.
        for (int i = 0; i < 4; ++i) {
            float ra = integer(1.0f, 8.0f), rb = integer(1.0f, 8.0f), along = integer(-60.0f, 160.0f);
            addBall(world, i % 2 ? ra : along, i % 2 ? along : 50.0f + ra, ra);
            addBall(world, i % 2 ? -rb - 0.05f : along, i % 2 ? along : 50.0f - rb - 0.05f, rb);
        }
        // Pairs just the margin apart along x or y: some pass test() only as the
        // float sums round up. The first four are joined, two of them ignoring contacts.
        for (int i = 0; i < 10; ++i) {
            Body<TwoDee>* a = addBall(world, integer(-150.0f, 150.0f), integer(-50.0f, 150.0f), rng.next(0.5f, 10.0f));
            Body<TwoDee>* b = addBall(world, 0.0f, 0.0f, rng.next(0.5f, 10.0f));
            float gap = a->getBoundingRadius() + b->getBoundingRadius() + Globals::_NEAR;
            Vector2D p = a->getPosition();
            b->setPosition(i % 2 ? Vector2D(p.x + gap, p.y) : Vector2D(p.x, p.y - gap));
            if (i < 4) {
                auto* joint = new Joint<TwoDee>();
                joint->set(a, b, p);
                joint->ignoreContacts = i < 2;
                world.add(joint);
            }
        }
        addBall(world, 0.0f, 50.0f, 1e6f);                                // covers the whole region
        addBall(world, rng.next(-50.0f, 100.0f), 20.0f, scene % 3 == 0 ? 1e20f : 1e14f);  // radius squared overflows, or not
        addBall(world, 5.0f, 5.0f, 3.0f)->setPosition(Vector2D(nan, 5.0f));
        addBall(world, 5.0f, 5.0f, 3.0f)->setPosition(Vector2D(inf, -inf));
        world.add(new Body<TwoDee>());  // no shape: radius 0 at the origin
        for (int round = 0; round < 6; ++round) {
            for (Body<TwoDee>* b : world.bodies) {
                if (rng.next(0.0f, 1.0f) < 0.3f) b->setAwake(!b->isAwake());
            }
            ASSERT_TRUE(pairsAsTheTreeWalk(world)) << "scene " << scene << " round " << round;
            // Between rounds: bodies move, some far; one leaves the world, one joins.
            for (Body<TwoDee>* b : world.bodies) {
                float reach = rng.next(0.0f, 1.0f) < 0.2f ? 120.0f : 4.0f;
                b->translate(Vector2D(rng.next(-reach, 2.0f * reach), rng.next(-reach, 2.0f * reach)));
            }
            Body<TwoDee>* leaving = world.bodies[static_cast<std::size_t>(integer(0.0f, 20.0f))];
            world.remove(leaving);
            delete leaving;
            addAnywhere(round);
        }
    }
}

TEST(BroadPhase, OnlyPairsThatCanChangeSomethingAreCandidates) {
    World<TwoDee> world(0.0f, new BroadPhase<TwoDee>());
    auto* floor = addBox(world, 0.0f, 0.0f, 10.0f, 1.0f, true);
    auto* wall = addBox(world, 0.0f, 0.5f, 1.0f, 10.0f, true);
    auto* sleeper = addBall(world, 0.0f, 1.0f, 1.0f);
    auto* faller = addBall(world, 0.5f, 1.5f, 1.0f);
    auto* tied = addBall(world, 1.0f, 1.0f, 1.0f);
    auto* joint = new Joint<TwoDee>();
    joint->set(faller, tied, Vector2D(0.75f, 1.25f));
    world.add(joint);
    sleeper->setAwake(false);
    BroadPhase<TwoDee>* bp = world.getBroadPhase();
    // All pairs in world order, the earlier body first; none of two static bodies,
    // of a sleeper and a static body, or of a joint's bodies while it ignores contacts.
    EXPECT_EQ(bp->findPairs(), (BroadPhase<TwoDee>::PairList{{floor, faller}, {floor, tied}, {wall, faller},
                                                             {wall, tied}, {sleeper, faller}, {sleeper, tied}}));
    EXPECT_FALSE(bp->test(tied, faller));  // the joint is found through either body
    joint->ignoreContacts = false;
    EXPECT_TRUE(bp->test(tied, faller));
    faller->setAwake(false);
    EXPECT_FALSE(bp->test(sleeper, faller));  // two sleepers
    const bool findSleeping = Globals::findSleepingContacts;
    Globals::findSleepingContacts = true;
    EXPECT_TRUE(bp->test(sleeper, faller));
    EXPECT_TRUE(bp->test(floor, sleeper));
    EXPECT_FALSE(bp->test(floor, wall));  // still: only static pairs are skipped
    Globals::findSleepingContacts = findSleeping;
    // Bounding circles exactly the margin (_NEAR, 0.1) apart are paired; 0.01 more are not.
    auto* a = addBall(world, 0.0f, 20.0f, 1.0f);
    auto* b = addBall(world, 2.1f, 20.0f, 1.0f);
    EXPECT_TRUE(bp->test(a, b));
    b->setPosition(Vector2D(2.11f, 20.0f));
    EXPECT_FALSE(bp->test(a, b));
}

TEST(BroadPhase, QueriesAnswerInWorldOrder) {
    BroadPhase<TwoDee>* broadPhases[] = {new BroadPhase<TwoDee>(), new QuadtreeBroadPhase()};
    for (BroadPhase<TwoDee>* broadPhase : broadPhases) {
        World<TwoDee> world(0.0f, broadPhase);
        auto* first = addBox(world, 0.0f, 0.0f, 4.0f, 4.0f, false);
        auto* second = addBall(world, 1.0f, 0.0f, 2.0f);
        addBall(world, 50.0f, 0.0f, 1.0f);
        EXPECT_EQ(world.findBeneath(Vector2D(0.5f, 0.0f)), first);
        EXPECT_EQ(world.findBeneath(Vector2D(2.9f, 0.0f)), second);
        EXPECT_EQ(world.findBeneath(Vector2D(20.0f, 0.0f)), nullptr);
        EXPECT_EQ(world.findBeneathAll(AARect(Vector2D(-1.0f, -1.0f), Vector2D(1.0f, 1.0f))),
                  (std::list<Body<TwoDee>*>{first, second}));
        EXPECT_EQ(world.findBeneathAll(AARect(Vector2D(2.5f, -0.5f), Vector2D(3.5f, 0.5f))),
                  (std::list<Body<TwoDee>*>{second}));
        // Inside the ball's bounding square but beyond its rim: 2.26 from its centre.
        EXPECT_TRUE(world.findBeneathAll(AARect(Vector2D(2.6f, 1.6f), Vector2D(4.0f, 4.0f))).empty());
    }
}
