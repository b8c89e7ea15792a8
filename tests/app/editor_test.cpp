// The level editor: templates, creating, sizing, selecting, dragging, deleting,
// snapping, test mode, the texts it draws and saving.
#include <algorithm>
#include <optional>
#include <typeinfo>

#include "app_fixture.h"
#include "game/app/editor.h"
#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/staticbox.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "physics/physics.h"

namespace {

const int kReturn = 13;
const int kEscape = 27;
const int kDelete = 127;
const int kShift = 304;
const int kSave = 115;
const int kLeft = 1;
const int kRight = 4;

// Objects the editor placed: everything after the four boundary walls.
std::vector<Object*> placed(StateEditor& e) {
    std::vector<Object*> out(e.level->objects.begin(), e.level->objects.end());
    out.erase(out.begin(), out.begin() + 4);
    return out;
}

// A copy: labels() hands out a fresh list every time.
std::optional<StateEditor::Label> findLabel(const std::vector<StateEditor::Label>& labels, const std::string& text) {
    for (const auto& l : labels) {
        if (l.text == text) return l;
    }
    return std::nullopt;
}

int contactsOf(physics::World<physics::TwoDee>& world, physics::Body<physics::TwoDee>* body) {
    static physics::Body<physics::TwoDee>* s_body;
    static int s_count;
    s_body = body;
    s_count = 0;
    world.getContactList()->foreach([](physics::Contact<physics::TwoDee>* c) {
        if (c->body[0] == s_body || c->body[1] == s_body) ++s_count;
    });
    return s_count;
}

}  // namespace

class Editor : public AppDir {
protected:
    // One update with the pointer at (x, y), `buttons` and `keys` held.
    void step(int x, int y, int buttons, std::initializer_list<int> keys = {}) {
        input(x, y, buttons, keys);
        editor->update(clock);
        clock += 1.0f / 60.0f;
    }
    // A right click at (x, y): press for one update, release for one.
    void rightClick(int x, int y, std::initializer_list<int> keys = {}) {
        step(x, y, kRight, keys);
        step(x, y, 0, keys);
    }

    void SetUp() override {
        AppDir::SetUp();
        editor.reset(new StateEditor);
    }
    void TearDown() override {
        editor.reset();
        AppDir::TearDown();
    }

    std::unique_ptr<StateEditor> editor;
    float clock = 0.0f;
};

TEST_F(Editor, StartsWithFiveTemplatesOnAnEmptyLevelWithItsBackdrop) {
    ASSERT_EQ(editor->templateCount, 5);
    EXPECT_EQ(editor->templates[0].data[0], "StaticBox");
    EXPECT_EQ(editor->templates[0].data[5], "wall.tga");
    EXPECT_EQ(editor->templates[1].data[4], "orangeball.tga");
    EXPECT_EQ(editor->templates[2].data[5], "crate1.tga");
    EXPECT_EQ(editor->templates[3].data[3], "1500");
    EXPECT_EQ(editor->templates[4].data[3], "Some text");
    EXPECT_EQ(editor->templates[4].data[4], "");
    EXPECT_EQ(editor->level->objects.size(), 4u);
    EXPECT_EQ(editor->level->background, SpriteManager::get("backdrop2.tga"));
    EXPECT_TRUE(editor->edit);
    EXPECT_EQ(editor->inTime, 0);
    EXPECT_EQ(editor->outTime, 0);
}

TEST_F(Editor, TemplateSlotsAreBoundedAndAddObjectChecksTheTemplateItBuilds) {
    for (int i = 5; i < StateEditor::MAX_TEMPLATES; ++i) {
        EXPECT_TRUE(editor->addTemplate("Ball", "0", "0", "8", "orangeball.tga", nullptr, nullptr));
    }
    EXPECT_FALSE(editor->addTemplate("Ball", "0", "0", "8", "orangeball.tga", nullptr, nullptr));
    EXPECT_EQ(editor->templateCount, StateEditor::MAX_TEMPLATES);

    StateEditor fresh;
    fresh.cTemplate = 0;  // a valid choice does not let a bad slot through
    EXPECT_FALSE(fresh.addObject(7, physics::Vector2D(300, 300), 0));
    EXPECT_FALSE(fresh.addObject(-1, physics::Vector2D(300, 300), 0));
    EXPECT_EQ(fresh.level->objects.size(), 4u);

    // A template the registry cannot build makes nothing and selects nothing.
    fresh.addTemplate("Nonsense", "1", "2", nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(fresh.addObject(5, physics::Vector2D(300, 300), 0));
    EXPECT_EQ(fresh.level->objects.size(), 4u);
}

TEST_F(Editor, SnappingGoesDownToMultiplesOfFiveAlsoBelowZero) {
    EXPECT_EQ(StateEditor::snapped(physics::Vector2D(103.9f, 57.2f), 5), physics::Vector2D(100, 55));
    EXPECT_EQ(StateEditor::snapped(physics::Vector2D(-3.0f, -7.5f), 5), physics::Vector2D(-5, -10));
    EXPECT_EQ(StateEditor::snapped(physics::Vector2D(10.0f, -10.0f), 5), physics::Vector2D(10, -10));
    EXPECT_EQ(StateEditor::snapped(physics::Vector2D(103.9f, 57.2f), 0), physics::Vector2D(103.9f, 57.2f));

    editor->cTemplate = 2;
    ASSERT_TRUE(editor->addObject(2, physics::Vector2D(103.9f, 57.2f), 5));
    Object* box = placed(*editor).back();
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(100, 55));
    EXPECT_EQ(box->cachedPosition, physics::Vector2D(100, 55));

    // With left Shift the dragged position (pointer plus offset) snaps too.
    step(102, 57, kLeft, {kShift});  // offset (-2, -2)
    EXPECT_EQ(editor->select, box);
    step(130, 91, kLeft, {kShift});  // target (128, 89) snaps to (125, 85)
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(125, 85));
}

TEST_F(Editor, RightPressOnEmptySpaceCreatesTheChosenTemplateAndSizesItWhileHeld) {
    step(0, 0, 0, {'3'});
    EXPECT_EQ(editor->cTemplate, 2);
    step(300, 200, kRight);
    std::vector<Object*> objects = placed(*editor);
    ASSERT_EQ(objects.size(), 1u);
    auto* box = dynamic_cast<Box*>(objects[0]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(editor->select, box);
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(300, 200));
    // Held in the same update: sized from the centre to the pointer, at least 5 x 5.
    EXPECT_EQ(box->width, 5.0f);
    EXPECT_EQ(box->height, 5.0f);

    step(330, 190, kRight);
    EXPECT_EQ(box->width, 30.0f);
    EXPECT_EQ(box->height, 10.0f);
    step(302, 260, kRight);
    EXPECT_EQ(box->width, 5.0f);
    EXPECT_EQ(box->height, 60.0f);
    EXPECT_EQ(placed(*editor).size(), 1u);

    // A ball's radius becomes the straight distance.
    step(0, 0, 0, {'2'});
    step(500, 400, kRight);
    step(530, 440, kRight);
    auto* ball = dynamic_cast<Ball*>(placed(*editor).back());
    ASSERT_NE(ball, nullptr);
    EXPECT_FLOAT_EQ(ball->radius, 50.0f);
}

TEST_F(Editor, RightPressOnAnObjectSelectsAndResizesItInsteadOfCreating) {
    ASSERT_TRUE(editor->addObject(0, physics::Vector2D(300, 300), 0));
    Object* wall = placed(*editor).back();
    step(310, 305, kRight);
    EXPECT_EQ(editor->select, wall);
    EXPECT_EQ(placed(*editor).size(), 1u);
    auto* box = dynamic_cast<StaticBox*>(wall);
    EXPECT_EQ(box->width, 10.0f);
    EXPECT_EQ(box->height, 5.0f);
}

TEST_F(Editor, LeftPressSelectsAndDragsWithItsOffsetAndOnEmptySpaceClearsTheSelection) {
    ASSERT_TRUE(editor->addObject(2, physics::Vector2D(300, 300), 0));
    Object* box = placed(*editor).back();
    step(310, 290, kLeft);
    EXPECT_EQ(editor->select, box);
    EXPECT_EQ(editor->moveOffset, physics::Vector2D(-10, 10));
    EXPECT_TRUE(findLabel(editor->labels(), "Something").has_value());
    step(410, 190, kLeft);
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(400, 200));
    EXPECT_EQ(box->cachedPosition, physics::Vector2D(400, 200));
    step(410, 190, 0);

    step(600, 500, kLeft);  // empty space
    EXPECT_EQ(editor->select, nullptr);
    EXPECT_FALSE(findLabel(editor->labels(), "Something").has_value());
    EXPECT_EQ(box->physics->getPosition(), physics::Vector2D(400, 200));
}

TEST_F(Editor, DeleteRemovesTheSelectionAndDoesNothingWithoutOne) {
    ASSERT_TRUE(editor->addObject(1, physics::Vector2D(300, 300), 0));
    ASSERT_TRUE(editor->addObject(3, physics::Vector2D(500, 300), 0));
    step(0, 0, 0, {kDelete});
    EXPECT_EQ(placed(*editor).size(), 2u);

    step(300, 300, kLeft, {kDelete});
    EXPECT_EQ(editor->select, nullptr);
    std::vector<Object*> left = placed(*editor);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(dynamic_cast<BlackHole*>(left[0]), nullptr);
}

TEST_F(Editor, PressNearAWindowEdgePicksABoundaryWall) {
    Object* floor = editor->level->objects.front();
    step(400, 3, kLeft);
    EXPECT_EQ(editor->select, floor);
    step(400, 50, kLeft);
    EXPECT_EQ(floor->physics->getPosition(), physics::Vector2D(400, 42));
    step(400, 50, 0, {kDelete});
    EXPECT_EQ(editor->level->objects.size(), 3u);
}

TEST_F(Editor, LabelsNameTheTemplatesAndColourTheChosenOne) {
    std::vector<StateEditor::Label> labels = editor->labels();
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels[0].text, "Level Editor");
    EXPECT_EQ(labels[0].x, 10);
    EXPECT_EQ(labels[0].y, 10);
    EXPECT_EQ(labels[0].size, 29);
    EXPECT_EQ(labels[0].colour, 0xffffff);
    const char* names[5] = {"1. StaticBox", "2. Ball", "3. Box", "4. BlackHole", "5. Text"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(labels[1 + i].text, names[i]);
        EXPECT_EQ(labels[1 + i].x, 10);
        EXPECT_EQ(labels[1 + i].y, 575 - 16 * i);
        EXPECT_EQ(labels[1 + i].size, 18);
        EXPECT_EQ(labels[1 + i].colour, i == 0 ? 0xff0000 : 0xffff00);
    }
    EXPECT_EQ(labels[6].text, "Right click: Create and Resize object");
    EXPECT_EQ(labels[6].y, 575);
    EXPECT_EQ(labels[7].text, "Left click:  Select and Move object");
    EXPECT_EQ(labels[7].x, 200);
    EXPECT_EQ(labels[7].y, 555);

    // Several digits held: the last tested wins.
    step(0, 0, 0, {'2', '4'});
    labels = editor->labels();
    EXPECT_EQ(labels[4].colour, 0xff0000);
    EXPECT_EQ(labels[1].colour, 0xffff00);

    step(0, 0, 0, {kReturn});
    step(0, 0, 0, {'5'});  // test mode: digits do nothing
    EXPECT_EQ(editor->cTemplate, 3);
    labels = editor->labels();
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].text, "Level Editor - Test Mode");
}

TEST_F(Editor, TestModeRunsTheLevelAndEscapePutsEverythingBack) {
    ASSERT_TRUE(editor->addObject(1, physics::Vector2D(300, 300), 0));
    Object* ball = placed(*editor).back();
    step(0, 0, 0, {kReturn});
    ASSERT_FALSE(editor->edit);
    step(0, 0, 0);
    EXPECT_LT(ball->physics->getPosition().y, 300.0f);  // falling

    // Right clicks and Delete do nothing in test mode; a left click explodes.
    editor->select = ball;
    rightClick(700, 500, {kDelete});
    EXPECT_EQ(placed(*editor).size(), 1u);
    const float before = ball->physics->getVelocity().x;
    step(250, 290, kLeft);
    step(250, 290, 0);
    EXPECT_GT(ball->physics->getVelocity().x, before + 50.0f);

    ASSERT_GT(editor->level->victoryTime, 0.0f);  // nothing to meet: the clock runs
    step(0, 0, 0, {kEscape});
    EXPECT_TRUE(editor->edit);
    EXPECT_EQ(ball->physics->getPosition(), physics::Vector2D(300, 300));
    EXPECT_EQ(editor->level->victoryTime, 0.0f);  // and is hidden again while editing
    EXPECT_EQ(editor->level->clock->frame, 10u);
    // Still held: the same press does not leave the editor.
    step(0, 0, 0, {kEscape});
    EXPECT_EQ(StateManager::nextState, nullptr);
    step(0, 0, 0);
    step(0, 0, 0, {kEscape});
    EXPECT_NE(dynamic_cast<StateMenu*>(StateManager::nextState), nullptr);
}

TEST_F(Editor, ResizingAfterTestModeDropsTheContactsOfTheOldShape) {
    ASSERT_TRUE(editor->addObject(2, physics::Vector2D(400, 22), 0));
    Object* box = placed(*editor).back();
    step(0, 0, 0, {kReturn});
    for (int i = 0; i < 30; ++i) step(0, 0, 0);
    ASSERT_GT(contactsOf(editor->level->world, box->physics), 0);  // resting on the floor
    step(0, 0, 0, {kEscape});
    step(0, 0, 0);
    ASSERT_TRUE(editor->edit);

    step(400, 22, kRight);
    step(440, 52, kRight);
    ASSERT_EQ(box->physics->getShapes().size(), 1u);
    EXPECT_EQ(static_cast<physics::Rect*>(box->physics->getShapes().front())->getHalfHeight(), 15.0f);
    EXPECT_EQ(contactsOf(editor->level->world, box->physics), 0);
    EXPECT_TRUE(box->physics->contacts.empty());
    step(440, 52, 0);

    // Running again builds fresh contacts on the new shape.
    step(0, 0, 0, {kReturn});
    for (int i = 0; i < 60; ++i) step(0, 0, 0);
    EXPECT_GT(contactsOf(editor->level->world, box->physics), 0);
    EXPECT_NEAR(box->physics->getPosition().y, 20.0f, 2.0f);  // 30 high, on the floor at y = 5
}

// --- Saving ---

TEST_F(Editor, SaveWritesTheLevelListsItAndShowsTheResultForTwoSeconds) {
    ASSERT_TRUE(editor->addObject(0, physics::Vector2D(200, 300), 0));
    ASSERT_TRUE(editor->addObject(1, physics::Vector2D(300, 400), 0));
    ASSERT_TRUE(editor->addObject(4, physics::Vector2D(500, 500), 0));
    writeFile("levels.txt", "first\r\nsecond");  // no line break at the end
    StateMenu::listLevels("levels.txt");

    step(0, 0, 0, {kSave});
    EXPECT_EQ(readFile("levels/mylevel1.lvl"),
              "# boxquake user level\n"
              "Background backdrop2.tga\n"
              "Length 300\n"
              "StaticBox 200 300 32 32 wall.tga\n"
              "Ball 300 400 32 orangeball.tga\n"
              "Text 486 486 29 0xffff00 \"Some text\"\n");
    EXPECT_EQ(readFile("levels.txt"), "first\r\nsecond\nmylevel1\n");
    ASSERT_EQ(StateMenu::levelList.size(), 3u);
    EXPECT_EQ(StateMenu::levelList[2].level, "mylevel1");
    EXPECT_EQ(editor->message, "Saved levels/mylevel1.lvl");
    const std::optional<StateEditor::Label> shown = findLabel(editor->labels(), "Saved levels/mylevel1.lvl");
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->colour, 0xffffff);

    // Held: one save per press. After two seconds the message is gone.
    std::filesystem::remove("levels/mylevel1.lvl");
    step(0, 0, 0, {kSave});
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl"));
    clock += 2.0f;
    step(0, 0, 0);
    EXPECT_FALSE(findLabel(editor->labels(), "Saved levels/mylevel1.lvl").has_value());

    // A second save replaces the file whole and lists the level once.
    editor->level->removeObject(placed(*editor)[1]);
    step(0, 0, 0, {kSave});
    EXPECT_EQ(readFile("levels/mylevel1.lvl"),
              "# boxquake user level\n"
              "Background backdrop2.tga\n"
              "Length 300\n"
              "StaticBox 200 300 32 32 wall.tga\n"
              "Text 486 486 29 0xffff00 \"Some text\"\n");
    EXPECT_EQ(readFile("levels.txt"), "first\r\nsecond\nmylevel1\n");
    EXPECT_EQ(StateMenu::levelList.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl.tmp"));
}

TEST_F(Editor, SavedLevelReloadsToTheSameScene) {
    ASSERT_TRUE(editor->addObject(2, physics::Vector2D(250, 100), 0));
    editor->sizeObject(placed(*editor).back(), physics::Vector2D(290, 120), 0);  // 40 x 20
    ASSERT_TRUE(editor->addObject(3, physics::Vector2D(600, 450), 0));
    ASSERT_TRUE(editor->addObject(4, physics::Vector2D(77, 531), 0));
    ASSERT_EQ(editor->save(), 0);

    Level reloaded("mylevel1");
    std::vector<Object*> a = placed(*editor);
    std::vector<Object*> b(reloaded.objects.begin(), reloaded.objects.end());
    b.erase(b.begin(), b.begin() + 4);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(typeid(*a[i]), typeid(*b[i])) << i;
        EXPECT_EQ(a[i]->physics->getPosition(), b[i]->physics->getPosition()) << i;
    }
    EXPECT_EQ(static_cast<Box*>(b[0])->width, 40.0f);
    EXPECT_EQ(static_cast<Box*>(b[0])->height, 20.0f);
    EXPECT_EQ(static_cast<BlackHole*>(b[1])->power, 1500.0f);
    EXPECT_EQ(static_cast<Text*>(b[2])->text, "Some text");
    EXPECT_EQ(reloaded.backgroundName, "backdrop2.tga");
}

TEST_F(Editor, FailedSaveSaysWhyAndLeavesTheOldFileWhole) {
    writeFile("levels/mylevel1.lvl", "# an older level\nBall 100 100 10 orangeball.tga\n");
    std::filesystem::create_directories("levels/mylevel1.lvl.tmp");  // the temporary file cannot be made
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save levels/mylevel1.lvl: Is a directory");
    EXPECT_TRUE(findLabel(editor->labels(), editor->message).has_value());
    EXPECT_EQ(readFile("levels/mylevel1.lvl"), "# an older level\nBall 100 100 10 orangeball.tga\n");
    EXPECT_FALSE(std::filesystem::exists("levels.txt"));
    EXPECT_TRUE(StateMenu::levelList.empty());

    // No levels directory can be made where a file stands.
    std::filesystem::remove_all("levels");
    writeFile("levels", "not a directory");
    EXPECT_EQ(editor->save(), 1);
    EXPECT_EQ(editor->message, "Could not save levels/mylevel1.lvl: Not a directory");
}

TEST_F(Editor, SaveCreatesTheLevelsDirectoryAndTheListAndReportsAListThatCannotBeWritten) {
    std::filesystem::remove_all("levels");
    ASSERT_EQ(editor->save(), 0);
    EXPECT_EQ(readFile("levels/mylevel1.lvl").rfind("# boxquake user level\n", 0), 0u);
    EXPECT_EQ(readFile("levels.txt"), "mylevel1\n");

    std::filesystem::remove("levels.txt");
    std::filesystem::create_directories("levels.txt");
    StateMenu::levelList.clear();
    EXPECT_EQ(editor->save(), 0);
    EXPECT_EQ(editor->message, "Saved levels/mylevel1.lvl, but could not add it to levels.txt: Is a directory");
    ASSERT_EQ(StateMenu::levelList.size(), 1u);  // playable in this run all the same
}

TEST_F(Editor, SaveKeyWorksOnlyInEditMode) {
    step(0, 0, 0, {kReturn});
    step(0, 0, 0, {kSave});
    EXPECT_FALSE(std::filesystem::exists("levels/mylevel1.lvl"));
    step(0, 0, 0, {kEscape});
    step(0, 0, 0);
    step(0, 0, 0, {kSave});
    EXPECT_TRUE(std::filesystem::exists("levels/mylevel1.lvl"));
}
