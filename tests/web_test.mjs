// The web page in one browser engine (chromium, firefox or webkit), as a desktop browser and as a
// phone (390 x 844 CSS pixels, at three device pixels each with touch where the engine can
// emulate them). On the desktop: the first frame shows the caption where the desktop program draws
// it, the blue curve and the red dots; the curves move after the first two seconds, and space or
// a click sets them moving sooner, each as one press; a frame runs one animation step and makes
// next to no garbage. On a clock the test freezes and steps, the vertices of the first 50 frames
// have the bits computed outside the page. For every person: Tab leaves the canvas for the Pause
// button and Shift+Tab comes back; the button stops the frames and the picture past the timer,
// and Play goes on without counting the pause; a system that asks for reduced motion gets a still
// page with Play offered; axe-core finds nothing. On the phone: the whole window is in view, 4:3,
// with no sideways scrolling, its backing store at the screen's density and the caption whole; a
// tap is one press of space; after the WebGL context is lost and restored, frames come again. As
// an app: its icon is the favicon, the browser finds it installable, its service worker keeps it
// starting with the server gone, and a rebuilt site replaces the old cache. Throughout, under the
// page's strict policy: no error, warning or policy violation. What an engine's driver cannot do
// is skipped, and said. Times are read from the program's own clock, GLUT's elapsed milliseconds.
// The site is served over HTTP from a copy, which the test rebuilds.
// Usage: node web_test.mjs ENGINE SITE_DIRECTORY
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {frameCost, launch, serve} from '../script/browsers.mjs';

const [engine, built] = process.argv.slice(2);
const CAPTION =
    "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.";
const CLOCK = 'performance.now() - glut.startTime';
// An FNV-1a digest of the bits of every vertex drawn in the first 50 frames, the clock starting
// at 1.8e12 ms (Date.now()) and stepped by 100 ms a frame. Computed independently, in Python,
// with musl's rand(), which the web build's C library is, and the program's rules:
//   import struct
//   f = lambda v: struct.unpack('f', struct.pack('f', v))[0]      # rounds to float
//   word = lambda v: struct.unpack('I', struct.pack('f', v))[0]
//   def rand():
//     global seed; seed = (6364136223846793005 * seed + 1) % 2**64; return seed >> 33
//   def randomize(): return [(float(rand() % 700 + 50), float(rand() % 500 + 50)) for _ in range(4)]
//   seed = 1_800_000_000 - 1; shown = [randomize()] * 3    # srand(time()) for each curve, all six
//   seed = 1_800_000_000 - 1; targets = [randomize()] * 3  # in the same second: all alike
//   lerp = lambda a, b, t: (f((b[0] - a[0]) * t + a[0]), f((b[1] - a[1]) * t + a[1]))
//   def point(a, b, c, d, t):
//     ab, bc, cd = lerp(a, b, t), lerp(b, c, t), lerp(c, d, t)
//     return lerp(lerp(ab, bc, t), lerp(bc, cd, t), t)
//   h, last, start = 2166136261, 0, 100
//   for now in range(100, 5001, 100):
//     if f((now - start) / 1000) > 2.0:                          # the timed choice
//       targets = [randomize() for _ in range(3)]; start = now
//       targets[0][3], targets[1][3], targets[2][3] = targets[1][0], targets[2][0], targets[0][0]
//     k = min(max(f((now - last) * 0.0004), 0.0), 1.0); last = now
//     shown = [[(f((t[0] - c[0]) * k + c[0]), f((t[1] - c[1]) * k + c[1])) for c, t in zip(cs, tg)]
//              for cs, tg in zip(shown, targets)]
//     for controls in shown:                                     # each curve, then its dots
//       curve = [p for i in range(1000) for p in point(*controls, f(i / 999))]
//       for v in curve + list(sum(controls, ())):
//         h = ((h ^ word(v)) * 16777619) % 2**32
const FIRST_FRAMES = 0x63e50390;
// What the canvas shows: its size, a digest of its pixels, how many are red, green and blue, how
// many white (the caption's) and from which column to which, and when.
const LOOK = `const gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, p = new Uint8Array(width * gl.drawingBufferHeight * 4);
  gl.readPixels(0, 0, width, gl.drawingBufferHeight, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const seen = {width, height: gl.drawingBufferHeight, digest: 0, red: 0, green: 0, blue: 0,
                other: 0, white: 0, left: width, right: -1, ms: ${CLOCK}};
  for (let i = 0; i < p.length; i += 4) {
    seen.digest = (seen.digest * 31 + p[i] + 7 * p[i + 1] + 13 * p[i + 2]) % 1000000007;
    if (p[i] > 200 && p[i + 1] > 200 && p[i + 2] > 200) {
      seen.white++, seen.left = Math.min(seen.left, i / 4 % width);
      seen.right = Math.max(seen.right, i / 4 % width);
    }
    const pure = p[i] + p[i + 1] + p[i + 2] < 300;
    seen[p[i] > 200 ? 'red' : p[i + 1] > 200 ? 'green' : p[i + 2] > 230 ? 'blue' : 'other'] += pure;
  }
  return seen;`;
// Where the canvas is on the page, and whether the page scrolls sideways.
const LAYOUT = `const shown = document.getElementById('canvas').getBoundingClientRect().toJSON();
  return {...shown, view: document.documentElement.clientWidth, innerWidth, innerHeight, devicePixelRatio,
          scroll: document.documentElement.scrollWidth};`;
// Loaded before anything else of the page: keeps each frame readable after it is shown, counts the
// animation frames the page asks for, and notes what the page reports, for the whole run (errors,
// failed loads, console warnings and errors, policy violations). At /?frozen, the page's clock
// stands still until stepFrames() moves it, running the frame asked for at each step.
const HOOK = `window.framesAsked = 0;
  let request = requestAnimationFrame;
  if (location.search == '?frozen') {
    let now = 0;
    const due = [];
    performance.now = () => now;
    Date.now = () => 1.8e12 + now;
    request = callback => due.push(callback);
    // An FNV-1a digest of the bits of every vertex drawn in these frames.
    window.stepFrames = async (frames, ms) => {
      let digest = 2166136261;
      const draw = webGL.draw;
      webGL.draw = (mode, vertices, count) => {
        for (let i = vertices >> 2; i < (vertices >> 2) + 2 * count; ++i) digest = Math.imul(digest ^ HEAPU32[i], 16777619);
        draw(mode, vertices, count);
      };
      for (let frame = 0; frame < frames; ++frame) {
        now += ms;
        due.splice(0).forEach(callback => callback(now));
        await new Promise(resolve => setTimeout(resolve, 20));  // for the browser to show the frame
      }
      webGL.draw = draw;
      return digest >>> 0;
    };
  }
  window.requestAnimationFrame = callback => { ++framesAsked; return request(callback); };
  const noted = JSON.parse(sessionStorage.problems || '[]');
  const note = problem => { noted.push(problem); sessionStorage.problems = JSON.stringify(noted); };
  addEventListener('error', event => note('error: ' + (event.message || event.target.src)), true);
  addEventListener('unhandledrejection', event => note('rejection: ' + event.reason));
  document.addEventListener('securitypolicyviolation', event =>
    note('policy violation: ' + event.violatedDirective + ' ' + event.blockedURI));
  for (const level of ['error', 'warn']) {
    const log = console[level];
    console[level] = (...args) => { note(level + ': ' + args.join(' ')); log.apply(console, args); };
  }
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    return getContext.call(this, type, {...attributes, preserveDrawingBuffer: true}); };`;

// The site as built, with the hook as the page's first script, and the service worker stamped
// again so that it keeps the hook too.
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const site = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'bezier2d-')), 'site');
const stamp = () => execFileSync(
    'cmake',
    [`-DSITE=${site}`, `-DTEMPLATE=${source}/web/sw.js`, '-P', `${source}/web/stamp_worker.cmake`]);
fs.cpSync(built, site, {recursive: true});
fs.writeFileSync(path.join(site, 'test-hook.js'), HOOK);
const page = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
fs.writeFileSync(
    path.join(site, 'index.html'),
    page.replace('<head>', '<head><script src="test-hook.js"></script>'));
stamp();

let server = await serve(site);
const port = server.address().port;
let browser = await launch(engine);
const skipped = [];
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const look = () => browser.run(LOOK);
const layout = () => browser.run(LAYOUT);
const text = id => browser.run(`return document.getElementById('${id}').textContent`);
const fail = (what, seen) => {
  throw new Error(`${engine}: ${what}${seen === undefined ? '' : ': ' + JSON.stringify(seen)}`);
};

// Polls check() until it returns something true, for at most `seconds`.
async function until(what, check, seconds = 30) {
  const end = Date.now() + 1000 * seconds;
  for (let result; !(result = await check()); await sleep(50)) {
    if (Date.now() > end) fail(`waited ${seconds} s for ${what}`);
  }
  return check();
}

async function start() {
  await browser.load(`http://127.0.0.1:${port}/`);
  await until('the caption', async () => await text('caption') == CAPTION);
  return look();
}

// Space, or a tap or a left click in the middle of the canvas.
async function press(kind) {
  if (kind == 'space') return browser.key('Space');
  const shown = await layout(), x = shown.x + shown.width / 2, y = shown.y + shown.height / 2;
  return kind == 'tap' ? browser.tap(x, y) : browser.click(x, y);
}

// Counts the presses that reach the program's keyboard handler from now on.
const countPresses = () => browser.run(`window.presses = 0; const deliver = glut.keyboard;
  glut.keyboard = (...args) => { ++presses; deliver(...args); };`);

// Presses at once after a start and checks that the curves move before the first timed choice;
// returns how many presses of space a tap or a click made. A busy machine may leave too little of
// the first two seconds to tell: then the page is loaded again.
async function setsMoving(kind) {
  let fresh, moved;
  for (let attempt = 0; attempt < 3; ++attempt) {
    fresh = await start();
    await countPresses();
    await press(kind);
    moved = await until('a change or two seconds', async () => {
      const seen = await look();
      return (seen.digest != fresh.digest || seen.ms >= 2000) && seen;
    });
    if (moved.digest != fresh.digest && moved.ms < 2000) {
      await sleep(500);  // long enough for a mouse click made up after a tap
      return browser.run('return presses');
    }
  }
  fail(`${kind} did not move the curves`, [fresh, moved]);
}

// Checks that the picture holds still, and the page asks for no frame, past the two-second timer.
async function holdsStill(why) {
  const before = await look(), asked = await browser.run('return framesAsked');
  await sleep(2500);
  const after = await look(), frames = await browser.run('return framesAsked') - asked;
  if (after.digest != before.digest || frames) fail(`${why}: moved, or asked for ${frames} frames`);
}

async function noViolations(where) {
  const axe =
      fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
  const violations = await browser.run(`${axe}; return (await axe.run()).violations.map(violation =>
    violation.id + ': ' + violation.nodes.map(node => node.target).join(', '))`);
  if (violations.length) fail(`axe-core, ${where}`, violations);
}

try {
  // Left alone, the curves start on their targets and hold still until the first timed choice of
  // new targets, two seconds in; then they move apart. The caption spans the columns that
  // freeglut's glyphs take on the desktop.
  await browser.viewport(1000, 700);
  const first = await start();
  if (first.width != 720 || first.height != 540) fail('canvas', first);
  if (!(first.blue > 100 && first.red > 10)) fail('first frame', first);
  if (first.left != 6 || first.right != 666) fail('caption columns', first);
  const timed = await until('2.3 s', async () => {
    const seen = await look();
    return seen.ms >= 2300 && seen;
  });
  await until('motion after two seconds', async () => (await look()).digest != timed.digest, 10);
  await until('the green curve', async () => (await look()).green > 100, 10);
  await noViolations('desktop');
  // A frame runs one animation step and makes next to no garbage.
  const cost = await frameCost(browser, 3000);
  if (cost.steps > 1.1 || cost.garbage > 16384) fail("a frame's cost", cost);
  if (cost.garbage === undefined) skipped.push('garbage per frame (no heap profiler)');
  await setsMoving('space');
  if (await setsMoving('click') != 1) fail('a click did not press space once');

  // Tab leaves the canvas for the Pause button, and space there presses the button, not the
  // program's space bar. Paused, nothing is drawn past the timer; Play goes on from there, the
  // pause not counted in the program's time; Shift+Tab returns to the canvas.
  await countPresses();
  const focused = () => browser.run('return document.activeElement.id');
  if (await focused() != 'canvas') fail('focus at the start', await focused());
  await browser.key('Tab');
  if (await focused() != 'pause') fail('Tab from the canvas went to', await focused());
  const running = await look();
  await browser.key('Space');
  if (await text('pause') != 'Play') fail('space on the Pause button did not pause');
  await holdsStill('paused');
  await browser.key('Space');
  const resumed = await until('motion after Play', async () => {
    const seen = await look();
    return seen.digest != running.digest && seen;
  }, 10);
  if (resumed.ms - running.ms > 1500) fail(`the pause counted: ${resumed.ms - running.ms} ms`);
  if (await browser.run('return presses') != 0) fail('space on the button reached the program');
  await browser.key('Shift+Tab');
  if (await focused() != 'canvas') fail('Shift+Tab went to', await focused());

  // The same bits in every engine: the vertices of the first frames on a frozen clock.
  await browser.load(`http://127.0.0.1:${port}/?frozen`);
  await until(
      'the program', () => browser.run("return typeof glut != 'undefined' && glut.frameRequested"));
  const digest = await browser.run('return stepFrames(50, 100)');
  if (digest != FIRST_FRAMES)
    fail(`the first 50 frames' vertices: digest 0x${digest.toString(16)}`);

  // On a system that asks for reduced motion, the page starts still, with Play offered; it
  // follows a change of the wish while it is open, where the browser can make one.
  const usual = browser;
  browser = await launch(engine, {reducedMotion: true});
  try {
    await browser.viewport(1000, 700);
    await start();
    if (await text('pause') != 'Play') fail('reduced motion: no Play offered');
    await holdsStill('reduced motion');
    if (browser.reduceMotion) {
      await browser.reduceMotion(false);
      await until(
          'motion when the wish is withdrawn', async () => await text('pause') == 'Pause', 10);
      await browser.reduceMotion(true);
      await until('stillness when it is made again', async () => await text('pause') == 'Play', 10);
    } else {
      skipped.push('a change of the wish for reduced motion while the page is open');
    }
  } finally {
    await browser.close();
    browser = usual;
  }

  await browser.viewport(390, 844, 3, true);
  const phone = await start(), shown = await layout();
  if (shown.devicePixelRatio != 3)
    skipped.push(`a screen of three device pixels a CSS pixel (${shown.devicePixelRatio} here)`);
  if (!(shown.view == shown.innerWidth && shown.scroll <= shown.view)) fail('sideways', shown);
  if (!(shown.right <= shown.view && shown.bottom <= shown.innerHeight)) fail('not in view', shown);
  if (Math.abs(3 * shown.width - 4 * shown.height) >= 1) fail('not 4:3', shown);
  const ratio = shown.devicePixelRatio;
  if (phone.width != Math.round(ratio * shown.width) ||
      phone.height != Math.round(ratio * shown.height)) {
    fail('backing store', [phone, shown]);
  }
  if (!(phone.left > 0 && phone.right < phone.width - 1)) fail('caption', phone);
  await noViolations('phone');
  if (browser.tap) {
    if (await setsMoving('tap') != 1) fail('a tap did not press space once');
  } else {
    skipped.push('a tap (no touch)');
  }

  await browser.run(`window.context = document.getElementById('canvas').getContext('webgl')
    .getExtension('WEBGL_lose_context'); context.loseContext();`);
  await until('the context lost', () => browser.run('return webGL.gl.isContextLost()'));
  await browser.run('context.restoreContext()');
  const back = await until('frames again', async () => {
    const seen = await look();
    return seen.blue > 100 && seen;
  });
  await until('motion again', async () => (await look()).digest != back.digest, 10);

  const icon = await browser.run(`return fetch(document.querySelector('link[rel=icon]').href)
    .then(response => response.headers.get('content-type'))`);
  if (!icon.startsWith('image/')) fail('favicon', icon);
  if (browser.cdp) {
    const installable = await browser.cdp('Page.getInstallabilityErrors');
    if (installable.installabilityErrors.length) fail('not installable', installable);
  } else {
    skipped.push('installability (no DevTools protocol)');
  }
  await start();
  await until(
      'a service worker', () => browser.run('return navigator.serviceWorker.controller != null'));
  // With the server gone, only the service worker has the site.
  server.stop();
  const offline = await start();
  await until('frames offline', async () => (await look()).digest != offline.digest, 10);
  // A rebuilt site with one file changed: its worker, with a new cache, replaces the old one.
  const cacheName = () =>
      fs.readFileSync(path.join(site, 'sw.js'), 'utf8').match(/bezier2d-[0-9a-f]+/)[0];
  const old = cacheName();
  fs.appendFileSync(path.join(site, 'index.html'), '<!-- rebuilt -->\n');
  stamp();
  const cache = cacheName();
  if (cache == old) fail(`the cache keeps its name ${old} for changed content`);
  server.close();
  server = await serve(site, port);
  // The browser looks for a new worker when a visitor comes back; the test asks for it at once.
  await start();
  await until(
      "the rebuilt site's cache alone",
      async () =>
          JSON.stringify(await browser.run(
              'await (await navigator.serviceWorker.getRegistration()).update(); return caches.keys()')) ==
          `["${cache}"]`);

  const problems = [
    ...browser.messages, ...await browser.run('return JSON.parse(sessionStorage.problems || "[]")')
  ];
  if (problems.length) fail('the page reported', problems);
  // The policy is in force: a script written into the page does not run.
  if (await browser.run(`const script = document.createElement('script');
    script.textContent = 'window.inlineRan = true'; document.head.append(script);
    return window.inlineRan`))
    fail('an inline script ran: no policy');
  console.log(
      `ok (${engine}): desktop and phone: the page fits, draws, moves after two seconds, and ` +
      'space, a click or a tap moves it sooner, a frame one step without garbage; the same ' +
      'vertices as computed outside; Tab, Pause and reduced motion work; axe-core finds ' +
      'nothing; it draws again after a lost context, and works offline');
  for (const what of skipped)
    console.log(`skipped in ${engine}, which its driver cannot do: ${what}`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(path.dirname(site), {recursive: true});
}
