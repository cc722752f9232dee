// The process clock in wall-clock milliseconds and the calendar clock in seconds.
#include "clock.h"

#include <chrono>
#include <ctime>

namespace {

const auto processStart = std::chrono::steady_clock::now();

std::int64_t calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace

std::int32_t processTicksMs() {
  const auto elapsed = std::chrono::steady_clock::now() - processStart;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

std::int32_t ticksBetween(std::int32_t earlier, std::int32_t later) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(later) -
                                   static_cast<std::uint32_t>(earlier));
}

std::int32_t (*stopwatchTicksMs)() = processTicksMs;
std::int64_t (*stopwatchCalendarSeconds)() = calendarSeconds;
