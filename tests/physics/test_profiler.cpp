// The process-wide profiler and its microsecond clock: recording while enabled,
// the stored-frame limit, CSV and summary output, and the clock's arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
        p.setOutputFilename("outputData");
        p.setOutputPath("");
        p.varsTracked.clear();
        p.numWrites = 1;
    }
    std::vector<std::string> readLines(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

}  // namespace

TEST_F(ProfilerTest, DisabledRecordsNothingAndAnswersMinusOne) {
    p.startStep();
    p.setFrameVar("Pairs", 3);
    p.endStep();
    EXPECT_TRUE(p.getFrames().empty());
    EXPECT_EQ(p.getLastFrameTime(), -1);
    EXPECT_EQ(p.getLastFrameVar("Pairs"), -1);
    EXPECT_EQ(p.meanStepTime(), -1.0);
}

TEST_F(ProfilerTest, KeepsOnlyTheConfiguredNumberOfFrames) {
    p.enable();
    EXPECT_EQ(p.getLastFrameTime(), 0);  // nothing closed yet
    EXPECT_EQ(p.meanStepTime(), 0.0);    // no frames: 0, not a division by zero
    p.setFrameVar("Pairs", 1);           // before any step: ignored
    EXPECT_TRUE(p.varsTracked.empty());
    for (int i = 0; i < 5; ++i) {
        p.startStep();
        p.setFrameVar("Pairs", i);
        p.endStep();
    }
    EXPECT_EQ(p.getFrames().size(), 1u);
    EXPECT_EQ(p.getLastFrameVar("Pairs"), 4);
    EXPECT_EQ(p.getLastFrameVar("Never Set"), 0);

    p.setFramesToStore(0);  // keep everything
    for (int i = 0; i < 5; ++i) {
        p.startStep();
        p.endStep();
    }
    EXPECT_EQ(p.getFrames().size(), 6u);
    EXPECT_GE(p.meanStepTime(3), 0.0);
    EXPECT_EQ(p.meanStepTime(0), 0.0);
}

TEST_F(ProfilerTest, TheLastClosedFrameOutlivesItsDroppingByTheNextStep) {
    p.enable();
    p.startStep();
    p.setFrameVar("Body Count", 42);
    p.endStep();
    // With one frame stored, the next step drops the frame just closed; the
    // last-frame queries must still read it (the sanitizer build checks the read).
    p.startStep();
    EXPECT_EQ(p.getFrames().size(), 1u);
    EXPECT_EQ(p.getLastFrameVar("Body Count"), 42);
    EXPECT_GE(p.getLastFrameTime(), 0);
    p.setFrameVar("Body Count", 7);
    p.endStep();
    EXPECT_EQ(p.getLastFrameVar("Body Count"), 7);
}

TEST_F(ProfilerTest, StagesAreTimedByName) {
    p.enable();
    p.startStep();
    p.startMethod("findPairs");
    p.endMethod("findPairs");
    p.endStep();
    EXPECT_GE(p.getLastFrameVar("findPairs"), 0);
    EXPECT_LT(p.getLastFrameVar("findPairs"), 1000000);
    EXPECT_EQ(p.varsTracked.count("findPairs"), 1u);
}

TEST_F(ProfilerTest, WorldStepWritesOneCsvLineWithEveryStageAndCounter) {
    p.enable();
    p.enableFileOutput();
    p.setOutputPath(dir);
    {
        World<TwoDee> world;
        auto* ball = new Body<TwoDee>(new Circle(Vector2D(0.0f, 10.0f), 1.0f));
        world.add(ball);
        for (int i = 0; i < 3; ++i) world.step();
        EXPECT_EQ(p.getLastFrameVar("Body Count"), 1);
    }  // the world's destructor ends the profiler run: the file is written
    auto lines = readLines(dir + "outputData_1.csv");
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
    p.startStep();
    p.setFrameVar("Later", 0);
    p.endStep();
    p.end();
    p.startStep();
    p.endStep();
    p.startStep();
    p.setFrameVar("Later", 5);
    p.setFrameVar("Alpha", 9);
    p.endStep();
    p.end();
    auto first = readLines(dir + "outputData_1.csv");
    auto second = readLines(dir + "outputData_2.csv");
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0], "#, 'Step Time','Alpha','Later'");
    // The first frame of the second run has neither name: both written as 0.
    EXPECT_EQ(second[1].substr(0, 2), "1,");
    EXPECT_EQ(second[1].substr(second[1].size() - 4), ",0,0");
    EXPECT_EQ(second[2].substr(0, 2), "2,");
    EXPECT_EQ(second[2].substr(second[2].size() - 4), ",9,5");
}

TEST_F(ProfilerTest, UnopenableFileIsReportedAndNotCounted) {
    p.enable();
    p.enableFileOutput();
    p.setOutputPath(dir + "no_such_directory/");
    p.startStep();
    p.endStep();
    ::testing::internal::CaptureStderr();
    p.end();
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("There was a problem opening the file outputData for output."), std::string::npos);
    EXPECT_EQ(p.numWrites, 1);
}

TEST_F(ProfilerTest, SummaryGoesToStandardOutput) {
    p.enable();
    p.enableStdOutput();
    p.startStep();
    p.endStep();
    ::testing::internal::CaptureStdout();
    p.end();
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("PROFILER: 1 total steps logged. ", 0), 0u);
    EXPECT_NE(out.find(" s/step average over all these steps.\n"), std::string::npos);
}

TEST(MicroTimer, TicksBecomeMicrosecondsWithoutDividingByZero) {
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(5000, 1000000000), 5);  // 1000 ticks per microsecond
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(7, 1000000), 7);
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(3, 500000), 6);  // slower than 1 MHz: scaled up
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(12345, 0), 0);
    EXPECT_EQ(MicroTimer::ticksToMicroseconds(12345, -1), 0);
}

TEST(MicroTimer, TimeIsMonotonicAndSplitIntoSecondsAndMicroseconds) {
    TimeVal a, b;
    EXPECT_EQ(MicroTimer::gettimeofday(&a), 0);
    EXPECT_EQ(MicroTimer::gettimeofday(nullptr), 0);
    EXPECT_EQ(MicroTimer::gettimeofday(&b), 0);
    EXPECT_GE(microsBetween(a, b), 0);
    EXPECT_GE(a.tv_usec, 0);
    EXPECT_LT(a.tv_usec, 1000000);
    EXPECT_EQ(microsBetween(TimeVal{1, 999999}, TimeVal{2, 1}), 2);
    MicroTimer timer;
    EXPECT_GE(timer.getMicroTime(), 0);
    EXPECT_GE(timer.getTime(), 0.0);
}
