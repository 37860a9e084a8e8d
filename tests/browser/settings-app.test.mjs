// The Settings application on the phone, worked with the mouse: the road of
// one change from a drag in the sort-order editor to every status bar, the
// root page's switches and relaunch, and the profile manager's save, reset,
// load, delete and share. One device for the whole file: the tests follow
// one another as a person's session would.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { Device } from './support/device.mjs';
import { launchBrowser, onScreen, send, statusBarItems, waitForStatusBar } from './support/screen.mjs';
import { settingsPlist } from './support/settings.mjs';
import {
  alertShown, dragRowToTopOf, holdOn, openSettings, openSettingsPage, pressAlertButton, settingsRow, swipeLeft,
} from './support/settings-app.mjs';

const PREFERENCES = '/var/mobile/Library/Preferences';

let browser;
let device;
before(async () => {
  [browser, device] = await Promise.all([launchBrowser(), Device.start()]);
});
after(async () => {
  await browser?.close();
  await device?.stop();
});

const layoutOf = (page, process) => page.evaluate((p) => window.zvScreen.model().layouts[p]?.layout, process);

test('dragging "11 Bluetooth" from Default to the top of Left draws it first on the left, and the road shows each step', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    // Nothing but the rows the page lets move can be picked up: here every row.
    assert.equal(await page.locator('#settings-table .row:not(.movable)').count(), 0);
    assert.ok((await statusBarItems(page)).right.includes(11));

    await dragRowToTopOf(page, '11 Bluetooth', 0);
    await waitForStatusBar(page, { left: [11, 3, 4, 5] });
    // The editor shows what the Settings application now holds.
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="11 Bluetooth"][data-row="0"]');
    for (const host of ['springboard', 'app']) {
      await page.waitForFunction((p) => window.zvScreen.model().layouts[p]?.layout.left[0] === 11, host);
    }

    // The road: the settings file, the two posts in their order, every status bar laid out.
    await page.waitForSelector('#road-steps li[data-kind=laidOut][data-process=app]');
    await page.waitForSelector('#road-steps li[data-kind=laidOut][data-process=springboard]');
    const road = await page.evaluate(() => window.zvScreen.model().road);
    assert.equal(road.action.cmd, 'move');
    const at = (kind, process, subject) => road.steps.findIndex(
      (s) => s.kind === kind && s.process === process && (subject === undefined || s.subject === subject));
    const wrote = at('wrote', 'settings', `${PREFERENCES}/net.quellit.zorvane.plist`);
    const preferences = at('posted', 'settings', 'net.quellit.zorvane/preferences');
    const reload = at('posted', 'settings', 'net.quellit.zorvane/reloadStatusBar');
    assert.ok(wrote >= 0 && preferences > wrote && reload > preferences, JSON.stringify(road));
    assert.equal(road.steps[wrote].file, 'settings');
    assert.ok(at('laidOut', 'springboard') > reload && at('laidOut', 'app') > reload, JSON.stringify(road));
    const times = road.steps.map((s) => s.ms);
    assert.deepEqual(times, [...times].sort((a, b) => a - b));
    assert.ok(times[0] >= 0);
    assert.match(await page.textContent('#road-steps'), /settings file written/);

    // The charger goes in and out, then SpringBoard starts again: every
    // status bar lays out anew, but none of it is a step of the drop's road.
    await page.waitForSelector('#road-steps li[data-kind=laidOut][data-process=settings]');
    const drop = await page.evaluate(() => window.zvScreen.model().road);
    const laidOutAt = (p) => page.evaluate((process) => window.zvScreen.model().layouts[process].layout.t, p);
    for (const state of ['in', 'out']) {
      await page.click(`input[name=charger][value=${state}]`);
      await page.waitForFunction((s) => ['springboard', 'app'].every(
        (p) => window.zvScreen.model().layouts[p].layout.battery.state === s), state === 'in' ? 1 : 0);
    }
    const before = await laidOutAt('springboard');
    assert.deepEqual((await send(page, 'springboard', { cmd: 'relaunch' })).relaunching, true);
    await page.waitForFunction((t) => window.zvScreen.model().layouts.springboard.layout.t > t, before, { timeout: 15000 });
    assert.deepEqual(await page.evaluate(() => window.zvScreen.model().road), drop);
  });
});

test('with "Show Time on Lock Screen" on, the locked status bar shows the time where the user put it', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    await dragRowToTopOf(page, '00 Time', 2);  // Right
    await waitForStatusBar(page, { right: [0, 16, 13, 8, 7] });

    await page.click('#lock');
    await page.waitForSelector('#screen[data-view=lock]');
    await page.waitForFunction(() => !document.querySelector('#status-bar g.item[data-type="0"]'));
    await page.click('#unlock');
    await page.waitForSelector('#screen[data-view=settings]');

    await openSettings(page);
    const toggle = settingsRow(page, 'Show Time on Lock Screen').locator('.switch');
    assert.equal(await toggle.getAttribute('aria-checked'), 'false');
    await toggle.click();
    await page.waitForSelector('.row[data-title="Show Time on Lock Screen"] .switch[aria-checked=true]');
    // The road names the action by what the touch did.
    await page.waitForSelector('#road-steps li[data-kind=wrote]');
    assert.match(await page.locator('#road-action').textContent(), /^Switch flipped \(Settings\)/);
    await page.click('#lock');
    await page.waitForSelector('#screen[data-view=lock]');
    await waitForStatusBar(page, { right: [0, 16, 13, 8, 7] });
    await page.click('#unlock');
    await page.waitForSelector('#screen[data-view=settings]');
  });
});

test('a finger drags a row by its reorder control', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    const handle = await settingsRow(page, '00 Time').locator('.reorder-handle').boundingBox();
    const center = await page.locator('.table-section[data-section="1"] .section-header').boundingBox();
    const touch = await page.context().newCDPSession(page);
    const x = handle.x + handle.width / 2;
    const from = handle.y + handle.height / 2;
    const to = center.y + center.height - 4;
    await touch.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y: from }] });
    for (let i = 1; i <= 8; ++i) {
      await touch.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x, y: from + ((to - from) * i) / 8 }] });
    }
    await touch.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await waitForStatusBar(page, { center: [0], right: [16, 13, 8, 7] });
  });
});

test('a profile saved, the settings reset, the profile loaded back: the layout returns', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const saved = (await layoutOf(page, 'springboard'));
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    assert.equal(await page.locator('#settings-table .row.movable').count(), 0, 'profiles cannot be picked up');

    // Save: a tap on the Current row asks for a name.
    await settingsRow(page, 'Unsaved').click();
    assert.deepEqual(await alertShown(page), {
      title: 'Save', message: 'Please enter a Profile Name', buttons: ['Cancel', 'Save'], field: true,
    });
    await page.fill('#alert-field', 'Bluetooth left');
    await pressAlertButton(page, 'Save');
    await page.waitForSelector('.table-section[data-section="1"] .row[data-title="Bluetooth left"]');
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Bluetooth left"]');
    assert.ok(existsSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Bluetooth left.plist`)));

    // Reset: a swipe on the Current row and its delete button ask first.
    await swipeLeft(page, settingsRow(page, 'Bluetooth left').first());
    await page.click('.table-section[data-section="0"] .row.revealed .delete-button');
    assert.equal((await alertShown(page)).title, 'Are you sure you want to reset your current profile?');
    await pressAlertButton(page, 'Reset');
    await waitForStatusBar(page, { left: [3, 4, 5], center: [0], right: [16, 13, 11, 8, 7] });
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Unsaved"]');

    // Load: a tap on the profile, then "Yes".
    await page.click('.table-section[data-section="1"] .row[data-title="Bluetooth left"]');
    assert.equal((await alertShown(page)).title, 'Are you sure you want to load the selected profile?');
    await pressAlertButton(page, 'Yes');
    await waitForStatusBar(page, { left: saved.left, center: saved.center, right: saved.right });
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Bluetooth left"]');
  });
});

test('a long press shares the settings file to "This computer": the download is the file on the device', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    // Shorter than the recognizer's second: a tap (which asks for a name), no share.
    await holdOn(page, page.locator('.table-section[data-section="0"] .row'), 400);
    assert.equal((await alertShown(page)).title, 'Save');
    await pressAlertButton(page, 'Cancel');
    assert.ok(await page.isHidden('#openin-sheet'));

    await holdOn(page, page.locator('.table-section[data-section="0"] .row'), 1200);
    await page.waitForSelector('#openin-sheet:not([hidden])');
    assert.equal(await page.textContent('#openin-file'), 'net.quellit.zorvane.plist');
    const choices = await page.$$eval('#openin-handlers button', (buttons) => buttons.map((b) => b.textContent));
    assert.ok(choices.length >= 2 && choices.at(-1) === 'This computer', JSON.stringify(choices));

    const [download] = await Promise.all([
      page.waitForEvent('download'),
      page.click('#openin-handlers button[data-computer]'),
    ]);
    assert.equal(download.suggestedFilename(), 'net.quellit.zorvane.plist');
    const bytes = readFileSync(await download.path());
    assert.deepEqual(bytes, readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane.plist`)));
    assert.match(bytes.toString(), /11 Bluetooth/);
    await page.waitForSelector('#openin-sheet[hidden]', { state: 'attached' });

    // A profile to another application of the device: its inbox gets the copy.
    await holdOn(page, page.locator('.table-section[data-section="1"] .row[data-title="Bluetooth left"]'), 1200);
    await page.waitForSelector('#openin-sheet:not([hidden])');
    const handler = choices[0];
    await page.click(`#openin-handlers button[data-handler="${handler}"]`);
    await page.waitForSelector('#openin-sheet[hidden]', { state: 'attached' });
    assert.deepEqual(
      readFileSync(device.hostPath(`/var/mobile/Library/ZorvaneDevice/Inbox/${handler}/net.quellit.zorvane_Bluetooth left.plist`)),
      readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Bluetooth left.plist`)));
  });
});

test('a profile deleted with the editing mode\'s delete button, or whose file vanished, is gone from the list', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const gone = device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Gone.plist`);
    writeFileSync(gone, '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict/></plist>\n');
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    // Its file goes away behind the page's back: the load says why, and the row goes.
    await page.waitForSelector('.table-section[data-section="1"] .row[data-title="Gone"]');
    rmSync(gone);
    await page.click('.table-section[data-section="1"] .row[data-title="Gone"]');
    await page.click('#alert-buttons button:text-is("Yes")');
    await page.waitForSelector('#alert-title:text-is("Error, Could not load profile")');
    assert.deepEqual(await alertShown(page), {
      title: 'Error, Could not load profile',
      message: 'The file \u201cnet.quellit.zorvane_Gone.plist\u201d couldn\u2019t be opened because there is no such file.',
      buttons: ['Ok'],
      field: false,
    });
    await pressAlertButton(page, 'Ok');
    await page.waitForSelector('.table-section[data-section="1"] .row[data-title="Gone"]', { state: 'detached' });

    await page.click('#settings-edit');
    await page.click('.table-section[data-section="1"] .row[data-title="Bluetooth left"] .delete-button');
    await page.waitForFunction(() => !document.querySelector('.table-section[data-section="1"] .row'));
    assert.ok(!existsSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_Bluetooth left.plist`)));
    assert.ok(await page.isHidden('#alert-sheet'));
  });
});

test('"Edit" and a swiped row\'s delete button are still shown after the screen is reloaded', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    const current = '.table-section[data-section="0"] .row';
    await swipeLeft(page, page.locator(current).first());
    await page.waitForFunction(() => window.zvScreen.model().pages?.settings?.page?.revealedRow);
    await page.reload();
    await page.waitForSelector(`#settings-view[data-page=ZVProfileController] ${current}.revealed`);

    await page.click('#settings-edit');
    await page.waitForSelector('#settings-edit:text-is("Done")');
    await page.reload();
    await page.waitForSelector('#settings-view[data-page=ZVProfileController] #settings-edit:text-is("Done")');
    assert.ok(await page.locator('#settings-table .row.deletable:not(.revealed)').count() === 0);
    await page.click('#settings-edit');
    await page.waitForSelector('#settings-edit:text-is("Edit")');
  });
});

test('relaunch from the root page: the status bar comes back with the same layout', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettings(page);
    const before = await layoutOf(page, 'springboard');
    assert.equal(before.left[0], 11);
    await settingsRow(page, 'Respring').click();
    assert.deepEqual(await alertShown(page),
      { title: '', message: 'About to respring! Are you sure?', buttons: ['No', 'Yes'], field: false });
    await pressAlertButton(page, 'Yes');
    await page.waitForFunction(() => window.zvScreen.model().road?.steps.some(
      (s) => s.kind === 'laidOut' && s.process === 'springboard'), null, { timeout: 15000 });
    await page.waitForSelector('#processes li[data-process=springboard][data-state=ready]');
    await page.click('#home-button');
    await waitForStatusBar(page, { left: before.left, center: before.center, right: before.right });
    const after = await layoutOf(page, 'springboard');
    assert.deepEqual([after.left, after.center, after.right], [before.left, before.center, before.right]);
  });
});

test('the Profiles page saves only names it lists, and "This computer" downloads each of them', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    const save = async (name) => {
      await page.click('.table-section[data-section="0"] .row');
      await alertShown(page);
      await page.fill('#alert-field', name);
      await page.click('#alert-buttons button:text-is("Save")');
    };
    // A "/" would make it a path, not a file of the folder: refused, nothing written.
    await save('trips/2024');
    await page.waitForSelector('#alert-message:text-is("A profile name cannot contain \\"/\\".")');
    assert.equal((await alertShown(page)).title, 'Error, Could not save profile');
    await pressAlertButton(page, 'Ok');
    assert.ok(!existsSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_trips`)));

    // ".." is a plain name inside the file's name: listed, and downloaded.
    await save('..');
    const row = page.locator('.table-section[data-section="1"] .row[data-title=".."]');
    await row.waitFor();
    await holdOn(page, row, 1200);
    await page.waitForSelector('#openin-sheet:not([hidden])');
    const [download] = await Promise.all([
      page.waitForEvent('download'),
      page.click('#openin-handlers button[data-computer]'),
    ]);
    assert.deepEqual(readFileSync(await download.path()), readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane_...plist`)));
    assert.equal(await page.textContent('#error'), '');
  });
});

test('a settings file placed by hand and announced shows on the Sort Order page, and a switch flipped afterwards keeps its layout', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
    device.writeSettings(settingsPlist({ left: ['22 VPN'], center: ['00 Time'], right: ['13 Alarm', '07 Battery'] }));
    await send(page, 'springboard', { cmd: 'post', name: 'net.quellit.zorvane/preferences' });
    const left = page.locator('.table-section[data-section="0"] .row');
    await page.waitForFunction(() => document.querySelector('.table-section[data-section="0"]')?.innerText.includes('22 VPN'));
    assert.deepEqual(await left.allInnerTexts(), ['22 VPN']);

    await openSettings(page);
    const toggle = settingsRow(page, 'Hide Top Grabber').locator('.switch');
    const was = await toggle.getAttribute('aria-checked');
    await toggle.click();
    await page.waitForSelector(`.row[data-title="Hide Top Grabber"] .switch[aria-checked=${was === 'true' ? 'false' : 'true'}]`);
    const file = readFileSync(device.hostPath(`${PREFERENCES}/net.quellit.zorvane.plist`), 'utf8');
    assert.match(file, /<key>left<\/key>\s*<dict>\s*<key>data<\/key>\s*<array>\s*<string>22 VPN<\/string>\s*<\/array>/);
    assert.match(file, /<key>right<\/key>\s*<dict>\s*<key>data<\/key>\s*<array>\s*<string>13 Alarm<\/string>\s*<string>07 Battery<\/string>/);
  });
});

// Drops a file onto the page as the browser does when one is dragged in from the desktop.
const dropFile = (page, name, text) => page.evaluate(([n, t]) => {
  const transfer = new DataTransfer();
  transfer.items.add(new File([t], n, { type: 'application/x-plist' }));
  document.querySelector('.desk').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
}, [name, text]);

test('a profile file added from this computer is listed under Profiles and loads; a file the plug-in cannot use is refused and nothing is written', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    await openSettingsPage(page, 'Profiles', 'ZVProfileController');
    const folder = device.hostPath(PREFERENCES);
    const before = readdirSync(folder).sort();
    const result = page.locator('#bring-in-result[role=status]');

    await dropFile(page, 'net.quellit.zorvane_Broken.plist', '<plist><dict><key>enabled</key>');
    await result.getByText(/"net\.quellit\.zorvane_Broken\.plist" was not added: The plug-in cannot use this file: it is not a property list.*Nothing was written\./).waitFor();
    assert.deepEqual(readdirSync(folder).sort(), before);

    const [chooser] = await Promise.all([
      page.waitForEvent('filechooser'),
      page.getByRole('button', { name: 'Add from this computer' }).click(),
    ]);
    const weekend = settingsPlist({ left: ['13 Alarm'] }, { hideBatery: true });
    await chooser.setFiles({ name: 'net.quellit.zorvane_Weekend.plist', mimeType: 'application/x-plist', buffer: Buffer.from(weekend) });
    await page.getByText('"net.quellit.zorvane_Weekend.plist": the plug-in skips part of it.').waitFor();
    await page.getByText('hideBatery: unknown key, ignored; did you mean hideBattery?').waitFor();
    const name = page.getByRole('textbox', { name: 'Profile name' });
    assert.equal(await name.inputValue(), 'Weekend');
    await name.fill('Weekend trip');
    await page.getByRole('button', { name: 'Add', exact: true }).click();
    await result.getByText('Profile "Weekend trip" added: Profiles lists it.').waitFor();
    await page.waitForSelector('.table-section[data-section="1"] .row[data-title="Weekend trip"]');

    // The same name again is a replacement, made only once the person says so.
    await dropFile(page, 'weekend.plist', weekend);
    await name.fill('Weekend trip');
    await page.getByRole('button', { name: 'Add', exact: true }).click();
    await result.getByText('A profile named "Weekend trip" exists already. Replace it with "weekend.plist"?').waitFor();
    await page.getByRole('button', { name: 'Replace it' }).click();
    await result.getByText('Profile "Weekend trip" added: Profiles lists it.').waitFor();

    await page.click('.table-section[data-section="1"] .row[data-title="Weekend trip"]');
    await pressAlertButton(page, 'Yes');
    await waitForStatusBar(page, { left: [13, 3, 4, 5] });
    await page.waitForSelector('.table-section[data-section="0"] .row[data-title="Weekend trip"]');
  });
});
