// The state manager's call sequences and the splash.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/app/splash.h"
#include "game/app/state.h"
#include "game/app/statemanager.h"
#include "render_fixture.h"

namespace {

// Every call a state receives, in order: "in 0.25 0.25", "update 0", "out ...", "draw", "deleted".
std::vector<std::string> g_calls;

std::string fmt(const char* what, float t, float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %.3f %.3f", what, t, v);
    return buf;
}

class Probe : public State {
public:
    Probe(const char* name, float in, float out, State* successor = nullptr, bool requestOnce = true)
        : State(in, out), name(name), successor(successor), requestOnce(requestOnce) {}
    ~Probe() override { g_calls.push_back(name + " deleted"); }
    void in(float t, float v) override { g_calls.push_back(name + " " + fmt("in", t, v)); }
    void update(float t) override {
        g_calls.push_back(name + " " + fmt("update", t, 0));
        if (successor) {
            StateManager::change(successor);
            if (requestOnce) successor = nullptr;
        }
    }
    void out(float t, float v) override { g_calls.push_back(name + " " + fmt("out", t, v)); }
    void draw() override { g_calls.push_back(name + " draw"); }

    std::string name;
    State* successor;
    bool requestOnce;
};

class StateManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        StateManager::reset();
        g_calls.clear();
    }
    void TearDown() override { StateManager::reset(); }
    // Runs an update and returns the calls it caused.
    std::vector<std::string> step(float time) {
        g_calls.clear();
        StateManager::update(time);
        return g_calls;
    }
    using Calls = std::vector<std::string>;
};

}  // namespace

TEST_F(StateManagerTest, FadeLengthsAreWholeSeconds) {
    Probe p("p", 1.9f, 1.4f);
    EXPECT_EQ(p.inTime, 1);
    EXPECT_EQ(p.outTime, 1);
    Probe q("q", 1.8f, 2.0f);
    EXPECT_EQ(q.outTime, 2);
}

TEST_F(StateManagerTest, FirstStateBecomesCurrentAndIsEnteredOnTheNextUpdate) {
    StateManager::change(new Probe("a", 1, 1));
    EXPECT_EQ(step(5.0f), Calls{});  // taken over: nothing called
    EXPECT_EQ(step(5.25f), Calls{"a in 0.250 0.250"});
    EXPECT_EQ(step(5.9f), Calls{"a in 0.900 0.900"});
    EXPECT_EQ(step(6.0f), Calls{"a update 1.000 0.000"});  // first time >= 6.0
    g_calls.clear();
    StateManager::draw();
    EXPECT_EQ(g_calls, Calls{"a draw"});
}

TEST_F(StateManagerTest, RequestAtTheEndOfFadeInRunsFadeOutThenSwaps) {
    StateManager::change(new Probe("a", 1, 2, new Probe("b", 0, 0)));
    step(0.0f);
    step(0.5f);
    EXPECT_EQ(step(1.0f), Calls{"a update 1.000 0.000"});  // requests b
    EXPECT_EQ(step(1.1f), Calls{});                        // fade-out starts: nothing called
    EXPECT_EQ(step(2.1f), Calls{"a out 2.100 0.500"});     // ends at 3.1
    EXPECT_EQ(step(3.0f), Calls{"a out 3.000 0.050"});
    EXPECT_EQ(step(3.1f), Calls{"a deleted"});             // swap; b not called yet
    EXPECT_EQ(step(3.2f), Calls{"b update 0.100 0.000"});  // no fade-in
}

TEST_F(StateManagerTest, RequestDuringFadeInWaitsForTheFadeInToEnd) {
    StateManager::change(new Probe("a", 1, 1));
    step(0.0f);
    step(0.2f);
    StateManager::change(new Probe("b", 0, 0));
    EXPECT_EQ(step(0.5f), Calls{"a in 0.500 0.500"});
    EXPECT_EQ(step(1.0f), Calls{});  // fade-out starts only now
    EXPECT_EQ(step(1.5f), Calls{"a out 1.500 0.500"});
    EXPECT_EQ(step(2.0f), Calls{"a deleted"});
}

TEST_F(StateManagerTest, ZeroLengthFadeOutStartedAtTimeZeroStillSwaps) {
    // The fade-out would end at 0 + 0 = 0, the value that once meant "none running".
    StateManager::change(new Probe("a", 0, 0, new Probe("b", 0, 0)));
    step(0.0f);
    EXPECT_EQ(step(0.0f), Calls{"a update 0.000 0.000"});
    EXPECT_EQ(step(0.0f), Calls{});
    EXPECT_EQ(step(0.0f), Calls{"a deleted"});
    EXPECT_EQ(step(0.0f), Calls{"b update 0.000 0.000"});
}

TEST_F(StateManagerTest, ReplacedPendingRequestIsDeletedAndNeverEntered) {
    StateManager::change(new Probe("a", 0, 0));
    step(0.0f);
    step(0.1f);
    StateManager::change(new Probe("b", 0, 0));
    g_calls.clear();
    StateManager::change(new Probe("c", 0, 0));
    EXPECT_EQ(g_calls, Calls{"b deleted"});
    step(0.2f);
    EXPECT_EQ(step(0.3f), Calls{"a deleted"});
    EXPECT_EQ(step(0.4f), Calls{"c update 0.100 0.000"});
}

TEST_F(StateManagerTest, NoStateAtAllDoesNothing) {
    EXPECT_EQ(step(1.0f), Calls{});
    StateManager::draw();
    EXPECT_EQ(g_calls, Calls{});
    EXPECT_EQ(StateManager::currentState, nullptr);
}

TEST_F(StateManagerTest, ResetDeletesBothStatesThroughTheirDestructors) {
    StateManager::change(new Probe("a", 0, 0));
    step(0.0f);
    StateManager::change(new Probe("b", 0, 0));
    g_calls.clear();
    StateManager::reset();
    EXPECT_EQ(g_calls, (Calls{"a deleted", "b deleted"}));
}

using Splash = ScratchDir;

TEST_F(Splash, AlphaFollowsTheEaseCurveAndIsReadyBeforeTheFirstUpdate) {
    writeImage("qor.tga", 1024, 512);
    StateSplash splash;
    DrawLog::Scope log;
    splash.draw();  // drawn once before its first in(): must be invisible, not garbage
    ASSERT_EQ(DrawLog::sprites("qor.tga").size(), 1u);
    EXPECT_FLOAT_EQ(DrawLog::sprites()[0].alpha, 0.0f);

    splash.in(0.5f, 0.5f);
    EXPECT_FLOAT_EQ(splash.alpha, 0.75f);
    splash.in(1.0f, 1.0f);
    EXPECT_FLOAT_EQ(splash.alpha, 1.0f);
    splash.out(1.5f, 0.5f);
    EXPECT_FLOAT_EQ(splash.alpha, 0.75f);
    splash.out(2.0f, 0.0f);
    EXPECT_FLOAT_EQ(splash.alpha, 0.0f);

    splash.in(0.5f, 0.5f);
    DrawLog::clear();
    splash.draw();
    const DrawCall c = DrawLog::sprites("qor.tga").at(0);
    EXPECT_FLOAT_EQ(c.x, 400);
    EXPECT_FLOAT_EQ(c.y, 300);
    EXPECT_FLOAT_EQ(c.sx, 0.5f);
    EXPECT_FLOAT_EQ(c.sy, 0.5f);
    EXPECT_FLOAT_EQ(c.angle, 0);
    EXPECT_FLOAT_EQ(c.alpha, 0.75f);
    EXPECT_EQ(splash.inTime, 1);
    EXPECT_EQ(splash.outTime, 1);
}

TEST_F(Splash, HandsOverToTheMenuAfterOneSecondInAndOneOut) {
    writeImage("qor.tga", 64, 32);
    testing::internal::CaptureStdout();  // the menu's pictures are missing here
    StateManager::reset();
    StateManager::change(new StateSplash);
    State* splash = nullptr;
    float t = 0.017f;
    for (; t < 5.0f; t += 0.017f) {
        StateManager::update(t);
        if (!splash) splash = StateManager::currentState;
        if (StateManager::currentState != splash) break;
    }
    testing::internal::GetCapturedStdout();
    // In for 1 s, one update to request the menu, one to start the fade-out, out for 1 s.
    EXPECT_NEAR(t, 2.04f, 0.02f);
    EXPECT_NE(StateManager::currentState, nullptr);
    StateManager::reset();
}
