// The page in Debian's headless Chromium, for the browser tests and the speed
// run: serves the web build on 127.0.0.1, opens the page, keeps page errors,
// and reads the disc, the view and the canvas's pixels back.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const repo = fileURLToPath(new URL('../..', import.meta.url));
export const webBuild = resolve(repo, process.env.VELQUIN_WEB_BUILD ?? 'build-web');

// Headless as root, with nothing fetched in the background; software WebGL.
const chromiumFlags = [
  '--headless', '--no-sandbox', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--no-first-run', '--disable-quic', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
];

// Flags added for one run, as the speed run compares two ways of compositing.
// tools/serve-web on a free port, and the address it prints.
export async function startServer() {
  const server = spawn(join(repo, 'tools/serve-web'), [webBuild, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const [line] = await once(server.stdout, 'data');
  return { server, url: String(line).match(/http:\/\/127\.0\.0\.1:\d+\//)[0] };
}

export async function openPage(extraFlags = [], state = 'running', prepare = async () => {}) {
  const { server, url } = await startServer();
  const profile = mkdtempSync(join(tmpdir(), 'velquin-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', args: [...chromiumFlags, ...extraFlags, `--user-data-dir=${profile}`],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 700, deviceScaleFactor: 1 });
  const errors = [];
  const logs = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => (message.type() === 'error' ? errors : logs).push(message.text()));
  await prepare(page);
  await page.goto(url);
  await page.waitForFunction((s) => document.getElementById('status').dataset.state === s, {}, state);
  const close = async () => {
    await browser.close();
    server.kill();
    rmSync(profile, { recursive: true, force: true });
  };
  return { page, errors, logs, close };
}

// The disc's step count and time step, the view, and the arrays' addresses.
export function discState(page) {
  return page.evaluate(() => {
    const disc = Module._velquinDisc(), view = Module._velquinView();
    const f32 = Module.HEAPF32, u32 = Module.HEAPU32;
    return {
      step: u32[(disc + 40) >> 2] + u32[(disc + 44) >> 2] * 2 ** 32,
      timeStep: f32[(disc + 16) >> 2],
      arrays: [u32[(disc + 24) >> 2], u32[(disc + 28) >> 2], u32[(disc + 32) >> 2]],
      rotX: f32[view >> 2], rotY: f32[(view + 4) >> 2], zoom: f32[(view + 8) >> 2],
    };
  });
}

// Waits until the disc has taken at least `steps` steps.
export function waitForSteps(page, steps, timeout = 60000) {
  return page.waitForFunction((n) => Module.HEAPU32[(Module._velquinDisc() + 40) >> 2] >= n, { timeout }, steps);
}

// The radius, angularSpeed and angle arrays as the page holds them.
export function discArrays(page) {
  return page.evaluate(() => {
    const disc = Module._velquinDisc();
    return [24, 28, 32].map((offset) => {
      const start = Module.HEAPU32[(disc + offset) >> 2] >> 2;
      return Array.from(Module.HEAPF32.subarray(start, start + 22000));
    });
  });
}

// The canvas as shown, red channel only (the points are grey), row 0 at the top.
export async function canvasPixels(page) {
  const png = await (await page.$('#canvas')).screenshot({ encoding: 'base64' });
  return page.evaluate(async (data) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const context = Object.assign(document.createElement('canvas'), { width: 480, height: 240 }).getContext('2d');
    context.drawImage(image, 0, 0);
    const rgba = context.getImageData(0, 0, 480, 240).data;
    return Array.from({ length: 480 * 240 }, (_, i) => rgba[4 * i]);
  }, png);
}


export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
