#pragma once
// Plays one level: one physics step per update, an explosion at the pointer for
// every left-button press, the elapsed time and the explosion count on screen;
// on leaving, the result goes into the level's menu record and a new menu starts.
#include <memory>

#include "game/app/state.h"
#include "game/objects/play_rules.h"

class Level;
struct MnuLevel;
class Sprite;

class StateSimulation : public State {
public:
    // Loads data.file(".lvl"); `data` must outlive this state.
    explicit StateSimulation(MnuLevel& data);
    ~StateSimulation() override;

    void in(float, float) override {}
    void update(float t) override;   // t unused: the level counts updates
    void out(float, float) override {}
    void draw() override;

    // Writes the result into `data` (a win keeps the fewest explosions) and
    // requests a new menu.
    void endLevel(bool win);

    MnuLevel& data;                 // the level's menu record; owned by the menu's list
    std::unique_ptr<Level> level;   // the level being played
    PlayRules rules;                // its update count, clicks and win, over `level`
    int lastb = 0;                  // mouse button mask of the previous update
    Sprite* bombIcon = nullptr;     // "bombA.tga" beside the explosion count; owned by the sprite cache
};
