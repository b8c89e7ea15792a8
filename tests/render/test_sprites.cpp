// Headless sprites, the sprite cache and numbers drawn with the digit pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "game/render/draw_log.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "render_fixture.h"

using Sprites = ScratchDir;

TEST_F(Sprites, HeadlessSpriteTakesItsSizeFromTheFile) {
    writeImage("crate1.tga", 64, 32);
    testing::internal::CaptureStdout();
    Sprite s("crate1.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(s.width, 64);
    EXPECT_EQ(s.height, 32);
    EXPECT_NE(s.texture, 0u);
    EXPECT_FALSE(s.empty());

    Sprite other("crate1.tga");
    EXPECT_NE(other.texture, s.texture);  // fake texture names are distinct, like real ones
}

TEST_F(Sprites, MissingPictureIsEmptyAndNamedInTheMessage) {
    testing::internal::CaptureStdout();
    Sprite s("nothere.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/nothere.tga\n");
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.texture, 0u);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
}

TEST_F(Sprites, FileNamesOfAnyLengthLoadTheRightFile) {
    // Far beyond the 23 characters a fixed 32-character path buffer would hold.
    const std::string longName = "a-background-picture-with-a-rather-long-descriptive-name.tga";
    writeImage(longName, 40, 20);
    writeImage(longName.substr(0, 23), 8, 8);  // what a truncated path would have found
    Sprite s(longName.c_str());
    EXPECT_EQ(s.width, 40);
    EXPECT_EQ(s.height, 20);

    const std::string missing(300, 'x');
    testing::internal::CaptureStdout();
    Sprite gone(missing.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/" + missing + "\n");
}

TEST_F(Sprites, CacheLoadsEachNameOnceAndNeverReturnsNull) {
    writeImage("crate1.tga", 64, 64);
    Sprite* a = SpriteManager::get("crate1.tga");
    Sprite* b = SpriteManager::get(std::string("crate1.tga"));
    EXPECT_EQ(a, b);
    EXPECT_EQ(SpriteManager::sprites.size(), 1u);

    testing::internal::CaptureStdout();
    Sprite* m1 = SpriteManager::get("missing.tga");
    Sprite* m2 = SpriteManager::get("missing.tga");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/missing.tga\n");  // once
    ASSERT_NE(m1, nullptr);
    EXPECT_EQ(m1, m2);
    EXPECT_TRUE(m1->empty());

    SpriteManager::clear();
    EXPECT_TRUE(SpriteManager::sprites.empty());
}

TEST_F(Sprites, DrawCallsAreRecordedWithTheirPicture) {
    writeImage("ball.tga", 64, 64);
    Sprite s("ball.tga");
    DrawLog::Scope log;
    s.draw(10, 20, 0.5f, 0.25f, 1.5f, 0.75f);
    const float tex[] = {0, 0, 1, 0, 0.5f, 1};
    const float pts[] = {0, 0, 64, 0, 32, 64};
    s.drawPolygon(tex, pts, 3);
    ASSERT_EQ(DrawLog::calls().size(), 2u);
    const DrawCall& c = DrawLog::calls()[0];
    EXPECT_EQ(c.kind, DrawCall::SPRITE);
    EXPECT_EQ(c.image, "ball.tga");
    EXPECT_TRUE(c.visible);
    EXPECT_FLOAT_EQ(c.x, 10);
    EXPECT_FLOAT_EQ(c.y, 20);
    EXPECT_FLOAT_EQ(c.sx, 0.5f);
    EXPECT_FLOAT_EQ(c.sy, 0.25f);
    EXPECT_FLOAT_EQ(c.angle, 1.5f);
    EXPECT_FLOAT_EQ(c.alpha, 0.75f);
    const DrawCall& p = DrawLog::calls()[1];
    EXPECT_EQ(p.kind, DrawCall::POLYGON);
    EXPECT_EQ(p.count, 3);
    EXPECT_EQ(p.data, (std::vector<float>{0, 0, 0, 0, 1, 0, 64, 0, 0.5f, 1, 32, 64}));
}

TEST_F(Sprites, EmptySpritesAndUnusableTransformsDrawNothing) {
    testing::internal::CaptureStdout();
    Sprite empty("missing.tga");
    testing::internal::GetCapturedStdout();
    writeImage("wall.tga", 16, 16);
    Sprite wall("wall.tga");
    DrawLog::Scope log;
    // A caller scaling by 1 / width of an empty sprite hands over infinities.
    float s = 32.0f / empty.width;
    empty.draw(100, 100, s, s, 0, 1);
    wall.draw(100, 100, std::numeric_limits<float>::infinity(), 1, 0, 1);
    wall.draw(100, 100, std::nanf(""), 1, 0, 1);
    wall.drawPolygon(nullptr, nullptr, 3);
    ASSERT_EQ(DrawLog::calls().size(), 4u);
    for (const DrawCall& c : DrawLog::calls()) EXPECT_FALSE(c.visible);
}

TEST_F(Sprites, LogIsOffOutsideAScope) {
    writeImage("wall.tga", 16, 16);
    Sprite wall("wall.tga");
    wall.draw(1, 2, 1, 1, 0, 1);
    EXPECT_TRUE(DrawLog::calls().empty());
    {
        DrawLog::Scope log;
        wall.draw(1, 2, 1, 1, 0, 1);
    }
    wall.draw(1, 2, 1, 1, 0, 1);
    EXPECT_EQ(DrawLog::calls().size(), 1u);
}

namespace {

// Digits drawn, left to right, as (image name, x) pairs.
std::vector<std::pair<std::string, float>> digitsDrawn() {
    std::vector<std::pair<std::string, float>> out;
    for (const DrawCall& c : DrawLog::sprites()) out.emplace_back(c.image, c.x);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return out;
}

using Digits = std::vector<std::pair<std::string, float>>;

}  // namespace

TEST_F(Sprites, DrawNumberPlacesDigitsTwentyFourApartFromTheLeft) {
    writeDigits();
    DrawLog::Scope log;
    SpriteManager::drawNumber(50, 540, 7, 1);
    EXPECT_EQ(digitsDrawn(), (Digits{{"7.tga", 50}}));

    DrawLog::clear();
    SpriteManager::drawNumber(50, 540, 123, 1);
    EXPECT_EQ(digitsDrawn(), (Digits{{"1.tga", 50}, {"2.tga", 74}, {"3.tga", 98}}));
    for (const DrawCall& c : DrawLog::sprites()) {
        EXPECT_FLOAT_EQ(c.y, 540);
        EXPECT_FLOAT_EQ(c.sx, 1);
        EXPECT_FLOAT_EQ(c.sy, 1);
        EXPECT_FLOAT_EQ(c.angle, 0);
        EXPECT_FLOAT_EQ(c.alpha, 1);
        EXPECT_TRUE(c.visible);
    }

    DrawLog::clear();
    SpriteManager::drawNumber(0, 0, -5, 1);
    EXPECT_EQ(digitsDrawn(), (Digits{{"0.tga", 0}}));

    DrawLog::clear();
    SpriteManager::drawNumber(0, 0, 12345, 1);  // at most four digits: the last four
    EXPECT_EQ(digitsDrawn(), (Digits{{"2.tga", 0}, {"3.tga", 24}, {"4.tga", 48}, {"5.tga", 72}}));

    DrawLog::clear();
    SpriteManager::drawNumber(0, 0, 1000, 1);
    EXPECT_EQ(digitsDrawn(), (Digits{{"1.tga", 0}, {"0.tga", 24}, {"0.tga", 48}, {"0.tga", 72}}));
}

TEST_F(Sprites, DrawNumberAtHalfScaleHalvesSpacingAndSize) {
    writeDigits();
    DrawLog::Scope log;
    SpriteManager::drawNumber(220, 300, 90, 0.5f);
    EXPECT_EQ(digitsDrawn(), (Digits{{"9.tga", 220}, {"0.tga", 232}}));
    for (const DrawCall& c : DrawLog::sprites()) EXPECT_FLOAT_EQ(c.sx, 0.5f);
}
