// The page where the browser fails it and on a phone: no WebGL is said plainly
// and ends the program with status 1; a lost WebGL context comes back with
// the disc drawn from where it stands; a phone gets a page that fits, a drag
// that turns the disc and buttons for the keys; the status line tells the step.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { discArrays, discState, engine, sleep, waitForSteps, withPage } from './browser.mjs';
import { assertNativeArrays, assertPointsDrawn } from './disc_checks.mjs';

const statusText = (session) => session.evaluate(() => document.getElementById('status').textContent);
// Key events as the page's buttons send them, many in one go.
const sendKeys = (session, code, times) =>
  session.evaluate((c, n) => { for (let k = 0; k < n; ++k) sendKey('keydown', c, false); }, code, times);
// What the program set in the context: the depth test, the clear colour, the viewport.
const glState = (session) => session.evaluate(() => {
  const gl = Module.ctx;
  return [gl.isEnabled(gl.DEPTH_TEST), [...gl.getParameter(gl.COLOR_CLEAR_VALUE)], [...gl.getParameter(gl.VIEWPORT)]];
});

test('without WebGL the page says what Velquin needs and the program ends with status 1', () =>
  withPage({ webgl: false, state: 'failed' }, async (session) => {
    const text = await statusText(session);
    assert.match(text, /^Velquin needs WebGL 1, which this browser does not give it: .*hardware acceleration.*another browser\.$/);
    // WebKit's driver gives no console, and the page's own record of it starts after the line is printed.
    if (engine !== 'webkit') assert.ok((await session.consoleLines()).includes(text), 'the same line on standard error');
    assert.equal(await session.evaluate(() => EXITSTATUS), 1);
  }));

test('a lost WebGL context is let restore, and the disc is drawn again from where it stands', () =>
  withPage({}, async (session) => {
    await waitForSteps(session, 30);
    assert.deepEqual(await glState(session), [true, [0, 0, 0, 0], [0, 0, 480, 240]]);
    await session.evaluate(() => { window.loseContext = Module.ctx.getExtension('WEBGL_lose_context'); loseContext.loseContext(); });
    await session.waitForState('lost');
    assert.match(await statusText(session), /taken WebGL away/);
    const lostAt = (await discState(session)).step;
    await session.evaluate(() => loseContext.restoreContext());
    await session.waitForState('running', 10000);
    assert.equal(await session.evaluate(() => announcer.textContent), 'WebGL is back, and the disc is drawn again.');
    assert.deepEqual(await glState(session), [true, [0, 0, 0, 0], [0, 0, 480, 240]], 'the state set again');
    // Some steps on, the ring in view, then paused: the arrays are the native
    // program's and the points are where it puts them.
    await waitForSteps(session, lostAt + 10);
    await sendKeys(session, 38, 180);
    await sendKeys(session, 32, 1);
    await session.waitForState('paused');
    const { step, zoom } = await discState(session);
    assert.equal(await statusText(session), `Paused at step ${step}.`);
    const arrays = await discArrays(session);
    assertNativeArrays(arrays, step);
    await assertPointsDrawn(session, arrays, step, zoom);
    const reports = (await session.consoleLines()).filter((line) => line.startsWith('GL Error'));
    assert.ok(reports.length <= 1 && reports.every((line) => line === 'GL Error unknown error (0x9242) at line 96'),
              reports.join('\n'));
  }));

const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

test('on a phone the page fits, a finger turns the disc and the buttons give the keys',
     { skip: engine !== 'chromium' && 'touch and a phone\'s screen are emulated by Chromium (puppeteer\'s setViewport)' },
     () => withPage({ viewport: phone }, async (session) => {
       const { page } = session;
       // The canvas as wide as the phone, its drawing buffer in the phone's
       // pixels, three to a CSS pixel; the program's window in CSS pixels.
       const box = await session.box('#canvas');
       assert.ok(box.width < 480, `shown ${box.width} pixels wide`);
       assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= innerWidth,
                                                   canvas.width, canvas.height, [...Module.ctx.getParameter(Module.ctx.VIEWPORT)]]),
                        [true, 3 * box.width, 3 * box.height, [0, 0, 3 * box.width, 3 * box.height]], 'no sideways scrolling');
       assert.match(await statusText(session), /^Filling in: step \d+, \d+ frames drawn a second\.$/);

       // A finger's drag turns the disc a degree per CSS pixel.
       await page.touchscreen.touchStart(box.x + 40, box.y + 60);
       for (let k = 1; k <= 6; ++k) await page.touchscreen.touchMove(box.x + 40 + 5 * k, box.y + 60);
       await page.touchscreen.touchEnd();
       assert.equal((await discState(session)).rotY, 30);

       // Each button, found by the name a screen reader reads, acts as its key.
       const tap = (name) => page.tap(`aria/${name}`);
       await tap('Space: pause or resume');
       await session.waitForState('paused');
       const paused = await discState(session);
       assert.equal(await statusText(session), `Paused at step ${paused.step}.`);
       await tap('→ Right arrow: time step up');
       await tap('↑ Up arrow: zoom out');
       const changed = await discState(session);
       assert.deepEqual([changed.step, changed.timeStep, changed.zoom], [paused.step, Math.fround(0.5 + 0.001), Math.fround(0.99)]);
       await tap('← Left arrow: time step down');
       await tap('↓ Down arrow: zoom in');
       const back = await discState(session);
       assert.deepEqual([back.timeStep, back.zoom], [Math.fround(changed.timeStep - 0.001), Math.fround(changed.zoom / 0.99)]);
       // Held, an arrow repeats.
       const right = await (await page.$('aria/→ Right arrow: time step up')).boundingBox();
       await page.touchscreen.touchStart(right.x + 5, right.y + 5);
       await sleep(1200);
       await page.touchscreen.touchEnd();
       assert.ok((await discState(session)).timeStep > back.timeStep + 0.005, 'a held arrow repeats');
       await tap('Space: pause or resume');
       await session.waitForState('running');
       await tap('Esc: end the program');
       await session.waitForState('ended');
       assert.equal(await session.evaluate(() => EXITSTATUS), 0);
     }));
