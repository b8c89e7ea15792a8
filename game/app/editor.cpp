#include "game/app/editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/app/keys.h"
#include "game/app/menu.h"
#include "game/app/places.h"
#include "game/app/statemanager.h"
#include "game/objects/ball.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/objects/levelwriter.h"
#include "game/objects/polygon.h"
#include "game/objects/safe_write.h"
#include "game/objects/solution.h"
#include "game/objects/staticbox.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "physics/physics.h"

const char* const StateEditor::NEW_NAME = "mylevel";

namespace {

const int kSnap = 5;          // grid of left Shift, units
const float kMinSize = 5.0f;  // smallest extent sizing gives, units
const float kAreaEdge = 8.0f; // a press this close to a target area's outline picks the area, units
const int kMaxFuse = 99;      // seconds

const int kWhite = 0xffffff;
const int kRed = 0xff0000;
const int kYellow = 0xffff00;
const int kCyan = 0x80e0ff;

// The keys the editor acts on once per press.
const int kKeypadMinus = 269, kKeypadPlus = 270;
const int kPlus[] = {'+', '=', kKeypadPlus};  // '=' is '+' without Shift
const int kMinus[] = {'-', kKeypadMinus};
const int kLinkKey = 'l', kTurnKey = 't', kShapeKey = 'c', kUndoKey = 'z', kRedoKey = 'y', kHelpKey = 'h',
          kProveKey = 'p';

// Convex outlines in texture coordinates (0..1 across the picture), cycled by 'c'.
struct Shape {
    int n;
    float xy[12];
};
const Shape kShapes[] = {
    {3, {0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 1.0f}},                                   // triangle
    {3, {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f}},                                   // ramp
    {5, {0.5f, 1.0f, 0.0f, 0.62f, 0.19f, 0.0f, 0.81f, 0.0f, 1.0f, 0.62f}},       // pentagon
    {6, {0.25f, 0.0f, 0.75f, 0.0f, 1.0f, 0.5f, 0.75f, 1.0f, 0.25f, 1.0f, 0.0f, 0.5f}},  // hexagon
};
const int kShapeCount = static_cast<int>(sizeof kShapes / sizeof kShapes[0]);

const StaticBox* areaOutline(const Object* o) {
    const auto* box = dynamic_cast<const StaticBox*>(o);
    return box != nullptr && !box->hasPhysics ? box : nullptr;
}

// Where the editor holds an object: an area's outline has no shaped body.
physics::Vector2D centreOf(const Object* o) {
    if (const StaticBox* area = areaOutline(o)) return area->noPhysPos;
    return o->physics != nullptr ? o->physics->getPosition() : o->cachedPosition;
}

bool linkable(const Object* o) {
    if (dynamic_cast<const Ball*>(o) != nullptr || dynamic_cast<const Box*>(o) != nullptr) return true;
    const auto* polygon = dynamic_cast<const Polygon0*>(o);
    return polygon != nullptr && !polygon->isStaticPolygon;
}

// Only the boundary walls, on the editor's backdrop.
std::unique_ptr<Level> emptyLevel() {
    auto level = std::make_unique<Level>("");
    level->backgroundName = "backdrop2.tga";
    return level;
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

}  // namespace

StateEditor::StateEditor() : State(0.0f, 0.0f), level(emptyLevel()), rules(*level) {
    addTemplates();
    std::string error;
    LevelWriter::write(*level, text, error);  // the walls and the background: always expressible
    savedText = text;
    rebuild(text);
}

StateEditor::StateEditor(const std::string& levelName, const std::string& levelDir)
    : State(0.0f, 0.0f), level(new Level(levelName, levelDir + "/levels/" + levelName + ".lvl")), rules(*level) {
    addTemplates();
    std::string error;
    if (!LevelWriter::write(*level, text, error)) {
        // Never edit what a save could not write back whole: start afresh instead.
        say(levelName + " cannot be edited: " + error);
        level = emptyLevel();
        LevelWriter::write(*level, text, error);
    } else {
        name = levelName;
        dir = levelDir;
        own = !places::playerDir().empty() && levelDir == places::playerDir();
        say(own ? "Editing " + name : "Editing " + name + ": s saves it as a new level of yours");
    }
    savedText = text;
    rebuild(text);
}

StateEditor::~StateEditor() { proof.cancel(); }

void StateEditor::addTemplates() {
    addTemplate("StaticBox", "100", "100", "32", "32", "wall.tga", nullptr);
    addTemplate("Ball", "100", "100", "32", "orangeball.tga", nullptr, nullptr);
    addTemplate("Box", "100", "100", "32", "32", "crate1.tga", nullptr);
    addTemplate("BlackHole", "100", "100", "1500", nullptr, nullptr, nullptr);
    addTemplate("Text", "100", "100", "Some text", nullptr, nullptr, nullptr);
    const std::vector<std::vector<std::string>> more = {
        {"Victory", "goal", "enter", "100", "100", "120", "80", "centre", "--drawRect"},
        {"Bomb", "100", "100", "3"},
        {"Polygon", "100", "100", "48", "tex_wood.tga", "3", "0", "0", "1", "0", "0.5", "1"},
        {"Polygon", "100", "100", "48", "tex_stone.tga", "3", "0", "0", "1", "0", "0.5", "1", "--static"},
    };
    const char* labels[] = {"Target area", "Bomb", "Polygon", "Static polygon"};
    for (std::size_t i = 0; i < more.size() && templateCount < MAX_TEMPLATES; ++i) {
        Template& t = templates[templateCount++];
        for (int w = 0; w < TEMPLATE_WORDS; ++w) t.data[w] = w < static_cast<int>(more[i].size()) ? more[i][w] : "";
        t.label = labels[i];
        t.xWord = more[i][0] == "Victory" ? 3 : 1;
    }
}

bool StateEditor::addTemplate(const char* kind, const char* a, const char* b, const char* c, const char* d,
                              const char* e, const char* f) {
    if (templateCount >= MAX_TEMPLATES) return false;
    Template& t = templates[templateCount++];
    const char* words[7] = {kind, a, b, c, d, e, f};
    for (int i = 0; i < 7; ++i) t.data[i] = words[i] ? words[i] : "";
    for (int i = 7; i < TEMPLATE_WORDS; ++i) t.data[i].clear();
    t.label.clear();
    t.xWord = 1;
    return true;
}

physics::Vector2D StateEditor::snapped(physics::Vector2D pos, int snap) {
    if (snap == 0) return pos;
    const float s = static_cast<float>(snap);
    return physics::Vector2D(std::floor(pos.x / s) * s, std::floor(pos.y / s) * s);
}

void StateEditor::say(const std::string& what) {
    message = what;
    messageUntil = clockNow + MESSAGE_SECONDS;
}

Object* StateEditor::pick(physics::Vector2D p) const {
    if (Object* o = level->getObject(p)) return o;
    for (Object* o : level->objects) {
        const StaticBox* area = areaOutline(o);
        if (area == nullptr) continue;
        const float dx = std::fabs(p.x - area->noPhysPos.x) - area->width / 2;
        const float dy = std::fabs(p.y - area->noPhysPos.y) - area->height / 2;
        // Within kAreaEdge of the outline, inside or out.
        if (dx <= kAreaEdge && dy <= kAreaEdge && (dx >= -kAreaEdge || dy >= -kAreaEdge)) return o;
    }
    return nullptr;
}

void StateEditor::update(float t) {
    clockNow = t;
    pollProof();
    int mx = 0, my = 0;
    const int b = mouse(mx, my);
    const physics::Vector2D mpos(static_cast<float>(mx), static_cast<float>(my));
    const int click = b & ~lastMouse;  // buttons pressed since the previous update

    // Keys act once per press.
    static const int watched[] = {keys::ESCAPE, keys::RETURN, keys::SAVE, kLinkKey, kTurnKey,    kShapeKey,
                                  kUndoKey,     kRedoKey,     kHelpKey,   kProveKey, '+', '=', kKeypadPlus,
                                  '-',          kKeypadMinus};
    std::vector<int> held, fresh;
    for (int k : watched) {
        if (!key(k)) continue;
        held.push_back(k);
        if (std::find(lastKeys.begin(), lastKeys.end(), k) == lastKeys.end()) fresh.push_back(k);
    }
    lastKeys = held;
    const auto pressedNow = [&](int k) { return std::find(fresh.begin(), fresh.end(), k) != fresh.end(); };

    if (!edit) {
        rules.update();
        if (click & buttons::LEFT) rules.click(mpos.x, mpos.y);
        // Back to the layout as the file has it, so nothing of the run stays.
        if (pressedNow(keys::ESCAPE)) {
            rebuild(text);
            edit = true;
        }
        lastMouse = b;
        return;
    }

    editUpdate(b, click, mpos);
    for (int k : fresh) {
        if (k == keys::ESCAPE) {
            if (unsaved() && !leaving) {
                leaving = true;
                say("Unsaved changes: s saves them, Escape again leaves without saving");
            } else {
                proof.cancel();
                left = true;
                StateManager::change(new StateMenu);
                return;
            }
        } else if (k == keys::RETURN) {
            commit();
            rebuild(text);  // a fresh level: the run starts exactly as the saved file would
            select = nullptr;
            edit = false;
            break;
        } else {
            keyAction(k);
        }
    }
    lastMouse = b;
}

void StateEditor::editUpdate(int b, int click, const physics::Vector2D& mpos) {
    const int snap = key(keys::LEFT_SHIFT) ? kSnap : 0;
    for (int i = 0; i < std::min(templateCount, 10); ++i) {
        if (key(i == 9 ? '0' : keys::DIGIT_1 + i)) cTemplate = i;
    }
    if (click != 0) {
        select = pick(mpos);
        if (select != nullptr) moveOffset = centreOf(select) - mpos;
        pressedAt = mpos;
    }
    if (select == nullptr && (click & buttons::RIGHT) && addObject(cTemplate, mpos, snap)) {
        select = level->objects.back();
    }
    if (select != nullptr && (b & buttons::LEFT)) moveObject(select, mpos + moveOffset, snap);
    // A plain right click keeps the size; sizing starts once the pointer moves.
    if (select != nullptr && (b & buttons::RIGHT) && !(mpos == pressedAt)) sizeObject(select, mpos, snap);
    if (select != nullptr && key(keys::DELETE)) {
        level->removeObject(select);
        select = nullptr;
        commit();
    }
    // A drag or a placement ends when the buttons are let go.
    if (lastMouse != 0 && b == 0) commit();
}

void StateEditor::keyAction(int k) {
    Object* o = select;
    if (k == keys::SAVE) {
        save();
    } else if (k == kUndoKey) {
        if (!undo()) say("Nothing to undo");
    } else if (k == kRedoKey) {
        if (!redo()) say("Nothing to redo");
    } else if (k == kHelpKey) {
        help = !help;
    } else if (k == kProveKey) {
        prove();
    } else if (k == kLinkKey) {
        link(o);
    } else if (k == kTurnKey) {
        const StaticBox* area = areaOutline(o);
        auto it = area != nullptr ? level->victoryConditions.find(area->outlineOf) : level->victoryConditions.end();
        if (it == level->victoryConditions.end()) {
            say("t turns a selected target area between enter and leave");
            return;
        }
        victoryStruct& v = it->second;
        v.condition = v.condition == victoryStruct::ENTER ? victoryStruct::LEAVE : victoryStruct::ENTER;
        // Said before the change is made: it builds the level anew, and `area` with it.
        say(area->outlineOf + (v.condition == victoryStruct::ENTER ? ": enter it" : ": leave it"));
        commit();
    } else if (k == kShapeKey) {
        auto* polygon = dynamic_cast<Polygon0*>(o);
        if (polygon == nullptr) {
            say("c changes the shape of a selected polygon");
            return;
        }
        int current = -1;
        for (int s = 0; s < kShapeCount && current < 0; ++s) {
            bool same = kShapes[s].n == polygon->pointNum;
            for (int i = 0; same && i < kShapes[s].n; ++i) {
                same = polygon->points[i] == physics::Vector2D(kShapes[s].xy[2 * i], kShapes[s].xy[2 * i + 1]);
            }
            if (same) current = s;
        }
        const Shape& next = kShapes[(current + 1) % kShapeCount];
        polygon->pointNum = next.n;
        for (int i = 0; i < next.n; ++i) polygon->points[i] = physics::Vector2D(next.xy[2 * i], next.xy[2 * i + 1]);
        commit();
    } else {
        auto* bomb = dynamic_cast<Bomb*>(o);
        const bool plus = std::find(std::begin(kPlus), std::end(kPlus), k) != std::end(kPlus);
        const bool minus = std::find(std::begin(kMinus), std::end(kMinus), k) != std::end(kMinus);
        if (!plus && !minus) return;
        if (bomb == nullptr) {
            say("+ and - set the fuse of a selected bomb");
            return;
        }
        const int seconds = std::clamp(bomb->getTime() / 60 + (plus ? 1 : -1), 1, kMaxFuse);
        bomb->setTime(seconds * 60);
        commit();
        say("Fuse " + std::to_string(seconds) + " s");
    }
}

void StateEditor::link(Object* o) {
    if (o == nullptr || !linkable(o)) {
        say("l links a selected ball, crate or movable polygon to a target area");
        return;
    }
    std::vector<std::string> areas;
    for (const Object* object : level->objects) {
        if (const StaticBox* area = areaOutline(object)) areas.push_back(area->outlineOf);
    }
    if (areas.empty()) {
        say("Place a target area first (6)");
        return;
    }
    // Each press: the next area in object order, and after the last none.
    const std::string current = o->data["vicCondName"];
    auto it = std::find(areas.begin(), areas.end(), current);
    const std::string next = it == areas.end() ? areas.front() : (it + 1 == areas.end() ? "" : *(it + 1));
    o->data["vicCondName"] = next;
    commit();
    say(next.empty() ? "Not linked" : "Linked to " + next);
}

bool StateEditor::addObject(int t, physics::Vector2D pos, int snap) {
    // The template that is built is the one checked.
    if (t < 0 || t >= templateCount) return false;
    pos = snapped(pos, snap);
    // A copy, with the terminating empty word the object constructors look for.
    std::string words[TEMPLATE_WORDS + 1];
    const Template& tp = templates[t];
    for (int i = 0; i < TEMPLATE_WORDS; ++i) words[i] = tp.data[i];
    if (tp.data[0] == "Victory") {
        // A name of its own, so that links tell the areas apart.
        std::string areaName = tp.data[1];
        for (int n = 2; level->victoryConditions.count(areaName) != 0; ++n) areaName = tp.data[1] + std::to_string(n);
        words[1] = areaName;
        words[tp.xWord] = std::to_string(static_cast<int>(std::lround(pos.x)));
        words[tp.xWord + 1] = std::to_string(static_cast<int>(std::lround(pos.y)));
    }
    // A Victory line with an outline adds the outline itself; the others are returned.
    const std::size_t before = level->objects.size();
    Object* o = level->constructObject(words);
    if (o != nullptr) {
        level->objects.push_back(o);
    } else if (level->objects.size() > before) {
        o = level->objects.back();
    } else {
        return false;
    }
    moveObject(o, pos, 0);
    return true;
}

bool StateEditor::moveObject(Object* o, physics::Vector2D pos, int snap) {
    pos = snapped(pos, snap);
    if (o->physics != nullptr) o->physics->setPosition(pos);
    o->cachedPosition = pos;
    if (areaOutline(o) != nullptr) {
        auto* area = static_cast<StaticBox*>(o);
        area->noPhysPos = pos;
        areaChanged(*area);
    }
    return true;
}

void StateEditor::areaChanged(const StaticBox& area) {
    // The condition goes where its outline is: the writer would otherwise add the
    // condition's old place after the outline's line, and that last line counts.
    auto it = level->victoryConditions.find(area.outlineOf);
    if (it == level->victoryConditions.end()) return;
    it->second.x = static_cast<int>(std::lround(area.noPhysPos.x));
    it->second.y = static_cast<int>(std::lround(area.noPhysPos.y));
    it->second.w = static_cast<int>(std::lround(area.width));
    it->second.h = static_cast<int>(std::lround(area.height));
}

bool StateEditor::sizeObject(Object* o, physics::Vector2D pos, int snap) {
    pos = snapped(pos, snap);
    if (o->physics == nullptr) return true;
    const physics::Vector2D opos = centreOf(o);
    physics::Vector2D size(std::fabs(opos.x - pos.x), std::fabs(opos.y - pos.y));
    if (size.x < kMinSize) size.x = kMinSize;
    if (size.y < kMinSize) size.y = kMinSize;
    // Contacts kept from test mode point at the shape about to be replaced.
    if (physics::ContactList<physics::TwoDee>* contacts = level->world.getContactList()) {
        contacts->removeContacts(o->physics);
    }
    o->size(size);
    if (const StaticBox* area = areaOutline(o)) areaChanged(*area);
    return true;
}

void StateEditor::rebuild(const std::string& levelText) {
    const std::size_t count = level->objects.size();
    int index = -1;
    int i = 0;
    for (Object* o : level->objects) {
        if (o == select) index = i;
        ++i;
    }
    std::istringstream in(levelText);
    level.reset(new Level(name.empty() ? "new level" : name, in));
    rules = PlayRules(*level);
    select = nullptr;
    // The same object by its place in the list; a change that added one in
    // front of it (a boundary wall moved away, which comes back at the edge) loses it.
    if (index >= 0 && (level->objects.size() == count || index + 1 == static_cast<int>(count))) {
        const std::size_t at = level->objects.size() == count ? static_cast<std::size_t>(index) : level->objects.size() - 1;
        select = *std::next(level->objects.begin(), static_cast<long>(at));
    }
}

bool StateEditor::commit() {
    std::string next, error;
    if (!LevelWriter::write(*level, next, error)) {
        say("That change cannot be saved, so it is undone: " + error);
        rebuild(text);
        return false;
    }
    if (next == text) return true;
    undoTexts.push_back(text);
    if (static_cast<int>(undoTexts.size()) > MAX_UNDO) undoTexts.erase(undoTexts.begin());
    redoTexts.clear();
    text = next;
    leaving = false;
    rebuild(text);
    return true;
}

bool StateEditor::undo() { return travel(undoTexts, redoTexts); }

bool StateEditor::redo() { return travel(redoTexts, undoTexts); }

bool StateEditor::travel(std::vector<std::string>& from, std::vector<std::string>& to) {
    if (from.empty()) return false;
    to.push_back(text);
    text = from.back();
    from.pop_back();
    select = nullptr;
    rebuild(text);
    return true;
}

std::string StateEditor::freeName() {
    StateMenu::listAll();
    const std::string levels = places::playerDir().empty() ? std::string() : places::playerFile("levels");
    std::vector<std::string> listed;
    std::string ignored;
    if (!places::playerDir().empty()) levellist::read(places::playerFile(levellist::FILE_NAME), listed, ignored);
    for (int n = 1;; ++n) {
        const std::string candidate = NEW_NAME + std::to_string(n);
        bool taken = std::find(listed.begin(), listed.end(), candidate) != listed.end();
        for (const MnuLevel& record : StateMenu::levelList) taken = taken || record.level == candidate;
        std::error_code ec;
        for (const char* ext : {".lvl", ".sol"}) {
            taken = taken || std::filesystem::exists("levels/" + candidate + ext, ec);
            if (!levels.empty()) taken = taken || std::filesystem::exists(levels + "/" + candidate + ext, ec);
        }
        if (!taken) return candidate;
    }
}

std::string StateEditor::savePath() const {
    if (places::playerDir().empty()) return std::string();
    return places::playerFile("levels/" + (own ? name : freeName()) + ".lvl");
}

int StateEditor::save() {
    commit();  // what the screen shows, also after direct calls of addObject and friends
    const std::string path = savePath();
    if (path.empty()) {
        say("Could not save: no place for the player's files (HOME is not set)");
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    const std::string saveName = own ? name : std::filesystem::path(path).stem().string();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string error;
    if (!replaceFile(path, text, error)) {
        say("Could not save " + path + ": " + error);
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    name = saveName;
    dir = places::playerDir();
    own = true;
    savedText = text;
    leaving = false;
    std::string said = "Saved " + name;
    StateMenu::addLevel(name, dir);
    std::string listError;
    if (!levellist::append(places::playerFile(levellist::FILE_NAME), name, listError)) said += ", but " + listError;
    MnuLevel* record = nullptr;
    for (MnuLevel& r : StateMenu::levelList) {
        if (r.level == name) record = &r;
    }
    if (record != nullptr) record->par = -1;
    if (!provenText.empty() && provenText == text && proven.found) {
        const std::string solPath = places::playerFile("levels/" + name + ".sol");
        if (leveltools::writeSolution(solPath, proven.solution, name, error)) {
            said += ", with its solution (par " + std::to_string(proven.solution.par) + ")";
            if (record != nullptr) record->par = proven.solution.par;
        } else {
            said += ", but not its solution: " + error;
        }
    }
    say(said);
    std::printf("%s (%s)\n", said.c_str(), path.c_str());
    std::fflush(stdout);
    return 0;
}

void StateEditor::quitting() {
    if (left) return;  // the player chose to leave without saving
    commit();  // a drag still held ends here
    if (!unsaved()) return;
    const std::string opened = name;
    own = false;  // a new name: the opened file keeps what was saved in it
    if (save() == 0) {
        std::printf("The editor's unsaved changes%s are kept as %s\n",
                    opened.empty() ? "" : (" to " + opened).c_str(), name.c_str());
        std::fflush(stdout);
    }
}

bool StateEditor::prove() {
    commit();
    if (!level->goal) {
        proofLine = "Nothing to win: link a ball or crate to a target area (l)";
        provenText.clear();
        return false;
    }
    proof.start(name.empty() ? "new level" : name, text, PROOF_SECONDS);
    provenText.clear();
    proofLine = "Proving...";
    return true;
}

void StateEditor::pollProof() {
    EditorProof::Result result;
    if (proof.running()) {
        proofLine = "Proving... " + plural(static_cast<int>(proof.simulations()), "replay");
        return;
    }
    if (!proof.poll(result)) return;
    proven = result;
    provenText = result.text;
    if (result.found) {
        char playable[16];
        std::snprintf(playable, sizeof playable, "%.2f", result.solution.playable);
        proofLine = "winnable in " + plural(result.solution.par, "explosion") + ", playable " + playable;
    } else {
        proofLine = "no solution found";
    }
    std::printf("Proof of %s: %s\n", name.empty() ? "the new level" : name.c_str(), proofLine.c_str());
    std::fflush(stdout);
}

std::string StateEditor::describe(const Object* o) const {
    if (o == nullptr) return std::string();
    if (const StaticBox* area = areaOutline(o)) {
        auto it = level->victoryConditions.find(area->outlineOf);
        const bool leave = it != level->victoryConditions.end() && it->second.condition == victoryStruct::LEAVE;
        return "Target area " + area->outlineOf + (leave ? ": leave it (t)" : ": enter it (t)");
    }
    if (const auto* bomb = dynamic_cast<const Bomb*>(o)) return "Bomb, fuse " + std::to_string(bomb->getTime() / 60) + " s (+ -)";
    const auto* kind = Object::kindOf(*o);
    std::string line = kind != nullptr ? kind->first : std::string("Object");
    if (dynamic_cast<const StaticBox*>(o) != nullptr) line = "Wall";
    if (const auto* polygon = dynamic_cast<const Polygon0*>(o)) {
        line = polygon->isStaticPolygon ? "Static polygon (c: shape)" : "Polygon (c: shape)";
    }
    if (linkable(o)) {
        auto it = o->data.find("vicCondName");
        line += it != o->data.end() && !it->second.empty() ? ", linked to " + it->second : ", not linked (l)";
    }
    return line;
}

std::vector<StateEditor::Label> StateEditor::labels() const {
    std::vector<Label> out;
    const bool showMessage = !message.empty() && clockNow < messageUntil;
    if (!edit) {
        out.push_back({"Level Editor - Test Mode", 10, 10, 29, kWhite});
        out.push_back({"left click: explode   Esc: back to editing", 200, 575, 16, kWhite});
        if (!level->goal) out.push_back({"Nothing to win: link a ball or crate to a target area (l)", 200, 555, 16, kYellow});
        return out;
    }
    out.push_back({"Level Editor", 10, 10, 29, kWhite});
    for (int i = 0; i < templateCount; ++i) {
        const Template& t = templates[i];
        const std::string key = i == 9 ? "0" : std::to_string(i + 1);
        out.push_back({key + ". " + (t.label.empty() ? t.data[0] : t.label), 10, 575 - 16 * i, 18,
                       i == cTemplate ? kRed : kYellow});
    }
    out.push_back({"Right click: Create and Resize object", 200, 575, 18, kWhite});
    out.push_back({"Left click:  Select and Move object", 200, 555, 18, kWhite});
    out.push_back({"Del delete   l link   z undo   s save   p prove   Return test   h all keys", 200, 537, 14, kWhite});
    if (help) {
        const char* const lines[][2] = {
            {"1 - 9", "choose what the right button places"},
            {"right", "place; a drag sizes; on an object: resize"},
            {"left", "select and drag; on empty space: select none"},
            {"Shift", "snap to 5 pixels"},
            {"Delete", "remove the selected object"},
            {"l", "link the selected ball, crate or polygon"},
            {"", "to the next target area (then to none)"},
            {"t", "target area: enter or leave"},
            {"+  -", "bomb fuse, seconds"},
            {"c", "polygon shape"},
            {"z  y", "undo, redo"},
            {"s", "save as your own level"},
            {"p", "prove winnable (runs while you edit)"},
            {"Return", "test: left clicks explode, Esc stops"},
            {"Esc", "menu (twice with unsaved changes)"},
            {"h", "hide this"},
        };
        int y = 470;
        for (const auto& line : lines) {
            out.push_back({line[0], 200, y, 16, kYellow});
            out.push_back({line[1], 280, y, 16, kCyan});
            y -= 20;
        }
    }
    std::string status = name.empty() ? "new level" : own ? name : name + " (saved as a new level of yours)";
    if (unsaved()) status += " - unsaved changes";
    out.push_back({status, 10, 44, 16, kWhite});
    if (select != nullptr) out.push_back({describe(select), 10, 64, 16, kCyan});
    if (!proofLine.empty()) {
        const bool stale = !provenText.empty() && provenText != text;
        out.push_back({proofLine + (stale ? " (before the last change)" : ""), 200, 499, 16, kYellow});
    }
    if (showMessage) out.push_back({message, 200, 517, 16, kWhite});
    return out;
}

void StateEditor::drawMarks() {
    if (dot == nullptr) dot = SpriteManager::get("dot.tga");
    if (dot->empty()) return;
    const float scale = 8.0f / static_cast<float>(dot->width);  // dots 8 units across
    const auto dotted = [&](physics::Vector2D a, physics::Vector2D b, float alpha) {
        const physics::Vector2D d = b - a;
        const int steps = std::max(1, static_cast<int>(d.length() / 10.0f));
        for (int i = 0; i <= steps; ++i) {
            const physics::Vector2D p = a + d * (static_cast<float>(i) / static_cast<float>(steps));
            dot->draw(p.x, p.y, scale, scale, 0.0f, alpha);
        }
    };
    // Links: from each linked object to the centre of its area.
    for (Object* o : level->objects) {
        auto name = o->data.find("vicCondName");
        if (name == o->data.end() || name->second.empty()) continue;
        auto it = level->victoryConditions.find(name->second);
        if (it == level->victoryConditions.end()) continue;
        dotted(centreOf(o), physics::Vector2D(static_cast<float>(it->second.x), static_cast<float>(it->second.y)), 0.7f);
    }
    // The selection: a dotted box around it.
    if (select == nullptr) return;
    physics::Vector2D lo, hi;
    if (const StaticBox* area = areaOutline(select)) {
        const physics::Vector2D half(area->width / 2, area->height / 2);
        lo = area->noPhysPos - half;
        hi = area->noPhysPos + half;
    } else if (select->physics != nullptr && !select->physics->getShapes().empty()) {
        const physics::AARect box = select->physics->getAABB();
        lo = box.getMin();
        hi = box.getMax();
    } else {
        lo = hi = centreOf(select);
    }
    lo = lo - physics::Vector2D(4, 4);
    hi = hi + physics::Vector2D(4, 4);
    dotted(lo, physics::Vector2D(hi.x, lo.y), 1.0f);
    dotted(physics::Vector2D(hi.x, lo.y), hi, 1.0f);
    dotted(hi, physics::Vector2D(lo.x, hi.y), 1.0f);
    dotted(physics::Vector2D(lo.x, hi.y), lo, 1.0f);
}

void StateEditor::draw() {
    level->draw();
    if (edit) drawMarks();
    for (const Label& label : labels()) Text::draw(label.text.c_str(), label.x, label.y, label.size, label.colour);
}
