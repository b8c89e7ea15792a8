// Value types, shapes and the convex hull: turning by zero, containment (the
// game's picking), and hull and polygon properties on awkward and random input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<Vector2D> hullOf(const std::vector<Vector2D>& points) {
    std::vector<Vector2D> out(points.size());
    int count = -1;
    Polygon::makeConvexHull(points.data(), static_cast<int>(points.size()), out.data(), count);
    EXPECT_GE(count, 0);
    EXPECT_LE(count, static_cast<int>(points.size()));
    out.resize(static_cast<size_t>(std::max(count, 0)));
    return out;
}

// An independent check of a hull: no repeated point, every hull point is an input
// point, it turns counter-clockwise, and every input point lies on or behind every
// edge (within rounding).
void expectValidHull(const std::vector<Vector2D>& hull, const std::vector<Vector2D>& points) {
    ASSERT_GE(hull.size(), 3u);
    for (size_t i = 0; i < hull.size(); ++i) {
        for (size_t j = i + 1; j < hull.size(); ++j) EXPECT_NE(hull[i], hull[j]) << "repeated hull point " << i;
        EXPECT_NE(std::find(points.begin(), points.end(), hull[i]), points.end());
    }
    float area = 0.0f;
    for (size_t i = 0; i < hull.size(); ++i) area += cross(hull[i], hull[(i + 1) % hull.size()]);
    EXPECT_GT(area, 0.0f);
    for (size_t i = 0; i < hull.size(); ++i) {
        Vector2D a = hull[i], b = hull[(i + 1) % hull.size()];
        for (const Vector2D& p : points) EXPECT_GE(cross(b - a, p - a), -1e-3f) << "point outside edge " << i;
    }
}

}  // namespace

TEST(Math, ZeroOrientationReturnsInputBitForBit) {
    // -0 and a NaN would not survive x*cos(0) - y*sin(0) unchanged.
    const Vector2D inputs[] = {Vector2D(-0.0f, 1e-38f), Vector2D(NaN, -0.0f), Vector2D(123456.78f, -0.1f)};
    for (const Vector2D& v : inputs) {
        for (Vector2D t : {Orientation2D(0.0f).transform(v), Orientation2D(0.0f).inverseTransform(v),
                           Orientation2D(0.0f) * v}) {
            EXPECT_TRUE(sameBits(t.x, v.x) && sameBits(t.y, v.y));
        }
    }
    Vector2D quarter = Orientation2D(Globals::PI / 2.0f).transform(Vector2D(1.0f, 0.0f));  // counter-clockwise
    EXPECT_NEAR(quarter.x, 0.0f, 1e-6f);
    EXPECT_NEAR(quarter.y, 1.0f, 1e-6f);
}

TEST(ConvexHull, PointOnClosingEdgeTerminatesInEveryOrder) {
    auto byXThenY = [](const Vector2D& a, const Vector2D& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); };
    std::vector<Vector2D> points = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0.5f}};
    std::sort(points.begin(), points.end(), byXThenY);
    int orders = 0;
    do {
        std::vector<Vector2D> hull = hullOf(points);
        expectValidHull(hull, points);
        for (const Vector2D& corner : {Vector2D(0, 0), Vector2D(1, 0), Vector2D(1, 1), Vector2D(0, 1)}) {
            EXPECT_NE(std::find(hull.begin(), hull.end(), corner), hull.end());
        }
        std::unique_ptr<Polygon> polygon(Polygon::create(points.data(), 5));
        ASSERT_NE(polygon, nullptr);
        EXPECT_FLOAT_EQ(polygon->getArea(), 1.0f);
        ++orders;
    } while (std::next_permutation(points.begin(), points.end(), byXThenY));
    EXPECT_EQ(orders, 120);
}

TEST(ConvexHull, RandomSetsGiveValidHullsAndPolygons) {
    scenes::Lcg rng{12345u};  // the scenes' fixed-seed generator
    for (int trial = 0; trial < 300; ++trial) {
        int n = 3 + trial % 18;
        std::vector<Vector2D> points;
        for (int i = 0; i < n; ++i) {
            if (trial % 2 == 0) {
                // Coarse grid: many duplicates and collinear triples.
                points.emplace_back(std::floor(rng.next(0.0f, 4.0f)), std::floor(rng.next(0.0f, 4.0f)));
            } else {
                points.emplace_back(rng.next(0.0f, 800.0f), rng.next(0.0f, 600.0f));
            }
        }
        std::vector<Vector2D> hull = hullOf(points);
        std::unique_ptr<Polygon> polygon(Polygon::create(points.data(), n));
        if (hull.size() < 3) {
            EXPECT_EQ(polygon, nullptr);
            continue;
        }
        expectValidHull(hull, points);
        if (polygon) {
            EXPECT_GT(polygon->getArea(), 0.0f);
            EXPECT_TRUE(std::isfinite(polygon->getMOI()));
        }
    }
}

TEST(PolygonCreate, OnlyFiniteHullsOfClearlyPositiveArea) {
    const struct {
        std::vector<Vector2D> points;
        float area;  // 0: no polygon
    } cases[] = {
        {{{0, 0}, {1, 1}}, 0.0f},
        {{{2, 2}, {2, 2}, {2, 2}}, 0.0f},
        {{{3, 3}, {0, 0}, {1, 1}, {2, 2}, {1, 1}}, 0.0f},
        {{{0, 0}, {1000, 0}, {500, 0.0001f}}, 0.0f},  // a sliver
        {{{NaN, 0}, {1, 0}, {1, 1}, {0, 1}}, 0.0f},
        {{{0, 0}, {1, 0}, {0, INF}}, 0.0f},
        {{{0, 0}, {100, 0}, {50, 1}}, 50.0f},
        {{{1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}}, 14.0f},
    };
    for (const auto& c : cases) {
        std::unique_ptr<Polygon> polygon(Polygon::create(c.points.data(), static_cast<int>(c.points.size())));
        if (c.area == 0.0f) {
            EXPECT_EQ(polygon, nullptr) << c.points.size() << " points from " << c.points[0].x;
        } else {
            ASSERT_NE(polygon, nullptr);
            EXPECT_FLOAT_EQ(polygon->getArea(), c.area);
        }
    }
    for (const Vector2D& p : hullOf({{NaN, 0}, {1, 0}, {1, 1}, {0, 1}})) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));  // the march skips what is not finite
    }
}

TEST(Shapes, PolygonAndCapsuleMassAgainstIndependentValues) {
    // A polygon that is its own bounding box must weigh and turn like a Rect.
    std::vector<Vector2D> box = {{4, 2}, {0, 0}, {4, 0}, {0, 2}, {2, 1}};
    std::unique_ptr<Polygon> polygon(Polygon::create(box.data(), 5));
    ASSERT_NE(polygon, nullptr);
    polygon->m_density = 2.0f;
    Rect rect(Vector2D(0, 0), Vector2D(4, 2));
    rect.m_density = 2.0f;
    EXPECT_EQ(polygon->getPosition(), rect.getPosition());
    EXPECT_FLOAT_EQ(polygon->getMass(), rect.getMass());
    EXPECT_FLOAT_EQ(polygon->getMOI(), rect.getMOI());
    // Any other polygon turns more easily than its bounding box.
    std::vector<Vector2D> octagon = {{1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}};
    std::unique_ptr<Polygon> oct(Polygon::create(octagon.data(), 8));
    EXPECT_LT(oct->getMOI(), Rect(Vector2D(0, 0), Vector2D(4, 4)).getMOI());
    // A capsule: a 4 x 1 strip and two half discs.
    std::unique_ptr<Line> capsule(scenes::segment(0.0f, 0.0f, 2.0f, 0.5f));
    EXPECT_FLOAT_EQ(capsule->getArea(), 4.0f * 0.5f + Globals::PI * 0.25f);
    EXPECT_FLOAT_EQ(capsule->getMOI(), capsule->getMass() * (4.0f * 16.0f + 7.0f * 0.25f) / 12.0f);

    // A degenerate polygon (only the constructor makes one) has no area and no moment, and no NaN either.
    std::vector<Vector2D> flat = {{0, 0}, {1, 0}, {2, 0}};
    Polygon line(flat.data(), 3);
    EXPECT_EQ(line.getArea(), 0.0f);
    EXPECT_EQ(line.getMOI(), 0.0f);
}
