// The status bar leaves out what does not fit the phone's width rather than
// draw one item over another, and the page says what it left out.
import { after, before, beforeEach, afterEach, test } from 'node:test';
import assert from 'node:assert/strict';
import { Device } from './support/device.mjs';
import { catalogue, settingsPlist } from './support/settings.mjs';
import { launchBrowser, onScreen, postSettingsChange, send } from './support/screen.mjs';

let browser;
let device;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });
beforeEach(async () => { device = await Device.start(); });
afterEach(async () => { await device?.stop(); });

// The boxes the status bar's items take on the page, as drawn.
function itemBoxes(page) {
  return page.evaluate(() => {
    const bar = document.querySelector('#status-bar svg').getBoundingClientRect();
    return [...document.querySelectorAll('#status-bar g.item')].map((item) => {
      const box = item.getBoundingClientRect();
      return { type: Number(item.dataset.type), left: box.left - bar.left, right: box.right - bar.left, barWidth: bar.width };
    });
  });
}

async function showAtWidth(page, points) {
  await page.click(`input[name=phone-width][value="${points}"]`);
  await page.waitForFunction((w) => document.querySelector('#status-bar svg')?.getAttribute('width') === String(w) &&
    document.querySelector('#screen').getBoundingClientRect().width === w, points);
  const boxes = await itemBoxes(page);
  for (const a of boxes) {
    assert.ok(a.left >= 0 && a.right <= a.barWidth + 0.5, `item ${a.type} inside the bar at ${points}: ${JSON.stringify(a)}`);
    for (const b of boxes) {
      if (a === b || (a.right - a.left) === 0 || (b.right - b.left) === 0) continue;
      assert.ok(a.right <= b.left + 0.5 || b.right <= a.left + 0.5,
        `items ${a.type} and ${b.type} overlap at ${points} points: ${JSON.stringify([a, b])}`);
    }
  }
  return boxes;
}

test('with every item on the right, no two items overlap at 320 or 414 points, more fit at 414, and the page says what was left out', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const types = catalogue.map((name) => Number(name.slice(0, 2))).filter((type) => type !== 32 && type !== 33);
    await send(page, 'springboard', { cmd: 'items', types });
    device.writeSettings(settingsPlist({ right: catalogue }));
    await postSettingsChange(page);
    await page.waitForFunction(() => window.zvScreen.model().layouts.springboard.layout.right.length > 20);

    const narrow = await showAtWidth(page, 320);
    await page.getByText(/^Did not fit at 320 points: /).waitFor();
    const wide = await showAtWidth(page, 414);
    await page.getByText(/^Did not fit at 414 points: /).waitFor();
    assert.ok(wide.length > narrow.length, `${wide.length} items at 414 points, ${narrow.length} at 320`);
    // The battery stays while lesser icons go.
    assert.ok(narrow.some((box) => box.type === 7));
    const layout = await page.evaluate(() => window.zvScreen.model().layouts.springboard.layout);
    assert.equal(layout.leftOut.length + wide.length, layout.right.length);
  });
});

test('the Bluetooth glyph shows only while Bluetooth is on, as on the phone', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    // The item's drawing, beyond its title: none while absent or off.
    const drawn = () => page.evaluate(() =>
      document.querySelector('#status-bar g.item[data-type="11"]')?.querySelectorAll(':scope > :not(title)').length ?? -1);
    // What a screen reader hears follows what is drawn.
    const said = () => page.textContent('#status-bar-description');
    assert.equal(await drawn(), 0);
    assert.doesNotMatch(await said(), /Bluetooth/);
    await page.click('input[name=bluetooth][value=on]');
    await page.waitForFunction(() =>
      document.querySelector('#status-bar g.item[data-type="11"]')?.querySelectorAll(':scope > :not(title)').length > 0);
    await page.waitForFunction(() => /Bluetooth/.test(document.getElementById('status-bar-description').textContent));
    await page.click('input[name=bluetooth][value=off]');
    await page.waitForFunction(() =>
      document.querySelector('#status-bar g.item[data-type="11"]')?.querySelectorAll(':scope > :not(title)').length === 0);
    await page.waitForFunction(() => !/Bluetooth/.test(document.getElementById('status-bar-description').textContent));
  });
});
