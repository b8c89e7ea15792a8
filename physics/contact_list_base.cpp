#include "physics/contact_list_base.h"

#include <algorithm>

#include "physics/body.h"
#include "physics/contact_generator.h"
#include "physics/globals.h"
#include "physics/world.h"

namespace physics {

namespace {

void linkToBodies(Contact<TwoDee>* c) {
    c->body[0]->contacts.push_back(c);
    c->body[1]->contacts.push_back(c);
}

void unlinkFrom(std::vector<Contact<TwoDee>*>& contacts, const Contact<TwoDee>* c) {
    contacts.erase(std::remove(contacts.begin(), contacts.end(), c), contacts.end());
}

void unlinkFromBodies(Contact<TwoDee>* c) {
    unlinkFrom(c->body[0]->contacts, c);
    unlinkFrom(c->body[1]->contacts, c);
}

// Unlinks and deletes a listed contact, leaving a null in its container slot;
// the caller erases the nulls once its walk is done (eraseReleased).
void release(Contact<TwoDee>*& c) {
    unlinkFromBodies(c);
    delete c;
    c = nullptr;
}

template <class Container>
void eraseReleased(Container& contacts) {
    contacts.erase(std::remove(contacts.begin(), contacts.end(), nullptr), contacts.end());
}

// An equal contact (same shapes, flags and features) already listed, or null.
Contact<TwoDee>* findListed(const Contact<TwoDee>* c) {
    return Contact<TwoDee>::findLinked(c->area[0], c->area[1], c->faceOnFirst, c->faceOnSecond, c->feature);
}

// The contact with the largest `field`, the earliest listed on a tie; null for
// an empty list.
template <class Container>
Contact<TwoDee>* greatestBy(const Container& contacts, float Contact<TwoDee>::*field) {
    Contact<TwoDee>* greatest = nullptr;
    for (Contact<TwoDee>* c : contacts) {
        if (greatest == nullptr || c->*field > greatest->*field) greatest = c;
    }
    return greatest;
}

}  // namespace

template <template <class, class> class Container>
BaseContactList<Container>::BaseContactList(bool cacheContacts) : m_cacheContacts(cacheContacts) {}

// With caching, a contact the narrow phase finds already listed would only be
// deleted here: the world's generator is told not to make it at all. The list
// comes out the same (no new contact duplicates a listed one, and duplicates
// among the new ones are still dropped here), with far fewer contacts made.
template <template <class, class> class Container>
void BaseContactList<Container>::init(World<TwoDee>* world) {
    m_world = world;
    if (world != nullptr && world->getContactGenerator() != nullptr) {
        world->getContactGenerator()->setSkipListed(m_cacheContacts);
    }
}

template <template <class, class> class Container>
BaseContactList<Container>::~BaseContactList() {
    // The bodies may already be gone (a world deletes its stages first, but a
    // list can outlive its bodies in other hands): only the contacts are freed.
    for (ContactT* c : m_contacts) delete c;
}

template <template <class, class> class Container>
void BaseContactList<Container>::addContacts(const std::vector<ContactT*>& contacts) {
    if (!m_cacheContacts) {
        for (ContactT* c : m_contacts) {
            c->body[0]->contacts.clear();
            c->body[1]->contacts.clear();
            delete c;
        }
        m_contacts.assign(contacts.begin(), contacts.end());
        for (ContactT* c : m_contacts) {
            c->measure();
            linkToBodies(c);
        }
        return;
    }

    // Which bodies rest unchanged since the last step (Body::noteRest()).
    if (m_world != nullptr) {
        for (Body<TwoDee>* b : m_world->bodies) b->noteRest();
    }

    // A contact whose features touched last step is kept with its accumulated
    // impulses, so the resolver's warm start begins near last step's solution.
    std::size_t added = 0;
    for (ContactT* c : contacts) {
        if (findListed(c) != nullptr) {
            delete c;
        } else {
            m_contacts.push_back(c);
            linkToBodies(c);
            ++added;
        }
    }

    // Rebuild every contact from its features on the bodies' new placement; drop
    // those whose shapes have parted by more than the margin or slid off a face.
    // A contact listed last step between two resting bodies would come out of
    // this the same bits (and it was kept then): it is left as it is. Contacts
    // added just now are never resting: their bodies' flags may be left over.
    const std::size_t listed = m_contacts.size() - added;
    bool anyDropped = false;
    bool allResting = true;
    std::size_t k = 0;
    for (ContactT*& c : m_contacts) {
        c->resting = k++ < listed && c->body[0]->isResting() && c->body[1]->isResting();
        if (c->resting) continue;
        allResting = false;
        c->calculatePenetration();
        c->calculateMass();
        c->calculateVelocities();
        if (c->penetration < -Globals::_NEAR) {
            release(c);
            anyDropped = true;
        }
    }
    if (anyDropped) eraseReleased(m_contacts);
    m_allResting = allResting;
}

template <template <class, class> class Container>
void BaseContactList<Container>::removeContacts(Body<TwoDee>* b) {
    bool anyDropped = false;
    for (ContactT*& c : m_contacts) {
        if (c->body[0] != b && c->body[1] != b) continue;
        // What rested on the body must fall now that it is gone.
        c->body[0]->setAwake(true);
        c->body[1]->setAwake(true);
        release(c);
        anyDropped = true;
    }
    if (anyDropped) eraseReleased(m_contacts);
}

template <template <class, class> class Container>
void BaseContactList<Container>::foreach(void (*f)(ContactT*)) {
    for (ContactT* c : m_contacts) f(c);
}

template <template <class, class> class Container>
void BaseContactList<Container>::notifyListeners() {
    // Most worlds have no listener at all: a walk of the bodies is shorter then.
    if (m_world != nullptr && std::none_of(m_world->bodies.begin(), m_world->bodies.end(), [](const Body<TwoDee>* b) {
            return !b->m_listeners.empty();
        })) {
        return;
    }
    bool anyDropped = false;
    bool anyHeard = false;
    for (ContactT*& c : m_contacts) {
        anyHeard = anyHeard || !c->body[0]->m_listeners.empty() || !c->body[1]->m_listeners.empty();
        bool keepIt = true;
        // Every listener hears of the contact, even after one has vetoed it.
        for (CollisionListener<TwoDee>* l : c->body[0]->m_listeners) {
            if (!l->onCollision(c, 0)) keepIt = false;
        }
        for (CollisionListener<TwoDee>* l : c->body[1]->m_listeners) {
            if (!l->onCollision(c, 1)) keepIt = false;
        }
        if (!keepIt) {
            // A vetoed contact is released entirely: left on its bodies it would
            // leak and would stop the same contact from being listed again.
            release(c);
            anyDropped = true;
        }
    }
    if (anyDropped) eraseReleased(m_contacts);
    // A listener may have moved or woken any body: then the resolvers prepare
    // every contact this step, as if none rested.
    if (anyHeard) {
        for (ContactT* c : m_contacts) c->resting = false;
        m_allResting = false;
    }
}

template <template <class, class> class Container>
void BaseContactList<Container>::prepareVelocities() {
    if (m_allResting) return;
    for (ContactT* c : m_contacts) {
        if (!c->resting) c->calculateVelocities();
    }
}

template <template <class, class> class Container>
Contact<TwoDee>* BaseContactList<Container>::getGreatestVelocity() const {
    return greatestBy(m_contacts, &ContactT::closingVelocity);
}

template <template <class, class> class Container>
Contact<TwoDee>* BaseContactList<Container>::getGreatestPenetration() const {
    return greatestBy(m_contacts, &ContactT::penetration);
}

template <template <class, class> class Container>
void BaseContactList<Container>::updateVelocities(ContactT* c) {
    for (int i = 0; i < 2; ++i) {
        for (ContactT* k : c->body[i]->contacts) k->calculateVelocities();
    }
}

template <template <class, class> class Container>
void BaseContactList<Container>::updatePenetrations(ContactT* c, float* move) {
    for (int i = 0; i < 2; ++i) {
        if (move[i] == 0.0f) continue;
        Body<TwoDee>* b = c->body[i];
        for (ContactT* k : b->contacts) {
            float d = Vector2D::dotProduct(k->normal, c->normal) * move[i];
            if (k->body[0] == b) {
                k->setPenetration(k->penetration + d);
            } else if (k->body[1] == b) {
                k->setPenetration(k->penetration - d);
            }
        }
    }
}

template class BaseContactList<std::vector>;
template class BaseContactList<std::list>;

}  // namespace physics
