#include "physics/velocity_resolver_catto.h"

#include <algorithm>
#include <cmath>

#include "physics/body.h"
#include "physics/contact.h"
#include "physics/contact_lanes.h"
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

// True when a joint's prepare() would wake one of its bodies.
bool anyJointWakes(const std::vector<Joint<TwoDee>*>* joints) {
    if (joints == nullptr) return false;
    for (const Joint<TwoDee>* j : *joints) {
        if ((!j->body1->isAwake() && !j->body1->isStatic()) || (!j->body2->isAwake() && !j->body2->isStatic())) {
            return true;
        }
    }
    return false;
}

// Warm start: last step's accumulated impulses are applied again, so a resting
// stack starts each step near its solution instead of from zero. body[1] takes
// this impulse, body[0] its opposite.
Vector2D warmStartImpulse(const Contact<TwoDee>* c) {
    return c->normal * c->normalImpulse + tangentOf(c->normal) * c->tangentImpulse;
}

// The same warm start through a row's lanes: normalOpp * n + tangentOpp * t is
// (-P, P) bit for bit, since a sum of negations is the negated sum.
void warmStart(const lanes::Row& row) {
    Contact<TwoDee>* c = row.c;
    Body<TwoDee>* b0 = c->body[0];
    Body<TwoDee>* b1 = c->body[1];
    lanes::Motion m = lanes::Motion::velocities(*b0, *b1);
    const lanes::F4 impulses = row.normalOpp * c->normalImpulse + row.tangentOpp * c->tangentImpulse;
    if (row.kind == lanes::MASKED) {
        m.apply<true>(row, impulses);
    } else {
        m.apply<false>(row, impulses);
    }
    m.store(row, b0->m_velocity, b0->m_rotation.value, b1->m_velocity, b1->m_rotation.value);
}

// resolve() of a contact that can act (lanes::rowIfActing): the normal
// impulse, then friction, with the float operations of applying each impulse to the bodies
// at once, lane by lane (contact_lanes.h). true when it woke a body, whose
// other contacts may now act too (and the row's movers are out of date).
// Forced inline: it is the pass's inner loop. K: the row's kind (lanes::Kind).
template <int K>
__attribute__((always_inline)) inline bool resolveActing(lanes::Row& row) {
    constexpr bool masked = K == lanes::MASKED;
    // The broad phases pair distinct bodies only, so the two bodies' lanes never alias.
    Contact<TwoDee>* c = row.c;
    Body<TwoDee>* b0 = c->body[0];
    Body<TwoDee>* b1 = c->body[1];
    lanes::Motion m = lanes::Motion::velocities(*b0, *b1);
    const lanes::F4 loaded = m.atPoint(row);

    float vn = lanes::dot01(lanes::Motion::relative(loaded), row.normal) - c->bounce;
    float lambda = (c->bias - vn) * c->normalMass;
    float accumulated = std::max(0.0f, c->normalImpulse + lambda);
    float dLambda = accumulated - c->normalImpulse;
    c->normalImpulse = accumulated;

    bool woke = false;
    if (K != lanes::BOTH && row.sleeper != nullptr && accumulated > WAKE_IMPULSE_FACTOR * c->normalMass) {
        row.sleeper->setAwake(true);
        if (masked && !row.sleeperStatic) {  // a static body's flag changes nothing
            woke = row.sleeper->isAwake();
            row.setMoves(takesImpulses(b0), takesImpulses(b1));
        }
    }
    m.apply<masked>(row, row.normalOpp * dLambda);

    // Coulomb friction, bounded by the normal impulse accumulated so far this step.
    float vt = lanes::dot01(m.relativeVelocity<K>(row, loaded), row.tangent);
    float tLambda = -vt * c->tangentMass;
    float limit = c->friction * c->normalImpulse;
    float tAccumulated = Clamp(c->tangentImpulse + tLambda, -limit, limit);
    float tDLambda = tAccumulated - c->tangentImpulse;
    c->tangentImpulse = tAccumulated;
    m.apply<masked>(row, row.tangentOpp * tDLambda);

    m.store<K>(row, b0->m_velocity, b0->m_rotation.value, b1->m_velocity, b1->m_rotation.value);
    return woke;
}

__attribute__((always_inline)) inline bool resolveRow(lanes::Row& row) {
    return lanes::byKind(row, [&row](auto kind) __attribute__((always_inline)) {
        return resolveActing<decltype(kind)::value>(row);
    });
}

// Resolves the rows of the run that starts at `row`, in order; stops at the
// row that woke a body (true), leaving `row` there.
__attribute__((always_inline)) inline bool resolveRun(lanes::Row*& row) {
    return lanes::throughRun(row, [](lanes::Row& r, auto kind) __attribute__((always_inline)) {
        return resolveActing<decltype(kind)::value>(r);
    });
}

}  // namespace

void CattoVelocityResolver::resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) {
    m_rowsList = nullptr;
    list->prepareVelocities();
    const std::vector<Contact<TwoDee>*>* all = list->contiguous();
    if (all == nullptr) {
        forEachContact<&CattoVelocityResolver::prepare>(list);
        prepareJoints(joints);
        for (int it = 0; it < m_iterations; ++it) {
            forEachContact<&CattoVelocityResolver::resolve>(list);
            applyJoints(joints);
        }
        return;
    }
    // The iterations walk only the contacts that can act (m_rows), in list
    // order; the others would return at once. A resting contact's prepare would
    // give the bits it holds (but the bias, which only an acting contact reads),
    // and its warm start moves neither of its sleeping bodies. Preparing moves no
    // body in or out of sleep.
    if (m_rows.size() < all->size()) m_rows.resize(all->size());
    lanes::Row* rows = m_rows.data();
    std::size_t count = 0;
    if (!list->allResting()) {  // else every contact is resting, so idle: nothing to prepare or walk
        // prepare() of each contact in list order, its warm start through the
        // row of a contact that can act (an idle one's would move no body).
        for (Contact<TwoDee>* c : *all) {
            const bool warm = !c->resting && prepareScalars(c);
            if (!lanes::rowIfActing(c, rows[count])) continue;
            if (warm) warmStart(rows[count]);
            ++count;
        }
    }
    // Joints wake their bodies in prepare() (none later in the pass).
    const bool jointsWake = anyJointWakes(joints);
    prepareJoints(joints);
    if (jointsWake) {
        count = gatherActive(*all, nullptr).count;
    } else {
        lanes::markRuns(rows, count);
    }
    for (int it = 0; it < m_iterations; ++it) {
        lanes::Row* end = rows + count;
        for (lanes::Row* row = rows; row != end;) {
            // A contact that wakes a body makes that body's idle contacts act from
            // here on, later ones in this same iteration included.
            if (resolveRun(row)) {
                Gathered g = gatherActive(*all, row->c);
                count = g.count;
                end = rows + count;
                row = rows + g.place + 1;
            }
        }
        applyJoints(joints);
    }
    // Wakes rebuilt the rows and joints wake no body after prepare(): they hold
    // the movers as the pass ends.
    m_rowsList = list;
    m_rowsCount = count;
}

const lanes::Row* CattoVelocityResolver::takeRows(const ContactList<TwoDee>* list, std::size_t& count) {
    count = 0;
    if (list != m_rowsList) return nullptr;
    m_rowsList = nullptr;
    count = m_rowsCount;
    return m_rows.data();
}

void CattoVelocityResolver::prepareJoints(std::vector<Joint<TwoDee>*>* joints) {
    if (joints != nullptr) {
        for (Joint<TwoDee>* j : *joints) j->prepare();
    }
}

void CattoVelocityResolver::applyJoints(std::vector<Joint<TwoDee>*>* joints) {
    if (joints != nullptr) {
        for (Joint<TwoDee>* j : *joints) j->applyImpulses();
    }
}

// Puts the rows of the contacts of `all` that can act at the front of m_rows,
// in order, marks their runs, and finds the place of `at` among them (0 when
// null). A resting contact that a wake made act takes the one field its
// skipped prepare() would have changed, and stops resting: the position pass
// must prepare it (its bias is that pass's again).
CattoVelocityResolver::Gathered CattoVelocityResolver::gatherActive(const std::vector<Contact<TwoDee>*>& all,
                                                                    const Contact<TwoDee>* at) {
    Gathered g{0, 0};
    for (Contact<TwoDee>* c : all) {
        if (c == at) g.place = g.count;
        if (!lanes::rowIfActing(c, m_rows[g.count])) continue;
        if (c->resting) {
            c->resting = false;
            c->bias = 0.0f;
        }
        ++g.count;
    }
    lanes::markRuns(m_rows.data(), g.count);
    return g;
}

void CattoVelocityResolver::prepare(Contact<TwoDee>* c) {
    if (prepareScalars(c)) applyPair(c, warmStartImpulse(c));
}

// Everything prepare() does but the warm start; true when a warm start is due.
__attribute__((always_inline)) inline bool CattoVelocityResolver::prepareScalars(Contact<TwoDee>* c) {
    // The iterations take the point's offsets from here: measured afresh, since a
    // collision listener may have moved a body after the contact was measured.
    // Nothing moves a body again before both passes are done.
    c->r[0] = c->point - c->body[0]->getPosition();
    c->r[1] = c->point - c->body[1]->getPosition();
    c->bias = 0.0f;  // the velocity pass corrects no position
    // closingVelocity was measured before any impulse of this step, so the target
    // is to separate at e times the approach speed. Subtracting a bounce of +0
    // leaves the speed's bits as they are, so it is subtracted always.
    c->bounce = 0.0f;
    if (Globals::useRestitution && c->closingVelocity > Globals::restitutionThreshold) {
        float e = RESTITUTION_MIX * (c->area[0]->getRestitution() + c->area[1]->getRestitution());
        c->bounce = e * c->closingVelocity;
    }
    float m11 = c->tangentPerImpulse;
    // Both bodies immovable along the tangent: no friction impulse rather than an infinite one.
    c->tangentMass = m11 != 0.0f ? 1.0f / m11 : 0.0f;
    c->friction = std::sqrt(c->area[0]->getFriction() * c->area[1]->getFriction());
    if (c->penetration <= 0.0f) {
        c->normalImpulse = 0.0f;
        c->biasImpulse = 0.0f;
        c->tangentImpulse = 0.0f;
        return false;
    }
    return true;
}

void CattoVelocityResolver::resolve(Contact<TwoDee>* c) {
    lanes::Row row;
    if (lanes::rowIfActing(c, row)) resolveRow(row);
}

CattoVelocityResolver::CattoVelocityResolver(int iterations) : m_iterations(iterations) {}
CattoVelocityResolver::~CattoVelocityResolver() = default;

}  // namespace physics
