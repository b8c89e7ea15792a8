// Targa files: what the headless sprite, the generator and the tests rely on.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "game/render/tga.h"
#include "render_fixture.h"
#include "tests/render/tga_bytes.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Tga = ScratchDir;
const std::string kPath = "picture.tga";

}  // namespace

TEST_F(Tga, WriteThenReadKeepsEveryPixelAndOrientation) {
    tga::Image img(3, 2);
    for (std::size_t i = 0; i < img.rgba.size(); ++i) img.rgba[i] = static_cast<std::uint8_t>(37 * i + 1);
    for (bool alpha : {true, false}) {
        ASSERT_TRUE(tga::write(kPath, img, alpha));
        tga::Image back;
        ASSERT_TRUE(tga::read(kPath, back));
        ASSERT_EQ(std::pair(back.width, back.height), std::pair(3, 2));
        for (std::size_t i = 0; i < img.rgba.size(); ++i)
            EXPECT_EQ(back.rgba[i], i % 4 == 3 && !alpha ? 255 : img.rgba[i]) << "byte " << i << " alpha " << alpha;
    }
}

TEST_F(Tga, HandMadeFilesDecodeToTheirPixelsOrAreRefused) {
    struct Case {
        const char* what;
        Bytes file;
        bool headerReadable;
        Bytes rgba;  // 2 x 2 (or 1 x 2) pixels, rows from the top; empty: refused
    };
    const Case cases[] = {
        // Bottom row first: a run of two blue, then literal red, green on top.
        {"run-length, bottom up", tgaFile(10, 2, 2, 24, 0, {0x81, 255, 0, 0, 0x01, 0, 0, 255, 0, 255, 0}), true,
         {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255}},
        {"grey, top down", tgaFile(3, 2, 2, 8, 0x20, {10, 20, 30, 40}), true,
         {10, 10, 10, 255, 20, 20, 20, 255, 30, 30, 30, 255, 40, 40, 40, 255}},
        {"grey run", tgaFile(11, 2, 2, 8, 0x20, {0x83, 77}), true,
         {77, 77, 77, 255, 77, 77, 77, 255, 77, 77, 77, 255, 77, 77, 77, 255}},
        {"BGRA, bottom up", tgaFile(2, 1, 2, 32, 8, {1, 2, 3, 4, 5, 6, 7, 8}), true, {7, 6, 5, 8, 3, 2, 1, 4}},
        {"shorter than a header", {1, 2, 3}, false, {}},
        {"48 bytes of pixels cut to 47", tgaFile(2, 4, 4, 24, 0x20, Bytes(47)), false, {}},
        {"unknown image type", tgaFile(7, 4, 4, 24, 0, Bytes(48)), false, {}},  // with all its pixels
        {"no width", tgaFile(2, 0, 4, 24, 0), false, {}},
        {"12 bits per pixel", tgaFile(2, 1, 1, 12, 0, Bytes(2)), false, {}},
        {"colour-mapped", tgaFile(1, 1, 1, 24, 0, {1, 2, 3}), true, {}},
        {"a run of 5 over 4 pixels", tgaFile(10, 2, 2, 24, 0, {0x84, 1, 2, 3}), true, {}},
        {"a literal packet cut short", tgaFile(10, 2, 2, 24, 0, {0x03, 1, 2, 3}), true, {}},
        {"one run of 2 for 4 pixels", tgaFile(10, 2, 2, 32, 0x28, {0x81, 1, 2, 3, 4}), true, {}},
        {"a run without its pixel", tgaFile(10, 2, 2, 24, 0, {0x83, 1}), false, {}},
    };
    for (const Case& c : cases) {
        writeBytes(kPath, c.file);
        tga::Header h;
        tga::Image img;
        EXPECT_EQ(tga::readHeader(kPath, h), c.headerReadable) << c.what;
        EXPECT_EQ(tga::read(kPath, img), !c.rgba.empty()) << c.what;
        EXPECT_EQ(img.rgba, c.rgba) << c.what;
    }
    tga::Header h;
    EXPECT_FALSE(tga::readHeader("nothere.tga", h)) << "no such file";
}
