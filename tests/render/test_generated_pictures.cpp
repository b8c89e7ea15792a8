// The pictures the asset generator writes into the build's media/: every one the
// game names exists with its kind, the font matches its glyph table, balls are
// round, digits fit their spacing, and backgrounds are calm enough to play over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// Light-weighted grey of a pixel, 0..1 (Rec. 709 weights on the stored values).
float luma(const std::uint8_t* p) { return (0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]) / 255.0f; }

// Standard deviation of luma, and the largest distance of one pixel's luma from
// the mean, over the fractions [x0, x1) x [y0, y1) of the picture, y down.
std::pair<float, float> spread(const tga::Image& img, float x0, float y0, float x1, float y1) {
    std::vector<float> v;
    for (int j = static_cast<int>(y0 * img.height); j < static_cast<int>(y1 * img.height); ++j)
        for (int i = static_cast<int>(x0 * img.width); i < static_cast<int>(x1 * img.width); ++i)
            v.push_back(luma(img.pixel(i, j)));
    double sum = 0, squares = 0, extreme = 0;
    for (float l : v) sum += l;
    const double mean = sum / v.size();
    for (float l : v) {
        squares += (l - mean) * (l - mean);
        extreme = std::max(extreme, std::fabs(l - mean));
    }
    return {static_cast<float>(std::sqrt(squares / v.size())), static_cast<float>(extreme)};
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

TEST(GeneratedPictures, BallsAreRoundAndDigitsFitTheirSpacing) {
    // The ball fills its square: clear corners, its edge touching the middle of each side.
    const tga::Image ball = load("orangeball.tga"), shine = load("balltrans.tga");
    EXPECT_EQ(ball.pixel(0, 0)[3] + ball.pixel(ball.width - 1, ball.height - 1)[3], 0);
    EXPECT_GT(std::min(ball.pixel(0, ball.height / 2)[3], ball.pixel(ball.width / 2, 0)[3]), 128);
    EXPECT_LT(ink(shine, 0, 0, shine.width, shine.height) / (shine.width * shine.height), 0.35f) << "see-through";
    // The coloured balls keep its outline pixel for pixel (the highlight is drawn
    // over every ball), in their own colour: `lead` is the strongest channel.
    for (auto [name, lead] : {std::pair{"blueball.tga", 2}, std::pair{"greenball.tga", 1}}) {
        const tga::Image img = load(name);
        ASSERT_EQ(img.width * img.height, ball.width * ball.height) << name;
        double mean[3] = {0, 0, 0};
        for (int i = 0; i < img.width * img.height; ++i) {
            ASSERT_EQ(img.rgba[4 * i + 3], ball.rgba[4 * i + 3]) << name << " pixel " << i;
            for (int c = 0; c < 3; ++c) mean[c] += img.rgba[4 * i + 3] / 255.0 * img.rgba[4 * i + c];
        }
        EXPECT_EQ(std::max_element(mean, mean + 3) - mean, lead) << name;
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

TEST(GeneratedPictures, BackgroundsAreCalmAndEvenBehindTheCountersAndClock) {
    for (const char* name : {"bg_meadow.tga", "bg_dusk.tga", "bg_night.tga", "bg_cave.tga", "bg_space.tga"}) {
        const tga::Image img = load(name);
        EXPECT_EQ(img.width * 3, img.height * 4) << name << ": stretched over 800 x 600 without distortion";
        double detail = 0;  // mean luma step between neighbours
        for (int j = 0; j < img.height; ++j)
            for (int i = 0; i + 1 < img.width; ++i)
                detail += std::fabs(luma(img.pixel(i + 1, j)) - luma(img.pixel(i, j)));
        EXPECT_LT(detail / (img.height * (img.width - 1.0)), 0.01) << name;
        // The time and explosion counters (window x 30..350, y 520..560) and the
        // victory clock (x 730..770, y 540..580): even tone, no bright detail.
        for (auto [deviation, extreme] : {spread(img, 30 / 800.f, 40 / 600.f, 350 / 800.f, 80 / 600.f),
                                          spread(img, 730 / 800.f, 20 / 600.f, 770 / 800.f, 60 / 600.f)}) {
            EXPECT_LT(deviation, 0.03f) << name;
            EXPECT_LT(extreme, 0.12f) << name;
        }
    }
}
