#include "game/render/spritemanager.h"

#include <mutex>

#include "game/render/screen.h"
#include "game/render/sprite.h"

std::map<std::string, Sprite*> SpriteManager::sprites;

namespace {

// Held by get() and clear(): levels load on several threads at once in the level tools.
std::mutex& cacheMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

Sprite* SpriteManager::get(const char* s) { return get(std::string(s ? s : "")); }

Sprite* SpriteManager::get(const std::string& s) {
    std::lock_guard<std::mutex> lock(cacheMutex());
    auto it = sprites.find(s);
    if (it != sprites.end()) return it->second;
    Sprite* sprite = new Sprite(s.c_str());
    sprites.emplace(s, sprite);
    return sprite;
}

void SpriteManager::clear() {
    std::lock_guard<std::mutex> lock(cacheMutex());
    for (auto& entry : sprites) delete entry.second;
    sprites.clear();
}

void SpriteManager::drawNumber(int x, int y, int number, float scale) {
    if (number < 0) number = 0;
    int count = 1 + (number > 9) + (number > 99) + (number > 999);
    for (int i = count - 1; i >= 0; --i) {
        int digit = number % 10;
        number /= 10;
        Sprite* sprite = get(std::to_string(digit) + ".tga");
        if (sprite) sprite->draw(x + i * 24 * scale, static_cast<float>(y), scale, scale, 0.0f, 1.0f);
    }
}

void SpriteManager::drawBackdrop(Sprite* backdrop) {
    if (backdrop == nullptr || backdrop->empty()) return;
    const float w = static_cast<float>(screen::WIDTH), h = static_cast<float>(screen::HEIGHT);
    backdrop->draw(w / 2.0f, h / 2.0f, w / static_cast<float>(backdrop->width), h / static_cast<float>(backdrop->height),
                   0.0f, 1.0f);
}
