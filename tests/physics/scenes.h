#pragma once
// Scenes shared by the engine's scenario tests, its determinism test and the
// physics benchmark (bench/physics). Units are the game's: pixels, y up, seconds.
// Header-only so that the benchmark can use it without the test framework.
#include <cstdint>

#include "physics/physics.h"

namespace scenes {

using physics::Body;
using physics::TwoDee;
using physics::Vector2D;
using World2D = physics::World<TwoDee>;
using Body2D = physics::Body<TwoDee>;

// Material of every shape in the benchmark scenes: the engine's default
// restitution is 0.4, the scenes use 0.
struct Material {
    float friction = 0.5f;
    float restitution = 0.0f;
    float density = 1.0f;
};

inline Body2D* addBox(World2D& world, float cx, float cy, float width, float height, bool isStatic,
                      const Material& m = Material()) {
    auto* shape = new physics::Rect(Vector2D(cx, cy), width, height, physics::Orientation2D(0.0f));
    shape->setFriction(m.friction);
    shape->setRestitution(m.restitution);
    shape->m_density = m.density;
    auto* body = new Body2D(shape);
    if (isStatic) body->setStatic(true);
    world.add(body);
    return body;
}

inline Body2D* addBall(World2D& world, float cx, float cy, float radius, const Material& m = Material()) {
    auto* shape = new physics::Circle(Vector2D(cx, cy), radius);
    shape->setFriction(m.friction);
    shape->setRestitution(m.restitution);
    shape->m_density = m.density;
    auto* body = new Body2D(shape);
    world.add(body);
    return body;
}

// A segment (radius 0) or a capsule of `radius` around it: `halfLength` either
// side of (x, y) along its own x axis, turned by `angle`.
inline physics::Line* segment(float x, float y, float halfLength, float radius = 0.0f, float angle = 0.0f) {
    const physics::Orientation2D turned(angle);
    physics::Line* line = radius > 0.0f ? new physics::Capsule2D(Vector2D(x, y), turned, radius)
                                        : new physics::Line(Vector2D(x, y), turned);
    line->m_local_p1 = Vector2D(-halfLength, 0.0f);
    line->m_local_p2 = Vector2D(halfLength, 0.0f);
    line->thisMoved();
    return line;
}

// The game's world: gravity (0, -300) px/s^2, a step of 1/60 s.
inline void useGameGravity(World2D& world) { world.setGravity(Vector2D(0.0f, -300.0f)); }

// A pyramid of 30 x 30 px boxes, `n` in the bottom row, exactly touching, on a
// static ground whose top is at y = 0. Rows bottom first, left to right; the last
// box is the apex, which is returned.
inline Body2D* buildPyramid(World2D& world, int n, float groundWidth, const Material& m = Material()) {
    addBox(world, 0.0f, -15.0f, groundWidth, 30.0f, true, m);
    const float h = 15.0f;
    Body2D* apex = nullptr;
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            float x = static_cast<float>(i + 1) * h + 2.0f * static_cast<float>(j - i) * h - h * static_cast<float>(n);
            float y = static_cast<float>(2 * i + 1) * h;
            apex = addBox(world, x, y, 2.0f * h, 2.0f * h, false, m);
        }
    }
    return apex;
}

// The fixed-seed generator of the balls scene: s <- s*1664525 + 1013904223 (mod 2^32).
struct Lcg {
    std::uint32_t s = 12345u;
    // A value in [lo, lo + span).
    float next(float lo, float span) {
        s = s * 1664525u + 1013904223u;
        return lo + span * static_cast<float>((s >> 8) & 0xFFFFFFu) / 16777216.0f;
    }
};

// 1000 balls of radius 15 px in 40 rows of 25 inside a static container (floor
// top at y = 0, inner wall faces at x = +/-600).
inline void buildBalls(World2D& world, const Material& m = Material()) {
    addBox(world, 0.0f, -15.0f, 1260.0f, 30.0f, true, m);
    addBox(world, -615.0f, 1200.0f, 30.0f, 2400.0f, true, m);
    addBox(world, 615.0f, 1200.0f, 30.0f, 2400.0f, true, m);
    Lcg rng;
    for (int r = 0; r < 40; ++r) {
        for (int c = 0; c < 25; ++c) {
            float jitter = rng.next(-3.0f, 6.0f);
            addBall(world, -540.0f + 45.0f * static_cast<float>(c) + jitter, 60.0f + 45.0f * static_cast<float>(r),
                    15.0f, m);
        }
    }
}

// 2000 boxes of 15 x 15 px in two rows of 1000 over a long static floor; row 1
// drops into the gaps of row 0, and at rest all sit 7.5 px apart on the floor.
inline void buildWide(World2D& world, const Material& m = Material()) {
    addBox(world, 0.0f, -15.0f, 45900.0f, 30.0f, true, m);
    const float pitch = 45.0f;
    const float x0 = -0.5f * 45.0f * 999.0f - 11.25f;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 1000; ++c) {
            addBox(world, x0 + pitch * static_cast<float>(c) + 22.5f * static_cast<float>(r),
                   7.5f + 1.5f + 30.0f * static_cast<float>(r), 15.0f, 15.0f, false, m);
        }
    }
}

}  // namespace scenes
