// The web page in one browser engine (chromium, firefox or webkit), as a desktop browser and as a
// phone (390 x 844 CSS pixels, at three device pixels each with touch where the engine can
// emulate them), checked as a person sees it. On a clock the test freezes and steps, the first
// frame's picture: the window's blue, lines one CSS pixel wide, round dots five view pixels
// across blended at their rims, the caption where the desktop program puts it; a key that is not
// space changes nothing, and space changes the picture without scrolling the page. Live: the
// curves move after the first two seconds, and space or a click sets them moving sooner, each as
// one press; a frame runs one animation step and makes next to no garbage; a resized page gets a
// backing store of its new size. For every person: Tab leaves the canvas for the Pause button
// and Shift+Tab comes back; the button stops the frames and the picture past the timer, and Play
// goes on without counting the pause; a system that asks for reduced motion gets a still page
// with Play offered; axe-core finds nothing. On the phone: the whole window is in view, 4:3, with
// no sideways scrolling, its backing store at the screen's density; a tap is one press of space;
// after the WebGL context is lost and restored, frames come again. As an app: the browser finds
// it installable, its service worker keeps it starting with the server gone, and a rebuilt site
// replaces the old cache. Throughout, under the page's strict policy: no error, warning or policy
// violation. What an engine's driver cannot do is skipped, and said; the last lines count what
// was checked and what was skipped. Times are read from the program's own clock, GLUT's elapsed
// milliseconds. The site is served over HTTP from a copy, which the test rebuilds.
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
// The window's background, 0.1, 0.57, 0.8, in bytes; the caption's first column and row from the
// window's top left, and its last column, in view units, as freeglut draws it on the desktop
// (end_to_end.sh checks the first two there).
const BACKGROUND = [26, 145, 204];
const CAPTION_PLACE = [6, 6, 666];
// What the canvas shows: its size, a digest of its pixels, how many are red, green and blue, how
// many white (the caption's) and from which column to which, and when.
const LOOK = `const gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, p = new Uint8Array(width * gl.drawingBufferHeight * 4);
  gl.readPixels(0, 0, width, gl.drawingBufferHeight, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const seen = {width, height: gl.drawingBufferHeight, digest: 0, red: 0, green: 0, blue: 0,
                other: 0, ms: ${CLOCK}};
  for (let i = 0; i < p.length; i += 4) {
    seen.digest = (seen.digest * 31 + p[i] + 7 * p[i + 1] + 13 * p[i + 2]) % 1000000007;
    const pure = p[i] + p[i + 1] + p[i + 2] < 300;
    seen[p[i] > 200 ? 'red' : p[i + 1] > 200 ? 'green' : p[i + 2] > 230 ? 'blue' : 'other'] += pure;
  }
  return seen;`;
// What a person would notice of a frame whose blue curve's length and dots (in view units, as
// stepFrames() returns them) are known: the commonest colour (the background); the blue line's
// width in CSS pixels (its area over its length, a pixel's coverage read from how much less green
// it has than the background); the caption's first column and
// row and its last column, in view units from the top left; and for each dot in the view with no
// other near it, whether it is red 1.5 units from its centre along either axis and not at 3.5
// units, nor at the corners of the square around it, and how many pixels at its rim blend red with
// what is under.
const PICTURE = `const [drawn] = args, gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, height = gl.drawingBufferHeight, unit = width / 720;
  const p = new Uint8Array(4 * width * height);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const at = (x, y) => {
    const i = 4 * ((height - 1 - Math.floor(y)) * width + Math.floor(x));
    return [p[i], p[i + 1], p[i + 2]];
  };
  const red = ([r, g, b]) => r > 150 && g < 110 && b < 110;
  const counts = new Map();
  let blue = 0, left = width, top = height, right = -1;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const [r, g, b] = at(x, y), colour = r + ',' + g + ',' + b;
      counts.set(colour, (counts.get(colour) || 0) + 1);
      if (r < 60) blue += Math.max(0, 1 - g / ${BACKGROUND[1]});
      if (r > 200 && g > 200 && b > 200) {
        left = Math.min(left, x);
        top = Math.min(top, y);
        right = Math.max(right, x);
      }
    }
  }
  const apart = ([x, y]) => drawn.dots.every(([u, v]) => {
    const distance = Math.hypot(u - x, v - y);
    return distance == 0 || distance > 10;
  });
  const axes = [[1, 0], [0, 1], [-1, 0], [0, -1]], corners = [[1, 1], [1, -1], [-1, 1], [-1, -1]];
  const dots = drawn.dots.filter(([x, y]) => x > 5 && x < 715 && y > 5 && y < 510 && apart([x, y]))
    .map(([x, y]) => {
      // Its centre as drawn: the middle of its red pixels near where it belongs.
      let cx = 0, cy = 0, n = 0, rim = 0;
      for (let dy = -3.5 * unit; dy <= 3.5 * unit; ++dy) {
        for (let dx = -3.5 * unit; dx <= 3.5 * unit; ++dx) {
          const u = Math.floor(x * unit + dx), v = Math.floor((540 - y) * unit + dy);
          const [r, g] = at(u, v);
          if (red([r, g, 0])) {
            cx += u + 0.5;
            cy += v + 0.5;
            ++n;
          }
          rim += r > 60 && r < 200 && r > g;
        }
      }
      const sample = ([u, v], d) => at(cx / n + d * u * unit, cy / n - d * v * unit);
      return {inner: axes.every(axis => red(sample(axis, 1.5))),
              outer: !axes.some(axis => red(sample(axis, 3.5))),
              round: !corners.some(corner => red(sample(corner, 2.2))), rim};
    });
  const background = [...counts].sort((a, b) => b[1] - a[1])[0][0].split(',').map(Number);
  return {width, height, unit, background, dots, caption: [left / unit, top / unit, right / unit],
          lineWidth: blue / (drawn.blueLength * unit * devicePixelRatio)};`;
// Where the canvas is on the page, and whether the page scrolls sideways.
const LAYOUT = `const shown = document.getElementById('canvas').getBoundingClientRect().toJSON();
  return {...shown, view: document.documentElement.clientWidth, innerWidth, innerHeight,
          devicePixelRatio, scroll: document.documentElement.scrollWidth};`;
// Loaded before anything else of the page: keeps each frame readable after it is shown, counts the
// animation frames the page asks for, and notes what the page reports, for the whole run (errors,
// failed loads, console warnings and errors, policy violations). At /?frozen, the page's clock
// stands still until stepFrames() moves it, running the frame asked for at each step; it returns
// what the last of them drew: the blue curve's length and the dots, in view units.
const HOOK = `window.framesAsked = 0;
  let request = requestAnimationFrame;
  if (location.search == '?frozen') {
    let now = 0;
    const due = [];
    performance.now = () => now;
    Date.now = () => 1.8e12 + now;
    request = callback => due.push(callback);
    window.stepFrames = async (frames, ms) => {
      const draw = webGL.draw;
      let drawn;
      webGL.draw = (mode, vertices, count, state) => {
        const v = HEAPF32, first = vertices >> 2;
        for (let i = first; i < first + 2 * count; i += 2) {
          if (mode == 0) drawn.dots.push([v[i], v[i + 1]]);
          else if (i > first && v[(state >> 2) + 2] == 1 && v[state >> 2] == 0)
            drawn.blueLength += Math.hypot(v[i] - v[i - 2], v[i + 1] - v[i - 1]);
        }
        draw(mode, vertices, count, state);
      };
      for (let frame = 0; frame < frames; ++frame) {
        drawn = {blueLength: 0, dots: []};
        now += ms;
        due.splice(0).forEach(callback => callback(now));
        await new Promise(resolve => setTimeout(resolve, 20));  // for the browser to show the frame
      }
      webGL.draw = draw;
      return drawn;
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
    console[level] = (...args) => {
      note(level + ': ' + args.join(' '));
      log.apply(console, args);
    };
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
const checked = [], skipped = [];
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const look = () => browser.run(LOOK);
const layout = () => browser.run(LAYOUT);
const text = id => browser.run(`return document.getElementById('${id}').textContent`);
const fail = (what, seen) => {
  throw new Error(`${engine}: ${what}${seen === undefined ? '' : ': ' + JSON.stringify(seen)}`);
};
const near = (value, expected, within) => Math.abs(value - expected) <= within;

// Polls check() until it returns something true, for at most `seconds`.
async function until(what, check, seconds = 30) {
  const end = Date.now() + 1000 * seconds;
  for (let result; !(result = await check()); await sleep(50)) {
    if (Date.now() > end) fail(`waited ${seconds} s for ${what}`);
  }
  return check();
}

// Loads the page on the frozen clock and runs its first frame; returns what that frame drew.
async function firstFrozenFrame() {
  await browser.load(`http://127.0.0.1:${port}/?frozen`);
  await until(
      'the program', () => browser.run("return typeof glut != 'undefined' && glut.frameRequested"));
  return browser.run('return stepFrames(1, 100)');
}

// Checks the first frame as a person sees it (at the ratio of device pixels to CSS pixels that
// the browser has now): the background; the blue line about one CSS pixel wide; the caption where
// the desktop program puts it, whole, to the pixel at the window's own size; each dot red to 1.5
// view units from its centre and not at 3.5, so about five across, and blended at its rim; and,
// where a view unit is large enough to tell (1.5 device pixels), round. Answers whether it was.
async function checkFirstFrame(where) {
  const seen = await browser.run(PICTURE, await firstFrozenFrame());
  const round = seen.unit >= 1.5, summary = {...seen, dots: seen.dots.length};
  if (!seen.background.every((byte, i) => near(byte, BACKGROUND[i], 1)))
    fail(`${where}: background`, summary);
  if (!near(seen.lineWidth, 1, 0.35)) fail(`${where}: lines not one CSS pixel wide`, summary);
  if (!seen.caption.every((value, i) => near(value, CAPTION_PLACE[i], seen.unit == 1 ? 0 : 1)))
    fail(`${where}: the caption's place`, summary);
  if (!seen.dots.length) fail(`${where}: no dot to look at`, summary);
  if (!seen.dots.every(dot => dot.inner && dot.outer && dot.rim >= 4 && (dot.round || !round)))
    fail(`${where}: dots not five view pixels across, blended${round ? ' and round' : ''}`, seen);
  checked.push(`the first frame as drawn, ${where}`);
  return round;
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
  checked.push(`axe-core finds nothing, ${where}`);
}

try {
  // The first frame, on a frozen clock: the curves lie on their targets, all three alike. A key
  // that is not space ('Р', whose code ends as space's does) leaves it as it is; space chooses
  // new targets and sets the curves moving, without scrolling the page (made taller to tell).
  await browser.viewport(1000, 700);
  let round = await checkFirstFrame('on the desktop');
  await browser.run(
      "document.body.append(document.createElement('div')); " +
      "document.body.lastChild.style.height = '3000px'");
  const still = await look();
  await browser.key('Р');
  await browser.run('return stepFrames(5, 100)');
  if ((await look()).digest != still.digest) fail('a key that is not space changed the picture');
  await browser.key('Space');
  await browser.run('return stepFrames(5, 100)');
  await sleep(300);  // for a scroll to show
  if ((await look()).digest == still.digest) fail('space did not change the picture');
  if (await browser.run('return scrollY')) fail('space scrolled the page');
  checked.push('only space of the keys chooses new curves, and it does not scroll the page');

  // Left alone, the curves start on their targets and hold still until the first timed choice of
  // new targets, two seconds in; then they move apart.
  const first = await start();
  if (first.width != 720 || first.height != 540) fail('canvas', first);
  const timed = await until('2.3 s', async () => {
    const seen = await look();
    return seen.ms >= 2300 && seen;
  });
  await until('motion after two seconds', async () => (await look()).digest != timed.digest, 10);
  await until('the green curve', async () => (await look()).green > 100, 10);
  checked.push('the curves move apart after two seconds');
  await noViolations('desktop');
  // A frame runs one animation step and makes next to no garbage, once its few functions are
  // compiled: until then, the numbers they handle are boxed, which is garbage too.
  if (browser.cdp) await until('8 s', async () => await browser.run(`return ${CLOCK}`) >= 8000);
  const cost = await frameCost(browser, 3000);
  if (cost.steps > 1.1 || cost.garbage > 1024) fail("a frame's cost", cost);
  const garbage =
      cost.garbage === undefined ? '' : ` and makes ${Math.round(cost.garbage)} bytes of garbage`;
  checked.push(`a frame runs one animation step${garbage} (at most 1 KiB)`);
  if (cost.garbage === undefined) skipped.push('garbage per frame (no heap profiler)');
  await setsMoving('space');
  if (await setsMoving('click') != 1) fail('a click did not press space once');
  checked.push('space and a click set the curves moving at once, a click as one press');

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
  checked.push('Tab to Pause, which holds the picture still until Play, and Shift+Tab back');

  // A resized page draws into a backing store of its new size.
  await browser.viewport(600, 500);
  await until('a backing store of the new size', async () => {
    const [seen, shown] = [await look(), await layout()];
    return shown.width < 720 && seen.width == Math.round(shown.width * shown.devicePixelRatio) &&
        seen.height == Math.round(shown.height * shown.devicePixelRatio);
  }, 10);
  checked.push('a resized page draws at its new size');

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
    checked.push('reduced motion: the page opens still, with Play offered');
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
  checked.push('on a phone, the window whole in view, 4:3, with a backing store to match');
  await noViolations('phone');
  if (ratio == 3) round = await checkFirstFrame('on a phone') || round;
  if (!round) skipped.push('round dots (too few device pixels a view unit to tell)');
  if (browser.tap) {
    if (await setsMoving('tap') != 1) fail('a tap did not press space once');
    checked.push('a tap sets the curves moving at once, as one press');
  } else {
    skipped.push('a tap (no touch)');
    await start();
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
  checked.push('frames again after the WebGL context is lost and restored');

  if (browser.cdp) {
    const installable = await browser.cdp('Page.getInstallabilityErrors');
    if (installable.installabilityErrors.length) fail('not installable', installable);
    checked.push('installable');
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
  checked.push('a service worker, and frames with the server gone');
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
  const update =
      'await (await navigator.serviceWorker.getRegistration()).update(); return caches.keys()';
  await until(
      "the rebuilt site's cache alone",
      async () => JSON.stringify(await browser.run(update)) == `["${cache}"]`);
  checked.push("a rebuilt site's worker replaces the old cache");

  const problems = [
    ...browser.messages, ...await browser.run('return JSON.parse(sessionStorage.problems || "[]")')
  ];
  if (problems.length) fail('the page reported', problems);
  // The policy is in force: a script written into the page does not run.
  if (await browser.run(`const script = document.createElement('script');
    script.textContent = 'window.inlineRan = true'; document.head.append(script);
    return window.inlineRan`))
    fail('an inline script ran: no policy');
  checked.push('nothing reported throughout, and the policy in force');
  console.log(`ok (${engine}): ${checked.length} checks passed, ${skipped.length} skipped`);
  for (const what of checked) console.log(`checked in ${engine}: ${what}`);
  for (const what of skipped) console.log(`skipped in ${engine}: ${what}`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(path.dirname(site), {recursive: true});
}
