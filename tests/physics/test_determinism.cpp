// Golden test: a fixed scene stepped 600 times must end in exactly the same
// state on every run of the same build. The stored hash covers every body's
// position, orientation, velocity and angular velocity, bit for bit.
//
// Refreshing the golden value: only when the engine's behaviour is changed on
// purpose (a new rule, a changed order or constant). Run this test, check that
// the scenes still behave (the scenario tests), copy the "actual" hash from the
// failure message into kGoldenHash, and say in the commit message why the
// simulation changed. An unexplained change of the hash is a determinism bug
// (an order that depends on pointers, uninitialised state, fused arithmetic):
// find it rather than refreshing the value.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

const std::uint64_t kGoldenHash = 0x573a24a91ab8be6eull;
// The same scene with a contact list that keeps no contact between steps: the
// narrow phase measures each contact it makes, where a caching list measures
// them itself.
const std::uint64_t kGoldenHashUncached = 0x028818e68a15d2f8ull;

struct Fnv1a {
    std::uint64_t h = 1469598103934665603ull;
    void add(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        for (int i = 0; i < 4; ++i) {
            h ^= (bits >> (8 * i)) & 0xFFu;
            h *= 1099511628211ull;
        }
    }
};

std::uint64_t runGoldenScene(int steps, bool cacheContacts = true) {
    World<TwoDee> world(Globals::DEFAULT_TIMESTEP, nullptr, nullptr, new NaiveContactList<std::vector>(cacheContacts));
    scenes::useGameGravity(world);
    scenes::addBox(world, 400.0f, -5.0f, 820.0f, 20.0f, true);
    scenes::addBox(world, -5.0f, 300.0f, 20.0f, 620.0f, true);
    scenes::addBox(world, 805.0f, 300.0f, 20.0f, 620.0f, true);

    // A small pyramid of crates (default restitution 0.4).
    for (int row = 0; row < 5; ++row) {
        for (int col = row; col < 5; ++col) {
            scenes::addBox(world, 150.0f + 30.0f * col - 15.0f * row, 20.0f + 30.0f * row, 30.0f, 30.0f, false,
                           scenes::Material{0.5f, 0.4f, 1.0f});
        }
    }
    // Balls poured beside it from the fixed-seed generator.
    scenes::Lcg rng;
    for (int i = 0; i < 24; ++i) {
        scenes::addBall(world, rng.next(300.0f, 200.0f), rng.next(100.0f, 300.0f), rng.next(6.0f, 10.0f),
                        scenes::Material{0.5f, 0.4f, 1.0f});
    }
    // A movable pentagon dropped onto the pyramid, turned.
    const Vector2D pentagon[5] = {{0.0f, 20.0f}, {19.0f, 6.0f}, {12.0f, -16.0f}, {-12.0f, -16.0f}, {-19.0f, 6.0f}};
    Vector2D placed[5];
    for (int i = 0; i < 5; ++i) placed[i] = pentagon[i] + Vector2D(160.0f, 260.0f);
    Polygon* shape = Polygon::create(placed, 5);
    EXPECT_NE(shape, nullptr);
    auto* polygon = new Body<TwoDee>(shape);
    polygon->setOrientation(Orientation2D(0.3f));
    world.add(polygon);
    // A pendulum: a crate pinned to a static block, released sideways.
    Body<TwoDee>* pivot = scenes::addBox(world, 650.0f, 450.0f, 20.0f, 20.0f, true);
    Body<TwoDee>* bob = scenes::addBox(world, 730.0f, 450.0f, 24.0f, 24.0f, false);
    auto* pin = new Joint<TwoDee>();
    pin->set(pivot, bob, Vector2D(650.0f, 450.0f));
    world.add(pin);

    for (int i = 0; i < steps; ++i) world.step();

    Fnv1a hash;
    for (const Body<TwoDee>* b : world.bodies) {
        hash.add(b->getPosition().x);
        hash.add(b->getPosition().y);
        hash.add(b->getOrientation().value);
        hash.add(b->getVelocity().x);
        hash.add(b->getVelocity().y);
        hash.add(b->getRotation().value);
    }
    return hash.h;
}

}  // namespace

TEST(Determinism, SameSceneSameStateEveryRun) {
    std::uint64_t first = runGoldenScene(600);
    EXPECT_EQ(runGoldenScene(600), first);
    EXPECT_NE(runGoldenScene(599), first);  // the hash does see one step's difference
    EXPECT_EQ(first, kGoldenHash) << "actual hash: 0x" << std::hex << first;
    std::uint64_t uncached = runGoldenScene(600, false);
    EXPECT_EQ(uncached, kGoldenHashUncached) << "actual hash: 0x" << std::hex << uncached;
}
