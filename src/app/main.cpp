// bezier2d: three cubic Bezier curves (red, green, blue), evaluated with De Casteljau's
// algorithm and drawn with their control points, easing for ever toward random target curves
// chained into a closed loop. Close the window to quit.
#include <GL/glut.h>

#include "render.h"
#include "scene.h"

int main(int argc, char** argv) {
  createScene();

  openWindow(&argc, argv);
  glutDisplayFunc(display);
  glutVisibilityFunc(visibility);
  glutIdleFunc(idle);
  setUpView();
  windowId = glutGetWindow();
  glutMainLoop();
  return 0;
}
