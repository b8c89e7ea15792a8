// The pictures of level objects: ball, crate, wall, bomb, explosion, black hole,
// target outline.
#include <cmath>

#include "assets.h"
#include "noise.h"
#include "palette.h"
#include "shapes.h"

namespace art {

// ---- ball ----

namespace {

// The ball's own colours, turned with the ball: orange with darker seams, so
// that rolling shows. Shading that must not turn lives in the highlight picture.
void paintBallSurface(Canvas& c, float cx, float cy, float r) {
    auto disc = [=](float x, float y) { return circle(x, y, cx, cy, r); };
    c.fill(disc, [=](float x, float y) {
        float t = length(x - cx, y - cy) / r;
        float grain = 0.94f + 0.08f * valueNoise((x - cx) * 12 / r, (y - cy) * 12 / r, 3);
        return shade(mix(hex(0xf7a13f), hex(0xd8641c), t * t), grain);
    });
    const float w = std::max(1.2f, r * 0.05f);
    auto seams = [=](float x, float y) {
        float d = std::fabs(x - cx);                                   // upright seam
        d = std::min(d, std::fabs(y - cy));                            // level seam
        d = std::min(d, std::fabs(circle(x, y, cx - r * 1.75f, cy, r * 1.3f)));  // side curves
        d = std::min(d, std::fabs(circle(x, y, cx + r * 1.75f, cy, r * 1.3f)));
        return std::max(d - w / 2, disc(x, y) + 1);
    };
    c.fill(seams, [](float, float) { return withAlpha(pal::RUST, 0.8f); });
}

// Light that stays put while the ball turns: a highlight at the upper left and
// shadow toward the lower right.
void paintBallLight(Canvas& c, float cx, float cy, float r) {
    auto inside = [=](float x, float y) { return coverage(circle(x, y, cx, cy, r)); };
    c.wash([=](float x, float y) {
               float dx = (x - cx) / r, dy = (y - cy) / r;
               float lit = dx * -0.55f + dy * -0.65f;  // towards the light, -1..1
               return inside(x, y) * 0.55f * smooth(0.1f, 1.1f, -lit + 0.35f * length(dx, dy));
           },
           [](float, float) { return pal::INK; });
    c.wash([=](float x, float y) {
               float dx = (x - cx) / r + 0.38f, dy = (y - cy) / r + 0.42f;
               // Ellipse along the ball's edge.
               float u = dx * 0.8f + dy * 0.6f, v = -dx * 0.6f + dy * 0.8f;
               float e = length(u / 0.34f, v / 0.2f);
               return inside(x, y) * 0.9f * (1 - smooth(0.3f, 1.0f, e));
           },
           [](float, float) { return pal::WHITE; });
    c.wash([=](float x, float y) {
               float d = length(x - cx, y - cy) / r;
               return inside(x, y) * 0.18f * smooth(0.82f, 1.0f, d);
           },
           [](float, float) { return pal::INK; });
}

}  // namespace

void paintBall(Canvas& c, float cx, float cy, float r) {
    paintBallSurface(c, cx, cy, r);
    paintBallLight(c, cx, cy, r);
}

Canvas makeOrangeBall() {
    Canvas c(64, 64);
    paintBallSurface(c, 32, 32, 32.0f);  // touches all four sides: the picture is the ball
    return c;
}

Canvas makeBallHighlight() {
    Canvas c(64, 64);
    paintBallLight(c, 32, 32, 32.0f);
    return c;
}

// ---- crate ----

void paintCrate(Canvas& c, float x0, float y0, float size) {
    const float k = size / 64.0f;  // drawn on a 64-pixel design
    auto X = [=](float v) { return x0 + v * k; };
    auto Y = [=](float v) { return y0 + v * k; };
    auto box = [=](float x, float y, float ax, float ay, float bx, float by) {
        return roundBox(x, y, X((ax + bx) / 2), Y((ay + by) / 2), (bx - ax) / 2 * k, (by - ay) / 2 * k, 0.8f * k);
    };
    // Boards running across, each with its own grain and tone.
    c.fill([=](float x, float y) { return box(x, y, 0, 0, 64, 64); }, [=](float x, float y) {
        float u = (x - x0) / k, v = (y - y0) / k;
        int board = static_cast<int>(v / 16);
        float grain = fbm(u / 22 + board * 3.1f, v * 0.9f, 11 + board, 3);
        float tone = 0.86f + 0.14f * hash2(board, 0, 5);
        return shade(mix(pal::WOOD, pal::WOOD_LIGHT, grain * 0.7f), tone);
    });
    for (int i = 1; i < 4; ++i) {
        float v = i * 16.0f;
        c.fill([=](float x, float y) { return std::max(std::fabs(y - Y(v)) - 0.7f * k, box(x, y, 0, 0, 64, 64)); },
               [](float, float) { return withAlpha(pal::WOOD_DARK, 0.85f); });
    }
    // Frame and the diagonal brace, lighter and raised.
    auto frame = [=](float x, float y) {
        float outer = box(x, y, 0, 0, 64, 64), inner = box(x, y, 9, 9, 55, 55);
        float brace = segment(x, y, X(12), Y(52), X(52), Y(12), 9 * k);
        return std::min(std::max(outer, -inner), std::max(brace, inner));
    };
    c.fill(frame, [=](float x, float y) {
        float u = (x - x0) / k, v = (y - y0) / k;
        return mix(pal::WOOD_LIGHT, pal::WOOD, 0.4f + 0.6f * fbm(u * 0.7f, v / 20, 19, 3));
    });
    c.fill([=](float x, float y) { return std::fabs(frame(x, y) + 0.8f * k) - 0.8f * k; },
           [](float, float) { return withAlpha(pal::WOOD_DARK, 0.9f); });
    for (float u : {4.5f, 59.5f})
        for (float v : {4.5f, 59.5f})
            c.fill([=](float x, float y) { return circle(x, y, X(u), Y(v), 1.6f * k); },
                   [](float, float) { return pal::STONE_DARK; });
}

Canvas makeCrate() {
    Canvas c(64, 64);
    paintCrate(c, 0, 0, 64);
    return c;
}

// ---- wall ----

Canvas makeWall() {
    // Stretched to every wall's own size, so no feature may depend on the aspect:
    // stone grain and a soft light-from-above gradient.
    const int N = 128;
    Canvas c(N, N);
    c.wash([](float, float) { return 1.0f; }, [=](float x, float y) {
        float base = fbm(x / 40, y / 40, 41, 4, 0);
        float speck = hash2(static_cast<int>(x), static_cast<int>(y), 43);
        float vein = smooth(0.0f, 0.04f, std::fabs(fbm(x / 28, y / 28, 47, 3) - 0.5f));
        Color col = mix(pal::STONE_DARK, pal::STONE_LIGHT, base);
        col = shade(col, 0.94f + 0.1f * speck);
        col = shade(col, 0.85f + 0.15f * vein);
        float light = 1.12f - 0.3f * (y / N);
        float edge = std::min(std::min(x, N - x), std::min(y, N - y));
        return shade(col, light * (0.8f + 0.2f * smooth(0, 10, edge)));
    });
    return c;
}

// ---- target area outline ----

Canvas makeTargetRect() {
    // 128 pixels: stretched over areas from about 40 to 300 pixels across, the
    // border stays between one and seven pixels wide.
    const int N = 128;
    Canvas c(N, N);
    auto box = [=](float x, float y) { return roundBox(x, y, N / 2.0f, N / 2.0f, N / 2.0f - 1, N / 2.0f - 1, 6); };
    c.fill(box, [](float, float) { return withAlpha(pal::AMBER, 0.14f); });
    c.fill([=](float x, float y) { return std::fabs(box(x, y) + 2.5f) - 2.5f; },
           [](float, float) { return withAlpha(pal::AMBER, 0.9f); });
    c.fill([=](float x, float y) { return std::fabs(box(x, y) + 8.0f) - 0.8f; },
           [](float, float) { return withAlpha(pal::AMBER, 0.35f); });
    return c;
}

// ---- bomb ----

void paintBombBody(Canvas& c, float cx, float cy, float r, int frame) {
    const float k = r / 21.33f;  // designed for the 64-pixel picture
    // Cap on the upper right, pointing away from the centre.
    const float ca = -PI / 4;  // image y points down: up-right
    const float ux = std::cos(ca), uy = std::sin(ca);
    float capX = cx + ux * r * 0.92f, capY = cy + uy * r * 0.92f;
    auto cap = [=](float x, float y) {
        float px = x - capX, py = y - capY;
        float along = px * ux + py * uy, across = -px * uy + py * ux;
        return roundBox(along, across, 0, 0, 4.5f * k, 5.5f * k, 1.2f * k);
    };
    c.fill(cap, [](float, float) { return pal::STONE_DARK; });
    c.fill([=](float x, float y) { return std::fabs(cap(x, y) + 0.6f * k) - 0.6f * k; },
           [](float, float) { return withAlpha(pal::INK, 0.9f); });
    // Fuse: a curved cord from the cap.
    float fx0 = capX + ux * 4 * k, fy0 = capY + uy * 4 * k;
    std::vector<float> fuse;
    for (int i = 0; i <= 8; ++i) {
        float t = i / 8.0f;
        fuse.push_back(fx0 + (3 + 4 * t) * t * k + 2 * std::sin(t * 3) * k);
        fuse.push_back(fy0 - 10 * t * k - 2 * t * t * k);
    }
    float tipX = fuse[fuse.size() - 2], tipY = fuse.back();
    c.fill([&](float x, float y) { return polyline(x, y, fuse, 2.2f * k); },
           [](float, float) { return hex(0xcdb892); });
    // Body: dark steel, lit from the upper left, with a faint rim against dark backgrounds.
    c.fill([=](float x, float y) { return circle(x, y, cx, cy, r); }, [=](float x, float y) {
        float dx = (x - cx) / r + 0.35f, dy = (y - cy) / r + 0.4f;
        return mix(hex(0x56647f), hex(0x151a26), smooth(0, 1.3f, length(dx, dy)));
    });
    c.fill([=](float x, float y) { return ring(x, y, cx, cy, r - 0.7f * k, 1.4f * k); },
           [](float, float) { return withAlpha(pal::MIST, 0.35f); });
    c.wash([=](float x, float y) {
               float e = length((x - (cx - 0.38f * r)) / (0.22f * r), (y - (cy - 0.42f * r)) / (0.14f * r));
               return 0.85f * (1 - smooth(0.4f, 1.0f, e));
           },
           [](float, float) { return pal::WHITE; });
    // Spark at the tip, flickering from frame to frame.
    const float sizes[4] = {5.0f, 6.5f, 4.5f, 6.0f};
    float s = sizes[frame & 3] * k;
    float turn = frame * PI / 8;
    c.wash([=](float x, float y) { return 0.6f * (1 - smooth(0, s * 1.6f, length(x - tipX, y - tipY))); },
           [](float, float) { return pal::ORANGE; });
    for (int i = 0; i < 4; ++i) {
        float a = turn + i * PI / 4;
        float len = (i % 2 == 0 ? 1.0f : 0.65f) * s;
        c.fill([=](float x, float y) {
                   return segment(x, y, tipX - std::cos(a) * len, tipY - std::sin(a) * len, tipX + std::cos(a) * len,
                                  tipY + std::sin(a) * len, 1.3f * k);
               },
               [](float, float) { return pal::AMBER; });
    }
    c.fill([=](float x, float y) { return circle(x, y, tipX, tipY, 1.8f * k); },
           [](float, float) { return pal::WHITE; });
}

Canvas makeBomb(int frame) {
    // Drawn at 0.703125: the 21.3-pixel body radius becomes the 15-pixel body.
    Canvas c(64, 64);
    paintBombBody(c, 32, 32, 21.33f, frame);
    return c;
}

// ---- explosion ----

Canvas makeExplosion(int frame) {
    const int N = 128;
    const float m = N / 2.0f;
    Canvas c(N, N);
    const float radius[5] = {16, 31, 44, 53, 59};
    const float opacity[5] = {1.0f, 1.0f, 0.92f, 0.7f, 0.4f};
    const float heat[5] = {1.0f, 0.85f, 0.6f, 0.35f, 0.1f};  // 1 white-hot .. 0 smoke
    float R = radius[frame], op = opacity[frame], hot = heat[frame];
    auto edge = [=](float x, float y) {
        float dx = x - m, dy = y - m, a = std::atan2(dy, dx);
        float wobble = valueNoise(std::cos(a) * 3 + 10, std::sin(a) * 3 + 10, 61 + frame) - 0.5f;
        return length(dx, dy) - R * (1 + 0.22f * wobble);
    };
    c.fill(edge, [=](float x, float y) {
        float t = clamp01(length(x - m, y - m) / R);
        float turb = fbm(x / 9, y / 9, 67 + frame, 3);
        float h = clamp01(hot * (1.25f - t) + 0.35f * (turb - 0.5f));
        Color col = h > 0.75f ? mix(pal::AMBER, pal::WHITE, (h - 0.75f) / 0.25f)
                  : h > 0.45f ? mix(pal::ORANGE, pal::AMBER, (h - 0.45f) / 0.3f)
                  : h > 0.2f  ? mix(pal::EMBER, pal::ORANGE, (h - 0.2f) / 0.25f)
                              : mix(pal::STONE_DARK, pal::EMBER, h / 0.2f);
        float a = op * (1 - 0.55f * smooth(0.6f, 1.0f, t) * (1 - hot)) * (0.85f + 0.3f * turb);
        return withAlpha(col, clamp01(a));
    });
    // Sparks flying out in the middle frames.
    if (frame >= 1 && frame <= 3) {
        for (int i = 0; i < 10; ++i) {
            float a = i * 2 * PI / 10 + hash2(i, frame, 71);
            float d = R * (0.9f + 0.25f * hash2(i, frame, 73));
            float sx = m + std::cos(a) * d, sy = m + std::sin(a) * d;
            float len = 4 + 3 * hash2(i, frame, 79);
            c.fill([=](float x, float y) {
                       return segment(x, y, sx, sy, sx + std::cos(a) * len, sy + std::sin(a) * len, 2);
                   },
                   [=](float, float) { return withAlpha(pal::AMBER, op); });
        }
    }
    return c;
}

// ---- black hole ----

Canvas makeBlackHole() {
    const int N = 128;
    const float m = N / 2.0f;
    Canvas c(N, N);
    // Faint dark halo so the disc reads on any background; nothing in the corners.
    c.wash([=](float x, float y) { return 0.75f * (1 - smooth(30, 62, length(x - m, y - m))); },
           [](float, float) { return pal::INK; });
    // Two spiral arms of glowing gas, brighter toward the centre.
    c.wash([=](float x, float y) {
               float dx = x - m, dy = y - m, rr = length(dx, dy);
               if (rr < 1) return 0.0f;
               float phi = std::atan2(dy, dx) + 2.2f * std::log(rr / 16);
               float arm = std::pow(0.5f + 0.5f * std::cos(2 * phi), 3.0f);
               float band = smooth(14, 22, rr) * (1 - smooth(36, 60, rr));
               float grain = 0.7f + 0.6f * fbm(x / 7, y / 7, 83, 3);
               return clamp01(arm * band * grain * 0.9f);
           },
           [=](float x, float y) { return mix(pal::MIST, pal::VIOLET, smooth(18, 50, length(x - m, y - m))); });
    // The bright ring of light bent around the horizon, then the horizon itself.
    c.fill([=](float x, float y) { return ring(x, y, m, m, 18, 3); },
           [](float, float) { return withAlpha(pal::MIST, 0.8f); });
    c.wash([=](float x, float y) { return 0.5f * (1 - smooth(17, 26, length(x - m, y - m))); },
           [](float, float) { return pal::STEEL; });
    c.fill([=](float x, float y) { return circle(x, y, m, m, 16); }, [](float, float) { return hex(0x05060a); });
    return c;
}

}  // namespace art
