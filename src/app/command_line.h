// The two options that bezier2d answers itself; every other argument is GLUT's.
#pragma once

// Prints the usage for --help, or "bezier2d VERSION" for --version, and returns true if either
// is among the arguments; otherwise prints nothing and returns false. Opens no display.
bool answerOwnOption(int argc, char** argv);
