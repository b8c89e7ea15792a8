#pragma once
#include "physics/contact_resolver.h"

namespace physics {

namespace lanes {
struct Row;  // contact_lanes.h
}
class CattoVelocityResolver;

// Removes overlap through bias impulses, which change only the bodies' bias
// velocities: a one-off displacement at the next move, no real momentum.
class CattoPositionResolver : public ContactResolver<TwoDee> {
public:
    // With a partner, the velocity pass that runs just before this one on the
    // same list (World::step), its rows are taken rather than made again.
    explicit CattoPositionResolver(int iterations, CattoVelocityResolver* partner = nullptr);
    ~CattoPositionResolver() override;
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override;

    static void prepare(Contact<TwoDee>* c);
    static void resolve(Contact<TwoDee>* c);

    int m_iterations;

private:
    // Its front holds the rows of the contacts this pass's iterations walk; at
    // least as long as the list, its storage kept from step to step.
    std::vector<lanes::Row> m_rows;
    CattoVelocityResolver* m_partner;  // not owned
};

}  // namespace physics
