#pragma once
// Signed distance functions of simple shapes, in pixels, negative inside. Combine
// them with min (union), max (intersection) and max(a, -b) (a without b).
#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

constexpr float PI = 3.14159265f;

inline float length(float x, float y) { return std::sqrt(x * x + y * y); }

inline float circle(float x, float y, float cx, float cy, float r) { return length(x - cx, y - cy) - r; }

// Ring of radius r, `width` thick (centred on r).
inline float ring(float x, float y, float cx, float cy, float r, float width) {
    return std::fabs(length(x - cx, y - cy) - r) - width / 2;
}

// Axis-aligned box centred on (cx, cy) with half extents (hw, hh) and corner radius rad.
inline float roundBox(float x, float y, float cx, float cy, float hw, float hh, float rad) {
    float qx = std::fabs(x - cx) - hw + rad;
    float qy = std::fabs(y - cy) - hh + rad;
    float outside = length(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - rad;
}

// Segment from (ax, ay) to (bx, by) with round caps, `width` thick.
inline float segment(float x, float y, float ax, float ay, float bx, float by, float width) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float l2 = dx * dx + dy * dy;
    float t = l2 > 0 ? std::clamp((px * dx + py * dy) / l2, 0.0f, 1.0f) : 0.0f;
    return length(px - dx * t, py - dy * t) - width / 2;
}

// A polyline through `pts` (x, y pairs), `width` thick, round joints.
inline float polyline(float x, float y, const std::vector<float>& pts, float width) {
    float d = 1e9f;
    for (std::size_t i = 0; i + 3 < pts.size(); i += 2)
        d = std::min(d, segment(x, y, pts[i], pts[i + 1], pts[i + 2], pts[i + 3], width));
    return d;
}

// Closed polygon through `pts` (x, y pairs), any winding, not self-intersecting.
inline float polygon(float x, float y, const std::vector<float>& pts) {
    std::size_t n = pts.size() / 2;
    float d = 1e9f;
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        float ax = pts[2 * j], ay = pts[2 * j + 1], bx = pts[2 * i], by = pts[2 * i + 1];
        d = std::min(d, segment(x, y, ax, ay, bx, by, 0.0f));
        if (((by > y) != (ay > y)) && (x < (ax - bx) * (y - by) / (ay - by) + bx)) inside = !inside;
    }
    return inside ? -d : d;
}

// Pie slice of a disc: from 12 o'clock clockwise through `fraction` of a turn
// (image y points down, so this is clockwise on screen too).
inline float pie(float x, float y, float cx, float cy, float r, float fraction) {
    float disc = circle(x, y, cx, cy, r);
    if (fraction >= 1.0f) return disc;
    float px = x - cx, py = y - cy;
    float end = fraction * 2 * PI;
    float s0 = -px;                                    // behind the 12 o'clock edge
    float s1 = px * std::cos(end) + py * std::sin(end);  // past the closing edge
    float wedge = fraction <= 0.5f ? std::max(s0, s1) : std::min(s0, s1);
    return std::max(disc, wedge);
}

}  // namespace art
