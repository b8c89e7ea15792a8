#include "game/objects/box.h"

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

Box::Box(World2D* world, std::string* words) {
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    width = static_cast<float>(fields.whole(3, "width"));
    height = static_cast<float>(fields.whole(4, "height"));
    image = fields.word(5, "picture");
    const std::string victoryName = fields.option(LevelFile::from(words, 6), "--victory");
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    sprite = SpriteManager::get(image);

    physics = new Body2D(new physics::Rect(physics::Vector2D(x, y), width, height, physics::Orientation2D(0.0f)));
    data["vicCondName"] = victoryName;
    world->add(physics);
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);
    dilation = 1.0f;
}

void Box::size(const physics::Vector2D& v) {
    width = v.x;
    height = v.y;
    if (physics == nullptr) return;
    removeFirstShape();
    physics->add(new physics::Rect(physics->getPosition(), width, height, physics::Orientation2D(0.0f)));
}

int Box::draw() {
    if (sprite == nullptr || physics == nullptr) return 0;
    if (sprite->width <= 0 || sprite->height <= 0) return 0;  // nothing loaded to scale
    const physics::Vector2D& p = physics->getPosition();
    sprite->draw(p.x, p.y, dilation * width / static_cast<float>(sprite->width),
                 dilation * height / static_cast<float>(sprite->height), physics->getOrientation().getAngle(), 1.0f);
    return 0;
}

void Box::changeDilation(float d) {
    if (dilation == 1.0f && d == 1.0f) return;
    dilation = d;
    if (!(d > 0.0f) || physics == nullptr) return;
    for (physics::Area* shape : physics->getShapes()) {
        if (shape->type() == physics::Area::RECT) {
            auto* rect = static_cast<physics::Rect*>(shape);
            rect->setSize(d * width, d * height);
            // Negative extents (a line that gave them) stay positive, as the constructor made them.
            rect->init();
        }
    }
}

Object* Box::construct(World2D* world, std::string* words) { return new Box(world, words); }

bool Box::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const Box& box = static_cast<const Box&>(object);
    LevelLine line(keyword);
    line.position(box).whole(box.width, "width").whole(box.height, "height");
    line.word(box.image, "crate picture").victoryOption(box);
    return out.emit(line);
}
