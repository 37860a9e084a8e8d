// Measurements of the screen (figures, not assertions); run with
//   node tests/browser/screen-bench.mjs   (after a release build)
//  - a settings change posted on the device until the phone's status bar in
//    the page shows it (the animation frame after the DOM change), over 200+
//    changes: median and 99th percentile;
//  - the launcher's start until "ready": median of 10 starts;
//  - a relaunch request until SpringBoard has laid out again: median of 20.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { Device, launcherPath } from './support/device.mjs';
import { settingsPlist } from './support/settings.mjs';
import { launchBrowser, openScreen } from './support/screen.mjs';

const changes = Number(process.env.ZV_BENCH_CHANGES || 240);

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
}
const ms = (v) => `${v.toFixed(1)} ms`;

async function settingsToScreen() {
  const device = await Device.start();
  const browser = await launchBrowser();
  try {
    const page = await openScreen(browser, device);
    const files = [
      { plist: settingsPlist({ left: ['11 Bluetooth'] }), firstLeft: 11 },
      { plist: settingsPlist({ left: ['07 Battery'] }), firstLeft: 7 },
    ];
    const times = [];
    for (let i = 0; i < changes; ++i) {
      const { plist, firstLeft } = files[i % 2];
      device.writeSettings(plist);
      times.push(await page.evaluate((want) => new Promise((resolve) => {
        const bar = document.getElementById('status-bar');
        const shows = () => Number(bar.querySelector('g.item[data-region=left]')?.dataset.type) === want;
        const t0 = performance.now();
        const observer = new MutationObserver(() => {
          if (!shows()) return;
          observer.disconnect();
          requestAnimationFrame((frame) => resolve(frame - t0));
        });
        observer.observe(bar, { childList: true, subtree: true });
        window.zvScreen.send('springboard', { cmd: 'post', name: 'net.quellit.zorvane/preferences' });
        window.zvScreen.send('springboard', { cmd: 'post', name: 'net.quellit.zorvane/reloadStatusBar' });
      }), firstLeft));
    }
    console.log(`settings change -> status bar shown (${changes} changes): median ${ms(percentile(times, 50))}, ` +
      `p99 ${ms(percentile(times, 99))}, max ${ms(Math.max(...times))}`);
  } finally {
    await browser.close();
    await device.stop();
  }
}

// Starts the launcher on a fresh root; resolves with its child, its line
// reader and the milliseconds to "ready".
function startLauncher(root) {
  return new Promise((resolve, reject) => {
    const t0 = performance.now();
    const child = spawn(launcherPath, ['--root', root, '--port', '0'], { stdio: ['pipe', 'pipe', 'inherit'] });
    const lines = createInterface({ input: child.stdout });
    const onLine = (line) => {
      if (line !== 'ready') return;
      lines.off('line', onLine);
      resolve({ child, lines, elapsed: performance.now() - t0 });
    };
    lines.on('line', onLine);
    child.on('exit', (code) => reject(new Error(`launcher exited (${code})`)));
  });
}

async function stopLauncher(child) {
  const exited = new Promise((done) => child.on('exit', done));
  child.kill('SIGTERM');
  await exited;
}

async function startToReady() {
  const times = [];
  for (let i = 0; i < 10; ++i) {
    const root = mkdtempSync('/tmp/zvb-');
    const { child, elapsed } = await startLauncher(root);
    times.push(elapsed);
    await stopLauncher(child);
    rmSync(root, { recursive: true, force: true });
  }
  console.log(`launcher start -> ready (10 starts): median ${ms(percentile(times, 50))}, max ${ms(Math.max(...times))}`);
}

async function relaunch() {
  const root = mkdtempSync('/tmp/zvb-');
  const { child, lines } = await startLauncher(root);
  const times = [];
  for (let i = 0; i < 20; ++i) {
    times.push(await new Promise((resolve) => {
      let exited = false;
      const t0 = performance.now();
      const onLine = (line) => {
        if (line.startsWith('launcher: springboard exited with status 75')) exited = true;
        if (exited && line.startsWith('springboard: ') && line.includes('"event":"layout"')) {
          lines.off('line', onLine);
          resolve(performance.now() - t0);
        }
      };
      lines.on('line', onLine);
      child.stdin.write('springboard {"cmd":"relaunch"}\n');
    }));
  }
  console.log(`relaunch request -> SpringBoard laid out again (20 relaunches): median ${ms(percentile(times, 50))}, ` +
    `max ${ms(Math.max(...times))}`);
  await stopLauncher(child);
  rmSync(root, { recursive: true, force: true });
}

await startToReady();
await relaunch();
await settingsToScreen();
