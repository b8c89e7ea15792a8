#include "game/render/tga.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tga {
namespace {

constexpr std::size_t HEADER_BYTES = 18;

int le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

bool knownType(int t) { return t == 1 || t == 2 || t == 3 || t == 9 || t == 10 || t == 11; }

// Parses the header bytes; `offset` receives where the pixel data starts.
bool parse(const std::vector<unsigned char>& file, Header& h, std::size_t& offset) {
    if (file.size() < HEADER_BYTES) return false;
    const unsigned char* b = file.data();
    int idLength = b[0];
    int colourMapType = b[1];
    h.imageType = b[2];
    int mapLength = le16(b + 5);
    int mapEntryBits = b[7];
    h.width = le16(b + 12);
    h.height = le16(b + 14);
    h.bitsPerPixel = b[16];
    h.alphaBits = b[17] & 0x0f;
    h.topDown = (b[17] & 0x20) != 0;
    if (!knownType(h.imageType) || h.width <= 0 || h.height <= 0) return false;
    if (h.bitsPerPixel != 8 && h.bitsPerPixel != 15 && h.bitsPerPixel != 16 && h.bitsPerPixel != 24 &&
        h.bitsPerPixel != 32)
        return false;
    offset = HEADER_BYTES + idLength;
    if (colourMapType == 1) offset += static_cast<std::size_t>(mapLength) * ((mapEntryBits + 7) / 8);
    const std::size_t count = static_cast<std::size_t>(h.width) * h.height;
    const std::size_t bytes = static_cast<std::size_t>((h.bitsPerPixel + 7) / 8);
    // Every pixel must be in the file before anyone takes the picture's memory
    // (65535 x 65535 in a few bytes asks for 16 GiB). A run-length packet, a
    // count byte and at least one pixel, covers at most 128 pixels.
    const std::size_t need = h.imageType <= 3 ? count * bytes : (count + 127) / 128 * (1 + bytes);
    return offset <= file.size() && file.size() - offset >= need;
}

bool load(const std::string& path, std::vector<unsigned char>& file) {
    // A directory opens as a stream but throws on the first read ("./media/" for
    // an empty image name): only regular files are pictures.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

bool readHeader(const std::string& path, Header& out) {
    std::vector<unsigned char> file;
    std::size_t offset = 0;
    Header h;
    if (!load(path, file) || !parse(file, h, offset)) return false;
    out = h;
    return true;
}

bool read(const std::string& path, Image& out) {
    std::vector<unsigned char> file;
    std::size_t pos = 0;
    Header h;
    if (!load(path, file) || !parse(file, h, pos)) return false;
    bool grey = h.imageType == 3 || h.imageType == 11;
    bool rle = h.imageType >= 9;
    int bytes = h.bitsPerPixel / 8;
    if (h.imageType == 1 || h.imageType == 9) return false;
    if (grey ? bytes != 1 : (bytes != 3 && bytes != 4)) return false;

    std::size_t count = static_cast<std::size_t>(h.width) * h.height;  // parse saw the file holds them
    Image img(h.width, h.height);
    std::size_t done = 0;
    auto put = [&](const unsigned char* src) {
        std::size_t row = done / h.width, col = done % h.width;
        std::size_t y = h.topDown ? row : h.height - 1 - row;
        std::uint8_t* d = img.pixel(static_cast<int>(col), static_cast<int>(y));
        if (grey) {
            d[0] = d[1] = d[2] = src[0];
            d[3] = 255;
        } else {
            d[0] = src[2];
            d[1] = src[1];
            d[2] = src[0];
            d[3] = bytes == 4 ? src[3] : 255;
        }
        ++done;
    };
    while (done < count) {
        if (!rle) {
            put(&file[pos]);  // size checked by parse()
            pos += bytes;
            continue;
        }
        if (pos >= file.size()) return false;
        int packet = file[pos++];
        std::size_t n = (packet & 0x7f) + 1;
        if (done + n > count) return false;
        if (packet & 0x80) {
            if (pos + bytes > file.size()) return false;
            for (std::size_t i = 0; i < n; ++i) put(&file[pos]);
            pos += bytes;
        } else {
            if (pos + n * bytes > file.size()) return false;
            for (std::size_t i = 0; i < n; ++i, pos += bytes) put(&file[pos]);
        }
    }
    out = std::move(img);
    return true;
}

bool write(const std::string& path, const Image& image, bool withAlpha) {
    if (image.width <= 0 || image.height <= 0 || image.width > 0xffff || image.height > 0xffff) return false;
    unsigned char header[HEADER_BYTES] = {};
    header[2] = 2;  // uncompressed true-colour
    header[12] = image.width & 0xff;
    header[13] = (image.width >> 8) & 0xff;
    header[14] = image.height & 0xff;
    header[15] = (image.height >> 8) & 0xff;
    header[16] = withAlpha ? 32 : 24;
    header[17] = 0x20 | (withAlpha ? 8 : 0);  // rows from the top; alpha bits
    std::vector<unsigned char> data;
    int bytes = withAlpha ? 4 : 3;
    data.reserve(static_cast<std::size_t>(image.width) * image.height * bytes);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            data.push_back(p[2]);
            data.push_back(p[1]);
            data.push_back(p[0]);
            if (withAlpha) data.push_back(p[3]);
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

}  // namespace tga
