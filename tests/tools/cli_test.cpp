// The command line as a level designer uses it: solve writes, verify checks, and
// the exit code tells a script what happened.
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_fixture.h"

TEST_F(ToolDir, CommandLineSolveVerifyAndTheirExitCodes) {
    std::filesystem::remove(dir() + "/levels/slide.sol");
    const std::string d = " --dir " + dir();
    const struct {
        std::string arguments;
        int exitCode;  // 0 passed or written, 1 failed, 2 usage, 4 nothing to verify
        const char* says;
    } cases[] = {
        {"verify" + d, 1, "slide.sol: no solution file"},
        {"solve" + d + " --updates 3000000 slide", 0, "slide: 1 click"},
        {"verify" + d, 0, "2 levels: 2 passed, 0 failed"},
        {"solve" + d + " --updates 100000 nowhere", 1, "no winning click sequence"},
        {"solve" + d + " --budget -1 slide", 2, ""},
        {"frobnicate", 2, ""},
        {"verify --dir " + dir() + "/nothing", 1, ""},
        {"--help", 0, "boxquake-level solve"},
    };
    std::string out;
    for (const auto& c : cases) {
        EXPECT_EQ(runTool(c.arguments, out), c.exitCode) << c.arguments << "\n" << out;
        EXPECT_NE(out.find(c.says), std::string::npos) << c.arguments << "\n" << out;
    }
    // What loading the level reports, once, whatever the replays load again.
    writeFile("levels/lesson.lvl", readFile("levels/lesson.lvl") + "Gizmo\n");
    EXPECT_EQ(runTool("verify" + d + " lesson", out), 1);
    const std::string skipped = "lesson.lvl, line 5: unknown kind \"Gizmo\"; line skipped\n";
    EXPECT_NE(out.find("lesson: "), std::string::npos) << out;
    EXPECT_EQ(out.find(skipped), out.rfind(skipped)) << out;
    EXPECT_NE(out.find(skipped), std::string::npos) << out;
    writeFile("levels.txt", "\n");
    EXPECT_EQ(runTool("verify" + d, out), 1);  // an empty list is a failure, not a pass
    std::filesystem::remove(dir() + "/levels.txt");
    EXPECT_EQ(runTool("verify" + d, out), 4);  // no list at all: the shipped-levels test is skipped
}
