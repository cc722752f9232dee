// The web page in one browser engine, checked as a person sees and hears it, on desktop and as a
// phone (390 x 844 CSS pixels at three device pixels each, with touch, where the engine can
// emulate them), each check in a browser context of its own. Most run on a clock the test freezes
// and steps, frame by frame. Throughout, under the page's strict policy, the page must report no
// error, warning or policy violation, except where a check makes it fail. What an engine's driver
// cannot do is skipped, with the reason. The site is served over HTTP from a copy with the test's
// hook (in_page.mjs) as the page's first script, published as the build publishes it.
// Usage: BEZIER2D_ENGINE=chromium|firefox|webkit BEZIER2D_FILES=build-web-tests/site-files \
//          node --test [--test-name-pattern=PATTERN] tests/web/page.test.mjs
// (Firefox and WebKit under script/with-xvfb.)
import assert from 'node:assert/strict';
import {execFileSync, spawn} from 'node:child_process';
import {once} from 'node:events';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {closeShared, frameCost, launch, serve} from '../../script/browsers.mjs';

import * as inPage from './in_page.mjs';

const engine = process.env.BEZIER2D_ENGINE ?? 'chromium';
const built = process.env.BEZIER2D_FILES;  // the site's files, before they are published
const CAPTION =
    "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.";
const CURVES = 'Three Bezier curves easing toward new random targets';  // the canvas's name
// The window's background, 0.1, 0.57, 0.8, in bytes.
const BACKGROUND = [26, 145, 204];
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const axe = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The site's files as built, with the hook, published as the build publishes them, a day old (as
// the browser's HTTP cache would keep them for hours); copied afresh for a check that changes it.
let work, files, site, server;
const publish = (from, to, template = `${source}/web/sw.js`) => {
  execFileSync('cmake', [
    `-DFILES=${from}`, `-DNAMES=${fs.readdirSync(from).join()}`, `-DSITE=${to}`,
    `-DTEMPLATE=${template}`, '-P', `${source}/web/publish_site.cmake`
  ]);
  const dayAgo = new Date(Date.now() - 86400000);
  for (const file of fs.readdirSync(to)) fs.utimesSync(path.join(to, file), dayAgo, dayAgo);
  return to;
};
const copySite = (name, from = site) => {
  fs.cpSync(from, path.join(work, name), {recursive: true, preserveTimestamps: true});
  return path.join(work, name);
};
before(async () => {
  assert.ok(built, 'BEZIER2D_FILES names no site files');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'bezier2d-'));
  files = copySite('files', built);
  fs.writeFileSync(path.join(files, 'test-hook.js'), `(${inPage.hook})();`);
  const index = path.join(files, 'index.html'), hook = '<head><script src="test-hook.js"></script>';
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace('<head>', hook));
  site = publish(files, path.join(work, 'site'));
  server = await serve(site);
});
after(async () => {
  await closeShared();
  server?.close();
  if (work) fs.rmSync(work, {recursive: true});
});
const urlOf = host => `http://127.0.0.1:${host.address().port}/`;

// A check: `body` gets the page in a browser context of its own (or, `alone`, a browser of its
// own), which must have reported nothing when the check ends (unless `failing`): a desktop's
// window, or a phone's; started at `query` if one is given (what its first frame drew is `drawn`);
// `accessible`, with a screen reader's ears on the browser.
function check(name, body, {reducedMotion, failing, alone, phone, query, accessible} = {}) {
  test(name, async t => {
    // (WebKitGTK tells a screen reader nothing of live regions.)
    const told = accessible && engine != 'webkit' ? await listen(t) : null;
    const page = await open(t, told, {reducedMotion, shared: !alone, accessible}, failing);
    await (phone ? page.viewport(390, 844, 3, true) : page.viewport(1000, 700));
    // Its ring at the first frame: on the desktop, not on a touch screen; a narrow window without
    // touch may show it or not.
    page.ring = phone ? (page.tap ? false : undefined) : true;
    if (query !== undefined) page.drawn = await page.start(query);
    await body(page, t);
    if (page.unheard) t.skip(`${engine}: what a screen reader is told, not checked`);
  });
}

// What the browsers tell a screen reader from now on (told.py), as it is told.
async function listen(t) {
  const told = [], ears = spawn('/usr/bin/python3', [path.join(source, 'tests/web/told.py')]);
  t.after(() => ears.kill());
  const lines = readline.createInterface({input: ears.stdout});
  lines.on('line', line => told.push(JSON.parse(line)));
  const signal = AbortSignal.timeout(10000);
  await once(lines, 'line', {signal}).catch(() => assert.fail('told.py did not listen in 10 s'));
  return told;
}

// The browser, with helpers that act on its page.
async function open(t, told, wishes, failing) {
  const browser = await launch(engine, wishes);
  t.after(async () => {
    try {
      if (!failing) assert.deepEqual([...browser.messages, ...await page.noted()], [], 'reported');
    } finally {
      await browser.close();
    }
  });
  const page = Object.assign(browser, {
    text: id => browser.run(id => document.getElementById(id).textContent, id),
    // What the page noted (nothing, on a browser's own error page).
    noted: () => browser.run(
        () =>
            JSON.parse((location.protocol.startsWith('http') && sessionStorage.problems) || '[]')),
    look: drawn => browser.run(inPage.look, drawn, BACKGROUND),
    layout: () => browser.run(inPage.layout),
    step: (frames, ms) => browser.run((frames, ms) => stepFrames(frames, ms), frames, ms),
    clock: () => browser.run(() => performance.now() - glut.startTime),
    // Polls check() until it returns something true, for at most `seconds`.
    until: async (what, check, seconds = 30) => {
      const end = Date.now() + 1000 * seconds;
      for (let result; !(result = await check()); await sleep(50))
        assert.ok(Date.now() < end, `waited ${seconds} s for ${what}`);
      return check();
    },
    // Loads the page (on the real clock unless the query says ?frozen) and waits for its first
    // frame: on a frozen clock, the test runs it, and answers what it drew. Before it, the window's
    // blue shows words that say so, not a black box; with it the canvas takes the focus, with its
    // ring but on a touch screen, where no key was pressed.
    start: async (query = '', host = server) => {
      await browser.load(urlOf(host) + query);
      if (!query.includes('frozen'))
        return page.until('the caption', async () => await page.text('caption') == CAPTION);
      await page.until('the program', () => browser.run(() => window.glut?.frameRequested));
      const before = await browser.run(inPage.loadingLook), drawn = await page.step(1, 100);
      const loading = {canvas: '0', window: 'rgb(26, 145, 204)', words: 'The curves are loading'};
      assert.deepEqual(before, {...loading, ring: false, focused: false}, 'while it loads');
      const then = await browser.run(inPage.loadingLook);
      const shown = {canvas: '1', words: false, ring: page.ring ?? then.ring, focused: true};
      assert.deepEqual(then, {...loading, ...shown}, 'then');
      return drawn;
    },
    // What a screen reader has been told, in order (told.py), where one can listen.
    told,
    hears: (what, phrase) => told ?
        page.until(
            `${what}: "${phrase}" heard`, () => told.find(said => said.includes(phrase)), 15) :
        void (page.unheard = true),
    // Two fingers on the canvas at (x, y), drawn apart.
    pinch: async (x, y) => {
      for (const [type, apart] of [['touchStart', 40], ['touchMove', 60], ['touchEnd']]) {
        const touchPoints = apart ? [{x: x - apart, y}, {x: x + apart, y}] : [];
        await browser.cdp('Input.dispatchTouchEvent', {type, touchPoints});
      }
    },
    // Presses space, or taps, clicks or pinches the middle of the canvas, on the frozen clock: the
    // picture changes at the next frame, and the program gets one press; a pinch changes nothing.
    press: async kind => {
      const before = await page.look(), shown = await page.layout(), pinch = kind == 'pinch';
      await browser.run(inPage.countPresses);
      const middle = [shown.x + shown.width / 2, shown.y + shown.height / 2];
      await (kind == 'space' ? browser.key('Space') : page[kind](...middle));
      await sleep(300);  // long enough for a mouse click made up after a tap, and a page to scroll
      await page.step(1, 100);
      const changed = (await page.look()).digest != before.digest;
      assert.equal(changed, !pinch, `${kind}: the picture changed, or not`);
      assert.equal(await browser.run(() => presses), pinch ? 0 : 1, `${kind}: presses`);
    },
    // On the frozen clock, no frame is asked for and the picture holds still for 2.5 s.
    holdsStill: async why => {
      const before = await page.look();
      await page.step(5, 500);
      assert.equal((await page.look()).digest, before.digest, `${why}: moved`);
      assert.equal(await browser.run(() => due.length), 0, `${why}: asked for frames`);
    },
    // Draws a frame on the frozen clock: whether it filled a backing store of the canvas's shown
    // size times `ratio`.
    backingStore: async ratio => {
      await page.step(1, 0);
      const [{width, height}, shown] = [await page.look(), await page.layout()];
      return width == Math.round(shown.width * ratio) && height == Math.round(shown.height * ratio);
    },
  });
  return page;
}

// The first frame as a person sees it: mostly the background, the blue line about one CSS pixel
// wide, each dot a red disc about five view units across (a square one is a quarter larger),
// blended at its rim; at one device pixel a view unit, the caption the desktop program's, pixel for
// pixel, but where a curve covers it (a tenth of it at most).
async function checkFirstFrame(page) {
  const {dots, top, ...seen} = await page.look(page.drawn), summary = JSON.stringify(seen);
  assert.ok(seen.background > 0.5, `mostly the window's blue: ${summary}`);
  assert.ok(Math.abs(seen.lineWidth - 1) <= 0.35, `lines one CSS pixel wide: ${summary}`);
  const dot = dot => dot.area > 0.65 && dot.area < 1.15 && dot.rim >= 4;
  assert.ok(dots.length && dots.every(dot), `dots: ${JSON.stringify(dots)}`);
  const compare = [`${source}/tests/caption.py`, '-'], input = top && Buffer.from(top);
  const caption = top ? `${execFileSync('/usr/bin/python3', compare, {input})}` : 'same\n';
  assert.equal(caption, 'same\n', 'the caption, as the desktop program draws it');
}

check('the first frame: the blue, lines, dots, the caption; resized, its new size', async page => {
  assert.equal((await page.look()).unit, 1, 'one device pixel a view unit');
  await checkFirstFrame(page);
  await page.viewport(600, 500);
  await page.until('a backing store of the new size', () => page.backingStore(1), 10);
}, {query: '?frozen'});

check('of the keys only space acts, once, without scrolling; so does a click', async page => {
  await page.run(() => document.body.style.height = '3000px');
  const still = await page.look();
  await page.key('Р');  // whose code ends as space's does
  await page.step(5, 100);
  assert.equal((await page.look()).digest, still.digest, 'a key that is not space changed it');
  await page.press('space');
  assert.equal(await page.run(() => scrollY), 0, 'space scrolled the page');
  await page.press('click');
}, {query: '?frozen'});

check('the curves heard; Pause and Play heard; paused, GLUT\'s clock stands still', async page => {
  await page.hears('the curves come', `focus image: ${CURVES} / Space`);
  await page.key('Tab');
  await page.key('Space');
  await page.hears('paused', 'live polite: Paused');
  const pausedAt = await page.clock();
  await page.holdsStill('paused');
  await page.key('Space');
  await page.hears('playing', 'live polite: Playing');
  await page.step(1, 100);
  // GLUT's clock runs over the frame after (100 ms), not over the pause.
  assert.equal(await page.clock() - pausedAt, 100, "GLUT's clock over the pause");
}, {query: '?frozen', accessible: true});

for (const [where, phone] of [['the desktop', false], ['a phone', true]]) {
  check(`axe-core finds nothing on ${where}`, async page => {
    const violations = await page.run(`${axe}; return (await axe.run()).violations.map(
      violation => violation.id + ': ' + violation.nodes.map(node => node.target).join(', '))`);
    assert.deepEqual(violations, [], 'axe-core');
  }, {phone, query: ''});
}

check('apart at the first timed choice; a frame: one step, next to no garbage', async (page, t) => {
  await page.until('the green curve', async () => (await page.look()).green > 100, 10);
  assert.ok(await page.clock() >= 2000, 'the curves moved apart before the first timed choice');
  // Once the frame's few functions are compiled: until then, the numbers they handle are boxed.
  if (page.cdp) await page.until('8 s', async () => await page.clock() >= 8000);
  const cost = await frameCost(page, 3000);
  assert.ok(cost.steps <= 1.1, `steps a frame: ${JSON.stringify(cost)}`);
  if (cost.garbage === undefined) return t.skip('garbage: the driver has no heap profiler');
  assert.ok(cost.garbage <= 1024, `bytes of garbage a frame: ${JSON.stringify(cost)}`);
}, {phone: true, query: ''});

check('reduced motion: opens paused, says so; a press shows three curves', async page => {
  assert.equal(await page.text('pause'), 'Play', 'not paused at the start');
  assert.equal((await page.look()).green, 0, 'the curves apart at the start');
  await page.hears('reduced motion', `${CURVES} / Paused, as the system asks for reduced motion`);
  await page.holdsStill('reduced motion');
  await page.press('space');
  const {red, green} = await page.look();
  assert.ok(red >= 100 && green >= 100, 'one press, not three curves');
  await page.holdsStill('reduced motion, after a press');
}, {reducedMotion: true, query: '?frozen', accessible: true});

check('on a phone: the window whole in view, 4:3, at the density; the first frame', async page => {
  const shown = await page.layout();
  assert.ok(
      shown.view == shown.innerWidth && shown.scroll <= shown.view && shown.right <= shown.view &&
          shown.bottom <= shown.innerHeight && Math.abs(3 * shown.width - 4 * shown.height) <= 1,
      JSON.stringify(shown));
  // Its dots round, where the driver can set the density.
  if (shown.devicePixelRatio == 3) await checkFirstFrame(page);
  assert.ok(await page.backingStore(shown.devicePixelRatio), 'the backing store');
}, {phone: true, query: '?frozen'});

check('a pinch is no tap; a tap sets the curves moving at once, as one press', async (page, t) => {
  if (!page.cdp) return t.skip('the driver has no touch');
  await page.press('pinch');
  await page.press('tap');
}, {phone: true, query: '?frozen'});

check('a lost context is said after 5 s; given back, frames again', async page => {
  await page.run(inPage.context, 'loseContext');
  await page.until('a context not given back, shown', async () => await page.text('message'));
  await page.hears('a context not given back', 'live assertive: The browser has taken away');
  await page.run(inPage.context, 'restoreContext');
  await page.until('frames again', async () => (await page.look()).blue > 100);
  assert.equal(await page.text('message'), '', 'the message stays');
  await page.hears('the curves back', 'live polite: The curves are back');
  assert.equal(await page.run(() => document.activeElement.id), 'canvas', 'the focus');
}, {query: '', accessible: true});

// (Chromium does not install from a context of its own.)
check('installable: an opaque Apple icon, the splash in the page\'s colour', async page => {
  if (page.cdp)
    assert.deepEqual((await page.cdp('Page.getInstallabilityErrors')).installabilityErrors, []);
  assert.deepEqual(await page.run(inPage.asAnApp), {size: [180, 180], seeThrough: 0, splash: true});
  // What the software centres show of the desktop program is published with the site.
  const metainfo =
      fs.readFileSync(path.join(source, 'data/io.github.bezier2d.metainfo.xml.in'), 'utf8');
  for (const [, file] of metainfo.matchAll(/https:\/\/bezier2d\.github\.io\/([^<"]*)/g))
    assert.ok(fs.existsSync(path.join(site, file || 'index.html')), `${file}: not published`);
}, {alone: true, query: ''});

// The next build: another page and style.
const nextBuild = name => {
  const next = copySite(`${name}-files`, files);
  for (const [file, end] of [['index.html', '</head>'], ['page.css', /$/]]) {
    const text = fs.readFileSync(path.join(next, file), 'utf8');
    fs.writeFileSync(path.join(next, file), text.replace(end, '<!-- the next build -->$&'));
  }
  return publish(next, path.join(work, name));
};
// Whether the page and its style are the next build's.
const isNext = page => page.run(async () => {
  const style = document.querySelector('link[rel=stylesheet]').href;
  return [document.documentElement.outerHTML, await (await fetch(style)).text()].map(
      text => text.includes('the next build'));
});

// A host that adds to the pages it serves, as some hosts and CDNs add their tags (a plain host,
// which serves them as they are, is the simpler case), with two copies of the site: after one
// visit the page works offline; a new build deployed worker first is not cached half-deployed, and
// once whole it arrives within three reloads; each copy keeps its own cache. (The browser looks
// for a new worker when a visitor comes back; the test asks for it at once.)
check('a host that adds to pages: offline, a new build whole; copies apart', async (page, t) => {
  const [folder] = ['a', 'b'].map(copy => copySite(path.join('both', copy)));
  const next = nextBuild('next'), host = await serve(path.join(work, 'both'), {alter: true});
  t.after(() => host.close());
  for (const copy of ['b/', 'a/']) {
    await page.start(copy, host);
    await page.until('its worker', () => page.run(() => !!navigator.serviceWorker.controller));
  }
  host.stop();
  await page.start('a/', host);
  const offline = await page.look();
  await page.until('frames offline', async () => (await page.look()).digest != offline.digest, 10);
  host.stop(false);
  // The worker first: it finds the other files of the old build, caches nothing and waits.
  fs.copyFileSync(path.join(next, 'sw.js'), path.join(folder, 'sw.js'));
  const oldCache = await page.run(() => caches.keys().then(names => names.join()));
  assert.equal(
      await page.run(inPage.updateWorker), oldCache, 'a worker cached a half-deployed site');
  fs.cpSync(next, folder, {recursive: true});
  let reloads = 0;
  while ((await isNext(page)).includes(false)) {
    assert.ok(++reloads <= 3, 'no new build in three reloads');
    await page.start('a/', host);
  }
  // Once the new worker has cleared the old build's cache: one cache each, named after its scope.
  const scopes = () => page.run(() => caches.keys().then(names => names.sort().join()));
  const each = new RegExp(`^bezier2d ${urlOf(host)}a/ \\w+,bezier2d ${urlOf(host)}b/ \\w+$`);
  await page.until('one cache for each copy', async () => each.test(await scopes()), 10);
});

// Publishing leaves nothing of an earlier build in the site, and a build that changes only the
// worker gets a cache of its own.
test('the site holds its build\'s files only; a new worker, a new cache', () => {
  const target = path.join(work, 'published'), stale = path.join(target, 'stale.txt');
  const worker = () => fs.readFileSync(path.join(target, 'sw.js'), 'utf8');
  const cacheOf = template =>
      publish(files, target, template) && worker().match(/const CACHE = SCOPE \+ '(\w+)'/)[1];
  fs.mkdirSync(target);
  fs.writeFileSync(stale, 'left by an earlier build');
  const first = cacheOf();
  assert.ok(!fs.existsSync(stale) && !worker().includes('stale'), 'a stale file');
  const template = path.join(work, 'sw-next.js');
  fs.writeFileSync(template, fs.readFileSync(`${source}/web/sw.js`, 'utf8') + '// the next one\n');
  assert.notEqual(cacheOf(template), first, 'the same cache for another worker');
});

// Where the page cannot draw, it says so, on the page and to a screen reader, and the canvas claims
// no curves: the WebAssembly missing, no WebGL, shaders that do not build (and still after a lost
// context). Nothing is left uncaught, and the page's policy still stops a script written into it.
async function says(page, what, phrase) {
  await page.until(
      `${what}: on the page`, async () => (await page.text('message')).startsWith(phrase));
  await page.hears(`${what}, as an alert`, `live assertive: ${phrase}`);
  assert.ok(!page.told?.join().includes(CURVES), `${what}: the canvas claims curves`);
  assert.deepEqual((await page.noted()).filter(noted => noted.startsWith('uncaught')), [], what);
  const ran = await page.run(() => {
    document.head.append(Object.assign(document.createElement('script'), {text: 'window.ran = 1'}));
    return window.ran == 1;
  });
  assert.equal(ran, false, `${what}: a script written into the page ran, against the policy`);
}

const FAILURES = [
  ['the WebAssembly missing', 'The page could not load its program', '', /^bezier2d\..*\.wasm$/],
  ['no WebGL', 'This page needs WebGL', '?nowebgl'],
  ['shaders that do not build', 'This browser cannot draw the curves', '?noshaders']
];
for (const [what, phrase, query, missing] of FAILURES) {
  check(`${what}: said${missing ? ', on a host of its own' : ''}`, async (page, t) => {
    const host = missing ? await serve(site, {missing}) : server;
    if (missing) t.after(() => host.close());
    await page.load(urlOf(host) + query);
    await says(page, what, phrase);
    if (query != '?noshaders') return;
    await page.run(inPage.context, 'loseContext');
    await sleep(200);
    await page.run(inPage.context, 'restoreContext');
    await sleep(500);
    await says(page, `${what}, after a lost context`, phrase);
  }, {failing: true, accessible: true});
}
