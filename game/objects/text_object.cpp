// The level-object half of Text: a label read from a level line, drawn with the
// bitmap font at its body's position. The font half lives with the renderer.
#include <climits>
#include <cmath>

#include "game/objects/levelfile.h"
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

// Word layout: "Text" x y [size] [0xRRGGBB] text. A third word that does not read
// as a non-zero integer is not a size: the colour or text starts there.
Text::Text(physics::World<physics::TwoDee>* /*world*/, std::string* words) {
    const int x = LevelFile::toInt(LevelFile::word(words, 1));
    const int y = LevelFile::toInt(LevelFile::word(words, 2));
    size = LevelFile::toInt(LevelFile::word(words, 3));
    int n = 4;
    if (size == 0) {
        size = kDefaultSize;
        n = 3;
    }
    const std::string& field = LevelFile::word(words, n);
    if (field.compare(0, 2, "0x") == 0) {
        colour = LevelFile::toColour(field);
        text = LevelFile::word(words, n + 1);
    } else {
        colour = kDefaultColour;
        text = field;
    }
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

void Text::registerType(std::string name) { s_types[name] = &Text::construct; }

int Text::update(int /*tick*/) { return 0; }

int Text::draw() {
    if (physics == nullptr) return 0;
    const physics::Vector2D& p = physics->getPosition();
    draw(text.c_str(), toPixel(p.x), toPixel(p.y), size, colour);
    return 0;
}

bool Text::isStable() { return true; }

int Text::reset() { return 0; }
