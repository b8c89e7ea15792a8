#include "physics/microtimer.h"

#include <chrono>

namespace physics {

MicroTimer::MicroTimer() { reset(); }

// Ticks of a counter running at `ticksPerSecond`, in microseconds. The whole
// ticks per microsecond are used when the counter runs at 1 MHz or faster; a
// slower counter (where that ratio would be 0) is scaled up instead, and a
// counter with no frequency reads 0: never a division by zero.
long long MicroTimer::ticksToMicroseconds(long long ticks, long long ticksPerSecond) {
    if (ticksPerSecond <= 0) return 0;
    long long ticksPerMicro = ticksPerSecond / 1000000;
    if (ticksPerMicro > 0) return ticks / ticksPerMicro;
    return ticks * 1000000 / ticksPerSecond;
}

int MicroTimer::gettimeofday(TimeVal* tv, void*) {
    if (tv == nullptr) return 0;
    using Clock = std::chrono::steady_clock;
    long long ticks = static_cast<long long>(Clock::now().time_since_epoch().count());
    long long ticksPerSecond = static_cast<long long>(Clock::period::den / Clock::period::num);
    long long micros = ticksToMicroseconds(ticks, ticksPerSecond);
    tv->tv_sec = static_cast<long>(micros / 1000000);
    tv->tv_usec = static_cast<long>(micros % 1000000);
    return 0;
}

void MicroTimer::reset() { gettimeofday(&startTime); }

double MicroTimer::getTime() const { return static_cast<double>(getMicroTime()) / 1000000.0; }

int MicroTimer::getMicroTime() const {
    TimeVal now;
    gettimeofday(&now);
    return static_cast<int>(microsBetween(startTime, now));
}

void MicroTimer::addMarker(const std::string& name) { gettimeofday(&markerTimeMap[name]); }

long microsBetween(const TimeVal& a, const TimeVal& b) {
    return (b.tv_sec - a.tv_sec) * 1000000L + (b.tv_usec - a.tv_usec);
}

}  // namespace physics
