// Our engine on one benchmark scene, for bench/physics/callgrind.sh: builds it
// with tests/physics/scenes.h (the scenes the tests and physics_bench use),
// steps it in bench_step_loop and prints the end-of-run figures (cg_common.h).
//
//   cg_ours --scene pyramid|pyramid40|balls|wide --sleep on|off --steps N
#include "bench/physics/cg_common.h"
#include "physics/physics.h"
#include "tests/physics/scenes.h"

BENCH_STEP_LOOP void bench_step_loop(scenes::World2D& world, int steps) {
    for (int i = 0; i < steps; ++i) world.step();
}

int main(int argc, char** argv) {
    cg::Options o = cg::parseOptions(argc, argv, false);
    // A body's right to sleep is fixed when it is made: set the switch first.
    physics::Globals::useSleeping = o.sleeping;
    scenes::World2D world;  // the game's time step, 1/60 s
    scenes::useGameGravity(world);
    scenes::Body2D* apex = nullptr;
    if (o.scene == "pyramid") {
        apex = scenes::buildPyramid(world, 20, 1800.0f);
    } else if (o.scene == "pyramid40") {
        apex = scenes::buildPyramid(world, 40, 3000.0f);
    } else if (o.scene == "balls") {
        scenes::buildBalls(world);
    } else {
        scenes::buildWide(world);
    }
    cg::Result r;
    if (apex) {
        r.hasApex = true;
        r.apexStart = apex->getPosition().y;
    }
    bench_step_loop(world, o.steps);
    if (apex) r.apexEnd = apex->getPosition().y;
    for (auto* b : world.bodies) {
        if (!b->isStatic()) r.addBody(b->getPosition().y, b->isAwake());
    }
    r.print();
    return 0;
}
