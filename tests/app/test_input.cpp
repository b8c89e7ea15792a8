// State without SDL: the same fade lengths, input from testinput.
#include "test_input.h"

#include "game/app/state.h"

namespace testinput {

int mouseX = 0;
int mouseY = 0;
int buttons = 0;
std::set<int> keys;

void clear() {
    mouseX = mouseY = buttons = 0;
    keys.clear();
}

}  // namespace testinput

State::State(float in, float out) : inTime(static_cast<int>(in)), outTime(static_cast<int>(out)) {}

State::~State() = default;

int State::mouse(int& x, int& y) {
    x = testinput::mouseX;
    y = testinput::mouseY;
    return testinput::buttons & 0xff;
}

bool State::key(int k) { return testinput::keys.count(k) != 0; }
