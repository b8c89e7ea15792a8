// Frame recording and the decision to render: a frame that differs from the
// screen in any number must be rendered (else the picture freezes), and only an
// identical frame on an intact screen may be skipped.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>

#include "game/render/draw_list.h"

namespace {

// A frame like a level's: a background, an object, a polygon, a line of text.
// The fields are the numbers a variation changes.
struct Scene {
    unsigned int background = 1;
    float y = 300, sy = 1, angle = 0, alpha = 1;  // of the background
    float lastVertexY = 40, glyphX = 20, blue = 0;
    bool swapSprites = false, text = true;

    DrawList record() const {
        DrawList list;
        auto back = [&] { list.sprite(background, 800, 600, 400, y, 1, sy, angle, alpha); };
        auto object = [&] { list.sprite(2, 32, 32, 120.5f, 80.25f, 0.5f, 0.5f, 0.3f, 1); };
        if (swapSprites) object();
        back();
        if (!swapSprites) object();
        const float tex[] = {0, 0, 1, 0, 1, 1}, pos[] = {10, 10, 50, 10, 50, lastVertexY};
        list.polygon(3, 64, 64, tex, pos, 3);
        const float x0 = glyphX, x1 = glyphX + 8;
        const float glyph[] = {0, 0, x0, 0, 0.1f, 0, x1, 0, 0.1f, 0.2f, x1, 16, 0, 0.2f, x0, 16};
        if (text) list.quads(4, 512, 145, glyph, 1, 1, 1, blue, 1);
        return list;
    }
};

TEST(FrameGate, RendersChangesAndSkipsOnlyAnUnchangedIntactPicture) {
    FrameGate gate;
    struct Frames {
        int count;
        unsigned int background;  // 1 as before, 9 another picture
        unsigned long epoch;      // texture uploads so far
        bool uncovered, render;
    };
    const Frames frames[] = {
        {1, 1, 7, false, true},   // nothing shown yet
        {1, 1, 7, false, false},
        {1, 9, 7, false, true},   // changed
        {1, 1, 7, false, true},   // changed back
        {1, 1, 8, false, true},   // a texture replaced under the same name
        {1, 1, 8, true, true},    // the window was uncovered
        {FrameGate::REFRESH_FRAMES, 1, 8, false, false},
        {1, 1, 8, false, true},   // left standing too long: the window may have lost it
        {1, 1, 8, false, false},  // and the count starts over
    };
    for (std::size_t i = 0; i < std::size(frames); ++i)
        for (int k = 0; k < frames[i].count; ++k) {
            Scene scene;
            scene.background = frames[i].background;
            DrawList next = scene.record();
            if (frames[i].uncovered) gate.invalidate();
            ASSERT_EQ(gate.mustRender(next, frames[i].epoch), frames[i].render) << "frames " << i << ", " << k;
            if (frames[i].render) {
                gate.rendered(next, frames[i].epoch);
            } else {
                gate.skipped(next);
            }
            ASSERT_TRUE(next.empty()) << "frames " << i;
        }
}

}  // namespace
