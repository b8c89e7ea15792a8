#include "canvas.h"

namespace art {

Canvas Canvas::downsample(int factor) const {
    Canvas out(w / factor, h / factor);
    const float n = static_cast<float>(factor * factor);
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < out.w; ++x) {
            // Average premultiplied colour, so transparent pixels add no colour.
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Color& c = at(x * factor + i, y * factor + j);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            Color& o = out.at(x, y);
            o.a = a / n;
            if (a > 0) {
                o.r = r / a;
                o.g = g / a;
                o.b = b / a;
            }
        }
    }
    return out;
}

tga::Image Canvas::toImage() const {
    tga::Image img(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Color& c = at(x, y);
            std::uint8_t* p = img.pixel(x, y);
            // Fully transparent pixels keep their colour: linear filtering blends
            // it into visible neighbours at picture edges.
            p[0] = static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255));
            p[1] = static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255));
            p[2] = static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255));
            p[3] = static_cast<std::uint8_t>(std::lround(clamp01(c.a) * 255));
        }
    }
    return img;
}

}  // namespace art
