// The play state: one explosion per press, the tick-mark click of a won level,
// restarting, leaving, and the results written into the menu record.
#include "app_fixture.h"
#include "game/app/simulation.h"
#include "game/objects/level.h"
#include "game/render/animation.h"
#include "game/render/draw_log.h"

namespace {

const int kEscape = 27;
const int kRestart = 114;

}  // namespace

class Play : public AppDir {
protected:
    // A level with one ball resting on the floor; no victory condition, so with
    // `length` the level is won after length + 1 updates.
    std::unique_ptr<StateSimulation> start(int length) {
        writeLevel("lvl", "Length " + std::to_string(length) + "\nBall 400 20 16 orangeball.tga\n");
        record.level = "lvl";
        return std::unique_ptr<StateSimulation>(new StateSimulation(record));
    }
    // The one ball of the level.
    static physics::Body<physics::TwoDee>* ball(StateSimulation& s) { return s.level->objects.back()->physics; }
    // Ends the level as won after `updates` updates and `clicks` explosions.
    static void win(StateSimulation& s, int clicks, int updates) {
        s.rules.explosions = clicks;
        s.rules.time = updates;
        s.endLevel(true);
    }

    MnuLevel record;
};

TEST_F(Play, HeldButtonExplodesOnceAndAPressNeedsAllButtonsReleased) {
    auto play = start(1000);
    input(300, 100, 1);
    for (int i = 0; i < 10; ++i) play->update(0.0f);
    EXPECT_EQ(play->rules.explosions, 1);
    EXPECT_GT(ball(*play)->getPosition().x, 400.0f);  // pushed away from the pointer on its left

    input(300, 100, 0);
    play->update(0.0f);
    input(300, 100, 1);
    play->update(0.0f);
    EXPECT_EQ(play->rules.explosions, 2);

    // Left pressed while the right button is held: nothing; after release, a press counts.
    input(300, 100, 4);
    play->update(0.0f);
    input(300, 100, 5);
    play->update(0.0f);
    EXPECT_EQ(play->rules.explosions, 2);
    input(300, 100, 0);
    play->update(0.0f);
    input(300, 100, 1);
    play->update(0.0f);
    EXPECT_EQ(play->rules.explosions, 3);
    EXPECT_EQ(play->rules.time, 16);  // one per update
}

TEST_F(Play, TickMarkClickEndsAWonLevelAndAlsoExplodes) {
    auto play = start(1);
    // Before the level is won a click on the tick mark only explodes.
    input(750, 560, 1);
    play->update(0.0f);  // the first update is the first in which the conditions hold
    ASSERT_FALSE(play->level->victory());
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_EQ(play->rules.explosions, 1);

    input(750, 560, 0);
    play->update(0.0f);
    ASSERT_TRUE(play->level->victory());
    input(750 + 19, 560, 1);  // 19 pixels away: still on the mark
    play->update(0.0f);
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
    EXPECT_EQ(record.state, 1);
    EXPECT_EQ(record.clicks, 1);  // counted before the explosion of the same update
    EXPECT_EQ(record.time, 3);
    EXPECT_EQ(play->rules.explosions, 2);
}

TEST_F(Play, ClickBesideTheTickMarkDoesNotEndTheLevel) {
    auto play = start(0);
    play->update(0.0f);
    play->update(0.0f);
    ASSERT_TRUE(play->level->victory());
    input(750, 560 - 20, 1);  // exactly 20 pixels away
    play->update(0.0f);
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_EQ(play->rules.explosions, 1);
}

TEST_F(Play, RestartUpdateDoesNothingElseAndClearsTheVictory) {
    auto play = start(3);
    input(300, 100, 1);
    play->update(0.0f);
    input(0, 0, 0);
    for (int i = 0; i < 5; ++i) play->update(0.0f);
    ASSERT_TRUE(play->level->victory());
    ASSERT_EQ(play->rules.explosions, 1);

    // 'r' and a click on the tick mark in the same update: a restart, nothing else.
    input(750, 560, 1, {kRestart});
    play->update(0.0f);
    EXPECT_EQ(play->level->victoryTime, 0.0f);
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_EQ(record.state, 0);
    EXPECT_EQ(play->rules.time, 0);
    EXPECT_EQ(play->rules.explosions, 0);
    EXPECT_FALSE(play->level->victory());
    EXPECT_EQ(ball(*play)->getPosition(), physics::Vector2D(400, 20));

    // The button held through the restart is not a new press.
    input(750, 560, 1);
    play->update(0.0f);
    EXPECT_EQ(play->rules.explosions, 0);
    EXPECT_EQ(StateManager::nextState, nullptr);
}

TEST_F(Play, EndLevelKeepsTheFewestExplosionsAndTheirTime) {
    auto play = start(1000);
    record.level = "lvl";
    win(*play, 3, 100);
    EXPECT_EQ(record.state, 1);
    EXPECT_EQ(record.clicks, 3);
    EXPECT_EQ(record.time, 100);

    win(*play, 5, 50);
    EXPECT_EQ(record.clicks, 3);
    EXPECT_EQ(record.time, 100);

    win(*play, 2, 400);
    EXPECT_EQ(record.clicks, 2);
    EXPECT_EQ(record.time, 400);

    // Leaving a won level keeps it done and its record.
    play->endLevel(false);
    EXPECT_EQ(record.state, 1);
    EXPECT_EQ(record.clicks, 2);
}

TEST_F(Play, WinWithoutExplosionsIsNotOverwrittenByAWorseWin) {
    auto play = start(1000);
    win(*play, 0, 301);
    EXPECT_EQ(record.state, 1);
    EXPECT_EQ(record.clicks, 0);

    win(*play, 4, 900);
    EXPECT_EQ(record.clicks, 0);
    EXPECT_EQ(record.time, 301);
}

TEST_F(Play, EscapeMarksALevelNeverWonLockedAndReturnsToTheMenu) {
    auto play = start(1000);
    input(0, 0, 0, {kEscape});
    play->update(0.0f);
    EXPECT_EQ(record.state, 2);
    EXPECT_EQ(record.clicks, 0);
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

TEST_F(Play, DrawShowsSecondsExplosionsAndTheBombIcon) {
    auto play = start(1000);
    input(0, 0, 0);
    for (int i = 0; i < 125; ++i) play->update(0.0f);
    play->rules.explosions = 12;
    DrawLog::Scope log;
    play->draw();
    std::vector<DrawCall> calls = DrawLog::sprites();
    // The last four: the time "2" at (50, 540), the count "12" from 250, the bomb icon.
    ASSERT_GE(calls.size(), 4u);
    const std::size_t n = calls.size();
    EXPECT_EQ(calls[n - 4].image, "2.tga");
    EXPECT_EQ(calls[n - 4].x, 50.0f);
    EXPECT_EQ(calls[n - 4].y, 540.0f);
    EXPECT_EQ(calls[n - 3].image, "2.tga");
    EXPECT_EQ(calls[n - 3].x, 274.0f);
    EXPECT_EQ(calls[n - 2].image, "1.tga");
    EXPECT_EQ(calls[n - 2].x, 250.0f);
    EXPECT_EQ(calls[n - 1].image, "bombA.tga");
    EXPECT_EQ(calls[n - 1].x, 230.0f);
    EXPECT_FLOAT_EQ(calls[n - 1].sx, 0.4f);
}

TEST_F(Play, MissingLevelFilePlaysAnEmptyField) {
    record.level = "absent";
    StateSimulation play(record);
    EXPECT_EQ(play.level->objects.size(), 4u);  // the boundary walls
    input(0, 0, 0);
    play.update(0.0f);
    EXPECT_EQ(play.rules.time, 1);
}
