#include "game/app/splash.h"

#include "game/app/menu.h"
#include "game/app/statemanager.h"
#include "game/render/sprite.h"

StateSplash::StateSplash() : State(1.9f, 1.4f), image(new Sprite("qor.tga")) {}

StateSplash::~StateSplash() = default;

void StateSplash::in(float, float v) { alpha = 1.0f - (1.0f - v) * (1.0f - v); }

void StateSplash::update(float) { StateManager::change(new StateMenu); }

void StateSplash::out(float, float v) { alpha = 1.0f - (1.0f - v) * (1.0f - v); }

void StateSplash::draw() { image->draw(400.0f, 300.0f, 0.5f, 0.5f, 0.0f, alpha); }
