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

// A body is "static" when both inverse mass and inverse moment are exactly 0
// (a NaN is not 0); "movable and awake" when its raw flag is set and it is not static.
bool BroadPhase<TwoDee>::ignore(const BodyT* a, const BodyT* b) const {
    if (Globals::findSleepingContacts) return a->isStatic() && b->isStatic();
    // Sleeping against static, sleeping against sleeping and static against static
    // cannot change anything: no contact is needed until one of them is woken.
    return !a->isAwake() && !b->isAwake();
}

bool BroadPhase<TwoDee>::test(const BodyT* a, const BodyT* b) const {
    if (ignore(a, b)) return false;
    // Only a's joint list is searched: a joint is listed on both of its bodies.
    for (const Joint<TwoDee>* j : a->joints) {
        if ((j->body1 == b || j->body2 == b) && j->ignoreContacts) return false;
    }
    return testRadius(a, b, Globals::_NEAR);
}

bool BroadPhase<TwoDee>::testRadius(const BodyT* a, const BodyT* b, float margin) const {
    float r = a->getBoundingRadius() + b->getBoundingRadius() + margin;
    const Vector2D& pa = a->getPosition();
    const Vector2D& pb = b->getPosition();
    float dx = pa.x - pb.x;
    float dy = pa.y - pb.y;
    return dx * dx + dy * dy <= r * r;  // touching counts
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
