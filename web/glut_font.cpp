// The name of the caption's font, GLUT_BITMAP_HELVETICA_18, which needs only an address: the web
// build draws its glyphs itself (gl_web.cpp, helvetica18.cpp). A file of its own, so that a test
// with stand-ins for the drawing calls links with the name alone.
#include <GL/glut.h>

void* glutBitmapHelvetica18 = nullptr;
