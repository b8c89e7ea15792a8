#include "game/objects/progress.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/objects/level_list.h"
#include "game/objects/safe_write.h"

namespace progress {

namespace {

const char* const HEADER = "# boxquake progress\n";
const char* const STATE_WORDS[] = {"new", "won", "unfinished"};

// A whole non-negative decimal int, no sign, no blanks.
bool wholeNumber(const std::string& word, int& out) {
    if (word.empty() || word.size() > 9) return false;
    out = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

// The next blank-separated word of `line` from `at`, moving `at` past it and one blank.
std::string nextWord(const std::string& line, std::size_t& at) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    std::string word = line.substr(at, end - at);
    at = end < line.size() ? end + 1 : end;
    return word;
}

}  // namespace

bool parse(const std::string& text, const std::string& path, Results& out, std::string& error) {
    out.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        // Every carriage return at the end goes, not only a CR LF's: format() ends
        // a line with "\n" alone, so a name kept as "a\r" would be saved and read
        // back as "a", and its progress lost.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto fail = [&](const std::string& why) {
            error = path + ", line " + std::to_string(number) + ": " + why;
            out.clear();
            return false;
        };
        std::size_t at = 0;
        const std::string state = nextWord(line, at);
        Result r;
        r.state = -1;
        for (int s = NEW; s <= UNFINISHED; ++s) {
            if (state == STATE_WORDS[s]) r.state = s;
        }
        if (r.state < 0) return fail("\"" + levellist::printable(state, 20) + "\" is not new, won or unfinished");
        if (!wholeNumber(nextWord(line, at), r.clicks)) return fail("the explosions are not a whole number");
        if (!wholeNumber(nextWord(line, at), r.time)) return fail("the updates are not a whole number");
        const std::string name = line.substr(at);
        if (name.empty()) return fail("no level name");
        out[name] = r;
    }
    return true;
}

std::string format(const Results& results) {
    std::string text = HEADER;
    for (const auto& [name, r] : results) {
        const int state = r.state >= NEW && r.state <= UNFINISHED ? r.state : NEW;
        text += std::string(STATE_WORDS[state]) + " " + std::to_string(r.clicks) + " " + std::to_string(r.time) +
                " " + name + "\n";
    }
    return text;
}

void record(Result& r, bool win, int clicks, int time) {
    if (win) {
        // The state says whether a result exists, so a win without any
        // explosion is kept as a real result of 0 rather than taken for "none yet".
        if (r.state != WON || clicks < r.clicks) {
            r.clicks = clicks;
            r.time = time;
        }
        r.state = WON;
    } else if (r.state != WON) {
        r.state = UNFINISHED;
    }
}

std::string Store::load() {
    results.clear();
    if (m_path.empty()) return std::string();
    std::error_code ec;
    if (!std::filesystem::exists(m_path, ec)) return std::string();  // a first start

    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    std::string error;
    if (!in || in.bad() || std::filesystem::is_directory(m_path, ec)) {
        error = m_path + ": cannot read the progress";
    } else if (parse(text.str(), m_path, results, error)) {
        return std::string();
    }
    // Play goes on from empty, and the unreadable file must survive this run's saves.
    results.clear();
    std::string aside = m_path + ".bad";
    for (int n = 2; std::filesystem::exists(aside, ec); ++n) aside = m_path + ".bad" + std::to_string(n);
    std::filesystem::rename(m_path, aside, ec);
    if (ec) {
        m_writable = false;
        return error + "; it cannot be moved aside (" + ec.message() +
               "), so this run's progress is kept only until the game ends";
    }
    return error + "; kept as " + aside + ", progress starts afresh";
}

std::string Store::save() {
    if (m_path.empty() || !m_writable) return std::string();
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::path(m_path).parent_path();
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
    std::string why;
    if (replaceFile(m_path, format(results), why)) return std::string();
    if (m_failedOnce) return std::string();
    m_failedOnce = true;
    return "Could not save the progress to " + m_path + ": " + why + "; it is kept only until the game ends";
}

}  // namespace progress
