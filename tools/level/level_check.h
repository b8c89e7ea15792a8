#pragma once
// The quality gates every shipped level must pass, checked by replaying:
//   0. some object names an enter or leave condition that a Victory line declares;
//   1. it has a solution file made for the level's current bytes (hash);
//   2. the solution wins, with exactly `par` explosions;
//   3. the solution is playable: at least MIN_PLAYABLE of its jittered variants win;
//   4. the level is not won without a click, unless par is 0 (a lesson);
//   5. the level is not won by one click at the centre of the field (400, 300) in
//      update 1, unless par is 0 or 1;
//   6. the solution still wins after the level has been played and restarted;
//   7. late start: without a bomb, the solution still wins with every click
//      LATE_START updates later;
//   8. settled start: without a bomb or a black hole, no movable body left alone
//      moves more than SETTLED_DRIFT between SETTLED_FROM and SETTLED_TO.
#include <string>
#include <vector>

#include "tools/level/replay.h"

namespace leveltools {

const int CENTRE_X = 400, CENTRE_Y = 300;

struct CheckOptions {
    PlayabilityOptions playability;  // its maxUpdates is replaced by the solution's limit
};

struct LevelCheck {
    std::string name;
    bool passed = false;
    bool hasSolution = false;
    bool stale = false;       // the solution was made for other level bytes
    Solution solution;        // as read (when hasSolution)
    bool won = false;         // the solution's replay
    int explosions = 0;
    int wonAt = 0;
    double playable = -1.0;   // negative when not measured
    bool restartWins = false; // the solution won after a restart
    int lateWins = -1;        // 1 or 0: the late start won; -1 when the level has a bomb (or was not checked)
    float drift = -1.0f;      // settled start, world units; negative when not measured
    std::vector<std::string> problems;  // why it did not pass, one sentence each
    std::vector<std::string> messages;  // what loading the level printed
    long long simulated = 0;  // updates simulated for this check
};

LevelCheck checkLevel(const std::string& dir, const std::string& name, const CheckOptions& options = CheckOptions());

}  // namespace leveltools
