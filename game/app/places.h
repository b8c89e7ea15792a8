#pragma once
// Where the game's files are.
//
// The shipped data (levels.txt, levels/, media/) is read only. The game looks
// for it, in this order, in
//   $BOXQUAKE_DATA_DIR                      when set
//   the executable's directory              a build's run directory
//   <executable>/../share/boxquake          an installed game (cmake --install)
// and works inside the first that holds media/, so the data's relative paths
// ("./media/x.tga", "./levels/y.lvl") hold wherever the game was started from.
//
// The player's files (progress.txt, levels.txt and levels/ of the levels the
// editor saved) live in the player's own directory, which no build or install
// touches:
//   $BOXQUAKE_USER_DIR                      when set (tests)
//   $XDG_DATA_HOME/boxquake                 when XDG_DATA_HOME is an absolute path
//   $HOME/.local/share/boxquake             otherwise
#include <string>
#include <vector>

namespace places {

// The player's directory for the given environment values (null: unset); empty
// when none can be named (no HOME).
std::string playerDirFor(const char* userDir, const char* xdgDataHome, const char* home);
// The same for this process's environment, as an absolute path.
std::string playerDirFromEnvironment();

// The directories to look for the shipped data in, in order, for an
// executable in `exeDir` (see above).
std::vector<std::string> dataDirCandidates(const std::string& exeDir, const char* dataDirOverride);
// Whether `dir` holds the game's data (a media/ directory).
bool holdsData(const std::string& dir);
// The directory of the running executable; empty when it cannot be found.
std::string executableDir();

// For the game's start: finds the shipped data and makes it the working
// directory, and sets the player's directory from the environment. False, with
// a message on standard error naming every directory looked in, when there is
// no data; a missing player directory is said and play goes on.
bool settle();

// Earlier builds saved the editor's level as levels/mylevel1.lvl inside the
// data, where a rebuild then unlisted it. When `dataDir` holds such a level
// that its list does not name and the player's directory has none of that
// name, it is copied into the player's directory and listed there. Returns
// what happened, for the player (empty when nothing did).
std::string adoptOldSave(const std::string& dataDir, const std::string& playerDir);

// The player's directory this run; empty (the default, as in tests and tools)
// when the game keeps no player files: no progress is written and the editor
// cannot save.
const std::string& playerDir();
void setPlayerDir(const std::string& dir);
// playerDir() + "/" + name; empty when there is no player directory.
std::string playerFile(const std::string& name);

}  // namespace places
