#pragma once
#include "physics/dimension.h"
#include "physics/vector.h"

namespace physics {

// Inverse moment of inertia of a 2D body about its position; 0 means it cannot turn.
class MOI2D {
public:
    MOI2D() = default;
    explicit MOI2D(float inverse) : inverseMOI(inverse) {}
    // From the body's shapes: I = sum(getMOI + area*density*|local position|^2);
    // inverse 0 when I is below 0.0001 or not a number.
    explicit MOI2D(const Body<TwoDee>* body);

    bool isInfinite() const { return inverseMOI == 0.0f; }
    // Change of angular velocity from `impulse` applied at offset r from the centre.
    float getRotationChange(const Vector2D& impulse, const Vector2D& r) const {
        return (r.x * impulse.y - r.y * impulse.x) * inverseMOI;
    }

    float inverseMOI = 0.0f;
};

}  // namespace physics
