#pragma once
#include <type_traits>

#include "physics/shape.h"

namespace physics {

// A rectangle. Corners (world, counter-clockwise) and edges:
//
//        0 +-----3-----+ 3        corner k = centre + turn(local_k)
//          |           |          local_0 = (-hw, +hh)   local_1 = (-hw, -hh)
//          0           2          local_2 = (+hw, -hh)   local_3 = (+hw, +hh)
//          |           |          edge k runs from corner k to corner k+1;
//        1 +-----1-----+ 2        normal k is its outward normal: (-1,0) (0,-1) (1,0) (0,1)
//
// final: the contact generator reaches these queries through Rect* without a
// virtual call, so they inline into its separating-axis loop.
class Rect final : public Area {
public:
    Rect(float x1, float y1, float x2, float y2);
    Rect(const Vector2D& a, const Vector2D& b);
    Rect(const Vector2D& centre, float width, float height, const Orientation2D& o);

    void init();  // makes negative half extents positive, then refreshes the corners
    void setWidth(float w) { m_halfWidth = w / 2; }
    void setHeight(float h) { m_halfHeight = h / 2; }
    // Corners follow at the next thisMoved() (bodies call it whenever they move).
    void setSize(float w, float h) { setWidth(w); setHeight(h); }
    float getHalfWidth() const { return m_halfWidth; }
    float getHalfHeight() const { return m_halfHeight; }

    void thisMoved() override;
    bool contains(const Vector2D& p) const override;
    bool intersects(const AARect& r) const override;
    float getRadius() const override { return 0.0f; }
    // The normals are the unit axes turned by the cosine and sine of one angle,
    // which are never both 0 (a NaN angle gives NaN normals, not zero ones).
    static constexpr bool NORMALS_NEVER_ZERO = true;
    // Outward normal of edge i; a negative i has no edge and gets (0, 0).
    Vector2D getNormal(int i) const override {
        int k = i % 4;
        if (k < 0) return Vector2D(0.0f, 0.0f);
        return m_normals[k];
    }
    // i modulo 4, also for a negative i (two's complement: i & 3).
    Vector2D getVertex(int i) const override { return m_vertices[i & 3]; }
    int getVertexCount() const override { return 4; }
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const override;
    using Area::getExtremePoint;
    float getArea() const override;
    float getMOI() const override;

    float m_halfWidth;     // never negative
    float m_halfHeight;    // never negative
    Vector2D m_vertices[4];  // world corners
    Vector2D m_normals[4];   // world outward edge normals

private:
    // m_worldOrientation.transform(v) / inverseTransform(v) with the cosine and
    // sine cached by thisMoved(): the same expressions, so the same bits, without
    // a sine and a cosine on every collision query.
    Vector2D turn(const Vector2D& v) const {
        if (m_worldOrientation.value == 0.0f) return v;
        return Vector2D(v.x * m_cos - v.y * m_sin, v.x * m_sin + v.y * m_cos);
    }
    Vector2D turnBack(const Vector2D& v) const {
        if (m_worldOrientation.value == 0.0f) return v;
        return Vector2D(v.x * m_cos + v.y * m_sin, -v.x * m_sin + v.y * m_cos);
    }

    float m_cos = 1.0f;  // cos and sin of m_worldOrientation at the last thisMoved()
    float m_sin = 0.0f;
};

// Ties decide which corner a contact uses when dir is parallel to an edge: a
// level direction on the left picks corner 1, on the right corner 3, and a
// vertical direction counts as the right side.
inline Vector2D Rect::getExtremePoint(const Vector2D& dir, int& index) const {
    Vector2D l = turnBack(dir);
    if (l.x < 0.0f) {
        index = (l.y <= 0.0f) ? 1 : 0;
    } else {
        index = (l.y < 0.0f) ? 2 : 3;
    }
    return m_vertices[index];
}

// f(a, b) with each shape as its own type when it is a rectangle or a circle
// (both final, so their queries inline: this matters for the many contacts of
// a level) and as an Area otherwise (through the vtable). The arithmetic is the
// same either way. AreaT is Area or const Area.
template <class AreaT, class F>
decltype(auto) byShapeTypes(AreaT* a, AreaT* b, F&& f) {
    using RectT = std::conditional_t<std::is_const<AreaT>::value, const Rect, Rect>;
    using CircleT = std::conditional_t<std::is_const<AreaT>::value, const Circle, Circle>;
    auto withSecond = [b, &f](auto* first) -> decltype(auto) {
        switch (b->type()) {
            case Area::RECT: return f(first, static_cast<RectT*>(b));
            case Area::CIRCLE: return f(first, static_cast<CircleT*>(b));
            default: return f(first, b);
        }
    };
    switch (a->type()) {
        case Area::RECT: return withSecond(static_cast<RectT*>(a));
        case Area::CIRCLE: return withSecond(static_cast<CircleT*>(a));
        default: return withSecond(a);
    }
}

}  // namespace physics
