#pragma once
// Where the states' pointer and keyboard come from. Two implementations, chosen
// by whoever links, as for Sprite:
//   game:          input_sdl.cpp reads SDL's state and keeps the presses
//                  between two updates (boxquake_input_sdl, see input_sdl.h)
//   tests, tools:  input_scripted.cpp reports what the caller has set
//                  (boxquake_input_scripted, see input_scripted.h)
// Both speak the window system's terms; State turns them into drawing
// coordinates.
namespace input {

// The pointer in window pixels (x from the left, y down from the top edge; in
// full screen, the field's pixels under it); returns the button mask (see
// keys.h). A button pressed since the last update shows as down even if already
// released.
int pointer(int& x, int& y);

// Whether key symbol `k` (see keys.h) is held, or was pressed since the last update.
bool held(int k);

}  // namespace input
