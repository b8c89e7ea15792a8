#include "game/app/pacing.h"

namespace pacing {

namespace {

// First elapsed timer value, ms, at which an update is due (17 at 60 per second).
std::uint32_t dueAfter() {
    std::uint32_t ms = 0;
    while (static_cast<float>(ms) < 1000.0f / FPS_CAP) ++ms;
    return ms;
}

}  // namespace

bool updateDue(std::uint32_t ticks, std::uint32_t lastTicks) {
    return !(static_cast<float>(ticks - lastTicks) < 1000.0f / FPS_CAP);
}

std::uint32_t coarseSleep(std::uint32_t ticks, std::uint32_t lastTicks) {
    // Wake while the timer still reads due - 2: a sleep may overrun by a fraction
    // of a millisecond and the timer's phase within its millisecond is unknown.
    static const std::uint32_t due = dueAfter();
    std::uint32_t elapsed = ticks - lastTicks;
    return elapsed < due - 2 ? due - 2 - elapsed : 0;
}

bool FrameSkip::skips(int numframes) const {
    return frameskip != 0 && (numframes - lastFrameDrawn) % frameskip != 0;
}

int FrameSkip::drawn(int numframes, std::uint32_t ticks) {
    int updates = numframes - lastFrameDrawn;
    if (updates < 1) updates = 1;
    int avgFrameTime = static_cast<int>((static_cast<std::int64_t>(ticks) - ticksAtLastDraw) / updates);
    if (avgFrameTime > 40 && frameskip <= 19) {
        ++frameskip;
    } else if (avgFrameTime <= 25 && frameskip > 1) {
        --frameskip;
    }
    lastFrameDrawn = numframes;
    ticksAtLastDraw = ticks;
    return avgFrameTime;
}

}  // namespace pacing
