// The level menu: the level list, where the icons rest and fly in, hovering,
// choosing a level, the editor key and Escape.
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/app/simulation.h"
#include "game/render/draw_log.h"
#include "game/render/spritemanager.h"

namespace {

const int kEscape = 27;
const int kEditorKey = 101;

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

TEST_F(MenuList, SkipsEmptyLinesAndDropsCarriageReturns) {
    writeFile("levels.txt", "a\n\nb\r\n\r\nc");
    StateMenu::listLevels("levels.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c"}));
    for (const MnuLevel& r : StateMenu::levelList) {
        EXPECT_EQ(r.state, 0);
        EXPECT_EQ(r.clicks, 0);
        EXPECT_EQ(r.time, 0);
    }
}

TEST_F(MenuList, NamesTheGameCannotOpenAreLeftOutWithAMessage) {
    const std::string longest(50, 'x');
    writeFile("levels.txt", "first\n" + std::string(51, 'y') + "\n../../etc/passwd\n padded\ntab\t\n" + longest + "\nlast");
    testing::internal::CaptureStdout();
    StateMenu::listLevels("levels.txt");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(names(), (std::vector<std::string>{"first", longest, "last"}));
    for (const char* bad : {"\"yyyy", "\"../../etc/passwd\"", "\" padded\"", "\"tab\t\""}) {
        EXPECT_NE(out.find(std::string("levels.txt: ") + bad), std::string::npos) << bad;
    }
}

TEST_F(MenuList, MissingFileAddsNothingAndReadOnlyFileStillLoads) {
    StateMenu::listLevels("levels.txt");
    EXPECT_TRUE(StateMenu::levelList.empty());

    writeFile("levels.txt", "one\ntwo\n");
    ASSERT_EQ(chmod("levels.txt", 0444), 0);
    StateMenu::listLevels("levels.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(readFile("levels.txt"), "one\ntwo\n");  // never written
}

TEST_F(MenuList, ListIsReadByTheFirstMenuOnlyAndAddLevelSkipsDuplicates) {
    writeFile("levels.txt", "a\nb\n");
    { StateMenu menu; }
    writeFile("levels.txt", "changed\n");
    { StateMenu menu; }
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));

    MnuLevel* first = &StateMenu::levelList[0];
    EXPECT_FALSE(StateMenu::addLevel("b"));
    EXPECT_TRUE(StateMenu::addLevel("mine"));
    EXPECT_FALSE(StateMenu::addLevel(""));
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "mine"}));
    EXPECT_EQ(first, &StateMenu::levelList[0]);  // records the play state holds stay put
}

TEST(MenuIcons, RestPositionsFormAShiftedBlock) {
    EXPECT_EQ(StateMenu::restPosition(0), physics::Vector2D(100, 300));
    EXPECT_EQ(StateMenu::restPosition(3), physics::Vector2D(175, 300));
    EXPECT_EQ(StateMenu::restPosition(20), physics::Vector2D(125, 175));
    EXPECT_EQ(StateMenu::restPosition(23), physics::Vector2D(200, 175));
    EXPECT_EQ(StateMenu::restPosition(6), physics::Vector2D(151, 275));  // row 1 shifted by 1
}

TEST(MenuIcons, FlyInStartsTopRightFirstAndEasesIn) {
    // At v = 0 every icon is at least 400 pixels left of its place.
    for (int i = 0; i < StateMenu::ICONS; ++i) {
        EXPECT_LE(StateMenu::flyInPosition(i, 0.0f).x, StateMenu::restPosition(i).x - 400.0f) << i;
        EXPECT_EQ(StateMenu::flyInPosition(i, 0.0f).y, StateMenu::restPosition(i).y) << i;
    }
    // Halfway: icon 3 (no delay) has arrived; icon 20 (delay 19/24) is far off.
    EXPECT_EQ(StateMenu::flyInPosition(3, 0.5f), physics::Vector2D(175, 300));
    EXPECT_EQ(StateMenu::flyInPosition(20, 0.5f), physics::Vector2D(-7975, 175));
    // Icon 3 (no delay) at v = 1/16: d = 1 - 12/16 = 1/4, x = 175 - 400/16 = 150.
    EXPECT_EQ(StateMenu::flyInPosition(3, 0.0625f).x, 150.0f);
    // Icon 7 (delay 3.2/24) has not started at v = 0.1: d > 1.
    EXPECT_LT(StateMenu::flyInPosition(7, 0.1f).x, StateMenu::restPosition(7).x - 400.0f);
    // Every icon rests by v = 0.875 and after.
    for (int i = 0; i < StateMenu::ICONS; ++i) {
        EXPECT_EQ(StateMenu::flyInPosition(i, 0.875f), StateMenu::restPosition(i)) << i;
        EXPECT_EQ(StateMenu::flyInPosition(i, 1.0f), StateMenu::restPosition(i)) << i;
    }
}

using Menu = AppDir;

TEST_F(Menu, FirstUpdatePlacesIconsLeftOffScreenByAShortFadeIn) {
    StateMenu menu;
    ASSERT_EQ(menu.world.bodies.size(), 24u);
    EXPECT_EQ(menu.world.getGravity(), physics::Vector2D(0, -100));
    menu.in(0.5f, 0.5f);  // a stall: the next call is already the first update
    EXPECT_EQ(menu.world.bodies[20]->getPosition().x, -7975.0f);
    input(0, 0, 0);
    menu.update(1.0f);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(menu.world.bodies[i]->getPosition(), StateMenu::restPosition(i)) << i;
}

TEST_F(Menu, IconsShowRecordStatesAndHoverShowsTheResult) {
    writeFile("levels.txt", "a\n\nb\n");
    StateMenu menu;
    StateMenu::levelList[0].state = 1;
    StateMenu::levelList[0].time = 600;
    StateMenu::levelList[0].clicks = 7;
    StateMenu::levelList[1].state = 2;
    finishFadeIn(menu);

    input(100, 300, 0);  // over icon 0
    menu.update(1.0f);
    ASSERT_EQ(menu.hover, &StateMenu::levelList[0]);
    {
        DrawLog::Scope log;
        menu.draw();
        std::vector<DrawCall> calls = DrawLog::sprites();
        ASSERT_GE(calls.size(), 25u + 2u);
        EXPECT_EQ(calls[0].image, "backdrop3.tga");
        EXPECT_FLOAT_EQ(calls[0].sx, 800.0f / 64.0f);
        EXPECT_FLOAT_EQ(calls[0].sy, 600.0f / 48.0f);
        EXPECT_EQ(calls[1].image, "lvldone.tga");
        EXPECT_EQ(calls[2].image, "lvllocked.tga");
        for (int i = 3; i <= 24; ++i) EXPECT_EQ(calls[i].image, "lvlnone.tga") << i;
        EXPECT_EQ(calls[4].x, 175.0f);
        EXPECT_EQ(calls[4].y, 300.0f);
        // Time 600 updates = 10 s at (220, 300), then 7 explosions at (280, 300), half size.
        ASSERT_EQ(calls.size(), 25u + 3u);
        // Digits are drawn last first: "0" at 220 + 24 * 0.5, then "1" at 220.
        EXPECT_EQ(calls[25].image, "0.tga");
        EXPECT_EQ(calls[25].x, 232.0f);
        EXPECT_EQ(calls[26].image, "1.tga");
        EXPECT_EQ(calls[26].x, 220.0f);
        EXPECT_EQ(calls[27].image, "7.tga");
        EXPECT_EQ(calls[27].x, 280.0f);
        EXPECT_EQ(calls[27].sx, 0.5f);
    }

    input(300, 300, 0);  // over nothing
    menu.update(1.1f);
    EXPECT_EQ(menu.hover, nullptr);
    input(150, 300, 0);  // over icon 2, which has no record: nothing to hover
    menu.update(1.2f);
    EXPECT_EQ(menu.hover, nullptr);
}

TEST_F(Menu, ClickPinsTheIconStartsTheLevelAndBlowsTheOthersAway) {
    writeFile("levels.txt", "a\nb\n");
    writeLevel("b", "Length 5\n");
    StateMenu menu;
    finishFadeIn(menu);
    input(125, 300, 1);  // icon 1
    menu.update(1.0f);
    EXPECT_TRUE(menu.lockInput);
    auto* next = dynamic_cast<StateSimulation*>(StateManager::nextState);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(&next->data, &StateMenu::levelList[1]);
    EXPECT_TRUE(menu.world.bodies[1]->isStatic());

    // Locked: a click elsewhere changes nothing.
    State* requested = StateManager::nextState;
    input(100, 300, 1);
    menu.update(1.1f);
    EXPECT_EQ(StateManager::nextState, requested);
    EXPECT_EQ(menu.hover, nullptr);

    for (int i = 0; i < 30; ++i) menu.out(2.0f + i / 60.0f, 1.0f - i / 60.0f);
    EXPECT_EQ(menu.world.bodies[1]->getPosition(), physics::Vector2D(125, 300));
    const physics::Vector2D left = menu.world.bodies[0]->getPosition();
    const physics::Vector2D right = menu.world.bodies[2]->getPosition();
    EXPECT_LT(left.x, 100.0f - 5.0f);   // thrown left, away from the chosen icon
    EXPECT_GT(right.x, 150.0f + 5.0f);  // thrown right
}

TEST_F(Menu, LevelsAfterTheTwentyFourthGetASeventhRowUpTo28) {
    std::string list;
    for (int i = 0; i < 30; ++i) list += "level" + std::to_string(i) + "\n";
    writeFile("levels.txt", list);
    StateMenu menu;
    finishFadeIn(menu);
    ASSERT_EQ(StateMenu::levelList.size(), 30u);
    ASSERT_EQ(menu.world.bodies.size(), 28u);
    input(200, 175, 0);  // icon 23, the last of the 4 x 6 block
    menu.update(1.0f);
    EXPECT_EQ(menu.hover, &StateMenu::levelList[23]);
    // Icon 27 (column 3, row 6) rests at (100 + 75 + 36, 150) and stands for level 27.
    EXPECT_EQ(StateMenu::restPosition(27), physics::Vector2D(211, 150));
    input(211, 150, 0);
    menu.update(1.1f);
    EXPECT_EQ(menu.hover, &StateMenu::levelList[27]);
    // Levels 28 and 29 have no icon.
    EXPECT_EQ(StateMenu::iconCount(30), 28);
    EXPECT_EQ(StateMenu::iconCount(25), 25);
    EXPECT_EQ(StateMenu::iconCount(3), 24);
}

TEST_F(Menu, WithoutAListEveryIconIsEmptyAndNothingCanBeChosen) {
    StateMenu menu;
    finishFadeIn(menu);
    input(100, 300, 1);
    menu.update(1.0f);
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_FALSE(menu.lockInput);
    DrawLog::Scope log;
    menu.draw();
    EXPECT_EQ(DrawLog::sprites("lvlnone.tga").size(), 24u);
}

TEST_F(Menu, EditorKeyRequestsTheEditor) {
    StateMenu menu;
    finishFadeIn(menu);
    input(0, 0, 0, {kEditorKey});
    menu.update(1.0f);
    EXPECT_NE(dynamic_cast<StateEditor*>(StateManager::nextState), nullptr);
}

TEST_F(Menu, EscapeEndsTheProcessWithStatusZeroAndReleasesThePictures) {
    EXPECT_EXIT(
        {
            // Runs at exit before the cache itself is destroyed: a picture still
            // cached then would be lost without its texture being freed.
            std::atexit([] {
                if (!SpriteManager::sprites.empty()) _exit(7);
            });
            SpriteManager::get("tick.tga");
            StateMenu menu;
            input(0, 0, 0, {kEscape});
            menu.update(1.0f);
            std::exit(3);  // not reached when Escape works
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Menu, IconsThatLandOnThePinnedIconComeToRest) {
    // The icons' world falls at 100 px/s^2: every resting contact gathers 1.7 px/s
    // of approach per update, which must not count as an impact to bounce from.
    writeFile("levels.txt", "a\nb\n");
    writeLevel("a", "Length 5\n");
    StateMenu menu;
    finishFadeIn(menu);
    input(100, 300, 1);  // icon 0 is chosen and pinned; the blast throws the others away
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
