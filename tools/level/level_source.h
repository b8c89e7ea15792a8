#pragma once
// Where a level directory keeps its things, and a level's bytes read once.
//
//   <dir>/levels.txt          level names in play order (see game/objects/level_list.h)
//   <dir>/levels/<name>.lvl   the level
//   <dir>/levels/<name>.sol   its solution (see solution.h)
//   <dir>/media/              pictures (only needed to check that the images exist)
#include <string>

namespace leveltools {

struct LevelSource {
    std::string name;   // level name, without directory or extension
    std::string path;   // the .lvl file it was read from
    std::string bytes;  // the file's bytes: what is hashed and what is simulated
};

std::string levelPath(const std::string& dir, const std::string& name);
std::string solutionPath(const std::string& dir, const std::string& name);

// Reads <dir>/levels/<name>.lvl whole.
bool loadLevelSource(const std::string& dir, const std::string& name, LevelSource& out, std::string& error);

}  // namespace leveltools
