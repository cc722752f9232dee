// The animation step, retargeting, the keyboard and the stopwatch, on clocks the test moves,
// over months as well as seconds. GLUT's calls are replaced below, so no window is needed.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <thread>
#include <tuple>
#include <utility>

#include "clock.h"
#include "scene.h"

// The test's clock: milliseconds since start-up, 64 bits wide. GLUT and the stopwatch read it as
// the 32-bit counters they get in a real run, which wrap: at 2^31 ms (24.8 days) GLUT's int turns
// negative, at 2^32 ms (49.7 days) both start again from 0. The calendar clock reads its seconds.
static std::int64_t now = 0;
static std::int32_t counter() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(now)); }
constexpr std::int64_t kWrap31 = std::int64_t{1} << 31;
constexpr std::int64_t kWrap32 = std::int64_t{1} << 32;

int glutGet(GLenum) { return counter(); }
void glutPostWindowRedisplay(int) {}
void glutIdleFunc(void (*)()) {}

// The bits of three curves' points.
using Curves = std::array<float, 30>;
static Curves bits(const BezierCurve* a, const BezierCurve* b, const BezierCurve* c) {
  return __builtin_bit_cast(Curves, std::array{*a, *b, *c});
}
static Curves targets() { return bits(redTarget, greenTarget, blueTarget); }

class Animation : public testing::Test {
 protected:
  void SetUp() override {
    if (redCurve == nullptr) createScene();
    *retargetWatch = Stopwatch();
    now = elapsedMs = lastElapsedMs = 0;
    stopwatchTicksMs = counter;
    stopwatchCalendarSeconds = [] { return 1'800'000'000 + now / 1000; };
  }
};

TEST_F(Animation, NewTargetsAtTheFirstStepPastTwoSecondsAndAtOnceOnSpaceJoinedIntoALoop) {
  // When, which key is pressed then (none: an idle step), and whether the targets change.
  const std::tuple<int, unsigned char, bool> timeline[] = {
      {5000, 0, false},                       // the first step starts the watch, however late
      {7000, 0, false},                       // exactly 2.0 s: not yet
      {7001, 0, true},                        // the first step past it, which restarts the watch
      {7500, 'q', false}, {7500, 27, false},  // other keys, Escape among them, do nothing
      {8000, ' ', true},                      // space: at once, leaving the watch alone
      {9001, 0, false},   {9002, 0, true}};
  // From start-up, and with the counters wrapping between the watch's start and its first choice.
  for (const std::int64_t start : {std::int64_t{0}, kWrap31 - 6000, kWrap32 - 6000}) {
    *retargetWatch = Stopwatch();
    for (const auto& [ms, key, changes] : timeline) {
      const Curves before = targets();
      now = start + ms;
      key ? keyboard(key, 0, 0) : idle();
      EXPECT_EQ(targets() != before, changes) << start << " + " << ms << " ms, key " << int(key);
      // Red ends where green starts, green where blue starts, blue where red starts.
      const BezierCurve* chain[] = {redTarget, greenTarget, blueTarget, redTarget};
      for (int i = 0; changes && i < 3; ++i) {
        EXPECT_EQ(__builtin_bit_cast(std::uint64_t, chain[i]->points[4]),
                  __builtin_bit_cast(std::uint64_t, chain[i + 1]->points[1]));
      }
    }
  }
}

TEST_F(Animation, EasesByTheFrameTimeRoundedAtEveryStepAcrossTheWrapAndLandsAfterAStall) {
  redCurve->points[1] = {0x1.25ff32p+7f, 0x1.e5f9b4p+8f};
  redTarget->points[1] = {682, 251};
  const Curves goals = targets();
  // GLUT's count passes 2^31 ms between the frames at 33 and 66 ms: that frame is 33 ms too.
  const std::int64_t start = kWrap31 - 50;
  now = start;
  lastElapsedMs = counter();
  for (const int ms : {16, 33, 66, 67, 67, 317}) {
    now = start + ms;
    idle();
  }
  // In double with a rounding to float per step (float arithmetic gives other bits); computed
  // independently, in Python, with f rounding to float as struct.pack('f') does:
  //   x, y, last = f(0x1.25ff32p+7), f(0x1.e5f9b4p+8), 0   (as float.fromhex)
  //   for ms in (16, 33, 66, 67, 67, 317):
  //     k = f((ms - last) * 0.0004); last = ms
  //     x, y = f((682 - x) * k + x), f((251 - y) * k + y)
  EXPECT_EQ(redCurve->points[1].x, 0x1.aa9622p+7f);
  EXPECT_EQ(redCurve->points[1].y, 0x1.c8dbbep+8f);
  EXPECT_EQ(targets(), goals);
  now = start + 60'000;  // a stall: fresh targets, and the curves land on them, not beyond
  idle();
  EXPECT_EQ(bits(redCurve, greenCurve, blueCurve), targets());
}

TEST_F(Animation, StopwatchReadsMillisecondsAcrossTheWrapsAndCalendarSecondsAfterAnHour) {
  for (const std::int64_t start : {kWrap31 - 500, kWrap32 - 500}) {
    now = start;
    Stopwatch watch;
    watch.start();
    now = start + 2500;
    EXPECT_EQ(watch.elapsedSeconds(), 2.5f) << "started at " << start << " ms";
  }
  // From an hour on, whole calendar seconds: the millisecond counters wrap after 24.8 days.
  now = 1000;
  Stopwatch watch;
  watch.start();
  const std::pair<std::int64_t, float> readings[] = {
      {3'600'999, 3599.999f}, {3'601'700, 3600.0f}, {2'592'001'000, 2592000.0f}};
  for (const auto& [ms, seconds] : readings) {
    now = ms;
    EXPECT_EQ(watch.elapsedSeconds(), seconds) << ms << " ms";
  }

  stopwatchTicksMs = processTicksMs;  // the real clock counts wall time, not processor time
  watch.restart();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GE(watch.elapsedSeconds(), 0.295f);  // a processor-time clock would barely move
  EXPECT_LT(watch.elapsedSeconds(), 30.0f);
}
