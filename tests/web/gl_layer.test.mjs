// The page's own GL layer draws what Emscripten's GL emulation drew before it,
// pixel for pixel, in each engine; where two points fall on one pixel the first
// drawn stays; and the page loads without the emulation's warnings.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { canvasPixels, discArrays, discState, engine, pauseAtStep, withPage } from './browser.mjs';

// The canvas (red channel) at step 400, zoomed out by 180 presses of Up, facing
// the eye and then turned by a drag of (60, 30) pixels: lit pixels and FNV-1a,
// as Emscripten 3.1.6's LEGACY_GL_EMULATION drew them in each engine. Firefox
// and WebKit rasterise alike (Mesa); Chromium's SwiftShader differs from them
// in some 400 and 250 pixels, points that lie within 1/16 of a pixel's edge.
// Debian 13's Mesa (25) puts the one point that Debian 12's (22.3) drew a
// pixel to the left, at column 408.0019 facing, on its own side of the edge.
const debian13 = /^VERSION_ID="13"/m.test(readFileSync('/etc/os-release', 'utf8'));
const mesa = debian13 ? { facing: [3451, '2b971a77'], turned: [2075, '51cd5732'] }
                      : { facing: [3451, 'a64c42a7'], turned: [2075, '51cd5732'] };
const drawnByTheEmulation = {
  chromium: { facing: [3441, 'ed08a6d5'], turned: [2084, '16941493'] },
  firefox: mesa,
  webkit: mesa,
};

function print(pixels) {
  let hash = 0x811c9dc5;
  for (const red of pixels) hash = Math.imul(hash ^ red, 0x01000193) >>> 0;
  return [pixels.filter((red) => red > 0).length, hash.toString(16).padStart(8, '0')];
}

// Facing the eye, all points lie at one depth. For each pixel that two or more
// points of different grey fall on, the grey of the first, skipping pixels
// that a point within 1/16 of a pixel's edge might reach: SwiftShader puts one
// in four of those on the other side, Mesa only those within 0.01.
function firstGreys(arrays, step, zoom) {
  const [radius, , angle] = arrays;
  const focal = 1 / Math.tan(Math.PI / 6);
  const first = new Map(), covered = new Set(), doubtful = new Set();
  for (let i = 0; i < Math.min(22000, 20 * step); ++i) {
    const x = Math.fround(Math.fround(Math.cos(angle[i])) * radius[i]);
    const y = Math.fround(Math.fround(Math.sin(angle[i])) * radius[i]);
    const column = ((focal * zoom * x) / (2 * 6) + 1) * 240, row = ((focal * zoom * y) / 6 + 1) * 120;
    const at = (239 - Math.floor(row)) * 480 + Math.floor(column);
    if (column < 0 || column >= 480 || row < 0 || row >= 240) continue;
    const edge = Math.min(column % 1, 1 - (column % 1), row % 1, 1 - (row % 1)) < 1 / 16;
    if (edge) for (const d of [-481, -480, -479, -1, 0, 1, 479, 480, 481]) doubtful.add(at + d);
    const grey = Math.floor(255 * Math.min(1, Math.fround((40 - radius[i]) / 40 + Math.fround(0.2))));
    if (!first.has(at)) first.set(at, grey);
    else if (first.get(at) !== grey) covered.add(at);
  }
  return [...covered].filter((at) => !doubtful.has(at)).map((at) => [at, first.get(at)]);
}

test('the layer draws the emulation\'s pixels, the first point drawn stays, no emulation warning', () =>
  withPage({}, async (page) => {
    await page.evaluate(() => { for (let k = 0; k < 180; ++k) sendKey('keydown', 38, false); });
    const paused = await pauseAtStep(page, 400);
    assert.equal(paused, 400);
    const shown = () => page.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
    await shown();
    const facing = await canvasPixels(page);
    const { zoom } = await discState(page);
    const collisions = firstGreys(await discArrays(page), paused, zoom);
    assert.ok(collisions.length > 20, `${collisions.length} pixels with two points`);
    assert.deepEqual(collisions.filter(([at, grey]) => facing[at] !== grey), [], 'pixels not showing the first point');

    const box = await page.box('#canvas');
    await page.mouse.move(box.x + 100, box.y + 100);
    await page.mouse.down();
    await page.mouse.move(box.x + 160, box.y + 130, { steps: 6 });
    await page.mouse.up();
    await shown();
    const turned = await canvasPixels(page);
    const view = await discState(page);
    assert.deepEqual([view.rotY, view.rotX], [60, 30]);
    assert.deepEqual({ facing: print(facing), turned: print(turned) }, drawnByTheEmulation[engine]);
    assert.deepEqual((await page.consoleLines()).filter((line) => /emulation/i.test(line)), []);
  }));
