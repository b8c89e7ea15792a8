#pragma once
// Random play: a level played for a long time by a player who clicks at seeded
// random places at seeded random moments, through the play state's own rules of
// play (PlayRules), as the level tools' replay plays a solution:
//
//   update u (u = 1, 2, ...):
//     rules.update()                 the level steps; the count becomes u
//     every body checked             position, velocity and rotation finite;
//                                    how far its centre is outside the field
//     a click due at u:              rules.click(x, y), then the next is drawn
//                                    gapMin to gapMax updates later
//
// A win changes nothing: the level plays on, as it would for a player who does
// not pick the tick mark. The field is the 800 x 600 window; the boundary walls
// stand at its edges, 20 units thick, reaching 5 units into it, so a centre more
// than 15 units outside has gone through a wall.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/level/level_source.h"

namespace leveltools {

// How far outside the field (world units) a centre must be to have passed a
// boundary wall: the walls' outer faces lie 15 units outside.
const float THROUGH_WALL = 15.0f;

struct RandomPlayOptions {
    int updates = 36000;    // 10 minutes at 60 updates a second
    std::uint64_t seed = 1; // with the level's name, fixes every click
    int gapMin = 12;        // updates between clicks: 0.2 s ...
    int gapMax = 180;       // ... to 3 s
    // When given, set to the number of updates done after each one, for a
    // watchdog on another thread that tells a hang from a slow level.
    std::atomic<int>* progress = nullptr;
};

// Where a body was when it was farthest outside the field.
struct Excursion {
    float distance = 0;  // of its centre from the field, world units; 0 while inside
    int update = 0;      // after which update
    int object = -1;     // index in the level's object order (the walls are 0 to 3)
    std::string kind;    // its level-file keyword ("Ball", "Box", ...), when it has one
    float x = 0, y = 0;           // centre, world units
    float vx = 0, vy = 0;         // velocity, world units / s
    float startX = 0, startY = 0; // where the level puts it
    const char* side = "";        // "left", "right", "floor" or "ceiling": the edge it is beyond
    float fromX = 0, fromY = 0;   // its centre one update before
};

struct RandomPlayResult {
    int updates = 0;           // updates played
    int clicks = 0;            // explosions
    int firstWin = 0;          // the first update after which the level counted as won; 0 when never
    bool finite = true;        // every body's position, velocity and rotation stayed finite
    std::string nonFinite;     // the first body found otherwise: which, when, with what
    Excursion farthest;        // the farthest any movable body's centre went outside the field
    Excursion escape;          // the first centre found beyond a wall's outer face (distance 0: none)
    int outside = 0;           // movable bodies whose centre ended outside the field
    float fastest = 0;         // the highest speed of any movable body, world units / s
    double slowestUpdate = 0;  // seconds of the slowest update
};

// Plays `level` (loaded from its bytes) for options.updates updates. What
// loading reports is left to the caller (see describeLevel).
RandomPlayResult playRandomly(const LevelSource& level, const RandomPlayOptions& options);

// The play command: plays each of `names` in `dir` (the working directory),
// prints a row per level on standard output with the farthest excursion, and
// a line for every body that went through a wall and every non-finite body.
// An update that has not ended after HANG_SECONDS ends the process with status
// 1. True when every level loaded, stayed finite and kept its bodies inside
// the walls.
const int HANG_SECONDS = 30;
bool playAndReport(const std::string& dir, const std::vector<std::string>& names, const RandomPlayOptions& options);

// How far `x`, `y` lies outside the 800 x 600 field, and beyond which edge.
float outsideField(float x, float y, const char** side = nullptr);

}  // namespace leveltools
