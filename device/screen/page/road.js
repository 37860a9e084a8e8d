// "Road of the last change": the user's last action in the Settings
// application and every step that followed on the device — the settings
// file written, the notifications posted and received, each status bar laid
// out again — with its time from the action, as the launcher lined them up
// from the processes' own events (one clock for all processes).

import { processTitle } from './phone.js';

const actions = {
  move: 'Row moved in the sort-order editor',
  switch: 'Switch flipped',
  tap: 'Row tapped',
  press: 'Alert button pressed',
  delete: 'Row deleted',
  longpress: 'Long press',
  choose: 'Open-in application chosen',
  open: 'Page opened',
  back: 'Back',
};

// The words of one step.
export function stepText(step) {
  const who = processTitle(step.process);
  const short = (name) => name.replace(/^net\.quellit\.zorvane\//, '');
  switch (step.kind) {
    case 'wrote':
      if (step.file === 'settings') return `${who}: settings file written`;
      if (step.file === 'profile') return `${who}: profile "${step.profile}" written`;
      return `${who}: ${step.subject.split('/').pop()} written`;
    case 'posted': return `${who}: "${short(step.subject)}" posted`;
    case 'delivered': return `${who}: "${short(step.subject)}" received`;
    case 'laidOut': return `${who}: status bar laid out`;
    default: return `${who}: ${step.kind}`;
  }
}

// The names of the profiles written on the road, in its order.
export function savedProfiles(road) {
  return (road?.steps || [])
    .filter((step) => step.kind === 'wrote' && step.file === 'profile')
    .map((step) => step.profile);
}

export function drawRoad(road, elements) {
  const action = road?.action;
  elements.action.textContent = action
    ? `${actions[action.cmd] || action.cmd} (${processTitle(action.process)}) at 0 ms`
    : 'No change yet: change something in the Settings application.';
  elements.steps.replaceChildren(...(road?.steps || []).map((step) => {
    const li = document.createElement('li');
    li.dataset.kind = step.kind;
    li.dataset.process = step.process;
    li.dataset.subject = step.subject;
    const time = document.createElement('span');
    time.className = 'road-time';
    time.textContent = `+${step.ms.toFixed(2)} ms`;
    li.append(time, ` ${stepText(step)}`);
    return li;
  }));
}
