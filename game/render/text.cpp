// The font half of Text: the glyph table, the layout and the drawing.
#include "game/render/text.h"

#include <algorithm>
#include <cstdio>

#include "game/render/sprite.h"

Text::Chr Text::character[128];
Text::Chr Text::placeholder;
std::bitset<256> Text::reported;
Sprite* Text::font = nullptr;

namespace {

// Glyph-table index of `c`, or -1 for a code outside 0..127 (a plain `char` above
// 127 is negative and must never index the table).
int codeOf(char c) {
    int code = static_cast<unsigned char>(c);
    return code < 128 ? code : -1;
}

}  // namespace

void Text::chr(char c, int w, int x, int y, int h) {
    int code = codeOf(c);
    if (code < 0) return;
    Chr prev;
    if (code > 0) prev = character[code - 1];
    Chr& e = character[code];
    e.x = x < 0 ? prev.x + prev.w : x;
    e.y = y < 0 ? prev.y : y;
    e.w = w < 0 ? prev.w : w;
    e.h = h < 0 ? prev.h : h;
}

void Text::build(const char* image) {
    delete font;  // a rebuild replaces the picture; null on the first build
    font = new Sprite(image);
    buildTable();
}

void Text::buildTable() {
    for (Chr& c : character) c = Chr();

    const int H = 29;  // height of every glyph row, pixels
    chr('A', 20, 0, 0, H);
    const int row0[] = {22, 19, 21, 21, 18, 23, 20, 13, 21, 20, 19, 23};  // B..M
    for (int i = 0; i < 12; ++i) chr(static_cast<char>('B' + i), row0[i]);

    chr('N', 23, 0, 29, H);
    const int row1[] = {18, 20, 20, 20, 19, 19, 20, 19, 23, 19, 17, 20};  // O..Z
    for (int i = 0; i < 12; ++i) chr(static_cast<char>('O' + i), row1[i]);

    chr('a', 15, 0, 58, H);
    const int row2[] = {19, 16, 17, 16, 14, 16, 17, 10, 15, 16, 12, 22};  // b..m
    for (int i = 0; i < 12; ++i) chr(static_cast<char>('b' + i), row2[i]);

    chr('n', 18, 0, 87, H);
    const int row3[] = {17, 17, 18, 15, 16, 14, 17, 16, 19, 16, 15, 18};  // o..z
    for (int i = 0; i < 12; ++i) chr(static_cast<char>('o' + i), row3[i]);

    chr('0', 18, 0, 116, H);
    const int row4[] = {12, 18, 18, 19, 18, 17, 17, 19, 18};  // 1..9
    for (int i = 0; i < 9; ++i) chr(static_cast<char>('1' + i), row4[i]);
    chr('.', 10, 174, 116, H);
    chr(',', 13, 184, 116, H);
    chr('!', 10, 197, 116, H);

    // The marks added later, packed left to right after '!' and on into new rows
    // below, so no earlier glyph moves. A width is the mark's ink (squeezed by the
    // asset generator where wider) plus the 7 clear columns every cell keeps; the
    // drawn advance at size 29 is the width less the 5-pixel gap.
    const char marks[] = ":-/'\"()?%+=_;#$&*<>@[\\]^`{|}~";
    const int widths[] = {10, 13, 13, 10, 13, 13, 13, 16, 24, 18, 18, 16, 11, 20, 18,
                          22, 16, 18, 18, 24, 12, 13, 12, 17, 11, 15, 10, 15, 18};
    static_assert(sizeof widths / sizeof widths[0] == sizeof marks - 1, "one width per mark");
    const int pictureWidth = 260;  // the first rows' width: A..M
    int x = 207, y = 116;          // just after '!'
    for (std::size_t i = 0; i < sizeof widths / sizeof widths[0]; ++i) {
        if (x + widths[i] > pictureWidth) {
            x = 0;
            y += H;
        }
        chr(marks[i], widths[i], x, y, H);
        x += widths[i];
    }
    placeholder = {x, y, 18, H};

    chr(' ', 18, 0, 0, 0);   // an advance without a picture
    chr('\t', 48, 0, 0, 0);
}

namespace {

// The cell drawn for byte `code`: its glyph (or bare advance), the placeholder
// for a character the table lacks, or null for a byte that takes no room: the
// continuation bytes of a UTF-8 sequence, whose lead byte draws the box.
const Text::Chr* cellOf(unsigned char code) {
    if ((code & 0xc0) == 0x80) return nullptr;
    if (code < 128 && Text::character[code].w > 0) return &Text::character[code];
    return &Text::placeholder;
}

// Reports on stderr each character of `t` the font lacks whose first byte was
// not reported before.
void reportLacking(const char* t) {
    for (unsigned char lead : Text::lacking(t)) {
        if ((lead & 0xc0) == 0x80 || Text::reported[lead]) continue;
        Text::reported.set(lead);
        std::fprintf(stderr, "Text: no glyph for byte 0x%02x in \"%s\"; drawn as a box\n", lead, t);
    }
}

// Text::layout into `quads`, replacing what it held but keeping its storage.
// Returns the number of placeholder boxes laid out.
int layoutInto(std::vector<float>& quads, const char* t, int x, int y, int size, int texWidth, int texHeight) {
    quads.clear();
    const int cheight = Text::character[static_cast<int>('A')].h;
    if (!t || cheight <= 0 || texWidth <= 0 || texHeight <= 0) return 0;
    const float tw = static_cast<float>(texWidth);
    const float th = static_cast<float>(texHeight);
    // 64-bit pen arithmetic: a label's size and place come from a level file and
    // may be anywhere in the int range.
    const long long gap = static_cast<long long>(size) * 5 / cheight;
    long long cx = x, cy = y;
    int boxes = 0;
    for (const char* p = t; *p; ++p) {
        if (*p == '\n') {
            cx = x;
            cy -= size;
            continue;
        }
        const Text::Chr* cell = cellOf(static_cast<unsigned char>(*p));
        if (!cell) continue;
        if (cell == &Text::placeholder) ++boxes;
        const Text::Chr& c = *cell;
        const long long nh = size;
        const long long nw = static_cast<long long>(c.w) * size / cheight;
        if (c.w > 0 && c.h > 0) {
            float tx = c.x / tw, ty = c.y / th;
            float tx2 = tx + c.w / tw, ty2 = ty + c.h / th;
            float x0 = static_cast<float>(cx), x1 = static_cast<float>(cx + nw);
            float y0 = static_cast<float>(cy), y1 = static_cast<float>(cy + nh);
            quads.insert(quads.end(), {tx, ty, x0, y1, tx2, ty, x1, y1, tx2, ty2, x1, y0, tx, ty2, x0, y0});
        }
        cx += nw - gap;
    }
    return boxes;
}

}  // namespace

std::string Text::lacking(const char* t) {
    std::string out;
    bool boxed = false;  // the last lead byte was lacking: its continuation bytes go with it
    for (const char* p = t; p && *p; ++p) {
        const unsigned char code = static_cast<unsigned char>(*p);
        if ((code & 0xc0) != 0x80) boxed = *p != '\n' && cellOf(code) == &placeholder;
        if (boxed) out += *p;
    }
    return out;
}

std::vector<float> Text::layout(const char* t, int x, int y, int size, int texWidth, int texHeight) {
    std::vector<float> quads;
    layoutInto(quads, t, x, y, size, texWidth, texHeight);
    return quads;
}

Text::Box Text::box(const char* t, int x, int y, int size) {
    if (character[static_cast<int>('A')].h == 0) buildTable();
    Box b{static_cast<float>(x), static_cast<float>(y), static_cast<float>(x), static_cast<float>(y)};
    const std::vector<float> quads = layout(t, x, y, size, 1, 1);
    // Each corner is (tx, ty, x, y).
    for (std::size_t i = 0; i + 3 < quads.size(); i += 4) {
        b.left = std::min(b.left, quads[i + 2]);
        b.right = std::max(b.right, quads[i + 2]);
        b.bottom = std::min(b.bottom, quads[i + 3]);
        b.top = std::max(b.top, quads[i + 3]);
    }
    return b;
}

void Text::draw(const char* t, int x, int y, int size, int colour) {
    if (!t || !*t) return;
    if (!font) build("text.tga");
    if (font->empty()) return;  // no picture: nothing to draw and no size to divide by
    // Labels are laid out again every frame: one buffer kept for all of them, so
    // a steady frame allocates nothing here.
    static std::vector<float> quads;
    if (layoutInto(quads, t, x, y, size, font->width, font->height) > 0) reportLacking(t);
    float r = ((colour >> 16) & 0xff) / 255.0f;
    float g = ((colour >> 8) & 0xff) / 255.0f;
    float b = (colour & 0xff) / 255.0f;
    font->drawQuads(quads.data(), static_cast<int>(quads.size() / 16), r, g, b, 1.0f);
}
