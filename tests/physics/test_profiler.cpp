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
    void step(const std::string& var = "", int value = 0) {
        p.startStep();
        if (!var.empty()) p.setFrameVar(var, value);
        p.endStep();
    }
    std::vector<std::string> readLines(const std::string& name) {
        std::ifstream in(dir + name);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

}  // namespace

TEST_F(ProfilerTest, RecordsOnlyWhileEnabledAndKeepsTheConfiguredFrames) {
    step("Pairs", 3);
    EXPECT_TRUE(p.getFrames().empty());
    EXPECT_EQ(p.getLastFrameVar("Pairs"), -1);
    EXPECT_EQ(p.meanStepTime(), -1.0);

    p.enable();
    EXPECT_EQ(p.meanStepTime(), 0.0);  // no frames: 0, not a division by zero
    p.setFrameVar("Pairs", 1);         // before any step: ignored
    EXPECT_TRUE(p.varsTracked.empty());
    step("Body Count", 42);
    // With one frame stored, the next step drops the frame just closed; the
    // last-frame queries must still read it (the sanitizer build checks the read).
    p.startStep();
    EXPECT_EQ(p.getFrames().size(), 1u);
    EXPECT_EQ(p.getLastFrameVar("Body Count"), 42);
    EXPECT_EQ(p.getLastFrameVar("Never Set"), 0);
    p.endStep();
    p.setFramesToStore(0);  // keep everything
    for (int i = 0; i < 5; ++i) step();
    EXPECT_EQ(p.getFrames().size(), 6u);
    EXPECT_GE(p.meanStepTime(3), 0.0);
}

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
    EXPECT_EQ(lines[0],
              "#, 'Step Time','Body Count','New Contacts','Pairs','Total Contacts','addContacts','applyForces',"
              "'findContacts','findPairs','moveBodies','notifyListeners','resolvePenetration','resolveVelocities'");
    EXPECT_EQ(lines[1].substr(0, 2), "1,");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 13);
    EXPECT_TRUE(p.getFrames().empty());
}

TEST_F(ProfilerTest, EachEndWritesTheNextNumberedFileAndMissingValuesAreZero) {
    p.enable();
    p.enableFileOutput();
    p.setOutputPath(dir);
    p.setFramesToStore(0);
    step("Later", 0);
    p.end();
    step();
    p.startStep();
    p.setFrameVar("Later", 5);
    p.setFrameVar("Alpha", 9);
    p.endStep();
    p.end();
    EXPECT_EQ(readLines("outputData_1.csv").size(), 2u);
    auto second = readLines("outputData_2.csv");
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0], "#, 'Step Time','Alpha','Later'");
    // The first frame of the second run has neither name: both written as 0.
    EXPECT_EQ(second[1].substr(0, 2), "1,");
    EXPECT_EQ(second[1].substr(second[1].size() - 4), ",0,0");
    EXPECT_EQ(second[2].substr(0, 2), "2,");
    EXPECT_EQ(second[2].substr(second[2].size() - 4), ",9,5");
}

TEST_F(ProfilerTest, UnopenableFileIsReportedAndNotCountedAndTheSummaryGoesToStdout) {
    p.enable();
    p.enableFileOutput();
    p.enableStdOutput();
    p.setOutputPath(dir + "no_such_directory/");
    step();
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    p.end();
    std::string out = ::testing::internal::GetCapturedStdout();
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("There was a problem opening the file outputData for output."), std::string::npos);
    EXPECT_EQ(p.numWrites, 1);
    EXPECT_EQ(out.rfind("PROFILER: 1 total steps logged. ", 0), 0u);
    EXPECT_NE(out.find(" s/step average over all these steps.\n"), std::string::npos);
}

TEST(MicroTimer, TicksBecomeMicrosecondsWithoutDividingByZero) {
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(5000, 1000000000), 5);  // 1000 ticks per microsecond
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(3, 500000), 6);  // slower than 1 MHz: scaled up
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(12345, 0), 0);
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(12345, -1), 0);
    EXPECT_EQ(microsBetween(TimeVal{1, 999999}, TimeVal{2, 1}), 2);
}
