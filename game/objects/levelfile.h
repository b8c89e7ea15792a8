#pragma once
// The grammar of a level file: reading lines, cutting them into token lists, and
// reading numbers from tokens.
//
// A token list is an array of std::string: element 0 is the line's keyword or
// type name, the fields follow, and an empty string ends the list. Lists made by
// tokenise() always hold TOKEN_SLOTS elements, the unused ones empty, so a
// constructor that looks a few places past the end of a short line still reads
// empty strings inside the array.
#include <cstddef>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

class LevelFile {
public:
    static constexpr int MAX_LINE_LENGTH = 1023;  // characters of a line that are read
    static constexpr int MAX_TOKENS = 31;         // tokens kept from one line; later ones are dropped
    static constexpr int TOKEN_SLOTS = 32;        // MAX_TOKENS plus the terminating empty string

    // Reads the file at `path`. A file that cannot be opened reads as empty, and
    // openError() says why.
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
    // what the option readers are given to search the options after the fields.
    static const std::string* from(const std::string* words, int index);

    // Number fields, read strictly: the whole token must be the number.
    //  - whole: optional sign, then decimal digits, within the int range;
    //  - real: optional sign, digits with an optional decimal point (at least one
    //    digit), an optional exponent with digits; finite and within the float range;
    //  - colour: "0x" and one or more hexadecimal digits; the low 24 bits (0xRRGGBB)
    //    are kept.
    // True with `out` set; else false with `why` set to a reason that quotes the
    // token, e.g. "\"abc\" is not a number".
    static bool readWhole(const std::string& s, int& out, std::string& why);
    static bool readReal(const std::string& s, float& out, std::string& why);
    static bool readColour(const std::string& s, int& out, std::string& why);

    // `text` fit for a one-line message: backslash, quote and every byte outside
    // printable ASCII escaped (\t, \n, \r, \\, \", \xNN).
    static std::string escape(const std::string& text);
    // A token quoted for a message: escaped, at most MAX_QUOTED bytes of it, and
    // a longer one followed by its length ("\"xxxx\"... (2000 bytes)").
    static constexpr std::size_t MAX_QUOTED = 40;
    static std::string quote(const std::string& token);

    // Where the reader's messages go: one line each on standard error, unless
    // the calling thread has a Collect alive, which keeps them instead (the level
    // tools load levels on several threads and report each message once).
    static void report(const std::string& message);
    class Collect {
    public:
        Collect();   // this thread's messages go to `messages` from now on
        ~Collect();  // ... and to the Collect before it, or standard error, again
        Collect(const Collect&) = delete;
        Collect& operator=(const Collect&) = delete;
        std::vector<std::string> messages;

    private:
        Collect* m_outer;
    };

    // Why the file given by path could not be opened (strerror); empty when it was.
    const std::string& openError() const { return m_openError; }
    // True once nextLine has returned a line cut at MAX_LINE_LENGTH: nothing after it is read.
    bool cutShort() const { return m_stopped; }

private:
    std::ifstream m_file;
    std::istream* m_in = nullptr;  // m_file when opened from a path; null when nothing can be read
    int m_lineNumber = 0;
    bool m_stopped = false;        // an over-long line ended the reading
    std::string m_openError;
};

// Reads the fields of one object's line for its constructor, in order. The first
// field that is missing or malformed is kept as error(), naming the kind (word 0)
// and the field, e.g. "\"abc\" is not a number (Ball x)"; readers called after
// that return 0 or an empty word, and the constructor builds nothing.
class LevelFields {
public:
    explicit LevelFields(const std::string* words) : m_words(words) {}

    int whole(int index, const char* field);
    float real(int index, const char* field);
    // A word that must be there (a picture's name).
    const std::string& word(int index, const char* field);
    // The word after option `name`, searched from `from` on; empty when the
    // option is not given, and an error when it is the line's last word.
    std::string option(const std::string* from, const char* name);
    // The number after option `name` in `from`: true with `out` set when given.
    bool realOption(const std::string* from, const char* name, float& out);

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    // Keeps the first reason only: one message per skipped line.
    void fail(const std::string& why, const std::string& field);
    const std::string* m_words;
    std::string m_error;
};
