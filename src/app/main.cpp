// bezier2d: three cubic Bezier curves (red, green, blue), evaluated with De Casteljau's
// algorithm and drawn with their control points, easing for ever toward random target curves
// chained into a closed loop.
// Keys: space chooses new targets at once. No key quits: close the window to end it.
// Options: --help and --version (on the console of an X11 desktop); every other argument goes to
// GLUT.
#include <GL/glut.h>

#include "render.h"
#include "scene.h"
#if BEZIER2D_X11
#include "command_line.h"
#endif

int main(int argc, char** argv) {
#if BEZIER2D_X11
  if (const auto status = answerOwnOption(argc, argv)) return *status;
#endif
  createScene();

  openWindow(&argc, argv);
  glutDisplayFunc(display);
  glutVisibilityFunc(visibility);
  glutIdleFunc(idle);
  glutKeyboardFunc(keyboard);
  glutIgnoreKeyRepeat(1);  // a held key reports one press
  setUpView();
  windowId = glutGetWindow();
  glutMainLoop();
  return 0;
}
