// Keyboard focus that loses its place: when the element in focus is hidden
// or removed because the device's report changed what a region shows (the
// home screen giving way to an application, an alert closing), the focus
// falls back to the page's body. This tells when that happened to focus
// that was in the region, so the page can put it somewhere sensible.

function shown(element) {
  return element.isConnected && (element.checkVisibility ? element.checkVisibility() : element.offsetParent !== null);
}

export class FocusWatch {
  constructor(region) {
    this.inside = false;
    document.addEventListener('focusin', (event) => { this.inside = region.contains(event.target); });
    document.addEventListener('focusout', (event) => {
      if (event.relatedTarget || !region.contains(event.target)) return;
      // Focus sent nowhere while its element still shows was taken away by
      // the user (a click beside the phone), not by a redraw.
      const left = event.target;
      setTimeout(() => {
        if (shown(left) && document.activeElement !== left) this.inside = false;
      });
    });
  }

  // Focus was in the region and now rests on nothing that shows.
  lost() {
    const active = document.activeElement;
    return this.inside && (!active || active === document.body || !shown(active));
  }
}
