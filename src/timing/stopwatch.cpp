// Stopwatch: millisecond resolution for the first hour, the calendar clock after that.
#include "stopwatch.h"

#include "clock.h"

void Stopwatch::start() {
  if (running) return;
  running = true;
  startTicks = stopwatchTicksMs();
  startTime = stopwatchCalendarSeconds();
}

void Stopwatch::restart() {
  running = true;
  accumulated = 0.0;
  startTicks = stopwatchTicksMs();
  startTime = stopwatchCalendarSeconds();
}

float Stopwatch::elapsedSeconds() const {
  const double since = running ? secondsSinceStart() : 0.0;
  return static_cast<float>(double{static_cast<float>(accumulated)} + since);
}

double Stopwatch::secondsSinceStart() const {
  const std::int64_t d = stopwatchCalendarSeconds() - startTime;
  if (d >= 3600) return static_cast<double>(d);
  return ticksBetween(startTicks, stopwatchTicksMs()) / 1000.0;
}
