#pragma once
// Searches a level for a winning click sequence with as few explosions as it can
// find, preferring sequences a person can reproduce (see playableFraction).
//
// The search is one fixed sequence of simulations for a given level, seed and
// options: first the level without a click, then rounds of beam search over
// click sequences (round 0 tries a fixed pattern of clicks around every movable
// body at a few moments; later rounds draw clicks at random from the seed). Once
// a playable solution with k clicks is known, only sequences of at most k clicks
// are searched, and of fewer than k once one is at least `targetPlayable`. The
// budgets only decide how far along that sequence the
// search gets: the result is a function of the seed and of the number of
// simulations run. With `budgetUpdates` (a count of simulated updates) the stop
// point, and so the result, is the same on every machine; the wall-clock budget
// gives the same result as long as the same number of simulations fits in it.
//
// With `jobs` above 1 the replays that do not depend on one another (the clicks
// tried after one prefix, the variants of a winner) run ahead on worker threads,
// and the search takes their results in the serial order, checking the budgets
// before each as the serial search does; results past the stop point are dropped.
// The solution and the counts are those of one job; only a time budget fits more
// simulations in. Standard output is silenced while solve runs (what loading
// prints), unless silenceOutput is false.
#include <cstdint>
#include <functional>
#include <string>

#include "tools/level/replay.h"
#include "game/objects/solution.h"

namespace leveltools {

struct SolveProgress {
    long long simulations = 0;  // replays run so far
    long long updates = 0;      // updates simulated so far
    double seconds = 0;         // wall-clock time so far
    double cpuSeconds = 0;      // processor time of this process so far (the machine may be shared)
    int round = 0;              // search round (0: the fixed pattern)
    int depth = 0;              // clicks in the sequences being tried now
    int bestClicks = -1;        // clicks of the best solution so far; -1 when none
    double bestPlayable = -1;   // its playable fraction
};

struct SolveOptions {
    std::uint64_t seed = 1;
    double budgetSeconds = 60;    // stop (between simulations) once this much time has passed
    long long budgetUpdates = 0;  // stop once this many updates were simulated; 0: no such limit
    int maxClicks = 4;            // longest click sequence tried
    // Once a playable solution with the fewest clicks is known, sequences of that
    // length are still tried until one is at least this playable (from
    // MIN_PLAYABLE to 1): a forgiving solution says more about the level.
    double targetPlayable = 0.9;
    int maxUpdates = DEFAULT_MAX_UPDATES;  // updates one replay may take
    int jobs = 1;                          // replays run at once, on as many threads
    // Standard output dropped while the search runs (what loading prints, once per
    // replay); false where the process has output of its own meanwhile (the game).
    bool silenceOutput = true;
    PlayabilityOptions playability;
    // Called after every simulation, on the calling thread (cheap to ignore; the
    // caller throttles drawing).
    std::function<void(const SolveProgress&)> progress;
    // Asked before every simulation; true stops the search as a budget would
    // (the command line answers true after Ctrl-C, keeping the best found).
    std::function<bool()> interrupted;
};

struct SolveResult {
    bool found = false;       // `solution` wins
    bool playable = false;    // and at least MIN_PLAYABLE of its variants win (and, without a bomb, it wins LATE_START later)
    bool optimal = false;     // playable, and no sequence with fewer clicks can win (0 clicks, or 1 when 0 loses)
    Solution solution;        // hash, par, updates and playable filled in
    SolveProgress stats;      // totals at the end
    SolveProgress foundAt;    // totals when the best solution was first reached
    // "optimal" (fewest clicks, at least targetPlayable), "time budget", "update budget",
    // "interrupted"
    std::string stopReason;
};

SolveResult solve(const LevelSource& level, const SolveOptions& options);

}  // namespace leveltools
