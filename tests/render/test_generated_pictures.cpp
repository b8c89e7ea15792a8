// The pictures the asset generator writes into the build's media/, where the game
// relies on them: every one it names exists with its kind, the font matches its
// glyph table, the coloured balls fit the shared highlight, and digits fit the
// spacing SpriteManager::drawNumber draws them at.
#include <gtest/gtest.h>

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
    int glyphs = 0;
    for (const Text::Chr& c : Text::character) {
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
    EXPECT_EQ(glyphs, 65);  // 26 + 26 letters, 10 digits, three marks
    for (int i = 0; i < img.width * img.height; ++i)
        ASSERT_TRUE(img.rgba[4 * i + 3] == 0 || img.rgba[4 * i] == 255) << "glyphs are white: Text::draw tints them";
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
