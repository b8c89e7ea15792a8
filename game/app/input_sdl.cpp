#include "game/app/input_sdl.h"

#include <SDL.h>

#include "game/app/input.h"
#include "game/app/input_latch.h"
#include "game/render/window_gl.h"

namespace input {
namespace {

// Left, middle and right: bits 0-2 of SDL's button mask, as keys.h numbers
// them. The wheel's buttons (4, 5) press and release at once and no state reads them.
constexpr std::size_t BUTTONS = 3;
// SDL 1.2 key symbols end below SDLK_LAST (323).
constexpr std::size_t KEYS = SDLK_LAST;

Latch<BUTTONS> s_buttons;
Latch<KEYS> s_keys;

Latch<BUTTONS>::Set heldButtons(int* x, int* y) {
    return Latch<BUTTONS>::Set(SDL_GetMouseState(x, y) & ((1u << BUTTONS) - 1));
}

bool keyHeld(std::size_t k) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    return keys && k < static_cast<std::size_t>(count) && keys[k] != 0;
}

}  // namespace

int pointer(int& x, int& y) {
    int sx = 0, sy = 0;
    const auto held = heldButtons(&sx, &sy);
    // A quick click counts where it was made (the lowest button's, should two wait).
    for (std::size_t b = 0; b < BUTTONS; ++b) {
        if (s_buttons.pressedAt(b, held[b], sx, sy)) break;
    }
    window::pointerToField(sx, sy);
    x = sx;
    y = sy;
    int mask = 0;
    for (std::size_t b = 0; b < BUTTONS; ++b) mask |= s_buttons.seen(b, held[b]) ? 1 << b : 0;
    return mask;
}

bool held(int k) {
    if (k < 0 || k >= static_cast<int>(KEYS)) return false;
    const auto key = static_cast<std::size_t>(k);
    return s_keys.seen(key, keyHeld(key));
}

namespace sdl {

void noteEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEBUTTONDOWN) s_buttons.press(event.button.button - 1, event.button.x, event.button.y);
    if (event.type == SDL_KEYDOWN) s_keys.press(event.key.keysym.sym);
}

void endUpdate() {
    s_buttons.endUpdate(heldButtons(nullptr, nullptr));
    Latch<KEYS>::Set keys;
    for (std::size_t k = 0; k < KEYS; ++k) keys[k] = keyHeld(k);
    s_keys.endUpdate(keys);
}

}  // namespace sdl
}  // namespace input
