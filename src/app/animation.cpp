// The animation step: timed retargeting and easing of the shown curves toward their targets.
#include <GL/glut.h>

#include <algorithm>
#include <array>
#include <utility>

#include "clock.h"
#include "scene.h"

namespace {

// New targets once more than this many seconds have passed since the last timed choice.
constexpr double kRetargetSeconds = 2.0;
// Fraction of the remaining distance covered per millisecond of a frame: 1 % in 25 ms.
constexpr double kEasingPerMs = 0.0004;

// (to - from) * factor + from, in double, rounded once.
float interpolateValue(float factor, float from, float to) {
  return static_cast<float>((double{to} - from) * factor + from);
}

// A frame of 2500 ms or more lands exactly on the targets rather than overshooting them;
// a negative frame (a clock that went back) moves nothing.
float easingFactor(int frameMs) {
  const auto factor = static_cast<float>(frameMs * kEasingPerMs);
  return std::clamp(factor, 0.0f, 1.0f);
}

void easeTowardTargets(float factor) {
  const std::array<std::pair<BezierCurve*, const BezierCurve*>, 3> pairs{
      {{redCurve, redTarget}, {greenCurve, greenTarget}, {blueCurve, blueTarget}}};
  for (int slot = 1; slot <= 4; ++slot) {
    for (const auto& [curve, target] : pairs) {
      Point& point = curve->points[slot];
      const Point& goal = target->points[slot];
      point.x = interpolateValue(factor, point.x, goal.x);
      point.y = interpolateValue(factor, point.y, goal.y);
    }
  }
}

// Red ends where green starts, green where blue starts, blue where red starts.
void closeTargetChain() {
  redTarget->points[4] = greenTarget->points[1];
  greenTarget->points[4] = blueTarget->points[1];
  blueTarget->points[4] = redTarget->points[1];
}

}  // namespace

void retarget() {
  redTarget->randomize();
  greenTarget->randomize();
  blueTarget->randomize();
  closeTargetChain();
}

void idle() {
  elapsedMs = glutGet(GLUT_ELAPSED_TIME);
  frameDeltaMs = ticksBetween(lastElapsedMs, elapsedMs);

  retargetWatch->start();
  if (retargetWatch->elapsedSeconds() > kRetargetSeconds) {
    retarget();
    retargetWatch->restart();
  }
  easeTowardTargets(easingFactor(frameDeltaMs));

  lastElapsedMs = elapsedMs;
  glutPostWindowRedisplay(windowId);
}

void visibility(int state) {
  if (state == GLUT_VISIBLE) glutIdleFunc(idle);
}
