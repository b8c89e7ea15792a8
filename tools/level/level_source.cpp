#include "tools/level/level_source.h"

#include <fstream>
#include <iterator>

namespace leveltools {

namespace {
const size_t MAX_NAME = 50;  // longest name whose "./levels/<name>.lvl" fits the game's 63-character path
}

std::string levelPath(const std::string& dir, const std::string& name) { return dir + "/levels/" + name + ".lvl"; }

std::string solutionPath(const std::string& dir, const std::string& name) { return dir + "/levels/" + name + ".sol"; }

bool readLevelList(const std::string& dir, std::vector<std::string>& names, std::string& error) {
    const std::string path = dir + "/levels.txt";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the level list";
        return false;
    }
    names.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        names.push_back(line);
    }
    return true;
}

bool loadLevelSource(const std::string& dir, const std::string& name, LevelSource& out, std::string& error) {
    out.name = name;
    out.path = levelPath(dir, name);
    std::ifstream in(out.path, std::ios::binary);
    if (!in) {
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

bool isValidLevelName(const std::string& name) {
    if (name.empty() || name.size() > MAX_NAME) return false;
    if (name.find('/') != std::string::npos) return false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !blank(name.front()) && !blank(name.back());
}

}  // namespace leveltools
