// The web build's frame as it is recorded for WebGL: the ribbon of a line strip one CSS pixel wide
// at any density, a dot's size in device pixels, and the caption's rectangles against freeglut's
// own caption on the desktop (caption.pbm).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "frame.h"

namespace {

constexpr float kWhite[3] = {1, 1, 1};
constexpr float kBlue[3] = {0, 0, 1};

// A frame over the 720 x 540 view, drawn into a buffer `width` device pixels wide at `density`
// device pixels a CSS pixel.
webgl::Frame& startFrame(float width, float density) {
  webgl::Frame& frame = webgl::frame();
  frame.projection[0] = 0;
  frame.projection[1] = 720;
  frame.bufferWidth = width;
  frame.density = density;
  webgl::beginFrame(frame);
  return frame;
}

// The frame's vertex i.
std::vector<float> at(const webgl::Frame& frame, int i) {
  return {frame.vertices[2 * i], frame.vertices[2 * i + 1]};
}

TEST(WebFrame, ARibbonIsOneCssPixelWideAtEveryDensity) {
  // A desktop at its own size: a view unit is a CSS pixel, half a unit either side.
  webgl::Frame& frame = startFrame(720, 1);
  const float across[] = {100, 200, 300, 200};
  webgl::addBlock(frame, webgl::kLineStrip, across, 2, kBlue, 1, false);
  ASSERT_EQ(frame.vertexCount, 6u);
  EXPECT_EQ(at(frame, 0), (std::vector<float>{99.5, 200.5}));
  EXPECT_EQ(at(frame, 1), (std::vector<float>{99.5, 199.5}));
  EXPECT_EQ(at(frame, 5), (std::vector<float>{300.5, 199.5}));

  // A phone 390 CSS pixels wide at three device pixels each: 720 / 390 view units across, the
  // ends moved out by half that along the segment. Computed in Python, in double, each vertex
  // rounded to float.
  webgl::Frame& phone = startFrame(1170, 3);
  const float slanted[] = {100, 100, 400, 500};
  webgl::addBlock(phone, webgl::kLineStrip, slanted, 2, kBlue, 1, false);
  ASSERT_EQ(phone.drawCount, 1u);
  EXPECT_EQ(phone.draws[0].mode, webgl::kTriangles);
  EXPECT_EQ(phone.draws[0].count, 6u);
  EXPECT_EQ(at(phone, 0), (std::vector<float>{0x1.8ad4aep+6, 0x1.8f42f4p+6}));
  EXPECT_EQ(at(phone, 1), (std::vector<float>{0x1.90bd0cp+6, 0x1.8ad4aep+6}));
  EXPECT_EQ(at(phone, 2), (std::vector<float>{0x1.8fd0bep+8, 0x1.f54ad4p+8}));
  EXPECT_EQ(at(phone, 5), (std::vector<float>{0x1.914ad4p+8, 0x1.f42f42p+8}));
}

TEST(WebFrame, DotsScaleWithTheView) {
  webgl::Frame& frame = startFrame(1170, 3);
  const float dots[] = {50.25f, 60.5f, 749, 549};
  webgl::addBlock(frame, webgl::kPoints, dots, 2, kBlue, 5, true);
  webgl::addBlock(frame, webgl::kPoints, dots, 2, kWhite, 5, false);
  ASSERT_EQ(frame.drawCount, 2u);
  EXPECT_EQ(frame.draws[0].pointSize, 8.125f);  // 5 view units of 1170 / 720 device pixels
  EXPECT_EQ(frame.draws[0].roundSize, 8.125f);
  EXPECT_EQ(frame.draws[1].roundSize, 0);
}

TEST(WebFrame, TheCaptionIsFreeglutsPixelForPixel) {
  const std::string text =
      "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.";
  webgl::Frame& frame = startFrame(720, 1);
  // Where the line starts, whether its text is news for the page and whether its rectangles are:
  // the same caption again is neither, moved its rectangles are.
  const std::tuple<int, bool, bool> passes[] = {
      {6, true, true}, {5, false, true}, {5, false, false}};
  for (const auto& [x, textNews, rectanglesNews] : passes) {
    webgl::beginFrame(frame);
    webgl::startText(frame, x, 520, kWhite);
    for (char c : text) webgl::addCharacter(frame, c);
    webgl::endFrame(frame);
    EXPECT_EQ(frame.captionChanged, textNews) << x;
    EXPECT_EQ(frame.textChanged, rectanglesNews) << x;
  }
  EXPECT_EQ(std::string(frame.caption, frame.caption + frame.captionLength), text);

  // Each two triangles are a rectangle of whole view units; marked in the top 30 rows.
  constexpr int kWidth = 720, kRows = 30;
  std::vector<int> drawn(kWidth * kRows), white(kWidth * kRows);
  ASSERT_EQ(frame.drawCount, 1u);
  const webgl::Draw& caption = frame.draws[0];
  for (std::uint32_t i = caption.first; i < caption.first + caption.count; i += 6) {
    const auto low = at(frame, i), high = at(frame, i + 5);
    for (int y = 540 - static_cast<int>(high[1]); y < 540 - low[1]; ++y) {
      for (int x = static_cast<int>(low[0]); x < high[0]; ++x) {
        ASSERT_TRUE(x >= 0 && x < kWidth && y >= 0 && y < kRows) << x << " " << y;
        ++drawn[y * kWidth + x];
      }
    }
  }
  std::ifstream file(CAPTION_PBM, std::ios::binary);
  const std::string pbm{std::istreambuf_iterator<char>(file), {}}, header = "P4\n720 30\n";
  ASSERT_EQ(pbm.substr(0, header.size()), header) << CAPTION_PBM;
  for (int i = 0; i < kWidth * kRows; ++i) white[i] = pbm[header.size() + i / 8] >> (7 - i % 8) & 1;
  const int first = std::mismatch(drawn.begin(), drawn.end(), white.begin()).first - drawn.begin();
  EXPECT_EQ(first, kWidth * kRows)
      << "first differing: column " << first % kWidth << ", row " << first / kWidth;
}

}  // namespace
