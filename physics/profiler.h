#pragma once
#include <fstream>
#include <list>
#include <map>
#include <set>
#include <string>

#include "physics/microtimer.h"

namespace physics {

struct ProfilerFrameData {
    int frameTime = 0;               // duration of the step, microseconds
    std::map<std::string, int> data; // counters and stage durations (microseconds) by name
};

// Per-step timings and counters of the world step. One process-wide instance,
// disabled by default: then every call returns at its first test.
class Profiler {
public:
    static Profiler profiler;

    void enable() { enabled = true; }
    void disable() { enabled = false; }
    bool isEnabled() const { return enabled; }
    void enableFileOutput() { fileOutput = true; }
    void disableFileOutput() { fileOutput = false; }
    void enableStdOutput() { stdOutput = true; }
    void disableStdOutput() { stdOutput = false; }
    void enableGraphOutput() { graphOutput = true; }
    void disableGraphOutput() { graphOutput = false; }
    void setFramesToStore(int n) { framesToStore = static_cast<unsigned int>(n); }
    void setOutputFilename(const std::string& name) { outputFilename = name; }
    void setOutputPath(const std::string& path) { outputPath = path; }

    void startStep();
    void endStep();
    void startMethod(const std::string& name);
    void endMethod(const std::string& name);
    void setFrameVar(const std::string& name, int value);

    int getLastFrameTime() const;
    int getLastFrameVar(const std::string& name) const;
    double meanStepTime() const;
    double meanStepTime(int n) const;
    const std::list<ProfilerFrameData>& getFrames() const { return frameData; }

    void outputToFile();
    void outputToStdOut();
    void plotGraphs();
    void end();

    MicroTimer stepTimer;
    std::list<ProfilerFrameData> frameData;        // oldest first
    std::set<std::string> varsTracked;
    const ProfilerFrameData* lastCompleteFrame = nullptr;  // never points at a dropped frame
    ProfilerFrameData retainedFrame;  // copy of the last closed frame once startStep has dropped it
    int numWrites = 1;
    std::ofstream outputFile;
    bool enabled = false;
    unsigned int framesToStore = 1;  // 0 keeps all
    std::string outputFilename = "outputData";
    std::string outputPath;
    bool fileOutput = false;
    bool stdOutput = false;
    bool graphOutput = false;
};

}  // namespace physics
