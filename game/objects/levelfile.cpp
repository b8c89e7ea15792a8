#include "game/objects/levelfile.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const std::string kEmpty;

}  // namespace

LevelFile::LevelFile(const std::string& path) : m_file(path) {
    if (m_file.is_open()) m_in = &m_file;
}

LevelFile::LevelFile(std::istream& source) : m_in(&source) {}

bool LevelFile::nextLine(std::string& line) {
    if (m_in == nullptr || m_stopped) return false;
    if (!std::getline(*m_in, line)) return false;
    ++m_lineNumber;
    // The rest of the program works on C strings' terms: a NUL ends the line.
    std::string::size_type nul = line.find('\0');
    if (nul != std::string::npos) line.erase(nul);
    // Files written on systems with CR LF line ends load as written.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > static_cast<std::string::size_type>(MAX_LINE_LENGTH)) {
        line.resize(MAX_LINE_LENGTH);
        m_stopped = true;
    }
    return true;
}

std::vector<std::string> LevelFile::tokenise(const std::string& line) {
    std::vector<std::string> tokens(TOKEN_SLOTS);
    const std::string::size_type len = line.size();
    std::string::size_type i = 0;
    int n = 0;
    bool quoted = false;  // the next token is quoted and starts at i, after its opening quote
    while (i < len && n < MAX_TOKENS) {
        if (quoted) {
            std::string::size_type close = line.find('"', i);
            std::string::size_type end = close == std::string::npos ? len : close;
            if (end > i) tokens[n++] = line.substr(i, end - i);
            if (close == std::string::npos) break;
            // The closing quote is the separator that ended this token: a quote
            // right after it opens another quoted token.
            i = close + 1;
            quoted = i < len && line[i] == '"';
            if (quoted) ++i;
            continue;
        }
        while (i < len && isSeparator(line[i])) ++i;
        if (i >= len) break;
        std::string::size_type start = i;
        while (i < len && !isSeparator(line[i])) ++i;
        tokens[n++] = line.substr(start, i - start);
        if (i < len) {
            ++i;  // the single separator that ended the token
            if (i < len && line[i] == '"') {
                quoted = true;
                ++i;
            }
        }
    }
    return tokens;
}

bool LevelFile::isIgnored(const std::vector<std::string>& tokens) {
    return tokens.empty() || tokens[0].empty() || tokens[0][0] == '#';
}

int LevelFile::count(const std::string* words) {
    int n = 0;
    while (!words[n].empty()) ++n;
    return n;
}

const std::string& LevelFile::word(const std::string* words, int index) {
    if (index < 0) return kEmpty;
    for (int i = 0; i < index; ++i) {
        if (words[i].empty()) return kEmpty;
    }
    return words[index];
}

const std::string* LevelFile::from(const std::string* words, int index) {
    int i = 0;
    while (i < index && !words[i].empty()) ++i;
    return words + i;
}

int LevelFile::toInt(const std::string& s) {
    std::string::size_type i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Saturates well above the int range, so any number of digits is safe.
    const long long kCap = 1LL << 40;
    long long value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (value < kCap) value = value * 10 + (s[i] - '0');
        ++i;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float LevelFile::toReal(const std::string& s) {
    std::string::size_type i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    const std::string::size_type start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::string::size_type digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return 0.0f;
    // An exponent counts only when it has digits: "2e" reads as 2.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::string::size_type j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            i = j;
        }
    }
    // Only the decimal text found above reaches strtod, so hexadecimal floats,
    // "nan" and "inf" never do.
    const std::string number = s.substr(start, i - start);
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
    return static_cast<float>(value);
}

int LevelFile::toColour(const std::string& s) {
    unsigned int colour = 0;
    for (std::string::size_type i = 2; i < s.size(); ++i) {
        int v = hexValue(s[i]);
        if (v < 0) break;
        colour = ((colour << 4) | static_cast<unsigned int>(v)) & 0xffffffu;
    }
    return static_cast<int>(colour);
}
