#pragma once
#include <cstddef>
#include <vector>

#include "physics/body.h"
#include "physics/dimension.h"
#include "physics/shape.h"
#include "physics/vector.h"

namespace physics {

class Area;

// One point of contact between two shapes of two bodies, with what the
// resolvers need precomputed. Identity (for caching between steps):
// (area[0], area[1], faceOnFirst, faceOnSecond, feature[0], feature[1]).
//
// Features: with faceOnFirst, the normal is edge normal feature[0] of area[0] and
// feature[1] is the vertex of area[1] lying against it; with faceOnSecond the
// roles swap (normal = -normal of edge feature[1] of area[1]); with neither, the
// normal joins core vertex feature[0] of area[0] to core vertex feature[1] of
// area[1] (a rounded contact).
template <>
class Contact<TwoDee> {
public:
    Contact() = default;

    // The narrow phase makes a contact for every touching feature pair every
    // step and the list drops those it already holds, so contacts come from a
    // per-thread free list: a steady step allocates nothing.
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;

    // The shapes and their bodies: with the features, the contact's identity.
    // The narrow phase sets normal, point and penetration; the other terms are
    // left to the contact list, which measures a contact it keeps (a caching
    // list rebuilds every new contact from its features anyway, so measuring
    // the many the list finds already listed would be wasted).
    void init(Area* a, Area* b);
    // Lever arms, basis, mass terms and velocities for the point and normal as
    // they are (what a list that does not cache uses as they come).
    void measure();
    void calculateMass();
    void calculateVelocities();
    Vector2D getRelativeContactVelocity() const;
    void calculatePenetration();
    void setPenetration(float p);
    bool invalid() const;
private:
    template <class A, class B>
    void measureFeatures(const A* a, const B* b);  // calculatePenetration() for known shape types

public:
    // invalid() of a contact of shapes a and b with these flags and features,
    // before one is made. A and B are the shapes' types as the caller knows
    // them: Rect or Circle read their vertices inline, Area through the vtable.
    template <class A, class B>
    static bool offFace(const A* a, const B* b, bool faceOnFirst, bool faceOnSecond, const int feature[2]);

    // The contact with this identity among those linked to the shapes' bodies
    // (a caching contact list links each contact it holds to both), or null.
    static Contact* findLinked(const Area* a, const Area* b, bool faceOnFirst, bool faceOnSecond,
                               const int feature[2]);
    // The shorter of the contact lists of a's and b's bodies: it holds every
    // linked contact joining a and b.
    static const std::vector<Contact*>& linkedToEither(const Area* a, const Area* b);

    bool operator==(const Contact& o) const;
    bool operator!=(const Contact& o) const { return !(*this == o); }
    // The identity without the shapes: the same flags and features.
    bool hasFeatures(bool onFirst, bool onSecond, const int features[2]) const {
        return faceOnFirst == onFirst && faceOnSecond == onSecond && feature[0] == features[0] &&
               feature[1] == features[1];
    }

    Body<TwoDee>* body[2] = {nullptr, nullptr};  // parents of area[0], area[1]
    Area* area[2] = {nullptr, nullptr};
    Vector2D normal;                // unit, from area[0] toward area[1]
    Vector2D point;                 // world contact point
    float penetration = 0.0f;       // overlap along normal; negative is a gap; -500 marks a dead contact
    float closingVelocity = 0.0f;   // approach speed along the normal at the last calculateVelocities; -10 with a gap
    float normalImpulse = 0.0f;     // accumulated normal impulse (velocity pass)
    float biasImpulse = 0.0f;       // accumulated normal impulse (position pass)
    float tangentImpulse = 0.0f;    // accumulated friction impulse
    float normalMass = 0.0f;        // 1 / the normal entry of calculateMass()'s C^T K C; 0 when immovable
    float bias = 0.0f;              // target normal separation speed of the resolver that runs
    // Set by the velocity resolver's prepare, constant through its iterations:
    float bounce = 0.0f;            // separation speed restitution adds to the target; 0 without a bounce
    float tangentMass = 0.0f;       // 1 / tangentPerImpulse; 0 when immovable
    float friction = 0.0f;          // Coulomb coefficient of the pair: sqrt of the shapes' product
    Vector2D contactVelocity;       // relative velocity of body[1] against body[0], contact coordinates
    Vector2D r[2];                  // point minus each body's position
    float inverseMass[2] = {0.0f, 0.0f};
    // Change of the relative tangent velocity per unit tangent impulse: the
    // tangent entry of calculateMass()'s C^T K C.
    float tangentPerImpulse = 0.0f;
    Matrix2 contactToWorld;         // columns normal and tangent (-n.y, n.x)
    // Set by the contact list each step: both bodies rest unchanged since the
    // contact was last measured (Body::isResting()), so measuring and preparing
    // it again would give the same bits (but the bias, see the velocity
    // resolver), and neither pass moves its bodies unless one of them is woken.
    bool resting = false;
    bool faceOnFirst = false;
    bool faceOnSecond = false;
    int feature[2] = {0, 0};
};

// A linked contact sits in both of its bodies' lists, so the shorter of the
// two holds every contact joining a and b; it matters for a floor under
// thousands of bodies. Inline, as the narrow phase asks for every pair.
inline const std::vector<Contact<TwoDee>*>& Contact<TwoDee>::linkedToEither(const Area* a, const Area* b) {
    const std::vector<Contact*>& onA = a->getBody()->contacts;
    const std::vector<Contact*>& onB = b->getBody()->contacts;
    return onB.size() < onA.size() ? onB : onA;
}

// A list holds each identity once, so the first match is the one.
inline Contact<TwoDee>* Contact<TwoDee>::findLinked(const Area* a, const Area* b, bool faceOnFirst,
                                                    bool faceOnSecond, const int feature[2]) {
    for (Contact* linked : linkedToEither(a, b)) {
        if (linked->area[0] == a && linked->area[1] == b && linked->hasFeatures(faceOnFirst, faceOnSecond, feature)) {
            return linked;
        }
    }
    return nullptr;
}

// A face contact is valid while its vertex projects onto the face's edge.
template <class A, class B>
bool Contact<TwoDee>::offFace(const A* a, const B* b, bool faceOnFirst, bool faceOnSecond, const int feature[2]) {
    Vector2D p;
    Vector2D e0;
    Vector2D e1;
    if (faceOnFirst) {
        p = b->getVertex(feature[1]);
        e0 = a->getVertex(feature[0]);
        e1 = a->getVertex(feature[0] + 1);
    } else if (faceOnSecond) {
        p = a->getVertex(feature[0]);
        e0 = b->getVertex(feature[1]);
        e1 = b->getVertex(feature[1] + 1);
    } else {
        return false;
    }
    Vector2D edge = e1 - e0;
    float lengthSq = edge.lengthSquared();
    if (lengthSq == 0.0f) return false;  // a zero-length edge gives no number
    float t = Vector2D::dotProduct(p - e0, edge) / lengthSq;
    return t < 0.0f || t > 1.0f;
}

}  // namespace physics
