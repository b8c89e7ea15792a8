#include "tools/level/random_play.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/objects/levelfile.h"
#include "game/objects/play_rules.h"
#include "game/objects/solution.h"
#include "physics/physics.h"
#include "tools/level/output_capture.h"
#include "tools/level/random.h"

namespace leveltools {

namespace {

using Body2D = physics::Body<physics::TwoDee>;

int randomIn(std::uint64_t& state, int lo, int hi) {
    return lo + static_cast<int>(splitmix64(state) % static_cast<std::uint64_t>(hi - lo + 1));
}

// The level name mixed into the seed (FNV-1a), so that each level gets clicks of
// its own and the same ones whatever else is played in the run.
std::uint64_t seedFor(std::uint64_t seed, const std::string& name) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : name) h = (h ^ c) * 0x100000001b3ull;
    return seed ^ h;
}

bool finiteBody(const Body2D& b) {
    return std::isfinite(b.getPosition().x) && std::isfinite(b.getPosition().y) &&
           std::isfinite(b.getVelocity().x) && std::isfinite(b.getVelocity().y) &&
           std::isfinite(b.getOrientation().getAngle()) && std::isfinite(b.getRotation().getValue());
}

// The object whose body `b` is, and its place in the level's object order.
Object* ownerOf(Level& level, const Body2D* b, int& index) {
    index = 0;
    for (Object* o : level.objects) {
        if (o->physics == b) return o;
        ++index;
    }
    index = -1;
    return nullptr;
}

std::string describe(Level& level, const Body2D& b) {
    int index = -1;
    Object* o = ownerOf(level, &b, index);
    std::ostringstream text;
    text << "object " << index;
    if (o != nullptr) {
        if (const auto* kind = Object::kindOf(*o)) text << " (" << kind->first << ")";
    }
    text << " at (" << b.getPosition().x << ", " << b.getPosition().y << "), velocity (" << b.getVelocity().x << ", "
         << b.getVelocity().y << "), angle " << b.getOrientation().getAngle() << ", rotation "
         << b.getRotation().getValue();
    return text.str();
}

void record(Level& level, const Body2D& b, int update, float distance, const char* side,
            const physics::Vector2D& from, Excursion& e) {
    e.distance = distance;
    e.update = update;
    e.side = side;
    e.x = b.getPosition().x;
    e.y = b.getPosition().y;
    e.vx = b.getVelocity().x;
    e.vy = b.getVelocity().y;
    e.fromX = from.x;
    e.fromY = from.y;
    Object* o = ownerOf(level, &b, e.object);
    e.kind.clear();
    if (o != nullptr) {
        if (const auto* kind = Object::kindOf(*o)) e.kind = kind->first;
        e.startX = o->cachedPosition.x;
        e.startY = o->cachedPosition.y;
    }
}

}  // namespace

float outsideField(float x, float y, const char** side) {
    const float left = -x, right = x - static_cast<float>(FIELD_WIDTH);
    const float below = -y, above = y - static_cast<float>(FIELD_HEIGHT);
    const float dx = std::max({0.0f, left, right});
    const float dy = std::max({0.0f, below, above});
    if (side != nullptr) {
        if (dx == 0.0f && dy == 0.0f) {
            *side = "";
        } else if (dx >= dy) {
            *side = left > 0.0f ? "left" : "right";
        } else {
            *side = below > 0.0f ? "floor" : "ceiling";
        }
    }
    return std::sqrt(dx * dx + dy * dy);
}

RandomPlayResult playRandomly(const LevelSource& source, const RandomPlayOptions& options) {
    OutputCapture silence(OutputCapture::DISCARD);
    LevelFile::Collect dropped;
    std::istringstream in(source.bytes);
    std::unique_ptr<Level> level(new Level(source.path, in));
    PlayRules rules(*level);

    std::uint64_t state = seedFor(options.seed, source.name);
    int nextClick = randomIn(state, options.gapMin, options.gapMax);
    RandomPlayResult result;
    std::vector<physics::Vector2D> positions;  // of every body after the previous update, world order
    for (int u = 1; u <= options.updates; ++u) {
        const auto start = std::chrono::steady_clock::now();
        rules.update();
        result.updates = u;
        if (rules.won() && result.firstWin == 0) result.firstWin = u;
        // Black holes take bodies out of the world: the list is read afresh each update.
        std::vector<physics::Vector2D> before;
        before.swap(positions);
        for (const Body2D* b : level->world.bodies) {
            positions.push_back(b->getPosition());
            const physics::Vector2D from = before.size() == level->world.bodies.size() ? before[positions.size() - 1]
                                                                                        : b->getPosition();
            if (!finiteBody(*b)) {
                result.finite = false;
                result.nonFinite = "update " + std::to_string(u) + ": " + describe(*level, *b);
                break;
            }
            if (b->isStatic()) continue;
            const float x = b->getPosition().x, y = b->getPosition().y;
            result.fastest = std::max(result.fastest, b->getVelocity().length());
            const char* side = "";
            const float distance = outsideField(x, y, &side);
            Excursion* e = nullptr;
            if (distance > THROUGH_WALL && result.escape.distance == 0.0f) {
                e = &result.escape;
            } else if (distance > result.farthest.distance) {
                e = &result.farthest;
            } else {
                continue;
            }
            record(*level, *b, u, distance, side, from, *e);
            if (e == &result.escape && distance > result.farthest.distance) result.farthest = *e;
        }
        if (!result.finite) break;
        if (u == nextClick) {
            const int x = randomIn(state, 0, FIELD_WIDTH - 1);  // drawn in this order on every compiler
            const int y = randomIn(state, 0, FIELD_HEIGHT - 1);
            rules.click(static_cast<float>(x), static_cast<float>(y));
            ++result.clicks;
            nextClick = u + randomIn(state, options.gapMin, options.gapMax);
        }
        result.slowestUpdate = std::max(
            result.slowestUpdate, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (options.progress != nullptr) options.progress->store(u, std::memory_order_relaxed);
    }
    for (const Body2D* b : level->world.bodies) {
        if (!b->isStatic() && outsideField(b->getPosition().x, b->getPosition().y) > 0.0f) ++result.outside;
    }
    return result;
}

namespace {

// Ends the process when the watched counter stands still for HANG_SECONDS: a
// physics step that never returns cannot be stopped from its own thread.
class Watchdog {
public:
    explicit Watchdog(const std::string& level) : m_level(level), m_thread([this] { watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    std::atomic<int> progress{0};

private:
    void watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        int seen = -1;
        while (!m_wake.wait_for(lock, std::chrono::seconds(HANG_SECONDS), [this] { return m_done; })) {
            const int now = progress.load(std::memory_order_relaxed);
            if (now == seen) {
                std::fprintf(stderr, "boxquake-level: %s: update %d has not ended after %d s; stopped\n",
                             m_level.c_str(), now + 1, HANG_SECONDS);
                std::fflush(stdout);
                std::_Exit(1);
            }
            seen = now;
        }
    }

    std::string m_level;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;  // last: started once the rest is ready
};

}  // namespace

bool playAndReport(const std::string& dir, const std::vector<std::string>& names, const RandomPlayOptions& options) {
    std::printf("%-24s %7s %6s %6s %9s %-7s %7s %7s %8s %8s %7s\n", "level", "updates", "clicks", "won", "farthest",
                "side", "at", "object", "fastest", "slowest", "seconds");
    bool passed = true;
    int through = 0;
    const auto start = std::chrono::steady_clock::now();
    long long simulated = 0;
    for (const std::string& name : names) {
        LevelSource source;
        std::string error;
        if (!levellist::isValidName(name) || !loadLevelSource(dir, name, source, error)) {
            std::printf("%-24s cannot be played: %s\n", name.c_str(),
                        error.empty() ? "not a level name the game can open" : error.c_str());
            passed = false;
            continue;
        }
        const auto levelStart = std::chrono::steady_clock::now();
        RandomPlayResult r;
        {
            Watchdog watchdog(name);
            RandomPlayOptions o = options;
            o.progress = &watchdog.progress;
            r = playRandomly(source, o);
        }
        simulated += r.updates;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - levelStart).count();
        const Excursion& e = r.farthest;
        std::printf("%-24s %7d %6d %6s %9.1f %-7s %7s %7s %8.0f %6.2fms %7.1f\n", name.c_str(), r.updates, r.clicks,
                    r.firstWin ? std::to_string(r.firstWin).c_str() : "-", static_cast<double>(e.distance),
                    e.distance > 0 ? e.side : "-", e.distance > 0 ? std::to_string(e.update).c_str() : "-",
                    e.distance > 0 ? std::to_string(e.object).c_str() : "-", static_cast<double>(r.fastest),
                    r.slowestUpdate * 1000.0, seconds);
        if (!r.finite) {
            std::printf("    NOT FINITE after %s\n", r.nonFinite.c_str());
            passed = false;
        }
        if (r.escape.distance > 0.0f) {
            const Excursion& x = r.escape;
            std::printf("    THROUGH THE %s WALL: object %d (%s) placed at (%.0f, %.0f), after update %d at "
                        "(%.1f, %.1f), one update before at (%.1f, %.1f), moving (%.1f, %.1f) units/s; "
                        "%d bod%s outside at the end\n",
                        x.side, x.object, x.kind.c_str(), static_cast<double>(x.startX), static_cast<double>(x.startY),
                        x.update, static_cast<double>(x.x), static_cast<double>(x.y), static_cast<double>(x.fromX),
                        static_cast<double>(x.fromY), static_cast<double>(x.vx), static_cast<double>(x.vy), r.outside,
                        r.outside == 1 ? "y" : "ies");
            passed = false;
            ++through;
        }
        std::fflush(stdout);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu levels, %lld updates in %.1f s; %d with a body through a wall; %s\n", names.size(), simulated,
                seconds, through, passed ? "ok" : "FAIL");
    return passed;
}

}  // namespace leveltools
