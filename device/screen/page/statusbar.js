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
// Signal strength; Center: Time; Right: Battery, 100%"), and what the bar
// left out for want of room; empty without a layout.
export function describeStatusBar(layout) {
  if (!layout) return '';
  const region = (title, key) => {
    const names = layout.names?.[key] || [];
    return `${title}: ${names.length > 0 ? names.join(', ') : 'nothing'}`;
  };
  const parts = [region('Left', 'left'), region('Center', 'center'), region('Right', 'right')];
  const leftOut = leftOutText(layout);
  if (leftOut) parts.push(leftOut);
  return parts.join('; ');
}

// "Did not fit at 320 points: Alarm, Location", or empty when every item fits.
export function leftOutText(layout) {
  const names = layout?.names?.leftOut || [];
  if (names.length === 0) return '';
  return `Did not fit at ${layout.width} points: ${names.join(', ')}`;
}

// The phone's screen size for its width in points (the phones of that era).
const screenHeights = { 320: 568, 375: 667, 414: 736 };
export function phoneSize(layout) {
  const width = screenHeights[layout?.width] ? layout.width : 320;
  return { width, height: screenHeights[width] };
}
