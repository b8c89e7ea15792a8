#include "tools/level/replay.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>

#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/play_rules.h"
#include "physics/physics.h"
#include "tools/level/output_capture.h"
#include "tools/level/random.h"

namespace leveltools {

namespace {

// Updates the rest test looks back (Object::isStable keeps 60 positions), plus one.
const int REST_WINDOW = 61;
// A body counts as at rest when it sleeps, or when its centre is within
// REST_DRIFT of where it was REST_SPAN and REST_SPAN / 2 updates ago. Sleep alone
// does not serve: at the game's scale a lone crate sleeps within seconds, but a
// crate that slid to a stop slightly tilted can rock on its corners for good, a
// ball rolls on along a level floor, and in a stack a sleeping crate is woken by
// the one it rests on. With sleep alone the search ran 22 % (topple) to 80 %
// (cargo) fewer replays in the same number of simulated updates.
const int REST_SPAN = 90;        // updates
const float REST_DRIFT = 1.0f;   // world units
// ... and moves slower than this now: a blast that has just pushed a body shows
// in its velocity before it shows in its position.
const float REST_SPEED = 15.0f;  // world units / s (a rocking crate stays under 5)

using Body2D = physics::Body<physics::TwoDee>;

// The level of `source`; what the reader reports is dropped (describeLevel
// reports it once). The level is named by its path, so that messages name the file.
std::unique_ptr<Level> load(const LevelSource& source) {
    LevelFile::Collect dropped;
    std::istringstream in(source.bytes);
    return std::unique_ptr<Level>(new Level(source.path, in));
}

// How far `p` is from meeting `v`, world units (0 when it does, rest aside).
float conditionGap(const victoryStruct& v, const physics::Vector2D& p) {
    if (v.condition == victoryStruct::AUTO) return 0.0f;
    const float hx = 0.5f * static_cast<float>(v.w);
    const float hy = 0.5f * static_cast<float>(v.h);
    const float ox = std::fabs(p.x - static_cast<float>(v.x));
    const float oy = std::fabs(p.y - static_cast<float>(v.y));
    const float dx = std::max(0.0f, ox - hx);
    const float dy = std::max(0.0f, oy - hy);
    const bool inside = dx == 0.0f && dy == 0.0f;
    if (v.condition == victoryStruct::ENTER) return std::sqrt(dx * dx + dy * dy);
    return inside ? std::min(hx - ox, hy - oy) + 1.0f : 0.0f;
}

float halfExtent(const Body2D& body) {
    float minX = std::numeric_limits<float>::max(), maxX = -minX, minY = minX, maxY = -minX;
    for (const physics::Area* shape : body.getShapes()) {
        minX = std::min(minX, shape->getMinX());
        maxX = std::max(maxX, shape->getMaxX());
        minY = std::min(minY, shape->getMinY());
        maxY = std::max(maxY, shape->getMaxY());
    }
    if (minX > maxX) return 0.0f;
    return 0.5f * std::max(maxX - minX, maxY - minY);
}

// Everything about a loaded level that one replay looks at again and again.
struct Watch {
    std::vector<Object*> targets;          // objects with a condition that is not AUTO
    std::vector<Body2D*> movable;          // bodies an explosion pushes, world order
    std::vector<bool> movableIsTarget;     // parallel to movable
    std::vector<Bomb*> bombs;
    bool blackHoles = false;

    explicit Watch(Level& level) {
        std::vector<Body2D*> targetBodies;
        for (Object* o : level.objects) {
            if (o->getType() == BOMB) bombs.push_back(static_cast<Bomb*>(o));
            if (o->getType() == BLACKHOLE) blackHoles = true;
            if (!o->hasBody()) continue;
            for (const victoryStruct& v : o->victory) {
                if (v.condition != victoryStruct::AUTO) {
                    targets.push_back(o);
                    targetBodies.push_back(o->physics);
                    break;
                }
            }
        }
        for (Body2D* b : level.world.bodies) {
            if (b->isStatic()) continue;
            movable.push_back(b);
            movableIsTarget.push_back(std::find(targetBodies.begin(), targetBodies.end(), b) != targetBodies.end());
        }
    }

    float gap() const {
        float sum = 0.0f;
        for (Object* o : targets) {
            for (const victoryStruct& v : o->victory) sum += conditionGap(v, o->physics->getPosition());
        }
        return sum;
    }

    // Past positions of the movable bodies: ring[i][u % (REST_SPAN + 1)].
    std::vector<std::vector<physics::Vector2D>> ring;
    int recorded = 0;  // updates recorded

    void record(int u) {
        if (ring.empty()) ring.assign(movable.size(), std::vector<physics::Vector2D>(REST_SPAN + 1));
        const size_t slot = static_cast<size_t>(u % (REST_SPAN + 1));
        for (size_t i = 0; i < movable.size(); ++i) ring[i][slot] = movable[i]->getPosition();
        ++recorded;
    }

    bool atRest(size_t i, int u) const {
        if (!movable[i]->isAwake()) return true;
        if (recorded <= REST_SPAN || movable[i]->getVelocity().length() >= REST_SPEED) return false;
        const physics::Vector2D& now = movable[i]->getPosition();
        const physics::Vector2D& long_ago = ring[i][static_cast<size_t>((u - REST_SPAN) % (REST_SPAN + 1))];
        const physics::Vector2D& half = ring[i][static_cast<size_t>((u - REST_SPAN / 2) % (REST_SPAN + 1))];
        return (now - long_ago).length() < REST_DRIFT && (now - half).length() < REST_DRIFT;
    }

    bool allAtRest(int u) const {
        for (size_t i = 0; i < movable.size(); ++i) {
            if (!atRest(i, u)) return false;
        }
        return true;
    }

    bool bombPending() const {
        for (const Bomb* b : bombs) {
            if (!b->exploded) return true;
        }
        return false;
    }

    Snapshot snapshot(int update) const {
        const int u = update;
        Snapshot s;
        s.update = update;
        for (size_t i = 0; i < movable.size(); ++i) {
            BodyState state;
            state.x = movable[i]->getPosition().x;
            state.y = movable[i]->getPosition().y;
            state.extent = halfExtent(*movable[i]);
            state.target = movableIsTarget[i];
            state.asleep = atRest(i, u);
            s.bodies.push_back(state);
        }
        return s;
    }
};

void click(PlayRules& rules, const Click& c) { rules.click(static_cast<float>(c.x), static_cast<float>(c.y)); }

int randomIn(std::uint64_t& state, int lo, int hi) {
    return lo + static_cast<int>(splitmix64(state) % static_cast<std::uint64_t>(hi - lo + 1));
}

}  // namespace

ReplayResult replay(const LevelSource& source, const std::vector<Click>& clicks, const ReplayOptions& options) {
    OutputCapture silence(OutputCapture::DISCARD);
    return replayUnsilenced(source, clicks, options);
}

ReplayResult replayUnsilenced(const LevelSource& source, const std::vector<Click>& clicks,
                              const ReplayOptions& options) {
    std::unique_ptr<Level> level = load(source);
    Watch watch(*level);

    PlayRules rules(*level);
    if (options.restartAfter > 0) {
        // The earlier attempt, as a player makes it before pressing 'r'.
        size_t next = 0;
        for (int u = 1; u <= options.restartAfter; ++u) {
            rules.update();
            for (; next < clicks.size() && clicks[next].update <= u; ++next) click(rules, clicks[next]);
        }
        rules.restart();
    }

    ReplayResult result;
    result.gap = watch.gap();
    result.bestGap = result.gap;
    size_t nextClick = 0;
    size_t nextSnapshot = 0;
    int asleepFor = 0;  // consecutive updates after which every movable body slept
    for (int u = 1; u <= options.maxUpdates; ++u) {
        rules.update();
        result.updates = u;
        watch.record(u);
        result.gap = watch.gap();
        result.bestGap = std::min(result.bestGap, result.gap);
        if (rules.won()) {
            result.won = true;
            result.wonAt = u;
            break;
        }
        while (nextSnapshot < options.snapshotAt.size() && options.snapshotAt[nextSnapshot] <= u) {
            if (options.snapshotAt[nextSnapshot] == u) result.snapshots.push_back(watch.snapshot(u));
            ++nextSnapshot;
        }
        // Clicks are validated to come at most one per update; one that is out of
        // order (a caller's mistake) is played at the first update it can be.
        while (nextClick < clicks.size() && clicks[nextClick].update <= u) {
            click(rules, clicks[nextClick]);
            result.explosions = rules.explosions;
            ++nextClick;
            asleepFor = -1;  // counted again from the next update: the blast has not moved anything yet
        }
        asleepFor = watch.allAtRest(u) ? asleepFor + 1 : 0;
        if (asleepFor > 0 && result.quietAt == 0 && nextClick == clicks.size()) result.quietAt = u;
        if (options.stopWhenSettled) {
            if (asleepFor > REST_WINDOW && nextClick == clicks.size() && !watch.blackHoles && !watch.bombPending() &&
                level->victoryTime == 0.0f && nextSnapshot == options.snapshotAt.size()) {
                result.settled = true;
                break;
            }
        }
    }
    return result;
}

LevelInfo describeLevel(const LevelSource& source) {
    LevelInfo info;
    // The reader's messages come through LevelFile::report, the pictures' on standard output.
    LevelFile::Collect reader;
    OutputCapture capture(OutputCapture::KEEP);
    std::istringstream in(source.bytes);
    std::unique_ptr<Level> level(new Level(source.path, in));
    std::string text = capture.finish();
    info.messages = reader.messages;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) info.messages.push_back(line);
    }
    Watch watch(*level);
    info.length = level->length;
    info.movableBodies = static_cast<int>(watch.movable.size());
    info.targets = static_cast<int>(watch.targets.size());
    info.blackHoles = watch.blackHoles;
    for (const Bomb* b : watch.bombs) info.bombFuses.push_back(b->time);
    return info;
}

std::vector<std::vector<Click>> playabilityVariants(const std::vector<Click>& clicks,
                                                    const PlayabilityOptions& options) {
    std::vector<std::vector<Click>> variants;
    if (clicks.empty()) {
        variants.push_back(clicks);
        return variants;
    }
    // A fixed seed: the same clicks always give the same variants, so the
    // fraction written by solve is the one verify finds.
    std::uint64_t state = 0x626f787175616b65ull;  // "boxquake"
    for (int v = 0; v < options.variants; ++v) {
        std::vector<Click> variant = clicks;
        int previous = 1 - MIN_CLICK_GAP;
        for (Click& c : variant) {
            c.x = std::clamp(c.x + randomIn(state, -options.shift, options.shift), 0, FIELD_WIDTH - 1);
            c.y = std::clamp(c.y + randomIn(state, -options.shift, options.shift), 0, FIELD_HEIGHT - 1);
            c.update = std::max(c.update + randomIn(state, -options.early, options.late), previous + MIN_CLICK_GAP);
            previous = c.update;
        }
        variants.push_back(variant);
    }
    return variants;
}

double playableFraction(const LevelSource& level, const std::vector<Click>& clicks, const PlayabilityOptions& options,
                        long long* simulated) {
    const std::vector<std::vector<Click>> variants = playabilityVariants(clicks, options);
    ReplayOptions replayOptions;
    replayOptions.maxUpdates = options.maxUpdates;
    const int total = static_cast<int>(variants.size());
    int wins = 0;
    int played = 0;
    for (const std::vector<Click>& variant : variants) {
        ReplayResult r = replay(level, variant, replayOptions);
        if (simulated) *simulated += r.updates;
        ++played;
        if (r.won) ++wins;
        // Even if every remaining variant won, the fraction would stay below the bar.
        if (options.giveUpBelow > 0.0 && static_cast<double>(wins + total - played) < options.giveUpBelow * total) {
            break;
        }
    }
    return total > 0 ? static_cast<double>(wins) / total : 0.0;
}

std::vector<Click> delayed(std::vector<Click> clicks, int updates) {
    for (Click& c : clicks) c.update += updates;
    return clicks;
}

float idleDrift(const LevelSource& source, int from, int to) {
    OutputCapture silence(OutputCapture::DISCARD);
    std::unique_ptr<Level> level = load(source);
    Watch watch(*level);
    PlayRules rules(*level);
    std::vector<physics::Vector2D> start;
    float farthest = 0.0f;
    for (int u = 1; u <= to; ++u) {
        rules.update();
        if (u == from) {
            for (const Body2D* b : watch.movable) start.push_back(b->getPosition());
        } else if (u > from) {
            for (size_t i = 0; i < start.size(); ++i) {
                farthest = std::max(farthest, (watch.movable[i]->getPosition() - start[i]).length());
            }
        }
    }
    return farthest;
}

}  // namespace leveltools
