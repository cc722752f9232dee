// The vertices of the web build's OpenGL, kept in the program's own memory: glBegin and
// glVertex2f gather a block's vertices here as the program gives them, and glEnd hands them to
// gl_web.js, which draws them with WebGL. A vertex costs no call into JavaScript, and no garbage.
#include <GL/gl.h>

#include <vector>

// Draws count x, y pairs of view units as the primitive mode (gl_web.js).
extern "C" void webGLDraw(GLenum mode, const float* vertices, int count);

namespace {

GLenum blockMode = 0;
std::vector<float> blockVertices;  // keeps its room from one block to the next

}  // namespace

void glBegin(GLenum mode) {
  blockMode = mode;
  blockVertices.clear();
}

void glVertex2f(GLfloat x, GLfloat y) {
  blockVertices.push_back(x);
  blockVertices.push_back(y);
}

void glEnd() {
  webGLDraw(blockMode, blockVertices.data(), static_cast<int>(blockVertices.size() / 2));
}
