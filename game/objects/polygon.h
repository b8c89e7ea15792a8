#pragma once
// A convex polygon body with its picture mapped onto it: the points of the line
// are both the texture coordinates (0..1 across the picture) and, times `scale`,
// the outline of the shape.
#include <string>
#include <vector>

#include "game/objects/object.h"

class LevelFields;

namespace physics {
class Area;
}

class Polygon0 : public Object {
public:
    static constexpr int MAX_POINTS = 32;

    // From the line "Polygon" x y scale image n x0 y0 ... [--static] [--rotate angle]
    // [--victory name]. When a field is missing or malformed, or the points give
    // fewer than three hull points, no body is made and loadError says why.
    Polygon0(World2D* world, std::string* words);

    int draw() override;
    // Rescales the shape so that a picture of 1 x 1 texture units spans
    // max(v.x, v.y) units; the centre stays. Nothing when that scale gives no hull.
    void size(const physics::Vector2D& v) override;
    // Stored only: the shape and the picture keep their size. Ignored when static.
    void changeDilation(float d) override;

    // Reads the n point pairs after token 5 into points and pointNum (n is taken
    // into 0..MAX_POINTS); a missing or malformed one fails `fields`.
    void readPoints(LevelFields& fields, int n);
    // The shape from the points, each times `scale`; null when their hull has
    // fewer than three points. Fills texCoords.
    physics::Area* hull(float scale);
    // After a new shape is added: centred on the start position, made static, turned.
    void placeShape();

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    physics::Vector2D points[MAX_POINTS];  // the points as written (texture coordinates, not scaled)
    float scale = 0.0f;                    // world units per texture coordinate
    int pointNum = 0;                      // points in use (at most MAX_POINTS)
    Sprite* texture = nullptr;             // picture mapped onto the polygon; owned by the sprite cache
    std::string image;                     // its name as written on the line
    bool isStaticPolygon = false;          // the line holds "--static"
    bool hasRotate = false;                // the line gives "--rotate"
    float rotate = 0.0f;                   // its angle, radians, turned once at load
    // For each vertex of the shape, the texture coordinate (x, y pair) it is drawn
    // with: the file point it was made from, as the hull may start at another
    // point or leave points out. Fixed at load.
    std::vector<float> texCoords;
};
