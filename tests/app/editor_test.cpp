// The level editor: templates, creating and sizing, selecting and dragging,
// snapping, deleting, test mode, Escape back to the menu, and saving.
#include <algorithm>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/app/keys.h"
#include "game/objects/level.h"
#include "game/render/animation.h"

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
    // Pressed at `from`, moved to `to` while held, released there.
    void drag(std::pair<int, int> from, std::pair<int, int> to, int buttons, std::initializer_list<int> keys = {}) {
        step(from.first, from.second, buttons, keys);
        step(to.first, to.second, buttons, keys);
        step(to.first, to.second, 0);
    }
    // Whether draw() writes `text` over the level now.
    bool shows(const std::string& text) const {
        const std::vector<StateEditor::Label> labels = editor->labels();
        return std::any_of(labels.begin(), labels.end(), [&](const StateEditor::Label& l) { return l.text == text; });
    }

    std::unique_ptr<StateEditor> editor;
    float clock = 0.0f;
};

TEST_F(Editor, LabelsNameTheTemplatesAndColourTheChosenOne) {
    const char* names[] = {"1. StaticBox", "2. Ball", "3. Box", "4. BlackHole", "5. Text"};
    for (int i = 0; i < 5; ++i) {
        step(0, 0, 0, {keys::DIGIT_1 + i});
        const std::vector<StateEditor::Label> labels = editor->labels();
        EXPECT_EQ(labels[1 + i].text, names[i]);
        EXPECT_EQ(labels[1 + i].colour, 0xff0000) << names[i];  // the chosen template in red, the others yellow
        EXPECT_EQ(labels[1 + (i + 1) % 5].colour, 0xffff00) << names[i];
    }
    // Only slots in use whose words the registry can build make anything.
    editor->addTemplate("Nonsense", "1", "2", nullptr, nullptr, nullptr, nullptr);
    for (int slot : {-1, 5, 6}) EXPECT_FALSE(editor->addObject(slot, {300, 300}, 0)) << slot;
    EXPECT_EQ(editor->level->objects.size(), 4u);
}

TEST_F(Editor, ALevelBuiltWithTheMouseIsSavedAsBuilt) {
    // Box: created by a right press and sized from its centre to the pointer while held.
    step(0, 0, 0, {keys::DIGIT_1 + 2});
    drag({300, 200}, {340, 220}, buttons::RIGHT);  // 40 x 20
    drag({310, 205}, {310, 205}, buttons::RIGHT);  // a right press on it resizes it (10 x 5), makes nothing
    drag({302, 201}, {402, 101}, buttons::LEFT);   // dragged by its offset (-2, -1) to (400, 100)
    drag({401, 101}, {434, 139}, buttons::LEFT, {keys::LEFT_SHIFT});  // (433, 138) snaps down to (430, 135)
    step(0, 0, 0, {keys::DIGIT_1 + 1});
    drag({500, 450}, {530, 490}, buttons::RIGHT);  // a ball's radius is the straight distance
    // Each kind by its digit; a click makes a wall of at least 5 x 5.
    for (auto [slot, x, y] :
         {std::tuple{3, 700, 150}, std::tuple{4, 650, 500}, std::tuple{0, 100, 100}, std::tuple{0, 100, 300}}) {
        step(0, 0, 0, {keys::DIGIT_1 + slot});
        drag({x, y}, {x, y}, buttons::RIGHT);
    }
    // Delete removes the selection, and nothing once a press on empty space has cleared it.
    drag({600, 300}, {600, 300}, buttons::LEFT);
    step(0, 0, 0, {keys::DELETE});
    step(100, 300, buttons::LEFT, {keys::DELETE});
    step(0, 0, 0);
    drag({400, 3}, {400, 50}, buttons::LEFT);  // near the bottom edge: the floor (centre y = -105)
    step(0, 0, 0, {keys::SAVE});
    EXPECT_EQ(readFile(StateEditor::savePath()),
              "# boxquake user level\n"
              "Background backdrop2.tga\n"
              "Length 300\n"
              "StaticBox 400 -58 1020 220 wall.tga\n"
              "Box 430 135 10 5 crate1.tga\n"
              "Ball 500 450 50 orangeball.tga\n"
              "BlackHole 700 150 1500\n"
              "Text 636 486 29 0xffff00 \"Some text\"\n"
              "StaticBox 100 100 5 5 wall.tga\n");
    EXPECT_EQ(StateEditor::snapped({-3, -7.5f}, 5), physics::Vector2D(-5, -10));  // down, also below zero
}

TEST_F(Editor, TestModeRunsTheLevelAndEscapePutsEverythingBack) {
    ASSERT_TRUE(editor->addObject(2, {700, 22}, 0));  // a box on the floor
    Object* box = editor->level->objects.back();
    ASSERT_TRUE(editor->addObject(1, {300, 300}, 0));
    Object* ball = editor->level->objects.back();
    step(0, 0, 0, {keys::RETURN});
    step(0, 0, 0, {keys::DIGIT_1 + 4, keys::SAVE});  // no template choice and no save while testing
    EXPECT_EQ(editor->cTemplate, 0);
    EXPECT_FALSE(std::filesystem::exists(StateEditor::savePath()));
    EXPECT_TRUE(shows("Level Editor - Test Mode"));
    for (int i = 0; i < 30; ++i) step(0, 0, 0);
    EXPECT_LT(ball->physics->getPosition().y, 300.0f);  // falling

    editor->select = ball;  // right clicks and Delete do nothing; a left click explodes
    step(100, 500, buttons::RIGHT, {keys::DELETE});
    step(100, 500, 0);
    EXPECT_EQ(editor->level->objects.size(), 6u);
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

    // Resized after a run, the box plays with its new shape: 50 high, on the floor's top at y = 5.
    drag({700, 22}, {740, 72}, buttons::RIGHT);
    step(0, 0, 0, {keys::RETURN});
    for (int i = 0; i < 60; ++i) step(0, 0, 0);
    EXPECT_NEAR(box->physics->getPosition().y, 30.0f, 2.0f);
    step(0, 0, 0, {keys::ESCAPE});
    step(0, 0, 0);
    step(0, 0, 0, {keys::ESCAPE});
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

// --- Saving ---

TEST_F(Editor, SaveListsTheLevelOnceSavesOncePerPressAndShowsTheResultForTwoSeconds) {
    writeFile("levels.txt", "shipped\n");
    touchLevels({"shipped"});
    writeFile("player/levels.txt", "first\r\nsecond");  // no line break at the end
    touchLevels({"first", "second"}, "player");
    StateMenu::listAll();
    const std::string header = "# boxquake user level\nBackground backdrop2.tga\nLength 300\n";
    ASSERT_TRUE(editor->addObject(1, {300, 400}, 0));
    step(0, 0, 0, {keys::SAVE});
    EXPECT_EQ(readFile(StateEditor::savePath()), header + "Ball 300 400 32 orangeball.tga\n");
    EXPECT_TRUE(shows("Saved " + StateEditor::savePath()));

    editor->level->removeObject(editor->level->objects.back());
    step(0, 0, 0, {keys::SAVE});  // still held: not saved again
    EXPECT_EQ(readFile(StateEditor::savePath()), header + "Ball 300 400 32 orangeball.tga\n");
    clock += 2.0f;
    step(0, 0, 0);
    EXPECT_FALSE(shows("Saved " + StateEditor::savePath()));
    step(0, 0, 0, {keys::SAVE});  // a second save replaces the file whole
    EXPECT_EQ(readFile(StateEditor::savePath()), header);
    EXPECT_EQ(readFile("player/levels.txt"), "first\r\nsecond\nmylevel1\n");
    EXPECT_EQ(readFile("levels.txt"), "shipped\n");  // the shipped data is never written
    ASSERT_EQ(StateMenu::levelList.size(), 4u);
    EXPECT_EQ(StateMenu::levelList.back().file(".lvl"), StateEditor::savePath());
}

TEST_F(Editor, SaveSaysWhyItFailedAndLeavesTheOldFileWhole) {
    const std::string dir = places::playerDir(), saved = StateEditor::savePath();
    ASSERT_EQ(editor->save(), 0);  // makes the player's directory, its levels directory and its list
    EXPECT_EQ(readFile("player/levels.txt"), "mylevel1\n");
    std::filesystem::remove("player/levels.txt");
    std::filesystem::create_directories("player/levels.txt");
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 0);
    EXPECT_EQ(editor->message, "Saved " + saved + ", but could not add it to " + dir + "/levels.txt: Is a directory");
    EXPECT_EQ(StateMenu::levelList.size(), 1u);  // playable in this run all the same

    writeFile(saved, "# an older level\n");
    std::filesystem::create_directories(saved + ".tmp");  // the temporary file cannot be made
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 1);
    EXPECT_TRUE(shows("Could not save " + saved + ": Is a directory"));
    EXPECT_EQ(readFile(saved), "# an older level\n");
    EXPECT_TRUE(StateMenu::levelList.empty());

    std::filesystem::remove_all("player/levels");
    writeFile("player/levels", "not a directory");
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save " + saved + ": Not a directory");

    places::setPlayerDir("");  // no HOME: nowhere to save, and nothing is written anywhere
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save: no place for the player's files (HOME is not set)");
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl"));
}
