// The campaign's pictures: level backgrounds, polygon textures, the blue and
// green balls and the metal crate.
//
// Backgrounds are stretched over the whole 800 x 600 field under every object,
// so they stay calm: low contrast, little fine detail, mid to dark tones (white
// labels read on all of them, dark labels on the day's sky only), and nothing
// bright behind the counters at the top left (window y about 520..560, x
// 30..350) or the victory clock at the top right (750, 560).
// Image rows count from the top: image y = 600 - window y.
#include <cmath>
#include <vector>

#include "assets.h"
#include "noise.h"
#include "palette.h"
#include "shapes.h"

namespace art {
namespace {

constexpr int BG_W = 800, BG_H = 600;

// ---- background helpers ----

// A colour at image row y on a vertical gradient through (row, colour) stops,
// rows ascending; constant before the first stop and after the last.
struct Stop {
    float y;
    Color c;
};
Color gradientAt(const std::vector<Stop>& stops, float y) {
    if (y <= stops.front().y) return stops.front().c;
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (y < stops[i].y) return mix(stops[i - 1].c, stops[i].c, smooth(stops[i - 1].y, stops[i].y, y));
    return stops.back().c;
}
void fillGradient(Canvas& c, const std::vector<Stop>& stops) {
    c.wash([](float, float) { return 1.0f; }, [&](float, float y) { return gradientAt(stops, y); });
}

// The row of a rolling skyline at column x: `base` plus about `amp` pixels
// either way at most (the noise seldom strays far from its middle), with hills
// about `width` pixels across.
float ridgeY(float x, float base, float amp, float width, std::uint32_t seed) {
    return base + amp * 4 * (fbm(x / width, 0.37f, seed, 3) - 0.5f);
}

// Fills everything below a skyline with paint(x, y). The vertical distance
// stands in for the true one: the hills are gentle, so the edge stays smooth.
template <class Paint>
void paintRidge(Canvas& c, float base, float amp, float width, std::uint32_t seed, Paint paint) {
    c.fill([=](float x, float y) { return ridgeY(x, base, amp, width, seed) - y; }, paint, 0,
           static_cast<int>(base - 2 * amp - 2), c.w, c.h);
}

// 1 over most of the picture, falling to 0.1 behind the counters at the top
// left and the victory clock at the top right, with soft borders.
float calmCorners(float x, float y) {
    float counters = length((x - 190) / 210, (y - 58) / 62);
    float clock = length((x - 750) / 70, (y - 40) / 60);
    return 1 - 0.9f * (1 - smooth(0.7f, 1.3f, std::min(counters, clock)));
}

// Stars: one candidate in each cell x cell square, `density` of them kept,
// fainter toward `fadeRow` and behind the counters and the clock.
void paintStars(Canvas& c, std::uint32_t seed, int cell, float density, float brightness, float fadeRow) {
    for (int cy = 0; cy < c.h / cell; ++cy) {
        for (int cx = 0; cx < c.w / cell; ++cx) {
            if (hash2(cx, cy, seed) > density) continue;
            float sx = cell * (cx + hash2(cx, cy, seed + 1)), sy = cell * (cy + hash2(cx, cy, seed + 2));
            if (sy > fadeRow) continue;
            float r = 0.45f + 0.75f * std::pow(hash2(cx, cy, seed + 3), 2.0f);
            float a = brightness * (0.3f + 0.7f * hash2(cx, cy, seed + 4)) * (1 - 0.7f * sy / fadeRow) *
                      calmCorners(sx, sy);
            Color tint = mix(pal::MIST, hash2(cx, cy, seed + 5) < 0.5f ? pal::CREAM : pal::STEEL, 0.4f);
            c.fill([=](float x, float y) { return circle(x, y, sx, sy, r); },
                   [=](float, float) { return withAlpha(tint, a); }, static_cast<int>(sx) - 3,
                   static_cast<int>(sy) - 3, static_cast<int>(sx) + 4, static_cast<int>(sy) + 4);
        }
    }
}

// A soft round glow: `strength` at the centre, nothing beyond `radius`.
void glow(Canvas& c, float cx, float cy, float radius, float strength, Color col, float stretchX = 1.0f) {
    c.wash([=](float x, float y) {
               float d = length((x - cx) / stretchX, y - cy);
               float t = 1 - smooth(0, radius, d);
               return strength * t * t;
           },
           [=](float, float) { return col; });
}

// Darkens toward the picture's edges, keeping the eye on the middle.
void vignette(Canvas& c, float strength) {
    c.wash([=](float x, float y) {
               float d = length((x - c.w / 2.0f) / (c.w / 2.0f), (y - c.h / 2.0f) / (c.h / 2.0f));
               return strength * smooth(0.55f, 1.45f, d);
           },
           [](float, float) { return pal::INK; });
}

}  // namespace

// ---- backgrounds ----

Canvas makeBackgroundMeadow() {
    // A clear day: a deep, slightly hazy sky (mid-tone, so white labels still
    // read) over three layers of hills.
    Canvas c(BG_W, BG_H);
    fillGradient(c, {{0, hex(0x416c9c)}, {260, hex(0x5f8cba)}, {430, hex(0x86abcb)}});
    glow(c, 480, 40, 520, 0.16f, pal::CREAM, 1.5f);
    // Fair-weather clouds: flattened noise, in a band below the counters.
    c.wash([&](float x, float y) {
               float band = smooth(90, 150, y) * (1 - smooth(300, 400, y));
               return 0.42f * band * smooth(0.55f, 0.78f, fbm(x / 170, y / 48, 501, 5));
           },
           [](float, float y) { return mix(pal::WHITE, pal::MIST, clamp01((y - 120) / 250)); });
    // Far hills in the haze, middle hills, the meadow in front.
    paintRidge(c, 420, 16, 260, 511, [](float, float y) { return mix(hex(0x86aab4), hex(0x6a9583), clamp01((y - 385) / 90)); });
    paintRidge(c, 466, 18, 190, 521, [](float x, float y) {
        float patch = fbm(x / 90, y / 40, 523, 3);
        return shade(mix(hex(0x6f9c5a), hex(0x557f43), clamp01((y - 430) / 120)), 0.92f + 0.14f * patch);
    });
    paintRidge(c, 522, 9, 320, 531, [](float x, float y) {
        float grass = fbm(x / 7, y / 22, 533, 3);
        float patch = fbm(x / 120, y / 60, 537, 3);
        Color col = mix(hex(0x5a8c3f), hex(0x3e6a2c), clamp01((y - 505) / 95));
        return shade(col, 0.88f + 0.12f * grass + 0.1f * patch);
    });
    // A few pale flowers in the meadow, too small to be taken for objects.
    for (int i = 0; i < 70; ++i) {
        float fx = 800 * hash2(i, 0, 541), fy = 540 + 55 * hash2(i, 1, 541);
        Color col = hash2(i, 2, 541) < 0.5f ? pal::CREAM : pal::AMBER;
        c.fill([=](float x, float y) { return circle(x, y, fx, fy, 1.1f); },
               [=](float, float) { return withAlpha(col, 0.55f); }, static_cast<int>(fx) - 3,
               static_cast<int>(fy) - 3, static_cast<int>(fx) + 4, static_cast<int>(fy) + 4);
    }
    return c;
}

Canvas makeBackgroundDusk() {
    // Warm evening: violet sky fading to a muted ember glow behind dark hills,
    // the sun half set in the middle distance.
    Canvas c(BG_W, BG_H);
    fillGradient(c, {{0, hex(0x1e2140)}, {190, hex(0x3d3560)}, {330, hex(0x7a4b6c)}, {450, hex(0xb86d5c)}});
    glow(c, 430, 450, 380, 0.45f, pal::ORANGE, 1.7f);
    // Long thin clouds lit from below.
    c.wash([&](float x, float y) {
               float band = smooth(130, 200, y) * (1 - smooth(360, 440, y));
               return 0.32f * band * smooth(0.56f, 0.8f, fbm(x / 260, y / 13, 551, 5));
           },
           [](float, float y) { return mix(hex(0x9a6a98), hex(0xf0a07a), clamp01((y - 180) / 220)); });
    // The sun: a soft disc, no hard edge to compete with the objects.
    c.fill([](float x, float y) { return circle(x, y, 430, 452, 34) / 2.5f; },
           [](float, float y) { return withAlpha(mix(pal::CREAM, pal::AMBER, clamp01((y - 420) / 40)), 0.8f); });
    paintRidge(c, 452, 14, 240, 561, [](float, float y) { return mix(hex(0x5b3d5f), hex(0x4a3152), (y - 430) / 60); });
    paintRidge(c, 505, 18, 170, 571, [](float x, float y) {
        float tone = fbm(x / 60, y / 30, 573, 3);
        return shade(mix(hex(0x33243f), hex(0x1f1729), clamp01((y - 470) / 130)), 0.92f + 0.12f * tone);
    });
    return c;
}

Canvas makeBackgroundNight() {
    // Dark blue night: stars, a faint band of the galaxy, a low moon, dark hills.
    Canvas c(BG_W, BG_H);
    fillGradient(c, {{0, hex(0x0b1021)}, {330, hex(0x16203a)}, {480, hex(0x22314f)}});
    // The galaxy: a faint diagonal haze from lower left to upper right.
    auto band = [](float x, float y) {
        float d = (x * 0.45f + y * 0.89f - 470) + 60 * (fbm(x / 200, y / 200, 581, 3) - 0.5f);
        return std::exp(-d * d / (2 * 70.0f * 70.0f));
    };
    c.wash([&](float x, float y) { return 0.22f * band(x, y) * (0.5f + fbm(x / 60, y / 60, 583, 4)); },
           [](float, float) { return pal::SLATE; });
    c.wash([&](float x, float y) { return 0.07f * smooth(0.5f, 0.85f, fbm(x / 160, y / 90, 587, 5)); },
           [](float, float) { return pal::VIOLET; });
    paintStars(c, 591, 11, 0.42f, 0.85f, 470);
    paintStars(c, 593, 7, 0.30f, 0.55f, 470);  // the dust of fainter stars
    // The moon: a pale disc with soft shadows, and its glow.
    glow(c, 590, 140, 150, 0.18f, pal::STEEL);
    c.fill([](float x, float y) { return circle(x, y, 590, 140, 22); }, [](float x, float y) {
        float maria = smooth(0.5f, 0.75f, fbm(x / 9, y / 9, 597, 3));
        float lit = clamp01(0.5f + ((590 - x) * 0.6f + (140 - y) * 0.8f) / 44);
        return shade(mix(pal::MIST, pal::STEEL, 0.35f * maria), 0.8f + 0.25f * lit);
    });
    paintRidge(c, 478, 16, 230, 601, [](float, float y) { return mix(hex(0x182338), hex(0x131b2d), (y - 450) / 60); });
    paintRidge(c, 532, 12, 160, 611, [](float x, float y) {
        float tone = fbm(x / 60, y / 30, 613, 3);
        return shade(mix(hex(0x10172a), hex(0x0a0f1c), clamp01((y - 500) / 100)), 0.92f + 0.14f * tone);
    });
    return c;
}

Canvas makeBackgroundCave() {
    // Dark rock lit by a warm light in the middle; the ceiling and the floor grow
    // stalactites and stalagmites in silhouette.
    Canvas c(BG_W, BG_H);
    c.wash([](float, float) { return 1.0f; }, [](float x, float y) {
        auto rock = [](float u, float v) { return fbm(u / 150, v / 110, 621, 5); };
        float n = rock(x, y);
        // Relief: the noise read as a height field lit from the upper left.
        float relief = (n - rock(x + 2.5f, y + 2.5f)) * 9;
        // Strata: bands running gently downhill, bent by the rock's own noise.
        float strata = 0.5f + 0.5f * std::sin((y + 0.12f * x + 70 * n) / 17);
        Color col = mix(hex(0x2a2421), hex(0x4e453d), n);
        return shade(col, 0.94f + 0.08f * strata + clamp01(0.5f + relief) * 0.2f - 0.1f);
    });
    glow(c, 400, 320, 460, 0.2f, pal::WOOD_LIGHT, 1.3f);
    vignette(c, 0.55f);
    // Ceiling: an uneven band of darker rock with stalactites hanging from it.
    const Color dark = hex(0x201b18), rim = hex(0x5a4c40);
    auto stalactites = [](float x, float y) {
        float d = y - ridgeY(x, 26, 8, 120, 631);
        for (int i = 0; i < 11; ++i) {
            float sx = 800 * (i + 0.15f + 0.7f * hash2(i, 0, 633)) / 11;
            float len = 30 + 70 * hash2(i, 1, 633), half = 12 + 14 * hash2(i, 2, 633);
            float t = clamp01((y - 14) / len);
            // A cone that narrows faster near its tip, slightly bent.
            float bend = 6 * (hash2(i, 3, 633) - 0.5f) * t * t;
            d = std::min(d, std::max(std::fabs(x - sx - bend) - half * std::pow(1 - t, 1.15f), y - 14 - len));
        }
        return d;
    };
    auto stalagmites = [](float x, float y) {
        float d = ridgeY(x, 578, 5, 110, 641) - y;
        for (int i = 0; i < 8; ++i) {
            float sx = 800 * (i + 0.2f + 0.6f * hash2(i, 0, 643)) / 8;
            float len = 14 + 34 * hash2(i, 1, 643), half = 12 + 12 * hash2(i, 2, 643);
            float t = clamp01((592 - y) / len);
            d = std::min(d, std::max(std::fabs(x - sx) - half * std::pow(1 - t, 1.2f), 592 - len - y));
        }
        return d;
    };
    // A faint rim of light, then the rock, lit along its edges and dark in its
    // depth, so the cones read as round.
    auto silhouette = [&](auto shape) {
        c.fill([&](float x, float y) { return shape(x, y) - 1.0f; }, [=](float, float) { return withAlpha(rim, 0.25f); });
        c.fill(shape, [=](float x, float y) {
            Color edge = mix(rim, dark, 0.55f);
            return shade(mix(edge, dark, smooth(0, 9, -shape(x, y))), 0.9f + 0.2f * fbm(x / 20, y / 20, 647, 2));
        });
    };
    silhouette(stalactites);
    silhouette(stalagmites);
    return c;
}

Canvas makeBackgroundSpace() {
    // Deep space for the black holes: faint violet and blue nebulae, dense stars,
    // and the dark limb of a planet in the lower left corner.
    Canvas c(BG_W, BG_H);
    c.wash([](float, float) { return 1.0f; },
           [](float x, float y) { return mix(hex(0x080a14), hex(0x161a30), clamp01((x * 0.6f + y * 0.8f) / 900)); });
    c.wash([](float x, float y) {
               // A broad band from the lower left to the upper right, through the middle.
               float n = fbm(x / 230, y / 170, 651, 6);
               float d = x * 0.6f + y * 0.8f - 480 + 120 * (fbm(x / 300, y / 300, 655, 3) - 0.5f);
               return 0.45f * std::exp(-d * d / (2 * 130.0f * 130.0f)) * smooth(0.35f, 0.8f, n);
           },
           [](float x, float y) { return mix(pal::VIOLET, hex(0x2f6f8f), smooth(0.35f, 0.65f, fbm(x / 300, y / 300, 653, 3))); });
    // Dark dust lanes across the nebula.
    c.wash([](float x, float y) { return 0.3f * smooth(0.55f, 0.75f, fbm(x / 120, y / 60, 657, 5)); },
           [](float, float) { return hex(0x06070d); });
    paintStars(c, 661, 9, 0.45f, 0.85f, 900);
    paintStars(c, 663, 5, 0.18f, 0.45f, 900);
    // A handful of brighter stars with a soft glow and short rays.
    for (int i = 0; i < 5; ++i) {
        float sx = 120 + 560 * hash2(i, 0, 667), sy = 110 + 330 * hash2(i, 1, 667);
        float s = 3 + 3 * hash2(i, 2, 667);
        glow(c, sx, sy, 4 * s, 0.25f, pal::MIST);
        for (int k = 0; k < 2; ++k) {
            float ax = k == 0 ? s * 1.6f : 0, ay = k == 0 ? 0 : s * 1.6f;
            c.fill([=](float x, float y) { return segment(x, y, sx - ax, sy - ay, sx + ax, sy + ay, 0.9f); },
                   [](float, float) { return withAlpha(pal::MIST, 0.3f); });
        }
        c.fill([=](float x, float y) { return circle(x, y, sx, sy, 1.3f); },
               [](float, float) { return withAlpha(pal::WHITE, 0.9f); });
    }
    // The planet: mostly in shadow, lit on its upper right rim.
    const float px = -40, py = 720, pr = 300;
    c.fill([=](float x, float y) { return circle(x, y, px, py, pr); }, [=](float x, float y) {
        float bands = 0.5f + 0.5f * std::sin((y - py + 14 * fbm(x / 80, y / 30, 671, 3)) / 11);
        float lit = clamp01(((x - px) * 0.6f - (y - py) * 0.8f) / pr - 0.45f) / 0.55f;
        Color surface = mix(hex(0x1b2236), hex(0x2b3a58), 0.5f * bands);
        return mix(surface, hex(0x4f6e96), lit * lit);
    });
    c.fill([=](float x, float y) { return ring(x, y, px, py, pr - 1.2f, 2.4f); }, [=](float x, float y) {
        float lit = clamp01(((x - px) * 0.6f - (y - py) * 0.8f) / pr - 0.3f) / 0.7f;
        return withAlpha(pal::MIST, 0.65f * lit);
    });
    // Its thin atmosphere, on the lit side only.
    c.wash([=](float x, float y) {
               float d = length(x - px, y - py) - pr;
               if (d < 0) return 0.0f;
               float lit = clamp01(((x - px) * 0.6f - (y - py) * 0.8f) / (pr + d) - 0.3f) / 0.7f;
               return 0.3f * lit * (1 - smooth(0, 16, d));
           },
           [](float, float) { return pal::STEEL; });
    return c;
}

// ---- polygon textures ----
//
// Square, opaque and tiling in both directions: a polygon maps its points onto
// the picture by texture coordinates 0..1 and may be stretched to any size, so
// nothing may sit on one border only (no bevel, no gradient across the picture).

namespace {

constexpr int TEX = 128;

// Tiling fractal noise in 0..1 over a TEX-pixel square: `cx` features across
// and `cy` down at the coarsest octave.
float tileFbm(float x, float y, int cx, int cy, std::uint32_t seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x * cx / TEX, y * cy / TEX, seed + i * 101u, cx, cy);
        norm += amp;
        cx *= 2;
        cy *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

// x - a wrapped into (-TEX/2, TEX/2]: signed horizontal offset on the tiling square.
float wrapOffset(float x, float a) {
    float d = std::fmod(x - a, static_cast<float>(TEX));
    if (d > TEX / 2.0f) d -= TEX;
    if (d <= -TEX / 2.0f) d += TEX;
    return d;
}

}  // namespace

Canvas makeTextureStone() {
    // Dressed stone blocks in four courses, joints staggered, a darker mortar
    // between them; each block lit from the upper left.
    Canvas c(TEX, TEX);
    const float course = TEX / 4.0f, mortar = 1.4f;
    static const std::vector<float> joints[4] = {{20, 76}, {0, 50, 96}, {34, 90}, {10, 62, 110}};
    c.wash([](float, float) { return 1.0f; }, [=](float x, float y) {
        int row = std::min(3, static_cast<int>(y / course));
        float v = y - row * course;
        float left = 1e9f, right = 1e9f;
        int block = 0;
        for (std::size_t k = 0; k < joints[row].size(); ++k) {
            float d = wrapOffset(x, joints[row][k]);
            if (d >= 0 && d < left) {
                left = d;
                block = static_cast<int>(k);
            }
            if (d < 0) right = std::min(right, -d);
        }
        float edge = std::min(std::min(left, right), std::min(v, course - v));
        float grain = tileFbm(x, y, 4, 4, 701, 4);
        float speck = hash2(static_cast<int>(x), static_cast<int>(y), 703);
        float tone = 0.86f + 0.16f * hash2(row, block, 705);
        Color face = mix(pal::STONE, pal::STONE_LIGHT, 0.25f + 0.6f * grain);
        face = mix(face, hex(0x9a8e7e), 0.35f * hash2(row, block, 707));  // some blocks a warmer stone
        face = shade(face, tone * (0.95f + 0.08f * speck));
        // Chamfer: light on the top and left edges of a block, dark on the others.
        float lit = (1 - smooth(mortar, mortar + 4, v)) * 0.18f + (1 - smooth(mortar, mortar + 4, left)) * 0.12f;
        float dark = (1 - smooth(mortar, mortar + 4, course - v)) * 0.25f + (1 - smooth(mortar, mortar + 4, right)) * 0.18f;
        face = shade(face, 1 + lit - dark);
        Color joint = shade(pal::STONE_DARK, 0.8f + 0.2f * grain);
        return mix(joint, face, coverage(mortar - edge));
    });
    return c;
}

Canvas makeTextureWood() {
    // Four planks running across, with wavy grain, a knot here and there, dark
    // seams between planks and a nailed butt joint in each.
    Canvas c(TEX, TEX);
    const float plankH = TEX / 4.0f;
    static const float buttX[4] = {86, 30, 108, 58};
    static const float knotX[4] = {40, 92, 60, 18};
    c.wash([](float, float) { return 1.0f; }, [=](float x, float y) {
        int plank = std::min(3, static_cast<int>(y / plankH));
        float v = y - plank * plankH;
        // The grain: stripes along the plank, bent by noise and around the knot.
        float kx = wrapOffset(x, knotX[plank]), ky = v - plankH * 0.55f;
        float knot = length(kx / 1.8f, ky);
        float bend = 5.0f * std::exp(-knot * knot / 60.0f) * (ky < 0 ? -1.0f : 1.0f);
        float warp = 7.0f * tileFbm(x, y + plank * 9.0f, 2, 8, 711 + plank, 3);
        float stripes = 0.5f + 0.5f * std::sin(2 * PI * (v + warp + bend) / 6.5f + plank);
        float fine = tileFbm(x, y, 16, 64, 713, 2);
        float tone = 0.88f + 0.14f * hash2(plank, 0, 715);
        Color col = mix(pal::WOOD, pal::WOOD_LIGHT, 0.25f + 0.45f * stripes * (0.6f + 0.4f * fine));
        col = shade(col, tone);
        col = mix(col, pal::WOOD_DARK, 0.75f * (1 - smooth(2.0f, 4.5f, knot)));  // the knot's heart
        // Seams: a dark line at the top of each plank, a lit line just under it,
        // and the plank's butt joint.
        float seam = std::min(v, plankH - v);
        float butt = std::fabs(wrapOffset(x, buttX[plank]));
        col = shade(col, 1 + 0.12f * (1 - smooth(1.0f, 3.0f, v)) - 0.15f * (1 - smooth(0.5f, 3.0f, plankH - v)));
        col = mix(pal::WOOD_DARK, col, coverage(0.9f - std::min(seam, butt)));
        // Two nails beside the joint.
        for (float nv : {7.0f, plankH - 7.0f}) {
            float d = length(wrapOffset(x, buttX[plank] + 4), v - nv);
            col = mix(col, pal::STONE_DARK, coverage(d - 1.4f));
            col = mix(col, pal::STONE_LIGHT, 0.6f * coverage(length(wrapOffset(x, buttX[plank] + 3.6f), v - nv + 0.5f) - 0.5f));
        }
        return col;
    });
    return c;
}

Canvas makeTextureMetal() {
    // Steel tread plate: brushed grey-blue steel with raised lozenges in a
    // 16-pixel grid, turned alternately, lit from the upper left.
    Canvas c(TEX, TEX);
    c.wash([](float, float) { return 1.0f; }, [](float x, float y) {
        float brush = tileFbm(x, y, 4, 64, 721, 3);
        float wear = tileFbm(x, y, 3, 3, 723, 4);
        Color col = mix(hex(0x6f7b8b), hex(0x97a3b1), 0.35f + 0.5f * brush);
        return shade(col, 0.9f + 0.14f * wear);
    });
    const float cell = 16;
    auto lozenge = [=](float x, float y) {
        int i = static_cast<int>(x / cell), j = static_cast<int>(y / cell);
        float cx = i * cell + cell / 2, cy = j * cell + cell / 2;
        float s = ((i + j) % 2 == 0) ? 1.0f : -1.0f;
        float h = 4.2f * 0.7071f;
        return segment(x, y, cx - h, cy - s * h, cx + h, cy + s * h, 3.4f);
    };
    c.fill([=](float x, float y) { return lozenge(x - 1.0f, y - 1.2f); },
           [](float, float) { return withAlpha(hex(0x2b3240), 0.55f); });
    c.fill(lozenge, [=](float x, float y) { return mix(hex(0xaab5c2), hex(0x78848f), clamp01(-lozenge(x, y) / 1.7f)); });
    c.fill([=](float x, float y) { return std::max(lozenge(x + 0.7f, y + 0.7f) + 0.4f, -lozenge(x, y) - 1.2f); },
           [](float, float) { return withAlpha(pal::MIST, 0.7f); });
    return c;
}

Canvas makeTextureIce() {
    // Pale blue ice: deeper patches, a net of fine cracks (cells that wrap at the
    // edges), glossy diagonal sheen and a few trapped bubbles.
    Canvas c(TEX, TEX);
    const int cells = 4;
    const float size = static_cast<float>(TEX) / cells;
    auto crack = [=](float x, float y) {
        // Distance to the nearest border between cells of a wrapping Voronoi net.
        int ci = static_cast<int>(x / size), cj = static_cast<int>(y / size);
        float f1 = 1e9f, f2 = 1e9f;
        for (int dj = -1; dj <= 1; ++dj) {
            for (int di = -1; di <= 1; ++di) {
                int i = ci + di, j = cj + dj;
                int wi = (i % cells + cells) % cells, wj = (j % cells + cells) % cells;
                float sx = (i + 0.15f + 0.7f * hash2(wi, wj, 731)) * size;
                float sy = (j + 0.15f + 0.7f * hash2(wi, wj, 733)) * size;
                float d = length(x - sx, y - sy);
                if (d < f1) {
                    f2 = f1;
                    f1 = d;
                } else if (d < f2) {
                    f2 = d;
                }
            }
        }
        return (f2 - f1) / 2;
    };
    c.wash([](float, float) { return 1.0f; }, [=](float x, float y) {
        float depth = tileFbm(x, y, 3, 3, 735, 4);
        float frost = tileFbm(x, y, 16, 16, 737, 2);
        Color col = mix(hex(0x7fb6d3), hex(0xcfe8f2), smooth(0.25f, 0.75f, depth));
        col = mix(col, pal::WHITE, 0.12f * frost);
        float sheenPhase = 2 * PI * ((x + y) / TEX * 2 + 0.25f * tileFbm(x, y, 2, 2, 739, 2));
        col = mix(col, pal::WHITE, 0.22f * smooth(0.86f, 1.0f, 0.5f + 0.5f * std::sin(sheenPhase)));
        // Only some borders have cracked: a noise decides which.
        float cracked = smooth(0.5f, 0.62f, tileFbm(x, y, 2, 2, 741, 3));
        float d = crack(x, y);
        col = mix(col, hex(0x5f93b4), 0.35f * cracked * coverage(d - 1.2f));
        col = mix(col, pal::WHITE, 0.75f * cracked * coverage(d - 0.45f));
        return col;
    });
    for (int i = 0; i < 9; ++i) {
        float bx = TEX * hash2(i, 0, 743), by = TEX * hash2(i, 1, 743), br = 1.2f + 2.2f * hash2(i, 2, 743);
        for (float ox : {-1.0f, 0.0f, 1.0f}) {
            for (float oy : {-1.0f, 0.0f, 1.0f}) {  // drawn again across each edge, so bubbles tile too
                float x0 = bx + ox * TEX, y0 = by + oy * TEX;
                c.fill([=](float x, float y) { return ring(x, y, x0, y0, br, 0.8f); },
                       [](float, float) { return withAlpha(pal::WHITE, 0.55f); }, static_cast<int>(x0 - br - 2),
                       static_cast<int>(y0 - br - 2), static_cast<int>(x0 + br + 3), static_cast<int>(y0 + br + 3));
            }
        }
    }
    return c;
}

// ---- balls and the metal crate ----

namespace {

// Turns a colour's hue by `degrees` and scales its saturation and value (HSV),
// keeping alpha: the orange ball's shading carries over to any other colour.
Color turnHue(Color c, float degrees, float saturation, float value) {
    float mx = std::max(c.r, std::max(c.g, c.b)), mn = std::min(c.r, std::min(c.g, c.b));
    float v = mx, d = mx - mn, s = mx > 0 ? d / mx : 0;
    float h = 0;  // degrees
    if (d > 0) {
        if (mx == c.r)
            h = 60 * std::fmod((c.g - c.b) / d + 6, 6.0f);
        else if (mx == c.g)
            h = 60 * ((c.b - c.r) / d + 2);
        else
            h = 60 * ((c.r - c.g) / d + 4);
    }
    h = std::fmod(h + degrees + 360, 360.0f);
    s = clamp01(s * saturation);
    v = clamp01(v * value);
    float k = v * s, x = k * (1 - std::fabs(std::fmod(h / 60, 2.0f) - 1)), m = v - k;
    float r = 0, g = 0, b = 0;
    switch (static_cast<int>(h / 60)) {
        case 0: r = k, g = x; break;
        case 1: r = x, g = k; break;
        case 2: g = k, b = x; break;
        case 3: g = x, b = k; break;
        case 4: r = x, b = k; break;
        default: r = k, b = x; break;
    }
    return {r + m, g + m, b + m, c.a};
}

Canvas recolouredBall(float degrees, float saturation, float value) {
    Canvas c = makeOrangeBall();
    for (Color& p : c.px) p = turnHue(p, degrees, saturation, value);
    return c;
}

}  // namespace

Canvas makeBlueBall() { return recolouredBall(175, 0.92f, 0.92f); }
Canvas makeGreenBall() { return recolouredBall(68, 0.78f, 0.86f); }

Canvas makeMetalCrate() {
    // The wooden crate's size and outline in riveted steel: a raised frame
    // around a recessed, ribbed panel, lit from the upper left.
    const int N = 64;
    const float m = N / 2.0f;
    Canvas c(N, N);
    auto body = [=](float x, float y) { return roundBox(x, y, m, m, m, m, 1.5f); };
    auto panel = [=](float x, float y) { return roundBox(x, y, m, m, 22, 22, 1.5f); };
    auto light = [](float x, float y) { return clamp01((x * 0.55f + y * 0.83f) / 90); };  // 0 lit .. 1 shaded
    c.fill(body, [=](float x, float y) {
        float brush = fbm(x / 14, y * 1.5f, 751, 2);
        return shade(mix(hex(0xa9b5c3), hex(0x5f6b7b), light(x, y)), 0.94f + 0.1f * brush);
    });
    // The frame's lit outer edge (top and left) and shaded edge (bottom and right).
    c.fill([=](float x, float y) { return std::fabs(body(x, y) + 1.6f) - 0.8f; },
           [=](float x, float y) { return light(x, y) < 0.45f ? withAlpha(pal::WHITE, 0.35f) : withAlpha(pal::INK, 0.3f); });
    // The panel: sunk, so its top and left inner edges are in shadow.
    c.fill(panel, [=](float x, float y) {
        float brush = fbm(x / 14, y * 1.5f, 753, 2);
        return shade(mix(hex(0x7f8b9b), hex(0x4b5564), light(x, y)), 0.94f + 0.1f * brush);
    });
    c.fill([=](float x, float y) { return std::max(panel(x, y), -panel(x + 1.5f, y + 1.5f)); },
           [](float, float) { return withAlpha(pal::INK, 0.55f); });
    c.fill([=](float x, float y) { return std::max(panel(x, y), -panel(x - 1.0f, y - 1.0f)); },
           [](float, float) { return withAlpha(pal::MIST, 0.45f); });
    // Ribs pressed into the panel: shadow below, metal, a lit top line.
    for (int i = 0; i < 5; ++i) {
        float ry = 16 + 8.0f * i;
        auto rib = [=](float x, float y) { return roundBox(x, y, m, ry, 17, 1.6f, 1.6f); };
        c.fill([=](float x, float y) { return rib(x - 0.6f, y - 1.4f); }, [](float, float) { return withAlpha(pal::INK, 0.45f); });
        c.fill(rib, [=](float x, float y) { return mix(hex(0xb3bfcc), hex(0x6b7788), light(x, y)); });
        c.fill([=](float x, float y) { return std::max(rib(x, y), -rib(x, y + 1.0f)); },
               [](float, float) { return withAlpha(pal::WHITE, 0.45f); });
    }
    // Rivets on the frame: corners and the middle of each side.
    for (float u : {5.0f, 32.0f, 59.0f}) {
        for (float v : {5.0f, 32.0f, 59.0f}) {
            if (u == 32.0f && v == 32.0f) continue;
            c.fill([=](float x, float y) { return circle(x, y, u + 0.5f, v + 0.6f, 2.2f); },
                   [](float, float) { return withAlpha(pal::INK, 0.5f); });
            c.fill([=](float x, float y) { return circle(x, y, u, v, 2.0f); },
                   [=](float x, float y) { return mix(pal::MIST, pal::STONE_DARK, clamp01(0.5f + (x - u + y - v) / 4)); });
        }
    }
    c.fill([=](float x, float y) { return std::fabs(body(x, y) + 0.6f) - 0.6f; },
           [](float, float) { return withAlpha(hex(0x262c38), 0.9f); });
    return c;
}

}  // namespace art
