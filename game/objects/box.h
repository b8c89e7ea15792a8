#pragma once
// A movable crate: one rectangle, drawn with its picture stretched to its size.
#include <string>

#include "game/objects/object.h"

class Box : public Object {
public:
    // From the line "Box" x y width height image [--victory name].
    Box(World2D* world, std::string* words);

    // Extents become (v.x, v.y); the rectangle is rebuilt at the body's position.
    void size(const physics::Vector2D& v) override;
    int draw() override;
    // Scales the rectangle by d (a black hole's pull); d <= 0 keeps its size.
    void changeDilation(float d) override;

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    float width = 0.0f;   // natural extent along x, world units
    float height = 0.0f;  // natural extent along y, world units
    std::string image;    // picture name as written on the line
};
