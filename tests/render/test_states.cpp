// The state manager's call sequences and the splash.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/app/splash.h"
#include "game/app/state.h"
#include "game/app/statemanager.h"
#include "render_fixture.h"

namespace {

std::string g_calls;  // every call the probes receive, "; "-separated

void logCall(const std::string& call) { g_calls += (g_calls.empty() ? "" : "; ") + call; }

std::string fmt(const char* what, float t, float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %s %.3f %.3f", what, t, v);
    return buf;
}

class Probe : public State {
public:
    Probe(char name, float in, float out) : State(in, out), name(1, name) {}
    ~Probe() override { logCall(name + " deleted"); }
    void in(float t, float v) override { logCall(name + fmt("in", t, v)); }
    void update(float t) override { logCall(name + fmt("update", t, 0)); }
    void out(float t, float v) override { logCall(name + fmt("out", t, v)); }
    void draw() override { logCall(name + " draw"); }
    std::string name;
};

}  // namespace

TEST(StateManager, FadesInLivesFadesOutAndOnlyThenSwaps) {
    struct Step {
        float time;            // game clock, s
        const char* requests;  // states requested before the update: 'a' with the scenario's fades, others none
        const char* calls;     // what the update (and the requests) caused
    };
    struct Scenario {
        const char* what;
        float in, out;  // a's fade lengths, s
        std::vector<Step> steps;
        const char* drawn;    // by a draw after the last step
        const char* deleted;  // by a reset after that
    };
    const Scenario scenarios[] = {
        {"first state", 1, 1,
         {{1.0f, "", ""}, {5.0f, "a", ""}, {5.25f, "", "a in 0.250 0.250"}, {5.9f, "", "a in 0.900 0.900"},
          {6.0f, "", "a update 1.000 0.000"}, {6.5f, "b", ""}},
         "a draw", "a deleted; b deleted"},
        {"request after the fade-in", 1, 2,
         {{0.0f, "a", ""}, {0.5f, "", "a in 0.500 0.500"}, {1.0f, "", "a update 1.000 0.000"}, {1.1f, "b", ""},
          {2.1f, "", "a out 2.100 0.500"}, {3.0f, "", "a out 3.000 0.050"}, {3.1f, "", "a deleted"},
          {3.2f, "", "b update 0.100 0.000"}},
         "b draw", "b deleted"},
        {"request during the fade-in", 1, 1,
         {{0.0f, "a", ""}, {0.2f, "b", "a in 0.200 0.200"}, {0.5f, "", "a in 0.500 0.500"}, {1.0f, "", ""},
          {1.5f, "", "a out 1.500 0.500"}, {2.0f, "", "a deleted"}},
         "b draw", "b deleted"},
        // The fade-out ends at 0 + 0 = 0, the value that once meant "none running".
        {"no fades at time zero", 0, 0,
         {{0.0f, "a", ""}, {0.0f, "", "a update 0.000 0.000"}, {0.0f, "b", ""}, {0.0f, "", "a deleted"},
          {0.0f, "", "b update 0.000 0.000"}},
         "b draw", "b deleted"},
        {"replaced request", 0, 0,
         {{0.0f, "a", ""}, {0.1f, "", "a update 0.100 0.000"}, {0.2f, "bc", "b deleted"}, {0.3f, "", "a deleted"},
          {0.4f, "", "c update 0.100 0.000"}},
         "c draw", "c deleted"},
    };
    for (const Scenario& s : scenarios) {
        StateManager::reset();
        for (const Step& step : s.steps) {
            g_calls.clear();
            for (const char* r = step.requests; *r; ++r)
                StateManager::change(*r == 'a' ? new Probe('a', s.in, s.out) : new Probe(*r, 0, 0));
            StateManager::update(step.time);
            EXPECT_EQ(g_calls, step.calls) << s.what << " at " << step.time;
        }
        g_calls.clear();
        StateManager::draw();
        EXPECT_EQ(g_calls, s.drawn) << s.what;
        g_calls.clear();
        StateManager::reset();
        EXPECT_EQ(g_calls, s.deleted) << s.what;
    }
}

using Splash = ScratchDir;

TEST_F(Splash, IsInvisibleBeforeItsFirstUpdateAndHandsOverToTheMenuAfterTwoSeconds) {
    writePicture("qor.tga", 1024, 512);
    testing::internal::CaptureStdout();  // the menu's pictures are missing here
    StateManager::reset();
    StateManager::change(new StateSplash);
    float t = 0.017f;
    StateManager::update(t);
    State* splash = StateManager::currentState;
    DrawLog::Scope log;
    StateManager::draw();  // drawn before its first in(): invisible, not garbage
    StateManager::update(t += 0.017f);
    StateManager::draw();
    const std::vector<DrawCall> calls = DrawLog::sprites("qor.tga");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].alpha, 0.0f);
    EXPECT_GT(calls[1].alpha, 0.0f);
    // In for 1 s (1.9 truncated), one update to request the menu, one to start
    // the fade-out, out for 1 s (1.4 truncated).
    while (t < 5.0f && StateManager::currentState == splash) StateManager::update(t += 0.017f);
    testing::internal::GetCapturedStdout();
    EXPECT_NEAR(t, 2.04f, 0.02f);
    EXPECT_NE(StateManager::currentState, nullptr);
    StateManager::reset();
}
