// Animations count draw calls: the frame shown on each call.
#include <gtest/gtest.h>

#include "game/render/animation.h"
#include "render_fixture.h"

using Animations = ScratchDir;

namespace {

// The frame index each of `draws` calls shows (-1 when it draws nothing).
std::vector<int> framesShown(Animation& a, int draws, const std::vector<std::string>& names) {
    std::vector<int> out;
    for (int i = 0; i < draws; ++i) {
        DrawLog::clear();
        a.draw();
        auto calls = DrawLog::sprites();
        if (calls.empty()) {
            out.push_back(-1);
            continue;
        }
        EXPECT_EQ(calls.size(), 1u);
        int idx = static_cast<int>(std::find(names.begin(), names.end(), calls[0].image) - names.begin());
        out.push_back(idx);
    }
    return out;
}

}  // namespace

TEST_F(Animations, LoopingFirstFrameLastsStepPlusOneLaterOnesStepPlusTwo) {
    std::vector<std::string> names = {"bombA.tga", "bombB.tga", "bombC.tga", "bombD.tga"};
    for (const auto& n : names) writeImage(n, 64, 64);
    Animation a;
    for (const auto& n : names) a.addFrame(n.c_str());
    a.step = 3;
    a.frame = 0;
    a.once = false;
    a.x = 5;
    a.y = 6;
    a.scale = 0.703125f;
    DrawLog::Scope log;
    std::vector<int> shown = framesShown(a, 24, names);
    std::vector<int> expected;
    for (int d = 1; d <= 24; ++d) expected.push_back(d <= 4 ? 0 : d <= 9 ? 1 : d <= 14 ? 2 : d <= 19 ? 3 : 0);
    EXPECT_EQ(shown, expected);

    DrawLog::clear();
    a.draw();
    ASSERT_EQ(DrawLog::sprites().size(), 1u);
    const DrawCall c = DrawLog::sprites()[0];
    EXPECT_FLOAT_EQ(c.x, 5);
    EXPECT_FLOAT_EQ(c.y, 6);
    EXPECT_FLOAT_EQ(c.sx, 0.703125f);
    EXPECT_FLOAT_EQ(c.sy, 0.703125f);
}

TEST_F(Animations, PlayOnceIsVisibleForNineteenDrawsAfterARestart) {
    std::vector<std::string> names = {"e0.tga", "e1.tga", "e2.tga", "e3.tga", "e4.tga"};
    for (const auto& n : names) writeImage(n, 128, 128);
    Animation a;
    for (const auto& n : names) a.addFrame(n.c_str());
    a.step = 2;
    a.once = true;
    a.frame = 10;  // parked: nothing shows
    DrawLog::Scope log;
    EXPECT_EQ(framesShown(a, 30, names), std::vector<int>(30, -1));

    a.setFrame(0);
    std::vector<int> shown = framesShown(a, 40, names);
    std::vector<int> expected;
    for (int d = 1; d <= 40; ++d) expected.push_back(d <= 3 ? 0 : d <= 19 ? (d - 4) / 4 + 1 : -1);
    EXPECT_EQ(shown, expected);

    a.setFrame(0);  // replays
    EXPECT_EQ(framesShown(a, 1, names), std::vector<int>{0});
}

TEST_F(Animations, FramesThatFailedToLoadStillAdvance) {
    testing::internal::CaptureStdout();
    Animation a;
    a.addFrame("gone1.tga");
    a.addFrame("gone2.tga");
    testing::internal::GetCapturedStdout();
    a.step = 0;
    a.frame = 0;
    a.once = true;
    DrawLog::Scope log;
    for (int i = 0; i < 3; ++i) a.draw();  // frame 0 for 1 draw, frame 1 for 2
    EXPECT_EQ(a.frame, 1u);
    a.draw();
    EXPECT_EQ(a.frame, 2u);  // ended
    for (const DrawCall& c : DrawLog::calls()) EXPECT_FALSE(c.visible);
    EXPECT_EQ(DrawLog::calls().size(), 3u);
}

TEST_F(Animations, WithoutFramesDrawingDoesNothing) {
    Animation a;
    DrawLog::Scope log;
    a.draw();
    EXPECT_TRUE(DrawLog::calls().empty());
    EXPECT_EQ(a.istep, 0);
}
