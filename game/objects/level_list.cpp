#include "game/objects/level_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

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
std::vector<std::string> namesIn(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names.push_back(line);
        start = end + 1;
    }
    return names;
}

}  // namespace

bool isValidName(const std::string& name) {
    if (name.empty() || name.size() > MAX_NAME) return false;
    if (name.find('/') != std::string::npos) return false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !blank(name.front()) && !blank(name.back());
}

bool read(const std::string& path, std::vector<std::string>& names, std::string& error) {
    names.clear();
    // Read only: a list installed read-only must still show its levels.
    std::string text;
    if (!readText(path, text)) {
        error = path + ": cannot read the level list";
        return false;
    }
    names = namesIn(text);
    return true;
}

bool append(const std::string& path, const std::string& name, std::string& error) {
    std::string text;
    readText(path, text);  // a missing list is created below; one that cannot be read fails there
    const std::vector<std::string> names = namesIn(text);
    if (std::find(names.begin(), names.end(), name) != names.end()) return true;

    FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr) {
        error = "could not add it to " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string line = (text.empty() || text.back() == '\n' ? "" : "\n") + name + "\n";
    bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    int why = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        why = errno;
    }
    if (!ok) error = "could not add it to " + path + ": " + std::strerror(why);
    return ok;
}

}  // namespace levellist
