#include "physics/shape.h"

#include <cmath>

#include "physics/body.h"
#include "physics/globals.h"

namespace physics {

ChildObject<TwoDee>::ChildObject(const Vector2D& position, const Orientation2D& orientation)
    : m_localPosition(position),
      m_worldPosition(position),
      m_localOrientation(orientation),
      m_worldOrientation(orientation) {}

// ---------------------------------------------------------------- Area

Area::Area(const Vector2D& position, const Orientation2D& orientation, Type type)
    : ChildObject<TwoDee>(position, orientation),
      m_type(type),
      m_density(Globals::DEFAULT_DENSITY),
      m_restitution(Globals::DEFAULT_RESTITUTION),
      m_friction(Globals::DEFAULT_FRICTION) {}

// With update, the owning body (if any) recomputes its mass properties so that
// they never disagree with the shape's density.
void Area::setDensity(float density, bool update) {
    m_density = density;
    if (update && parent != nullptr) parent->shapesChanged();
}

// World bounds: the extreme point along each axis direction.
float Area::getMinX() const { return getExtremePoint(Vector2D(-1.0f, 0.0f)).x; }
float Area::getMaxX() const { return getExtremePoint(Vector2D(1.0f, 0.0f)).x; }
float Area::getMinY() const { return getExtremePoint(Vector2D(0.0f, -1.0f)).y; }
float Area::getMaxY() const { return getExtremePoint(Vector2D(0.0f, 1.0f)).y; }

// ---------------------------------------------------------------- Circle

Circle::Circle(const Vector2D& centre, float radius) : Area(centre, Orientation2D(0.0f), CIRCLE), m_radius(radius) {}

bool Circle::contains(const Vector2D& p) const {
    return (p - m_worldPosition).lengthSquared() <= m_radius * m_radius;  // the rim is inside
}

// Distance from the centre to the rectangle (0 inside it) against the radius;
// touching counts.
bool Circle::intersects(const AARect& r) const {
    const Vector2D& c = m_worldPosition;
    float nx = Clamp(c.x, r.getMinX(), r.getMaxX());
    float ny = Clamp(c.y, r.getMinY(), r.getMaxY());
    float dx = c.x - nx;
    float dy = c.y - ny;
    if (dx == 0.0f) return std::fabs(dy) <= m_radius;  // inside, or beside a horizontal side
    if (dy == 0.0f) return std::fabs(dx) <= m_radius;  // beside a vertical side
    return dx * dx + dy * dy <= m_radius * m_radius;   // beyond a corner
}

float Circle::getMinX() const { return m_worldPosition.x - m_radius; }
float Circle::getMaxX() const { return m_worldPosition.x + m_radius; }
float Circle::getMinY() const { return m_worldPosition.y - m_radius; }
float Circle::getMaxY() const { return m_worldPosition.y + m_radius; }
float Circle::getArea() const { return Globals::PI * m_radius * m_radius; }
float Circle::getMOI() const { return getMass() * m_radius * m_radius / 2.0f; }

// ---------------------------------------------------------------- Line

Line::Line(const Vector2D& position, const Orientation2D& orientation) : Area(position, orientation, LINE) {}

Line::Line(const Vector2D& position, const Orientation2D& orientation, Type type) : Area(position, orientation, type) {}

void Line::thisMoved() {
    m_p1 = localToWorld(m_local_p1);
    m_p2 = localToWorld(m_local_p2);
}

// A segment has no inside: a point counts when it lies within 0.01 of it.
bool Line::contains(const Vector2D& p) const { return distanceSq(p) < 0.0001f; }

bool Line::intersects(const AARect& r) const {
    return r.contains(m_p1) || r.contains(m_p2) || r.contains(m_worldPosition);
}

// Unit normal, a quarter turn counter-clockwise from p1->p2.
Vector2D Line::getNormal() const {
    Vector2D d = m_p2 - m_p1;
    return Vector2D(-d.y, d.x).normalise();
}

// Edge 0 runs p1->p2 and edge 1 back, so the two normals are opposite.
Vector2D Line::getNormal(int i) const { return (i % 2 == 0) ? getNormal() : -getNormal(); }
Vector2D Line::getVertex(int i) const { return (i % 2 == 0) ? m_p1 : m_p2; }

// A direction square to the segment picks p1.
Vector2D Line::getExtremePoint(const Vector2D& dir, int& index) const {
    if (dir.dot(m_p2 - m_p1) > 0.0f) {
        index = 1;
        return m_p2;
    }
    index = 0;
    return m_p1;
}

// A segment gets a nominal area (0.05 per unit of length) so that it has a mass.
float Line::getArea() const { return 0.05f * getLength(); }
float Line::getMOI() const { return getMass() * getLengthSq() / 12.0f; }

float Line::distanceSq(const Vector2D& p) const {
    Vector2D e = m_p2 - m_p1;
    Vector2D d = p - m_p1;
    float t = d.dot(e);
    if (t <= 0.0f) return d.lengthSquared();
    float ee = e.dot(e);
    if (ee <= t) return (p - m_p2).lengthSquared();
    return d.lengthSquared() - t * t / ee;
}

// ---------------------------------------------------------------- Capsule2D

Capsule2D::Capsule2D(const Vector2D& position, const Orientation2D& orientation, float radius)
    : Line(position, orientation, CAPSULE), m_radius(radius) {}

bool Capsule2D::contains(const Vector2D& p) const { return distanceSq(p) < m_radius * m_radius; }

Vector2D Capsule2D::getExtremePoint(const Vector2D& dir, int& index) const {
    return Line::getExtremePoint(dir, index) + dir * m_radius;
}

float Capsule2D::getArea() const { return getLength() * m_radius + Globals::PI * m_radius * m_radius; }

float Capsule2D::getMOI() const {
    float lengthSq = getLengthSq();
    return getMass() * (4.0f * lengthSq + 7.0f * m_radius * m_radius) / 12.0f;
}

bool Area::intersectsByCorners(const AARect& r, const Vector2D* vertices, int count) const {
    if (r.contains(m_worldPosition)) return true;
    for (int i = 0; i < count; ++i) {
        if (r.contains(vertices[i])) return true;
    }
    const Vector2D corners[4] = {r.getMin(), Vector2D(r.getMaxX(), r.getMinY()), r.getMax(),
                                 Vector2D(r.getMinX(), r.getMaxY())};
    for (const Vector2D& c : corners) {
        if (contains(c)) return true;
    }
    return false;
}

}  // namespace physics
