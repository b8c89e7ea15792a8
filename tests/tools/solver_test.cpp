// The solver: lessons, a one-click level, determinism for a seed, and budgets.
#include <gtest/gtest.h>

#include <set>

#include "tool_fixture.h"
#include "tools/level/level_check.h"
#include "tools/level/solver.h"

using namespace leveltools;

namespace {

SolveOptions byUpdates(long long updates, std::uint64_t seed = 1) {
    SolveOptions o;
    o.seed = seed;
    o.budgetSeconds = 0;  // only the update count decides: the same result on any machine
    o.budgetUpdates = updates;
    return o;
}

}  // namespace

TEST_F(ToolDir, SolverProvesALessonNeedsNoClick) {
    SolveResult r = solve(source("lesson"), byUpdates(1000000));
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(r.optimal);
    EXPECT_TRUE(r.playable);
    EXPECT_EQ(r.stopReason, "optimal");
    EXPECT_EQ(r.solution.par, 0);
    EXPECT_TRUE(r.solution.clicks.empty());
    EXPECT_EQ(r.solution.updates, 301);
    EXPECT_EQ(r.solution.hash, levelHash(source("lesson").bytes));
    EXPECT_LT(r.stats.updates, 2000);  // one replay and its check
}

TEST_F(ToolDir, SolverFindsAPlayableOneClickSolutionThatVerifies) {
    const LevelSource slide = source("slide");
    std::set<long long> reported;  // simulation counts seen by the progress callback
    SolveOptions o = byUpdates(3000000);
    o.targetPlayable = MIN_PLAYABLE;  // the first playable one will do
    o.progress = [&](const SolveProgress& p) { reported.insert(p.simulations); };
    SolveResult r = solve(slide, o);
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(r.optimal);  // no click loses, so one click is the least
    EXPECT_TRUE(r.playable);
    ASSERT_EQ(r.solution.par, 1);
    ASSERT_EQ(r.solution.clicks.size(), 1u);
    EXPECT_GE(r.solution.playable, MIN_PLAYABLE);
    EXPECT_LT(r.stats.updates, 3000000);  // stopped because it was done, not out of budget
    // Every simulation of the search is reported; the final measuring replay is not.
    EXPECT_EQ(static_cast<long long>(reported.size()), r.stats.simulations - 1);

    // Written, the solution passes every gate, and its stored figures are verify's.
    std::string error;
    ASSERT_TRUE(writeSolution(solutionPath(dir(), "slide"), r.solution, "slide", error)) << error;
    LevelCheck c = checkLevel(dir(), "slide");
    EXPECT_TRUE(c.passed);
    EXPECT_EQ(c.wonAt, r.solution.updates);
    EXPECT_NEAR(c.playable, r.solution.playable, 1e-9);
}

TEST_F(ToolDir, HigherPlayabilityTargetKeepsLookingAtTheSameLength) {
    const LevelSource slide = source("slide");
    SolveOptions first = byUpdates(1500000);
    first.targetPlayable = MIN_PLAYABLE;
    SolveOptions forgiving = byUpdates(1500000);
    forgiving.targetPlayable = 1.0;
    SolveResult a = solve(slide, first);
    SolveResult b = solve(slide, forgiving);
    ASSERT_TRUE(a.found);
    ASSERT_TRUE(b.found);
    EXPECT_EQ(b.solution.par, 1);
    EXPECT_GE(b.solution.playable, a.solution.playable);
    if (b.solution.playable < 1.0) {
        EXPECT_EQ(b.stopReason, "update budget");  // kept looking until the budget ran out
        EXPECT_TRUE(b.optimal);                    // though one click was known to be the least
    }
    EXPECT_GT(b.stats.updates, a.stats.updates);
}

TEST_F(ToolDir, SameSeedSameSearch) {
    const LevelSource slide = source("slide");
    SolveResult a = solve(slide, byUpdates(3000000, 7));
    SolveResult b = solve(slide, byUpdates(3000000, 7));
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.solution.clicks, b.solution.clicks);
    EXPECT_EQ(a.stats.simulations, b.stats.simulations);
    EXPECT_EQ(a.stats.updates, b.stats.updates);
}

TEST_F(ToolDir, UnwinnableLevelRunsOutOfItsUpdateBudget) {
    const long long budget = 200000;
    SolveResult r = solve(source("nowhere"), byUpdates(budget));
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.stopReason, "update budget");
    EXPECT_EQ(r.solution.par, -1);
    EXPECT_GE(r.stats.updates, budget);
    EXPECT_LE(r.stats.updates, budget + DEFAULT_MAX_UPDATES);  // stops after the replay that crossed it
}

TEST_F(ToolDir, WallClockBudgetStopsTheSearch) {
    SolveOptions o;
    o.budgetSeconds = 0.3;
    SolveResult r = solve(source("nowhere"), o);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.stopReason, "time budget");
    EXPECT_LT(r.stats.seconds, 5.0);
}

TEST_F(ToolDir, SolverChainsClicksWhenOneCannotWin) {
    // One blast pushes both crates away from it, but each must move towards the
    // other: the beam has to extend a first click by a second.
    const LevelSource twoCrates = source("twocrates");
    SolveResult r = solve(twoCrates, byUpdates(1500000));
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(r.playable);
    EXPECT_EQ(r.solution.par, 2);
    ASSERT_EQ(r.solution.clicks.size(), 2u);
    EXPECT_GE(r.solution.clicks[1].update - r.solution.clicks[0].update, MIN_CLICK_GAP);
    ReplayResult check = replay(twoCrates, r.solution.clicks);
    EXPECT_TRUE(check.won);
    EXPECT_EQ(check.explosions, 2);
    EXPECT_EQ(check.wonAt, r.solution.updates);
}

TEST_F(ToolDir, InterruptionStopsTheSearchKeepingTheBest) {
    SolveOptions o = byUpdates(100000000);
    int asked = 0;
    o.interrupted = [&] { return ++asked > 40; };
    SolveResult r = solve(source("nowhere"), o);
    EXPECT_EQ(r.stopReason, "interrupted");
    EXPECT_EQ(r.stats.simulations, 40);
    EXPECT_FALSE(r.found);
}
