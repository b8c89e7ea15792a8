#pragma once
// Presses that fall between two updates. The states read the pointer's buttons
// and the keys as states, once per 17 ms update, and count a press where a
// read finds down after up. A press and release between two reads (a quick
// click, a tapped key) would never be seen, and two quick clicks could merge.
// The latch keeps count of the presses the window system reported and shows
// each one to a later update:
//
//   no press waiting:      what the window system says is held;
//   a press waiting:       down, which spends the press; but up first when the
//                          last update saw down, so the press is an edge.
//
// A press still held when it is shown stays down, one press. Each press is
// shown in its own update, one update of up between them; at most MAX_WAITING
// wait, so a flurry never delays input by more than a few updates. Pure: the
// SDL side (input_sdl.cpp) feeds it events and states. Inputs are indices
// below N (button numbers minus one, key symbols); others are ignored.
#include <array>
#include <bitset>
#include <cstddef>
#include <utility>

namespace input {

template <std::size_t N>
class Latch {
public:
    using Set = std::bitset<N>;
    static constexpr int MAX_WAITING = 4;

    // A press of input i, reported since the last update, at pointer (x, y)
    // (buttons; 0 for keys).
    void press(int i, int x = 0, int y = 0) {
        if (i < 0 || static_cast<std::size_t>(i) >= N) return;
        int& n = waiting_[static_cast<std::size_t>(i)];
        if (n < MAX_WAITING) at_[static_cast<std::size_t>(i)][static_cast<std::size_t>(n++)] = {x, y};
    }

    // Where the press the update sees happened, when the update sees input i
    // down only because of a press already released: a quick click goes off
    // where it was made, not where the pointer has moved since. False otherwise
    // (the input is held, up, or no press waits): the pointer is where it is.
    bool pressedAt(std::size_t i, bool held, int& x, int& y) const {
        if (waiting_[i] == 0 || held || shown_[i]) return false;
        x = at_[i][0].first;
        y = at_[i][0].second;
        return true;
    }

    // Whether the update sees input i down, given whether it is held now.
    bool seen(std::size_t i, bool held) const { return waiting_[i] == 0 ? held : !shown_[i]; }

    // After the update: what it saw is remembered, and a press it saw is spent.
    void endUpdate(const Set& held) {
        for (std::size_t i = 0; i < N; ++i) {
            const bool down = seen(i, held[i]);
            if (down && waiting_[i] > 0) {
                --waiting_[i];
                for (int k = 0; k < waiting_[i]; ++k) at_[i][k] = at_[i][k + 1];
            }
            shown_[i] = down;
        }
    }

private:
    Set shown_;  // seen down in the last update
    std::array<int, N> waiting_ = {};
    std::array<std::array<std::pair<int, int>, MAX_WAITING>, N> at_ = {};  // where each waiting press was, oldest first
};

}  // namespace input
