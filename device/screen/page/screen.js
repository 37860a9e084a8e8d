// The screen's page: connects to the device, keeps the device's last
// report (what the launcher pushed: the processes, each process's last
// layout with its status-bar picture, the Settings application's last page
// event and the road of the last change) and draws the phone, the controls
// and the road from it. A reload asks the device again, so it shows the
// same device.

import { hasToken, withToken } from './access.js';
import { Connection } from './connection.js';
import { drawPhone } from './phone.js';
import { drawControls, wireControls } from './controls.js';
import { announce } from './announce.js';
import { FocusWatch } from './focus.js';
import { drawRoad, savedProfiles } from './road.js';
import { drawFindings } from './findings.js';
import { wireBringIn } from './bringin.js';
import { SettingsScreen } from './settings.js';

const byId = (id) => document.getElementById(id);

const phone = {
  screen: byId('screen'),
  statusBar: byId('status-bar'),
  statusBarDescription: byId('status-bar-description'),
  lockTime: byId('lock-time'),
  grabberTop: byId('grabber-top'),
  grabberBottom: byId('grabber-bottom'),
  appTitle: byId('app-title'),
  appBody: byId('app-body'),
  notificationCentre: byId('notification-centre'),
  ncTime: byId('nc-time'),
  ncStatus: byId('nc-status'),
  stopped: byId('stopped'),
  stoppedText: byId('stopped-text'),
  stoppedStart: byId('stopped-start'),
  homeButton: byId('home-button'),
  appIcons: [...document.querySelectorAll('.app-icon')],
};

const controls = {
  lock: byId('lock'),
  unlock: byId('unlock'),
  ncDown: byId('nc-down'),
  ncUp: byId('nc-up'),
  bluetooth: [...document.querySelectorAll('input[name=bluetooth]')],
  charger: [...document.querySelectorAll('input[name=charger]')],
  width: [...document.querySelectorAll('input[name=phone-width]')],
  statusFit: byId('status-fit'),
  batteryLevel: byId('battery-level'),
  batteryText: byId('battery-text'),
  processes: byId('processes'),
};

const settingsElements = {
  view: byId('settings-view'),
  back: byId('settings-back'),
  title: byId('settings-title'),
  edit: byId('settings-edit'),
  scroll: byId('settings-scroll'),
  table: byId('settings-table'),
  alertSheet: byId('alert-sheet'),
  alertTitle: byId('alert-title'),
  alertMessage: byId('alert-message'),
  alertField: byId('alert-field'),
  alertButtons: byId('alert-buttons'),
  openinSheet: byId('openin-sheet'),
  openinFile: byId('openin-file'),
  openinHandlers: byId('openin-handlers'),
  openinCancel: byId('openin-cancel'),
};

const roadElements = { action: byId('road-action'), steps: byId('road-steps') };
const findingsElements = { section: byId('findings'), summary: byId('findings-summary'), list: byId('findings-list') };

// The device's last report.
let model = { device: null, layouts: {}, pages: {}, road: null, findings: null };

// For measurements and tests: the time of each animation frame that showed
// a new status bar, and of each layout message's arrival.
window.zvStatusBarFrames = [];
window.zvLayoutArrivals = [];

let settingsScreen = null;
let settingsFrame = 0;
const phoneFocus = new FocusWatch(document.querySelector('.phone'));

// Keyboard focus the phone lost when its view changed goes to what the new
// view offers first.
function keepPhoneFocus() {
  if (!phoneFocus.lost()) return;
  const view = phone.screen.dataset.view;
  if (!phone.stopped.hidden) phone.stoppedStart.focus();
  else if (view === 'settings') settingsScreen?.focusFirst();
  else if (view === 'home') phone.appIcons[0].focus();
  if (phoneFocus.lost()) phone.homeButton.focus();
}

function draw() {
  drawPhone(model, phone, (time) => window.zvStatusBarFrames.push(time));
  const focused = document.activeElement;
  drawControls(model, controls);
  // Lock gives way to Unlock and back: the keyboard goes to the other.
  if (focused === controls.lock && controls.lock.disabled) controls.unlock.focus();
  if (focused === controls.unlock && controls.unlock.disabled) controls.lock.focus();
  // The Settings application's page is drawn with the next frame, so a
  // status bar arriving right behind it is not kept waiting.
  if (!settingsFrame) {
    settingsFrame = requestAnimationFrame(() => {
      settingsFrame = 0;
      settingsScreen?.draw(model.pages.settings || null);
      keepPhoneFocus();
    });
  }
}

const connection = new Connection(`ws://${location.host}${withToken('/ws')}`);

async function send(process, request) {
  try {
    const reply = await connection.request(process, request);
    byId('error').textContent = reply.ok ? '' : `${process}: ${reply.error}`;
    return reply;
  } catch (error) {
    byId('error').textContent = error.message;
    return { ok: false, error: error.message };
  }
}

// While the device is away (the launcher stopped or restarts), its phone
// and controls show what they last knew, greyed out and out of reach.
function showConnected(connected) {
  byId('connection').textContent = connected ? 'Connected'
    : hasToken() ? 'Device away: disconnected; reconnecting…' : 'Not connected: open the address zv-launcher printed';
  document.body.dataset.connected = String(connected);
  for (const part of document.querySelectorAll('.phone, .controls fieldset')) part.inert = !connected;
}
connection.on('open', () => showConnected(true));
connection.on('closed', () => showConnected(false));
connection.on('device', (message) => {
  model = { ...model, device: message };
  draw();
});
connection.on('layout', (message) => {
  window.zvLayoutArrivals.push({ process: message.process, time: performance.now() });
  if (window.zvLayoutArrivals.length > 1000) window.zvLayoutArrivals.splice(0, 500);
  model = { ...model, layouts: { ...model.layouts, [message.process]: message } };
  draw();
});
connection.on('page', (message) => {
  const pages = { ...model.pages };
  if (message.page) pages[message.process] = message.page;
  else delete pages[message.process];
  model = { ...model, pages };
  draw();
});
let roadFrame = 0;
const announcedSaves = new Set();
connection.on('road', (message) => {
  // A profile written on this road is read out once.
  for (const name of savedProfiles(message.road)) {
    const key = `${message.road.action?.t}|${name}`;
    if (announcedSaves.has(key)) continue;
    announcedSaves.add(key);
    if (model.road) announce(`Profile "${name}" saved`);
  }
  model = { ...model, road: message.road };
  // Drawn with the next frame: a status bar that arrives meanwhile goes first.
  if (!roadFrame) {
    roadFrame = requestAnimationFrame(() => {
      roadFrame = 0;
      drawRoad(model.road, roadElements);
    });
  }
});
connection.on('findings', (message) => {
  model = { ...model, findings: message };
  drawFindings(model.findings, findingsElements);
});
connection.on('reply', (message) => {
  if (message.reply && !message.reply.ok && message.reply.id === undefined) {
    byId('error').textContent = message.reply.error;
  }
});

wireControls(controls, send);
wireBringIn({
  choose: byId('bring-in-choose'),
  input: byId('bring-in-input'),
  check: byId('bring-in-check'),
  verdict: byId('bring-in-verdict'),
  findings: byId('bring-in-findings'),
  name: byId('bring-in-name'),
  add: byId('bring-in-add'),
  replace: byId('bring-in-replace'),
  cancel: byId('bring-in-cancel'),
  result: byId('bring-in-result'),
});
settingsScreen = new SettingsScreen(settingsElements, send);

// Opening an application: start it when it has stopped, then bring it to the front.
for (const icon of phone.appIcons) {
  icon.addEventListener('click', async () => {
    const name = icon.dataset.process;
    const info = model.device?.processes?.find((p) => p.name === name);
    if (!info?.running) await send(name, { cmd: 'start' });
    await send(name, { cmd: 'front' });
  });
}
phone.homeButton.addEventListener('click', () => send('springboard', { cmd: 'front' }));
phone.stoppedStart.addEventListener('click', () => send(phone.stopped.dataset.process, { cmd: 'start' }));

// Tests and scripts reach the device as the page does.
window.zvScreen = { send, model: () => model };

connection.open();
