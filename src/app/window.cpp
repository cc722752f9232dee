// Opening the window and setting the fixed drawing state: blending, smoothing, projection,
// point size and background.
#include <GL/glut.h>

#include "scene.h"

void openWindow(int* argc, char** argv) {
  glutInit(argc, argv);
  glutInitWindowPosition(0, 0);
  glutInitWindowSize(kViewWidth, kViewHeight);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
  glutCreateWindow("2D Bezier Curve");
#if BEZIER2D_X11
  identifyWindow();
#endif
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
