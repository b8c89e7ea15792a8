// The solver: a one-click level solved and verified, a lesson, its budgets, and
// the same search on several threads.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "tool_fixture.h"
#include "tools/level/solver.h"

using namespace leveltools;

namespace {

SolveOptions byUpdates(long long updates) {
    SolveOptions o;
    o.budgetSeconds = 0;  // only the update count decides: the same result on any machine
    o.budgetUpdates = updates;
    return o;
}

}  // namespace

// That the solution it writes passes verify, the command-line test shows.
TEST_F(ToolDir, SolverFindsTheFewestClicksTheSameWayForTheSameSeed) {
    SolveOptions o = byUpdates(3000000);
    o.targetPlayable = MIN_PLAYABLE;  // the first playable one will do
    std::set<long long> reported;  // simulation counts seen by the progress callback
    o.progress = [&](const SolveProgress& p) { reported.insert(p.simulations); };
    SolveResult r = solve(source("slide"), o);
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(r.optimal && r.playable);  // no click loses, so one click is the least
    EXPECT_EQ(r.solution.par, 1);
    EXPECT_GE(r.solution.playable, MIN_PLAYABLE);
    EXPECT_LT(r.stats.updates, 3000000);  // stopped because it was done, not out of budget
    EXPECT_EQ(static_cast<long long>(reported.size()), r.stats.simulations - 1);  // all but the final measuring replay
    EXPECT_EQ(solve(source("slide"), o).solution.clicks, r.solution.clicks);

    SolveResult lesson = solve(source("lesson"), byUpdates(1000000));
    EXPECT_TRUE(lesson.optimal);
    EXPECT_EQ(lesson.solution.par, 0);
    EXPECT_EQ(lesson.solution.hash, levelHash(source("lesson").bytes));
}

// The update budget the command-line test shows; here the clock and Ctrl-C.
TEST_F(ToolDir, AnUnwinnableLevelStopsAtTheTimeBudgetOrWhenInterrupted) {
    SolveOptions byTime;
    byTime.budgetSeconds = 0.3;
    SolveResult r = solve(source("nowhere"), byTime);
    EXPECT_EQ(r.stopReason, "time budget");
    EXPECT_LT(r.stats.seconds, 5.0);

    SolveOptions byInterrupt = byUpdates(100000000);
    int asked = 0;
    byInterrupt.interrupted = [&] { return ++asked > 40; };
    r = solve(source("nowhere"), byInterrupt);
    EXPECT_EQ(r.stopReason, "interrupted");
    EXPECT_EQ(r.stats.simulations, 40);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.solution.par, -1);
}

// Replays run ahead on worker threads, but the search takes their results in its
// own order: the same solution and counts as one job, down to each progress
// report, stopped by the update budget part-way through a batch.
TEST_F(ToolDir, MoreJobsFindTheSameSolutionWithTheSameCounts) {
    SolveOptions o = byUpdates(100000);
    o.seed = 7;
    o.targetPlayable = 1.0;  // keeps looking after the first win, until the budget
    std::vector<SolveResult> runs;
    std::vector<std::vector<long long>> reports(2);  // updates at each progress report
    for (int jobs : {1, 3}) {
        o.jobs = jobs;
        o.progress = [&](const SolveProgress& p) { reports[runs.size()].push_back(p.updates); };
        runs.push_back(solve(source("slide"), o));
    }
    auto outcome = [](const SolveResult& r) {
        return std::make_tuple(r.stopReason, r.solution.clicks, r.solution.par, r.solution.updates,
                               r.solution.playable, r.stats.simulations, r.stats.updates, r.foundAt.simulations);
    };
    ASSERT_TRUE(runs[0].found);
    EXPECT_EQ(runs[0].stopReason, "update budget");
    EXPECT_EQ(outcome(runs[1]), outcome(runs[0]));
    EXPECT_EQ(reports[1], reports[0]);
}
