#pragma once
// The game tests' working directory (levels/ and media/ with every picture the
// states and objects use) and the player's directory "player" inside it; input,
// the menu's level list, the progress and the state manager start empty.
#include <filesystem>
#include <set>

#include "game/level_fixture.h"
#include "game/app/input_scripted.h"
#include "game/app/menu.h"
#include "game/app/places.h"
#include "game/app/statemanager.h"
#include "game/render/screen.h"

class AppDir : public LevelDir {
protected:
    void SetUp() override {
        LevelDir::SetUp();
        input::scripted::clear();
        StateMenu::levelList.clear();
        StateMenu::progress = progress::Store();
        places::setPlayerDir(std::filesystem::absolute("player").string());
        StateManager::reset();
    }

    void TearDown() override {
        StateManager::reset();
        StateMenu::levelList.clear();
        StateMenu::progress = progress::Store();
        places::setPlayerDir("");
        input::scripted::clear();
        LevelDir::TearDown();
    }

    // An empty level file for each name, in `dir`/levels/.
    static void touchLevels(std::initializer_list<std::string> names, const std::string& dir = ".") {
        for (const std::string& name : names) writeFile(dir + "/levels/" + name + ".lvl", "# empty\n");
    }

    // Holds the given keys (and nothing else) and the pointer at (x, y) in
    // drawing coordinates (y up) with `buttons`; the window system counts y down.
    static void input(int x, int y, int buttons, std::initializer_list<int> keys = {}) {
        input::scripted::setPointer(x, screen::HEIGHT - y, buttons);
        input::scripted::setKeys(std::set<int>(keys));
    }
};
