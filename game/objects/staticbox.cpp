#include "game/objects/staticbox.h"

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

StaticBox::StaticBox(World2D* world, std::string* words) {
    noPhysPos = physics::Vector2D(0.0f, 0.0f);
    hasPhysics = true;
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    width = static_cast<float>(fields.whole(3, "width"));
    height = static_cast<float>(fields.whole(4, "height"));
    image = LevelFile::word(words, 5);
    if (!image.empty()) fields.word(5, "picture");  // optional, but named as every picture is
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    if (image.empty()) image = "wall.tga";
    sprite = SpriteManager::get(image);

    physics = new Body2D(new physics::Rect(physics::Vector2D(x, y), width, height, physics::Orientation2D(0.0f)));
    physics->setStatic(true);
    world->add(physics);
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);
}

StaticBox::StaticBox(World2D* world, int x, int y, int w, int h, bool hasShape) {
    noPhysPos = physics::Vector2D(0.0f, 0.0f);
    image = hasShape ? "wall.tga" : "rect.tga";
    m_ownSprite.reset(new Sprite(image.c_str()));
    sprite = m_ownSprite.get();
    hasPhysics = hasShape;
    const physics::Vector2D centre(static_cast<float>(x), static_cast<float>(y));
    if (hasShape) {
        physics = new Body2D(
            new physics::Rect(centre, static_cast<float>(w), static_cast<float>(h), physics::Orientation2D(0.0f)));
    } else {
        physics = new Body2D();
        noPhysPos = centre;
    }
    width = static_cast<float>(w);
    height = static_cast<float>(h);
    physics->setStatic(true);
    world->add(physics);
    cachedPosition = centre;
    cachedOrientation = physics::Orientation2D(0.0f);
}

StaticBox::~StaticBox() = default;

void StaticBox::size(const physics::Vector2D& v) {
    width = v.x;
    height = v.y;
    // An outline has no rectangle to replace: its drawn size is all there is.
    if (!hasPhysics || physics == nullptr) return;
    removeFirstShape();
    physics->add(new physics::Rect(physics->getPosition(), width, height, physics::Orientation2D(0.0f)));
    physics->setStatic(true);
}

int StaticBox::draw() {
    if (sprite == nullptr) return 0;
    if (sprite->width <= 0 || sprite->height <= 0) return 0;  // nothing loaded to scale
    physics::Vector2D p = noPhysPos;
    if (hasPhysics && physics != nullptr) p = physics->getPosition();
    sprite->draw(p.x, p.y, width / static_cast<float>(sprite->width), height / static_cast<float>(sprite->height),
                 0.0f, 1.0f);
    return 0;
}

bool StaticBox::isVictor() { return true; }

Object* StaticBox::construct(World2D* world, std::string* words) { return new StaticBox(world, words); }

// A wall still at its place and size among the level's own boundary walls is
// not written: every level makes them itself. An outline is the Victory line
// that drew it.
bool StaticBox::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const StaticBox& wall = static_cast<const StaticBox&>(object);
    if (!wall.hasPhysics) return out.areaOutline(wall);
    if (wall.boundary && LevelWriter::isDefaultBoundary(wall)) return true;
    LevelLine line(keyword);
    line.position(wall).whole(wall.width, "width").whole(wall.height, "height");
    line.word(wall.image.empty() ? std::string("wall.tga") : wall.image, "wall picture");
    return out.emit(line);
}
