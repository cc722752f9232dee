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
  const note = problem => sessionStorage.problems =
      JSON.stringify([...JSON.parse(sessionStorage.problems || '[]'), problem]);
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
// pixel a view unit, the top 30 rows, where the caption is, as RGB bytes; and for each dot in the
// view with no other near it, its red pixels within 3.5 units of its centre over the area of a disc
// 5 units across, and how many pixels there blend red with what is under.
export function look(drawn, background) {
  const gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, height = gl.drawingBufferHeight, unit = width / 720;
  const p = new Uint8Array(4 * width * height);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const at = (x, y) => {
    const i = 4 * ((height - 1 - Math.floor(y)) * width + Math.floor(x));
    return [p[i], p[i + 1], p[i + 2]];
  };
  const seen = {width, height, unit, digest: 0, red: 0, green: 0, blue: 0, background: 0};
  let blue = 0;
  for (let i = 0; i < p.length; i += 4) {
    const [r, g, b] = p.subarray(i, i + 3);
    seen.digest = (seen.digest * 31 + r + 7 * g + 13 * b) % 1000000007;
    seen[r > 200 ? 'red' : g > 200 ? 'green' : b > 230 ? 'blue' : 'other'] += r + g + b < 300;
    if (!drawn) continue;
    seen.background += [r, g, b].every((byte, k) => Math.abs(byte - background[k]) <= 3);
    if (r < 60) blue += Math.max(0, 1 - g / background[1]);
  }
  if (!drawn) return seen;
  seen.background /= width * height;
  seen.lineWidth = blue / (drawn.blueLength * unit * devicePixelRatio);
  if (unit == 1) seen.top = Array.from({length: 720 * 30}, (_, i) => at(i % 720, i / 720)).flat();
  const near = ([x, y]) => ([u, v]) => (u != x || v != y) && Math.hypot(u - x, v - y) < 10;
  const alone = ([x, y]) => x > 5 && x < 715 && y > 5 && y < 510 && !drawn.dots.some(near([x, y]));
  seen.dots = drawn.dots.filter(alone).map(([x, y]) => {
    const [cx, cy, reach] = [x * unit, (540 - y) * unit, 3.5 * unit];
    let area = 0, rim = 0;
    for (let v = Math.floor(cy - reach) + 0.5; v < cy + reach; ++v) {
      for (let u = Math.floor(cx - reach) + 0.5; u < cx + reach; ++u) {
        const [r, g, b] = at(u, v);
        area += r > 150 && g < 110 && b < 110 && Math.hypot(u - cx, v - cy) <= reach;
        rim += r > 60 && r < 200 && r > g;
      }
    }
    return {area: area / (Math.PI * (2.5 * unit) ** 2), rim};
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
  const {clientWidth: view, scrollWidth: scroll} = document.documentElement;
  const box = document.getElementById('canvas').getBoundingClientRect().toJSON();
  return {...box, view, scroll, innerWidth, innerHeight, devicePixelRatio};
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
  const linked = rel => fetch(document.querySelector(`link[rel=${rel}]`).href);
  const image = await createImageBitmap(await (await linked('apple-touch-icon')).blob());
  const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
  context.drawImage(image, 0, 0);
  const pixels = context.getImageData(0, 0, image.width, image.height).data;
  const manifest = await (await linked('manifest')).json();
  const splash = `rgb(${manifest.background_color.match(/\w\w/g).map(hex => parseInt(hex, 16))})`;
  const seeThrough = pixels.filter((byte, i) => i % 4 == 3 && byte < 255).length;
  const page = getComputedStyle(document.body).backgroundColor.replaceAll(' ', '');
  return {size: [image.width, image.height], seeThrough, splash: splash == page};
}

// Once the page's service worker has looked for a new one and that one has settled: the names of
// the caches.
export async function updateWorker() {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update().catch(() => {});
  while (registration.installing) await new Promise(resolve => setTimeout(resolve, 50));
  return (await caches.keys()).join();
}
