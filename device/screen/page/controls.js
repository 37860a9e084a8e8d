// The device controls beside the phone. Each is a control-protocol command,
// the battery, the charger, Bluetooth and the width the device's own (the
// launcher passes them to every process that shows a status bar); the
// controls show the device's state as SpringBoard reports it, never a state
// of their own.

import { phoneView, processTitle } from './phone.js';
import { leftOutText } from './statusbar.js';

export function drawControls(model, elements) {
  const springBoard = model.layouts.springboard?.layout || {};
  const bluetooth = springBoard.bluetooth || 'absent';
  for (const radio of elements.bluetooth) radio.checked = radio.value === bluetooth;
  const battery = springBoard.battery || {};
  const charger = battery.charger || 'out';
  for (const radio of elements.charger) radio.checked = radio.value === charger;
  const capacity = battery.capacity ?? 100;
  if (document.activeElement !== elements.batteryLevel) elements.batteryLevel.value = String(capacity);
  elements.batteryText.textContent = `${capacity}%`;
  const width = String(springBoard.width ?? 320);
  for (const radio of elements.width) radio.checked = radio.value === width;
  // What the status bar on the phone left out.
  const shown = model.layouts[phoneView(model).shownProcess]?.layout || springBoard;
  const fit = leftOutText(shown) || 'Every item of the status bar fits.';
  // A live region: said once when it changes, not on every redraw.
  if (elements.statusFit.textContent !== fit) elements.statusFit.textContent = fit;
  elements.lock.disabled = springBoard.locked === true;
  elements.unlock.disabled = springBoard.locked !== true;

  elements.processes.replaceChildren(...(model.device?.processes || []).map((p) => {
    const li = document.createElement('li');
    li.dataset.process = p.name;
    li.dataset.state = p.running ? (p.ready ? 'ready' : 'starting') : 'stopped';
    const status = p.running ? (p.ready ? 'running' : 'starting') :
      `stopped${p.exitStatus === null ? '' : ` (exit status ${p.exitStatus})`}`;
    li.append(`${processTitle(p.name)}: ${status} `);
    if (!p.running) {
      const start = document.createElement('button');
      start.type = 'button';
      start.textContent = 'Start';
      start.dataset.start = p.name;
      li.append(start);
    }
    return li;
  }));
}

// Wires the controls to the device; `send(process, request)` resolves with
// the reply.
export function wireControls(elements, send) {
  const device = (request) => send('device', request);

  elements.lock.addEventListener('click', () => send('springboard', { cmd: 'lock' }));
  elements.unlock.addEventListener('click', () => send('springboard', { cmd: 'unlock' }));
  elements.ncDown.addEventListener('click', () =>
    send('springboard', { cmd: 'notificationCenter', transition: 'willPresent' }));
  elements.ncUp.addEventListener('click', async () => {
    await send('springboard', { cmd: 'notificationCenter', transition: 'willDismiss' });
    await send('springboard', { cmd: 'notificationCenter', transition: 'didDismiss' });
  });
  for (const radio of elements.bluetooth) {
    radio.addEventListener('change', () => device({ cmd: 'bluetooth', state: radio.value }));
  }
  for (const radio of elements.width) {
    radio.addEventListener('change', () => device({ cmd: 'width', points: Number(radio.value) }));
  }
  for (const radio of elements.charger) {
    radio.addEventListener('change', () => device({ cmd: 'charger', in: radio.value === 'in' }));
  }
  elements.batteryLevel.addEventListener('change', () =>
    device({ cmd: 'battery', capacity: Number(elements.batteryLevel.value) }));
  elements.processes.addEventListener('click', (e) => {
    const name = e.target?.dataset?.start;
    if (name) send(name, { cmd: 'start' });
  });
}
