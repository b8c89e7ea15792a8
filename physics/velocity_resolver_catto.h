#pragma once
#include "physics/contact_resolver.h"

namespace physics {

namespace lanes {
struct Row;  // contact_lanes.h
}

// Sequential impulses with warm starting, restitution and Coulomb friction;
// joints are solved after the contacts in every iteration.
class CattoVelocityResolver : public ContactResolver<TwoDee> {
public:
    explicit CattoVelocityResolver(int iterations);
    ~CattoVelocityResolver() override;
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override;

    static void prepare(Contact<TwoDee>* c);
    static void resolve(Contact<TwoDee>* c);

    // The rows this resolver's last pass over `list` ended with, once: what the
    // position pass would make itself when it follows directly, as in
    // World::step (the same contacts can act, with the same bodies moving).
    // Null, with count 0, when the last pass was over another list, walked it
    // without rows, or its rows were taken already.
    const lanes::Row* takeRows(const ContactList<TwoDee>* list, std::size_t& count);

    int m_iterations;

private:
    static bool prepareScalars(Contact<TwoDee>* c);  // prepare() but the warm start; true when one is due
    static void prepareJoints(std::vector<Joint<TwoDee>*>* joints);
    static void applyJoints(std::vector<Joint<TwoDee>*>* joints);
    struct Gathered {
        std::size_t count;  // rows now in front of m_rows
        std::size_t place;  // index of the contact asked for among them
    };
    Gathered gatherActive(const std::vector<Contact<TwoDee>*>& all, const Contact<TwoDee>* at);

    // Its front holds the rows of the contacts this pass's iterations walk; at
    // least as long as the list, its storage kept from step to step.
    std::vector<lanes::Row> m_rows;
    const ContactList<TwoDee>* m_rowsList = nullptr;  // the list m_rows were last made for, until taken
    std::size_t m_rowsCount = 0;
};

}  // namespace physics
