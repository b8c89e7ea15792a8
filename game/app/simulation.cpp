#include "game/app/simulation.h"

#include <algorithm>
#include <cmath>

#include "game/app/keys.h"
#include "game/app/menu.h"
#include "game/app/statemanager.h"
#include "game/objects/level.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"

const char* const StateSimulation::HINT = "r restart   h show me   Esc menu";
const char* const StateSimulation::SHOWING_HINT = "showing the solution   r stop   Esc menu";

namespace {

const int kUpdatesPerSecond = 60;
const int kHintColour = 0xe8e8e8;
const int kMessageColour = 0xffe070;
const float kHintMargin = 6.0f;  // pixels kept clear around the key line

bool overlaps(const Text::Box& a, const Text::Box& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

}  // namespace

// The icons are looked up once, after the level's own pictures, rather than by name every frame.
StateSimulation::StateSimulation(MnuLevel& record)
    : State(0.0f, 0.0f),
      data(record),
      level(new Level(record.level, record.file(".lvl"))),
      rules(*level),
      bombIcon(SpriteManager::get("bombA.tga")),
      marker(SpriteManager::get("marker.tga")) {
    hintPlace(*level, hintX, hintY);
}

StateSimulation::~StateSimulation() = default;

void StateSimulation::update(float /*t*/) {
    ++updates;
    if (!show.active || !holdForMarker()) rules.update();

    if (key(keys::ESCAPE)) {
        endLevel(false);
        return;
    }

    int mx = 0, my = 0;
    const int b = mouse(mx, my);
    const bool showKey = key(keys::SHOW_ME);
    const bool showPressed = showKey && !showKeyHeld;
    showKeyHeld = showKey;

    if (key(keys::RESTART)) {
        // A restart is the whole update: a click in it neither explodes nor picks
        // the tick mark, and the victory clock starts over with the objects, so a
        // restarted level cannot count as won before it has been played.
        if (show.active) {
            reload();
        } else {
            rules.restart();
        }
        lastb = b;  // a button held through the restart is not a new press
        return;
    }
    if (show.active) {
        playShown();
        lastb = b;
        return;
    }
    if (showPressed) {
        startShowing();
        lastb = b;
        return;
    }

    const float x = static_cast<float>(mx), y = static_cast<float>(my);
    if ((b & buttons::LEFT) && rules.onTickMark(x, y)) endLevel(true);
    if ((b & buttons::LEFT) && lastb == 0) rules.click(x, y);
    lastb = b;
}

bool StateSimulation::startShowing() {
    leveltools::Solution solution;
    std::string why;
    if (!leveltools::readCurrentSolution(data.file(".lvl"), data.file(".sol"), solution, why)) {
        say(why);
        return false;
    }
    reload();
    show.active = true;
    show.solution = solution;
    return true;
}

void StateSimulation::reload() {
    level.reset(new Level(data.level, data.file(".lvl")));
    rules = PlayRules(*level);
    show = Showing();
}

bool StateSimulation::holdForMarker() {
    const std::vector<leveltools::Click>& clicks = show.solution.clicks;
    if (show.wonAt != 0 || show.next >= clicks.size()) return false;
    const int ahead = clicks[show.next].update - rules.time;  // steps until it goes off
    if (ahead > MARKER_LEAD) return false;
    ++show.markedFor;
    // The step about to run is the one after which the click goes off.
    return ahead <= 1 && show.markedFor <= MARKER_MIN;
}

// Runs after the update's step, as the level tools' replay does: a win ends
// the run before the update's clicks; a click goes off in the update it names.
void StateSimulation::playShown() {
    if (show.wonAt != 0) {
        if (updates - show.wonAt >= SHOWN_WIN_UPDATES) reload();
        return;
    }
    if (rules.won()) {
        show.wonAt = updates;
        say("solved with " + std::to_string(rules.explosions) +
            (rules.explosions == 1 ? " explosion" : " explosions"));
        return;
    }
    const std::vector<leveltools::Click>& clicks = show.solution.clicks;
    while (show.next < clicks.size() && clicks[show.next].update <= rules.time) {
        rules.click(static_cast<float>(clicks[show.next].x), static_cast<float>(clicks[show.next].y));
        ++show.next;
        show.markedFor = 0;
    }
    if (rules.time >= show.solution.limit) {
        reload();
        say("the stored solution did not win");
    }
}

void StateSimulation::say(const std::string& text) {
    message = text;
    messageUntil = updates + MESSAGE_UPDATES;
}

void StateSimulation::hintPlace(Level& level, int& x, int& y) {
    std::vector<Text::Box> taken = {
        {20, 515, 290, 575},                                              // the time, the count and the bomb
        {Level::TICK_X - 25, Level::TICK_Y - 25, Level::TICK_X + 25, Level::TICK_Y + 25}};  // tick mark and clock
    for (const auto& [name, area] : level.victoryConditions) {
        taken.push_back({area.x - area.w / 2.0f, area.y - area.h / 2.0f, area.x + area.w / 2.0f, area.y + area.h / 2.0f});
    }
    for (Object* object : level.objects) {
        if (auto* label = dynamic_cast<Text*>(object); label != nullptr && label->physics != nullptr) {
            const physics::Vector2D p = label->physics->getPosition();
            taken.push_back(Text::box(label->text.c_str(), static_cast<int>(p.x), static_cast<int>(p.y), label->size));
        }
    }
    // Along the bottom edge first, where the field seldom holds words, then the top.
    const int places[][2] = {{12, 6}, {440, 6}, {300, 580}, {12, 496}, {440, 496}, {300, 300}};
    for (const auto& place : places) {
        Text::Box box = Text::box(HINT, place[0], place[1], HINT_SIZE);
        const Text::Box showing = Text::box(SHOWING_HINT, place[0], place[1], HINT_SIZE);
        box.right = std::max(box.right, showing.right);
        box = {box.left - kHintMargin, box.bottom - kHintMargin, box.right + kHintMargin, box.top + kHintMargin};
        if (std::none_of(taken.begin(), taken.end(), [&](const Text::Box& t) { return overlaps(box, t); })) {
            x = place[0];
            y = place[1];
            return;
        }
    }
    x = places[0][0];
    y = places[0][1];
}

void StateSimulation::draw() {
    level->draw();
    SpriteManager::drawNumber(50, 540, rules.time / kUpdatesPerSecond, 1.0f);
    SpriteManager::drawNumber(250, 540, rules.explosions, 1.0f);
    if (bombIcon) bombIcon->draw(230.0f, 540.0f, 0.4f, 0.4f, 0.0f, 1.0f);
    if (show.active && marker != nullptr && !marker->empty()) {
        // A pulse of about 1.3 s, between 42 and 70 pixels across, catches the eye.
        const float side = 56.0f + 14.0f * std::sin(static_cast<float>(updates) * 0.08f);
        for (std::size_t i = show.next; i < show.solution.clicks.size(); ++i) {
            const leveltools::Click& c = show.solution.clicks[i];
            if (c.update - rules.time > MARKER_LEAD) break;
            marker->draw(static_cast<float>(c.x), static_cast<float>(c.y), side / marker->width, side / marker->height,
                         0.0f, 1.0f);
        }
    }
    Text::draw(show.active ? SHOWING_HINT : HINT, hintX, hintY, HINT_SIZE, kHintColour);
    if (updates < messageUntil) {
        const int above = hintY < 300 ? HINT_SIZE + 4 : -(HINT_SIZE + 4);
        Text::draw(message.c_str(), hintX, hintY + above, HINT_SIZE, kMessageColour);
    }
}

void StateSimulation::endLevel(bool win) {
    StateMenu::recordResult(data, win, rules.explosions, rules.time);
    StateManager::change(new StateMenu);
}
