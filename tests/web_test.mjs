// The web page in one browser engine (chromium, firefox or webkit), checked as a person sees and
// hears it, as a desktop browser and as a phone (390 x 844 CSS pixels, at three device pixels
// each with touch where the engine can emulate them). Most checks run on a clock the test
// freezes and steps, frame by frame. The first frame's picture: the window's blue, lines one CSS
// pixel wide, round dots five view pixels across blended at their rims, the caption where the
// desktop program puts it. Keys: one that is not space changes nothing; space, a click or a tap
// changes the picture, once, and space does not scroll the page. Pause, reached with Tab, holds
// the picture and GLUT's clock still and is heard; paused, space shows new curves at once; Play
// goes on. A resized page, and one moved to another density while paused, draws at its new size.
// Reduced motion: the page opens paused, and one press shows three curves. Text spaced wide at
// 320 CSS pixels and at 400 % zoom stays below the window; on paper the text is readable;
// axe-core finds nothing. On the real clock: the curves move apart after two seconds, a frame
// runs one animation step and makes next to no garbage, frames come again after a lost context
// is restored, and a context not given back is said. Failures said, on the page and to a screen
// reader, without an uncaught error: JavaScript off, the WebAssembly missing, no WebGL, shaders
// that do not build. As an app: installable, working with the server gone, and a new build
// arriving whole on a host that sends only Last-Modified, even when its worker arrives first.
// Throughout, under the page's strict policy: no error, warning or policy violation. What an
// engine's driver cannot do is skipped, and said; the last lines count what was checked and what
// was skipped. The site is served over HTTP from a copy, which the test rebuilds.
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
const CLOCK = 'return performance.now() - glut.startTime';
const axe = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
// The page's WebGL context's extension that loses it and gives it back (kept: a lost context has
// no extensions).
const context = "(window.loser ??= document.getElementById('canvas').getContext('webgl')" +
    ".getExtension('WEBGL_lose_context'))";
// The window's background, 0.1, 0.57, 0.8, in bytes; the caption's first column and row from the
// window's top left, and its last column, in view units, as freeglut draws it on the desktop
// (end_to_end.sh checks the first two there).
const BACKGROUND = [26, 145, 204];
const CAPTION_PLACE = [6, 6, 666];
// What the canvas shows: its size, a digest of its pixels, and how many are red, green and blue.
// Given what the frame drew (the blue curve's length and the dots, in view units, as stepFrames()
// returns them), also what a person would notice: how much of it is the window's blue; the
// blue line's width in CSS pixels (its area over its length, a pixel's coverage read from how
// much less green it has than the background); the caption's first column and row and its last
// column, in view units from the top left; and for each dot in the view with no other near it,
// whether it is red 1.5 units from its centre along either axis and not at 3.5 units, nor at the
// corners of the square around it, and how many pixels at its rim blend red with what is under.
const LOOK = `const [drawn] = args, gl = document.getElementById('canvas').getContext('webgl');
  const width = gl.drawingBufferWidth, height = gl.drawingBufferHeight, unit = width / 720;
  const p = new Uint8Array(4 * width * height);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const at = (x, y) => {
    const i = 4 * ((height - 1 - Math.floor(y)) * width + Math.floor(x));
    return [p[i], p[i + 1], p[i + 2]];
  };
  const red = ([r, g, b]) => r > 150 && g < 110 && b < 110;
  const seen = {width, height, unit, digest: 0, red: 0, green: 0, blue: 0, background: 0};
  let blue = 0, left = width, top = height, right = -1;
  for (let i = 0; i < p.length; i += 4) {
    const [r, g, b] = p.subarray(i, i + 3), x = i / 4 % width, y = height - 1 - Math.floor(i / 4 / width);
    seen.digest = (seen.digest * 31 + r + 7 * g + 13 * b) % 1000000007;
    seen[r > 200 ? 'red' : g > 200 ? 'green' : b > 230 ? 'blue' : 'other'] += r + g + b < 300;
    if (!drawn) continue;
    seen.background += [r, g, b].every((byte, k) => Math.abs(byte - ${
    JSON.stringify(BACKGROUND)}[k]) <= 1);
    if (r < 60) blue += Math.max(0, 1 - g / ${BACKGROUND[1]});
    if (r > 200 && g > 200 && b > 200) {
      left = Math.min(left, x);
      top = Math.min(top, y);
      right = Math.max(right, x);
    }
  }
  if (!drawn) return seen;
  const near = ([x, y]) => ([u, v]) => Math.hypot(u - x, v - y) > 0 && Math.hypot(u - x, v - y) < 10;
  const axes = [[1, 0], [0, 1], [-1, 0], [0, -1]], corners = [[1, 1], [1, -1], [-1, 1], [-1, -1]];
  const dots = drawn.dots.filter(([x, y]) => x > 5 && x < 715 && y > 5 && y < 510 && !drawn.dots.some(near([x, y])))
    .map(([x, y]) => {
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
      return {inner: axes.every(axis => red(sample(axis, 1.5))),
              outer: !axes.some(axis => red(sample(axis, 3.5))),
              round: !corners.some(corner => red(sample(corner, 2.2))), rim};
    });
  return {...seen, background: seen.background / (width * height), dots, caption: [left / unit, top / unit, right / unit],
          lineWidth: blue / (drawn.blueLength * unit * devicePixelRatio)};`;
// Where the canvas and the controls are on the page, and how wide the page is to scroll.
const LAYOUT = `const box = id => document.getElementById(id).getBoundingClientRect().toJSON();
  const hint = document.getElementById('hint');
  return {...box('canvas'), controls: box('controls'), parts: [box('hint'), box('pause')],
          clipped: hint.scrollHeight > hint.clientHeight + 1, view: document.documentElement.clientWidth,
          innerWidth, innerHeight, devicePixelRatio, scroll: document.documentElement.scrollWidth};`;
// What the page gives a screen reader, where the driver has no accessibility tree: its rendered
// text and the names of what shows.
const SHOWN = `return [document.body.innerText, ...[...document.querySelectorAll('[aria-label]')]
  .filter(element => element.checkVisibility()).map(element => element.ariaLabel)].join(' / ');`;
// Loaded before anything else of the page: keeps each frame readable after it is shown, and notes
// what the page reports, for the whole run (uncaught errors and rejections, files that did not
// arrive, console warnings and errors, policy violations). At ?frozen, the page's clock stands
// still until stepFrames() moves it, running the frames asked for (window.due) at each step; it
// returns what the last of them drew: the blue curve's length and the dots, in view units. At
// ?nowebgl the browser has no WebGL; at ?noshaders no shader links.
const HOOK = `const wish = new URLSearchParams(location.search);
  if (wish.has('frozen')) {
    let now = 0;
    const due = [];
    performance.now = () => now;
    Date.now = () => 1.8e12 + now;
    window.due = due;
    requestAnimationFrame = callback => due.push(callback);
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
  const noted = JSON.parse(sessionStorage.problems || '[]');
  const note = problem => { noted.push(problem); sessionStorage.problems = JSON.stringify(noted); };
  addEventListener('error', event =>
    note(event.message ? 'uncaught: ' + event.message : 'missing: ' + event.target.src), true);
  addEventListener('unhandledrejection', event => note('uncaught: ' + event.reason));
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
    return wish.has('nowebgl') ? null :
        getContext.call(this, type, {...attributes, preserveDrawingBuffer: true}); };
  const linked = WebGLRenderingContext.prototype.getProgramParameter;
  WebGLRenderingContext.prototype.getProgramParameter = function (program, name) {
    return !(wish.has('noshaders') && name == this.LINK_STATUS) && linked.call(this, program, name); };`;

// The site as built, with the hook as the page's first script, its files a day old (as the
// browser's HTTP cache would keep them for hours), and the service worker stamped again so that
// it keeps the hook too.
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const site = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'bezier2d-')), 'site');
const stamp = folder => execFileSync('cmake', [
  `-DSITE=${folder}`, `-DTEMPLATE=${source}/web/sw.js`, '-P', `${source}/web/stamp_worker.cmake`
]);
fs.cpSync(built, site, {recursive: true});
fs.writeFileSync(path.join(site, 'test-hook.js'), HOOK);
const page = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
fs.writeFileSync(
    path.join(site, 'index.html'),
    page.replace('<head>', '<head><script src="test-hook.js"></script>'));
stamp(site);
const dayAgo = new Date(Date.now() - 86400000);
for (const file of fs.readdirSync(site)) fs.utimesSync(path.join(site, file), dayAgo, dayAgo);

let server = await serve(site);
const port = server.address().port, url = `http://127.0.0.1:${port}/`;
let browser = await launch(engine);
const checked = [], skipped = [];
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const look = () => browser.run(LOOK);
const layout = () => browser.run(LAYOUT);
const step = (frames, ms) => browser.run(`return stepFrames(${frames}, ${ms})`);
const text = id => browser.run(`return document.getElementById('${id}').textContent`);
const noted = () => browser.run('return JSON.parse(sessionStorage.problems || "[]")');
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

// Loads the page (at `where`, on the real clock unless it says ?frozen) and waits for its first
// frame: on a frozen clock, the test runs it. Answers what that frame drew, when frozen.
async function start(where = url) {
  await browser.load(where);
  if (!where.includes('frozen'))
    return until('the caption', async () => await text('caption') == CAPTION);
  await until('the program', () => browser.run('return window.glut?.frameRequested'));
  return step(1, 100);
}

// What a screen reader is told of the page: the names and texts of the accessibility tree, where
// the driver has it, or else what the page shows.
async function heard() {
  if (!browser.cdp) return browser.run(SHOWN);
  const {nodes} = await browser.cdp('Accessibility.getFullAXTree');
  return nodes.map(node => (!node.ignored && node.name?.value) || '').join(' / ');
}
async function hears(what, phrase) {
  await until(`${what}: "${phrase}" heard`, async () => (await heard()).includes(phrase), 15);
}

// Checks the first frame, which drew `drawn`, as a person sees it (at the ratio of device pixels to
// CSS pixels that the browser has now): the background; the blue line about one CSS pixel wide; the
// caption where the desktop program puts it, whole, to the pixel at the window's own size; each dot
// red to 1.5 view units from its centre and not at 3.5, so about five across, and blended at its
// rim; and, where a view unit is large enough to tell (1.5 device pixels), round. Answers whether
// it was.
async function checkFirstFrame(where, drawn) {
  const seen = await browser.run(LOOK, drawn);
  const round = seen.unit >= 1.5, summary = {...seen, dots: seen.dots.length};
  if (seen.background < 0.5 || !near(seen.lineWidth, 1, 0.35))
    fail(`${where}: not mostly the window's blue, or lines not one CSS pixel wide`, summary);
  if (!seen.caption.every((value, i) => near(value, CAPTION_PLACE[i], seen.unit == 1 ? 0 : 1)))
    fail(`${where}: the caption's place`, summary);
  const dot = dot => dot.inner && dot.outer && dot.rim >= 4 && (dot.round || !round);
  if (!seen.dots.length || !seen.dots.every(dot))
    fail(`${where}: dots not five view pixels across, blended${round ? ' and round' : ''}`, seen);
  checked.push(`the first frame as drawn, ${where}`);
  return round;
}

// On the frozen clock: presses space, or taps or clicks the middle of the canvas, and checks that
// the picture changes at the next frame and the program got one press.
async function press(kind) {
  const before = await look(), shown = await layout();
  await browser.run(`window.presses = 0; window.deliver ??= glut.keyboard;
    glut.keyboard = (...args) => { ++presses; deliver(...args); };`);
  const middle = [shown.x + shown.width / 2, shown.y + shown.height / 2];
  await (kind == 'space' ? browser.key('Space') : browser[kind](...middle));
  await sleep(300);  // long enough for a mouse click made up after a tap, and a page to scroll
  await step(1, 100);
  const presses = await browser.run('return presses');
  if ((await look()).digest == before.digest || presses != 1)
    fail(`${kind}: the picture did not change, or ${presses} presses`);
}

// On the frozen clock: draws a frame, and answers whether it filled a backing store of the
// canvas's shown size times `ratio`.
async function backingStore(ratio) {
  await step(1, 0);
  const [seen, shown] = [await look(), await layout()];
  return seen.width == Math.round(shown.width * ratio) &&
      seen.height == Math.round(shown.height * ratio);
}

// On the frozen clock: checks that no frame is asked for and the picture holds still for 2.5 s.
async function holdsStill(why) {
  const before = await look();
  await step(5, 500);
  if ((await look()).digest != before.digest || await browser.run('return due.length'))
    fail(`${why}: moved, or asked for frames`);
}

async function noViolations(where) {
  const violations = await browser.run(`${axe}; return (await axe.run()).violations.map(violation =>
    violation.id + ': ' + violation.nodes.map(node => node.target).join(', '))`);
  if (violations.length) fail(`axe-core, ${where}`, violations);
  checked.push(`axe-core finds nothing, ${where}`);
}

try {
  // The first frame: the curves lie on their targets, all three alike. A key that is not space
  // ('Р', whose code ends as space's does) leaves it as it is; space chooses new targets without
  // scrolling the page (made taller to tell), and so does a click.
  await browser.viewport(1000, 700);
  let round = await checkFirstFrame('on the desktop', await start(`${url}?frozen`));
  await browser.run("document.body.style.height = '3000px'");
  const still = await look();
  await browser.key('Р');
  await step(5, 100);
  if ((await look()).digest != still.digest) fail('a key that is not space changed the picture');
  await press('space');
  if (await browser.run('return scrollY')) fail('space scrolled the page');
  await press('click');
  checked.push('of the keys only space acts, once, without scrolling; a click acts once');

  // Tab leaves the canvas for the Pause button, where space presses the button: the picture and
  // GLUT's clock stand still, and a screen reader hears it. Paused, space on the canvas shows new
  // curves at once, in one step as long as a stall; Play goes on from there.
  await browser.key('Tab');
  await browser.key('Space');
  await hears('paused', 'Paused');
  const pausedAt = await browser.run(CLOCK);
  await holdsStill('paused');
  await browser.key('Shift+Tab');
  await press('space');
  await holdsStill('paused after a press');
  await browser.key('Tab');
  await browser.key('Space');
  await hears('playing', 'Playing');
  await step(1, 100);
  const ran = await browser.run(CLOCK) - pausedAt;
  if (ran != 2600)
    fail(`GLUT's clock ran ${ran} ms over a pause, a press (2500) and a frame (100)`);
  checked.push('Pause and Play from the keyboard, heard; paused, a press seen at once');

  // A resized page draws at its new size; so does a paused page moved to another density.
  await browser.viewport(600, 500);
  await until('a backing store of the new size', () => backingStore(1), 10);
  // (The page hears of a new density as a browser tells it, by a change of the media query
  // `resolution`, which Chromium's emulation does not make.)
  await browser.run(`document.getElementById('pause').click(); window.told = false;
    matchMedia('(resolution: 1dppx)').addEventListener('change', () => told = true);`);
  await browser.viewport(600, 500, 2);
  await sleep(500);  // for the browser to tell it at its next frame
  const told = await browser.run('return told');
  if (told)
    await until('a backing store at the new density', () => backingStore(2), 10);
  else
    skipped.push('a change of density while paused (none the driver makes tells the page)');
  checked.push(`a resized page draws at its size${told ? ', a paused one at a new density' : ''}`);

  // Text spaced as wide as WCAG 1.4.12 asks at 400 % zoom of 1280 x 1024, 320 x 256 CSS pixels:
  // the hint and the button stay below the window and within their box, the hint's text within
  // the hint, and nothing scrolls sideways.
  await browser.run(`for (const element of document.querySelectorAll('*'))
    Object.assign(element.style, {lineHeight: '1.5', letterSpacing: '0.12em', wordSpacing: '0.16em'});
    for (const p of document.querySelectorAll('p')) p.style.marginBottom = '2em';`);
  await browser.viewport(320, 256);
  await sleep(500);
  const spaced = await layout();
  if (spaced.innerWidth > 320) {
    skipped.push('text spaced wide at 320 CSS pixels (the window is no narrower)');
  } else if (
      spaced.clipped || spaced.scroll > spaced.view ||
      spaced.parts.some(
          part => part.top < spaced.bottom - 0.5 || part.bottom > spaced.controls.bottom + 0.5)) {
    fail('spaced text at 320 x 256', spaced);
  } else {
    checked.push('text spaced wide at 400 % zoom (320 CSS pixels) stays below the window');
  }

  // On the real clock, left alone, the curves start on their targets and hold still until the
  // first timed choice of new targets, two seconds in; then they move apart.
  await browser.viewport(1000, 700);
  await start();
  await until('the green curve', async () => (await look()).green > 100, 10);
  if (await browser.run(CLOCK) < 2000) fail('the curves moved apart before the first timed choice');
  checked.push('the curves move apart after two seconds');
  await noViolations('desktop');
  // A frame runs one animation step and makes next to no garbage, once its few functions are
  // compiled: until then, the numbers they handle are boxed, which is garbage too.
  if (browser.cdp) await until('8 s', async () => await browser.run(CLOCK) >= 8000);
  const cost = await frameCost(browser, 3000);
  if (cost.steps > 1.1 || cost.garbage > 1024) fail("a frame's cost", cost);
  checked.push('a frame runs one animation step');
  if (cost.garbage === undefined)
    skipped.push('garbage per frame (no heap profiler)');
  else
    checked.push(`a frame makes ${Math.round(cost.garbage)} bytes of garbage (at most 1 KiB)`);
  // On paper, which takes no backgrounds, every text that shows is dark.
  if (browser.cdp) {
    await browser.cdp('Emulation.setEmulatedMedia', {media: 'print'});
    const light = await browser.run(`return [...document.querySelectorAll('p, button')]
      .filter(element => element.checkVisibility() && element.innerText.trim())
      .filter(element => getComputedStyle(element).color.match(/\\d+/g).slice(0, 3)
        .reduce((sum, byte) => sum + Number(byte), 0) > 300)
      .map(element => element.id)`);
    if (light.length) fail('light text on paper', light);
    await browser.cdp('Emulation.setEmulatedMedia', {media: ''});
    checked.push('on paper, every text that shows is dark');
  } else {
    skipped.push('the page on paper (no emulation of print)');
  }

  // On a system that asks for reduced motion, the page opens paused on its first frame, where the
  // three curves coincide, and says so; one press shows the three curves of a closed loop. It
  // follows a change of the wish while it is open, where the browser can make one.
  const usual = browser;
  browser = await launch(engine, {reducedMotion: true});
  try {
    await browser.viewport(1000, 700);
    await start(`${url}?frozen`);
    if (await text('pause') != 'Play' || (await look()).green)
      fail('reduced motion: not paused at the start');
    await hears('reduced motion', 'Paused');
    await holdsStill('reduced motion');
    await press('space');
    const {red, green} = await look();
    if (red < 100 || green < 100) fail('reduced motion: one press, not three curves');
    await holdsStill('reduced motion, after a press');
    if (browser.reduceMotion) {
      await browser.reduceMotion(false);
      await until(
          'Play when the wish is withdrawn', async () => await text('pause') == 'Pause', 10);
    } else {
      skipped.push('a change of the wish for reduced motion while the page is open');
    }
    checked.push('reduced motion: opens paused, says so; one press shows three curves');

  } finally {
    await browser.close();
    browser = usual;
  }

  // As a phone: the whole window in view, 4:3, no sideways scrolling, its backing store at the
  // screen's density; the first frame as drawn there; a tap is one press.
  await browser.viewport(390, 844, 3, true);
  const drawn = await start(`${url}?frozen`), shown = await layout();
  const ratio = shown.devicePixelRatio;
  if (ratio == 3)
    round = await checkFirstFrame('on a phone', drawn) || round;
  else
    skipped.push(`a screen of three device pixels a CSS pixel (${ratio} here)`);
  if (!(shown.view == shown.innerWidth && shown.scroll <= shown.view && shown.right <= shown.view &&
        shown.bottom <= shown.innerHeight && near(3 * shown.width, 4 * shown.height, 1) &&
        await backingStore(ratio)))
    fail('on a phone: not whole in view, 4:3, with no sideways scrolling, at its density', shown);
  checked.push('on a phone, the window whole in view, 4:3, with a backing store to match');
  await noViolations('phone');
  if (!round) skipped.push('round dots (too few device pixels a view unit to tell)');
  if (browser.tap) {
    await press('tap');
    checked.push('a tap sets the curves moving at once, as one press');
  } else {
    skipped.push('a tap (no touch)');
  }

  // A lost WebGL context: on the real clock, after five seconds without it the page says so;
  // given back, the page says nothing more and draws again.
  await start();
  await browser.run(`${context}.loseContext()`);
  await hears('a context not given back', 'taken away');
  await browser.run(`${context}.restoreContext()`);
  await until('frames again', async () => (await look()).blue > 100);
  if ((await heard()).includes('taken away')) fail('the message stays after the context came back');
  checked.push('a lost WebGL context said after five seconds; given back, frames again');

  if (browser.cdp) {
    const installable = await browser.cdp('Page.getInstallabilityErrors');
    if (installable.installabilityErrors.length) fail('not installable', installable);
    checked.push('installable');
  } else {
    skipped.push('installability (no DevTools protocol)');
  }
  await until(
      'a service worker', () => browser.run('return navigator.serviceWorker.controller != null'));
  // With the server gone, only the service worker has the site.
  server.stop();
  await start();
  const offline = await look();
  await until('frames offline', async () => (await look()).digest != offline.digest, 10);
  checked.push('a service worker, and frames with the server gone');

  // A new build on a host that sends only Last-Modified, its worker first: the worker finds the
  // other files of the old build, caches nothing and waits; once they are there too, the new
  // build arrives whole, by the next visit. (The browser looks for a new worker when a visitor
  // comes back; the test asks for it at once.)
  const next = path.join(path.dirname(site), 'next');
  fs.cpSync(site, next, {recursive: true});
  for (const [file, end] of [['index.html', '</head>'], ['page.css', /$/]]) {
    const text = fs.readFileSync(path.join(next, file), 'utf8');
    fs.writeFileSync(path.join(next, file), text.replace(end, '<!-- the next build -->$&'));
  }
  stamp(next);
  fs.copyFileSync(path.join(next, 'sw.js'), path.join(site, 'sw.js'));
  server.close();
  server = await serve(site, port);
  const update = `const registration = await navigator.serviceWorker.getRegistration();
    await registration.update().catch(() => {});
    while (registration.installing) await new Promise(resolve => setTimeout(resolve, 50));
    return (await caches.keys()).join();`;
  const oldCache = await browser.run('return (await caches.keys()).join()');
  if (await browser.run(update) != oldCache) fail('a worker cached a half-deployed site');
  for (const file of ['index.html', 'page.css'])
    fs.copyFileSync(path.join(next, file), path.join(site, file));
  await until(
      'the new build cached alone', async () => !(await browser.run(update)).includes(oldCache));
  await start();
  const arrived = await browser.run(`return [document.documentElement.outerHTML,
    await (await fetch('page.css')).text()].map(text => text.includes('the next build'))`);
  if (!arrived.every(Boolean)) fail('the next visit did not get the whole new build', arrived);
  checked.push('a new build arrives whole from a host that sends only Last-Modified, worker first');

  const problems = [...browser.messages, ...await noted()];
  if (problems.length) fail('the page reported', problems);
  // The policy is in force: a script written into the page does not run.
  if (await browser.run(`const script = document.createElement('script');
    script.textContent = 'window.inlineRan = true'; document.head.append(script);
    return window.inlineRan`))
    fail('an inline script ran: no policy');
  checked.push('nothing reported throughout, and the policy in force');

  // Where the page cannot draw, it says so, on the page and to a screen reader, and the canvas
  // claims no curves, with no uncaught error: JavaScript off, the WebAssembly missing (from a host
  // of its own), no WebGL, shaders that do not build (and then a context lost and given back).
  const broken = await serve(site, 0, 'bezier2d.wasm');
  const says = async (what, phrase) => {
    await hears(what, phrase);
    if ((await heard()).includes('Three Bezier curves')) fail(`${what}: the canvas claims curves`);
    if ((await noted()).some(problem => problem.startsWith('uncaught'))) fail(what, await noted());
  };
  if (browser.cdp) {
    await browser.cdp('Emulation.setScriptExecutionDisabled', {value: true});
    await browser.load(url);
    await says('JavaScript off', 'JavaScript, which this browser has turned off');
    await browser.cdp('Emulation.setScriptExecutionDisabled', {value: false});
  } else {
    skipped.push('JavaScript off (the driver cannot turn it off)');
  }
  await browser.load(`http://127.0.0.1:${broken.address().port}/`);
  await says('the WebAssembly missing', 'could not load its program');
  await browser.load(`${url}?nowebgl`);
  await says('no WebGL', 'needs WebGL');
  await browser.load(`${url}?noshaders`);
  await says('shaders that do not build', 'cannot draw the curves');
  await browser.run(`${context}.loseContext(); setTimeout(() => ${context}.restoreContext(), 200)`);
  await sleep(700);
  await says('shaders that do not build, after a lost context', 'cannot draw the curves');
  broken.close();
  checked.push('JavaScript off, the WebAssembly missing, no WebGL, broken shaders: each said');

  console.log(`ok (${engine}): ${checked.length} checks passed, ${skipped.length} skipped`);
  for (const what of checked) console.log(`checked in ${engine}: ${what}`);
  for (const what of skipped) console.log(`skipped in ${engine}: ${what}`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(path.dirname(site), {recursive: true});
}
