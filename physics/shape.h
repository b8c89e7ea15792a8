#pragma once
// Shapes: a body is made of one or more; each sits at a local offset and
// orientation relative to its body and carries its material.
#include "physics/dimension.h"
#include "physics/vector.h"

namespace physics {

// A part placed relative to a parent body, caching its world placement.
template <>
class ChildObject<TwoDee> {
public:
    ChildObject(const Vector2D& position, const Orientation2D& orientation);
    virtual ~ChildObject() = default;

    // Refreshes cached world data after the world placement changed.
    virtual void thisMoved() {}

    const Vector2D& getPosition() const { return m_worldPosition; }
    const Orientation2D& getOrientation() const { return m_worldOrientation; }
    Vector2D localToWorld(const Vector2D& v) const { return m_worldOrientation.transform(v) + m_worldPosition; }

    Vector2D m_localPosition;           // offset from the parent's position, in the parent's frame
    Vector2D m_worldPosition;           // cached world position
    Orientation2D m_localOrientation;   // orientation relative to the parent
    Orientation2D m_worldOrientation;   // cached world orientation
    Body<TwoDee>* parent = nullptr;     // owning body; null while not attached
};


class Area : public ChildObject<TwoDee> {
public:
    enum Type { CIRCLE = 0, LINE = 1, CAPSULE = 2, RECT = 3, POLYGON = 4 };

    Area(const Vector2D& position, const Orientation2D& orientation, Type type);

    virtual bool contains(const Vector2D& p) const = 0;
    virtual bool intersects(const AARect& r) const = 0;
    virtual float getRadius() const = 0;                 // widening beyond the vertices; 0 for sharp shapes
    virtual Vector2D getNormal(int i) const = 0;         // world outward normal of edge i
    // True for a kind whose getNormal(i), 0 <= i < getVertexCount(), is never
    // (0, 0); the separating-axis loop then need not look for a zero normal.
    static constexpr bool NORMALS_NEVER_ZERO = false;
    virtual Vector2D getVertex(int i) const = 0;         // world vertex i
    virtual int getVertexCount() const = 0;
    // The world point furthest along dir; `index` receives the vertex used.
    virtual Vector2D getExtremePoint(const Vector2D& dir, int& index) const = 0;
    virtual float getMinX() const;
    virtual float getMaxX() const;
    virtual float getMinY() const;
    virtual float getMaxY() const;
    // Fixed at construction and read without a virtual call, so that the
    // contact paths can pick a shape's inline queries (see rect.h).
    Type type() const { return m_type; }
    virtual float getArea() const = 0;
    virtual float getMOI() const = 0;                    // about the shape's own position, mass included

    float getDensity() const { return m_density; }
    void setDensity(float density, bool update);
    float getRestitution() const { return m_restitution; }
    void setRestitution(float r) { m_restitution = r; }
    float getFriction() const { return m_friction; }
    void setFriction(float f) { m_friction = f; }
    float getMass() const { return getArea() * m_density; }
    float getRadiusSq() const { float r = getRadius(); return r * r; }
    Vector2D getExtremePoint(const Vector2D& dir) const { int i; return getExtremePoint(dir, i); }
    Body<TwoDee>* getBody() const { return parent; }

protected:
    // The rectangle test shared by sharp shapes, first hit answering true: r holds
    // the shape's position, or one of `vertices` in order, or the shape holds a
    // corner of r (min,min), (max,min), (max,max), (min,max).
    bool intersectsByCorners(const AARect& r, const Vector2D* vertices, int count) const;

private:
    Type m_type;

public:
    float m_density;      // mass per unit area
    float m_restitution;  // bounciness, 0..1
    float m_friction;     // Coulomb coefficient
};

// final: the contact generator reaches these queries through Circle* without a
// virtual call.
class Circle final : public Area {
public:
    Circle(const Vector2D& centre, float radius);
    void setRadius(float r) { m_radius = r; }

    bool contains(const Vector2D& p) const override;
    bool intersects(const AARect& r) const override;
    float getRadius() const override { return m_radius; }
    // One vertex, the centre, and no face: its normal is (0, 0), which the
    // separating-axis loop skips.
    Vector2D getNormal(int) const override { return Vector2D(0.0f, 0.0f); }
    Vector2D getVertex(int) const override { return m_worldPosition; }
    int getVertexCount() const override { return 1; }
    // dir is taken as a unit vector: it is not normalised here.
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const override {
        index = 0;
        return m_worldPosition + dir * m_radius;
    }
    using Area::getExtremePoint;
    float getMinX() const override;
    float getMaxX() const override;
    float getMinY() const override;
    float getMaxY() const override;
    float getArea() const override;
    float getMOI() const override;

    float m_radius;
};

// A segment. Whoever creates one sets m_local_p1 / m_local_p2 and calls thisMoved().
class Line : public Area {
public:
    Line(const Vector2D& position = Vector2D(), const Orientation2D& orientation = Orientation2D());

    void thisMoved() override;
    bool contains(const Vector2D& p) const override;
    bool intersects(const AARect& r) const override;
    float getRadius() const override { return 0.0f; }
    Vector2D getNormal(int i) const override;
    Vector2D getNormal() const;
    Vector2D getVertex(int i) const override;
    int getVertexCount() const override { return 2; }
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const override;
    using Area::getExtremePoint;
    float getArea() const override;
    float getMOI() const override;

    float distanceSq(const Vector2D& p) const;  // squared distance from p to the segment
    float getLength() const { return (m_p2 - m_p1).length(); }
    float getLengthSq() const { return (m_p2 - m_p1).lengthSquared(); }
    const Vector2D& getP1() const { return m_p1; }
    const Vector2D& getP2() const { return m_p2; }

    Vector2D m_p1, m_p2;              // world endpoints
    Vector2D m_local_p1, m_local_p2;  // endpoints relative to the shape's own position and orientation

protected:
    Line(const Vector2D& position, const Orientation2D& orientation, Type type);  // for a widened segment
};

class Capsule2D : public Line {
public:
    Capsule2D(const Vector2D& position = Vector2D(), const Orientation2D& orientation = Orientation2D(),
              float radius = 0.0f);

    bool contains(const Vector2D& p) const override;
    float getRadius() const override { return m_radius; }
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const override;
    using Area::getExtremePoint;
    float getArea() const override;
    float getMOI() const override;

    float m_radius;
};

}  // namespace physics
