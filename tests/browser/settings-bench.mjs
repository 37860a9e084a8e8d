// Measurements of the Settings application on the phone (figures, not
// assertions); run with
//   node tests/browser/settings-bench.mjs   (after a release build)
//  - a drop in the sort-order editor, with the mouse in chromium, until the
//    phone's status bar in the page shows the new layout (the animation
//    frame after the DOM change): "11 Bluetooth" dragged between the tops
//    of Left and Right, ZV_BENCH_DROPS times (default 240); median and 99th
//    percentile. The settings file is written as always: fsync'd, renamed,
//    its folder fsync'd;
//  - where the time goes: the median of each step of the road of the last
//    change (times the processes report from the Settings application's
//    start of the move, on one clock), with the browser's own moments on
//    that clock: the drop, the layout message's arrival, the frame; "relay
//    in" is the drop until the move begins (WebSocket, launcher, pipe),
//    "relay out" the Settings application's layout until the page has it,
//    "frame wait" the page's drawing until the next animation frame.
import { Device } from './support/device.mjs';
import { launchBrowser, openScreen, waitForStatusBar } from './support/screen.mjs';
import { dragRowToTopOf, openSettingsPage, settingsRow } from './support/settings-app.mjs';

const drops = Number(process.env.ZV_BENCH_DROPS || 240);

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
}
const ms = (v) => `${v.toFixed(1)} ms`;

const device = await Device.start();
const browser = await launchBrowser();
try {
  const page = await openScreen(browser, device);
  await openSettingsPage(page, 'Sort Order', 'ZVSortOrderController');
  await dragRowToTopOf(page, '11 Bluetooth', 0);
  await waitForStatusBar(page, { left: [11, 3, 4, 5] });
  // The time of each drop: the pointer released over the table.
  await page.evaluate(() => {
    window.addEventListener('pointerup', () => {
      window.zvDropAt = performance.now();
      window.zvArrivalsBefore = window.zvLayoutArrivals.length;
    }, true);
  });

  const times = [];
  const steps = new Map();  // step name -> ms from the move's start, per drop
  let lastAction = null;
  for (let i = 0; i < drops; ++i) {
    const toRight = i % 2 === 0;
    await page.evaluate((region) => {
      const bar = document.getElementById('status-bar');
      const shows = () => bar.querySelector(`g.item[data-type="11"]`)?.dataset.region === region &&
        bar.querySelector(`g.item[data-region="${region}"]`)?.dataset.type === '11';
      window.zvShown = new Promise((resolve) => {
        const observer = new MutationObserver(() => {
          if (!shows()) return;
          observer.disconnect();
          const arrival = window.zvLayoutArrivals.slice(window.zvArrivalsBefore).find((a) => a.process === 'settings');
          requestAnimationFrame((frame) => resolve({
            total: frame - window.zvDropAt,
            drop: performance.timeOrigin + window.zvDropAt,
            arrival: arrival ? performance.timeOrigin + arrival.time : NaN,
            frame: performance.timeOrigin + frame,
          }));
        });
        observer.observe(bar, { childList: true, subtree: true });
      });
    }, toRight ? 'right' : 'left');

    const row = settingsRow(page, '11 Bluetooth');
    const from = await row.boundingBox();
    const header = await page.locator(`.table-section[data-section="${toRight ? 2 : 0}"] .section-header`).boundingBox();
    const x = from.x + from.width / 2;
    await page.mouse.move(x, from.y + from.height / 2);
    await page.mouse.down();
    await page.mouse.move(x, header.y + header.height - 4, { steps: 3 });
    await page.mouse.up();
    const shown = await page.evaluate(() => window.zvShown);
    times.push(shown.total);

    // The road of this drop, once the Settings application's own status bar
    // (the one in front) and both hosts have laid out.
    const road = await page.waitForFunction((previous) => {
      const r = window.zvScreen.model().road;
      if (!r?.action || r.action.t === previous) return null;
      const laidOut = new Set(r.steps.filter((s) => s.kind === 'laidOut').map((s) => s.process));
      return ['settings', 'springboard', 'app'].every((p) => laidOut.has(p)) ? r : null;
    }, lastAction, { timeout: 10000 }).then((handle) => handle.jsonValue()).catch(async (error) => {
      console.log(JSON.stringify(await page.evaluate(() => window.zvScreen.model().road), null, 1));
      throw error;
    });
    lastAction = road.action.t;
    // The next drop starts from the table as the application drew it after this one.
    await page.waitForSelector(`#settings-table .row[data-title="11 Bluetooth"][data-section="${toRight ? 2 : 0}"]`);
    // The browser's side, on the same clock (epoch milliseconds).
    const began = road.action.t / 1000;
    const settingsLaidOut = began + road.steps.find((st) => st.kind === 'laidOut' && st.process === 'settings').ms;
    const record = (name, value) => {
      if (!steps.has(name)) steps.set(name, []);
      steps.get(name).push(value);
    };
    record('(browser) drop released', shown.drop - began);
    record('(browser) layout received', shown.arrival - began);
    record('(browser) status bar drawn', shown.frame - began);
    record('  of which relay in', began - shown.drop);
    record('  of which relay out', shown.arrival - settingsLaidOut);
    record('  of which frame wait', shown.frame - shown.arrival);
    for (const step of road.steps) {
      if (step.kind === 'delivered') continue;
      const name = step.kind === 'wrote' ? 'settings file written'
        : step.kind === 'posted' ? `${step.subject.split('/').pop()} posted`
        : `${step.process} laid out`;
      if (!steps.has(name)) steps.set(name, []);
      steps.get(name).push(step.ms);
    }
  }

  console.log(`drop in the editor -> status bar shown (${drops} drops, fsync on): median ${ms(percentile(times, 50))}, ` +
    `p99 ${ms(percentile(times, 99))}, max ${ms(Math.max(...times))}`);
  console.log('road of a drop, median from the move\'s start in the Settings application:');
  const line = ([name, values]) =>
    console.log(`  ${name.padEnd(28)} ${ms(percentile(values, 50)).padStart(9)}   p99 ${ms(percentile(values, 99))}`);
  const parts = [...steps].filter(([name]) => name.startsWith(' '));
  [...steps].filter(([name]) => !name.startsWith(' '))
    .sort((a, b) => percentile(a[1], 50) - percentile(b[1], 50)).forEach(line);
  parts.forEach(line);
} finally {
  await browser.close();
  await device.stop();
}
