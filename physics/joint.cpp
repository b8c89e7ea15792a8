#include "physics/joint.h"

#include "physics/body.h"
#include "physics/globals.h"

namespace physics {

Joint<TwoDee>::Joint() : biasFactor(0.2f), softness(0.0f), ignoreContacts(true) {}

void Joint<TwoDee>::set(Body<TwoDee>* b1, Body<TwoDee>* b2, const Vector2D& anchor) {
    body1 = b1;
    body2 = b2;
    localAnchor1 = b1->getOrientation().inverseTransform(anchor - b1->getPosition());
    localAnchor2 = b2->getOrientation().inverseTransform(anchor - b2->getPosition());
}

// Builds the effective-mass matrix for this step, the bias velocity that closes
// the anchors' separation, and reapplies the impulse of earlier steps (warm start)
// so that a joint under steady load starts near its solution.
void Joint<TwoDee>::prepare() {
    r1 = body1->getOrientation().transform(localAnchor1);
    r2 = body2->getOrientation().transform(localAnchor2);

    float invM1 = body1->getInverseMass(), invM2 = body2->getInverseMass();
    float invI1 = body1->getMOI().inverseMOI, invI2 = body2->getMOI().inverseMOI;

    Matrix2 k1 = Matrix2::identity() * (invM1 + invM2);
    Matrix2 k2 = Matrix2(r1.y * r1.y, -r1.x * r1.y, -r1.x * r1.y, r1.x * r1.x) * invI1;
    Matrix2 k3 = Matrix2(r2.y * r2.y, -r2.x * r2.y, -r2.x * r2.y, r2.x * r2.x) * invI2;
    Matrix2 k = k1 + k2 + k3 + Matrix2::identity() * softness;
    velocityPerImpulse = k.getInverse();  // zero when K is singular: two immovable bodies

    Vector2D p1 = body1->getPosition() + r1;
    Vector2D p2 = body2->getPosition() + r2;
    // The constant rate, not the world's step: the joint closes a fixed fraction per step at 60 Hz.
    bias = (p2 - p1) * -(biasFactor * Globals::inverseTimeStep);

    applyToBodies(P);
}

void Joint<TwoDee>::applyImpulses() {
    Vector2D p1 = body1->getPosition() + r1;
    Vector2D p2 = body2->getPosition() + r2;
    Vector2D dv = body2->getVelocityAtPoint(p2) - body1->getVelocityAtPoint(p1);
    Vector2D impulse = velocityPerImpulse * (bias - dv - P * softness);
    applyToBodies(impulse);
    P += impulse;
}

// Body 2 takes +impulse at r2 and body 1 the opposite at r1; both are woken, so
// that bodies joined to anything never fall asleep.
void Joint<TwoDee>::applyToBodies(const Vector2D& impulse) {
    float invM1 = body1->getInverseMass(), invM2 = body2->getInverseMass();
    float invI1 = body1->getMOI().inverseMOI, invI2 = body2->getMOI().inverseMOI;
    body1->setAwake(true);
    body1->setVelocity(body1->getVelocity() - impulse * invM1, false);
    body1->setRotation(body1->getRotation() - Rotation2D(invI1 * cross(r1, impulse)), false);
    body2->setAwake(true);
    body2->setVelocity(body2->getVelocity() + impulse * invM2, false);
    body2->setRotation(body2->getRotation() + Rotation2D(invI2 * cross(r2, impulse)), false);
}

}  // namespace physics
