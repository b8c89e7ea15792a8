#pragma once
// The player's progress: for each level played, whether it was won or left
// unfinished, the fewest explosions of a win and the updates that win took.
//
// File "progress.txt" in the player's directory, text, one level a line:
//
//   # boxquake progress
//   won 2 734 firstblast         state, explosions, updates, then the name
//   unfinished 0 0 tower two     (the name is the rest of the line: names may hold blanks)
//
// Lines starting with '#' and blank lines are ignored. A later line for the
// same name replaces an earlier one. Anything else makes the file corrupt: it
// is then kept beside the progress under another name, never overwritten.
#include <map>
#include <string>

namespace progress {

constexpr const char* FILE_NAME = "progress.txt";

// A level's state; the numbers are the menu's icon indices.
enum State { NEW = 0, WON = 1, UNFINISHED = 2 };

struct Result {
    int state = NEW;
    int clicks = 0;  // explosions of the recorded win (meaningful once won)
    int time = 0;    // updates the recorded win took
};

// Results by level name. Levels no longer listed keep their lines: a level
// taken out of the list and put back finds its progress again.
using Results = std::map<std::string, Result>;

// Parses a progress file; `path` only names it in `error` ("<path>, line <n>: why").
bool parse(const std::string& text, const std::string& path, Results& out, std::string& error);
// The file's text for `results`, names in sorted order.
std::string format(const Results& results);

// Records a finished run of `name` in `r`: a win keeps the fewest explosions
// (the first win always counts, even with more), leaving unwon marks the level
// unfinished, and a won level stays won.
void record(Result& r, bool win, int clicks, int time);

// The progress file of a run, with what went wrong said once and nothing ever
// dropped: a corrupt file is moved aside (to "<path>.bad", or ".bad2", ... when
// that is taken) before play goes on from empty; when it cannot be moved, or
// the directory cannot be written, play goes on in memory and the file is
// left as it is.
class Store {
public:
    // No file: results are kept in memory only.
    Store() = default;
    explicit Store(std::string path) : m_path(std::move(path)) {}

    // Reads the file; a missing file is a first start. Returns the message to
    // show (empty when there is nothing to say).
    std::string load();
    // Writes every result through a temporary file. Returns the message to
    // show: only for the first failure of the run, and never for a store
    // without a file.
    std::string save();

    const std::string& path() const { return m_path; }
    Results results;

private:
    std::string m_path;
    bool m_writable = true;   // false once the file must not be written this run
    bool m_failedOnce = false;
};

}  // namespace progress
