// Broad phases: the quadtree's pairs checked against the all-pairs search on
// random scenes, the rules deciding which pairs are candidates, the queries, and
// the quadtree's removal and key arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;
using scenes::addBall;
using scenes::addBox;

namespace {

using Pair = std::pair<Body<TwoDee>*, Body<TwoDee>*>;
using PairSet = std::set<std::set<Body<TwoDee>*>>;

PairSet asSet(const BroadPhase<TwoDee>::PairList& pairs) {
    PairSet out;
    for (const Pair& p : pairs) out.insert({p.first, p.second});
    return out;
}

QuadtreeBroadPhase* treeOf(World<TwoDee>& world) { return static_cast<QuadtreeBroadPhase*>(world.getBroadPhase()); }

}  // namespace

TEST(QuadtreeBroadPhase, MatchesAllPairsOnRandomScenesInTreeOrder) {
    scenes::Lcg rng;
    for (int scene = 0; scene < 20; ++scene) {
        World<TwoDee> world;  // region x in [-100, 100], y in [0, 100]: some bodies lie outside
        int count = 20 + scene * 7;
        for (int i = 0; i < count; ++i) {
            float x = rng.next(-160.0f, 320.0f);
            float y = rng.next(-40.0f, 180.0f);
            float size = rng.next(1.0f, 25.0f);
            Body<TwoDee>* b = (i % 3 == 0) ? addBall(world, x, y, 0.5f * size)
                                            : addBox(world, x, y, size, rng.next(1.0f, 25.0f), i % 11 == 0);
            if (i % 5 == 0) b->setAwake(false);
        }
        BroadPhase<TwoDee> naive;
        naive.init(&world);
        QuadtreeBroadPhase* qt = treeOf(world);
        auto pairs = qt->findPairs();
        PairSet quadSet = asSet(pairs);
        ASSERT_EQ(pairs.size(), quadSet.size()) << "a pair was listed twice in scene " << scene;
        // Every quadtree pair is a real candidate. A candidate the tree misses must
        // have filing squares that do not meet (its circles are within the margin
        // only): such bodies sit in disjoint cells.
        for (const Pair& p : pairs) EXPECT_TRUE(naive.test(p.first, p.second));
        for (const Pair& p : naive.findPairs()) {
            if (quadSet.count({p.first, p.second})) continue;
            float ra = p.first->getBoundingRadius(), rb = p.second->getBoundingRadius();
            Vector2D d = p.first->getPosition() - p.second->getPosition();
            bool squaresMeet = std::fabs(d.x) <= ra + rb && std::fabs(d.y) <= ra + rb;
            EXPECT_FALSE(squaresMeet) << "scene " << scene << ": the tree lost a candidate pair";
        }

        // Tree order: depth-first preorder over the nodes (children by quadrant);
        // within a node, ancestors from the root down.
        std::map<int, int> rank;
        std::function<void(int)> visit = [&](int key) {
            int r = static_cast<int>(rank.size());
            rank[key] = r;
            const QuadtreeBroadPhase::Node* node = qt->m_tree->nodes.at(key);
            for (int q = 0; q < 8; ++q) {
                if (node->children & (1u << q)) visit(key * 8 + q);
            }
        };
        visit(1);
        for (std::size_t i = 1; i < pairs.size(); ++i) {
            int prevNode = rank.at(static_cast<int>(qt->m_bodyKeys.at(pairs[i - 1].second)));
            int node = rank.at(static_cast<int>(qt->m_bodyKeys.at(pairs[i].second)));
            ASSERT_LE(prevNode, node) << "scene " << scene << " pair " << i;
            if (prevNode == node) {
                int prevDepth = QuadtreeBroadPhase::calcDepth(qt->m_bodyKeys.at(pairs[i - 1].first));
                int depth = QuadtreeBroadPhase::calcDepth(qt->m_bodyKeys.at(pairs[i].first));
                ASSERT_LE(prevDepth, depth) << "scene " << scene << " pair " << i;
            }
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
}

TEST(BroadPhase, BoundingCirclesExactlyTheMarginApartArePaired) {
    World<TwoDee> world(0.0f, new BroadPhase<TwoDee>());
    auto* a = addBall(world, 0.0f, 0.0f, 1.0f);
    auto* b = addBall(world, 2.1f, 0.0f, 1.0f);  // a gap of exactly _NEAR
    EXPECT_TRUE(world.getBroadPhase()->test(a, b));
    b->setPosition(Vector2D(2.11f, 0.0f));
    EXPECT_FALSE(world.getBroadPhase()->test(a, b));
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

TEST(QuadtreeBroadPhase, RemovedBodyIsNeverPairedEvenBeforeTheRebuild) {
    World<TwoDee> world;
    QuadtreeBroadPhase* tree = treeOf(world);
    auto* a = addBall(world, 10.0f, 10.0f, 2.0f);
    auto* b = addBall(world, 11.0f, 10.0f, 2.0f);
    tree->findPairs();
    world.remove(b);
    EXPECT_EQ(tree->m_bodyKeys.count(b), 0u);
    BroadPhase<TwoDee>::PairList pairs;
    tree->buildPairs(tree->m_tree->root(), pairs);  // walk the tree as it stands
    EXPECT_TRUE(pairs.empty());
    delete b;
    auto* c = addBall(world, 9.0f, 10.0f, 2.0f);  // filed when added
    tree->buildPairs(tree->m_tree->root(), pairs);
    EXPECT_EQ(pairs, (BroadPhase<TwoDee>::PairList{{a, c}}));
}

TEST(QuadtreeBroadPhase, KeysStayInRange) {
    EXPECT_EQ(QuadtreeBroadPhase::calcDepth(8 * 8 + 3), 3);
    EXPECT_EQ(QuadtreeBroadPhase::truncate(2, 8 * 8 + 3), 8u);
    EXPECT_EQ(QuadtreeBroadPhase::truncate(-20, 0xFFFFFFFFu), 0u);  // no shift past the width
    World<TwoDee> world;
    // (0, 0) is cell (512, 512): bit 9 of each spreads to bit 27, y's doubled to bit 28.
    EXPECT_EQ(treeOf(world)->generateMortonKey(Vector2D(0.0f, 0.0f)), (3u << 29) + (1u << 27) + (2u << 27));
    // Far outside the region: kept in range, never an out-of-range conversion.
    EXPECT_EQ(treeOf(world)->generateMortonKey(Vector2D(1e30f, -1e30f)) >> 29, 3u);
}
