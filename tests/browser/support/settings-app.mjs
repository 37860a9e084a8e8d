// The Settings application on the phone, worked with the mouse as a person
// would: open it, walk its pages, drag a row, swipe, hold.
import assert from 'node:assert/strict';

const ROOT_PAGE = 'ZorvaneSettingsListController';

const row = (page, title) => page.locator(`#settings-table .row[data-title="${title}"]`);
export { row as settingsRow };

// The Settings application in front, on its root page.
export async function openSettings(page) {
  if (!(await page.isVisible('#screen[data-view=settings]'))) {
    await page.click('.app-icon[data-process=settings]');
    await page.waitForSelector('#screen[data-view=settings] #settings-table .row');
  }
  for (let i = 0; i < 5 && (await page.getAttribute('#settings-view', 'data-page')) !== ROOT_PAGE; ++i) {
    const before = await page.getAttribute('#settings-view', 'data-page');
    await page.click('#settings-back');
    await page.waitForFunction((b) => document.getElementById('settings-view').dataset.page !== b, before);
  }
  await page.waitForSelector(`#settings-view[data-page=${ROOT_PAGE}]`);
}

// From the root page, follows the link row `title` to the page of `pageClass`.
export async function openSettingsPage(page, title, pageClass) {
  await openSettings(page);
  await row(page, title).click();
  await page.waitForSelector(`#settings-view[data-page=${pageClass}] #settings-table .row`);
}

// Drags the row `title` with the mouse and drops it on the section
// `section` (its index): above its first row, or in it when it is empty.
// The table scrolls while the pointer waits at its top edge.
export async function dragRowToTopOf(page, title, section) {
  const source = row(page, title);
  await source.scrollIntoViewIfNeeded();
  const box = await source.boundingBox();
  const x = box.x + box.width / 2;
  await page.mouse.move(x, box.y + box.height / 2);
  await page.mouse.down();
  const target = page.locator(`#settings-table .table-section[data-section="${section}"] .section-header`);
  const scroller = await page.locator('#settings-scroll').boundingBox();
  for (let i = 0; i < 100; ++i) {
    const header = await target.boundingBox();
    const aim = header.y + header.height - 4;  // just above the section's first row
    if (aim < scroller.y + 2 || aim > scroller.y + scroller.height - 2) {
      // Out of sight: the pointer waits at that edge and the table scrolls.
      await page.mouse.move(x, aim < scroller.y ? scroller.y + 2 : scroller.y + scroller.height - 2, { steps: 2 });
      await page.waitForTimeout(50);
      continue;
    }
    await page.mouse.move(x, aim, { steps: 4 });
    // Near an edge the table may still scroll: drop once the section stands still.
    await page.waitForTimeout(100);
    const settled = await target.boundingBox();
    if (Math.abs(settled.y + settled.height - 4 - aim) < 1) break;
  }
  await page.mouse.up();
}

// A swipe to the left across a row, which reveals its delete button.
export async function swipeLeft(page, locator) {
  // A page event may redraw the table just then: ask again until the row is laid out.
  let box = await locator.boundingBox();
  for (let tries = 0; !box && tries < 40; tries++) {
    await page.waitForTimeout(50);
    box = await locator.boundingBox();
  }
  assert.ok(box, 'the row to swipe is on the page');
  const y = box.y + box.height / 2;
  await page.mouse.move(box.x + box.width - 20, y);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width - 140, y, { steps: 6 });
  await page.mouse.up();
}

// Holds the mouse down on the locator for `ms` milliseconds.
export async function holdOn(page, locator, ms) {
  const box = await locator.boundingBox();
  await page.mouse.move(box.x + box.width / 3, box.y + box.height / 2);
  await page.mouse.down();
  await page.waitForTimeout(ms);
  await page.mouse.up();
}

// The alert sheet on screen: title and button titles.
export async function alertShown(page) {
  await page.waitForSelector('#alert-sheet:not([hidden])');
  return page.evaluate(() => ({
    title: document.getElementById('alert-title').textContent,
    message: document.getElementById('alert-message').textContent,
    buttons: [...document.querySelectorAll('#alert-buttons button')].map((b) => b.textContent),
    field: !document.getElementById('alert-field').hidden,
  }));
}

export async function pressAlertButton(page, title) {
  await page.click(`#alert-buttons button:text-is("${title}")`);
  await page.waitForSelector('#alert-sheet[hidden]', { state: 'attached' });
}
