// The level writer: a hand-written level holding every object kind and setting
// is loaded, written and loaded again, and both loads must build the same scene;
// what a line cannot hold is refused with a message naming it.
#include <functional>
#include <iomanip>
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

// Everything a level file sets, one entry per setting, condition and object, so
// that two loads compare as two lists and a difference shows as the entry that
// differs. Reals carry nine digits: the writer must keep the same float.
std::vector<std::string> scene(Level& level) {
    std::vector<std::string> out;
    std::ostringstream head;
    head << "Length " << level.length << " backdrop " << DrawLog::imageOf(level.background);
    out.push_back(head.str());
    for (const auto& [name, v] : level.victoryConditions) {
        std::ostringstream s;
        s << "Victory " << name << ' ' << v.x << ' ' << v.y << ' ' << v.w << ' ' << v.h << ' ' << v.condition << ' '
          << v.completeness;
        out.push_back(s.str());
    }
    for (Object* o : level.objects) {
        std::ostringstream s;
        s << std::setprecision(9) << typeid(*o).name() << " at " << o->cachedPosition.x << ',' << o->cachedPosition.y
          << ' ' << DrawLog::imageOf(o->sprite);
        if (o->physics) {
            s << " angle " << o->physics->getOrientation().getAngle() << " static " << o->physics->isStatic()
              << " 1/m " << o->physics->getInverseMass();
        }
        for (const auto& [key, value] : o->data) s << ' ' << key << '=' << value;
        for (const victoryStruct& v : o->victory) s << " must " << v.condition << " at " << v.x << ',' << v.y;
        if (auto* w = dynamic_cast<StaticBox*>(o)) {
            s << " wall " << w->width << 'x' << w->height << ' ' << w->image << " body " << w->hasPhysics << " outline "
              << w->outlineOf << ' ' << w->noPhysPos.x << ',' << w->noPhysPos.y;
        } else if (auto* b = dynamic_cast<Ball*>(o)) {
            s << " ball " << b->radius << ' ' << b->image << " bounce " << b->hasRestitution << ' ' << b->restitution;
        } else if (auto* c = dynamic_cast<Box*>(o)) {
            s << " crate " << c->width << 'x' << c->height << ' ' << c->image;
        } else if (auto* p = dynamic_cast<Polygon0*>(o)) {
            s << " polygon " << p->scale << ' ' << p->image << " static " << p->isStaticPolygon << " turned "
              << p->hasRotate << ' ' << p->rotate;
            for (int k = 0; k < p->pointNum; ++k) s << ' ' << p->points[k].x << ',' << p->points[k].y;
        } else if (auto* f = dynamic_cast<Bomb*>(o)) {
            s << " fuse " << f->getTime();
        } else if (auto* h = dynamic_cast<BlackHole*>(o)) {
            s << " power " << h->power << " pulls this level " << (h->list == &level.objects);
        } else if (auto* t = dynamic_cast<Text*>(o)) {
            s << " text " << t->text << ' ' << t->size << ' ' << t->colour;
        }
        out.push_back(s.str());
    }
    return out;
}

}  // namespace

using Writer = AppDir;

TEST_F(Writer, EveryKindAndSettingRoundTrips) {
    writeLevel("hand",
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
               "Victory spare auto 1 2 3 4\n");
    Level first("hand");
    ASSERT_EQ(first.objects.size(), 4u + 13u);  // the boundary walls, then every line read
    const std::string text = written(first);
    writeLevel("again", text);
    Level second("again");
    EXPECT_EQ(scene(first), scene(second));
    EXPECT_EQ(written(second), text);  // and writing the reload gives the same file
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
    level.removeObject(*std::next(level.objects.begin(), 1));  // the ceiling: it comes back on loading
    right->size(physics::Vector2D(40, 620));
    EXPECT_EQ(written(level),
              "# boxquake user level\n"
              "Length 300\n"
              "StaticBox 400 50 820 20 wall.tga\n"
              "StaticBox 805 300 40 620 wall.tga\n");
}

TEST(WriterWords, EachWordIsCutBackAsWrittenOrRefused) {
    const struct {
        const char* word;
        bool fits;
    } cases[] = {{"plain", true},  {"with space\tand tab", true}, {"\"quoted", true},      {"in\"side", true},
                 {"", false},      {"a \"b\"", false},             {"line\nbreak", false}};
    for (const auto& c : cases) {
        std::string line = "Text";
        EXPECT_EQ(LevelWriter::appendWord(line, c.word), c.fits) << c.word;
        if (!c.fits) {
            EXPECT_EQ(line, "Text") << c.word;  // nothing half-written
            continue;
        }
        ASSERT_TRUE(LevelWriter::appendWord(line, "next"));
        const std::vector<std::string> tokens = LevelFile::tokenise(line);
        EXPECT_EQ(std::vector<std::string>(tokens.begin(), tokens.begin() + 4),
                  (std::vector<std::string>{"Text", c.word, "next", ""}));
    }
}

TEST_F(Writer, RefusesWhatALineCannotHoldAndSaysWhat) {
    const struct {
        const char* line;
        std::function<void(Object&)> change;
        const char* said;
    } cases[] = {
        {"Text 10 10 hello", [](Object& o) { static_cast<Text&>(o).text = "say \"hi\""; }, "say \"hi\""},
        {"Text 10 10 hello", [](Object& o) { static_cast<Text&>(o).text = "back\\slash"; }, "backslash"},
        {"Bomb 10 10 2", [](Object& o) { static_cast<Bomb&>(o).setTime(90); }, "90 updates"},
    };
    for (const auto& c : cases) {
        writeLevel("odd", std::string(c.line) + "\n");
        Level level("odd");
        c.change(*level.objects.back());
        std::string text, error;
        EXPECT_FALSE(LevelWriter::write(level, text, error)) << c.said;
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
    }
}
