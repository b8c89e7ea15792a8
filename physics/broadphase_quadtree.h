#pragma once
#include <list>
#include <map>

#include "physics/broadphase_naive.h"

namespace physics {

// The default broad phase: a quadtree over a fixed region, rebuilt at every
// findPairs. A body is filed, by its bounding square, in the deepest cell that
// holds it whole; pairs are tested only between a body and the bodies of the
// same cell or of the cells above it.
class QuadtreeBroadPhase : public BroadPhase<TwoDee> {
public:
    struct Node {
        Vector2D centre;
        int key;                  // root 1; child q of key k is k*8 + q
        int nodeDepth;            // 1 for the root
        unsigned char children;   // bit q set when child quadrant q exists (bit 0: right, bit 1: upper)
        std::list<BodyT*> bodies; // not owned, in filing order
    };
    struct Tree {
        std::map<int, Node*> nodes;  // owns the nodes
        int width = 200;
        int height = 100;
        int maxDepth = 3;
        ~Tree();
        Node* root() { return nodes.at(1); }
    };

    QuadtreeBroadPhase() = default;
    ~QuadtreeBroadPhase() override;

    void init(World<TwoDee>* world) override;
    PairList findPairs() override;
    void bodyAdded(BodyT* b) override;
    void bodyRemoved(BodyT* b) override;

    void insert(Node* node, BodyT* b, const Vector2D& min, const Vector2D& max, int level);
    void buildPairs(Node* node, PairList& pairs);

    unsigned int generateMortonKey(const Vector2D& p) const;
    static int calcDepth(unsigned int key);
    static unsigned int truncate(int level, unsigned int key);
    void remove(BodyT* b) { bodyRemoved(b); }

    Tree* m_tree = nullptr;                        // owned
    std::map<BodyT*, unsigned int> m_bodyKeys;     // body -> key of the node holding it (lookup only, never iterated)

private:
    static Node* ancestorStack[20];
    static int depth;
};

}  // namespace physics
