#include "physics/polygon.h"

#include <algorithm>
#include <cmath>

namespace physics {

namespace {

// Cross products at or above this count as a left turn (or straight on) in the
// gift-wrapping march, so that rounding never hides a hull point.
const float HULL_TOLERANCE = -0.00001f;

// A hull is accepted by create() only when its area exceeds this fraction of the
// square of its largest extent. Float rounding alone leaves a collinear set an
// area near 1e-7 of that square; a real polygon this thin has no useful mass.
const float MIN_RELATIVE_AREA = 1e-5f;

bool isFinite(const Vector2D& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

Vector2D meanOf(const Vector2D* points, int n) {
    Vector2D sum;
    for (int i = 0; i < n; ++i) sum += points[i];
    return n > 0 ? sum / static_cast<float>(n) : sum;
}

// Twice the signed area of the polygon, vertices taken about their mean so that
// far-off coordinates lose no precision.
float doubleArea(const Vector2D* points, int n) {
    Vector2D c = meanOf(points, n);
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) sum += cross(points[i] - c, points[(i + 1) % n] - c);
    return sum;
}

// Counter-clockwise hull with neither duplicates nor collinear points (Andrew's
// monotone chain), starting at the lowest-x, then lowest-y point. Non-finite points
// are left out. Used when the march does not come back to its start. Writes at
// most n points.
void strictHull(const Vector2D* in, int n, Vector2D* out, int& count) {
    std::vector<Vector2D> pts;
    pts.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (isFinite(in[i])) pts.push_back(in[i]);
    }
    std::stable_sort(pts.begin(), pts.end(),
                     [](const Vector2D& a, const Vector2D& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    int m = static_cast<int>(pts.size());
    if (m <= 2) {
        for (int i = 0; i < m; ++i) out[i] = pts[static_cast<size_t>(i)];
        count = m;
        return;
    }
    std::vector<Vector2D> h(static_cast<size_t>(2 * m));
    int k = 0;
    auto turn = [&](int a, int b, const Vector2D& p) { return cross(h[b] - h[a], p - h[a]); };
    for (int i = 0; i < m; ++i) {
        while (k >= 2 && turn(k - 2, k - 1, pts[i]) <= 0.0f) --k;
        h[k++] = pts[i];
    }
    for (int i = m - 2, lower = k + 1; i >= 0; --i) {
        while (k >= lower && turn(k - 2, k - 1, pts[i]) <= 0.0f) --k;
        h[k++] = pts[i];
    }
    count = k - 1;  // the last point repeats the first
    for (int i = 0; i < count; ++i) out[i] = h[static_cast<size_t>(i)];
}

// Whether a closed march really is the hull of in[0..n): finite, no point twice,
// and no input point clearly outside an edge. The march fails this when a point
// repeats the current one: the repeat takes the candidate slot and every later
// point then replaces it, so the points seen before it are forgotten and a hull
// corner can be lost.
bool isHullOf(const Vector2D* hull, int count, const Vector2D* in, int n) {
    for (int i = 0; i < count; ++i) {
        if (!isFinite(hull[i])) return false;
        for (int j = i + 1; j < count; ++j) {
            if (hull[i] == hull[j]) return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        Vector2D a = hull[i];
        Vector2D e = hull[(i + 1) % count] - a;
        float edgeLength = e.length();
        for (int j = 0; j < n; ++j) {
            Vector2D d = in[j] - a;
            // The march's own tolerance plus a few float roundings of the cross product.
            float tolerance = -HULL_TOLERANCE + 1e-6f * edgeLength * d.length();
            if (cross(e, d) < -tolerance) return false;
        }
    }
    return true;
}

}  // namespace

// The next hull point after `current`, marching counter-clockwise (y up): the
// candidate is replaced by any point that does not lie to its right as seen
// from `current`, within the tolerance.
int convexHullNextPoint(const Vector2D* points, int n, int current) {
    int candidate = 0;
    for (int i = 1; i < n; ++i) {
        if (i == current) continue;
        Vector2D a = points[current] - points[i];
        Vector2D b = points[i] - points[candidate];
        if (a.x * b.y - a.y * b.x >= HULL_TOLERANCE) candidate = i;
    }
    return candidate;
}

// Gift wrapping from the lowest-x point (earliest index on a tie). The march ends
// when it comes back to the start point. It may not come back: collinear input
// alternates between the far points, a point on the closing edge or a NaN can
// trap it in a cycle. So it stops once n points are written, and then (or when it
// closed on something that is not the hull, see isHullOf) the hull is rebuilt
// without duplicates or collinear points. Input of distinct points that the march
// wraps correctly keeps the march's result, edge points included.
void Polygon::makeConvexHull(const Vector2D* in, int n, Vector2D* out, int& count) {
    if (n <= 0) {
        count = 0;
        return;
    }
    if (n <= 2) {
        for (int i = 0; i < n; ++i) out[i] = in[i];
        count = (n == 2 && in[0] == in[1]) ? 1 : n;
        return;
    }
    int start = 0;
    for (int i = 1; i < n; ++i) {
        if (in[i].x < in[start].x) start = i;
    }
    out[0] = in[start];
    int current = start;
    int k = 0;
    bool closed = false;
    while (true) {
        int next = convexHullNextPoint(in, n, current);
        count = k + 1;
        if (in[next] == out[0]) {
            closed = true;
            break;
        }
        if (k + 1 >= n) break;  // out is full and the march has not closed
        out[k + 1] = in[next];
        current = next;
        ++k;
    }
    // A march that closes before three points (a repeat of the start point is
    // taken as the way back) has not seen the others: rebuild as well.
    if (!closed || count < 3 || !isHullOf(out, count, in, n)) strictHull(in, n, out, count);
}

int Polygon::makeConvexHull(Vector2D* points, int n) {
    if (n <= 0) return 0;
    std::vector<Vector2D> scratch(static_cast<size_t>(n), Vector2D(0.0f, 0.0f));
    int count = 0;
    makeConvexHull(points, n, scratch.data(), count);
    for (int i = 0; i < count; ++i) points[i] = scratch[static_cast<size_t>(i)];
    return count;
}

Polygon* Polygon::create(const Vector2D* points, int count) {
    if (points == nullptr || count < 3) return nullptr;
    for (int i = 0; i < count; ++i) {
        if (!isFinite(points[i])) return nullptr;
    }
    std::vector<Vector2D> hull(static_cast<size_t>(count));
    int hullCount = 0;
    makeConvexHull(points, count, hull.data(), hullCount);
    if (hullCount <= 2) return nullptr;

    float minX = hull[0].x, maxX = hull[0].x, minY = hull[0].y, maxY = hull[0].y;
    for (int i = 1; i < hullCount; ++i) {
        minX = std::min(minX, hull[static_cast<size_t>(i)].x);
        maxX = std::max(maxX, hull[static_cast<size_t>(i)].x);
        minY = std::min(minY, hull[static_cast<size_t>(i)].y);
        maxY = std::max(maxY, hull[static_cast<size_t>(i)].y);
    }
    float extent = std::max(maxX - minX, maxY - minY);
    float area = 0.5f * doubleArea(hull.data(), hullCount);
    // Written so that NaN or infinity fails too.
    if (!(std::isfinite(area) && area > MIN_RELATIVE_AREA * extent * extent)) return nullptr;
    return new Polygon(hull.data(), hullCount);
}

Polygon::Polygon(const Vector2D* points, int count)
    : Area(meanOf(points, std::max(count, 0)), Orientation2D(0.0f), POLYGON), m_vertexCount(std::max(count, 0)) {
    m_localVertices.resize(static_cast<size_t>(m_vertexCount));
    m_vertices.resize(static_cast<size_t>(m_vertexCount));
    for (int i = 0; i < m_vertexCount; ++i) {
        m_vertices[static_cast<size_t>(i)] = points[i];
        m_localVertices[static_cast<size_t>(i)] = points[i] - m_worldPosition;
    }
    Polygon::thisMoved();
}

void Polygon::thisMoved() {
    for (int i = 0; i < m_vertexCount; ++i) {
        m_vertices[static_cast<size_t>(i)] =
            m_worldPosition + m_worldOrientation.transform(m_localVertices[static_cast<size_t>(i)]);
    }
}

// Points on an edge are inside. Needs counter-clockwise vertices.
bool Polygon::contains(const Vector2D& p) const {
    if (m_vertexCount <= 2) return false;
    for (int i = 0; i < m_vertexCount; ++i) {
        if ((p - getVertex(i)).dot(getNormal(i)) > 0.0f) return false;
    }
    return true;
}

bool Polygon::intersects(const AARect& r) const {
    return intersectsByCorners(r, m_vertices.data(), static_cast<int>(m_vertices.size()));
}

// Edge i runs from vertex i to vertex i+1; for counter-clockwise vertices its
// normal (e.y, -e.x)/|e| points outward. A zero-length edge has normal (0, 0).
Vector2D Polygon::getNormal(int i) const {
    Vector2D e = getVertex(i + 1) - getVertex(i);
    float l = e.length();
    if (l == 0.0f) return Vector2D(0.0f, 0.0f);
    return Vector2D(e.y, -e.x) / l;
}

Vector2D Polygon::getVertex(int i) const {
    if (m_vertexCount == 0) return m_worldPosition;
    return m_vertices[static_cast<size_t>(((i % m_vertexCount) + m_vertexCount) % m_vertexCount)];
}

// Ties keep the lowest index.
Vector2D Polygon::getExtremePoint(const Vector2D& dir, int& index) const {
    index = 0;
    if (m_vertexCount == 0) return m_worldPosition;
    float best = m_vertices[0].dot(dir);
    for (int i = 1; i < m_vertexCount; ++i) {
        float d = m_vertices[static_cast<size_t>(i)].dot(dir);
        if (d > best) {
            best = d;
            index = i;
        }
    }
    return m_vertices[static_cast<size_t>(index)];
}

// Shoelace over the local vertices: positive for counter-clockwise order.
float Polygon::getArea() const {
    float sum = 0.0f;
    for (int i = 0; i < m_vertexCount; ++i) {
        const Vector2D& a = m_localVertices[static_cast<size_t>(i)];
        const Vector2D& b = m_localVertices[static_cast<size_t>((i + 1) % m_vertexCount)];
        sum += a.x * b.y - a.y * b.x;
    }
    return 0.5f * sum;
}

// Moment about the vertex mean from the triangle fan (mean, a_i, b_i), each
// weighted by its doubled area w_i. A polygon without area (collinear vertices)
// has no weight to average over and gets 0 instead of 0/0.
float Polygon::getMOI() const {
    float numerator = 0.0f;
    float denominator = 0.0f;
    for (int i = 0; i < m_vertexCount; ++i) {
        const Vector2D& a = m_localVertices[static_cast<size_t>(i)];
        const Vector2D& b = m_localVertices[static_cast<size_t>((i + 1) % m_vertexCount)];
        float w = std::fabs(a.x * b.y - a.y * b.x);
        numerator += w * (a.dot(a) + a.dot(b) + b.dot(b));
        denominator += w;
    }
    if (denominator == 0.0f) return 0.0f;
    return getMass() * numerator / (6.0f * denominator);
}

}  // namespace physics
