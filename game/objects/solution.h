#pragma once
// A level's stored solution: the clicks that win it, and the hash of the level
// file they were found for, so that an edited level shows up as stale. Written
// by the level tools (namespace leveltools), read by the game for a level's par
// and to show its solution.
//
// File levels/<name>.sol, text, one item per line:
//
//   # boxquake solution for level3
//   hash 9c1f3e0a5b7d2c41      FNV-1a 64 of the .lvl file's bytes, 16 hex digits
//   par 2                      explosions the solution uses (0: won without a click)
//   updates 734                updates until won when written (informative)
//   playable 0.91              fraction of the jittered variants that won (informative)
//   limit 3600                 updates a replay may take (optional; 3600 when absent)
//   click 40 352 118           update, x, y: one left click
//   click 300 610 95
//
// Lines starting with '#' and blank lines are ignored. "hash" and "par" are
// required; par must equal the number of clicks. A click's update is the
// 1-based ordinal of the play state's update in which the button goes down
// (the level has already been stepped that many times); x and y are integer
// window pixels, origin bottom left, inside the 800 x 600 field. Presses are at
// least two updates apart: the button must be up for one update in between.
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace leveltools {

const int FIELD_WIDTH = 800;   // window pixels
const int FIELD_HEIGHT = 600;  // window pixels
const int MIN_CLICK_GAP = 2;   // updates between two presses (one update with the button up)
const int DEFAULT_MAX_UPDATES = 3600;  // updates a replay may take by default: 60 s of play

// One left click: pressed during update `update` at window pixel (x, y).
struct Click {
    int update = 1;
    int x = 0;
    int y = 0;

    bool operator==(const Click& o) const { return update == o.update && x == o.x && y == o.y; }
    bool operator!=(const Click& o) const { return !(*this == o); }
};

struct Solution {
    std::string hash;             // 16 lower-case hex digits of the level file's FNV-1a 64
    int par = -1;                 // explosions used; -1 while not read
    int updates = 0;              // updates until won when the file was written; 0 when unknown
    double playable = -1.0;       // playable fraction when written; negative when unknown
    int limit = DEFAULT_MAX_UPDATES;           // updates a replay of this solution (or a variant) may take
    std::vector<Click> clicks;    // in update order
};

// FNV-1a, 64 bits, over raw bytes.
std::uint64_t fnv1a64(const std::string& bytes);
// 16 lower-case hex digits.
std::string hashHex(std::uint64_t hash);
// The hash of a level's bytes as it is written in solution files.
std::string levelHash(const std::string& levelBytes);

// Whether `clicks` could be played: updates from 1 on, at least MIN_CLICK_GAP
// apart, positions inside the field. `why` says what is wrong.
bool clicksArePlayable(const std::vector<Click>& clicks, std::string* why = nullptr);

// Parses a solution; `path` only names the file in `error` ("<path>, line <n>: ...").
bool parseSolution(std::istream& in, const std::string& path, Solution& out, std::string& error);
bool readSolution(const std::string& path, Solution& out, std::string& error);
// The file's text; `levelName` goes into the first (comment) line.
std::string formatSolution(const Solution& solution, const std::string& levelName);
// Writes through a temporary file renamed into place, so an interrupted write
// never leaves half a solution behind.
bool writeSolution(const std::string& path, const Solution& solution, const std::string& levelName,
                   std::string& error);

// The solution at `solutionPath` when it was found for the level file at
// `levelPath` as it is now (the hashes agree) and its clicks can be played.
// False, with `why` for a player ("no solution is stored for this level", "the
// stored solution is for an older version of this level"), otherwise.
bool readCurrentSolution(const std::string& levelPath, const std::string& solutionPath, Solution& out,
                         std::string& why);

// Whether solve keeps the stored solution rather than writing the one it found.
// `stored` must still win and be playable (its playable fraction measured now).
// A playable stored solution always beats an unplayable find, however few its
// clicks: a lucky one-click fluke must never replace a solution that passes.
// Otherwise fewer clicks win, then the more forgiving of equals.
bool keepStoredSolution(const Solution& stored, const Solution& found, bool foundPlayable);

}  // namespace leveltools
