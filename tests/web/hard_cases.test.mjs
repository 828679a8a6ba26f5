// The page where the browser fails it and on a phone: no WebGL is said plainly
// and ends the program with status 1; a lost WebGL context comes back with
// the disc drawn from where it stands; a phone gets a page that fits, a drag
// that turns the disc and buttons for the keys; the status line tells the step.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { discArrays, discState, openPage, sleep, waitForSteps } from './browser.mjs';
import { assertNativeArrays, assertPointsDrawn } from './disc_checks.mjs';

const statusOf = (page) => page.$eval('#status', (s) => [s.dataset.state, s.textContent]);
const waitForState = (page, state) =>
  page.waitForFunction((s) => document.getElementById('status').dataset.state === s, { timeout: 20000 }, state);
// Key events as the page's buttons send them, many in one go.
const sendKeys = (page, code, times) =>
  page.evaluate((c, n) => { for (let k = 0; k < n; ++k) sendKey('keydown', c, false); }, code, times);
// What the program set in the context: the depth test, the clear colour, the viewport.
const glState = (page) => page.evaluate(() => {
  const gl = Module.ctx;
  return [gl.isEnabled(gl.DEPTH_TEST), [...gl.getParameter(gl.COLOR_CLEAR_VALUE)], [...gl.getParameter(gl.VIEWPORT)]];
});

test('without WebGL the page says what Velquin needs and the program ends with status 1', async () => {
  const { page, errors, logs, close } = await openPage(['--disable-webgl'], 'failed');
  try {
    const [, text] = await statusOf(page);
    assert.match(text, /^Velquin needs WebGL 1, which this browser does not give it: .*hardware acceleration.*another browser\.$/);
    assert.ok(logs.includes(text), 'the same line on standard error');
    assert.equal(await page.evaluate(() => EXITSTATUS), 1);
    assert.deepEqual(errors, [], 'no page error');
  } finally {
    await close();
  }
});

test('a lost WebGL context is let restore, and the disc is drawn again from where it stands', async () => {
  const { page, errors, logs, close } = await openPage();
  try {
    await waitForSteps(page, 30);
    assert.deepEqual(await glState(page), [true, [0, 0, 0, 0], [0, 0, 480, 240]]);
    await page.evaluate(() => { window.loseContext = Module.ctx.getExtension('WEBGL_lose_context'); loseContext.loseContext(); });
    await waitForState(page, 'lost');
    assert.match((await statusOf(page))[1], /taken WebGL away/);
    const steps = (await discState(page)).step;
    await page.evaluate(() => loseContext.restoreContext());
    await waitForState(page, 'running');
    assert.deepEqual(await glState(page), [true, [0, 0, 0, 0], [0, 0, 480, 240]], 'the state set again');
    // The ring in view, then paused: the arrays are the native program's and
    // the points are where it puts them.
    await sendKeys(page, 38, 180);
    await sendKeys(page, 32, 1);
    await waitForState(page, 'paused');
    const { step, zoom } = await discState(page);
    assert.ok(step > steps, 'the disc went on');
    assert.equal((await statusOf(page))[1], `Paused at step ${step}.`);
    const arrays = await discArrays(page);
    assertNativeArrays(arrays, step);
    await assertPointsDrawn(page, arrays, step, zoom);
    const reports = logs.filter((line) => line.startsWith('GL Error'));
    assert.ok(reports.every((line) => line === 'GL Error unknown error (0x9242) at line 96') && reports.length <= 1,
              reports.join('\n'));
    assert.deepEqual(errors, [], 'no page error');
  } finally {
    await close();
  }
});

test('on a phone the page fits, a finger turns the disc and the buttons give the keys', async () => {
  const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  const { page, errors, close } = await openPage([], 'running', (p) => p.setViewport(phone));
  try {
    assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= innerWidth,
                                                canvas.width, canvas.height]), [true, 480, 240], 'no sideways scrolling');
    assert.match((await statusOf(page))[1], /filling in from its outer edge.*about step 900/);

    // A drag in window pixels: the canvas is shown scaled to the phone's width.
    const box = await (await page.$('#canvas')).boundingBox();
    const scale = 480 / box.width;
    assert.ok(scale > 1, `shown ${box.width} pixels wide`);
    await page.touchscreen.touchStart(box.x + 40, box.y + 60);
    for (let k = 1; k <= 6; ++k) await page.touchscreen.touchMove(box.x + 40 + 5 * k, box.y + 60);
    await page.touchscreen.touchEnd();
    assert.equal((await discState(page)).rotY, Math.trunc((40 + 30) * scale) - Math.trunc(40 * scale));

    // Each button, found by the name a screen reader reads, acts as its key.
    const tap = (name) => page.tap(`aria/${name}`);
    await tap('Pause or resume (Space)');
    await waitForState(page, 'paused');
    const paused = await discState(page);
    assert.equal((await statusOf(page))[1], `Paused at step ${paused.step}.`);
    await tap('Time step up (Right arrow)');
    await tap('Zoom out (Up arrow)');
    const changed = await discState(page);
    assert.deepEqual([changed.step, changed.timeStep, changed.zoom], [paused.step, Math.fround(0.5 + 0.001), Math.fround(0.99)]);
    await tap('Time step down (Left arrow)');
    await tap('Zoom in (Down arrow)');
    const back = await discState(page);
    assert.deepEqual([back.timeStep, back.zoom], [Math.fround(changed.timeStep - 0.001), Math.fround(changed.zoom / 0.99)]);
    // Held, an arrow repeats.
    const right = await (await page.$('aria/Time step up (Right arrow)')).boundingBox();
    await page.touchscreen.touchStart(right.x + 5, right.y + 5);
    await sleep(1200);
    await page.touchscreen.touchEnd();
    assert.ok((await discState(page)).timeStep > back.timeStep + 0.005, 'a held arrow repeats');
    await tap('Pause or resume (Space)');
    await waitForState(page, 'running');
    await tap('End the program (Escape)');
    await waitForState(page, 'ended');
    assert.equal(await page.evaluate(() => EXITSTATUS), 0);
    assert.deepEqual(errors, [], 'no page error');
  } finally {
    await close();
  }
});
