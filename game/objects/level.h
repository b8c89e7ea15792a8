#pragma once
// One loaded level: its physics world, its objects in file order, the named
// victory conditions, and the clock that counts how long they have held.
//
// Units: world units are pixels of the 800 x 600 field, origin bottom left, y up;
// times are counted in updates (one physics step of 1/60 s each).
#include <istream>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/objects/object.h"
#include "physics/world.h"

class Animation;
class Bomb;
class LevelFile;
class Sprite;

class Level {
public:
    // Reads "./levels/" + name + ".lvl" below the working directory. A file that
    // cannot be opened gives a level with only its four boundary walls, and a
    // message naming the file and why (none for the nameless level of the editor).
    explicit Level(const std::string& name);
    // Reads the level called `name` from the file `file` (the player's own
    // levels live outside the working directory).
    Level(const std::string& name, const std::string& file);
    // Reads the lines from `source` instead of a file; `name` only names the level
    // in messages. For tests and tools.
    Level(const std::string& name, std::istream& source);
    // Deletes every object and every body, those in the world and those outside it.
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Loading steps, in the order load() runs them.
    void registerObjects();  // the object types, once per process
    void initDefaultObjects();
    // One line's token list: a setting ("Victory", "Background", "Length", which
    // give null) or an object, which the caller appends to `objects`. A line that
    // cannot be used (an unknown kind, a missing or malformed field) gives null
    // and one message, "<path>, line <n>: <why>; line skipped" (without the line
    // when `lineNumber` is 0), through LevelFile::report.
    Object* constructObject(std::string* words, int lineNumber = 0);
    void resolveVictoryConditions();
    // "Victory name enter|leave|auto x y width height [centre|whole|partial] [--drawRect]":
    // empty when the condition was kept, else why the line is skipped.
    std::string addVictoryCondition(std::string* words);
    victoryStruct findVictoryCondition(const std::string& name) const;

    // One tick: step the world, update the objects in order, test the victory.
    int update(int tick);
    int draw();
    bool testVictory();  // the level has a goal and every object is a victor now
    bool victory();      // the conditions have held for more than `length` updates
    int reset();         // every object back to its start; returns 1
    // reset(), and the victory clock stopped and hidden: a restarted level has
    // to be played again before it can count as won.
    void restart();

    // The first bomb in object order that contains (x, y), or null.
    Bomb* getBomb(float x, float y);
    // The first object in object order whose body contains p, or null.
    Object* getObject(physics::Vector2D& p);
    // Removes o with its body and deletes both; 1 (and nothing changes) when o is
    // not in this level, else 0.
    int removeObject(Object* o);
    // A blast of `power` at (x, y) on every movable body, with the explosion shown there.
    void explode(float x, float y, float power);

    // The four boundary walls every level makes first, in this order (floor,
    // ceiling, left, right): centre x, centre y, width, height, world units. Each
    // reaches 5 units into the 800 x 600 field and 215 units out of it: a blast
    // can move a small body 60 units or more in one update, and a thinner wall
    // lets it cross the wall's middle within a step and be pushed out the far side.
    static constexpr int BOUNDARY_WALLS[4][4] = {
        {400, -105, 1020, 220}, {400, 705, 1020, 220}, {-105, 300, 220, 1020}, {905, 300, 220, 1020}};

    // Centre of the tick mark a won level shows, and of the victory clock, window pixels.
    static constexpr float TICK_X = 750.0f, TICK_Y = 560.0f;

    std::string name;                                       // level name, without directory or extension
    std::string path;                                       // file read (by default "./levels/<name>.lvl"), or the name
    std::list<Object*> objects;                             // owned; creation order = update and drawing order
    physics::World<physics::TwoDee> world;                  // gravity (0, -300), step 1/60 s
    std::map<std::string, victoryStruct> victoryConditions; // declared by "Victory" lines, by name
    std::vector<std::string> victoryNames;                  // condition names in the order first declared
    Sprite* background = nullptr;                           // cached; null when the file names none
    std::string backgroundName;                             // its image name as written
    Sprite* victorySprite = nullptr;                        // tick mark "tick.tga", cached
    // Explosion of explode(), shared by the levels of one thread (the level tools
    // load levels on several threads); released by the thread's end.
    static thread_local std::unique_ptr<Animation> explodey;
    float victoryTime = 0.0f;                               // consecutive updates in which all conditions held
    std::unique_ptr<Animation> clock;                       // shown while the conditions hold
    int length = 300;                                       // updates the conditions must hold; never negative
    // Some object must enter or leave an area (a condition that is not AUTO);
    // a level without one is never won.
    bool goal = false;

private:
    // Registers the types, sets gravity, makes the boundary walls, then reads `file`.
    void load(LevelFile& file);
    void stopVictoryClock();  // no victory time counted, clock hidden
    // reset() returns `object` (which has a body) to its placement as it stands now.
    static void keepLoadedPlacement(Object& object);
    // Deletes `object`'s body, taking it out of the world first if it is there.
    void deleteBody(Object& object);
};
