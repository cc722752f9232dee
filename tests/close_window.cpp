// Asks an X window to close as a window manager's close button does, with the WM_DELETE_WINDOW
// client message. Usage: close_window WINDOW_ID
#include <X11/Xlib.h>

#include <cstdlib>

int main(int, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr || argv[1] == nullptr) return 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::strtoul(argv[1], nullptr, 0);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
}
