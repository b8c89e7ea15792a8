// The main loop's timing: when updates run, how long the loop may sleep, and
// which updates are drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/app/pacing.h"

using pacing::FrameSkip;

TEST(Pacing, UpdateFallsDueSeventeenMillisecondsAfterThePrevious) {
    EXPECT_FALSE(pacing::updateDue(1000, 1000));
    EXPECT_FALSE(pacing::updateDue(1016, 1000));  // 16 < 16.67
    EXPECT_TRUE(pacing::updateDue(1017, 1000));
    EXPECT_TRUE(pacing::updateDue(1050, 1000));  // late updates run at once
    // The millisecond timer wraps after 49.7 days; differences stay right.
    EXPECT_FALSE(pacing::updateDue(5, 0xfffffff8u));  // 13 ms
    EXPECT_TRUE(pacing::updateDue(9, 0xfffffff8u));   // 17 ms
}

TEST(Pacing, CoarseSleepWakesBeforeTheDeadlineAndThenPolls) {
    EXPECT_EQ(pacing::coarseSleep(1000, 1000), 15u);
    EXPECT_EQ(pacing::coarseSleep(1010, 1000), 5u);
    EXPECT_EQ(pacing::coarseSleep(1015, 1000), 0u);
    EXPECT_EQ(pacing::coarseSleep(1016, 1000), 0u);
    EXPECT_EQ(pacing::coarseSleep(1040, 1000), 0u);     // already late: no sleep
    EXPECT_EQ(pacing::coarseSleep(999, 1000), 0u);      // timer behind: never a long sleep
    for (std::uint32_t e = 0; e < 40; ++e) {
        std::uint32_t s = pacing::coarseSleep(1000 + e, 1000);
        // Even a sleep that overruns by almost a millisecond leaves the update
        // still not due, so it is never late because of the sleep.
        EXPECT_FALSE(s > 0 && pacing::updateDue(1000 + e + s + 1, 1000)) << e;
    }
}

TEST(Pacing, SimulatedLoopRunsEveryUpdateExactlySeventeenApart) {
    // A clock that advances by the sleeps asked for (overrunning each by 0.6 ms)
    // and by 0.2 ms per poll, with 4 ms of work per update.
    double now = 0.0;
    auto ticks = [&] { return static_cast<std::uint32_t>(now); };
    std::uint32_t last = 0;
    std::vector<std::uint32_t> intervals;
    int polls = 0;
    for (int update = 0; update < 500; ++update) {
        std::uint32_t t = ticks();
        while (!pacing::updateDue(t, last)) {
            std::uint32_t s = pacing::coarseSleep(t, last);
            if (s > 0) {
                now += s + 0.6;
            } else {
                now += 0.2;
                ++polls;
            }
            t = ticks();
        }
        intervals.push_back(t - last);
        last = t;
        now += 4.0;
    }
    for (std::size_t i = 1; i < intervals.size(); ++i) ASSERT_EQ(intervals[i], 17u) << i;
    EXPECT_LT(polls / 500.0, 15.0);  // a few short naps per update, not a spin
}

TEST(FrameSkipRule, EveryUpdateIsDrawnWhileFramesAreCheap) {
    FrameSkip f;
    for (int n = 1; n <= 100; ++n) {
        ASSERT_FALSE(f.skips(n));
        f.drawn(n, static_cast<std::uint32_t>(17 * n));
    }
    EXPECT_EQ(f.frameskip, 0);
}

TEST(FrameSkipRule, FirstDrawnFrameIsMeasuredFromTimerZero) {
    FrameSkip f;
    // The first update at timer 500 (the game started late): 500 ms over one
    // update counts as slow, so the factor becomes 1, which still draws every update.
    EXPECT_FALSE(f.skips(1));
    EXPECT_EQ(f.drawn(1, 500), 500);
    EXPECT_EQ(f.frameskip, 1);
    for (int n = 2; n <= 10; ++n) EXPECT_FALSE(f.skips(n)) << n;
}

TEST(FrameSkipRule, WithFactorThreeTwoUpdatesAreSkippedAndTheThirdDrawn) {
    FrameSkip f;
    f.frameskip = 3;
    f.lastFrameDrawn = 10;
    f.ticksAtLastDraw = 1000;
    EXPECT_TRUE(f.skips(11));
    EXPECT_TRUE(f.skips(12));
    EXPECT_FALSE(f.skips(13));
    // The mean frame time covers the three updates since the last drawn frame.
    EXPECT_EQ(f.drawn(13, 1000 + 3 * 17), 17);
    EXPECT_EQ(f.frameskip, 2);  // cheap again: one step down
    EXPECT_EQ(f.lastFrameDrawn, 13);
    EXPECT_EQ(f.ticksAtLastDraw, 1051);
}

TEST(FrameSkipRule, SlowFramesRaiseTheFactorToTwentyAndFastOnesLowerItToOne) {
    FrameSkip f;
    std::uint32_t t = 0;
    int n = 0;
    // Every update costs 60 ms: the factor grows by one per drawn frame.
    std::vector<int> factors;
    for (int drawnFrames = 0; drawnFrames < 25;) {
        ++n;
        t += 60;
        if (f.skips(n)) continue;
        f.drawn(n, t);
        factors.push_back(f.frameskip);
        ++drawnFrames;
    }
    for (int i = 0; i < 20; ++i) EXPECT_EQ(factors[i], i + 1);
    EXPECT_EQ(factors[24], 20);  // capped
    // Back to 17 ms per update: down by one per drawn frame, never below 1.
    for (int drawnFrames = 0; drawnFrames < 30;) {
        ++n;
        t += 17;
        if (f.skips(n)) continue;
        f.drawn(n, t);
        ++drawnFrames;
    }
    EXPECT_EQ(f.frameskip, 1);
    // Between 25 and 40 ms the factor stays where it is.
    f.frameskip = 5;
    f.lastFrameDrawn = n;
    f.ticksAtLastDraw = t;
    f.drawn(n + 5, t + 5 * 30);
    EXPECT_EQ(f.frameskip, 5);
}
