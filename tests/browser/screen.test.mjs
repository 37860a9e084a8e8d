// The phone in the browser follows the device: its status bar is the
// layout of the process in front, redrawn on every new layout, and each
// device control shows on the phone.
import { after, before, beforeEach, afterEach, test } from 'node:test';
import assert from 'node:assert/strict';
import { Device } from './support/device.mjs';
import { settingsPlist } from './support/settings.mjs';
import {
  launchBrowser, onScreen, postSettingsChange, send, statusBarItems, waitForStatusBar,
} from './support/screen.mjs';

let browser;
let device;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });
beforeEach(async () => { device = await Device.start(); });
afterEach(async () => { await device?.stop(); });

const springBoardLayout = (page) => page.evaluate(() => window.zvScreen.model().layouts.springboard.layout);

test('the status bar shows SpringBoard\'s layout, and a settings change redraws it', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const layout = await springBoardLayout(page);
    assert.deepEqual(await statusBarItems(page), { left: layout.left, center: layout.center, right: layout.right });
    assert.ok(layout.right.includes(11), 'Bluetooth starts on the right');

    device.writeSettings(settingsPlist({ left: ['11 Bluetooth', '00 Time'], hidden: ['13 Alarm'] }));
    await postSettingsChange(page);
    await waitForStatusBar(page, { left: [11, 0, 3, 4, 5] });
    const items = await statusBarItems(page);
    assert.ok(!items.right.includes(13) && !items.right.includes(11), JSON.stringify(items));
    assert.deepEqual(items, (({ left, center, right }) => ({ left, center, right }))(await springBoardLayout(page)));
  });
});

test('lock shows the lock screen with its time and the grabbers the plug-in leaves', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await page.click('#lock');
    await page.waitForSelector('#screen[data-view=lock]');
    const time = await page.evaluate(() => window.zvScreen.model().device.time);
    assert.equal(await page.textContent('#lock-time'), time);
    assert.ok(await page.isVisible('#grabber-top') && await page.isVisible('#grabber-bottom'));

    // The top grabber hidden by the settings, the bottom one left.
    device.writeSettings(settingsPlist({}, { hideTopGrabberLS: true, hideBottomGrabberLS: false }));
    await postSettingsChange(page);
    await page.click('#unlock');
    await page.waitForSelector('#screen[data-view=home]');
    await page.click('#lock');
    await page.waitForSelector('#screen[data-view=lock] #grabber-top[hidden]', { state: 'attached' });
    assert.ok(await page.isVisible('#grabber-bottom'));

    // The page holds nothing: a reload shows the same locked device.
    await page.reload();
    await page.waitForSelector('#screen[data-view=lock] #grabber-top[hidden]', { state: 'attached' });
    await page.click('#unlock');
    await page.waitForSelector('#screen[data-view=home]');
  });
});

// The device's radio buttons are clicked, not checked: the page draws them
// from what the device reports, so a redraw may show the old state until the
// device answers, which Playwright's check() would take for a failed click.
test('Bluetooth shown only while a device is connected', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    device.writeSettings(settingsPlist({}, { bluetoothConnectedOnly: true }));
    await postSettingsChange(page);
    await page.click('input[name=bluetooth][value=on]');
    await page.waitForFunction(() => window.zvScreen.model().layouts.springboard.layout.bluetooth === 'on');
    await page.waitForFunction(() => !document.querySelector('#status-bar g.item[data-type="11"]'));

    await page.click('input[name=bluetooth][value=connected]');
    await page.waitForSelector('#status-bar g.item[data-type="11"]');
    assert.ok(await page.isChecked('input[name=bluetooth][value=connected]'));
    await page.click('#nc-down');
    await page.waitForSelector('#notification-centre:not([hidden])');
    assert.match(await page.textContent('#notification-centre'), /Bluetooth: connected/);
    await page.click('#nc-up');
    await page.waitForSelector('#notification-centre[hidden]', { state: 'attached' });

    await page.click('input[name=bluetooth][value=off]');
    await page.waitForFunction(() => !document.querySelector('#status-bar g.item[data-type="11"]'));
  });
});

test('charger and battery level reach every process and the picture', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await page.click('input[name=charger][value=in]');
    await page.waitForFunction(() => window.zvScreen.model().layouts.springboard.layout.battery.state === 1);
    await page.$eval('#battery-level', (input) => {
      input.value = '35';
      input.dispatchEvent(new Event('change'));
    });
    await page.waitForFunction(() => ['springboard', 'app'].every(
      (p) => window.zvScreen.model().layouts[p].layout.battery.capacity === 35));
    assert.equal(await page.textContent('#battery-text'), '35%');
    assert.ok(await page.isChecked('input[name=charger][value=in]'));
    const svg = await page.innerHTML('#status-bar');
    assert.match(svg, /35%/);
  });
});

test('an application in front shows its own status bar; one that stops can be started again', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    // Only the application's status bar changes: it has its own items.
    assert.ok((await send(page, 'app', { cmd: 'items', types: [0, 7] })).ok);
    await page.click('.app-icon[data-process=app]');
    await page.waitForSelector('#screen[data-view=app][data-shows=app]');
    await waitForStatusBar(page, { left: [], center: [0], right: [7] });

    assert.ok((await send(page, 'app', { cmd: 'quit' })).ok);
    await page.waitForSelector('#stopped:not([hidden])');
    assert.match(await page.textContent('#stopped'), /Notes has stopped \(exit status 0\)/);
    assert.match((await send(page, 'app', { cmd: 'ping' })).error, /app is not running/);
    await page.click('#stopped-start');
    await page.waitForSelector('#processes li[data-process=app][data-state=ready]');
    await page.waitForSelector('#stopped', { state: 'hidden' });

    await page.click('#home-button');
    await page.waitForSelector('#screen[data-view=home]');
    await waitForStatusBar(page, { center: [0], right: (await springBoardLayout(page)).right });
  });
});

test('a page opened after the Settings application ended is shown none of its pages', async (t) => {
  const settingsPage = (page) => page.evaluate(() => window.zvScreen.model().pages.settings ?? null);
  await onScreen(t, browser, device, async (page) => {
    await page.waitForFunction(() => window.zvScreen.model().pages.settings);
    assert.ok((await send(page, 'settings', { cmd: 'quit' })).ok);
    await page.waitForFunction(() => !window.zvScreen.model().pages.settings);
    await onScreen(t, browser, device, async (later) => {
      // The findings come last of what a new page is told.
      await later.waitForFunction(() => window.zvScreen.model().findings);
      await later.waitForSelector('#processes li[data-process=settings][data-state=stopped]', { state: 'attached' });
      assert.equal(await settingsPage(later), null);
    });
  });
});

test('SpringBoard relaunches and its status bar comes back with the settings it reads', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    // A file no notification announced: only a new SpringBoard reads it.
    device.writeSettings(settingsPlist({ left: ['07 Battery'] }));
    assert.deepEqual((await send(page, 'springboard', { cmd: 'relaunch' })).relaunching, true);
    await waitForStatusBar(page, { left: [7, 3, 4, 5] }, 15000);
    await page.waitForSelector('#processes li[data-process=springboard][data-state=ready]');
    assert.ok(await page.isHidden('#stopped'));
  });
});

test('a broken settings file shows the device\'s findings beside the phone, and they clear when a good file replaces it', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const findings = page.getByRole('status').filter({ has: page.locator('#findings-summary') });
    assert.equal(await page.isVisible('#findings'), false);

    device.writeSettings('<?xml version="1.0"?><plist version="1.0"><dict><key>enabled</key>');
    await postSettingsChange(page);
    await findings.getByText('The plug-in is off: it cannot use the settings file.').waitFor();
    assert.match(await findings.innerText(), /not a property list/);

    // A file the plug-in reads, but not all of it.
    device.writeSettings(settingsPlist({ left: ['11 Bluetooth'] }, { hideBatery: true }));
    await postSettingsChange(page);
    await findings.getByText('The plug-in skips part of the settings file.').waitFor();
    assert.match(await findings.innerText(), /hideBatery: unknown key, ignored; did you mean hideBattery\?/);

    device.writeSettings(settingsPlist({ left: ['11 Bluetooth'] }));
    await postSettingsChange(page);
    await page.waitForSelector('#findings', { state: 'hidden' });
    await waitForStatusBar(page, { left: [11, 3, 4, 5] });
  });
});
