#include "physics/globals.h"

#include <cstdint>

#include "physics/vector.h"

namespace physics {

float Globals::DEFAULT_TIMESTEP = 1.0f / 60.0f;
float Globals::inverseTimeStep = 60.0f;
float Globals::GRAVITY = -9.8f;
float Globals::DEFAULT_DENSITY = 1.0f;
float Globals::DEFAULT_RESTITUTION = 0.4f;
float Globals::DEFAULT_FRICTION = 0.5f;
bool Globals::useSleeping = true;
float Globals::linearVelocitySleepEpsilon = 1.5f;
float Globals::angularVelocitySleepEpsilon = 0.01f;
float Globals::sleepRWABias = 0.5f;
bool Globals::airResistance = false;
bool Globals::linearDrag = true;
float Globals::linearDragCoefficient = 0.01f;
float Globals::quadraticDragCoefficient = 0.01f;
float Globals::penetrationEpsilon = 0.005f;
bool Globals::useRestitution = true;
float Globals::restitutionThreshold = 0.2f;
bool Globals::findMultipleContacts = true;
bool Globals::cacheContacts = true;
bool Globals::findSleepingContacts = false;
float Globals::_NEAR = 0.1f;
Globals::WhenToMoveEnum Globals::whenToMove = Globals::MOVE_AFTER_COLLISIONS;
const float Globals::PI = 3.1415927f;

// A uniformly spread angle in [0, 2*pi). Drawn from the engine's own generator
// (not std::rand) so that a run is reproducible whatever else uses the C library.
Orientation2D Orientation2D::random() {
    static std::uint32_t state = 0x2545F491u;
    // xorshift32: full period over the non-zero 32-bit states.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    // The top 24 bits map exactly onto float's mantissa, so the result stays below 1.
    float unit = static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
    return Orientation2D(unit * 2.0f * Globals::PI);
}

}  // namespace physics
