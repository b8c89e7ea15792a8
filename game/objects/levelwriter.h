#pragma once
// Writes a Level back in the level-file grammar, so that reading the file again
// builds the same scene: the same objects in the same order, at the same start
// positions, with the same sizes, pictures, options and victory conditions.
//
// File layout:
//   # boxquake user level
//   Background <image>                     when the level has a background
//   Length <updates>
//   one line per object, in object order   (the four boundary walls are left out:
//                                          every level makes them itself)
//   Victory ... --drawRect                 where an area outline stands in that order
//   Victory ...                            each condition the outlines do not already
//                                          leave in its final form (a later line of
//                                          the same name replaces an earlier one)
//
// Positions are written as whole units (rounded to the nearest), as the reader
// reads them; a ball's radius likewise. Reals (polygon scale, points, angle,
// restitution) are written with nine significant digits, enough to read back the
// same float.
//
// Boundary walls: a wall still at its place and size is not written. One the
// editor moved or resized is written as an ordinary StaticBox at its new place,
// so that what the user built stays; the level's own wall comes back at the edge
// on reloading all the same, as does a deleted one: the grammar cannot remove it.
#include <map>
#include <string>

#include "game/objects/object.h"

class Level;
class StaticBox;

// One line of a level file being written: the keyword, then words and numbers
// as the reader cuts them back. The first failure is kept and later additions
// are ignored, so a kind's writer can build the whole line and check once.
class LevelLine {
public:
    explicit LevelLine(const std::string& keyword) : m_text(keyword), m_words(1) {}

    // A word as the reader will cut it back (see LevelWriter::appendWord);
    // `what` names it in the error when no spelling reads back as `w`.
    LevelLine& word(const std::string& w, const char* what);
    LevelLine& number(int v);
    // A whole number of units from a float: rounded to the nearest, kept in the int range.
    LevelLine& whole(float v, const char* what);
    // Nine significant digits: enough to read back the same float.
    LevelLine& real(float v);
    // The object's start position in whole units (x, then y).
    LevelLine& position(const Object& o);
    // "--victory <name>" when the object must meet a victory condition.
    LevelLine& victoryOption(const Object& o);
    void fail(const std::string& why);

    // Appends the finished line to `out`, or false with `error` set.
    bool finish(std::string& out, std::string& error) const;

private:
    std::string m_text;
    int m_words;  // tokens so far, the keyword included
    std::string m_error;
};


class LevelWriter {
public:
    static const char* const HEADER;  // "# boxquake user level", always the first line

    // Writes the whole file into `text`. False, with `error` naming what could
    // not be expressed (for instance a label holding both a double quote and a
    // space), when the file would not read back as the same level.
    static bool write(Level& level, std::string& text, std::string& error);

    // Writes the file at `path` through a temporary file beside it that is renamed
    // over `path` only once it is complete, so a failed save never leaves a cut
    // file behind. False, with `error` naming the file and the reason, on failure.
    static bool save(Level& level, const std::string& path, std::string& error);

    // Whether `wall` is one of the level's boundary walls at its own place and size.
    static bool isDefaultBoundary(const StaticBox& wall);

    // Appends one word to `line` as the reader will cut it back: quoted when it
    // holds separators, after two separators when it starts with a double quote.
    // False when no spelling reads back as `word` (empty, both a quote and a
    // separator, a line break or a NUL).
    static bool appendWord(std::string& line, const std::string& word);

    // --- For the kinds' writers (Object::Writer) ---
    // Appends `line`; false (with the error kept for the caller of write) when
    // the line could not be finished.
    bool emit(const LevelLine& line);
    // Writes the Victory line an area outline stands for, at its place in the
    // object order, with its condition's kind from the level's table.
    bool areaOutline(const StaticBox& box);

private:
    explicit LevelWriter(Level& level) : m_level(level) {}
    bool run(std::string& text, std::string& error);
    bool writeObject(Object& o);
    bool victoryLine(const std::string& name, const victoryStruct& v, bool drawRect);
    bool remainingConditions();
    std::string freshName();

    Level& m_level;
    std::string m_out;
    std::string m_error;
    std::map<std::string, victoryStruct> m_lastWritten;  // by name: the values of its last line so far
};
