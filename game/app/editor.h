#pragma once
// The level editor. In edit mode nothing moves by itself: the right button
// creates an object of the chosen template at the pointer and, while held, sizes
// it from its centre to the pointer; the left button selects an object and drags
// it; Delete removes the selection; keys 1 to 5 choose the template; left Shift
// snaps positions and sizes down to multiples of 5; 's' saves the level to
// "levels/mylevel1.lvl" in the player's directory and lists it in the menu. Return starts test mode (the
// level runs, left clicks explode); Escape there puts every object back where
// it was placed, and a fresh Escape in edit mode returns to the menu.
#include <memory>
#include <string>
#include <vector>

#include "game/app/state.h"
#include "game/objects/play_rules.h"
#include "physics/vector.h"

class Level;
class Object;

class StateEditor : public State {
public:
    static constexpr int MAX_TEMPLATES = 10;
    static constexpr int TEMPLATE_WORDS = 10;
    static constexpr float MESSAGE_SECONDS = 2.0f;   // how long the save message stays
    static const char* const SAVE_NAME;              // "mylevel1"
    static const char* const SAVE_PATH;              // "levels/mylevel1.lvl", in the player's directory

    // The words of one object line of a level file: word 0 the type name, words
    // 1 to 6 its fields (1 and 2 the position, replaced by the pointer's), the
    // rest empty. The empty word after the last one ends the list.
    struct Template {
        std::string data[TEMPLATE_WORDS];
    };

    // One text the editor draws over the level.
    struct Label {
        std::string text;
        int x = 0, y = 0;  // lower-left corner, window pixels
        int size = 0;      // glyph height, pixels
        int colour = 0;    // 0xRRGGBB
    };

    StateEditor();
    ~StateEditor() override;

    // Fills the next free slot; null arguments leave their words empty. False,
    // and nothing changes, when all MAX_TEMPLATES slots are taken.
    bool addTemplate(const char* name, const char* a, const char* b, const char* c, const char* d, const char* e,
                     const char* f);

    void in(float, float) override {}
    void update(float t) override;  // t: seconds since the editor became current (times the save message)
    void out(float, float) override {}
    void draw() override;

    // Builds template t at pos (snapped down to multiples of `snap` when it is
    // not 0) and appends it to the level; false when t is not a template in use
    // or the registry cannot build its words.
    bool addObject(int t, physics::Vector2D pos, int snap);
    // Puts o (and its reset position) at pos, snapped. Always true.
    bool moveObject(Object* o, physics::Vector2D pos, int snap);
    // Resizes o so that its extent reaches pos (snapped) from its centre on each
    // axis, at least 5 units. Always true.
    bool sizeObject(Object* o, physics::Vector2D pos, int snap);

    // Writes the level to savePath() and lists SAVE_NAME in the player's
    // "levels.txt" and in the menu when it is missing; sets `message`. 0 on
    // success, 1 on failure (also when there is no player directory).
    int save();
    // SAVE_PATH in the player's directory (places.h); empty when there is none.
    static std::string savePath();

    // What draw() writes over the level, in drawing order.
    std::vector<Label> labels() const;

    // pos with each coordinate snapped down to a multiple of `snap` (also below 0);
    // unchanged when snap is 0.
    static physics::Vector2D snapped(physics::Vector2D pos, int snap);

    physics::Vector2D moveOffset;        // selection's position minus the pointer at selection
    bool edit = true;                    // edit mode; false in test mode
    int lastMouse = 0;                   // mouse button mask of the previous update
    bool lEsc = false;                   // Escape was down in the previous update
    bool lSave = false;                  // 's' was down in the previous update: one save per press
    Object* select = nullptr;            // the selected object; owned by the level
    std::unique_ptr<Level> level;        // the level being edited
    PlayRules rules;                     // test mode's play of `level`
    int cTemplate = 0;                   // chosen template slot
    Template templates[MAX_TEMPLATES];
    int templateCount = 0;               // slots in use
    std::string message;                 // result of the last save, shown for MESSAGE_SECONDS
    float messageUntil = -1.0f;          // editor clock (seconds) at which the message goes
    float clockNow = 0.0f;               // editor clock of the last update, seconds
};
