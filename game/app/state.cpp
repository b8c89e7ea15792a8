#include "game/app/state.h"

#include "game/app/input.h"
#include "game/render/screen.h"

State::State(float in, float out) : inTime(static_cast<int>(in)), outTime(static_cast<int>(out)) {}

State::~State() = default;

int State::mouse(int& x, int& y) {
    int wx = 0, wy = 0;
    const int buttons = input::pointer(wx, wy);
    x = wx;
    y = screen::HEIGHT - wy;  // the window counts rows down from the top
    return buttons;
}

bool State::key(int k) { return input::held(k); }
