// The random control points: whole numbers from 50 to 749 in x and to 549 in y, with the
// evaluation slot left alone. (Evaluation is checked bit for bit through the frame test.)
#include <gtest/gtest.h>

#include <algorithm>

#include "bezier_curve.h"

TEST(Randomize, WholeNumbersFrom50To749InXAnd549InYSlotZeroKept) {
  BezierCurve curve;
  curve.points[0] = {-7.5f, 1234.25f};
  float low = 1000, highX = 0, highY = 0;
  for (int round = 0; round < 10000; ++round) {
    curve.randomize();
    for (int slot = 1; slot <= 4; ++slot) {
      const auto [x, y] = curve.points[slot];
      EXPECT_TRUE(x == int(x) && y == int(y)) << x << ", " << y;
      low = std::min({low, x, y});
      highX = std::max(highX, x);
      highY = std::max(highY, y);
    }
  }
  EXPECT_EQ(low, 50);
  EXPECT_EQ(highX, 749);
  EXPECT_EQ(highY, 549);
  EXPECT_EQ(curve.points[0].x, -7.5f);
  EXPECT_EQ(curve.points[0].y, 1234.25f);
}
