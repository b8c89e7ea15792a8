#include "physics/broadphase_quadtree.h"

#include <algorithm>
#include <cmath>

#include "physics/body.h"
#include "physics/world.h"

namespace physics {

// The tree covers x in [-100, 100], y in [0, 100] (root centre (0, 50)); bodies
// outside it fall into the outermost cells. A child made at recursion level d
// sits at its parent's centre +/- (width >> (d+2), height >> (d+2)), integer
// divisions: (50, 25), (25, 12), (12, 6), (6, 3) for d = 0..3.
QuadtreeBroadPhase::Node* QuadtreeBroadPhase::ancestorStack[20] = {};
int QuadtreeBroadPhase::depth = 0;

QuadtreeBroadPhase::Tree::~Tree() {
    for (auto& entry : nodes) delete entry.second;
}

QuadtreeBroadPhase::~QuadtreeBroadPhase() { delete m_tree; }

void QuadtreeBroadPhase::init(World<TwoDee>* world) {
    delete m_tree;
    m_tree = new Tree();
    Node* root = new Node();
    root->centre = Vector2D(0.0f, 50.0f);
    root->key = 1;
    root->nodeDepth = 1;
    root->children = 0;
    m_tree->nodes[1] = root;
    m_world = world;
}

void QuadtreeBroadPhase::bodyAdded(BodyT* b) {
    if (m_tree == nullptr) init(m_world);
    float r = b->getBoundingRadius();
    const Vector2D& p = b->getPosition();
    insert(m_tree->root(), b, p - Vector2D(r, r), p + Vector2D(r, r), 0);
}

void QuadtreeBroadPhase::bodyRemoved(BodyT* b) {
    auto filed = m_bodyKeys.find(b);
    if (filed == m_bodyKeys.end() || m_tree == nullptr) return;  // never filed: nothing to undo
    auto node = m_tree->nodes.find(static_cast<int>(filed->second));
    if (node != m_tree->nodes.end()) node->second->bodies.remove(b);
    m_bodyKeys.erase(filed);
}

void QuadtreeBroadPhase::insert(Node* node, BodyT* b, const Vector2D& min, const Vector2D& max, int level) {
    const Vector2D& c = node->centre;
    const int width = m_tree->width;
    const int height = m_tree->height;
    // The box lies wholly on one side of a centre line (touching from the right or
    // from above counts as that side). A NaN box lies on no side and stays here.
    bool oneSideX = c.x <= min.x || max.x < c.x || width == 0;
    bool oneSideY = c.y <= min.y || max.y < c.y || height == 0;
    if (oneSideX && oneSideY && level <= m_tree->maxDepth) {
        int q = ((c.x <= min.x && width != 0) ? 1 : 0) + ((c.y <= min.y && height != 0) ? 2 : 0);
        int childKey = node->key * 8 + q;
        Node* child;
        if ((node->children & (1u << q)) == 0) {
            child = new Node();
            int dx = width / (1 << (level + 2));
            int dy = height / (1 << (level + 2));
            child->centre = Vector2D(c.x + static_cast<float>((q & 1) ? dx : -dx),
                                     c.y + static_cast<float>((q & 2) ? dy : -dy));
            child->key = childKey;
            child->nodeDepth = node->nodeDepth + 1;
            child->children = 0;
            m_tree->nodes[childKey] = child;
            node->children = static_cast<unsigned char>(node->children | (1u << q));
        } else {
            child = m_tree->nodes.at(childKey);
        }
        insert(child, b, min, max, level + 1);
        return;
    }
    node->bodies.push_back(b);
    m_bodyKeys[b] = static_cast<unsigned int>(node->key);
}

QuadtreeBroadPhase::PairList QuadtreeBroadPhase::findPairs() {
    // Rebuilt from scratch every step (init drops the old tree): filing costs
    // one short descent per body.
    init(m_world);
    m_bodyKeys.clear();
    PairList pairs;
    if (m_world == nullptr) return pairs;
    for (BodyT* b : m_world->bodies) bodyAdded(b);
    buildPairs(m_tree->root(), pairs);
    return pairs;
}

void QuadtreeBroadPhase::buildPairs(Node* node, PairList& pairs) {
    // Depth-first; each body is tested against the bodies of its own cell that
    // were filed after it and against every body filed in the cells above it.
    ancestorStack[depth++] = node;
    for (int a = 0; a < depth; ++a) {
        Node* ancestor = ancestorStack[a];
        for (auto i = ancestor->bodies.begin(); i != ancestor->bodies.end(); ++i) {
            auto j = node->bodies.begin();
            if (ancestor == node) j = std::next(i);
            for (; j != node->bodies.end(); ++j) {
                if (test(*i, *j)) pairs.emplace_back(*i, *j);
            }
        }
    }
    for (int q = 0; q < 8; ++q) {
        if (node->children & (1u << q)) buildPairs(m_tree->nodes.at(node->key * 8 + q), pairs);
    }
    --depth;
}

namespace {

// Places bit i of a 10-bit value at bit 3i.
unsigned int spread(unsigned int v) {
    unsigned int out = 0;
    for (int i = 0; i < 10; ++i) out |= ((v >> i) & 1u) << (3 * i);
    return out;
}

// The low 10 bits of (int)(1024 * fraction). A value outside int's range (far
// outside the region, or not a number) reads 0 instead of an undefined conversion.
unsigned int cellIndex(float coordinate, int size) {
    float fraction = size == 0 ? 0.5f
                               : (static_cast<float>(size / 2) + coordinate) / static_cast<float>(size);
    float scaled = 1024.0f * fraction;
    if (!(scaled > -2147483648.0f && scaled < 2147483648.0f)) return 0;
    return static_cast<unsigned int>(static_cast<int>(scaled)) & 1023u;
}

}  // namespace

unsigned int QuadtreeBroadPhase::generateMortonKey(const Vector2D& p) const {
    int width = m_tree ? m_tree->width : 200;
    int height = m_tree ? m_tree->height : 100;
    unsigned int ix = cellIndex(p.x, width);
    unsigned int iy = cellIndex(p.y, height);
    return (3u << 29) + spread(ix) + 2u * spread(iy);
}

int QuadtreeBroadPhase::calcDepth(unsigned int key) {
    int d = 1;
    while (key > 1) {
        key >>= 3;
        ++d;
    }
    return d;
}

unsigned int QuadtreeBroadPhase::truncate(int level, unsigned int key) {
    int d = calcDepth(key);
    if (d <= level) return key;
    int shift = 3 * (d - level);
    return shift >= 32 ? 0u : key >> shift;  // a shift past the width would be undefined
}

}  // namespace physics
