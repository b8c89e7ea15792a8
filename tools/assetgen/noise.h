#pragma once
// Deterministic value noise for textures: the same picture on every build.
#include <cmath>
#include <cstdint>

namespace art {

inline float hash2(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777215.0f;
}

// Smooth noise in 0..1 with features about one unit across; wraps every
// `periodX` units across and every `periodY` units down where those are > 0:
// a texture that tiles, whose features may be longer one way than the other.
inline float valueNoise(float x, float y, std::uint32_t seed, int periodX, int periodY) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    auto at = [&](int i, int j) {
        if (periodX > 0) i = ((i % periodX) + periodX) % periodX;
        if (periodY > 0) j = ((j % periodY) + periodY) % periodY;
        return hash2(i, j, seed);
    };
    float ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
    float a = at(xi, yi), b = at(xi + 1, yi), c = at(xi, yi + 1), d = at(xi + 1, yi + 1);
    float top = a + (b - a) * ux, bottom = c + (d - c) * ux;
    return top + (bottom - top) * uy;
}

// The same, wrapping every `period` units both ways when period > 0.
inline float valueNoise(float x, float y, std::uint32_t seed, int period = 0) {
    return valueNoise(x, y, seed, period, period);
}

// Sum of `octaves` noises, each twice as fine and half as strong; 0..1.
inline float fbm(float x, float y, std::uint32_t seed, int octaves, int period = 0) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + i * 101u, period);
        norm += amp;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

}  // namespace art
