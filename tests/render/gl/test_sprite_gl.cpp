// The OpenGL sprite in a real window (run under a virtual display): pictures of
// every pixel depth arrive with the right colours, the transform does what the
// drawing contract says, the shortcuts for opaque and 1:1 pictures leave the
// drawing state as they found it, and sprites made on another thread (the level
// solver's) draw right on this one.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/tga.h"
#include "game/render/window_gl.h"
#include "tests/render/tga_bytes.h"

namespace {

// Renders what was drawn and checks that the window pixel (x, y), y up, has
// colour `want` = 0xRRGGBB.
void expectPixel(int x, int y, int want, const char* what) {
    window::flushDrawing();  // drawing is recorded until then
    unsigned char p[4] = {};
    // The default read buffer is where drawing went (a buffer of SDL's own, not
    // necessarily the window's back buffer): no glReadBuffer here.
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], want >> (16 - 8 * c) & 0xff, 4) << what << " at " << x << ", " << y;
}

// Writes an opaque w x h picture (32-bit when `alpha`), pixel (x, y) (y down)
// in colour(x, y) = 0xRRGGBB.
template <class F>
void writePicture(const char* name, int w, int h, bool alpha, F colour) {
    tga::Image img(w, h);
    for (int i = 0; i < w * h; ++i) {
        const unsigned int c = colour(i % w, i / w);
        img.rgba[4 * i] = c >> 16 & 0xff;
        img.rgba[4 * i + 1] = c >> 8 & 0xff;
        img.rgba[4 * i + 2] = c & 0xff;
        img.rgba[4 * i + 3] = 255;
    }
    ASSERT_TRUE(tga::write(std::string("media/") + name, img, alpha));
}

}  // namespace

TEST(GlSprite, PicturesOfEveryDepthDrawWhereAndHowTheyShould) {
    writeBytes("media/grey.tga", tgaFile(3, 8, 8, 8, 0x20, std::vector<unsigned char>(64, 100)));
    std::vector<unsigned char> sixteen;  // 1-5-5-5, little-endian: left half red, right half blue
    for (int i = 0; i < 8; ++i) {
        sixteen.push_back(i % 4 < 2 ? 0x00 : 0x1f);
        sixteen.push_back(i % 4 < 2 ? 0xfc : 0x80);
    }
    writeBytes("media/sixteen.tga", tgaFile(2, 4, 2, 16, 0x21, sixteen));
    // 5 pixels of 3 bytes: rows are not a multiple of 4 bytes long.
    writePicture("odd.tga", 5, 3, false, [](int x, int y) { return (x == 4 ? 0xff0000 : 0) | (y == 0 ? 0xff00 : 0); });
    writePicture("halves.tga", 256, 128, true, [](int, int y) { return y < 64 ? 0xff0000 : 0xff00; });
    writePicture("red.tga", 4, 4, false, [](int, int) { return 0xff0000; });
    writePicture("ramp.tga", 2, 1, false, [](int x, int) { return x ? 0xffffff : 0; });
    writePicture("white.tga", 1, 1, true, [](int, int) { return 0xffffff; });

    struct Draw {
        const char* image;
        float x, y, sx, sy, angle, alpha;
    };
    struct Probe {
        int x, y;
        int want;  // 0xRRGGBB
    };
    struct Case {
        const char* what;
        std::vector<Draw> draws;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"8-bit grey converted, not read as 24-bit", {{"grey.tga", 100, 100, 4, 4, 0, 1}},
         {{100, 100, 0x646464}, {85, 85, 0x646464}}},
        {"16-bit keeps its colours", {{"sixteen.tga", 200, 200, 20, 20, 0, 1}},
         {{170, 200, 0xff0000}, {230, 200, 0x0000ff}}},
        {"odd-width rows stay aligned", {{"odd.tga", 300, 300, 20, 20, 0, 1}},  // each source pixel 20 x 20
         {{340, 280, 0xff0000}, {260, 320, 0x00ff00}, {260, 280, 0}}},
        {"upright at half size: 128 x 64", {{"halves.tga", 400, 300, 0.5f, 0.5f, 0, 1}},
         {{400, 315, 0xff0000}, {400, 285, 0x00ff00}, {338, 330, 0xff0000}, {334, 300, 0}, {400, 334, 0}}},
        {"a quarter turn counter-clockwise: the top faces left", {{"halves.tga", 400, 300, 0.5f, 0.5f, 1.5707964f, 1}},
         {{385, 300, 0xff0000}, {415, 300, 0x00ff00}}},
        {"half opaque", {{"halves.tga", 400, 300, 0.5f, 0.5f, 0, 0.5f}}, {{400, 315, 0x800000}}},
        {"blending on again after an opaque 1:1 picture",
         {{"red.tga", 100, 100, 1, 1, 0, 1}, {"white.tga", 100, 100, 10, 10, 0, 0.5f}}, {{100, 100, 0xff8080}}},
        {"an opaque picture still fades", {{"red.tga", 300, 300, 10, 10, 0, 0.5f}}, {{300, 300, 0x800000}}},
        {"linear sampling again after a 1:1 picture",
         {{"ramp.tga", 200, 200.5f, 1, 1, 0, 1}, {"ramp.tga", 500, 300, 100, 10, 0, 1}},
         {{200, 200, 0xffffff}, {500, 300, 0x808080}, {500, 306, 0}}},  // 200 x 10
    };
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        GLint depth = 0, after = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        for (const Draw& d : c.draws) SpriteManager::get(d.image)->draw(d.x, d.y, d.sx, d.sy, d.angle, d.alpha);
        for (const Probe& p : c.probes) expectPixel(p.x, p.y, p.want, c.what);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
        EXPECT_EQ(after, depth) << c.what;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
    }
}

// The level solver makes sprites on its own thread while this one holds the
// OpenGL context; each must still draw right here, whichever call draws it first,
// and one the solver makes and drops without drawing must leave OpenGL alone.
TEST(GlSprite, PicturesMadeOnAnotherThreadDrawOnTheDrawingThread) {
    writePicture("left-right.tga", 2, 1, false, [](int x, int) { return x ? 0x0000ff : 0xff0000; });
    writePicture("top-bottom.tga", 1, 2, true, [](int, int y) { return y ? 0x00ff00 : 0xffff00; });

    enum First { DRAW, POLYGON, QUADS };
    struct Case {
        const char* image;
        First first;
        int cx, cy;             // centre of the 40 x 40 pixels it covers
        int dx, dy, near, far;  // colours at the centre -/+ (dx, dy), clear of the linear blend
    };
    const Case cases[] = {
        {"left-right.tga", DRAW, 100, 100, 15, 0, 0xff0000, 0x0000ff},
        {"top-bottom.tga", POLYGON, 200, 100, 0, 15, 0x00ff00, 0xffff00},  // y up: the bottom row is nearer 0
        {"left-right.tga", QUADS, 300, 100, 15, 0, 0xff0000, 0x0000ff},
    };
    constexpr int N = sizeof cases / sizeof cases[0];
    std::unique_ptr<Sprite> made[N];
    std::thread([&] {
        for (int i = 0; i < N; ++i) made[i] = std::make_unique<Sprite>(cases[i].image);
    }).join();

    glClear(GL_COLOR_BUFFER_BIT);
    auto drawAll = [&] {
        for (int i = 0; i < N; ++i) {
            const Case& c = cases[i];
            Sprite& s = *made[i];
            const float l = c.cx - 20.0f, r = c.cx + 20.0f, b = c.cy - 20.0f, t = c.cy + 20.0f;
            const float tex[] = {0, 0, 1, 0, 1, 1, 0, 1}, corners[] = {l, t, r, t, r, b, l, b};
            const float quad[] = {0, 0, l, t, 1, 0, r, t, 1, 1, r, b, 0, 1, l, b};  // (tx, ty, x, y) corners
            switch (c.first) {
                case DRAW: s.draw(c.cx, c.cy, 40.0f / s.width, 40.0f / s.height, 0, 1); break;
                case POLYGON: s.drawPolygon(tex, corners, 4); break;
                case QUADS: s.drawQuads(quad, 1, 1, 1, 1, 1); break;
            }
        }
    };
    auto expectPictures = [&](const char* when) {
        for (const Case& c : cases) {
            expectPixel(c.cx - c.dx, c.cy - c.dy, c.near, (std::string(c.image) + when).c_str());
            expectPixel(c.cx + c.dx, c.cy + c.dy, c.far, (std::string(c.image) + when).c_str());
        }
    };
    for (const auto& s : made) ASSERT_FALSE(s->empty()) << "a picture not yet drawn is still a picture";
    drawAll();
    expectPictures(", first drawn");

    // Never drawn, dropped on the other thread or on this one: the pictures
    // already drawn keep their textures.
    std::unique_ptr<Sprite> undrawn;
    std::thread([&] {
        Sprite dropped("left-right.tga");
        undrawn = std::make_unique<Sprite>("top-bottom.tga");
    }).join();
    undrawn.reset();
    glClear(GL_COLOR_BUFFER_BIT);
    drawAll();
    expectPictures(", drawn again after undrawn sprites were dropped");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A picture is uploaded once: the same frame again is not rendered again.
    drawAll();
    window::endFrame();
    drawAll();
    EXPECT_FALSE(window::endFrame()) << "the same frame again";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!window::open("render_gl_tests", false)) return 1;
    // A fresh directory of its own: other test processes (and other checkouts)
    // run at the same time.
    std::string pattern = (std::filesystem::temp_directory_path() / "boxquake-gl-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const std::filesystem::path dir = pattern;
    std::filesystem::create_directories(dir / "media");
    std::filesystem::current_path(dir);
    const int failed = RUN_ALL_TESTS();
    SpriteManager::clear();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(dir);
    return failed;
}
