// The web page in headless Chromium, driven over the DevTools protocol: it starts without an
// error or a console message, shows the caption, the blue curve and the red dots, moves after
// the first two seconds, and space sets the curves moving before that. Times are read from the
// page's own clock. Usage: node --experimental-websocket web_test.mjs SITE_DIRECTORY
import {spawn} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createServer} from 'node:http';
import {tmpdir} from 'node:os';
import {extname, join} from 'node:path';

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
const server = createServer((request, response) => {
  const file = join(process.argv[2], request.url === '/' ? 'index.html' : request.url);
  try {
    const body = readFileSync(file);
    response.writeHead(200, {'Content-Type': types[extname(file)]}).end(body);
  } catch {
    response.writeHead(404).end();
  }
}).listen(0, '127.0.0.1');
await new Promise((resolve) => server.on('listening', resolve));

const profile = mkdtempSync(join(tmpdir(), 'bezier2d-chromium-'));
const chromium = spawn('chromium', ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader', '--remote-debugging-port=0', `--user-data-dir=${profile}`,
  '--no-first-run', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', 'about:blank'], {stdio: ['ignore', 'ignore', 'pipe']});
let log = '';
const endpoint = await new Promise((resolve) => chromium.stderr.on('data', (data) => {
  log += data;
  const found = log.match(/DevTools listening on (ws:\S+)/);
  if (found) resolve(found[1]);
}));
const done = (failure) => {
  if (failure) console.error(`FAIL: ${failure}`);
  chromium.kill();
  server.close();
  setTimeout(() => rmSync(profile, {recursive: true, force: true}), 500);
  process.exitCode = failure ? 1 : 0;
};
setTimeout(() => done('no result within 120 s'), 120000).unref();

// The DevTools protocol: one page, attached in flat mode; events it reports as problems.
const socket = new WebSocket(endpoint);
await new Promise((resolve) => socket.addEventListener('open', resolve));
const waiting = new Map();
const problems = [];
let session;
let next = 0;
socket.addEventListener('message', ({data}) => {
  const message = JSON.parse(data);
  if (waiting.has(message.id)) waiting.get(message.id)(message);
  const text = JSON.stringify(message.params ?? '').slice(0, 500);
  // Emscripten's GL emulation announces itself; anything else is the page's problem.
  if (/^(Runtime.exceptionThrown|Runtime.consoleAPICalled|Log.entryAdded)$/.test(message.method) &&
      !text.includes('"WARNING: using emscripten GL')) {
    problems.push(text);
  }
});
const send = (method, params = {}) => new Promise((resolve, reject) => {
  waiting.set(++next, (m) => (m.error ? reject(new Error(`${method}: ${m.error.message}`)) : resolve(m.result)));
  socket.send(JSON.stringify({id: next, method, params, sessionId: session}));
});
const {targetId} = await send('Target.createTarget', {url: 'about:blank'});
session = (await send('Target.attachToTarget', {targetId, flatten: true})).sessionId;
await send('Emulation.setDeviceMetricsOverride', {width: 720, height: 540, deviceScaleFactor: 1, mobile: false});
// The test, not the page, keeps each frame readable after it is shown.
await send('Page.addScriptToEvaluateOnNewDocument', {source: `
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    return getContext.call(this, type, {...attributes, preserveDrawingBuffer: true});
  };`});
await Promise.all(['Page.enable', 'Runtime.enable', 'Log.enable'].map((m) => send(m)));

const evaluate = async (expression) =>
  (await send('Runtime.evaluate', {expression, awaitPromise: true, returnByValue: true})).result.value;
const pageMs = () => evaluate('performance.now()');
const until = async (ms) => {
  while ((await pageMs()) < ms) await new Promise((resolve) => setTimeout(resolve, 20));
};
// What the canvas shows: a digest of its pixels and how many are red, green and blue.
const look = () => evaluate(`(() => {
  const gl = document.getElementById('canvas').getContext('webgl');
  const p = new Uint8Array(720 * 540 * 4);
  gl.readPixels(0, 0, 720, 540, gl.RGBA, gl.UNSIGNED_BYTE, p);
  const seen = {digest: 0, red: 0, green: 0, blue: 0};
  for (let i = 0; i < p.length; i += 4) {
    seen.digest = (seen.digest * 31 + p[i] + 7 * p[i + 1] + 13 * p[i + 2]) % 1000000007;
    if (p[i] > 200 && p[i + 1] < 60 && p[i + 2] < 60) seen.red++;
    if (p[i] < 60 && p[i + 1] > 200 && p[i + 2] < 60) seen.green++;
    if (p[i] < 60 && p[i + 1] < 60 && p[i + 2] > 200) seen.blue++;
  }
  return {...seen, ms: performance.now()};
})()`);
const caption = "Example of infinite generation of 2D Bezier curves using De Casteljau's algorithm.";
const start = async () => {
  await send('Page.navigate', {url: `http://127.0.0.1:${server.address().port}/`});
  while ((await evaluate(`document.getElementById('caption')?.textContent`)) !== caption) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return look();
};

try {
  // Left alone, the three curves start on their targets and hold still until the first timed
  // choice of new targets; then they move apart.
  const first = await start();
  const where = await evaluate(`JSON.stringify(document.getElementById('caption').getBoundingClientRect())`);
  if (JSON.parse(where).left !== 5) throw new Error(`the caption is at ${where}`);
  if (first.blue < 100 || first.red < 10) throw new Error(`first frame: ${JSON.stringify(first)}`);
  await until(first.ms + 2300);
  const timed = await look();
  await until(timed.ms + 400);
  const later = await look();
  if (later.digest === timed.digest || later.green < 100) throw new Error('no motion after two seconds');

  // Space, pressed at once, sets them moving before that.
  const fresh = await start();
  const key = {key: ' ', code: 'Space', text: ' ', windowsVirtualKeyCode: 32};
  await send('Input.dispatchKeyEvent', {type: 'keyDown', ...key});
  await send('Input.dispatchKeyEvent', {type: 'keyUp', ...key});
  await until(fresh.ms + 400);
  const moved = await look();
  if (moved.ms > fresh.ms + 1900) throw new Error('too slow to tell the key from the timer');
  if (moved.digest === fresh.digest) throw new Error('space did not set the curves moving');
  if (problems.length) throw new Error(`the page reported: ${problems.join('\n')}`);
  console.log('ok: the page draws, moves after two seconds, and space moves it sooner');
  done();
} catch (error) {
  done(error.message);
}
