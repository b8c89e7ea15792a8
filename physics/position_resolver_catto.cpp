#include "physics/position_resolver_catto.h"

#include <algorithm>

#include "physics/body.h"
#include "physics/contact.h"
#include "physics/contact_lanes.h"
#include "physics/contact_list_base.h"
#include "physics/globals.h"
#include "physics/velocity_resolver_catto.h"

namespace physics {

namespace {

// Fraction of the overlap (beyond the allowed slop) removed in one step: less
// than 1 so that stacks settle instead of jittering.
const float BIAS_FACTOR = 0.8f;

// resolve() of a contact that can act (lanes::rowIfActing), with the float
// operations of applying the bias impulse to each awake body
// (Body::applyBiasImpulse), lane by lane (contact_lanes.h). The broad phases
// pair distinct bodies only, so the two bodies' lanes never alias. K: the row's
// kind (lanes::Kind); a static body's lanes are never read back nor stored, so
// only a sleeping partner's need the mask.
template <int K>
__attribute__((always_inline)) inline void resolveActing(const lanes::Row& row) {
    Contact<TwoDee>* c = row.c;
    Body<TwoDee>* b0 = c->body[0];
    Body<TwoDee>* b1 = c->body[1];
    lanes::Motion m = lanes::Motion::biases(*b0, *b1);
    float lambda = (c->bias - lanes::dot01(m.relativeVelocity(row), row.normal)) * c->normalMass;
    float accumulated = std::max(0.0f, c->biasImpulse + lambda);
    float dLambda = accumulated - c->biasImpulse;
    c->biasImpulse = accumulated;
    m.apply<K == lanes::MASKED>(row, row.normalOpp * dLambda);
    m.store<K>(row, b0->m_biasVelocity, b0->m_biasRotation.value, b1->m_biasVelocity, b1->m_biasRotation.value);
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
    std::size_t count = 0;
    const lanes::Row* rows = m_partner != nullptr ? m_partner->takeRows(list, count) : nullptr;
    if (list->allResting() && (joints == nullptr || joints->empty())) return;
    const bool makeRows = rows == nullptr;
    if (makeRows && m_rows.size() < all->size()) m_rows.resize(all->size());
    for (Contact<TwoDee>* c : *all) {
        if (!c->resting) prepare(c);
        if (makeRows && lanes::rowIfActing(c, m_rows[count])) ++count;
    }
    if (makeRows) {
        rows = m_rows.data();
        lanes::markRuns(m_rows.data(), count);
    }
    // Each run of rows of one kind (lanes::markRuns) takes that kind's code.
    for (int it = 0; it < m_iterations; ++it) {
        for (const lanes::Row* row = rows; row != rows + count;) {
            lanes::throughRun(row, [](const lanes::Row& r, auto kind) __attribute__((always_inline)) {
                resolveActing<decltype(kind)::value>(r);
                return false;  // this pass wakes no body
            });
        }
    }
}

void CattoPositionResolver::prepare(Contact<TwoDee>* c) {
    // The point's offsets, as the velocity pass takes them: a collision listener
    // may have moved a body after the contact was measured.
    c->r[0] = c->point - c->body[0]->getPosition();
    c->r[1] = c->point - c->body[1]->getPosition();
    // Bias velocities are whole-step displacements, so the bias is a distance.
    c->bias = BIAS_FACTOR * std::max(0.0f, c->penetration - Globals::penetrationEpsilon);
    // A touching contact keeps its accumulated bias impulse as the clamp's start
    // (it is not applied again); a separated one starts from zero.
    if (c->penetration <= 0.0f) c->biasImpulse = 0.0f;
}

void CattoPositionResolver::resolve(Contact<TwoDee>* c) {
    lanes::Row row;
    if (lanes::rowIfActing(c, row)) resolveActing<lanes::MASKED>(row);
}

CattoPositionResolver::CattoPositionResolver(int iterations, CattoVelocityResolver* partner)
    : m_iterations(iterations), m_partner(partner) {}
CattoPositionResolver::~CattoPositionResolver() = default;

}  // namespace physics
