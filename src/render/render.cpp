// The display handler and the caption.
#include "render.h"

#include <GL/glut.h>

#include <string>

#include "scene.h"

void drawCaption() {
  glPushMatrix();
  glLoadIdentity();
  glColor3f(1, 1, 1);  // before the raster position, which takes the current colour
  glRasterPos2i(5, kViewHeight - 20);
  const std::string s =
      "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.";
  for (auto i = s.begin(); i != s.end(); ++i) {
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *i);
  }
  glPopMatrix();
}

void display() {
  glClear(GL_COLOR_BUFFER_BIT);
  drawCaption();
  glLoadIdentity();
  redCurve->drawCurve(1, 0, 0);
  redCurve->drawControlPoints();
  greenCurve->drawCurve(0, 1, 0);
  greenCurve->drawControlPoints();
  blueCurve->drawCurve(0, 0, 1);
  blueCurve->drawControlPoints();
  glutSwapBuffers();
}
