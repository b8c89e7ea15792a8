#pragma once
// The process-wide cache of sprites by file name, and numbers drawn with the
// digit pictures "0.tga" to "9.tga".
#include <map>
#include <string>

class Sprite;

class SpriteManager {
public:
    // The sprite for `s` (a name inside ./media/), loaded on first use. A file that
    // fails to load is cached as an empty sprite, so its "Failed to load" line is
    // printed once and the result is never null.
    static Sprite* get(const char* s);
    static Sprite* get(const std::string& s);

    // Deletes every cached sprite; pointers handed out before become invalid.
    static void clear();

    // `number` in decimal, digits 24 * `scale` pixels apart centre to centre, the
    // most significant at x; negative numbers show 0 and at most the last four
    // digits are shown.
    static void drawNumber(int x, int y, int number, float scale);

    // `backdrop` stretched over the whole window, opaque; nothing for a null
    // or empty sprite.
    static void drawBackdrop(Sprite* backdrop);

    // Keyed by the name exactly as the caller gave it; owns the sprites. get() and
    // clear() may be called from several threads; read this directly only while
    // no other thread loads sprites.
    static std::map<std::string, Sprite*> sprites;
};
