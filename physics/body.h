#pragma once
#include <cstdint>
#include <list>
#include <vector>

#include "physics/dimension.h"
#include "physics/globals.h"
#include "physics/moi.h"
#include "physics/shape.h"
#include "physics/vector.h"

namespace physics {

// Told of a body's contacts by the contact list. Return false to veto the contact.
template <>
class CollisionListener<TwoDee> {
public:
    virtual ~CollisionListener() = default;
    // side: 0 when the listener belongs to contact->body[0], 1 for body[1].
    virtual bool onCollision(Contact<TwoDee>* contact, int side) = 0;
};

// A rigid body: placement, velocities, the bias velocities of position
// correction, mass properties computed from its shapes, and sleeping.
template <>
class Body<TwoDee> {
public:
    Body();
    explicit Body(Area* shape);
    ~Body();  // deletes the shapes; only empties the other lists
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;

    static Body* create();
    static Body* create(Area* shape);
    static Body* createStatic(Area* shape);

    // Placement; each ends with thisMoved().
    void setPosition(const Vector2D& p);
    void setOrientation(const Orientation2D& o);
    void translate(const Vector2D& v);
    void rotate(const Rotation2D& r);

    const Vector2D& getPosition() const { return m_position; }
    const Orientation2D& getOrientation() const { return m_orientation; }
    const Vector2D& getVelocity() const { return m_velocity; }
    const Rotation2D& getRotation() const { return m_rotation; }
    const Vector2D& getBiasVelocity() const { return m_biasVelocity; }
    const Rotation2D& getBiasRotation() const { return m_biasRotation; }
    void setVelocity(const Vector2D& v, bool wake = true);
    void setRotation(const Rotation2D& r, bool wake = true);
    void killVelocity();  // velocity and rotation 0; bias values untouched
    // Motion as a new body has it: no velocity, no gathered bias, awake, with the
    // running averages of a new body. Placement, shapes and contacts untouched.
    void resetMotion();
    Vector2D getVelocityAtPoint(const Vector2D& p) const;
    Vector2D getBiasVelocityAtPoint(const Vector2D& p) const;

    void applyImpulse(const Vector2D& impulse, bool wake);
    void applyImpulse(const Vector2D& impulse, const Vector2D& point, bool wake);
    void applyBiasImpulse(const Vector2D& impulse, const Vector2D& point);  // never wakes

    // The shape keeps its world placement; the body takes ownership.
    void add(Area* shape);
    // Removes every occurrence; the caller owns the shape again.
    void remove(Area* shape);
    void removeShapes();  // empties the list without deleting or recomputing mass
    const std::list<Area*>& getShapes() const { return m_shapes; }
    void add(CollisionListener<TwoDee>* listener);
    void remove(CollisionListener<TwoDee>* listener);

    void setDensity(float density, bool update);
    void setRestitution(float r);
    void setFriction(float f);

    float getInverseMass() const { return m_inverseMass; }
    float getMass() const;  // +infinity when the inverse mass is 0
    const MOI2D& getMOI() const { return m_moi; }
    bool isStatic() const { return m_inverseMass == 0.0f && m_moi.isInfinite(); }
    bool isPinned() const { return m_inverseMass == 0.0f; }
    bool isRotatable() const { return m_moi.inverseMOI != 0.0f; }
    bool isAwake() const { return m_isAwake && !isStatic(); }
    float getBoundingRadius() const { return m_boundingRadius; }

    void setStatic(bool isStatic);
    void setPinned(bool pinned);
    void setRotatable(bool rotatable);
    void setCanSleep(bool canSleep) { m_canSleep = canSleep; }
    bool canSleep() const { return m_canSleep; }
    void setAwake(bool awake);

    Vector2D localToWorld(const Vector2D& v) const { return m_position + m_orientation.transform(v); }
    Vector2D worldToLocal(const Vector2D& v) const { return m_orientation.inverseTransform(v - m_position); }
    Vector2D localToWorldDir(const Vector2D& v) const { return m_orientation.transform(v); }
    Vector2D worldToLocalDir(const Vector2D& v) const { return m_orientation.inverseTransform(v); }
    bool contains(const Vector2D& p) const;
    bool intersects(const AARect& r) const;
    bool intersectsRay(const Vector2D& from, const Vector2D& to, Vector2D& hit) const;
    // Bounds of all shapes; must not be asked of a body without shapes.
    AARect getAABB() const { return createAABB(); }
    AARect createAABB() const;

    // Integration, called by the world.
    void applyForces(float dt, const Vector2D& gravity, float bias);
    Vector2D getDrag() const;
    void move(float dt);
    void moveBias(float dt);
    void advance(float dt);  // move(dt), then moveBias(dt), placing the shapes once

    void thisMoved();
    void shapesChanged();

    // Called by the contact list once per step, before it measures contacts:
    // sets isResting() to whether the body is not awake now, was not awake at
    // the last call, and its placement, velocities, mass and moment are the
    // same bits as then, with no wake and no shapesChanged() in between.
    void noteRest() {
        if (isAwake()) {
            m_resting = false;
            m_seenAsleep = false;
        } else {
            noteRestAsleep();
        }
    }
    bool isResting() const { return m_resting; }
    float calculateInverseMass() const;
    float calculateBoundingRadius() const;

    void* data = nullptr;                        // free for the body's user
    std::vector<Contact<TwoDee>*> contacts;      // current contacts in listing order, kept by the contact list
    std::list<Joint<TwoDee>*> joints;            // attached joints, kept by the world
    std::list<CollisionListener<TwoDee>*> m_listeners;  // not owned

    float m_inverseMass = 0.0f;     // 1/mass; 0 means immovable
    MOI2D m_moi;                    // inverse moment of inertia about m_position
    float m_boundingRadius = 0.0f;  // distance from m_position to the furthest shape point
    Vector2D m_position;            // reference point: the centre of mass once shapes are added
    Orientation2D m_orientation;    // radians
    // Each rotation follows its velocity, so that the resolvers read the three
    // floats of a body's motion at once (lanes::Motion).
    Vector2D m_velocity;            // units per second
    Rotation2D m_rotation;          // radians per second
    Vector2D m_biasVelocity;        // position-correction displacement gathered this step (whole-step, not a rate)
    Rotation2D m_biasRotation;      // position-correction turn gathered this step, radians (not a rate)
    std::list<Area*> m_shapes;      // owned
    static constexpr float NEW_RWA = 10.0f;  // running averages of a new body: far above any sleep threshold
    bool m_isAwake = true;             // raw sleep flag
    float m_linearRWA = NEW_RWA;       // running weighted average of the speed
    float m_rotationalRWA = NEW_RWA;   // running weighted average of |angular velocity|
    bool m_canSleep;                // whether the body may fall asleep

private:
    void stepByVelocity(float dt);  // placement by velocity * dt; shapes not placed
    void spendBias();               // placement by the bias gathered, which is cleared; shapes not placed
    void noteRestAsleep();

    // What noteRest() last saw, compared bit for bit: position, orientation,
    // velocity, rotation, inverse mass and inverse moment. Edits these do not
    // show (a wake that changed nothing else, new shapes) bump m_changes.
    static constexpr int kSeenFields = 8;
    std::uint32_t m_seen[kSeenFields] = {};
    std::uint32_t m_seenChanges = 0;
    bool m_seenAsleep = false;      // not awake at the last noteRest()
    bool m_resting = false;
    std::uint32_t m_changes = 0;
};

// The resolvers call these for every contact in every iteration: defined here
// so that they inline there.

inline Vector2D Body<TwoDee>::getVelocityAtPoint(const Vector2D& p) const {
    float w = m_rotation.value;
    return m_velocity + Vector2D(-w * (p.y - m_position.y), w * (p.x - m_position.x));
}

inline Vector2D Body<TwoDee>::getBiasVelocityAtPoint(const Vector2D& p) const {
    float w = m_biasRotation.value;
    return m_biasVelocity + Vector2D(-w * (p.y - m_position.y), w * (p.x - m_position.x));
}

inline void Body<TwoDee>::applyImpulse(const Vector2D& impulse, const Vector2D& point, bool wake) {
    if (wake) setAwake(true);
    m_velocity += impulse * m_inverseMass;
    m_rotation += Rotation2D(m_moi.getRotationChange(impulse, point - m_position));
}

// Position correction: gathers a displacement for this step, separate from the
// real velocity so that resolving overlap adds no energy. Never wakes the body.
inline void Body<TwoDee>::applyBiasImpulse(const Vector2D& impulse, const Vector2D& point) {
    Vector2D r = point - m_position;
    m_biasVelocity += impulse * m_inverseMass;
    m_biasRotation += Rotation2D((r.x * impulse.y - r.y * impulse.x) * m_moi.inverseMOI);
}

// Waking restarts the running averages at twice the thresholds, so a body that
// stays at rest falls asleep again about 60 steps (one second) later. Inline:
// the velocity resolver wakes a contact's static partner in its inner loop.
inline void Body<TwoDee>::setAwake(bool awake) {
    if (awake && Globals::useSleeping) {
        // A static body's flag does not make it awake (isAwake()); any other
        // wake may have let the resolvers move it, so noteRest() must see one.
        if (!m_isAwake && !isStatic()) ++m_changes;
        m_isAwake = true;
        m_linearRWA = 2.0f * Globals::linearVelocitySleepEpsilon;
        m_rotationalRWA = 2.0f * Globals::angularVelocitySleepEpsilon;
    } else if (!awake && m_canSleep) {
        m_isAwake = false;
        m_velocity = Vector2D(0.0f, 0.0f);
        m_rotation = Rotation2D(0.0f);
    }
}

}  // namespace physics
