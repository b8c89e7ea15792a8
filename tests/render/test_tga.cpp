// Targa files: what the headless sprite, the generator and the tests rely on.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "game/render/tga.h"
#include "tests/render/tga_bytes.h"

namespace {

std::string tempFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

}  // namespace

TEST(Tga, WriteThenReadKeepsEveryPixelAndOrientation) {
    tga::Image img(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = img.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(10 * x);
            p[1] = static_cast<std::uint8_t>(100 + y);
            p[2] = 7;
            p[3] = static_cast<std::uint8_t>(50 * x + y);
        }
    std::string path = tempFile("boxquake-tga-roundtrip.tga");
    ASSERT_TRUE(tga::write(path, img, true));
    tga::Image back;
    ASSERT_TRUE(tga::read(path, back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.rgba, img.rgba);

    ASSERT_TRUE(tga::write(path, img, false));  // 24-bit drops alpha
    ASSERT_TRUE(tga::read(path, back));
    EXPECT_EQ(back.pixel(2, 1)[0], 20);
    EXPECT_EQ(back.pixel(2, 1)[3], 255);
    std::remove(path.c_str());
}

TEST(Tga, BottomUpAndRunLengthPicturesDecode) {
    // 2 x 2, stored from the bottom row, run-length coded: a run of two blue
    // pixels (bottom row), then two literal pixels red, green (top row).
    auto b = tgaHeader(10, 2, 2, 24, 0);
    b.insert(b.end(), {0x81, 255, 0, 0, 0x01, 0, 0, 255, 0, 255, 0});
    std::string path = tempFile("boxquake-tga-rle.tga");
    writeBytes(path, b);
    tga::Image img;
    ASSERT_TRUE(tga::read(path, img));
    EXPECT_EQ(img.pixel(0, 1)[2], 255);  // bottom row blue
    EXPECT_EQ(img.pixel(1, 1)[2], 255);
    EXPECT_EQ(img.pixel(0, 0)[0], 255);  // top row: red then green
    EXPECT_EQ(img.pixel(1, 0)[1], 255);
    std::remove(path.c_str());
}

TEST(Tga, DamagedOrForeignFilesAreRefused) {
    std::string path = tempFile("boxquake-tga-bad.tga");
    tga::Header h;
    tga::Image img;

    writeBytes(path, {1, 2, 3});  // shorter than a header
    EXPECT_FALSE(tga::readHeader(path, h));

    auto b = tgaHeader(2, 4, 4, 24, 0x20);
    b.resize(b.size() + 10);  // 48 bytes of pixels needed
    writeBytes(path, b);
    EXPECT_FALSE(tga::readHeader(path, h));
    EXPECT_FALSE(tga::read(path, img));

    writeBytes(path, tgaHeader(7, 4, 4, 24, 0));  // unknown image type
    EXPECT_FALSE(tga::readHeader(path, h));

    writeBytes(path, tgaHeader(2, 0, 4, 24, 0));  // no width
    EXPECT_FALSE(tga::readHeader(path, h));

    auto rle = tgaHeader(10, 2, 2, 24, 0);
    rle.insert(rle.end(), {0x83, 1, 2, 3});  // a run of 4 where 4 fit, but then nothing... fine
    rle[rle.size() - 4] = 0x84;                // a run of 5 overflows the 4 pixels
    writeBytes(path, rle);
    EXPECT_FALSE(tga::read(path, img));

    EXPECT_FALSE(tga::readHeader(tempFile("boxquake-no-such-file.tga"), h));
    std::remove(path.c_str());
}

TEST(Tga, HeaderGivesSizeDepthAndOrientation) {
    std::string path = tempFile("boxquake-tga-header.tga");
    auto b = tgaHeader(3, 5, 3, 8, 0x20);
    b.resize(b.size() + 15);
    writeBytes(path, b);
    tga::Header h;
    ASSERT_TRUE(tga::readHeader(path, h));
    EXPECT_EQ(h.width, 5);
    EXPECT_EQ(h.height, 3);
    EXPECT_EQ(h.bitsPerPixel, 8);
    EXPECT_TRUE(h.topDown);
    tga::Image img;
    ASSERT_TRUE(tga::read(path, img));  // grey decodes to opaque grey
    EXPECT_EQ(img.pixel(4, 2)[3], 255);
    std::remove(path.c_str());
}
