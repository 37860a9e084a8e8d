// The Settings application's alert and open-in menu as modal sheets over
// its screen, drawn from the page event's "alert" and "openin". Typing in
// the alert's text field is sent as it happens ("type"), a button closes
// the alert ("press"); the open-in menu lists the device's applications
// ("choose" hands the file to one) and "This computer", which downloads the
// file from the launcher (/download/<name>) and closes the menu.
//
// By keyboard: Enter in the alert's text field presses its default button
// (the first after Cancel), Escape presses its cancel button and closes the
// open-in menu (as its Cancel does).

import { withToken } from './access.js';

function button(text, data) {
  const b = document.createElement('button');
  b.type = 'button';
  b.textContent = text;
  Object.assign(b.dataset, data);
  return b;
}

// The last part of a device path.
export function fileName(path) {
  return String(path || '').split('/').pop();
}

// Draws both sheets from the page event; returns the element the keyboard
// goes to when one opens (or is replaced by another), else null.
export function drawSheets(e, event) {
  let opened = null;
  const alert = event?.alert;
  const shown = alert?.visible === true;
  e.alertSheet.hidden = !shown;
  if (shown) {
    // Redrawn only when the alert itself changes, so typing keeps its place.
    const key = JSON.stringify([alert.title, alert.message, alert.buttons, alert.tag, alert.queued, alert.textField !== null]);
    const fresh = e.alertSheet.dataset.key !== key;
    if (fresh) {
      e.alertTitle.textContent = alert.title || '';
      e.alertTitle.hidden = !alert.title;
      e.alertMessage.textContent = alert.message || '';
      e.alertMessage.hidden = !alert.message;
      // An alert without a title is named by its message.
      e.alertSheet.setAttribute('aria-labelledby', alert.title ? 'alert-title' : 'alert-message');
      if (alert.title && alert.message) e.alertSheet.setAttribute('aria-describedby', 'alert-message');
      else e.alertSheet.removeAttribute('aria-describedby');
      e.alertButtons.replaceChildren(...alert.buttons.map((title, index) => button(title, { button: String(index) })));
      e.alertButtons.dataset.count = String(alert.buttons.length);
      e.alertSheet.dataset.cancel = String(alert.cancelButtonIndex ?? -1);
      // The field is what the alert asks for.
      e.alertField.setAttribute('aria-label', alert.message || alert.title || 'Text field');
      opened = alert.textField !== null ? e.alertField : e.alertButtons.firstElementChild;
    }
    e.alertSheet.dataset.key = key;
    e.alertField.hidden = alert.textField === null;
    if (alert.textField !== null && e.alertField.value !== alert.textField &&
        (fresh || document.activeElement !== e.alertField)) {
      e.alertField.value = alert.textField;
    }
  } else {
    delete e.alertSheet.dataset.key;
    e.alertField.value = '';
  }

  const menu = event?.openin;
  const menuShown = menu?.visible === true && !shown;
  e.openinSheet.hidden = !menuShown;
  if (menuShown) {
    // Redrawn only when the menu itself changes, so the keyboard keeps its place.
    const key = JSON.stringify([menu.file, menu.handlers]);
    if (e.openinSheet.dataset.key !== key) {
      e.openinFile.textContent = fileName(menu.file);
      e.openinHandlers.replaceChildren(
        ...menu.handlers.map((handler) => button(handler, { handler })),
        button('This computer', { computer: 'true' }),
      );
      e.openinSheet.dataset.file = menu.file;
      e.openinSheet.dataset.key = key;
      opened = e.openinHandlers.firstElementChild;
    }
  } else {
    delete e.openinSheet.dataset.key;
  }
  return opened;
}

// Fetches the file with the page's token and hands it to the browser as a
// download; a refusal is shown on the page.
async function download(name) {
  const shown = document.getElementById('error');
  try {
    const answer = await fetch(withToken(`/download/${encodeURIComponent(name)}`), { cache: 'no-store' });
    if (!answer.ok) {
      shown.textContent = `"${name}" was not downloaded: ${(await answer.text()).trim() || answer.status}`;
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(await answer.blob());
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  } catch (error) {
    shown.textContent = `"${name}" was not downloaded: ${error.message}`;
  }
}

export function wireSheets(e, send) {
  let typing = Promise.resolve();
  e.alertField.addEventListener('input', () => {
    const text = e.alertField.value;
    typing = typing.then(() => send({ cmd: 'type', text }));
  });
  e.alertButtons.addEventListener('click', async (event) => {
    const index = event.target.closest('button')?.dataset.button;
    if (index === undefined) return;
    // The field's text reaches the alert before its button does.
    await typing;
    if (!e.alertField.hidden) await send({ cmd: 'type', text: e.alertField.value });
    send({ cmd: 'press', button: Number(index) });
  });

  e.openinHandlers.addEventListener('click', (event) => {
    const chosen = event.target.closest('button');
    if (!chosen) return;
    if (chosen.dataset.computer) {
      download(fileName(e.openinSheet.dataset.file));
      send({ cmd: 'choose', cancel: true });
      return;
    }
    send({ cmd: 'choose', handler: chosen.dataset.handler });
  });
  e.openinCancel.addEventListener('click', () => send({ cmd: 'choose', cancel: true }));

  e.alertField.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || event.isComposing || event.repeat) return;
    event.preventDefault();
    const buttons = e.alertButtons.children;
    (buttons[1] || buttons[0])?.click();
  });
  e.alertSheet.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    event.preventDefault();
    e.alertButtons.querySelector(`[data-button="${CSS.escape(e.alertSheet.dataset.cancel ?? '')}"]`)?.click();
  });
  e.openinSheet.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    event.preventDefault();
    e.openinCancel.click();
  });
}
