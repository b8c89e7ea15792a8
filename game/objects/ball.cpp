#include "game/objects/ball.h"

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

Ball::Ball(World2D* world, std::string* words) {
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    radius = static_cast<float>(fields.whole(3, "radius"));
    image = fields.word(4, "picture");
    const std::string* options = LevelFile::from(words, 5);
    const std::string victoryName = fields.option(options, "--victory");
    hasRestitution = fields.realOption(options, "--restitution", restitution);
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    spritetrans = SpriteManager::get("balltrans.tga");
    sprite = SpriteManager::get(image);
    data["vicCondName"] = victoryName;

    physics = new Body2D(makeCircle(physics::Vector2D(x, y)));
    world->add(physics);
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);
    dilation = 1.0f;
}

physics::Area* Ball::makeCircle(const physics::Vector2D& centre) const {
    auto* circle = new physics::Circle(centre, radius);
    if (hasRestitution) circle->setRestitution(restitution);
    return circle;
}

void Ball::size(const physics::Vector2D& v) {
    radius = v.length();
    if (physics == nullptr) return;
    const physics::Vector2D centre = physics->getPosition();
    removeFirstShape();
    // The new circle keeps the line's restitution, so a resized ball bounces as before.
    physics->add(makeCircle(centre));
}

int Ball::draw() {
    if (sprite == nullptr || physics == nullptr) return 1;
    if (sprite->width <= 0) return 1;  // an image that failed to load has no size to scale from
    const float s = 2.0f * radius * dilation / static_cast<float>(sprite->width);
    const physics::Vector2D& p = physics->getPosition();
    sprite->draw(p.x, p.y, s, s, physics->getOrientation().getAngle(), 1.0f);
    if (spritetrans != nullptr) spritetrans->draw(p.x, p.y, s, s, 0.0f, 1.0f);
    return 0;
}

void Ball::changeDilation(float d) {
    if (dilation == 1.0f && d == 1.0f) return;
    dilation = d;
    const float r = radius * d;
    if (!(r > 0.0f) || physics == nullptr) return;
    for (physics::Area* shape : physics->getShapes()) {
        if (shape->type() == physics::Area::CIRCLE) static_cast<physics::Circle*>(shape)->setRadius(r);
    }
}

Object* Ball::construct(World2D* world, std::string* words) { return new Ball(world, words); }

bool Ball::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const Ball& ball = static_cast<const Ball&>(object);
    LevelLine line(keyword);
    line.position(ball).whole(ball.radius, "radius").word(ball.image, "ball picture").victoryOption(ball);
    if (ball.hasRestitution) line.word("--restitution", "option").real(ball.restitution);
    return out.emit(line);
}
