// A simulated device for one test: zv-launcher on a free port and a fresh
// device root, the address it printed, and a clean stop.
import { spawn } from 'node:child_process';
import { mkdtempSync, mkdirSync, readFileSync, renameSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createInterface } from 'node:readline';

const here = dirname(fileURLToPath(import.meta.url));
export const repository = resolve(here, '../../..');
export const buildDir = process.env.ZV_BUILD_DIR || join(repository, 'build/release');
export const launcherPath = join(buildDir, 'device/zv-launcher');

export class Device {
  // Starts the launcher and waits for "ready": on a fresh root and a free
  // port, or on those given (a launcher started again); `openFiles` sets
  // its open-file limit. `launcher` is the command that runs it: its path,
  // or a wrapper and its arguments.
  static async start({ timeoutMs = 30000, root = mkdtempSync('/tmp/zvb-'), port = 0, openFiles, launcher = [launcherPath] } = {}) {
    const device = new Device(root);
    await device.launch(timeoutMs, port, openFiles, launcher);
    return device;
  }

  constructor(root) {
    this.root = root;
    this.lines = [];
    this.errors = [];
    this.waiters = [];
  }

  launch(timeoutMs, port, openFiles, [program, ...options]) {
    const args = [...options, '--root', this.root, '--port', String(port)];
    const [command, commandArgs] = openFiles
      ? ['prlimit', [`--nofile=${openFiles}:${openFiles}`, program, ...args]]
      : [program, args];
    this.child = spawn(command, commandArgs, { stdio: ['pipe', 'pipe', 'pipe'] });
    // Standard error is passed on, and kept for tests that read it.
    createInterface({ input: this.child.stderr }).on('line', (line) => {
      this.errors.push(line);
      process.stderr.write(`${line}\n`);
    });
    this.exited = new Promise((done) => this.child.on('exit', (code, signal) => done({ code, signal })));
    createInterface({ input: this.child.stdout }).on('line', (line) => {
      this.lines.push(line);
      for (const w of [...this.waiters]) w(line);
    });
    return new Promise((resolvePromise, reject) => {
      const timer = setTimeout(() => reject(new Error(`no "ready" within ${timeoutMs} ms:\n${this.lines.join('\n')}`)),
        timeoutMs);
      const check = (line) => {
        const match = /^launcher: the screen is at (http:\/\/127\.0\.0\.1:(\d+)\/\?token=([0-9a-f]+))$/.exec(line);
        if (match) {
          this.address = match[1];
          this.port = Number(match[2]);
          this.token = match[3];
        }
        if (line === 'ready') {
          clearTimeout(timer);
          this.waiters = this.waiters.filter((w) => w !== check);
          resolvePromise();
        }
      };
      this.waiters.push(check);
      this.exited.then(({ code }) => reject(new Error(`the launcher exited (${code}):\n${this.lines.join('\n')}`)));
    });
  }

  get origin() {
    return `http://127.0.0.1:${this.port}`;
  }

  // The host path of a device path.
  hostPath(devicePath) {
    return join(this.root, devicePath);
  }

  // Places a settings file on the device, whole at once as the Settings
  // bundle writes it.
  writeSettings(plistText) {
    const path = this.hostPath('/var/mobile/Library/Preferences/net.quellit.zorvane.plist');
    mkdirSync(dirname(path), { recursive: true });
    writeFileSync(`${path}.new`, plistText);
    renameSync(`${path}.new`, path);
  }

  // Stops the launcher; the root goes too unless it is kept for another start.
  async stop({ keepRoot = false } = {}) {
    if (this.child.exitCode === null && this.child.signalCode === null) {
      this.child.kill('SIGTERM');
      await this.exited;
    }
    if (!keepRoot) rmSync(this.root, { recursive: true, force: true });
  }

  // The launcher's resident memory in KiB.
  residentKiB() {
    return Number(/VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${this.child.pid}/status`, 'utf8'))[1]);
  }
}
