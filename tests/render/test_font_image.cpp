// The generated pictures: the font has ink in every glyph cell and keeps its cell
// borders clear; every picture the game names exists and has the expected kind.
#include <gtest/gtest.h>

#include <string>

#include "game/render/text.h"
#include "game/render/tga.h"
#include "generated_media.h"

namespace {

// Sum of alpha (0..1) over a rectangle of the picture.
float ink(const tga::Image& img, int x0, int y0, int x1, int y1) {
    float sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += img.pixel(x, y)[3] / 255.0f;
    return sum;
}

}  // namespace

TEST(FontImage, EveryGlyphCellHasInkAndClearBorders) {
    tga::Image img;
    ASSERT_TRUE(tga::read(media("text.tga"), img));
    Text::buildTable();
    int glyphs = 0;
    for (int code = 0; code < 128; ++code) {
        const Text::Chr& c = Text::character[code];
        if (c.w <= 0 || c.h <= 0) continue;
        ++glyphs;
        ASSERT_LE(c.x + c.w, img.width) << "cell of code " << code << " is outside the picture";
        ASSERT_LE(c.y + c.h, img.height);
        // A glyph covers a fair share of its cell: at least a few whole pixels.
        EXPECT_GT(ink(img, c.x, c.y, c.x + c.w, c.y + c.h), 6.0f) << "code " << code;
        // The outermost rows and columns stay clear: linear filtering samples them.
        EXPECT_EQ(ink(img, c.x, c.y, c.x + 1, c.y + c.h), 0.0f) << "left edge of code " << code;
        EXPECT_EQ(ink(img, c.x + c.w - 1, c.y, c.x + c.w, c.y + c.h), 0.0f) << "right edge of code " << code;
        EXPECT_EQ(ink(img, c.x, c.y, c.x + c.w, c.y + 1), 0.0f) << "top edge of code " << code;
        EXPECT_EQ(ink(img, c.x, c.y + c.h - 1, c.x + c.w, c.y + c.h), 0.0f) << "bottom edge of code " << code;
        // Neighbours overlap by 5 of 29 pixels when drawn: the last 5 columns
        // must be empty or the letter would run into the next one.
        EXPECT_EQ(ink(img, c.x + c.w - 5, c.y, c.x + c.w, c.y + c.h), 0.0f) << "overlap of code " << code;
    }
    EXPECT_EQ(glyphs, 65);  // 26 + 26 letters, 10 digits, three marks
    // The glyphs are white: Text::draw tints them.
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (img.pixel(x, y)[3] > 0) {
                ASSERT_EQ(img.pixel(x, y)[0], 255);
            }
}

TEST(GeneratedPictures, EveryNamedPictureExists) {
    expectPictureFormats({
        {"qor.tga", 32},       {"lvlnew.tga", 32},    {"lvldone.tga", 32},   {"lvllocked.tga", 32},
        {"lvlnone.tga", 32},   {"backdrop2.tga", 24}, {"backdrop3.tga", 24}, {"bombA.tga", 32},
        {"bombB.tga", 32},     {"bombC.tga", 32},     {"bombD.tga", 32},     {"0.tga", 32},
        {"1.tga", 32},         {"2.tga", 32},         {"3.tga", 32},         {"4.tga", 32},
        {"5.tga", 32},         {"6.tga", 32},         {"7.tga", 32},         {"8.tga", 32},
        {"9.tga", 32},         {"text.tga", 32},      {"e0.tga", 32},        {"e1.tga", 32},
        {"e2.tga", 32},        {"e3.tga", 32},        {"e4.tga", 32},        {"tick.tga", 32},
        {"clock1.tga", 32},    {"clock2.tga", 32},    {"clock3.tga", 32},    {"clock4.tga", 32},
        {"wall.tga", 24},      {"rect.tga", 32},      {"orangeball.tga", 32}, {"balltrans.tga", 32},
        {"crate1.tga", 32},    {"blackhole.tga", 32},
    });
}

TEST(GeneratedPictures, RoundPicturesHaveTransparentCornersAndSolidCentres) {
    for (const char* name : {"orangeball.tga", "blackhole.tga", "bombA.tga", "tick.tga", "clock1.tga"}) {
        tga::Image img;
        ASSERT_TRUE(tga::read(media(name), img)) << name;
        EXPECT_EQ(img.pixel(0, img.height - 1)[3], 0) << name;  // lower-left corner
        EXPECT_EQ(img.pixel(img.width - 1, img.height - 1)[3], 0) << name;
        EXPECT_EQ(img.pixel(img.width / 2, img.height / 2)[3], 255) << name;
    }
    // The ball fills its square: its edge touches the middle of each side.
    tga::Image ball;
    ASSERT_TRUE(tga::read(media("orangeball.tga"), ball));
    EXPECT_GT(ball.pixel(0, ball.height / 2)[3], 128);
    EXPECT_GT(ball.pixel(ball.width / 2, 0)[3], 128);
    // The highlight is mostly see-through.
    tga::Image shine;
    ASSERT_TRUE(tga::read(media("balltrans.tga"), shine));
    float mean = 0;
    for (int i = 0; i < shine.width * shine.height; ++i) mean += shine.rgba[4 * i + 3] / 255.0f;
    EXPECT_LT(mean / (shine.width * shine.height), 0.35f);
}

TEST(GeneratedPictures, DigitsFitTheirTwentyFourPixelSpacing) {
    for (int d = 0; d < 10; ++d) {
        tga::Image img;
        ASSERT_TRUE(tga::read(media(std::to_string(d) + ".tga"), img));
        // Drawn 24 px apart centre to centre: any ink beyond 12 px either side of
        // the centre would run into the neighbour.
        int left = img.width, right = -1;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                if (img.pixel(x, y)[3] > 20) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << d;
        EXPECT_GE(left - img.width / 2.0f, -12.0f) << d;
        EXPECT_LE(right + 1 - img.width / 2.0f, 12.0f) << d;
        EXPECT_GT(right - left, 5) << d;
    }
}
