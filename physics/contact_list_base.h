#pragma once
#include <list>
#include <vector>

#include "physics/contact.h"

namespace physics {

// The world's store of live contacts.
template <>
class ContactList<TwoDee> {
public:
    using ContactT = Contact<TwoDee>;
    virtual ~ContactList() = default;
    virtual void init(World<TwoDee>*) {}
    virtual void addContacts(const std::vector<ContactT*>& contacts) = 0;
    virtual int size() const = 0;
    virtual void removeContacts(Body<TwoDee>* b) = 0;
    virtual void foreach(void (*f)(ContactT*)) = 0;
    virtual void notifyListeners() = 0;
    virtual void prepareVelocities() = 0;
    virtual void preparePenetrations() = 0;
    virtual ContactT* getGreatestVelocity() const = 0;
    virtual ContactT* getGreatestPenetration() const = 0;
    virtual void updateVelocities(ContactT* c) = 0;
    virtual void updatePenetrations(ContactT* c, float* move) = 0;
    // The contacts in order when the list keeps them in one vector, else null;
    // lets the resolvers walk them without a call per contact.
    virtual const std::vector<ContactT*>* contiguous() const { return nullptr; }
    // True when every listed contact rests (Contact::resting, as set by the last
    // addContacts and notifyListeners): none needs measuring or preparing.
    virtual bool allResting() const { return false; }
};

// f on every listed contact in order: the same walk as list->foreach(f), but
// with f inlined when the list is contiguous (the resolvers' inner loops).
template <void (*f)(Contact<TwoDee>*)>
void forEachContact(ContactList<TwoDee>* list) {
    if (const std::vector<Contact<TwoDee>*>* contacts = list->contiguous()) {
        for (Contact<TwoDee>* c : *contacts) f(c);
    } else {
        list->foreach(f);
    }
}

// Contacts held in a std::vector or std::list, in insertion order. With caching,
// a contact persists from step to step (keyed by its features) and carries its
// accumulated impulses into the next step's warm start.
template <template <class, class> class Container>
class BaseContactList : public ContactList<TwoDee> {
public:
    explicit BaseContactList(bool cacheContacts);
    ~BaseContactList() override;

    // With a world, its resting bodies' contacts are kept as they are (see
    // addContacts), and its contact generator skips contacts already listed.
    void init(World<TwoDee>* world) override;

    void addContacts(const std::vector<ContactT*>& contacts) override;
    int size() const override { return static_cast<int>(m_contacts.size()); }
    void removeContacts(Body<TwoDee>* b) override;
    void foreach(void (*f)(ContactT*)) override;
    void notifyListeners() override;
    void prepareVelocities() override;
    void preparePenetrations() override {}
    ContactT* getGreatestVelocity() const override;
    ContactT* getGreatestPenetration() const override;
    void updateVelocities(ContactT* c) override;
    void updatePenetrations(ContactT* c, float* move) override;
    const std::vector<ContactT*>* contiguous() const override { return vectorOf(m_contacts); }
    bool allResting() const override { return m_allResting; }

    const Container<ContactT*, std::allocator<ContactT*>>& getContacts() const { return m_contacts; }

protected:
    static const std::vector<ContactT*>* vectorOf(const std::vector<ContactT*>& v) { return &v; }
    static const std::vector<ContactT*>* vectorOf(const std::list<ContactT*>&) { return nullptr; }

    Container<ContactT*, std::allocator<ContactT*>> m_contacts;  // owned, insertion order
    bool m_cacheContacts;
    World<TwoDee>* m_world = nullptr;  // not owned; null for a list used on its own
    bool m_allResting = false;         // see allResting()
};

template <template <class, class> class Container>
class NaiveContactList : public BaseContactList<Container> {
public:
    explicit NaiveContactList(bool cacheContacts) : BaseContactList<Container>(cacheContacts) {}
};

extern template class BaseContactList<std::vector>;
extern template class BaseContactList<std::list>;

}  // namespace physics
