#include <SDL.h>

#include "game/app/input.h"

namespace input {

int pointer(int& x, int& y) {
    int sx = 0, sy = 0;
    const Uint8 buttons = SDL_GetMouseState(&sx, &sy);
    x = sx;
    y = sy;
    return buttons & 0xff;
}

bool held(int k) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return keys && k >= 0 && k < count && keys[k] != 0;
}

}  // namespace input
