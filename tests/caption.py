# Compares the caption in an X window's picture with freeglut's as the desktop program draws it
# (caption.pbm: the white pixels of the window's top 30 rows), pixel for pixel. Pixels that a curve
# covers, neither white nor the background, are passed over, but at most a tenth of the caption's.
# Prints "same", or how many pixels differ and the first of them (column and row from the top
# left). With --save FILE, writes the window's caption there instead.
# Usage: caption.py WINDOW_ID [--save FILE]
import os
import sys

from Xlib import X, display

WIDTH, ROWS, BACKGROUND = 720, 30, (26, 145, 204)

window = display.Display().create_resource_object("window", int(sys.argv[1]))
pixels = window.get_image(0, 0, WIDTH, ROWS, X.ZPixmap, 0xFFFFFFFF).data
stride = len(pixels) // ROWS


def seen(x, y):
    """1 for the caption's white, 0 for the background, None for anything else."""
    blue, green, red = pixels[y * stride + 4 * x:y * stride + 4 * x + 3]
    if min(red, green, blue) > 200:
        return 1
    return 0 if max(abs(a - b) for a, b in zip((red, green, blue), BACKGROUND)) <= 3 else None


if sys.argv[2:3] == ["--save"]:
    rows = bytearray((WIDTH // 8) * ROWS)
    for y in range(ROWS):
        for x in range(WIDTH):
            rows[y * WIDTH // 8 + x // 8] |= (seen(x, y) == 1) << (7 - x % 8)
    with open(sys.argv[3], "wb") as out:
        out.write(b"P4\n%d %d\n" % (WIDTH, ROWS) + rows)
    sys.exit()

with open(os.path.join(os.path.dirname(__file__), "caption.pbm"), "rb") as golden:
    bits = golden.read().split(b"\n", 2)[2]
differ, covered, white = [], 0, 0
for y in range(ROWS):
    for x in range(WIDTH):
        expected = bits[y * WIDTH // 8 + x // 8] >> (7 - x % 8) & 1
        white += expected
        actual = seen(x, y)
        if actual is None:
            covered += expected
        elif actual != expected:
            differ.append((x, y))
if differ:
    print(f"{len(differ)} pixels differ, the first at {differ[0][0]} {differ[0][1]}")
elif 10 * covered > white:
    print(f"{covered} of the caption's {white} pixels covered")
else:
    print("same")
