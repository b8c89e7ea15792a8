#pragma once
// Targa files written byte by byte, for pictures the encoder never makes: other
// depths, run-length coding, damaged headers.
#include <fstream>
#include <string>
#include <vector>

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An 18-byte header without id or colour map: image `type`, w x h pixels, `bpp`
// bits per pixel, `descriptor` (alpha bits, 0x20 rows from the top).
inline std::vector<unsigned char> tgaHeader(int type, int w, int h, int bpp, int descriptor) {
    std::vector<unsigned char> b(18, 0);
    b[2] = static_cast<unsigned char>(type);
    b[12] = w & 0xff;
    b[13] = w >> 8;
    b[14] = h & 0xff;
    b[15] = h >> 8;
    b[16] = static_cast<unsigned char>(bpp);
    b[17] = static_cast<unsigned char>(descriptor);
    return b;
}
