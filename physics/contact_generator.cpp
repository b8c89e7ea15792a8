#include "physics/contact_generator.h"

#include <type_traits>
#include <utility>

#include "physics/body.h"
#include "physics/globals.h"
#include "physics/rect.h"
#include "physics/shape.h"

namespace physics {

namespace {

// Depth a candidate slot starts with: any real axis replaces it.
const float UNFILLED_PENETRATION = 1000000.0f;
// A second candidate is emitted only when its normal agrees with the best one's
// to within this cosine (about 25 degrees).
const float NORMAL_AGREEMENT = 0.9f;

// True modulus: -1 wraps to n - 1 and n to 0 (C++'s % would give -1).
int wrap(int i, int n) {
    int m = i % n;
    return m < 0 ? m + n : m;
}

}  // namespace

__attribute__((always_inline)) inline void ContactGenerator<TwoDee>::checkShapes(BodyT* a, BodyT* b) {
    for (Area* sa : a->getShapes()) {
        for (Area* sb : b->getShapes()) check(sa, sb);
    }
}

bool ContactGenerator<TwoDee>::listedRounded(const Area* a, const Area* b) {
    static const int VERTICES[2] = {0, 0};
    return ContactT::findLinked(a, b, false, false, VERTICES) != nullptr;
}

std::vector<Contact<TwoDee>*> ContactGenerator<TwoDee>::findContacts(
    const std::vector<std::pair<BodyT*, BodyT*>>& pairs) {
    m_contacts.clear();
    for (const auto& pair : pairs) checkShapes(pair.first, pair.second);
    return m_contacts;
}

void ContactGenerator<TwoDee>::check(BodyT* a, BodyT* b) { checkShapes(a, b); }

// One axis tried: the fields of a contact that the trial decides. Kept as a
// small value so that the many trials of a pair copy only these; the other
// fields of a contact are those of a new one until make(). An unfilled slot
// holds what a new contact holds, with a depth any real axis replaces.
struct ContactGenerator<TwoDee>::Axis {
    float penetration = UNFILLED_PENETRATION;
    Vector2D normal;
    Vector2D point;
    bool faceOnFirst = false;
    bool faceOnSecond = false;
    int feature[2] = {0, 0};
};

// The two shallowest axes seen so far ("best" and "second"; only "best" when a
// single contact per shape pair is wanted), filled axis by axis.
struct ContactGenerator<TwoDee>::Candidates {
    Axis slot[2];
    int best = 0;
    int second = 1;
    bool multi = Globals::findMultipleContacts;
    float margin = Globals::_NEAR;

    // Keep rule; ties never replace a kept candidate, so the earliest axis wins.
    // Returns false when the trial proves the shapes apart. With swapSecond a
    // replaced best becomes the second; the last axis tried passes false, since
    // emission looks at both slots and needs only the name of the best.
    bool keep(const Axis& trial, bool swapSecond) {
        float s = trial.penetration;
        if (s < -margin) return false;
        if (s < slot[best].penetration) {
            if (multi) {
                slot[second] = trial;
                int oldBest = best;
                best = second;
                if (swapSecond) second = oldBest;
            } else {
                slot[best] = trial;
            }
        } else if (multi && s < slot[second].penetration) {
            slot[second] = trial;
        }
        return true;
    }

    // Slot k becomes a contact: the best always, the other when it is about as
    // deep (within the margin) and its normal agrees with the best one's.
    bool used(int k) const {
        const Axis& c = slot[k];
        return k == best || (multi && c.penetration <= slot[best].penetration + margin &&
                             Vector2D::dotProduct(c.normal, slot[best].normal) >= NORMAL_AGREEMENT);
    }
};

// Separating axes over every face normal of both shapes, plus the axis joining
// the nearest core vertices when either shape is rounded. Each shape is a convex
// core (vertices, outward normals) widened by getRadius(). A gap wider than _NEAR
// on any axis ends the test with no contact.
bool ContactGenerator<TwoDee>::check(Area* a, Area* b) {
    return byShapeTypes(a, b, [this](auto* first, auto* second) { return checkPair(first, second); });
}

// A pair is apart when any one axis shows a gap, whichever is tried first: a
// circle and a rectangle try one face here, before the call to the whole test,
// which turns away a ball clear of a wall (most such pairs) at little cost.
template <class A, class B>
bool ContactGenerator<TwoDee>::checkPair(A* a, B* b) {
    if constexpr (std::is_same<A, Circle>::value && std::is_same<B, Circle>::value) {
        return checkCircles(a, b);
    } else {
        if constexpr (std::is_same<A, Rect>::value && std::is_same<B, Circle>::value) {
            if (apartAtNearestFace(a, b, true)) return false;
        } else if constexpr (std::is_same<A, Circle>::value && std::is_same<B, Rect>::value) {
            if (apartAtNearestFace(b, a, false)) return false;
        }
        return checkAxes(a, b);
    }
}

template <class A, class B>
bool ContactGenerator<TwoDee>::checkAxes(A* a, B* b) {
    if (a->getVertexCount() == 0 || b->getVertexCount() == 0) return false;
    Candidates kept;
    if (!checkFaces(a, b, true, kept) || !checkFaces(b, a, false, kept)) return false;
    if (a->getRadius() + b->getRadius() > 0.0f && !kept.keep(roundedAxis(a, b), false)) return false;
    if (m_skipListed) {
        // A face contact against a vertex with neighbours brings those too:
        // several look-ups for the pair, cheaper among the pair's own listed
        // contacts. A lone contact (a circle's) searches the bodies' lists once.
        const Axis& best = kept.slot[kept.best];
        m_gathered = (best.faceOnFirst && b->getVertexCount() > 1) || (best.faceOnSecond && a->getVertexCount() > 1);
        if (m_gathered) gatherListed(a, b);
    }
    for (int k = 0; k < 2; ++k) {
        if (kept.used(k)) emit(a, b, kept.slot[k], kept.multi);
    }
    return true;
}

// Two circles have no face (their normals are zero and skipped), so checkAxes
// tries the rounded axis alone: the line of centres. The same floats here, in
// one pass: roundedAxis's first direction is this same line, so its search is
// skipped. A trial that would not fill the empty slot (no radius, a depth of at
// least UNFILLED_PENETRATION, a NaN) goes the whole way.
bool ContactGenerator<TwoDee>::checkCircles(Circle* a, Circle* b) {
    // Every contact two circles can have has one identity (no face, vertices 0
    // and 0): with setSkipListed, two circles whose contact the bodies list
    // already would make none, so they are passed over before any geometry
    // (most touching circles are listed from the step before).
    if (m_skipListed && listedRounded(a, b)) return true;
    const float ra = a->m_radius;
    const float rb = b->m_radius;
    if (!(ra + rb > 0.0f)) return checkAxes(a, b);
    const Vector2D& ca = a->getPosition();
    const Vector2D& cb = b->getPosition();
    Axis axis;
    axis.normal = (cb - ca).normalise();
    const Vector2D pa = ca + axis.normal * ra;
    const Vector2D pb = cb + (-axis.normal) * rb;
    axis.penetration = Vector2D::dotProduct(pa, axis.normal) - Vector2D::dotProduct(pb, axis.normal);
    if (axis.penetration < -Globals::_NEAR) return false;
    if (!(axis.penetration < UNFILLED_PENETRATION)) return checkAxes(a, b);
    axis.point = ca + axis.normal * (ra - 0.5f * axis.penetration);
    // make() for a rounded contact: it is never off a face, and it is not
    // listed (see above).
    m_contacts.push_back(create(a, b, axis));
    return true;
}

// Each face of `face` against the deepest point of `other` (faces of a, then of
// b: one loop for both). The axis always points from the first shape to the
// second, so a face of the second shape is tried along its negated normal.
// Penetration is the first shape's reach along the axis minus the second's: on
// the face's side its plane widened by its radius (reaching forward for the
// first shape, back for the second), on the other side the extreme point.
// Forced inline, as the loop of every pair test.
template <class Face, class Other>
__attribute__((always_inline)) inline bool ContactGenerator<TwoDee>::checkFaces(const Face* face, const Other* other,
                                                                              bool faceIsFirst, Candidates& kept) {
    for (int i = 0; i < face->getVertexCount(); ++i) {
        const Vector2D outward = face->getNormal(i);
        if (!Face::NORMALS_NEVER_ZERO && outward.x == 0.0f && outward.y == 0.0f) continue;
        if (!kept.keep(faceTrial(face, other, faceIsFirst, i, outward), true)) return false;
    }
    return true;
}

// The trial of face i of `face`, whose outward normal is `outward`.
template <class Face, class Other>
__attribute__((always_inline)) inline ContactGenerator<TwoDee>::Axis ContactGenerator<TwoDee>::faceTrial(
    const Face* face, const Other* other, bool faceIsFirst, int i, const Vector2D& outward) {
    const float r = faceIsFirst ? face->getRadius() : -face->getRadius();
    const Vector2D axis = faceIsFirst ? outward : -outward;
    int j = 0;
    const Vector2D p = other->getExtremePoint(-outward, j);
    const float faceReach = Vector2D::dotProduct(face->getVertex(i), axis) + r;
    const float pointReach = Vector2D::dotProduct(p, axis);
    Axis trial;
    trial.penetration = faceIsFirst ? faceReach - pointReach : pointReach - faceReach;
    trial.normal = axis;
    trial.point = p;
    trial.faceOnFirst = faceIsFirst;
    trial.faceOnSecond = !faceIsFirst;
    trial.feature[faceIsFirst ? 0 : 1] = i;
    trial.feature[faceIsFirst ? 1 : 0] = j;
    return trial;
}

// Whether the trial of the rectangle's face that the circle's centre lies
// furthest outside (its distance along the face's normal beyond the half
// extent) alone proves the pair apart. A circle well clear of a long floor or
// wall is then turned away by one face instead of up to four; a pair it does
// not settle goes through every axis.
__attribute__((always_inline)) inline bool ContactGenerator<TwoDee>::apartAtNearestFace(const Rect* rect,
                                                                                      const Circle* circle,
                                                                                      bool rectIsFirst) {
    const Vector2D d = circle->getPosition() - rect->getPosition();
    const float along0 = Vector2D::dotProduct(rect->getNormal(0), d);  // faces 0 and 2 face opposite ways
    const float along1 = Vector2D::dotProduct(rect->getNormal(1), d);  // so do faces 1 and 3
    const float outside[4] = {along0 - rect->m_halfWidth, along1 - rect->m_halfHeight, -along0 - rect->m_halfWidth,
                              -along1 - rect->m_halfHeight};
    int i = 0;
    for (int k = 1; k < 4; ++k) {
        if (outside[k] > outside[i]) i = k;
    }
    return faceTrial(rect, circle, rectIsFirst, i, rect->getNormal(i)).penetration < -Globals::_NEAR;
}

// Rounded axis: from the core vertex of a nearest b to the core vertex of b
// nearest a. Degenerate directions (zero length) are used as they are.
template <class A, class B>
ContactGenerator<TwoDee>::Axis ContactGenerator<TwoDee>::roundedAxis(const A* a, const B* b) {
    Vector2D d = (b->getPosition() - a->getPosition()).normalise();
    int ia = 0;
    int ib = 0;
    a->getExtremePoint(d, ia);
    b->getExtremePoint(-d, ib);
    Vector2D n = (b->getVertex(ib) - a->getVertex(ia)).normalise();
    Vector2D pa = a->getExtremePoint(n, ia);
    Vector2D pb = b->getExtremePoint(-n, ib);
    Axis trial;
    trial.penetration = Vector2D::dotProduct(pa, n) - Vector2D::dotProduct(pb, n);
    trial.normal = n;
    trial.faceOnFirst = false;
    trial.faceOnSecond = false;
    trial.feature[0] = ia;
    trial.feature[1] = ib;
    // The middle of the overlap along the axis.
    trial.point = a->getVertex(ia) + n * (a->getRadius() - 0.5f * trial.penetration);
    return trial;
}

// The contacts linked to the bodies of a and b that join these two shapes,
// from the shorter of the bodies' lists (as Contact::findLinked searches): the
// pair's few candidates are then looked up among these alone.
void ContactGenerator<TwoDee>::gatherListed(const Area* a, const Area* b) {
    m_listed.clear();
    for (ContactT* c : ContactT::linkedToEither(a, b)) {
        if (c->area[0] == a && c->area[1] == b) m_listed.push_back(c);
    }
}

// A new contact of a and b on a kept axis, or null when its vertex has already
// slid off its face (or, with setSkipListed, when it is listed already).
template <class A, class B>
Contact<TwoDee>* ContactGenerator<TwoDee>::make(A* a, B* b, const Axis& axis) const {
    if (m_skipListed && !m_gathered &&
        ContactT::findLinked(a, b, axis.faceOnFirst, axis.faceOnSecond, axis.feature) != nullptr) {
        return nullptr;
    }
    if (m_skipListed && m_gathered) {
        for (const ContactT* c : m_listed) {
            if (c->hasFeatures(axis.faceOnFirst, axis.faceOnSecond, axis.feature)) return nullptr;
        }
    }
    if (ContactT::offFace(a, b, axis.faceOnFirst, axis.faceOnSecond, axis.feature)) return nullptr;
    return create(a, b, axis);
}

// A new contact of a and b on the axis, unconditionally.
Contact<TwoDee>* ContactGenerator<TwoDee>::create(Area* a, Area* b, const Axis& axis) {
    auto* c = new ContactT();
    c->penetration = axis.penetration;
    c->normal = axis.normal;
    c->point = axis.point;
    c->faceOnFirst = axis.faceOnFirst;
    c->faceOnSecond = axis.faceOnSecond;
    c->feature[0] = axis.feature[0];
    c->feature[1] = axis.feature[1];
    c->init(a, b);
    return c;
}

// Makes a contact of a kept axis and, with multiple contacts, tries the
// neighbours of its vertex (even when the axis's own contact was dropped).
template <class A, class B>
void ContactGenerator<TwoDee>::emit(A* a, B* b, const Axis& axis, bool multi) {
    if (ContactT* c = make(a, b, axis)) m_contacts.push_back(c);
    if (!multi || !(axis.faceOnFirst || axis.faceOnSecond)) return;
    // A flat edge against a face: try the vertices next to the one found, so
    // that a resting box gets a contact at each of its two corners. A circle's
    // only vertex is its own neighbour, and a segment's two neighbours are one
    // vertex: those would only repeat a contact already made, so each distinct
    // neighbour is tried once.
    int side = axis.faceOnFirst ? 1 : 0;
    int n = side == 0 ? a->getVertexCount() : b->getVertexCount();
    int own = axis.feature[side];
    int before = wrap(own - 1, n);
    int after = wrap(own + 1, n);
    if (before != own) checkAdjacent(a, b, axis, side, before);
    if (after != own && after != before) checkAdjacent(a, b, axis, side, after);
}

// Vertex `index` of shape `side` in place of the axis's own vertex: a contact
// when it lies within the margin of the face, no deeper than the axis's depth
// plus the margin.
template <class A, class B>
void ContactGenerator<TwoDee>::checkAdjacent(A* a, B* b, const Axis& axis, int side, int index) {
    Axis adjacent = axis;
    adjacent.feature[side] = index;
    Vector2D va = a->getVertex(adjacent.feature[0]);
    Vector2D vb = b->getVertex(adjacent.feature[1]);
    float s = Vector2D::dotProduct(va - vb, axis.normal) + a->getRadius() + b->getRadius();
    if (!(s < axis.penetration + Globals::_NEAR && s > -Globals::_NEAR)) return;
    adjacent.penetration = s;
    adjacent.point = side == 0 ? a->getVertex(index) : b->getVertex(index);
    if (ContactT* c = make(a, b, adjacent)) m_contacts.push_back(c);
}

}  // namespace physics
