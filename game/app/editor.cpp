#include "game/app/editor.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "game/app/keys.h"
#include "game/app/menu.h"
#include "game/app/places.h"
#include "game/app/statemanager.h"
#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/objects/levelwriter.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "physics/physics.h"

const char* const StateEditor::SAVE_NAME = "mylevel1";
const char* const StateEditor::SAVE_PATH = "levels/mylevel1.lvl";

namespace {

const int kSnap = 5;        // grid of left Shift, units
const float kMinSize = 5.0f;

const int kWhite = 0xffffff;
const int kRed = 0xff0000;
const int kYellow = 0xffff00;

}  // namespace

StateEditor::StateEditor() : State(0.0f, 0.0f), level(new Level("")), rules(*level) {
    level->backgroundName = "backdrop2.tga";
    level->background = SpriteManager::get(level->backgroundName);
    addTemplate("StaticBox", "100", "100", "32", "32", "wall.tga", nullptr);
    addTemplate("Ball", "100", "100", "32", "orangeball.tga", nullptr, nullptr);
    addTemplate("Box", "100", "100", "32", "32", "crate1.tga", nullptr);
    addTemplate("BlackHole", "100", "100", "1500", nullptr, nullptr, nullptr);
    addTemplate("Text", "100", "100", "Some text", nullptr, nullptr, nullptr);
}

StateEditor::~StateEditor() = default;

bool StateEditor::addTemplate(const char* name, const char* a, const char* b, const char* c, const char* d,
                              const char* e, const char* f) {
    if (templateCount >= MAX_TEMPLATES) return false;
    Template& t = templates[templateCount++];
    const char* words[7] = {name, a, b, c, d, e, f};
    for (int i = 0; i < 7; ++i) t.data[i] = words[i] ? words[i] : "";
    for (int i = 7; i < TEMPLATE_WORDS; ++i) t.data[i].clear();
    return true;
}

physics::Vector2D StateEditor::snapped(physics::Vector2D pos, int snap) {
    if (snap == 0) return pos;
    const float s = static_cast<float>(snap);
    return physics::Vector2D(std::floor(pos.x / s) * s, std::floor(pos.y / s) * s);
}

void StateEditor::update(float t) {
    clockNow = t;
    int mx = 0, my = 0;
    const int b = mouse(mx, my);
    const physics::Vector2D mpos(static_cast<float>(mx), static_cast<float>(my));
    const int click = b & ~lastMouse;  // buttons pressed since the previous update
    const bool escape = key(keys::ESCAPE);

    if (edit) {
        const int snap = key(keys::LEFT_SHIFT) ? kSnap : 0;
        for (int i = 0; i < 5; ++i) {
            if (key(keys::DIGIT_1 + i)) cTemplate = i;
        }
        if (click != 0) {
            physics::Vector2D p = mpos;
            select = level->getObject(p);
            if (select != nullptr && select->physics != nullptr) moveOffset = select->physics->getPosition() - mpos;
        }
        if (select == nullptr && (click & buttons::RIGHT)) {
            addObject(cTemplate, mpos, snap);
            physics::Vector2D p = mpos;
            select = level->getObject(p);
        }
        if (select != nullptr && (b & buttons::LEFT)) moveObject(select, mpos + moveOffset, snap);
        if (select != nullptr && (b & buttons::RIGHT)) sizeObject(select, mpos, snap);
        if (select != nullptr && key(keys::DELETE)) {
            level->removeObject(select);
            select = nullptr;
        }
        const bool saveKey = key(keys::SAVE);
        if (saveKey && !lSave) save();
        lSave = saveKey;
        if (escape && !lEsc) {
            StateManager::change(new StateMenu);
            return;
        }
        if (key(keys::RETURN)) edit = false;
    } else {
        rules.update();
        if (click & buttons::LEFT) rules.click(mpos.x, mpos.y);
        if (escape && !lEsc) {
            // Back to the placed layout, so no victory clock or tick mark of the
            // run stays on screen while editing.
            rules.restart();
            edit = true;
        }
    }
    lastMouse = b;
    lEsc = escape;
}

bool StateEditor::addObject(int t, physics::Vector2D pos, int snap) {
    // The template that is built is the one checked.
    if (t < 0 || t >= templateCount) return false;
    // A copy, with the terminating empty word the object constructors look for.
    std::string words[TEMPLATE_WORDS + 1];
    for (int i = 0; i < TEMPLATE_WORDS; ++i) words[i] = templates[t].data[i];
    // The level wires a black hole to its object list as it builds it.
    Object* o = level->constructObject(words);
    if (o == nullptr) return false;
    moveObject(o, pos, snap);
    level->objects.push_back(o);
    return true;
}

bool StateEditor::moveObject(Object* o, physics::Vector2D pos, int snap) {
    pos = snapped(pos, snap);
    if (o->physics != nullptr) o->physics->setPosition(pos);
    o->cachedPosition = pos;
    return true;
}

bool StateEditor::sizeObject(Object* o, physics::Vector2D pos, int snap) {
    pos = snapped(pos, snap);
    if (o->physics == nullptr) return true;
    const physics::Vector2D opos = o->physics->getPosition();
    physics::Vector2D size(std::fabs(opos.x - pos.x), std::fabs(opos.y - pos.y));
    if (size.x < kMinSize) size.x = kMinSize;
    if (size.y < kMinSize) size.y = kMinSize;
    // Contacts kept from test mode point at the shape about to be replaced.
    if (physics::ContactList<physics::TwoDee>* contacts = level->world.getContactList()) {
        contacts->removeContacts(o->physics);
    }
    o->size(size);
    return true;
}

std::string StateEditor::savePath() {
    return places::playerDir().empty() ? std::string() : places::playerFile(SAVE_PATH);
}

int StateEditor::save() {
    messageUntil = clockNow + MESSAGE_SECONDS;
    const std::string path = savePath();
    if (path.empty()) {
        message = "Could not save: no place for the player's files (HOME is not set)";
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string error;
    if (!LevelWriter::save(*level, path, error)) {
        message = error;
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    message = "Saved " + path;
    std::string listError;
    if (!levellist::append(places::playerFile(levellist::FILE_NAME), SAVE_NAME, listError)) {
        message += ", but " + listError;
    }
    StateMenu::addLevel(SAVE_NAME, places::playerDir());
    std::printf("%s\n", message.c_str());
    return 0;
}

std::vector<StateEditor::Label> StateEditor::labels() const {
    std::vector<Label> out;
    if (edit) {
        out.push_back({"Level Editor", 10, 10, 29, kWhite});
        for (int i = 0; i < templateCount; ++i) {
            out.push_back({std::to_string(i + 1) + ". " + templates[i].data[0], 10, 575 - 16 * i, 18,
                           i == cTemplate ? kRed : kYellow});
        }
        if (select != nullptr) out.push_back({"Something", 700, 575, 18, kWhite});
        out.push_back({"Right click: Create and Resize object", 200, 575, 18, kWhite});
        out.push_back({"Left click:  Select and Move object", 200, 555, 18, kWhite});
        if (!message.empty() && clockNow < messageUntil) out.push_back({message, 250, 14, 18, kWhite});
    } else {
        out.push_back({"Level Editor - Test Mode", 10, 10, 29, kWhite});
    }
    return out;
}

void StateEditor::draw() {
    level->draw();
    for (const Label& label : labels()) Text::draw(label.text.c_str(), label.x, label.y, label.size, label.colour);
}
