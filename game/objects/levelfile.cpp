#include "game/objects/levelfile.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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

LevelFile::LevelFile(const std::string& path) {
    // A directory opens as a stream that then reads nothing.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        m_openError = std::strerror(EISDIR);
        return;
    }
    errno = 0;
    m_file.open(path);
    if (m_file.is_open()) {
        m_in = &m_file;
    } else {
        m_openError = std::strerror(errno != 0 ? errno : ENOENT);
    }
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

namespace {

// Digits from `i` on; returns the index after them.
std::string::size_type skipDigits(const std::string& s, std::string::size_type i) {
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i;
}

std::string::size_type skipSign(const std::string& s, std::string::size_type i) {
    return i < s.size() && (s[i] == '+' || s[i] == '-') ? i + 1 : i;
}

// What strtod reads as not-a-number or infinity, with or without a sign.
bool isNanOrInfinity(const std::string& s) {
    std::string word;
    for (std::string::size_type i = skipSign(s, 0); i < s.size(); ++i) {
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    }
    return word == "nan" || word == "inf" || word == "infinity";
}

// True when all of `s` is a decimal number: sign, digits with an optional
// point (at least one digit), an exponent with digits.
bool isDecimal(const std::string& s) {
    std::string::size_type i = skipSign(s, 0);
    const std::string::size_type whole = skipDigits(s, i);
    std::string::size_type digits = whole - i;
    i = whole;
    if (i < s.size() && s[i] == '.') {
        const std::string::size_type fraction = skipDigits(s, i + 1);
        digits += fraction - (i + 1);
        i = fraction;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        const std::string::size_type sign = skipSign(s, i + 1);
        const std::string::size_type exponent = skipDigits(s, sign);
        if (exponent == sign) return false;  // "2e" is no number
        i = exponent;
    }
    return i == s.size();
}

thread_local LevelFile::Collect* s_collect = nullptr;

}  // namespace

bool LevelFile::readWhole(const std::string& s, int& out, std::string& why) {
    const std::string::size_type digits = skipSign(s, 0);
    const std::string::size_type end = skipDigits(s, digits);
    if (end == digits || end != s.size()) {
        why = quote(s) + (isDecimal(s) ? " is not a whole number" : " is not a number");
        return false;
    }
    // Saturates well above the int range, so any number of digits is safe.
    const long long kCap = 1LL << 40;
    long long value = 0;
    for (std::string::size_type i = digits; i < end; ++i) {
        if (value < kCap) value = value * 10 + (s[i] - '0');
    }
    if (s[0] == '-') value = -value;
    if (value > INT_MAX || value < INT_MIN) {
        why = quote(s) + " is out of range";
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool LevelFile::readReal(const std::string& s, float& out, std::string& why) {
    if (!isDecimal(s)) {
        why = quote(s) + (isNanOrInfinity(s) ? " is not a finite number" : " is not a number");
        return false;
    }
    // Only the decimal text checked above reaches strtod, so hexadecimal floats,
    // "nan" and "inf" never do. The double is rounded to float as the levels have
    // always been read (strtof could round a few numbers the other way).
    const double value = std::strtod(s.c_str(), nullptr);
    // Up to half a unit in the last place above FLT_MAX still rounds to FLT_MAX
    // (which the level writer may write as 3.40282347e+38).
    if (!(std::fabs(value) < static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103))) {
        why = quote(s) + " is out of range";
        return false;
    }
    out = static_cast<float>(value);
    return true;
}

bool LevelFile::readColour(const std::string& s, int& out, std::string& why) {
    unsigned int colour = 0;
    bool valid = s.size() > 2 && s.compare(0, 2, "0x") == 0;
    for (std::string::size_type i = 2; valid && i < s.size(); ++i) {
        const int v = hexValue(s[i]);
        valid = v >= 0;
        colour = ((colour << 4) | static_cast<unsigned int>(v)) & 0xffffffu;
    }
    if (!valid) {
        why = quote(s) + " is not a colour 0xRRGGBB";
        return false;
    }
    out = static_cast<int>(colour);
    return true;
}

std::string LevelFile::escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            default:
                if (u < 0x20 || u >= 0x7f) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02x", u);
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string LevelFile::quote(const std::string& token) {
    if (token.size() <= MAX_QUOTED) return "\"" + escape(token) + "\"";
    return "\"" + escape(token.substr(0, MAX_QUOTED)) + "\"... (" + std::to_string(token.size()) + " bytes)";
}

void LevelFile::report(const std::string& message) {
    if (s_collect != nullptr) {
        s_collect->messages.push_back(message);
        return;
    }
    // One write per line: lines from two threads do not interleave mid-line.
    std::fputs((message + "\n").c_str(), stderr);
}

LevelFile::Collect::Collect() : m_outer(s_collect) { s_collect = this; }

LevelFile::Collect::~Collect() { s_collect = m_outer; }

void LevelFields::fail(const std::string& why, const std::string& field) {
    if (m_error.empty()) m_error = why + " (" + LevelFile::escape(m_words[0]) + " " + field + ")";
}

int LevelFields::whole(int index, const char* field) {
    const std::string& text = word(index, field);
    int value = 0;
    std::string why;
    if (ok() && !LevelFile::readWhole(text, value, why)) fail(why, field);
    return ok() ? value : 0;
}

float LevelFields::real(int index, const char* field) {
    const std::string& text = word(index, field);
    float value = 0.0f;
    std::string why;
    if (ok() && !LevelFile::readReal(text, value, why)) fail(why, field);
    return ok() ? value : 0.0f;
}

const std::string& LevelFields::word(int index, const char* field) {
    if (!ok()) return kEmpty;
    const std::string& text = LevelFile::word(m_words, index);
    if (text.empty()) fail("missing", field);
    // Every picture a line names is opened as "./media/" + name: a name with a
    // '/' (a path of its own, "../../x" or "/etc/x") or "." or ".." would open a
    // file or directory outside media/, which a shared level must never do.
    const bool picture = std::strcmp(field, "picture") == 0;
    if (picture && (text.find('/') != std::string::npos || text == "." || text == "..")) {
        fail(LevelFile::quote(text) + " is not a picture in media/ (a file name there: no '/', not . or ..)", field);
    }
    return text;
}

std::string LevelFields::option(const std::string* from, const char* name) {
    for (const std::string* w = from; !w->empty(); ++w) {
        if (*w != name) continue;
        if (w[1].empty()) fail("missing", name);
        return w[1];
    }
    return std::string();
}

bool LevelFields::realOption(const std::string* from, const char* name, float& out) {
    const std::string text = option(from, name);
    if (text.empty()) return false;
    std::string why;
    if (ok() && !LevelFile::readReal(text, out, why)) fail(why, name);
    return ok();
}
