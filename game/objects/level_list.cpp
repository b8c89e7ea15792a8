#include "game/objects/level_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "game/objects/safe_write.h"

namespace levellist {

namespace {

// The bytes of the file at `path`; false when it cannot be opened or read. Read
// through istream::read, which reports a failed read (a directory's, say) as a
// state rather than an exception.
bool readText(const std::string& path, std::string& text) {
    text.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) text.append(buffer, static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

// The list's lines as names: "\r\n" endings accepted, empty lines dropped.
// `lines` (when given) gets each name's line number, from 1.
std::vector<std::string> namesIn(const std::string& text, std::vector<int>* lines = nullptr) {
    std::vector<std::string> names;
    if (lines) lines->clear();
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) {
            names.push_back(line);
            if (lines) lines->push_back(lineNumber);
        }
        start = end + 1;
    }
    return names;
}

}  // namespace

std::string printable(const std::string& text, std::size_t limit) {
    static const char HEX[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += HEX[c >> 4];
            out += HEX[c & 15];
        }
    }
    if (text.size() > limit) out += "...";
    return out;
}

bool isValidName(const std::string& name) {
    if (name.empty() || name.size() > MAX_NAME) return false;
    if (name.find('/') != std::string::npos) return false;
    // "levels/" + name + ".lvl": "." and ".." are no levels' names, and a NUL
    // would end the path early and open another file than the one named.
    if (name == "." || name == "..") return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
    }
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !blank(name.front()) && !blank(name.back());
}

bool read(const std::string& path, std::vector<std::string>& names, std::string& error, std::vector<int>* lines) {
    names.clear();
    if (lines) lines->clear();
    // Read only: a list installed read-only must still show its levels.
    std::string text;
    if (!readText(path, text)) {
        error = path + ": cannot read the level list";
        return false;
    }
    names = namesIn(text, lines);
    return true;
}

bool append(const std::string& path, const std::string& name, std::string& error) {
    std::string text;
    // A missing list is created; one that exists but cannot be read must not be
    // replaced by a list of this one name.
    if (!readText(path, text) && std::filesystem::exists(path) && !std::filesystem::is_directory(path)) {
        error = "could not add it to " + path + ": cannot read the list";
        return false;
    }
    const std::vector<std::string> names = namesIn(text);
    if (std::find(names.begin(), names.end(), name) != names.end()) return true;

    text += (text.empty() || text.back() == '\n' ? "" : "\n") + name + "\n";
    std::string why;
    if (!replaceFile(path, text, why)) {
        error = "could not add it to " + path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace levellist
