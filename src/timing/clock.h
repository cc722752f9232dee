// The two clocks the Stopwatch reads, held as replaceable hooks so tests can drive time.
#pragma once

#include <cstdint>

// Wall-clock milliseconds since the process started, from a monotonic clock, as a 32-bit counter
// gives them: negative after 2^31 ms (24.8 days), and from 0 again after 2^32 ms (49.7 days).
std::int32_t processTicksMs();

// Milliseconds from earlier to later on a wrapping 32-bit counter: exact across the wrap,
// with no signed overflow.
std::int32_t ticksBetween(std::int32_t earlier, std::int32_t later);

// What the Stopwatch calls: the process clock above and the calendar time in whole seconds,
// unless a test replaces them.
extern std::int32_t (*stopwatchTicksMs)();
extern std::int64_t (*stopwatchCalendarSeconds)();
