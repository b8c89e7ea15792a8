#pragma once
// The quality gates every shipped level must pass, checked by replaying:
//   1. it has a solution file made for the level's current bytes (hash);
//   2. the solution wins, with exactly `par` explosions;
//   3. the solution is playable: at least half of its jittered variants win;
//   4. the level is not won without a click, unless par is 0 (a lesson);
//   5. the level is not won by one click at the centre of the field (400, 300) in
//      update 1, unless par is 0 or 1.
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
    std::vector<std::string> problems;  // why it did not pass, one sentence each
    std::vector<std::string> messages;  // what loading the level printed
    long long simulated = 0;  // updates simulated for this check
};

LevelCheck checkLevel(const std::string& dir, const std::string& name, const CheckOptions& options = CheckOptions());

}  // namespace leveltools
