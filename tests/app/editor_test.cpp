// The level editor: templates, placing and sizing, selecting and dragging,
// snapping, target areas with their links, bombs and polygons, undo, test mode,
// saving that never replaces a level that was not opened, opening levels from
// the menu, and the proof.
#include <algorithm>
#include <chrono>
#include <thread>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/app/keys.h"
#include "game/objects/solution.h"
#include "scene.h"
#include "tools/level/replay.h"

class Editor : public AppDir {
protected:
    void SetUp() override {
        AppDir::SetUp();
        for (const char* picture : {"dot.tga", "tex_wood.tga", "tex_stone.tga"}) writePicture(picture, 16, 16);
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
    // A right click that places template `slot` (0-based) at (x, y).
    void place(int slot, int x, int y) {
        step(0, 0, 0, {slot == 9 ? '0' : keys::DIGIT_1 + slot});
        drag({x, y}, {x, y}, buttons::RIGHT);
    }
    void press(int key) {
        step(0, 0, 0, {key});
        step(0, 0, 0);
    }
    // Whether draw() writes `text` over the level now.
    bool shows(const std::string& text) const {
        const std::vector<StateEditor::Label> labels = editor->labels();
        return std::any_of(labels.begin(), labels.end(), [&](const StateEditor::Label& l) { return l.text == text; });
    }
    static std::string saved(const std::string& name) { return readFile("player/levels/" + name + ".lvl"); }

    std::unique_ptr<StateEditor> editor;
    float clock = 0.0f;
    const std::string header = "# boxquake user level\nBackground backdrop2.tga\nLength 300\n";
};

TEST_F(Editor, LabelsNameTheTemplatesAndColourTheChosenOne) {
    const char* names[] = {"1. StaticBox", "2. Ball",        "3. Box",     "4. BlackHole",
                           "5. Text",      "6. Target area", "7. Bomb",    "8. Polygon", "9. Static polygon"};
    for (int i = 0; i < 9; ++i) {
        step(0, 0, 0, {keys::DIGIT_1 + i});
        const std::vector<StateEditor::Label> labels = editor->labels();
        EXPECT_EQ(labels[1 + i].text, names[i]);
        EXPECT_EQ(labels[1 + i].colour, 0xff0000) << names[i];  // the chosen template in red, the others yellow
        EXPECT_EQ(labels[1 + (i + 1) % 9].colour, 0xffff00) << names[i];
    }
    // The tenth slot is key 0; then the slots are full. Only slots in use whose
    // words the registry can build make anything.
    EXPECT_TRUE(editor->addTemplate("Nonsense", "1", "2", nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(editor->addTemplate("Ball", "1", "2", "3", "ball.tga", nullptr, nullptr));
    step(0, 0, 0, {'0'});
    EXPECT_EQ(editor->cTemplate, 9);
    for (int slot : {-1, 9, 10}) EXPECT_FALSE(editor->addObject(slot, {300, 300}, 0)) << slot;
    EXPECT_EQ(editor->level->objects.size(), 4u);
}

TEST_F(Editor, ALevelBuiltWithTheMouseIsSavedAsBuilt) {
    step(0, 0, 0, {keys::DIGIT_1 + 2});
    drag({300, 200}, {340, 220}, buttons::RIGHT);  // a crate sized from its centre to the pointer: 40 x 20
    drag({310, 205}, {310, 205}, buttons::RIGHT);  // a plain right click on it selects it: no new one, same size
    drag({302, 201}, {402, 101}, buttons::LEFT);   // dragged by its offset (-2, -1) to (400, 100)
    drag({401, 101}, {434, 139}, buttons::LEFT, {keys::LEFT_SHIFT});  // (433, 138) snaps down to (430, 135)
    step(0, 0, 0, {keys::DIGIT_1 + 1});
    drag({500, 450}, {530, 490}, buttons::RIGHT);  // a ball's radius is the straight distance
    place(3, 700, 150);  // plain clicks place the template's own size
    place(4, 650, 500);
    place(0, 100, 100);
    place(0, 100, 300);
    // Delete removes the selection, and nothing once a press on empty space has cleared it.
    drag({600, 300}, {600, 300}, buttons::LEFT);
    step(0, 0, 0, {keys::DELETE});
    step(100, 300, buttons::LEFT, {keys::DELETE});
    step(0, 0, 0);
    // Near the bottom edge: the floor. Moved, it is an ordinary wall, and the
    // level's own floor is back at the edge, as the saved file will load.
    drag({400, 3}, {400, 50}, buttons::LEFT);
    EXPECT_TRUE(editor->unsaved());
    press(keys::SAVE);
    EXPECT_FALSE(editor->unsaved());
    EXPECT_EQ(saved("mylevel1"), header +
                                     "StaticBox 400 -58 1020 220 wall.tga\n"
                                     "Box 430 135 40 20 crate1.tga\n"
                                     "Ball 500 450 50 orangeball.tga\n"
                                     "BlackHole 700 150 1500\n"
                                     "Text 636 486 29 0xffff00 \"Some text\"\n"
                                     "StaticBox 100 100 32 32 wall.tga\n");
    EXPECT_EQ(editor->level->objects.size(), 4u + 6u);
    EXPECT_EQ(StateEditor::snapped({-3, -7.5f}, 5), physics::Vector2D(-5, -10));  // down, also below zero
}

TEST_F(Editor, TargetAreasBombsAndPolygonsAreLinkedTunedAndSavedAsTheyReload) {
    place(5, 600, 100);                                      // "goal", 120 x 80
    step(0, 0, 0, {'6'});
    drag({200, 450}, {250, 480}, buttons::RIGHT);            // "goal2", sized 50 x 30
    place(1, 300, 300);
    for (const char* link : {"goal", "goal2", "", "goal"}) {  // each l: the next area, then none
        press('l');
        EXPECT_EQ(editor->select->data["vicCondName"], link);
    }
    EXPECT_TRUE(shows("Ball, linked to goal"));
    drag({226, 452}, {226, 452}, buttons::LEFT);  // on goal2's right edge: its inside stays free for placing
    EXPECT_TRUE(shows("Target area goal2: enter it (t)"));
    press('t');
    EXPECT_TRUE(shows("Target area goal2: leave it (t)"));
    place(6, 400, 300);
    for (int key : {'=', '+', '-'}) press(key);  // 3 s, then 4, 5, 4
    EXPECT_TRUE(shows("Bomb, fuse 4 s (+ -)"));
    place(7, 500, 400);
    press('c');  // triangle -> ramp
    place(8, 700, 400);
    press('l');  // a static polygon cannot be brought anywhere
    EXPECT_TRUE(shows("l links a selected ball, crate or movable polygon to a target area"));

    press(keys::SAVE);
    const std::string file = saved("mylevel1");
    EXPECT_EQ(file, header +
                        "Victory goal enter 600 100 120 80 centre --drawRect\n"
                        "Victory goal2 leave 200 450 50 30 centre --drawRect\n"
                        "Ball 300 300 32 orangeball.tga --victory goal\n"
                        "Bomb 400 300 4\n"
                        "Polygon 500 400 48 tex_wood.tga 3 0 0 1 0 0 1\n"
                        "Polygon 700 400 48 tex_stone.tga 3 0 0 1 0 0.5 1 --static\n");
    Level reloaded("mylevel1", "player/levels/mylevel1.lvl");
    EXPECT_EQ(scene(reloaded), scene(*editor->level));
    EXPECT_TRUE(editor->level->goal);
}

TEST_F(Editor, UndoAndRedoStepThroughPlaceMoveSizeLinkAndDelete) {
    std::vector<std::string> texts{editor->text};
    const auto changed = [&] {
        EXPECT_NE(editor->text, texts.back());
        texts.push_back(editor->text);
    };
    place(2, 300, 300);
    changed();
    drag({300, 300}, {350, 320}, buttons::LEFT);
    changed();
    drag({350, 320}, {380, 340}, buttons::RIGHT);
    changed();
    place(5, 600, 100);
    changed();
    drag({350, 320}, {350, 320}, buttons::LEFT);
    press('l');
    changed();
    step(350, 320, buttons::LEFT, {keys::DELETE});
    step(0, 0, 0);
    changed();
    drag({100, 500}, {100, 500}, buttons::LEFT);  // a click on nothing changes nothing
    EXPECT_EQ(editor->undoTexts.size(), texts.size() - 1);

    for (std::size_t i = texts.size() - 1; i > 0; --i) {
        press('z');
        EXPECT_EQ(editor->text, texts[i - 1]) << i;
        EXPECT_EQ(written(*editor->level), texts[i - 1]) << "the level is the text";
    }
    EXPECT_FALSE(editor->unsaved());  // back where it started
    press('z');
    EXPECT_TRUE(shows("Nothing to undo"));
    press('y');
    press('y');
    EXPECT_EQ(editor->text, texts[2]);
    place(1, 500, 500);  // a new change: what was undone cannot come back
    EXPECT_FALSE(editor->redo());
    EXPECT_TRUE(editor->undo());
    EXPECT_EQ(editor->text, texts[2]);
}

TEST_F(Editor, TestModePlaysTheLevelAsSavedAndEscapePutsItBack) {
    place(5, 300, 40);  // an area on the floor
    place(1, 300, 37);  // a ball resting in it
    Object* ball = editor->select;
    step(0, 0, 0, {keys::RETURN});
    step(0, 0, 0);
    EXPECT_TRUE(shows("Nothing to win: link a ball or crate to a target area (l)"));
    for (int i = 0; i < 120; ++i) step(0, 0, 0);
    EXPECT_EQ(editor->level->victoryTime, 0.0f);  // a level without a goal is never won
    press(keys::ESCAPE);
    EXPECT_TRUE(editor->edit);
    EXPECT_EQ(StateManager::nextState, nullptr);  // the press that ends the test stays in the editor

    drag({300, 37}, {300, 37}, buttons::LEFT);
    press('l');
    step(0, 0, 0, {keys::RETURN});
    step(0, 0, 0, {keys::DIGIT_1 + 4, keys::SAVE});  // no template choice and no save while testing
    EXPECT_EQ(editor->cTemplate, 1);
    EXPECT_FALSE(std::filesystem::exists("player/levels/mylevel1.lvl"));
    EXPECT_TRUE(shows("Level Editor - Test Mode"));
    for (int i = 0; i < 80; ++i) step(0, 0, 0);
    EXPECT_GT(editor->level->victoryTime, 0.0f);  // resting in its area: the clock runs
    ball = editor->level->objects.back();
    step(100, 500, buttons::RIGHT, {keys::DELETE});  // right clicks and Delete do nothing
    step(100, 500, 0);
    EXPECT_EQ(editor->level->objects.size(), 6u);
    step(250, 40, buttons::LEFT);  // a left click explodes
    EXPECT_GT(ball->physics->getVelocity().x, 50.0f);

    step(0, 0, 0, {keys::ESCAPE});
    EXPECT_TRUE(editor->edit);
    EXPECT_EQ(editor->level->objects.back()->physics->getPosition(), physics::Vector2D(300, 37));
    EXPECT_EQ(editor->level->victoryTime, 0.0f);
}

TEST_F(Editor, ClosingTheWindowKeepsUnsavedChangesAsANewLevel) {
    editor->quitting();  // nothing to keep
    EXPECT_FALSE(std::filesystem::exists("player/levels"));
    place(1, 300, 300);
    press(keys::SAVE);
    step(300, 300, buttons::LEFT);
    step(350, 300, buttons::LEFT);  // closed in the middle of a drag
    editor->quitting();
    EXPECT_EQ(saved("mylevel1"), header + "Ball 300 300 32 orangeball.tga\n");  // the saved level as saved
    EXPECT_EQ(saved("mylevel2"), header + "Ball 350 300 32 orangeball.tga\n");
    EXPECT_EQ(readFile("player/levels.txt"), "mylevel1\nmylevel2\n");
    place(1, 100, 100);
    press(keys::ESCAPE);
    press(keys::ESCAPE);  // left without saving, on purpose: nothing is kept
    editor->quitting();
    EXPECT_FALSE(std::filesystem::exists("player/levels/mylevel3.lvl"));
}

TEST_F(Editor, EscapeWithUnsavedChangesNeedsASecondPress) {
    place(1, 300, 300);
    press(keys::ESCAPE);
    EXPECT_EQ(StateManager::nextState, nullptr);
    EXPECT_TRUE(shows("Unsaved changes: s saves them, Escape again leaves without saving"));
    press('z');  // undone: nothing left unsaved, one press leaves
    EXPECT_FALSE(editor->unsaved());
    place(1, 300, 300);
    press(keys::SAVE);
    press(keys::ESCAPE);
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);

    StateManager::reset();
    editor.reset(new StateEditor);
    place(1, 300, 300);
    press(keys::ESCAPE);
    press(keys::ESCAPE);
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

// --- Saving and opening ---

TEST_F(Editor, ANewLevelIsSavedUnderAFreeNameAndNeverOverAnother) {
    // Taken: a shipped level named mylevel1, an unlisted file of the player's
    // (mylevel2), a listed name without its file (mylevel3).
    writeFile("levels.txt", "mylevel1\n");
    writeFile("levels/mylevel1.lvl", "# shipped\n");
    writeFile("player/levels/mylevel2.lvl", "# kept aside\n");
    writeFile("player/levels.txt", "first\nmylevel3");  // no line break at the end
    writeFile("player/levels/first.lvl", "# first\n");
    StateMenu::listAll();
    place(1, 300, 400);
    step(0, 0, 0, {keys::SAVE});
    EXPECT_EQ(saved("mylevel4"), header + "Ball 300 400 32 orangeball.tga\n");
    EXPECT_TRUE(shows("Saved mylevel4"));
    EXPECT_TRUE(shows("mylevel4"));  // the status line names the file from now on
    step(300, 400, buttons::LEFT, {keys::DELETE, keys::SAVE});  // still held: not saved again
    EXPECT_EQ(saved("mylevel4"), header + "Ball 300 400 32 orangeball.tga\n");
    clock += StateEditor::MESSAGE_SECONDS;
    step(0, 0, 0);
    EXPECT_FALSE(shows("Saved mylevel4"));
    press(keys::SAVE);  // the same level again: its own file, replaced whole
    EXPECT_EQ(saved("mylevel4"), header);
    EXPECT_EQ(readFile("player/levels.txt"), "first\nmylevel3\nmylevel4\n");
    EXPECT_EQ(readFile("levels/mylevel1.lvl"), "# shipped\n");
    EXPECT_EQ(saved("mylevel2"), "# kept aside\n");
    EXPECT_EQ(readFile("levels.txt"), "mylevel1\n");  // the shipped data is never written
    EXPECT_EQ(StateMenu::levelList.back().level, "mylevel4");
    EXPECT_EQ(StateMenu::levelList.back().file(".lvl"), places::playerFile("levels/mylevel4.lvl"));

    editor.reset(new StateEditor);  // another new level: the next free name
    press(keys::SAVE);
    EXPECT_EQ(saved("mylevel5"), header);
}

TEST_F(Editor, EveryShippedLevelOpensAndSavesAsACopyThatPlaysTheSame) {
    const std::string shipped = BOXQUAKE_SHIPPED_DATA;
    std::filesystem::copy(shipped + "/levels", "levels", std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(shipped + "/levels.txt", "levels.txt");
    StateMenu::listAll();
    std::vector<std::string> names;
    for (const MnuLevel& record : StateMenu::levelList) names.push_back(record.level);
    ASSERT_GE(names.size(), 20u);
    int n = 0;
    for (const std::string& name : names) {
        const std::string lvl = readFile("levels/" + name + ".lvl"), sol = readFile("levels/" + name + ".sol");
        editor.reset(new StateEditor(name, "."));
        EXPECT_FALSE(editor->own) << name;
        EXPECT_FALSE(editor->unsaved()) << name;
        press(keys::SAVE);
        const std::string copy = "mylevel" + std::to_string(++n);
        ASSERT_TRUE(shows("Saved " + copy)) << name;
        EXPECT_EQ(readFile("levels/" + name + ".lvl"), lvl) << name;
        EXPECT_EQ(readFile("levels/" + name + ".sol"), sol) << name;
        Level original(name), saved(copy, "player/levels/" + copy + ".lvl");
        EXPECT_EQ(scene(saved), scene(original)) << name;
        // The copy is the same level: the shipped solution wins it too.
        leveltools::Solution solution;
        std::string why;
        ASSERT_TRUE(leveltools::readSolution("levels/" + name + ".sol", solution, why)) << why;
        leveltools::LevelSource source{copy, "player/levels/" + copy + ".lvl", readFile("player/levels/" + copy + ".lvl")};
        leveltools::ReplayOptions options;
        options.maxUpdates = solution.limit;
        EXPECT_TRUE(leveltools::replay(source, solution.clicks, options).won) << name;
    }
    // A level of the player's own is saved back to its file.
    editor.reset(new StateEditor("mylevel1", places::playerDir()));
    EXPECT_TRUE(editor->own);
    place(1, 400, 500);
    press(keys::SAVE);
    EXPECT_TRUE(shows("Saved mylevel1"));
    EXPECT_FALSE(std::filesystem::exists("player/levels/mylevel" + std::to_string(n + 1) + ".lvl"));
}

TEST_F(Editor, TheMenuOpensTheLevelUnderThePointerOrANewOne) {
    writeFile("levels.txt", "alpha\nbeta\n");
    touchLevels({"alpha", "beta"});
    for (int pointed : {1, -1}) {
        StateManager::reset();
        StateMenu menu;
        const physics::Vector2D at = pointed >= 0 ? StateMenu::restPosition(pointed) : physics::Vector2D(600, 100);
        input(static_cast<int>(at.x), static_cast<int>(at.y), 0, {keys::EDITOR});
        menu.update(0.0f);
        auto* opened = dynamic_cast<StateEditor*>(StateManager::nextState);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->name, pointed >= 0 ? "beta" : "");
    }
}

TEST_F(Editor, SaveSaysWhyItFailedAndLeavesTheOldFileWhole) {
    const std::string dir = places::playerDir(), path = dir + "/levels/mylevel1.lvl";
    ASSERT_EQ(editor->save(), 0);  // makes the player's directory, its levels directory and its list
    EXPECT_EQ(readFile("player/levels.txt"), "mylevel1\n");
    std::filesystem::remove("player/levels.txt");
    std::filesystem::create_directories("player/levels.txt");
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 0);
    EXPECT_EQ(editor->message, "Saved mylevel1, but could not add it to " + dir + "/levels.txt: Is a directory");
    EXPECT_EQ(StateMenu::levelList.size(), 1u);  // playable in this run all the same

    writeFile(path, "# an older level\n");
    std::filesystem::create_directories(path + ".tmp");  // the temporary file cannot be made
    EXPECT_EQ(editor->save(), 1);
    EXPECT_TRUE(shows("Could not save " + path + ": Is a directory"));
    EXPECT_EQ(readFile(path), "# an older level\n");

    places::setPlayerDir("");  // no HOME: nowhere to save, and nothing is written anywhere
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save: no place for the player's files (HOME is not set)");
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl"));
}

// --- The proof ---

TEST_F(Editor, TheProofFindsAWinInTheBackgroundAndItsSolutionIsSavedBesideTheLevel) {
    press('p');
    EXPECT_TRUE(shows("Nothing to win: link a ball or crate to a target area (l)"));
    place(5, 400, 60);
    step(0, 0, 0, {'2'});
    drag({400, 300}, {400, 316}, buttons::RIGHT);  // radius 16, above the area: it falls in
    press('l');
    press('p');
    // Editing goes on meanwhile (levels are built on both threads); the result comes within the budget.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (editor->proof.running() && std::chrono::steady_clock::now() < deadline) {
        place(6, 700, 500);
        press('z');
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    step(0, 0, 0);
    EXPECT_TRUE(shows("winnable in 0 explosions, playable 1.00"));
    press(keys::SAVE);
    EXPECT_TRUE(shows("Saved mylevel1, with its solution (par 0)"));
    leveltools::Solution solution;
    std::string why;
    EXPECT_TRUE(leveltools::readCurrentSolution("player/levels/mylevel1.lvl", "player/levels/mylevel1.sol", solution,
                                                why)) << why;
    EXPECT_EQ(StateMenu::levelList.back().par, 0);

    // Changed after the proof: the result is marked, and a save keeps no solution for it.
    place(1, 100, 500);
    EXPECT_TRUE(shows("winnable in 0 explosions, playable 1.00 (before the last change)"));
    press(keys::SAVE);
    EXPECT_TRUE(shows("Saved mylevel1"));
    EXPECT_FALSE(leveltools::readCurrentSolution("player/levels/mylevel1.lvl", "player/levels/mylevel1.sol", solution,
                                                 why));
    EXPECT_EQ(StateMenu::levelList.back().par, -1);
}
