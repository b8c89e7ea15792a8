#include "tools/level/solver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <set>
#include <tuple>

#include "tools/level/output_capture.h"
#include "tools/level/random.h"
#include "tools/level/replay_pool.h"

namespace leveltools {

namespace {

const int ROUND0_ANGLES = 16;       // directions around a body in the fixed pattern
const int ROUND0_DEEP_ANGLES = 8;   // the same for the second and later clicks
const int RANDOM_CLICKS = 160;      // clicks drawn per beam entry in a random round
const int POLISH_SCALES[] = {12, 8, 5, 3};  // pixels and updates: sampling radii of the centring steps
const int POLISH_SAMPLES = 16;              // samples per centring step
const int POLISH_NEAR = 6;                  // winners this close (pixels, updates) to a polished one are skipped
const float PI = 3.14159265f;

double uniform(std::uint64_t& state) {
    return static_cast<double>(splitmix64(state) >> 11) * (1.0 / 9007199254740992.0);
}

int clampX(float x) { return std::clamp(static_cast<int>(std::lround(x)), 0, FIELD_WIDTH - 1); }
int clampY(float y) { return std::clamp(static_cast<int>(std::lround(y)), 0, FIELD_HEIGHT - 1); }

// Thrown through the search when a budget runs out; caught in solve().
struct OutOfBudget {};

// One click sequence that did not win, ranked by how close it brought the targets.
struct Candidate {
    std::vector<Click> clicks;
    float score = 0;  // smaller is better
};

class Search {
public:
    Search(const LevelSource& level, const SolveOptions& options)
        : m_level(level),
          m_options(options),
          m_start(std::chrono::steady_clock::now()),
          m_startCpu(std::clock()),
          m_info(describeLevel(level)),
          m_pool(level, searchReplays(options), options.jobs > 1 ? options.jobs : 0) {
        m_result.solution.hash = levelHash(level.bytes);
        // The last update at which a click can still lead to a win inside the cap.
        m_lastClickUpdate = std::max(1, options.maxUpdates - m_info.length - 30);
    }

    SolveResult run() {
        try {
            searchWithoutClicks();
            for (int round = 0; !(m_result.optimal && settledBest()); ++round) {
                m_stats.round = round;
                const int deepest = !havePlayable() ? m_options.maxClicks
                                    : settledBest() ? std::min(m_options.maxClicks, m_best - 1)
                                                    : std::min(m_options.maxClicks, m_best);
                if (deepest < 1) break;
                beamSearch(round, deepest);
                // Nothing in the fixed pattern or in the random rounds depends on
                // anything but the seed, so further rounds are worth running.
            }
            m_result.stopReason = "optimal";
        } catch (const OutOfBudget&) {
            m_result.stopReason = m_budgetReason;
        }
        finish();
        return m_result;
    }

private:
    // --- simulations, all counted against the budget -------------------------------

    void checkBudget() {
        m_stats.seconds = elapsed();
        if (m_options.budgetUpdates > 0 && m_stats.updates >= m_options.budgetUpdates) {
            m_budgetReason = "update budget";
            throw OutOfBudget();
        }
        if (m_options.budgetSeconds > 0 && m_stats.seconds >= m_options.budgetSeconds) {
            m_budgetReason = "time budget";
            throw OutOfBudget();
        }
        if (m_options.interrupted && m_options.interrupted()) {
            m_budgetReason = "interrupted";
            throw OutOfBudget();
        }
    }

    static ReplayOptions searchReplays(const SolveOptions& options) {
        ReplayOptions o;
        o.maxUpdates = options.maxUpdates;
        o.stopWhenSettled = true;
        return o;
    }

    // The next result of `batch`, counted as one simulation. The budget is checked
    // before each, in the search's own order, whatever ran ahead on other threads:
    // the stop point and every count are those of the serial search.
    ReplayResult take(ReplayPool::Batch& batch) {
        checkBudget();
        ReplayResult r = batch.take();
        m_stats.simulations += 1;
        m_stats.updates += r.updates;
        report();
        return r;
    }

    ReplayResult simulate(const std::vector<Click>& clicks, const std::vector<int>& snapshotAt = {}) {
        ReplayPool::Batch one(m_pool, {{clicks, snapshotAt}});
        return take(one);
    }

    static std::vector<ReplayJob> jobsOf(const std::vector<std::vector<Click>>& sequences) {
        std::vector<ReplayJob> jobs;
        for (const std::vector<Click>& clicks : sequences) jobs.push_back({clicks, {}});
        return jobs;
    }

    // Playable fraction, taken one variant at a time so the budget is honoured.
    // 0 for a level without a bomb whose clicks lose when played LATE_START
    // updates later: a player who reads the level first could never repeat them.
    double playability(const std::vector<Click>& clicks) {
        const bool lateFirst = m_info.bombFuses.empty() && !clicks.empty();
        PlayabilityOptions po = m_options.playability;
        po.maxUpdates = m_options.maxUpdates;
        std::vector<std::vector<Click>> tries = playabilityVariants(clicks, po);
        const int total = static_cast<int>(tries.size());
        if (lateFirst) tries.insert(tries.begin(), delayed(clicks, LATE_START));
        ReplayPool::Batch batch(m_pool, jobsOf(tries));
        if (lateFirst && !take(batch).won) return 0.0;
        int wins = 0;
        for (int v = 0; v < total; ++v) {
            if (take(batch).won) ++wins;
        }
        return total > 0 ? static_cast<double>(wins) / total : 0.0;
    }

    void report() {
        if (!m_options.progress) return;
        stamp();
        m_options.progress(m_stats);
    }

    void stamp() {
        m_stats.seconds = elapsed();
        m_stats.cpuSeconds = static_cast<double>(std::clock() - m_startCpu) / CLOCKS_PER_SEC;
    }

    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

    // --- winners --------------------------------------------------------------------

    // A sequence that won (cut to the clicks played before the win): move it
    // towards the middle of the region of clicks that win, measure how playable
    // it is, and keep it when it beats the best so far.
    void consider(const std::vector<Click>& won) {
        const int k = static_cast<int>(won.size());
        if (havePlayable() && (k > m_best || (k == m_best && settledBest()))) return;
        // Winners next to one already polished lie in the same winning region.
        for (const std::vector<Click>& p : m_polished) {
            if (closeTo(p, won)) return;
        }
        m_polished.push_back(won);
        std::vector<Click> clicks = k > 0 ? centre(won) : won;
        double fraction = playability(clicks);
        if (clicks != won && fraction < 1.0) {
            // The centring can overshoot a thin region: keep whichever of the two is better.
            const double original = playability(won);
            if (original > fraction) {
                clicks = won;
                fraction = original;
            }
        }
        const bool better = m_best < 0 || k < m_best || (k == m_best && fraction > m_bestPlayable);
        if (!better) return;
        // A playable solution with more clicks beats an unplayable one with fewer.
        if (m_best >= 0 && m_bestPlayable >= MIN_PLAYABLE && fraction < MIN_PLAYABLE) return;
        m_best = k;
        m_bestPlayable = fraction;
        m_bestClicks = clicks;
        m_stats.bestClicks = k;
        m_stats.bestPlayable = fraction;
        stamp();
        m_result.foundAt = m_stats;
        if (fraction >= MIN_PLAYABLE && (k == 0 || (k == 1 && m_zeroLoses))) m_result.optimal = true;
        report();
    }

    static bool closeTo(const std::vector<Click>& a, const std::vector<Click>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (std::abs(a[i].x - b[i].x) > POLISH_NEAR || std::abs(a[i].y - b[i].y) > POLISH_NEAR ||
                std::abs(a[i].update - b[i].update) > POLISH_NEAR) {
                return false;
            }
        }
        return true;
    }

    // Multi-scale mean shift: sample clicks around the sequence at a coarse scale,
    // move to the mean of those that win, and repeat at finer scales. A winner
    // found at the rim of its region ends up nearer the middle, where small
    // slips of the hand still win.
    std::vector<Click> centre(const std::vector<Click>& won) {
        std::vector<Click> clicks = won;
        std::uint64_t rng = m_options.seed ^ 0x706f6c697368ull;  // "polish"
        for (int scale : POLISH_SCALES) {
            std::vector<std::vector<Click>> samples;
            for (int i = 0; i < POLISH_SAMPLES; ++i) {
                std::vector<Click> v = clicks;
                for (Click& c : v) {
                    c.x += static_cast<int>(std::lround((2.0 * uniform(rng) - 1.0) * scale));
                    c.y += static_cast<int>(std::lround((2.0 * uniform(rng) - 1.0) * scale));
                    c.update += static_cast<int>(std::lround((2.0 * uniform(rng) - 1.0) * scale));
                }
                samples.push_back(playableOrder(v));
            }
            std::vector<std::vector<Click>> winners = {clicks};
            ReplayPool::Batch batch(m_pool, jobsOf(samples));
            for (const std::vector<Click>& v : samples) {
                ReplayResult r = take(batch);
                if (r.won && r.explosions == static_cast<int>(v.size())) winners.push_back(v);
            }
            std::vector<Click> moved = meanOf(winners, clicks);
            if (moved == clicks) continue;
            ReplayResult r = simulate(moved);
            if (r.won && r.explosions == static_cast<int>(moved.size())) clicks = moved;
        }
        return clicks;
    }

    // Inside the field, from update 1 on, at least MIN_CLICK_GAP apart.
    static std::vector<Click> playableOrder(std::vector<Click> clicks) {
        int previous = 1 - MIN_CLICK_GAP;
        for (Click& c : clicks) {
            c.x = std::clamp(c.x, 0, FIELD_WIDTH - 1);
            c.y = std::clamp(c.y, 0, FIELD_HEIGHT - 1);
            c.update = std::max(c.update, previous + MIN_CLICK_GAP);
            previous = c.update;
        }
        return clicks;
    }

    // Each click moved by the mean offset of the winning variants (which share the
    // clicks' order), rounded; kept playable.
    static std::vector<Click> meanOf(const std::vector<std::vector<Click>>& winners, const std::vector<Click>& base) {
        std::vector<Click> out = base;
        for (size_t i = 0; i < base.size(); ++i) {
            double dx = 0, dy = 0, dt = 0;
            for (const std::vector<Click>& w : winners) {
                dx += w[i].x - base[i].x;
                dy += w[i].y - base[i].y;
                dt += w[i].update - base[i].update;
            }
            const double n = static_cast<double>(winners.size());
            out[i].x = std::clamp(base[i].x + static_cast<int>(std::lround(dx / n)), 0, FIELD_WIDTH - 1);
            out[i].y = std::clamp(base[i].y + static_cast<int>(std::lround(dy / n)), 0, FIELD_HEIGHT - 1);
            out[i].update = base[i].update + static_cast<int>(std::lround(dt / n));
        }
        return playableOrder(out);
    }

    // --- the search -----------------------------------------------------------------

    bool havePlayable() const { return m_best >= 0 && m_bestPlayable >= MIN_PLAYABLE; }
    // The best is playable enough that more sequences of its length are not worth trying.
    bool settledBest() const { return m_best >= 0 && m_bestPlayable >= m_options.targetPlayable; }

    void searchWithoutClicks() {
        m_stats.depth = 0;
        ReplayResult r = simulate({});
        m_zeroLoses = !r.won;
        if (r.won) consider({});
    }

    // Both moments show every body asleep in the same place and nothing happens
    // in between that could differ: a click at either has the same effect.
    bool sameRest(const Snapshot& a, const Snapshot& b) const {
        if (m_info.blackHoles || a.bodies.size() != b.bodies.size()) return false;
        for (int fuse : m_info.bombFuses) {
            if (fuse >= a.update && fuse <= b.update) return false;
        }
        for (size_t i = 0; i < a.bodies.size(); ++i) {
            const BodyState& p = a.bodies[i];
            const BodyState& q = b.bodies[i];
            if (!p.asleep || !q.asleep || std::fabs(p.x - q.x) > 1.0f || std::fabs(p.y - q.y) > 1.0f) return false;
        }
        return true;
    }

    float scoreOf(const ReplayResult& r) const { return r.gap + 0.25f * r.bestGap; }

    // Moments for the next click after `prefix`: soon after its last click, a
    // few later moments, when everything has come to rest, and around bomb blasts.
    std::vector<int> clickTimes(const std::vector<Click>& prefix, int quietAt, int round, std::uint64_t& rng) const {
        const int start = prefix.empty() ? 1 : prefix.back().update + MIN_CLICK_GAP;
        std::set<int> times;
        if (round == 0) {
            for (int offset : {0, 20, 45, 90, 150, 240}) times.insert(start + offset);
            if (quietAt > 0) times.insert(std::max(start, quietAt + 5));
            for (int fuse : m_info.bombFuses) {
                for (int offset : {2, 25, 70}) {
                    if (fuse + offset >= start) times.insert(fuse + offset);
                }
            }
        } else {
            const int horizon = std::max(start + 60, (quietAt > 0 ? quietAt : start) + 120);
            for (int i = 0; i < 5; ++i) {
                times.insert(start + static_cast<int>(uniform(rng) * (horizon - start)));
            }
        }
        std::vector<int> out;
        for (int t : times) {
            if (t >= start && t <= m_lastClickUpdate) out.push_back(t);
        }
        return out;
    }

    // Click positions around the bodies of one snapshot: targets first.
    std::vector<Click> clickPlaces(const Snapshot& s, int depth, int round, std::uint64_t& rng) const {
        std::vector<Click> out;
        std::vector<const BodyState*> order;
        for (const BodyState& b : s.bodies) {
            if (b.target) order.push_back(&b);
        }
        for (const BodyState& b : s.bodies) {
            if (!b.target) order.push_back(&b);
        }
        for (const BodyState* b : order) {
            const float e = std::max(2.0f, b->extent);
            if (round == 0) {
                const int angles = depth == 1 ? ROUND0_ANGLES : ROUND0_DEEP_ANGLES;
                std::vector<float> distances = {e + 6, e + 18, e + 40, e + 80, e + 140};
                if (depth == 1) distances.insert(distances.begin(), 0.5f * e);
                for (float d : distances) {
                    for (int a = 0; a < angles; ++a) {
                        // Start below the body: blasts from below lift, which most levels want.
                        const float angle = -0.5f * PI + 2.0f * PI * static_cast<float>(a) / angles;
                        Click c;
                        c.update = s.update;
                        c.x = clampX(b->x + d * std::cos(angle));
                        c.y = clampY(b->y + d * std::sin(angle));
                        out.push_back(c);
                    }
                }
            } else {
                const int count = RANDOM_CLICKS / static_cast<int>(std::max<size_t>(1, s.bodies.size()));
                // Log-uniform distances: the push falls off as 1 / distance, so near
                // clicks need as fine a sampling as far ones need a coarse one.
                const float nearest = std::log(3.0f), farthest = std::log(e + 220.0f);
                for (int i = 0; i < count; ++i) {
                    const float d = std::exp(nearest + static_cast<float>(uniform(rng)) * (farthest - nearest));
                    const float angle = static_cast<float>(uniform(rng)) * 2.0f * PI;
                    Click c;
                    c.update = s.update;
                    c.x = clampX(b->x + d * std::cos(angle));
                    c.y = clampY(b->y + d * std::sin(angle));
                    out.push_back(c);
                }
            }
        }
        return out;
    }

    void beamSearch(int round, int deepest) {
        std::uint64_t rng =
            m_options.seed * 0x100000001B3ull + static_cast<std::uint64_t>(round) * 0x9E3779B97F4A7C15ull;
        const size_t width = static_cast<size_t>(std::min(16, 6 + 2 * round));
        std::vector<Candidate> beam(1);  // the empty sequence
        for (int depth = 1; depth <= deepest; ++depth) {
            if (havePlayable() && (depth > m_best || (depth == m_best && settledBest()))) return;
            m_stats.depth = depth;
            std::vector<Candidate> children;
            std::set<std::tuple<size_t, int, int, int>> seen;  // (parent, update, x / 16, y / 16)
            std::vector<std::vector<Click>> prefixes;
            for (const Candidate& parent : beam) prefixes.push_back(parent.clicks);
            // One replay of each prefix tells when to click after it.
            ReplayPool::Batch bases(m_pool, jobsOf(prefixes));
            for (size_t p = 0; p < beam.size(); ++p) {
                const std::vector<Click>& prefix = beam[p].clicks;
                ReplayResult base = take(bases);
                std::vector<int> times = clickTimes(prefix, base.quietAt, round, rng);
                if (times.empty()) continue;
                // And one more where the bodies are then.
                ReplayResult shots = simulate(prefix, times);
                // Every click to try after the prefix depends on the snapshots and the
                // seed alone, not on how the others fare: they replay as one batch.
                std::vector<std::vector<Click>> tries;
                const Snapshot* previous = nullptr;
                for (const Snapshot& s : shots.snapshots) {
                    if (previous != nullptr && sameRest(*previous, s)) continue;
                    previous = &s;
                    for (const Click& c : clickPlaces(s, depth, round, rng)) {
                        tries.push_back(prefix);
                        tries.back().push_back(c);
                    }
                }
                ReplayPool::Batch batch(m_pool, jobsOf(tries));
                for (std::vector<Click>& clicks : tries) {
                    ReplayResult r = take(batch);
                    const Click c = clicks.back();
                    if (r.won) {
                        clicks.resize(static_cast<size_t>(r.explosions));
                        consider(clicks);
                        if (havePlayable() && (m_best < depth || (m_best == depth && settledBest()))) return;
                        continue;
                    }
                    auto key = std::make_tuple(p, c.update, c.x / 16, c.y / 16);
                    if (!seen.insert(key).second) continue;
                    children.push_back({clicks, scoreOf(r)});
                }
            }
            std::stable_sort(children.begin(), children.end(),
                             [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
            if (children.size() > width) children.resize(width);
            beam.swap(children);
            if (beam.empty()) return;
        }
    }

    void finish() {
        stamp();
        m_result.stats = m_stats;
        if (m_best < 0) return;
        // The stored solution is measured without the early stops of the search.
        ReplayOptions o;
        o.maxUpdates = m_options.maxUpdates;
        ReplayResult r = replayUnsilenced(m_level, m_bestClicks, o);
        m_result.stats.simulations += 1;
        m_result.stats.updates += r.updates;
        m_result.found = r.won && r.explosions == m_best;
        m_result.solution.par = m_best;
        m_result.solution.clicks = m_bestClicks;
        m_result.solution.updates = r.wonAt;
        m_result.solution.playable = m_bestPlayable;
        m_result.solution.limit = m_options.maxUpdates;
        m_result.playable = m_bestPlayable >= MIN_PLAYABLE;
        m_result.optimal = m_result.optimal && m_result.found;
    }

    const LevelSource& m_level;
    SolveOptions m_options;
    std::chrono::steady_clock::time_point m_start;
    std::clock_t m_startCpu;
    LevelInfo m_info;
    int m_lastClickUpdate = 1;
    bool m_zeroLoses = false;
    SolveProgress m_stats;
    SolveResult m_result;
    std::string m_budgetReason;
    int m_best = -1;                // clicks of the best solution; -1 when none
    double m_bestPlayable = -1.0;
    std::vector<Click> m_bestClicks;
    std::vector<std::vector<Click>> m_polished;  // winners already centred and measured
    ReplayPool m_pool;  // last: its threads stop before the rest goes
};

}  // namespace

SolveResult solve(const LevelSource& level, const SolveOptions& options) {
    SolveOptions bounded = options;
    // Later rounds never run out of random clicks: without any budget the search would not end.
    if (bounded.budgetSeconds <= 0 && bounded.budgetUpdates <= 0) bounded.budgetSeconds = 60;
    bounded.maxClicks = std::max(1, bounded.maxClicks);
    bounded.targetPlayable = std::clamp(bounded.targetPlayable, MIN_PLAYABLE, 1.0);
    // What loading prints is dropped once around the whole search: replays on
    // several threads cannot each redirect standard output (see replayUnsilenced).
    std::optional<OutputCapture> silence;
    if (options.silenceOutput) silence.emplace(OutputCapture::DISCARD);
    return Search(level, bounded).run();
}

}  // namespace leveltools
