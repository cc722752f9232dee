// The animation step, retargeting, the keyboard and the stopwatch, on clocks the test moves.
// GLUT's two calls in the step are replaced below, so no window is needed.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "clock.h"
#include "scene.h"

namespace {

int now = 0;  // GLUT's milliseconds and the stopwatch's, kept together

}  // namespace

int glutGet(GLenum) { return now; }
void glutPostWindowRedisplay(int) {}

namespace {

using Curves = std::array<float, 30>;
Curves targets() {
  return __builtin_bit_cast(Curves, std::array{*redTarget, *greenTarget, *blueTarget});
}
Curves shown() {
  return __builtin_bit_cast(Curves, std::array{*redCurve, *greenCurve, *blueCurve});
}

void stepAt(int ms) {
  now = ms;
  idle();
}

// Red ends where green starts, green where blue starts, blue where red starts.
void expectClosedChain() {
  const BezierCurve* chain[] = {redTarget, greenTarget, blueTarget, redTarget};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(__builtin_bit_cast(std::uint64_t, chain[i]->points[4]),
              __builtin_bit_cast(std::uint64_t, chain[i + 1]->points[1]));
  }
}

class Animation : public testing::Test {
 protected:
  void SetUp() override {
    if (redCurve == nullptr) createScene();
    std::srand(7);
    for (auto* curve : {redCurve, greenCurve, blueCurve, redTarget, greenTarget, blueTarget}) {
      curve->randomize();
    }
    *retargetWatch = Stopwatch();
    elapsedMs = lastElapsedMs = 0;
    stopwatchTicksMs = [] { return std::int32_t{now}; };
  }
};

TEST_F(Animation, RetargetsIntoAClosedChainAtTheFirstStepPastEachTwoSecondMark) {
  stepAt(5000);  // the first step starts the watch, however late it comes
  Curves before = targets();
  for (const int mark : {7000, 9001}) {
    stepAt(mark);  // exactly 2.0 s: not yet
    EXPECT_EQ(targets(), before);
    stepAt(mark + 1);
    EXPECT_NE(targets(), before);
    expectClosedChain();
    before = targets();
  }
}

TEST_F(Animation, EasesByTheFrameTimeRoundedAtEveryStepAndLandsAfterAStall) {
  redCurve->points[1] = {0x1.25ff32p+7f, 0x1.e5f9b4p+8f};
  redTarget->points[1] = {682, 251};
  greenCurve->points[3] = {0x1.64f46p+9f, 0x1.2966a6p+7f};
  greenTarget->points[3] = {695, 685};
  const Curves goals = targets();
  for (const int ms : {16, 33, 66, 67, 67, 317}) stepAt(ms);
  // Computed independently, in double with a rounding to float per step; float arithmetic
  // gives other bits.
  EXPECT_EQ(redCurve->points[1].x, 0x1.aa9622p+7f);
  EXPECT_EQ(redCurve->points[1].y, 0x1.c8dbbep+8f);
  EXPECT_EQ(greenCurve->points[3].x, 0x1.63c872p+9f);
  EXPECT_EQ(greenCurve->points[3].y, 0x1.ae4feep+7f);
  EXPECT_EQ(targets(), goals);
  stepAt(60'000);  // a stall: fresh targets, and the curves land on them, not beyond
  EXPECT_EQ(shown(), targets());
}

TEST_F(Animation, SpaceRetargetsAtOnceWithoutMovingTheTimerAndOtherKeysDoNothing) {
  stepAt(1000);
  Curves before = targets();
  const Curves curves = shown();
  for (int key = 0; key < 256; ++key) {
    if (key != ' ') keyboard(static_cast<unsigned char>(key), 0, 0);
  }
  EXPECT_EQ(targets(), before);
  now = 1500;
  keyboard(' ', 10, 20);
  EXPECT_NE(targets(), before);
  expectClosedChain();
  EXPECT_EQ(shown(), curves);  // the next step eases toward the new targets
  before = targets();
  stepAt(3000);  // the timer still counts from the first step, not from the key
  EXPECT_EQ(targets(), before);
  stepAt(3001);
  EXPECT_NE(targets(), before);
}

TEST_F(Animation, StopwatchCountsWallClockTimeWhileTheProcessSleeps) {
  stopwatchTicksMs = processTicksMs;
  Stopwatch watch;
  watch.start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GE(watch.elapsedSeconds(), 0.295f);  // a processor-time clock would barely move
  EXPECT_LT(watch.elapsedSeconds(), 30.0f);
}

}  // namespace
