#pragma once
#include "physics/dimension.h"
#include "physics/vector.h"

namespace physics {

// A pin joint: drives an anchor point of one body onto an anchor of another.
template <>
class Joint<TwoDee> {
public:
    Joint();

    // Stores the bodies and the anchor (world point) in each body's frame.
    void set(Body<TwoDee>* b1, Body<TwoDee>* b2, const Vector2D& anchor);
    void prepare();
    void applyImpulses();
    bool jointViolated() const { return false; }

    float biasFactor;               // fraction of the anchor separation corrected per step
    Vector2D localAnchor1;          // anchor in body 1's frame
    Vector2D localAnchor2;          // anchor in body 2's frame
    Vector2D P;                     // impulse accumulated over the joint's life (warm start)
    Body<TwoDee>* body1 = nullptr;  // not owned
    Body<TwoDee>* body2 = nullptr;  // not owned
    Vector2D r1;                    // anchor 1 offset from body 1's position, world orientation, at prepare()
    Vector2D r2;
    Vector2D bias;                  // target relative velocity closing the separation
    Matrix2 velocityPerImpulse;     // inverse of the effective-mass matrix K
    float softness;                 // added to K's diagonal
    bool ignoreContacts;            // contacts between the two joined bodies are skipped

private:
    void applyToBodies(const Vector2D& impulse);  // the step's impulse (or the warm start P) at both anchors
};

}  // namespace physics
