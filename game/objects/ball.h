#pragma once
// A movable ball: one circle, drawn with its picture and the "balltrans.tga"
// highlight on top (the highlight does not turn with the ball).
#include <string>

#include "game/objects/object.h"

namespace physics {
class Area;
}

class Ball : public Object {
public:
    // From the line "Ball" x y radius image [--victory name] [--restitution real].
    Ball(World2D* world, std::string* words);

    // Radius becomes |v|; the circle is rebuilt at the body's position.
    void size(const physics::Vector2D& v) override;
    int draw() override;
    // Scales the circle by d (a black hole's pull); d <= 0 keeps the circle's size.
    void changeDilation(float d) override;

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    float radius = 0.0f;              // natural radius, world units
    Sprite* spritetrans = nullptr;    // highlight overlay; owned by the sprite cache
    std::string image;                // picture name as written on the line
    bool hasRestitution = false;      // the line gave "--restitution"
    float restitution = 0.0f;         // its value (bounciness, 0..1) when given
    // The ball's size factor is the base `dilation`.

private:
    physics::Area* makeCircle(const physics::Vector2D& centre) const;
};
