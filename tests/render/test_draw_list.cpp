// Frame recording and the decision to render: a frame that differs from the
// screen in any number must be rendered (else the picture freezes), and only an
// identical frame on an intact screen may be skipped.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>

#include "game/render/draw_list.h"

namespace {

// A frame like a level's: a background (picture 1, or another), an object, a
// polygon, a line of text.
DrawList frame(unsigned int background) {
    DrawList list;
    list.sprite(background, 800, 600, 400, 300, 1, 1, 0, 1);
    list.sprite(2, 32, 32, 120.5f, 80.25f, 0.5f, 0.5f, 0.3f, 1);
    const float tex[] = {0, 0, 1, 0, 1, 1}, pos[] = {10, 10, 50, 10, 50, 40};
    list.polygon(3, 64, 64, tex, pos, 3);
    const float glyph[] = {0, 0, 20, 0, 0.1f, 0, 28, 0, 0.1f, 0.2f, 28, 16, 0, 0.2f, 20, 16};
    list.quads(4, 512, 145, glyph, 1, 1, 1, 0, 1);
    return list;
}

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
            DrawList next = frame(frames[i].background);
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
