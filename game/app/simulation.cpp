#include "game/app/simulation.h"

#include "game/app/keys.h"
#include "game/app/menu.h"
#include "game/app/statemanager.h"
#include "game/objects/level.h"
#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"

namespace {

const int kUpdatesPerSecond = 60;

}  // namespace

// The icon is looked up once, after the level's own pictures, rather than by name every frame.
StateSimulation::StateSimulation(MnuLevel& record)
    : State(0.0f, 0.0f),
      data(record),
      level(new Level(record.level, record.file(".lvl"))),
      rules(*level),
      bombIcon(SpriteManager::get("bombA.tga")) {}

StateSimulation::~StateSimulation() = default;

void StateSimulation::update(float /*t*/) {
    rules.update();

    if (key(keys::ESCAPE)) {
        endLevel(false);
        return;
    }

    int mx = 0, my = 0;
    const int b = mouse(mx, my);

    if (key(keys::RESTART)) {
        // A restart is the whole update: a click in it neither explodes nor picks
        // the tick mark, and the victory clock starts over with the objects, so a
        // restarted level cannot count as won before it has been played.
        rules.restart();
        lastb = b;  // a button held through the restart is not a new press
        return;
    }

    const float x = static_cast<float>(mx), y = static_cast<float>(my);
    if ((b & buttons::LEFT) && rules.onTickMark(x, y)) endLevel(true);
    if ((b & buttons::LEFT) && lastb == 0) rules.click(x, y);
    lastb = b;
}

void StateSimulation::draw() {
    level->draw();
    SpriteManager::drawNumber(50, 540, rules.time / kUpdatesPerSecond, 1.0f);
    SpriteManager::drawNumber(250, 540, rules.explosions, 1.0f);
    if (bombIcon) bombIcon->draw(230.0f, 540.0f, 0.4f, 0.4f, 0.0f, 1.0f);
}

void StateSimulation::endLevel(bool win) {
    StateMenu::recordResult(data, win, rules.explosions, rules.time);
    StateManager::change(new StateMenu);
}
