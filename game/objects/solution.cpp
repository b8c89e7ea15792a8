#include "game/objects/solution.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "game/objects/levelfile.h"
#include "game/objects/safe_write.h"

namespace leveltools {

namespace {

const std::uint64_t FNV_OFFSET = 14695981039346656037ull;
const std::uint64_t FNV_PRIME = 1099511628211ull;

bool isHexHash(const std::string& s) {
    if (s.size() != 16) return false;
    for (char c : s) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// A whole token as a decimal integer (no trailing junk).
bool toInt(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000000L || v > 1000000000L) return false;
    out = static_cast<int>(v);
    return true;
}

bool toReal(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return *end == '\0';
}

}  // namespace

std::uint64_t fnv1a64(const std::string& bytes) {
    std::uint64_t h = FNV_OFFSET;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= FNV_PRIME;
    }
    return h;
}

std::string hashHex(std::uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string levelHash(const std::string& levelBytes) { return hashHex(fnv1a64(levelBytes)); }

bool clicksArePlayable(const std::vector<Click>& clicks, std::string* why) {
    int previous = 1 - MIN_CLICK_GAP;
    for (size_t i = 0; i < clicks.size(); ++i) {
        const Click& c = clicks[i];
        std::ostringstream msg;
        if (c.update < 1) {
            msg << "click " << i + 1 << " at update " << c.update << ": the first update is 1";
        } else if (c.update - previous < MIN_CLICK_GAP) {
            msg << "click " << i + 1 << " at update " << c.update << " comes less than " << MIN_CLICK_GAP
                << " updates after the one before (" << previous << "): the button must be released in between";
        } else if (c.x < 0 || c.x >= FIELD_WIDTH || c.y < 0 || c.y >= FIELD_HEIGHT) {
            msg << "click " << i + 1 << " at (" << c.x << ", " << c.y << ") is outside the " << FIELD_WIDTH << " x "
                << FIELD_HEIGHT << " field";
        } else {
            previous = c.update;
            continue;
        }
        if (why) *why = msg.str();
        return false;
    }
    return true;
}

bool parseSolution(std::istream& in, const std::string& path, Solution& out, std::string& error) {
    out = Solution();
    std::string line;
    int number = 0;
    bool haveHash = false;
    auto fail = [&](const std::string& what) {
        std::ostringstream msg;
        msg << path << ", line " << number << ": " << what;
        error = msg.str();
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string t; words >> t;) w.push_back(t);
        if (w.empty() || w[0][0] == '#') continue;
        const std::string& key = w[0];
        if (key == "hash") {
            if (w.size() != 2 || !isHexHash(w[1])) return fail("expected \"hash\" and 16 lower-case hex digits");
            out.hash = w[1];
            haveHash = true;
        } else if (key == "par") {
            if (w.size() != 2 || !toInt(w[1], out.par) || out.par < 0) return fail("expected \"par\" and a count >= 0");
        } else if (key == "updates") {
            if (w.size() != 2 || !toInt(w[1], out.updates) || out.updates < 0) {
                return fail("expected \"updates\" and a count >= 0");
            }
        } else if (key == "playable") {
            if (w.size() != 2 || !toReal(w[1], out.playable) || !(out.playable >= 0.0 && out.playable <= 1.0)) {
                return fail("expected \"playable\" and a fraction from 0 to 1");
            }
        } else if (key == "limit") {
            if (w.size() != 2 || !toInt(w[1], out.limit) || out.limit < 1) {
                return fail("expected \"limit\" and a count >= 1");
            }
        } else if (key == "click") {
            Click c;
            if (w.size() != 4 || !toInt(w[1], c.update) || !toInt(w[2], c.x) || !toInt(w[3], c.y)) {
                return fail("expected \"click <update> <x> <y>\" with three integers");
            }
            out.clicks.push_back(c);
        } else {
            // Quoted escaped and cut: a binary file's first word may be any bytes, of any length.
            return fail("unknown item " + LevelFile::quote(key) + " (hash, par, updates, playable, limit, click)");
        }
    }
    number = 0;
    if (!haveHash) return fail("no \"hash\" line");
    if (out.par < 0) return fail("no \"par\" line");
    if (static_cast<size_t>(out.par) != out.clicks.size()) {
        return fail("par " + std::to_string(out.par) + " but " + std::to_string(out.clicks.size()) + " clicks");
    }
    std::string why;
    if (!clicksArePlayable(out.clicks, &why)) return fail(why);
    return true;
}

bool readSolution(const std::string& path, Solution& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": no solution file (run: boxquake-level solve <level>)";
        return false;
    }
    return parseSolution(in, path, out, error);
}

std::string formatSolution(const Solution& s, const std::string& levelName) {
    std::ostringstream out;
    out << "# boxquake solution for " << levelName << "\n";
    out << "hash " << s.hash << "\n";
    out << "par " << s.par << "\n";
    if (s.updates > 0) out << "updates " << s.updates << "\n";
    if (s.playable >= 0.0) {
        char fraction[32];
        std::snprintf(fraction, sizeof fraction, "%.3f", s.playable);
        out << "playable " << fraction << "\n";
    }
    if (s.limit != DEFAULT_MAX_UPDATES) out << "limit " << s.limit << "\n";
    for (const Click& c : s.clicks) out << "click " << c.update << " " << c.x << " " << c.y << "\n";
    return out.str();
}

bool writeSolution(const std::string& path, const Solution& solution, const std::string& levelName,
                   std::string& error) {
    std::string why;
    if (!replaceFile(path, formatSolution(solution, levelName), why)) {
        error = path + ": cannot write (" + why + ")";
        return false;
    }
    return true;
}

bool readCurrentSolution(const std::string& levelPath, const std::string& solutionPath, Solution& out,
                         std::string& why) {
    std::string error;
    if (!readSolution(solutionPath, out, error)) {
        std::ifstream probe(solutionPath, std::ios::binary);
        why = probe ? "the stored solution cannot be read (" + error + ")" : "no solution is stored for this level";
        return false;
    }
    std::ifstream level(levelPath, std::ios::binary);
    std::ostringstream bytes;
    bytes << level.rdbuf();
    if (!level || levelHash(bytes.str()) != out.hash) {
        why = "the stored solution is for an older version of this level";
        return false;
    }
    if (!clicksArePlayable(out.clicks, &error)) {
        why = "the stored solution cannot be played (" + error + ")";
        return false;
    }
    return true;
}

bool keepStoredSolution(const Solution& stored, const Solution& found, bool foundPlayable) {
    if (!foundPlayable) return true;
    if (stored.par != found.par) return stored.par < found.par;
    return stored.playable >= found.playable;
}

}  // namespace leveltools
