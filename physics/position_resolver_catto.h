#pragma once
#include "physics/contact_resolver.h"

namespace physics {

// Removes overlap through bias impulses, which change only the bodies' bias
// velocities: a one-off displacement at the next move, no real momentum.
class CattoPositionResolver : public ContactResolver<TwoDee> {
public:
    explicit CattoPositionResolver(int iterations) : m_iterations(iterations) {}
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override;

    static void prepare(Contact<TwoDee>* c);
    static void resolve(Contact<TwoDee>* c);

    int m_iterations;

private:
    // Its front holds the contacts this pass's iterations walk; at least as long
    // as the list, its storage kept from step to step.
    std::vector<Contact<TwoDee>*> m_active;
};

}  // namespace physics
