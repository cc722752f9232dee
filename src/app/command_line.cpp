// --help and --version, answered before GLUT sees the command line, so that neither needs a
// display.
#include "command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kUsage[] = R"(Usage: bezier2d [GLUT options]
Shows three cubic Bezier curves, red, green and blue, evaluated with De Casteljau's
algorithm and drawn with their control points, easing for ever toward random target
curves joined into a closed loop. New targets come every two seconds.

Keys: space chooses new targets at once. No key quits: close the window.

GLUT options:
  -display HOST:N    open the window on this X server instead of $DISPLAY
  -direct            insist on direct rendering; fail where it is not available
  -indirect          insist on rendering through the X server (most refuse it)
  -iconic            start iconified, where the window manager allows it
  -sync              make every X call synchronous, for debugging
  -gldebug           report OpenGL errors after each frame
  -geometry WxH+X+Y  accepted, but no effect: the window is 720 x 540 at (0, 0)

  --help             show this help and exit
  --version          show the version and exit
)";

// Writes the answer out: 0, or 1 and a message on stderr if it could not be written (a full disk,
// a closed pipe), as GNU tools do.
int answer(const char* text) {
  if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0) return 0;
  std::fprintf(stderr, "bezier2d: cannot write the answer: %s\n", std::strerror(errno));
  return 1;
}

}  // namespace

std::optional<int> answerOwnOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return answer(kUsage);
    if (std::strcmp(argv[i], "--version") == 0) return answer("bezier2d " BEZIER2D_VERSION "\n");
  }
  return std::nullopt;
}
