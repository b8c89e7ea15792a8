#include "game/app/state.h"

#include <SDL.h>

State::State(float in, float out) : inTime(static_cast<int>(in)), outTime(static_cast<int>(out)) {}

State::~State() = default;

int State::mouse(int& x, int& y) {
    int sx = 0, sy = 0;
    Uint8 buttons = SDL_GetMouseState(&sx, &sy);
    x = sx;
    y = 600 - sy;
    return buttons & 0xff;
}

bool State::key(int k) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return keys && k >= 0 && k < count && keys[k] != 0;
}
