#include "physics/contact_generator.h"

#include <utility>

#include "physics/body.h"
#include "physics/globals.h"
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

std::vector<Contact<TwoDee>*> ContactGenerator<TwoDee>::findContacts(
    const std::vector<std::pair<BodyT*, BodyT*>>& pairs) {
    m_contacts.clear();
    for (const auto& pair : pairs) check(pair.first, pair.second);
    return m_contacts;
}

void ContactGenerator<TwoDee>::check(BodyT* a, BodyT* b) {
    for (Area* sa : a->getShapes()) {
        for (Area* sb : b->getShapes()) check(sa, sb);
    }
}

// Separating axes over every face normal of both shapes, plus the axis joining
// the nearest core vertices when either shape is rounded. Each shape is a convex
// core (vertices, outward normals) widened by getRadius(). The two shallowest
// axes are kept ("best" and "second"); a gap wider than _NEAR on any axis ends
// the test with no contact.
bool ContactGenerator<TwoDee>::check(Area* a, Area* b) {
    const int na = a->getVertexCount();
    const int nb = b->getVertexCount();
    if (na == 0 || nb == 0) return false;
    const bool multi = Globals::findMultipleContacts;
    const float margin = Globals::_NEAR;
    const float ra = a->getRadius();
    const float rb = b->getRadius();

    ContactT slot[2];
    slot[0].penetration = UNFILLED_PENETRATION;
    slot[1].penetration = UNFILLED_PENETRATION;
    int best = 0;
    int second = 1;

    // Keep rule; ties never replace a kept candidate, so the earliest axis wins.
    // Returns false when the trial proves the shapes apart.
    auto keep = [&](const ContactT& trial, bool swapSecond) {
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
    };

    // Faces of a: b's deepest point against each face.
    for (int i = 0; i < na; ++i) {
        Vector2D n = a->getNormal(i);
        if (n.x == 0.0f && n.y == 0.0f) continue;
        Vector2D v = a->getVertex(i);
        int j = 0;
        Vector2D p = b->getExtremePoint(-n, j);
        ContactT trial;
        trial.penetration = Vector2D::dotProduct(v, n) + ra - Vector2D::dotProduct(p, n);
        trial.normal = n;
        trial.point = p;
        trial.faceOnFirst = true;
        trial.faceOnSecond = false;
        trial.feature[0] = i;
        trial.feature[1] = j;
        if (!keep(trial, true)) return false;
    }

    // Faces of b, with the normal negated so that it still points from a to b.
    for (int i = 0; i < nb; ++i) {
        Vector2D m = -b->getNormal(i);
        if (m.x == 0.0f && m.y == 0.0f) continue;
        int j = 0;
        Vector2D p = a->getExtremePoint(m, j);
        Vector2D v = b->getVertex(i);
        ContactT trial;
        trial.penetration = Vector2D::dotProduct(p, m) - (Vector2D::dotProduct(v, m) - rb);
        trial.normal = m;
        trial.point = p;
        trial.faceOnFirst = false;
        trial.faceOnSecond = true;
        trial.feature[0] = j;
        trial.feature[1] = i;
        if (!keep(trial, true)) return false;
    }

    // Rounded axis: from the core vertex of a nearest b to the core vertex of b
    // nearest a. Degenerate directions (zero length) are used as they are.
    if (ra + rb > 0.0f) {
        Vector2D d = (b->getPosition() - a->getPosition()).normalise();
        int ia = 0;
        int ib = 0;
        a->getExtremePoint(d, ia);
        b->getExtremePoint(-d, ib);
        Vector2D n = (b->getVertex(ib) - a->getVertex(ia)).normalise();
        Vector2D pa = a->getExtremePoint(n, ia);
        Vector2D pb = b->getExtremePoint(-n, ib);
        ContactT trial;
        trial.penetration = Vector2D::dotProduct(pa, n) - Vector2D::dotProduct(pb, n);
        trial.normal = n;
        trial.faceOnFirst = false;
        trial.faceOnSecond = false;
        trial.feature[0] = ia;
        trial.feature[1] = ib;
        // The middle of the overlap along the axis.
        trial.point = a->getVertex(ia) + n * (ra - 0.5f * trial.penetration);
        // Last axis: only the name of the best slot needs to follow a swap.
        if (!keep(trial, false)) return false;
    }

    for (int k = 0; k < 2; ++k) {
        ContactT& c = slot[k];
        bool used = k == best || (multi && c.penetration <= slot[best].penetration + margin &&
                                  Vector2D::dotProduct(c.normal, slot[best].normal) >= NORMAL_AGREEMENT);
        if (!used) continue;
        c.init(a, b);
        if (!c.invalid()) m_contacts.push_back(new ContactT(c));
        if (multi && (c.faceOnFirst || c.faceOnSecond)) {
            // A flat edge against a face: try the vertices next to the one found,
            // so that a resting box gets a contact at each of its two corners.
            // A circle's only vertex is its own neighbour, and a segment's two
            // neighbours are one vertex: those would only repeat a contact
            // already made, so each distinct neighbour is tried once.
            int side = c.faceOnFirst ? 1 : 0;
            int n = c.faceOnFirst ? nb : na;
            int own = c.feature[side];
            int before = wrap(own - 1, n);
            int after = wrap(own + 1, n);
            if (before != own) checkAdjacent(c, side, before);
            if (after != own && after != before) checkAdjacent(c, side, after);
        }
    }
    return true;
}

void ContactGenerator<TwoDee>::checkAdjacent(ContactT& c, int side, int index) {
    int feature[2] = {c.feature[0], c.feature[1]};
    feature[side] = index;
    Vector2D va = c.area[0]->getVertex(feature[0]);
    Vector2D vb = c.area[1]->getVertex(feature[1]);
    float s = Vector2D::dotProduct(va - vb, c.normal) + c.area[0]->getRadius() + c.area[1]->getRadius();
    if (!(s < c.penetration + Globals::_NEAR && s > -Globals::_NEAR)) return;
    ContactT* adjacent = new ContactT(c);
    adjacent->penetration = s;
    adjacent->feature[side] = index;
    adjacent->point = c.area[side]->getVertex(index);
    // The copy carries c's lever arms and mass terms; rebuild them for its own
    // point so that a list without caching (which does not recompute) resolves
    // it at the right place.
    adjacent->init(c.area[0], c.area[1]);
    if (adjacent->invalid()) {
        delete adjacent;
        return;
    }
    m_contacts.push_back(adjacent);
}

}  // namespace physics
