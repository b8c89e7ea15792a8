#pragma once
// The level-selection screen. Each listed level is a 16 x 16 icon that is a rigid
// body in a world of the menu's own: the icons slide in from the left during the
// fade-in and stand still while the player chooses; a click pins the chosen icon
// and blows the others away, and the world runs (gravity (0, -100)) during the
// 2 s fade-out before the level starts. 'e' opens the editor, on the level
// under the pointer or on a new one; Escape ends the process.
//
//   icon i: column c = i mod 4, row r = i div 4, resting at
//           x = 100 + 25 c + r^2, y = 300 - 25 r (window pixels, y up)
//
//       row 0   [0] [1] [2] [3]        <- top right starts sliding first
//       row 1    [4] [5] [6] [7]
//        ...       (each row shifted right by r^2)
//       row 5          [20][21][22][23]
//       row 6            [24]...[27]     <- only for levels listed after the 24th
#include <deque>
#include <memory>
#include <string>

#include "game/app/state.h"
#include "game/objects/progress.h"
#include "physics/physics.h"

class Sprite;

// The menu's record of one listed level and the player's progress in this run.
struct MnuLevel {
    int state = progress::NEW;  // NEW, WON (at least once) or UNFINISHED (left without a win)
    std::string level;  // name as listed
    int clicks = 0;     // explosions of the recorded result (meaningful once state is 1)
    int time = 0;       // updates taken by the recorded result
    // The directory whose levels/ holds the level's files: the shipped data
    // (the working directory) or the player's own directory.
    std::string dir = ".";
    int par = -1;  // explosions of the stored solution; -1 without one for the level as it is

    // dir + "/levels/" + level + extension (".lvl", ".sol").
    std::string file(const char* extension) const { return dir + "/levels/" + level + extension; }
};

class StateMenu : public State {
public:
    static constexpr int ICONS = 24;            // icon bodies of the 4 x 6 block
    // Levels listed after the 24th (the editor's saved level beside a full
    // campaign) get icons of their own in a seventh row, up to this many in all,
    // so a saved level is always reachable. With 24 or fewer levels the menu is
    // exactly the 4 x 6 block.
    static constexpr int MAX_ICONS = 28;

    StateMenu();
    ~StateMenu() override;

    // Appends one record per level named in the list at `path` (see
    // level_list.h), whose files are in `dir`/levels/. A name the game cannot
    // open, a level listed already and a level whose file cannot be read are
    // left out with a message on standard error, as is a list that cannot be
    // read (unless `missingIsFine` and it does not exist).
    static void listLevels(const std::string& path, const std::string& dir = ".", bool missingIsFine = false);
    // Appends a record for `name` (files in `dir`) unless one is listed already;
    // true when added.
    static bool addLevel(const std::string& name, const std::string& dir = ".");
    // Lists the shipped levels, then the player's own (see places.h), and
    // loads the player's progress into their records; does nothing while a
    // level is listed.
    static void listAll();
    // Records the end of a run of `record` (a win, or leaving unwon) in the
    // record and in the progress, and writes the progress.
    static void recordResult(MnuLevel& record, bool win, int clicks, int time);

    // Where icon i rests, and where it is at fade-in progress v (0..1).
    static physics::Vector2D restPosition(int i);
    static physics::Vector2D flyInPosition(int i, float v);

    void in(float t, float v) override;      // places the icons for the fade-in
    void update(float t) override;           // keyboard and mouse; t unused
    void out(float t, float v) override;     // one world step per update
    void draw() override;                    // backdrop, icons, hovered result and par

    // Pins `body` and blasts every other icon away from it.
    void explode(physics::Body<physics::TwoDee>* body);
    // The index of the record whose icon holds `pointer`, or -1.
    int iconAt(const physics::Vector2D& pointer) const;

    // Every listed level, file order; read once per process (while it is empty,
    // each new menu tries again). A deque, so that the references the play state
    // and `hover` keep stay valid when the editor appends a saved level.
    static std::deque<MnuLevel> levelList;
    // The player's progress, by level name, including levels not listed now.
    static progress::Store progress;

    // How many icon bodies a menu over `levels` listed levels has: 24, more when
    // more levels are listed, at most MAX_ICONS.
    static int iconCount(std::size_t levels);

    physics::World<physics::TwoDee> world;  // the icon bodies, body i standing for record i
    MnuLevel* hover = nullptr;              // record under the pointer in the last update
    std::unique_ptr<Sprite> lvlSprite[4];   // icons by index: new, done, locked, empty slot
    std::unique_ptr<Sprite> backdrop;       // "backdrop3.tga"
    bool lockInput = false;                 // a level has been chosen: the mouse is ignored
    // The icons have been put at their rest positions by the first normal update,
    // so a fade-in cut short by a stall never leaves one off-screen.
    bool iconsPlaced = false;

private:
    void placeIcons(float v);
};
