// The play state: one explosion per press, the tick-mark click of a won level,
// restarting, leaving, and the results written into the menu record.
#include "app_fixture.h"
#include "game/app/keys.h"
#include "game/app/simulation.h"
#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/render/draw_log.h"
#include "game/render/text.h"
#include "tools/level/level_source.h"
#include "tools/level/replay.h"

class Play : public AppDir {
protected:
    // A level with one ball resting on the floor, free to go anywhere, and a
    // crate far right already resting in its area: with `length`, the level is
    // won after length + 1 updates.
    std::unique_ptr<StateSimulation> start(int length) {
        writeLevel("lvl", "Length " + std::to_string(length) +
                              "\nBox 760 21 32 32 crate1.tga --victory home\nVictory home enter 760 40 80 80\n"
                              "Ball 400 20 16 orangeball.tga\n");
        record = MnuLevel();
        record.level = "lvl";
        return std::unique_ptr<StateSimulation>(new StateSimulation(record));
    }
    // The one ball of the level.
    static physics::Body<physics::TwoDee>* ball(StateSimulation& s) { return s.level->objects.back()->physics; }

    MnuLevel record;
};

TEST_F(Play, OneExplosionPerPressAndAPressNeedsEveryButtonReleasedFirst) {
    auto play = start(1000);
    const int L = buttons::LEFT, R = buttons::RIGHT;
    // Held for three updates, released, pressed; right held, then left added to it.
    const int held[] = {L, L, L, 0, L, R, R | L, 0, L};
    const int explosions[] = {1, 1, 1, 1, 2, 2, 2, 2, 3};
    for (int i = 0; i < 9; ++i) {
        input(300, 100, held[i]);
        play->update(0.0f);
        EXPECT_EQ(play->rules.explosions, explosions[i]) << "update " << i;
    }
    EXPECT_EQ(play->rules.time, 9);                   // one per update
    EXPECT_GT(ball(*play)->getPosition().x, 400.0f);  // pushed away from the pointer on its left
}

TEST_F(Play, ATickMarkClickWithinTwentyPixelsEndsAWonLevel) {
    // From the mark's centre at (750, 560). 20 px above and below also pin the
    // pointer's rows: the window counts them down from its top row, drawing row 600.
    struct Click { int dx, dy; bool ends; };
    for (const Click& click : {Click{19, 0, true}, Click{0, -20, false}, Click{0, 20, false}}) {
        StateManager::reset();
        auto play = start(1);
        input(750, 560, buttons::LEFT);
        play->update(0.0f);  // the first update in which the conditions hold: not won yet
        input(750, 560, 0);
        play->update(0.0f);
        ASSERT_TRUE(play->level->victory());
        input(750 + click.dx, 560 + click.dy, buttons::LEFT);
        play->update(0.0f);
        EXPECT_EQ(dynamic_cast<StateMenu*>(StateManager::nextState) != nullptr, click.ends) << click.dx;
        EXPECT_EQ(play->rules.explosions, 2);  // the winning click explodes all the same
        EXPECT_EQ(record.state, click.ends ? 1 : 0);
        EXPECT_EQ(record.clicks, click.ends ? 1 : 0);  // counted before the explosion of the same update
        EXPECT_EQ(record.time, click.ends ? 3 : 0);
    }
}

TEST_F(Play, RestartUpdateDoesNothingElseAndClearsTheVictory) {
    auto play = start(3);
    input(300, 100, buttons::LEFT);
    play->update(0.0f);
    input(0, 0, 0);
    for (int i = 0; i < 5; ++i) play->update(0.0f);
    ASSERT_TRUE(play->level->victory());

    // Restart and a click on the tick mark in the same update: a restart, nothing else.
    input(750, 560, buttons::LEFT, {keys::RESTART});
    play->update(0.0f);
    EXPECT_EQ(ball(*play)->getPosition(), physics::Vector2D(400, 20));
    input(750, 560, buttons::LEFT);  // the button held through the restart is not a new press
    play->update(0.0f);
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_EQ(record.state, 0);
    EXPECT_EQ(play->rules.time, 1);
    EXPECT_EQ(play->rules.explosions, 0);
    EXPECT_FALSE(play->level->victory());
}

TEST_F(Play, AWinKeepsTheFewestExplosionsAndTheirTime) {
    auto play = start(1000);
    // Won in turn with these explosions and updates; the record after each.
    struct Win { int clicks, updates, keptClicks, keptTime; };
    const Win wins[] = {{3, 100, 3, 100}, {5, 50, 3, 100}, {2, 400, 2, 400}, {0, 500, 0, 500}, {4, 90, 0, 500}};
    for (const Win& w : wins) {
        play->rules.explosions = w.clicks;
        play->rules.time = w.updates;
        play->endLevel(true);
        EXPECT_EQ(record.state, 1);
        EXPECT_EQ(record.clicks, w.keptClicks) << w.clicks << " in " << w.updates;
        EXPECT_EQ(record.time, w.keptTime) << w.clicks << " in " << w.updates;
    }
    play->endLevel(false);  // leaving a won level keeps it done, with its result
    EXPECT_EQ(record.state, 1);
    EXPECT_EQ(record.time, 500);
}

TEST_F(Play, MissingLevelPlaysAnEmptyFieldAndEscapeMarksALevelNeverWonUnfinished) {
    record.level = "absent";
    StateSimulation play(record);
    EXPECT_EQ(play.level->objects.size(), 4u);  // the boundary walls
    input(0, 0, 0);
    play.update(0.0f);
    EXPECT_EQ(play.rules.time, 1);
    input(0, 0, 0, {keys::ESCAPE});
    play.update(0.0f);
    EXPECT_EQ(record.state, 2);
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

TEST_F(Play, DrawShowsSecondsExplosionsAndTheBombIcon) {
    auto play = start(1000);
    input(0, 0, 0);
    for (int i = 0; i < 125; ++i) play->update(0.0f);
    play->rules.explosions = 12;
    DrawLog::Scope log;
    play->draw();
    std::vector<std::string> images;
    for (const DrawCall& call : DrawLog::sprites()) images.push_back(call.image);
    ASSERT_GE(images.size(), 4u);
    // 2 s, then "12" drawn last digit first, then the bomb beside the count.
    EXPECT_EQ(std::vector<std::string>(images.end() - 4, images.end()),
              (std::vector<std::string>{"2.tga", "2.tga", "1.tga", "bombA.tga"}));
}

// Every shipped level: 'h' plays the stored solution from a fresh load and wins in
// the update and with the explosions of the level tools' replay, while the
// player's clicks and a held 'h' change nothing; the level then starts afresh
// and nothing is recorded. The key line meets none of the level's labels and
// target areas.
TEST_F(Play, ShowMePlaysEachShippedSolutionAsTheToolsReplayItAndRecordsNothing) {
    const std::string data = BOXQUAKE_SHIPPED_DATA;
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(levellist::read(data + "/levels.txt", names, error)) << error;
    ASSERT_GE(names.size(), 24u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        record = MnuLevel();
        record.level = name;
        record.dir = data;
        leveltools::LevelSource source;
        ASSERT_TRUE(leveltools::loadLevelSource(data, name, source, error)) << error;
        leveltools::Solution solution;
        ASSERT_TRUE(leveltools::readCurrentSolution(record.file(".lvl"), record.file(".sol"), solution, error));
        const leveltools::ReplayResult tools = leveltools::replay(source, solution.clicks);
        ASSERT_TRUE(tools.won);

        StateSimulation play(record);
        input(400, 300, buttons::LEFT);  // the player's own attempt first
        play.update(0.0f);
        input(400, 300, buttons::LEFT, {keys::SHOW_ME});
        play.update(0.0f);
        ASSERT_TRUE(play.show.active);
        int wonAt = 0, wonWith = -1;
        const int holds = StateSimulation::MARKER_MIN * static_cast<int>(solution.clicks.size());
        for (int u = 0; u < solution.limit + StateSimulation::SHOWN_WIN_UPDATES + holds && play.show.active; ++u) {
            input(100 + u % 600, 300, (u / 3) % 2 ? buttons::LEFT : 0, {keys::SHOW_ME});
            play.update(0.0f);
            if (play.show.active && play.show.wonAt != 0 && wonAt == 0) {
                wonAt = play.rules.time;
                wonWith = play.rules.explosions;
                EXPECT_EQ(play.message, "solved with " + std::to_string(wonWith) +
                                            (wonWith == 1 ? " explosion" : " explosions"));
            }
        }
        EXPECT_EQ(wonAt, tools.wonAt);
        EXPECT_EQ(wonWith, solution.par);
        EXPECT_FALSE(play.show.active);
        EXPECT_EQ(play.rules.time, 0);
        EXPECT_FALSE(play.level->victory());
        EXPECT_EQ(record.state, progress::NEW);
        EXPECT_FALSE(std::filesystem::exists("player/progress.txt"));

        Text::Box hint = Text::box(StateSimulation::HINT, play.hintX, play.hintY, StateSimulation::HINT_SIZE);
        auto meets = [&](float l, float b, float r, float t) {
            return hint.left < r && l < hint.right && hint.bottom < t && b < hint.top;
        };
        for (const auto& [area, v] : play.level->victoryConditions) {
            EXPECT_FALSE(meets(v.x - v.w / 2.0f, v.y - v.h / 2.0f, v.x + v.w / 2.0f, v.y + v.h / 2.0f)) << area;
        }
        for (Object* object : play.level->objects) {
            if (auto* label = dynamic_cast<Text*>(object)) {
                const physics::Vector2D p = label->physics->getPosition();
                const Text::Box b = Text::box(label->text.c_str(), int(p.x), int(p.y), label->size);
                EXPECT_FALSE(meets(b.left, b.bottom, b.right, b.top)) << label->text;
            }
        }
    }
}

TEST_F(Play, ShowMeSaysWhyWithoutACurrentSolutionAndMarksEachClickBeforeItGoesOff) {
    auto play = start(1000);
    input(0, 0, 0, {keys::SHOW_ME});
    play->update(0.0f);
    EXPECT_FALSE(play->show.active);
    EXPECT_EQ(play->message, "no solution is stored for this level");
    writeFile("levels/lvl.sol", "hash 0000000000000000\npar 1\nclick 50 300 100\n");
    input(0, 0, 0);
    play->update(0.0f);
    input(0, 0, 0, {keys::SHOW_ME});
    play->update(0.0f);
    EXPECT_EQ(play->message, "the stored solution is for an older version of this level");

    const std::string hash = leveltools::levelHash(readFile("levels/lvl.lvl"));
    writeFile("levels/lvl.sol", "hash " + hash + "\npar 1\nclick 50 300 100\n");
    input(0, 0, 0);
    play->update(0.0f);
    input(0, 0, 0, {keys::SHOW_ME});
    play->update(0.0f);
    ASSERT_TRUE(play->show.active);
    auto markers = [&] {
        DrawLog::Scope log;
        play->draw();
        std::vector<DrawCall> out;
        for (const DrawCall& call : DrawLog::sprites()) {
            if (call.image == "marker.tga") out.push_back(call);
        }
        return out;
    };
    // Marked from MARKER_LEAD updates before update 50, at (300, 100), until it goes off.
    for (int u = 1; u <= 51; ++u) {
        play->update(0.0f);
        const std::vector<DrawCall> shown = markers();
        EXPECT_EQ(shown.size(), u >= 50 - StateSimulation::MARKER_LEAD && u < 50 ? 1u : 0u) << u;
        if (!shown.empty()) {
            EXPECT_EQ(std::make_pair(shown[0].x, shown[0].y), std::make_pair(300.0f, 100.0f));
        }
    }
    EXPECT_EQ(play->rules.explosions, 1);
    input(0, 0, 0, {keys::RESTART});  // 'r' stops the showing
    play->update(0.0f);
    EXPECT_FALSE(play->show.active);
    EXPECT_EQ(play->rules.explosions, 0);

    // A click too soon to be seen: the level holds still at its update until the
    // marker has shown MARKER_MIN updates, and the click goes off in the next.
    writeFile("levels/lvl.sol", "hash " + hash + "\npar 1\nclick 3 300 100\n");
    input(0, 0, 0, {keys::SHOW_ME});
    play->update(0.0f);
    int u = 0;
    while (play->rules.explosions == 0 && u < 100) {
        ++u;
        input(0, 0, 0);
        play->update(0.0f);
        EXPECT_EQ(markers().size(), play->rules.explosions == 0 ? 1u : 0u) << u;
    }
    EXPECT_EQ(u, StateSimulation::MARKER_MIN + 1);
    EXPECT_EQ(play->rules.time, 3);
}
