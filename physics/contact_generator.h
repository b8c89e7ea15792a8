#pragma once
#include <utility>
#include <vector>

#include "physics/contact.h"

namespace physics {

class Area;

// The narrow phase: one separating-axis routine for every pair of 2D shapes,
// each seen as a convex core (vertices, outward edge normals) widened by a radius.
template <>
class ContactGenerator<TwoDee> {
public:
    using BodyT = Body<TwoDee>;
    using ContactT = Contact<TwoDee>;

    ContactGenerator() = default;
    void init(World<TwoDee>*) {}
    // New heap contacts for every candidate pair, in pair order; the caller takes charge of them.
    std::vector<ContactT*> findContacts(const std::vector<std::pair<BodyT*, BodyT*>>& pairs);
    void check(BodyT* a, BodyT* b);
    bool check(Area* a, Area* b);

    bool checkSphereSphere() { return false; }
    bool checkBoxSphere() { return false; }
    bool checkSphereBox() { return false; }
    bool checkBoxBox() { return false; }

private:
    struct Axis;        // one separating-axis trial (contact_generator.cpp)
    struct Candidates;  // the kept axes of one shape pair (contact_generator.cpp)
    // Face and Other are Area, or Rect when both shapes are rectangles (most
    // pairs in a level), so that the queries inline instead of calling through
    // the vtable; the arithmetic is the same either way.
    template <class Face, class Other>
    static bool checkFaces(const Face* face, const Other* other, bool faceIsFirst, Candidates& kept);
    static Axis roundedAxis(Area* a, Area* b);
    static ContactT* make(Area* a, Area* b, const Axis& axis);
    void emit(Area* a, Area* b, const Axis& axis, bool multi);
    void checkAdjacent(Area* a, Area* b, const Axis& axis, int side, int index);

    std::vector<ContactT*> m_contacts;  // produced by the current findContacts call; not owned afterwards
};

}  // namespace physics
