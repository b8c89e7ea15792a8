#include "tools/level/output_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace leveltools {

OutputCapture::OutputCapture(Mode mode) {
    std::fflush(stdout);
    m_saved = dup(1);
    if (m_saved < 0) return;  // nothing redirected: the output just shows
    if (mode == DISCARD) {
        m_target = open("/dev/null", O_WRONLY | O_CLOEXEC);
    } else {
        FILE* file = std::tmpfile();
        if (file != nullptr) {
            m_target = dup(fileno(file));
            std::fclose(file);  // the descriptor keeps the unlinked file alive
        }
    }
    if (m_target < 0 || dup2(m_target, 1) < 0) {
        close(m_saved);
        m_saved = -1;
    }
}

OutputCapture::~OutputCapture() { finish(); }

std::string OutputCapture::finish() {
    if (m_saved < 0) return m_text;
    std::fflush(stdout);
    dup2(m_saved, 1);
    close(m_saved);
    m_saved = -1;
    if (m_target >= 0) {
        if (lseek(m_target, 0, SEEK_SET) == 0) {
            char buffer[4096];
            ssize_t n;
            while ((n = read(m_target, buffer, sizeof buffer)) > 0) m_text.append(buffer, static_cast<size_t>(n));
        }
        close(m_target);
        m_target = -1;
    }
    return m_text;
}

}  // namespace leveltools
