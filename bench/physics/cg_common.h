#pragma once
// Shared by the instruction-count programs (cg_ours, cg_chipmunk, cg_box2d),
// which bench/physics/callgrind.sh runs under valgrind's callgrind. Each builds
// one benchmark scene, steps it in bench_step_loop (the only function callgrind
// collects in, so set-up and tear-down are not counted) and prints one line of
// end-of-run figures that the script reads:
//
//   result bodies=210 awake=0 below=0 stands=yes apex_start=585.00 apex_end=584.91 mean_y=195.03
//
// bodies: dynamic bodies; awake: those still awake; below: those whose centre is
// under y = 0, the top of every scene's floor (fallen through or out of the
// container: none should be); stands: the apex (last box
// of a pyramid) within 10% of its start height, "-" for scenes without one;
// mean_y: mean centre height of the dynamic bodies, px. The heights are in the
// scenes' pixels whatever units the engine uses, so a peer's scene built at the
// wrong scale or with a missing wall shows beside ours.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The step loop must stay a function of its own under its own name: callgrind
// toggles collection on entering and leaving it. noipa also stops GCC from
// cloning it under a suffixed name (the script matches "bench_step_loop*" too).
#if defined(__clang__)
#define BENCH_STEP_LOOP extern "C" __attribute__((noinline))
#else
#define BENCH_STEP_LOOP extern "C" __attribute__((noinline, noipa))
#endif

namespace cg {

struct Options {
    std::string scene = "pyramid";
    bool sleeping = true;
    int steps = 1000;
    int velocityIterations = 8;  // Box2D only
    int positionIterations = 3;  // Box2D only
};

// --scene NAME --sleep on|off --steps N [--iterations V P]; exits with status 2 on a bad argument.
inline Options parseOptions(int argc, char** argv, bool takesIterations) {
    Options o;
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        if (!std::strcmp(argv[i], "--scene") && i + 1 < argc) {
            o.scene = argv[++i];
        } else if (!std::strcmp(argv[i], "--sleep") && i + 1 < argc) {
            std::string v = argv[++i];
            ok = v == "on" || v == "off";
            o.sleeping = v == "on";
        } else if (!std::strcmp(argv[i], "--steps") && i + 1 < argc) {
            o.steps = std::atoi(argv[++i]);
            ok = o.steps > 0;
        } else if (takesIterations && !std::strcmp(argv[i], "--iterations") && i + 2 < argc) {
            o.velocityIterations = std::atoi(argv[++i]);
            o.positionIterations = std::atoi(argv[++i]);
            ok = o.velocityIterations > 0 && o.positionIterations >= 0;
        } else {
            ok = false;
        }
    }
    if (o.scene != "pyramid" && o.scene != "pyramid40" && o.scene != "balls" && o.scene != "wide") ok = false;
    if (!ok) {
        std::fprintf(stderr, "usage: %s --scene pyramid|pyramid40|balls|wide --sleep on|off --steps N%s\n", argv[0],
                     takesIterations ? " [--iterations VELOCITY POSITION]" : "");
        std::exit(2);
    }
    return o;
}

// One shape of a scene as the shared benchmark notes give it: pixels, centre
// and full size, y up. Our engine builds its scenes with tests/physics/scenes.h;
// the peers build theirs from this list, which follows the same numbers in the
// same order (and the same float arithmetic, so the balls' jitter is identical).
struct Item {
    bool isStatic = false;
    bool isBall = false;
    double x = 0.0, y = 0.0;
    double width = 0.0, height = 0.0;  // boxes
    double radius = 0.0;               // balls
};

struct Scene {
    std::vector<Item> items;
    int apex = -1;  // index in items of a pyramid's apex, -1 when there is none
};

inline Item box(float x, float y, float w, float h, bool isStatic) {
    Item it;
    it.isStatic = isStatic;
    it.x = x;
    it.y = y;
    it.width = w;
    it.height = h;
    return it;
}

inline Scene pyramid(int n, float groundWidth) {
    Scene s;
    s.items.push_back(box(0.0f, -15.0f, groundWidth, 30.0f, true));
    const float h = 15.0f;
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            float x = static_cast<float>(i + 1) * h + 2.0f * static_cast<float>(j - i) * h - h * static_cast<float>(n);
            float y = static_cast<float>(2 * i + 1) * h;
            s.items.push_back(box(x, y, 2.0f * h, 2.0f * h, false));
        }
    }
    s.apex = static_cast<int>(s.items.size()) - 1;
    return s;
}

inline Scene balls() {
    Scene s;
    s.items.push_back(box(0.0f, -15.0f, 1260.0f, 30.0f, true));
    s.items.push_back(box(-615.0f, 1200.0f, 30.0f, 2400.0f, true));
    s.items.push_back(box(615.0f, 1200.0f, 30.0f, 2400.0f, true));
    std::uint32_t seed = 12345u;  // s <- s*1664525 + 1013904223 (mod 2^32), one draw per ball
    for (int r = 0; r < 40; ++r) {
        for (int c = 0; c < 25; ++c) {
            seed = seed * 1664525u + 1013904223u;
            float jitter = -3.0f + 6.0f * static_cast<float>((seed >> 8) & 0xFFFFFFu) / 16777216.0f;
            Item it;
            it.isBall = true;
            it.x = -540.0f + 45.0f * static_cast<float>(c) + jitter;
            it.y = 60.0f + 45.0f * static_cast<float>(r);
            it.radius = 15.0;
            s.items.push_back(it);
        }
    }
    return s;
}

inline Scene wide() {
    Scene s;
    s.items.push_back(box(0.0f, -15.0f, 45900.0f, 30.0f, true));
    const float x0 = -0.5f * 45.0f * 999.0f - 11.25f;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 1000; ++c) {
            s.items.push_back(box(x0 + 45.0f * static_cast<float>(c) + 22.5f * static_cast<float>(r),
                                  7.5f + 1.5f + 30.0f * static_cast<float>(r), 15.0f, 15.0f, false));
        }
    }
    return s;
}

// The scene named by parseOptions (which accepts only these four names).
inline Scene sceneNamed(const std::string& name) {
    if (name == "pyramid") return pyramid(20, 1800.0f);
    if (name == "pyramid40") return pyramid(40, 3000.0f);
    if (name == "balls") return balls();
    return wide();
}

// End-of-run figures, heights in px.
struct Result {
    int bodies = 0;
    int awake = 0;
    int below = 0;
    double sumY = 0.0;
    bool hasApex = false;
    double apexStart = 0.0;
    double apexEnd = 0.0;

    void addBody(double y, bool isAwake) {
        ++bodies;
        awake += isAwake ? 1 : 0;
        below += y < 0.0 ? 1 : 0;
        sumY += y;
    }
    void print() const {
        const char* stands = !hasApex ? "-" : std::abs(apexEnd - apexStart) <= 0.1 * apexStart ? "yes" : "NO";
        std::printf("result bodies=%d awake=%d below=%d stands=%s apex_start=%.2f apex_end=%.2f mean_y=%.2f\n", bodies,
                    awake, below, stands, apexStart, apexEnd, bodies ? sumY / bodies : 0.0);
    }
};

}  // namespace cg
