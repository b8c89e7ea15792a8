// Malformed files a player may be handed or left with (levels, level lists,
// solutions, progress, Targa pictures) and missing or unwritable places. Each
// is answered with one message naming the file and why, without a crash, and
// nothing of the player's is lost. docs/malformed-inputs.md lists every row.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/objects/progress.h"
#include "game/objects/solution.h"
#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/tga.h"
#include "level_fixture.h"
#include "render/tga_bytes.h"

namespace {

using Lines = std::vector<std::string>;

#if defined(__SANITIZE_ADDRESS__)
const bool kSanitized = true;  // the sanitizer's shadow memory does not fit a data limit
#else
const bool kSanitized = false;
#endif

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xff);
    return bytes;
}

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What a child process may not do: write files past `fileBytes` (the write fails
// with EFBIG, SIGXFSZ ignored), take more than `dataBytes` of memory, or write
// into a read-only directory (`unprivileged`: root would, so it becomes nobody).
struct Limits {
    rlim_t fileBytes = 0;  // 0: no limit
    rlim_t dataBytes = 0;  // 0: no limit
    bool unprivileged = false;
};

// Runs `body` in a child process under `limits` and returns what `body`
// returned, or "child failed" when it did not end normally.
std::string inChild(const std::function<std::string()>& body, const Limits& limits) {
    int out[2];
    if (pipe(out) != 0) return "no pipe";
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        bool ready = true;
        if (limits.fileBytes > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{limits.fileBytes, limits.fileBytes};
            ready = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
        if (limits.dataBytes > 0) {
            const rlimit limit{limits.dataBytes, limits.dataBytes};
            ready = ready && setrlimit(RLIMIT_DATA, &limit) == 0;
        }
        if (limits.unprivileged && geteuid() == 0) ready = ready && setgid(65534) == 0 && setuid(65534) == 0;
        // Nothing may leave the child but its answer: an exception escaping into
        // the test framework would run the rest of the tests a second time here.
        std::string result = "child could not take its limits";
        try {
            if (ready) result = body();
        } catch (...) {
            result = "threw";  // std::bad_alloc, say
        }
        const bool written = write(out[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
        _exit(written ? 0 : 1);
    }
    close(out[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

}  // namespace

class MalformedTest : public LevelDir {
protected:
    // The level `name` written as `text` and loaded as the game loads it, with
    // what it said on standard error and standard output (the pictures' lines).
    std::unique_ptr<Level> loadSaying(const std::string& name, const std::string& text, Lines& err, Lines& out) {
        writeLevel(name, text);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto level = std::make_unique<Level>(name);
        err = linesOf(testing::internal::GetCapturedStderr());
        out = linesOf(testing::internal::GetCapturedStdout());
        return level;
    }
};

// A level loads whatever its bytes: each line it cannot use is skipped with one
// message naming the file, the line and why, the rest loads and plays with
// finite bodies, and no picture outside media/ is opened.
TEST_F(MalformedTest, LevelFiles) {
    const std::string ball = "Ball 400 300 16 ball.tga\n";
    const struct {
        const char* name;
        std::string text;
        std::size_t objects;  // loaded besides the four walls
        Lines why;            // one message each, in order; "*" for any message of the file
    } rows[] = {
        {"binary", randomBytes(20000, 16), 0, {"*"}},
        {"tenmegabyteline", ball + "Ball 1 2 " + std::string(10 << 20, '7') + "\n" + ball, 1,
         {"line 2: \"7777777777777777777777777777777777777777\"... (1014 bytes) is out of range (Ball radius)",
          "line 2: longer than 1023 characters; read up to there, and the rest of the file skipped"}},
        // Within range, far outside the field: loads, and stays finite.
        {"farandbig", "Box 2000000000 -2000000000 40 40 crate.tga\nBox 400 300 1000000 1000000 crate.tga\n" + ball,
         3, {}},
        {"zerosize", "Box 400 300 0 0 crate.tga\nBall 200 300 0 ball.tga\nStaticBox 100 100 0 0\n" + ball, 4, {}},
        {"negativesize", "Box 400 300 -40 -30 crate.tga\nBall 200 300 -16 ball.tga\nStaticBox 100 100 -50 -10\n" + ball,
         4, {}},
        {"climbingpicture",
         "Background ../../something\nBall 400 300 16 /etc/passwd\nBox 400 300 8 8 ..\nStaticBox 400 300 8 8 ../x\n" + ball,
         1,
         {"line 1: \"../../something\" is not a picture in media/", "line 2: \"/etc/passwd\" is not a picture in media/",
          "line 3: \"..\" is not a picture in media/", "line 4: \"../x\" is not a picture in media/"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Lines err, out;
        auto level = loadSaying(row.name, row.text, err, out);
        const std::string file = std::string("./levels/") + row.name + ".lvl";
        if (row.why == Lines{"*"}) {
            EXPECT_FALSE(err.empty());
        } else {
            ASSERT_EQ(err.size(), row.why.size());
            for (std::size_t i = 0; i < err.size(); ++i) {
                EXPECT_EQ(err[i].rfind(file + ", " + row.why[i], 0), 0u) << err[i];
            }
        }
        for (const std::string& line : err) {
            EXPECT_EQ(line.rfind(file + ", line ", 0), 0u) << line;
            EXPECT_LT(line.size(), 300u) << "one short line, whatever the input";
        }
        // Only pictures inside media/ are ever tried.
        const std::string failed = "Failed to load ./media/";
        for (const std::string& line : out) {
            EXPECT_EQ(line.rfind(failed, 0), 0u) << line;
            const std::string picture = line.substr(std::min(line.size(), failed.size()));
            EXPECT_TRUE(picture.find('/') == std::string::npos && picture != "..") << line;
        }
        EXPECT_EQ(level->objects.size(), 4 + row.objects);
        for (int tick = 1; tick <= 120; ++tick) level->update(tick);
        level->explode(400.0f, 300.0f, 1.0f);
        for (int tick = 121; tick <= 180; ++tick) level->update(tick);
        EXPECT_TRUE(allFinite(*level));
    }
}

// Ten thousand balls load and step in a bounded time (the figures go in
// docs/malformed-inputs.md); a level that big is no reason to stop.
TEST_F(MalformedTest, TenThousandObjectsLoadAndStep) {
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += "Ball " + std::to_string(40 + (i % 100) * 7) + " " + std::to_string(40 + (i / 100) * 5) +
                " 2 ball.tga\n";
    }
    writeLevel("many", text);
    const auto start = std::chrono::steady_clock::now();
    Level level("many");
    const auto loaded = std::chrono::steady_clock::now();
    const int updates = 60;  // one second: the lowest rows reach the floor and pile up
    for (int tick = 1; tick <= updates; ++tick) level.update(tick);
    const auto stepped = std::chrono::steady_clock::now();
    const double loadSeconds = std::chrono::duration<double>(loaded - start).count();
    const double stepSeconds = std::chrono::duration<double>(stepped - loaded).count() / updates;
    std::printf("10,000 balls: loaded in %.3f s, %.1f ms an update\n", loadSeconds, stepSeconds * 1000.0);
    EXPECT_EQ(level.objects.size(), 10004u);
    EXPECT_TRUE(allFinite(level));
    EXPECT_LT(loadSeconds, 5.0);
    EXPECT_LT(stepSeconds, 1.0);
}

// A level list is read as names, one a line, whatever its bytes; a name the game
// could not open inside levels/ is refused (the menu and the tools say so and
// leave it out), so no list makes the game read a file elsewhere.
TEST_F(MalformedTest, LevelLists) {
    std::string thousand;
    for (int i = 1; i <= 1000; ++i) thousand += "level" + std::to_string(i) + "\n";
    writeFile("binary.txt", randomBytes(20000, 16));
    writeFile("thousand.txt", thousand);
    std::vector<std::string> names;
    std::vector<int> lines;
    std::string error;
    ASSERT_TRUE(levellist::read("binary.txt", names, error, &lines));
    ASSERT_EQ(names.size(), lines.size());
    for (const std::string& name : names) {
        if (!levellist::isValidName(name)) continue;
        EXPECT_EQ(name.find('/'), std::string::npos);
        EXPECT_EQ(name.find('\0'), std::string::npos);
        EXPECT_NE(name, "..");
    }
    ASSERT_TRUE(levellist::read("thousand.txt", names, error, &lines));
    ASSERT_EQ(names.size(), 1000u);
    EXPECT_EQ(names[999], "level1000");
    EXPECT_EQ(lines[999], 1000);

    const struct {
        std::string name;
        bool valid;
    } rows[] = {
        {"../../etc/passwd", false}, {"/etc/passwd", false}, {"sub/level", false}, {"..", false}, {".", false},
        {std::string("a\0b", 3), false}, {"a\nb", false},
        {"tower two", true}, {"a..b", true}, {"..hidden", true},  // odd, but inside levels/
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(levellist::printable(row.name));
        EXPECT_EQ(levellist::isValidName(row.name), row.valid);
    }
    // A list that cannot be read names itself.
    std::filesystem::create_directory("folder.txt");
    EXPECT_FALSE(levellist::read("folder.txt", names, error));
    EXPECT_EQ(error, "folder.txt: cannot read the level list");
}

// A solution that is cut short, binary or for another version of its level is
// refused with the file, the line and why (the tools) or a reason for the
// player (the game's par and "show me"); the level plays on without it.
TEST_F(MalformedTest, SolutionFiles) {
    writeLevel("lvl", "Ball 400 300 16 ball.tga\n");
    const std::string hash = leveltools::levelHash(readFile("levels/lvl.lvl"));
    const std::string whole = "hash " + hash + "\npar 2\nclick 40 352 118\nclick 300 610 95\n";
    const struct {
        const char* name;
        std::string text;
        std::string error;  // from readSolution, after "levels/<name>.sol, "
        std::string why;    // from readCurrentSolution; empty: it is current
    } rows[] = {
        {"whole", whole, "", ""},
        {"truncated", whole.substr(0, whole.size() - 6), "line 4: expected \"click <update> <x> <y>\" with three integers",
         "the stored solution cannot be read"},
        {"halfhash", whole.substr(0, 12), "line 1: expected \"hash\" and 16 lower-case hex digits",
         "the stored solution cannot be read"},
        {"binary", std::string("\x7f\x45\x4c\x46\x02\x01\x01\xff\xfe rest\n", 15) + whole,
         "line 1: unknown item \"\\x7fELF\\x02\\x01\\x01\\xff\\xfe\" (hash, par, updates, playable, limit, click)",
         "the stored solution cannot be read"},
        {"wronghash", "hash 0123456789abcdef\npar 2\nclick 40 352 118\nclick 300 610 95\n", "",
         "the stored solution is for an older version of this level"},
        {"empty", "", "line 0: no \"hash\" line", "the stored solution cannot be read"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = std::string("levels/") + row.name + ".sol";
        writeFile(path, row.text);
        leveltools::Solution solution;
        std::string error, why;
        EXPECT_EQ(leveltools::readSolution(path, solution, error), row.error.empty());
        if (!row.error.empty()) {
            EXPECT_EQ(error, path + ", " + row.error);
        }
        EXPECT_EQ(leveltools::readCurrentSolution("levels/lvl.lvl", path, solution, why), row.why.empty());
        EXPECT_EQ(why.rfind(row.why, 0), 0u) << why;
        if (!row.error.empty()) {
            EXPECT_NE(why.find(path), std::string::npos) << why;
        }
        EXPECT_EQ(readFile(path), row.text) << "a reader never changes the file";
    }
}

// A progress file the game cannot read is moved aside whole (".bad", ".bad2",
// ...), said once, and play goes on from empty; what the player had is never
// overwritten.
TEST_F(MalformedTest, ProgressFiles) {
    const std::string good = "# boxquake progress\nwon 2 734 firstblast\nunfinished 0 0 tower two\n";
    const struct {
        const char* name;
        std::string text;
        std::string why;  // after "<file>, "; empty: read as it is
    } rows[] = {
        {"good", good, ""},
        {"truncated", good.substr(0, good.size() - 14), "line 3: the explosions are not a whole number"},
        {"cutinaword", good.substr(0, 29), "line 2: no level name"},
        {"binary", std::string("\xff\xfe\x00won 1 2 x\n", 13) + randomBytes(3000, 7),
         "line 1: \"\\xff\\xfe\\x00won\" is not new, won or unfinished"},
        {"hugenumber", "won 99999999999 1 lvl\n", "line 1: the explosions are not a whole number"},
        {"noname", "won 1 1\n", "line 1: no level name"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = std::string(row.name) + "-progress.txt";
        writeFile(path, row.text);
        progress::Store store(path);
        const std::string said = store.load();
        if (row.why.empty()) {
            EXPECT_EQ(said, "");
            EXPECT_EQ(store.results.size(), 2u);
            continue;
        }
        EXPECT_EQ(said, path + ", " + row.why + "; kept as " + path + ".bad, progress starts afresh");
        EXPECT_TRUE(store.results.empty());
        store.results["firstblast"] = {progress::WON, 1, 100};
        EXPECT_EQ(store.save(), "");
        EXPECT_EQ(readFile(path + ".bad"), row.text);
        // Damaged again: the first copy stays, the second goes beside it.
        writeFile(path, row.text);
        EXPECT_NE(progress::Store(path).load().find("kept as " + path + ".bad2"), std::string::npos);
        EXPECT_EQ(readFile(path + ".bad"), row.text);
        EXPECT_EQ(readFile(path + ".bad2"), row.text);
    }
}

// A Targa picture whose header does not fit its file is refused before any
// pixel memory is taken; the sprite says which file failed and draws nothing.
// (Short, zero-sized and unknown kinds of picture: Tga.HandMadeFilesDecodeToTheirPixelsOrAreRefused.)
TEST_F(MalformedTest, TargaPictures) {
    auto bytes = [](const std::vector<unsigned char>& b) { return std::string(b.begin(), b.end()); };
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"huge.tga", bytes(tgaFile(2, 65535, 65535, 32, 0x28, {1, 2, 3, 4}))},
        {"hugerle.tga", bytes(tgaFile(10, 65535, 65535, 32, 0x28, {0xff, 1, 2, 3, 4}))},
        {"binary.tga", randomBytes(5000, 3)},
        {"empty.tga", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = std::string("media/") + row.name;
        writeFile(path, row.bytes);
        // Under a memory limit, so a reader that believed the header fails here
        // rather than taking the machine's memory.
        const std::string result = inChild(
            [&path] {
                tga::Header h;
                tga::Image image;
                return std::string(tga::readHeader(path, h) ? "header" : "no header") +
                       (tga::read(path, image) || !image.rgba.empty() ? ", pixels" : "");
            },
            Limits{0, kSanitized ? 0 : 512u << 20, false});
        EXPECT_EQ(result, "no header");
        testing::internal::CaptureStdout();
        Sprite sprite(row.name);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Failed to load ./media/") + row.name + "\n");
        EXPECT_TRUE(sprite.empty());
    }
}

// Without media/ a level still loads and plays: each picture says once that it
// failed and nothing is drawn for it.
TEST_F(MalformedTest, MissingMediaDirectory) {
    // The sprite cache and the shared explosion hold pictures loaded by earlier
    // tests, which would hide the loss; the empty ones made here must not outlive it.
    auto forgetPictures = [] {
        Level::explodey.reset();
        SpriteManager::clear();
    };
    std::filesystem::rename("media", "elsewhere");
    forgetPictures();
    {
        Lines err, out;
        auto level = loadSaying("nomedia", "Background backdrop.tga\nBall 400 300 16 ball.tga\nBall 300 300 16 ball.tga\n",
                                err, out);
        EXPECT_TRUE(err.empty());
        EXPECT_EQ(std::count(out.begin(), out.end(), "Failed to load ./media/ball.tga"), 1);
        EXPECT_EQ(std::count(out.begin(), out.end(), "Failed to load ./media/backdrop.tga"), 1);
        EXPECT_EQ(level->objects.size(), 6u);
        for (int tick = 1; tick <= 60; ++tick) level->update(tick);
        level->explode(400.0f, 300.0f, 1.0f);
        level->draw();
        EXPECT_TRUE(allFinite(*level));
    }
    forgetPictures();
    std::filesystem::rename("elsewhere", "media");
}

// A read-only data directory is only read: its list, levels and solutions load;
// a read-only player directory keeps the progress in memory with one message,
// and the files there stay as they were.
TEST_F(MalformedTest, ReadOnlyDirectories) {
    writeFile("data/levels.txt", "one\n");
    writeFile("data/levels/one.lvl", "Ball 400 300 16 ball.tga\n");
    writeFile("player/progress.txt", "# boxquake progress\nwon 2 734 one\n");
    writeFile("player/levels.txt", "mine\n");
    writeFile("bad/progress.txt", "garbage\n");
    namespace fs = std::filesystem;
    // Everyone may enter; nobody may write (root aside, hence the child drops its rights).
    for (const char* dir : {".", "data", "data/levels", "player", "bad", "media", "levels"}) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                 fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    }
    const std::string said = inChild(
        [] {
            std::string result;
            std::vector<std::string> names;
            std::string error;
            result += levellist::read("data/levels.txt", names, error) && names.size() == 1 ? "list read\n" : error;
            {
                Level level("one", "data/levels/one.lvl");
                result += level.objects.size() == 5 ? "level read\n" : "level not read\n";
            }
            progress::Store store("player/progress.txt");
            result += store.load() + "|";
            progress::record(store.results["one"], true, 1, 100);
            result += store.save() + "|";
            result += store.save() + "|";  // said once only
            std::string why;
            result += levellist::append("player/levels.txt", "two", why) ? "appended" : why;
            progress::Store bad("bad/progress.txt");
            result += "|" + bad.load() + "|";
            return result + bad.save();
        },
        Limits{0, 0, true});
    for (const char* dir : {".", "data", "data/levels", "player", "bad", "media", "levels"}) {
        fs::permissions(dir, fs::perms::owner_all);
    }
    const std::string denied = std::string(std::strerror(EACCES));
    EXPECT_EQ(said, "list read\nlevel read\n|Could not save the progress to player/progress.txt: " + denied +
                        "; it is kept only until the game ends||could not add it to player/levels.txt: " + denied +
                        "|bad/progress.txt, line 1: \"garbage\" is not new, won or unfinished; it cannot be moved "
                        "aside (" + denied + "), so this run's progress is kept only until the game ends|");
    EXPECT_EQ(readFile("player/progress.txt"), "# boxquake progress\nwon 2 734 one\n");
    EXPECT_EQ(readFile("player/levels.txt"), "mine\n");
    EXPECT_EQ(readFile("bad/progress.txt"), "garbage\n");
    EXPECT_FALSE(fs::exists("player/progress.txt.tmp"));
}

// A full disk while saving: the write fails (EFBIG here, under a file size
// limit), the message says so, and the old file stays whole.
TEST_F(MalformedTest, FullDiskKeepsTheOldFiles) {
    std::string oldProgress = "# boxquake progress\n";
    for (int i = 0; i < 40; ++i) oldProgress += "won 1 100 level" + std::to_string(i) + "\n";
    writeFile("progress.txt", oldProgress);
    std::string oldList;  // 990 bytes: the new name takes it over the limit
    for (int i = 100; i < 210; ++i) oldList += "level" + std::to_string(i) + "\n";
    writeFile("levels.txt", oldList);
    writeFile("levels/lvl.sol", "hash 0123456789abcdef\npar 0\n");
    const std::string said = inChild(
        [] {
            progress::Store store("progress.txt");
            std::string result = store.load();
            for (int i = 0; i < 100; ++i) progress::record(store.results["new level " + std::to_string(i)], true, 2, 3);
            result += store.save() + "|";
            std::string why;
            result += (levellist::append("levels.txt", std::string(60, 'n'), why) ? "appended" : why) + "|";
            leveltools::Solution solution;
            solution.hash = "fedcba9876543210";
            solution.par = 80;
            for (int i = 1; i <= 80; ++i) solution.clicks.push_back({i * 10, 400, 300});
            return result + (leveltools::writeSolution("levels/lvl.sol", solution, "lvl", why) ? "written" : why);
        },
        Limits{1024, 0, false});
    const std::string tooBig = std::strerror(EFBIG);
    EXPECT_EQ(said, "Could not save the progress to progress.txt: " + tooBig +
                        "; it is kept only until the game ends|could not add it to levels.txt: " + tooBig +
                        "|levels/lvl.sol: cannot write (" + tooBig + ")");
    EXPECT_EQ(readFile("progress.txt"), oldProgress);
    EXPECT_EQ(readFile("levels.txt"), oldList);
    EXPECT_EQ(readFile("levels/lvl.sol"), "hash 0123456789abcdef\npar 0\n");
    for (const char* left : {"progress.txt.tmp", "levels.txt.tmp", "levels/lvl.sol.tmp"}) {
        EXPECT_FALSE(std::filesystem::exists(left)) << left;
    }
}
