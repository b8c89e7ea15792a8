#pragma once
// Letters from a TrueType font through FreeType, as coverage masks to paint with.
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

// One rendered character: coverage 0..1 in a box whose top-left corner sits at
// (left, -top) from the pen position on the baseline (y down).
struct Glyph {
    int width = 0, rows = 0;
    int left = 0;        // pixels from the pen to the box's left edge
    int top = 0;         // pixels from the baseline up to the box's top edge
    float advance = 0;   // pen movement, pixels
    std::vector<float> cover;  // rows * width
    float at(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= rows) ? 0.0f : cover[static_cast<std::size_t>(y) * width + x];
    }
    // Leftmost and rightmost columns holding ink (exclusive end); 0, 0 if none.
    void inkColumns(int& first, int& end) const;
};

class Font {
public:
    // Opens `path`; exits the generator with a message when it cannot.
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Renders `c` with an em of `pixelSize` pixels, squeezed horizontally by
    // `xScale` (1 = natural width).
    Glyph render(unsigned long c, float pixelSize, float xScale = 1.0f) const;

    // Width in pixels of `text` set at `pixelSize` with its advances.
    float measure(const std::string& text, float pixelSize) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

// A coverage mask the size of a canvas with `text` set on it, its baseline
// starting at (x, y); `tracking` adds pixels between letters.
std::vector<float> setText(const Font& font, const std::string& text, float pixelSize, float x, float y, int width,
                           int height, float tracking = 0);

// The mask grown by `radius` pixels in every direction (a disc-shaped maximum):
// outlines and glows around letters.
std::vector<float> dilate(const std::vector<float>& mask, int width, int height, float radius);

}  // namespace art
