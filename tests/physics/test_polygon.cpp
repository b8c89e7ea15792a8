// Convex hull march and the polygon shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "physics/polygon.h"
#include "physics/rect.h"
#include "tests/physics/scenes.h"

using namespace physics;

namespace {

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

const float NaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(ConvexHull, MarchesCounterClockwiseFromLowestX) {
    std::vector<Vector2D> square = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    EXPECT_EQ(hullOf(square), square);
    std::vector<Vector2D> shuffled = {{1, 1}, {0, 1}, {0.5f, 0.5f}, {1, 0}, {0, 0}};
    // Lowest x ties between (0,1) and (0,0): the earlier index starts.
    EXPECT_EQ(hullOf(shuffled), (std::vector<Vector2D>{{0, 1}, {0, 0}, {1, 0}, {1, 1}}));
    std::vector<Vector2D> tie = {{0, 1}, {0, 0}, {1, 0}};
    EXPECT_EQ(hullOf(tie), tie);
}

TEST(ConvexHull, DuplicatesOnceAndEdgePointsByInputOrder) {
    EXPECT_EQ(hullOf({{0, 0}, {1, 0}, {1, 0}, {0, 1}}), (std::vector<Vector2D>{{0, 0}, {1, 0}, {0, 1}}));
    std::vector<Vector2D> kept = hullOf({{0, 0}, {1, 0}, {0.5f, 0}, {0, 1}});
    EXPECT_NE(std::find(kept.begin(), kept.end(), Vector2D(0.5f, 0)), kept.end());
    // A repeat of the march's current point used to make it forget the points
    // before the repeat and lose the corner (3,3).
    std::vector<Vector2D> repeats = {{3, 3}, {2, 2}, {2, 2}, {1, 1}, {2, 2}, {0, 0}, {0, 3}};
    std::vector<Vector2D> hull = hullOf(repeats);
    expectValidHull(hull, repeats);
    EXPECT_EQ(hull, (std::vector<Vector2D>{{0, 0}, {3, 3}, {0, 3}}));
    std::vector<Vector2D> dropped = hullOf({{0, 0}, {0.5f, 0}, {1, 0}, {0, 1}});
    EXPECT_EQ(dropped, (std::vector<Vector2D>{{0, 0}, {1, 0}, {0, 1}}));
}

TEST(ConvexHull, SmallInputs) {
    EXPECT_EQ(hullOf({{3, 4}, {3, 4}}).size(), 1u);
    EXPECT_EQ(hullOf({{3, 4}, {5, 4}}).size(), 2u);
    EXPECT_EQ(hullOf({{3, 4}}).size(), 1u);
    std::vector<Vector2D> inPlace = {{2, 2}, {0, 0}, {2, 0}, {1, 0.5f}, {0, 2}};
    EXPECT_EQ(Polygon::makeConvexHull(inPlace.data(), 5), 4);
    EXPECT_EQ(inPlace[0], Vector2D(0, 0));
    EXPECT_EQ(inPlace[4], Vector2D(0, 2));  // entries past the hull are left alone
}

TEST(ConvexHull, CollinearInputStopsWithItsEndPoints) {
    std::vector<Vector2D> line = {{0, 0}, {1, 0}, {2, 0}};
    EXPECT_EQ(hullOf(line), (std::vector<Vector2D>{{0, 0}, {2, 0}}));
    std::vector<Vector2D> diagonal = {{3, 3}, {0, 0}, {1, 1}, {2, 2}, {1, 1}};
    EXPECT_EQ(hullOf(diagonal).size(), 2u);
    EXPECT_EQ(Polygon::create(line.data(), 3), nullptr);
    EXPECT_EQ(Polygon::create(diagonal.data(), 5), nullptr);
}

TEST(ConvexHull, PointOnClosingEdgeTerminatesInEveryOrder) {
    std::vector<Vector2D> points = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0.5f}};
    std::sort(points.begin(), points.end(), [](const Vector2D& a, const Vector2D& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
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
    } while (std::next_permutation(points.begin(), points.end(), [](const Vector2D& a, const Vector2D& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    }));
    EXPECT_EQ(orders, 120);
}

TEST(ConvexHull, NonFiniteInputTerminatesAndMakesNoPolygon) {
    std::vector<Vector2D> withNaN = {{NaN, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::vector<Vector2D> hull = hullOf(withNaN);
    for (const Vector2D& p : hull) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    EXPECT_EQ(Polygon::create(withNaN.data(), 4), nullptr);
    std::vector<Vector2D> allNaN = {{NaN, NaN}, {NaN, NaN}, {NaN, NaN}};
    EXPECT_EQ(hullOf(allNaN).size(), 0u);
    std::vector<Vector2D> infinite = {{0, 0}, {1, 0}, {0, std::numeric_limits<float>::infinity()}};
    EXPECT_EQ(Polygon::create(infinite.data(), 3), nullptr);
}

TEST(ConvexHull, RandomSetsGiveValidHulls) {
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

TEST(PolygonCreate, RejectsTooFewPointsAndSlivers) {
    std::vector<Vector2D> two = {{0, 0}, {1, 1}};
    EXPECT_EQ(Polygon::create(two.data(), 2), nullptr);
    std::vector<Vector2D> same = {{2, 2}, {2, 2}, {2, 2}};
    EXPECT_EQ(Polygon::create(same.data(), 3), nullptr);
    std::vector<Vector2D> sliver = {{0, 0}, {1000, 0}, {500, 0.0001f}};
    EXPECT_EQ(Polygon::create(sliver.data(), 3), nullptr);
    std::vector<Vector2D> thin = {{0, 0}, {100, 0}, {50, 1}};
    std::unique_ptr<Polygon> polygon(Polygon::create(thin.data(), 3));
    ASSERT_NE(polygon, nullptr);
    EXPECT_FLOAT_EQ(polygon->getArea(), 50.0f);
    EXPECT_EQ(thin[2], Vector2D(50, 1));  // input untouched
}

TEST(PolygonShape, MassAndMomentMatchTheEnclosingBox) {
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

    // Any other polygon weighs less than its bounding box.
    std::vector<Vector2D> octagon = {{1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}};
    std::unique_ptr<Polygon> oct(Polygon::create(octagon.data(), 8));
    ASSERT_NE(oct, nullptr);
    EXPECT_FLOAT_EQ(oct->getArea(), 16.0f - 4.0f * 0.5f);
    EXPECT_LT(oct->getMOI(), Rect(Vector2D(0, 0), Vector2D(4, 4)).getMOI());
}

TEST(PolygonShape, EdgesNormalsAndContainment) {
    std::vector<Vector2D> square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    std::unique_ptr<Polygon> polygon(Polygon::create(square.data(), 4));
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->getNormal(0), Vector2D(0, -1));
    EXPECT_EQ(polygon->getNormal(1), Vector2D(1, 0));
    EXPECT_EQ(polygon->getNormal(3), Vector2D(-1, 0));
    EXPECT_EQ(polygon->getVertex(5), Vector2D(2, 0));
    EXPECT_TRUE(polygon->contains(Vector2D(2, 1)));  // on an edge
    EXPECT_TRUE(polygon->contains(Vector2D(0, 0)));
    EXPECT_FALSE(polygon->contains(Vector2D(2.001f, 1)));
    int index = -1;
    // Square to the top edge (vertices 2 and 3): the lower index wins.
    EXPECT_EQ(polygon->getExtremePoint(Vector2D(0, 1), index), Vector2D(2, 2));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(polygon->getMinX(), 0.0f);
    EXPECT_EQ(polygon->getMaxY(), 2.0f);

    EXPECT_TRUE(polygon->intersects(AARect(Vector2D(0.5f, 0.5f), Vector2D(1.5f, 1.5f))));
    EXPECT_TRUE(polygon->intersects(AARect(Vector2D(1.5f, 1.5f), Vector2D(5, 5))));
    EXPECT_TRUE(polygon->intersects(AARect(Vector2D(-1, -1), Vector2D(0.5f, 0.5f))));
    EXPECT_FALSE(polygon->intersects(AARect(Vector2D(3, 3), Vector2D(5, 5))));
}

TEST(PolygonShape, ConstructorKeepsGivenOrder) {
    // Clockwise through the constructor: negative area and inward normals.
    std::vector<Vector2D> clockwise = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
    Polygon polygon(clockwise.data(), 4);
    EXPECT_FLOAT_EQ(polygon.getArea(), -4.0f);
    EXPECT_LT(polygon.getNormal(0).dot(polygon.getVertex(0) - polygon.getPosition()), 0.0f);
    EXPECT_EQ(polygon.getPosition(), Vector2D(1, 1));
    EXPECT_EQ(polygon.m_localVertices[0], Vector2D(-1, -1));

    // A degenerate polygon has no area and no moment, and no NaN either.
    std::vector<Vector2D> flat = {{0, 0}, {1, 0}, {2, 0}};
    Polygon line(flat.data(), 3);
    EXPECT_EQ(line.getArea(), 0.0f);
    EXPECT_EQ(line.getMOI(), 0.0f);
    Polygon two(flat.data(), 2);
    EXPECT_FALSE(two.contains(Vector2D(0.5f, 0)));
}
