#include "physics/velocity_resolver_catto.h"

#include <algorithm>
#include <cmath>

#include "physics/body.h"
#include "physics/contact.h"
#include "physics/contact_list_base.h"
#include "physics/globals.h"
#include "physics/joint.h"
#include "physics/shape.h"

namespace physics {

namespace {

// Restitution of a contact: the mean of its two shapes'.
const float RESTITUTION_MIX = 0.5f;
// An accumulated normal impulse above this many normal masses (a change of
// relative velocity of two units per second) wakes a sleeping partner.
const float WAKE_IMPULSE_FACTOR = 2.0f;

// Only bodies that are awake and not static take impulses.
bool takesImpulses(const Body<TwoDee>* b) { return b->isAwake(); }

void applyTo(Body<TwoDee>* b, const Vector2D& impulse, const Vector2D& point) {
    if (takesImpulses(b)) b->applyImpulse(impulse, point, false);
}

// body[1] receives +P, body[0] receives -P.
void applyPair(Contact<TwoDee>* c, const Vector2D& P) {
    applyTo(c->body[0], -P, c->point);
    applyTo(c->body[1], P, c->point);
}

Vector2D tangentOf(const Vector2D& n) { return Vector2D(-n.y, n.x); }

}  // namespace

void CattoVelocityResolver::resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) {
    list->prepareVelocities();
    forEachContact<&CattoVelocityResolver::prepare>(list);
    if (joints != nullptr) {
        for (Joint<TwoDee>* j : *joints) j->prepare();
    }
    for (int it = 0; it < m_iterations; ++it) {
        forEachContact<&CattoVelocityResolver::resolve>(list);
        if (joints != nullptr) {
            for (Joint<TwoDee>* j : *joints) j->applyImpulses();
        }
    }
}

// Warm start: last step's accumulated impulses are applied again, so a resting
// stack starts each step near its solution instead of from zero.
void CattoVelocityResolver::prepare(Contact<TwoDee>* c) {
    c->bias = 0.0f;  // the velocity pass corrects no position
    // closingVelocity was measured before any impulse of this step, so the target
    // is to separate at e times the approach speed. Subtracting a bounce of +0
    // leaves the speed's bits as they are, so it is subtracted always.
    c->bounce = 0.0f;
    if (Globals::useRestitution && c->closingVelocity > Globals::restitutionThreshold) {
        float e = RESTITUTION_MIX * (c->area[0]->getRestitution() + c->area[1]->getRestitution());
        c->bounce = e * c->closingVelocity;
    }
    float m11 = c->velocityPerImpulse.data[3];
    // Both bodies immovable along the tangent: no friction impulse rather than an infinite one.
    c->tangentMass = m11 != 0.0f ? 1.0f / m11 : 0.0f;
    c->friction = std::sqrt(c->area[0]->getFriction() * c->area[1]->getFriction());
    if (c->penetration <= 0.0f) {
        c->normalImpulse = 0.0f;
        c->biasImpulse = 0.0f;
        c->tangentImpulse = 0.0f;
        return;
    }
    Vector2D P = c->normal * c->normalImpulse + tangentOf(c->normal) * c->tangentImpulse;
    applyPair(c, P);
}

void CattoVelocityResolver::resolve(Contact<TwoDee>* c) {
    if (c->penetration < 0.0f) return;
    bool awake0 = takesImpulses(c->body[0]);
    bool awake1 = takesImpulses(c->body[1]);
    if (!awake0 && !awake1) return;
    if (c->contactToWorld.isZero()) return;

    Vector2D dv = c->body[1]->getVelocityAtPoint(c->point) - c->body[0]->getVelocityAtPoint(c->point);
    float vn = Vector2D::dotProduct(dv, c->normal) - c->bounce;
    float lambda = (c->bias - vn) * c->normalMass;
    float accumulated = std::max(0.0f, c->normalImpulse + lambda);
    float dLambda = accumulated - c->normalImpulse;
    c->normalImpulse = accumulated;

    if (accumulated > WAKE_IMPULSE_FACTOR * c->normalMass && awake0 != awake1) {
        (awake0 ? c->body[1] : c->body[0])->setAwake(true);
    }
    applyPair(c, c->normal * dLambda);
    applyFriction(c);
}

// Coulomb friction, bounded by the normal impulse accumulated so far this step.
void CattoVelocityResolver::applyFriction(Contact<TwoDee>* c) {
    // The tangent component of getRelativeContactVelocity(), alone.
    Vector2D dv = c->body[1]->getVelocityAtPoint(c->point) - c->body[0]->getVelocityAtPoint(c->point);
    float vt = c->contactToWorld.data[1] * dv.x + c->contactToWorld.data[3] * dv.y;
    float lambda = -vt * c->tangentMass;
    float limit = c->friction * c->normalImpulse;
    float accumulated = Clamp(c->tangentImpulse + lambda, -limit, limit);
    float dLambda = accumulated - c->tangentImpulse;
    c->tangentImpulse = accumulated;
    applyPair(c, tangentOf(c->normal) * dLambda);
}

}  // namespace physics
