// The pictures the asset generator writes into the build's media/, where the game
// relies on them: every one it names exists with its kind, the font matches its
// glyph table, the coloured balls fit the shared highlight, and digits fit the
// spacing SpriteManager::drawNumber draws them at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>

#include "game/render/text.h"
#include "game/render/tga.h"

namespace {

tga::Image load(const std::string& name) {
    tga::Image img;
    EXPECT_TRUE(tga::read(std::string(BOXQUAKE_MEDIA_DIR) + "/" + name, img)) << "cannot read " << name;
    return img;
}

// Sum of alpha (0..1) over the picture rectangle [x0, x1) x [y0, y1).
float ink(const tga::Image& img, int x0, int y0, int x1, int y1) {
    float sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += img.pixel(x, y)[3] / 255.0f;
    return sum;
}

}  // namespace

TEST(GeneratedPictures, EveryNamedPictureExistsWithItsKind) {
    const std::pair<int, const char*> kinds[] = {
        // bits per pixel: 24 opaque, 32 with 8 alpha bits
        {24,
         "backdrop2 backdrop3 wall bg_meadow bg_dusk bg_night bg_cave bg_space tex_stone tex_wood tex_metal tex_ice"},
        {32,
         "qor lvlnew lvldone lvllocked lvlnone bombA bombB bombC bombD 0 1 2 3 4 5 6 7 8 9 text e0 e1 e2 e3 e4 "
         "tick clock1 clock2 clock3 clock4 rect orangeball balltrans crate1 crate2 blackhole blueball greenball"},
    };
    for (const auto& [bits, names] : kinds) {
        std::istringstream list(names);
        for (std::string name; list >> name;) {
            tga::Header h;
            ASSERT_TRUE(tga::readHeader(std::string(BOXQUAKE_MEDIA_DIR) + "/" + name + ".tga", h)) << name;
            EXPECT_EQ(h.bitsPerPixel, bits) << name;
            EXPECT_EQ(h.alphaBits, bits == 32 ? 8 : 0) << name;
        }
    }
}

TEST(GeneratedPictures, EveryGlyphCellHasWhiteInkAndClearBorders) {
    const tga::Image img = load("text.tga");
    Text::buildTable();
    std::vector<Text::Chr> cells(std::begin(Text::character), std::end(Text::character));
    cells.push_back(Text::placeholder);
    int glyphs = 0;
    for (const Text::Chr& c : cells) {
        if (c.w <= 0 || c.h <= 0) continue;
        ++glyphs;
        ASSERT_LE(c.x + c.w, img.width) << "glyph " << glyphs << " is outside the picture";
        ASSERT_LE(c.y + c.h, img.height) << "glyph " << glyphs;
        EXPECT_GT(ink(img, c.x, c.y, c.x + c.w, c.y + c.h), 6.0f) << "glyph " << glyphs;  // a few whole pixels
        // Clear: the outermost rows and columns (linear filtering samples them) and
        // the last 5 columns, which the next letter overlaps when drawn.
        const float border =
            ink(img, c.x, c.y, c.x + 1, c.y + c.h) + ink(img, c.x + c.w - 5, c.y, c.x + c.w, c.y + c.h) +
            ink(img, c.x, c.y, c.x + c.w, c.y + 1) + ink(img, c.x, c.y + c.h - 1, c.x + c.w, c.y + c.h);
        EXPECT_EQ(border, 0.0f) << "glyph " << glyphs;
    }
    EXPECT_EQ(glyphs, 95);  // 26 + 26 letters, 10 digits, 32 marks, the placeholder box
    for (int i = 0; i < img.width * img.height; ++i)
        ASSERT_TRUE(img.rgba[4 * i + 3] == 0 || img.rgba[4 * i] == 255) << "glyphs are white: Text::draw tints them";

    // The first font's glyphs keep their cells and pixels: a hash (FNV-1a) of their
    // table entries and cell alpha, taken from the picture before marks were added.
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](int v) { hash = (hash ^ static_cast<std::uint32_t>(v)) * 16777619u; };
    for (char ch : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,! \t")) {
        const Text::Chr& c = Text::character[static_cast<int>(ch)];
        for (int v : {c.x, c.y, c.w, c.h}) mix(v);
        for (int y = c.y; y < c.y + c.h; ++y)
            for (int x = c.x; x < c.x + c.w; ++x) mix(img.pixel(x, y)[3]);
    }
    EXPECT_EQ(hash, 682879427u);

    // The marks stand where they should in their cells: the first and last rows
    // holding ink, +-1 (cell rows from the top; the baseline is row 22).
    const std::pair<char, std::pair<int, int>> marks[] = {
        {':', {10, 21}}, {';', {10, 24}}, {'-', {14, 17}}, {'_', {25, 27}}, {'\'', {6, 11}},
        {'=', {11, 18}}, {'~', {13, 16}}, {'?', {5, 21}},  {'/', {6, 23}},  {'(', {5, 24}}};
    for (const auto& [mark, rows] : marks) {
        const Text::Chr& c = Text::character[static_cast<int>(mark)];
        int top = c.h, bottom = -1;
        for (int y = 0; y < c.h; ++y)
            if (ink(img, c.x, c.y + y, c.x + c.w, c.y + y + 1) > 0.5f) {
                top = std::min(top, y);
                bottom = y;
            }
        EXPECT_NEAR(top, rows.first, 1) << mark;
        EXPECT_NEAR(bottom, rows.second, 1) << mark;
    }
}

TEST(GeneratedPictures, ColouredBallsFitTheHighlightAndDigitsFitTheirSpacing) {
    // The highlight is drawn over every ball: the coloured balls keep the orange
    // ball's outline pixel for pixel.
    const tga::Image ball = load("orangeball.tga");
    for (const char* name : {"blueball.tga", "greenball.tga"}) {
        const tga::Image img = load(name);
        ASSERT_EQ(img.width * img.height, ball.width * ball.height) << name;
        for (int i = 0; i < img.width * img.height; ++i)
            ASSERT_EQ(img.rgba[4 * i + 3], ball.rgba[4 * i + 3]) << name << " pixel " << i;
    }
    // Digits are drawn 24 px apart centre to centre: ink beyond 12 px either side
    // of the centre would run into the neighbour.
    for (int d = 0; d < 10; ++d) {
        const tga::Image img = load(std::to_string(d) + ".tga");
        const int left = img.width / 2 - 12, right = img.width / 2 + 12;
        EXPECT_LT(ink(img, 0, 0, left, img.height) + ink(img, right, 0, img.width, img.height), 0.5f) << d;
        EXPECT_GT(ink(img, left, 0, right, img.height), 20.0f) << d;
    }
}
