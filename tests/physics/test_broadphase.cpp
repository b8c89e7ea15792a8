// All-pairs and quadtree broad phases: the ignore and joint rules, the
// bounding-circle margin, the queries, the tree's filing, and the quadtree's
// pairs checked against the all-pairs search.
#include <gtest/gtest.h>

#include <algorithm>
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

// Restores the switches a test changes.
struct GlobalsGuard {
    bool findSleeping = Globals::findSleepingContacts;
    bool useSleeping = Globals::useSleeping;
    ~GlobalsGuard() {
        Globals::findSleepingContacts = findSleeping;
        Globals::useSleeping = useSleeping;
    }
};

// A world whose broad phase tests every pair.
struct NaiveWorld {
    World<TwoDee> world{0.0f, new BroadPhase<TwoDee>()};
    BroadPhase<TwoDee>::PairList pairs() { return world.getBroadPhase()->findPairs(); }
};

struct QuadWorld {
    World<TwoDee> world;
    QuadtreeBroadPhase* tree() { return static_cast<QuadtreeBroadPhase*>(world.getBroadPhase()); }
};

std::set<std::set<Body<TwoDee>*>> asSet(const BroadPhase<TwoDee>::PairList& pairs) {
    std::set<std::set<Body<TwoDee>*>> out;
    for (const Pair& p : pairs) out.insert({p.first, p.second});
    return out;
}

}  // namespace

TEST(NaiveBroadPhase, EmptyAndSingleBodyWorldsHaveNoPairs) {
    NaiveWorld w;
    EXPECT_TRUE(w.pairs().empty());
    addBall(w.world, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(w.pairs().empty());
}

TEST(NaiveBroadPhase, PairsFollowWorldOrderWithTheEarlierBodyFirst) {
    NaiveWorld w;
    auto* a = addBall(w.world, 0.0f, 0.0f, 1.0f);
    auto* b = addBall(w.world, 1.0f, 0.0f, 1.0f);
    auto* c = addBall(w.world, 2.0f, 0.0f, 1.0f);
    auto pairs = w.pairs();
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], Pair(a, b));
    EXPECT_EQ(pairs[1], Pair(a, c));
    EXPECT_EQ(pairs[2], Pair(b, c));
}

TEST(NaiveBroadPhase, IgnoreRuleSkipsPairsThatCannotMove) {
    GlobalsGuard guard;
    NaiveWorld w;
    auto* floor = addBox(w.world, 0.0f, 0.0f, 10.0f, 1.0f, true);
    auto* wall = addBox(w.world, 0.0f, 0.5f, 1.0f, 10.0f, true);
    auto* sleeper = addBall(w.world, 0.0f, 1.0f, 1.0f);
    sleeper->setAwake(false);
    BroadPhase<TwoDee>* bp = w.world.getBroadPhase();

    EXPECT_TRUE(bp->ignore(floor, wall));       // two static bodies, however they overlap
    EXPECT_TRUE(bp->ignore(floor, sleeper));    // sleeping on static
    EXPECT_TRUE(w.pairs().empty());

    auto* faller = addBall(w.world, 0.5f, 1.5f, 1.0f);
    auto pairs = asSet(w.pairs());
    EXPECT_EQ(pairs.count({sleeper, faller}), 1u);  // an awake body reaches a sleeping one
    EXPECT_EQ(pairs.count({floor, faller}), 1u);
    EXPECT_EQ(pairs.count({floor, wall}), 0u);

    faller->setAwake(false);
    EXPECT_TRUE(bp->ignore(sleeper, faller));  // two sleepers
    Globals::findSleepingContacts = true;
    EXPECT_FALSE(bp->ignore(sleeper, faller));
    EXPECT_FALSE(bp->ignore(floor, sleeper));
    EXPECT_TRUE(bp->ignore(floor, wall));  // still: only static pairs are skipped
    EXPECT_EQ(asSet(w.pairs()).count({sleeper, faller}), 1u);
}

TEST(NaiveBroadPhase, JointWithIgnoreContactsExcludesItsBodies) {
    NaiveWorld w;
    auto* a = addBall(w.world, 0.0f, 0.0f, 1.0f);
    auto* b = addBall(w.world, 1.0f, 0.0f, 1.0f);
    auto* joint = new Joint<TwoDee>();
    joint->set(a, b, Vector2D(0.5f, 0.0f));
    w.world.add(joint);
    EXPECT_TRUE(w.pairs().empty());
    EXPECT_FALSE(w.world.getBroadPhase()->test(b, a));  // found through either body's joint list
    joint->ignoreContacts = false;
    EXPECT_EQ(w.pairs().size(), 1u);
}

TEST(NaiveBroadPhase, BoundingCirclesWithinTheMarginPair) {
    NaiveWorld w;
    auto* a = addBall(w.world, 0.0f, 0.0f, 1.0f);
    auto* b = addBall(w.world, 2.1f, 0.0f, 1.0f);  // gap exactly _NEAR
    BroadPhase<TwoDee>* bp = w.world.getBroadPhase();
    EXPECT_TRUE(bp->test(a, b));
    b->setPosition(Vector2D(2.11f, 0.0f));
    EXPECT_FALSE(bp->test(a, b));
    EXPECT_TRUE(bp->testRadius(a, b, 0.2f));
    EXPECT_FALSE(bp->testRadius(a, b, 0.1f));
}

TEST(NaiveBroadPhase, BoxTestUsesTheMarginOnEverySide) {
    NaiveWorld w;
    auto* a = addBox(w.world, 0.0f, 0.0f, 2.0f, 2.0f, false);
    auto* b = addBox(w.world, 3.0f, 0.0f, 2.0f, 2.0f, false);  // 1 apart in x
    BroadPhase<TwoDee>* bp = w.world.getBroadPhase();
    EXPECT_FALSE(bp->testAABB(a, b, 0.5f));
    EXPECT_TRUE(bp->testAABB(a, b, 1.0f));  // touching counts
    EXPECT_TRUE(bp->testAABB(b, a, 1.0f));
    b->setPosition(Vector2D(0.0f, -3.5f));
    EXPECT_FALSE(bp->testAABB(a, b, 1.0f));
    EXPECT_TRUE(bp->testAABB(b, a, 1.5f));
}

TEST(NaiveBroadPhase, QueriesAnswerInWorldOrder) {
    NaiveWorld w;
    auto* first = addBox(w.world, 0.0f, 0.0f, 4.0f, 4.0f, false);
    auto* second = addBall(w.world, 1.0f, 0.0f, 2.0f);
    addBall(w.world, 50.0f, 0.0f, 1.0f);
    EXPECT_EQ(w.world.findBeneath(Vector2D(0.5f, 0.0f)), first);
    EXPECT_EQ(w.world.findBeneath(Vector2D(2.9f, 0.0f)), second);
    EXPECT_EQ(w.world.findBeneath(Vector2D(20.0f, 0.0f)), nullptr);
    auto all = w.world.findBeneathAll(AARect(Vector2D(-1.0f, -1.0f), Vector2D(1.0f, 1.0f)));
    EXPECT_EQ(all, (std::list<Body<TwoDee>*>{first, second}));
    BroadPhase<TwoDee>* bp = w.world.getBroadPhase();
    EXPECT_EQ(bp->findBeneath(AARect(Vector2D(-1.0f, -1.0f), Vector2D(1.0f, 1.0f))), nullptr);
    EXPECT_TRUE(bp->findBeneathAll(Vector2D(0.0f, 0.0f)).empty());
    EXPECT_EQ(w.world.intersectRay(Vector2D(-10.0f, 0.0f), Vector2D(10.0f, 0.0f)), nullptr);
}

TEST(QuadtreeBroadPhase, StraddlingBodyStaysInTheRootAndMeetsEveryone) {
    QuadWorld w;
    auto* big = addBall(w.world, 0.0f, 20.0f, 10.0f);  // straddles x = 0
    auto* left = addBall(w.world, -18.0f, 20.0f, 9.0f);
    auto* right = addBall(w.world, 18.0f, 20.0f, 9.0f);
    auto pairs = w.tree()->findPairs();
    EXPECT_EQ(w.tree()->m_bodyKeys.at(big), 1u);
    EXPECT_NE(w.tree()->m_bodyKeys.at(left), 1u);
    EXPECT_NE(w.tree()->m_bodyKeys.at(right), 1u);
    EXPECT_EQ(asSet(pairs), (std::set<std::set<Body<TwoDee>*>>{{big, left}, {big, right}}));
    // The root's body comes first in each pair.
    for (const Pair& p : pairs) EXPECT_EQ(p.first, big);
}

TEST(QuadtreeBroadPhase, FilingFollowsTheCentreLinesAndTheRegion) {
    QuadWorld w;
    // Touching x = 0 from the right (min.x == centre.x) goes to the right child.
    auto* touching = addBall(w.world, 1.0f, 75.0f, 1.0f);
    // Opposite corners of the region, small enough to sink to the deepest cells.
    auto* lowLeft = addBall(w.world, -98.0f, 2.0f, 1.0f);
    auto* highRight = addBall(w.world, 98.0f, 98.0f, 1.0f);
    // Outside the region: filed in the rightmost cells.
    auto* outside = addBall(w.world, 150.0f, 20.0f, 1.0f);
    w.tree()->findPairs();
    const auto& keys = w.tree()->m_bodyKeys;
    // Right (1) + upper (2) of the root; then it straddles y = 75 and stops.
    EXPECT_EQ(keys.at(touching), 1u * 8 + 3);
    EXPECT_EQ(QuadtreeBroadPhase::calcDepth(keys.at(lowLeft)), 5);
    EXPECT_EQ(keys.at(lowLeft), 1u * 8 * 8 * 8 * 8);           // always quadrant 0
    EXPECT_EQ(keys.at(highRight), ((((1u * 8 + 3) * 8 + 3) * 8 + 3) * 8 + 3));
    EXPECT_EQ(keys.at(outside) >> 9, 1u * 8 + 1);           // right, lower half
    for (unsigned int k = keys.at(outside); k > 1; k >>= 3) EXPECT_EQ(k & 1u, 1u);  // right at every level
}

TEST(QuadtreeBroadPhase, DisjointCellsAreNeverTested) {
    QuadWorld w;
    // Opposite corners of the region.
    addBall(w.world, -90.0f, 5.0f, 1.0f);
    addBall(w.world, 90.0f, 95.0f, 1.0f);
    EXPECT_TRUE(w.tree()->findPairs().empty());
    // Circles 0.05 apart on either side of x = 0: within the margin for the
    // all-pairs search, but filed in the left and the right half.
    QuadWorld v;
    auto* a = addBall(v.world, -1.025f, 20.0f, 1.0f);
    auto* b = addBall(v.world, 1.025f, 20.0f, 1.0f);
    EXPECT_TRUE(v.tree()->test(a, b));
    EXPECT_TRUE(v.tree()->findPairs().empty());
    b->setPosition(Vector2D(0.9f, 20.0f));  // now straddling: tested again
    EXPECT_EQ(v.tree()->findPairs().size(), 1u);
}

TEST(QuadtreeBroadPhase, OutsideBodyStillCollidesNearTheEdge) {
    QuadWorld w;
    auto* outside = addBall(w.world, 150.0f, 20.0f, 50.0f);
    auto* edge = addBall(w.world, 99.0f, 20.0f, 2.0f);
    auto pairs = w.tree()->findPairs();
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(asSet(pairs).count({outside, edge}), 1u);
}

TEST(QuadtreeBroadPhase, RemovedBodyIsNeverPairedEvenBeforeTheRebuild) {
    QuadWorld w;
    auto* a = addBall(w.world, 10.0f, 10.0f, 2.0f);
    auto* b = addBall(w.world, 11.0f, 10.0f, 2.0f);
    w.tree()->findPairs();
    w.world.remove(b);
    EXPECT_EQ(w.tree()->m_bodyKeys.count(b), 0u);
    // Walk the tree as it stands (no rebuild).
    BroadPhase<TwoDee>::PairList pairs;
    w.tree()->buildPairs(w.tree()->m_tree->root(), pairs);
    EXPECT_TRUE(pairs.empty());
    EXPECT_TRUE(w.tree()->findPairs().empty());
    delete b;
    auto* c = addBall(w.world, 9.0f, 10.0f, 2.0f);  // filed when added
    pairs.clear();
    w.tree()->buildPairs(w.tree()->m_tree->root(), pairs);
    EXPECT_EQ(pairs, (BroadPhase<TwoDee>::PairList{{a, c}}));
}

TEST(QuadtreeBroadPhase, SleepingBodiesInOneCellMakeNoPair) {
    GlobalsGuard guard;
    QuadWorld w;
    auto* a = addBall(w.world, 30.0f, 30.0f, 2.0f);
    auto* b = addBall(w.world, 31.0f, 30.0f, 2.0f);
    a->setAwake(false);
    b->setAwake(false);
    EXPECT_TRUE(w.tree()->findPairs().empty());
    Globals::findSleepingContacts = true;
    EXPECT_EQ(w.tree()->findPairs().size(), 1u);
}

TEST(QuadtreeBroadPhase, MatchesAllPairsOnRandomScenesInTreeOrder) {
    scenes::Lcg rng;
    for (int scene = 0; scene < 20; ++scene) {
        QuadWorld w;
        int count = 20 + scene * 7;
        for (int i = 0; i < count; ++i) {
            float x = rng.next(-160.0f, 320.0f);
            float y = rng.next(-40.0f, 180.0f);
            float size = rng.next(1.0f, 25.0f);
            Body<TwoDee>* b = (i % 3 == 0) ? addBall(w.world, x, y, 0.5f * size)
                                            : addBox(w.world, x, y, size, rng.next(1.0f, 25.0f), i % 11 == 0);
            if (i % 5 == 0) b->setAwake(false);
        }
        BroadPhase<TwoDee> naive;
        naive.init(&w.world);
        auto expected = naive.findPairs();
        auto pairs = w.tree()->findPairs();
        ASSERT_EQ(pairs.size(), asSet(pairs).size()) << "a pair was listed twice in scene " << scene;
        // Every quadtree pair is a real candidate. A candidate the tree misses must
        // have filing squares that do not meet (its circles are within the margin
        // only): such bodies sit in disjoint cells.
        auto quadSet = asSet(pairs);
        for (const Pair& p : pairs) EXPECT_TRUE(naive.test(p.first, p.second));
        for (const Pair& p : expected) {
            if (quadSet.count({p.first, p.second})) continue;
            float ra = p.first->getBoundingRadius(), rb = p.second->getBoundingRadius();
            Vector2D d = p.first->getPosition() - p.second->getPosition();
            bool squaresMeet = std::fabs(d.x) <= ra + rb && std::fabs(d.y) <= ra + rb;
            EXPECT_FALSE(squaresMeet) << "scene " << scene << ": the tree lost a candidate pair";
        }

        // Tree order: depth-first preorder over the nodes (children by quadrant);
        // within a node, ancestors from the root down.
        QuadtreeBroadPhase* qt = w.tree();
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

TEST(QuadtreeBroadPhase, KeyHelpers) {
    EXPECT_EQ(QuadtreeBroadPhase::calcDepth(1), 1);
    EXPECT_EQ(QuadtreeBroadPhase::calcDepth(8), 2);
    EXPECT_EQ(QuadtreeBroadPhase::calcDepth(8 * 8 + 3), 3);
    EXPECT_EQ(QuadtreeBroadPhase::truncate(2, 8 * 8 + 3), 8u);
    EXPECT_EQ(QuadtreeBroadPhase::truncate(5, 8 * 8 + 3), 8u * 8 + 3);
    EXPECT_EQ(QuadtreeBroadPhase::truncate(-20, 0xFFFFFFFFu), 0u);  // no shift past the width
    QuadWorld w;
    // (0, 0) is cell (512, 512): bit 9 of each spreads to bit 27, y's doubled to bit 28.
    EXPECT_EQ(w.tree()->generateMortonKey(Vector2D(0.0f, 0.0f)), (3u << 29) + (1u << 27) + (2u << 27));
    EXPECT_EQ(w.tree()->generateMortonKey(Vector2D(-100.0f, -50.0f)), 3u << 29);
    // Cell (1, 2): x bit 0 at bit 0, y bit 1 at bit 3, doubled to bit 4.
    EXPECT_EQ(w.tree()->generateMortonKey(Vector2D(-100.0f + 200.0f / 1024.0f * 1.5f, -50.0f + 100.0f / 1024.0f * 2.5f)),
              (3u << 29) + 1u + 16u);
    // Far outside the region: kept in range, never an out-of-range conversion.
    unsigned int far = w.tree()->generateMortonKey(Vector2D(1e30f, -1e30f));
    EXPECT_EQ(far >> 29, 3u);
}
