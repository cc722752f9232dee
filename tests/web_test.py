# The web page in headless Chromium, as a desktop browser and as a phone (390 x 844 CSS pixels at
# three device pixels each, touch). On the desktop: the first frame shows the caption where the
# desktop program draws it, the blue curve and the red dots; the curves move after the first two
# seconds, and space or a click sets them moving sooner. On the phone: the whole window is in
# view, 4:3, with no sideways scrolling, its backing store at the screen's density and the caption
# whole; a tap sets the curves moving at once, as one press of space; after the WebGL context is
# lost and restored, frames come again. As an app: its icon is the favicon, Chromium finds it
# installable, its service worker keeps it starting with the server gone, and a rebuilt site
# replaces the old cache. No console message of the page's own throughout. Times are read from
# the program's own clock, GLUT's milliseconds since it started, which the timed choices of new
# targets count from too. The site is served over HTTP from a copy, which the test rebuilds.
# Usage: python3 web_test.py SITE_DIRECTORY
import functools
import http.server
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.append(str(pathlib.Path(__file__).resolve().parents[1] / "script"))
from chromium import headless_chromium  # noqa: E402

CLOCK = "Date.now() - GLUT.initTime"
CAPTION = "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm."
# What the canvas shows: its size, a digest of its pixels, how many are red, green and blue, how
# many white (the caption's) and from which column to which, and when.
LOOK = f"""const gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, p = new Uint8Array(width * gl.drawingBufferHeight * 4);
  gl.readPixels(0, 0, width, gl.drawingBufferHeight, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const seen = {{width, height: gl.drawingBufferHeight, digest: 0, red: 0, green: 0, blue: 0,
                 other: 0, white: 0, left: width, right: -1, ms: {CLOCK}}};
  for (let i = 0; i < p.length; i += 4) {{
    seen.digest = (seen.digest * 31 + p[i] + 7 * p[i + 1] + 13 * p[i + 2]) % 1000000007;
    if (p[i] > 200 && p[i + 1] > 200 && p[i + 2] > 200) {{
      seen.white++, seen.left = Math.min(seen.left, i / 4 % width);
      seen.right = Math.max(seen.right, i / 4 % width);
    }}
    const pure = p[i] + p[i + 1] + p[i + 2] < 300;
    seen[p[i] > 200 ? 'red' : p[i + 1] > 200 ? 'green' : p[i + 2] > 230 ? 'blue' : 'other'] += pure;
  }}
  return seen;"""
# Where the canvas is on the page, and whether the page scrolls sideways.
LAYOUT = """const shown = document.getElementById('canvas').getBoundingClientRect().toJSON();
  return {...shown, view: document.documentElement.clientWidth, innerHeight,
          scroll: document.documentElement.scrollWidth};"""

site = pathlib.Path(tempfile.mkdtemp()) / "site"
shutil.copytree(sys.argv[1], site)


class Server(http.server.SimpleHTTPRequestHandler):
    """Quiet; keeps the browser's HTTP cache out of it, and once stopped answers nothing, not even
    on connections the browser opened ahead: only the service worker can stand in for it then."""
    stopped = False

    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def do_GET(self):
        if not Server.stopped:
            super().do_GET()


def serve(port=0):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Server, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


server = serve()
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
    browser.get(f"http://127.0.0.1:{server.server_port}/")
    until("the caption", lambda: browser.execute_script(
        "return document.getElementById('caption').textContent") == CAPTION)
    return look()


def emulate(width, height, ratio, touch):
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": touch})
    browser.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch})


def press(kind):
    """Space, or a tap or a left click in the middle of the canvas."""
    if kind == "space":
        return browser.find_element("id", "canvas").send_keys(" ")
    shown = browser.execute_script(LAYOUT)
    x, y = shown["x"] + shown["width"] / 2, shown["y"] + shown["height"] / 2
    for event in ("Pressed", "Released"):
        if kind == "tap":
            browser.execute_cdp_cmd("Input.dispatchTouchEvent", {
                "type": "touch" + ("Start" if event == "Pressed" else "End"),
                "touchPoints": [{"x": x, "y": y}] if event == "Pressed" else []})
        else:
            browser.execute_cdp_cmd("Input.dispatchMouseEvent", {
                "type": "mouse" + event, "x": x, "y": y, "button": "left", "clickCount": 1})


def sets_moving(kind):
    """Presses at once after a start and checks that the curves move before the first timed
    choice; how many presses of space a tap or a click made. A busy machine may leave too little
    of the first two seconds to tell: then the page is loaded again."""
    for _ in range(3):
        fresh = start()
        browser.execute_script("window.presses = 0; const deliver = GLUT.onKeydown;"
                               "GLUT.onKeydown = event => { ++presses; deliver(event); };")
        press(kind)
        moved = until("a change or two seconds", lambda: (
            (seen := look())["digest"] != fresh["digest"] or seen["ms"] >= 2000) and seen)
        if moved["digest"] != fresh["digest"] and moved["ms"] < 2000:
            time.sleep(0.5)  # long enough for a mouse click made up after a tap
            return browser.execute_script("return presses")
    raise AssertionError(f"{kind} did not move the curves: {fresh}, then {moved}")


try:
    # Left alone, the curves start on their targets and hold still until the first timed
    # choice of new targets, two seconds in; then they move apart. The caption spans the
    # columns that freeglut's glyphs take on the desktop.
    emulate(1000, 700, 1, False)
    first = start()
    assert first["width"] == 720 and first["height"] == 540, f"canvas: {first}"
    assert first["blue"] > 100 and first["red"] > 10, f"first frame: {first}"
    assert (first["left"], first["right"]) == (6, 666), f"caption columns: {first}"
    timed = until("2.3 s", lambda: (seen := look())["ms"] >= 2300 and seen)
    until("motion after two seconds", lambda: look()["digest"] != timed["digest"], 10)
    until("the green curve", lambda: look()["green"] > 100, 10)
    sets_moving("space")
    assert sets_moving("click") == 1, "a click did not press space once"

    emulate(390, 844, 3, True)
    phone, shown = start(), browser.execute_script(LAYOUT)
    assert shown["view"] == 390 and shown["scroll"] <= 390 and shown["x"] >= 0, f"sideways: {shown}"
    assert shown["right"] <= 390 and shown["bottom"] <= shown["innerHeight"], f"not in view: {shown}"
    assert abs(3 * shown["width"] - 4 * shown["height"]) < 1, f"not 4:3: {shown}"
    assert (phone["width"], phone["height"]) == (round(3 * shown["width"]),
                                                 round(3 * shown["height"])), f"store: {phone}"
    assert 0 < phone["left"] and phone["right"] < phone["width"] - 1, f"caption: {phone}"
    assert sets_moving("tap") == 1, "a tap did not press space once"

    browser.execute_script("window.context = document.getElementById('canvas').getContext('webgl')"
                           ".getExtension('WEBGL_lose_context'); context.loseContext();")
    until("the context lost", lambda: browser.execute_script("return GLctx.isContextLost()"))
    browser.execute_script("context.restoreContext()")
    back = until("frames again", lambda: (seen := look())["blue"] > 100 and seen)
    until("motion again", lambda: look()["digest"] != back["digest"], 10)

    icon = browser.execute_script("return fetch(document.querySelector('link[rel=icon]').href)"
                                  ".then(response => response.headers.get('content-type'))")
    assert icon.startswith("image/"), f"favicon: {icon}"
    installable = browser.execute_cdp_cmd("Page.getInstallabilityErrors", {})
    assert not installable["installabilityErrors"], f"not installable: {installable}"
    start()
    until("a service worker", lambda: browser.execute_script("return navigator.serviceWorker.controller"))
    # With the server gone, only the service worker has the site.
    port = server.server_port
    server.shutdown(), server.server_close()
    Server.stopped = True
    offline = start()
    until("frames offline", lambda: look()["digest"] != offline["digest"], 10)
    # A rebuilt site with one file changed: its worker, with a new cache, replaces the old one.
    def cache_name():
        return re.search("bezier2d-[0-9a-f]+", (site / "sw.js").read_text())[0]
    old = cache_name()
    with open(site / "index.html", "a") as page:
        page.write("<!-- rebuilt -->\n")
    source = pathlib.Path(__file__).parents[1]
    subprocess.run(["cmake", f"-DSITE={site}", f"-DTEMPLATE={source / 'web/sw.js'}",
                    "-P", source / "web/stamp_worker.cmake"], check=True)
    cache = cache_name()
    assert cache != old, f"the cache keeps its name {old} for changed content"
    server, Server.stopped = serve(port), False
    # The browser looks for a new worker when a visitor comes back; the test asks for it at once.
    start()
    until("the rebuilt site's cache alone", lambda: browser.execute_script(
        "return navigator.serviceWorker.getRegistration().then(worker => worker.update())"
        ".then(() => caches.keys())") == [cache])

    problems = [entry["message"] for entry in browser.get_log("browser")
                if "using emscripten GL" not in entry["message"]]  # the toolchain's own notes
    assert not problems, f"the page reported: {problems}"
    print("ok: desktop and phone: the page fits, draws, moves after two seconds, and space, a click"
          " or a tap moves it sooner; it draws again after a lost context")
finally:
    browser.quit()
    shutil.rmtree(site.parent)
