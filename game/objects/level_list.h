#pragma once
// The level list, "levels.txt": the names of the levels in play order, one a
// line. The menu, the editor and the level tools all read and extend it here,
// so a list verifies exactly as the menu shows it.
//
//   firstblast          <- a name; the level is levels/firstblast.lvl
//   throughwalls\r      <- a carriage return before the line break is dropped
//                       <- empty lines are skipped
//
// Nothing else is trimmed: a name with a blank at either end, a '/' or more
// than MAX_NAME characters is kept as read and refused by isValidName, so the
// game never opens a file outside levels/ and the tools report it.
#include <cstddef>
#include <string>
#include <vector>

namespace levellist {

constexpr const char* FILE_NAME = "levels.txt";
constexpr std::size_t MAX_NAME = 50;  // characters of the longest level name

// 1 to MAX_NAME characters, no '/', no control character but tab, not "." or
// "..", no space or tab at either end.
bool isValidName(const std::string& name);
// The rule above in words, for messages.
constexpr const char* NAME_RULE =
    "1 to 50 characters, no '/', no control character, not . or .., no blank at either end";
static_assert(MAX_NAME == 50, "NAME_RULE names the longest name");

// `text` with every byte outside printable ASCII written as \xNN and at most
// `limit` bytes shown ("..." after): for names and words in messages.
std::string printable(const std::string& text, std::size_t limit = 60);

// The names in the list at `path`, in order, and (when `lines` is given) the
// line each was on, from 1. False (with `error` naming the file) when it cannot
// be read; `names` is then empty.
bool read(const std::string& path, std::vector<std::string>& names, std::string& error,
          std::vector<int>* lines = nullptr);

// Lists `name` at the end of the file at `path` unless a line names it already;
// a list that does not end with a line break gets one first, so the name never
// joins the last line. A missing file is created; the list is replaced whole
// (see safe_write.h), so a failed write leaves it as it was. False, with `error` naming
// the file and the reason, when it cannot be written; true when the name is
// listed (already or now).
bool append(const std::string& path, const std::string& name, std::string& error);

}  // namespace levellist
