#pragma once
// Dimension tags. The engine's classes are templates over one of these; the game
// uses the 2D instantiation only. The 3D engine is declared for completeness and
// not built.
namespace physics {

struct TwoDee {};
struct ThreeDee {};

template <class D> class Body;
template <class D> class World;
template <class D> class Joint;
template <class D> class Contact;
template <class D> class ContactList;
template <class D> class BroadPhase;
template <class D> class ContactGenerator;
template <class D> class ContactResolver;
template <class D> class CollisionListener;
template <class D> class ChildObject;

}  // namespace physics
