#include "game/objects/level.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <unordered_set>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/game_scale.h"
#include "game/objects/levelfile.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "physics/physics.h"

thread_local std::unique_ptr<Animation> Level::explodey;

namespace {

const float kTimeStep = 1.0f / 60.0f;  // seconds per update (0.016666668)
const float kGravity = -300.0f;        // world units / s^2 along y
const int kDefaultLength = 300;        // updates

// Reports one line of `path` that loading skipped, and why.
void skipped(const std::string& path, int lineNumber, const std::string& why) {
    const std::string where = LevelFile::escape(path) + (lineNumber > 0 ? ", line " + std::to_string(lineNumber) : "");
    LevelFile::report(where + ": " + why + "; line skipped");
}

// Scale that stretches `pixels` to `units`; 0 for a picture that has no size.
float stretch(float units, int pixels) { return pixels > 0 ? units / static_cast<float>(pixels) : 0.0f; }

}  // namespace

Level::Level(const std::string& levelName) : Level(levelName, "./levels/" + levelName + ".lvl") {}

Level::Level(const std::string& levelName, const std::string& file) : name(levelName), path(file), world(kTimeStep) {
    LevelFile source(path);
    load(source);
}

Level::Level(const std::string& levelName, std::istream& source) : name(levelName), path(levelName), world(kTimeStep) {
    LevelFile file(source);
    load(file);
}

void Level::load(LevelFile& file) {
    useGameScale();
    registerObjects();
    world.setGravity(physics::Vector2D(0.0f, kGravity));
    initDefaultObjects();
    length = kDefaultLength;
    background = nullptr;
    victorySprite = nullptr;

    // The editor's new level has no name and no file: nothing to report.
    if (!file.isOpen() && !name.empty()) {
        LevelFile::report(LevelFile::escape(path) + ": cannot open: " + file.openError());
    }
    std::string line;
    while (file.nextLine(line)) {
        // A fresh list for every line, so no line sees the tokens of the one before.
        std::vector<std::string> tokens = LevelFile::tokenise(line);
        if (LevelFile::isIgnored(tokens)) continue;
        Object* object = constructObject(tokens.data(), file.lineNumber());
        if (object != nullptr) objects.push_back(object);
    }
    if (file.cutShort()) {
        LevelFile::report(LevelFile::escape(path) + ", line " + std::to_string(file.lineNumber()) + ": longer than " +
                          std::to_string(LevelFile::MAX_LINE_LENGTH) +
                          " characters; read up to there, and the rest of the file skipped");
    }
    resolveVictoryConditions();

    if (!explodey) explodey = Bomb::makeExplosion();
    explodey->hide();  // until the next explosion

    victoryTime = 0.0f;
    victorySprite = SpriteManager::get("tick.tga");

    clock.reset(new Animation());
    for (const char* image : {"clock1.tga", "clock1.tga", "clock2.tga", "clock3.tga", "clock4.tga"}) {
        clock->addFrame(image);
    }
    clock->step = length / 5;  // five pictures over the length of the victory wait
    clock->hide();  // until the conditions hold
    clock->scale = 0.625f;
    clock->once = true;
    clock->x = TICK_X;
    clock->y = TICK_Y;
}

Level::~Level() {
    // Bodies in the world go with the world; the others (black holes, labels,
    // anything that never joined) are deleted here.
    std::unordered_set<const Object::Body2D*> inWorld(world.bodies.begin(), world.bodies.end());
    for (Object* object : objects) {
        if (object->physics != nullptr && inWorld.count(object->physics) == 0) delete object->physics;
        delete object;
    }
    objects.clear();
}

void Level::registerObjects() {
    // Once per process: levels load on several threads at once (the level tools),
    // and after this the registry is only read.
    static std::once_flag registered;
    std::call_once(registered, [] {
        Object::registerType<StaticBox>("StaticBox");
        Object::registerType<BlackHole>("BlackHole");
        Object::registerType<Polygon0>("Polygon");
        Object::registerType<Object>("Object");
        Object::registerType<Ball>("Ball");
        Object::registerType<Bomb>("Bomb");
        Object::registerType<Text>("Text");
        Object::registerType<Box>("Box");
    });
}

void Level::initDefaultObjects() {
    for (const auto& b : BOUNDARY_WALLS) {
        auto* wall = new StaticBox(&world, b[0], b[1], b[2], b[3], true);
        wall->boundary = true;
        keepLoadedPlacement(*wall);
        objects.push_back(wall);
    }
}

Object* Level::constructObject(std::string* words, int lineNumber) {
    const std::string& kind = words[0];
    std::string error;
    if (kind == "Victory") {
        error = addVictoryCondition(words);
    } else if (kind == "Background") {
        LevelFields fields(words);
        const std::string& picture = fields.word(1, "picture");
        if (fields.ok()) {
            backgroundName = picture;
            background = SpriteManager::get(backgroundName);
        }
        error = fields.error();
    } else if (kind == "Length") {
        LevelFields fields(words);
        const int updates = fields.whole(1, "updates");
        // A negative wait would make the level won before anything happened.
        if (fields.ok()) length = std::max(0, updates);
        error = fields.error();
    } else if (Object::s_types.count(kind) == 0) {
        error = "unknown kind " + LevelFile::quote(kind);
    } else {
        Object* object = Object::create(kind, &world, words);
        if (object->loadError.empty()) {
            if (object->getType() == BLACKHOLE) static_cast<BlackHole*>(object)->list = &objects;
            // Only bodies the world simulates (each constructor adds its body last);
            // a label's body is its text's box, not its anchor.
            if (object->physics != nullptr && !world.bodies.empty() && world.bodies.back() == object->physics) {
                keepLoadedPlacement(*object);
            }
            return object;
        }
        error = object->loadError;
        deleteBody(*object);
        delete object;
    }
    if (!error.empty()) skipped(path, lineNumber, error);
    return nullptr;
}

std::string Level::addVictoryCondition(std::string* words) {
    LevelFields fields(words);
    const std::string& conditionName = fields.word(1, "name");
    const std::string& kind = fields.word(2, "condition");
    victoryStruct v;
    // "auto" (always met) is what the level writer gives a condition it cannot name otherwise.
    if (fields.ok() && kind != "enter" && kind != "leave" && kind != "auto") {
        return LevelFile::quote(kind) + " is none of enter, leave and auto (Victory condition)";
    }
    v.condition = kind == "enter" ? victoryStruct::ENTER : kind == "leave" ? victoryStruct::LEAVE : victoryStruct::AUTO;
    v.x = fields.whole(3, "x");
    v.y = fields.whole(4, "y");
    v.w = fields.whole(5, "width");
    v.h = fields.whole(6, "height");
    if (!fields.ok()) return fields.error();
    // The completeness may be left out (centre), options following in its place.
    const std::string& completeness = LevelFile::word(words, 7);
    if (completeness.empty() || completeness.compare(0, 2, "--") == 0 || completeness == "centre") {
        v.completeness = victoryStruct::CENTRE;
    } else if (completeness == "whole") {
        v.completeness = victoryStruct::WHOLE;
    } else if (completeness == "partial") {
        v.completeness = victoryStruct::PARTIAL;
    } else {
        return LevelFile::quote(completeness) + " is none of centre, whole and partial (Victory completeness)";
    }
    if (Object::hasOpt(words, "--drawRect")) {
        auto* outline = new StaticBox(&world, v.x, v.y, v.w, v.h, false);
        outline->outlineOf = conditionName;
        objects.push_back(outline);
    }
    if (victoryConditions.count(conditionName) == 0) victoryNames.push_back(conditionName);
    victoryConditions[conditionName] = v;
    return std::string();
}

victoryStruct Level::findVictoryCondition(const std::string& conditionName) const {
    auto it = victoryConditions.find(conditionName);
    if (conditionName.empty() || it == victoryConditions.end()) return victoryStruct();  // AUTO, all zero
    return it->second;
}

void Level::resolveVictoryConditions() {
    goal = false;
    for (Object* object : objects) {
        auto it = object->data.find("vicCondName");
        if (it == object->data.end()) continue;
        object->victory.push_back(findVictoryCondition(it->second));
        goal = goal || object->victory.back().condition != victoryStruct::AUTO;
    }
}

int Level::update(int tick) {
    world.step();
    for (Object* object : objects) object->update(tick);
    if (testVictory()) {
        if (victoryTime == 0.0f) clock->setFrame(0);
        victoryTime += 1.0f;
    } else {
        stopVictoryClock();
    }
    return 0;
}

int Level::draw() {
    SpriteManager::drawBackdrop(background);
    for (Object* object : objects) object->draw();
    explodey->draw();
    clock->draw();
    if (victory() && victorySprite != nullptr && !victorySprite->empty()) {
        victorySprite->draw(TICK_X, TICK_Y, stretch(40.0f, victorySprite->width), stretch(40.0f, victorySprite->height),
                            0.0f, 1.0f);
    }
    return 0;
}

bool Level::testVictory() {
    // Nothing to bring anywhere is nothing to win: such a level would count as
    // won by itself once its length had passed.
    if (!goal) return false;
    for (Object* object : objects) {
        if (!object->isVictor()) return false;
    }
    return true;
}

bool Level::victory() { return victoryTime > static_cast<float>(length); }

int Level::reset() {
    // Contacts kept from before would warm-start the restarted level with the
    // impulses of another scene: drop them, so the level plays as first loaded.
    physics::ContactList<physics::TwoDee>* contacts = world.getContactList();
    if (contacts != nullptr) {
        for (Object::Body2D* body : world.bodies) contacts->removeContacts(body);
    }
    for (Object* object : objects) object->reset();
    return 1;
}

void Level::restart() {
    reset();
    stopVictoryClock();
}

void Level::keepLoadedPlacement(Object& object) {
    // The start a restart returns to is where the body really is, bit for bit:
    // a body's centre is computed from its shapes and can lie a rounding error
    // away from the file's numbers (805.00006 for 805), and a restart that moved
    // it by that much would play another level than the one loaded.
    object.cachedPosition = object.physics->getPosition();
    object.cachedOrientation = object.physics->getOrientation();
}

void Level::stopVictoryClock() {
    victoryTime = 0.0f;
    clock->hide();  // until the conditions hold
}

Bomb* Level::getBomb(float x, float y) {
    const physics::Vector2D p(x, y);
    for (Object* object : objects) {
        if (object->getType() == BOMB && object->contains(p)) return static_cast<Bomb*>(object);
    }
    return nullptr;
}

Object* Level::getObject(physics::Vector2D& p) {
    for (Object* object : objects) {
        if (object->contains(p)) return object;
    }
    return nullptr;
}

void Level::deleteBody(Object& object) {
    if (object.physics == nullptr) return;
    world.remove(object.physics);  // nothing happens for a body that is not in the world
    delete object.physics;
    object.physics = nullptr;
}

int Level::removeObject(Object* o) {
    auto it = std::find(objects.begin(), objects.end(), o);
    if (it == objects.end()) return 1;
    deleteBody(*o);
    objects.erase(it);
    delete o;
    return 0;
}

void Level::explode(float x, float y, float power) {
    Bomb::explode(&world, x, y, power, 2.0f);
    explodey->x = x;
    explodey->y = y;
    explodey->setFrame(0);
}
