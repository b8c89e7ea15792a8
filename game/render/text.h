#pragma once
// The bitmap font and the text label placed in levels.
//
// Font: one picture, "text.tga", holds the glyphs in five rows 29 pixels high;
// `character` maps codes 0..127 to their rectangles in it. `draw` lays a string
// out from its lower-left corner, every glyph scaled to `size` pixels high, each
// one overlapping the previous by `gap` = size * 5 / 29 pixels, lines `size`
// pixels apart going down at each line feed. Codes outside 0..127 are skipped.
//
//   font picture, rows counted from the top:
//     y =   0  A..M        y =  29  N..Z       y =  58  a..m
//     y =  87  n..z        y = 116  0..9 . , !
//
// Label: a level object (type name "Text") that draws its string at its body's
// position; its body stays out of the world and only carries the position.
// The label half is implemented with the other level objects.
#include <string>
#include <vector>

#include "game/objects/object.h"

class Text : public Object {
public:
    // One glyph rectangle in font-picture pixels.
    struct Chr {
        int x = 0;  // left edge
        int y = 0;  // top edge, rows counted from the top of the picture
        int w = 0;  // width, also the advance before scaling
        int h = 0;  // height; 0 for codes without a picture
    };

    // Loads the font picture `image` (its own sprite, not the cache's) and fills
    // the glyph table.
    static void build(const char* image);
    // Fills the glyph table alone (build without a picture): the asset generator
    // draws the font picture to match it.
    static void buildTable();
    // Sets the entry of `c`. A negative x, y or h comes from the entry of c - 1:
    // x = its x + its w, y = its y, h = its h; a negative w is its w. Codes outside
    // 0..127 are ignored.
    static void chr(char c, int w, int x = -1, int y = -1, int h = -1);
    // Draws `t` with the lower-left corner of its first line at (x, y) in window
    // pixels, glyphs `size` pixels high, in opaque colour 0xRRGGBB. Builds the font
    // from "text.tga" on first use; draws nothing when that picture is missing.
    static void draw(const char* t, int x, int y, int size, int colour);
    // The quads `draw` hands to Sprite::drawQuads for a font picture of
    // texWidth x texHeight pixels: 16 floats per glyph, corners (tx, ty, x, y) in
    // the order upper-left, upper-right, lower-right, lower-left. Empty when the
    // table is not built or the picture has no size.
    static std::vector<float> layout(const char* t, int x, int y, int size, int texWidth, int texHeight);

    static Chr character[128];  // glyph table by character code; all zero until built
    static Sprite* font;        // the font picture; null until built; never released

    // --- The level object ---
    Text(physics::World<physics::TwoDee>* world, std::string* words);
    static Object* construct(physics::World<physics::TwoDee>* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    int update(int tick) override;  // nothing to do; returns 0
    int draw() override;            // the string at the body's position; returns 0
    bool isStable() override;       // always true
    int reset() override;           // a label is not moved back; returns 0

    int size = 29;             // glyph height, pixels
    int colour = 0xffff00;     // 0xRRGGBB
    std::string text;          // the string; backslashes of the level file are line feeds here
};
