#pragma once
// The input of a run without a window: the pointer and keys are what the
// caller last set, in the window system's terms (y down from the top edge).
#include <set>

namespace input {
namespace scripted {

void setPointer(int x, int y, int buttons);
void setKeys(const std::set<int>& held);
void clear();  // pointer at (0, 0), no button, no key

}  // namespace scripted
}  // namespace input
