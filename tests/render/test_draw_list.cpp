// Frame recording and the decision to render: a frame that differs from the
// screen in any number must be rendered (else the picture freezes), and only an
// identical frame on an intact screen may be skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "game/render/draw_list.h"

namespace {

const float kPolyTex[] = {0, 0, 1, 0, 1, 1};
const float kPolyPos[] = {10, 10, 50, 10, 50, 40};

std::vector<float> fontQuad(float x) {
    return {0, 0, x, 0, 0.1f, 0, x + 8, 0, 0.1f, 0.2f, x + 8, 16, 0, 0.2f, x, 16};
}

// A frame like a level's: a background, an object, a polygon, a line of text.
void recordScene(DrawList& list) {
    list.sprite(1, 800, 600, 400, 300, 1, 1, 0, 1);
    list.sprite(2, 32, 32, 120.5f, 80.25f, 0.5f, 0.5f, 0.3f, 1);
    list.polygon(3, 64, 64, kPolyTex, kPolyPos, 3);
    std::vector<float> q = fontQuad(20);
    list.quads(4, 512, 145, q.data(), 1, 1, 1, 0, 1);
}

DrawList scene() {
    DrawList list;
    recordScene(list);
    return list;
}

TEST(DrawList, RecordsCommandsInOrderWithTheirData) {
    DrawList list = scene();
    ASSERT_EQ(list.commands().size(), 4u);
    EXPECT_EQ(list.commands()[0].kind, DrawList::SPRITE);
    EXPECT_EQ(list.commands()[2].kind, DrawList::POLYGON);
    EXPECT_EQ(list.commands()[3].kind, DrawList::QUADS);
    const DrawList::Command& poly = list.commands()[2];
    ASSERT_EQ(poly.count, 3);
    const float* v = list.data(poly);  // (tx, ty, x, y) per vertex
    EXPECT_EQ(v[4], 1.0f);
    EXPECT_EQ(v[6], 50.0f);
    EXPECT_EQ(v[11], 40.0f);
    const DrawList::Command& text = list.commands()[3];
    EXPECT_EQ(list.data(text)[2], 20.0f);
    EXPECT_EQ(text.p[2], 0.0f);  // blue of a yellow text
    list.clear();
    EXPECT_TRUE(list.empty());
}

TEST(DrawList, EqualOnlyWhenEveryNumberAndTheOrderMatch) {
    EXPECT_EQ(scene(), scene());

    // Each variation appends a command that differs from the base one in one
    // thing a viewer could see.
    const auto baseSprite = [](DrawList& l) { l.sprite(1, 800, 600, 400, 300, 1, 1, 0, 1); };
    const auto baseText = [](DrawList& l) {
        std::vector<float> q = fontQuad(20);
        l.quads(4, 512, 145, q.data(), 1, 1, 1, 0, 1);
    };
    struct Variation {
        std::function<void(DrawList&)> base, changed;
    };
    const std::vector<Variation> variations = {
        {baseSprite, [](DrawList& l) { l.sprite(1, 800, 600, 400, 300.5f, 1, 1, 0, 1); }},   // moved
        {baseSprite, [](DrawList& l) { l.sprite(1, 800, 600, 400, 300, 1, 1, 0.001f, 1); }},  // turned
        {baseSprite, [](DrawList& l) { l.sprite(1, 800, 600, 400, 300, 1, 1.01f, 0, 1); }},   // scaled
        {baseSprite, [](DrawList& l) { l.sprite(1, 800, 600, 400, 300, 1, 1, 0, 0.99f); }},   // fading
        {baseSprite, [](DrawList& l) { l.sprite(5, 800, 600, 400, 300, 1, 1, 0, 1); }},       // other picture
        {baseText,
         [](DrawList& l) {
             std::vector<float> q = fontQuad(21);  // a glyph one pixel over
             l.quads(4, 512, 145, q.data(), 1, 1, 1, 0, 1);
         }},
        {baseText,
         [](DrawList& l) {
             std::vector<float> q = fontQuad(20);  // same glyph, other colour
             l.quads(4, 512, 145, q.data(), 1, 1, 1, 1, 1);
         }},
    };
    for (std::size_t i = 0; i < variations.size(); ++i) {
        DrawList base = scene(), changed = scene(), same = scene();
        variations[i].base(base);
        variations[i].base(same);
        variations[i].changed(changed);
        EXPECT_EQ(base, same) << "variation " << i;
        EXPECT_NE(base, changed) << "variation " << i;
    }

    // The same commands in another order overlap differently.
    DrawList a, b;
    a.sprite(1, 8, 8, 0, 0, 1, 1, 0, 1);
    a.sprite(2, 8, 8, 0, 0, 1, 1, 0, 1);
    b.sprite(2, 8, 8, 0, 0, 1, 1, 0, 1);
    b.sprite(1, 8, 8, 0, 0, 1, 1, 0, 1);
    EXPECT_NE(a, b);

    // A missing last command, and a polygon whose vertex moved.
    DrawList shorter;
    shorter.sprite(1, 800, 600, 400, 300, 1, 1, 0, 1);
    EXPECT_NE(shorter, scene());
    DrawList moved;
    const float pos[] = {10, 10, 50, 10, 50, 41};
    moved.polygon(3, 64, 64, kPolyTex, pos, 3);
    DrawList still;
    still.polygon(3, 64, 64, kPolyTex, kPolyPos, 3);
    EXPECT_NE(moved, still);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    DrawList n1, n2;
    n1.sprite(1, 8, 8, nan, 0, 1, 1, 0, 1);
    n2.sprite(1, 8, 8, nan, 0, 1, 1, 0, 1);
    EXPECT_NE(n1, n2);  // cannot prove the picture is the same: render it
}

TEST(FrameGate, RendersChangesAndSkipsOnlyAnUnchangedIntactPicture) {
    FrameGate gate;
    DrawList next = scene();
    EXPECT_TRUE(gate.mustRender(next, 7));  // nothing shown yet
    gate.rendered(next, 7);
    EXPECT_TRUE(next.empty());

    recordScene(next);
    EXPECT_FALSE(gate.mustRender(next, 7));
    gate.skipped(next);
    EXPECT_TRUE(next.empty());

    recordScene(next);
    next.sprite(9, 16, 16, 30, 30, 1, 1, 0, 1);  // an icon appears
    EXPECT_TRUE(gate.mustRender(next, 7));
    gate.rendered(next, 7);
    recordScene(next);
    EXPECT_TRUE(gate.mustRender(next, 7)) << "the icon went away again";
    gate.rendered(next, 7);

    recordScene(next);
    EXPECT_TRUE(gate.mustRender(next, 8)) << "a texture was replaced under the same name";
    gate.rendered(next, 8);

    recordScene(next);
    gate.invalidate();  // the window was uncovered
    EXPECT_TRUE(gate.mustRender(next, 8));
    gate.rendered(next, 8);

    recordScene(next);
    EXPECT_FALSE(gate.mustRender(next, 8));
}

TEST(FrameGate, APictureLeftStandingIsRenderedAgainNowAndThen) {
    FrameGate gate;
    DrawList next = scene();
    gate.rendered(next, 0);
    int skipped = 0;
    for (;;) {
        recordScene(next);
        if (gate.mustRender(next, 0)) break;
        gate.skipped(next);
        ASSERT_LT(++skipped, 10 * FrameGate::REFRESH_FRAMES);
    }
    EXPECT_EQ(skipped, FrameGate::REFRESH_FRAMES);
    gate.rendered(next, 0);
    recordScene(next);
    EXPECT_FALSE(gate.mustRender(next, 0)) << "the count starts over after a render";
}

}  // namespace
