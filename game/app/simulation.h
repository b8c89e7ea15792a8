#pragma once
// Plays one level: one physics step per update, an explosion at the pointer for
// every left-button press, the elapsed time and the explosion count on screen,
// and a line of the keys where the level has no label or target area. On
// leaving, the result goes into the level's menu record and the player's
// progress, and a new menu starts.
//
// "Show me" ('h'): the level's stored solution plays from a fresh load of the
// level, update for update as the level tools replay it, with a marker on
// each click's place for the last MARKER_LEAD updates before it goes off; the
// level holds still before a click until its marker has shown for MARKER_MIN
// updates (a pause changes nothing of the run: it is not stepped). The
// player's input is ignored meanwhile, except 'r' (stop) and Escape; a win
// shows for SHOWN_WIN_UPDATES, then the level starts afresh. Nothing of a
// shown run is ever recorded.
#include <memory>
#include <string>

#include "game/app/state.h"
#include "game/objects/play_rules.h"
#include "game/objects/solution.h"

class Level;
struct MnuLevel;
class Sprite;

class StateSimulation : public State {
public:
    static constexpr int MARKER_LEAD = 45;         // updates a click's place is marked before it goes off
    static constexpr int MARKER_MIN = 30;          // updates a marker shows at least before its click
    static constexpr int SHOWN_WIN_UPDATES = 120;  // updates a shown win stays before the level starts afresh
    static constexpr int MESSAGE_UPDATES = 180;    // updates a message stays
    static constexpr int HINT_SIZE = 16;           // glyph height of the key line, pixels
    static const char* const HINT;                 // the key line while playing
    static const char* const SHOWING_HINT;         // the key line while a solution is shown

    // Loads data.file(".lvl"); `data` must outlive this state.
    explicit StateSimulation(MnuLevel& data);
    ~StateSimulation() override;

    void in(float, float) override {}
    void update(float t) override;   // t unused: the level counts updates
    void out(float, float) override {}
    void draw() override;

    // Writes the result into `data` and the progress (a win keeps the fewest
    // explosions) and requests a new menu.
    void endLevel(bool win);

    // Starts showing the stored solution; false, with `message` saying why, when
    // there is no solution for the level as it is now.
    bool startShowing();
    // The level as loaded, its rules at 0, no solution shown.
    void reload();

    // Where the key line goes: its lower-left corner, the first of a few places
    // whose box (widened by a margin) meets none of the level's labels and
    // target areas, nor the time, the count and the tick mark.
    static void hintPlace(Level& level, int& x, int& y);

    // A stored solution being shown.
    struct Showing {
        bool active = false;
        leveltools::Solution solution;
        std::size_t next = 0;  // the first click not yet gone off
        int markedFor = 0;     // updates the marker of click `next` has shown
        int wonAt = 0;         // `updates` when the shown run won; 0 before
    };

    MnuLevel& data;                 // the level's menu record; owned by the menu's list
    std::unique_ptr<Level> level;   // the level being played
    PlayRules rules;                // its update count, clicks and win, over `level`
    int lastb = 0;                  // mouse button mask of the previous update
    bool showKeyHeld = false;       // 'h' was down in the previous update
    int updates = 0;                // updates of this state, never reset
    Showing show;
    std::string message;            // shown until `messageUntil`
    int messageUntil = 0;           // in `updates`
    int hintX = 0, hintY = 0;       // lower-left corner of the key line
    Sprite* bombIcon = nullptr;     // "bombA.tga" beside the explosion count; owned by the sprite cache
    Sprite* marker = nullptr;       // "marker.tga", a shown click's place; owned by the sprite cache

private:
    // Whether the shown run holds still this update (see above).
    bool holdForMarker();
    void playShown();
    void say(const std::string& text);
};
