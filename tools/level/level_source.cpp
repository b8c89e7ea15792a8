#include "tools/level/level_source.h"

#include <filesystem>
#include <fstream>
#include <iterator>


namespace leveltools {

std::string levelPath(const std::string& dir, const std::string& name) { return dir + "/levels/" + name + ".lvl"; }

std::string solutionPath(const std::string& dir, const std::string& name) { return dir + "/levels/" + name + ".sol"; }

bool loadLevelSource(const std::string& dir, const std::string& name, LevelSource& out, std::string& error) {
    out.name = name;
    out.path = levelPath(dir, name);
    // A directory opens as a stream but throws on the first read.
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(out.path, ec)) in.open(out.path, std::ios::binary);
    if (!in.is_open()) {
        error = out.path + ": cannot read the level file";
        return false;
    }
    out.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = out.path + ": read error";
        return false;
    }
    return true;
}

}  // namespace leveltools
