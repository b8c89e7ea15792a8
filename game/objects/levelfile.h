#pragma once
// The grammar of a level file: reading lines, cutting them into token lists, and
// reading numbers from tokens.
//
// A token list is an array of std::string: element 0 is the line's keyword or
// type name, the fields follow, and an empty string ends the list. Lists made by
// tokenise() always hold TOKEN_SLOTS elements, the unused ones empty, so a
// constructor that looks a few places past the end of a short line still reads
// empty strings inside the array.
#include <fstream>
#include <istream>
#include <string>
#include <vector>

class LevelFile {
public:
    static constexpr int MAX_LINE_LENGTH = 1023;  // characters of a line that are read
    static constexpr int MAX_TOKENS = 31;         // tokens kept from one line; later ones are dropped
    static constexpr int TOKEN_SLOTS = 32;        // MAX_TOKENS plus the terminating empty string

    // Reads "./levels/" + name + ".lvl". A file that cannot be opened reads as empty.
    explicit LevelFile(const std::string& path);
    // Reads from a stream the caller keeps alive (tests, tools, the fuzz target).
    explicit LevelFile(std::istream& source);

    bool isOpen() const { return m_in != nullptr; }
    // The next line without its newline and without a carriage return right before
    // it, cut at the first NUL and at MAX_LINE_LENGTH characters. A line longer
    // than that is returned cut, and it is the last line read: reading stops there.
    // False at the end of the file or after a read error.
    bool nextLine(std::string& line);
    // 1-based number of the line last returned by nextLine.
    int lineNumber() const { return m_lineNumber; }

    // The tokens of one line (see the grammar below), TOKEN_SLOTS elements.
    //  - tokens are separated by runs of spaces and tabs;
    //  - a double quote right after the single separator that ended a token (or
    //    right after a quoted token's closing quote) opens a quoted token that runs
    //    to the next double quote or the end of the line and may hold separators;
    //  - an empty quoted token is skipped; tokens past MAX_TOKENS are dropped.
    static std::vector<std::string> tokenise(const std::string& line);
    // True for a line the level ignores: no tokens, or a first token starting with '#'.
    static bool isIgnored(const std::vector<std::string>& tokens);

    // Number of tokens before the terminating empty string.
    static int count(const std::string* words);
    // Token `index`, or an empty string when the list ends before it. Never reads
    // past the terminator.
    static const std::string& word(const std::string* words, int index);
    // The list from token `index` on, or the terminator when the list is shorter:
    // what getOpt/hasOpt are given to search the options after the fields.
    static const std::string* from(const std::string* words, int index);

    // Integer field: optional leading white space and sign, then decimal digits;
    // anything after them is ignored. No digits gives 0; values beyond the int
    // range are clamped to it.
    static int toInt(const std::string& s);
    // Real field: a leading decimal number (sign, digits, point, exponent). No
    // number, or one that is not a finite float ("nan", "inf", "1e39"), gives 0.
    static float toReal(const std::string& s);
    // Colour written "0x" + hexadecimal digits; reading stops at the first other
    // character. Only the low 24 bits (0xRRGGBB) are kept. The caller checks the prefix.
    static int toColour(const std::string& s);

private:
    std::ifstream m_file;
    std::istream* m_in = nullptr;  // m_file when opened from a path; null when nothing can be read
    int m_lineNumber = 0;
    bool m_stopped = false;        // an over-long line ended the reading
};
