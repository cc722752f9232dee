// The scene: the globals that the GLUT handlers share, and the steps that build it.
#pragma once

#include "bezier_curve.h"

// Window and view size in pixels; the view keeps these units when the window is resized.
constexpr int kViewWidth = 720;
constexpr int kViewHeight = 540;

// The three curves on screen; never freed, they live as long as the process.
extern BezierCurve* redCurve;
extern BezierCurve* greenCurve;
extern BezierCurve* blueCurve;
// The curves that the shown ones ease toward; never drawn.
extern BezierCurve* redTarget;
extern BezierCurve* greenTarget;
extern BezierCurve* blueTarget;
// GLUT's identifier of the one window.
extern int windowId;

// Creates the six curves in drawing order, each randomized before the next is made.
void createScene();
// Opens the 720 x 540 double-buffered RGB window at (0, 0); GLUT takes its options from argv.
void openWindow(int* argc, char** argv);
// Blending, smoothing, the 0..720 x 0..540 projection, point size and background colour.
void setUpView();
