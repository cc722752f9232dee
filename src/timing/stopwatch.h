// Elapsed wall-clock seconds since a start, used to pace the choice of new target curves.
#pragma once

#include <cstdint>

class Stopwatch {
 public:
  // Starts counting unless already running; a running watch keeps its start.
  void start();
  // Counts afresh from now, running or not.
  void restart();
  // The carry plus the time since the last start; 0 for a watch never started.
  float elapsedSeconds() const;
  // Seconds since the last start: milliseconds below an hour, whole calendar seconds from then.
  double secondsSinceStart() const;

 private:
  bool running = false;
  std::int32_t startTicks = 0;  // process milliseconds at the last start
  std::int64_t startTime = 0;   // calendar seconds at the last start
  double accumulated = 0.0;     // seconds carried into every reading
};
