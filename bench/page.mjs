// What the web page costs a visitor in headless Chromium with software WebGL: the time from
// navigation to the first frame (which the page marks), for the first page of a fresh browser and
// for pages loaded again; and what each frame costs a phone, with and without four times slower
// processing (Lighthouse's phone): garbage, collections, animation steps and the display
// callback's time. script/bench-web builds the site and runs this on it.
// Usage: node bench/page.mjs SITE_FOLDER
import {frameCost, launch, serve} from '../script/browsers.mjs';

const RUNS = 3, LOADS = 6;  // fresh browsers, and pages loaded in each
const FIRST_FRAME = "return performance.getEntriesByName('bezier2d first frame')[0]?.startTime";
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = values => `${Math.min(...values).toFixed(0)} to ${Math.max(...values).toFixed(0)}`;

// In the page: the display callback's own time over `frames` frames, in milliseconds, sorted.
async function displayTimes(frames) {
  const times = new Float64Array(frames), display = glut.display;
  let count = 0;
  glut.display = () => {
    const start = performance.now();
    display();
    times[count++] = performance.now() - start;
  };
  while (count < frames) await new Promise(resolve => setTimeout(resolve, 100));
  glut.display = display;
  return Array.from(times).sort((a, b) => a - b);
}

const server = await serve(process.argv[2]);
const url = `http://127.0.0.1:${server.address().port}/`;

const first = [], again = [];
for (let run = 0; run < RUNS; ++run) {
  const browser = await launch('chromium');
  for (let load = 0; load < LOADS; ++load) {
    await browser.load(url);
    let ms;
    while ((ms = await browser.run(FIRST_FRAME)) === undefined) await sleep(20);
    (load ? again : first).push(ms);
  }
  await browser.close();
}
console.log(
    `navigation to first frame, first page of a fresh browser: ${range(first)} ms; ` +
    `pages loaded again: median ${median(again).toFixed(0)} ms (${range(again)})`);

// A fresh browser for each, so that no collection of an earlier page's memory is counted.
for (const slowdown of [1, 4]) {
  const browser = await launch('chromium');
  await browser.viewport(390, 844, 3, true);
  await browser.cdp('Emulation.setCPUThrottlingRate', {rate: slowdown});
  await browser.load(url);
  await sleep(3000);  // past the start and the first timed choice
  const {garbage, steps} = await frameCost(browser, 5000);
  const timeline = ['devtools.timeline', 'disabled-by-default-devtools.timeline'];
  await browser.page.tracing.start({categories: timeline});
  await sleep(10000);
  const trace = JSON.parse(new TextDecoder().decode(await browser.page.tracing.stop()));
  const collections = trace.traceEvents.filter(event => /^(Minor|Major)GC$/.test(event.name));
  const times = await browser.run(displayTimes, 300);
  console.log(
      `phone at DPR 3, ${slowdown}x slower: ${(garbage / 1024).toFixed(1)} KiB of garbage a ` +
      `frame; ${collections.length} garbage collections in 10 s; ${steps.toFixed(2)} animation ` +
      `steps a frame; display ${median(times).toFixed(2)} ms median, ` +
      `${times[Math.floor(0.95 * times.length)].toFixed(2)} ms 95th percentile, over ` +
      `${times.length} frames`);
  await browser.close();
}
server.close();
