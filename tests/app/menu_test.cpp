// The level menu: the level list, hovering, choosing a level, the seventh row,
// the editor key, Escape, and icons coming to rest after the blast.
#include <sys/stat.h>

#include <algorithm>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/app/keys.h"
#include "game/app/simulation.h"
#include "game/render/draw_log.h"
#include "game/render/spritemanager.h"

namespace {

// Updates a menu through its fade-in to its first normal update, as the state
// manager would: in() for v rising to 1, then update().
void finishFadeIn(StateMenu& menu) {
    for (int i = 1; i <= 60; ++i) menu.in(i / 60.0f, i / 60.0f);
}

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const MnuLevel& r : StateMenu::levelList) out.push_back(r.level);
    return out;
}

}  // namespace

using MenuList = AppDir;

TEST_F(MenuList, ReadsTheNamesAndLeavesOutWhatTheGameCannotOpenSayingWhereAndWhy) {
    testing::internal::CaptureStderr();
    StateMenu::listLevels("levels.txt");  // none yet
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "levels.txt: cannot read the level list\n");
    EXPECT_TRUE(StateMenu::levelList.empty());
    const std::string longest(50, 'x'), tooLong(51, 'y');
    const std::string list = "first\r\n\n" + tooLong + "\n../../etc/passwd\r\n\r\n padded\ntab\t\n" + longest +
                             "\nghost\nfirst\nlast";
    touchLevels({"first", longest, "last"});
    writeFile("levels.txt", list);
    ASSERT_EQ(chmod("levels.txt", 0444), 0);  // an installed list: read, never written
    testing::internal::CaptureStderr();
    StateMenu::listLevels("levels.txt");
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(names(), (std::vector<std::string>{"first", longest, "last"}));
    const std::string said[] = {
        "levels.txt, line 3: \"" + tooLong + "\" is not a level name",
        "levels.txt, line 4: \"../../etc/passwd\" is not a level name",
        "levels.txt, line 6: \" padded\" is not a level name",
        "levels.txt, line 7: \"tab\\x09\" is not a level name",  // shown escaped
        "levels.txt, line 9: ./levels/ghost.lvl cannot be read (No such file or directory); left out\n",
        "levels.txt, line 10: \"first\" is listed already; left out\n"};
    for (const std::string& message : said) EXPECT_NE(out.find(message), std::string::npos) << message;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 6) << out;  // one line each
    EXPECT_EQ(readFile("levels.txt"), list);
}

TEST_F(MenuList, ThePlayersSavedLevelsFollowTheShippedOnesWithTheirProgress) {
    writeFile("levels.txt", "a\nb\n");
    touchLevels({"a", "b"});
    writeFile("player/levels.txt", "mine\na\n");  // a saved level named as a shipped one is left out
    touchLevels({"mine"}, "player");
    writeFile("player/progress.txt", "# boxquake progress\nwon 2 700 mine\nunfinished 0 0 b\nwon 1 60 gone\n");
    StateMenu::listAll();
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "mine"}));
    const MnuLevel& mine = StateMenu::levelList[2];
    EXPECT_EQ(mine.file(".lvl"), places::playerDir() + "/levels/mine.lvl");
    EXPECT_EQ(StateMenu::levelList[0].state, progress::NEW);
    EXPECT_EQ(StateMenu::levelList[1].state, progress::UNFINISHED);
    EXPECT_EQ(std::vector<int>({mine.state, mine.clicks, mine.time}), std::vector<int>({progress::WON, 2, 700}));

    // Every result is written at once; lines of levels not listed now are kept.
    StateMenu::recordResult(StateMenu::levelList[0], true, 3, 400);
    StateMenu::recordResult(StateMenu::levelList[2], true, 1, 900);
    EXPECT_EQ(readFile("player/progress.txt"),
              "# boxquake progress\nwon 3 400 a\nunfinished 0 0 b\nwon 1 60 gone\nwon 1 900 mine\n");
    EXPECT_FALSE(std::filesystem::exists("player/progress.txt.tmp"));
}

TEST_F(MenuList, ACorruptProgressIsKeptAsideAndAnUnwritableOneSaysSoOnce) {
    writeFile("levels.txt", "a\n");
    touchLevels({"a"});
    const std::string corrupt[] = {"won two 3 a\n", "won 1 2\n", "lost 1 2 a\n", std::string("\0\xff\x01", 3)};
    const char* why[] = {"line 1: the explosions are not a whole number", "line 1: no level name",
                         "line 1: \"lost\" is not new, won or unfinished", "line 1: \""};
    for (int i = 0; i < 4; ++i) {
        writeFile("player/progress.txt", corrupt[i]);
        StateMenu::levelList.clear();
        testing::internal::CaptureStderr();
        StateMenu::listAll();
        const std::string out = testing::internal::GetCapturedStderr();
        const std::string aside = "player/progress.txt.bad" + (i == 0 ? std::string() : std::to_string(i + 1));
        EXPECT_NE(out.find("progress.txt, " + std::string(why[i])), std::string::npos) << out;
        EXPECT_NE(out.find("; kept as " + places::playerDir() + aside.substr(6) + ", progress starts afresh\n"),
                  std::string::npos) << out;
        EXPECT_EQ(readFile(aside), corrupt[i]);  // every bad file kept, none overwritten
        EXPECT_EQ(StateMenu::levelList[0].state, progress::NEW);
        StateMenu::recordResult(StateMenu::levelList[0], false, 0, 0);
        EXPECT_EQ(readFile("player/progress.txt"), "# boxquake progress\nunfinished 0 0 a\n");
    }

    // A player directory that cannot be made: one message, and play goes on in memory.
    std::filesystem::remove_all("player");
    writeFile("player", "a file where the directory should be");
    StateMenu::levelList.clear();
    StateMenu::listAll();
    testing::internal::CaptureStderr();
    StateMenu::recordResult(StateMenu::levelList[0], true, 4, 100);
    StateMenu::recordResult(StateMenu::levelList[0], true, 2, 300);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.rfind("Could not save the progress to " + places::playerDir() + "/progress.txt: Not a directory", 0),
              0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_EQ(StateMenu::levelList[0].clicks, 2);
    EXPECT_EQ(readFile("player"), "a file where the directory should be");
}

using Menu = AppDir;

TEST_F(Menu, HoverShowsTheResultAndAClickPinsTheIconAndStartsThatLevel) {
    writeFile("levels.txt", "a\n\nb\n");
    touchLevels({"a", "b"});
    StateMenu menu;
    StateMenu::levelList[0] = {1, "a", 7, 600};  // done: 7 explosions in 600 updates (10 s)
    StateMenu::levelList[1].state = 2;
    finishFadeIn(menu);

    // Icons 0, 1 and 2 rest at x = 100, 125 and 150 on the row y = 300; icon 2 has
    // no level: hovering shows nothing and a click there chooses nothing.
    struct Point { int x, buttons; const MnuLevel* hover; };
    const Point points[] = {{125, 0, &StateMenu::levelList[1]}, {150, buttons::LEFT, nullptr}, {300, 0, nullptr},
                            {100, 0, &StateMenu::levelList[0]}};
    for (const Point& p : points) {
        input(p.x, 300, p.buttons);
        menu.update(1.0f);
        EXPECT_EQ(menu.hover, p.hover) << p.x;
    }
    EXPECT_EQ(StateManager::nextState, nullptr);
    {
        DrawLog::Scope log;
        menu.draw();
        std::vector<std::string> images;
        for (const DrawCall& call : DrawLog::sprites()) images.push_back(call.image);
        std::vector<std::string> expected = {"backdrop3.tga", "lvldone.tga", "lvllocked.tga"};
        expected.insert(expected.end(), 22, "lvlnone.tga");
        expected.insert(expected.end(), {"0.tga", "1.tga", "7.tga"});  // "10" drawn last digit first, then "7"
        EXPECT_EQ(images, expected);
    }

    input(125, 300, buttons::LEFT);
    menu.update(1.2f);
    auto* next = dynamic_cast<StateSimulation*>(StateManager::nextState);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(&next->data, &StateMenu::levelList[1]);
    input(100, 300, buttons::LEFT);  // locked now: another click changes nothing
    menu.update(1.3f);
    EXPECT_EQ(StateManager::nextState, next);

    // The chosen icon is pinned; the blast throws its neighbours away from it.
    for (int i = 0; i < 30; ++i) menu.out(2.0f + i / 60.0f, 1.0f - i / 60.0f);
    EXPECT_EQ(menu.world.bodies[1]->getPosition(), physics::Vector2D(125, 300));
    EXPECT_LT(menu.world.bodies[0]->getPosition().x, 100.0f - 5.0f);
    EXPECT_GT(menu.world.bodies[2]->getPosition().x, 150.0f + 5.0f);
}

TEST_F(Menu, LevelsAfterTheTwentyFourthGetASeventhRowAtRestAndTheEditorKeyOpensTheEditor) {
    std::string list;
    for (int i = 0; i < 30; ++i) {
        list += "level" + std::to_string(i) + "\n";
        touchLevels({"level" + std::to_string(i)});
    }
    writeFile("levels.txt", list);
    testing::internal::CaptureStderr();
    StateMenu menu;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "30 levels are listed (30 shipped, 0 of yours); the menu shows the first 28\n");
    ASSERT_EQ(menu.world.bodies.size(), 28u);  // levels 28 and 29 have no icon
    // A stall: the fade-in ends with the lower rows still far off to the left, so
    // the first update must put every icon at rest before one can be chosen.
    menu.in(0.5f, 0.5f);
    ASSERT_LT(menu.world.bodies[20]->getPosition().x, 0.0f);
    // Icon 23 ends the 4 x 6 block; icon 27 (column 3, row 6) rests at (100 + 75 + 36, 150).
    struct Icon { int x, y, level; };
    for (const Icon& icon : {Icon{200, 175, 23}, Icon{211, 150, 27}}) {
        input(icon.x, icon.y, 0);
        menu.update(1.0f);
        EXPECT_EQ(menu.hover, &StateMenu::levelList[icon.level]) << icon.level;
    }
    input(0, 0, 0, {keys::EDITOR});
    menu.update(1.1f);
    EXPECT_NE(dynamic_cast<StateEditor*>(StateManager::nextState), nullptr);
    // The list is read by the first menu only: coming back to the menu lists nothing twice.
    writeFile("levels.txt", "changed\n");
    { StateMenu again; }
    EXPECT_EQ(StateMenu::levelList.size(), 30u);
}

TEST_F(Menu, EscapeEndsTheProcessWithStatusZeroAndReleasesThePictures) {
    EXPECT_EXIT(
        {
            // Runs at exit before the cache itself is destroyed: a picture still
            // cached then would be lost without its texture being freed.
            std::atexit([] { if (!SpriteManager::sprites.empty()) _exit(7); });
            SpriteManager::get("tick.tga");
            StateMenu menu;
            input(0, 0, 0, {keys::ESCAPE});
            menu.update(1.0f);
            std::exit(3);  // not reached when Escape works
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Menu, IconsThatLandOnThePinnedIconComeToRest) {
    // The icons' world falls at 100 px/s^2: every resting contact gathers 1.7 px/s
    // of approach per update, which must not count as an impact to bounce from.
    writeFile("levels.txt", "a\nb\n");
    touchLevels({"a", "b"});
    StateMenu menu;
    finishFadeIn(menu);
    input(100, 300, buttons::LEFT);  // icon 0 is chosen and pinned; the blast throws the others away
    menu.update(1.0f);
    ASSERT_TRUE(menu.world.bodies[0]->isStatic());
    // Icons 1 and 2 come down onto the pinned icon (16 px icons), one on the other.
    physics::Body<physics::TwoDee>* stack[2] = {menu.world.bodies[1], menu.world.bodies[2]};
    for (int i = 0; i < 2; ++i) {
        stack[i]->setPosition(physics::Vector2D(100.0f, 318.0f + 18.0f * i));
        stack[i]->setVelocity(physics::Vector2D(0.0f, -20.0f));
    }
    float fastest = 0.0f;  // after the first second, px/s
    for (int i = 0; i < 600; ++i) {
        menu.out(2.0f + i / 60.0f, 1.0f);
        if (i < 60) continue;
        for (auto* icon : stack) fastest = std::max(fastest, icon->getVelocity().length());
    }
    EXPECT_LT(fastest, 0.5f);
    EXPECT_NEAR(stack[1]->getPosition().x, 100.0f, 0.5f);
    EXPECT_NEAR(stack[1]->getPosition().y, 332.0f, 0.5f);
}
