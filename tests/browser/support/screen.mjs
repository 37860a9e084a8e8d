// The phone in Debian's chromium: a browser for a test file, a page on a
// device's screen, and a screenshot in the build folder when a test fails.
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { buildDir } from './device.mjs';

export const failureShots = join(buildDir, 'browser-failures');

export function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.ZV_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
}

// Opens the printed address and waits for the phone's first status bar (its
// first item may show no glyph: Bluetooth while it is off).
export async function openScreen(browser, device) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const page = await context.newPage();
  await page.goto(device.address);
  await page.waitForSelector('#status-bar svg g.item', { state: 'attached', timeout: 15000 });
  return page;
}

// Runs `body(page)`; when it fails, keeps a screenshot of the page named
// after the test in the build folder, then fails.
export async function onScreen(t, browser, device, body) {
  const page = await openScreen(browser, device);
  try {
    await body(page);
  } catch (error) {
    mkdirSync(failureShots, { recursive: true });
    const file = join(failureShots, `${t.name.replace(/[^A-Za-z0-9]+/g, '-')}.png`);
    await page.screenshot({ path: file }).catch(() => {});
    error.message += `\n(screenshot: ${file})`;
    throw error;
  } finally {
    await page.context().close();
  }
}

// The item types the status bar shows, by region.
export function statusBarItems(page) {
  return page.evaluate(() => {
    const regions = { left: [], center: [], right: [] };
    for (const item of document.querySelectorAll('#status-bar g.item')) regions[item.dataset.region].push(Number(item.dataset.type));
    return regions;
  });
}

// Waits until the status bar shows these regions (any region left out is not checked).
export async function waitForStatusBar(page, expected, timeout = 10000) {
  await page.waitForFunction((want) => {
    const regions = { left: [], center: [], right: [] };
    for (const item of document.querySelectorAll('#status-bar g.item')) regions[item.dataset.region].push(Number(item.dataset.type));
    return Object.entries(want).every(([region, types]) => JSON.stringify(regions[region]) === JSON.stringify(types));
  }, expected, { timeout });
}

// Sends a control-protocol request as the page does; resolves with the reply.
export function send(page, process, request) {
  return page.evaluate(([p, r]) => window.zvScreen.send(p, r), [process, request]);
}

// Posts the two notifications the Settings bundle posts after a save.
export async function postSettingsChange(page) {
  await send(page, 'springboard', { cmd: 'post', name: 'net.quellit.zorvane/preferences' });
  await send(page, 'springboard', { cmd: 'post', name: 'net.quellit.zorvane/reloadStatusBar' });
}
