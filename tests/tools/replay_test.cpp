// Replays: the play state's order of updates, clicks and victory; the early stop
// of the search; playability variants; what loading prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <set>

#include "game/objects/level.h"
#include "physics/physics.h"
#include "tool_fixture.h"
#include "tools/level/output_capture.h"
#include "tools/level/replay.h"

using namespace leveltools;

namespace {

// The slide level's crate is its one movable body.
physics::Vector2D crateOf(Level& level) {
    for (auto* body : level.world.bodies) {
        if (!body->isStatic()) return body->getPosition();
    }
    ADD_FAILURE() << "no movable body";
    return physics::Vector2D();
}

// The game's own loop over a level loaded from its file, as the play state runs it.
struct PlayedByHand {
    bool won = false;
    int wonAt = 0;
    int explosions = 0;
    std::vector<physics::Vector2D> positions;  // crate after each update (before its click)
};

PlayedByHand playByHand(const std::string& dir, const std::string& name, const std::vector<Click>& clicks,
                        int updates) {
    PlayedByHand out;
    char previous[4096];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    EXPECT_EQ(chdir(dir.c_str()), 0);
    {
        OutputCapture quiet(OutputCapture::DISCARD);
        Level level(name);
        int time = 0;
        size_t next = 0;
        for (int u = 1; u <= updates; ++u) {
            level.update(time);
            time += 1;
            out.positions.push_back(crateOf(level));
            if (level.victory()) {
                out.won = true;
                out.wonAt = u;
                break;
            }
            if (next < clicks.size() && clicks[next].update == time) {
                level.explode(static_cast<float>(clicks[next].x), static_cast<float>(clicks[next].y), 10000.0f);
                ++out.explosions;
                ++next;
            }
        }
    }
    EXPECT_EQ(chdir(previous), 0);
    return out;
}

}  // namespace

TEST_F(ToolDir, ReplayFollowsThePlayStateBitForBit) {
    const std::vector<Click> clicks = {{3, 157, 22}, {200, 10, 590}};
    PlayedByHand hand = playByHand(dir(), "slide", clicks, 3600);
    ASSERT_TRUE(hand.won);

    ReplayOptions o;
    for (int u : {1, 2, 3, 4, 5, 100, 200, 201, 400}) o.snapshotAt.push_back(u);
    ReplayResult r = replay(source("slide"), clicks, o);
    EXPECT_TRUE(r.won);
    EXPECT_EQ(r.wonAt, hand.wonAt);
    EXPECT_EQ(r.explosions, 2);
    EXPECT_EQ(r.updates, hand.wonAt);
    ASSERT_EQ(r.snapshots.size(), o.snapshotAt.size());
    for (const Snapshot& s : r.snapshots) {
        ASSERT_EQ(s.bodies.size(), 1u);
        const physics::Vector2D& p = hand.positions[static_cast<size_t>(s.update - 1)];
        EXPECT_EQ(s.bodies[0].x, p.x) << "update " << s.update;  // exact: the same simulation
        EXPECT_EQ(s.bodies[0].y, p.y) << "update " << s.update;
        EXPECT_TRUE(s.bodies[0].target);
        if (s.update <= 3) {
            EXPECT_NEAR(s.bodies[0].extent, 20.0f, 0.5f);  // upright: half its side
        }
    }
    // The click of update 3 comes after that update's step: the crate only starts
    // moving in update 4.
    EXPECT_EQ(r.snapshots[2].bodies[0].x, r.snapshots[1].bodies[0].x);
    EXPECT_GT(std::fabs(r.snapshots[3].bodies[0].x - r.snapshots[2].bodies[0].x), 1.0f);
}

TEST_F(ToolDir, LessonIsWonOnTheUpdateAfterLengthAndLaterClicksDoNotCount) {
    const LevelSource lesson = source("lesson");
    ReplayResult idle = replay(lesson, {});
    EXPECT_TRUE(idle.won);
    EXPECT_EQ(idle.wonAt, 301);  // default length 300: won on the 301st update in which the conditions held
    EXPECT_EQ(idle.explosions, 0);
    EXPECT_EQ(idle.gap, 0.0f);

    // In the update the level is won the player clicks the tick, not the level.
    ReplayResult atWin = replay(lesson, {{301, 799, 599}});
    EXPECT_TRUE(atWin.won);
    EXPECT_EQ(atWin.explosions, 0);
    // One update earlier the click is played (a far corner barely stirs the ball).
    ReplayResult before = replay(lesson, {{300, 799, 599}});
    EXPECT_TRUE(before.won);
    EXPECT_EQ(before.explosions, 1);

    // A short cap cuts the replay off before the win.
    ReplayOptions capped;
    capped.maxUpdates = 300;
    ReplayResult cut = replay(lesson, {}, capped);
    EXPECT_FALSE(cut.won);
    EXPECT_EQ(cut.updates, 300);
}

TEST_F(ToolDir, LengthLineSetsTheWait) {
    const LevelSource quick = sourceOf("quick", "Length 10\nVictory g enter 400 60 300 120 centre\n"
                                                "Ball 400 40 16 ball.tga --victory g\n");
    ReplayResult r = replay(quick, {});
    EXPECT_TRUE(r.won);
    EXPECT_EQ(r.wonAt, 11);
}

TEST_F(ToolDir, EarlyStopOnlyEndsLossesSooner) {
    const LevelSource slide = source("slide");
    ReplayOptions full;
    ReplayOptions early;
    early.stopWhenSettled = true;
    int wins = 0, settledLosses = 0;
    for (int x = 100; x <= 200; x += 20) {
        for (int y : {5, 22, 45}) {
            const std::vector<Click> clicks = {{3, x, y}};
            ReplayResult a = replay(slide, clicks, full);
            ReplayResult b = replay(slide, clicks, early);
            EXPECT_EQ(a.won, b.won) << x << "," << y;
            EXPECT_EQ(a.wonAt, b.wonAt) << x << "," << y;
            EXPECT_FALSE(b.settled && b.won);
            wins += a.won;
            if (b.settled) {
                ++settledLosses;
                EXPECT_LT(b.updates, a.updates);
                EXPECT_GT(b.gap, 0.0f);
            }
        }
    }
    EXPECT_GT(wins, 0);           // the sample holds both outcomes
    EXPECT_GT(settledLosses, 0);  // and the early stop did cut losses short
}

TEST_F(ToolDir, EarlyStopWaitsForBombsAndPendingClicks) {
    // The crate rests at once, but a bomb beside it goes off after 3 s and throws
    // it into the area: stopping before the blast would call this a loss.
    const LevelSource bombed = sourceOf("bombed", "Victory goal enter 620 60 340 120 centre\n"
                                                  "Box 150 20 40 40 crate.tga --victory goal\n"
                                                  "Bomb 125 10 3\n");
    ReplayOptions early;
    early.stopWhenSettled = true;
    ReplayResult r = replay(bombed, {}, early);
    ReplayResult full = replay(bombed, {});
    EXPECT_EQ(r.won, full.won);
    EXPECT_EQ(r.wonAt, full.wonAt);
    EXPECT_GT(r.updates, 181);  // ran past the blast in update 181 (first tick above 180)
    // A click long after the crate came to rest is still waited for.
    ReplayResult late = replay(source("slide"), {{1500, 128, 24}}, early);
    EXPECT_EQ(late.explosions, 1);
    EXPECT_GT(late.updates, 1500);
}

TEST_F(ToolDir, QuietAtIsTheFirstRestAfterTheLastClick) {
    ReplayResult r = replay(source("slide"), {{4, 128, 24}});
    ASSERT_TRUE(r.won);
    EXPECT_GT(r.quietAt, 3);
    EXPECT_LE(r.quietAt, r.wonAt);
}

TEST(PlayabilityVariants, StayWithinTheJitterAndArePlayable) {
    const std::vector<Click> clicks = {{1, 0, 599}, {3, 400, 300}, {50, 799, 10}};
    PlayabilityOptions o;
    const auto variants = playabilityVariants(clicks, o);
    ASSERT_EQ(variants.size(), 32u);
    EXPECT_EQ(variants, playabilityVariants(clicks, o));  // the same on every call
    std::set<std::vector<std::pair<int, int>>> distinct;
    bool later = false;
    for (const auto& v : variants) {
        ASSERT_EQ(v.size(), clicks.size());
        std::string why;
        EXPECT_TRUE(clicksArePlayable(v, &why)) << why;
        std::vector<std::pair<int, int>> key;
        for (size_t i = 0; i < v.size(); ++i) {
            EXPECT_LE(std::abs(v[i].x - clicks[i].x), 8);
            EXPECT_LE(std::abs(v[i].y - clicks[i].y), 8);
            // Only the spacing rule may push a click later than the jitter allows.
            EXPECT_GE(v[i].update, clicks[i].update - 10);
            if (i == 2) {
                EXPECT_LE(v[i].update, clicks[i].update + 40);
            }
            later = later || v[i].update > clicks[i].update + 10;
            key.push_back({v[i].x, v[i].y});
        }
        distinct.insert(key);
    }
    EXPECT_GT(distinct.size(), 24u);  // really jittered
    EXPECT_TRUE(later);               // a hand is late more often than early
    EXPECT_EQ(playabilityVariants({}, o).size(), 1u);
}

TEST_F(ToolDir, PlayableFractionOfRobustAndOfFragileClicks) {
    const LevelSource slide = source("slide");
    long long simulated = 0;
    const double robust = playableFraction(slide, {{4, 128, 24}}, PlayabilityOptions(), &simulated);
    EXPECT_GE(robust, MIN_PLAYABLE);
    EXPECT_GT(simulated, 32 * 300);

    PlayabilityOptions wide;
    wide.shift = 60;  // slips of 60 px throw the crate anywhere
    const double sloppy = playableFraction(slide, {{4, 128, 24}}, wide);
    EXPECT_LT(sloppy, robust);

    long long all = 0, some = 0;
    playableFraction(slide, {{4, 128, 24}}, wide, &all);
    PlayabilityOptions giveUp = wide;
    giveUp.giveUpBelow = 0.9;
    EXPECT_LT(playableFraction(slide, {{4, 128, 24}}, giveUp, &some), 0.9);
    EXPECT_LT(some, all);  // stopped once 0.9 was out of reach

    EXPECT_EQ(playableFraction(source("lesson"), {}), 1.0);
}

TEST_F(ToolDir, DescribeLevelKeepsWhatLoadingPrints) {
    const LevelSource odd = sourceOf("odd", "Gizmo 1 2 3\nBomb 300 100 3\nBomb 500 100 1\nBlackHole 600 400 1500\n"
                                            "Ball 100 100 10 ball.tga\nBox 200 100 20 20 crate.tga\n"
                                            "Victory g enter 1 1 1 1\nBox 250 100 20 20 crate.tga --victory g\n");
    OutputCapture outer(OutputCapture::KEEP);
    LevelInfo info = describeLevel(odd);
    const std::string leaked = outer.finish();
    bool reported = false;
    for (const std::string& m : info.messages) {
        reported |= m.find("Invalid find object type Gizmo") != std::string::npos;
    }
    EXPECT_TRUE(reported);
    EXPECT_EQ(leaked.find("Gizmo"), std::string::npos);  // captured, not printed
    EXPECT_EQ(info.bombFuses, (std::vector<int>{180, 60}));
    EXPECT_TRUE(info.blackHoles);
    EXPECT_EQ(info.movableBodies, 3);
    EXPECT_EQ(info.targets, 1);
    EXPECT_EQ(info.length, 300);
}

TEST(OutputCapture, CollectsAndRestoresStandardOutput) {
    std::string text;
    {
        OutputCapture keep(OutputCapture::KEEP);
        std::printf("hidden %d\n", 42);
        {
            OutputCapture discard(OutputCapture::DISCARD);
            std::printf("gone\n");
        }
        std::printf("after\n");
        text = keep.finish();
        EXPECT_EQ(keep.finish(), text);  // finishing twice is harmless
    }
    EXPECT_EQ(text, "hidden 42\nafter\n");
}
