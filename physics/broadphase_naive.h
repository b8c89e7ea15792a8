#pragma once
#include <list>
#include <utility>
#include <vector>

#include "physics/dimension.h"
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

    // True when neither body can move (see the ignore rule in the .cpp).
    bool ignore(const BodyT* a, const BodyT* b) const;
    // A candidate: not ignored, not excluded by a joint, bounding circles within _NEAR.
    bool test(const BodyT* a, const BodyT* b) const;
    bool testRadius(const BodyT* a, const BodyT* b, float margin) const;
    bool testAABB(const BodyT* a, const BodyT* b, float margin) const;
    World<TwoDee>* getWorld() const { return m_world; }

protected:
    World<TwoDee>* m_world = nullptr;  // not owned
};

}  // namespace physics
