#pragma once
#include <list>
#include <utility>
#include <vector>

#include "physics/body.h"
#include "physics/dimension.h"
#include "physics/globals.h"
#include "physics/joint.h"
#include "physics/vector.h"

namespace physics {

// Turns the world's bodies into candidate pairs for the contact generator. This
// base tests every pair; QuadtreeBroadPhase inherits its tests and queries.
template <>
class BroadPhase<TwoDee> {
public:
    using BodyT = Body<TwoDee>;
    // First member: the body earlier in the world's body vector (or filed higher in a tree).
    using PairList = std::vector<std::pair<BodyT*, BodyT*>>;

    BroadPhase() = default;
    virtual ~BroadPhase() = default;

    virtual void init(World<TwoDee>* world) { m_world = world; }
    virtual PairList findPairs();
    virtual std::list<BodyT*> findBeneathAll(const Vector2D& p);
    virtual std::list<BodyT*> findBeneathAll(const AARect& r);
    virtual BodyT* findBeneath(const Vector2D& p);
    virtual BodyT* findBeneath(const AARect& r);
    virtual BodyT* intersectRay(const Vector2D& from, const Vector2D& to, Vector2D& hit);
    virtual void bodyAdded(BodyT*) {}
    virtual void bodyRemoved(BodyT*) {}

    // True when neither body can move, so no contact between them is needed.
    bool ignore(const BodyT* a, const BodyT* b) const;
    // A candidate: not ignored, not excluded by a joint, bounding circles within _NEAR.
    bool test(const BodyT* a, const BodyT* b) const;
    // test() for a pair already known not to be ignored.
    bool testNotIgnored(const BodyT* a, const BodyT* b) const;
    // True when a joint of the two bodies asks that they never collide.
    bool excludedByJoint(const BodyT* a, const BodyT* b) const;
    bool testRadius(const BodyT* a, const BodyT* b, float margin) const;
    bool testAABB(const BodyT* a, const BodyT* b, float margin) const;
    World<TwoDee>* getWorld() const { return m_world; }

protected:
    World<TwoDee>* m_world = nullptr;  // not owned
};

// The candidate tests run for every pair a broad phase looks at: defined here so
// that they inline there.

// A body is "static" when both inverse mass and inverse moment are exactly 0
// (a NaN is not 0); "movable and awake" when its raw flag is set and it is not static.
inline bool BroadPhase<TwoDee>::ignore(const BodyT* a, const BodyT* b) const {
    if (Globals::findSleepingContacts) return a->isStatic() && b->isStatic();
    // Sleeping against static, sleeping against sleeping and static against static
    // cannot change anything: no contact is needed until one of them is woken.
    return !a->isAwake() && !b->isAwake();
}

inline bool BroadPhase<TwoDee>::test(const BodyT* a, const BodyT* b) const {
    return !ignore(a, b) && testNotIgnored(a, b);
}

inline bool BroadPhase<TwoDee>::testNotIgnored(const BodyT* a, const BodyT* b) const {
    return !excludedByJoint(a, b) && testRadius(a, b, Globals::_NEAR);
}

inline bool BroadPhase<TwoDee>::excludedByJoint(const BodyT* a, const BodyT* b) const {
    // Only a's joint list is searched: a joint is listed on both of its bodies.
    for (const Joint<TwoDee>* j : a->joints) {
        if ((j->body1 == b || j->body2 == b) && j->ignoreContacts) return true;
    }
    return false;
}

inline bool BroadPhase<TwoDee>::testRadius(const BodyT* a, const BodyT* b, float margin) const {
    float r = a->getBoundingRadius() + b->getBoundingRadius() + margin;
    const Vector2D& pa = a->getPosition();
    const Vector2D& pb = b->getPosition();
    float dx = pa.x - pb.x;
    float dy = pa.y - pb.y;
    return dx * dx + dy * dy <= r * r;  // touching counts
}

}  // namespace physics
