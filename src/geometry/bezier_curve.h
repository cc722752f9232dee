// A cubic Bezier curve: four control points, evaluated with De Casteljau's algorithm.
// The model knows nothing of the window; its two drawing operations live in src/render.
#pragma once

// A position in view units: x from 0 (left) to 720 (right), y from 0 (bottom) to 540 (top).
struct Point {
  float x;
  float y;
};

class BezierCurve {
 public:
  // Seeds the process-wide rand() generator from the calendar second, so records made
  // within one second draw the same control points.
  BezierCurve();

  // New random whole-number control points: x in 50..749, y in 50..549. Slot 0 is kept.
  void randomize();

  // destination = the point at fraction t of the way from a to b.
  static void interpolate(Point& destination, const Point& a, const Point& b, float t);
  // destination = the point at parameter t of the cubic curve with control points a, b, c, d.
  static void evaluate(Point& destination, const Point& a, const Point& b, const Point& c,
                       const Point& d, float t);

  // One line strip of 1000 evaluated points in the given colour; leaves the end point in slot 0.
  void drawCurve(float red, float green, float blue);
  // Slots 1 to 4 as red dots five pixels across.
  void drawControlPoints();

  // Slot 0 receives the point evaluated last; slots 1 to 4 are the control points, start to end.
  Point points[5]{};
};
