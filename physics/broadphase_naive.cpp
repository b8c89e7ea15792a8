#include "physics/broadphase_naive.h"

#include "physics/body.h"
#include "physics/globals.h"
#include "physics/joint.h"
#include "physics/world.h"

namespace physics {

BroadPhase<TwoDee>::PairList BroadPhase<TwoDee>::findPairs() {
    PairList pairs;
    if (m_world == nullptr) return pairs;
    const std::vector<BodyT*>& bodies = m_world->bodies;
    // (i, j) lexicographic: the first member is always the body added earlier.
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        for (std::size_t j = i + 1; j < bodies.size(); ++j) {
            if (test(bodies[i], bodies[j])) pairs.emplace_back(bodies[i], bodies[j]);
        }
    }
    return pairs;
}

bool BroadPhase<TwoDee>::testAABB(const BodyT* a, const BodyT* b, float margin) const {
    AARect A = a->createAABB();
    AARect B = b->createAABB();
    if (B.m_min.x > A.m_max.x + margin) return false;
    if (A.m_min.x - margin > B.m_max.x) return false;
    if (B.m_min.y > A.m_max.y + margin) return false;
    if (A.m_min.y - margin > B.m_max.y) return false;
    return true;
}

std::list<Body<TwoDee>*> BroadPhase<TwoDee>::findBeneathAll(const Vector2D&) { return {}; }

std::list<Body<TwoDee>*> BroadPhase<TwoDee>::findBeneathAll(const AARect& r) {
    std::list<BodyT*> found;
    if (m_world == nullptr) return found;
    for (BodyT* b : m_world->bodies) {
        if (b->intersects(r)) found.push_back(b);
    }
    return found;
}

Body<TwoDee>* BroadPhase<TwoDee>::findBeneath(const Vector2D& p) {
    if (m_world == nullptr) return nullptr;
    for (BodyT* b : m_world->bodies) {
        if (b->contains(p)) return b;
    }
    return nullptr;
}

Body<TwoDee>* BroadPhase<TwoDee>::findBeneath(const AARect&) { return nullptr; }

Body<TwoDee>* BroadPhase<TwoDee>::intersectRay(const Vector2D& from, const Vector2D& to, Vector2D& hit) {
    if (m_world == nullptr) return nullptr;
    for (BodyT* b : m_world->bodies) {
        if (b->intersectsRay(from, to, hit)) return b;
    }
    return nullptr;
}

}  // namespace physics
