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

// True when resolve(c) would do nothing: c is apart, has no normal, or both
// bodies are asleep or static.
bool idle(const Contact<TwoDee>* c) {
    return c->penetration < 0.0f || (!c->body[0]->isAwake() && !c->body[1]->isAwake()) ||
           c->contactToWorld.isZero();
}

}  // namespace

void CattoPositionResolver::resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) {
    list->preparePenetrations();
    const std::vector<Contact<TwoDee>*>* all = list->contiguous();
    if (all == nullptr) {
        forEachContact<&CattoPositionResolver::prepare>(list);
        for (int it = 0; it < m_iterations; ++it) forEachContact<&CattoPositionResolver::resolve>(list);
        return;
    }
    // Nothing in this pass wakes a body, so the contacts that can act are known
    // before it starts; the iterations walk only those, in list order. A resting
    // contact's prepare would give the bits it already holds. When the list rests
    // whole and there are no joints, the velocity pass (CattoVelocityResolver's)
    // acted on no contact and so woke no body: nothing here has work either.
    if (list->allResting() && (joints == nullptr || joints->empty())) return;
    if (m_active.size() < all->size()) m_active.resize(all->size());
    Contact<TwoDee>** active = m_active.data();
    std::size_t count = 0;
    for (Contact<TwoDee>* c : *all) {
        if (!c->resting) prepare(c);
        active[count] = c;
        count += idle(c) ? 0 : 1;
    }
    for (int it = 0; it < m_iterations; ++it) {
        for (std::size_t k = 0; k < count; ++k) resolve(active[k]);
    }
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
