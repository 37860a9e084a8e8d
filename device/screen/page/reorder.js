// Dragging a row of an editing table to another place, in its section or
// in any other, by mouse or touch (pointer events). Only rows the page lets
// move (class "movable", from the row's "movable" in the page event) are
// picked up. While the row is carried a gap shows where it would land, and
// the table scrolls when the pointer nears its top or bottom edge. The drop
// is reported as the table reports a move: the source (section, row) and
// the destination (section, row), the row counted in the destination
// section without the carried row.

const START = 4;          // px the pointer moves before the row is lifted
const EDGE = 48;          // px from an edge of the scroller where it scrolls
const MAX_SPEED = 14;     // px per frame at the very edge

export class Reorder {
  // onDrop(from, to) when a row is dropped elsewhere; onSettle() once the
  // table shows the drop and the drag is over.
  constructor(scroller, table, onDrop, onSettle) {
    this.scroller = scroller;
    this.table = table;
    this.onDrop = onDrop;
    this.onSettle = onSettle;
    this.settling = 0;    // the timer that puts a dropped row in place
    this.source = null;   // {row, x, y, section, index}
    this.lifted = false;
  }

  get armed() { return this.source !== null; }
  get active() { return this.lifted; }

  arm(row, event) {
    this.source = {
      row, x: event.clientX, y: event.clientY,
      section: Number(row.dataset.section), index: Number(row.dataset.row),
    };
    event.preventDefault();
  }

  move(event) {
    if (!this.source) return;
    this.pointerY = event.clientY;
    if (!this.lifted) {
      if (Math.hypot(event.clientX - this.source.x, event.clientY - this.source.y) < START) return;
      this.lift();
    }
    this.ghost.style.top = `${event.clientY - this.grabOffset}px`;
    this.place(event.clientY);
    this.scrollNearEdge();
  }

  lift() {
    const row = this.source.row;
    const rect = row.getBoundingClientRect();
    this.grabOffset = this.source.y - rect.top;
    this.ghost = row.cloneNode(true);
    this.ghost.classList.add('ghost');
    Object.assign(this.ghost.style, { left: `${rect.left}px`, width: `${rect.width}px`, top: `${rect.top}px` });
    document.body.append(this.ghost);
    this.gap = document.createElement('div');
    this.gap.className = 'row gap';
    this.gap.style.height = `${rect.height}px`;
    row.after(this.gap);
    row.classList.add('lifted');
    this.lifted = true;
    this.table.dataset.dragging = 'true';
  }

  // Scrolls the table while the pointer is near its top or bottom edge and
  // the table can scroll that way, one step per frame. Frames are asked for
  // only then: a frame pending when the pointer is released makes the
  // browser hold back other work (the device's answer to the drop among it)
  // until that frame has been drawn.
  scrollNearEdge() {
    if (this.frame) return;
    const step = () => {
      if (!this.lifted) return 0;
      const s = this.scroller;
      const box = s.getBoundingClientRect();
      const y = this.pointerY;
      if (y < box.top + EDGE && s.scrollTop > 0) {
        return -MAX_SPEED * Math.min(1, (box.top + EDGE - y) / EDGE);
      }
      if (y > box.bottom - EDGE && Math.ceil(s.scrollTop) < s.scrollHeight - s.clientHeight) {
        return MAX_SPEED * Math.min(1, (y - (box.bottom - EDGE)) / EDGE);
      }
      return 0;
    };
    const scroll = () => {
      this.frame = 0;
      const by = step();
      if (by === 0) return;
      this.scroller.scrollTop += by;
      this.place(this.pointerY);
      this.frame = requestAnimationFrame(scroll);
    };
    if (step() !== 0) this.frame = requestAnimationFrame(scroll);
  }

  // Puts the gap where a drop at y would land.
  place(y) {
    const sections = [...this.table.querySelectorAll('.table-section')];
    if (sections.length === 0) return;
    let section = sections.find((s) => {
      const r = s.getBoundingClientRect();
      return y >= r.top && y < r.bottom;
    });
    if (!section) section = y < sections[0].getBoundingClientRect().top ? sections[0] : sections[sections.length - 1];
    const rows = section.querySelector('.rows');
    const before = [...rows.children].find((row) => {
      if (row === this.gap || row === this.source.row) return false;
      const r = row.getBoundingClientRect();
      return y < r.top + r.height / 2;
    });
    if (before) {
      if (before.previousElementSibling !== this.gap) rows.insertBefore(this.gap, before);
    } else if (rows.lastElementChild !== this.gap) {
      rows.append(this.gap);
    }
  }

  // Where the gap stands: [section, row among the section's other rows].
  destination() {
    const rows = this.gap.parentElement;
    let index = 0;
    for (const row of rows.children) {
      if (row === this.gap) break;
      if (row !== this.source.row) ++index;
    }
    return [Number(rows.dataset.section), index];
  }

  drop(event) {
    if (!this.source) return;
    if (!this.lifted) {
      this.source = null;
      return;
    }
    this.place(event.clientY);
    const to = this.destination();
    const from = [this.source.section, this.source.index];
    if (from[0] !== to[0] || from[1] !== to[1]) this.onDrop(from, to);
    // The row takes the gap's place in a task of its own: a change to the
    // page in the release's task would make the browser hold back the
    // device's answer until that change has been drawn.
    this.settling = setTimeout(() => this.settle());
  }

  // Puts the dropped row where the gap is and ends the drag.
  settle() {
    clearTimeout(this.settling);
    this.settling = 0;
    this.gap.replaceWith(this.source.row);
    this.finish();
    this.onSettle();
  }

  cancel() {
    if (this.settling) {
      this.settle();  // the drop is sent already
      return;
    }
    if (this.lifted) this.gap.remove();
    this.finish();
  }

  finish() {
    cancelAnimationFrame(this.frame);
    this.frame = 0;
    this.ghost?.remove();
    this.source?.row.classList.remove('lifted');
    delete this.table.dataset.dragging;
    this.ghost = null;
    this.gap = null;
    this.source = null;
    this.lifted = false;
  }
}
