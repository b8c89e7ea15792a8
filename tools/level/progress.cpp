#include "tools/level/progress.h"

#include <unistd.h>

#include <algorithm>

namespace {
const int BAR_WIDTH = 24;                                // characters inside the brackets
const std::chrono::milliseconds TERMINAL_PERIOD(100);    // redraw period on a terminal
const std::chrono::milliseconds LOG_PERIOD(5000);        // line period otherwise
}  // namespace

ProgressBar::ProgressBar(std::FILE* out)
    : m_out(out), m_terminal(isatty(fileno(out)) != 0), m_last(std::chrono::steady_clock::now() - LOG_PERIOD) {}

void ProgressBar::show(double done, const std::string& text) {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < (m_terminal ? TERMINAL_PERIOD : LOG_PERIOD)) return;
    m_last = now;
    done = std::clamp(done, 0.0, 1.0);
    const int filled = static_cast<int>(done * BAR_WIDTH + 0.5);
    std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(BAR_WIDTH - filled), '.') + "] ";
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%% ", static_cast<int>(done * 100.0));
    line += percent;
    line += text;
    if (m_terminal) {
        std::string padding(m_lastWidth > line.size() ? m_lastWidth - line.size() : 0, ' ');
        std::fprintf(m_out, "\r%s%s", line.c_str(), padding.c_str());
        m_lastWidth = line.size();
        m_drawn = true;
    } else {
        std::fprintf(m_out, "%s\n", line.c_str());
    }
    std::fflush(m_out);
}

void ProgressBar::finish() {
    if (m_drawn) std::fprintf(m_out, "\n");
    m_drawn = false;
    m_lastWidth = 0;
    std::fflush(m_out);
}
