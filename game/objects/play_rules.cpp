#include "game/objects/play_rules.h"

#include "game/objects/level.h"

void PlayRules::update() {
    m_level->update(time);
    time += 1;
}

bool PlayRules::won() const { return m_level->victory(); }

void PlayRules::click(float x, float y) {
    m_level->explode(x, y, BLAST_POWER);
    explosions += 1;
}

void PlayRules::restart() {
    m_level->restart();
    time = 0;
    explosions = 0;
}

bool PlayRules::onTickMark(float x, float y) const {
    const float dx = Level::TICK_X - x;
    const float dy = Level::TICK_Y - y;
    return won() && dx * dx + dy * dy <= static_cast<float>(TICK_REACH_SQUARED);
}
