#pragma once
// What the headless sprites were asked to draw, for tests and tools that check the
// game's pictures without a window. Recording is off until a test turns it on;
// the OpenGL build has no log at all.
//
//   DrawLog::Scope log;                 // clears and records until the end of the scope
//   SpriteManager::drawNumber(50, 540, 123, 1);
//   auto digits = DrawLog::sprites();   // three SPRITE calls, images "1.tga" "2.tga" "3.tga"
#include <string>
#include <vector>

class Sprite;

struct DrawCall {
    enum Kind { SPRITE, POLYGON, QUADS };

    Kind kind = SPRITE;
    const Sprite* sprite = nullptr;
    std::string image;     // file name the sprite was made from, without "./media/"
    bool visible = false;  // false when nothing would appear: empty sprite or unusable arguments

    // SPRITE: centre in window pixels, scales, angle in radians (counter-clockwise), opacity.
    float x = 0, y = 0, sx = 0, sy = 0, angle = 0, alpha = 0;
    // QUADS: the colour handed over; POLYGON: always opaque white.
    float r = 1, g = 1, b = 1, a = 1;
    // POLYGON: count vertices as (tx, ty, x, y); QUADS: count quads of 4 corners as (tx, ty, x, y).
    std::vector<float> data;
    int count = 0;
};

class DrawLog {
public:
    static void enable();
    static void disable();
    static bool enabled();
    static void clear();

    static const std::vector<DrawCall>& calls();
    // The SPRITE calls only, optionally of one image, in drawing order.
    static std::vector<DrawCall> sprites(const std::string& image = std::string());

    // Called by the headless sprite.
    static void record(DrawCall call);
    static void nameSprite(const Sprite* sprite, const std::string& image);
    static void forgetSprite(const Sprite* sprite);
    static std::string imageOf(const Sprite* sprite);

    // Records from construction to destruction, starting from an empty log.
    struct Scope {
        Scope() { clear(); enable(); }
        ~Scope() { disable(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };
};
