// The installed programs run from wherever their prefix lies: the build is
// installed with `cmake --install`, the prefix moved elsewhere, and every
// program run in a mount namespace where the source and build folders are
// empty, so nothing can come from there. `zorvane check` and `show`, and
// the launcher with its screen in the browser.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, renameSync, rmSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { Device, buildDir, repository } from './support/device.mjs';
import { settingsPlist } from './support/settings.mjs';
import { launchBrowser, postSettingsChange, waitForStatusBar } from './support/screen.mjs';

const scratch = mkdtempSync('/tmp/zvi-');
const prefix = join(scratch, 'moved');

// The command that runs a program of the moved prefix with the source and
// build folders covered by empty file systems (the build folder may lie in
// the source folder, and is then covered already).
function hidden(program, ...args) {
  const cover = 'cd / && while [ "$1" != -- ]; do if [ -d "$1" ]; then mount -t tmpfs zv-hidden "$1" || exit 125; fi; ' +
    'shift; done; shift; exec "$@"';
  const user = process.getuid() === 0 ? [] : ['--map-root-user'];
  return ['unshare', ...user, '--mount', '--propagation', 'private', 'sh', '-c', cover, 'sh',
    resolve(repository), resolve(buildDir), '--',
    program.startsWith('/') ? program : join(prefix, 'bin', program), ...args];
}

function runHidden(program, ...args) {
  const [command, ...rest] = hidden(program, ...args);
  return spawnSync(command, rest, { encoding: 'utf8', timeout: 60000 });
}

// Mount namespaces need root or user namespaces; without them there is nothing to test here.
const probe = runHidden('/bin/ls', '-A', repository);
const cannotHide = probe.status !== 0 ? `cannot hide the source folder: ${(probe.stderr || probe.error?.message || '').trim()}` :
  probe.stdout !== '' ? 'the source folder stays visible in a mount namespace' : false;

before(() => {
  if (cannotHide) return;
  const first = join(scratch, 'installed');
  execFileSync('cmake', ['--install', buildDir, '--prefix', first], { stdio: 'pipe' });
  renameSync(first, prefix);
});
after(() => rmSync(scratch, { recursive: true, force: true }));

test('zorvane checks and shows a file from a moved prefix', { skip: cannotHide }, () => {
  const file = join(scratch, 'Home.plist');
  writeFileSync(file, settingsPlist({ left: ['11 Bluetooth', '00 Time'] }));

  const check = runHidden('zorvane', 'check', file);
  assert.equal(check.status, 0, check.stdout + check.stderr);

  const show = runHidden('zorvane', 'show', file, '--bluetooth', 'on');
  assert.equal(show.status, 0, show.stdout + show.stderr);
  assert.match(show.stdout, /^Left: +11 Bluetooth, 00 Time, /m);
});

test('the launcher from a moved prefix serves its page and the status bar arrives', { skip: cannotHide }, async () => {
  const device = await Device.start({ launcher: hidden('zv-launcher') });
  const browser = await launchBrowser().catch(async (error) => { await device.stop(); throw error; });
  try {
    const page = await browser.newPage();
    const response = await page.goto(device.address);
    assert.equal(response.status(), 200);
    await page.waitForSelector('#status-bar svg g.item', { timeout: 15000 });

    // The installed plug-in places the items by the device's settings file.
    device.writeSettings(settingsPlist({ left: ['11 Bluetooth', '00 Time'] }));
    await postSettingsChange(page);
    await waitForStatusBar(page, { left: [11, 0, 3, 4, 5] });
  } finally {
    await device.stop();
    await browser.close();
  }
});
