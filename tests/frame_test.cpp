// One frame of a known scene, on a real window: the vertices handed to OpenGL, bit for bit,
// and the pixels read back just before the buffer swap.
#include <GL/glut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render.h"
#include "scene.h"

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
Function real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Stand-ins that record each call and pass it on; this binary's definitions take precedence
// over the libraries' for the code under test.
extern "C" {
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
  currentColour = {red, green, blue};
  static const auto next = real<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f");
  next(red, green, blue);
}
void glPointSize(GLfloat size) {
  currentPointSize = size;
  static const auto next = real<void (*)(GLfloat)>("glPointSize");
  next(size);
}
void glBegin(GLenum mode) {
  primitives.push_back({mode, currentColour, currentPointSize, {}});
  static const auto next = real<void (*)(GLenum)>("glBegin");
  next(mode);
}
void glVertex2f(GLfloat x, GLfloat y) {
  primitives.back().vertices.push_back({x, y});
  static const auto next = real<void (*)(GLfloat, GLfloat)>("glVertex2f");
  next(x, y);
}
void glutSwapBuffers() {
  frame.assign(std::size_t{kViewWidth} * kViewHeight * 3, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kViewWidth, kViewHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
  static const auto next = real<void (*)()>("glutSwapBuffers");
  next();
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

bool near(const Colour& a, const Colour& b, int tolerance) { return distance(a, b) <= tolerance; }

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

void setCurve(BezierCurve* curve, Point start, Point control1, Point control2, Point end) {
  curve->points[1] = start;
  curve->points[2] = control1;
  curve->points[3] = control2;
  curve->points[4] = end;
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
    // Three straight horizontal curves on pixel centres, well apart.
    setCurve(redCurve, {100.5f, 150.5f}, {250.5f, 150.5f}, {450.5f, 150.5f}, {600.5f, 150.5f});
    setCurve(greenCurve, {100.5f, 250.5f}, {250.5f, 250.5f}, {450.5f, 250.5f}, {600.5f, 250.5f});
    setCurve(blueCurve, {100.5f, 350.5f}, {250.5f, 350.5f}, {450.5f, 350.5f}, {600.5f, 350.5f});
  }
};

TEST_F(Frame, HandsOpenGlTheCurvesThenTheirControlPoints) {
  setCurve(greenCurve, {611, 233}, {75, 88}, {500, 499}, {64, 212});
  for (int repeat = 0; repeat < 2; ++repeat) {
    drawFrame();
    ASSERT_EQ(primitives.size(), 6u);
    const Colour expected[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const BezierCurve* curves[] = {redCurve, greenCurve, blueCurve};
    for (int c = 0; c < 3; ++c) {
      const Primitive& strip = primitives[2 * c];
      const Primitive& dots = primitives[2 * c + 1];
      EXPECT_EQ(strip.mode, GLenum{GL_LINE_STRIP});
      EXPECT_EQ(strip.colour[0], expected[c][0]);
      EXPECT_EQ(strip.colour[1], expected[c][1]);
      EXPECT_EQ(strip.colour[2], expected[c][2]);
      ASSERT_EQ(strip.vertices.size(), 1000u);
      EXPECT_EQ(strip.vertices.front().x, curves[c]->points[1].x);
      EXPECT_EQ(strip.vertices.front().y, curves[c]->points[1].y);
      EXPECT_EQ(strip.vertices.back().x, curves[c]->points[4].x);
      EXPECT_EQ(strip.vertices.back().y, curves[c]->points[4].y);
      EXPECT_EQ(curves[c]->points[0].x, curves[c]->points[4].x);
      EXPECT_EQ(curves[c]->points[0].y, curves[c]->points[4].y);

      EXPECT_EQ(dots.mode, GLenum{GL_POINTS});
      EXPECT_EQ(dots.colour, (std::array<float, 3>{1, 0, 0}));
      EXPECT_EQ(dots.pointSize, 5.0f);
      ASSERT_EQ(dots.vertices.size(), 4u);
      for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_EQ(dots.vertices[slot - 1].x, curves[c]->points[slot].x);
        EXPECT_EQ(dots.vertices[slot - 1].y, curves[c]->points[slot].y);
      }
    }
    // Samples at t = i / 999 of the green curve, evaluated independently in double with a
    // rounding to float at every stored point.
    const std::vector<Point>& green = primitives[2].vertices;
    const std::pair<int, Point> golden[] = {
        {1, {0x1.30b256p+9f, 0x1.d121eap+7f}},   {2, {0x1.2fe56cp+9f, 0x1.d0458ap+7f}},
        {333, {0x1.47da12p+8f, 0x1.c5c71ep+7f}}, {500, {0x1.2bf448p+8f, 0x1.13e578p+8f}},
        {997, {0x1.0a6ee0p+6f, 0x1.ab6e40p+7f}}, {998, {0x1.053a16p+6f, 0x1.a9b834p+7f}},
    };
    for (const auto& [i, point] : golden) {
      EXPECT_EQ(green[i].x, point.x) << "sample " << i;
      EXPECT_EQ(green[i].y, point.y) << "sample " << i;
    }
  }
}

TEST_F(Frame, ShowsBackgroundCurvesDotsAndCaption) {
  drawFrame();
  EXPECT_TRUE(near(pixel(360, 50), kBackground, 2));
  EXPECT_TRUE(near(pixel(700, 450), kBackground, 2));
  EXPECT_TRUE(lineAround(350, 150, kRed));
  EXPECT_TRUE(lineAround(350, 250, kGreen));
  EXPECT_TRUE(lineAround(350, 350, kBlue));
  // Every curve's control points are red dots, over the line.
  for (const int y : {150, 250, 350}) {
    for (const int x : {100, 250, 450, 600}) {
      EXPECT_TRUE(near(pixel(x, y), kRed, 40)) << x << ", " << y;
      EXPECT_TRUE(near(pixel(x + 1, y + 1), kRed, 60)) << "dot wider than one pixel at " << x;
    }
  }
  // The caption: white glyphs in the top band, starting near x = 5, and nowhere else.
  int white = 0;
  int leftmost = kViewWidth;
  for (int y = 0; y < kViewHeight; ++y) {
    for (int x = 0; x < kViewWidth; ++x) {
      if (!near(pixel(x, y), kWhite, 30)) continue;
      ++white;
      EXPECT_GE(y, 510) << "white below the caption band at " << x;
      leftmost = std::min(leftmost, x);
    }
  }
  EXPECT_GT(white, 1500);
  EXPECT_GE(leftmost, 5);
  EXPECT_LE(leftmost, 8);
}

TEST_F(Frame, BlueCoversCoincidentCurves) {
  setCurve(redCurve, {100.5f, 350.5f}, {250.5f, 350.5f}, {450.5f, 350.5f}, {600.5f, 350.5f});
  setCurve(greenCurve, {100.5f, 350.5f}, {250.5f, 350.5f}, {450.5f, 350.5f}, {600.5f, 350.5f});
  drawFrame();
  // The line's centre is dominated by blue, with little of the red and green beneath.
  const Colour centre = pixel(350, 350);
  EXPECT_GT(distance(centre, kBackground), 60);
  EXPECT_GT(centre[2], 2 * std::max(centre[0], centre[1]));
  EXPECT_LT(centre[0], 60);
  EXPECT_TRUE(near(pixel(350, 150), kBackground, 2));
  EXPECT_TRUE(near(pixel(350, 250), kBackground, 2));
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
  windowId = glutGetWindow();
  return RUN_ALL_TESTS();
}
