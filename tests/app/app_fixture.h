#pragma once
// A fresh working directory per test, laid out as the game finds it: levels.txt,
// levels/ and media/ with small Targa pictures of every image the states and
// objects use. Input, the menu's level list and the state manager start empty.
#include <set>

#include "common/temp_run_dir.h"
#include "game/app/input_scripted.h"
#include "game/app/menu.h"
#include "game/app/statemanager.h"
#include "game/render/screen.h"

class AppDir : public TempRunDir {
protected:
    void SetUp() override {
        enterFreshDir("/tmp/boxquake-app-XXXXXX", pictures());
        input::scripted::clear();
        StateMenu::levelList.clear();
        StateManager::reset();
    }

    void TearDown() override {
        StateManager::reset();
        StateMenu::levelList.clear();
        input::scripted::clear();
        TempRunDir::TearDown();
    }

    // Holds the given keys (and nothing else) and the pointer at (x, y) in
    // drawing coordinates (y up) with `buttons`; the window system counts y down.
    static void input(int x, int y, int buttons, std::initializer_list<int> keys = {}) {
        input::scripted::setPointer(x, screen::HEIGHT - y, buttons);
        input::scripted::setKeys(std::set<int>(keys));
    }

    // The process-wide sprite cache keeps sizes by name: every test writes the same ones.
    static std::vector<Picture> pictures() {
        std::vector<Picture> p = {
            {"lvlnew.tga", 16, 16},     {"lvldone.tga", 16, 16},   {"lvllocked.tga", 16, 16},
            {"lvlnone.tga", 16, 16},    {"backdrop3.tga", 64, 48}, {"backdrop2.tga", 64, 48},
            {"wall.tga", 32, 32},       {"rect.tga", 16, 16},      {"orangeball.tga", 64, 64},
            {"balltrans.tga", 64, 64},  {"crate1.tga", 64, 64},    {"blackhole.tga", 160, 160},
            {"bombA.tga", 32, 32},      {"bombB.tga", 32, 32},     {"bombC.tga", 32, 32},
            {"bombD.tga", 32, 32},      {"e0.tga", 64, 64},        {"e1.tga", 64, 64},
            {"e2.tga", 64, 64},         {"e3.tga", 64, 64},        {"e4.tga", 64, 64},
            {"tick.tga", 20, 20},       {"clock1.tga", 32, 32},    {"clock2.tga", 32, 32},
            {"clock3.tga", 32, 32},     {"clock4.tga", 32, 32},    {"text.tga", 256, 145},
            {"poly.tga", 64, 64}};
        static const char* digits[10] = {"0.tga", "1.tga", "2.tga", "3.tga", "4.tga",
                                         "5.tga", "6.tga", "7.tga", "8.tga", "9.tga"};
        for (const char* d : digits) p.push_back({d, 24, 32});
        return p;
    }

};
