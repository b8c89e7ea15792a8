#include "game/app/input_scripted.h"

#include "game/app/input.h"

namespace input {

namespace {

int s_x = 0, s_y = 0, s_buttons = 0;
std::set<int> s_keys;

}  // namespace

int pointer(int& x, int& y) {
    x = s_x;
    y = s_y;
    return s_buttons & 0xff;
}

bool held(int k) { return s_keys.count(k) != 0; }

namespace scripted {

void setPointer(int x, int y, int buttons) {
    s_x = x;
    s_y = y;
    s_buttons = buttons;
}

void setKeys(const std::set<int>& held) { s_keys = held; }

void clear() {
    setPointer(0, 0, 0);
    s_keys.clear();
}

}  // namespace scripted
}  // namespace input
