#pragma once
#include <list>
#include <utility>
#include <vector>

#include "physics/dimension.h"
#include "physics/vector.h"

namespace physics {

class Area;
class Profiler;

// Adds forces to whatever bodies it knows, once per step.
class ForceGenerator {
public:
    virtual ~ForceGenerator() = default;
    virtual void applyForce(float timeStep) = 0;
};

// One simulation: owns its bodies, joints, force generators and the five
// pipeline stages (also those handed to the constructor).
template <>
class World<TwoDee> {
public:
    using BodyPair = std::pair<Body<TwoDee>*, Body<TwoDee>*>;

    // Any stage may be null: the world then creates its default.
    explicit World(float timeStep = 0.0f, BroadPhase<TwoDee>* broadPhase = nullptr,
                   ContactGenerator<TwoDee>* contactGenerator = nullptr, ContactList<TwoDee>* contactList = nullptr,
                   ContactResolver<TwoDee>* velocityResolver = nullptr,
                   ContactResolver<TwoDee>* positionResolver = nullptr);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    void init();
    void setTimeStep(float dt);
    float getTimeStep() const { return m_timestep; }
    void setGravity(const Vector2D& g) { m_gravity = g; }
    const Vector2D& getGravity() const { return m_gravity; }

    void add(Body<TwoDee>* body);       // the world takes ownership
    void remove(Body<TwoDee>* body);    // hands ownership back; removes its contacts and joints
    Body<TwoDee>* add(Area* shape);     // wraps the shape in a new static body
    void add(Joint<TwoDee>* joint);     // the joint must have been set() first
    void remove(Joint<TwoDee>* joint);  // not deleted
    void add(ForceGenerator* force);
    void remove(ForceGenerator* force);

    void step();
    void applyForces();

    Body<TwoDee>* findBeneath(const Vector2D& point);
    std::list<Body<TwoDee>*> findBeneathAll(const AARect& rect);
    Body<TwoDee>* intersectRay(const Vector2D& from, const Vector2D& to, Vector2D& hit);
    Body<TwoDee>* intersectRay(const Vector2D& from, const Vector2D& to);

    BroadPhase<TwoDee>* getBroadPhase() const { return m_broadphase; }
    ContactGenerator<TwoDee>* getContactGenerator() const { return m_contactGenerator; }
    ContactList<TwoDee>* getContactList() const { return m_contactList; }
    ContactResolver<TwoDee>* getVelocityResolver() const { return m_velocityResolver; }
    ContactResolver<TwoDee>* getPositionResolver() const { return m_positionResolver; }
    Profiler* getProfiler() const;

    std::vector<Body<TwoDee>*> bodies;   // insertion order; owned
    std::vector<Joint<TwoDee>*> joints;  // owned
    std::list<ForceGenerator*> forces;   // owned
    float m_timestep;                    // seconds per step; change it through setTimeStep()
    float frameRWABias;                  // sleepRWABias ^ m_timestep: weight the running averages keep per step,
                                         // refreshed by init() and setTimeStep()
    BroadPhase<TwoDee>* m_broadphase;
    ContactGenerator<TwoDee>* m_contactGenerator;
    ContactList<TwoDee>* m_contactList;
    ContactResolver<TwoDee>* m_velocityResolver;
    ContactResolver<TwoDee>* m_positionResolver;
    Vector2D m_gravity;                  // acceleration on every movable awake body, units/s^2

private:
    void moveBodies();
};

}  // namespace physics
