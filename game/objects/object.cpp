#include "game/objects/object.h"

#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "physics/physics.h"

std::map<std::string, Object::Kind> Object::s_types;

namespace {

// Positions recorded for the rest test: one second of updates.
const std::size_t kHistoryLength = 60;
// Largest distance, world units, between two recorded positions of a resting object.
const float kStableDistance = 20.0f;

}  // namespace

Object::Object() = default;

Object::Object(World2D* /*world*/, std::string* /*words*/) : alpha(1.0f) {}

Object::~Object() = default;

void Object::size(const physics::Vector2D& /*v*/) {}

int Object::update(int /*tick*/) {
    storePos();
    return 0;
}

int Object::draw() {
    if (sprite == nullptr || physics == nullptr) return 1;
    const physics::Vector2D& p = physics->getPosition();
    // The picture turns with the body: its orientation, not its angular velocity.
    return sprite->draw(p.x, p.y, 1.0f, 1.0f, physics->getOrientation().getAngle(), alpha);
}

bool Object::isStable() {
    // Every pair, as the rest test asks: any two recorded positions further apart
    // than kStableDistance mean the object is still moving.
    const float limit = kStableDistance * kStableDistance;
    for (auto a = posHistory.begin(); a != posHistory.end(); ++a) {
        auto b = a;
        for (++b; b != posHistory.end(); ++b) {
            if (a->distanceSquared(*b) > limit) return false;
        }
    }
    return true;
}

int Object::reset() {
    if (physics == nullptr) return 0;
    physics->setPosition(cachedPosition);
    physics->setOrientation(cachedOrientation);
    physics->resetMotion();
    // The rest test must not see where the object was before it went back.
    posHistory.clear();
    changeDilation(1.0f);
    return 0;
}

bool Object::testVictory(victoryStruct v) {
    if (v.condition == victoryStruct::AUTO) return true;
    if (physics == nullptr) return false;
    physics::Rect area(physics::Vector2D(static_cast<float>(v.x), static_cast<float>(v.y)), static_cast<float>(v.w),
                       static_cast<float>(v.h), physics::Orientation2D(0.0f));
    bool inside = area.contains(physics->getPosition());
    if (inside) return v.condition == victoryStruct::ENTER && isStable();
    return v.condition == victoryStruct::LEAVE && isStable();
}

void Object::changeDilation(float d) { dilation = d; }

bool Object::isVictor() {
    // An object without a body cannot be tested and takes no part in the victory.
    if (physics == nullptr) return true;
    for (const victoryStruct& v : victory) {
        if (!testVictory(v)) return false;
    }
    return true;
}

Type Object::getType() { return OBJECT; }

bool Object::contains(physics::Vector2D p) { return physics != nullptr && physics->contains(p); }

void Object::storePos() {
    if (physics == nullptr) return;
    posHistory.push_back(physics->getPosition());
    while (posHistory.size() > kHistoryLength) posHistory.pop_front();
}

void Object::removeFirstShape() {
    if (physics == nullptr || physics->getShapes().empty()) return;
    physics::Area* old = physics->getShapes().front();
    physics->remove(old);
    delete old;
}

bool Object::hasOpt(const std::string* words, const std::string& name) {
    for (const std::string* w = words; !w->empty(); ++w) {
        if (*w == name) return true;
    }
    return false;
}

Object* Object::create(const std::string& name, World2D* world, std::string* words) {
    auto it = s_types.find(name);
    if (it == s_types.end()) return nullptr;
    return it->second.construct(world, words);
}

Object* Object::construct(World2D* world, std::string* words) { return new Object(world, words); }

bool Object::write(Object& /*object*/, const std::string& keyword, LevelWriter& out) { return out.emit(LevelLine(keyword)); }

const std::pair<const std::string, Object::Kind>* Object::kindOf(const Object& object) {
    const std::type_index type(typeid(object));
    for (const auto& entry : s_types) {
        if (entry.second.type == type) return &entry;
    }
    return nullptr;
}
