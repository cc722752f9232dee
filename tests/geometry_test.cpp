// The random control points cover exactly 50..749 in x and 50..549 in y. (Evaluation is
// checked bit for bit through the frame test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "bezier_curve.h"

TEST(Randomize, CoversExactly50To749InXAnd50To549InY) {
  BezierCurve curve;
  std::array<float, 4> range{1000, 0, 1000, 0};  // lowest and highest x, lowest and highest y
  for (int round = 0; round < 10000; ++round) {
    curve.randomize();
    for (const auto [x, y] : {curve.points[1], curve.points[2], curve.points[3], curve.points[4]}) {
      range = {std::min(range[0], x), std::max(range[1], x), std::min(range[2], y),
               std::max(range[3], y)};
    }
  }
  EXPECT_EQ(range, (std::array<float, 4>{50, 749, 50, 549}));
}
