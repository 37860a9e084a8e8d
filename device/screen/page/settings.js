// The Settings application's screen on the phone: the navigation bar and
// the table of the page on screen, drawn whole from the application's last
// page event ({page, alert, openin}). Every act of the user is a command of
// the Settings application: a link opens its page ("open"), the back button
// pops ("back"), a switch flips ("switch"), a row is tapped ("tap"), a
// swipe or the editing mode's button deletes ("delete"), a press held as
// long as the page's long-press recognizer asks shares ("longpress"), and a
// row dragged in an editing table is moved ("move", reorder.js). The alert
// and the open-in menu are sheets.js's.
//
// The only state kept here is the gesture in progress (and whether the
// delete buttons of the editing mode are shown): what the page shows always
// comes from the Settings application.

import { Reorder } from './reorder.js';
import { drawSheets, wireSheets } from './sheets.js';

const SETTINGS = 'settings';
const SWIPE_TO_DELETE = 30;  // px to the left that reveal a row's delete button
const SLOP = 6;              // px a press may wander and still be a tap or a long press

const css = (rgba, fallback) =>
  Array.isArray(rgba) && rgba.length === 4
    ? `rgba(${Math.round(rgba[0] * 255)}, ${Math.round(rgba[1] * 255)}, ${Math.round(rgba[2] * 255)}, ${rgba[3]})`
    : fallback;

function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined && text !== null) e.textContent = text;
  return e;
}

// A view tree the application reported (a footer or header view): frames,
// background colours and labels, as laid out there.
function viewTree(view) {
  const e = element('div', 'view-node');
  const [x, y, w, h] = view.frame || [0, 0, 0, 0];
  Object.assign(e.style, {
    left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px`,
    background: css(view.backgroundColor, 'transparent'),
  });
  if (view.class === 'UILabel') {
    e.classList.add('view-label');
    e.textContent = view.text || '';
    e.style.fontSize = `${view.fontSize || 17}px`;
    e.style.color = css(view.textColor, '#000');
    e.style.textAlign = ['left', 'center', 'right'][view.textAlignment] || 'left';
  }
  for (const sub of view.subviews || []) e.append(viewTree(sub));
  return e;
}

function sectionEnd(section, which, index, grouped) {
  const title = section[which];
  const view = section[`${which}View`];
  const height = section[`${which}Height`] || 0;
  const e = element('div', `section-${which}`);
  e.dataset.section = String(index);
  e.style.height = `${height}px`;
  if (view) {
    e.classList.add('has-view');
    e.append(viewTree(view));
  } else if (title) {
    e.textContent = grouped && which === 'header' ? title.toUpperCase() : title;
  }
  return e;
}

function rowElement(row, s, r, page, editingUi) {
  const table = page.table;
  const e = element('div', 'row');
  e.dataset.section = String(s);
  e.dataset.row = String(r);
  e.dataset.kind = row.kind;
  e.dataset.title = row.title;
  if (row.selected) e.classList.add('selected');
  if (row.movable) e.classList.add('movable');
  if (row.deletable && !table.editing) e.classList.add('deletable');

  const text = element('div', 'row-text');
  const title = element('span', 'row-title', row.title);
  title.style.color = css(row.titleColor, '#000');
  text.append(title);
  if (row.detail) {
    const detail = element('span', 'row-detail', row.detail);
    detail.style.color = css(row.detailColor, '#8e8e93');
    text.append(detail);
  }
  e.append(text);

  if (row.kind === 'PSSwitchCell') {
    const toggle = element('span', 'switch');
    toggle.setAttribute('role', 'switch');
    toggle.setAttribute('aria-checked', row.value === true ? 'true' : 'false');
    toggle.setAttribute('aria-label', row.title);
    e.append(toggle);
  } else if (row.kind === 'PSLinkCell' || row.kind === 'PSLinkListCell') {
    e.append(element('span', 'chevron', '›'));
  } else if (row.kind === 'PSButtonCell') {
    e.classList.add('button-row');
  }
  if (row.movable) e.append(element('span', 'reorder-handle', '≡'));
  if (row.deletable && !table.editing) {
    const remove = element('button', 'delete-button', 'Delete');
    remove.type = 'button';
    remove.dataset.delete = `${s},${r}`;
    e.append(remove);
    if (editingUi) e.classList.add('revealed');
  }
  return e;
}

export function drawTable(container, page, editingUi) {
  const grouped = page.table?.style === 1;
  container.dataset.style = grouped ? 'grouped' : 'plain';
  container.dataset.editing = page.table?.editing ? 'true' : 'false';
  container.dataset.pageClass = page.class || '';
  const sections = (page.sections || []).map((section, s) => {
    const e = element('section', 'table-section');
    e.dataset.section = String(s);
    e.append(sectionEnd(section, 'header', s, grouped));
    const rows = element('div', 'rows');
    rows.dataset.section = String(s);
    section.rows.forEach((row, r) => rows.append(rowElement(row, s, r, page, editingUi)));
    e.append(rows);
    e.append(sectionEnd(section, 'footer', s, grouped));
    return e;
  });
  container.replaceChildren(...sections);
}

// The place of a press, as the "longpress" command names it.
function pressPlace(target) {
  const row = target.closest('.row');
  if (row) return { section: Number(row.dataset.section), row: Number(row.dataset.row) };
  const end = target.closest('.section-header, .section-footer');
  if (end) {
    return { at: end.classList.contains('section-header') ? 'header' : 'footer', section: Number(end.dataset.section) };
  }
  return { at: 'empty' };
}

export class SettingsScreen {
  // elements: {view, back, title, edit, scroll, table, alert..., openin...};
  // send(process, request) resolves with the reply.
  constructor(elements, send) {
    this.e = elements;
    this.send = (request) => send(SETTINGS, request);
    this.last = null;          // the last page event drawn
    this.editingUi = false;    // the delete buttons of the editing mode are shown
    this.press = null;         // the press in progress
    this.reorder = new Reorder(elements.scroll, elements.table, (from, to) => this.moved(from, to), () => {
      if (this.pending !== undefined) this.redraw();
    });
    this.wire();
    wireSheets(elements, this.send);
  }

  // Draws the application's last page event (null: none yet); the same
  // event again only when `force`.
  draw(event, force = false) {
    if (event === this.last && !force) return;
    if (this.reorder.active || (this.press && !this.press.done)) {
      this.pending = event;  // a gesture in progress is never redrawn under the pointer
      return;
    }
    this.pending = undefined;
    const page = event?.page;
    const e = this.e;
    e.view.dataset.ready = page ? 'true' : 'false';
    if (!page) {
      e.title.textContent = 'Settings';
      e.back.hidden = true;
      e.edit.hidden = true;
      e.table.replaceChildren();
      drawSheets(e, event);
      this.last = event;
      return;
    }
    if (this.last?.page?.class !== page.class || this.last?.page?.depth !== page.depth) {
      this.editingUi = false;
      e.scroll.scrollTop = 0;
    }
    e.title.textContent = page.title || '';
    e.back.hidden = !(page.depth > 1);
    const deletable = !page.table?.editing && page.sections?.some((s) => s.rows.some((r) => r.deletable));
    e.edit.hidden = !deletable;
    e.edit.textContent = this.editingUi ? 'Done' : 'Edit';
    e.view.dataset.page = page.class || '';
    drawTable(e.table, page, this.editingUi);
    // A delete button a swipe revealed stays while its row does.
    const revealed = this.revealed &&
      e.table.querySelector(`.row.deletable[data-section="${this.revealed.section}"][data-row="${this.revealed.row}"]`);
    if (revealed && revealed.dataset.title === this.revealed.title) revealed.classList.add('revealed');
    else this.revealed = null;
    drawSheets(e, event);
    this.last = event;
  }

  // Records which row shows its delete button after a swipe (null: none).
  reveal(row, shown) {
    row.classList.toggle('revealed', shown);
    this.revealed = shown ? { section: row.dataset.section, row: row.dataset.row, title: row.dataset.title } : null;
  }

  redraw() {
    this.draw(this.pending !== undefined ? this.pending : this.last, true);
  }

  moved(from, to) {
    // The table shows the drop until the application's page event comes;
    // a refused move draws the page as the application still has it.
    this.send({ cmd: 'move', from, to }).then((reply) => {
      if (!reply.ok) this.redraw();
    });
  }

  wire() {
    const e = this.e;
    e.back.addEventListener('click', () => this.send({ cmd: 'back' }));
    e.edit.addEventListener('click', () => {
      this.editingUi = !this.editingUi;
      this.redraw();
    });
    e.table.addEventListener('click', (event) => {
      const remove = event.target.closest('.delete-button');
      if (!remove) return;
      const [section, row] = remove.dataset.delete.split(',').map(Number);
      this.send({ cmd: 'delete', section, row });
    });
    e.scroll.addEventListener('pointerdown', (event) => this.pointerDown(event));
    window.addEventListener('pointermove', (event) => this.pointerMove(event));
    window.addEventListener('pointerup', (event) => this.pointerUp(event));
    window.addEventListener('pointercancel', () => this.cancelPress());
  }

  pointerDown(event) {
    if (event.button !== 0 || event.target.closest('.delete-button')) return;
    this.cancelPress();
    const row = event.target.closest('.row');
    const press = { x: event.clientX, y: event.clientY, target: event.target, row, id: event.pointerId, done: false };
    this.press = press;
    // Another row's revealed delete button goes away.
    for (const open of this.e.table.querySelectorAll('.row.revealed')) {
      if (open !== row && !this.editingUi) this.reveal(open, false);
    }
    // A finger lifts a row by its reorder control (elsewhere it scrolls);
    // the mouse anywhere on the row.
    if (row?.classList.contains('movable') && (event.pointerType !== 'touch' || event.target.closest('.reorder-handle'))) {
      this.reorder.arm(row, event);
      return;
    }
    const durations = this.last?.page?.table?.longPressDurations || [];
    if (durations.length > 0) {
      const seconds = Math.min(...durations);
      press.timer = setTimeout(() => {
        press.done = true;
        this.send({ cmd: 'longpress', duration: seconds, ...pressPlace(press.target) });
      }, seconds * 1000);
    }
  }

  pointerMove(event) {
    const press = this.press;
    if (!press || press.id !== event.pointerId) return;
    if (this.reorder.armed) {
      this.reorder.move(event);
      return;
    }
    const dx = event.clientX - press.x;
    const dy = event.clientY - press.y;
    if (Math.hypot(dx, dy) > SLOP) clearTimeout(press.timer);
    if (press.row?.classList.contains('deletable') && dx < -SWIPE_TO_DELETE && Math.abs(dy) < SWIPE_TO_DELETE) {
      this.reveal(press.row, true);
      press.done = true;
    } else if (press.row?.classList.contains('revealed') && dx > SWIPE_TO_DELETE && !this.editingUi) {
      this.reveal(press.row, false);
      press.done = true;
    }
  }

  pointerUp(event) {
    const press = this.press;
    if (!press || press.id !== event.pointerId) return;
    this.press = null;
    clearTimeout(press.timer);
    if (this.reorder.armed) {
      this.reorder.drop(event);
    } else {
      const moved = Math.hypot(event.clientX - press.x, event.clientY - press.y) > SLOP;
      if (!press.done && !moved && press.row && !press.row.classList.contains('revealed')) this.tap(press.row, event.target);
    }
    if (this.pending !== undefined && !this.reorder.active) this.redraw();
  }

  cancelPress() {
    if (this.press) clearTimeout(this.press.timer);
    this.press = null;
    if (this.reorder.armed) this.reorder.cancel();
    if (this.pending !== undefined) this.redraw();
  }

  tap(row, target) {
    const section = Number(row.dataset.section);
    const index = Number(row.dataset.row);
    const kind = row.dataset.kind;
    const shown = this.last.page.sections[section].rows[index];
    if (kind === 'PSSwitchCell') {
      if (target.closest('.switch')) this.send({ cmd: 'switch', section, row: index, value: shown.value !== true });
      return;
    }
    if (kind === 'PSLinkCell' || kind === 'PSLinkListCell') {
      this.send({ cmd: 'open', section, row: index });
      return;
    }
    const table = this.last.page.table;
    const selectable = table.editing ? table.allowsSelectionDuringEditing : table.allowsSelection;
    if (selectable) this.send({ cmd: 'tap', section, row: index });
  }
}
