#include "glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace art {

struct Font::Impl {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
};

void Glyph::inkColumns(int& first, int& end) const {
    first = width;
    end = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x)
            if (at(x, y) > 0.02f) {
                first = std::min(first, x);
                end = std::max(end, x + 1);
            }
    if (end == 0) first = 0;
}

Font::Font(const std::string& path) : impl(new Impl) {
    if (FT_Init_FreeType(&impl->lib) != 0 || FT_New_Face(impl->lib, path.c_str(), 0, &impl->face) != 0) {
        std::fprintf(stderr, "assetgen: cannot open the font %s (Debian package fonts-dejavu-core)\n", path.c_str());
        std::exit(1);
    }
}

Font::~Font() {
    if (impl->face) FT_Done_Face(impl->face);
    if (impl->lib) FT_Done_FreeType(impl->lib);
}

Glyph Font::render(unsigned long c, float pixelSize, float xScale) const {
    Glyph g;
    FT_Face face = impl->face;
    // Sizes in 26.6 fixed point; a transform keeps fractional sizes and squeezing exact.
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72);
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(std::lround(xScale * 65536));
    m.xy = 0;
    m.yx = 0;
    m.yy = 0x10000;
    FT_Set_Transform(face, &m, nullptr);
    if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return g;
    FT_GlyphSlot s = face->glyph;
    g.width = static_cast<int>(s->bitmap.width);
    g.rows = static_cast<int>(s->bitmap.rows);
    g.left = s->bitmap_left;
    g.top = s->bitmap_top;
    g.advance = s->advance.x / 64.0f;
    g.cover.resize(static_cast<std::size_t>(g.width) * g.rows);
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x)
            g.cover[static_cast<std::size_t>(y) * g.width + x] = s->bitmap.buffer[y * s->bitmap.pitch + x] / 255.0f;
    return g;
}

float Font::measure(const std::string& text, float pixelSize) const {
    float w = 0;
    for (unsigned char c : text) w += render(c, pixelSize).advance;
    return w;
}

std::vector<float> setText(const Font& font, const std::string& text, float pixelSize, float x, float y, int width,
                           int height, float tracking) {
    std::vector<float> mask(static_cast<std::size_t>(width) * height, 0.0f);
    float pen = x;
    for (unsigned char c : text) {
        Glyph g = font.render(c, pixelSize);
        int ox = static_cast<int>(std::lround(pen)) + g.left;
        int oy = static_cast<int>(std::lround(y)) - g.top;
        for (int j = 0; j < g.rows; ++j) {
            for (int i = 0; i < g.width; ++i) {
                int px = ox + i, py = oy + j;
                if (px < 0 || py < 0 || px >= width || py >= height) continue;
                float& m = mask[static_cast<std::size_t>(py) * width + px];
                m = std::min(1.0f, m + g.at(i, j));
            }
        }
        pen += g.advance + tracking;
    }
    return mask;
}

std::vector<float> dilate(const std::vector<float>& mask, int width, int height, float radius) {
    std::vector<float> out(mask.size(), 0.0f);
    const int r = static_cast<int>(std::ceil(radius));
    const int side = 2 * r + 1;
    // Weight of the neighbour at offset (i, j), at weight[(j + r) * side + i + r]:
    // a soft disc edge keeps the grown outline anti-aliased.
    std::vector<float> weight(static_cast<std::size_t>(side) * side);
    for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i)
            weight[static_cast<std::size_t>(j + r) * side + (i + r)] =
                clamp01(radius + 0.5f - std::sqrt(static_cast<float>(i * i + j * j)));
    // Only pixels within r of some ink can grow any: the rest stay 0.
    int inkX0 = width, inkY0 = height, inkX1 = -1, inkY1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (mask[static_cast<std::size_t>(y) * width + x] > 0) {
                inkX0 = std::min(inkX0, x);
                inkY0 = std::min(inkY0, y);
                inkX1 = std::max(inkX1, x);
                inkY1 = std::max(inkY1, y);
            }
    for (int y = std::max(0, inkY0 - r); y <= std::min(height - 1, inkY1 + r); ++y) {
        for (int x = std::max(0, inkX0 - r); x <= std::min(width - 1, inkX1 + r); ++x) {
            float best = 0;
            for (int j = -r; j <= r; ++j) {
                for (int i = -r; i <= r; ++i) {
                    int px = x + i, py = y + j;
                    if (px < 0 || py < 0 || px >= width || py >= height) continue;
                    best = std::max(best, mask[static_cast<std::size_t>(py) * width + px] *
                                              weight[static_cast<std::size_t>(j + r) * side + (i + r)]);
                }
            }
            out[static_cast<std::size_t>(y) * width + x] = best;
        }
    }
    return out;
}

}  // namespace art
