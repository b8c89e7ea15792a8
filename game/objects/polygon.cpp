#include "game/objects/polygon.h"

#include <algorithm>
#include <cstdio>

#include "game/objects/levelfile.h"
#include "game/objects/levelwriter.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

// Token layout of a polygon line:
//   0 "Polygon"  1 x  2 y  3 scale  4 image  5 n  6.. x0 y0 x1 y1 ...  options anywhere
namespace {
const int kFirstPointToken = 6;
}

Polygon0::Polygon0(World2D* world, std::string* words) {
    LevelFields fields(words);
    const float x = static_cast<float>(fields.whole(1, "x"));
    const float y = static_cast<float>(fields.whole(2, "y"));
    scale = fields.real(3, "scale");
    image = fields.word(4, "picture");
    const int n = fields.whole(5, "points");
    readPoints(fields, n);
    isStaticPolygon = hasOpt(words, "--static");
    // A movable polygon can be what a condition asks to bring somewhere.
    const std::string victoryName = fields.option(words, "--victory");
    hasRotate = fields.realOption(words, "--rotate", rotate);
    if (!fields.ok()) {
        loadError = fields.error();
        return;
    }
    data["vicCondName"] = victoryName;
    sprite = SpriteManager::get(image);
    texture = sprite;
    cachedPosition = physics::Vector2D(x, y);
    cachedOrientation = physics::Orientation2D(0.0f);

    physics::Area* shape = hull(scale);
    if (shape == nullptr) {
        char message[160];
        std::snprintf(message, sizeof message,
                      "Polygon with %d point(s) at scale %g has fewer than three hull points (points on one line "
                      "or all alike)",
                      pointNum, static_cast<double>(scale));
        loadError = message;
        return;
    }

    physics = new Body2D();
    physics->setPosition(cachedPosition);
    physics->add(shape);
    world->add(physics);
    placeShape();
}

void Polygon0::placeShape() {
    // The shape sits where its points put it; the base reset moves its centre
    // (the mean of the hull points) to the start position at orientation 0.
    Object::reset();
    // Adding the shape recomputed the mass, so the body is made static last.
    if (isStaticPolygon) physics->setStatic(true);
    if (hasRotate) physics->rotate(physics::Rotation2D(rotate));
}

void Polygon0::readPoints(LevelFields& fields, int n) {
    pointNum = std::max(0, std::min(n, MAX_POINTS));
    for (int i = 0; i < MAX_POINTS; ++i) points[i] = physics::Vector2D(0.0f, 0.0f);
    for (int i = 0; i < pointNum && fields.ok(); ++i) {
        const std::string x = "x" + std::to_string(i), y = "y" + std::to_string(i);
        points[i].x = fields.real(kFirstPointToken + 2 * i, x.c_str());
        points[i].y = fields.real(kFirstPointToken + 2 * i + 1, y.c_str());
    }
}

physics::Area* Polygon0::hull(float pointScale) {
    const int count = pointNum;
    physics::Vector2D scaled[MAX_POINTS];
    for (int i = 0; i < count; ++i) scaled[i] = points[i] * pointScale;
    texCoords.clear();

    physics::Area* shape = physics::Polygon::create(scaled, count);
    if (shape == nullptr) return nullptr;
    // Each vertex of the hull is one of the scaled points, perhaps in another
    // order and with some left out: find which, for its texture coordinate.
    for (int v = 0; v < shape->getVertexCount(); ++v) {
        const physics::Vector2D vertex = shape->getVertex(v);
        int best = 0;
        float bestDistance = vertex.distanceSquared(scaled[0]);
        for (int i = 1; i < count; ++i) {
            float d = vertex.distanceSquared(scaled[i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        texCoords.push_back(points[best].x);
        texCoords.push_back(points[best].y);
    }
    return shape;
}

void Polygon0::size(const physics::Vector2D& v) {
    const float newScale = std::max(v.x, v.y);
    if (physics == nullptr || !(newScale > 0.0f)) return;
    physics::Area* shape = hull(newScale);
    if (shape == nullptr) {
        delete hull(scale);  // only for the texture coordinates of the shape that stays
        return;
    }
    scale = newScale;
    removeFirstShape();
    physics->add(shape);
    placeShape();
}

int Polygon0::draw() {
    if (texture == nullptr || physics == nullptr) return 0;
    std::vector<float> vertices;
    for (physics::Area* shape : physics->getShapes()) {
        const int count = shape->getVertexCount();
        // Vertices past those of the hull made at load have coordinate (0, 0).
        const std::size_t floats = 2 * static_cast<std::size_t>(count);
        if (texCoords.size() < floats) texCoords.resize(floats);
        vertices.clear();
        for (int i = 0; i < count; ++i) {
            const physics::Vector2D v = shape->getVertex(i);
            vertices.push_back(v.x);
            vertices.push_back(v.y);
        }
        texture->drawPolygon(texCoords.data(), vertices.data(), count);
    }
    return 0;
}

void Polygon0::changeDilation(float d) {
    if (physics != nullptr && physics->isStatic()) return;
    if (dilation == 1.0f && d == 1.0f) return;
    dilation = d;
}

Object* Polygon0::construct(World2D* world, std::string* words) { return new Polygon0(world, words); }

bool Polygon0::write(Object& object, const std::string& keyword, LevelWriter& out) {
    const Polygon0& polygon = static_cast<const Polygon0&>(object);
    LevelLine line(keyword);
    line.position(polygon).real(polygon.scale).word(polygon.image, "polygon picture").number(polygon.pointNum);
    for (int i = 0; i < polygon.pointNum && i < MAX_POINTS; ++i) line.real(polygon.points[i].x).real(polygon.points[i].y);
    if (polygon.isStaticPolygon) line.word("--static", "option");
    if (polygon.hasRotate) line.word("--rotate", "option").real(polygon.rotate);
    line.victoryOption(polygon);
    return out.emit(line);
}
