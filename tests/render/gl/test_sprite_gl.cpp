// The OpenGL sprite in a real window (run under a virtual display): pictures of
// every pixel depth arrive with the right colours, and the transform does what
// the drawing contract says.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "game/render/sprite.h"
#include "game/render/text.h"
#include "game/render/tga.h"
#include "game/render/window_gl.h"
#include "tests/render/tga_bytes.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb readPixel(int x, int y) {  // window pixels, y up
    window::flushDrawing();  // drawing is recorded until then
    unsigned char p[4] = {};
    // The default read buffer is where drawing went (a buffer of SDL's own, not
    // necessarily the window's back buffer): no glReadBuffer here.
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

void expectNear(Rgb got, Rgb want, int tolerance = 3) {
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
}

class GlSprite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::filesystem::temp_directory_path() / ("boxquake-gl-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "media");
        std::filesystem::current_path(dir);
    }
    static void TearDownTestSuite() {
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(dir);
    }
    void SetUp() override {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
    static inline std::filesystem::path dir;
};

}  // namespace

TEST_F(GlSprite, GreyEightBitPictureIsConvertedNotReadAsTwentyFourBit) {
    auto b = tgaHeader(3, 8, 8, 8, 0x20);
    b.insert(b.end(), 64, 100);
    writeBytes("media/grey.tga", b);
    Sprite s("grey.tga");
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.width, 8);
    s.draw(100, 100, 4, 4, 0, 1);
    expectNear(readPixel(100, 100), {100, 100, 100});
    expectNear(readPixel(85, 85), {100, 100, 100});
}

TEST_F(GlSprite, SixteenBitPictureKeepsItsColours) {
    // 1-5-5-5 pixels, little-endian: left half red, right half blue.
    auto b = tgaHeader(2, 4, 2, 16, 0x21);
    for (int i = 0; i < 8; ++i) {
        std::uint16_t v = (i % 4 < 2) ? 0xfc00 : 0x801f;
        b.push_back(static_cast<unsigned char>(v & 0xff));
        b.push_back(static_cast<unsigned char>(v >> 8));
    }
    writeBytes("media/sixteen.tga", b);
    Sprite s("sixteen.tga");
    ASSERT_FALSE(s.empty());
    s.draw(200, 200, 20, 20, 0, 1);  // 80 x 40 pixels
    expectNear(readPixel(170, 200), {255, 0, 0}, 8);
    expectNear(readPixel(230, 200), {0, 0, 255}, 8);
}

TEST_F(GlSprite, OddWidthRowsStayAligned) {
    // 5 pixels of 3 bytes: rows are not a multiple of 4 bytes long.
    tga::Image img(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            std::uint8_t* p = img.pixel(x, y);
            p[0] = x == 4 ? 255 : 0;
            p[1] = y == 0 ? 255 : 0;
            p[3] = 255;
        }
    ASSERT_TRUE(tga::write("media/odd.tga", img, false));
    Sprite s("odd.tga");
    s.draw(300, 300, 20, 20, 0, 1);  // 100 x 60; each source pixel 20 x 20
    expectNear(readPixel(300 + 40, 300 - 20), {255, 0, 0});  // column 4, bottom row
    expectNear(readPixel(300 - 40, 300 + 20), {0, 255, 0});  // column 0, top row
    expectNear(readPixel(300 - 40, 300 - 20), {0, 0, 0});
}

TEST_F(GlSprite, AlphaBlendsAndScaleAndTurnFollowTheContract) {
    // 256 x 128: top half red, bottom half green, opaque.
    tga::Image img(256, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = img.pixel(x, y);
            p[y < 64 ? 0 : 1] = 255;
            p[3] = 255;
        }
    ASSERT_TRUE(tga::write("media/halves.tga", img, true));
    Sprite s("halves.tga");
    s.draw(400, 300, 0.5f, 0.5f, 0, 1);  // covers 128 x 64 centred
    expectNear(readPixel(400, 315), {255, 0, 0});  // upright: top half red
    expectNear(readPixel(400, 285), {0, 255, 0});
    expectNear(readPixel(400 - 62, 300 + 30), {255, 0, 0});
    expectNear(readPixel(400 - 66, 300), {0, 0, 0});  // outside 128 wide
    expectNear(readPixel(400, 300 + 34), {0, 0, 0});  // outside 64 high

    glClear(GL_COLOR_BUFFER_BIT);
    s.draw(400, 300, 0.5f, 0.5f, 3.14159265f / 2, 1);  // a quarter turn counter-clockwise
    expectNear(readPixel(385, 300), {255, 0, 0});      // the top now faces left
    expectNear(readPixel(415, 300), {0, 255, 0});

    glClear(GL_COLOR_BUFFER_BIT);
    s.draw(400, 300, 0.5f, 0.5f, 0, 0.5f);
    expectNear(readPixel(400, 315), {128, 0, 0}, 4);
}

TEST_F(GlSprite, OpaqueAndOneToOneShortcutsLeaveTheStateAsTheyFoundIt) {
    // An opaque 24-bit picture skips blending and, drawn 1:1 on the pixel grid,
    // uses nearest sampling. Neither may change what later draws look like.
    tga::Image red(4, 4), black(2, 1), white(1, 1);
    for (int i = 0; i < 16; ++i) {
        red.rgba[4 * i] = 255;
        red.rgba[4 * i + 3] = 255;
    }
    black.pixel(1, 0)[0] = black.pixel(1, 0)[1] = black.pixel(1, 0)[2] = 255;  // black, white
    black.pixel(0, 0)[3] = black.pixel(1, 0)[3] = 255;
    white.rgba = {255, 255, 255, 255};
    ASSERT_TRUE(tga::write("media/red.tga", red, false));
    ASSERT_TRUE(tga::write("media/ramp.tga", black, false));
    ASSERT_TRUE(tga::write("media/white.tga", white, true));
    Sprite r("red.tga"), ramp("ramp.tga"), w("white.tga");

    r.draw(100, 100, 1, 1, 0, 1);  // opaque, 1:1 on the grid
    expectNear(readPixel(100, 100), {255, 0, 0});
    w.draw(100, 100, 10, 10, 0, 0.5f);  // blending is on again
    expectNear(readPixel(100, 100), {255, 128, 128}, 4);

    glClear(GL_COLOR_BUFFER_BIT);
    r.draw(300, 300, 10, 10, 0, 0.5f);  // an opaque picture still fades
    expectNear(readPixel(300, 300), {128, 0, 0}, 4);

    glClear(GL_COLOR_BUFFER_BIT);
    ramp.draw(200, 200, 1, 1, 0, 1);      // 1:1: nearest
    ramp.draw(500, 300, 100, 10, 0, 1);   // stretched: linear again, a grey ramp in the middle
    Rgb mid = readPixel(500, 300);
    EXPECT_GT(mid.r, 60);
    EXPECT_LT(mid.r, 200);
}

TEST_F(GlSprite, EmptySpriteWithInfiniteScaleDrawsNothingAndKeepsTheMatrixStack) {
    testing::internal::CaptureStdout();
    Sprite s("missing.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/missing.tga\n");
    GLint depth = 0, after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    float k = 32.0f / s.width;  // what a ball does with an empty picture
    s.draw(400, 300, k, k, 0, 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, depth);
    expectNear(readPixel(400, 300), {0, 0, 0});
}

TEST_F(GlSprite, FontQuadsAreTintedWithTheTextColour) {
    tga::Image img(260, 145);
    for (auto& v : img.rgba) v = 255;  // an all-white "font"
    ASSERT_TRUE(tga::write("media/text.tga", img, true));
    delete Text::font;
    Text::font = nullptr;
    Text::draw("AB", 100, 100, 29, 0x00ff80);
    expectNear(readPixel(110, 114), {0, 255, 128});
    expectNear(readPixel(110, 95), {0, 0, 0});
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!window::open("render_gl_tests", false)) return 1;
    return RUN_ALL_TESTS();
}
