#include "physics/rect.h"

#include <cmath>

namespace physics {

Rect::Rect(float x1, float y1, float x2, float y2)
    : Area(Vector2D((x1 + x2) * 0.5f, (y1 + y2) * 0.5f), Orientation2D(0.0f), RECT),
      m_halfWidth(std::fabs(x2 * 0.5f - x1 * 0.5f)),
      m_halfHeight(std::fabs(y2 * 0.5f - y1 * 0.5f)) {
    Rect::thisMoved();
}

Rect::Rect(const Vector2D& a, const Vector2D& b)
    : Area((a + b) / 2.0f, Orientation2D(0.0f), RECT),
      m_halfWidth(std::fabs(b.x * 0.5f - a.x * 0.5f)),
      m_halfHeight(std::fabs(b.y * 0.5f - a.y * 0.5f)) {
    Rect::thisMoved();
}

Rect::Rect(const Vector2D& centre, float width, float height, const Orientation2D& o)
    : Area(centre, o, RECT), m_halfWidth(std::fabs(width * 0.5f)), m_halfHeight(std::fabs(height * 0.5f)) {
    Rect::thisMoved();
}

void Rect::init() {
    m_halfWidth = std::fabs(m_halfWidth);
    m_halfHeight = std::fabs(m_halfHeight);
    thisMoved();
}

namespace {

// Outward normals of the edges in the rectangle's own frame.
const Vector2D LOCAL_NORMALS[4] = {Vector2D(-1.0f, 0.0f), Vector2D(0.0f, -1.0f), Vector2D(1.0f, 0.0f),
                                   Vector2D(0.0f, 1.0f)};

}  // namespace

// The corners, normals, cosine and sine hold until the shape moves again: bodies
// call thisMoved() after every change of placement, so the queries only read.
void Rect::thisMoved() {
    const float angle = m_worldOrientation.value;
    if (angle != 0.0f) {
        m_cos = std::cos(angle);
        m_sin = std::sin(angle);
    }
    const Vector2D local[4] = {Vector2D(-m_halfWidth, m_halfHeight), Vector2D(-m_halfWidth, -m_halfHeight),
                               Vector2D(m_halfWidth, -m_halfHeight), Vector2D(m_halfWidth, m_halfHeight)};
    for (int k = 0; k < 4; ++k) {
        m_vertices[k] = m_worldPosition + turn(local[k]);
        m_normals[k] = turn(LOCAL_NORMALS[k]);
    }
}

// Edges count as inside.
bool Rect::contains(const Vector2D& p) const {
    Vector2D l = turnBack(p - m_worldPosition);
    return -m_halfWidth <= l.x && l.x <= m_halfWidth && -m_halfHeight <= l.y && l.y <= m_halfHeight;
}

// Corner containment only: a rotated rectangle crossing r with no corner of
// either inside the other is reported apart. Callers use it for picking and
// area queries, where that miss is harmless.
bool Rect::intersects(const AARect& r) const {
    return intersectsByCorners(r, m_vertices, 4);
}

float Rect::getArea() const { return (2.0f * m_halfWidth) * (2.0f * m_halfHeight); }

// m (w^2 + h^2) / 12 written with half extents.
float Rect::getMOI() const {
    return getMass() * (m_halfWidth * m_halfWidth + m_halfHeight * m_halfHeight) / 3.0f;
}

}  // namespace physics
