#pragma once
// Engine-wide constants and switches. Values are fixed at start-up; tests may
// change a switch and must restore it.
namespace physics {

class Globals {
public:
    enum WhenToMoveEnum { MOVE_BEFORE_COLLISIONS = 0, MOVE_AFTER_COLLISIONS = 1, MOVE_AFTER_DRAWING = 2 };

    static float DEFAULT_TIMESTEP;            // seconds per step: 1/60
    static float inverseTimeStep;             // 60; used by joint bias whatever the world's step
    static float GRAVITY;                     // default world gravity along y: -9.8
    static float DEFAULT_DENSITY;             // 1.0, mass per unit area of a new shape
    static float DEFAULT_RESTITUTION;         // 0.4
    static float DEFAULT_FRICTION;            // 0.5
    static bool useSleeping;                  // true
    static float linearVelocitySleepEpsilon;  // 1.5 units/s: running average speed below which a body may sleep
    static float angularVelocitySleepEpsilon; // 0.01 rad/s
    static float sleepRWABias;                // 0.5: weight kept per second by the running averages
    static bool airResistance;                // false
    static bool linearDrag;                   // true: linear rather than quadratic drag
    static float linearDragCoefficient;       // 0.01
    static float quadraticDragCoefficient;    // 0.01
    static float penetrationEpsilon;          // 0.005 units of overlap left uncorrected
    static bool useRestitution;               // true
    static float restitutionThreshold;        // 0.2 units/s: slower approaches do not bounce
    static bool findMultipleContacts;         // true
    static bool cacheContacts;                // true: contacts persist between steps
    static bool findSleepingContacts;         // false
    static float _NEAR;                       // 0.1 units: contact margin
    static WhenToMoveEnum whenToMove;         // MOVE_AFTER_COLLISIONS
    static const float PI;                    // 3.1415927
};

}  // namespace physics
