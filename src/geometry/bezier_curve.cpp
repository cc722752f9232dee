// Random control points and De Casteljau evaluation of a cubic Bezier curve.
// Every expression is computed in double and rounded to float only where it is stored.
#include "bezier_curve.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>

BezierCurve::BezierCurve() {
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  std::srand(static_cast<unsigned>(static_cast<std::uint64_t>(now) & 0xFFFFFFFFu));
}

void BezierCurve::randomize() {
  for (int slot = 1; slot <= 4; ++slot) {
    const int x = std::rand() % 700 + 50;
    const int y = std::rand() % 500 + 50;
    points[slot] = {static_cast<float>(x), static_cast<float>(y)};
  }
}

void BezierCurve::interpolate(Point& destination, const Point& a, const Point& b, float t) {
  const double fraction = t;
  destination.x = static_cast<float>((double{b.x} - a.x) * fraction + a.x);
  destination.y = static_cast<float>((double{b.y} - a.y) * fraction + a.y);
}

void BezierCurve::evaluate(Point& destination, const Point& a, const Point& b, const Point& c,
                           const Point& d, float t) {
  Point ab;
  Point bc;
  Point cd;
  Point abbc;
  Point bccd;
  interpolate(ab, a, b, t);
  interpolate(bc, b, c, t);
  interpolate(cd, c, d, t);
  interpolate(abbc, ab, bc, t);
  interpolate(bccd, bc, cd, t);
  interpolate(destination, abbc, bccd, t);
}
