// The page at the screen's own density, and for people who ask for less motion.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { canvasPixels, discState, engine, onceOnly, pauseAtStep, sleep, withPage } from './browser.mjs';

const puppeteerOnly = { skip: engine === 'webkit' && 'density and motion preference are set through puppeteer (Chromium, Firefox)' };

test('at twice the density the buffer is the screen\'s pixels and each point a sharp 2 x 2 square', puppeteerOnly, () =>
  withPage({ viewport: { width: 900, height: 700, deviceScaleFactor: 2 } }, async (session) => {
    // Paused at step 1100, where every point in view is white.
    await pauseAtStep(session, 1100);
    await session.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
    assert.deepEqual(await session.evaluate(() => [canvas.width, canvas.height]), [960, 480]);
    const pixels = await canvasPixels(session);
    assert.equal(pixels.length, 960 * 480);
    // Each lit pixel inside the edge (a point on the edge shows part of its square) in a lit 2 x 2 square.
    const lit = (at) => pixels[at] > 0;
    const square = (at) => lit(at) && lit(at + 1) && lit(at + 960) && lit(at + 961);
    const loose = pixels.flatMap((red, at) => (red > 0 && at % 960 > 0 && at % 960 < 959 && at > 960 && at < 479 * 960 &&
      ![at, at - 1, at - 960, at - 961].some(square) ? [at] : []));
    assert.ok(pixels.filter((red) => red > 0).length > 4000, 'points in view');
    assert.deepEqual({ levels: [...new Set(pixels)].sort((a, b) => a - b), loose }, { levels: [0, 255], loose: [] });

    // A drag turns the disc a degree per CSS pixel; in a narrower window the buffer follows the canvas.
    const box = await session.box('#canvas');
    await session.mouse.move(box.x + 100, box.y + 100);
    await session.mouse.down();
    await session.mouse.move(box.x + 160, box.y + 130, { steps: 6 });
    await session.mouse.up();
    const { rotX, rotY } = await discState(session);
    assert.deepEqual([rotY, rotX], [60, 30]);
    await session.resize(400, 700);
    await session.waitForFunction(() => canvas.width === 2 * canvas.clientWidth && canvas.clientWidth < 400 &&
                                        canvas.height === 2 * canvas.clientHeight, { timeout: 5000 });
  }));

test('with less motion asked for, the disc waits paused at step 0 until Space starts it', puppeteerOnly, () =>
  withPage({ lessMotion: true, state: 'paused' }, async (session) => {
    const said = 'Paused, as your system asks for less motion: press Space or the Space button to start';
    await sleep(500);
    assert.deepEqual(await session.evaluate(() => [Module._velquinStep(), statusLine.textContent, announcer.textContent]),
                     [0, said, said]);
    await session.keyboard.press('Space');
    await session.waitForState('running');
    await session.waitForFunction(() => Module._velquinStep() > 10);
  }));

test('with forced colours the disc keeps an edge; a phone held sideways shows the disc and its keys', onceOnly, () =>
  withPage({ viewport: { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true } }, async (session) => {
    // puppeteer's own list of media features lacks this one.
    await (await session.page.createCDPSession()).send('Emulation.setEmulatedMedia',
                                                       { features: [{ name: 'forced-colors', value: 'active' }] });
    const [edge, keysEnd, frame] = await session.evaluate(() => {
      canvas.blur();
      const frame = document.getElementById('frame');
      return [getComputedStyle(frame).outlineStyle, document.getElementById('keys').getBoundingClientRect().bottom,
              frame.getBoundingClientRect().width];
    });
    assert.deepEqual([edge, keysEnd <= 390, frame], ['solid', true, 480]);
  }));
