#include "game/render/draw_log.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

bool s_enabled = false;
std::vector<DrawCall>& log() {
    static std::vector<DrawCall> calls;
    return calls;
}
// Sprite -> image name. Only looked up by key, never iterated. Sprites are made
// and deleted on several threads at once in the level tools: every use holds
// namesMutex().
std::map<const Sprite*, std::string>& names() {
    static std::map<const Sprite*, std::string> n;
    return n;
}
std::mutex& namesMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

void DrawLog::enable() { s_enabled = true; }
void DrawLog::disable() { s_enabled = false; }
bool DrawLog::enabled() { return s_enabled; }
void DrawLog::clear() { log().clear(); }
const std::vector<DrawCall>& DrawLog::calls() { return log(); }

std::vector<DrawCall> DrawLog::sprites(const std::string& image) {
    std::vector<DrawCall> out;
    for (const DrawCall& c : log()) {
        if (c.kind == DrawCall::SPRITE && (image.empty() || c.image == image)) out.push_back(c);
    }
    return out;
}

void DrawLog::record(DrawCall call) {
    if (s_enabled) log().push_back(std::move(call));
}

void DrawLog::nameSprite(const Sprite* sprite, const std::string& image) {
    std::lock_guard<std::mutex> lock(namesMutex());
    names()[sprite] = image;
}

void DrawLog::forgetSprite(const Sprite* sprite) {
    std::lock_guard<std::mutex> lock(namesMutex());
    names().erase(sprite);
}

std::string DrawLog::imageOf(const Sprite* sprite) {
    std::lock_guard<std::mutex> lock(namesMutex());
    auto it = names().find(sprite);
    return it == names().end() ? std::string() : it->second;
}
