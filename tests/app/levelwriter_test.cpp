// The level writer: a hand-written level holding every object kind and setting
// is loaded, written and loaded again, and both loads must build the same scene;
// what a line cannot hold is refused with a message naming it.
#include <functional>

#include "app_fixture.h"
#include "game/objects/levelfile.h"
#include "scene.h"

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
               "Polygon 250 300 40.5 poly.tga 4 0 0 1 0 1 1 0 1 --rotate 0.78539816 --victory goal\n"
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

TEST_F(Writer, AResizedBoundaryWallIsKeptAsAnOrdinaryWallAndADeletedOneIsNotWritten) {
    // What the user built stays; a deleted wall comes back on loading all the same.
    Level level("none");
    level.removeObject(*std::next(level.objects.begin(), 1));  // the ceiling
    static_cast<StaticBox*>(level.objects.back())->size(physics::Vector2D(40, 620));  // the right wall
    EXPECT_EQ(written(level), "# boxquake user level\nLength 300\nStaticBox 905 300 40 620 wall.tga\n");
}

TEST(WriterWords, EachWordIsCutBackAsWrittenOrRefusedWhole) {
    using Words = std::vector<std::string>;
    struct Case { const char* word; bool fits; };
    const Case cases[] = {{"plain", true}, {"with space\tand tab", true}, {"\"quoted", true}, {"in\"side", true},
                          {"", false},     {"a \"b\"", false},           {"line\nbreak", false}};
    for (const Case& c : cases) {
        std::string line = "Text";
        EXPECT_EQ(LevelWriter::appendWord(line, c.word), c.fits) << c.word;
        LevelWriter::appendWord(line, "next");
        const Words tokens = LevelFile::tokenise(line);
        // A refused word adds nothing to the line.
        const Words expected = c.fits ? Words{"Text", c.word, "next"} : Words{"Text", "next", ""};
        EXPECT_EQ(Words(tokens.begin(), tokens.begin() + 3), expected) << c.word;
    }
}

TEST_F(Writer, RefusesWhatALineCannotHoldAndSaysWhat) {
    struct Case { const char* line; std::function<void(Object&)> change; const char* said; };
    const Case cases[] = {
        {"Text 10 10 hello", [](Object& o) { static_cast<Text&>(o).text = "say \"hi\""; }, "say \"hi\""},
        {"Text 10 10 hello", [](Object& o) { static_cast<Text&>(o).text = "back\\slash"; }, "backslash"},
        {"Bomb 10 10 2", [](Object& o) { static_cast<Bomb&>(o).setTime(90); }, "90 updates"},
    };
    for (const Case& c : cases) {
        writeLevel("odd", std::string(c.line) + "\n");
        Level level("odd");
        c.change(*level.objects.back());
        std::string text, error;
        EXPECT_FALSE(LevelWriter::write(level, text, error)) << c.said;
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
    }
}
