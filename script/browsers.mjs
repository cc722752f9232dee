// Browsers for the web page's test and benchmark, each driven alike through a small interface:
// load a page, run a script in it, press keys, click. Chromium (headless, software WebGL) and
// its DevTools protocol, through puppeteer-core, with no network of its own. And the web server
// they load the site from.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.svg': 'image/svg+xml',
               '.wasm': 'application/wasm', '.png': 'image/png', '.webmanifest': 'application/manifest+json'};

// Serves a folder at http://127.0.0.1:PORT/, keeping the browser's HTTP cache out of it. Once
// stopped it answers nothing, not even on connections the browser opened ahead.
export function serve(folder, port = 0) {
  const server = http.createServer((request, response) => {
    if (server.stopped) return request.socket.destroy();
    const file = path.join(folder, new URL(request.url, 'http://localhost').pathname.replace(/\/$/, '/index.html'));
    const found = fs.existsSync(file);
    const type = TYPES[path.extname(file)] ?? 'application/octet-stream';
    response.writeHead(found ? 200 : 404, {'Content-Type': type, 'Cache-Control': 'no-store'});
    response.end(found ? fs.readFileSync(file) : '');
  });
  server.stop = () => { server.stopped = true; server.closeAllConnections(); };
  return new Promise(resolve => server.listen(port, '127.0.0.1', () => resolve(server)));
}

// The keys the test presses, as puppeteer names them.
const KEYS = {Space: [' '], Tab: ['Tab'], 'Shift+Tab': ['Shift', 'Tab']};

export async function launch(engine) {
  if (engine != 'chromium') throw new Error(`no such browser here: ${engine}`);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, args: [
      '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync']});
  const page = await browser.newPage();
  const cdp = await page.createCDPSession();
  const messages = [];
  cdp.on('Log.entryAdded', ({entry}) => messages.push(`${entry.level}: ${entry.text}`));
  await cdp.send('Log.enable');
  return {
    engine,
    page,
    messages,  // what the browser itself wrote on the page's console
    // Sends a command of the DevTools protocol.
    cdp: (method, parameters = {}) => cdp.send(method, parameters),
    load: async url => { await page.goto(url); },
    // Runs a function body in the page and returns its result (awaited, if a promise).
    run: (body, ...args) => page.evaluate(`(async (...args) => { ${body} })(...${JSON.stringify(args)})`),
    key: async name => {
      const keys = KEYS[name];
      for (const key of keys) await page.keyboard.down(key);
      for (const key of [...keys].reverse()) await page.keyboard.up(key);
    },
    click: (x, y) => page.mouse.click(x, y),
    tap: (x, y) => page.touchscreen.tap(x, y),
    close: () => browser.close(),
  };
}

// What the page's frames cost over `ms` milliseconds, in Chromium: the JavaScript garbage made
// per drawn frame, in bytes, as the sampling heap profiler counts it (collected objects too) with
// the typed arrays made (their contents live outside the heap), and the animation steps run per
// drawn frame. GLUT's display and idle functions are counted, and the typed arrays' makers, while
// it measures.
export async function frameCost(browser, ms) {
  await browser.cdp('HeapProfiler.enable');
  await browser.cdp('HeapProfiler.startSampling', {samplingInterval: 1024,
    includeObjectsCollectedByMajorGC: true, includeObjectsCollectedByMinorGC: true});
  await browser.run(`window.cost = {frames: 0, steps: 0, typed: 0, display: glut.display, idle: glut.idle, makers: {}};
    glut.display = () => { ++cost.frames; cost.display(); };
    glut.idle = () => { ++cost.steps; cost.idle(); };
    for (const name of ['ArrayBuffer', 'Float32Array', 'Float64Array', 'Int32Array', 'Uint8Array', 'Uint16Array']) {
      cost.makers[name] = window[name];
      window[name] = new Proxy(window[name], {construct(maker, args) {
        const made = Reflect.construct(maker, args);
        cost.typed += made.byteLength;
        return made; }});
    }`);
  await new Promise(resolve => setTimeout(resolve, ms));
  const counted = await browser.run(`Object.assign(window, cost.makers);
    glut.display = cost.display, glut.idle = cost.idle;
    return cost;`);
  const {profile} = await browser.cdp('HeapProfiler.stopSampling');
  const bytes = profile.samples.reduce((sum, sample) => sum + sample.size, 0) + counted.typed;
  return {frames: counted.frames, garbage: bytes / counted.frames, steps: counted.steps / counted.frames};
}
