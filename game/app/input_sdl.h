#pragma once
// The game's side of input.h: SDL's pointer and key states, plus the presses
// its events reported since the last update (input_latch.h), so a click or a
// tap between two updates is seen once. The main loop hands over every event
// it drains and ends each update.
union SDL_Event;

namespace input {
namespace sdl {

// Notes a button or key press; other events are ignored.
void noteEvent(const SDL_Event& event);
// After the update: the presses it could see are spent.
void endUpdate();

}  // namespace sdl
}  // namespace input
