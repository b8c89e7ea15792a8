#pragma once
// splitmix64: a small, well-mixed generator whose sequence is fixed for a seed.
// The playability variants and the solver's search draw from it, so the same
// seed gives the same variants and the same search on every machine.
#include <cstdint>

namespace leveltools {

// The next number of the sequence; advances `state`.
inline std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace leveltools
