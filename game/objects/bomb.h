#pragma once
// An immovable round bomb with a fuse, and the point blast used for explosions.
#include <memory>
#include <string>

#include "game/objects/object.h"

class Animation;

class Bomb : public Object {
public:
    // From the line "Bomb" x y fuse-seconds.
    Bomb(World2D* world, std::string* words);
    ~Bomb() override;

    // Shows the fuse; on the first tick after `time` blows up once.
    int update(int tick) override;
    int draw() override;
    int reset() override;  // armed again at the start position
    Type getType() override { return BOMB; }

    // Puts the body at (x, y); reset() still returns to the start position.
    void move(float x, float y);
    void setTime(int ticks) { time = ticks; }
    int getTime() const { return time; }

    // Pushes every movable body of `world` away from (x, y): mass * power / |d|
    // along d (limited to mass * 1000 * |d| close in). `unused` is ignored.
    static void explode(World2D* world, float x, float y, float power, float unused);

    // The explosion: "e0.tga" to "e4.tga", each shown for 4 draws, played once,
    // at scale 1 and hidden until setFrame(0). A bomb's own and the level's.
    static std::unique_ptr<Animation> makeExplosion();

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    // Impulse factor and reach, world units, of a bomb's own blast.
    static constexpr float POWER = 1004.0f;

    int time = 0;                          // fuse, updates (seconds on the line * 60)
    float power = POWER;                   // reach and strength of the blast
    bool exploded = false;
    World2D* worldLink = nullptr;          // the world whose bodies the blast pushes
    std::unique_ptr<Animation> bomb;       // fuse animation, looping
    std::unique_ptr<Animation> explodey;   // the bomb's own explosion, played once
};
