#include "physics/position_resolver_catto.h"

#include <algorithm>

#include "physics/body.h"
#include "physics/contact.h"
#include "physics/contact_list_base.h"
#include "physics/globals.h"

namespace physics {

namespace {

// Fraction of the overlap (beyond the allowed slop) removed in one step: less
// than 1 so that stacks settle instead of jittering.
const float BIAS_FACTOR = 0.8f;

void applyBiasTo(Body<TwoDee>* b, const Vector2D& impulse, const Vector2D& point) {
    if (b->isAwake()) b->applyBiasImpulse(impulse, point);
}

}  // namespace

void CattoPositionResolver::resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>*) {
    list->preparePenetrations();
    forEachContact<&CattoPositionResolver::prepare>(list);
    for (int it = 0; it < m_iterations; ++it) forEachContact<&CattoPositionResolver::resolve>(list);
}

void CattoPositionResolver::prepare(Contact<TwoDee>* c) {
    // Bias velocities are whole-step displacements, so the bias is a distance.
    c->bias = BIAS_FACTOR * std::max(0.0f, c->penetration - Globals::penetrationEpsilon);
    // A touching contact keeps its accumulated bias impulse as the clamp's start
    // (it is not applied again); a separated one starts from zero.
    if (c->penetration <= 0.0f) c->biasImpulse = 0.0f;
}

void CattoPositionResolver::resolve(Contact<TwoDee>* c) {
    if (c->penetration < 0.0f) return;
    if (!c->body[0]->isAwake() && !c->body[1]->isAwake()) return;
    if (c->contactToWorld.isZero()) return;
    Vector2D dvb = c->body[1]->getBiasVelocityAtPoint(c->point) - c->body[0]->getBiasVelocityAtPoint(c->point);
    float lambda = (c->bias - Vector2D::dotProduct(dvb, c->normal)) * c->normalMass;
    float accumulated = std::max(0.0f, c->biasImpulse + lambda);
    float dLambda = accumulated - c->biasImpulse;
    c->biasImpulse = accumulated;
    Vector2D P = c->normal * dLambda;
    applyBiasTo(c->body[0], -P, c->point);
    applyBiasTo(c->body[1], P, c->point);
}

}  // namespace physics
