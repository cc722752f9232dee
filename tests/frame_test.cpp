// One frame of a known scene, as OpenGL and GLUT receive it: the caption, then each curve's
// 1000 samples in its own colour and its control points as red dots. The calls are recorded by
// the stand-ins below instead of drawn, so no window is needed.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "render.h"
#include "scene.h"

namespace {

using Colour = std::array<float, 3>;
using Vertex = std::pair<float, float>;

// One glBegin/glEnd block.
struct Primitive {
  GLenum mode;
  Colour colour;
  float pointSize;
  std::vector<Vertex> vertices;
};
std::vector<Primitive> primitives;
Colour colour{};
float pointSize = 0;
std::string caption;
Colour captionColour{};
std::pair<int, int> captionStart;

}  // namespace

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { colour = {red, green, blue}; }
void glPointSize(GLfloat size) { pointSize = size; }
void glBegin(GLenum mode) { primitives.push_back({mode, colour, pointSize, {}}); }
void glVertex2f(GLfloat x, GLfloat y) { primitives.back().vertices.emplace_back(x, y); }
void glRasterPos2i(GLint x, GLint y) { captionStart = {x, y}, captionColour = colour; }
void glutBitmapCharacter(void* font, int c) {
  caption += font == GLUT_BITMAP_HELVETICA_18 ? c : '?';
}
void glEnd() {}
void glClear(GLbitfield) {}
void glLoadIdentity() {}
void glPushMatrix() {}
void glPopMatrix() {}
void glutSwapBuffers() {}

namespace {

TEST(Frame, CaptionThenEachCurveInItsColourThenItsRedControlPoints) {
  const std::vector<Vertex> controls[] = {{{50, 50}, {749, 549}, {123, 456}, {700, 77}},
                                          {{611, 233}, {75, 88}, {500, 499}, {64, 212}},
                                          {{321, 98}, {57, 530}, {688, 301}, {412, 549}}};
  // A digest of all 1000 samples of each, at t = i / 999, computed independently in double with
  // a rounding to float at every stored point; float-only arithmetic, intermediate points left
  // unrounded or other parameter values give other digests.
  const std::uint64_t golden[] = {0xa18b0dd02ac66ecc, 0x2e4551cf2707df61, 0x2fe81f6e9624d27d};
  BezierCurve* curves[] = {redCurve, greenCurve, blueCurve};
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 4; ++i)
      curves[c]->points[i + 1] = {controls[c][i].first, controls[c][i].second};
  }
  display();

  EXPECT_EQ(caption,
            "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.");
  EXPECT_EQ(captionStart, std::make_pair(5, 520));
  EXPECT_EQ(captionColour, (Colour{1, 1, 1}));
  ASSERT_EQ(primitives.size(), 6u);
  for (int c = 0; c < 3; ++c) {
    const auto& [mode, own, size, samples] = primitives[2 * c];
    EXPECT_EQ(mode, GLenum{GL_LINE_STRIP});
    EXPECT_EQ(own[c], 1);
    EXPECT_EQ(own[0] + own[1] + own[2], 1);
    ASSERT_EQ(samples.size(), 1000u);
    std::uint64_t digest = 0;
    for (const auto& [x, y] : samples) {
      digest = digest * 31 + __builtin_bit_cast(std::uint32_t, x) * 7ull +
               __builtin_bit_cast(std::uint32_t, y);
    }
    EXPECT_EQ(digest, golden[c]) << "curve " << c;
    const Primitive& dots = primitives[2 * c + 1];
    EXPECT_EQ(dots.mode, GLenum{GL_POINTS});
    EXPECT_EQ(dots.colour, (Colour{1, 0, 0}));
    EXPECT_EQ(dots.pointSize, 5);
    EXPECT_EQ(dots.vertices, controls[c]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  createScene();
  return RUN_ALL_TESTS();
}
