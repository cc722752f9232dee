// Emscripten's GLUT has no bitmap fonts: the web build draws the caption's glyphs itself
// (gl_web.js), and the font needs only an address that names it.
#include <GL/glut.h>

void* glutBitmapHelvetica18 = nullptr;
