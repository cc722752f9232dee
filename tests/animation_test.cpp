// The animation step, retargeting, the keyboard and the stopwatch, on clocks the test moves.
// GLUT's two calls in the step are replaced below, so no window is needed.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <thread>
#include <tuple>

#include "clock.h"
#include "scene.h"

static int now = 0;  // GLUT's milliseconds and the stopwatch's, kept together

int glutGet(GLenum) { return now; }
void glutPostWindowRedisplay(int) {}

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
    elapsedMs = lastElapsedMs = 0;
    stopwatchTicksMs = [] { return std::int32_t{now}; };
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
  for (const auto& [ms, key, changes] : timeline) {
    const Curves before = targets();
    now = ms;
    key ? keyboard(key, 0, 0) : idle();
    EXPECT_EQ(targets() != before, changes) << ms << " ms, key " << int(key);
    // Red ends where green starts, green where blue starts, blue where red starts.
    const BezierCurve* chain[] = {redTarget, greenTarget, blueTarget, redTarget};
    for (int i = 0; changes && i < 3; ++i) {
      EXPECT_EQ(__builtin_bit_cast(std::uint64_t, chain[i]->points[4]),
                __builtin_bit_cast(std::uint64_t, chain[i + 1]->points[1]));
    }
  }
}

TEST_F(Animation, EasesByTheFrameTimeRoundedAtEveryStepAndLandsAfterAStall) {
  redCurve->points[1] = {0x1.25ff32p+7f, 0x1.e5f9b4p+8f};
  redTarget->points[1] = {682, 251};
  const Curves goals = targets();
  for (const int ms : {16, 33, 66, 67, 67, 317}) {
    now = ms;
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
  now = 60'000;  // a stall: fresh targets, and the curves land on them, not beyond
  idle();
  EXPECT_EQ(bits(redCurve, greenCurve, blueCurve), targets());
}

TEST_F(Animation, StopwatchCountsWallClockTimeWhileTheProcessSleeps) {
  stopwatchTicksMs = processTicksMs;
  Stopwatch watch;
  watch.start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GE(watch.elapsedSeconds(), 0.295f);  // a processor-time clock would barely move
  EXPECT_LT(watch.elapsedSeconds(), 30.0f);
}
