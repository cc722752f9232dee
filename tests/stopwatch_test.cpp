// Stopwatch readings against controlled clocks, and the real clock behind it.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <thread>

#include "clock.h"
#include "stopwatch.h"

namespace {

std::int32_t ticks = 0;
std::int64_t calendar = 0;

class StopwatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ticks = INT_MAX - 499;  // the millisecond counter wraps 500 ms in
    calendar = 1'700'000'000;
    stopwatchTicksMs = [] { return ticks; };
    stopwatchCalendarSeconds = [] { return calendar; };
  }
  void TearDown() override {
    stopwatchTicksMs = processTicksMs;
    stopwatchCalendarSeconds = calendarSeconds;
  }
  // Moves both clocks on together; the millisecond counter wraps like the real one.
  static void advance(std::int32_t ms) {
    ticks = static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks) + ms);
    calendar += ms / 1000;
  }
};

TEST_F(StopwatchTest, StartRestartAndReadings) {
  Stopwatch watch;
  advance(700);
  EXPECT_EQ(watch.elapsedSeconds(), 0.0f);  // never started
  watch.start();
  advance(1);
  EXPECT_EQ(watch.elapsedSeconds(), 0.001f);  // the double 0.001 rounded to float
  advance(1499);
  watch.start();  // already running: the start stays
  EXPECT_EQ(watch.elapsedSeconds(), 1.5f);
  watch.restart();
  advance(250);
  EXPECT_EQ(watch.elapsedSeconds(), 0.25f);
}

TEST_F(StopwatchTest, CalendarClockTakesOverAtOneHour) {
  Stopwatch watch;
  watch.start();
  advance(1500);  // across the wrap of the millisecond counter
  EXPECT_EQ(watch.elapsedSeconds(), 1.5f);
  ticks += 3597'623;
  calendar += 3598;
  EXPECT_EQ(watch.elapsedSeconds(), 3599.123f);  // d = 3599: milliseconds
  ticks += 5000;
  calendar += 1;
  EXPECT_EQ(watch.elapsedSeconds(), 3600.0f);  // d = 3600: whole calendar seconds
  calendar -= 7200;                            // clock set back: milliseconds again
  EXPECT_EQ(watch.elapsedSeconds(), 3604.123f);
}

TEST(ProcessClock, CountsWallClockTimeWhileAsleep) {
  const std::int32_t before = processTicksMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::int32_t slept = ticksBetween(before, processTicksMs());
  EXPECT_GE(slept, 295);  // a processor-time clock would barely move
  EXPECT_LT(slept, 10'000);
}

}  // namespace
