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

private:
    static void prepareJoints(std::vector<Joint<TwoDee>*>* joints);
    static void applyJoints(std::vector<Joint<TwoDee>*>* joints);
    struct Gathered {
        std::size_t count;  // contacts now in front of m_active
        std::size_t place;  // index of the contact asked for among them
    };
    Gathered gatherActive(const std::vector<Contact<TwoDee>*>& all, const Contact<TwoDee>* at);

    // Its front holds the contacts this pass's iterations walk; at least as long
    // as the list, its storage kept from step to step.
    std::vector<Contact<TwoDee>*> m_active;
};

}  // namespace physics
