#include "game/objects/blackhole.h"

#include <cmath>

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

namespace {

const float kBodyRadius = 40.0f;         // world units; the body only carries the position
const float kDrawnDiameter = 80.0f;      // world units
const float kShrinkReachSquared = 2500.0f;  // objects closer than 50 units shrink by (r / 50)^2
// Bound of the pull factor power / r^2, either sign: close to the centre the pull
// falls to zero instead of growing without bound.
const float kMaxPullFactor = 1000.0f;

}  // namespace

BlackHole::BlackHole(World2D* /*world*/, std::string* words) {
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    power = static_cast<float>(fields.whole(3, "power"));
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    sprite = SpriteManager::get("blackhole.tga");
    // Not added to the world and not made static: the hole collides with nothing.
    physics = new Body2D(new physics::Circle(physics::Vector2D(x, y), kBodyRadius));
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);
}

int BlackHole::update(int /*tick*/) {
    if (list == nullptr || physics == nullptr) return 0;
    const physics::Vector2D centre = physics->getPosition();
    for (Object* object : *list) {
        if (object == this) continue;
        Body2D* body = object->physics;
        if (body == nullptr || body->isStatic()) continue;
        const physics::Vector2D d = body->getPosition() - centre;
        const float r2 = d.lengthSquared();
        object->changeDilation(r2 < kShrinkReachSquared ? r2 / kShrinkReachSquared : 1.0f);
        // No direction at the centre; no finite pull from an infinite mass.
        if (!(r2 > 0.0f) || !std::isfinite(r2) || body->getInverseMass() == 0.0f) continue;
        const float k = physics::Clamp(power / r2, -kMaxPullFactor, kMaxPullFactor);
        body->applyImpulse(-(d * (body->getMass() * k)), body->getPosition(), true);
    }
    return 0;
}

int BlackHole::draw() {
    if (sprite == nullptr || physics == nullptr) return 1;
    if (sprite->width <= 0) return 1;  // nothing loaded to scale
    const float s = kDrawnDiameter / static_cast<float>(sprite->width);
    const physics::Vector2D& p = physics->getPosition();
    sprite->draw(p.x, p.y, s, s, 0.0f, 1.0f);
    return 0;
}

Object* BlackHole::construct(World2D* world, std::string* words) { return new BlackHole(world, words); }

bool BlackHole::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const BlackHole& hole = static_cast<const BlackHole&>(object);
    return out.emit(LevelLine(keyword).position(hole).whole(hole.power, "power"));
}
