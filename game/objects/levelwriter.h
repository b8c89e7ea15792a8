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
#include <string>

class Level;
class StaticBox;

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
};
