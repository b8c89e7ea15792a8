#pragma once
#include <utility>
#include <vector>

#include "physics/contact.h"

namespace physics {

class Area;
class Circle;
class Rect;

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
    // On: a contact whose identity is already linked to its bodies is not made
    // (a caching list would drop it); set by such a list for its world.
    void setSkipListed(bool on) { m_skipListed = on; }
    void check(BodyT* a, BodyT* b);
    // Adds the contacts of the two shapes; false when they are proven apart.
    // With setSkipListed, two circles whose one possible contact is listed
    // already answer true without being looked at.
    bool check(Area* a, Area* b);

    bool checkSphereSphere() { return false; }
    bool checkBoxSphere() { return false; }
    bool checkSphereBox() { return false; }
    bool checkBoxBox() { return false; }

private:
    struct Axis;        // one separating-axis trial (contact_generator.cpp)
    struct Candidates;  // the kept axes of one shape pair (contact_generator.cpp)
    void checkShapes(BodyT* a, BodyT* b);  // check(a, b), inline in findContacts
    // The shape types below are as byShapeTypes() (rect.h) gives them: Rect or
    // Circle, whose queries inline, or Area for the other kinds.
    template <class A, class B>
    bool checkPair(A* a, B* b);
    template <class A, class B>
    bool checkAxes(A* a, B* b);
    bool checkCircles(Circle* a, Circle* b);
    template <class Face, class Other>
    static bool checkFaces(const Face* face, const Other* other, bool faceIsFirst, Candidates& kept);
    template <class Face, class Other>
    static Axis faceTrial(const Face* face, const Other* other, bool faceIsFirst, int i, const Vector2D& outward);
    static bool apartAtNearestFace(const Rect* rect, const Circle* circle, bool rectIsFirst);
    template <class A, class B>
    static Axis roundedAxis(const A* a, const B* b);
    void gatherListed(const Area* a, const Area* b);
    template <class A, class B>
    ContactT* make(A* a, B* b, const Axis& axis) const;
    static ContactT* create(Area* a, Area* b, const Axis& axis);
    // Whether the bodies list a contact of a and b with no face, on vertices 0 and 0.
    static bool listedRounded(const Area* a, const Area* b);
    template <class A, class B>
    void emit(A* a, B* b, const Axis& axis, bool multi);
    template <class A, class B>
    void checkAdjacent(A* a, B* b, const Axis& axis, int side, int index);

    std::vector<ContactT*> m_contacts;  // produced by the current findContacts call; not owned afterwards
    bool m_skipListed = false;          // see setSkipListed()
    bool m_gathered = false;            // m_listed holds the listed contacts of the pair being emitted
    std::vector<ContactT*> m_listed;    // see gatherListed()
};

}  // namespace physics
