#pragma once
// A fixed attractor: pulls every movable object of its level towards its centre
// and shrinks those within 50 units. Its body is not in the world.
#include <list>
#include <string>

#include "game/objects/object.h"

class BlackHole : public Object {
public:
    // From the line "BlackHole" x y power.
    BlackHole(World2D* world, std::string* words);

    int update(int tick) override;
    int draw() override;
    Type getType() override { return BLACKHOLE; }

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    float power = 0.0f;                  // strength of the pull
    std::list<Object*>* list = nullptr;  // the level's objects; set by the level; null acts on nothing
};
