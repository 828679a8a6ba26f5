// The page's speed in each engine, served as the tests open it, with the disc
// full, against a floor: bench/web_floor.js, the same frame written by hand in
// plain JavaScript, on a canvas and context like the program's put in its
// place in the same page. The two take turns, ROUNDS times (default 4) for
// SECONDS each (default 5), the other stopped. A frame's time is the main
// thread's time in its animation-frame callback: the step, the drawing calls
// and the wait at getError. Firefox and WebKit give times to the millisecond
// here, so a round's figure is its mean frame (the truncation moves both ends
// of a frame alike and biases no mean). Printed: the median of the rounds'
// figures for each, their ratio, and the page's display frames, frames drawn
// and steps. Chromium is measured with the page composited through SwiftShader
// as in the tests, then in software. Chromium and Firefox are measured at a
// device pixel ratio of 1 and then of 2, as on a HiDPI screen, where the page
// and the floor draw four times the pixels.
//   node bench/web_speed.mjs [SECONDS [ROUNDS [ENGINE...]]]
import { readFileSync } from 'node:fs';
import { engines, openPage, sleep, waitForSteps } from '../tests/web/browser.mjs';

const seconds = Number(process.argv[2] ?? 5);
const rounds = Number(process.argv[3] ?? 4);
const chosen = process.argv.length > 4 ? process.argv.slice(4) : engines;
const floorScript = readFileSync(new URL('web_floor.js', import.meta.url), 'utf8');

// Times each animation-frame callback that the page asks for from here on,
// while window.timing is set; the display's frames are counted beside them.
function timeFrames() {
  window.frameTimes = [];
  window.animationFrames = 0;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    const start = performance.now();
    callback(time);
    if (window.timing) window.frameTimes.push(performance.now() - start);
  });
  const count = () => { ++window.animationFrames; request(count); };
  request(count);
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return (sorted[Math.floor((sorted.length - 1) / 2)] + sorted[Math.ceil((sorted.length - 1) / 2)]) / 2;
};

// One round: starts the frames, measures, stops them; the mean frame time
// and, for the page, its counts.
async function round(session, start, stop, page = false) {
  await session.evaluate(start);
  await sleep(500);
  const counts = () => session.evaluate(() => [window.animationFrames, Module.framesDrawn,
                                                Module._velquinStep()]);
  const before = page ? await counts() : null;
  await session.evaluate(() => { window.frameTimes = []; window.timing = true; });
  await sleep(seconds * 1000);
  const times = await session.evaluate(() => { window.timing = false; return window.frameTimes; });
  const after = page ? await counts() : null;
  await session.evaluate(stop);
  return { time: times.reduce((sum, time) => sum + time, 0) / times.length, counts: page ? after.map((count, k) => count - before[k]) : null };
}

async function measure(engine, flags = [], ratio = 1) {
  const page = await openPage({ engine, origin: 'served', flags,
                                viewport: { width: 900, height: 700, deviceScaleFactor: ratio } });
  try {
    await waitForSteps(page, 1100, 120000);
    // The program pauses and resumes with Space, as its user would.
    const space = () => { sendKey('keydown', 32, false); sendKey('keyup', 32, false); };
    await page.evaluate(space);
    await page.evaluate((source) => {
      const script = document.createElement('script');
      script.textContent = source;
      document.body.append(script);
    }, floorScript);
    await page.evaluate(timeFrames);
    const pageTimes = [], floorTimes = [], counts = [0, 0, 0];
    for (let k = 0; k < rounds; ++k) {
      const measured = await round(page, space, space, true);
      pageTimes.push(measured.time);
      measured.counts.forEach((count, i) => { counts[i] += count; });
      floorTimes.push((await round(page, () => window.run(true), () => window.run(false))).time);
    }
    const errors = await page.pageErrors();
    if (errors.length) throw new Error(`page errors: ${errors.join('; ')}`);
    const [pageTime, floorTime] = [median(pageTimes), median(floorTimes)];
    const [frames, drawn, steps] = counts;
    const rate = (n) => (n / (rounds * seconds)).toFixed(1);
    console.log(`page ${pageTime.toFixed(2)} ms, floor ${floorTime.toFixed(2)} ms a frame: page ÷ floor ${(pageTime / floorTime).toFixed(2)}` +
                ` (rounds: page ${pageTimes.map((t) => t.toFixed(2)).join(' ')}; floor ${floorTimes.map((t) => t.toFixed(2)).join(' ')})`);
    console.log(`    page: ${rate(frames)} display frames/s, ${rate(drawn)} frames drawn/s` +
                ` (${((100 * drawn) / frames).toFixed(1)} %), ${rate(steps)} steps/s, ${(steps / drawn).toFixed(2)} steps per frame drawn`);
  } finally {
    await page.close();
  }
}

for (const engine of chosen) {
  for (const ratio of engine === 'webkit' ? [1] : [1, 2]) {
    const at = ratio === 1 ? '' : ` at ratio ${ratio}`;
    process.stdout.write(`${engine === 'chromium' ? `chromium composited with SwiftShader${at}:` : `${engine}${at}:`}`.padEnd(50));
    await measure(engine, [], ratio);
    if (engine !== 'chromium') continue;
    process.stdout.write(`chromium composited in software${at}:`.padEnd(50));
    await measure(engine, ['--disable-gpu-compositing'], ratio);
  }
}
