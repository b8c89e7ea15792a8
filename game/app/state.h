#pragma once
// A full-screen game state (splash, level menu, play, editor). The StateManager
// drives exactly one at a time through fade-in, normal life and fade-out.

class State {
public:
    // Fade lengths in seconds, truncated toward zero: 1.9 fades for 1 s.
    State(float in, float out);
    virtual ~State();
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Every update of the fade-in: t seconds since the state became current,
    // v the progress rising from 0 toward 1.
    virtual void in(float t, float v) = 0;
    // Every update of the state's normal life.
    virtual void update(float t) = 0;
    // Every update of the fade-out: v the remaining fraction falling from 1 toward 0.
    virtual void out(float t, float v) = 0;
    // Every drawn frame, whatever the phase. May come before the first in() or
    // update(): everything it reads is set by the constructor.
    virtual void draw() = 0;

    // The window is being closed: the last moment to keep what the player made.
    virtual void quitting() {}

    // The pointer in drawing coordinates (x from the left, y up from the bottom
    // edge: the top row is 600); returns the button mask (see keys.h).
    int mouse(int& x, int& y);
    // Whether key symbol `k` (see keys.h) is held.
    bool key(int k);

    int inTime;   // fade-in length, whole seconds
    int outTime;  // fade-out length, whole seconds
};
