#include "physics/contact.h"

#include <vector>

#include "physics/body.h"
#include "physics/rect.h"
#include "physics/shape.h"

namespace physics {

namespace {

// Penetration that marks a contact whose vertex has slid off its face; the list
// removes it in the same addContacts.
const float DEAD_PENETRATION = -500.0f;
// Closing velocity reported for a contact with a gap: it must never bounce.
const float GAP_CLOSING_VELOCITY = -10.0f;
// A penetration that drops by this much below zero wakes both bodies.
const float WAKE_SEPARATION = -0.01f;

// Freed contacts, linked through their first bytes; each thread keeps its own,
// so worlds stepped on different threads share nothing. The blocks go back to
// the heap when the thread ends. Under AddressSanitizer every contact is a plain
// heap block, so that a contact used after its deletion is still reported.
#if defined(__SANITIZE_ADDRESS__)
#define BOXQUAKE_CONTACT_POOL 0
#else
#define BOXQUAKE_CONTACT_POOL 1
#endif

#if BOXQUAKE_CONTACT_POOL
struct FreeContacts {
    void* head = nullptr;
    FreeContacts() = default;
    FreeContacts(const FreeContacts&) = delete;
    FreeContacts& operator=(const FreeContacts&) = delete;
    ~FreeContacts() {
        while (head != nullptr) {
            void* next = *static_cast<void**>(head);
            ::operator delete(head);
            head = next;
        }
    }
};
thread_local FreeContacts freeContacts;
#endif

}  // namespace

void* Contact<TwoDee>::operator new(std::size_t size) {
#if BOXQUAKE_CONTACT_POOL
    if (void* p = freeContacts.head) {
        freeContacts.head = *static_cast<void**>(p);
        return p;
    }
#endif
    return ::operator new(size);
}

void Contact<TwoDee>::operator delete(void* p) noexcept {
#if BOXQUAKE_CONTACT_POOL
    if (p == nullptr) return;
    *static_cast<void**>(p) = freeContacts.head;
    freeContacts.head = p;
#else
    ::operator delete(p);
#endif
}

void Contact<TwoDee>::init(Area* a, Area* b) {
    area[0] = a;
    area[1] = b;
    body[0] = a->getBody();
    body[1] = b->getBody();
}

void Contact<TwoDee>::measure() {
    r[0] = point - body[0]->getPosition();
    r[1] = point - body[1]->getPosition();
    contactToWorld = Matrix2::createBasis(normal);
    calculateMass();
    calculateVelocities();
}

// K is the change of the relative velocity at the point per unit impulse, in
// world coordinates; turned into contact coordinates (x along the normal, y along
// the tangent) it gives the normal mass 1/K_nn and the tangent mass 1/K_tt.
// K = sum over both bodies of I / m + [ry*ry, -rx*ry; -rx*ry, rx*rx] / I, and
// the change of relative velocity per unit impulse in contact coordinates is
// C^T K C with C = contactToWorld, multiplied left to right. Only its diagonal
// is used, so only the diagonal is formed (the same products and sums in the
// same order as the full product).
void Contact<TwoDee>::calculateMass() {
    float k00 = 0.0f;  // K, row major; the two off-diagonal entries are equal
    float k01 = 0.0f;
    float k11 = 0.0f;
    for (int i = 0; i < 2; ++i) {
        inverseMass[i] = body[i]->getInverseMass();
        const float invI = body[i]->getMOI().inverseMOI;
        const Vector2D& ri = r[i];
        k00 = k00 + (1.0f * inverseMass[i] + ri.y * ri.y * invI);
        k01 = k01 + (0.0f * inverseMass[i] + -ri.x * ri.y * invI);
        k11 = k11 + (1.0f * inverseMass[i] + ri.x * ri.x * invI);
    }
    const float* c = contactToWorld.data;
    // T = C^T K: C^T is {c0, c2, c1, c3}.
    const float t00 = c[0] * k00 + c[2] * k01;
    const float t01 = c[0] * k01 + c[2] * k11;
    const float t10 = c[1] * k00 + c[3] * k01;
    const float t11 = c[1] * k01 + c[3] * k11;
    const float m00 = t00 * c[0] + t01 * c[2];
    tangentPerImpulse = t10 * c[1] + t11 * c[3];
    // The normal entry is 0 when no body can respond along the normal (a pinned
    // body pushed through its own centre): no impulse rather than an infinite one.
    normalMass = m00 != 0.0f ? 1.0f / m00 : 0.0f;
}

void Contact<TwoDee>::calculateVelocities() {
    if (penetration < 0.0f) {
        closingVelocity = GAP_CLOSING_VELOCITY;
        return;
    }
    contactVelocity = getRelativeContactVelocity();
    closingVelocity = -contactVelocity.x;
}

Vector2D Contact<TwoDee>::getRelativeContactVelocity() const {
    Vector2D u = body[1]->getVelocityAtPoint(point);
    Vector2D w = body[0]->getVelocityAtPoint(point);
    return contactToWorld.getTranspose() * (u - w);
}

void Contact<TwoDee>::calculatePenetration() {
    const Area* a = area[0];
    const Area* b = area[1];
    byShapeTypes(a, b, [this](const auto* first, const auto* second) { measureFeatures(first, second); });
}

// a and b are area[0] and area[1] as byShapeTypes() knows their types.
template <class A, class B>
void Contact<TwoDee>::measureFeatures(const A* a, const B* b) {
    if (offFace(a, b, faceOnFirst, faceOnSecond, feature)) {
        if (penetration > DEAD_PENETRATION) {
            body[0]->setAwake(true);
            body[1]->setAwake(true);
        }
        penetration = DEAD_PENETRATION;
        return;
    }
    Vector2D va = a->getVertex(feature[0]);
    Vector2D vb = b->getVertex(feature[1]);
    if (faceOnFirst) {
        normal = a->getNormal(feature[0]);
    } else if (faceOnSecond) {
        normal = -b->getNormal(feature[1]);
    } else {
        normal = (vb - va).normalise();  // a zero vector stays zero
    }
    Vector2D pa = va + normal * a->getRadius();
    Vector2D pb = vb - normal * b->getRadius();
    float p = Vector2D::dotProduct(pa - pb, normal);
    setPenetration(p);
    // The point sits halfway through the overlap, measured from the face.
    if (faceOnFirst) {
        point = pb + normal * p / 2.0f;
    } else if (faceOnSecond) {
        point = pa - normal * p / 2.0f;
    } else {
        point = (pa + pb) / 2.0f;
    }
    r[0] = point - body[0]->getPosition();
    r[1] = point - body[1]->getPosition();
    contactToWorld = Matrix2::createBasis(normal);
}

void Contact<TwoDee>::setPenetration(float p) {
    if (p < penetration && p < WAKE_SEPARATION) {
        body[0]->setAwake(true);
        body[1]->setAwake(true);
    }
    penetration = p;
}

bool Contact<TwoDee>::invalid() const { return offFace(area[0], area[1], faceOnFirst, faceOnSecond, feature); }

bool Contact<TwoDee>::operator==(const Contact& o) const {
    return area[0] == o.area[0] && area[1] == o.area[1] && hasFeatures(o.faceOnFirst, o.faceOnSecond, o.feature);
}

}  // namespace physics
