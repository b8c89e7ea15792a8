// The level writer: hand-written levels holding every object kind and setting
// are loaded, written, and loaded again; both loads must build the same scene.
#include <sstream>
#include <typeinfo>

#include "app_fixture.h"
#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/draw_log.h"
#include "game/render/text.h"

namespace {

std::string written(Level& level) {
    std::string text, error;
    EXPECT_TRUE(LevelWriter::write(level, text, error)) << error;
    return text;
}

// Compares two loads object by object: kind, place, size, pictures, options,
// conditions; and the level settings.
void expectSameScene(Level& a, Level& b) {
    EXPECT_EQ(a.length, b.length);
    EXPECT_EQ(a.background, b.background);
    ASSERT_EQ(a.victoryConditions.size(), b.victoryConditions.size());
    for (const auto& entry : a.victoryConditions) {
        ASSERT_EQ(b.victoryConditions.count(entry.first), 1u) << entry.first;
        const victoryStruct& v = entry.second;
        const victoryStruct& w = b.victoryConditions.at(entry.first);
        EXPECT_EQ(v.x, w.x);
        EXPECT_EQ(v.y, w.y);
        EXPECT_EQ(v.w, w.w);
        EXPECT_EQ(v.h, w.h);
        EXPECT_EQ(v.condition, w.condition) << entry.first;
        EXPECT_EQ(v.completeness, w.completeness) << entry.first;
    }
    ASSERT_EQ(a.objects.size(), b.objects.size());
    auto j = b.objects.begin();
    int index = 0;
    for (auto i = a.objects.begin(); i != a.objects.end(); ++i, ++j, ++index) {
        Object* x = *i;
        Object* y = *j;
        SCOPED_TRACE("object " + std::to_string(index) + " " + typeid(*x).name());
        ASSERT_EQ(typeid(*x), typeid(*y));
        // Walls and outlines load pictures of their own: compare by name.
        EXPECT_EQ(DrawLog::imageOf(x->sprite), DrawLog::imageOf(y->sprite));
        EXPECT_EQ(x->cachedPosition, y->cachedPosition);
        ASSERT_EQ(x->physics != nullptr, y->physics != nullptr);
        if (x->physics) {
            EXPECT_EQ(x->physics->getPosition(), y->physics->getPosition());
            EXPECT_EQ(x->physics->getOrientation().getAngle(), y->physics->getOrientation().getAngle());
            EXPECT_EQ(x->physics->isStatic(), y->physics->isStatic());
            EXPECT_EQ(x->physics->getInverseMass(), y->physics->getInverseMass());
        }
        EXPECT_EQ(x->data, y->data);
        ASSERT_EQ(x->victory.size(), y->victory.size());
        if (!x->victory.empty()) {
            EXPECT_EQ(x->victory.front().condition, y->victory.front().condition);
            EXPECT_EQ(x->victory.front().x, y->victory.front().x);
        }
        if (auto* s = dynamic_cast<StaticBox*>(x)) {
            auto* t = static_cast<StaticBox*>(y);
            EXPECT_EQ(s->width, t->width);
            EXPECT_EQ(s->height, t->height);
            EXPECT_EQ(s->image, t->image);
            EXPECT_EQ(s->hasPhysics, t->hasPhysics);
            EXPECT_EQ(s->noPhysPos, t->noPhysPos);
            EXPECT_EQ(s->outlineOf, t->outlineOf);
        } else if (auto* s = dynamic_cast<Ball*>(x)) {
            auto* t = static_cast<Ball*>(y);
            EXPECT_EQ(s->radius, t->radius);
            EXPECT_EQ(s->image, t->image);
            EXPECT_EQ(s->hasRestitution, t->hasRestitution);
            EXPECT_EQ(s->restitution, t->restitution);
        } else if (auto* s = dynamic_cast<Box*>(x)) {
            auto* t = static_cast<Box*>(y);
            EXPECT_EQ(s->width, t->width);
            EXPECT_EQ(s->height, t->height);
            EXPECT_EQ(s->image, t->image);
        } else if (auto* s = dynamic_cast<Polygon0*>(x)) {
            auto* t = static_cast<Polygon0*>(y);
            EXPECT_EQ(s->scale, t->scale);
            EXPECT_EQ(s->image, t->image);
            ASSERT_EQ(s->pointNum, t->pointNum);
            for (int k = 0; k < s->pointNum; ++k) EXPECT_EQ(s->points[k], t->points[k]) << k;
            EXPECT_EQ(s->isStaticPolygon, t->isStaticPolygon);
            EXPECT_EQ(s->hasRotate, t->hasRotate);
            EXPECT_EQ(s->rotate, t->rotate);
        } else if (auto* s = dynamic_cast<Bomb*>(x)) {
            EXPECT_EQ(s->time, static_cast<Bomb*>(y)->time);
        } else if (auto* s = dynamic_cast<BlackHole*>(x)) {
            EXPECT_EQ(s->power, static_cast<BlackHole*>(y)->power);
            EXPECT_EQ(s->list, &a.objects);
            EXPECT_EQ(static_cast<BlackHole*>(y)->list, &b.objects);
        } else if (auto* s = dynamic_cast<Text*>(x)) {
            auto* t = static_cast<Text*>(y);
            EXPECT_EQ(s->text, t->text);
            EXPECT_EQ(s->size, t->size);
            EXPECT_EQ(s->colour, t->colour);
        }
    }
}

}  // namespace

using Writer = AppDir;

TEST_F(Writer, EveryKindAndSettingRoundTrips) {
    const std::string level =
        "# a hand-written level\n"
        "Background backdrop2.tga\n"
        "Length 120\n"
        "Victory goal enter 700 60 120 100 whole --drawRect\n"
        "Ball 100 500 16 orangeball.tga --victory goal --restitution 0.3\n"
        "Ball 150 500 12 orangeball.tga\n"
        "Box 300 40 64 32 crate1.tga --victory away\n"
        "StaticBox 400 200 200 20 wall.tga\n"
        "StaticBox 420 260 30 10\n"
        "Polygon 550 100 64 poly.tga 3 0 0 1 0 0.5 1 --static\n"
        "Polygon 250 300 40.5 poly.tga 4 0 0 1 0 1 1 0 1 --rotate 0.785398 --victory goal\n"
        "Bomb 320 100 3\n"
        "BlackHole 600 400 1500\n"
        "Text 250 560 0xffffff \"Some text\"\n"
        "Text 20 30 18 0xff0000 two\\lines\n"
        "Text 40 50 yellow\n"
        "Victory away leave 100 100 50 50 partial\n"
        "Victory spare auto 1 2 3 4\n";
    writeLevel("hand", level);
    Level first("hand");
    const std::string text = written(first);
    EXPECT_EQ(text.rfind("# boxquake user level\n", 0), 0u);
    writeLevel("again", text);
    Level second("again");
    expectSameScene(first, second);
    // Writing the reload gives the same file again.
    EXPECT_EQ(written(second), text);
}

TEST_F(Writer, WritesTheLinesInOrderWithoutTheBoundaryWalls) {
    writeLevel("hand", "Victory goal enter 700 60 120 100 whole --drawRect\n"
                       "Ball 100 500 16 orangeball.tga --victory goal --restitution 0.3\n"
                       "Victory goal leave 10 20 30 40\n"
                       "Text 100 200 \"two words\"\n");
    Level level("hand");
    EXPECT_EQ(written(level),
              "# boxquake user level\n"
              "Length 300\n"
              "Victory goal leave 700 60 120 100 centre --drawRect\n"
              "Ball 100 500 16 orangeball.tga --victory goal --restitution 0.300000012\n"
              "Text 100 200 29 0xffff00 \"two words\"\n"
              "Victory goal leave 10 20 30 40 centre\n");
}

TEST_F(Writer, MovedBoundaryWallIsKeptAsAnOrdinaryWall) {
    Level level("none");
    Object* floor = level.objects.front();
    floor->cachedPosition = physics::Vector2D(400, 50);
    floor->physics->setPosition(floor->cachedPosition);
    auto* right = static_cast<StaticBox*>(*std::next(level.objects.begin(), 3));
    level.removeObject(*std::next(level.objects.begin(), 1));  // the ceiling
    right->size(physics::Vector2D(40, 620));
    EXPECT_EQ(written(level),
              "# boxquake user level\n"
              "Length 300\n"
              "StaticBox 400 50 820 20 wall.tga\n"
              "StaticBox 805 300 40 620 wall.tga\n");
}

TEST_F(Writer, WordsAreSpelledSoTheReaderCutsThemBack) {
    std::string line = "Text";
    EXPECT_TRUE(LevelWriter::appendWord(line, "plain"));
    EXPECT_TRUE(LevelWriter::appendWord(line, "with space\tand tab"));
    EXPECT_TRUE(LevelWriter::appendWord(line, "\"quoted"));
    EXPECT_TRUE(LevelWriter::appendWord(line, "in\"side"));
    std::vector<std::string> tokens = LevelFile::tokenise(line);
    EXPECT_EQ(tokens[0], "Text");
    EXPECT_EQ(tokens[1], "plain");
    EXPECT_EQ(tokens[2], "with space\tand tab");
    EXPECT_EQ(tokens[3], "\"quoted");
    EXPECT_EQ(tokens[4], "in\"side");
    EXPECT_EQ(tokens[5], "");

    std::string untouched = line;
    EXPECT_FALSE(LevelWriter::appendWord(line, ""));
    EXPECT_FALSE(LevelWriter::appendWord(line, "a \"b\""));
    EXPECT_FALSE(LevelWriter::appendWord(line, "line\nbreak"));
    EXPECT_EQ(line, untouched);
}

TEST_F(Writer, RefusesWhatTheFormatCannotHoldAndSaysWhat) {
    Level level("none");
    std::string words[] = {"Text", "10", "10", "hello", ""};
    Object* label = level.constructObject(words);
    ASSERT_NE(label, nullptr);
    level.objects.push_back(label);
    static_cast<Text*>(label)->text = "say \"hi\"";
    std::string text, error;
    EXPECT_FALSE(LevelWriter::write(level, text, error));
    EXPECT_NE(error.find("say \"hi\""), std::string::npos) << error;

    static_cast<Text*>(label)->text = "back\\slash";
    EXPECT_FALSE(LevelWriter::write(level, text, error));
    EXPECT_NE(error.find("backslash"), std::string::npos) << error;

    static_cast<Text*>(label)->text = "fine";
    std::string bombWords[] = {"Bomb", "10", "10", "2", ""};
    Object* bomb = level.constructObject(bombWords);
    level.objects.push_back(bomb);
    static_cast<Bomb*>(bomb)->setTime(90);
    EXPECT_FALSE(LevelWriter::write(level, text, error));
    EXPECT_NE(error.find("90 updates"), std::string::npos) << error;

    // A failed save names the file and leaves nothing behind.
    EXPECT_FALSE(LevelWriter::save(level, "levels/out.lvl", error));
    EXPECT_EQ(error.rfind("Could not save levels/out.lvl: ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists("levels/out.lvl"));
    EXPECT_FALSE(std::filesystem::exists("levels/out.lvl.tmp"));
}

TEST_F(Writer, SaveReplacesALongerFileWhole) {
    writeFile("levels/out.lvl", std::string(5000, '#') + "\nBall 1 1 1 orangeball.tga\n");
    Level level("none");
    std::string error;
    ASSERT_TRUE(LevelWriter::save(level, "levels/out.lvl", error)) << error;
    EXPECT_EQ(readFile("levels/out.lvl"), "# boxquake user level\nLength 300\n");
}
