// The web build's immediate-mode OpenGL state, kept in the program's own memory: glBegin and
// glVertex2f gather a block's vertices here as the program gives them, glColor3f and glPointSize
// set what they are drawn with, and glEnd and glRasterPos2i hand them to gl_web.js, which draws
// them with WebGL. None of these calls passes a number that JavaScript would have to box, so a
// frame makes no garbage there.
#include <GL/gl.h>

#include <vector>

// The current colour (red, green, blue) and point size, as gl_web.js reads them.
struct DrawState {
  float colour[3] = {1, 1, 1};
  float pointSize = 1;
};

// Draws count x, y pairs of view units as the primitive mode (gl_web.js).
extern "C" void webGLDraw(GLenum mode, const float* vertices, int count, const DrawState* state);
// Starts a line of bitmap text at x, y in the current colour (gl_web.js).
extern "C" void webGLRasterPos(int x, int y, const DrawState* state);

namespace {

DrawState drawState;
GLenum blockMode = 0;
std::vector<float> blockVertices;  // keeps its room from one block to the next

}  // namespace

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
  drawState.colour[0] = red;
  drawState.colour[1] = green;
  drawState.colour[2] = blue;
}

void glPointSize(GLfloat size) { drawState.pointSize = size; }

void glRasterPos2i(GLint x, GLint y) { webGLRasterPos(x, y, &drawState); }

void glBegin(GLenum mode) {
  blockMode = mode;
  blockVertices.clear();
}

void glVertex2f(GLfloat x, GLfloat y) {
  blockVertices.push_back(x);
  blockVertices.push_back(y);
}

void glEnd() {
  webGLDraw(blockMode, blockVertices.data(), static_cast<int>(blockVertices.size() / 2),
            &drawState);
}
