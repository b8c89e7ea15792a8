#include "physics/body.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "physics/globals.h"

namespace physics {

Body<TwoDee>::Body() : m_canSleep(Globals::useSleeping) {}

Body<TwoDee>::Body(Area* shape) : Body() { add(shape); }

Body<TwoDee>::~Body() {
    for (Area* shape : m_shapes) delete shape;
    m_shapes.clear();
    contacts.clear();
    joints.clear();
    m_listeners.clear();
}

Body<TwoDee>* Body<TwoDee>::create() { return new Body(); }
Body<TwoDee>* Body<TwoDee>::create(Area* shape) { return new Body(shape); }

Body<TwoDee>* Body<TwoDee>::createStatic(Area* shape) {
    Body* body = new Body(shape);
    body->setStatic(true);
    return body;
}

// ---------------------------------------------------------------- placement

void Body<TwoDee>::setPosition(const Vector2D& p) {
    m_position = p;
    thisMoved();
}

void Body<TwoDee>::setOrientation(const Orientation2D& o) {
    m_orientation = o;
    thisMoved();
}

void Body<TwoDee>::translate(const Vector2D& v) {
    m_position += v;
    thisMoved();
}

void Body<TwoDee>::rotate(const Rotation2D& r) {
    m_orientation += r;
    thisMoved();
}

// ---------------------------------------------------------------- velocity

void Body<TwoDee>::setVelocity(const Vector2D& v, bool wake) {
    if (wake) setAwake(true);
    m_velocity = v;
}

void Body<TwoDee>::setRotation(const Rotation2D& r, bool wake) {
    if (wake) setAwake(true);
    m_rotation = r;
}

void Body<TwoDee>::killVelocity() {
    m_velocity = Vector2D(0.0f, 0.0f);
    m_rotation = Rotation2D(0.0f);
}

void Body<TwoDee>::resetMotion() {
    killVelocity();
    m_biasVelocity = Vector2D(0.0f, 0.0f);
    m_biasRotation = Rotation2D(0.0f);
    m_isAwake = true;
    m_linearRWA = NEW_RWA;
    m_rotationalRWA = NEW_RWA;
}

// ---------------------------------------------------------------- impulses

void Body<TwoDee>::applyImpulse(const Vector2D& impulse, bool wake) {
    if (wake) setAwake(true);
    m_velocity += impulse * m_inverseMass;
}

// ---------------------------------------------------------------- shapes

// A null shape (Polygon::create found no polygon) is ignored rather than stored.
void Body<TwoDee>::add(Area* shape) {
    if (shape == nullptr) return;
    m_shapes.push_back(shape);
    shape->parent = this;
    shape->m_localPosition = m_orientation.inverseTransform(shape->m_worldPosition - m_position);
    shape->m_localOrientation = shape->m_worldOrientation - m_orientation;
    shapesChanged();
}

// The shape forgets this body too, so that nothing it does later (setDensity with
// update) reaches a body that may be gone.
void Body<TwoDee>::remove(Area* shape) {
    bool attached = std::find(m_shapes.begin(), m_shapes.end(), shape) != m_shapes.end();
    m_shapes.remove(shape);
    if (attached && shape->parent == this) shape->parent = nullptr;
    shapesChanged();
}

void Body<TwoDee>::removeShapes() { m_shapes.clear(); }

void Body<TwoDee>::add(CollisionListener<TwoDee>* listener) {
    if (listener != nullptr) m_listeners.push_back(listener);
}
void Body<TwoDee>::remove(CollisionListener<TwoDee>* listener) { m_listeners.remove(listener); }

void Body<TwoDee>::setDensity(float density, bool update) {
    for (Area* shape : m_shapes) shape->m_density = density;
    if (update) shapesChanged();
}

void Body<TwoDee>::setRestitution(float r) {
    for (Area* shape : m_shapes) shape->m_restitution = r;
}

void Body<TwoDee>::setFriction(float f) {
    for (Area* shape : m_shapes) shape->m_friction = f;
}

// ---------------------------------------------------------------- mass and switches

float Body<TwoDee>::getMass() const {
    if (m_inverseMass == 0.0f) return std::numeric_limits<float>::infinity();
    return 1.0f / m_inverseMass;
}

void Body<TwoDee>::setStatic(bool isStatic) {
    if (isStatic) {
        m_inverseMass = 0.0f;
        m_moi.inverseMOI = 0.0f;
        m_rotation = Rotation2D(0.0f);
        m_velocity = Vector2D(0.0f, 0.0f);
    } else {
        shapesChanged();
    }
}

void Body<TwoDee>::setPinned(bool pinned) {
    shapesChanged();
    if (pinned) {
        m_inverseMass = 0.0f;
        m_velocity = Vector2D(0.0f, 0.0f);
    }
}

void Body<TwoDee>::setRotatable(bool rotatable) {
    shapesChanged();
    if (!rotatable) {
        m_moi.inverseMOI = 0.0f;
        m_rotation = Rotation2D(0.0f);
    }
}

// ---------------------------------------------------------------- geometry

bool Body<TwoDee>::contains(const Vector2D& p) const {
    for (const Area* shape : m_shapes) {
        if (shape->contains(p)) return true;
    }
    return false;
}

bool Body<TwoDee>::intersects(const AARect& r) const {
    for (const Area* shape : m_shapes) {
        if (shape->intersects(r)) return true;
    }
    return false;
}

// Ray queries are not supported by bodies: never a hit.
bool Body<TwoDee>::intersectsRay(const Vector2D&, const Vector2D&, Vector2D&) const { return false; }

// Recomputed on every call. A body without shapes has no bounds; it gets an
// empty rectangle at its position rather than reading a missing shape.
AARect Body<TwoDee>::createAABB() const {
    if (m_shapes.empty()) return AARect(m_position, m_position);
    const Area* first = m_shapes.front();
    float minX = first->getMinX(), maxX = first->getMaxX();
    float minY = first->getMinY(), maxY = first->getMaxY();
    for (auto it = std::next(m_shapes.begin()); it != m_shapes.end(); ++it) {
        minX = std::min(minX, (*it)->getMinX());
        maxX = std::max(maxX, (*it)->getMaxX());
        minY = std::min(minY, (*it)->getMinY());
        maxY = std::max(maxY, (*it)->getMaxY());
    }
    return AARect(Vector2D(minX, minY), Vector2D(maxX, maxY));
}

// ---------------------------------------------------------------- integration

// bias is the share of the running averages kept per step: sleepRWABias^dt.
void Body<TwoDee>::applyForces(float dt, const Vector2D& gravity, float bias) {
    if (!m_isAwake) return;
    if (Globals::useSleeping && m_canSleep) {
        m_linearRWA = m_linearRWA * bias + m_velocity.length() * (1.0f - bias);
        m_rotationalRWA = m_rotationalRWA * bias + std::fabs(m_rotation.value) * (1.0f - bias);
        // Capped so that a burst of speed does not keep a body awake for long after it stops.
        float linearCap = 10.0f * Globals::linearVelocitySleepEpsilon;
        float rotationalCap = 10.0f * Globals::angularVelocitySleepEpsilon;
        if (m_linearRWA > linearCap) m_linearRWA = linearCap;
        if (m_rotationalRWA > rotationalCap) m_rotationalRWA = rotationalCap;
        if (m_linearRWA < Globals::linearVelocitySleepEpsilon &&
            m_rotationalRWA < Globals::angularVelocitySleepEpsilon) {
            setAwake(false);
            return;  // asleep: no gravity this step
        }
    }
    if (Globals::airResistance) m_velocity += getDrag() * m_inverseMass;
    // Gravity is an acceleration: independent of mass, none for immovable bodies.
    if (m_inverseMass != 0.0f) m_velocity += gravity * dt;
}

Vector2D Body<TwoDee>::getDrag() const {
    if (!Globals::airResistance) return Vector2D(0.0f, 0.0f);
    if (Globals::linearDrag) return m_velocity * -Globals::linearDragCoefficient;
    float size = 2.0f * m_boundingRadius;
    return m_velocity * (-Globals::quadraticDragCoefficient * size * size * m_velocity.length());
}

void Body<TwoDee>::move(float dt) {
    if (!m_isAwake) return;
    stepByVelocity(dt);
    thisMoved();
}

void Body<TwoDee>::moveBias(float) {
    if (!m_isAwake) return;
    spendBias();
    thisMoved();
}

// move(dt) then moveBias(dt) with the shapes placed once, at the end: the
// placement move() gives is never read before moveBias() replaces it, and each
// placement is a function of the body's position and orientation alone.
void Body<TwoDee>::advance(float dt) {
    if (!m_isAwake) return;
    stepByVelocity(dt);
    spendBias();
    thisMoved();
}

void Body<TwoDee>::stepByVelocity(float dt) {
    m_position += m_velocity * dt;
    m_orientation += Rotation2D(m_rotation.value * dt);
}

// The bias values are displacements for the whole step: dt does not enter.
// Placing the shapes reads neither, so they are cleared at once.
void Body<TwoDee>::spendBias() {
    m_position += m_biasVelocity;
    m_orientation += m_biasRotation;
    m_biasVelocity = Vector2D(0.0f, 0.0f);
    m_biasRotation = Rotation2D(0.0f);
}

// ---------------------------------------------------------------- shape bookkeeping

void Body<TwoDee>::thisMoved() {
    for (Area* shape : m_shapes) {
        if (shape->parent == nullptr) {
            shape->m_worldPosition = shape->m_localPosition;
            shape->m_worldOrientation = shape->m_localOrientation;
        } else {
            shape->m_worldPosition = m_position + m_orientation.transform(shape->m_localPosition);
            shape->m_worldOrientation = shape->m_localOrientation + m_orientation;
        }
        shape->thisMoved();
    }
}

// Recomputes mass, centre of mass, moment and bounding radius from the shapes.
// The reference point moves to the centre of mass while the shapes keep their
// world placement. The offset c is found in the body frame (from the local
// offsets) and carried into the world frame by the body's orientation before it
// moves the position; at orientation 0 that turn is exact and changes nothing.
void Body<TwoDee>::shapesChanged() {
    ++m_changes;
    m_inverseMass = calculateInverseMass();

    Vector2D weighted;
    for (const Area* shape : m_shapes) weighted += shape->m_localPosition * (shape->getArea() * shape->m_density);
    Vector2D c = weighted * m_inverseMass;
    // An overflowing mass sum gives inverse mass 0 and c = inf * 0: leave the placement alone then.
    if (std::isfinite(c.x) && std::isfinite(c.y)) {
        m_position += m_orientation.transform(c);
        for (Area* shape : m_shapes) shape->m_localPosition -= c;
    }

    m_moi = MOI2D(this);
    m_boundingRadius = calculateBoundingRadius();
}

// A resting body's contacts are not measured again (BaseContactList::addContacts):
// they would come out the same bits, since everything a contact reads of its
// bodies is compared here. Shapes edited in place (material, size) while the
// body rests take effect once it is woken.
void Body<TwoDee>::noteRestAsleep() {
    const float state[kSeenFields] = {m_position.x, m_position.y, m_orientation.value, m_velocity.x,
                                      m_velocity.y, m_rotation.value, m_inverseMass, m_moi.inverseMOI};
    std::uint32_t bits[kSeenFields];
    std::memcpy(bits, state, sizeof bits);  // bits, so that -0 differs from +0 and a NaN equals itself
    std::uint32_t differ = m_seenChanges ^ m_changes;
    for (int i = 0; i < kSeenFields; ++i) {
        differ |= bits[i] ^ m_seen[i];
        m_seen[i] = bits[i];
    }
    m_resting = m_seenAsleep && differ == 0;
    m_seenChanges = m_changes;
    m_seenAsleep = true;
}

float Body<TwoDee>::calculateInverseMass() const {
    float mass = 0.0f;
    for (const Area* shape : m_shapes) mass += shape->getArea() * shape->m_density;
    return mass == 0.0f ? 0.0f : 1.0f / mass;
}

// -1 for a body without shapes.
float Body<TwoDee>::calculateBoundingRadius() const {
    float radius = -1.0f;
    for (const Area* shape : m_shapes) {
        int n = shape->getVertexCount();
        for (int i = 0; i < n; ++i) {
            radius = std::max(radius, (shape->getVertex(i) - m_position).length() + shape->getRadius());
        }
    }
    return radius;
}

}  // namespace physics
