// Replays: the play state's order of updates, clicks and victory; the early stop
// of the search; the jittered variants that measure playability.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/objects/level.h"
#include "tool_fixture.h"
#include "tools/level/output_capture.h"
#include "tools/level/replay.h"

using namespace leveltools;

TEST_F(ToolDir, ReplayPlaysAsThePlayStateAlsoAfterARestart) {
    std::vector<Click> clicks = {{3, 157, 22}, {200, 10, 590}};
    // The game's own loop over the level loaded from its file, as the play state
    // runs it: the level steps, the win is checked, then the update's click.
    int wonAt = 0;
    {
        OutputCapture quiet(OutputCapture::DISCARD);
        Level level("slide");
        size_t next = 0;
        for (int u = 1; u <= DEFAULT_MAX_UPDATES && wonAt == 0; ++u) {
            level.update(u - 1);
            if (level.victory()) {
                wonAt = u;
            } else if (next < clicks.size() && clicks[next].update == u) {
                level.explode(static_cast<float>(clicks[next].x), static_cast<float>(clicks[next].y), 10000.0f);
                ++next;
            }
        }
        ASSERT_EQ(next, clicks.size());
    }
    ASSERT_GT(wonAt, 0);
    // A click off the crate's path in the winning update: the player clicks the tick, not the level.
    clicks.push_back({wonAt, 799, 599});
    ReplayResult r = replay(source("slide"), clicks);
    EXPECT_TRUE(r.won);
    EXPECT_EQ(r.wonAt, wonAt);
    EXPECT_EQ(r.explosions, 2);
    // Played halfway, restarted as the player's 'r' does, played again: the same win.
    ReplayOptions again;
    again.restartAfter = wonAt / 2;
    EXPECT_EQ(replay(source("slide"), clicks, again).wonAt, wonAt);
}

TEST_F(ToolDir, EarlyStopOnlyEndsLossesSoonerAndWaitsForBombsAndClicks) {
    const LevelSource slide = source("slide");
    ReplayOptions early;
    early.stopWhenSettled = true;
    int wins = 0, settledLosses = 0;
    for (int x = 100; x <= 200; x += 20) {
        for (int y : {5, 22, 45}) {
            ReplayResult a = replay(slide, {{3, x, y}});
            ReplayResult b = replay(slide, {{3, x, y}}, early);
            EXPECT_EQ(a.won ? a.wonAt : 0, b.won ? b.wonAt : 0) << x << "," << y;
            EXPECT_LE(b.updates, a.updates);
            wins += a.won;
            settledLosses += b.settled;
        }
    }
    EXPECT_TRUE(wins > 0 && settledLosses > 0);  // the sample holds both outcomes
    // The crate rests at once, but the bomb beside it goes off in update 181, and a
    // click long after it came to rest may still move it: both are waited for.
    writeFile("levels/bombed.lvl", "Victory goal enter 620 60 340 120 centre\n"
                                   "Box 150 20 40 40 crate.tga --victory goal\nBomb 125 10 3\n");
    EXPECT_GT(replay(source("bombed"), {}, early).updates, 181);
    ReplayResult late = replay(slide, {{1500, 128, 24}}, early);
    EXPECT_EQ(late.explosions, 1);
    EXPECT_GT(late.updates, 1500);
}

TEST(PlayabilityVariants, StayWithinTheJitterAndAreTheSameOnEveryCall) {
    const std::vector<Click> clicks = {{1, 0, 599}, {3, 400, 300}, {50, 799, 10}};
    const auto variants = playabilityVariants(clicks, PlayabilityOptions());
    ASSERT_EQ(variants.size(), 32u);
    EXPECT_EQ(variants, playabilityVariants(clicks, PlayabilityOptions()));
    for (const auto& v : variants) {
        ASSERT_EQ(v.size(), clicks.size());
        EXPECT_TRUE(clicksArePlayable(v));
        for (size_t i = 0; i < v.size(); ++i) {
            EXPECT_TRUE(std::abs(v[i].x - clicks[i].x) <= 8 && std::abs(v[i].y - clicks[i].y) <= 8);
            // Only the spacing rule may push a click later than the jitter allows.
            EXPECT_GE(v[i].update, clicks[i].update - 10);
        }
        EXPECT_LE(v[2].update, clicks[2].update + 40);
    }
}
