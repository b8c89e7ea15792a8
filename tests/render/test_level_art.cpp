// The campaign's generated pictures: backgrounds calm enough to play over,
// polygon textures that tile, balls shaped exactly like the orange one, and a
// metal crate the size of the wooden one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/render/tga.h"
#include "generated_media.h"

namespace {

tga::Image load(const std::string& name) {
    tga::Image img;
    EXPECT_TRUE(tga::read(media(name), img)) << "cannot read " << media(name);
    return img;
}

// Light-weighted grey of a pixel, 0..1 (Rec. 709 weights on the stored values).
float luma(const std::uint8_t* p) { return (0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]) / 255.0f; }

// Relative luminance (linear light) of a pixel, for contrast ratios.
float luminance(const std::uint8_t* p) {
    auto lin = [](std::uint8_t v) {
        float c = v / 255.0f;
        return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
    };
    return 0.2126f * lin(p[0]) + 0.7152f * lin(p[1]) + 0.0722f * lin(p[2]);
}

struct Stats {
    float mean = 0;     // mean luma
    float spread = 0;   // standard deviation of luma
    float extreme = 0;  // largest distance of one pixel's luma from the mean
};

// Luma statistics over the window rectangle [x0, x1) x [y0, y1) (window pixels
// of the 800 x 600 field, y up), mapped onto a picture stretched over the field.
Stats region(const tga::Image& img, float x0, float y0, float x1, float y1) {
    const float sx = img.width / 800.0f, sy = img.height / 600.0f;
    int i0 = static_cast<int>(x0 * sx), i1 = static_cast<int>(x1 * sx);
    int j0 = static_cast<int>((600 - y1) * sy), j1 = static_cast<int>((600 - y0) * sy);
    double sum = 0, sum2 = 0;
    int n = 0;
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i) {
            float v = luma(img.pixel(i, j));
            sum += v;
            sum2 += v * v;
            ++n;
        }
    Stats s;
    s.mean = static_cast<float>(sum / n);
    s.spread = static_cast<float>(std::sqrt(std::max(0.0, sum2 / n - (sum / n) * (sum / n))));
    for (int j = j0; j < j1; ++j)
        for (int i = i0; i < i1; ++i) s.extreme = std::max(s.extreme, std::fabs(luma(img.pixel(i, j)) - s.mean));
    return s;
}

const char* const kBackgrounds[] = {"bg_meadow.tga", "bg_dusk.tga", "bg_night.tga", "bg_cave.tga", "bg_space.tga"};
const char* const kTextures[] = {"tex_stone.tga", "tex_wood.tga", "tex_metal.tga", "tex_ice.tga"};

}  // namespace

TEST(LevelArt, EveryCampaignPictureExistsWithItsKind) {
    expectPictureFormats({
        {"bg_meadow.tga", 24}, {"bg_dusk.tga", 24},   {"bg_night.tga", 24},  {"bg_cave.tga", 24},
        {"bg_space.tga", 24},  {"tex_stone.tga", 24}, {"tex_wood.tga", 24},  {"tex_metal.tga", 24},
        {"tex_ice.tga", 24},   {"blueball.tga", 32},  {"greenball.tga", 32}, {"crate2.tga", 32},
    });
}

TEST(LevelArt, BackgroundsAreCalmAndKeepTheCountersAndClockReadable) {
    for (const char* name : kBackgrounds) {
        tga::Image img = load(name);
        ASSERT_GT(img.width, 0) << name;
        // Stretched over 800 x 600 without distortion, and not blurred by it.
        EXPECT_EQ(img.width * 3, img.height * 4) << name;
        EXPECT_GE(img.width, 400) << name;
        // Calm: no stark light and dark across the field (a smooth sky-to-ground
        // gradient is fine) and little fine detail: the mean step between
        // neighbouring pixels stays small.
        Stats field = region(img, 0, 0, 800, 600);
        EXPECT_LT(field.spread, 0.15f) << name;
        double detail = 0;
        for (int j = 0; j < img.height; ++j)
            for (int i = 0; i + 1 < img.width; ++i) detail += std::fabs(luma(img.pixel(i + 1, j)) - luma(img.pixel(i, j)));
        EXPECT_LT(detail / (img.height * (img.width - 1.0)), 0.01) << name;
        // Behind the time and explosion counters and the victory clock: even
        // tone, no bright detail next to the digits.
        for (Stats corner : {region(img, 30, 520, 350, 560), region(img, 730, 540, 770, 580)}) {
            EXPECT_LT(corner.spread, 0.03f) << name;
            EXPECT_LT(corner.extreme, 0.12f) << name;
        }
        // White labels read over the upper two thirds, where text may go: the
        // contrast ratio with white stays at least 3:1 on average.
        double lum = 0;
        int n = 0;
        for (int j = 0; j < img.height * 2 / 3; ++j)
            for (int i = 0; i < img.width; ++i, ++n) lum += luminance(img.pixel(i, j));
        EXPECT_GE(1.05 / (lum / n + 0.05), 3.0) << name;
    }
}

TEST(LevelArt, TexturesAreSquareAndTileWithoutASeam) {
    for (const char* name : kTextures) {
        tga::Image img = load(name);
        ASSERT_GT(img.width, 0) << name;
        EXPECT_EQ(img.width, img.height) << name;
        EXPECT_EQ(img.width & (img.width - 1), 0) << name << ": a power of two";
        const int n = img.width;
        // Mean colour step between line a and line b: columns when `across`,
        // else rows.
        auto step = [&](int a, int b, bool across) {
            double d = 0;
            for (int k = 0; k < n; ++k) {
                const std::uint8_t* p = across ? img.pixel(a, k) : img.pixel(k, a);
                const std::uint8_t* q = across ? img.pixel(b, k) : img.pixel(k, b);
                for (int c = 0; c < 3; ++c) d += std::fabs(double(p[c]) - double(q[c]));
            }
            return d / (3.0 * n);
        };
        // Tiled, the last line meets the first: that step may be no larger than
        // the largest step between neighbouring lines inside the picture (a
        // crack or a joint may lie on the wrap; a seam would stand out).
        for (bool across : {true, false}) {
            double largest = 0;
            for (int k = 0; k + 1 < n; ++k) largest = std::max(largest, step(k, k + 1, across));
            EXPECT_LE(step(n - 1, 0, across), largest) << name << (across ? " left and right" : " top and bottom");
        }
        // A texture, not a flat colour.
        EXPECT_GT(region(img, 0, 0, 800, 600).spread, 0.02f) << name;
    }
}

TEST(LevelArt, ColouredBallsHaveTheOrangeBallsShapeInTheirOwnColour) {
    tga::Image orange = load("orangeball.tga");
    ASSERT_GT(orange.width, 0);
    struct Ball {
        const char* name;
        int strongest;  // channel that must lead: 1 green, 2 blue
    };
    for (Ball b : {Ball{"blueball.tga", 2}, Ball{"greenball.tga", 1}}) {
        tga::Image img = load(b.name);
        ASSERT_EQ(img.width, orange.width) << b.name;
        ASSERT_EQ(img.height, orange.height) << b.name;
        // Same outline, pixel for pixel: balltrans.tga is drawn over both.
        double mean[3] = {0, 0, 0};
        double weight = 0;
        for (int j = 0; j < img.height; ++j)
            for (int i = 0; i < img.width; ++i) {
                ASSERT_EQ(img.pixel(i, j)[3], orange.pixel(i, j)[3]) << b.name << " at " << i << ", " << j;
                float a = img.pixel(i, j)[3] / 255.0f;
                for (int c = 0; c < 3; ++c) mean[c] += a * img.pixel(i, j)[c];
                weight += a;
            }
        for (double& m : mean) m /= weight;
        for (int c = 0; c < 3; ++c)
            if (c != b.strongest) {
                EXPECT_GT(mean[b.strongest], mean[c] + 30) << b.name << " channel " << c;
            }
    }
}

TEST(LevelArt, MetalCrateMatchesTheWoodenCrate) {
    tga::Image wood = load("crate1.tga"), metal = load("crate2.tga");
    ASSERT_GT(metal.width, 0);
    EXPECT_EQ(metal.width, wood.width);
    EXPECT_EQ(metal.height, wood.height);
    // Fills its square like the wooden one: every pixel away from the rounded
    // corners is opaque, so a crate shows no gap against its neighbours.
    int seeThrough = 0;
    for (int j = 0; j < metal.height; ++j)
        for (int i = 0; i < metal.width; ++i) {
            bool corner = std::min(i, metal.width - 1 - i) < 2 && std::min(j, metal.height - 1 - j) < 2;
            if (!corner && metal.pixel(i, j)[3] < 250) ++seeThrough;
        }
    EXPECT_EQ(seeThrough, 0);
    // Steel, not wood: grey to blue, where the wooden crate is warm.
    Stats s = region(metal, 0, 0, 800, 600);
    double r = 0, b = 0;
    for (int k = 0; k < metal.width * metal.height; ++k) {
        r += metal.rgba[4 * k];
        b += metal.rgba[4 * k + 2];
    }
    EXPECT_GE(b, r);
    EXPECT_GT(s.spread, 0.03f);  // frame, ribs and rivets show
}
