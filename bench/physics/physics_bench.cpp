// Times the engine on the four benchmark scenes (pyramid, pyramid40, balls,
// wide), each stepped 1000 times with sleeping on and off, so that its figures
// can be set beside other engines' on the same work. Set-up is not timed.
//
// For each scene and setting it prints microseconds per step (median, min and
// max over the runs), the contacts at the end, whether the pyramid stands (apex
// within 10% of its start height), and the mean time of each pipeline stage as
// the profiler measures it in one further, separately timed run.
//
//   physics_bench [--runs N] [--steps N] [--scene NAME]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

namespace {

using physics::Globals;
using physics::Profiler;

struct Scene {
    const char* name;
    // Builds the scene; returns the apex of a pyramid, or null.
    scenes::Body2D* (*build)(scenes::World2D&);
};

scenes::Body2D* buildPyramid20(scenes::World2D& w) { return scenes::buildPyramid(w, 20, 1800.0f); }
scenes::Body2D* buildPyramid40(scenes::World2D& w) { return scenes::buildPyramid(w, 40, 3000.0f); }
scenes::Body2D* buildBallsScene(scenes::World2D& w) {
    scenes::buildBalls(w);
    return nullptr;
}
scenes::Body2D* buildWideScene(scenes::World2D& w) {
    scenes::buildWide(w);
    return nullptr;
}

const Scene kScenes[] = {
    {"pyramid", buildPyramid20},
    {"pyramid40", buildPyramid40},
    {"balls", buildBallsScene},
    {"wide", buildWideScene},
};

const char* const kStages[] = {"applyForces",     "findPairs",          "findContacts",      "addContacts",
                               "notifyListeners", "resolveVelocities", "resolvePenetration", "moveBodies"};

// Processor time of this process, microseconds: on a shared machine it counts
// only the work done, not the time spent waiting for a core.
double cpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct RunResult {
    double microsPerStep = 0.0;     // wall clock
    double cpuMicrosPerStep = 0.0;  // processor time
    int contacts = 0;
    bool stands = true;
    bool isPyramid = false;
    int awake = 0;
};

RunResult runOnce(const Scene& scene, int steps) {
    scenes::World2D world;  // the game's settings: time step 1/60 s
    scenes::useGameGravity(world);
    scenes::Body2D* apex = scene.build(world);
    float startHeight = apex ? apex->getPosition().y : 0.0f;
    double cpuStart = cpuMicros();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) world.step();
    auto end = std::chrono::steady_clock::now();
    RunResult r;
    r.microsPerStep = std::chrono::duration<double, std::micro>(end - start).count() / steps;
    r.cpuMicrosPerStep = (cpuMicros() - cpuStart) / steps;
    r.contacts = world.getContactList()->size();
    if (apex) {
        r.isPyramid = true;
        r.stands = std::abs(apex->getPosition().y - startHeight) <= 0.1f * startHeight;
    }
    for (auto* b : world.bodies) r.awake += b->isAwake() ? 1 : 0;
    return r;
}

// Mean microseconds per stage over one run with the profiler recording every step.
std::map<std::string, double> profileOnce(const Scene& scene, int steps) {
    Profiler& p = Profiler::profiler;
    p.setFramesToStore(0);
    p.enable();
    std::map<std::string, double> mean;
    {
        scenes::World2D world;
        scenes::useGameGravity(world);
        scene.build(world);
        for (int i = 0; i < steps; ++i) world.step();
        for (const auto& frame : p.getFrames()) {
            for (const char* stage : kStages) {
                auto v = frame.data.find(stage);
                if (v != frame.data.end()) mean[stage] += v->second;
            }
            mean["step"] += frame.frameTime;
        }
        for (auto& entry : mean) entry.second /= static_cast<double>(std::max<std::size_t>(1, p.getFrames().size()));
    }  // the world's destructor ends the profiler run and drops the frames
    p.disable();
    p.setFramesToStore(1);
    return mean;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int steps = 1000;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--steps") && i + 1 < argc) {
            steps = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--scene") && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::printf("usage: %s [--runs N] [--steps N] [--scene pyramid|pyramid40|balls|wide]\n", argv[0]);
            return 2;
        }
    }
    const bool savedSleeping = Globals::useSleeping;
    std::printf("boxquake physics benchmark: %d steps of 1/60 s per run, %d timed runs per line\n\n", steps, runs);
    std::printf("%-10s %-5s %10s %10s %10s %10s %9s %7s %6s |", "scene", "sleep", "median us", "min us", "max us",
                "cpu us", "contacts", "stands", "awake");
    for (const char* stage : kStages) std::printf(" %9.9s", stage);
    std::printf(" %9s\n", "profiled");
    for (const Scene& scene : kScenes) {
        if (!only.empty() && only != scene.name) continue;
        for (bool sleeping : {true, false}) {
            // A body's right to sleep is fixed when it is made: set the switch first.
            Globals::useSleeping = sleeping;
            std::vector<double> times;
            std::vector<double> cpuTimes;
            RunResult last;
            for (int r = 0; r < runs; ++r) {
                last = runOnce(scene, steps);
                times.push_back(last.microsPerStep);
                cpuTimes.push_back(last.cpuMicrosPerStep);
            }
            auto medianOf = [](std::vector<double>& v) {
                std::sort(v.begin(), v.end());
                return v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
            };
            double median = medianOf(times);
            double cpuMedian = medianOf(cpuTimes);
            auto stages = profileOnce(scene, steps);
            std::printf("%-10s %-5s %10.1f %10.1f %10.1f %10.1f %9d %7s %6d |", scene.name, sleeping ? "on" : "off",
                        median, times.front(), times.back(), cpuMedian, last.contacts,
                        last.isPyramid ? (last.stands ? "yes" : "NO") : "-", last.awake);
            for (const char* stage : kStages) std::printf(" %9.1f", stages[stage]);
            std::printf(" %9.1f\n", stages["step"]);
            std::fflush(stdout);
        }
    }
    Globals::useSleeping = savedSleeping;
    std::printf("\nmedian/min/max: wall-clock microseconds per step; cpu: median processor time per step.\n"
                "Stage columns: mean microseconds per step in one extra run with the profiler on;\n"
                "'profiled' is that run's whole step. 'awake': bodies awake at the end.\n");
    return 0;
}
