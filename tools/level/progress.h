#pragma once
// A one-line progress bar on standard error, redrawn at most ten times a second.
// When standard error is not a terminal, a plain line is written every few
// seconds instead, so logs stay readable.
#include <chrono>
#include <cstdio>
#include <string>

class ProgressBar {
public:
    explicit ProgressBar(std::FILE* out = stderr);
    // `done` from 0 to 1; `text` follows the bar. Drawn only when due.
    void show(double done, const std::string& text);
    // Ends the line so later output starts on a fresh one.
    void finish();

private:
    std::FILE* m_out;
    bool m_terminal;
    bool m_drawn = false;  // a bar is on the current line
    std::chrono::steady_clock::time_point m_last;
    size_t m_lastWidth = 0;  // characters of the last bar, to blank what a shorter one leaves
};
