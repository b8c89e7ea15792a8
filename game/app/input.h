#pragma once
// Where the states' pointer and keyboard come from. Two implementations, chosen
// by whoever links, as for Sprite:
//   game:          input_sdl.cpp polls SDL's state (boxquake_input_sdl)
//   tests, tools:  input_scripted.cpp reports what the caller has set
//                  (boxquake_input_scripted, see input_scripted.h)
// Both speak the window system's terms; State turns them into drawing
// coordinates.
namespace input {

// The pointer in window pixels (x from the left, y down from the top edge);
// returns the button mask (see keys.h).
int pointer(int& x, int& y);

// Whether key symbol `k` (see keys.h) is held.
bool held(int k);

}  // namespace input
