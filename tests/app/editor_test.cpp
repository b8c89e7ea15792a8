// The level editor: templates, creating and sizing, selecting and dragging,
// snapping, deleting, test mode, Escape back to the menu, and saving.
#include <algorithm>
#include <typeinfo>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/app/keys.h"
#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/staticbox.h"
#include "game/render/animation.h"
#include "game/render/text.h"
#include "physics/physics.h"

class Editor : public AppDir {
protected:
    void SetUp() override {
        AppDir::SetUp();
        editor.reset(new StateEditor);
    }
    void TearDown() override {
        editor.reset();
        AppDir::TearDown();
    }

    // One update with the pointer at (x, y), `buttons` and `keys` held.
    void step(int x, int y, int buttons, std::initializer_list<int> keys = {}) {
        input(x, y, buttons, keys);
        editor->update(clock);
        clock += 1.0f / 60.0f;
    }
    // Objects the editor placed: everything after the four boundary walls.
    std::vector<Object*> placed() const {
        return std::vector<Object*>(std::next(editor->level->objects.begin(), 4), editor->level->objects.end());
    }
    // Whether draw() writes `text` over the level now.
    bool shows(const std::string& text) const {
        const std::vector<StateEditor::Label> labels = editor->labels();
        return std::any_of(labels.begin(), labels.end(), [&](const StateEditor::Label& l) { return l.text == text; });
    }

    std::unique_ptr<StateEditor> editor;
    float clock = 0.0f;
};

TEST_F(Editor, DigitKeysChooseTheTemplateThatARightClickBuilds) {
    const char* names[] = {"1. StaticBox", "2. Ball", "3. Box", "4. BlackHole", "5. Text"};
    const std::type_info* kinds[] = {&typeid(StaticBox), &typeid(Ball), &typeid(Box), &typeid(BlackHole), &typeid(Text)};
    for (int i = 0; i < 5; ++i) {
        step(0, 0, 0, {keys::DIGIT_1 + i});
        const std::vector<StateEditor::Label> labels = editor->labels();
        EXPECT_EQ(labels[1 + i].text, names[i]);
        EXPECT_EQ(labels[1 + i].colour, 0xff0000) << names[i];  // the chosen template in red, the others yellow
        EXPECT_EQ(labels[1 + (i + 1) % 5].colour, 0xffff00) << names[i];
        step(100 + 120 * i, 300, buttons::RIGHT);
        step(100 + 120 * i, 300, 0);
        ASSERT_EQ(placed().size(), i + 1u);
        EXPECT_EQ(typeid(*placed().back()), *kinds[i]) << names[i];
    }
    // Only slots in use whose words the registry can build make anything.
    editor->addTemplate("Nonsense", "1", "2", nullptr, nullptr, nullptr, nullptr);
    for (int slot : {-1, 5, 6}) EXPECT_FALSE(editor->addObject(slot, {300, 300}, 0)) << slot;
    EXPECT_EQ(placed().size(), 5u);
}

TEST_F(Editor, RightButtonCreatesAtThePointerAndSizesWhileHeldOrResizesWhatItPresses) {
    step(0, 0, 0, {keys::DIGIT_1 + 2});  // Box
    // Held from the first update: sized from the centre (300, 200) to the pointer, at least 5 x 5.
    struct Drag { int x, y; float width, height; };
    for (const Drag& d : {Drag{300, 200, 5, 5}, Drag{330, 190, 30, 10}, Drag{302, 260, 5, 60}}) {
        step(d.x, d.y, buttons::RIGHT);
        ASSERT_EQ(placed().size(), 1u);
        auto* box = static_cast<Box*>(placed().back());
        EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(300, 200));
        EXPECT_EQ(box->width, d.width) << d.x << ',' << d.y;
        EXPECT_EQ(box->height, d.height) << d.x << ',' << d.y;
    }
    step(302, 260, 0);
    ASSERT_TRUE(editor->addObject(0, {500, 300}, 0));
    auto* wall = static_cast<StaticBox*>(placed().back());
    step(510, 305, buttons::RIGHT);  // on the wall: selected and resized, nothing new
    step(510, 305, 0);
    EXPECT_EQ(editor->select, wall);
    EXPECT_EQ(placed().size(), 2u);
    EXPECT_EQ(wall->width, 10.0f);
    EXPECT_EQ(wall->height, 5.0f);

    step(0, 0, 0, {keys::DIGIT_1 + 1});  // a ball's radius is the straight distance
    step(500, 450, buttons::RIGHT);
    step(530, 490, buttons::RIGHT);
    EXPECT_FLOAT_EQ(static_cast<Ball*>(placed().back())->radius, 50.0f);
}

TEST_F(Editor, LeftButtonSelectsAndDragsKeepingItsOffsetAndShiftSnapsDown) {
    EXPECT_EQ(StateEditor::snapped({-3, -7.5f}, 5), physics::Vector2D(-5, -10));  // down, also below zero
    EXPECT_EQ(StateEditor::snapped({10, 7.5f}, 0), physics::Vector2D(10, 7.5f));
    ASSERT_TRUE(editor->addObject(2, {303.9f, 297.2f}, 5));
    Object* box = placed().back();
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(300, 295));
    step(310, 285, buttons::LEFT);
    EXPECT_EQ(editor->select, box);
    step(410, 190, buttons::LEFT);  // keeps the offset (-10, 10)
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(400, 200));
    EXPECT_EQ(box->cachedPosition, physics::Vector2D(400, 200));
    step(410, 190, 0);
    step(600, 500, buttons::LEFT);  // empty space
    EXPECT_EQ(editor->select, nullptr);
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(400, 200));
    step(600, 500, 0);

    step(402, 198, buttons::LEFT, {keys::LEFT_SHIFT});  // offset (-2, 2)
    step(430, 231, buttons::LEFT, {keys::LEFT_SHIFT});  // (428, 233) snaps to (425, 230)
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(425, 230));
}

TEST_F(Editor, DeleteRemovesTheSelectionEvenABoundaryWallAndNothingWithoutOne) {
    ASSERT_TRUE(editor->addObject(1, {300, 300}, 0));
    ASSERT_TRUE(editor->addObject(3, {500, 300}, 0));
    step(0, 0, 0, {keys::DELETE});
    EXPECT_EQ(placed().size(), 2u);
    step(300, 300, buttons::LEFT, {keys::DELETE});
    ASSERT_EQ(placed().size(), 1u);
    EXPECT_NE(dynamic_cast<BlackHole*>(placed()[0]), nullptr);
    EXPECT_EQ(editor->select, nullptr);
    step(0, 0, 0);

    Object* floor = editor->level->objects.front();
    step(400, 3, buttons::LEFT);  // near the window's edge
    step(400, 50, buttons::LEFT);
    EXPECT_EQ(floor->physics->getPosition(), physics::Vector2D(400, 42));
    step(400, 50, 0, {keys::DELETE});
    EXPECT_EQ(editor->level->objects.size(), 4u);
}

TEST_F(Editor, TestModeRunsTheLevelAndEscapePutsEverythingBack) {
    ASSERT_TRUE(editor->addObject(1, {300, 300}, 0));
    Object* ball = placed().back();
    step(0, 0, 0, {keys::RETURN});
    step(0, 0, 0, {keys::DIGIT_1 + 4, keys::SAVE});  // no template choice and no save while testing
    EXPECT_EQ(editor->cTemplate, 0);
    EXPECT_FALSE(std::filesystem::exists(StateEditor::SAVE_PATH));
    EXPECT_TRUE(shows("Level Editor - Test Mode"));
    EXPECT_LT(ball->physics->getPosition().y, 300.0f);  // falling

    editor->select = ball;  // right clicks and Delete do nothing; a left click explodes
    step(700, 500, buttons::RIGHT, {keys::DELETE});
    step(700, 500, 0);
    EXPECT_EQ(placed().size(), 1u);
    const float before = ball->physics->getVelocity().x;
    step(250, 290, buttons::LEFT);
    EXPECT_GT(ball->physics->getVelocity().x, before + 50.0f);
    ASSERT_GT(editor->level->victoryTime, 0.0f);  // nothing to meet: the clock runs

    step(0, 0, 0, {keys::ESCAPE});
    EXPECT_TRUE(editor->edit);
    EXPECT_EQ(ball->physics->getPosition(), physics::Vector2D(300, 300));
    EXPECT_EQ(editor->level->victoryTime, 0.0f);  // and is hidden again while editing
    EXPECT_EQ(editor->level->clock->frame, 10u);
    step(0, 0, 0, {keys::ESCAPE});  // still held: the same press does not leave the editor
    EXPECT_EQ(StateManager::nextState, nullptr);
    step(0, 0, 0);
    step(0, 0, 0, {keys::ESCAPE});
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

TEST_F(Editor, ResizingAfterTestModeDropsTheContactsOfTheOldShape) {
    ASSERT_TRUE(editor->addObject(2, {400, 22}, 0));
    Object* box = placed().back();
    step(0, 0, 0, {keys::RETURN});
    for (int i = 0; i < 30; ++i) step(0, 0, 0);
    ASSERT_FALSE(box->physics->contacts.empty());  // resting on the floor
    step(0, 0, 0, {keys::ESCAPE});
    step(0, 0, 0);
    step(400, 22, buttons::RIGHT);
    step(440, 52, buttons::RIGHT);  // 40 x 30 now
    EXPECT_TRUE(box->physics->contacts.empty());
    step(440, 52, 0);

    step(0, 0, 0, {keys::RETURN});  // running again builds fresh contacts on the new shape
    for (int i = 0; i < 60; ++i) step(0, 0, 0);
    EXPECT_FALSE(box->physics->contacts.empty());
    EXPECT_NEAR(box->physics->getPosition().y, 20.0f, 2.0f);  // 30 high, on the floor at y = 5
}

// --- Saving ---

TEST_F(Editor, SaveWritesTheLevelListsItOnceAndShowsTheResultForTwoSeconds) {
    ASSERT_TRUE(editor->addObject(0, {200, 300}, 0));
    ASSERT_TRUE(editor->addObject(1, {300, 400}, 0));
    ASSERT_TRUE(editor->addObject(4, {500, 500}, 0));
    writeFile("levels.txt", "first\r\nsecond");  // no line break at the end
    StateMenu::listLevels("levels.txt");
    const std::string head = "# boxquake user level\nBackground backdrop2.tga\nLength 300\nStaticBox 200 300 32 32 wall.tga\n";
    const std::string label = "Text 486 486 29 0xffff00 \"Some text\"\n";

    step(0, 0, 0, {keys::SAVE});
    EXPECT_EQ(readFile("levels/mylevel1.lvl"), head + "Ball 300 400 32 orangeball.tga\n" + label);
    EXPECT_EQ(readFile("levels.txt"), "first\r\nsecond\nmylevel1\n");
    EXPECT_TRUE(shows("Saved levels/mylevel1.lvl"));

    // Held: one save per press. After two seconds the message is gone.
    std::filesystem::remove("levels/mylevel1.lvl");
    step(0, 0, 0, {keys::SAVE});
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl"));
    clock += 2.0f;
    step(0, 0, 0);
    EXPECT_FALSE(shows("Saved levels/mylevel1.lvl"));

    // A second save replaces the file whole and lists the level once.
    editor->level->removeObject(placed()[1]);
    step(0, 0, 0, {keys::SAVE});
    EXPECT_EQ(readFile("levels/mylevel1.lvl"), head + label);
    EXPECT_EQ(readFile("levels.txt"), "first\r\nsecond\nmylevel1\n");
    ASSERT_EQ(StateMenu::levelList.size(), 3u);
    EXPECT_EQ(StateMenu::levelList.back().level, "mylevel1");
}

TEST_F(Editor, SaveSaysWhyItFailedAndLeavesTheOldFileWhole) {
    std::filesystem::remove_all("levels");
    ASSERT_EQ(editor->save(), 0);  // makes the levels directory and the list
    EXPECT_EQ(readFile("levels.txt"), "mylevel1\n");
    std::filesystem::remove("levels.txt");
    std::filesystem::create_directories("levels.txt");
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 0);
    EXPECT_EQ(editor->message, "Saved levels/mylevel1.lvl, but could not add it to levels.txt: Is a directory");
    EXPECT_EQ(StateMenu::levelList.size(), 1u);  // playable in this run all the same

    writeFile("levels/mylevel1.lvl", "# an older level\n");
    std::filesystem::create_directories("levels/mylevel1.lvl.tmp");  // the temporary file cannot be made
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 1);
    EXPECT_TRUE(shows("Could not save levels/mylevel1.lvl: Is a directory"));
    EXPECT_EQ(readFile("levels/mylevel1.lvl"), "# an older level\n");
    EXPECT_TRUE(StateMenu::levelList.empty());

    std::filesystem::remove_all("levels");
    writeFile("levels", "not a directory");
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save levels/mylevel1.lvl: Not a directory");
}
