#pragma once
// A float RGBA picture to paint the game's art on, with anti-aliased filling
// through signed distance functions.
//
// Coordinates are image pixels with y pointing DOWN (row 0 is the top of the
// picture, as the Targa files store it); pixel (i, j) covers [i, i+1) x [j, j+1)
// and is sampled at its centre (i + 0.5, j + 0.5).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/render/tga.h"

namespace art {

// Straight (not premultiplied) colour, sRGB channels and alpha in 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Color hex(std::uint32_t rgb, float a = 1.0f) {
    return {((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f, a};
}
inline Color withAlpha(Color c, float a) { return {c.r, c.g, c.b, a}; }
inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float smooth(float e0, float e1, float v) {
    float t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Linear blend of every channel, alpha included.
inline Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
// Multiplies the colour (not the alpha) by k: k < 1 darkens, k > 1 lightens.
inline Color shade(Color c, float k) { return {clamp01(c.r * k), clamp01(c.g * k), clamp01(c.b * k), c.a}; }

// Anti-aliasing coverage of a pixel whose centre lies `d` pixels outside a shape
// edge (negative inside): the share of a one-pixel filter the shape covers.
inline float coverage(float d) { return clamp01(0.5f - d); }

class Canvas {
public:
    Canvas(int width, int height, Color fill = Color()) : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}

    Color& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    const Color& at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }

    // Paints `c` over pixel (x, y) with its alpha scaled by `amount` (0..1).
    void blend(int x, int y, Color c, float amount) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        float sa = clamp01(c.a * amount);
        if (sa <= 0) return;
        Color& d = at(x, y);
        float oa = sa + d.a * (1 - sa);
        if (oa <= 0) return;
        float k = d.a * (1 - sa);
        d.r = (c.r * sa + d.r * k) / oa;
        d.g = (c.g * sa + d.g * k) / oa;
        d.b = (c.b * sa + d.b * k) / oa;
        d.a = oa;
    }

    // Fills the shape whose signed distance (pixels, negative inside) is
    // sdf(x, y), with colour paint(x, y), inside the box [x0, x1) x [y0, y1).
    template <class Sdf, class Paint>
    void fill(Sdf sdf, Paint paint, int x0, int y0, int x1, int y1) {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, w);
        y1 = std::min(y1, h);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                float cx = x + 0.5f, cy = y + 0.5f;
                float cov = coverage(sdf(cx, cy));
                if (cov > 0) blend(x, y, paint(cx, cy), cov);
            }
        }
    }
    template <class Sdf, class Paint>
    void fill(Sdf sdf, Paint paint) {
        fill(sdf, paint, 0, 0, w, h);
    }
    template <class Sdf>
    void fillColor(Sdf sdf, Color c) {
        fill(sdf, [c](float, float) { return c; });
    }

    // Paints `amount(x, y)` (0..1) of colour paint(x, y) on every pixel: for soft
    // light, shadows and glows that have no edge.
    template <class Amount, class Paint>
    void wash(Amount amount, Paint paint) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float cx = x + 0.5f, cy = y + 0.5f;
                float a = amount(cx, cy);
                if (a > 0) blend(x, y, paint(cx, cy), a);
            }
        }
    }

    // Paints `src` over this picture with its top-left corner at (dx, dy).
    void over(const Canvas& src, int dx, int dy, float opacity = 1.0f) {
        for (int y = 0; y < src.h; ++y)
            for (int x = 0; x < src.w; ++x) blend(x + dx, y + dy, src.at(x, y), opacity);
    }

    // Multiplies every alpha by mask(x, y) (0..1): cuts the picture to a shape.
    template <class Mask>
    void mask(Mask m) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) at(x, y).a *= clamp01(m(x + 0.5f, y + 0.5f));
    }

    // A copy scaled by an integer factor down (box filter): paint large, then
    // reduce for smooth detail.
    Canvas downsample(int factor) const;

    tga::Image toImage() const;

    int w, h;
    std::vector<Color> px;
};

}  // namespace art
