// The programs that the browser test runs inside the page. Each is sent as its source, so it
// uses nothing of this module: only its arguments and the page's own globals.

// Loaded before anything else of the page: keeps each frame readable after it is shown, and notes
// what the page reports (uncaught errors and rejections, files that did not arrive, console
// warnings and errors, policy violations) in sessionStorage. At ?frozen, the page's clock stands
// still until stepFrames() moves it, running the frames asked for (window.due) at each step; it
// returns what the last of them drew, read from the frame at the swap: the blue curve's length
// and the dots, in view units. At ?nowebgl the browser has no WebGL; at ?noshaders no shader
// links.
export function hook() {
  const wish = new URLSearchParams(location.search);
  if (wish.has('frozen')) {
    let now = 0;
    const due = window.due = [];
    performance.now = () => now;
    Date.now = () => 1.8e12 + now;
    requestAnimationFrame = callback => due.push(callback);
    window.stepFrames = async (frames, ms) => {
      const finish = webGL.finish;
      let drawn;
      // The program's blocks, as the frame keeps them (web/frame.h): words 18 to 20 of the frame,
      // 7 words a block (mode, first, count, red, green, blue, point size).
      webGL.finish = frame => {
        const u = HEAPU32, f = HEAPF32, w = frame >> 2, given = u[w + 20] >> 2;
        for (let b = 0, block = u[w + 19] >> 2; b < u[w + 18]; ++b, block += 7) {
          const blue = f[block + 3] == 0 && f[block + 5] == 1;
          for (let i = u[block + 1]; i < u[block + 1] + u[block + 2]; ++i) {
            const [x, y] = [f[given + 2 * i], f[given + 2 * i + 1]];
            if (u[block] == 0) drawn.dots.push([x, y]);
            if (u[block] == 3 && blue && i > u[block + 1])
              drawn.blueLength += Math.hypot(x - f[given + 2 * i - 2], y - f[given + 2 * i - 1]);
          }
        }
        return finish(frame);
      };
      for (let frame = 0; frame < frames; ++frame) {
        drawn = {blueLength: 0, dots: []};
        now += ms;
        due.splice(0).forEach(callback => callback(now));
        await new Promise(resolve => setTimeout(resolve, 20));  // for the browser to show it
      }
      webGL.finish = finish;
      return drawn;
    };
  }
  const noted = JSON.parse(sessionStorage.problems || '[]');
  const note = problem => {
    noted.push(problem);
    sessionStorage.problems = JSON.stringify(noted);
  };
  addEventListener('error', event => {
    note(event.message ? 'uncaught: ' + event.message : 'missing: ' + event.target.src);
  }, true);
  addEventListener('unhandledrejection', event => note('uncaught: ' + event.reason));
  document.addEventListener('securitypolicyviolation', event => {
    note('policy violation: ' + event.violatedDirective + ' ' + event.blockedURI);
  });
  for (const level of ['error', 'warn']) {
    const log = console[level];
    console[level] = (...args) => {
      note(level + ': ' + args.join(' '));
      log.apply(console, args);
    };
  }
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function(type, attributes) {
    if (wish.has('nowebgl')) return null;
    return getContext.call(this, type, {...attributes, preserveDrawingBuffer: true});
  };
  const linked = WebGLRenderingContext.prototype.getProgramParameter;
  WebGLRenderingContext.prototype.getProgramParameter = function(program, name) {
    return !(wish.has('noshaders') && name == this.LINK_STATUS) && linked.call(this, program, name);
  };
}

// What the canvas shows: its size, a digest of its pixels, and how many are red, green and blue.
// Given what the frame drew (`drawn`, from stepFrames()), also what a person would notice: how
// much of it is the window's blue; the blue line's width in CSS pixels (its area over its length,
// a pixel's coverage read from how much less green it has than the background); at one device
// pixel a view unit, how many of the caption's pixels differ from `caption` (the desktop's, as
// rows of bits over the top 30 rows) and how many a curve covers; and for each dot in the view with
// no other near it, whether it is red 1.5 units from its centre along either axis and not at 3.5
// units, nor at the corners of the square around it, and how many pixels at its rim blend red
// with what is under.
export function look(drawn, background, caption) {
  const gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, height = gl.drawingBufferHeight, unit = width / 720;
  const p = new Uint8Array(4 * width * height);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const at = (x, y) => {
    const i = 4 * ((height - 1 - Math.floor(y)) * width + Math.floor(x));
    return [p[i], p[i + 1], p[i + 2]];
  };
  const red = ([r, g, b]) => r > 150 && g < 110 && b < 110;
  const isBackground = pixel => pixel.every((byte, k) => Math.abs(byte - background[k]) <= 3);
  const seen = {width, height, unit, digest: 0, red: 0, green: 0, blue: 0, background: 0};
  let blue = 0;
  for (let i = 0; i < p.length; i += 4) {
    const [r, g, b] = p.subarray(i, i + 3);
    seen.digest = (seen.digest * 31 + r + 7 * g + 13 * b) % 1000000007;
    seen[r > 200 ? 'red' : g > 200 ? 'green' : b > 230 ? 'blue' : 'other'] += r + g + b < 300;
    if (!drawn) continue;
    seen.background += isBackground([r, g, b]);
    if (r < 60) blue += Math.max(0, 1 - g / background[1]);
  }
  if (!drawn) return seen;
  seen.background /= width * height;
  seen.lineWidth = blue / (drawn.blueLength * unit * devicePixelRatio);
  if (unit == 1) {
    const c = seen.caption = {differ: 0, covered: 0, white: 0};
    for (let i = 0; i < 720 * 30; ++i) {
      const bit = caption[i >> 3] >> (7 - (i & 7)) & 1, pixel = at(i % 720, i / 720);
      const white = pixel.every(byte => byte > 200);
      c.white += bit;
      if (!white && !isBackground(pixel))
        c.covered += bit;
      else
        c.differ += white != bit;
    }
  }
  const near = ([x, y]) => ([u, v]) =>
      Math.hypot(u - x, v - y) > 0 && Math.hypot(u - x, v - y) < 10;
  const axes = [[1, 0], [0, 1], [-1, 0], [0, -1]], corners = [[1, 1], [1, -1], [-1, 1], [-1, -1]];
  const alone = ([x, y]) => x > 5 && x < 715 && y > 5 && y < 510 && !drawn.dots.some(near([x, y]));
  seen.dots = drawn.dots.filter(alone).map(([x, y]) => {
    // Its centre as drawn: the middle of its red pixels near where it belongs.
    let cx = 0, cy = 0, n = 0, rim = 0;
    for (let dy = -3.5 * unit; dy <= 3.5 * unit; ++dy) {
      for (let dx = -3.5 * unit; dx <= 3.5 * unit; ++dx) {
        const u = Math.floor(x * unit + dx) + 0.5, v = Math.floor((540 - y) * unit + dy) + 0.5;
        const [r, g] = at(u, v), inside = red([r, g, 0]);
        [cx, cy, n] = [cx + inside * u, cy + inside * v, n + inside];
        rim += r > 60 && r < 200 && r > g;
      }
    }
    const sample = ([u, v], d) => at(cx / n + d * u * unit, cy / n - d * v * unit);
    return {
      inner: axes.every(axis => red(sample(axis, 1.5))),
      outer: !axes.some(axis => red(sample(axis, 3.5))),
      round: !corners.some(corner => red(sample(corner, 2.2))),
      rim
    };
  });
  return seen;
}

// What shows of the window: the canvas's opacity, the window's background, the words shown over
// it, whether the canvas has the focus and shows a ring.
export function loadingLook() {
  const canvas = document.getElementById('canvas'), words = document.getElementById('loading');
  return {
    canvas: getComputedStyle(canvas).opacity,
    window: getComputedStyle(document.getElementById('window')).backgroundColor,
    words: words?.checkVisibility() && words.innerText,
    ring: canvas.matches(':focus-visible'),
    focused: document.activeElement == canvas
  };
}

// Where the canvas is on the page, and how wide the page is to scroll.
export function layout() {
  const box = id => document.getElementById(id).getBoundingClientRect().toJSON();
  return {
    ...box('canvas'),
    view: document.documentElement.clientWidth,
    innerWidth,
    innerHeight,
    devicePixelRatio,
    scroll: document.documentElement.scrollWidth
  };
}

// Counts the program's key presses from here on (window.presses).
export function countPresses() {
  window.presses = 0;
  window.deliver ??= glut.keyboard;
  glut.keyboard = (...args) => {
    ++presses;
    deliver(...args);
  };
}

// The page's WebGL context's extension that loses it and gives it back, kept (a lost context has
// no extensions); `what` is 'loseContext' or 'restoreContext'.
export function context(what) {
  window.loser ??=
      document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
  loser[what]();
}

// The page as an installed app: the Apple touch icon's size and how many of its pixels are not
// opaque, and whether the manifest's background (the splash) is the page's own.
export async function asAnApp() {
  const image = new Image();
  image.src = document.querySelector('link[rel=apple-touch-icon]').href;
  await image.decode();
  const canvas = new OffscreenCanvas(image.width, image.height), context = canvas.getContext('2d');
  context.drawImage(image, 0, 0);
  const pixels = context.getImageData(0, 0, image.width, image.height).data;
  const manifest = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
  const probe = document.body.appendChild(document.createElement('p'));
  probe.style.color = manifest.background_color;
  const splash = getComputedStyle(probe).color == getComputedStyle(document.body).backgroundColor;
  probe.remove();
  const seeThrough = pixels.filter((byte, i) => i % 4 == 3 && byte < 255).length;
  return {size: [image.width, image.height], seeThrough, splash};
}

// Once the page's service worker has looked for a new one and that one has settled: the names of
// the caches.
export async function updateWorker() {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update().catch(() => {});
  while (registration.installing) await new Promise(resolve => setTimeout(resolve, 50));
  return (await caches.keys()).join();
}
