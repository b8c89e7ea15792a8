#include "physics/world.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "physics/body.h"
#include "physics/broadphase_quadtree.h"
#include "physics/contact_generator.h"
#include "physics/contact_list_base.h"
#include "physics/globals.h"
#include "physics/joint.h"
#include "physics/position_resolver_catto.h"
#include "physics/profiler.h"
#include "physics/velocity_resolver_catto.h"

namespace physics {

namespace {

// Iterations of each resolver in the default pipeline.
const int DEFAULT_ITERATIONS = 10;

// Profiler labels, made once: the hooks run every step even while the profiler is off.
const std::string BODY_COUNT = "Body Count";
const std::string MOVE_BODIES = "moveBodies";
const std::string APPLY_FORCES = "applyForces";
const std::string FIND_PAIRS = "findPairs";
const std::string PAIRS = "Pairs";
const std::string FIND_CONTACTS = "findContacts";
const std::string NEW_CONTACTS = "New Contacts";
const std::string ADD_CONTACTS = "addContacts";
const std::string NOTIFY_LISTENERS = "notifyListeners";
const std::string TOTAL_CONTACTS = "Total Contacts";
const std::string RESOLVE_VELOCITIES = "resolveVelocities";
const std::string RESOLVE_PENETRATION = "resolvePenetration";

// Runs one stage of the step inside a profiler scope and hands back what it returns.
template <class Stage>
auto timed(const std::string& label, Stage&& stage) {
    ProfileScope scope(label);
    return stage();
}

}  // namespace

World<TwoDee>::World(float timeStep, BroadPhase<TwoDee>* broadPhase, ContactGenerator<TwoDee>* contactGenerator,
                     ContactList<TwoDee>* contactList, ContactResolver<TwoDee>* velocityResolver,
                     ContactResolver<TwoDee>* positionResolver)
    : m_timestep(timeStep),
      frameRWABias(0.0f),
      m_broadphase(broadPhase),
      m_contactGenerator(contactGenerator),
      m_contactList(contactList),
      m_velocityResolver(velocityResolver),
      m_positionResolver(positionResolver),
      m_gravity(0.0f, Globals::GRAVITY) {
    init();
}

World<TwoDee>::~World() {
    Profiler::profiler.end();
    delete m_broadphase;
    delete m_contactGenerator;
    delete m_contactList;
    delete m_velocityResolver;
    delete m_positionResolver;
    for (Joint<TwoDee>* j : joints) delete j;
    for (ForceGenerator* f : forces) delete f;
    for (Body<TwoDee>* b : bodies) delete b;
}

void World<TwoDee>::init() {
    if (m_timestep == 0.0f) m_timestep = Globals::DEFAULT_TIMESTEP;
    if (m_broadphase == nullptr) m_broadphase = new QuadtreeBroadPhase();
    if (m_contactGenerator == nullptr) m_contactGenerator = new ContactGenerator<TwoDee>();
    if (m_contactList == nullptr) m_contactList = new NaiveContactList<std::vector>(Globals::cacheContacts);
    if (m_velocityResolver == nullptr) m_velocityResolver = new CattoVelocityResolver(DEFAULT_ITERATIONS);
    if (m_positionResolver == nullptr) {
        // The default position pass takes the rows of a Catto velocity pass.
        m_positionResolver =
            new CattoPositionResolver(DEFAULT_ITERATIONS, dynamic_cast<CattoVelocityResolver*>(m_velocityResolver));
    }
    m_broadphase->init(this);
    m_contactList->init(this);
    m_velocityResolver->init(this);
    m_positionResolver->init(this);
    frameRWABias = std::pow(Globals::sleepRWABias, m_timestep);
}

void World<TwoDee>::setTimeStep(float dt) {
    m_timestep = dt;
    frameRWABias = std::pow(Globals::sleepRWABias, m_timestep);
}

void World<TwoDee>::add(Body<TwoDee>* body) {
    if (body == nullptr) return;
    bodies.push_back(body);
    m_broadphase->bodyAdded(body);
}

void World<TwoDee>::remove(Body<TwoDee>* body) {
    auto found = std::find(bodies.begin(), bodies.end(), body);
    if (found == bodies.end()) return;
    m_broadphase->bodyRemoved(body);
    m_contactList->removeContacts(body);
    // A joint cannot outlive either of its bodies in the world.
    for (auto j = joints.begin(); j != joints.end();) {
        Joint<TwoDee>* joint = *j;
        if (joint->body1 == body || joint->body2 == body) {
            if (joint->body1 != nullptr) joint->body1->joints.remove(joint);
            if (joint->body2 != nullptr) joint->body2->joints.remove(joint);
            delete joint;
            j = joints.erase(j);
        } else {
            ++j;
        }
    }
    bodies.erase(found);  // nothing above touches the body vector
}

Body<TwoDee>* World<TwoDee>::add(Area* shape) {
    Body<TwoDee>* body = new Body<TwoDee>();
    body->add(shape);
    body->setStatic(true);
    add(body);
    return body;
}

void World<TwoDee>::add(Joint<TwoDee>* joint) {
    if (joint == nullptr) return;
    joints.push_back(joint);
    if (joint->body1 != nullptr) joint->body1->joints.push_back(joint);
    if (joint->body2 != nullptr) joint->body2->joints.push_back(joint);
}

void World<TwoDee>::remove(Joint<TwoDee>* joint) {
    if (std::find(joints.begin(), joints.end(), joint) == joints.end()) return;
    joints.erase(std::remove(joints.begin(), joints.end(), joint), joints.end());
    if (joint->body1 != nullptr) joint->body1->joints.remove(joint);
    if (joint->body2 != nullptr) joint->body2->joints.remove(joint);
}

void World<TwoDee>::add(ForceGenerator* force) {
    if (force != nullptr) forces.push_back(force);
}

void World<TwoDee>::remove(ForceGenerator* force) { forces.remove(force); }

// A body whose raw sleep flag is down takes no force and does not move (both
// calls would return at once): in a world gone to sleep, one test per body.
void World<TwoDee>::applyForces() {
    for (ForceGenerator* f : forces) f->applyForce(m_timestep);
    for (Body<TwoDee>* b : bodies) {
        if (b->m_isAwake) b->applyForces(m_timestep, m_gravity, frameRWABias);
    }
}

void World<TwoDee>::moveBodies() {
    for (Body<TwoDee>* b : bodies) {
        if (b->m_isAwake) b->advance(m_timestep);
    }
}

// One fixed step. With the settings in force: velocities take gravity; contacts
// are found on last step's positions; the velocity pass removes approach speed;
// the position pass gathers bias displacements; then every awake body moves.
// Each stage runs inside a profiler scope named after it; the counters are set
// between the stages.
void World<TwoDee>::step() {
    Profiler& profiler = Profiler::profiler;
    profiler.startStep();
    profiler.setFrameVar(BODY_COUNT, static_cast<int>(bodies.size()));

    if (Globals::whenToMove == Globals::MOVE_AFTER_DRAWING) timed(MOVE_BODIES, [this] { moveBodies(); });
    timed(APPLY_FORCES, [this] { applyForces(); });
    if (Globals::whenToMove == Globals::MOVE_BEFORE_COLLISIONS) timed(MOVE_BODIES, [this] { moveBodies(); });

    std::vector<BodyPair> pairs = timed(FIND_PAIRS, [this] { return m_broadphase->findPairs(); });
    profiler.setFrameVar(PAIRS, static_cast<int>(pairs.size()));
    std::vector<Contact<TwoDee>*> contacts =
        timed(FIND_CONTACTS, [this, &pairs] { return m_contactGenerator->findContacts(pairs); });
    profiler.setFrameVar(NEW_CONTACTS, static_cast<int>(contacts.size()));
    timed(ADD_CONTACTS, [this, &contacts] { m_contactList->addContacts(contacts); });
    timed(NOTIFY_LISTENERS, [this] { m_contactList->notifyListeners(); });
    profiler.setFrameVar(TOTAL_CONTACTS, m_contactList->size());

    timed(RESOLVE_VELOCITIES, [this] { m_velocityResolver->resolve(m_contactList, &joints); });
    timed(RESOLVE_PENETRATION, [this] { m_positionResolver->resolve(m_contactList, &joints); });
    if (Globals::whenToMove == Globals::MOVE_AFTER_COLLISIONS) timed(MOVE_BODIES, [this] { moveBodies(); });

    profiler.endStep();
}

Body<TwoDee>* World<TwoDee>::findBeneath(const Vector2D& point) { return m_broadphase->findBeneath(point); }

std::list<Body<TwoDee>*> World<TwoDee>::findBeneathAll(const AARect& rect) {
    return m_broadphase->findBeneathAll(rect);
}

Body<TwoDee>* World<TwoDee>::intersectRay(const Vector2D& from, const Vector2D& to, Vector2D& hit) {
    return m_broadphase->intersectRay(from, to, hit);
}

Body<TwoDee>* World<TwoDee>::intersectRay(const Vector2D& from, const Vector2D& to) {
    Vector2D hit;
    return m_broadphase->intersectRay(from, to, hit);
}

Profiler* World<TwoDee>::getProfiler() const { return &Profiler::profiler; }

}  // namespace physics
