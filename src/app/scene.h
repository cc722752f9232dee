// The scene: the globals that the GLUT handlers share, and the steps that build it.
#pragma once

#include "bezier_curve.h"
#include "stopwatch.h"

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

// Time since the last timed choice of new targets; started by the first idle step.
extern Stopwatch* retargetWatch;
// GLUT's milliseconds since start-up, read by this idle step and the one before it.
extern int elapsedMs;
extern int lastElapsedMs;
// Milliseconds between the two.
extern int frameDeltaMs;

// Creates the six curves in drawing order, each randomized before the next is made, and the
// retarget watch, not yet running.
void createScene();
// Opens the 720 x 540 double-buffered RGB window at (0, 0); GLUT takes its options from argv.
void openWindow(int* argc, char** argv);
#if BEZIER2D_X11
// Sets the class hint (bezier2d) and _NET_WM_PID of the window of the current GL context.
void identifyWindow();
#endif
// Blending, smoothing, the 0..720 x 0..540 projection, point size and background colour.
void setUpView();

// GLUT idle handler, one animation step: choose new targets every two seconds, ease the shown
// curves toward them by the time since the last step, and ask for a redraw.
void idle();
// GLUT visibility handler: registers idle again when the window becomes visible.
void visibility(int state);
// New random control points for the three targets, joined into a closed chain.
void retarget();
// GLUT keyboard handler: the space bar chooses new targets at once; other keys do nothing.
void keyboard(unsigned char key, int x, int y);
