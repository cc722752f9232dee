// The OpenGL and the GLUT text that bezier2d calls, for the web build, and what of GLUT's window
// needs no browser. Each drawing call is recorded into the frame (frame.h) in the program's own
// memory, so that a frame makes no call into JavaScript but at its start and at the swap, and no
// garbage: the page (gl_web.js) sizes the frame at its start, and uploads and draws it at the
// swap. The program calls nothing else of OpenGL: a call that is neither here nor in gl_web.js
// fails the link.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <emscripten/console.h>

#include <cstdint>

#include "frame.h"

// Starts a frame at the page: the backing store takes the canvas's shown size, and the frame its
// density and width; whether the frame can be drawn (gl_web.js).
extern "C" int webGLStartFrame(webgl::Frame* frame);
// Uploads the frame and draws it (gl_web.js).
extern "C" void webGLFinishFrame(const webgl::Frame* frame);

namespace {

webgl::Frame& recorded = webgl::frame();
float colour[3] = {1, 1, 1};
float pointSize = 1;
bool pointSmooth = false;
GLenum matrixMode = GL_MODELVIEW;
GLenum blockMode = 0;
float block[2 * webgl::kMaxGiven];
std::uint32_t blockCount = 0;
bool overflowSaid = false;

// Says on the console what the program asked of OpenGL that is not drawn here.
void unsupported(const char* what) {
  emscripten_console_errorf("bezier2d: not drawn here: %s", what);
}

}  // namespace

// The window is the page's canvas, at the size the page gives it (page.css), and the one window
// that glutCreateWindow (glut_web.js) makes.
void glutInitWindowPosition(int, int) {}
void glutInitWindowSize(int, int) {}
void glutInitDisplayMode(unsigned int) {}
int glutGetWindow() { return 1; }

void glEnable(GLenum capability) {
  if (capability == GL_BLEND)
    recorded.blend = 1;
  else if (capability == GL_POINT_SMOOTH)
    pointSmooth = true;
  else if (capability != GL_LINE_SMOOTH)  // lines are always smoothed: the context is multisampled
    unsupported("a capability given to glEnable");
}

void glBlendFunc(GLenum source, GLenum destination) {
  recorded.blendSource = source;
  recorded.blendDestination = destination;
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  recorded.clearColour[0] = red;
  recorded.clearColour[1] = green;
  recorded.clearColour[2] = blue;
  recorded.clearColour[3] = alpha;
}

// A frame starts here.
void glClear(GLbitfield) {
  webgl::beginFrame(recorded);
  recorded.cleared = webGLStartFrame(&recorded);
}

void glMatrixMode(GLenum mode) { matrixMode = mode; }

// The model-view matrix is never moved from the identity, so these have nothing to keep.
void glPushMatrix() {}
void glPopMatrix() {}

void glLoadIdentity() {
  if (matrixMode != GL_PROJECTION) return;
  const float identity[4] = {-1, 1, -1, 1};
  for (int i = 0; i < 4; ++i) recorded.projection[i] = identity[i];
}

// On an identity projection, as after glLoadIdentity.
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
  if (matrixMode != GL_PROJECTION) return;
  const double view[4] = {left, right, bottom, top};
  for (int i = 0; i < 4; ++i) recorded.projection[i] = static_cast<float>(view[i]);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
  colour[0] = red;
  colour[1] = green;
  colour[2] = blue;
}

void glPointSize(GLfloat size) { pointSize = size; }

void glBegin(GLenum mode) {
  if (mode != GL_LINE_STRIP && mode != GL_POINTS)
    unsupported("a primitive other than line strips and points");
  blockMode = mode;
  blockCount = 0;
}

void glVertex2f(GLfloat x, GLfloat y) {
  if (blockCount == webgl::kMaxGiven) {
    recorded.overflowed = 1;
    return;
  }
  block[2 * blockCount] = x;
  block[2 * blockCount + 1] = y;
  ++blockCount;
}

void glEnd() {
  webgl::addBlock(recorded, blockMode, block, blockCount, colour, pointSize, pointSmooth);
}

// The raster position takes the current colour, as in OpenGL.
void glRasterPos2i(GLint x, GLint y) { webgl::startText(recorded, x, y, colour); }

void glutBitmapCharacter(void* font, int character) {
  if (font == GLUT_BITMAP_HELVETICA_18) webgl::addCharacter(recorded, character);
}

// The browser shows the frame when the program returns to it.
void glutSwapBuffers() {
  webgl::endFrame(recorded);
  if (recorded.overflowed && !overflowSaid) {
    emscripten_console_error("bezier2d: a frame had more to draw than the page has room for");
    overflowSaid = true;
  }
  webGLFinishFrame(&recorded);
}
