#pragma once
// The main loop's timing rules as pure functions of the millisecond timer, so
// they can be checked without a clock.
//
// Pacing: an update runs once (float)(ticks - lastTicks) >= 1000 / FPS_CAP, that is
// 17 ms after the previous one with a millisecond timer, never earlier. The loop
// sleeps through most of the wait (coarseSleep) and polls the timer with short
// naps only for the last two milliseconds, so it keeps the timing of a busy wait
// without spinning a core.
//
// Frame skipping: updates are never skipped, drawing is. When drawn frames cost
// more than 40 ms per update on average only every `frameskip`-th update is
// drawn; the factor grows by one per drawn frame up to 20 and shrinks by one at
// 25 ms or less, down to 1 (0 and 1 both draw every update).
#include <cstdint>

namespace pacing {

constexpr float FPS_CAP = 60.0f;  // updates per second at most

// Whether an update may run at timer value `ticks`, ms, the previous one having
// run at `lastTicks`. Differences are taken modulo 2^32, so the timer may wrap.
bool updateDue(std::uint32_t ticks, std::uint32_t lastTicks);

// Whole milliseconds the loop may sleep at `ticks` and still wake at least one
// timer step before the update falls due; 0 once it should poll instead.
std::uint32_t coarseSleep(std::uint32_t ticks, std::uint32_t lastTicks);

struct FrameSkip {
    int frameskip = 0;           // draw every frameskip-th update; 0 and 1 draw all
    int lastFrameDrawn = 0;      // update count at the last drawn frame
    std::int64_t ticksAtLastDraw = 0;  // timer at the last drawn frame, ms; 0 before the first

    // Whether update number `numframes` (counted from 1) goes undrawn.
    bool skips(int numframes) const;
    // After drawing update `numframes` at timer `ticks`: adapts the factor to the
    // mean time per update since the previous drawn frame and returns that mean, ms.
    int drawn(int numframes, std::uint32_t ticks);
};

}  // namespace pacing
