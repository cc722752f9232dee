// One frame of a known scene, on a real window: the vertices handed to OpenGL, bit for bit,
// and the pixels read back just before the buffer swap.
#include <GL/glut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render.h"
#include "scene.h"

static bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

namespace {

// One glBegin/glEnd block as OpenGL received it.
struct Primitive {
  GLenum mode;
  std::array<float, 3> colour;
  float pointSize;
  std::vector<Point> vertices;
};

std::vector<Primitive> primitives;
std::array<float, 3> currentColour{};
float currentPointSize = 1;
std::vector<std::uint8_t> frame;  // RGB rows, bottom row first, as the back buffer held them

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Stand-ins that record each call and pass it on; this binary's definitions take precedence
// over the libraries' for the code under test.
extern "C" {
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
  currentColour = {red, green, blue};
  next<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f")(red, green, blue);
}
void glPointSize(GLfloat size) {
  currentPointSize = size;
  next<void (*)(GLfloat)>("glPointSize")(size);
}
void glBegin(GLenum mode) {
  primitives.push_back({mode, currentColour, currentPointSize, {}});
  next<void (*)(GLenum)>("glBegin")(mode);
}
void glVertex2f(GLfloat x, GLfloat y) {
  primitives.back().vertices.push_back({x, y});
  next<void (*)(GLfloat, GLfloat)>("glVertex2f")(x, y);
}
void glutSwapBuffers() {
  frame.assign(std::size_t{kViewWidth} * kViewHeight * 3, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kViewWidth, kViewHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
  next<void (*)()>("glutSwapBuffers")();
}
}

namespace {

using Colour = std::array<int, 3>;
const Colour kBackground{26, 145, 204};  // (0.1, 0.57, 0.8) in 8 bits
const Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

Colour pixel(int x, int y) {
  const std::size_t at = (std::size_t(y) * kViewWidth + x) * 3;
  return {frame[at], frame[at + 1], frame[at + 2]};
}

int distance(const Colour& a, const Colour& b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// Smoothed lines are blended with the background and spread over neighbouring pixels: look
// within one pixel for one that is closer to the line's colour than to the background.
bool lineAround(int x, int y, const Colour& colour) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const Colour seen = pixel(x + dx, y + dy);
      if (distance(seen, colour) < distance(seen, kBackground)) return true;
    }
  }
  return false;
}

// A straight horizontal curve along the centres of a row of pixels.
void setHorizontal(BezierCurve* curve, float y) {
  const Point controls[] = {{100.5f, y}, {250.5f, y}, {450.5f, y}, {600.5f, y}};
  std::copy(std::begin(controls), std::end(controls), curve->points + 1);
}

void drawFrame() {
  primitives.clear();
  frame.clear();
  display();
  ASSERT_FALSE(frame.empty()) << "display did not swap the buffers";
}

class Frame : public testing::Test {
 protected:
  void SetUp() override {
    setHorizontal(redCurve, 150.5f);
    setHorizontal(greenCurve, 250.5f);
    setHorizontal(blueCurve, 350.5f);
  }
};

TEST_F(Frame, HandsOpenGlEachCurveThenItsControlPoints) {
  const Point loop[] = {{611, 233}, {75, 88}, {500, 499}, {64, 212}};
  std::copy(std::begin(loop), std::end(loop), greenCurve->points + 1);
  for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
    drawFrame();
    ASSERT_EQ(primitives.size(), 6u);
    const BezierCurve* curves[] = {redCurve, greenCurve, blueCurve};
    for (int c = 0; c < 3; ++c) {
      const Primitive& strip = primitives[2 * c];
      const Primitive& dots = primitives[2 * c + 1];
      std::array<float, 3> colour{};
      colour[c] = 1;
      EXPECT_EQ(strip.mode, GLenum{GL_LINE_STRIP});
      EXPECT_EQ(strip.colour, colour);
      ASSERT_EQ(strip.vertices.size(), 1000u);
      EXPECT_TRUE(strip.vertices.front() == curves[c]->points[1]);
      EXPECT_TRUE(strip.vertices.back() == curves[c]->points[4]);
      EXPECT_TRUE(curves[c]->points[0] == curves[c]->points[4]);
      EXPECT_EQ(dots.mode, GLenum{GL_POINTS});
      EXPECT_EQ(dots.colour, (std::array<float, 3>{1, 0, 0}));
      EXPECT_EQ(dots.pointSize, 5.0f);
      EXPECT_TRUE(dots.vertices ==
                  std::vector<Point>(curves[c]->points + 1, curves[c]->points + 5));
    }
    // Samples at t = i / 999, evaluated independently in double with a rounding to float at
    // every stored point.
    const std::pair<int, Point> golden[] = {
        {1, {0x1.30b256p+9f, 0x1.d121eap+7f}},   {2, {0x1.2fe56cp+9f, 0x1.d0458ap+7f}},
        {333, {0x1.47da12p+8f, 0x1.c5c71ep+7f}}, {500, {0x1.2bf448p+8f, 0x1.13e578p+8f}},
        {997, {0x1.0a6ee0p+6f, 0x1.ab6e40p+7f}}, {998, {0x1.053a16p+6f, 0x1.a9b834p+7f}},
    };
    for (const auto& [i, point] : golden) {
      EXPECT_TRUE(primitives[2].vertices[i] == point) << "sample " << i;
    }
  }
}

TEST_F(Frame, ShowsBackgroundCurvesDotsAndCaption) {
  drawFrame();
  EXPECT_LE(distance(pixel(360, 50), kBackground), 2);
  const std::pair<int, Colour> lines[] = {{150, kRed}, {250, kGreen}, {350, kBlue}};
  for (const auto& [y, colour] : lines) {
    EXPECT_TRUE(lineAround(350, y, colour)) << "no line at y = " << y;
    for (const int x : {100, 250, 450, 600}) {
      EXPECT_LE(distance(pixel(x + 1, y + 1), kRed), 60) << "no red dot at " << x << ", " << y;
    }
  }
  // The caption: white glyphs in the top band, starting near x = 5, and nowhere else.
  int white = 0;
  int leftmost = kViewWidth;
  for (int y = 0; y < kViewHeight; ++y) {
    for (int x = 0; x < kViewWidth; ++x) {
      if (distance(pixel(x, y), kWhite) > 30) continue;
      ++white;
      EXPECT_GE(y, 510) << "white below the caption band at " << x;
      leftmost = std::min(leftmost, x);
    }
  }
  EXPECT_GT(white, 1500);
  EXPECT_TRUE(leftmost >= 5 && leftmost <= 8) << "caption starts at x = " << leftmost;
}

TEST_F(Frame, BlueCoversCoincidentCurves) {
  setHorizontal(redCurve, 350.5f);
  setHorizontal(greenCurve, 350.5f);
  drawFrame();
  const Colour centre = pixel(350, 350);
  EXPECT_GT(distance(centre, kBackground), 60);
  EXPECT_GT(centre[2], 2 * std::max(centre[0], centre[1])) << "red or green shows through";
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  redCurve = new BezierCurve;
  greenCurve = new BezierCurve;
  blueCurve = new BezierCurve;
  openWindow(&argc, argv);
  glutDisplayFunc(display);
  setUpView();
  return RUN_ALL_TESTS();
}
