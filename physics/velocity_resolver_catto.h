#pragma once
#include "physics/contact_resolver.h"

namespace physics {

// Sequential impulses with warm starting, restitution and Coulomb friction;
// joints are solved after the contacts in every iteration.
class CattoVelocityResolver : public ContactResolver<TwoDee> {
public:
    explicit CattoVelocityResolver(int iterations) : m_iterations(iterations) {}
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override;

    static void prepare(Contact<TwoDee>* c);
    static void resolve(Contact<TwoDee>* c);
    static void applyFriction(Contact<TwoDee>* c);

    int m_iterations;
};

}  // namespace physics
