#pragma once
// A contact as the resolvers' iterations see it: each quantity of its two
// bodies is one 4-lane float vector, lanes (x0, y0, x1, y1) for body[0] and then
// body[1], or (s0, s0, s1, s1) for a scalar of each body.
//
// Every lane does exactly the float operation that the one-body-at-a-time form
// does for that component (a product, a sum, a difference), so the results are
// the same bits and only the number of instructions drops. Negation is exact:
// (-a) * b == -(a * b) and a + (-b) == a - b, bit for bit, which is what lets
// one vector carry the impulse -P for body[0] beside +P for body[1]. A body
// that takes no impulses keeps its lanes untouched (a select, not a multiply
// by zero, which would turn a -0 into +0).
//
// Internal to the resolvers. GCC and Clang vector extensions: no instruction
// set is assumed beyond what the compiler targets.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "physics/body.h"
#include "physics/contact.h"

namespace physics {
namespace lanes {

using F4 = float __attribute__((vector_size(16)));
using I4 = int __attribute__((vector_size(16)));  // lane masks: all bits set or clear

template <int a, int b, int c, int d>
inline F4 shuffle(F4 v) {
    return __builtin_shufflevector(v, v, a, b, c, d);
}

using F2 = float __attribute__((vector_size(8)));

inline F2 load(const Vector2D& v) {
    F2 lanes;
    __builtin_memcpy(&lanes, &v, sizeof lanes);  // one 8-byte load rather than two floats put together
    return lanes;
}

inline void storeTo(Vector2D& v, F2 lanes) { __builtin_memcpy(static_cast<void*>(&v), &lanes, sizeof lanes); }

inline F4 pairOf(const Vector2D& first, const Vector2D& second) {
    return __builtin_shufflevector(load(first), load(second), 0, 1, 2, 3);
}

constexpr int kSign = static_cast<int>(0x80000000u);  // a float's sign bit

// The lanes of v with the sign bits set in `signs` flipped: an exact negation.
inline F4 flipSigns(F4 v, I4 signs) { return reinterpret_cast<F4>(reinterpret_cast<I4>(v) ^ signs); }

inline F4 select(I4 mask, F4 whereSet, F4 whereClear) {
    return reinterpret_cast<F4>((reinterpret_cast<I4>(whereSet) & mask) | (reinterpret_cast<I4>(whereClear) & ~mask));
}

// a.x * b.x + a.y * b.y of lanes 0 and 1, in that order.
inline float dot01(F4 a, F4 b) {
    F4 p = a * b;
    return p[0] + p[1];
}

// How an iteration treats a row's lanes:
//   BOTH          both bodies take impulses: every lane changes, no mask.
//   STILL_FIRST   body[0] is static and body[1] moves (STILL_SECOND: the other
//                 way round): every lane is computed, the static body's with
//                 its zero masses, but its lanes are read only as loaded and
//                 never stored, exactly as if they had been left alone.
//   MASKED        anything else (a sleeping partner, which an impulse may
//                 wake): lanes of a body that does not move are kept by a mask.
enum Kind { BOTH, STILL_FIRST, STILL_SECOND, MASKED };

// What stays fixed while a pass iterates over one contact: the point's offsets,
// the bodies' masses, the directions, and which bodies take impulses. Made
// again whenever a wake changes the last.
struct Row {
    Contact<TwoDee>* c;
    F4 r;           // contact point minus each body's position: (rx0, ry0, rx1, ry1)
    F4 rPerp;       // r turned a quarter: (-ry0, rx0, -ry1, rx1)
    F4 im;          // inverse masses (m0, m0, m1, m1)
    F4 ii;          // inverse moments (i0, i0, i1, i1)
    F4 normal;      // (nx, ny, nx, ny)
    F4 normalOpp;   // (-nx, -ny, nx, ny)
    F4 tangent;     // contactToWorld's second column in lanes 0 and 1 (only they are read)
    F4 tangentOpp;  // (-t, t) for t = (-ny, nx)
    I4 moves;       // set in the lanes of a body that takes impulses
    bool moves0;
    bool moves1;
    // Which lanes an impulse may change without a mask, see Kind.
    int kind;
    // How many rows, from this one on in order, share its kind (markRuns()):
    // an iteration picks the code for a kind once per run, not once per row.
    std::uint32_t run;
    // When exactly one body moves: the other, which a strong enough impulse
    // wakes (null otherwise), and whether it is static, so that waking it
    // changes no mover.
    Body<TwoDee>* sleeper;
    bool sleeperStatic;

    // The row of `contact`, whose bodies take impulses as takes0 and takes1 say.
    void set(Contact<TwoDee>* contact, bool takes0, bool takes1) {
        c = contact;
        const Body<TwoDee>* b0 = c->body[0];
        const Body<TwoDee>* b1 = c->body[1];
        // Negations flip the sign bit, as a float's unary minus does.
        r = pairOf(c->r[0], c->r[1]);
        rPerp = flipSigns(shuffle<1, 0, 3, 2>(r), I4{kSign, 0, kSign, 0});
        const F4 masses{b0->m_inverseMass, b1->m_inverseMass, b0->m_moi.inverseMOI, b1->m_moi.inverseMOI};
        im = shuffle<0, 0, 1, 1>(masses);
        ii = shuffle<2, 2, 3, 3>(masses);
        normal = pairOf(c->normal, c->normal);
        normalOpp = flipSigns(normal, I4{kSign, kSign, 0, 0});
        tangent = F4{c->contactToWorld.data[1], c->contactToWorld.data[3], 0.0f, 0.0f};  // read in lanes 0, 1 only
        // (-t, t) for t = (-ny, nx): (ny, -nx, -ny, nx)
        tangentOpp = flipSigns(shuffle<1, 0, 1, 0>(normal), I4{0, kSign, kSign, 0});
        setMoves(takes0, takes1);
    }

    void setMoves(bool takes0, bool takes1) {
        moves0 = takes0;
        moves1 = takes1;
        sleeper = takes0 == takes1 ? nullptr : takes0 ? c->body[1] : c->body[0];
        sleeperStatic = sleeper != nullptr && sleeper->isStatic();
        kind = takes0 && takes1 ? BOTH : !sleeperStatic ? MASKED : takes1 ? STILL_FIRST : STILL_SECOND;
        int m0 = takes0 ? -1 : 0;
        int m1 = takes1 ? -1 : 0;
        moves = I4{m0, m0, m1, m1};
    }
};

// A contact can act when it touches (no gap), has a normal and has a body that
// takes impulses (awake, not static); resolving any other would do nothing.
// Makes the row of one that can act.
inline bool rowIfActing(Contact<TwoDee>* c, Row& row) {
    const bool takes0 = c->body[0]->isAwake();
    const bool takes1 = c->body[1]->isAwake();
    if (c->penetration < 0.0f || (!takes0 && !takes1) || c->contactToWorld.isZero()) return false;
    row.set(c, takes0, takes1);
    return true;
}

// Sets Row::run of the first `count` rows: each is at least 1. Whoever makes
// rows marks them. A row's kind follows its movers, which change only when a
// body wakes; the velocity pass then makes its rows and their runs again
// (CattoVelocityResolver::gatherActive), so runs hold through a pass.
inline void markRuns(Row* rows, std::size_t count) {
    for (std::size_t k = count; k-- > 0;) {
        const bool joins = k + 1 < count && rows[k + 1].kind == rows[k].kind;
        rows[k].run = joins ? rows[k + 1].run + 1 : 1;
    }
}

// f(std::integral_constant<int, K>()) for the row's kind K, the usual kind
// tested first: each kind runs a copy of f made for it.
template <class F>
__attribute__((always_inline)) inline auto byKind(const Row& row, F&& f) {
    if (row.kind == BOTH) return f(std::integral_constant<int, BOTH>());
    switch (row.kind) {
        case STILL_FIRST: return f(std::integral_constant<int, STILL_FIRST>());
        case STILL_SECOND: return f(std::integral_constant<int, STILL_SECOND>());
        default: return f(std::integral_constant<int, MASKED>());
    }
}

// f(row, kind) for each row of the run that starts at `row` (markRuns), in
// order, with the code for the run's kind picked once; `row` ends past the
// run, or at the first row for which f returned true (the function then does).
template <class RowT, class F>
__attribute__((always_inline)) inline bool throughRun(RowT*& row, F&& f) {
    RowT* const last = row + row->run;
    return byKind(*row, [&row, last, &f](auto kind) __attribute__((always_inline)) {
        for (; row != last; ++row) {
            if (f(*row, kind)) return true;
        }
        return false;
    });
}

// The motion of a row's two bodies: either their velocities (the velocity pass)
// or their bias velocities (the position pass), read once per contact and
// iteration and written back once.
struct Motion {
    F4 v;  // linear: (vx0, vy0, vx1, vy1)
    F4 w;  // angular: (w0, w0, w1, w1)

    // The velocities (or the bias velocities) of two bodies.
    static Motion velocities(const Body<TwoDee>& b0, const Body<TwoDee>& b1) {
        return Motion(threeOf(b0, b0.m_velocity, b0.m_rotation.value), threeOf(b1, b1.m_velocity, b1.m_rotation.value));
    }
    static Motion biases(const Body<TwoDee>& b0, const Body<TwoDee>& b1) {
        return Motion(threeOf(b0, b0.m_biasVelocity, b0.m_biasRotation.value),
                      threeOf(b1, b1.m_biasVelocity, b1.m_biasRotation.value));
    }

    // (vx, vy, w, -) of `body`: Body keeps a rotation right after its velocity,
    // which one load of the body's own bytes then reads together with the float
    // that follows (never used). The tests are on member offsets, settled at
    // compile time; another layout takes the floats one by one.
    static F4 threeOf(const Body<TwoDee>& body, const Vector2D& linear, const float& angular) {
        const char* const bytes = reinterpret_cast<const char*>(&body);
        const std::size_t at = static_cast<std::size_t>(reinterpret_cast<const char*>(&linear) - bytes);
        if (&angular != &linear.y + 1 || at + sizeof(F4) > sizeof body) return F4{linear.x, linear.y, angular, 0.0f};
        F4 lanes;
        __builtin_memcpy(&lanes, bytes + at, sizeof lanes);
        return lanes;
    }

private:
    Motion(F4 first, F4 second)
        : v(__builtin_shufflevector(first, second, 0, 1, 4, 5)),
          w(__builtin_shufflevector(first, second, 2, 2, 6, 6)) {}

public:
    // Each body's velocity at the point: v + (-w * ry, w * rx) (Body::getVelocityAtPoint).
    F4 atPoint(const Row& row) const { return v + w * row.rPerp; }

    // Body[1]'s lanes minus body[0]'s, in lanes 0 and 1: of atPoint(), the
    // velocity of body[1] at the point relative to body[0].
    static F4 relative(F4 atPoints) { return shuffle<2, 3, 2, 3>(atPoints) - atPoints; }
    F4 relativeVelocity(const Row& row) const { return relative(atPoint(row)); }

    // The same for a row of kind K, whose static body's lanes are taken from
    // `loaded` (atPoint() as the iteration read the bodies), not from the
    // lanes the impulses have written over.
    template <int K>
    F4 relativeVelocity(const Row& row, F4 loaded) const {
        F4 p = atPoint(row);
        if (K == STILL_FIRST) p = __builtin_shufflevector(loaded, p, 0, 1, 6, 7);
        if (K == STILL_SECOND) p = __builtin_shufflevector(p, loaded, 0, 1, 6, 7);
        return relative(p);
    }

    // Applies `impulses` = (-P, P) at the point: v += impulse * m and
    // w += (rx * Py - ry * Px) * i for each body that moves (Body::applyImpulse).
    // Masked: kind MASKED, where some body's lanes must be kept.
    template <bool Masked>
    void apply(const Row& row, F4 impulses) {
        F4 c = row.r * shuffle<1, 0, 3, 2>(impulses);  // (rx0 * Py0, ry0 * Px0, rx1 * Py1, ry1 * Px1)
        F4 cross = shuffle<0, 0, 2, 2>(c) - shuffle<1, 1, 3, 3>(c);
        if (Masked) {
            v = select(row.moves, v + impulses * row.im, v);
            w = select(row.moves, w + cross * row.ii, w);
        } else {
            v += impulses * row.im;
            w += cross * row.ii;
        }
    }

    // Writes the lanes of the bodies that move back through the two setters'
    // targets (velocity and rotation, or bias velocity and bias rotation).
    // K: the row's kind when the caller knows it (which bodies move follows),
    // MASKED to ask the row.
    template <int K = MASKED>
    void store(const Row& row, Vector2D& v0, float& w0, Vector2D& v1, float& w1) const {
        if (K == BOTH || K == STILL_SECOND || (K == MASKED && row.moves0)) {
            storeTo(v0, __builtin_shufflevector(v, v, 0, 1));
            w0 = w[0];
        }
        if (K == BOTH || K == STILL_FIRST || (K == MASKED && row.moves1)) {
            storeTo(v1, __builtin_shufflevector(v, v, 2, 3));
            w1 = w[2];
        }
    }
};

}  // namespace lanes
}  // namespace physics
