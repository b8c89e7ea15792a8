#pragma once
// The 2D engine's value types. Units: world units are pixels, y up; angles are
// radians, positive counter-clockwise. All arithmetic is single-precision float.
#include <cmath>

namespace physics {

struct Vector3D;

struct Vector2D {
    float x = 0.0f;
    float y = 0.0f;

    Vector2D() = default;
    Vector2D(float x_, float y_) : x(x_), y(y_) {}
    explicit Vector2D(const float* xy) : x(xy[0]), y(xy[1]) {}

    float length() const { return std::sqrt(x * x + y * y); }
    float lengthSquared() const { return x * x + y * y; }
    float distance(const Vector2D& v) const { return (*this - v).length(); }
    float distanceSquared(const Vector2D& v) const { return (*this - v).lengthSquared(); }
    static float distance(const Vector2D& a, const Vector2D& b) { return a.distance(b); }
    static float distanceSquared(const Vector2D& a, const Vector2D& b) { return a.distanceSquared(b); }
    float dot(const Vector2D& v) const { return x * v.x + y * v.y; }
    static float dotProduct(const Vector2D& a, const Vector2D& b) { return a.x * b.x + a.y * b.y; }

    // The unit vector along this one; a vector of length exactly 0 comes back unchanged.
    Vector2D normalise() const {
        float l = length();
        if (l == 0.0f) return *this;
        return Vector2D(x / l, y / l);
    }
    Vector2D lerp(const Vector2D& to, float t) const { return Vector2D(x + (to.x - x) * t, y + (to.y - y) * t); }

    const float* getArray() const { return &x; }
    void fillArray(float* out) const { out[0] = x; out[1] = y; }

    Vector2D operator-() const { return Vector2D(-x, -y); }
    Vector2D operator+(const Vector2D& v) const { return Vector2D(x + v.x, y + v.y); }
    Vector2D operator-(const Vector2D& v) const { return Vector2D(x - v.x, y - v.y); }
    Vector2D operator*(float s) const { return Vector2D(x * s, y * s); }
    Vector2D operator/(float s) const { return Vector2D(x / s, y / s); }
    Vector2D& operator+=(const Vector2D& v) { x += v.x; y += v.y; return *this; }
    Vector2D& operator-=(const Vector2D& v) { x -= v.x; y -= v.y; return *this; }
    Vector2D& operator*=(float s) { x *= s; y *= s; return *this; }
    Vector2D& operator/=(float s) { x /= s; y /= s; return *this; }
    bool operator==(const Vector2D& v) const { return x == v.x && y == v.y; }
    bool operator!=(const Vector2D& v) const { return !(*this == v); }
};

inline Vector2D operator*(float s, const Vector2D& v) { return Vector2D(v.x * s, v.y * s); }

// a.x*b.y - a.y*b.x: the z of the 3D cross product.
inline float cross(const Vector2D& a, const Vector2D& b) { return a.x * b.y - a.y * b.x; }

// An angle increment, or an angular velocity in radians per second.
struct Rotation2D {
    float value = 0.0f;

    Rotation2D() = default;
    Rotation2D(float v) : value(v) {}  // NOLINT: implicit by design, a rotation is a float

    float toFloat() const { return value; }
    float getValue() const { return value; }
    float scalarSize() const { return std::fabs(value); }

    Rotation2D& operator+=(const Rotation2D& r) { value += r.value; return *this; }
    Rotation2D operator+(const Rotation2D& r) const { return Rotation2D(value + r.value); }
    Rotation2D& operator-=(const Rotation2D& r) { value -= r.value; return *this; }
    Rotation2D operator-(const Rotation2D& r) const { return Rotation2D(value - r.value); }
    Rotation2D& operator*=(float s) { value *= s; return *this; }
    Rotation2D operator*(float s) const { return Rotation2D(value * s); }

    // Linear velocity this angular velocity gives a point at offset r from the centre.
    Vector2D getVelocityAtPoint(const Vector2D& r) const { return Vector2D(-value * r.y, value * r.x); }
};

// An absolute angle, radians.
struct Orientation2D {
    float value = 0.0f;

    Orientation2D() = default;
    Orientation2D(float v) : value(v) {}  // NOLINT: implicit by design

    float getAngle() const { return value; }

    Orientation2D& operator+=(const Rotation2D& r) { value += r.value; return *this; }
    Orientation2D& operator-=(const Rotation2D& r) { value -= r.value; return *this; }
    Orientation2D operator+(const Orientation2D& o) const { return Orientation2D(value + o.value); }
    Orientation2D operator-(const Orientation2D& o) const { return Orientation2D(value - o.value); }
    Orientation2D operator-() const { return Orientation2D(-value); }

    // Turns v by this angle. At exactly 0 the input comes back bit for bit with no
    // sine or cosine computed: unrotated bodies (most of a level) stay exact.
    Vector2D transform(const Vector2D& v) const {
        if (value == 0.0f) return v;
        float c = std::cos(value), s = std::sin(value);
        return Vector2D(v.x * c - v.y * s, v.x * s + v.y * c);
    }
    // Turns v by the negated angle, with the same exact-zero shortcut.
    Vector2D inverseTransform(const Vector2D& v) const {
        if (value == 0.0f) return v;
        float c = std::cos(value), s = std::sin(value);
        return Vector2D(v.x * c + v.y * s, -v.x * s + v.y * c);
    }
    Vector2D operator*(const Vector2D& v) const { return transform(v); }

    // The same angle wrapped into (-pi, pi].
    Orientation2D normalise() const {
        float a = std::remainder(value, 6.2831855f);
        return Orientation2D(a);
    }
    static Orientation2D random();
};

// Row-major 2x2 matrix: data = {a11, a12, a21, a22}.
struct Matrix2 {
    float data[4] = {0.0f, 0.0f, 0.0f, 0.0f};

    Matrix2() = default;
    Matrix2(float a11, float a12, float a21, float a22) : data{a11, a12, a21, a22} {}

    static Matrix2 identity() { return Matrix2(1.0f, 0.0f, 0.0f, 1.0f); }
    static Matrix2 columns(const Vector2D& a, const Vector2D& b) { return Matrix2(a.x, b.x, a.y, b.y); }
    static Matrix2 rows(const Vector2D& a, const Vector2D& b) { return Matrix2(a.x, a.y, b.x, b.y); }
    // A right-handed basis whose first column is v and second v turned a quarter counter-clockwise.
    static Matrix2 createBasis(const Vector2D& v) { return columns(v, Vector2D(-v.y, v.x)); }

    Vector2D operator*(const Vector2D& v) const {
        return Vector2D(data[0] * v.x + data[1] * v.y, data[2] * v.x + data[3] * v.y);
    }
    Matrix2 operator*(const Matrix2& m) const {
        return Matrix2(data[0] * m.data[0] + data[1] * m.data[2], data[0] * m.data[1] + data[1] * m.data[3],
                       data[2] * m.data[0] + data[3] * m.data[2], data[2] * m.data[1] + data[3] * m.data[3]);
    }
    float getDeterminant() const { return data[0] * data[3] - data[1] * data[2]; }
    // Adjugate over determinant; the zero matrix when the determinant is exactly 0.
    Matrix2 getInverse() const {
        float det = getDeterminant();
        if (det == 0.0f) return Matrix2();
        return Matrix2(data[3] / det, -data[1] / det, -data[2] / det, data[0] / det);
    }
    void invert() { *this = getInverse(); }
    Matrix2 getTranspose() const { return Matrix2(data[0], data[2], data[1], data[3]); }
    void transpose() { *this = getTranspose(); }
    bool isZero() const { return data[0] == 0.0f && data[1] == 0.0f && data[2] == 0.0f && data[3] == 0.0f; }

    Matrix2 operator+(const Matrix2& m) const {
        return Matrix2(data[0] + m.data[0], data[1] + m.data[1], data[2] + m.data[2], data[3] + m.data[3]);
    }
    Matrix2 operator-(const Matrix2& m) const {
        return Matrix2(data[0] - m.data[0], data[1] - m.data[1], data[2] - m.data[2], data[3] - m.data[3]);
    }
    Matrix2& operator+=(const Matrix2& m) { return *this = *this + m; }
    Matrix2& operator-=(const Matrix2& m) { return *this = *this - m; }
    Matrix2 operator*(float s) const { return Matrix2(data[0] * s, data[1] * s, data[2] * s, data[3] * s); }
    Matrix2 operator/(float s) const { return Matrix2(data[0] / s, data[1] / s, data[2] / s, data[3] / s); }
    Matrix2& operator/=(float s) { return *this = *this / s; }
    bool operator==(const Matrix2& m) const {
        return data[0] == m.data[0] && data[1] == m.data[1] && data[2] == m.data[2] && data[3] == m.data[3];
    }
    bool operator!=(const Matrix2& m) const { return !(*this == m); }
};

// Axis-aligned rectangle; invariant m_min <= m_max on each axis.
struct AARect {
    Vector2D m_min;
    Vector2D m_max;

    AARect() = default;
    // Sorts the two corners per axis.
    AARect(const Vector2D& a, const Vector2D& b)
        : m_min(std::fmin(a.x, b.x), std::fmin(a.y, b.y)), m_max(std::fmax(a.x, b.x), std::fmax(a.y, b.y)) {}

    const Vector2D& getMin() const { return m_min; }
    const Vector2D& getMax() const { return m_max; }
    float getMinX() const { return m_min.x; }
    float getMaxX() const { return m_max.x; }
    float getMinY() const { return m_min.y; }
    float getMaxY() const { return m_max.y; }
    float width() const { return m_max.x - m_min.x; }
    float height() const { return m_max.y - m_min.y; }

    // Edges count as inside.
    bool contains(const Vector2D& p) const {
        return m_min.x <= p.x && p.x <= m_max.x && m_min.y <= p.y && p.y <= m_max.y;
    }
    // Apart by more than `tolerance` on either axis means no; touching counts.
    bool intersects(const AARect& o, float tolerance = 0.0f) const {
        if (m_max.x + tolerance < o.m_min.x || o.m_max.x < m_min.x - tolerance) return false;
        if (m_max.y + tolerance < o.m_min.y || o.m_max.y < m_min.y - tolerance) return false;
        return true;
    }
    // Corners counter-clockwise from (min.x, min.y).
    Vector2D getVertex(int i) const {
        switch (((i % 4) + 4) % 4) {
            case 0: return m_min;
            case 1: return Vector2D(m_max.x, m_min.y);
            case 2: return m_max;
            default: return Vector2D(m_min.x, m_max.y);
        }
    }
    Vector2D getExtremePoint(const Vector2D& dir, int& index) const {
        index = dir.x >= 0.0f ? (dir.y >= 0.0f ? 2 : 1) : (dir.y >= 0.0f ? 3 : 0);
        return getVertex(index);
    }
};

// min when value < min, max when value > max, value otherwise.
template <class T>
inline T Clamp(T value, T min, T max) {
    if (value < min) return min;
    if (value > max) return max;
    return value;
}

}  // namespace physics
