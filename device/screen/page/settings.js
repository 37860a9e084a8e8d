// The Settings application's screen on the phone: the navigation bar and
// the table of the page on screen, drawn whole from the application's last
// page event ({page, alert, openin}). Every act of the user is a command of
// the Settings application: a tap on a row or its switch goes to it as it is
// ("touch": the application opens a link, flips a switch or selects the row,
// as the phone does), the back button pops ("back"), "Edit" shows every
// deletable row's delete button ("edit"), a swipe reveals one ("reveal"), a
// delete button deletes ("delete"), a press held as long as the page's
// long-press recognizer asks shares ("longpress"), and a row dragged in an
// editing table is moved ("move", reorder.js). The alert and the open-in
// menu are sheets.js's.
//
// The keyboard reaches the same commands: every row that does something
// takes focus (a link opens with Enter, a row the application selects is
// tapped with Enter or Space, a switch flips with Space), Alt+ArrowUp and
// Alt+ArrowDown move a row the page lets move one place up or down (into the
// next section at a section's end, "move" as a drop), and a row a swipe
// could delete or a press could hold shows "Share" and "Delete" buttons
// while the keyboard is on it ("longpress" and "delete", as the gestures).
// Focus stays on its row when the application redraws the page, goes into
// an alert or the open-in menu when one opens and back when it closes.
//
// The only state kept here is the gesture in progress and where the
// keyboard's focus belongs: what the page shows, the delete buttons "Edit" or
// a swipe revealed included, always comes from the Settings application.

import { announce } from './announce.js';
import { readableColour } from './contrast.js';
import { Reorder } from './reorder.js';
import { drawSheets, wireSheets } from './sheets.js';

const SETTINGS = 'settings';
const SWIPE_TO_DELETE = 30;  // px to the left that reveal a row's delete button
const SLOP = 6;              // px a press may wander and still be a tap or a long press

const css = (rgba, fallback) =>
  Array.isArray(rgba) && rgba.length === 4
    ? `rgba(${Math.round(rgba[0] * 255)}, ${Math.round(rgba[1] * 255)}, ${Math.round(rgba[2] * 255)}, ${rgba[3]})`
    : fallback;

// The grounds text is drawn on: a row, a selected row, a grouped table's
// background ([r, g, b]).
const WHITE = [255, 255, 255];
const SELECTED = [217, 217, 217];
const GROUPED = [239, 239, 244];

// A reported text colour ([r, g, b, a], 0...1) as CSS, darkened as little as
// needed to be read on `ground`.
function textColour(rgba, ground, fallback) {
  if (!Array.isArray(rgba) || rgba.length !== 4 || !rgba.every(Number.isFinite)) return fallback;
  const [r, g, b] = readableColour([rgba[0] * 255, rgba[1] * 255, rgba[2] * 255, rgba[3]], ground);
  return `rgb(${r}, ${g}, ${b})`;
}

// An opaque reported background as [r, g, b], or null.
function opaque(rgba) {
  return Array.isArray(rgba) && rgba.length === 4 && rgba[3] >= 1 ? rgba.slice(0, 3).map((c) => c * 255) : null;
}

// The keys the keyboard moves a row with, as aria-keyshortcuts names them.
const MOVE_KEYS = 'Alt+ArrowUp Alt+ArrowDown';

function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined && text !== null) e.textContent = text;
  return e;
}

// A view tree the application reported (a footer or header view): frames,
// background colours and labels, as laid out there.
function viewTree(view, ground) {
  const e = element('div', 'view-node');
  const own = opaque(view.backgroundColor);
  if (own) ground = own;
  const [x, y, w, h] = view.frame || [0, 0, 0, 0];
  Object.assign(e.style, {
    left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px`,
    background: css(view.backgroundColor, 'transparent'),
  });
  if (view.class === 'UILabel') {
    e.classList.add('view-label');
    e.textContent = view.text || '';
    e.style.fontSize = `${view.fontSize || 17}px`;
    e.style.color = textColour(view.textColor, ground, '#000');
    e.style.textAlign = ['left', 'center', 'right'][view.textAlignment] || 'left';
  }
  for (const sub of view.subviews || []) e.append(viewTree(sub, ground));
  return e;
}

function sectionEnd(section, which, index, grouped) {
  const title = section[which];
  const view = section[`${which}View`];
  const height = section[`${which}Height`] || 0;
  const e = element('div', `section-${which}`);
  e.dataset.section = String(index);
  // A title takes at least the height the application gave it, and more when
  // the page sets it on more lines; a view keeps its frames (growToText).
  e.style[view ? 'height' : 'minHeight'] = `${height}px`;
  if (which === 'header') e.id = `settings-header-${index}`;
  if (view) {
    e.classList.add('has-view');
    e.append(viewTree(view, grouped ? GROUPED : WHITE));
  } else if (title) {
    // A grouped table's headers show in capitals (screen.css); a screen reader
    // reads the title as written.
    e.textContent = title;
  }
  return e;
}

function button(className, text, label) {
  const b = element('button', className, text);
  b.type = 'button';
  if (label) b.setAttribute('aria-label', label);
  return b;
}

// What a row does, as the application reports it: {link, tap, move, delete, hold}.
function rowActions(row, table) {
  return {
    link: row.opens === true,
    tap: row.selectable === true,
    move: row.movable === true,
    delete: row.deletable === true && !table.editing,
    hold: (table.longPressDurations || []).length > 0,
  };
}

function rowElement(row, s, r, page, editingUi, section) {
  const table = page.table;
  const e = element('div', 'row');
  e.setAttribute('role', 'listitem');
  e.dataset.section = String(s);
  e.dataset.row = String(r);
  e.dataset.kind = row.kind;
  e.dataset.title = row.title;
  if (row.selected) e.classList.add('selected');
  if (row.movable) e.classList.add('movable');
  if (row.deletable && !table.editing) e.classList.add('deletable');
  const does = rowActions(row, table);
  const ground = row.selected ? SELECTED : WHITE;
  // Each row names its section for a screen reader.
  const sectionName = section.header ? `settings-header-${s}` : null;

  const text = element('div', 'row-text');
  const title = element('span', 'row-title', row.title);
  title.style.color = textColour(row.titleColor, ground, '#000');
  text.append(title);
  if (row.detail) {
    const detail = element('span', 'row-detail', row.detail);
    detail.style.color = textColour(row.detailColor, ground, '#6e6e73');
    text.append(detail);
  }
  e.append(text);

  if (row.kind === 'PSSwitchCell') {
    const toggle = element('span', 'switch');
    toggle.setAttribute('role', 'switch');
    toggle.tabIndex = 0;
    toggle.setAttribute('aria-checked', row.value === true ? 'true' : 'false');
    toggle.setAttribute('aria-label', row.title);
    if (sectionName) toggle.setAttribute('aria-describedby', sectionName);
    e.append(toggle);
  } else if (does.link || does.tap || does.move || does.delete || does.hold) {
    // The row's text is what the keyboard lands on.
    text.tabIndex = 0;
    if (does.link) text.setAttribute('role', 'link');
    else if (does.tap) text.setAttribute('role', 'button');
    if (does.move) text.setAttribute('aria-keyshortcuts', MOVE_KEYS);
    if (sectionName) text.setAttribute('aria-describedby', sectionName);
  }
  if (does.link) {
    const chevron = element('span', 'chevron');
    chevron.setAttribute('aria-hidden', 'true');
    e.append(chevron);
  } else if (row.kind === 'PSButtonCell') {
    e.classList.add('button-row');
  }
  if (row.movable) {
    const handle = element('span', 'reorder-handle');
    handle.setAttribute('aria-hidden', 'true');
    e.append(handle);
  }
  // The gestures' commands as buttons, shown while the keyboard is on the
  // row (Delete only while the Edit button does not show the row's own).
  const keyDelete = does.delete && !editingUi;
  if (does.hold || keyDelete) {
    const keys = element('span', 'row-keys');
    if (does.hold) keys.append(button('row-share', 'Share', `Share ${row.title}`));
    if (keyDelete) keys.append(button('row-delete', 'Delete', `Delete ${row.title}`));
    e.append(keys);
  }
  if (does.delete) {
    // The swipe's button takes no focus until a swipe or Edit shows it.
    const remove = button('delete-button', 'Delete');
    remove.dataset.delete = `${s},${r}`;
    e.append(remove);
    showDeleteButton(e, editingUi);
  }
  return e;
}

// Shows or hides a row's swipe-delete button; hidden, it is out of reach.
function showDeleteButton(row, shown) {
  row.classList.toggle('revealed', shown);
  const remove = row.querySelector('.delete-button');
  if (remove) remove.inert = !shown;
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
    rows.setAttribute('role', 'list');
    if (section.header) rows.setAttribute('aria-labelledby', `settings-header-${s}`);
    section.rows.forEach((row, r) => rows.append(rowElement(row, s, r, page, editingUi, section)));
    e.append(rows);
    e.append(sectionEnd(section, 'footer', s, grouped));
    return e;
  });
  container.replaceChildren(...sections);
  growToText(container);
}

// A label of a header or footer view that the page sets taller than the
// application measured it grows to its text, and its header or footer with
// it, so no line is cut and nothing below is covered.
function growToText(container) {
  for (const end of container.querySelectorAll('.has-view')) {
    let extra = 0;
    for (const label of end.querySelectorAll('.view-label')) {
      const missing = label.scrollHeight - label.clientHeight;
      if (missing <= 0) continue;
      label.style.height = `${label.scrollHeight}px`;
      extra = Math.max(extra, missing);
    }
    if (extra > 0) end.style.height = `${end.offsetHeight + extra}px`;
  }
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

// The parts of a row the keyboard can be on, most specific first.
const FOCUS_PARTS = ['.row-share', '.row-delete', '.delete-button', '.switch', '.row-text'];

// The element of a row the keyboard lands on.
function rowTarget(row) {
  return row?.querySelector('.switch, .row-text[tabindex]') || null;
}

export class SettingsScreen {
  // elements: {view, back, title, edit, scroll, table, alert..., openin...};
  // send(process, request) resolves with the reply.
  constructor(elements, send) {
    this.e = elements;
    this.send = (request) => send(SETTINGS, request);
    this.last = null;          // the last page event drawn
    this.press = null;         // the press in progress
    this.moving = null;        // {title, keyboard}: a move sent, waiting for its page
    this.sheetOrigin = null;   // where the keyboard was when the open sheet opened
    this.trail = [];           // by depth: the link row that opened the page above it
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
    const focus = this.focusPlace();
    const before = this.last?.page;
    const fresh = event !== this.last;
    e.view.dataset.ready = page ? 'true' : 'false';
    if (!page) {
      e.title.textContent = 'Settings';
      e.back.hidden = true;
      e.edit.hidden = true;
      e.table.replaceChildren();
      this.drawSheets(event, focus);
      this.last = event;
      return;
    }
    const newPage = before?.class !== page.class || before?.depth !== page.depth;
    if (newPage) e.scroll.scrollTop = 0;
    const editing = page.showsDeleteButtons === true;
    e.title.textContent = page.title || '';
    e.back.hidden = !(page.depth > 1);
    const deletable = !page.table?.editing && page.sections?.some((s) => s.rows.some((r) => r.deletable));
    e.edit.hidden = !deletable;
    e.edit.textContent = editing ? 'Done' : 'Edit';
    e.view.dataset.page = page.class || '';
    drawTable(e.table, page, editing);
    // The delete button a swipe revealed (the application forgets it when
    // its row goes).
    const revealed = page.revealedRow;
    const revealedRow = revealed &&
      e.table.querySelector(`.row.deletable[data-section="${revealed.section}"][data-row="${revealed.row}"]`);
    if (revealedRow) showDeleteButton(revealedRow, true);
    this.last = event;

    const moving = fresh && this.moving;
    if (moving) {
      this.moving = null;
      this.announceMove(moving.title);
    }
    if (this.drawSheets(event, focus) || focus?.sheet) return;
    // The keyboard stays where it was: on a moved row wherever it went, on
    // the row that opened the page it came back to, on the first row of a
    // page it opened, else on the same row drawn anew.
    if (!focus) return;
    if (newPage) {
      if (before && page.depth < before.depth && this.trail[page.depth]) this.focusRow(this.trail[page.depth]);
      else this.focusFirst();
    } else {
      this.focusRow(moving?.keyboard ? { ...focus, follow: moving.title } : { ...focus, redrawn: true });
    }
  }

  // Draws the alert and the open-in menu and moves the keyboard into one
  // that opens and back where it was when it closes; true while one shows.
  drawSheets(event, focus) {
    const e = this.e;
    const shownBefore = !e.alertSheet.hidden || !e.openinSheet.hidden;
    const opened = drawSheets(e, event);
    const shown = !e.alertSheet.hidden || !e.openinSheet.hidden;
    // Behind a sheet nothing takes focus or clicks.
    e.back.parentElement.inert = shown;
    e.scroll.inert = shown;
    if (opened) {
      if (!shownBefore) this.sheetOrigin = focus;
      opened.focus();
    } else if (shownBefore && !shown) {
      const origin = this.sheetOrigin;
      this.sheetOrigin = null;
      if (focus?.sheet) this.focusRow(origin);
    }
    return shown;
  }

  // Where the keyboard is in the application's screen: {sheet}, {back},
  // {edit}, or a row's {section, row, title, part}; null elsewhere.
  focusPlace() {
    const e = this.e;
    const active = document.activeElement;
    if (!active || !e.view.contains(active)) return null;
    if (e.alertSheet.contains(active) || e.openinSheet.contains(active)) return { sheet: true };
    if (active === e.back) return { back: true };
    if (active === e.edit) return { edit: true };
    const row = active.closest('.row');
    if (!row) return null;
    return {
      section: row.dataset.section, row: row.dataset.row, title: row.dataset.title,
      part: FOCUS_PARTS.find((part) => active.matches(part)),
    };
  }

  // Puts the keyboard back on a place focusPlace gave, as the page shows
  // now: the row of the same title in its section (with `follow`, the row
  // of that title anywhere), else the row at the same place, else the
  // section's last row; on the same part of it when that part is there.
  focusRow(place) {
    const e = this.e;
    if (!place) return this.focusFirst();
    if (place.back && !e.back.hidden) return e.back.focus();
    if (place.edit && !e.edit.hidden) return e.edit.focus();
    const find = (selector) => e.table.querySelector(selector);
    const section = `[data-section="${CSS.escape(String(place.section))}"]`;
    const row = (place.follow && find(`.row[data-title="${CSS.escape(place.follow)}"]`)) ||
      (place.title !== undefined && find(`.row${section}[data-title="${CSS.escape(place.title)}"]`)) ||
      find(`.row${section}[data-row="${CSS.escape(String(place.row))}"]`) ||
      [...e.table.querySelectorAll(`.row${section}`)].pop();
    if (!row) return this.focusFirst();
    // The same row drawn anew stays where the table is scrolled to; a row
    // that moved or a page come back to is brought into sight.
    const options = { preventScroll: place.redrawn === true };
    const part = place.part && row.querySelector(place.part);
    part?.focus(options);
    if (document.activeElement !== part || !part) rowTarget(row)?.focus(options);
    if (!row.contains(document.activeElement)) this.focusFirst();
  }

  // Puts the keyboard on the first row that takes it (or the Back button).
  focusFirst() {
    const first = rowTarget(this.e.table.querySelector('.row:has(.switch, .row-text[tabindex])'));
    if (first) first.focus();
    else if (!this.e.back.hidden) this.e.back.focus();
  }

  // Tells a screen reader where a moved row is now, as the page shows it.
  announceMove(title) {
    const sections = this.last?.page?.sections || [];
    sections.forEach((section, s) => {
      const index = section.rows.findIndex((row) => row.title === title);
      if (index < 0) return;
      const name = section.header || `section ${s + 1}`;
      announce(`${title} moved to ${name}, row ${index + 1} of ${section.rows.length}`);
    });
  }

  // A swipe shows or hides a row's delete button: at once here, then as the
  // application's page event has it.
  reveal(row, shown) {
    showDeleteButton(row, shown);
    this.send(shown ? { cmd: 'reveal', section: Number(row.dataset.section), row: Number(row.dataset.row) }
      : { cmd: 'reveal' });
  }

  // "Edit" is on, as the last page drawn has it.
  get editingUi() {
    return this.last?.page?.showsDeleteButtons === true;
  }

  redraw() {
    this.draw(this.pending !== undefined ? this.pending : this.last, true);
  }

  // A drop, or a move by the keyboard: the same command.
  moved(from, to, keyboard = false) {
    const title = this.last?.page?.sections?.[from[0]]?.rows?.[from[1]]?.title;
    this.moving = { title, keyboard };
    // The table shows the drop until the application's page event comes;
    // a refused move draws the page as the application still has it.
    this.send({ cmd: 'move', from, to }).then((reply) => {
      if (reply.ok) return;
      this.moving = null;
      this.redraw();
    });
  }

  // Alt+ArrowUp / Alt+ArrowDown on a row the page lets move: one place up or
  // down, past a section's end into the next section (an empty one too).
  moveByKey(row, up) {
    if (this.moving) return;  // the next move starts from where the device put the row
    const sections = this.last?.page?.sections || [];
    const s = Number(row.dataset.section);
    const r = Number(row.dataset.row);
    if (!sections[s]) return;
    let to = null;
    if (up) to = r > 0 ? [s, r - 1] : s > 0 ? [s - 1, sections[s - 1].rows.length] : null;
    else to = r < sections[s].rows.length - 1 ? [s, r + 1] : s + 1 < sections.length ? [s + 1, 0] : null;
    if (to) this.moved([s, r], to, true);
  }

  keyDown(event) {
    const target = event.target;
    const row = target.closest('.row');
    if (!row || !this.last?.page) return;
    const plain = !event.altKey && !event.ctrlKey && !event.metaKey && !event.shiftKey;
    const vertical = event.key === 'ArrowUp' || event.key === 'ArrowDown';
    const onRow = target.matches('.row-text[tabindex], .switch');
    if (!onRow) return;
    if (vertical && event.altKey && !event.ctrlKey && !event.metaKey && row.classList.contains('movable')) {
      event.preventDefault();
      this.moveByKey(row, event.key === 'ArrowUp');
    } else if (vertical && plain) {
      // Up and down go from row to row.
      event.preventDefault();
      const targets = [...this.e.table.querySelectorAll('.switch, .row-text[tabindex]')];
      const next = targets[targets.indexOf(target) + (event.key === 'ArrowUp' ? -1 : 1)];
      next?.focus();
    } else if (plain && event.key === ' ' && (target.matches('.switch') || target.getAttribute('role') === 'button')) {
      // Space acts when it is released, as on a button: released after an
      // alert has opened, it would press the alert's button instead.
      event.preventDefault();
      this.space = event.repeat ? this.space : target;
    } else if (plain && event.key === 'Enter' && !event.repeat && target.matches('.row-text')) {
      event.preventDefault();
      this.tap(row, target);
    }
  }

  keyUp(event) {
    if (event.key !== ' ') return;
    const target = this.space;
    this.space = null;
    if (target && target === event.target) this.tap(target.closest('.row'), target);
  }

  // The keyboard's Share and Delete buttons: the long press and the swipe's
  // delete at the row.
  rowKey(button) {
    const row = button.closest('.row');
    const section = Number(row.dataset.section);
    const index = Number(row.dataset.row);
    const title = row.dataset.title;
    if (button.matches('.row-share')) {
      const durations = this.last?.page?.table?.longPressDurations || [];
      if (durations.length > 0) this.send({ cmd: 'longpress', duration: Math.min(...durations), section, row: index });
    } else {
      this.send({ cmd: 'delete', section, row: index }).then((reply) => {
        if (reply.ok && !reply.alert) announce(`${title} deleted`);
      });
    }
  }

  wire() {
    const e = this.e;
    e.back.addEventListener('click', () => this.send({ cmd: 'back' }));
    e.edit.addEventListener('click', () => this.send({ cmd: 'edit', on: !this.editingUi }));
    e.table.addEventListener('click', (event) => {
      const key = event.target.closest('.row-share, .row-delete');
      if (key) {
        this.rowKey(key);
        return;
      }
      const remove = event.target.closest('.delete-button');
      if (!remove) return;
      const [section, row] = remove.dataset.delete.split(',').map(Number);
      this.send({ cmd: 'delete', section, row });
    });
    e.table.addEventListener('keydown', (event) => this.keyDown(event));
    e.table.addEventListener('keyup', (event) => this.keyUp(event));
    e.scroll.addEventListener('pointerdown', (event) => this.pointerDown(event));
    window.addEventListener('pointermove', (event) => this.pointerMove(event));
    window.addEventListener('pointerup', (event) => this.pointerUp(event));
    window.addEventListener('pointercancel', () => this.cancelPress());
  }

  pointerDown(event) {
    if (event.button !== 0 || event.target.closest('.delete-button, .row-keys')) return;
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

  // A tap on a row, or on its switch: the application does what the phone
  // does with it.
  tap(row, target) {
    const section = Number(row.dataset.section);
    const index = Number(row.dataset.row);
    if (this.last.page.sections[section]?.rows[index]?.opens) {
      // The keyboard comes back to this row when its page is popped.
      this.trail[this.last.page.depth] = { section: String(section), row: String(index), title: row.dataset.title };
    }
    this.send({ cmd: 'touch', section, row: index, part: target.closest('.switch') ? 'switch' : 'row' });
  }
}
