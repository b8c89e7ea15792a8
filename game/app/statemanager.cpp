#include "game/app/statemanager.h"

#include "game/app/state.h"

State* StateManager::currentState = nullptr;
State* StateManager::nextState = nullptr;
float StateManager::sTime = 0.0f;
float StateManager::eTime = 0.0f;
bool StateManager::fadingOut = false;

void StateManager::change(State* state) {
    // A request that was never taken over is never entered; it would otherwise leak.
    if (nextState != state) delete nextState;
    nextState = state;
}

void StateManager::update(float time) {
    if (!currentState) {
        currentState = nextState;
        nextState = nullptr;
        sTime = time;
        eTime = 0.0f;
        fadingOut = false;
        return;
    }
    State* s = currentState;
    if (sTime + s->inTime > time) {
        s->in(time - sTime, (time - sTime) / s->inTime);
        return;
    }
    if (nextState && !fadingOut) {
        eTime = time + s->outTime;
        fadingOut = true;
        return;
    }
    if (fadingOut) {
        if (time >= eTime) {
            delete currentState;
            currentState = nextState;
            nextState = nullptr;
            sTime = time;
            eTime = 0.0f;
            fadingOut = false;
        } else {
            s->out(time - sTime, (eTime - time) / s->outTime);
        }
        return;
    }
    s->update(time - sTime);
}

void StateManager::draw() {
    if (currentState) currentState->draw();
}

void StateManager::reset() {
    delete currentState;
    delete nextState;
    currentState = nullptr;
    nextState = nullptr;
    sTime = 0.0f;
    eTime = 0.0f;
    fadingOut = false;
}
