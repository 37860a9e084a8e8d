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

// What a screen reader hears of a status bar: the items of each region in
// order, by the names the host's layout event gives them ("Left: Bluetooth,
// Signal strength; Center: Time; Right: Battery, 100%"); empty without a
// layout.
export function describeStatusBar(layout) {
  if (!layout) return '';
  const region = (title, key) => {
    const names = layout.names?.[key] || [];
    return `${title}: ${names.length > 0 ? names.join(', ') : 'nothing'}`;
  };
  return [region('Left', 'left'), region('Center', 'center'), region('Right', 'right')].join('; ');
}
