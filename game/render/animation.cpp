#include "game/render/animation.h"

#include "game/render/sprite.h"
#include "game/render/spritemanager.h"

void Animation::addFrame(const char* image) {
    Sprite* sprite = SpriteManager::get(image);
    if (sprite) frames.push_back(sprite);
}

void Animation::setFrame(int f) {
    frame = static_cast<unsigned int>(f);
    istep = 0;
}

void Animation::draw() {
    if (frames.empty()) return;
    const unsigned int count = static_cast<unsigned int>(frames.size());
    if (istep++ > step) {
        ++frame;
        istep = 0;
        if (once && frame >= count) return;
        if (!once) frame %= count;
    }
    if (frame >= count) return;
    frames[frame]->draw(x, y, scale, scale, 0.0f, 1.0f);
}
