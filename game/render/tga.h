#pragma once
// Targa (.tga) images: the only picture format of the game. The headless sprite
// reads their headers, the asset generator writes them and the tests read their
// pixels back. The game itself decodes them through SDL_image.
#include <cstdint>
#include <string>
#include <vector>

namespace tga {

// The parts of the 18-byte file header that matter here.
struct Header {
    int imageType = 0;     // 1/9 colour-mapped, 2/10 true-colour, 3/11 grey (9..11 run-length coded)
    int width = 0;         // pixels
    int height = 0;        // pixels
    int bitsPerPixel = 0;  // 8, 15, 16, 24 or 32
    int alphaBits = 0;     // low 4 bits of the descriptor byte
    bool topDown = false;  // rows stored from the top of the picture (descriptor bit 5)
};

// An RGBA picture, 8 bits per channel, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}
    std::uint8_t* pixel(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const std::uint8_t* pixel(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// Reads and checks the header of `path`: a known image type, a positive size and
// a file long enough to hold every pixel (for run-length pictures, one packet per
// 128 pixels at least). The game checks this before decoding a picture, so a
// header that claims 65535 x 65535 never gets its memory.
bool readHeader(const std::string& path, Header& out);

// Decodes true-colour (24/32-bit) and grey (8-bit) pictures, plain or run-length
// coded. Returns false for anything else or a damaged file.
bool read(const std::string& path, Image& out);

// Writes an uncompressed picture stored from the top: 32-bit BGRA with 8 alpha
// bits when `withAlpha`, else 24-bit BGR (alpha dropped).
bool write(const std::string& path, const Image& image, bool withAlpha);

}  // namespace tga
