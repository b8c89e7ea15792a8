// Screens and signs: splash, backdrops, menu icons, digits, font, tick, clock.
#include <cmath>
#include <string>

#include "assets.h"
#include "game/render/text.h"
#include "noise.h"
#include "palette.h"
#include "shapes.h"

namespace art {
namespace {

// Paints a coverage mask in one colour, or with a vertical gradient from `top` at
// row y0 to `bottom` at row y1.
void paintMask(Canvas& c, const std::vector<float>& m, Color top, Color bottom, float y0, float y1) {
    c.wash([&](float x, float y) { return m[static_cast<std::size_t>(y) * c.w + static_cast<std::size_t>(x)]; },
           [&](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); });
}
void paintMask(Canvas& c, const std::vector<float>& m, Color col) { paintMask(c, m, col, col, 0, 1); }

// Headline lettering: ink outline, soft drop shadow and an amber-to-ember fill.
void headline(Canvas& c, const std::string& text, float em, float centreX, float baseline, float outline) {
    float width = boldFont().measure(text, em);
    float x = centreX - width / 2;
    std::vector<float> m = setText(boldFont(), text, em, x, baseline, c.w, c.h);
    std::vector<float> shadow = setText(boldFont(), text, em, x + outline * 0.6f, baseline + outline * 0.9f, c.w, c.h);
    paintMask(c, dilate(shadow, c.w, c.h, outline * 1.4f), withAlpha(pal::INK, 0.45f));
    paintMask(c, dilate(m, c.w, c.h, outline), pal::INK);
    paintMask(c, m, pal::AMBER, pal::EMBER, baseline - em * 0.72f, baseline);
}

// Small print in one colour, centred on centreX.
void caption(Canvas& c, const std::string& text, float em, float centreX, float baseline, Color col) {
    float width = plainFont().measure(text, em);
    paintMask(c, setText(plainFont(), text, em, centreX - width / 2, baseline, c.w, c.h), col);
}

// Night-sky background shared by the two backdrops: gradient, faint clouds, stars.
void sky(Canvas& c, Color top, Color bottom, std::uint32_t seed, float stars) {
    c.wash([](float, float) { return 1.0f; }, [&](float, float y) { return mix(top, bottom, y / c.h); });
    c.wash([&](float x, float y) { return 0.22f * smooth(0.45f, 0.85f, fbm(x / 180, y / 140, seed, 5)); },
           [](float, float) { return pal::SLATE; });
    c.wash([&](float x, float y) { return 0.10f * smooth(0.5f, 0.9f, fbm(x / 120 + 7, y / 160, seed + 9, 4)); },
           [](float, float) { return pal::VIOLET; });
    // Stars: one candidate per 12 x 12 cell, most of them left out.
    for (int cy = 0; cy < c.h / 12; ++cy) {
        for (int cx = 0; cx < c.w / 12; ++cx) {
            if (hash2(cx, cy, seed + 77) > stars) continue;
            float sx = cx * 12 + 12 * hash2(cx, cy, seed + 78), sy = cy * 12 + 12 * hash2(cx, cy, seed + 79);
            float r = 0.45f + 0.8f * hash2(cx, cy, seed + 80);
            float a = 0.25f + 0.55f * hash2(cx, cy, seed + 81) * (1 - 0.6f * sy / c.h);
            c.fill([=](float x, float y) { return circle(x, y, sx, sy, r); },
                   [=](float, float) { return withAlpha(pal::MIST, a); }, static_cast<int>(sx) - 3,
                   static_cast<int>(sy) - 3, static_cast<int>(sx) + 4, static_cast<int>(sy) + 4);
        }
    }
}

// A translucent dark panel with a faint rim, in window-free image pixels.
void panel(Canvas& c, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    c.fill([=](float x, float y) { return roundBox(x, y, cx, cy, hw, hh, radius); },
           [](float, float) { return withAlpha(pal::INK, 0.38f); });
    c.fill([=](float x, float y) { return std::fabs(roundBox(x, y, cx, cy, hw - 0.75f, hh - 0.75f, radius)) - 0.75f; },
           [](float, float) { return withAlpha(pal::STEEL, 0.45f); });
}

}  // namespace

Canvas makeSplash() {
    const int W = 1024, H = 512;
    Canvas c(W, H);
    // Card with rounded corners: transparent outside, so only the card fades in.
    auto card = [=](float x, float y) { return roundBox(x, y, W / 2.0f, H / 2.0f, W / 2.0f - 2, H / 2.0f - 2, 44); };
    c.fill(card, [=](float, float y) { return mix(pal::NAVY, pal::NIGHT, y / H); });
    c.wash([&](float x, float y) { return 0.25f * smooth(0.4f, 0.9f, fbm(x / 160, y / 120, 5, 5)) * coverage(card(x, y)); },
           [](float, float) { return pal::SLATE; });
    // A burst of light behind the title.
    c.wash([&](float x, float y) {
               float d = length((x - W / 2.0f) / 1.6f, y - 215);
               return 0.55f * (1 - smooth(0, 260, d)) * coverage(card(x, y));
           },
           [](float, float) { return pal::ORANGE; });
    // The floor the objects stand on.
    const float floorY = 430;
    c.fill([=](float x, float y) { return std::max(floorY - y, card(x, y)); },
           [=](float, float y) { return mix(pal::STONE_DARK, pal::INK, (y - floorY) / 80); });
    c.fill([=](float x, float y) { return std::max(std::fabs(y - floorY) - 1.5f, card(x, y)); },
           [](float, float) { return withAlpha(pal::STONE_LIGHT, 0.8f); });
    headline(c, "boxquake", 190, W / 2.0f, 255, 7);
    caption(c, "a physics puzzle: one click, one blast", 30, W / 2.0f, 318, pal::MIST);
    paintCrate(c, 250, floorY - 76, 76);
    paintCrate(c, 332, floorY - 58, 58);
    paintBall(c, 470, floorY - 40, 40);
    paintBombBody(c, 640, floorY - 34, 34, 1);
    paintBall(c, 760, floorY - 26, 26);
    // Rim of the card.
    c.fill([=](float x, float y) { return std::fabs(card(x, y) + 1.5f) - 1.5f; },
           [](float, float) { return withAlpha(pal::STEEL, 0.7f); });
    return c;
}

Canvas makeBackdropMenu() {
    Canvas c(800, 600);
    sky(c, pal::NIGHT, mix(pal::NAVY, pal::SLATE, 0.35f), 21, 0.35f);
    // Panel behind the icon block (icons rest at x 92..208, y 167..308 in window
    // coordinates, y up) and the hovered level's result, drawn at (220, 300) and
    // (280, 300) in half-size digits. Image rows are 600 - window y.
    panel(c, 72, 600 - 332, 336, 600 - 148, 16);
    caption(c, "choose a level", 17, 140, 600 - 344, withAlpha(pal::MIST, 0.9f));
    caption(c, "time", 12, 232, 600 - 316, withAlpha(pal::MIST, 0.7f));
    caption(c, "blasts", 12, 298, 600 - 316, withAlpha(pal::MIST, 0.7f));
    headline(c, "boxquake", 72, 570, 250, 3.5f);
    caption(c, "every click is an explosion", 18, 570, 284, withAlpha(pal::MIST, 0.8f));
    caption(c, "e  editor      esc  quit", 15, 570, 560, withAlpha(pal::STEEL, 0.9f));
    return c;
}

Canvas makeBackdropField() {
    Canvas c(800, 600);
    sky(c, hex(0x2b3f62), hex(0x17213a), 33, 0.18f);
    // Graph paper: a line every 25 px, stronger every 100 px (window pixels, from
    // the bottom-left corner, so the editor's grid of positions matches).
    c.wash([](float x, float y) {
               float wx = x, wy = 600 - y;
               auto line = [](float v, float every) {
                   float d = std::fabs(v - every * std::round(v / every));
                   return clamp01(1.0f - d);
               };
               return std::max(0.05f * std::max(line(wx, 25), line(wy, 25)),
                               0.10f * std::max(line(wx, 100), line(wy, 100)));
           },
           [](float, float) { return pal::MIST; });
    return c;
}

Canvas makeLevelIcon(int kind) {
    // Painted four times larger and reduced, so strokes thinner than a pixel stay smooth.
    const int S = 4, N = 16 * S;
    Canvas c(N, N);
    const float m = N / 2.0f;
    auto tile = [=](float x, float y) { return roundBox(x, y, m, m, m - 2, m - 2, 14); };
    if (kind == 3) {
        c.fill(tile, [](float, float) { return withAlpha(pal::INK, 0.35f); });
        c.fill([=](float x, float y) { return std::fabs(tile(x, y) + 3) - 3; },
               [](float, float) { return withAlpha(pal::STEEL, 0.55f); });
        return c.downsample(S);
    }
    Color top[3] = {pal::STEEL, pal::GREEN, pal::RED};
    Color bottom[3] = {pal::SLATE, pal::GREEN_DARK, pal::RED_DARK};
    c.fill(tile, [&](float, float y) { return mix(top[kind], bottom[kind], y / N); });
    // Light top edge and a dark rim: the tile reads as raised at 16 pixels.
    c.fill([=](float x, float y) { return std::max(tile(x, y), -(tile(x, y + 4))); },
           [](float, float) { return withAlpha(pal::WHITE, 0.35f); });
    c.fill([=](float x, float y) { return std::fabs(tile(x, y) + 2.5f) - 2.5f; },
           [](float, float) { return withAlpha(pal::INK, 0.7f); });
    if (kind == 0) {  // a four-pointed star: not played yet
        std::vector<float> star;
        for (int i = 0; i < 8; ++i) {
            float a = i * PI / 4 - PI / 2, r = (i % 2 == 0) ? 20.0f : 7.0f;
            star.push_back(m + r * std::cos(a));
            star.push_back(m + r * std::sin(a));
        }
        c.fill([&](float x, float y) { return polygon(x, y, star); }, [](float, float) { return pal::AMBER; });
    } else if (kind == 1) {  // check mark: won
        std::vector<float> tickPts = {17, 33, 28, 44, 47, 21};
        c.fill([&](float x, float y) { return polyline(x, y, tickPts, 9); }, [](float, float) { return pal::WHITE; });
    } else {  // padlock: left without a win
        c.fill([=](float x, float y) { return ring(x, y, m, m - 4, 10, 5.5f) + 0 * x; },
               [](float, float) { return pal::CREAM; }, 0, 0, N, static_cast<int>(m - 2));
        c.fill([=](float x, float y) { return roundBox(x, y, m, m + 9, 15, 12, 3); },
               [](float, float) { return pal::CREAM; });
        c.fill([=](float x, float y) { return circle(x, y, m, m + 8, 3.5f); },
               [](float, float) { return pal::RED_DARK; });
    }
    return c.downsample(S);
}

Canvas makeDigit(int d) {
    const int W = 24, H = 32;
    Canvas c(W, H);
    std::string s(1, static_cast<char>('0' + d));
    const float em = 29.0f, baseline = 27.0f;
    Glyph g = boldFont().render(static_cast<unsigned long>('0' + d), em);
    int first = 0, end = 0;
    g.inkColumns(first, end);
    // Centre the ink, not the advance, so "1" sits in the middle of its place.
    float x = W / 2.0f - (g.left + (first + end) / 2.0f);
    std::vector<float> m = setText(boldFont(), s, em, std::round(x), baseline, W, H);
    paintMask(c, dilate(m, W, H, 1.6f), withAlpha(pal::INK, 0.9f));
    paintMask(c, m, pal::WHITE, pal::CREAM, baseline - 21, baseline);
    return c;
}

Canvas makeFont() {
    // Cells exactly as the glyph table has them; each glyph is white with alpha,
    // so Text::draw can tint it any colour.
    Text::buildTable();
    int W = Text::placeholder.x + Text::placeholder.w, H = Text::placeholder.y + Text::placeholder.h;
    for (const Text::Chr& ch : Text::character) {
        if (ch.w > 0 && ch.h > 0) {
            W = std::max(W, ch.x + ch.w);
            H = std::max(H, ch.y + ch.h);
        }
    }
    Canvas c(W, H, withAlpha(pal::WHITE, 0.0f));
    const float em = 22.0f;
    const int baseline = 22;  // from the top of a 29-pixel cell; leaves 7 rows for descenders
    // Drawn glyphs overlap their predecessor by 5 of every 29 pixels; keeping the
    // ink inside [1, w - 6] leaves two pixels between neighbours and a clear
    // border, so linear filtering never pulls in a neighbour's ink.
    for (int code = 0; code < 128; ++code) {
        const Text::Chr& ch = Text::character[code];
        if (ch.w <= 0 || ch.h <= 0) continue;
        const int room = ch.w - 7;
        if (code == '1') {
            // DejaVu's "1" has a wide foot; squeezed into its narrow cell it would
            // read as "I". A stem with a flag reads as a one at any size.
            float top = ch.y + baseline - 16.0f, bottom = static_cast<float>(ch.y + baseline);
            float sx = ch.x + 1 + room - 1.8f;
            c.fill([=](float x, float y) {
                       return std::min(segment(x, y, sx, top + 1.2f, sx, bottom - 1.2f, 3.0f),
                                       segment(x, y, sx - 0.2f, top + 1.2f, ch.x + 2.0f, top + 4.0f, 2.4f));
                   },
                   [](float, float) { return pal::WHITE; }, ch.x + 1, ch.y + 1, ch.x + ch.w - 1, ch.y + ch.h - 1);
            continue;
        }
        Glyph g = boldFont().render(static_cast<unsigned long>(code), em);
        int first = 0, end = 0;
        g.inkColumns(first, end);
        if (end - first > room) {
            g = boldFont().render(static_cast<unsigned long>(code), em, static_cast<float>(room) / (end - first));
            g.inkColumns(first, end);
        }
        int inkLeft = ch.x + 1 + (room - (end - first)) / 2;
        int ox = inkLeft - first, oy = ch.y + baseline - g.top;
        for (int j = 0; j < g.rows; ++j) {
            for (int i = first; i < end; ++i) {
                int px = ox + i, py = oy + j;
                if (px <= ch.x || px >= ch.x + ch.w - 1 || py <= ch.y || py >= ch.y + ch.h - 1) continue;
                c.blend(px, py, pal::WHITE, g.at(i, j));
            }
        }
    }
    // The placeholder for characters the font lacks: a hollow box of capital
    // height over the cell's inked columns, unlike any letter or mark.
    const Text::Chr& box = Text::placeholder;
    const float left = box.x + 1.5f, right = box.x + box.w - 6.5f;
    const float top = box.y + baseline - 16.5f, bottom = box.y + baseline - 0.5f;
    c.fill([=](float x, float y) {
               return std::fabs(roundBox(x, y, (left + right) / 2, (top + bottom) / 2, (right - left) / 2,
                                         (bottom - top) / 2, 1.0f)) - 0.9f;
           },
           [](float, float) { return pal::WHITE; }, box.x + 1, box.y + 1, box.x + box.w - 6, box.y + box.h - 1);
    return c;
}

Canvas makeTick() {
    Canvas c(64, 64);
    c.wash([](float x, float y) { return 0.35f * (1 - smooth(26, 32, length(x - 33, y - 34))); },
           [](float, float) { return pal::INK; });
    c.fill([](float x, float y) { return circle(x, y, 32, 32, 29); },
           [](float x, float y) { return mix(pal::GREEN, pal::GREEN_DARK, clamp01((y - 8 + 0.3f * x) / 60)); });
    c.fill([](float x, float y) { return ring(x, y, 32, 32, 27.5f, 3); },
           [](float, float) { return withAlpha(pal::WHITE, 0.35f); });
    std::vector<float> mark = {17, 33, 28, 44, 47, 21};
    std::vector<float> shadow = {18, 35, 29, 46, 48, 23};
    c.fill([&](float x, float y) { return polyline(x, y, shadow, 8); },
           [](float, float) { return withAlpha(pal::INK, 0.35f); });
    c.fill([&](float x, float y) { return polyline(x, y, mark, 8); }, [](float, float) { return pal::WHITE; });
    return c;
}

Canvas makeClock(int quarters) {
    Canvas c(64, 64);
    const float m = 32;
    c.fill([=](float x, float y) { return circle(x, y, m, m, 30); }, [](float, float) { return pal::INK; });
    c.fill([=](float x, float y) { return circle(x, y, m, m, 26.5f); },
           [=](float, float y) { return mix(pal::CREAM, pal::MIST, y / 64); });
    float f = quarters / 4.0f;
    c.fill([=](float x, float y) { return pie(x, y, m, m, 23, f); },
           [](float, float) { return withAlpha(pal::ORANGE, 0.9f); });
    for (int i = 0; i < 12; ++i) {
        float a = i * PI / 6, r0 = (i % 3 == 0) ? 18.0f : 21.0f;
        float sx = std::sin(a), sy = -std::cos(a);
        c.fill([=](float x, float y) { return segment(x, y, m + sx * r0, m + sy * r0, m + sx * 24, m + sy * 24, 2.2f); },
               [](float, float) { return pal::INK; });
    }
    float a = f * 2 * PI;
    c.fill([=](float x, float y) { return segment(x, y, m, m, m + std::sin(a) * 19, m - std::cos(a) * 19, 3); },
           [](float, float) { return pal::INK; });
    c.fill([=](float x, float y) { return circle(x, y, m, m, 3.5f); }, [](float, float) { return pal::INK; });
    return c;
}

Canvas makeMarker() {
    // Where a shown solution's next click goes off: a white ring with four ticks
    // pointing in, on a dark halo that reads over light and dark levels alike.
    Canvas c(64, 64);
    const float m = 32;
    c.fill([=](float x, float y) { return ring(x, y, m, m, 25, 7); }, [](float, float) { return withAlpha(pal::INK, 0.45f); });
    c.fill([=](float x, float y) { return ring(x, y, m, m, 25, 3); }, [](float, float) { return pal::WHITE; });
    for (int i = 0; i < 4; ++i) {
        const float a = i * PI / 2, sx = std::sin(a), sy = std::cos(a);
        c.fill([=](float x, float y) { return segment(x, y, m + sx * 12, m + sy * 12, m + sx * 22, m + sy * 22, 3); },
               [](float, float) { return pal::WHITE; });
    }
    c.fill([=](float x, float y) { return circle(x, y, m, m, 2.5f); }, [](float, float) { return pal::ORANGE; });
    return c;
}

Canvas makeDot() {
    // One dot of the editor's dotted lines: white on a dark rim, seen on any backdrop.
    Canvas c(16, 16);
    c.fill([](float x, float y) { return circle(x, y, 8, 8, 7); }, [](float, float) { return withAlpha(pal::INK, 0.6f); });
    c.fill([](float x, float y) { return circle(x, y, 8, 8, 4.5f); }, [](float, float) { return pal::WHITE; });
    return c;
}

}  // namespace art
