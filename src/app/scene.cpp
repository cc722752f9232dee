// The scene globals and the steps that build them.
#include "scene.h"

#include <GL/glut.h>

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
int (*readElapsedMs)() = [] { return glutGet(GLUT_ELAPSED_TIME); };

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

void openWindow(int* argc, char** argv) {
  glutInit(argc, argv);
  glutInitWindowPosition(0, 0);
  glutInitWindowSize(kViewWidth, kViewHeight);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
  glutCreateWindow("2D Bezier Curve");
}

void setUpView() {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_POINT_SMOOTH);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, kViewWidth, 0, kViewHeight);
  glMatrixMode(GL_MODELVIEW);

  glPointSize(3.0);
  glClearColor(0.1f, 0.57f, 0.8f, 1.0f);
}
