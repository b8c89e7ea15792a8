// The bitmap font: where Text::layout puts each glyph, and what Text::draw hands over.
#include <gtest/gtest.h>

#include <array>

#include "game/render/sprite.h"
#include "game/render/text.h"
#include "render_fixture.h"

namespace {

constexpr int TW = 260, TH = 145;  // a font picture just holding the glyph table

using Rect = std::array<float, 4>;  // x0, y0, x1, y1: lower-left and upper-right corners

// The quads' rectangles, in window pixels or (`texture`) in texture coordinates,
// after checking that the corners run upper-left, upper-right, lower-right, lower-left.
std::vector<Rect> rects(const std::vector<float>& q, bool texture = false) {
    std::vector<Rect> out;
    for (std::size_t i = 0; i + 16 <= q.size(); i += 16) {
        const float tx0 = q[i], ty0 = q[i + 1], tx1 = q[i + 8], ty1 = q[i + 9];
        const float x0 = q[i + 14], y0 = q[i + 15], x1 = q[i + 6], y1 = q[i + 7];
        EXPECT_EQ(std::vector<float>(q.begin() + i, q.begin() + i + 16),
                  (std::vector<float>{tx0, ty0, x0, y1, tx1, ty0, x1, y1, tx1, ty1, x1, y0, tx0, ty1, x0, y0}));
        out.push_back(texture ? Rect{tx0, ty0, tx1, ty1} : Rect{x0, y0, x1, y1});
    }
    return out;
}

}  // namespace

TEST(Font, LayoutOverlapsGlyphsByTheGapAndSkipsWhatHasNoGlyph) {
    Text::buildTable();
    struct Case {
        const char* text;
        int x, y, size;
        std::vector<Rect> glyphs;
    };
    const Case cases[] = {
        {"AB", 0, 0, 29, {{0, 0, 20, 29}, {15, 0, 37, 29}}},  // A 20 wide, B 22, gap 5
        {"AA", 100, 50, 18, {{100, 50, 112, 68}, {109, 50, 121, 68}}},  // 20 * 18 / 29 = 12, gap 90 / 29 = 3
        {"A B", 0, 0, 29, {{0, 0, 20, 29}, {28, 0, 50, 29}}},         // a space advances 18
        {"A?B", 0, 0, 29, {{0, 0, 20, 29}, {10, 0, 32, 29}}},         // no glyph: back by the gap
        {"A\nB", 10, 100, 29, {{10, 100, 30, 129}, {10, 71, 32, 100}}},
        {"A\xc3\xa9" "B", 0, 0, 29, {{0, 0, 20, 29}, {15, 0, 37, 29}}},  // UTF-8 bytes above 127 skipped
        {"\xff\x80", 0, 0, 29, {}},
        {nullptr, 0, 0, 29, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rects(Text::layout(c.text, c.x, c.y, c.size, TW, TH)), c.glyphs) << (c.text ? c.text : "null");
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, 0, 0).empty());  // no picture size to divide by

    // The texture rectangle is the glyph's cell in the picture: 'p' is third in the fourth row.
    const std::vector<Rect> cell = rects(Text::layout("p", 0, 0, 29, TW, TH), true);
    const Rect p = {35.0f / TW, 87.0f / TH, 52.0f / TW, 116.0f / TH};
    ASSERT_EQ(cell.size(), 1u);
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(cell[0][k], p[k]);

    for (Text::Chr& c : Text::character) c = Text::Chr();
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, TW, TH).empty());  // no table: no glyph height to scale by
    Text::buildTable();
}

using TextDraw = ScratchDir;

TEST_F(TextDraw, DrawsTheLayoutInItsColourOrNothingWithoutTheFontPicture) {
    auto forgetFont = [] {
        delete Text::font;
        Text::font = nullptr;
    };
    forgetFont();
    DrawLog::Scope log;
    testing::internal::CaptureStdout();
    Text::draw("Hello", 0, 0, 29, 0xffffff);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/text.tga\n");
    EXPECT_TRUE(DrawLog::calls().empty());

    forgetFont();
    writePicture("text.tga", TW, TH);
    Text::draw("", 10, 20, 29, 0);
    Text::draw("Hi", 10, 20, 29, 0xff8000);
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    const DrawCall& c = DrawLog::calls()[0];
    EXPECT_EQ(c.kind, DrawCall::QUADS);
    EXPECT_EQ(c.image, "text.tga");
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ((std::vector<float>{c.r, c.g, c.b, c.a}), (std::vector<float>{1, 128 / 255.0f, 0, 1}));
    EXPECT_EQ(c.data, Text::layout("Hi", 10, 20, 29, TW, TH));
    forgetFont();
}
