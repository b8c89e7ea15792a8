// Where the game's files are: the player's directory from the environment, the
// places the shipped data is looked for, and the adoption of a level an
// earlier build saved inside the data.
#include "app_fixture.h"

TEST(Places, ThePlayersDirectoryFollowsTheOverrideThenXdgThenHome) {
    struct Case { const char *user, *xdg, *home; std::string dir; };
    const Case cases[] = {
        {"/t/p", "/x", "/h", "/t/p"},
        {nullptr, "/x", "/h", "/x/boxquake"},
        {"", "", "/h", "/h/.local/share/boxquake"},
        {nullptr, "relative", "/h", "/h/.local/share/boxquake"},  // a relative XDG_DATA_HOME is ignored
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(places::playerDirFor(c.user, c.xdg, c.home), c.dir) << c.dir;
    EXPECT_EQ(places::dataDirCandidates("/opt/bq/bin", nullptr),
              (std::vector<std::string>{"/opt/bq/bin", "/opt/bq/share/boxquake"}));
    EXPECT_EQ(places::dataDirCandidates("/opt/bq/bin", "/d").front(), "/d");
}

using PlacesDir = AppDir;

TEST_F(PlacesDir, ALevelAnOlderBuildSavedInTheDataIsKeptWithThePlayersLevelsOnce) {
    const std::string data = std::filesystem::current_path().string(), player = places::playerDir();
    writeFile("levels.txt", "a\n");
    writeFile("levels/mylevel1.lvl", "Ball 1 2 3 x.tga\n");
    writeFile("player/levels.txt", "other\n");
    EXPECT_EQ(places::adoptOldSave(data, player), "The level saved in " + data + "/levels/mylevel1.lvl is now kept " +
                                                     "with your levels, in " + player + "/levels/mylevel1.lvl");
    EXPECT_EQ(readFile("player/levels/mylevel1.lvl"), "Ball 1 2 3 x.tga\n");
    EXPECT_EQ(readFile("player/levels.txt"), "other\nmylevel1\n");
    writeFile("levels/mylevel1.lvl", "changed\n");
    EXPECT_EQ(places::adoptOldSave(data, player), "");  // the player's own is never replaced
    EXPECT_EQ(readFile("player/levels/mylevel1.lvl"), "Ball 1 2 3 x.tga\n");

    std::filesystem::remove_all("player");
    writeFile("levels.txt", "a\nmylevel1\n");  // a shipped level of that name stays shipped
    EXPECT_EQ(places::adoptOldSave(data, player), "");
    EXPECT_FALSE(std::filesystem::exists("player"));
}
