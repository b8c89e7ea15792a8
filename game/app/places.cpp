#include "game/app/places.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/objects/level_list.h"
#include "game/objects/safe_write.h"

namespace places {

namespace {

std::string s_playerDir;

bool set(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

std::string playerDirFor(const char* userDir, const char* xdgDataHome, const char* home) {
    if (set(userDir)) return userDir;
    // A relative XDG_DATA_HOME is not to be trusted: it would move with the working directory.
    if (set(xdgDataHome) && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/boxquake";
    if (set(home)) return std::string(home) + "/.local/share/boxquake";
    return std::string();
}

std::string playerDirFromEnvironment() {
    const std::string dir =
        playerDirFor(std::getenv("BOXQUAKE_USER_DIR"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (dir.empty()) return dir;
    // The game works inside its data directory: a relative path must not move with it.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
    return ec ? dir : absolute.lexically_normal().string();
}

std::vector<std::string> dataDirCandidates(const std::string& exeDir, const char* dataDirOverride) {
    std::vector<std::string> dirs;
    if (set(dataDirOverride)) dirs.push_back(dataDirOverride);
    if (!exeDir.empty()) {
        dirs.push_back(exeDir);
        dirs.push_back((std::filesystem::path(exeDir).parent_path() / "share" / "boxquake").string());
    }
    return dirs;
}

bool holdsData(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(dir) / "media", ec);
}

std::string executableDir() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string adoptOldSave(const std::string& dataDir, const std::string& playerDir) {
    const std::string name = "mylevel1";
    const std::filesystem::path old = std::filesystem::path(dataDir) / "levels" / (name + ".lvl");
    const std::filesystem::path kept = std::filesystem::path(playerDir) / "levels" / (name + ".lvl");
    std::error_code ec;
    if (playerDir.empty() || !std::filesystem::is_regular_file(old, ec) || std::filesystem::exists(kept, ec)) {
        return std::string();
    }
    std::vector<std::string> shipped;
    std::string error;
    levellist::read((std::filesystem::path(dataDir) / levellist::FILE_NAME).string(), shipped, error);
    if (std::find(shipped.begin(), shipped.end(), name) != shipped.end()) return std::string();

    std::filesystem::create_directories(kept.parent_path(), ec);
    std::ifstream in(old, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string why;
    if (!in || !replaceFile(kept.string(), bytes.str(), why) ||
        !levellist::append(playerDir + "/" + levellist::FILE_NAME, name, why)) {
        return "Could not keep the level saved in " + old.string() + " among your levels: " + why;
    }
    return "The level saved in " + old.string() + " is now kept with your levels, in " + kept.string();
}

bool settle() {
    const std::vector<std::string> dirs = dataDirCandidates(executableDir(), std::getenv("BOXQUAKE_DATA_DIR"));
    auto found = std::find_if(dirs.begin(), dirs.end(), holdsData);
    std::error_code ec;
    if (found != dirs.end()) std::filesystem::current_path(*found, ec);
    if (found == dirs.end() || ec) {
        std::string looked;
        for (const std::string& dir : dirs) looked += "\n  " + dir;
        std::fprintf(stderr, "boxquake: no game data (a media/ directory) found; looked in:%s\n", looked.c_str());
        return false;
    }
    setPlayerDir(playerDirFromEnvironment());
    const std::string adopted = adoptOldSave(std::filesystem::current_path(ec).string(), playerDir());
    if (!adopted.empty()) std::fprintf(stderr, "boxquake: %s\n", adopted.c_str());
    if (playerDir().empty()) {
        std::fprintf(stderr,
                     "boxquake: no place for the player's files (HOME is not set): progress is kept only until "
                     "the game ends, and the editor cannot save\n");
    }
    return true;
}

const std::string& playerDir() { return s_playerDir; }

void setPlayerDir(const std::string& dir) { s_playerDir = dir; }

std::string playerFile(const std::string& name) { return s_playerDir.empty() ? s_playerDir : s_playerDir + "/" + name; }

}  // namespace places
