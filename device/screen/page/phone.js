// The phone: which screen shows (lock screen, home screen, the Settings
// application or another open application), the status bar of the process in front, the lock screen's
// clock and grabbers, the notification centre, and a process that stopped.
// Drawn whole from the device's last report each time something changes.

import { describeStatusBar, drawStatusBar, phoneSize } from './statusbar.js';

const titles = { springboard: 'SpringBoard', app: 'Notes', settings: 'Settings' };

export function processTitle(name) {
  return titles[name] || name;
}

function processInfo(model, name) {
  return model.device?.processes?.find((p) => p.name === name);
}

// What the phone shows for a device report: {view, shownProcess}.
export function phoneView(model) {
  const springBoard = model.layouts.springboard?.layout;
  const front = model.device?.front || 'springboard';
  if (springBoard?.locked) return { view: 'lock', shownProcess: 'springboard' };
  if (front === 'settings') return { view: 'settings', shownProcess: front };
  if (front !== 'springboard') return { view: 'app', shownProcess: front };
  return { view: 'home', shownProcess: 'springboard' };
}

export function drawPhone(model, elements, onStatusBarDrawn) {
  const springBoard = model.layouts.springboard?.layout || {};
  const { view, shownProcess } = phoneView(model);
  elements.screen.dataset.view = view;
  elements.screen.dataset.shows = shownProcess;
  // As wide as the status bar of the process in front.
  const size = phoneSize(model.layouts[shownProcess]?.layout || springBoard);
  if (elements.screen.dataset.width !== String(size.width)) {
    elements.screen.dataset.width = String(size.width);
    elements.screen.style.setProperty('--screen-width', `${size.width}px`);
    elements.screen.style.setProperty('--screen-height', `${size.height}px`);
  }

  drawStatusBar(elements.statusBar, model.layouts[shownProcess]?.statusBar || '', onStatusBarDrawn);
  // Its description is a polite live region: a new arrangement is read out
  // once, an unchanged one not again.
  const description = describeStatusBar(model.layouts[shownProcess]?.layout);
  if (elements.statusBarDescription.textContent !== description) elements.statusBarDescription.textContent = description;

  const time = model.device?.time || '';
  elements.lockTime.textContent = time;
  elements.grabberTop.hidden = view !== 'lock' || springBoard.grabbers?.top?.hidden === true;
  elements.grabberBottom.hidden = view !== 'lock' || springBoard.grabbers?.bottom?.hidden === true;

  elements.appTitle.textContent = processTitle(shownProcess);
  elements.appBody.textContent = 'No notes.';

  const presented = springBoard.notificationCenter?.presented === true;
  elements.notificationCentre.hidden = !presented;
  elements.ncTime.textContent = time;
  const battery = springBoard.battery || {};
  const lines = [
    `Bluetooth: ${springBoard.bluetooth || 'absent'}`,
    `Battery: ${battery.capacity ?? 100}%${battery.charge ? `, ${battery.charge}` : ''}`,
    `Charger: ${battery.charger || 'out'}`,
  ];
  elements.ncStatus.replaceChildren(...lines.map((text) => {
    const li = document.createElement('li');
    li.textContent = text;
    return li;
  }));

  for (const icon of elements.appIcons) {
    const info = processInfo(model, icon.dataset.process);
    icon.dataset.state = info?.running ? 'running' : 'stopped';
  }

  const shownInfo = processInfo(model, shownProcess);
  const stopped = model.device && (!shownInfo || !shownInfo.running);
  elements.stopped.hidden = !stopped;
  elements.stopped.dataset.process = shownProcess;
  if (stopped) {
    const status = shownInfo?.exitStatus;
    elements.stoppedText.textContent = `${processTitle(shownProcess)} has stopped` +
      (status === null || status === undefined ? '.' : ` (exit status ${status}).`);
  }
}
