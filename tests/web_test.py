# The web page in headless Chromium: it starts without an error or a console message of its
# own, shows the caption, the blue curve and the red dots, moves after the first two seconds, and
# space sets the curves moving before that. Times are read from the program's own clock, GLUT's
# milliseconds since it started, which the timed choices of new targets count from too.
# Usage: python3 web_test.py SITE_DIRECTORY
import pathlib
import sys
import time

sys.path.append(str(pathlib.Path(__file__).resolve().parents[1] / "script"))
from chromium import headless_chromium  # noqa: E402

CLOCK = "Date.now() - GLUT.initTime"
CAPTION = "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm."
# What the canvas shows: a digest of its pixels, how many are red, green and blue, and when.
LOOK = f"""const gl = document.getElementById('canvas').getContext('webgl'), p = new Uint8Array(1555200);
  gl.readPixels(0, 0, 720, 540, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const seen = {{digest: 0, red: 0, green: 0, blue: 0, other: 0, ms: {CLOCK}}};
  for (let i = 0; i < p.length; i += 4) {{
    seen.digest = (seen.digest * 31 + p[i] + 7 * p[i + 1] + 13 * p[i + 2]) % 1000000007;
    const pure = p[i] + p[i + 1] + p[i + 2] < 300;
    seen[p[i] > 200 ? 'red' : p[i + 1] > 200 ? 'green' : p[i + 2] > 230 ? 'blue' : 'other'] += pure;
  }}
  return seen;"""

browser = headless_chromium()
# The test, not the page, keeps each frame readable after it is shown.
browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    return getContext.call(this, type, {...attributes, preserveDrawingBuffer: true}); };"""})


def until(what, check, seconds=30):
    """Polls check() until it returns something true, for at most `seconds`."""
    end = time.monotonic() + seconds
    while not (result := check()):
        assert time.monotonic() < end, f"waited {seconds} s for {what}"
        time.sleep(0.05)
    return result


def look():
    return browser.execute_script(LOOK)


def start():
    browser.get((pathlib.Path(sys.argv[1]).resolve() / "index.html").as_uri())
    until("the caption", lambda: browser.execute_script(
        "return document.getElementById('caption').textContent") == CAPTION)
    return look()


try:
    # Left alone, the curves start on their targets and hold still until the first timed
    # choice of new targets, two seconds in; then they move apart.
    first = start()
    left = browser.execute_script("return document.getElementById('caption').offsetLeft")
    assert left == 5 and first["blue"] > 100 and first["red"] > 10, f"first frame: {first}, {left}"
    timed = until("2.3 s", lambda: (seen := look())["ms"] >= 2300 and seen)
    until("motion after two seconds", lambda: look()["digest"] != timed["digest"], 10)
    until("the green curve", lambda: look()["green"] > 100, 10)

    # Space, pressed at once, sets them moving before that. A busy machine may leave too little
    # of the first two seconds to tell: then the page is loaded again.
    for _ in range(3):
        fresh = start()
        browser.find_element("id", "canvas").send_keys(" ")
        moved = until("a change or two seconds", lambda: (
            (seen := look())["digest"] != fresh["digest"] or seen["ms"] >= 2000) and seen)
        if moved["digest"] != fresh["digest"] and moved["ms"] < 2000:
            break
    else:
        raise AssertionError(f"space did not move the curves: {fresh}, then {moved}")
    problems = [entry["message"] for entry in browser.get_log("browser")
                if "using emscripten GL" not in entry["message"]]  # the toolchain's own notes
    assert not problems, f"the page reported: {problems}"
    print("ok: the page draws, moves after two seconds, and space moves it sooner")
finally:
    browser.quit()
