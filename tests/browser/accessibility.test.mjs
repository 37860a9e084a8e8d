// The phone for people who use the keyboard or a screen reader: what a
// screen reader is told of the status bar, an accessibility audit (axe-core,
// run as the test's own script: the page's Content Security Policy stays)
// of every screen, and the README's "Design a layout and take it home"
// walked with the keyboard alone. One device for the whole file: the tests
// follow one another as a person's session would.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { Device } from './support/device.mjs';
import { launchBrowser, onScreen, send, waitForStatusBar } from './support/screen.mjs';
import { alertShown, dragRowToTopOf, openSettings, openSettingsPage } from './support/settings-app.mjs';

const PREFERENCES = '/var/mobile/Library/Preferences';
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

let browser;
let device;
before(async () => {
  [browser, device] = await Promise.all([launchBrowser(), Device.start()]);
});
after(async () => {
  await browser?.close();
  await device?.stop();
});

// The accessible description the browser gives the status bar.
async function statusBarDescription(page) {
  const cdp = await page.context().newCDPSession(page);
  try {
    const { root } = await cdp.send('DOM.getDocument');
    const { nodeId } = await cdp.send('DOM.querySelector', { nodeId: root.nodeId, selector: '#status-bar' });
    const { nodes } = await cdp.send('Accessibility.getPartialAXTree', { nodeId, fetchRelatives: false });
    return { name: nodes[0].name?.value, role: nodes[0].role?.value, description: nodes[0].description?.value };
  } finally {
    await cdp.detach();
  }
}

// The serious and critical violations axe-core finds on the page as it is.
async function auditViolations(page) {
  if (await page.evaluate(() => window.axe === undefined)) {
    // Evaluated through the browser's debugging protocol, which the page's
    // CSP does not govern; the page itself is left as it is.
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Runtime.evaluate', { expression: axeSource });
    await cdp.detach();
  }
  return page.evaluate(async () => {
    const { violations } = await window.axe.run(document, { resultTypes: ['violations'] });
    return violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  });
}

// Where the keyboard is: the element's id, or its row's title and part.
function focused(page) {
  return page.evaluate(() => {
    const active = document.activeElement;
    const row = active.closest('.row');
    return {
      id: active.id,
      text: active.textContent.trim(),
      row: row?.dataset.title,
      section: row?.dataset.section,
      part: row ? ['row-text', 'switch', 'row-share', 'row-delete'].find((c) => active.classList.contains(c)) : undefined,
    };
  });
}

// Presses `key` until the keyboard is where `wanted(focused)` says.
async function pressUntil(page, key, wanted, limit = 60) {
  for (let i = 0; i < limit; ++i) {
    if (wanted(await focused(page))) return;
    await page.keyboard.press(key);
  }
  assert.fail(`${key} did not reach the place: the keyboard is on ${JSON.stringify(await focused(page))}`);
}

// Waits until a screen reader is told `text`.
function announced(page, text) {
  return page.waitForFunction((t) => document.getElementById('announcer').textContent === t, text, { timeout: 5000 });
}

const onRow = (title, part, section) => (f) =>
  f.row === title && f.part === part && (section === undefined || f.section === String(section));

test('after a drop the status bar\'s description names the items of each region in their new order', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    // Bluetooth on, so that its item is drawn and said.
    await page.click('input[name=bluetooth][value=on]');
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    await dragRowToTopOf(page, '11 Bluetooth', 0);
    await waitForStatusBar(page, { left: [11, 3, 4, 5] });
    await page.waitForFunction(() => document.getElementById('status-bar-description').textContent.startsWith('Left: Bluetooth'));
    assert.deepEqual(await statusBarDescription(page), {
      name: 'Status bar',
      role: 'image',
      description: 'Left: Bluetooth, Signal strength, Carrier, Wi-Fi; Center: Time; Right: Location, Alarm, 100%, Battery',
    });
    assert.equal(await page.getAttribute('#status-bar-description', 'aria-live'), 'polite');
    await announced(page, '11 Bluetooth moved to Left, row 1 of 1');
    await page.click('input[name=bluetooth][value=absent]');
  });
});

test('an audit finds no serious or critical fault on any screen, alert or menu', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const found = {};
    const audit = async (name) => { found[name] = await auditViolations(page); };
    await page.click('#lock');
    await page.waitForSelector('#screen[data-view=lock]');
    await audit('lock screen');
    await page.click('#nc-down');
    await page.waitForSelector('#notification-centre:not([hidden])');
    await audit('notification centre');
    await page.click('#nc-up');
    await page.click('#unlock');
    await page.waitForSelector('#screen:not([data-view=lock])');
    await page.click('#home-button');
    await page.waitForSelector('#screen[data-view=home]');
    await audit('home screen');
    await openSettings(page);
    await audit('root page');
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    await audit('Sort Order');
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    await audit('Profiles');
    await page.click('.table-section[data-section="0"] .row');
    await alertShown(page);
    await audit('save alert');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#alert-sheet[hidden]', { state: 'attached' });
    await send(page, 'settings', { cmd: 'longpress', duration: 1, section: 0, row: 0 });
    await page.waitForSelector('#openin-sheet:not([hidden])');
    await audit('open-in menu');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#openin-sheet[hidden]', { state: 'attached' });
    assert.deepEqual(found, Object.fromEntries(Object.keys(found).map((name) => [name, []])));
  });
});

test('"Design a layout and take it home" with the keyboard alone', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    // The home button, then the home screen's first icon.
    await pressUntil(page, 'Tab', (f) => f.id === 'home-button');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#screen[data-view=home]');
    assert.equal((await focused(page)).id, 'home-button');
    await pressUntil(page, 'Shift+Tab', (f) => f.text === 'Settings');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#screen[data-view=settings]');
    await page.waitForFunction(() => document.getElementById('settings-view').contains(document.activeElement));
    // The application shows the page it was left on: Back to its root page.
    while ((await page.getAttribute('#settings-view', 'data-page')) !== 'ZorvaneSettingsListController') {
      const shown = await page.getAttribute('#settings-view', 'data-page');
      await pressUntil(page, 'Shift+Tab', (f) => f.id === 'settings-back');
      await page.keyboard.press('Enter');
      await page.waitForFunction((p) => document.getElementById('settings-view').dataset.page !== p, shown);
    }

    // 1. Sort Order: "00 Time" one down in Default, back up, then up into
    // Hidden and on into Right; the keyboard stays on it.
    await pressUntil(page, 'ArrowDown', onRow('Sort Order', 'row-text'));
    await page.keyboard.press('Enter');
    await page.waitForSelector('#settings-view[data-page=ZVSortOrderController]');
    await pressUntil(page, 'ArrowDown', onRow('00 Time', 'row-text', 4));
    const origin = Number((await page.getAttribute('.row[data-title="00 Time"]', 'data-row')));
    const steps = [['Alt+ArrowDown', 4, origin + 1], ['Alt+ArrowUp', 4, origin]];
    for (let row = origin; row > 0; --row) steps.push(['Alt+ArrowUp', 4, row - 1]);
    steps.push(['Alt+ArrowUp', 3, 0]);
    for (const [key, section, row] of steps) {
      await page.keyboard.press(key);
      await page.waitForFunction(([s, r]) => {
        const active = document.activeElement.closest('.row');
        return active?.dataset.title === '00 Time' && active.dataset.section === s && active.dataset.row === r;
      }, [String(section), String(row)]);
    }
    // Hidden: the time has left the status bar.
    await waitForStatusBar(page, { left: [11, 3, 4, 5], center: [], right: [16, 13, 8, 7] });
    await announced(page, '00 Time moved to Hidden, row 1 of 1');
    assert.match(readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane.plist`), 'utf8'),
      /<key>hidden<\/key>\s*<dict>\s*<key>data<\/key>\s*<array>\s*<string>00 Time<\/string>/);
    await page.keyboard.press('Alt+ArrowUp');
    await waitForStatusBar(page, { center: [], right: [0, 16, 13, 8, 7] });
    await page.waitForFunction(() => {
      const active = document.activeElement;
      return active.matches('.row-text') && active.closest('.row[data-section="2"][data-title="00 Time"]');
    });

    // 2. Back on the root page, a switch flipped with Space; Lock and Unlock
    // hand the keyboard to each other.
    await pressUntil(page, 'Shift+Tab', (f) => f.id === 'settings-back');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#settings-view[data-page=ZorvaneSettingsListController]');
    await page.waitForFunction(() => document.activeElement.closest('.row')?.dataset.title === 'Sort Order');
    await pressUntil(page, 'ArrowDown', onRow('Show Time on Lock Screen', 'switch'));
    await page.keyboard.press('Space');
    await page.waitForSelector('.row[data-title="Show Time on Lock Screen"] .switch[aria-checked=true]');
    assert.ok(onRow('Show Time on Lock Screen', 'switch')(await focused(page)), 'the switch keeps the keyboard');
    await pressUntil(page, 'Tab', (f) => f.id === 'lock');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#screen[data-view=lock]');
    await waitForStatusBar(page, { right: [0, 16, 13, 8, 7] });
    await page.waitForFunction(() => document.activeElement.id === 'unlock');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#screen[data-view=settings]');
    await page.waitForFunction(() => document.activeElement.id === 'lock');

    // 3. Profiles: Enter on the Current row asks for a name; Enter in the
    // field saves.
    await pressUntil(page, 'Shift+Tab', onRow('Profiles', 'row-text'));
    await page.keyboard.press('Enter');
    await page.waitForSelector('#settings-view[data-page=ZVProfileController]');
    await page.waitForFunction(() => document.activeElement.closest('.row')?.dataset.title === 'Unsaved');
    await page.keyboard.press('Enter');
    assert.equal((await alertShown(page)).title, 'Save');
    await page.waitForFunction(() => document.activeElement.id === 'alert-field');
    await page.keyboard.type('Time right');
    await page.keyboard.press('Enter');
    await page.waitForSelector('.table-section[data-section="1"] .row[data-title="Time right"]');
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Time right"]');
    await page.waitForFunction(() => document.activeElement.closest('.row')?.dataset.section === '0');
    assert.ok(existsSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Time right.plist`)));
    await announced(page, 'Profile "Time right" saved');

    // Reset: the Current row's Delete, then the alert's Reset.
    await pressUntil(page, 'Tab', onRow('Time right', 'row-delete', 0));
    assert.ok(await page.isVisible('.table-section[data-section="0"] .row-delete'), 'the keyboard shows the button');
    await page.keyboard.press('Enter');
    assert.equal((await alertShown(page)).title, 'Are you sure you want to reset your current profile?');
    await pressUntil(page, 'Tab', (f) => f.text === 'Reset');
    await page.keyboard.press('Enter');
    await waitForStatusBar(page, { left: [3, 4, 5], center: [0], right: [16, 13, 11, 8, 7] });
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Unsaved"]');
    await page.waitForFunction(() => document.activeElement.closest('.row')?.dataset.section === '0');

    // Load: Enter on the profile, then the alert's Yes.
    await pressUntil(page, 'Tab', onRow('Time right', 'row-text', 1));
    await page.keyboard.press('Enter');
    assert.equal((await alertShown(page)).title, 'Are you sure you want to load the selected profile?');
    await pressUntil(page, 'Tab', (f) => f.text === 'Yes');
    await page.keyboard.press('Enter');
    await waitForStatusBar(page, { left: [11, 3, 4, 5], center: [], right: [0, 16, 13, 8, 7] });
    await page.waitForFunction(() => document.activeElement.closest('.row')?.dataset.title === 'Time right');

    // 4. The profile's Share, then "This computer": the browser downloads it.
    await pressUntil(page, 'Tab', onRow('Time right', 'row-share', 1));
    await page.keyboard.press('Enter');
    await page.waitForSelector('#openin-sheet:not([hidden])');
    assert.equal(await page.textContent('#openin-file'), 'net.quellit.zorvane_Time right.plist');
    await page.waitForFunction(() => document.getElementById('openin-handlers').contains(document.activeElement));
    await pressUntil(page, 'Tab', (f) => f.text === 'This computer');
    const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
    assert.equal(download.suggestedFilename(), 'net.quellit.zorvane_Time right.plist');
    assert.deepEqual(readFileSync(await download.path()),
      readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Time right.plist`)));
    await page.waitForSelector('#openin-sheet[hidden]', { state: 'attached' });
    await page.waitForFunction(() => document.activeElement.classList.contains('row-share'));
    // Escape closes the menu as its Cancel does.
    await page.keyboard.press('Enter');
    await page.waitForSelector('#openin-sheet:not([hidden])');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#openin-sheet[hidden]', { state: 'attached' });
    await page.waitForFunction(() => document.activeElement.classList.contains('row-share'));
  });
});
