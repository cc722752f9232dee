// Tells an X11 desktop which program owns the window: the class hint that ties it to the
// desktop entry (task bars, docks, alt-tab), and the process id that lets a window manager
// offer to end the program when it hangs. freeglut sets neither.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include "scene.h"

void identifyWindow() {
  Display* display = glXGetCurrentDisplay();
  const Window window = glXGetCurrentDrawable();
  char name[] = "bezier2d";
  XClassHint hint{name, name};
  XSetClassHint(display, window, &hint);
  const long pid = getpid();  // 32-bit properties are passed to Xlib as longs
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}
