// The page in a real browser engine, for the browser tests, the speed run and
// the capture: opens the web build served on 127.0.0.1 or from disk, keeps the
// page's errors and console lines, and drives and reads it the same way in each.
//
// The engine and the origin are the suite's parameters: `make test-web` runs
// every tests/web/*.test.mjs once for each engine and origin, naming them in
// VELQUIN_ENGINE (chromium | firefox | webkit) and VELQUIN_ORIGIN (served |
// file); `engine` and `origin` below are those, and openPage() opens that
// engine and origin unless told otherwise. A check that does not depend on the
// engine runs once: test(name, onceOnly, ...) skips it, saying so, elsewhere.
//
// Engines: Chromium headless with SwiftShader's WebGL, through puppeteer-core;
// Firefox ESR headed on Xvfb (headless it has no WebGL here), through
// puppeteer-core's WebDriver BiDi; WebKitGTK's MiniBrowser on Xvfb through
// WebKitWebDriver and selenium-webdriver. WebKit's WebDriver screenshots of
// the canvas come back black (the WebGL drawing buffer is not kept after
// compositing), so its pixels are read from the X display.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { once } from 'node:events';
import { mkdtempSync, rmSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { Builder, Key } from 'selenium-webdriver';

const repo = fileURLToPath(new URL('../..', import.meta.url));
export const webBuild = resolve(repo, process.env.VELQUIN_WEB_BUILD ?? 'build-web');
export const engines = ['chromium', 'firefox', 'webkit'];
export const engine = process.env.VELQUIN_ENGINE ?? 'chromium';
export const origin = process.env.VELQUIN_ORIGIN ?? 'served';
if (!engines.includes(engine) || !['served', 'file'].includes(origin))
  throw new Error(`VELQUIN_ENGINE=${engine} VELQUIN_ORIGIN=${origin}: not an engine and origin the harness knows`);
export const onceOnly = {
  skip: engine === 'chromium' && origin === 'served' ? false : 'checked once, in the chromium run of the served page',
};

// Headless as root, with nothing fetched in the background; software WebGL.
const chromiumFlags = [
  '--headless', '--no-sandbox', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--no-first-run', '--disable-quic', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
];
const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// tools/serve-web on a free port, and the address it prints.
export async function startServer() {
  const server = spawn(join(repo, 'tools/serve-web'), [webBuild, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const [line] = await once(server.stdout, 'data');
  return { server, url: String(line).match(/http:\/\/127\.0\.0\.1:\d+\//)[0] };
}

// An Xvfb of its own, on the first free display number (it says so, quietly,
// of each number that it finds taken on the way).
async function startDisplay() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                     { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const [number] = await once(xvfb.stdio[3], 'data');
  return { xvfb, display: ':' + String(number).trim() };
}

const freePort = () => new Promise((done) => {
  const probe = createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => done(port));
  });
});

// The red channel of raw RGB bytes (the points are grey), row 0 at the top.
const red = (rgb) => Array.from({ length: rgb.length / 3 }, (_, i) => rgb[3 * i]);
const pngToRed = (png) => red(execFileSync('convert', ['png:-', '-depth', '8', 'rgb:-'], { input: png, maxBuffer: 1 << 26 }));

// Chromium and Firefox, through puppeteer-core: the raw page is `page`.
async function puppeteerPage(name, webgl, display, flags, viewport, lessMotion) {
  const profile = mkdtempSync(join(tmpdir(), `velquin-${name}-`));
  const browser = name === 'chromium'
    ? await puppeteer.launch({
      executablePath: '/usr/bin/chromium',
      args: [...chromiumFlags, ...flags, ...(webgl ? [] : ['--disable-webgl']), `--user-data-dir=${profile}`],
    })
    : await puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false, userDataDir: profile,
      env: { ...process.env, DISPLAY: display },
      extraPrefsFirefox: { ...(webgl ? {} : { 'webgl.disabled': true }), ...(lessMotion ? { 'ui.prefersReducedMotion': 1 } : {}) },
    });
  const page = await browser.newPage();
  await page.setViewport(viewport);
  if (lessMotion && name === 'chromium') await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
  const errors = [], logs = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => (message.type() === 'error' ? errors : logs).push(message.text()));
  // Firefox names the space bar by the character it types.
  const key = (key) => (key === 'Space' && name === 'firefox' ? ' ' : key);
  return {
    page,
    goto: (url) => page.goto(url),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    waitForFunction: (fn, options, ...args) => page.waitForFunction(fn, options, ...args),
    keyboard: {
      press: (name) => page.keyboard.press(key(name)),
      down: (name) => page.keyboard.down(key(name)),
      up: (name) => page.keyboard.up(key(name)),
    },
    mouse: page.mouse,
    resize: (width, height) => page.setViewport({ ...viewport, width, height }),
    canvasPixels: async () => pngToRed(await (await page.$('#canvas')).screenshot()),
    pageErrors: async () => [...errors],
    consoleLines: async () => [...logs],
    close: async () => {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// WebKitWebDriver has no log of the page: its errors and console lines are
// gathered in the page from when it has loaded, the runtime's own print
// functions included (they hold the console's functions as they were at load;
// not the page's printErr, which keeps the last line for the status line).
// An error while the page loads shows as the page not reaching its state.
function gatherInPage() {
  if (window.velquinSeen) return;
  const seen = window.velquinSeen = { errors: [], logs: [] };
  addEventListener('error', (event) => seen.errors.push(String(event.error ?? event.message)));
  addEventListener('unhandledrejection', (event) => seen.errors.push(String(event.reason)));
  for (const name of ['log', 'info', 'warn', 'error']) {
    const write = console[name].bind(console);
    console[name] = (...parts) => {
      (name === 'error' ? seen.errors : seen.logs).push(parts.join(' '));
      write(...parts);
    };
  }
  if (typeof out === 'function') out = (text) => console.log(text);
  if (typeof err === 'function' && err !== Module.printErr) err = (text) => console.warn(text);
}

const webkitKeys = { Space: Key.SPACE, Escape: Key.ESCAPE, ArrowUp: Key.ARROW_UP, ArrowDown: Key.ARROW_DOWN,
                     ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, Enter: Key.ENTER, Tab: Key.TAB,
                     Shift: Key.SHIFT };

async function webkitPage(webgl, display) {
  const port = await freePort();
  const driverProcess = spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`],
                              { stdio: 'ignore', env: { ...process.env, DISPLAY: display } });
  let driver;
  for (let k = 0; !driver; ++k) {
    try {
      driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
        browserName: 'MiniBrowser', 'webkitgtk:browserOptions': {
          binary: miniBrowser, args: ['--automation', ...(webgl ? [] : ['--enable-webgl=false'])],
        },
      }).build();
    } catch (error) {
      if (k === 50) throw error;
      await new Promise((done) => setTimeout(done, 100));
    }
  }
  const run = (fn, args) =>
    driver.executeAsyncScript(`const done = arguments[arguments.length - 1];
      Promise.resolve((${fn}).apply(null, ${JSON.stringify(args)})).then(done, (e) => done({ velquinError: String(e) }));`)
      .then((result) => {
        if (result?.velquinError) throw new Error(result.velquinError);
        return result;
      });
  let pointer = { x: 0, y: 0 };
  const act = (build) => build(driver.actions({ async: true })).perform();
  const mouseTo = (actions, x, y, steps = 1) => {
    const from = pointer;
    for (let k = 1; k <= steps; ++k)
      actions.move({ x: Math.round(from.x + ((x - from.x) * k) / steps), y: Math.round(from.y + ((y - from.y) * k) / steps),
                     duration: 0 });
    pointer = { x, y };
    return actions;
  };
  const seen = () => run(() => window.velquinSeen ?? { errors: [], logs: [] }, []);
  return {
    page: null,
    goto: async (url) => {
      await driver.get(url);
      await run(gatherInPage, []);
    },
    evaluate: (fn, ...args) => run(fn, args),
    waitForFunction: async (fn, { timeout = 30000 } = {}, ...args) => {
      const end = Date.now() + timeout;
      while (!(await run(fn, args))) {
        if (Date.now() > end) throw new Error(`WebKit: timed out after ${timeout} ms waiting for ${fn}`);
        await new Promise((done) => setTimeout(done, 20));
      }
    },
    keyboard: {
      press: (name) => act((a) => a.keyDown(webkitKeys[name] ?? name).keyUp(webkitKeys[name] ?? name)),
      down: (name) => act((a) => a.keyDown(webkitKeys[name] ?? name)),
      up: (name) => act((a) => a.keyUp(webkitKeys[name] ?? name)),
    },
    mouse: {
      move: (x, y, { steps = 1 } = {}) => act((a) => mouseTo(a, x, y, steps)),
      down: () => act((a) => a.press()),
      up: () => act((a) => a.release()),
      click: (x, y) => act((a) => mouseTo(a, x, y).press().release()),
    },
    // The window is sized so that the page gets the size asked for.
    resize: async (width, height) => {
      const [dx, dy] = await run(() => [outerWidth - innerWidth, outerHeight - innerHeight], []);
      await driver.manage().window().setRect({ width: width + dx, height: height + dy });
      // The web view takes the window's new width a moment later: wait for it, 5 s at most.
      for (const end = Date.now() + 5000; Date.now() < end && (await run(() => innerWidth, [])) !== width;)
        await new Promise((done) => setTimeout(done, 20));
    },
    // The canvas as the X display shows it, once the page has been put on the
    // display (just after load, the window may not yet show it): the web view
    // sits below the window's toolbar, and the window at the screen's corner.
    canvasPixels: async () => {
      const [x, y, width, height] = await run(async () => {
        for (let k = 0; k < 2; ++k) await new Promise((done) => requestAnimationFrame(done));
        const box = document.getElementById('canvas').getBoundingClientRect();
        return [screenX + outerWidth - innerWidth + box.x, screenY + outerHeight - innerHeight + box.y, box.width, box.height]
          .map(Math.round);
      }, []);
      return red(execFileSync('import', ['-window', 'root', '-crop', `${width}x${height}+${x}+${y}`, '-depth', '8', 'rgb:-'],
                              { env: { ...process.env, DISPLAY: display }, maxBuffer: 1 << 24 }));
    },
    pageErrors: async () => (await seen()).errors,
    consoleLines: async () => (await seen()).logs,
    close: async () => {
      await driver.quit();
      driverProcess.kill();
    },
  };
}

// Opens the page and waits until its #status says `state`. Options:
//   engine, origin   as above, by default the run's own
//   webgl            false starts the browser with WebGL turned off (Chromium's
//                    --disable-webgl, Firefox's webgl.disabled, MiniBrowser's --enable-webgl=false)
//   state            the data-state to wait for, 'running' by default
//   flags            more Chromium flags, as the speed run compares two ways of compositing
//   viewport         puppeteer's viewport, set before the page loads (Chromium and Firefox)
//   lessMotion       true asks for less motion (prefers-reduced-motion; Chromium and Firefox)
// What it returns drives and reads the page the same way in every engine:
//   evaluate(fn, ...args), waitForFunction(fn, { timeout }, ...args), waitForState(state)
//   keyboard.press/down/up(name)     puppeteer's key names: 'Space', 'ArrowUp', 'Escape', 'Tab', 'Shift'
//   resize(width, height)            the page's viewport, in CSS pixels
//   mouse.move(x, y, { steps }), mouse.down(), mouse.up(), mouse.click(x, y)   page coordinates
//   click(selector), box(selector)   an element's centre clicked; its box in the page
//   canvasPixels()                   the canvas as shown, red channel, row 0 at the top
//   pageErrors(), consoleLines()     what the page has reported so far
//   page                             puppeteer's page (Chromium, Firefox); null in WebKit
//   close()
export async function openPage({ engine: name = engine, origin: from = origin, webgl = true, state = 'running',
                                 flags = [], viewport = { width: 900, height: 700, deviceScaleFactor: 1 },
                                 lessMotion = false } = {}) {
  const server = from === 'served' ? await startServer() : null;
  const screen = name === 'chromium' ? null : await startDisplay();
  let session;
  try {
    session = await (name === 'webkit' ? webkitPage(webgl, screen.display)
                                            : puppeteerPage(name, webgl, screen?.display, flags, viewport, lessMotion));
    await session.goto(server ? server.url : pathToFileURL(join(webBuild, 'index.html')).href);
    const box = (selector) => session.evaluate((s) => {
      const { x, y, width, height } = document.querySelector(s).getBoundingClientRect();
      return { x, y, width, height };
    }, selector);
    const waitForState = (wanted, timeout = 60000) => session.waitForFunction(
      (s) => document.getElementById('status')?.dataset.state === s, { timeout }, wanted);
    const close = session.close;
    Object.assign(session, {
      engine: name, origin: from, box, waitForState,
      click: async (selector) => {
        const { x, y, width, height } = await box(selector);
        await session.mouse.click(x + width / 2, y + height / 2);
      },
      close: async () => {
        try {
          await close();
        } finally {
          server?.server.kill();
          screen?.xvfb.kill();
        }
      },
    });
    await waitForState(state);
    return session;
  } catch (error) {
    await (session ? session.close() : Promise.resolve()).catch(() => {});
    server?.server.kill();
    screen?.xvfb.kill();
    throw error;
  }
}

// Runs a test's body on a page opened with these options, then checks that
// the page reported no error, and closes it whatever happened.
export async function withPage(options, body) {
  const session = await openPage(options);
  try {
    await body(session);
    assert.deepEqual(await session.pageErrors(), [], 'no page error');
  } finally {
    await session.close();
  }
}

// The disc's step count and time step, the view, and the arrays' addresses.
export function discState(session) {
  return session.evaluate(() => {
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

// Pauses the disc from an animation frame, so at exactly the first step at or
// past `wanted`, as Space would; the step it paused at.
export function pauseAtStep(session, wanted) {
  return session.evaluate((n) => new Promise((done) => {
    const watch = () => {
      const step = Module._velquinStep();
      if (step < n) return requestAnimationFrame(watch);
      sendKey('keydown', 32, false);
      sendKey('keyup', 32, false);
      done(step);
    };
    requestAnimationFrame(watch);
  }), wanted);
}

// Waits until the disc has taken at least `steps` steps.
export function waitForSteps(session, steps, timeout = 60000) {
  return session.waitForFunction((n) => Module._velquinStep() >= n, { timeout }, steps);
}

// The radius, angularSpeed and angle arrays as the page holds them.
export function discArrays(session) {
  return session.evaluate(() => {
    const disc = Module._velquinDisc();
    return [24, 28, 32].map((offset) => {
      const start = Module.HEAPU32[(disc + offset) >> 2] >> 2;
      return Array.from(Module.HEAPF32.subarray(start, start + 22000));
    });
  });
}

// The canvas as shown, red channel only (the points are grey), row 0 at the top.
export const canvasPixels = (session) => session.canvasPixels();

export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
