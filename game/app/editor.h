#pragma once
// The level editor. In edit mode nothing moves by itself:
//   right button   places an object of the chosen template at the pointer (a
//                  plain click keeps the template's size, a drag sizes it from
//                  its centre to the pointer); on an object, a drag resizes it
//   left button    selects an object and drags it; on empty space, clears
//   1 to 9         choose the template (wall, ball, crate, black hole, text,
//                  target area, bomb, polygon, static polygon)
//   Delete         removes the selection          left Shift  snaps to 5 units
//   l              links the selected ball, crate or polygon to the next target
//                  area (after the last: to none)
//   t              turns the selected target area between enter and leave
//   + / -          the selected bomb's fuse, whole seconds
//   c              the selected polygon's next shape
//   z / y          undo / redo                     h  every key on screen
//   s              saves (see save())              p  proves the level winnable
//   Return         test mode: the level runs, left clicks explode; Escape
//                  there returns to the layout as it was before the test
//   Escape         back to the menu; with unsaved changes only after a second press
//   (closing the window keeps unsaved changes as a new level)
//
// The editor's level is always the one its file would load: every finished
// change (a release of the button, a key) writes the level in the file format
// and builds it again from that text. The texts before each change are the
// undo history, and what test mode, the proof and a save see is exactly what
// the menu will play.
#include <memory>
#include <string>
#include <vector>

#include "game/app/editor_proof.h"
#include "game/app/state.h"
#include "game/objects/play_rules.h"
#include "physics/vector.h"

class Level;
class Object;
class Sprite;
class StaticBox;

class StateEditor : public State {
public:
    static constexpr int MAX_TEMPLATES = 10;
    static constexpr int TEMPLATE_WORDS = 16;
    static constexpr float MESSAGE_SECONDS = 4.0f;  // how long a message stays
    static constexpr int MAX_UNDO = 200;            // changes kept for undo
    static constexpr double PROOF_SECONDS = 20.0;   // the solver's budget for one proof
    static const char* const NEW_NAME;              // "mylevel": saved as mylevel1, mylevel2, ...

    // The words of one line of a level file: word 0 the kind, then its fields
    // as in the file. Word `xWord` and the next one are the position, replaced
    // by the pointer's. The empty word after the last one ends the list.
    struct Template {
        std::string data[TEMPLATE_WORDS];
        std::string label;  // what the template list calls it; the kind when empty
        int xWord = 1;      // a Victory line has its position at words 3 and 4
    };

    // One text the editor draws over the level.
    struct Label {
        std::string text;
        int x = 0, y = 0;  // lower-left corner, window pixels
        int size = 0;      // glyph height, pixels
        int colour = 0;    // 0xRRGGBB
    };

    // A new, empty level (only the boundary walls).
    StateEditor();
    // The level `name` whose file is `dir`/levels/<name>.lvl. A level of the
    // player's own (`dir` is the player's directory) is saved back to its
    // file; any other (a shipped level) is saved as a new level of the player's.
    StateEditor(const std::string& name, const std::string& dir);
    ~StateEditor() override;

    // Fills the next free slot; null arguments leave their words empty. False,
    // and nothing changes, when all MAX_TEMPLATES slots are taken.
    bool addTemplate(const char* name, const char* a, const char* b, const char* c, const char* d, const char* e,
                     const char* f);

    void in(float, float) override {}
    void update(float t) override;  // t: seconds since the editor became current (times the messages)
    void out(float, float) override {}
    void draw() override;

    // Builds template t at pos (snapped down to multiples of `snap` when it is
    // not 0) and appends it to the level; false when t is not a template in use
    // or the registry cannot build its words. Not yet a finished change: see commit().
    bool addObject(int t, physics::Vector2D pos, int snap);
    // Puts o (and its start position) at pos, snapped. Always true.
    bool moveObject(Object* o, physics::Vector2D pos, int snap);
    // Resizes o so that its extent reaches pos (snapped) from its centre on each
    // axis, at least 5 units, in whole units. Always true.
    bool sizeObject(Object* o, physics::Vector2D pos, int snap);

    // Ends a change: writes the level, and when the text differs from the last
    // one, keeps the last one for undo and builds the level again from the new
    // text. False (the level goes back to the last text) when the level cannot
    // be written; `message` says why.
    bool commit();
    bool undo();  // false when there is nothing to undo
    bool redo();  // false when there is nothing to redo
    // Whether the level differs from the file it was opened from or last saved to.
    bool unsaved() const { return text != savedText; }

    // Writes the level to savePath() (choosing the next free new name first when
    // needed), lists it in the player's "levels.txt" and in the menu, and, when
    // the last proof was of this very text, writes its solution beside it. Sets
    // `message`. 0 on success, 1 on failure (also when there is no player directory).
    int save();
    // The file a save writes: the opened level of the player's own, or the one
    // saved before; otherwise the next free name, which is never a file that
    // exists nor a listed level. Empty when there is no player directory.
    std::string savePath() const;
    // The first of mylevel1, mylevel2, ... that names no listed level and no
    // file (.lvl or .sol) in the player's levels directory.
    static std::string freeName();

    // The window closes: unsaved changes are saved as a new level of the
    // player's (never over the opened one, whose file the player did not ask to
    // replace) and the game says where.
    void quitting() override;

    // Starts the solver on the level as it is now, on a thread of its own; its
    // result appears in `proofLine`. False, saying why, for a level with nothing to win.
    bool prove();

    // What draw() writes over the level, in drawing order.
    std::vector<Label> labels() const;
    // One line about the selected object ("Ball, linked to goal1"); empty with none.
    std::string describe(const Object* o) const;

    // pos with each coordinate snapped down to a multiple of `snap` (also below 0);
    // unchanged when snap is 0.
    static physics::Vector2D snapped(physics::Vector2D pos, int snap);
    // The object a press at p picks: the first in object order whose body holds
    // p; else a target area whose outline passes within 8 units of p (its inside
    // stays free for placing objects in it); else null.
    Object* pick(physics::Vector2D p) const;

    physics::Vector2D moveOffset;        // selection's position minus the pointer at selection
    physics::Vector2D pressedAt;         // where the current right press began
    bool edit = true;                    // edit mode; false in test mode
    bool help = false;                   // every key shown over the level
    bool leaving = false;                // Escape with unsaved changes was pressed once
    bool left = false;                   // the editor has asked for the menu
    int lastMouse = 0;                   // mouse button mask of the previous update
    std::vector<int> lastKeys;           // the editor's keys held in the previous update: one action per press
    Object* select = nullptr;            // the selected object; owned by the level
    std::unique_ptr<Level> level;        // the level being edited
    PlayRules rules;                     // test mode's play of `level`
    int cTemplate = 0;                   // chosen template slot
    Template templates[MAX_TEMPLATES];
    int templateCount = 0;               // slots in use

    std::string name;                    // the level's name: what it was opened as or saved as; empty for a new one
    std::string dir;                     // the directory whose levels/ holds `name`; empty for a new one
    bool own = false;                    // `name` is the player's level: saves go to its file
    std::string text;                    // the level as its file, after the last finished change
    std::string savedText;               // the text as opened or last saved
    std::vector<std::string> undoTexts;  // earlier texts, oldest first
    std::vector<std::string> redoTexts;  // texts undone, most recent last

    EditorProof proof;                   // the solver's run, in the background
    std::string proofLine;               // its last result or its progress
    std::string provenText;              // the text the last proof's solution wins
    EditorProof::Result proven;          // that proof's result

    std::string message;                 // result of the last action, shown for MESSAGE_SECONDS
    float messageUntil = -1.0f;          // editor clock (seconds) at which the message goes
    float clockNow = 0.0f;               // editor clock of the last update, seconds

private:
    void addTemplates();
    void say(const std::string& what);
    // Builds the level from `levelText`; keeps the selection by its place in the object list.
    void rebuild(const std::string& levelText);
    void pressed(int k, bool down, std::vector<int>& held);
    void keyAction(int k);
    void editUpdate(int b, int click, const physics::Vector2D& mpos);
    void link(Object* o);
    void areaChanged(const StaticBox& area);
    // Moves the current text onto `to` and makes the last of `from` current (undo, redo).
    bool travel(std::vector<std::string>& from, std::vector<std::string>& to);
    void pollProof();
    void drawMarks();

    Sprite* dot = nullptr;  // "dot.tga": the selection's outline and the links, dotted
};
