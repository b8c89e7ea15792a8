// The main loop's timing: when updates run, how long the loop may sleep, and
// which updates are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "game/app/pacing.h"

TEST(Pacing, UpdateFallsDueSeventeenMillisecondsAfterThePreviousAndTheLoopSleepsUntilTwoBefore) {
    struct Case {
        std::uint32_t ticks, last;
        bool due;
        std::uint32_t sleep;  // ms
    };
    const Case cases[] = {
        {1000, 1000, false, 15}, {1010, 1000, false, 5}, {1015, 1000, false, 0}, {1016, 1000, false, 0},  // 16 < 16.67
        {1017, 1000, true, 0},   {1050, 1000, true, 0},  // late updates run at once
        {999, 1000, true, 0},    // a timer behind the last update reads as a wrap: never a long sleep
        {5, 0xfffffff8u, false, 2}, {9, 0xfffffff8u, true, 0},  // the 49.7-day wrap: 13 and 17 ms
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pacing::updateDue(c.ticks, c.last), c.due) << c.ticks << " after " << c.last;
        EXPECT_EQ(pacing::coarseSleep(c.ticks, c.last), c.sleep) << c.ticks << " after " << c.last;
    }
    // A loop on a clock that advances by the sleeps asked for, overrunning each by
    // 0.6 ms, by 0.2 ms per poll and by 4 ms of work per update: never late
    // because of a sleep, and polling only briefly.
    double now = 0.0;
    std::uint32_t last = 0;
    int polls = 0;
    for (int update = 0; update < 500; ++update) {
        while (!pacing::updateDue(static_cast<std::uint32_t>(now), last)) {
            const std::uint32_t s = pacing::coarseSleep(static_cast<std::uint32_t>(now), last);
            now += s > 0 ? s + 0.6 : 0.2;
            polls += s == 0;
        }
        const auto t = static_cast<std::uint32_t>(now);
        ASSERT_TRUE(update == 0 || t - last == 17u) << update << ": " << t - last << " ms";
        last = t;
        now += 4.0;
    }
    EXPECT_LT(polls / 500.0, 15.0);  // a few short naps per update, not a spin
}

TEST(FrameSkipRule, SlowFramesRaiseTheFactorOneStepPerDrawToTwentyAndCheapOnesLowerItToOne) {
    pacing::FrameSkip f;
    int n = 0;
    std::uint32_t t = 0;
    // Runs updates costing `ms` each until `draws` frames are drawn; returns the
    // factor after each drawn frame.
    auto run = [&](std::uint32_t ms, int draws) {
        std::vector<int> factors;
        while (static_cast<int>(factors.size()) < draws) {
            t += ms;
            if (f.skips(++n)) continue;
            EXPECT_EQ(n - f.lastFrameDrawn, std::max(f.frameskip, 1)) << "drawn every factor-th update";
            EXPECT_EQ(f.drawn(n, t), static_cast<int>(ms)) << "mean over the updates since the last draw";
            factors.push_back(f.frameskip);
        }
        return factors;
    };
    std::vector<int> up, down;
    for (int k = 1; k <= 25; ++k) up.push_back(std::min(k, 20));
    for (int k = 19; k >= -10; --k) down.push_back(std::max(k, 1));
    EXPECT_EQ(run(17, 20), std::vector<int>(20, 0));  // cheap: every update drawn
    EXPECT_EQ(run(41, 25), up);                        // capped at 20
    EXPECT_EQ(run(26, 3), std::vector<int>(3, 20));    // 26 to 40 ms: held
    EXPECT_EQ(run(25, 30), down);                      // never below 1
    EXPECT_EQ(run(40, 3), std::vector<int>(3, 1));

    // The first frame is measured from timer zero: a game started late counts as slow.
    pacing::FrameSkip late;
    EXPECT_EQ(late.drawn(1, 500), 500);
    EXPECT_EQ(late.frameskip, 1);
}
