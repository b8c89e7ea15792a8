#include "game/objects/bomb.h"

#include <climits>
#include <cmath>

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

namespace {

const float kBombRadius = 15.0f;       // world units
const int kUpdatesPerSecond = 60;
// Upper limit of the point blast's factor power / |d|^2: inside sqrt(power / 1000)
// the push falls to zero at the centre instead of growing without bound.
const float kMaxBlastFactor = 1000.0f;
// Where an exploded bomb's body is parked, outside the field, so it no longer collides.
const physics::Vector2D kParking(1000.0f, 1000.0f);
// Impulses are applied this far from a body's centre, which gives a little spin.
const physics::Vector2D kImpulseOffset(0.05f, -0.05f);

}  // namespace

Bomb::Bomb(World2D* world, std::string* words) {
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    const int seconds = fields.whole(3, "fuse");
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    sprite = SpriteManager::get("bombA.tga");
    // Seconds to updates, clamped to the int range.
    const long long fuse = static_cast<long long>(seconds) * kUpdatesPerSecond;
    time = fuse > INT_MAX ? INT_MAX : (fuse < INT_MIN ? INT_MIN : static_cast<int>(fuse));
    power = POWER;

    physics = new Body2D(new physics::Circle(physics::Vector2D(x, y), kBombRadius));
    physics->setStatic(true);
    world->add(physics);
    worldLink = world;
    exploded = false;
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);

    explodey = makeExplosion();
    explodey->x = x;
    explodey->y = y;

    bomb.reset(new Animation());
    for (const char* image : {"bombA.tga", "bombB.tga", "bombC.tga", "bombD.tga"}) bomb->addFrame(image);
    bomb->step = 3;
    bomb->frame = 0;
    bomb->scale = 0.703125f;
    bomb->once = false;
    bomb->x = x;
    bomb->y = y;
}

Bomb::~Bomb() = default;

std::unique_ptr<Animation> Bomb::makeExplosion() {
    std::unique_ptr<Animation> explosion(new Animation());
    for (const char* image : {"e0.tga", "e1.tga", "e2.tga", "e3.tga", "e4.tga"}) explosion->addFrame(image);
    explosion->step = 2;
    explosion->hide();
    explosion->scale = 1.0f;
    explosion->once = true;
    return explosion;
}

int Bomb::update(int tick) {
    if (physics == nullptr) return 0;
    const physics::Vector2D centre = physics->getPosition();
    bomb->x = centre.x;
    bomb->y = centre.y;
    if (!exploded && time < tick) {
        exploded = true;
        explodey->setFrame(0);
        explodey->x = centre.x;
        explodey->y = centre.y;
        const float reachSquared = power * power;
        for (Body2D* body : worldLink->bodies) {
            // Immovable bodies (walls, other bombs, bodies without mass) are never
            // pushed: their infinite mass times any push is not a number.
            if (body->isStatic() || body->getInverseMass() == 0.0f) continue;
            physics::Vector2D d = body->getPosition() - centre;
            const float distanceSquared = d.lengthSquared();
            if (!(distanceSquared <= reachSquared)) continue;
            // A body exactly at the centre has no direction to be pushed in.
            if (distanceSquared == 0.0f) continue;
            float length = std::sqrt(distanceSquared);
            if (length < 1.0f) {
                d = d / length;
                length = 1.0f;
            }
            // mass * (power - L) along the unit direction: full strength at the
            // centre, nothing at distance `power`.
            const physics::Vector2D impulse = (d * power / length - d) * body->getMass();
            body->applyImpulse(impulse, body->getPosition() + kImpulseOffset, true);
        }
        physics->setPosition(kParking);
    }
    return 0;
}

int Bomb::draw() {
    if (sprite == nullptr) return 1;
    if (exploded) {
        explodey->draw();
        return 1;
    }
    bomb->draw();
    return 0;
}

int Bomb::reset() {
    exploded = false;
    return Object::reset();
}

void Bomb::move(float x, float y) {
    if (physics != nullptr) physics->setPosition(physics::Vector2D(x, y));
}

void Bomb::explode(World2D* world, float x, float y, float power, float /*unused*/) {
    if (world == nullptr) return;
    const physics::Vector2D centre(x, y);
    for (Body2D* body : world->bodies) {
        if (body->isStatic() || body->getInverseMass() == 0.0f) continue;
        const physics::Vector2D d = body->getPosition() - centre;
        const float distanceSquared = d.lengthSquared();
        // At the centre there is no direction; beyond the float range no push.
        if (!(distanceSquared > 0.0f) || !std::isfinite(distanceSquared)) continue;
        const float k = std::fmin(power / distanceSquared, kMaxBlastFactor);
        body->applyImpulse(d * (body->getMass() * k), body->getPosition() + kImpulseOffset, true);
    }
}

Object* Bomb::construct(World2D* world, std::string* words) { return new Bomb(world, words); }

bool Bomb::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const Bomb& bomb = static_cast<const Bomb&>(object);
    LevelLine line(keyword);
    if (bomb.time % kUpdatesPerSecond != 0) {
        line.fail("a bomb's fuse of " + std::to_string(bomb.time) +
                  " updates is not a whole number of seconds, which is all a level file can hold");
    }
    line.position(bomb).number(bomb.time / kUpdatesPerSecond);
    return out.emit(line);
}
