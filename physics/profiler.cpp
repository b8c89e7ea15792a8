#include "physics/profiler.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <iterator>

namespace physics {

Profiler Profiler::profiler;

namespace {

int clampToInt(long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

void Profiler::startStep() {
    if (!enabled) return;
    frameData.emplace_back();
    if (framesToStore != 0 && frameData.size() > framesToStore) {
        // With one frame stored the frame dropped here is the last closed one:
        // keep its values so that the last-frame queries still read a live frame.
        if (lastCompleteFrame == &frameData.front()) {
            retainedFrame = frameData.front();
            lastCompleteFrame = &retainedFrame;
        }
        frameData.pop_front();
    }
    MicroTimer::gettimeofday(&stepTimer.startTime);
}

void Profiler::endStep() {
    if (!enabled || frameData.empty()) return;
    TimeVal now;
    MicroTimer::gettimeofday(&now);
    ProfilerFrameData& frame = frameData.back();
    frame.frameTime = clampToInt(microsBetween(stepTimer.startTime, now));
    lastCompleteFrame = &frame;
}

void Profiler::startMethod(const std::string& name) {
    if (!enabled) return;
    stepTimer.addMarker(name);
}

void Profiler::endMethod(const std::string& name) {
    if (!enabled || frameData.empty()) return;
    TimeVal now;
    MicroTimer::gettimeofday(&now);
    TimeVal start;  // a stage never started counts from time 0
    auto marker = stepTimer.markerTimeMap.find(name);
    if (marker != stepTimer.markerTimeMap.end()) start = marker->second;
    frameData.back().data[name] = clampToInt(microsBetween(start, now));
    varsTracked.insert(name);
}

void Profiler::setFrameVar(const std::string& name, int value) {
    if (!enabled || frameData.empty()) return;
    frameData.back().data[name] = value;
    varsTracked.insert(name);
}

int Profiler::getLastFrameTime() const {
    if (!enabled) return -1;
    if (lastCompleteFrame == nullptr) return 0;
    return lastCompleteFrame->frameTime;
}

int Profiler::getLastFrameVar(const std::string& name) const {
    if (!enabled) return -1;
    if (lastCompleteFrame == nullptr) return 0;
    auto value = lastCompleteFrame->data.find(name);
    return value == lastCompleteFrame->data.end() ? 0 : value->second;
}

double Profiler::meanStepTime() const { return meanStepTime(static_cast<int>(frameData.size())); }

double Profiler::meanStepTime(int n) const {
    if (!enabled) return -1.0;
    std::size_t count = n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), frameData.size());
    if (count == 0) return 0.0;
    double sum = 0.0;
    auto frame = frameData.end();
    for (std::size_t i = 0; i < count; ++i) {
        --frame;
        sum += frame->frameTime;
    }
    return sum / (static_cast<double>(count) * 1000000.0);
}

void Profiler::outputToFile() {
    if (!enabled || !fileOutput) return;
    std::string name = outputPath + outputFilename + "_" + std::to_string(numWrites) + ".csv";
    outputFile.open(name, std::ios::out | std::ios::trunc);
    if (!outputFile.is_open()) {
        std::cerr << "Error: Attempt to log profiler data failed. There was a problem opening the file "
                  << outputFilename << " for output." << std::endl;
        outputFile.clear();
        return;
    }
    outputFile << "#, 'Step Time'";
    for (const std::string& var : varsTracked) outputFile << ",'" << var << "'";
    outputFile << "\n";
    int line = 1;
    for (const ProfilerFrameData& frame : frameData) {
        outputFile << line++ << "," << frame.frameTime;
        for (const std::string& var : varsTracked) {
            auto value = frame.data.find(var);
            outputFile << "," << (value == frame.data.end() ? 0 : value->second);
        }
        outputFile << "\n";
    }
    outputFile.close();
    ++numWrites;
}

void Profiler::outputToStdOut() {
    if (!enabled || !stdOutput) return;
    std::cout << "PROFILER: " << frameData.size() << " total steps logged. " << meanStepTime()
              << " s/step average over all these steps." << std::endl;
}

void Profiler::plotGraphs() {
    if (!enabled || !graphOutput) return;
    if (std::system("gnuplot gpfile") != 0) {
        std::cerr << "Problem plotting graphs. Is gnuplot on the PATH? Is gpfile in the active directory?"
                  << std::endl;
    }
}

void Profiler::end() {
    outputToFile();
    outputToStdOut();
    plotGraphs();
    // Every world calls this as it ends, on whichever thread it ran (the level
    // tools step worlds on several threads): with nothing recorded it writes
    // nothing, so worlds may end at once while the profiler is off.
    if (frameData.empty() && lastCompleteFrame == nullptr) return;
    frameData.clear();
    lastCompleteFrame = nullptr;
}

}  // namespace physics
