// The process-wide profiler and its microsecond clock: recording while enabled,
// the stored-frame limit, the world's stages and counters in the CSV files, and
// the summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "physics/physics.h"

using namespace physics;

namespace {

// Gives each test a profiler in its start-up state and puts it back afterwards.
// The CSV names are fixed (outputData_1.csv, ...), and test processes run in
// parallel, also from other checkouts: each test writes into a fresh directory
// of its own, removed at the end.
class ProfilerTest : public ::testing::Test {
protected:
    Profiler& p = Profiler::profiler;
    std::string dir;  // ends in '/'

    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "profiler_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
        dir = pattern + "/";
        reset();
    }
    void TearDown() override {
        reset();
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
    void reset() {
        // Outputs off before end(): ending must not write a file or a summary.
        p.disableFileOutput();
        p.disableStdOutput();
        p.disableGraphOutput();
        p.end();
        p.disable();
        p.setFramesToStore(1);
        p.setOutputPath("");
        p.varsTracked.clear();
        p.numWrites = 1;
    }
    std::vector<std::string> readLines(const std::string& name) {
        std::ifstream in(dir + name);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

}  // namespace

TEST_F(ProfilerTest, WorldStepWritesOneCsvLineWithEveryStageAndCounter) {
    p.enable();
    p.enableFileOutput();
    p.setOutputPath(dir);
    {
        World<TwoDee> world;
        world.add(new Body<TwoDee>(new Circle(Vector2D(0.0f, 10.0f), 1.0f)));
        for (int i = 0; i < 3; ++i) world.step();
        EXPECT_EQ(p.getLastFrameVar("Body Count"), 1);
        EXPECT_GE(p.getLastFrameVar("findPairs"), 0);
        EXPECT_LT(p.getLastFrameVar("findPairs"), 1000000);  // microseconds since the stage began
    }  // the world's destructor ends the profiler run: the file is written
    auto lines = readLines("outputData_1.csv");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), 13);  // a name for every column
    EXPECT_EQ(lines[1].substr(0, 2), "1,");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 13);
    EXPECT_TRUE(p.getFrames().empty());
}

TEST_F(ProfilerTest, UnopenableFileIsReportedAndNotCounted) {
    p.enable();
    p.enableFileOutput();
    p.setOutputPath(dir + "no_such_directory/");
    p.startStep();
    p.endStep();
    ::testing::internal::CaptureStderr();
    p.end();
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("There was a problem opening the file outputData"),
              std::string::npos);
    EXPECT_EQ(p.numWrites, 1);
}

TEST(MicroTimer, TicksBecomeMicrosecondsWithoutDividingByZero) {
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(3, 500000), 6);  // slower than 1 MHz: scaled up
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(12345, 0), 0);
}
