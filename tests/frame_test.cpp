// One frame of a known scene, as OpenGL receives it: each curve's 1000 samples in its own colour,
// every vertex's bits checked, then its control points. The stand-ins below record the calls
// instead of drawing, so no window is needed. (The caption is checked where it is seen: the
// end-to-end test and the web page's test look at where it is drawn.)
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "render.h"
#include "scene.h"

namespace {

using Vertex = std::pair<float, float>;

// One glBegin/glEnd block, with the colour in force.
struct Primitive {
  GLenum mode;
  std::array<float, 3> colour;
  std::vector<Vertex> vertices;
};
std::vector<Primitive> primitives;
std::array<float, 3> colour;

}  // namespace

#ifdef _WIN32
// Windows' headers declare OpenGL's functions as imported from its DLL; these replace them.
#pragma GCC diagnostic ignored "-Wattributes"
#endif
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { colour = {red, green, blue}; }
void glBegin(GLenum mode) { primitives.push_back({mode, colour, {}}); }
void glVertex2f(GLfloat x, GLfloat y) { primitives.back().vertices.emplace_back(x, y); }
void glPointSize(GLfloat) {}
void glRasterPos2i(GLint, GLint) {}
void glutBitmapCharacter(void*, int) {}
void glEnd() {}
void glClear(GLbitfield) {}
void glLoadIdentity() {}
void glPushMatrix() {}
void glPopMatrix() {}
void glutSwapBuffers() {}
#ifdef BEZIER2D_WINDOWLESS
void* glutBitmapHelvetica18;  // where no freeglut is linked, the font's name
#endif

#ifdef _WIN32
// The library under test calls them through the import pointers __imp_NAME: aim those here.
#define IMPORT_POINTER(name) *__imp_##name = reinterpret_cast<void*>(name)
extern "C" {
void IMPORT_POINTER(glColor3f), IMPORT_POINTER(glPointSize), IMPORT_POINTER(glBegin),
    IMPORT_POINTER(glVertex2f), IMPORT_POINTER(glRasterPos2i), IMPORT_POINTER(glEnd),
    IMPORT_POINTER(glClear), IMPORT_POINTER(glLoadIdentity), IMPORT_POINTER(glPushMatrix),
    IMPORT_POINTER(glPopMatrix);
}
#endif

TEST(Frame, EachCurveInItsColourBitForBitThenItsControlPoints) {
  const std::vector<Vertex> controls[] = {{{50, 50}, {749, 549}, {123, 456}, {700, 77}},
                                          {{611, 233}, {75, 88}, {500, 499}, {64, 212}},
                                          {{321, 98}, {57, 530}, {688, 301}, {412, 549}}};
  // A digest of all 1000 samples of each, at t = i / 999, in double with a rounding to float at
  // every stored point; float-only arithmetic, intermediate points left unrounded or other
  // parameter values give other digests. Computed independently, in Python:
  //   f = lambda v: struct.unpack('f', struct.pack('f', v))[0]      # rounds to float
  //   bits = lambda v: struct.unpack('I', struct.pack('f', v))[0]
  //   lerp = lambda a, b, t: (f((b[0] - a[0]) * t + a[0]), f((b[1] - a[1]) * t + a[1]))
  //   def point(a, b, c, d, t):
  //     ab, bc, cd = lerp(a, b, t), lerp(b, c, t), lerp(c, d, t)
  //     return lerp(lerp(ab, bc, t), lerp(bc, cd, t), t)
  //   digest = 0
  //   for i in range(1000):
  //     x, y = point(*controls, f(i / 999))
  //     digest = (digest * 31 + bits(x) * 7 + bits(y)) % 2**64
  const std::uint64_t golden[] = {0xa18b0dd02ac66ecc, 0x2e4551cf2707df61, 0x2fe81f6e9624d27d};
  createScene();
  BezierCurve* curves[] = {redCurve, greenCurve, blueCurve};
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 4; ++i)
      curves[c]->points[i + 1] = {controls[c][i].first, controls[c][i].second};
  }
  display();

  ASSERT_EQ(primitives.size(), 6u);
  for (int c = 0; c < 3; ++c) {
    const auto& [mode, colour, samples] = primitives[2 * c];
    EXPECT_EQ(mode, GLenum{GL_LINE_STRIP});
    EXPECT_TRUE(colour[c] == 1 && colour[0] + colour[1] + colour[2] == 1) << "curve " << c;
    ASSERT_EQ(samples.size(), 1000u);
    std::uint64_t digest = 0;
    for (const auto& [x, y] : samples) {
      digest = digest * 31 + __builtin_bit_cast(std::uint32_t, x) * 7ull +
               __builtin_bit_cast(std::uint32_t, y);
    }
    EXPECT_EQ(digest, golden[c]) << "curve " << c;
    const Primitive& dots = primitives[2 * c + 1];
    EXPECT_EQ(dots.mode, GLenum{GL_POINTS});
    EXPECT_EQ(dots.vertices, controls[c]);
  }
}
