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
// circles can meet, skipping pairs of two bodies that cannot move (see ignore());
// each is kept if the tree would test it and test() passes, and the kept pairs
// are then sorted into the walk's order. Nothing is shared between instances.
class QuadtreeBroadPhase : public BroadPhase<TwoDee> {
public:
    PairList findPairs() override;

private:
    // A body's extent along x and y, wider than its bounding circle and half the
    // margin (see spanOf in the .cpp), in world units.
    struct Span {
        double lo, hi, yLo, yHi;
        std::uint32_t body;  // world index
    };
    // A pair that passed test(); the walk's order is that of (place, upper, lower).
    struct Found {
        std::uint32_t place;  // the walk's rank of the lower body's cell * 8 + the depth of the upper body's cell
        std::uint32_t upper;  // world index of the body filed higher (or earlier, in one cell)
        std::uint32_t lower;  // world index of the other
    };

    void sortSweepOrder();
    void sweepAgainst(std::vector<Span>& open, const Span& b);
    void consider(std::uint32_t a, std::uint32_t b);
    // The body's cell key, filed at its first use in a findPairs.
    int cellOf(std::uint32_t b) {
        int key = m_cells[b];
        return key != 0 ? key : fileCell(b);
    }
    int fileCell(std::uint32_t b);
    void sortFound();

    // Per body, by world index (below 2^32); rebuilt at every findPairs, storage kept.
    const std::vector<BodyT*>* m_bodies = nullptr;
    std::vector<Span> m_spans;
    std::vector<unsigned char> m_movable;  // ignore() is true for a pair of two bodies that are not
    std::vector<int> m_cells;              // the body's cell key, 0 until it is needed
    // World indices by Span::lo; kept between steps, when it is nearly right.
    std::vector<std::uint32_t> m_order;
    // Spans that the sweep has reached and not yet passed, copied for a linear scan.
    std::vector<Span> m_openMovable, m_openStill;
    std::vector<Found> m_found, m_sorting;
    std::vector<std::uint32_t> m_counts;
};

}  // namespace physics
