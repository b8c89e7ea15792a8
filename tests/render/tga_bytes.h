#pragma once
// Targa files written byte by byte, for pictures the encoder never makes: other
// depths, run-length coding, damaged headers.
#include <fstream>
#include <string>
#include <vector>

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// An 18-byte header without id or colour map, followed by `pixels`: image `type`,
// w x h pixels (up to 65535), `bpp` bits per pixel, `descriptor` (alpha bits, 0x20
// rows from the top).
inline std::vector<unsigned char> tgaFile(int type, int w, int h, int bpp, int descriptor,
                                          const std::vector<unsigned char>& pixels = {}) {
    std::vector<unsigned char> b(18, 0);
    b[2] = static_cast<unsigned char>(type);
    b[12] = static_cast<unsigned char>(w & 0xff);
    b[13] = static_cast<unsigned char>(w >> 8);
    b[14] = static_cast<unsigned char>(h & 0xff);
    b[15] = static_cast<unsigned char>(h >> 8);
    b[16] = static_cast<unsigned char>(bpp);
    b[17] = static_cast<unsigned char>(descriptor);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}
