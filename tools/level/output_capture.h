#pragma once
// Redirects the process's standard output (file descriptor 1) for a while: the
// sprites report pictures that fail to load with printf, which must not end up
// in the tool's table nor repeat for each of thousands of replays. (The level
// reader's messages go through LevelFile::report, collected per thread instead.)
#include <string>

namespace leveltools {

class OutputCapture {
public:
    enum Mode { DISCARD, KEEP };
    // DISCARD sends standard output to /dev/null; KEEP collects it for text().
    explicit OutputCapture(Mode mode);
    ~OutputCapture();  // restores standard output
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Restores standard output and returns what was collected (KEEP only).
    std::string finish();

private:
    int m_saved = -1;      // duplicate of the original descriptor 1; -1 once restored
    int m_target = -1;     // where descriptor 1 points meanwhile
    std::string m_text;    // collected output
};

}  // namespace leveltools
