#pragma once
// The first state: the game's picture fades in for 1 s, then hands over to the
// level menu and fades out for 1 s.
#include <memory>

#include "game/app/state.h"

class Sprite;

class StateSplash : public State {
public:
    StateSplash();
    ~StateSplash() override;

    void in(float t, float v) override;      // alpha = 1 - (1 - v)^2, rising
    void update(float t) override;           // requests the level menu
    void out(float t, float v) override;     // alpha = 1 - (1 - v)^2, falling
    void draw() override;                    // the picture at half size, centred

    float alpha = 0.0f;             // current opacity of the picture; 0 until the fade-in starts
    std::unique_ptr<Sprite> image;  // "qor.tga", its own sprite (not the cache's)
};
