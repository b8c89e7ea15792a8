#pragma once
// Drives the current state with the game clock and runs every change of state
// through the new state's fade-in, its life, and its fade-out once a successor
// has been requested. The outgoing and the incoming state are never drawn in the
// same frame.
class State;

class StateManager {
public:
    // Requests `state` as the successor of the current one; takes ownership. A
    // request still pending is replaced and its state deleted.
    static void change(State* state);
    // One update at game-clock `time`, seconds: takes the first matching branch of
    // take over / fade-in / start fade-out / fade-out or swap / normal life.
    static void update(float time);
    // Draws the current state, if any.
    static void draw();
    // Deletes both states and returns to the initial empty manager (shutdown, tests).
    static void reset();

    static State* currentState;  // updated and drawn; owned
    static State* nextState;     // requested successor, not yet current; owned
    static float sTime;          // game-clock seconds at which currentState became current
    static float eTime;          // game-clock seconds at which the running fade-out ends
    static bool fadingOut;       // a fade-out is running (eTime alone cannot say: it may be 0)
};
