#pragma once
#include <cstdint>
#include <vector>

#include "physics/broadphase_naive.h"

namespace physics {

// The default broad phase. Its pairs, and their order, are those of a quadtree
// over a fixed region, x in [-100, 100] and y in [0, 100], five levels deep: a
// body is filed, by its bounding square, in the deepest cell that holds it whole
// (bodies outside the region fall into its outer cells), and a pair is a
// candidate only when one body's cell holds the other's. The pairs come in the
// order of a depth-first walk of the tree, children by quadrant: grouped by the
// lower body's cell; within a cell, the upper body's cell from the root down;
// then the upper body, then the lower, each in world order.
//
// The tree is never built. A sweep along x finds the pairs whose bounding
// circles meet (test()'s own float test, four pairs at a time), skipping pairs
// of two bodies that cannot move (see ignore()); each is kept if the tree would
// test it and no joint excludes it, and the kept pairs are then sorted into the
// walk's order. Nothing is shared between instances.
class QuadtreeBroadPhase : public BroadPhase<TwoDee> {
public:
    PairList findPairs() override;

private:
    // A body's extent along x, wider than its bounding circle and half the
    // margin (see spanOf in the .cpp), in world units, rounded to float; and
    // what test() reads of it.
    struct Span {
        float lo, hi;
        float x, y, radius;  // position and bounding radius
        std::uint32_t body;  // world index
    };
    using F4 = float __attribute__((vector_size(16)));
    // Spans that the sweep has reached, four to a block so that a scan tests
    // four at once. A lane past the last span holds NaN, which meets nothing
    // and never ends. Spans that have ended stay until compact() drops them.
    struct OpenBlock {
        F4 hi, x, y, radius;
        std::uint32_t body[4];
    };
    // A span spread over four lanes, with test()'s margin, for a scan.
    struct Probe {
        F4 lo, x, y, radius, margin;
    };
    struct Open {
        std::vector<OpenBlock> blocks;
        std::size_t size = 0;  // lanes in use, ended or not
        void clear() { blocks.clear(), size = 0; }
        void push(const Span& s);
        void compact(float lo);
    };
    // A pair that passed test(); the walk's order is that of (place, upper, lower).
    struct Found {
        std::uint32_t place;  // the walk's rank of the lower body's cell * 8 + the depth of the upper body's cell
        std::uint32_t upper;  // world index of the body filed higher (or earlier, in one cell)
        std::uint32_t lower;  // world index of the other
    };

    void sortSweepOrder();
    std::uint32_t* meeting(Open& open, const Probe& b, std::uint32_t* out);
    void consider(std::uint32_t a, std::uint32_t b);
    int cellOf(std::uint32_t b) const;
    void sortFound(PairList& pairs);

    // Per body, by world index (below 2^32); rebuilt at every findPairs, storage kept.
    const std::vector<BodyT*>* m_bodies = nullptr;
    std::vector<Span> m_spans;
    std::vector<unsigned char> m_movable;  // ignore() is true for a pair of two bodies that are not
    std::vector<int> m_cells;              // the body's cell key
    // World indices by Span::lo; kept between steps, when it is nearly right.
    std::vector<std::uint32_t> m_order;
    // Spans that the sweep has reached, of movable bodies and of the others.
    Open m_openMovable, m_openStill;
    std::vector<std::uint32_t> m_met;  // world indices of the bodies a body's span meets
    std::vector<Found> m_found, m_sorting;
    std::vector<std::uint32_t> m_counts;
};

}  // namespace physics
