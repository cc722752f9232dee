# Closes an X window as a window manager's close button does: with a WM_DELETE_WINDOW message.
# Usage: close_window.py WINDOW_ID
import sys

from Xlib import display, protocol

x = display.Display()
window = x.create_resource_object("window", int(sys.argv[1]))
close = [x.intern_atom("WM_DELETE_WINDOW"), 0, 0, 0, 0]
window.send_event(protocol.event.ClientMessage(
    window=window, client_type=x.intern_atom("WM_PROTOCOLS"), data=(32, close)))
# A round trip, not a flush: python-xlib's flush may return with the request still unsent, and
# the message is then lost when this process ends.
x.sync()
