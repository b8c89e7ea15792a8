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

// Times one stage of the step under `name`: startMethod when made, endMethod when
// the scope closes. While the profiler is off this costs the same two calls that
// return at their first test. The name is held by reference: pass a label that
// outlives the scope (the world's labels are made once).
class ProfileScope {
public:
    explicit ProfileScope(const std::string& name, Profiler& profiler = Profiler::profiler)
        : m_profiler(profiler), m_name(name) {
        m_profiler.startMethod(m_name);
    }
    ProfileScope(std::string&&, Profiler& = Profiler::profiler) = delete;  // the label would die first
    ~ProfileScope() { m_profiler.endMethod(m_name); }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    Profiler& m_profiler;
    const std::string& m_name;
};

}  // namespace physics
