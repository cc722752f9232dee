// Benchmarks: De Casteljau against the Bernstein form, one animation step, and one frame
// against a replay of the same GL calls with the vertices precomputed. Needs an X display.
// Each benchmark also reports its fastest repetition (_min), the reading least disturbed by
// whatever else the machine is doing.
#include <GL/glut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <vector>

#include "render.h"
#include "scene.h"

namespace {

constexpr int kSamples = 1000;

double fastest(const std::vector<double>& readings) {
  return *std::min_element(readings.begin(), readings.end());
}
const Point kControls[4] = {{611, 233}, {75, 88}, {500, 499}, {64, 212}};

// The samples of one curve as a frame computes them, without handing them to GL.
void BM_DeCasteljau(benchmark::State& state) {
  BezierCurve curve;
  std::copy(std::begin(kControls), std::end(kControls), curve.points + 1);
  for (auto _ : state) {
    for (int i = 0; i < kSamples; ++i) {
      const auto t = static_cast<float>(i / 999.0);
      BezierCurve::evaluate(curve.points[0], curve.points[1], curve.points[2], curve.points[3],
                            curve.points[4], t);
      benchmark::DoNotOptimize(curve.points[0]);
    }
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_DeCasteljau)->ComputeStatistics("min", fastest);

// The same points from the cubic Bernstein form in double, rounded once.
void BM_Bernstein(benchmark::State& state) {
  const auto& [a, b, c, d] = kControls;
  for (auto _ : state) {
    for (int i = 0; i < kSamples; ++i) {
      const double t = static_cast<float>(i / 999.0);
      const double u = 1 - t;
      const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
      Point p{static_cast<float>(b0 * a.x + b1 * b.x + b2 * c.x + b3 * d.x),
              static_cast<float>(b0 * a.y + b1 * b.y + b2 * c.y + b3 * d.y)};
      benchmark::DoNotOptimize(p);
    }
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_Bernstein)->ComputeStatistics("min", fastest);

// One idle step on the real clocks: frames this short barely move the points, but the work
// (a clock read, a stopwatch reading, 24 interpolations, a redisplay request) is the same.
void BM_AnimationStep(benchmark::State& state) {
  for (auto _ : state) idle();
}
BENCHMARK(BM_AnimationStep)->ComputeStatistics("min", fastest);

// One whole frame as the program draws it, finished on the GPU side too.
void BM_Frame(benchmark::State& state) {
  for (auto _ : state) {
    display();
    glFinish();
  }
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", fastest);

// The GL calls of one frame, with every vertex computed beforehand.
void BM_FrameReplay(benchmark::State& state) {
  const BezierCurve* curves[] = {redCurve, greenCurve, blueCurve};
  std::array<std::vector<Point>, 3> strips;
  for (int c = 0; c < 3; ++c) {
    BezierCurve copy = *curves[c];
    for (int i = 0; i < kSamples; ++i) {
      BezierCurve::evaluate(copy.points[0], copy.points[1], copy.points[2], copy.points[3],
                            copy.points[4], static_cast<float>(i / 999.0));
      strips[c].push_back(copy.points[0]);
    }
  }
  const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    drawCaption();
    glLoadIdentity();
    for (int c = 0; c < 3; ++c) {
      glColor3f(colours[c][0], colours[c][1], colours[c][2]);
      glBegin(GL_LINE_STRIP);
      for (const Point& p : strips[c]) glVertex2f(p.x, p.y);
      glEnd();
      glColor3f(1, 0, 0);
      glPointSize(5.0);
      glBegin(GL_POINTS);
      for (int slot = 1; slot <= 4; ++slot)
        glVertex2f(curves[c]->points[slot].x, curves[c]->points[slot].y);
      glEnd();
    }
    glutSwapBuffers();
    glFinish();
  }
}
BENCHMARK(BM_FrameReplay)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", fastest);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  createScene();
  retarget();  // three different curves, as after the first timed choice
  for (BezierCurve* curve : {redCurve, greenCurve, blueCurve}) curve->randomize();
  openWindow(&argc, argv);
  glutDisplayFunc(display);
  setUpView();
  windowId = glutGetWindow();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
