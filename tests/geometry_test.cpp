// Curve evaluation against golden bits, and the random control points.
#include <gtest/gtest.h>

#include <array>
#include <ctime>

#include "bezier_curve.h"

namespace {

using Controls = std::array<Point, 4>;
const Controls kWide{{{50, 50}, {749, 549}, {123, 456}, {700, 77}}};
const Controls kLoop{{{611, 233}, {75, 88}, {500, 499}, {64, 212}}};
const Controls kHook{{{321, 98}, {57, 530}, {688, 301}, {412, 549}}};

struct Golden {
  const Controls& controls;
  float t;
  Point expected;
};

// From an independent evaluation: every interpolation in double, rounded to float at each
// store. Each case gives other bits with float-only arithmetic, with the intermediate points
// kept unrounded in double, or with both.
const Golden kGolden[] = {
    {kWide, 0x1.555556p-2f, {0x1.90f684p+8f, 0x1.6bp+8f}},
    {kWide, 0x1.00419ap-1f, {0x1.a4c24ap+8f, 0x1.88b994p+8f}},
    {kLoop, 0x1.555556p-2f, {0x1.47da12p+8f, 0x1.c5c71ep+7f}},
    {kLoop, 0x1.00419ap-1f, {0x1.2bf448p+8f, 0x1.13e578p+8f}},
    {kHook, 0x1.555556p-2f, {0x1.2097b4p+8f, 0x1.5fd096p+8f}},
};

TEST(Evaluate, MatchesGoldenBits) {
  for (const auto& g : kGolden) {
    const auto& [a, b, c, d] = g.controls;
    Point p{-1, -1};
    BezierCurve::evaluate(p, a, b, c, d, g.t);
    EXPECT_EQ(p.x, g.expected.x) << "t = " << g.t;
    EXPECT_EQ(p.y, g.expected.y) << "t = " << g.t;
  }
}

TEST(Evaluate, EndsAreTheEndPointsExactly) {
  const Point a{0x1.8p-3f, 749}, b{3.25f, 0.5f}, c{720, 0x1.fffffep+8f}, d{0x1.3p+9f, 0x1p-20f};
  Point p{};
  BezierCurve::evaluate(p, a, b, c, d, 0.0f);
  EXPECT_EQ(p.x, a.x);
  EXPECT_EQ(p.y, a.y);
  BezierCurve::evaluate(p, a, b, c, d, 1.0f);
  EXPECT_EQ(p.x, d.x);
  EXPECT_EQ(p.y, d.y);
}

TEST(Randomize, WholeNumbersInRangeAndSlotZeroKept) {
  BezierCurve curve;
  curve.points[0] = {-7.5f, 1234.25f};
  for (int round = 0; round < 200; ++round) {
    curve.randomize();
    for (int slot = 1; slot <= 4; ++slot) {
      const Point p = curve.points[slot];
      EXPECT_EQ(p.x, static_cast<int>(p.x));
      EXPECT_EQ(p.y, static_cast<int>(p.y));
      EXPECT_GE(p.x, 50);
      EXPECT_LE(p.x, 749);
      EXPECT_GE(p.y, 50);
      EXPECT_LE(p.y, 549);
    }
    EXPECT_EQ(curve.points[0].x, -7.5f);
    EXPECT_EQ(curve.points[0].y, 1234.25f);
  }
}

TEST(Randomize, RecordsMadeInTheSameSecondAreIdentical) {
  BezierCurve first;
  BezierCurve second;
  std::time_t before;
  do {  // try again if the calendar second turned in between
    before = std::time(nullptr);
    first = BezierCurve();
    first.randomize();
    second = BezierCurve();
    second.randomize();
  } while (std::time(nullptr) != before);
  for (int slot = 1; slot <= 4; ++slot) {
    EXPECT_EQ(first.points[slot].x, second.points[slot].x);
    EXPECT_EQ(first.points[slot].y, second.points[slot].y);
  }
}

}  // namespace
