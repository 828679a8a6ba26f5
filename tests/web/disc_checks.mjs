// What the browser tests hold the page's disc to: the native program's arrays
// at the same step, and lit pixels where the native program puts its points.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { canvasPixels } from './browser.mjs';

// FNV-1a over each float's bytes, low byte first, as disc_numbers prints it.
function fingerprint(values) {
  let hash = 14695981039346656037n;
  for (const byte of new Uint8Array(new Float32Array(values).buffer))
    hash = ((hash ^ BigInt(byte)) * 1099511628211n) & 0xffffffffffffffffn;
  return hash.toString(16).padStart(16, '0');
}

// The page's radius, angularSpeed and angle arrays equal the native program's after `step` steps.
export function assertNativeArrays(arrays, step) {
  const program = process.env.VELQUIN_NATIVE_NUMBERS;
  assert.ok(program, 'VELQUIN_NATIVE_NUMBERS names the native disc_numbers');
  const run = spawnSync(program, [String(step)], { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  const native = run.stdout.trim().split(' ');
  assert.deepEqual(arrays.map(fingerprint), ['radius', 'angularSpeed', 'angle'].map((name) => native[native.indexOf(name) + 1]),
                   `the arrays at step ${step}`);
}

// Where the view of gluPerspective(60, 2, 0.1, 50), six units back, puts the
// model point (x, y, 0) scaled by `zoom` on the 480 x 240 canvas, as a pixel
// counted from the top.
function pixelOf(x, y, zoom) {
  const focal = 1 / Math.tan(Math.PI / 6);
  const column = Math.floor(((focal * zoom * x) / (2 * 6) + 1) * 240);
  const row = 239 - Math.floor(((focal * zoom * y) / 6 + 1) * 120);
  return [column, row];
}

// With the view unturned, every lit pixel lies within a pixel of a live
// particle, and every particle in view is lit within a pixel. A particle
// within a pixel outside the canvas may light its edge pixel.
export async function assertPointsDrawn(session, arrays, step, zoom = 1) {
  const expected = new Set();
  const reach = new Set();
  const live = Math.min(22000, 20 * step);
  const [radius, , angle] = arrays;
  const clamp = (value, size) => Math.min(Math.max(value, 0), size - 1);
  for (let i = 0; i < live; ++i) {
    const [column, row] = pixelOf(radius[i] * Math.cos(angle[i]), radius[i] * Math.sin(angle[i]), zoom);
    if (column >= -1 && column <= 480 && row >= -1 && row <= 240) reach.add(clamp(row, 240) * 480 + clamp(column, 480));
    if (column >= 0 && column < 480 && row >= 0 && row < 240) expected.add(row * 480 + column);
  }
  // The frame that the last step asked for is drawn on the next animation frame.
  await session.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
  const pixels = await canvasPixels(session);
  const near = (set, at) => [-481, -480, -479, -1, 0, 1, 479, 480, 481].some((d) => set.has(at + d));
  const lit = new Set(pixels.flatMap((red, at) => (red > 0 ? [at] : [])));
  assert.ok(expected.size > 100, `${expected.size} particles in view`);
  assert.deepEqual([...lit].filter((at) => !near(reach, at)), [], 'lit pixels away from every particle');
  assert.deepEqual([...expected].filter((at) => !near(lit, at)), [], 'particles in view left dark');
}
