// The page's speed in Chromium's software WebGL, with the disc full: the
// display's frame rate (animation frames a second), the frames the program
// draws and the steps it takes, each a second, over SECONDS (default 10);
// with the page composited through SwiftShader as in the tests, then in software.
//   node bench/web_speed.mjs [SECONDS]
import { discState, openPage, sleep } from '../tests/web/browser.mjs';

const seconds = Number(process.argv[2] ?? 10);

async function measure(extraFlags) {
  const { page, errors, close } = await openPage(extraFlags);
  try {
    await page.waitForFunction(() => Module.HEAPU32[(Module._velquinDisc() + 40) >> 2] >= 1100, { timeout: 120000 });
    await page.evaluate(() => {
      window.clears = 0;
      window.animationFrames = 0;
      const clear = Module.ctx.clear.bind(Module.ctx);
      Module.ctx.clear = (mask) => { ++window.clears; clear(mask); };
      const count = () => { ++window.animationFrames; requestAnimationFrame(count); };
      requestAnimationFrame(count);
    });
    const counts = async () => [...(await page.evaluate(() => [window.animationFrames, window.clears])),
                                (await discState(page)).step];
    const before = await counts();
    await sleep(seconds * 1000);
    const [frames, drawn, steps] = (await counts()).map((count, k) => count - before[k]);
    if (errors.length) throw new Error(`page errors: ${errors.join('; ')}`);
    const rate = (n) => (n / seconds).toFixed(1).padStart(6);
    console.log(`${rate(frames)} display frames/s ${rate(drawn)} frames drawn/s ${rate(steps)} steps/s` +
                `  ${(steps / drawn).toFixed(2)} steps per frame drawn`);
  } finally {
    await close();
  }
}

process.stdout.write('page composited with SwiftShader:  ');
await measure([]);
process.stdout.write('page composited in software:       ');
await measure(['--disable-gpu-compositing']);
