// libFuzzer target: the Targa reader. The input is written as a picture file;
// its header is read (as the headless sprite does) and its pixels decoded.
// Besides crashes, sanitizer reports and leaks, a finding is:
//  - an allocation beyond what the file can fill: a header that asks for a huge
//    picture must be refused before the pixels are allocated (libFuzzer's
//    malloc limit reports it);
//  - a header accepted with a size that is not positive or a pixel depth the
//    format does not have;
//  - a picture decoded whose header is refused, or whose size or pixel count
//    differs from its header's.
#include <string>

#include "fuzz_support.h"
#include "game/render/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (fuzz::enterWorkDir(), true);
    (void)ready;
    const std::string path = "picture.tga";
    fuzz::writeFile(path, data, size);
    tga::Header header;
    const bool headerRead = tga::readHeader(path, header);
    if (headerRead) {
        FUZZ_CHECK(header.width > 0 && header.height > 0 && header.width <= 0xffff && header.height <= 0xffff);
        const int b = header.bitsPerPixel;
        FUZZ_CHECK(b == 8 || b == 15 || b == 16 || b == 24 || b == 32);
    }
    tga::Image image;
    if (tga::read(path, image)) {
        FUZZ_CHECK(headerRead);
        FUZZ_CHECK(image.width == header.width && image.height == header.height);
        FUZZ_CHECK(image.rgba.size() == static_cast<std::size_t>(image.width) * image.height * 4);
    }
    return 0;
}
