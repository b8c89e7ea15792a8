// The command line as a level designer uses it: solve writes, verify checks.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tool_fixture.h"
#include "tools/level/solution.h"

using namespace leveltools;

namespace {

// Runs the tool; returns its exit code and its standard output.
int run(const std::string& arguments, std::string* output = nullptr) {
    const std::string command = std::string(BOXQUAKE_LEVEL_TOOL) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    const int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(ToolDir, CommandLineSolveThenVerify) {
    std::filesystem::remove(dir() + "/levels/slide.sol");
    std::string out;
    EXPECT_EQ(run("verify --dir " + dir(), &out), 1);
    EXPECT_NE(out.find("slide.sol: no solution file"), std::string::npos) << out;

    ASSERT_EQ(run("solve --dir " + dir() + " --updates 3000000 slide", &out), 0) << out;
    EXPECT_NE(out.find("slide: 1 click"), std::string::npos) << out;
    EXPECT_NE(out.find("updates/s"), std::string::npos) << out;
    Solution s;
    std::string error;
    ASSERT_TRUE(readSolution(dir() + "/levels/slide.sol", s, error)) << error;
    EXPECT_EQ(s.par, 1);

    ASSERT_EQ(run("verify --dir " + dir(), &out), 0) << out;
    EXPECT_NE(out.find("2 levels: 2 passed, 0 failed"), std::string::npos) << out;
    EXPECT_NE(out.find("updates/s"), std::string::npos) << out;
    ASSERT_EQ(run("verify --dir " + dir() + " slide", &out), 0) << out;
    EXPECT_NE(out.find("1 levels: 1 passed"), std::string::npos) << out;

    // Solving again keeps the stored solution unless it is worse.
    ASSERT_EQ(run("solve --dir " + dir() + " --updates 3000000 slide", &out), 0) << out;
    EXPECT_NE(out.find("kept"), std::string::npos) << out;
}

TEST_F(ToolDir, CommandLineReportsListAndUsageProblems) {
    std::string out;
    writeFile("levels.txt", "\n");
    EXPECT_EQ(run("verify --dir " + dir()), 1);  // an empty list is a failure, not a pass
    std::filesystem::remove(dir() + "/levels.txt");
    EXPECT_EQ(run("verify --dir " + dir()), 4);  // no list at all: the shipped-levels test is skipped
    EXPECT_EQ(run("verify --dir " + dir() + " slide lesson"), 0);
    EXPECT_EQ(run("solve --dir " + dir()), 2);
    EXPECT_EQ(run("solve --dir " + dir() + " --budget -1 slide"), 2);
    EXPECT_EQ(run("frobnicate"), 2);
    EXPECT_EQ(run("verify --dir " + dir() + "/nothing"), 1);
    EXPECT_EQ(run("solve --dir " + dir() + " --updates 100000 nowhere", &out), 1);
    EXPECT_NE(out.find("no winning click sequence"), std::string::npos) << out;
    EXPECT_EQ(run("--help", &out), 0);
    EXPECT_NE(out.find("boxquake-level solve"), std::string::npos);
}
