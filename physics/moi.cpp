#include "physics/moi.h"

#include "physics/body.h"

namespace physics {

namespace {
// Below this moment (mass x length^2) a body is treated as unable to turn.
const float MIN_MOI = 0.0001f;
}  // namespace

// Parallel-axis sum over the shapes, about the body's position (their local
// offsets are measured from it). Written as "not at least MIN_MOI" so that a NaN
// moment, from a degenerate shape, also leaves the body unable to turn.
MOI2D::MOI2D(const Body<TwoDee>* body) {
    float moi = 0.0f;
    for (const Area* shape : body->getShapes()) {
        moi += shape->getMOI() + shape->getArea() * shape->m_density * shape->m_localPosition.lengthSquared();
    }
    inverseMOI = (moi >= MIN_MOI) ? 1.0f / moi : 0.0f;
}

}  // namespace physics
