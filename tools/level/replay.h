#pragma once
// Plays a level headless with a list of clicks, through the play state's own
// rules of play (PlayRules):
//
//   update u (u = 1, 2, ...):
//     rules.update()                 the level steps; the count becomes u
//     won when rules.won()           checked after the level's own update
//     a click whose update is u:     rules.click(x, y), one explosion
//
// A click in the update in which the level is won is not played: the player
// would be clicking the tick mark, and the play state records the explosion
// count from before that click. A level cannot be copied, so every replay loads
// the level afresh from its bytes.
#include <string>
#include <vector>

#include "tools/level/level_source.h"
#include "game/objects/solution.h"

class Level;

namespace leveltools {

const double MIN_PLAYABLE = 0.7;      // fraction of jittered variants that must win
// A player reads a level's text before the first click: a level without a bomb
// must still be won with every click this many updates later (4 s).
const int LATE_START = 240;
// Left alone, a level's movable bodies must stay within SETTLED_DRIFT world units
// of where they are at SETTLED_FROM, until SETTLED_TO (updates; 5 s to 30 s),
// unless a bomb or a black hole moves them.
const int SETTLED_FROM = 300, SETTLED_TO = 1800;
const float SETTLED_DRIFT = 2.0f;

struct ReplayOptions {
    int maxUpdates = DEFAULT_MAX_UPDATES;  // give up after this many updates
    // Stop once the outcome can hardly change: every movable body has been at
    // rest (asleep, or within 1 unit of where it was 45 and 90 updates before)
    // for longer than the rest test looks back, no click or bomb is still to
    // come, no black hole pulls, and the victory conditions do not hold. Only
    // ever turns a loss into an earlier loss (or, for a body creeping slower than
    // the rest test sees, a late win into a loss); the solver uses it to skip
    // hopeless tails, verify never.
    bool stopWhenSettled = false;
    // Updates after which to record the movable bodies (after the level's
    // update, before that update's click), in increasing order.
    std::vector<int> snapshotAt;
    // When positive: first play the clicks for this many updates, then restart
    // the level as the play state's 'r' does, and replay from update 1.
    int restartAfter = 0;
};

// A movable body as the solver sees it.
struct BodyState {
    float x = 0, y = 0;   // centre, world units
    float extent = 0;     // half of the larger side of its bounding box, world units
    bool target = false;  // its object must meet a victory condition
    bool asleep = false;  // at rest (asleep, or hardly moved for 90 updates): it stays put until pushed
};

struct Snapshot {
    int update = 0;
    std::vector<BodyState> bodies;  // in the world's order
};

struct ReplayResult {
    bool won = false;
    int wonAt = 0;        // the update in which the level counted as won
    int explosions = 0;   // clicks played before the win (or all played when not won)
    int updates = 0;      // updates simulated
    bool settled = false; // stopped early because nothing could change any more
    // The first update, after every click was played, at which every movable body
    // was at rest (see stopWhenSettled); 0 when that never happened.
    int quietAt = 0;
    // How far the objects with victory conditions are from meeting them, summed,
    // world units: 0 when every centre lies where it must. `gap` after the last
    // update simulated, `bestGap` the smallest seen after any update.
    float gap = 0;
    float bestGap = 0;
    std::vector<Snapshot> snapshots;
};

// What the solver needs to know about a level before searching it.
struct LevelInfo {
    int length = 300;                  // updates the victory conditions must hold
    int movableBodies = 0;             // bodies an explosion can push
    int targets = 0;                   // objects with an enter or leave condition
    bool blackHoles = false;
    std::vector<int> bombFuses;        // updates after which each bomb goes off
    std::vector<std::string> messages; // what loading reported: skipped lines (naming the file), then missing pictures
};

// What loading reports (skipped lines through LevelFile::report, missing pictures
// on standard output) is swallowed: describeLevel reports it once.
ReplayResult replay(const LevelSource& level, const std::vector<Click>& clicks,
                    const ReplayOptions& options = ReplayOptions());
// The same, leaving standard output alone: for a caller that silences it once
// around many replays run on several threads (an OutputCapture moves the
// process's descriptor 1, so two threads must not use one at the same time).
ReplayResult replayUnsilenced(const LevelSource& level, const std::vector<Click>& clicks,
                              const ReplayOptions& options = ReplayOptions());

// Loads the level once, collecting what it reports.
LevelInfo describeLevel(const LevelSource& level);

// Fraction of `variants` jittered copies of `clicks` that still win: every click
// moved by up to `shift` pixels along x and along y, and up to `early` updates
// earlier or `late` updates later (kept inside the field, from update 1 on and at least
// MIN_CLICK_GAP apart). The variants are the same on every run. With no clicks
// the only variant is the plain replay. `simulated` (when given) adds the updates run.
struct PlayabilityOptions {
    int variants = 32;
    int shift = 8;   // pixels
    int early = 10;  // updates; a hand is seldom early, often late
    int late = 40;   // updates
    int maxUpdates = DEFAULT_MAX_UPDATES;
    // Stop counting once the fraction is certain to stay below this; the result is
    // then a lower bound below it. 0 counts every variant.
    double giveUpBelow = 0.0;
};
std::vector<std::vector<Click>> playabilityVariants(const std::vector<Click>& clicks,
                                                    const PlayabilityOptions& options);
double playableFraction(const LevelSource& level, const std::vector<Click>& clicks,
                        const PlayabilityOptions& options = PlayabilityOptions(), long long* simulated = nullptr);

// `clicks`, every one `updates` later.
std::vector<Click> delayed(std::vector<Click> clicks, int updates);

// Left without a click: the farthest any movable body gets, world units, from
// where it was after update `from`, over the updates up to `to`.
float idleDrift(const LevelSource& level, int from = SETTLED_FROM, int to = SETTLED_TO);

}  // namespace leveltools
