// Polite announcements for a screen reader (a move in the sort-order
// editor, a profile saved): the page's one live region for them.

let timer = 0;

export function announce(text) {
  const region = document.getElementById('announcer');
  if (!region) return;
  // Emptied first, so the same words twice are read twice.
  region.textContent = '';
  clearTimeout(timer);
  timer = setTimeout(() => { region.textContent = text; }, 50);
}
