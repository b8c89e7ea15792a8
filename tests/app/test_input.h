#pragma once
// The mouse and keyboard that State::mouse and State::key report in the tests.
#include <set>

namespace testinput {

extern int mouseX;       // window pixels from the left
extern int mouseY;       // window pixels up from the bottom edge
extern int buttons;      // mask: 1 left, 2 middle, 4 right
extern std::set<int> keys;  // key symbols held

void clear();

}  // namespace testinput
