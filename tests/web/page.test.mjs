// The web page in each browser engine, served and opened from disk (the run's
// VELQUIN_ENGINE and VELQUIN_ORIGIN): it loads cleanly, its disc holds the
// native program's numbers and lights the native program's pixels, the
// controls act as on the desktop, a GL error is reported on the console, and
// each mend to Emscripten's GLUT holds.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { get } from 'node:http';
import { test } from 'node:test';
import { canvasPixels, discArrays, discState, onceOnly, sleep, startServer, waitForSteps, webBuild, withPage }
  from './browser.mjs';
import { assertNativeArrays, assertPointsDrawn } from './disc_checks.mjs';

test('the page loads focused, fills in and holds the native numbers and points', () =>
  withPage({}, async (page) => {
    const [title, canvas, licence] = await page.evaluate(() => {
      const c = document.getElementById('canvas');
      return [document.title, [c.width, c.height, document.activeElement === c], document.querySelector('details').textContent];
    });
    assert.equal(title, 'Velquin');
    assert.deepEqual(canvas, [480, 240, true]);
    assert.match(licence, /MIT License\s+Copyright \(c\) 2026 The Velquin developers/);
    await page.waitForFunction(() => Module.framesDrawn > 0);
    assert.ok((await canvasPixels(page)).every((red) => red === 0), 'the spawn ring lies outside the first view');

    // Particles reach the view after some nine hundred steps.
    await waitForSteps(page, 1000);
    await page.keyboard.press('Space');
    const { step } = await discState(page);
    await sleep(300);
    assert.equal((await discState(page)).step, step, 'Space pauses');

    const arrays = await discArrays(page);
    assertNativeArrays(arrays, step);
    await assertPointsDrawn(page, arrays, step);

    // The arrows: time step by 0.001, zoom by 0.99, each rounded to float. A GL
    // error left pending before the frame that a key asks for is reported.
    await page.keyboard.press('ArrowRight');
    await page.evaluate(() => Module.ctx.bindBuffer(0x1234, null));
    await page.keyboard.press('ArrowUp');
    const report = 'GL Error invalid enumerant (0x500) at line 96';
    let logs = [];
    for (let k = 0; k < 100 && !logs.includes(report); ++k) {
      logs = await page.consoleLines();
      await sleep(20);
    }
    assert.ok(logs.includes(report), logs.join('\n'));
    const changed = await discState(page);
    assert.equal(changed.timeStep, Math.fround(0.5 + 0.001));
    assert.equal(changed.zoom, Math.fround(0.99));
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowLeft');
    const back = await discState(page);
    assert.equal(back.zoom, Math.fround(changed.zoom / 0.99));
    assert.equal(back.timeStep, Math.fround(changed.timeStep - 0.001));

    await page.keyboard.press('Space');
    await sleep(300);
    assert.ok((await discState(page)).step > step, 'Space resumes');
  }));

test('a drag turns the disc one degree per pixel, exactly, and keys need the canvas focused', () =>
  withPage({}, async (page) => {
    const box = await page.box('#canvas');
    await page.mouse.move(box.x + 100, box.y + 100);
    await page.mouse.down();
    await page.mouse.move(box.x + 160, box.y + 130, { steps: 6 });
    await page.mouse.up();
    const view = await discState(page);
    assert.deepEqual([view.rotY, view.rotX], [60, 30]);

    await page.mouse.click(box.x + 700, box.y + 10);
    await page.keyboard.press('ArrowRight');
    assert.equal((await discState(page)).timeStep, 0.5, 'no key taken without the focus');
  }));

test('each animation frame takes one step and draws it, after a quick pause and resume too', () =>
  withPage({}, async (page) => {
    const [steps, drawn] = await page.evaluate(async () => {
      const canvas = document.getElementById('canvas');
      // Both presses inside one task, between two animation frames.
      for (let k = 0; k < 2; ++k) canvas.dispatchEvent(new KeyboardEvent('keydown', { keyCode: 32, bubbles: true }));
      let clears = 0;
      const clear = Module.ctx.clear.bind(Module.ctx);
      Module.ctx.clear = (mask) => { ++clears; clear(mask); };
      const frame = () => new Promise((done) => requestAnimationFrame(done));
      const step = () => Module._velquinStep();
      await frame();
      const [firstStep, firstClears] = [step(), clears];
      for (let k = 0; k < 60; ++k) await frame();
      return [step() - firstStep, clears - firstClears];
    });
    assert.deepEqual({ steps, drawn }, { steps: 60, drawn: 60 }, 'over 60 animation frames');
  }));

test('Escape ends the program for good and the page says how to start again', () =>
  withPage({}, async (page) => {
    await waitForSteps(page, 50);
    // Frames counted by their clears, from here on.
    await page.evaluate(() => {
      window.clears = 0;
      const clear = Module.ctx.clear.bind(Module.ctx);
      Module.ctx.clear = (mask) => { ++window.clears; clear(mask); };
    });
    await page.keyboard.press('Escape');
    const atEnd = await discState(page);
    const lowMemory = () => page.evaluate(() => Array.from(Module.HEAPU8.subarray(0, 4096)));
    const memory = await lowMemory();
    const clears = await page.evaluate(() => window.clears);
    const pixels = await canvasPixels(page);
    await page.mouse.move(10, 10);
    await page.keyboard.press('Space');
    await page.keyboard.press('ArrowRight');
    await sleep(1500);
    const later = await discState(page);
    assert.deepEqual(atEnd.arrays, [0, 0, 0], 'the arrays are released');
    assert.equal(await page.evaluate(() => EXITSTATUS), 0, 'exit status');
    assert.deepEqual(later, atEnd, 'no step and no key after Escape');
    assert.equal(await page.evaluate(() => window.clears), clears, 'no frame after Escape');
    assert.deepEqual(await lowMemory(), memory, 'nothing written after Escape');
    assert.deepEqual(await canvasPixels(page), pixels, 'the last frame stays');
    assert.equal(await page.evaluate(() => document.getElementById('status').textContent),
                 'Velquin has ended. Reload the page to start it again.');
  }));

test('the server gives the page and nothing outside the build, whatever the address', onceOnly, async () => {
  const { server, url } = await startServer();
  const status = (path) => new Promise((done, fail) => get(url + path, (response) => {
    response.resume();
    done(response.statusCode);
  }).on('error', fail));
  try {
    assert.deepEqual([await status('%E0%A4%A'), await status('%2e%2e/LICENSE'), await status('velquin.js'),
                      await status('velquin.webmanifest'), await status('icons/velquin-256.png')],
                     [404, 404, 200, 200, 200]);
  } finally {
    server.kill();
  }
});

test('the zip holds the page as built, its manifest, the program\'s icons and the licence, in a folder of its name', onceOnly, () => {
  const zip = process.env.VELQUIN_WEB_ZIP;
  assert.ok(zip, 'VELQUIN_WEB_ZIP names the zip');
  const into = mkdtempSync(join(tmpdir(), 'velquin-zip-'));
  try {
    execFileSync('cmake', ['-E', 'tar', 'xf', zip], { cwd: into });
    const folder = basename(zip, '.zip');
    assert.deepEqual(readdirSync(into), [folder]);
    assert.deepEqual(readdirSync(join(into, folder)).sort(),
                     ['LICENSE.txt', 'NOTICE.txt', 'icons', 'index.html', 'velquin.js', 'velquin.webmanifest']);
    const same = (name, original) => assert.ok(readFileSync(join(into, folder, name)).equals(readFileSync(original)), name);
    same('index.html', join(webBuild, 'index.html'));
    same('velquin.js', join(webBuild, 'velquin.js'));
    same('LICENSE.txt', new URL('../../LICENSE', import.meta.url));
    same('NOTICE.txt', new URL('../../NOTICE', import.meta.url));
    same('velquin.webmanifest', join(webBuild, 'velquin.webmanifest'));
    for (const { src, sizes } of JSON.parse(readFileSync(join(webBuild, 'velquin.webmanifest'), 'utf8')).icons)
      same(src, new URL(`../../packaging/icons/${sizes}/apps/velquin.png`, import.meta.url));
  } finally {
    rmSync(into, { recursive: true, force: true });
  }
});
