// Random control points and De Casteljau evaluation of a cubic Bezier curve.
// Every expression is computed in double and rounded to float only where it is stored.
#include "bezier_curve.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

// A point's x and y side by side, so that both coordinates are computed by one vector
// operation. The conversions are written out on purpose: GCC 12 vectorizes the plain scalar
// form of these steps by itself at -O2 and then drops the rounding of the intermediate points,
// which changes the curve's bits. Written out, every stored point is rounded to float just as
// a scalar store rounds it.
using DoublePair = double __attribute__((vector_size(2 * sizeof(double))));
using FloatPair = float __attribute__((vector_size(2 * sizeof(float))));

DoublePair widen(const Point& p) {
  return __builtin_convertvector((FloatPair{p.x, p.y}), DoublePair);
}

void store(Point& p, DoublePair value) {
  const FloatPair rounded = __builtin_convertvector(value, FloatPair);
  p = {rounded[0], rounded[1]};
}

}  // namespace

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
  const DoublePair from = widen(a);
  store(destination, (widen(b) - from) * double{t} + from);
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
