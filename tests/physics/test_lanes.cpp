// The resolvers work a contact's two bodies as 4-lane vectors (contact_lanes.h)
// and treat rows by kind: both bodies moving, one of them static, or a sleeping
// partner behind a mask. The oracle here is the plain form: every contact
// prepared and walked, each impulse applied to one body at a time through
// Body's own calls. Worlds stepped with the two must stay bit for bit the same,
// on scenes that reach every kind: static bodies given motion of their own
// (which the static rows must neither use after an impulse nor store), a
// sleeping yard woken by a drop and a joint, bounces, and turned boxes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;
using scenes::addBall;
using scenes::addBox;

namespace {

using ContactT = Contact<TwoDee>;

bool takes(const Body<TwoDee>* b) { return b->isAwake(); }

void applyOne(Body<TwoDee>* b, const Vector2D& impulse, const Vector2D& point) {
    if (takes(b)) b->applyImpulse(impulse, point, false);
}

// The velocity pass one body at a time: normal impulse, wake, friction.
struct PlainVelocityResolver : ContactResolver<TwoDee> {
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override {
        list->prepareVelocities();
        for (ContactT* c : *list->contiguous()) CattoVelocityResolver::prepare(c);
        for (Joint<TwoDee>* j : *joints) j->prepare();
        for (int it = 0; it < 10; ++it) {
            for (ContactT* c : *list->contiguous()) resolveOne(c);
            for (Joint<TwoDee>* j : *joints) j->applyImpulses();
        }
    }
    static void resolveOne(ContactT* c) {
        bool awake0 = takes(c->body[0]), awake1 = takes(c->body[1]);
        if (c->penetration < 0.0f || (!awake0 && !awake1) || c->contactToWorld.isZero()) return;
        Vector2D dv = c->body[1]->getVelocityAtPoint(c->point) - c->body[0]->getVelocityAtPoint(c->point);
        float vn = Vector2D::dotProduct(dv, c->normal) - c->bounce;
        float accumulated = std::max(0.0f, c->normalImpulse + (c->bias - vn) * c->normalMass);
        float dLambda = accumulated - c->normalImpulse;
        c->normalImpulse = accumulated;
        if (accumulated > 2.0f * c->normalMass && awake0 != awake1) (awake0 ? c->body[1] : c->body[0])->setAwake(true);
        applyOne(c->body[0], -(c->normal * dLambda), c->point);
        applyOne(c->body[1], c->normal * dLambda, c->point);
        dv = c->body[1]->getVelocityAtPoint(c->point) - c->body[0]->getVelocityAtPoint(c->point);
        float vt = c->contactToWorld.data[1] * dv.x + c->contactToWorld.data[3] * dv.y;
        float limit = c->friction * c->normalImpulse;
        float tAccumulated = Clamp(c->tangentImpulse + -vt * c->tangentMass, -limit, limit);
        Vector2D T = Vector2D(-c->normal.y, c->normal.x) * (tAccumulated - c->tangentImpulse);
        c->tangentImpulse = tAccumulated;
        applyOne(c->body[0], -T, c->point);
        applyOne(c->body[1], T, c->point);
    }
};

// The position pass one body at a time.
struct PlainPositionResolver : ContactResolver<TwoDee> {
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>*) override {
        list->preparePenetrations();
        for (ContactT* c : *list->contiguous()) CattoPositionResolver::prepare(c);
        for (int it = 0; it < 10; ++it) {
            for (ContactT* c : *list->contiguous()) {
                Body<TwoDee>* b0 = c->body[0];
                Body<TwoDee>* b1 = c->body[1];
                if (c->penetration < 0.0f || (!takes(b0) && !takes(b1)) || c->contactToWorld.isZero()) continue;
                Vector2D dvb = b1->getBiasVelocityAtPoint(c->point) - b0->getBiasVelocityAtPoint(c->point);
                float accumulated =
                    std::max(0.0f, c->biasImpulse + (c->bias - Vector2D::dotProduct(dvb, c->normal)) * c->normalMass);
                Vector2D P = c->normal * (accumulated - c->biasImpulse);
                c->biasImpulse = accumulated;
                if (takes(b0)) b0->applyBiasImpulse(-P, c->point);
                if (takes(b1)) b1->applyBiasImpulse(P, c->point);
            }
        }
    }
};

std::uint64_t stateHash(const World<TwoDee>& w) {
    std::uint64_t h = 1469598103934665603ull;
    for (const Body<TwoDee>* b : w.bodies) {
        const float f[] = {b->getPosition().x, b->getPosition().y, b->getOrientation().value, b->getVelocity().x,
                           b->getVelocity().y, b->getRotation().value, b->isAwake() ? 1.0f : 0.0f};
        for (float x : f) {
            std::uint32_t u;
            std::memcpy(&u, &x, sizeof u);
            h = (h ^ u) * 1099511628211ull;
        }
    }
    return h;
}

// Each scene builds into a world and may disturb it before a step.
struct Scene {
    const char* name;
    void (*build)(World<TwoDee>&);
    void (*disturb)(World<TwoDee>&, int step);
};

void nothing(World<TwoDee>&, int) {}

// Statics with motion of their own: a floor moving and turning, a -0 wall.
void movingStatics(World<TwoDee>& w) {
    Body<TwoDee>* floor = addBox(w, 0.0f, -15.0f, 600.0f, 30.0f, true);
    floor->setVelocity(Vector2D(2.5f, -0.0f), false);
    floor->setRotation(Rotation2D(0.01f), false);
    Body<TwoDee>* wall = addBox(w, 160.0f, 100.0f, 20.0f, 200.0f, true);
    wall->setVelocity(Vector2D(-0.0f, -0.0f), false);
    wall->setRotation(Rotation2D(-0.0f), false);
    for (int i = 0; i < 6; ++i) {
        Body<TwoDee>* box = addBox(w, -100.0f + 45.0f * static_cast<float>(i), 16.0f + 3.0f * static_cast<float>(i),
                                   30.0f, 30.0f, false);
        box->setOrientation(Orientation2D(0.05f * static_cast<float>(i)));
    }
    addBall(w, 140.0f, 60.0f, 12.0f);
}

// A yard that falls asleep, then is dropped on, joined and woken.
void yard(World<TwoDee>& w) {
    addBox(w, 0.0f, -10.0f, 800.0f, 20.0f, true);
    for (int i = 0; i < 6; ++i) addBox(w, -150.0f + 31.0f * static_cast<float>(i), 15.0f, 30.0f, 30.0f, false);
}
void disturbYard(World<TwoDee>& w, int step) {
    if (step == 260) addBox(w, -150.0f, 80.0f, 20.0f, 20.0f, false);
    if (step == 300) {
        auto* pin = new Joint<TwoDee>();
        pin->set(w.bodies[6], w.bodies[0], w.bodies[6]->getPosition() + Vector2D(0.0f, 5.0f));
        w.add(pin);
    }
    if (step == 340) w.bodies[3]->setVelocity(Vector2D(0.0f, 40.0f));
}

// Bouncing balls (restitution) on a static floor and on each other.
void bounces(World<TwoDee>& w) {
    scenes::Material bouncy;
    bouncy.restitution = 0.6f;
    addBox(w, 0.0f, -15.0f, 600.0f, 30.0f, true, bouncy);
    for (int i = 0; i < 5; ++i) addBall(w, -40.0f + 22.0f * static_cast<float>(i), 60.0f + 25.0f * static_cast<float>(i), 10.0f, bouncy);
}

}  // namespace

TEST(ContactLanes, SameBitsAsApplyingEachImpulseToOneBodyAtATime) {
    const Scene scenes[] = {
        {"moving statics", movingStatics, nothing},
        {"sleeping yard", yard, disturbYard},
        {"bounces", bounces, nothing},
    };
    for (bool sleeping : {true, false}) {
        Globals::useSleeping = sleeping;
        for (const Scene& s : scenes) {
            World<TwoDee> lanes;
            World<TwoDee> plain(0.0f, nullptr, nullptr, nullptr, new PlainVelocityResolver(), new PlainPositionResolver());
            for (World<TwoDee>* w : {&lanes, &plain}) {
                scenes::useGameGravity(*w);
                s.build(*w);
            }
            for (int step = 0; step < 400; ++step) {
                s.disturb(lanes, step);
                s.disturb(plain, step);
                lanes.step();
                plain.step();
                ASSERT_EQ(stateHash(lanes), stateHash(plain)) << s.name << ", sleeping " << sleeping << ", step " << step;
            }
        }
    }
    Globals::useSleeping = true;
}
