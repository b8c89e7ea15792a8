// The game's input seams that need no display: the latch that keeps presses
// falling between two updates, and the full-screen letterbox with its pointer
// mapping.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "game/app/input_latch.h"
#include "game/render/window_gl.h"

namespace {

// Plays a script of what the window system reports for one button: 'd' a press
// (held from then on), 'u' its release, '|' an update. Returns what each update
// saw, '1' for down.
std::string play(input::Latch<3>& latch, const std::string& script) {
    std::bitset<3> held;
    std::string seen;
    for (char c : script) {
        if (c == 'd') latch.press(0);
        if (c == 'd' || c == 'u') held[0] = c == 'd';
        if (c != '|') continue;
        seen += latch.seen(0, held[0]) ? '1' : '0';
        latch.endUpdate(held);
    }
    return seen;
}

}  // namespace

TEST(InputLatch, EveryPressIsSeenAsOneUpToDownEdge) {
    // A state counts a press where an update sees down after up: the ones in
    // `seen` are exactly the presses of the script (at most MAX_WAITING waiting).
    struct Case { const char* script; const char* seen; };
    const Case cases[] = {
        {"du||", "10"},                    // a click between two updates
        {"d|||u|", "1110"},                // held: one press, down while held
        {"d|u||", "100"},                  // pressed at an update, released in the next interval
        {"du|du|du|||", "10101"},          // a click in each of three intervals: three edges
        {"dudu|||", "101"},                // two clicks in one interval: both, the second later
        {"d|ud|||u|", "10110"},            // released and pressed again between two updates
        {"dudududududu||||||||||", "1010101000"},  // six in one interval: four, then no more
    };
    for (const Case& c : cases) {
        input::Latch<3> latch;
        EXPECT_EQ(play(latch, c.script), c.seen) << c.script;
    }
}

TEST(InputLatch, AReleasedPressCountsWhereItWasMadeAndAHeldOneWhereThePointerIs) {
    input::Latch<3> latch;
    int x = -1, y = -1;
    latch.press(0, 10, 20);
    latch.press(0, 30, 40);  // two quick clicks in one interval, then the pointer moved on
    const std::bitset<3> up;
    ASSERT_TRUE(latch.pressedAt(0, false, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(10, 20));
    latch.endUpdate(up);
    EXPECT_FALSE(latch.pressedAt(0, false, x, y));  // the update of up between the two
    latch.endUpdate(up);
    ASSERT_TRUE(latch.pressedAt(0, false, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(30, 40));
    latch.endUpdate(up);
    EXPECT_FALSE(latch.pressedAt(0, false, x, y));  // none waits
    latch.press(0, 50, 60);
    EXPECT_FALSE(latch.pressedAt(0, true, x, y));  // still held: a drag follows the pointer
}

TEST(InputLatch, InputsBeyondTheRangeAreIgnored) {
    // The wheel's buttons 4 and 5 (indices 3 and 4) press and release at once;
    // shown, they would hide the next click's edge.
    input::Latch<3> latch;
    for (int i : {-1, 3, 4}) latch.press(i);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(latch.seen(i, false)) << i;
}

TEST(Letterbox, TheFieldFitsCentredWithItsShape) {
    struct Case { int w, h; window::Frame frame; };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600}},       {1024, 768, {0, 0, 1024, 768}},  // exact fits
        {1920, 1080, {240, 0, 1440, 1080}}, {1366, 768, {171, 0, 1024, 768}},  // bars left and right
        {1280, 1024, {0, 32, 1280, 960}},   {600, 800, {0, 175, 600, 450}},   // bars above and below
        {1000, 701, {32, 0, 935, 701}},                                        // 934.7 rounds up
    };
    auto fields = [](const window::Frame& f) { return std::make_tuple(f.x, f.y, f.w, f.h); };
    for (const Case& c : cases) EXPECT_EQ(fields(window::letterbox(c.w, c.h)), fields(c.frame)) << c.w << " x " << c.h;
}

TEST(Letterbox, ThePointerOnAFieldPixelsCentreMapsToThatPixel) {
    // Screens that magnify: the screen pixel under each field pixel's centre
    // maps back to it, every column and row; the bars go to the nearest edge.
    auto under = [](int i, int origin, int size, int field) { return origin + (2 * i + 1) * size / (2 * field); };
    for (const window::Frame& f : {window::letterbox(1920, 1080), window::letterbox(1280, 1024),
                                   window::letterbox(1024, 768)}) {
        for (int i = 0; i < window::WIDTH; ++i) {
            const int j = i * window::HEIGHT / window::WIDTH;  // rows, three for every four columns
            int x = under(i, f.x, f.w, window::WIDTH), y = under(j, f.y, f.h, window::HEIGHT);
            window::screenToField(f, x, y);
            ASSERT_EQ(std::make_pair(x, y), std::make_pair(i, j)) << f.w << " x " << f.h;
        }
        int left = f.x - 1, top = f.y - 1, right = f.x + f.w, bottom = f.y + f.h;
        window::screenToField(f, left, top);
        window::screenToField(f, right, bottom);
        const auto edges = std::make_tuple(0, 0, window::WIDTH - 1, window::HEIGHT - 1);
        EXPECT_EQ(std::make_tuple(left, top, right, bottom), edges) << f.w << " x " << f.h;
    }
}
