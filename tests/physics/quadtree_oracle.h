#pragma once
// The quadtree broad phase's pair search as first written (cells in a map, bodies
// in lists, a recursive walk): the reference that the engine's faster search must
// match pair for pair and in order. Only what decides the pairs is kept.
#include <functional>
#include <iterator>
#include <list>
#include <map>
#include <vector>

#include "physics/physics.h"

namespace oracle {

using physics::TwoDee;
using physics::Vector2D;
using BodyT = physics::Body<TwoDee>;
using PairList = physics::BroadPhase<TwoDee>::PairList;

// Files `bodies` in a tree over x in [-100, 100], y in [0, 100] (root centre
// (0, 50), 5 levels), then walks it depth-first, children by quadrant; at each
// cell, every body of the cells from the root down to it (in filing order) is
// tested with `broadPhase.test` against the cell's own bodies filed after it.
inline PairList quadtreePairs(const physics::BroadPhase<TwoDee>& broadPhase, const std::vector<BodyT*>& bodies) {
    struct Node {
        Vector2D centre;
        unsigned children = 0;  // bit q: child quadrant q exists (bit 0: right, bit 1: upper)
        std::list<BodyT*> bodies;
    };
    const int width = 200, height = 100, maxDepth = 3;
    std::map<int, Node> nodes;  // root 1; child q of key k is k*8 + q
    nodes[1].centre = Vector2D(0.0f, 50.0f);
    for (BodyT* b : bodies) {
        float r = b->getBoundingRadius();
        const Vector2D& p = b->getPosition();
        Vector2D min = p - Vector2D(r, r), max = p + Vector2D(r, r);
        int key = 1;
        for (int level = 0;; ++level) {
            Node& node = nodes[key];
            const Vector2D c = node.centre;
            bool oneSideX = c.x <= min.x || max.x < c.x;
            bool oneSideY = c.y <= min.y || max.y < c.y;
            if (!(oneSideX && oneSideY && level <= maxDepth)) {
                node.bodies.push_back(b);
                break;
            }
            int q = (c.x <= min.x ? 1 : 0) + (c.y <= min.y ? 2 : 0);
            int childKey = key * 8 + q;
            if ((node.children & (1u << q)) == 0) {
                int dx = width / (1 << (level + 2));
                int dy = height / (1 << (level + 2));
                nodes[childKey].centre = Vector2D(c.x + static_cast<float>((q & 1) ? dx : -dx),
                                                  c.y + static_cast<float>((q & 2) ? dy : -dy));
                node.children |= 1u << q;
            }
            key = childKey;
        }
    }
    PairList pairs;
    std::vector<const Node*> path;  // root down to the cell being walked
    std::function<void(int)> walk = [&](int key) {
        const Node& node = nodes.at(key);
        path.push_back(&node);
        for (const Node* above : path) {
            for (auto i = above->bodies.begin(); i != above->bodies.end(); ++i) {
                for (auto j = above == &node ? std::next(i) : node.bodies.begin(); j != node.bodies.end(); ++j) {
                    if (broadPhase.test(*i, *j)) pairs.emplace_back(*i, *j);
                }
            }
        }
        for (int q = 0; q < 4; ++q) {
            if (node.children & (1u << q)) walk(key * 8 + q);
        }
        path.pop_back();
    };
    walk(1);
    return pairs;
}

}  // namespace oracle
