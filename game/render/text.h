#pragma once
// The bitmap font and the text label placed in levels.
//
// Font: one picture, "text.tga", holds the glyphs in rows 29 pixels high;
// `character` maps codes 0..127 to their rectangles in it. `draw` lays a string
// out from its lower-left corner, every glyph scaled to `size` pixels high, each
// one overlapping the previous by `gap` = size * 5 / 29 pixels, lines `size`
// pixels apart going down at each line feed.
//
//   font picture, rows counted from the top:
//     y =   0  A..M        y =  29  N..Z       y =  58  a..m
//     y =  87  n..z        y = 116  0..9 . , ! : - / '
//     y = 145, 174  the other printable ASCII marks, then the placeholder box
//
// A character the font lacks (a control code other than line feed and tab, or a
// UTF-8 sequence above 127) is drawn as the placeholder box, never dropped, and
// `draw` reports it on stderr, once per first byte for the run (at most 256
// messages, whatever the texts hold). The continuation bytes of
// a UTF-8 sequence take no room: its lead byte draws the one box.
//
// Label: a level object (type name "Text") that draws its string at its body's
// position; its body stays out of the world and only carries the position.
// The label half is implemented with the other level objects.
#include <bitset>
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
    // The characters of `t` the glyph table has no glyph for, in order, each whole
    // (a UTF-8 sequence with its continuation bytes): what `draw` shows as boxes.
    static std::string lacking(const char* t);
    // Draws `t` with the lower-left corner of its first line at (x, y) in window
    // pixels, glyphs `size` pixels high, in opaque colour 0xRRGGBB. Builds the font
    // from "text.tga" on first use; draws nothing when that picture is missing.
    static void draw(const char* t, int x, int y, int size, int colour);
    // The quads `draw` hands to Sprite::drawQuads for a font picture of
    // texWidth x texHeight pixels: 16 floats per glyph, corners (tx, ty, x, y) in
    // the order upper-left, upper-right, lower-right, lower-left. Empty when the
    // table is not built or the picture has no size.
    static std::vector<float> layout(const char* t, int x, int y, int size, int texWidth, int texHeight);
    // The window-pixel box `draw` covers with `t` at (x, y): left, bottom, right,
    // top; the point (x, y) itself for an empty text. Builds the glyph table
    // (not the picture) when needed, so it works without a window.
    struct Box {
        float left, bottom, right, top;
    };
    static Box box(const char* t, int x, int y, int size);

    static Chr character[128];  // glyph table by character code; all zero until built
    static Chr placeholder;     // the box drawn for a character the table lacks
    static std::bitset<256> reported;  // lead bytes of lacking characters already reported on stderr
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
