// The two drawing operations of BezierCurve, in immediate-mode OpenGL.
#include <GL/gl.h>

#include "bezier_curve.h"

namespace {

constexpr int kSamplesPerCurve = 1000;

}  // namespace

void BezierCurve::drawCurve(float red, float green, float blue) {
  glColor3f(red, green, blue);
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < kSamplesPerCurve; ++i) {
    const auto t = static_cast<float>(i / double{kSamplesPerCurve - 1});
    evaluate(points[0], points[1], points[2], points[3], points[4], t);
    glVertex2f(points[0].x, points[0].y);
  }
  glEnd();
}

void BezierCurve::drawControlPoints() {
  glColor3f(1, 0, 0);
  glPointSize(5.0);
  glBegin(GL_POINTS);
  for (int slot = 1; slot <= 4; ++slot) {
    glVertex2f(points[slot].x, points[slot].y);
  }
  glEnd();
}
