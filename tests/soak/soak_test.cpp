// Menu -> level -> menu, many times over, through the real states and the state
// manager as the game's main loop drives them (one update and one draw per
// 1/60 s of game clock), with the scripted input and the headless sprite. Each
// cycle chooses the next shipped level in the menu, clicks a few seeded random
// places, then either wins by the level's stored solution (after 'r') and the
// tick mark, or leaves with Escape. The resident memory must settle: after the
// first SOAK_SETTLE cycles it may grow by less than 1 MB in all.
//
//   SOAK_CYCLES=N SOAK_SETTLE=N soak_tests [gtest options]   (default 60 and 30)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/app_fixture.h"
#include "game/app/keys.h"
#include "game/app/simulation.h"
#include "game/app/splash.h"
#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/objects/solution.h"
#include "tools/level/random.h"

namespace {

// A whole number from the environment, or `fallback` when it is not set.
int fromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

const int s_cycles = fromEnvironment("SOAK_CYCLES", 60);
const int s_settle = fromEnvironment("SOAK_SETTLE", 30);
const long MEGABYTE = 1024 * 1024;
const double UPDATES_PER_SECOND = 60.0;
const int WAIT_LIMIT = 600;  // updates any wait may take (10 s of game clock) before the cycle fails

// Resident memory of this process, bytes (second field of /proc/self/statm, in pages).
long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class Soak : public AppDir {
protected:
    // The shipped levels and their solutions in the fresh directory, with a small
    // picture for every image they name (the headless sprite reads only sizes).
    void SetUp() override {
        AppDir::SetUp();
        const std::string data = BOXQUAKE_SHIPPED_DATA;
        std::filesystem::copy_file(data + "/levels.txt", "levels.txt");
        std::filesystem::copy(data + "/levels", "levels");
        std::set<std::string> named;
        for (const auto& entry : std::filesystem::directory_iterator("levels")) {
            std::istringstream words(readFile(entry.path().string()));
            for (std::string word; words >> word;) {
                if (word.size() > 4 && word.compare(word.size() - 4, 4, ".tga") == 0) named.insert(word);
            }
        }
        named.insert("qor.tga");  // the splash's
        for (const std::string& name : named) {
            if (!std::filesystem::exists("media/" + name)) writePicture(name, 32, 32);
        }
        std::string error;
        ASSERT_TRUE(levellist::read("levels.txt", names, error)) << error;
    }

    // One turn of the main loop.
    void step() {
        ++updates;
        clock = static_cast<float>(static_cast<double>(updates) / UPDATES_PER_SECOND);
        StateManager::update(clock);
        StateManager::draw();
    }

    // Steps until `ready` holds; false when it does not within WAIT_LIMIT updates.
    template <class Ready>
    bool stepUntil(Ready ready) {
        for (int i = 0; i < WAIT_LIMIT; ++i) {
            if (ready()) return true;
            step();
        }
        return ready();
    }

    // The current state as a T, when it is one in its normal life (fade-in over, no successor asked for).
    template <class T>
    T* settled() const {
        auto* s = dynamic_cast<T*>(StateManager::currentState);
        if (s == nullptr || StateManager::nextState != nullptr) return nullptr;
        return StateManager::sTime + static_cast<float>(s->inTime) <= clock ? s : nullptr;
    }

    int randomIn(int lo, int hi) {
        return lo + static_cast<int>(leveltools::splitmix64(rng) % static_cast<std::uint64_t>(hi - lo + 1));
    }

    // Chooses level `index` in the settled menu; returns its play state.
    StateSimulation* choose(size_t index) {
        const physics::Vector2D at = StateMenu::restPosition(static_cast<int>(index));
        const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
        input(x, y, 0);
        StateMenu* menu = nullptr;
        if (!stepUntil([&] { return (menu = settled<StateMenu>()) && menu->hover == &StateMenu::levelList[index]; })) {
            return nullptr;
        }
        input(x, y, buttons::LEFT);
        step();
        input(x, y, 0);
        StateSimulation* play = nullptr;
        stepUntil([&] { return (play = settled<StateSimulation>()) != nullptr; });
        return play;
    }

    // A few clicks at seeded random places, 0.2 to 1 s apart, away from the tick mark.
    void clickRandomly(StateSimulation& play) {
        const int clicks = randomIn(1, 3);
        for (int c = 0; c < clicks; ++c) {
            for (int wait = randomIn(12, 60); wait > 0; --wait) step();
            int x = 0, y = 0;
            do {
                x = randomIn(0, screen::WIDTH - 1);
                y = randomIn(0, screen::HEIGHT - 1);
            } while (play.rules.onTickMark(static_cast<float>(x), static_cast<float>(y)));
            input(x, y, buttons::LEFT);
            step();
            input(x, y, 0);
        }
        step();
    }

    // Restarts and plays the stored solution, each click in the update it names;
    // once won, clicks the tick mark. Returns the explosions the win took, -1 when
    // the level was not won within the solution's limit.
    int win(StateSimulation& play, const leveltools::Solution& solution) {
        input(0, 0, 0, {keys::RESTART});
        step();
        input(0, 0, 0);
        size_t next = 0;
        while (!play.rules.won() && play.rules.time < solution.limit) {
            const bool press = next < solution.clicks.size() && solution.clicks[next].update == play.rules.time + 1;
            if (press) {
                input(solution.clicks[next].x, solution.clicks[next].y, buttons::LEFT);
                ++next;
            } else {
                input(0, 0, 0);
            }
            step();
        }
        if (!play.rules.won()) return -1;
        const int explosions = play.rules.explosions;
        input(static_cast<int>(Level::TICK_X), static_cast<int>(Level::TICK_Y), buttons::LEFT);
        step();
        input(0, 0, 0);
        return explosions;
    }

    long long updates = 0;  // main-loop turns so far
    float clock = 0.0f;     // game clock, seconds: updates / 60, as the main loop's timer gives it
    std::uint64_t rng = 0x736f616b;  // "soak"
    std::vector<std::string> names;
};

TEST_F(Soak, MenuLevelMenuRoundTripsWinOrLeaveAndTheResidentMemorySettles) {
    ASSERT_FALSE(names.empty());
    ASSERT_TRUE(1 <= s_settle && s_settle <= s_cycles) << "need 1 <= SOAK_SETTLE <= SOAK_CYCLES";
    StateManager::change(new StateSplash);
    long settledAt = 0, highest = 0;
    int wins = 0, leaves = 0;
    for (int cycle = 1; cycle <= s_cycles; ++cycle) {
        const size_t index = static_cast<size_t>(cycle - 1) % names.size();
        SCOPED_TRACE("cycle " + std::to_string(cycle) + ", level " + names[index]);
        StateSimulation* play = choose(index);
        ASSERT_NE(play, nullptr) << "the menu did not start the level";
        ASSERT_EQ(play->data.level, names[index]);
        clickRandomly(*play);
        MnuLevel& record = play->data;
        if (randomIn(0, 1) == 0) {
            leveltools::Solution solution;
            std::string why;
            const std::string level = record.file(".lvl");
            ASSERT_TRUE(leveltools::readCurrentSolution(level, record.file(".sol"), solution, why)) << why;
            ASSERT_EQ(win(*play, solution), solution.par);
            EXPECT_EQ(record.state, progress::WON);
            ++wins;
        } else {
            const int before = record.state;
            input(0, 0, 0, {keys::ESCAPE});
            step();
            input(0, 0, 0);
            EXPECT_EQ(record.state, before == progress::WON ? progress::WON : progress::UNFINISHED);
            ++leaves;
        }
        ASSERT_TRUE(stepUntil([&] { return settled<StateMenu>() != nullptr; })) << "no menu after the level";

        const long resident = residentBytes();
        if (cycle == s_settle) settledAt = resident;
        if (cycle >= s_settle) highest = std::max(highest, resident);
        if (cycle == s_settle || cycle % 100 == 0 || cycle == s_cycles) {
            std::printf("cycle %4d: resident %7ld kB (%d wins, %d left)\n", cycle, resident / 1024, wins, leaves);
            std::fflush(stdout);
        }
    }
    EXPECT_GT(wins, 0);
    EXPECT_GT(leaves, 0);
    std::printf("growth after cycle %d: %ld kB\n", s_settle, (highest - settledAt) / 1024);
    EXPECT_LT(highest - settledAt, MEGABYTE);
    // The progress file names every level played, each won or left.
    progress::Store saved(places::playerFile(progress::FILE_NAME));
    EXPECT_EQ(saved.load(), "");
    EXPECT_EQ(saved.results.size(), std::min(names.size(), static_cast<size_t>(s_cycles)));
}

}  // namespace
