#pragma once
#include <map>
#include <string>

namespace physics {

struct TimeVal {
    long tv_sec = 0;   // seconds
    long tv_usec = 0;  // microseconds, 0..999999
};

// A monotonic microsecond clock and named stage start times.
class MicroTimer {
public:
    MicroTimer();
    // Fills tv with the current monotonic time; a null tv is left alone. Returns 0.
    static int gettimeofday(TimeVal* tv, void* tz = nullptr);
    // Counter ticks in microseconds; 0 when the frequency is not positive.
    static long long ticksToMicroseconds(long long ticks, long long ticksPerSecond);
    void reset();
    double getTime() const;      // seconds since the last reset
    int getMicroTime() const;    // microseconds since the last reset
    void addMarker(const std::string& name);

    TimeVal startTime;                          // time of the last step start
    std::map<std::string, TimeVal> markerTimeMap;  // start time of each named stage
};

// Microseconds from a to b.
long microsBetween(const TimeVal& a, const TimeVal& b);

}  // namespace physics
