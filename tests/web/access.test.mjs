// The page for everyone: axe-core finds nothing in any state at a desktop's
// and a phone's width, Tab walks out of the canvas and back, the live region
// says changes of state and nothing else, and no width runs off the side.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { engine, sleep, withPage } from './browser.mjs';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const announced = (session) => session.evaluate(() => document.getElementById('announcer').textContent);

// axe's violations at a desktop's size and a phone's (or as near as the engine's window goes), as "rule: elements".
async function violations(session) {
  const found = [];
  for (const [width, height] of [[1024, 768], [Math.max(390, narrowest), 844]]) {
    await session.resize(width, height);
    found.push(...await session.evaluate(async (source) => {
      if (!window.axe) (0, eval)(source);
      const { violations } = await axe.run(document, { rules: { 'label-content-name-mismatch': { enabled: true } } });
      return violations.map((v) => `${innerWidth} px, ${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
    }, axeSource));
  }
  return found;
}

test('axe-core finds no violation while running, paused, ended or failed', async () => {
  await withPage({}, async (session) => {
    assert.deepEqual(await violations(session), [], 'running');
    await session.keyboard.press('Space');
    await session.waitForState('paused');
    assert.deepEqual(await violations(session), [], 'paused');
    await session.keyboard.press('Escape');
    await session.waitForState('ended');
    assert.deepEqual(await violations(session), [], 'ended');
  });
  await withPage({ webgl: false, state: 'failed' }, async (session) => {
    assert.deepEqual(await violations(session), [], 'failed');
  });
});

test('Tab walks from the canvas through every control and back, the focus shown; the canvas keeps its keys', () =>
  withPage({}, async (session) => {
    const focused = () => session.evaluate(() => {
      const element = document.activeElement, style = getComputedStyle(element);
      const shown = style.outlineStyle != 'none' && parseFloat(style.outlineWidth) > 0;
      return `${element.getAttribute('aria-label') ?? element.textContent}${shown ? '' : ' (focus not shown)'}`;
    });
    const order = ["Velquin's disc", 'Space: pause or resume', '← Left arrow: time step down',
                   '→ Right arrow: time step up', '↑ Up arrow: zoom out', '↓ Down arrow: zoom in',
                   'Esc: end the program', 'Licence: MIT, Copyright (c) 2026 The Velquin developers'];
    const forward = [await focused()];
    for (let k = 1; k < order.length; ++k) {
      await session.keyboard.press('Tab');
      forward.push(await focused());
    }
    assert.deepEqual(forward, order);
    const back = [];
    await session.keyboard.down('Shift');
    for (let k = 1; k < order.length; ++k) {
      await session.keyboard.press('Tab');
      back.unshift(await focused());
    }
    await session.keyboard.up('Shift');
    assert.deepEqual(back, order.slice(0, -1));

    // Back on the canvas, its keys are the program's; the live region says each
    // change of state once, and never the figures that change as it runs.
    const running = await announced(session);
    assert.match(running, /^Velquin is running\. .*about step 900\.$/);
    await sleep(1000);
    assert.equal(await announced(session), running, 'nothing more said while it runs');
    await session.keyboard.press('Space');
    await session.waitForState('paused');
    const step = await session.evaluate(() => Module.HEAPU32[(Module._velquinDisc() + 40) >> 2]);
    assert.equal(await announced(session), `Paused at step ${step}.`);
    await session.keyboard.press('Space');
    await session.waitForState('running');
    assert.equal(await announced(session), 'Resumed.');
    await session.keyboard.press('Escape');
    await session.waitForState('ended');
    assert.equal(await announced(session), 'Velquin has ended. Reload the page to start it again.');
  }));

// MiniBrowser's window keeps its toolbar whole, and so no narrower than 447 px:
// WebKit is swept from there, the others from a small phone's width.
const narrowest = engine === 'webkit' ? 447 : 320;
const widths = [narrowest, 360, 390, 480, 600, 720, 721, 800, 832, 833, 960, 1024, 1280, 1440, 1920, 2560]
  .filter((width) => width >= narrowest);

test(`from ${narrowest} to 2560 pixels wide nothing runs off the side and the status text moves nothing`, () =>
  withPage({}, async (session) => {
    const faults = [];
    for (const width of widths) {
      await session.resize(width, 800);
      faults.push(...await session.evaluate((asked) => {
        const found = innerWidth == asked ? [] : [`asked for ${asked} px, the page is shown ${innerWidth} px wide`];
        const status = document.getElementById('status'), text = status.textContent;
        if (document.documentElement.scrollWidth > innerWidth)
          found.push(`${innerWidth} px: the page is ${document.documentElement.scrollWidth} px wide`);
        // The boxes of what follows the status line, for each text it shows while the program runs.
        const boxes = () => JSON.stringify(['#status', 'main > section', 'footer']
          .map((s) => document.querySelector(s).getBoundingClientRect()));
        const first = boxes();
        for (const shown of [fillingText(899, 144), 'Running: step 123456, 144 frames drawn a second.',
                             'Paused at step 123456.', 'Running.']) {
          status.textContent = shown;
          if (boxes() != first) found.push(`${innerWidth} px: "${shown}" moves the page`);
        }
        status.textContent = text;
        return found;
      }, width));
    }
    assert.deepEqual(faults, []);
  }));
