// The bitmap font: where Text::layout puts each glyph, and what Text::draw hands over.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "game/app/editor.h"
#include "game/objects/level.h"
#include "game/render/sprite.h"
#include "game/render/text.h"
#include "render_fixture.h"

namespace {

constexpr int TW = 260, TH = 203;  // a font picture just holding the glyph table

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

TEST(Font, LayoutOverlapsGlyphsByTheGapAndBoxesWhatHasNoGlyph) {
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
        {"A\nB", 10, 100, 29, {{10, 100, 30, 129}, {10, 71, 32, 100}}},
        // No glyph: the 18-wide box, once per UTF-8 sequence; a stray continuation byte takes no room.
        {"A\x01" "B", 0, 0, 29, {{0, 0, 20, 29}, {15, 0, 33, 29}, {28, 0, 50, 29}}},
        {"A\xc3\xa9" "B", 0, 0, 29, {{0, 0, 20, 29}, {15, 0, 33, 29}, {28, 0, 50, 29}}},
        {"\x80\xe2\x82\xac", 0, 0, 29, {{0, 0, 18, 29}}},
        {nullptr, 0, 0, 29, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rects(Text::layout(c.text, c.x, c.y, c.size, TW, TH)), c.glyphs) << (c.text ? c.text : "null");
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, 0, 0).empty());  // no picture size to divide by
    EXPECT_EQ(Text::lacking("\x80" "Caf\xc3\xa9 \x01\t(ok?)\n\xe2\x82\xac"), "\xc3\xa9\x01\xe2\x82\xac");

    // The texture rectangle is the glyph's cell in the picture: 'p' is third in the
    // fourth row, '\'' the last of the marks after '!', the box after the last mark.
    const std::vector<Rect> cells = rects(Text::layout("p'\x01", 0, 0, 29, TW, TH), true);
    const Rect expected[] = {{35, 87, 52, 116}, {243, 116, 253, 145}, {147, 174, 165, 203}};
    ASSERT_EQ(cells.size(), 3u);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(cells[i][k], expected[i][k] / (k % 2 ? TH : TW)) << i;

    for (Text::Chr& c : Text::character) c = Text::Chr();
    EXPECT_TRUE(Text::layout("AB", 0, 0, 29, TW, TH).empty());  // no table: no glyph height to scale by
    Text::buildTable();
}

using FontCoverage = ScratchDir;

TEST_F(FontCoverage, EveryTextTheGameShowsHasItsGlyphs) {
    Text::buildTable();
    std::vector<std::string> texts = {
        "r restart", "h show me", "Esc menu", "par 2", "winnable in 3 explosions, playable 0.91",
        "no solution found", "Saved /home/me/.local/share/boxquake/levels/mylevel1.lvl",
        "Saved levels/mylevel1.lvl, but could not add it to levels.txt: Is a directory",
        "Could not save levels/mylevel1.lvl: Not a directory",
        "an object of an unknown kind (4Ball) cannot be written", "text \"a b\" cannot be written as one word",
        "50% + 3 = 53_ok; 'quoted'", "#$&*<>@[\\]^`{|}~"};
    testing::internal::CaptureStdout();  // levels without their pictures say so
    {
        // The editor's labels in edit mode with a selection and a message, and in test mode.
        StateEditor editor;
        ASSERT_TRUE(editor.addObject(0, {300, 300}, 0));
        editor.select = editor.level->objects.back();
        editor.message = "Saved levels/mylevel1.lvl";
        editor.messageUntil = 1.0f;
        for (bool edit : {true, false}) {
            editor.edit = edit;
            for (const StateEditor::Label& label : editor.labels()) texts.push_back(label.text);
        }
        // Every shipped level's labels, as the level loader reads them.
        const std::filesystem::path levels = std::filesystem::path(__FILE__).parent_path() / "../../data/levels";
        for (const auto& file : std::filesystem::directory_iterator(levels)) {
            if (file.path().extension() != ".lvl") continue;
            Level level(file.path().stem().string(), file.path().string());
            for (Object* o : level.objects)
                if (const Text* label = dynamic_cast<const Text*>(o)) texts.push_back(label->text);
        }
    }
    testing::internal::GetCapturedStdout();
    EXPECT_GT(texts.size(), 60u);  // the levels were found and read
    for (const std::string& text : texts) EXPECT_EQ(Text::lacking(text.c_str()), "") << text;
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

    // A character without a glyph is drawn as a box, reported once per first byte.
    Text::reported.reset();
    testing::internal::CaptureStderr();
    Text::draw("Caf\xc3\xa9 \x01\xc3\xa9", 0, 0, 29, 0);
    Text::draw("\xc3\xa9!", 0, 0, 29, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Text: no glyph for byte 0xc3 in \"Caf\xc3\xa9 \x01\xc3\xa9\"; drawn as a box\n"
              "Text: no glyph for byte 0x01 in \"Caf\xc3\xa9 \x01\xc3\xa9\"; drawn as a box\n");
    ASSERT_EQ(DrawLog::calls().size(), 3u);
    EXPECT_EQ(DrawLog::calls()[1].count, 6);
    EXPECT_EQ(DrawLog::calls()[2].count, 2);
    forgetFont();
}
