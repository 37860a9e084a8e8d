// The phone's status bar: the SVG picture the launcher drew from the layout
// of the process in front. Nothing here decides what the bar shows.

// Replaces the picture; `drawn` is called on the animation frame that
// follows the change (when the browser shows it).
const shown = new WeakMap();

export function drawStatusBar(element, svgText, drawn) {
  if (shown.get(element) === svgText) return;
  shown.set(element, svgText);
  element.innerHTML = svgText || '';
  if (drawn) requestAnimationFrame(() => drawn(performance.now()));
}

// The item types shown, by region, as the picture lists them.
export function shownItems(element) {
  const regions = { left: [], center: [], right: [] };
  for (const item of element.querySelectorAll('g.item')) {
    regions[item.dataset.region]?.push(Number(item.dataset.type));
  }
  return regions;
}
