// Box2D 2.4 (Debian's libbox2d-dev) on one benchmark scene, for
// bench/physics/callgrind.sh. Only the benchmark links it; never the game.
// The scene follows the shared notes in Box2D's metres: 30 px = 1 m, so gravity
// (0, -300) px/s^2 becomes (0, -10) m/s^2 and a 30 px box a 1 m box; friction 0.5
// (Box2D takes the geometric mean: 0.5 per contact), restitution 0, density 1.
// Heights are printed back in px.
//
//   cg_box2d --scene pyramid|pyramid40|balls|wide --sleep on|off --steps N
//            [--iterations VELOCITY POSITION]     (default 8 3)
#include <box2d/box2d.h>

#include "bench/physics/cg_common.h"

BENCH_STEP_LOOP void bench_step_loop(b2World& world, int steps, int velocityIterations, int positionIterations) {
    for (int i = 0; i < steps; ++i) world.Step(1.0f / 60.0f, velocityIterations, positionIterations);
}

namespace {

const float kPixelsPerMetre = 30.0f;

float metres(double px) { return static_cast<float>(px) / kPixelsPerMetre; }

void addFixture(b2Body* body, const b2Shape& shape) {
    b2FixtureDef def;
    def.shape = &shape;
    def.density = 1.0f;
    def.friction = 0.5f;
    def.restitution = 0.0f;
    body->CreateFixture(&def);
}

}  // namespace

int main(int argc, char** argv) {
    cg::Options o = cg::parseOptions(argc, argv, true);
    cg::Scene scene = cg::sceneNamed(o.scene);
    b2World world(b2Vec2(0.0f, -10.0f));
    world.SetAllowSleeping(o.sleeping);
    b2BodyDef groundDef;  // static, at the origin: the static boxes are its fixtures
    b2Body* ground = world.CreateBody(&groundDef);
    b2Body* apex = nullptr;
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        const cg::Item& it = scene.items[i];
        if (it.isStatic) {
            b2PolygonShape shape;
            shape.SetAsBox(0.5f * metres(it.width), 0.5f * metres(it.height), b2Vec2(metres(it.x), metres(it.y)),
                           0.0f);
            addFixture(ground, shape);
            continue;
        }
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position.Set(metres(it.x), metres(it.y));
        b2Body* body = world.CreateBody(&def);
        if (it.isBall) {
            b2CircleShape shape;
            shape.m_radius = metres(it.radius);
            addFixture(body, shape);
        } else {
            b2PolygonShape shape;
            shape.SetAsBox(0.5f * metres(it.width), 0.5f * metres(it.height));
            addFixture(body, shape);
        }
        if (static_cast<int>(i) == scene.apex) apex = body;
    }
    cg::Result r;
    if (apex) {
        r.hasApex = true;
        r.apexStart = apex->GetPosition().y * kPixelsPerMetre;
    }
    bench_step_loop(world, o.steps, o.velocityIterations, o.positionIterations);
    if (apex) r.apexEnd = apex->GetPosition().y * kPixelsPerMetre;
    for (b2Body* b = world.GetBodyList(); b; b = b->GetNext()) {
        if (b->GetType() == b2_dynamicBody) r.addBody(b->GetPosition().y * kPixelsPerMetre, b->IsAwake());
    }
    r.print();
    return 0;
}
