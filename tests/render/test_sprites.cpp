// Headless sprites, the sprite cache, numbers drawn with the digit pictures and
// animations, which advance by draw calls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "render_fixture.h"
#include "tests/render/tga_bytes.h"

using Sprites = ScratchDir;

TEST_F(Sprites, CacheLoadsEachFileOnceOrSaysOnceWhichOneFailed) {
    // Far beyond the 23 characters a fixed 32-character path buffer would hold.
    const std::string longName = "a-background-picture-with-a-rather-long-descriptive-name.tga";
    writePicture("crate1.tga", 64, 32);
    writePicture(longName, 40, 20);
    writePicture(longName.substr(0, 23), 8, 8);            // what a truncated path would have found
    writeBytes("media/cut.tga", tgaFile(2, 4, 4, 24, 0));  // a header without its pixels
    // Name and width (height half that); 0 is refused. "" names media/ itself, a directory.
    const std::pair<std::string, int> cases[] = {
        {"crate1.tga", 64}, {longName, 40}, {"nothere.tga", 0}, {"cut.tga", 0}, {std::string(300, 'x'), 0}, {"", 0}};
    for (const auto& [name, width] : cases) {
        testing::internal::CaptureStdout();
        Sprite* s = SpriteManager::get(name);
        EXPECT_EQ(SpriteManager::get(name.c_str()), s) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), width ? "" : "Failed to load ./media/" + name + "\n");
        ASSERT_NE(s, nullptr) << name;
        EXPECT_EQ(s->width, width) << name;
        EXPECT_EQ(s->height, width / 2) << name;
        EXPECT_EQ(s->empty(), width == 0) << name;
    }
}

TEST_F(Sprites, DrawCallsAreLoggedAndUnusableOnesMarkedInvisible) {
    writePicture("ball.tga", 64, 64);
    Sprite ball("ball.tga");
    testing::internal::CaptureStdout();
    Sprite empty("missing.tga");
    testing::internal::GetCapturedStdout();
    const float tex[] = {0, 0, 1, 0, 0.5f, 1}, pts[] = {0, 0, 64, 0, 32, 64};
    DrawLog::Scope log;
    ball.draw(10, 20, 0.5f, 0.25f, 1.5f, 0.75f);
    ball.drawPolygon(tex, pts, 3);
    // Unusable: a caller scaling by 1 / width of an empty sprite hands over infinities.
    empty.draw(100, 100, 32.0f / empty.width, 1, 0, 1);
    ball.draw(100, 100, std::nanf(""), 1, 0, 1);
    ball.drawPolygon(nullptr, nullptr, 3);
    ball.drawPolygon(tex, pts, 2);
    const std::vector<DrawCall>& calls = DrawLog::calls();
    ASSERT_EQ(calls.size(), 6u);
    const DrawCall& c = calls[0];
    EXPECT_EQ(c.image, "ball.tga");
    EXPECT_EQ((std::vector<float>{c.x, c.y, c.sx, c.sy, c.angle, c.alpha}),
              (std::vector<float>{10, 20, 0.5f, 0.25f, 1.5f, 0.75f}));
    EXPECT_EQ(calls[1].data, (std::vector<float>{0, 0, 0, 0, 1, 0, 64, 0, 0.5f, 1, 32, 64}));  // (tx, ty, x, y)
    for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].visible, i < 2) << "call " << i;
}

TEST_F(Sprites, DrawNumberShowsTheLastFourDigitsAndZeroForNegatives) {
    for (int d = 0; d < 10; ++d) writePicture(std::to_string(d) + ".tga", 24, 32);
    const std::pair<int, std::string> cases[] = {{-5, "0"}, {12345, "2345"}, {1000, "1000"}, {90, "90"}};
    DrawLog::Scope log;
    for (const auto& [number, shown] : cases) {
        DrawLog::clear();
        SpriteManager::drawNumber(50, 540, number, 0.5f);
        // Each digit in its place: 24 * 0.5 px apart from x = 50.
        std::string digits(DrawLog::sprites().size(), '?');
        for (const DrawCall& c : DrawLog::sprites()) digits.at(static_cast<std::size_t>((c.x - 50) / 12)) = c.image[0];
        EXPECT_EQ(digits, shown) << number;
    }
}
