// Stopwatch readings against controlled clocks, and the real clock behind it.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <thread>
#include <type_traits>

#include "clock.h"
#include "stopwatch.h"

namespace {

std::int32_t ticks = 0;
std::int64_t calendar = 0;

class StopwatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ticks = 0;
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

TEST_F(StopwatchTest, NeverStartedReadsZero) {
  Stopwatch watch;
  advance(5000);
  static_assert(std::is_same_v<decltype(watch.elapsedSeconds()), float>);
  EXPECT_EQ(watch.elapsedSeconds(), 0.0f);
}

TEST_F(StopwatchTest, StartRestartAndReadings) {
  Stopwatch watch;
  advance(700);
  watch.start();
  advance(1);
  EXPECT_EQ(watch.elapsedSeconds(), 0.001f);  // the double 0.001 rounded to float
  advance(1499);
  watch.start();  // already running: the start stays
  EXPECT_EQ(watch.elapsedSeconds(), 1.5f);
  advance(500);
  EXPECT_EQ(watch.elapsedSeconds(), 2.0f);
  watch.restart();
  EXPECT_EQ(watch.elapsedSeconds(), 0.0f);
  advance(250);
  EXPECT_EQ(watch.elapsedSeconds(), 0.25f);
}

TEST_F(StopwatchTest, CalendarClockTakesOverAtOneHour) {
  Stopwatch watch;
  watch.start();
  ticks += 3599'123;
  calendar += 3599;
  EXPECT_EQ(watch.elapsedSeconds(), 3599.123f);  // millisecond path
  ticks += 5000;
  calendar += 1;
  EXPECT_EQ(watch.elapsedSeconds(), 3600.0f);  // calendar path, whole seconds
  calendar -= 7200;                            // clock set back: millisecond path again
  EXPECT_EQ(watch.elapsedSeconds(), 3604.123f);
}

TEST_F(StopwatchTest, MillisecondCounterWrapsAround) {
  ticks = INT_MAX - 499;
  Stopwatch watch;
  watch.start();
  advance(1500);  // past the wrap: the counter is now negative
  EXPECT_LT(ticks, 0);
  EXPECT_EQ(watch.elapsedSeconds(), 1.5f);
}

TEST(ProcessClock, CountsWallClockTimeWhileAsleep) {
  const std::int32_t before = processTicksMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::int32_t slept = ticksBetween(before, processTicksMs());
  EXPECT_GE(slept, 295);  // a processor-time clock would barely move
  EXPECT_LT(slept, 10'000);
}

}  // namespace
