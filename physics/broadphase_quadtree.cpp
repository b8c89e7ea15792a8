#include "physics/broadphase_quadtree.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

#include "physics/body.h"
#include "physics/globals.h"
#include "physics/world.h"

namespace physics {

namespace {

// The tree's cells, keyed: root 1, child q of cell k is 4k + q (bit 0 of q: right
// of k's centre, bit 1: above it). Five levels: keys 1 to 511, depth 1 for the root.
constexpr int kLevels = 5;
constexpr int kKeys = 1 << (2 * kLevels - 1);
constexpr int kCellCount = ((1 << (2 * kLevels)) - 1) / 3;  // 1 + 4 + 16 + 64 + 256 = 341

struct Cells {
    float centreX[kKeys] = {};
    float centreY[kKeys] = {};
    std::uint16_t rank[kKeys] = {};  // place in the depth-first walk, children by quadrant
    std::uint8_t depth[kKeys] = {};

    // The root's centre is (0, 50); a child of a cell at level d (0 for the root)
    // sits at its centre +/- (200 >> (d+2), 100 >> (d+2)), integer divisions:
    // (50, 25), (25, 12), (12, 6), (6, 3) for d = 0..3.
    constexpr Cells() {
        centreX[1] = 0.0f;
        centreY[1] = 50.0f;
        int next = 0;
        walk(1, 0, next);
    }
    constexpr void walk(int key, int level, int& next) {
        rank[key] = static_cast<std::uint16_t>(next++);
        depth[key] = static_cast<std::uint8_t>(level + 1);
        if (level == kLevels - 1) return;
        int dx = 200 / (1 << (level + 2));
        int dy = 100 / (1 << (level + 2));
        for (int q = 0; q < 4; ++q) {
            int child = key * 4 + q;
            centreX[child] = centreX[key] + static_cast<float>((q & 1) ? dx : -dx);
            centreY[child] = centreY[key] + static_cast<float>((q & 2) ? dy : -dy);
            walk(child, level + 1, next);
        }
    }
};

// Made by the compiler: the pair loop reads it without a guard or a start-up cost.
constexpr Cells kCells{};

// True when cell `upper` is `lower` or one of the cells above it.
bool holds(const Cells& t, int upper, int lower) {
    int up = t.depth[lower] - t.depth[upper];
    return up >= 0 && (lower >> (2 * up)) == upper;
}

// Past this size (world units) a coordinate, radius or margin makes a body's
// span endless: the squares in testRadius could overflow to infinity, where the
// bound below no longer holds. NaN fails the comparison too.
constexpr double kFar = 1e15;

// Why a span is wide enough: test() passes only when fl(dx*dx + dy*dy) <= fl(r*r)
// (fl: float rounding), so fl(dx*dx) <= fl(r*r) and, with no overflow, |dx| <=
// |r| (1 + 2^-23) + 1e-22; undoing the rounding of dx = xa - xb and of r = ra + rb
// + margin, |xa - xb| <= (|ra| + |rb| + |margin|)(1 + 2^-21) + 1e-22. Each span
// reaches |r| + |margin|/2 from the centre plus 1e-6 (1 + |r| + |margin| + |x| +
// |y|): more than that rounding and than the rounding of the span's ends, in
// double and then to float (2^-24 of |x| + reach at most). So spans apart means
// test() fails.
void spanOf(const Vector2D& p, float radius, double margin, float& lo, float& hi) {
    double x = p.x, y = p.y, r = std::fabs(static_cast<double>(radius));
    if (!(std::fabs(x) <= kFar && std::fabs(y) <= kFar && r <= kFar && margin <= kFar)) {
        lo = -std::numeric_limits<float>::infinity();
        hi = std::numeric_limits<float>::infinity();
        return;
    }
    double reach = r + 0.5 * margin + 1e-6 * (1.0 + r + margin + std::fabs(x) + std::fabs(y));
    lo = static_cast<float>(x - reach);
    hi = static_cast<float>(x + reach);
}

using F4 = float __attribute__((vector_size(16)));  // QuadtreeBroadPhase::F4
using I4 = int __attribute__((vector_size(16)));
using U2 = unsigned long long __attribute__((vector_size(16)));

F4 splat(float x) { return F4{x, x, x, x}; }

bool anySet(I4 mask) {
    U2 halves = reinterpret_cast<U2>(mask);
    return (halves[0] | halves[1]) != 0;
}

// Bit l set for each lane l of the mask that is set.
unsigned laneBits(I4 mask) {
    I4 bits = mask & I4{1, 2, 4, 8};
    bits |= __builtin_shufflevector(bits, bits, 2, 3, 0, 1);
    bits |= __builtin_shufflevector(bits, bits, 1, 0, 3, 2);
    return static_cast<unsigned>(bits[0]);
}

}  // namespace

QuadtreeBroadPhase::PairList QuadtreeBroadPhase::findPairs() {
    PairList pairs;
    if (m_world == nullptr) return pairs;
    const std::vector<BodyT*>& bodies = m_world->bodies;
    const std::size_t n = bodies.size();
    m_bodies = &bodies;

    // ignore(a, b) is true exactly when neither body is "movable" here: such
    // pairs are never looked at, so bodies that cannot move cost one visit each.
    const bool findSleeping = Globals::findSleepingContacts;
    m_movable.resize(n);
    std::size_t movable = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const BodyT* b = bodies[k];
        bool m = findSleeping ? !b->isStatic() : b->isAwake();
        m_movable[k] = m;
        movable += m;
    }
    if (movable == 0) return pairs;

    const double margin = std::fabs(static_cast<double>(Globals::_NEAR));
    m_spans.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        Span& s = m_spans[k];
        const Vector2D& p = bodies[k]->getPosition();
        s.x = p.x;
        s.y = p.y;
        s.radius = bodies[k]->getBoundingRadius();
        spanOf(p, s.radius, margin, s.lo, s.hi);
        s.body = static_cast<std::uint32_t>(k);
    }
    // Every body's cell, once: nearly every body meets some other in a scene
    // with movable bodies, and consider() reads both cells of every candidate.
    m_cells.resize(n);
    for (std::size_t k = 0; k < n; ++k) m_cells[k] = cellOf(static_cast<std::uint32_t>(k));
    sortSweepOrder();

    // Sweep by Span::lo: a body meets every open body whose span has not ended;
    // a still body meets only the movable ones.
    m_openMovable.clear();
    m_openStill.clear();
    m_found.clear();
    m_met.resize(n);  // a body meets each other body at most once
    const F4 near = splat(Globals::_NEAR);
    for (std::uint32_t b : m_order) {
        const Span& span = m_spans[b];
        const Probe probe{splat(span.lo), splat(span.x), splat(span.y), splat(span.radius), near};
        std::uint32_t* met = m_met.data();
        std::uint32_t* end = meeting(m_openMovable, probe, met);
        if (m_movable[b]) end = meeting(m_openStill, probe, end);
        for (; met != end; ++met) consider(*met, b);
        (m_movable[b] ? m_openMovable : m_openStill).push(span);
    }

    sortFound(pairs);
    return pairs;
}

// Last step's order is kept: bodies move little between steps, so an insertion
// sort does about one comparison per body. If it has to move much more than
// that (a new world, bodies added or removed, a jump), a full sort finishes.
void QuadtreeBroadPhase::sortSweepOrder() {
    const std::size_t n = m_spans.size();
    auto byLo = [this](std::uint32_t a, std::uint32_t b) { return m_spans[a].lo < m_spans[b].lo; };
    if (m_order.size() != n) {
        m_order.resize(n);
        std::iota(m_order.begin(), m_order.end(), 0u);
        std::sort(m_order.begin(), m_order.end(), byLo);
        return;
    }
    std::size_t budget = 4 * n + 64;  // moves allowed before giving up
    for (std::size_t k = 1; k < n; ++k) {
        std::uint32_t v = m_order[k];
        std::size_t p = k;
        while (p > 0 && byLo(v, m_order[p - 1]) && budget > 0) {
            m_order[p] = m_order[p - 1];
            --p;
            --budget;
        }
        m_order[p] = v;
        if (budget == 0) {
            std::sort(m_order.begin(), m_order.end(), byLo);
            return;
        }
    }
}

// Writes from `out` on the bodies of `open` that pass test()'s bounding-circle
// test with the body of b, four lanes at a time, and returns the end. Each
// lane does the float operations of testRadius(), whose outcome does not
// depend on which body comes first: a sum and a squared difference are the
// same either way round. A span that ended before b's began meets no later
// body of the sweep either: once more than 8 have ended and they are over half
// the lanes of a list of several blocks, they are dropped.
__attribute__((always_inline)) inline std::uint32_t* QuadtreeBroadPhase::meeting(Open& open, const Probe& b,
                                                                               std::uint32_t* out) {
    I4 ended{0, 0, 0, 0};  // -1 in a lane for each ended span seen there
    for (const OpenBlock& a : open.blocks) {
        const I4 over = a.hi < b.lo;
        ended += over;
        const F4 r = a.radius + b.radius + b.margin;
        const F4 dx = a.x - b.x;
        const F4 dy = a.y - b.y;
        const I4 meet = ~over & (dx * dx + dy * dy <= r * r);  // false in a NaN lane
        if (!anySet(meet)) continue;
        for (unsigned lanes = laneBits(meet); lanes != 0; lanes &= lanes - 1) {
            *out++ = a.body[__builtin_ctz(lanes)];
        }
    }
    // A list of one block (the still bodies, often) is not worth compacting.
    if (open.blocks.size() > 1) {
        ended += __builtin_shufflevector(ended, ended, 2, 3, 0, 1);
        ended += __builtin_shufflevector(ended, ended, 1, 0, 3, 2);
        const auto over = static_cast<std::size_t>(-ended[0]);
        if (over > 8 && 2 * over > open.size) open.compact(b.lo[0]);
    }
    return out;
}

inline void QuadtreeBroadPhase::Open::push(const Span& s) {
    const std::size_t lane = size % 4;
    if (lane == 0) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const F4 none{nan, nan, nan, nan};
        blocks.push_back(OpenBlock{none, none, none, none, {0, 0, 0, 0}});
    }
    OpenBlock& block = blocks.back();
    block.hi[lane] = s.hi;
    block.x[lane] = s.x;
    block.y[lane] = s.y;
    block.radius[lane] = s.radius;
    block.body[lane] = s.body;
    ++size;
}

// Keeps the spans that have not ended before lo, packed to the front in
// their order (each written at or before the place it is read from).
void QuadtreeBroadPhase::Open::compact(float lo) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < size; ++k) {
        const OpenBlock& a = blocks[k / 4];
        const int l = static_cast<int>(k % 4);
        if (a.hi[l] < lo) continue;
        OpenBlock& to = blocks[kept / 4];
        const int m = static_cast<int>(kept % 4);
        to.hi[m] = a.hi[l];
        to.x[m] = a.x[l];
        to.y[m] = a.y[l];
        to.radius[m] = a.radius[l];
        to.body[m] = a.body[l];
        ++kept;
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    blocks.resize((kept + 3) / 4);
    for (std::size_t k = kept; k < 4 * blocks.size(); ++k) {
        OpenBlock& to = blocks[k / 4];
        const int m = static_cast<int>(k % 4);
        to.hi[m] = to.x[m] = to.y[m] = to.radius[m] = nan;
    }
    size = kept;
}

// Keeps (a, b), whose bounding circles meet, oriented as the tree walk tests
// it, when the tree tests it at all and no joint excludes it.
__attribute__((always_inline)) inline void QuadtreeBroadPhase::consider(std::uint32_t a, std::uint32_t b) {
    const Cells& t = kCells;
    int ca = m_cells[a];
    int cb = m_cells[b];
    std::uint32_t upper = a, lower = b;
    int cu = ca, cl = cb;
    if (ca == cb) {
        if (b < a) std::swap(upper, lower);
    } else if (holds(t, cb, ca)) {
        std::swap(upper, lower);
        std::swap(cu, cl);
    } else if (!holds(t, ca, cb)) {
        return;  // cells side by side: the walk never tests this pair
    }
    const std::vector<BodyT*>& bodies = *m_bodies;
    // The sweep pairs a movable body with another body only, and a pair with a
    // movable body is never ignored: of test(), the joints are left.
    if (excludedByJoint(bodies[upper], bodies[lower])) return;
    m_found.push_back(Found{static_cast<std::uint32_t>(t.rank[cl] * 8 + t.depth[cu]), upper, lower});
}

namespace {

// The first slot of each digit, from the counts of the digits one above it
// (counts[d + 1] holds how many have digit d).
void startsFromCounts(std::uint32_t* counts, std::size_t buckets) {
    for (std::size_t d = 1; d <= buckets; ++d) counts[d] += counts[d - 1];
}

}  // namespace

// Into the walk's order, (place, upper, lower), as the pairs of their bodies.
// Many pairs (a crowded scene) take three stable counting passes, least
// significant first, the digits all counted in one walk and the last pass
// writing the pairs. The passes clear and sum every bucket, 2n + 2731 of them,
// whatever the number of pairs: fewer pairs than that (a level of a few dozen
// bodies, or a few pairs among many bodies) take a comparison sort instead,
// whichever costs less by a rough count of instructions (some 10 a comparison,
// 40 a pair and 5 a bucket for the passes).
void QuadtreeBroadPhase::sortFound(PairList& pairs) {
    const std::vector<BodyT*>& bodies = *m_bodies;
    const std::size_t n = m_spans.size();
    const std::size_t found = m_found.size();
    std::size_t log2Found = 1;
    while ((std::size_t{1} << log2Found) < found) ++log2Found;
    const std::size_t buckets = 2 * (n + 1) + 8 * kCellCount + 1;
    if (10 * found * log2Found < 40 * found + 5 * buckets) {
        std::sort(m_found.begin(), m_found.end(), [](const Found& x, const Found& y) {
            return std::tie(x.place, x.upper, x.lower) < std::tie(y.place, y.upper, y.lower);
        });
        pairs.reserve(found);
        for (const Found& f : m_found) pairs.emplace_back(bodies[f.upper], bodies[f.lower]);
        return;
    }
    const std::size_t places = 8 * kCellCount;
    m_counts.assign(buckets, 0);
    std::uint32_t* byLower = m_counts.data();
    std::uint32_t* byUpper = byLower + n + 1;
    std::uint32_t* byPlace = byUpper + n + 1;
    for (const Found& f : m_found) {
        ++byLower[f.lower + 1];
        ++byUpper[f.upper + 1];
        ++byPlace[f.place + 1];
    }
    startsFromCounts(byLower, n);
    startsFromCounts(byUpper, n);
    startsFromCounts(byPlace, places);
    m_sorting.resize(found);
    for (const Found& f : m_found) m_sorting[byLower[f.lower]++] = f;
    for (const Found& f : m_sorting) m_found[byUpper[f.upper]++] = f;
    pairs.resize(found);
    for (const Found& f : m_found) pairs[byPlace[f.place]++] = {bodies[f.upper], bodies[f.lower]};
}

// The deepest cell holding the body's bounding square whole. A square that
// touches a centre line from the right or from above counts as on that side; a
// NaN square is on no side and stays in the root.
inline int QuadtreeBroadPhase::cellOf(std::uint32_t b) const {
    const Cells& t = kCells;
    const BodyT* body = (*m_bodies)[b];
    const float r = body->getBoundingRadius();
    const Vector2D& p = body->getPosition();
    const float minX = p.x - r, minY = p.y - r, maxX = p.x + r, maxY = p.y + r;
    int key = 1;
    for (int level = 1; level < kLevels; ++level) {
        const float cx = t.centreX[key], cy = t.centreY[key];
        const bool right = cx <= minX, above = cy <= minY;
        if (!(right || maxX < cx) || !(above || maxY < cy)) break;
        key = key * 4 + (right ? 1 : 0) + (above ? 2 : 0);
    }
    return key;
}

}  // namespace physics
