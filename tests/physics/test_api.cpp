// A program that knows the engine only through its one public header: bodies of
// every shape kind, built, placed and handed to a world.
#include <gtest/gtest.h>

#include "physics/physics.h"

namespace {

physics::Line* segment(const physics::Vector2D& a, const physics::Vector2D& b) {
    physics::Line* line = new physics::Line((a + b) * 0.5f);
    line->m_local_p1 = a - line->getPosition();
    line->m_local_p2 = b - line->getPosition();
    line->thisMoved();
    return line;
}

}  // namespace

TEST(PublicApi, BodiesOfEveryShapeKindLiveInAWorld) {
    using physics::Vector2D;
    physics::World<physics::TwoDee> world(physics::Globals::DEFAULT_TIMESTEP);
    world.setGravity(Vector2D(0.0f, -300.0f));

    // Far apart: nothing touches, so each body only falls (or stays).
    physics::Body<physics::TwoDee>* ball = physics::Body<physics::TwoDee>::create(new physics::Circle(Vector2D(0, 0), 10));
    physics::Body<physics::TwoDee>* crate =
        physics::Body<physics::TwoDee>::create(new physics::Rect(Vector2D(200, 0), 20, 20, physics::Orientation2D(0.3f)));
    const Vector2D points[] = {{400, 0}, {440, 0}, {420, 30}, {410, 10}};
    physics::Body<physics::TwoDee>* wedge = physics::Body<physics::TwoDee>::create(physics::Polygon::create(points, 4));
    physics::Body<physics::TwoDee>* rod = physics::Body<physics::TwoDee>::create(segment(Vector2D(600, 0), Vector2D(640, 0)));
    physics::Capsule2D* pill = new physics::Capsule2D(Vector2D(800, 0), physics::Orientation2D(0.0f), 5.0f);
    pill->m_local_p1 = Vector2D(-10, 0);
    pill->m_local_p2 = Vector2D(10, 0);
    pill->thisMoved();
    physics::Body<physics::TwoDee>* capsule = physics::Body<physics::TwoDee>::create(pill);
    physics::Body<physics::TwoDee>* wall =
        physics::Body<physics::TwoDee>::createStatic(new physics::Rect(Vector2D(-500, -500), Vector2D(-400, -400)));

    physics::Body<physics::TwoDee>* movers[] = {ball, crate, wedge, rod, capsule};
    float startY[5];
    for (int i = 0; i < 5; ++i) {
        ASSERT_GT(movers[i]->getInverseMass(), 0.0f);
        ASSERT_TRUE(movers[i]->isRotatable());
        startY[i] = movers[i]->getPosition().y;
        world.add(movers[i]);
    }
    world.add(wall);
    EXPECT_EQ(world.bodies.size(), 6u);
    EXPECT_EQ(wedge->getShapes().front()->type(), physics::Area::POLYGON);
    EXPECT_EQ(wedge->getShapes().front()->getVertexCount(), 3);  // (410, 10) is inside the hull

    for (int i = 0; i < 30; ++i) world.step();
    for (int i = 0; i < 5; ++i) EXPECT_LT(movers[i]->getPosition().y, startY[i] - 10.0f) << "body " << i;
    EXPECT_EQ(wall->getPosition(), Vector2D(-450, -450));
    // The world deletes its bodies, and they their shapes, when it goes.
}
