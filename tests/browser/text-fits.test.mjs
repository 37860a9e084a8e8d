// Text of any length fits the phone: headers and footers wrap and push what
// follows down, a long alert message wraps inside its alert.
import { after, before, beforeEach, afterEach, test } from 'node:test';
import assert from 'node:assert/strict';
import { Device } from './support/device.mjs';
import { launchBrowser, onScreen } from './support/screen.mjs';
import { openSettings, openSettingsPage, settingsRow } from './support/settings-app.mjs';

let browser;
let device;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });
beforeEach(async () => { device = await Device.start(); });
afterEach(async () => { await device?.stop(); });

// Every header and footer of the table: its text is whole (no line cut) and
// it ends before the next part of the table begins.
function sectionEndsFit(page) {
  return page.evaluate(() => {
    const problems = [];
    const parts = [...document.querySelectorAll('#settings-table .section-header, #settings-table .rows, #settings-table .section-footer')];
    parts.forEach((part, i) => {
      let bottom = part.getBoundingClientRect().bottom;
      for (const text of part.querySelectorAll('.view-label')) {
        if (text.scrollHeight > text.clientHeight + 1) problems.push(`cut: ${text.textContent.slice(0, 30)}`);
        bottom = Math.max(bottom, text.getBoundingClientRect().bottom);
      }
      const range = document.createRange();
      range.selectNodeContents(part);
      if (part.classList.contains('rows') === false && part.textContent) bottom = Math.max(bottom, range.getBoundingClientRect().bottom);
      const next = parts[i + 1];
      if (next && bottom > next.getBoundingClientRect().top + 1) problems.push(`over the next part: ${part.textContent.slice(0, 30)}`);
    });
    return problems;
  });
}

test('headers, footers and a long alert message fit at the desk and on a 390-pixel-wide phone', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    for (const width of [1280, 390]) {
      await page.setViewportSize({ width, height: 800 });
      await openSettings(page);
      assert.deepEqual(await sectionEndsFit(page), [], `root page at ${width}`);
      await openSettingsPage(page, 'Profiles', 'ZVProfileController');
      assert.deepEqual(await sectionEndsFit(page), [], `Profiles at ${width}`);
    }

    // A 300-character name makes a message longer than the alert is wide.
    await settingsRow(page, 'Unsaved').click();
    await page.locator('#alert-field').fill('x'.repeat(300));
    await page.locator('#alert-buttons button').last().click();
    await page.getByText(/is invalid|cannot/).waitFor();
    const fits = await page.evaluate(() => {
      const box = document.querySelector('.alert-box').getBoundingClientRect();
      const screen = document.getElementById('screen').getBoundingClientRect();
      const message = document.getElementById('alert-message');
      const text = document.createRange();
      text.selectNodeContents(message);
      const lines = text.getBoundingClientRect();
      return lines.left >= box.left && lines.right <= box.right && box.top >= screen.top && box.bottom <= screen.bottom &&
        message.scrollWidth <= message.clientWidth;
    });
    assert.ok(fits, 'the message wraps inside the alert, and the alert inside the screen');
  });
});
