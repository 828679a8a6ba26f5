// The page for everyone: axe-core finds nothing in any state, Tab walks out of the canvas and back, the live
// region says changes of state alone, and no width runs off the side or lets the status text move the page or leave a gap.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { engine, origin, sleep, withPage } from './browser.mjs';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
// MiniBrowser's window keeps its toolbar whole, so no narrower than 447 px.
const narrowest = engine === 'webkit' ? 447 : 320;
// Where the page comes from changes none of this: once an engine.
const served = { skip: origin === 'file' && 'the page from disk is the page served: checked in the served run' };

// axe's findings at a desktop's width and a phone's, as "width, rule: elements".
async function violations(session, state) {
  for (const width of [1024, Math.max(390, narrowest)]) {
    await session.resize(width, 800);
    assert.deepEqual(await session.evaluate(async (source) => {
      if (!window.axe) (0, eval)(source);
      const { violations } = await axe.run(document, { rules: { 'label-content-name-mismatch': { enabled: true } } });
      return violations.map((v) => `${innerWidth} px, ${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
    }, axeSource), [], state);
  }
}

test('axe-core finds no violation while running, paused, ended or failed', served, async () => {
  await withPage({}, async (session) => {
    for (const [key, state] of [[null, 'running'], ['Space', 'paused'], ['Escape', 'ended']]) {
      if (key) await session.keyboard.press(key);
      await session.waitForState(state);
      await violations(session, state);
    }
  });
  await withPage({ webgl: false, state: 'failed' }, (session) => violations(session, 'failed'));
});

test('Tab walks from the canvas through every control and back, the focus shown; the live region says each change', served, () =>
  withPage({}, async (session) => {
    const focused = () => session.evaluate(() => {
      // The canvas's ring is its frame's.
      const element = document.activeElement;
      const { outlineStyle, outlineWidth } = getComputedStyle(element === canvas ? element.parentElement : element);
      return (element.ariaLabel ?? element.textContent) + (outlineStyle != 'none' && parseFloat(outlineWidth) ? '' : ' (no ring)');
    });
    const order = ["Velquin's disc", 'Space: pause or resume', '← Left arrow: time step down', '→ Right arrow: time step up',
                   '↑ Up arrow: zoom out', '↓ Down arrow: zoom in', 'Esc: end the program',
                   'Licence: MIT, Copyright (c) 2026 The Velquin developers'];
    const walk = [await focused()];
    for (const shift of [false, true]) {
      if (shift) await session.keyboard.down('Shift');
      for (let k = 1; k < order.length; ++k) {
        await session.keyboard.press('Tab');
        walk.push(await focused());
      }
    }
    await session.keyboard.up('Shift');
    assert.deepEqual(walk, [...order, ...order.slice(0, -1).reverse()]);

    // Back on the canvas, its keys are the program's; each change is said once, never the running figures.
    const said = () => session.evaluate(() => announcer.textContent);
    await sleep(1000);
    assert.match(await said(), /^Velquin is running\. .*about step 900\.$/);
    for (const [key, state, words] of [['Space', 'paused', /^Paused at step [1-9]\d*\.$/], ['Space', 'running', /^Resumed\.$/],
                                       ['Escape', 'ended', /^Velquin has ended\. Reload the page to start it again\.$/]]) {
      await session.keyboard.press(key);
      await session.waitForState(state);
      assert.match(await said(), words);
    }
  }));

test(`from ${narrowest} to 2560 pixels wide nothing runs off the side and the status text moves nothing nor leaves a gap`, served, () =>
  withPage({}, async (session) => {
    for (const width of [narrowest, 390, 600, 721, 832, 833, 960, 1024, 1280, 1920, 2560].filter((w) => w >= narrowest)) {
      await session.resize(width, 800);
      assert.deepEqual(await session.evaluate((asked) => {
        const found = [], status = document.getElementById('status'), text = status.textContent;
        const wide = document.documentElement.scrollWidth;
        if (innerWidth != asked || wide > asked) found.push(`asked for ${asked} px, shown ${innerWidth}, ${wide} px wide`);
        // What follows the status line, for each text that it shows while the program runs.
        const boxes = () => JSON.stringify(['#status', 'main > section', 'footer']
          .map((s) => document.querySelector(s).getBoundingClientRect()));
        const first = boxes();
        // Not the less-motion text, which is longer: it gives way once, at the person's own Space.
        for (status.textContent of ['Running.', fillingText(899, 144), 'Running: step 123456, 144 frames drawn a second.'])
          if (boxes() != first) found.push(`${innerWidth} px: "${status.textContent}" moves the page`);
        // The last stays from step 900 on: the box is no taller than it, so no empty lines stay under it.
        status.style.alignSelf = 'start';
        if (status.offsetHeight < status.parentElement.offsetHeight) found.push(`${innerWidth} px: a gap under "${status.textContent}"`);
        status.style.alignSelf = '';
        status.textContent = text;
        return found;
      }, width), []);
    }
  }));
