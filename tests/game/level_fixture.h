#pragma once
// A fresh working directory per test with small Targa pictures of known sizes
// for every image the objects and the game's states use.
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/temp_run_dir.h"
#include "game/objects/level.h"
#include "physics/physics.h"

// Every body of the level: finite position and velocity, whatever it was fed.
inline bool allFinite(const Level& level) {
    for (const Object* object : level.objects) {
        if (object->physics == nullptr) continue;
        const physics::Vector2D& p = object->physics->getPosition();
        const physics::Vector2D& v = object->physics->getVelocity();
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(v.x) || !std::isfinite(v.y)) return false;
    }
    return true;
}

class LevelDir : public TempRunDir {
protected:
    void SetUp() override { enterFreshDir("/tmp/boxquake-game-XXXXXX", pictures()); }

    // The level of `text`, loaded from levels/<name>.lvl as the game loads it.
    static std::unique_ptr<Level> load(const std::string& text, const std::string& name = "test") {
        writeLevel(name, text);
        return std::make_unique<Level>(name);
    }

    // The object at `index` in the level's object order (the four walls are 0 to 3)
    // as a T; null when there is none or it is not a T.
    template <class T>
    static T* nth(Level& level, int index) {
        if (index < 0 || index >= static_cast<int>(level.objects.size())) return nullptr;
        auto it = level.objects.begin();
        std::advance(it, index);
        return dynamic_cast<T*>(*it);
    }

    // Sizes chosen so that a scale error shows: none is the size its object is
    // drawn at. The sprite cache is process-wide and keeps sizes by name, so the
    // game and app tests share this one list (the menu's, the editor's and the
    // play state's pictures included).
    static std::vector<Picture> pictures() {
        std::vector<Picture> p = {
            {"ball.tga", 64, 64},       {"balltrans.tga", 64, 64},  {"crate.tga", 128, 64},
            {"wall.tga", 32, 32},       {"rect.tga", 16, 16},       {"blackhole.tga", 160, 160},
            {"bombA.tga", 32, 32},      {"bombB.tga", 32, 32},      {"bombC.tga", 32, 32},
            {"bombD.tga", 32, 32},      {"e0.tga", 64, 64},         {"e1.tga", 64, 64},
            {"e2.tga", 64, 64},         {"e3.tga", 64, 64},         {"e4.tga", 64, 64},
            {"tick.tga", 20, 20},       {"clock1.tga", 32, 32},     {"clock2.tga", 32, 32},
            {"clock3.tga", 32, 32},     {"clock4.tga", 32, 32},     {"backdrop.tga", 400, 300},
            {"poly.tga", 64, 64},       {"text.tga", 256, 145},     {"orangeball.tga", 64, 64},
            {"crate1.tga", 64, 64},     {"backdrop2.tga", 64, 48},  {"backdrop3.tga", 64, 48},
            {"lvlnew.tga", 16, 16},     {"lvldone.tga", 16, 16},    {"lvllocked.tga", 16, 16},
            {"lvlnone.tga", 16, 16},    {"marker.tga", 64, 64}};
        static const char* digits[10] = {"0.tga", "1.tga", "2.tga", "3.tga", "4.tga",
                                         "5.tga", "6.tga", "7.tga", "8.tga", "9.tga"};
        for (const char* d : digits) p.push_back({d, 24, 32});
        return p;
    }
};
