// The two options that bezier2d answers itself; every other argument is GLUT's.
#pragma once

#include <optional>

// Prints the usage for --help, or "bezier2d VERSION" for --version, if either is among the
// arguments, and returns the exit status: 0, or 1 when the answer could not be written (said on
// stderr). Otherwise prints nothing and returns nothing. Opens no display.
std::optional<int> answerOwnOption(int argc, char** argv);
