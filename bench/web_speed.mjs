// The page's speed in each engine, served as the tests open it, with the disc
// full: the display's frame rate (animation frames a second), the frames the
// program draws and the steps it takes, each a second, over SECONDS (default
// 10); Chromium with the page composited through SwiftShader as in the tests,
// then in software.
//   node bench/web_speed.mjs [SECONDS [ENGINE...]]
import { engines, openPage, sleep, waitForSteps } from '../tests/web/browser.mjs';

const seconds = Number(process.argv[2] ?? 10);
const chosen = process.argv.length > 3 ? process.argv.slice(3) : engines;

async function measure(engine, flags = []) {
  const page = await openPage({ engine, origin: 'served', flags });
  try {
    await waitForSteps(page, 1100, 120000);
    await page.evaluate(() => {
      window.clears = 0;
      window.animationFrames = 0;
      window.frameTimes = [];
      window.errorWaits = [];
      // A frame runs from its glClear to the end of its glGetError, which in
      // WebGL waits for the GPU process to catch up.
      const ctx = Module.ctx;
      const clear = ctx.clear.bind(ctx), getError = ctx.getError.bind(ctx);
      let frameStart = 0;
      ctx.clear = (mask) => { ++window.clears; frameStart = performance.now(); clear(mask); };
      ctx.getError = () => {
        const asked = performance.now();
        const code = getError();
        const now = performance.now();
        window.errorWaits.push(now - asked);
        window.frameTimes.push(now - frameStart);
        return code;
      };
      const count = () => { ++window.animationFrames; requestAnimationFrame(count); };
      requestAnimationFrame(count);
    });
    // Read in one go: apart, a driver's round trips let a frame fall between them.
    const counts = () => page.evaluate(() => [window.animationFrames, window.clears,
                                              Module.HEAPU32[(Module._velquinDisc() + 40) >> 2]]);
    const before = await counts();
    await sleep(seconds * 1000);
    const [frames, drawn, steps] = (await counts()).map((count, k) => count - before[k]);
    const errors = await page.pageErrors();
    if (errors.length) throw new Error(`page errors: ${errors.join('; ')}`);
    const [frameTimes, errorWaits] = await page.evaluate(() => [window.frameTimes, window.errorWaits]);
    const rate = (n) => (n / seconds).toFixed(1).padStart(6);
    const ms = (times, share) => [...times].sort((a, b) => a - b)[Math.floor(times.length * share)].toFixed(1);
    console.log(`${rate(frames)} display frames/s ${rate(drawn)} frames drawn/s` +
                ` (${((100 * drawn) / frames).toFixed(1)} %) ${rate(steps)} steps/s  ${(steps / drawn).toFixed(2)} steps per frame drawn`);
    console.log(`    frame ${ms(frameTimes, 0.5)} ms median, ${ms(frameTimes, 0.9)} ms 90th percentile;` +
                ` of which glGetError ${ms(errorWaits, 0.5)} ms median, ${ms(errorWaits, 0.9)} ms 90th percentile`);
  } finally {
    await page.close();
  }
}

for (const engine of chosen) {
  process.stdout.write(`${engine === 'chromium' ? 'chromium composited with SwiftShader:' : `${engine}:`.padEnd(38)} `);
  await measure(engine);
  if (engine !== 'chromium') continue;
  process.stdout.write('chromium composited in software:       ');
  await measure(engine, ['--disable-gpu-compositing']);
}
