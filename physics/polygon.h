#pragma once
#include <vector>

#include "physics/shape.h"

namespace physics {

// A convex polygon. Its position is the arithmetic mean of its vertices (not the
// area centroid), so the local vertices sum to (0, 0). Vertices built by create()
// run counter-clockwise (y up), so getNormal(i) points outward.
class Polygon : public Area {
public:
    // The points as world positions, in the given order, unchecked.
    Polygon(const Vector2D* points, int count);

    // The convex hull of the points as a new polygon (owned by the caller until
    // added to a body), or null when the hull has fewer than three points, is not
    // clearly of positive area, or the input is not finite.
    static Polygon* create(const Vector2D* points, int count);
    // Gift-wrapping hull of in[0..n) into out (room for n points); `count` gets its size.
    static void makeConvexHull(const Vector2D* in, int n, Vector2D* out, int& count);
    // The same in place; returns the hull's size.
    static int makeConvexHull(Vector2D* points, int n);

    void thisMoved() override;
    bool contains(const Vector2D& p) const override;
    bool intersects(const AARect& r) const override;
    float getRadius() const override { return 0.0f; }
    Vector2D getNormal(int i) const override;
    Vector2D getVertex(int i) const override;
    int getVertexCount() const override { return static_cast<int>(m_vertices.size()); }
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const override;
    using Area::getExtremePoint;
    float getArea() const override;
    float getMOI() const override;

    int m_vertexCount;
    std::vector<Vector2D> m_localVertices;  // relative to the polygon's position, in its own frame
    std::vector<Vector2D> m_vertices;       // world vertices, refreshed by thisMoved()
};

// The hull point that follows `current` in the counter-clockwise march.
int convexHullNextPoint(const Vector2D* points, int n, int current);

}  // namespace physics
