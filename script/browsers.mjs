// The browsers that the web page's test and benchmark drive, each through the same small
// interface: load a page, run a program in it, press keys, click, set the window's size. Chromium
// (headless, software WebGL) through its DevTools protocol and Firefox through WebDriver BiDi,
// both with puppeteer-core; WebKitGTK's MiniBrowser through WebDriver (WebKitWebDriver). What only
// Chromium can do (a screen's density and touch, the DevTools protocol) is there only for it.
// Firefox and WebKit draw WebGL only on an X display (script/with-xvfb). And the web server that
// they load the site from.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.svg': 'image/svg+xml',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json'
};
// Where each browser is, and the Debian package that brings it.
const INSTALLED = {
  chromium: ['/usr/bin/chromium', 'chromium'],
  firefox: ['/usr/bin/firefox-esr', 'firefox-esr'],
  webkit: ['/usr/bin/WebKitWebDriver', 'webkit2gtk-driver']
};
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// A program to run in the page, as an expression: a function called with `args` (sent as its
// source, so it must use nothing but its arguments and the page's globals), or a function body.
const program = (code, args) => typeof code == 'function' ?
    `(${code})(...${JSON.stringify(args)})` :
    `(async () => { ${code} })()`;

// Serves a folder at http://127.0.0.1:PORT/ as an ordinary static host does: each file with its
// Last-Modified, If-Modified-Since answered, no Cache-Control (so the browser's HTTP cache keeps
// files as long as its heuristics say). Files whose names `missing` matches are answered with 404;
// with `alter`, the host adds a comment to every page it serves, as some hosts and CDNs add their
// tags. Once stopped it answers nothing, not even on connections the browser opened ahead, until
// stop(false).
export function serve(folder, {missing = null, alter = false} = {}) {
  const server = http.createServer((request, response) => {
    if (server.stopped) return request.socket.destroy();
    const file = path.join(
        folder, new URL(request.url, 'http://localhost').pathname.replace(/\/$/, '/index.html'));
    if (!fs.existsSync(file) || missing?.test(path.basename(file))) {
      response.writeHead(404);
      return response.end();
    }
    const modified = new Date(Math.floor(fs.statSync(file).mtimeMs / 1000) * 1000);
    if (Date.parse(request.headers['if-modified-since']) >= modified) {
      response.writeHead(304);
      return response.end();
    }
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream',
      'Last-Modified': modified.toUTCString()
    });
    const added = alter && file.endsWith('.html') ? '<!-- added by the host -->' : '';
    response.end(Buffer.concat([fs.readFileSync(file), Buffer.from(added)]));
  });
  server.stop = (stopped = true) => {
    server.stopped = stopped;
    server.closeAllConnections();
  };
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Starts a browser; with reducedMotion, one whose system asks for reduced motion; `accessible`,
// one on the X display that tells a screen reader of its pages over the desktop's accessibility
// bus (AT-SPI). With `shared`, Chromium and Firefox start once for each wish and this gives a
// fresh context of their own (storage, caches and service workers of its own), which is much
// quicker; closeShared() ends them.
export async function launch(
    engine, {reducedMotion = false, shared = false, accessible = false} = {}) {
  const [file, pkg] = INSTALLED[engine] ?? [];
  if (!file) throw new Error(`no such browser here: ${engine} (chromium, firefox or webkit)`);
  if (!fs.existsSync(file))
    throw new Error(`${engine} is not installed: install the Debian package ${
        pkg} (script/bootstrap browsers)`);
  if ((engine != 'chromium' || accessible) && !process.env.DISPLAY)
    throw new Error(`${engine} needs an X display here: run it under script/with-xvfb`);
  // Firefox and WebKit tell the accessibility bus of their pages only when asked to.
  const env = accessible ? {...process.env, GNOME_ACCESSIBILITY: '1'} : process.env;
  const browser = engine == 'webkit' ?
      await webkit(reducedMotion, env) :
      await puppeteerBrowser(engine, reducedMotion, shared, accessible, env);
  browser.engine = engine;
  return browser;
}

// The keys the test presses by name, as puppeteer and as WebDriver take them; any other name is a
// single character, typed as a keyboard layout that has it would type it.
const KEYS = {
  Space: [' ', ' '],
  Tab: ['Tab', '\uE004']
};
// Chromium with software WebGL, and no network of its own.
const CHROMIUM_FLAGS = [
  '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'
];

const running = new Map();
export async function closeShared() {
  await Promise.all([...running.values()].map(async browser => (await browser).close()));
  running.clear();
}

async function puppeteerBrowser(engine, reducedMotion, shared, accessible, env) {
  const firefox = {
    browser: 'firefox',
    executablePath: INSTALLED.firefox[0],
    extraPrefsFirefox: reducedMotion ? {'ui.prefersReducedMotion': 1} : {}
  };
  const chromium = {
    executablePath: INSTALLED.chromium[0],
    args: [...CHROMIUM_FLAGS, ...accessible ? ['--force-renderer-accessibility'] : []]
  };
  const start = () =>
      puppeteer.launch({...engine == 'firefox' ? firefox : chromium, headless: !accessible, env});
  const wish = `${engine} ${reducedMotion} ${accessible}`;
  if (shared && !running.has(wish)) running.set(wish, start());
  const browser = shared ? await running.get(wish) : await start();
  const context = shared ? await browser.createBrowserContext() : browser;
  const page = await context.newPage();
  const messages = [];  // what the browser itself reports on the page's console
  const driven = {
    page,
    messages,
    load: async url => {
      await page.goto(url);
    },
    // Runs a program in the page and returns its result (awaited, if a promise).
    run: (code, ...args) => page.evaluate(program(code, args)),
    key: name => page.keyboard.press(KEYS[name]?.[0] ?? name),
    click: (x, y) => page.mouse.click(x, y),
    viewport: (width, height, ratio = 1) =>
        page.setViewport({width, height, deviceScaleFactor: ratio}),
    close: () => context.close(),
  };
  if (engine == 'firefox') {
    page.on(
        'console',
        message => ['error', 'warn'].includes(message.type()) && messages.push(message.text()));
    return driven;
  }
  const cdp = await page.createCDPSession();
  cdp.on('Log.entryAdded', ({entry}) => messages.push(`${entry.level}: ${entry.text}`));
  await cdp.send('Log.enable');
  const reduceMotion = on => cdp.send(
      'Emulation.setEmulatedMedia',
      {features: [{name: 'prefers-reduced-motion', value: on ? 'reduce' : 'no-preference'}]});
  if (reducedMotion) await reduceMotion(true);
  const key = driven.key;
  return Object.assign(driven, {
    // Sends a command of the DevTools protocol.
    cdp: (method, parameters = {}) => cdp.send(method, parameters),
    // Puppeteer knows only the characters of a US keyboard.
    key: async name => {
      if (KEYS[name] || name.charCodeAt(0) < 0x80) return key(name);
      await cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', key: name, text: name});
      await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', key: name});
    },
    reduceMotion,
    tap: (x, y) => page.touchscreen.tap(x, y),
    viewport: (width, height, ratio = 1, touch = false) => Promise.all([
      cdp.send(
          'Emulation.setDeviceMetricsOverride',
          {width, height, deviceScaleFactor: ratio, mobile: touch}),
      cdp.send('Emulation.setTouchEmulationEnabled', {enabled: touch})
    ]),
  });
}

// MiniBrowser through WebKitWebDriver on a port of its own. Its element screenshots come out
// black above a canvas unless compositing is off; a system that asks for reduced motion is one
// whose GTK settings turn animations off.
async function webkit(reducedMotion, env) {
  const home = fs.mkdtempSync(path.join(os.tmpdir(), 'bezier2d-webkit-'));
  fs.mkdirSync(path.join(home, 'gtk-3.0'));
  fs.writeFileSync(
      path.join(home, 'gtk-3.0', 'settings.ini'),
      `[Settings]\ngtk-enable-animations=${!reducedMotion}\n`);
  const port = await new Promise(resolve => {
    const probe = http.createServer().listen(0, '127.0.0.1', () => {
      const free = probe.address().port;
      probe.close(() => resolve(free));
    });
  });
  const driver = spawn(INSTALLED.webkit[0], [`--port=${port}`], {
    stdio: 'ignore',
    env: {...env, WEBKIT_DISABLE_COMPOSITING_MODE: '1', XDG_CONFIG_HOME: home}
  });
  const call = async (method, where, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${where}`, {
      method,
      headers: {'Content-Type': 'application/json'},
      body: body && JSON.stringify(body)
    });
    const {value} = await response.json();
    if (value?.error) throw new Error(`WebKitWebDriver: ${value.error}: ${value.message}`);
    return value;
  };
  for (let tries = 0; !await call('GET', '/status').then(() => true, () => false); ++tries) {
    if (tries == 100) throw new Error('WebKitWebDriver did not start in 10 s');
    await sleep(100);
  }
  const session = `/session/${(await call('POST', '/session', {capabilities: {}})).sessionId}`;
  const act = actions => call('POST', `${session}/actions`, {actions: [actions]});
  return {
    messages: [],
    load: url => call('POST', `${session}/url`, {url}),
    run: (code, ...args) => call(
        'POST', `${session}/execute/sync`, {script: `return ${program(code, args)}`, args: []}),
    key: name => {
      const value = KEYS[name]?.[1] ?? name;
      const actions = [{type: 'keyDown', value}, {type: 'keyUp', value}];
      return act({type: 'key', id: 'keyboard', actions});
    },
    click: (x, y) => act({
      type: 'pointer',
      id: 'mouse',
      parameters: {pointerType: 'mouse'},
      actions: [
        {type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport'},
        {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}
      ]
    }),
    // The window's outer size: the page gets a little less height.
    viewport: (width, height) => call('POST', `${session}/window/rect`, {width, height}),
    close: async () => {
      await call('DELETE', session).catch(() => {});
      driver.kill();
      fs.rmSync(home, {recursive: true});
    },
  };
}

// What the page's frames cost over `ms` milliseconds: the animation steps run per drawn frame,
// and, in Chromium, the garbage made per drawn frame in bytes: the JavaScript heap's, as the
// sampling heap profiler counts it (collected objects too), and the ArrayBuffers' backing stores,
// which live outside that heap, as their total grows between samples taken every 20 ms. GLUT's
// display and idle functions are counted while it measures.
export async function frameCost(browser, ms) {
  if (browser.cdp) {
    await browser.cdp('HeapProfiler.enable');
    await browser.cdp('HeapProfiler.startSampling', {
      samplingInterval: 256,
      includeObjectsCollectedByMajorGC: true,
      includeObjectsCollectedByMinorGC: true
    });
  }
  await browser.run(() => {
    window.cost = {frames: 0, steps: 0, display: glut.display, idle: glut.idle};
    glut.display = () => {
      ++cost.frames;
      cost.display();
    };
    glut.idle = () => {
      ++cost.steps;
      cost.idle();
    };
  });
  let stores = 0;
  const end = Date.now() + ms;
  for (let last = null; Date.now() < end; await sleep(20)) {
    if (!browser.cdp) continue;
    const {backingStorageSize} = await browser.cdp('Runtime.getHeapUsage');
    if (last !== null) stores += Math.max(0, backingStorageSize - last);
    last = backingStorageSize;
  }
  const counted = await browser.run(() => {
    glut.display = cost.display;
    glut.idle = cost.idle;
    return {frames: cost.frames, steps: cost.steps};
  });
  const result = {frames: counted.frames, steps: counted.steps / counted.frames};
  if (browser.cdp) {
    const {profile} = await browser.cdp('HeapProfiler.stopSampling');
    const heap = profile.samples.reduce((sum, sample) => sum + sample.size, 0);
    Object.assign(
        result, {garbage: (heap + stores) / counted.frames, stores: stores / counted.frames});
  }
  return result;
}
