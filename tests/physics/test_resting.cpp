// Resting contacts: a listed contact between two bodies that are asleep or
// static and unchanged since the last step is neither measured nor prepared
// again, and the resolvers walk only the contacts that can act. Two oracles
// while sleeping bodies are nudged without being woken, dropped on, and joined:
// every listed contact holds what measuring it afresh gives, and a world whose
// contact list is a std::list (its resolvers prepare and walk every contact)
// stays bit for bit with the default one.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <vector>

#include "physics/physics.h"
#include "tests/physics/scenes.h"

using namespace physics;
using scenes::addBox;

namespace {

using ContactT = Contact<TwoDee>;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The velocity resolver, after counting the listed contacts that measuring a
// copy afresh (as addContacts does) would change.
struct MeasuringResolver : CattoVelocityResolver {
    int stale = 0;
    MeasuringResolver() : CattoVelocityResolver(10) {}
    void resolve(ContactList<TwoDee>* list, std::vector<Joint<TwoDee>*>* joints) override {
        for (const ContactT* c : *list->contiguous()) {
            ContactT fresh = *c;
            fresh.calculatePenetration();
            fresh.calculateMass();
            fresh.calculateVelocities();
            const float was[] = {c->penetration, c->normal.x, c->point.x, c->point.y, c->r[0].x, c->r[1].y,
                                 c->normalMass, c->tangentPerImpulse, c->closingVelocity};
            const float now[] = {fresh.penetration, fresh.normal.x, fresh.point.x, fresh.point.y, fresh.r[0].x,
                                 fresh.r[1].y, fresh.normalMass, fresh.tangentPerImpulse,
                                 fresh.closingVelocity};
            for (int i = 0; i < 9; ++i) stale += sameBits(was[i], now[i]) ? 0 : 1;
        }
        CattoVelocityResolver::resolve(list, joints);
    }
};

// A floor and a row of eight crates, all asleep from step 210 on.
void buildYard(World<TwoDee>& w) {
    scenes::useGameGravity(w);
    addBox(w, 0.0f, -10.0f, 800.0f, 20.0f, true);
    for (int i = 0; i < 8; ++i) addBox(w, -250.0f + 60.0f * static_cast<float>(i), 15.0f, 30.0f, 30.0f, false);
}

// What happens to the yard before step `step`; crates by world index (1-8).
// None of the nudges wakes its crate.
void disturb(World<TwoDee>& w, int step) {
    auto crate = [&w](int k) { return w.bodies[static_cast<std::size_t>(k)]; };
    switch (step) {
        case 220: crate(1)->setPosition(crate(1)->getPosition() + Vector2D(0.0f, 0.004f)); break;
        case 225: crate(2)->setVelocity(Vector2D(0.0f, -3.0f), false); break;
        case 230: crate(3)->setRotation(Rotation2D(0.5f), false); break;
        case 235: crate(4)->setOrientation(Orientation2D(0.0002f)); break;
        case 240: crate(5)->setDensity(3.0f, true); break;
        case 245: crate(7)->translate(Vector2D(0.0f, -0.05f)); break;  // into the floor: a bias to correct once awake
        case 250: addBox(w, crate(7)->getPosition().x, 60.0f, 20.0f, 20.0f, false); break;  // wakes crate 7 landing
        case 253: crate(8)->translate(Vector2D(0.0f, -0.05f)); break;
        case 255: crate(8)->setVelocity(Vector2D(1.0f, -2.0f), false); break;
        case 260: {
            // While every contact rests (crate 7's drop is still falling): the joint's
            // prepare wakes crate 8, whose contacts act in both passes.
            auto* pin = new Joint<TwoDee>();
            pin->set(crate(8), w.bodies[0], crate(8)->getPosition() + Vector2D(0.0f, 5.0f));
            w.add(pin);
            break;
        }
        default: break;
    }
}

}  // namespace

TEST(RestingContacts, MatchAFreshMeasureAndTheWalkOfEveryContactWhileSleepersAreNudged) {
    auto* measuring = new MeasuringResolver();
    World<TwoDee> vectorWorld(0.0f, nullptr, nullptr, nullptr, measuring);
    World<TwoDee> listWorld(0.0f, nullptr, nullptr, new NaiveContactList<std::list>(Globals::cacheContacts));
    buildYard(vectorWorld);
    buildYard(listWorld);
    int restingSeen = 0;
    for (int step = 0; step < 400; ++step) {
        disturb(vectorWorld, step);
        disturb(listWorld, step);
        vectorWorld.step();
        listWorld.step();
        ASSERT_EQ(vectorWorld.bodies.size(), listWorld.bodies.size());
        for (std::size_t k = 0; k < vectorWorld.bodies.size(); ++k) {
            const Body<TwoDee>* a = vectorWorld.bodies[k];
            const Body<TwoDee>* b = listWorld.bodies[k];
            const bool same = sameBits(a->getPosition().x, b->getPosition().x) &&
                              sameBits(a->getPosition().y, b->getPosition().y) &&
                              sameBits(a->getOrientation().value, b->getOrientation().value) &&
                              sameBits(a->getVelocity().x, b->getVelocity().x) &&
                              sameBits(a->getVelocity().y, b->getVelocity().y) &&
                              sameBits(a->getRotation().value, b->getRotation().value) &&
                              a->isAwake() == b->isAwake();
            ASSERT_TRUE(same) << "body " << k << " after step " << step;
        }
        for (const ContactT* c : *vectorWorld.getContactList()->contiguous()) restingSeen += c->resting ? 1 : 0;
        if (step == 219) {
            for (int k = 1; k <= 8; ++k) ASSERT_FALSE(vectorWorld.bodies[static_cast<std::size_t>(k)]->isAwake());
        }
    }
    EXPECT_EQ(measuring->stale, 0);
    EXPECT_GT(restingSeen, 1000);  // the shortcut was taken, not only the full walk
    // The nudges left their crates asleep; the joint keeps its crate awake.
    EXPECT_FALSE(vectorWorld.bodies[1]->isAwake());
    EXPECT_TRUE(vectorWorld.bodies[8]->isAwake());
}
