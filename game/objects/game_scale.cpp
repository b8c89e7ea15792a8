#include "game/objects/game_scale.h"

#include "physics/globals.h"

void useGameScale() { physics::Globals::restitutionThreshold = GAME_RESTITUTION_THRESHOLD; }
