// The level-object half of Text: a label read from a level line, drawn with the
// bitmap font at its body's position. The font half lives with the renderer.
#include <climits>
#include <cmath>

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/text.h"
#include "physics/physics.h"

namespace {

const int kDefaultSize = 29;           // glyph height, pixels: the font's own
const int kDefaultColour = 0xffff00;   // yellow

// Window pixels from a body coordinate, truncated toward zero and kept in the int range.
int toPixel(float v) {
    if (!(v == v)) return 0;
    if (v >= static_cast<float>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<float>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

// Word layout: "Text" x y [size] [0xRRGGBB] [text]. A third word that is not a
// whole number other than 0 is not a size: the colour or text starts there; a
// word starting "0x" there is the colour.
Text::Text(physics::World<physics::TwoDee>* /*world*/, std::string* words) {
    LevelFields fields(words);
    const int x = fields.whole(1, "x");
    const int y = fields.whole(2, "y");
    std::string notASize;
    int n = 4;
    if (!LevelFile::readWhole(LevelFile::word(words, 3), size, notASize) || size == 0) {
        size = kDefaultSize;
        n = 3;
    }
    const std::string& field = LevelFile::word(words, n);
    colour = kDefaultColour;
    text = field;
    if (field.compare(0, 2, "0x") == 0) {
        std::string why;
        if (!LevelFile::readColour(field, colour, why)) loadError = why + " (Text colour)";
        text = LevelFile::word(words, n + 1);
    }
    if (!fields.ok()) loadError = fields.error();
    if (!loadError.empty()) return;
    for (char& c : text) {
        if (c == '\\') c = '\n';
    }

    // A square of side `size` with its lower-left corner at (x, y): what the
    // editor picks with the mouse. It stays out of the world: a label never moves.
    const float half = static_cast<float>(size / 2);
    const physics::Vector2D centre(static_cast<float>(x) + half, static_cast<float>(y) + half);
    const float side = static_cast<float>(size);
    physics = new Body2D(new physics::Rect(centre, side, side, physics::Orientation2D(0.0f)));
    cachedPosition = physics::Vector2D(static_cast<float>(x), static_cast<float>(y));
    cachedOrientation = physics::Orientation2D(0.0f);
}

Object* Text::construct(physics::World<physics::TwoDee>* world, std::string* words) { return new Text(world, words); }

// A label's line gives its lower-left corner; its body's centre is that corner
// plus half its size (whole halves), and the label is drawn at the body's
// centre. Labels never move under physics, so the body is where it stands.
bool Text::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const Text& label = static_cast<const Text&>(object);
    LevelLine line(keyword);
    const physics::Vector2D p = label.physics != nullptr ? label.physics->getPosition() : label.cachedPosition;
    const float half = label.physics != nullptr ? static_cast<float>(label.size / 2) : 0.0f;
    line.whole(p.x - half, "x").whole(p.y - half, "y").number(label.size);
    char colour[16];
    std::snprintf(colour, sizeof colour, "0x%06x", static_cast<unsigned>(label.colour) & 0xffffffu);
    line.word(colour, "colour");
    if (!label.text.empty()) {
        std::string word = label.text;
        if (word.find('\\') != std::string::npos) {
            line.fail("the label \"" + label.text + "\" holds a backslash, which a level file reads as a line break");
        }
        for (char& c : word) {
            if (c == '\n') c = '\\';
        }
        line.word(word, "label");
    }
    return out.emit(line);
}

int Text::update(int /*tick*/) { return 0; }

int Text::draw() {
    if (physics == nullptr) return 0;
    const physics::Vector2D& p = physics->getPosition();
    draw(text.c_str(), toPixel(p.x), toPixel(p.y), size, colour);
    return 0;
}

bool Text::isStable() { return true; }

int Text::reset() { return 0; }
