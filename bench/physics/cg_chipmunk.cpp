// Chipmunk 7 (Debian's libchipmunk-dev) on one benchmark scene, for
// bench/physics/callgrind.sh. Only the benchmark links it; never the game.
// The scene follows the shared notes: the same pixels, gravity (0, -300) px/s^2,
// 10 iterations, friction sqrt(0.5) per shape (Chipmunk multiplies the two
// shapes' values: 0.5 per contact), elasticity 0, mass = density x area.
//
//   cg_chipmunk --scene pyramid|pyramid40|balls|wide --sleep on|off --steps N
#include <chipmunk/chipmunk.h>

#include "bench/physics/cg_common.h"

BENCH_STEP_LOOP void bench_step_loop(cpSpace* space, int steps) {
    for (int i = 0; i < steps; ++i) cpSpaceStep(space, 1.0 / 60.0);
}

namespace {

const cpFloat kDensity = 1.0;

void countBody(cpBody* body, void* data) {
    if (cpBodyGetType(body) != CP_BODY_TYPE_DYNAMIC) return;
    static_cast<cg::Result*>(data)->addBody(cpBodyGetPosition(body).y, !cpBodyIsSleeping(body));
}

}  // namespace

int main(int argc, char** argv) {
    cg::Options o = cg::parseOptions(argc, argv, false);
    cg::Scene scene = cg::sceneNamed(o.scene);
    cpSpace* space = cpSpaceNew();
    cpSpaceSetGravity(space, cpv(0.0, -300.0));
    cpSpaceSetIterations(space, 10);
    cpSpaceSetSleepTimeThreshold(space, o.sleeping ? 0.5 : INFINITY);
    const cpFloat friction = std::sqrt(0.5);
    cpBody* apex = nullptr;
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        const cg::Item& it = scene.items[i];
        cpShape* shape = nullptr;
        if (it.isStatic) {
            // Static boxes share the space's static body (at the origin), so the
            // box is placed by its bounds rather than by a body position.
            cpBB bb = cpBBNew(it.x - 0.5 * it.width, it.y - 0.5 * it.height, it.x + 0.5 * it.width,
                              it.y + 0.5 * it.height);
            shape = cpBoxShapeNew2(cpSpaceGetStaticBody(space), bb, 0.0);
        } else {
            cpBody* body = nullptr;
            if (it.isBall) {
                cpFloat mass = kDensity * CP_PI * it.radius * it.radius;
                body = cpBodyNew(mass, cpMomentForCircle(mass, 0.0, it.radius, cpvzero));
                shape = cpCircleShapeNew(body, it.radius, cpvzero);
            } else {
                cpFloat mass = kDensity * it.width * it.height;
                body = cpBodyNew(mass, cpMomentForBox(mass, it.width, it.height));
                shape = cpBoxShapeNew(body, it.width, it.height, 0.0);
            }
            cpSpaceAddBody(space, body);
            cpBodySetPosition(body, cpv(it.x, it.y));
            if (static_cast<int>(i) == scene.apex) apex = body;
        }
        cpShapeSetFriction(shape, friction);
        cpShapeSetElasticity(shape, 0.0);
        cpSpaceAddShape(space, shape);
    }
    cg::Result r;
    if (apex) {
        r.hasApex = true;
        r.apexStart = cpBodyGetPosition(apex).y;
    }
    bench_step_loop(space, o.steps);
    if (apex) r.apexEnd = cpBodyGetPosition(apex).y;
    cpSpaceEachBody(space, countBody, &r);
    r.print();
    // The process ends here: the space, its bodies and shapes go with it.
    return 0;
}
