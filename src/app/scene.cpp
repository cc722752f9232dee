// The scene globals and the steps that build them.
#include "scene.h"

BezierCurve* redCurve = nullptr;
BezierCurve* greenCurve = nullptr;
BezierCurve* blueCurve = nullptr;
BezierCurve* redTarget = nullptr;
BezierCurve* greenTarget = nullptr;
BezierCurve* blueTarget = nullptr;
int windowId = 0;
Stopwatch* retargetWatch = nullptr;
int elapsedMs = 0;
int lastElapsedMs = 0;
int frameDeltaMs = 0;

namespace {

// Constructing reseeds rand() from the calendar second, so randomizing each curve before
// the next is made gives curves made within one second identical control points.
BezierCurve* newRandomCurve() {
  auto* curve = new BezierCurve;
  curve->randomize();
  return curve;
}

}  // namespace

void createScene() {
  redCurve = newRandomCurve();
  greenCurve = newRandomCurve();
  blueCurve = newRandomCurve();
  redTarget = newRandomCurve();
  greenTarget = newRandomCurve();
  blueTarget = newRandomCurve();
  retargetWatch = new Stopwatch;
}
