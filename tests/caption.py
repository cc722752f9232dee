# Compares the caption in a picture with freeglut's as the desktop program draws it (caption.pbm:
# the white pixels of the window's top 30 rows), pixel for pixel. Pixels that a curve covers,
# neither white nor the background, are passed over, but at most a tenth of the caption's. The
# picture is an X window's, or the top 30 rows as RGB bytes on standard input (the web page's).
# Prints "same", or how many pixels differ and the first of them (column and row from the top
# left).
# Usage: caption.py WINDOW_ID | caption.py -
import os
import sys

WIDTH, ROWS, BACKGROUND = 720, 30, (26, 145, 204)

if sys.argv[1] == "-":
    rgb = sys.stdin.buffer.read()
else:
    from Xlib import X, display

    window = display.Display().create_resource_object("window", int(sys.argv[1]))
    image = window.get_image(0, 0, WIDTH, ROWS, X.ZPixmap, 0xFFFFFFFF).data
    stride = len(image) // ROWS  # of blue, green, red and a spare byte a pixel
    rgb = bytes(image[y * stride + 4 * x + 2 - c] for y in range(ROWS) for x in range(WIDTH)
                for c in range(3))
with open(os.path.join(os.path.dirname(__file__), "caption.pbm"), "rb") as golden:
    bits = golden.read().split(b"\n", 2)[2]
differ, covered, white = [], 0, 0
for y in range(ROWS):
    for x in range(WIDTH):
        expected = bits[y * WIDTH // 8 + x // 8] >> (7 - x % 8) & 1
        pixel = rgb[3 * (y * WIDTH + x):3 * (y * WIDTH + x) + 3]
        white += expected
        if min(pixel) > 200:
            differ += [(x, y)] * (expected == 0)
        elif max(abs(a - b) for a, b in zip(pixel, BACKGROUND)) <= 3:
            differ += [(x, y)] * expected
        else:
            covered += expected
if differ:
    print(f"{len(differ)} pixels differ, the first at {differ[0][0]} {differ[0][1]}")
elif 10 * covered > white:
    print(f"{covered} of the caption's {white} pixels covered")
else:
    print("same")
