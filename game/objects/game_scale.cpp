#include "game/objects/game_scale.h"

#include "physics/globals.h"

// Levels load on several threads at once in the level tools: once the value is
// set, every later call only reads it (the same value written at once by two
// threads would still be a data race).
void useGameScale() {
    if (physics::Globals::restitutionThreshold != GAME_RESTITUTION_THRESHOLD) {
        physics::Globals::restitutionThreshold = GAME_RESTITUTION_THRESHOLD;
    }
}
