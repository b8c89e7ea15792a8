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

TEST_F(MenuList, ReadsTheNamesAndLeavesOutWhatTheGameCannotOpen) {
    StateMenu::listLevels("levels.txt");  // none yet
    EXPECT_TRUE(StateMenu::levelList.empty());
    const std::string longest(50, 'x'), tooLong(51, 'y');
    const std::string list =
        "first\r\n\n" + tooLong + "\n../../etc/passwd\r\n\r\n padded\ntab\t\n" + longest + "\nlast";
    writeFile("levels.txt", list);
    ASSERT_EQ(chmod("levels.txt", 0444), 0);  // an installed list: read, never written
    testing::internal::CaptureStdout();
    StateMenu::listLevels("levels.txt");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(names(), (std::vector<std::string>{"first", longest, "last"}));
    const std::string refused[] = {tooLong, "../../etc/passwd", " padded", "tab\t"};
    for (const std::string& bad : refused) {
        EXPECT_NE(out.find("levels.txt: \"" + bad + "\" is not a level name"), std::string::npos) << bad;
    }
    EXPECT_EQ(readFile("levels.txt"), list);
}

using Menu = AppDir;

TEST_F(Menu, HoverShowsTheResultAndAClickPinsTheIconAndStartsThatLevel) {
    writeFile("levels.txt", "a\n\nb\n");
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
    for (int i = 0; i < 30; ++i) list += "level" + std::to_string(i) + "\n";
    writeFile("levels.txt", list);
    StateMenu menu;
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
