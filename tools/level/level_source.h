#pragma once
// Where a level directory keeps its things, and a level's bytes read once.
//
//   <dir>/levels.txt          level names in play order, one a line
//   <dir>/levels/<name>.lvl   the level
//   <dir>/levels/<name>.sol   its solution (see solution.h)
//   <dir>/media/              pictures (only needed to check that the images exist)
#include <string>
#include <vector>

namespace leveltools {

struct LevelSource {
    std::string name;   // level name, without directory or extension
    std::string path;   // the .lvl file it was read from
    std::string bytes;  // the file's bytes: what is hashed and what is simulated
};

std::string levelPath(const std::string& dir, const std::string& name);
std::string solutionPath(const std::string& dir, const std::string& name);

// The names in <dir>/levels.txt, read as the menu reads them (see level_list.h).
// False (with `error` naming the file) when the file cannot be read.
bool readLevelList(const std::string& dir, std::vector<std::string>& names, std::string& error);

// Reads <dir>/levels/<name>.lvl whole.
bool loadLevelSource(const std::string& dir, const std::string& name, LevelSource& out, std::string& error);

// A level name the game opens (levellist::isValidName).
bool isValidLevelName(const std::string& name);

}  // namespace leveltools
