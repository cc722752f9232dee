// The two clocks the Stopwatch reads, held as replaceable hooks so tests can drive time.
#pragma once

#include <cstdint>

// Wall-clock milliseconds since the process started, from a monotonic clock; wraps around
// like a 32-bit counter after about 24.8 days.
std::int32_t processTicksMs();
// Calendar time in whole seconds.
std::int64_t calendarSeconds();

// Milliseconds from earlier to later on a wrapping 32-bit counter: exact across the wrap,
// with no signed overflow.
std::int32_t ticksBetween(std::int32_t earlier, std::int32_t later);

// What the Stopwatch calls; they point at the functions above unless a test replaces them.
extern std::int32_t (*stopwatchTicksMs)();
extern std::int64_t (*stopwatchCalendarSeconds)();
