// The bitmap font: glyph table, layout positions, and what Text::draw hands over.
#include <gtest/gtest.h>

#include "game/render/sprite.h"
#include "game/render/text.h"
#include "render_fixture.h"

namespace {

struct Quad {
    float x0, y0, x1, y1;      // window pixels: lower-left and upper-right corners
    float tx0, ty0, tx1, ty1;  // texture: upper-left and lower-right
};

std::vector<Quad> quadsOf(const std::vector<float>& q) {
    std::vector<Quad> out;
    for (std::size_t i = 0; i + 16 <= q.size(); i += 16) {
        // Corners: upper-left, upper-right, lower-right, lower-left, each (tx, ty, x, y).
        out.push_back({q[i + 14], q[i + 15], q[i + 6], q[i + 7], q[i + 0], q[i + 1], q[i + 8], q[i + 9]});
        EXPECT_EQ(q[i + 2], q[i + 14]);  // upper-left above lower-left
        EXPECT_EQ(q[i + 11], q[i + 15]);  // lower-right level with lower-left
    }
    return out;
}

constexpr int TW = 260, TH = 145;  // a font picture just holding the table

class Font : public ::testing::Test {
protected:
    void SetUp() override { Text::buildTable(); }
};

}  // namespace

TEST_F(Font, TableMatchesItsRows) {
    auto is = [](char c, int x, int y, int w, int h) {
        const Text::Chr& e = Text::character[static_cast<int>(c)];
        EXPECT_EQ(e.x, x) << c;
        EXPECT_EQ(e.y, y) << c;
        EXPECT_EQ(e.w, w) << c;
        EXPECT_EQ(e.h, h) << c;
    };
    is('A', 0, 0, 20, 29);
    is('B', 20, 0, 22, 29);
    is('M', 237, 0, 23, 29);
    is('N', 0, 29, 23, 29);
    is('Z', 237, 29, 20, 29);
    is('a', 0, 58, 15, 29);
    is('m', 183, 58, 22, 29);
    is('n', 0, 87, 18, 29);
    is('z', 198, 87, 18, 29);
    is('0', 0, 116, 18, 29);
    is('9', 156, 116, 18, 29);
    is('.', 174, 116, 10, 29);
    is(',', 184, 116, 13, 29);
    is('!', 197, 116, 10, 29);
    is(' ', 0, 0, 18, 0);
    is('\t', 0, 0, 48, 0);
    is('\n', 0, 0, 0, 0);
    is('?', 0, 0, 0, 0);
}

TEST_F(Font, ChrTakesMissingValuesFromThePrecedingCode) {
    Text::chr('C', 7, 30, 40, 9);
    Text::chr('D', 5);
    const Text::Chr& d = Text::character[static_cast<int>('D')];
    EXPECT_EQ(d.x, 37);
    EXPECT_EQ(d.y, 40);
    EXPECT_EQ(d.w, 5);
    EXPECT_EQ(d.h, 9);
    Text::chr(static_cast<char>(200), 5, 1, 1, 1);  // outside the table: ignored, nothing overwritten
    EXPECT_EQ(Text::character[72].w, 20);           // 'H' untouched (200 - 128)
    Text::buildTable();
}

TEST_F(Font, TwoLettersOverlapByTheGap) {
    auto q = quadsOf(Text::layout("AB", 0, 0, 29, TW, TH));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].x0, 0);
    EXPECT_EQ(q[0].x1, 20);
    EXPECT_EQ(q[0].y0, 0);
    EXPECT_EQ(q[0].y1, 29);
    EXPECT_EQ(q[1].x0, 15);  // 20 - gap 5
    EXPECT_EQ(q[1].x1, 37);
    // Texture rectangles are the table's cells.
    EXPECT_FLOAT_EQ(q[0].tx0, 0);
    EXPECT_FLOAT_EQ(q[0].tx1, 20.0f / TW);
    EXPECT_FLOAT_EQ(q[0].ty0, 0);
    EXPECT_FLOAT_EQ(q[0].ty1, 29.0f / TH);
    EXPECT_FLOAT_EQ(q[1].tx0, 20.0f / TW);
}

TEST_F(Font, SizeEighteenScalesWidthsAndGap) {
    auto q = quadsOf(Text::layout("AA", 100, 50, 18, TW, TH));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].x1 - q[0].x0, 12);  // 20 * 18 / 29
    EXPECT_EQ(q[0].y1 - q[0].y0, 18);
    EXPECT_EQ(q[1].x0, 100 + 12 - 3);  // gap 90 / 29 = 3
}

TEST_F(Font, SpacesAndUnknownCharactersOnlyMoveThePen) {
    auto q = quadsOf(Text::layout("A B", 0, 0, 29, TW, TH));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].x0, (20 - 5) + (18 - 5));
    q = quadsOf(Text::layout("A?B", 0, 0, 29, TW, TH));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].x0, 15 - 5);  // '?' has no glyph: the pen goes back by the gap
}

TEST_F(Font, LineFeedStartsTheNextLineOneSizeLower) {
    auto q = quadsOf(Text::layout("A\nB", 10, 100, 29, TW, TH));
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].x0, 10);
    EXPECT_EQ(q[1].y0, 71);
}

TEST_F(Font, BytesAboveOneHundredTwentySevenAreSkipped) {
    // "é" in UTF-8 is two bytes above 127; a signed char makes them negative.
    auto withAccent = Text::layout("A\xc3\xa9" "B", 0, 0, 29, TW, TH);
    auto plain = Text::layout("AB", 0, 0, 29, TW, TH);
    EXPECT_EQ(withAccent, plain);
    EXPECT_TRUE(Text::layout("\xff\x80", 0, 0, 29, TW, TH).empty());
}

TEST_F(Font, NothingIsLaidOutWithoutATableOrAPictureSize) {
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, 0, 0).empty());
    EXPECT_TRUE(Text::layout(nullptr, 0, 0, 29, TW, TH).empty());
    for (Text::Chr& c : Text::character) c = Text::Chr();
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, TW, TH).empty());
}

using TextDraw = ScratchDir;

TEST_F(TextDraw, DrawHandsTheLayoutToTheFontInItsColour) {
    writeImage("text.tga", TW, TH);
    delete Text::font;
    Text::font = nullptr;
    DrawLog::Scope log;
    Text::draw("Hi", 10, 20, 29, 0xff8000);
    ASSERT_EQ(DrawLog::calls().size(), 1u);
    const DrawCall& c = DrawLog::calls()[0];
    EXPECT_EQ(c.kind, DrawCall::QUADS);
    EXPECT_EQ(c.image, "text.tga");
    EXPECT_EQ(c.count, 2);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 128 / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
    EXPECT_FLOAT_EQ(c.a, 1.0f);
    EXPECT_EQ(c.data, Text::layout("Hi", 10, 20, 29, TW, TH));

    DrawLog::clear();
    Text::draw("", 10, 20, 29, 0);
    EXPECT_TRUE(DrawLog::calls().empty());
    delete Text::font;
    Text::font = nullptr;
}

TEST_F(TextDraw, MissingFontPictureDrawsNothing) {
    delete Text::font;
    Text::font = nullptr;
    DrawLog::Scope log;
    testing::internal::CaptureStdout();
    Text::draw("Hello", 0, 0, 29, 0xffffff);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to load ./media/text.tga\n");
    EXPECT_TRUE(DrawLog::calls().empty());
    EXPECT_EQ(Text::character[static_cast<int>('A')].w, 20);  // the table is built all the same
    delete Text::font;
    Text::font = nullptr;
}
