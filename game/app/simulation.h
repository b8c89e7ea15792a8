#pragma once
// Plays one level: one physics step per update, an explosion at the pointer for
// every left-button press, the elapsed time and the explosion count on screen;
// on leaving, the result goes into the level's menu record and a new menu starts.
#include <memory>

#include "game/app/state.h"

class Level;
struct MnuLevel;
class Sprite;

class StateSimulation : public State {
public:
    static constexpr float BLAST_POWER = 10000.0f;  // power of a click's explosion
    static constexpr float TICK_X = 750.0f;         // centre of a won level's tick mark, window pixels
    static constexpr float TICK_Y = 560.0f;
    static constexpr int TICK_REACH_SQUARED = 399;      // a click closer than 20 pixels hits the tick mark

    // Loads "./levels/" + data.level + ".lvl"; `data` must outlive this state.
    explicit StateSimulation(MnuLevel& data);
    ~StateSimulation() override;

    void in(float, float) override {}
    void update(float t) override;   // t unused: the level counts updates
    void out(float, float) override {}
    void draw() override;

    // Writes the result into `data` (a win keeps the fewest explosions) and
    // requests a new menu.
    void endLevel(bool win);

    int time = 0;                   // updates since the level was loaded or restarted
    MnuLevel& data;                 // the level's menu record; owned by the menu's list
    std::unique_ptr<Level> level;   // the level being played
    int lastb = 0;                  // mouse button mask of the previous update
    int clickCount = 0;             // explosions set off since the level was loaded or restarted
    Sprite* bombIcon = nullptr;     // "bombA.tga" beside the explosion count; owned by the sprite cache
};
