// The game's physics at its own scale (pixels, gravity -300 px/s^2), measured
// through Level as the game loads and steps it: piles stand, resting crates
// sleep, bouncy balls still bounce (the impact-speed rule and the threshold's
// edge are in test_contact.cpp), and a restart plays exactly as first loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/objects/game_scale.h"
#include "game/objects/level.h"
#include "level_fixture.h"
#include "physics/physics.h"

using physics::Vector2D;
using Body2D = physics::Body<physics::TwoDee>;

namespace {

using GameScale = LevelDir;

std::vector<Body2D*> movable(Level& level) {
    std::vector<Body2D*> out;
    for (Body2D* b : level.world.bodies) {
        if (!b->isStatic()) out.push_back(b);
    }
    return out;
}

// Ten 30 px crates in a 4-3-2-1 pile, resting on the boundary floor (top at y = 5).
std::string pileOfTen() {
    std::string text;
    for (int row = 0; row < 4; ++row) {
        for (int i = 0; i < 4 - row; ++i) {
            const int x = 300 + 15 * row + 30 * i;
            const int y = 20 + 30 * row;
            text += "Box " + std::to_string(x) + " " + std::to_string(y) + " 30 30 crate.tga\n";
        }
    }
    return text;
}

}  // namespace

TEST_F(GameScale, APileOfTenCratesStandsForTwentySeconds) {
    // A line naming the engine's setting is not a setting: a level cannot change it.
    auto level = load("restitutionThreshold 0.2\n" + pileOfTen());
    EXPECT_EQ(physics::Globals::restitutionThreshold, GAME_RESTITUTION_THRESHOLD);
    const std::vector<Body2D*> crates = movable(*level);
    ASSERT_EQ(crates.size(), 10u);
    std::vector<Vector2D> start;
    for (Body2D* b : crates) start.push_back(b->getPosition());
    float farthest = 0.0f;
    for (int tick = 0; tick < 1200; ++tick) {
        level->update(tick);
        for (size_t i = 0; i < crates.size(); ++i) {
            farthest = std::max(farthest, (crates[i]->getPosition() - start[i]).length());
        }
    }
    EXPECT_LT(farthest, 1.0f);
}

TEST_F(GameScale, ALoneCrateSleepsWithinFiveSecondsAndABouncyBallBouncesAtMoreThanHalfItsImpactSpeed) {
    // The ball is dropped 245 px onto the floor: about 383 px/s at impact.
    auto level = load("Box 600 21 32 32 crate.tga\nBall 200 266 16 ball.tga --restitution 0.8\n");
    Body2D* crate = movable(*level).at(0);
    Body2D* ball = movable(*level).at(1);
    int asleepAt = -1;
    float impact = 0.0f, rebound = 0.0f;
    bool bounced = false;  // past the top of the first bounce
    for (int tick = 0; tick < 600; ++tick) {
        level->update(tick);
        if (asleepAt < 0 && !crate->isAwake()) asleepAt = tick + 1;
        if (asleepAt >= 0) {
            EXPECT_FALSE(crate->isAwake()) << "woke at update " << tick + 1;
        }
        const float vy = ball->getVelocity().y;
        bounced = bounced || (rebound > 0.0f && vy < 0.0f);
        if (bounced) continue;
        if (rebound == 0.0f) impact = std::max(impact, -vy);
        if (impact > 0.0f && vy > 0.0f) rebound = std::max(rebound, vy);
    }
    ASSERT_GT(asleepAt, 0);
    EXPECT_LE(asleepAt, 300);
    EXPECT_GT(impact, 350.0f);
    EXPECT_GT(rebound, 0.5f * impact);
    EXPECT_LT(rebound, impact);
}

TEST_F(GameScale, ARestartedLevelPlaysExactlyAsFirstLoaded) {
    // A tilted movable plank, a bomb, a pile and a falling ball with a condition:
    // everything a restart must put back, contacts, sleep and rest test included.
    const std::string scene = pileOfTen() +
                              "Polygon 600 200 120 poly.tga 4 0 0 1 0 1 0.1 0 0.1 --rotate 0.3\n"
                              "StaticBox 600 120 200 20 wall.tga\n"
                              "Bomb 200 30 2\n"
                              "Victory far leave 700 500 100 100 centre\n"
                              "Ball 120 300 16 ball.tga --restitution 0.6 --victory far\n";
    // Updates [from, to) of a play with one click in update 30.
    auto play = [](Level& level, int from, int to) {
        for (int tick = from; tick < to; ++tick) {
            level.update(tick);
            if (tick == 30) level.explode(420.0f, 10.0f, 10000.0f);
        }
    };
    auto fresh = load(scene);
    auto again = load(scene);
    play(*again, 0, 250);  // the pile blasted, the bomb gone off, bodies asleep and awake
    again->restart();
    EXPECT_EQ(again->victoryTime, 0.0f);

    // In step from the first update: a rest test that remembered the ball lying
    // on the floor would not count its first 20 updates of falling as rest.
    play(*fresh, 0, 20);
    play(*again, 0, 20);
    EXPECT_GT(fresh->victoryTime, 0.0f);
    EXPECT_EQ(fresh->victoryTime, again->victoryTime);

    play(*fresh, 20, 400);
    play(*again, 20, 400);
    EXPECT_EQ(fresh->victoryTime, again->victoryTime);
    ASSERT_EQ(fresh->world.bodies.size(), again->world.bodies.size());
    for (size_t i = 0; i < fresh->world.bodies.size(); ++i) {
        const Body2D* a = fresh->world.bodies[i];
        const Body2D* b = again->world.bodies[i];
        EXPECT_EQ(a->getPosition(), b->getPosition()) << "body " << i;
        EXPECT_EQ(a->getOrientation().getAngle(), b->getOrientation().getAngle()) << "body " << i;
        EXPECT_EQ(a->getVelocity(), b->getVelocity()) << "body " << i;
        EXPECT_EQ(a->isAwake(), b->isAwake()) << "body " << i;
    }
}
