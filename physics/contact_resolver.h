#pragma once
#include <vector>

#include "physics/dimension.h"

namespace physics {

template <>
class ContactResolver<TwoDee> {
public:
    virtual ~ContactResolver() = default;
    virtual void init(World<TwoDee>*) {}
    virtual void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) = 0;
};

}  // namespace physics
