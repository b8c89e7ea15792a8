#pragma once
// Base of every thing placed in a level, and the registry that builds objects
// from the words of a level-file line by type name.
#include <deque>
#include <list>
#include <map>
#include <string>
#include <typeindex>
#include <typeinfo>

#include "physics/dimension.h"
#include "physics/vector.h"

class LevelWriter;
class Sprite;

// One victory condition: an axis-aligned area and what the object must do there.
struct victoryStruct {
    enum Condition { ENTER = 0, LEAVE = 1, AUTO = 2 };
    enum Completeness { CENTRE = 0, WHOLE = 1, PARTIAL = 2 };

    int x = 0, y = 0;  // centre of the area, world units
    int w = 0, h = 0;  // full width (along x) and height (along y)
    Condition condition = AUTO;
    Completeness completeness = CENTRE;  // stored; the test always uses the body's centre
};

enum Type { OBJECT = 0, BOMB = 1, POLYGON = 2, BLACKHOLE = 3 };

class Object {
public:
    using Body2D = physics::Body<physics::TwoDee>;
    using World2D = physics::World<physics::TwoDee>;
    // Builds an object from a token list: words of one level-file line, element 0
    // the type name, ended by an empty string that is always present.
    using Factory = Object* (*)(World2D* world, std::string* words);
    // Writes an object back as its level-file line, `keyword` first (the name
    // its kind is registered under), so that reading it again builds the same
    // object; false, with the writer's error set, when a line cannot hold it.
    using Writer = bool (*)(Object& object, const std::string& keyword, LevelWriter& out);
    // A kind of object: how a line builds it and how it is written back. Each
    // kind reads and writes its own line, next to each other in its class.
    struct Kind {
        Factory construct;
        Writer write;
        std::type_index type;  // the class `construct` builds
    };

    Object();
    // The registry entry "Object": a bare object with no body and no sprite.
    Object(World2D* world, std::string* words);
    virtual ~Object();

    virtual void size(const physics::Vector2D& v);
    virtual int update(int tick);
    virtual int draw();
    virtual bool isStable();
    virtual int reset();
    virtual bool testVictory(victoryStruct v);
    virtual void changeDilation(float d);
    virtual bool isVictor();
    virtual Type getType();

    bool contains(physics::Vector2D p);
    void storePos();
    // True when this object takes part in the physics (has a body).
    bool hasBody() const { return physics != nullptr; }

    static bool hasOpt(const std::string* words, const std::string& name);
    // The object of kind `name` built from `words`; null for a kind not registered.
    static Object* create(const std::string& name, World2D* world, std::string* words);
    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    // Registers class T (its static construct and write) as the kind `name`. Not
    // while levels load on other threads: they read the registry unlocked.
    template <class T>
    static void registerType(const std::string& name) {
        s_types.insert_or_assign(name, Kind{&T::construct, &T::write, std::type_index(typeid(T))});
    }
    // The registered kind whose class `object` is exactly, with its name; null
    // for an object of an unregistered class.
    static const std::pair<const std::string, Kind>* kindOf(const Object& object);

    Body2D* physics = nullptr;   // the object's body; removed and deleted by the level, not by ~Object
    Sprite* sprite = nullptr;    // picture used by draw(); null draws nothing; never owned
    float alpha = 1.0f;          // opacity handed to Sprite::draw
    physics::Vector2D cachedPosition;           // start position; reset() returns the body here
    physics::Orientation2D cachedOrientation;   // start orientation
    std::map<std::string, std::string> data;    // named values; "vicCondName" = victory condition name
    // Body positions of the last 60 updates, oldest first. A deque: one position
    // in and one out every update, without a heap block for each.
    std::deque<physics::Vector2D> posHistory;
    float dilation = 1.0f;                      // size factor set by black holes; 1 is natural size
    std::list<victoryStruct> victory;           // conditions this object must meet
    // Why the constructor could not build the object from its line (a missing or
    // malformed field, a polygon without three hull points); empty when it could. An object with an
    // error holds no body, and the level drops it with a message naming the line.
    std::string loadError;

    static std::map<std::string, Kind> s_types;  // by name, as level lines give it

protected:
    // Takes the body's first shape out and deletes it; nothing without a body or
    // shape. What size() does before it adds the shape of the new size.
    void removeFirstShape();
};
