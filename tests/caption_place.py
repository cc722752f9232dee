# Where the caption is in an X window's picture, as a person sees it: the first column and the
# first row from the top left that hold its white pixels (the only white the window shows), or
# "none".
# Usage: caption_place.py WINDOW_ID
import sys

from Xlib import X, display

window = display.Display().create_resource_object("window", int(sys.argv[1]))
size = window.get_geometry()
pixels = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xFFFFFFFF).data
stride = len(pixels) // size.height
white = [(i % stride // 4, i // stride) for i in range(0, len(pixels), 4)
         if min(pixels[i:i + 3]) > 200]
print(f"{min(x for x, _ in white)} {min(y for _, y in white)}" if white else "none")
