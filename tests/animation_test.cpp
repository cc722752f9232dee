// The animation step, retargeting and the keyboard, driven by controlled clocks on a real
// GLUT window.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "clock.h"
#include "scene.h"

namespace {

std::int32_t now = 0;  // GLUT's milliseconds and the process milliseconds, kept together

void stepAt(std::int32_t ms) {
  now = ms;
  idle();
}

std::vector<float> coordinates(std::initializer_list<const BezierCurve*> curves) {
  std::vector<float> all;
  for (const BezierCurve* curve : curves) {
    for (int slot = 1; slot <= 4; ++slot) {
      all.insert(all.end(), {curve->points[slot].x, curve->points[slot].y});
    }
  }
  return all;
}
std::vector<float> targets() { return coordinates({redTarget, greenTarget, blueTarget}); }
std::vector<float> shown() { return coordinates({redCurve, greenCurve, blueCurve}); }

void expectClosedChain() {
  const BezierCurve* chain[] = {redTarget, greenTarget, blueTarget, redTarget};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(chain[i]->points[4].x, chain[i + 1]->points[1].x) << "joint " << i;
    EXPECT_EQ(chain[i]->points[4].y, chain[i + 1]->points[1].y) << "joint " << i;
  }
}

class Animation : public testing::Test {
 protected:
  void SetUp() override {
    std::srand(7);
    for (BezierCurve* curve :
         {redCurve, greenCurve, blueCurve, redTarget, greenTarget, blueTarget}) {
      curve->randomize();
    }
    *retargetWatch = Stopwatch();
    elapsedMs = lastElapsedMs = frameDeltaMs = 0;
  }
};

TEST_F(Animation, RetargetsAtTheFirstStepPastEachTwoSecondMark) {
  stepAt(5000);  // the first step starts the watch, however late it comes
  std::vector<float> before = targets();
  for (const int mark : {7000, 9001}) {
    stepAt(mark);  // exactly 2.0 s: not yet
    EXPECT_EQ(targets(), before);
    stepAt(mark + 1);
    EXPECT_NE(targets(), before);
    expectClosedChain();
    before = targets();
  }
}

TEST_F(Animation, EasesByTheFrameTimeWithRoundingAtEveryStep) {
  redCurve->points[0] = {-3, -4};
  redCurve->points[1] = {0x1.25ff32p+7f, 0x1.e5f9b4p+8f};
  redTarget->points[1] = {682, 251};
  greenCurve->points[3] = {0x1.64f46p+9f, 0x1.2966a6p+7f};
  greenTarget->points[3] = {695, 685};
  const std::vector<float> goals = targets();
  for (const int ms : {16, 33, 66, 67, 317}) stepAt(ms);
  // Computed independently, in double with a rounding to float per step; float arithmetic
  // gives other bits.
  EXPECT_EQ(redCurve->points[1].x, 0x1.aa9622p+7f);
  EXPECT_EQ(redCurve->points[1].y, 0x1.c8dbbep+8f);
  EXPECT_EQ(greenCurve->points[3].x, 0x1.63c872p+9f);
  EXPECT_EQ(greenCurve->points[3].y, 0x1.ae4feep+7f);
  EXPECT_EQ(redCurve->points[0].x, -3);  // the evaluation slot takes no part
  EXPECT_EQ(targets(), goals);
}

TEST_F(Animation, LongFramesLandExactlyOnTheTargets) {
  redCurve->points[2] = {0x1.25ff32p+7f, 0x1.e5f9b4p+8f};
  stepAt(2500);
  EXPECT_EQ(shown(), targets());
  // A stall long past the two-second mark: fresh targets, and the curves sit exactly on them.
  stepAt(60'000);
  EXPECT_EQ(shown(), targets());
  expectClosedChain();
}

TEST_F(Animation, FrameTimeWrapsAroundAndNeverRunsBackwards) {
  stepAt(INT_MAX - 9);
  redCurve->points[1] = {100, 600};
  redTarget->points[1] = {600, 100};
  stepAt(INT_MIN + 10);  // 20 ms later, across the wrap of the counter
  EXPECT_EQ(frameDeltaMs, 20);
  EXPECT_EQ(redCurve->points[1].x, 104);  // 0.8 % of the way
  EXPECT_EQ(redCurve->points[1].y, 596);
  const std::vector<float> before = shown();
  stepAt(INT_MIN + 10);
  stepAt(INT_MIN);  // the clock went back
  EXPECT_EQ(frameDeltaMs, -10);
  EXPECT_EQ(shown(), before);
}

TEST_F(Animation, SpaceRetargetsAtOnceAndOtherKeysDoNothing) {
  stepAt(1000);
  std::vector<float> before = targets();
  const std::vector<float> curves = shown();
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

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  createScene();
  openWindow(&argc, argv);
  windowId = glutGetWindow();
  readElapsedMs = [] { return static_cast<int>(now); };
  stopwatchTicksMs = [] { return now; };
  stopwatchCalendarSeconds = [] { return std::int64_t{0}; };
  return RUN_ALL_TESTS();
}
