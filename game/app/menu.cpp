#include "game/app/menu.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "game/app/editor.h"
#include "game/app/keys.h"
#include "game/app/places.h"
#include "game/app/simulation.h"
#include "game/app/statemanager.h"
#include "game/objects/bomb.h"
#include "game/objects/game_scale.h"
#include "game/objects/level_list.h"
#include "game/objects/play_rules.h"
#include "game/objects/solution.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"

std::deque<MnuLevel> StateMenu::levelList;
progress::Store StateMenu::progress;

namespace {

const int kColumns = 4;
const float kIconSide = 16.0f;                 // icon body extent, window pixels
const float kGravity = -100.0f;                // icons fall gently when blown away, pixels / s^2
const float kSlideDistance = 400.0f;           // pixels left of the rest position at the start
const float kSlideSpeed = 12.0f;               // an icon arrives 1/12 of the fade-in after it starts
const int kNoRecordIcon = 3;                   // "lvlnone.tga"
const int kParColour = 0xfff2c0;

}  // namespace

StateMenu::StateMenu() : State(1.8f, 2.0f), world(physics::Globals::DEFAULT_TIMESTEP) {
    useGameScale();
    if (levelList.empty()) listAll();
    const char* icons[4] = {"lvlnew.tga", "lvldone.tga", "lvllocked.tga", "lvlnone.tga"};
    for (int i = 0; i < 4; ++i) lvlSprite[i].reset(new Sprite(icons[i]));
    backdrop.reset(new Sprite("backdrop3.tga"));
    // Off-screen until the fade-in places them.
    const int iconBodies = iconCount(levelList.size());
    for (int i = 0; i < iconBodies; ++i) {
        world.add(new physics::Body<physics::TwoDee>(new physics::Rect(
            physics::Vector2D(-32.0f, -32.0f), kIconSide, kIconSide, physics::Orientation2D(0.0f))));
    }
    world.setGravity(physics::Vector2D(0.0f, kGravity));
}

StateMenu::~StateMenu() = default;  // the world deletes the icon bodies

void StateMenu::listLevels(const std::string& path, const std::string& dir, bool missingIsFine) {
    std::vector<std::string> names;
    std::vector<int> lines;
    std::string error;
    if (!levellist::read(path, names, error, &lines)) {
        std::error_code ec;
        if (!missingIsFine || std::filesystem::exists(path, ec)) std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        const std::string where = path + ", line " + std::to_string(lines[i]) + ": ";
        if (!levellist::isValidName(name)) {
            std::fprintf(stderr, "%s\"%s\" is not a level name (%s); left out\n", where.c_str(),
                         levellist::printable(name).c_str(), levellist::NAME_RULE);
            continue;
        }
        MnuLevel record;
        record.level = name;
        record.dir = dir;
        const std::string file = record.file(".lvl");
        // A level without its file would load as an empty field that wins itself.
        std::ifstream probe(file, std::ios::binary);
        std::error_code ec;
        if (!probe || std::filesystem::is_directory(file, ec)) {
            std::fprintf(stderr, "%s%s cannot be read (%s); left out\n", where.c_str(), file.c_str(),
                         std::strerror(probe ? EISDIR : errno));
            continue;
        }
        if (!addLevel(name, dir)) {
            std::fprintf(stderr, "%s\"%s\" is listed already; left out\n", where.c_str(), name.c_str());
            continue;
        }
        leveltools::Solution solution;
        std::string why;
        if (leveltools::readCurrentSolution(file, record.file(".sol"), solution, why)) levelList.back().par = solution.par;
    }
}

void StateMenu::listAll() {
    if (!levelList.empty()) return;
    listLevels(levellist::FILE_NAME);
    const std::string& playerDir = places::playerDir();
    const std::size_t shipped = levelList.size();
    progress = progress::Store(places::playerFile(progress::FILE_NAME));
    if (!playerDir.empty()) {
        listLevels(places::playerFile(levellist::FILE_NAME), playerDir, true);
        const std::string message = progress.load();
        if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
    }
    if (levelList.size() > static_cast<std::size_t>(MAX_ICONS)) {
        std::fprintf(stderr, "%zu levels are listed (%zu shipped, %zu of yours); the menu shows the first %d\n",
                     levelList.size(), shipped, levelList.size() - shipped, MAX_ICONS);
    }
    for (MnuLevel& record : levelList) {
        auto found = progress.results.find(record.level);
        if (found == progress.results.end()) continue;
        record.state = found->second.state;
        record.clicks = found->second.clicks;
        record.time = found->second.time;
    }
}

void StateMenu::recordResult(MnuLevel& record, bool win, int clicks, int time) {
    progress::Result& result = progress.results[record.level];
    result = {record.state, record.clicks, record.time};
    progress::record(result, win, clicks, time);
    record.state = result.state;
    record.clicks = result.clicks;
    record.time = result.time;
    const std::string message = progress.save();
    if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
}

int StateMenu::iconCount(std::size_t levels) {
    return static_cast<int>(std::min<std::size_t>(std::max<std::size_t>(levels, ICONS), MAX_ICONS));
}

bool StateMenu::addLevel(const std::string& name, const std::string& dir) {
    if (name.empty()) return false;
    for (const MnuLevel& record : levelList) {
        if (record.level == name) return false;
    }
    MnuLevel record;
    record.level = name;
    record.dir = dir;
    levelList.push_back(record);
    return true;
}

physics::Vector2D StateMenu::restPosition(int i) {
    const int c = i % kColumns;
    const int r = i / kColumns;
    return physics::Vector2D(static_cast<float>(100 + 25 * c + r * r), static_cast<float>(300 - 25 * r));
}

physics::Vector2D StateMenu::flyInPosition(int i, float v) {
    const int c = i % kColumns;
    const int r = i / kColumns;
    // Icons further right and higher start first: from 0 (top right) to 19/24.
    // Worked in double so that whole-pixel results (icon 20 at -7975 for v = 0.5)
    // are not cut to the pixel before by a float rounding error.
    const double k = (3 - c) + 3.2 * r;
    const double o = k / 24.0;
    double d = 1.0 - kSlideSpeed * (static_cast<double>(v) - o);
    if (d < 0.0) d = 0.0;
    const physics::Vector2D rest = restPosition(i);
    // Truncated toward zero to whole pixels.
    const double px = std::trunc(static_cast<double>(rest.x) - kSlideDistance * d * d);
    return physics::Vector2D(static_cast<float>(px), rest.y);
}

void StateMenu::placeIcons(float v) {
    for (int i = 0; i < static_cast<int>(world.bodies.size()); ++i) {
        world.bodies[static_cast<std::size_t>(i)]->setPosition(flyInPosition(i, v));
    }
}

void StateMenu::in(float /*t*/, float v) { placeIcons(v); }

void StateMenu::update(float /*t*/) {
    if (key(keys::ESCAPE)) {
        // The process ends here, past the main loop's shutdown: release the
        // cached pictures while the window still exists, as that shutdown would.
        SpriteManager::clear();
        std::exit(0);
    }
    if (!iconsPlaced) {
        // The fade-in may have ended before every icon arrived (a slow frame
        // skips past v = 0.875): put them all at rest before they can be chosen.
        for (std::size_t i = 0; i < world.bodies.size(); ++i) {
            world.bodies[i]->setPosition(restPosition(static_cast<int>(i)));
        }
        iconsPlaced = true;
    }

    int mx = 0, my = 0;
    const int b = mouse(mx, my);
    hover = nullptr;
    if (lockInput) return;
    if (key(keys::EDITOR)) {
        // On an icon: that level, to change or to start a new one from; elsewhere a new level.
        const int i = iconAt(physics::Vector2D(static_cast<float>(mx), static_cast<float>(my)));
        const MnuLevel* record = i >= 0 ? &levelList[static_cast<std::size_t>(i)] : nullptr;
        lockInput = true;
        StateManager::change(record != nullptr ? new StateEditor(record->level, record->dir) : new StateEditor);
        return;
    }

    const int i = iconAt(physics::Vector2D(static_cast<float>(mx), static_cast<float>(my)));
    if (i < 0) return;
    hover = &levelList[static_cast<std::size_t>(i)];
    if (b & buttons::LEFT) {
        explode(world.bodies[static_cast<std::size_t>(i)]);
        lockInput = true;
        StateManager::change(new StateSimulation(*hover));
    }
}

int StateMenu::iconAt(const physics::Vector2D& pointer) const {
    const std::size_t shown = std::min(world.bodies.size(), levelList.size());
    for (std::size_t i = 0; i < shown; ++i) {
        if (!levelList[i].level.empty() && world.bodies[i]->contains(pointer)) return static_cast<int>(i);
    }
    return -1;
}

void StateMenu::out(float /*t*/, float /*v*/) { world.step(); }

void StateMenu::explode(physics::Body<physics::TwoDee>* body) {
    body->setStatic(true);
    const physics::Vector2D p = body->getPosition();
    Bomb::explode(&world, p.x, p.y, PlayRules::BLAST_POWER, 1.0f);  // the blast of a click in a level
}

void StateMenu::draw() {
    SpriteManager::drawBackdrop(backdrop.get());
    for (std::size_t i = 0; i < world.bodies.size(); ++i) {
        const int icon = i < levelList.size() ? levelList[i].state : kNoRecordIcon;
        Sprite* sprite = lvlSprite[icon >= 0 && icon < 4 ? icon : kNoRecordIcon].get();
        const physics::Body<physics::TwoDee>* body = world.bodies[i];
        sprite->draw(body->getPosition().x, body->getPosition().y, 1.0f, 1.0f, body->getOrientation().getAngle(),
                     1.0f);
    }
    if (hover != nullptr) {
        SpriteManager::drawNumber(220, 300, hover->time / 60, 0.5f);
        SpriteManager::drawNumber(280, 300, hover->clicks, 0.5f);
        if (hover->par >= 0) Text::draw(("par " + std::to_string(hover->par)).c_str(), 300, 292, 18, kParColour);
    }
}
