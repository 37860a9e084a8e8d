// Measurements of the screen's bounds (figures, not assertions); run with
//   node tests/browser/security-bench.mjs   (after a release build)
//  - the launcher's resident memory before and after one page sends 100 MiB
//    of a message in 1 MiB fragments (the server closes it at its bound);
//  - the same before, after and once closed, for a page that sends a
//    million messages and never reads the replies;
//  - the time for chromium to load the page (the printed address until the
//    first status bar), alone and while 1,000 idle connections are open:
//    median of 5 each.
import net from 'node:net';
import { once } from 'node:events';
import { randomBytes } from 'node:crypto';
import { setTimeout as sleep } from 'node:timers/promises';
import { Device } from './support/device.mjs';
import { launchBrowser, openScreen } from './support/screen.mjs';

const mib = (kib) => `${(kib / 1024).toFixed(1)} MiB`;

async function rawWebSocket(device) {
  const socket = net.connect(device.port, '127.0.0.1');
  await once(socket, 'connect');
  socket.write(`GET /ws?token=${device.token} HTTP/1.1\r\nHost: 127.0.0.1:${device.port}\r\nOrigin: ${device.origin}\r\n`
    + `Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n`
    + `Sec-WebSocket-Key: ${randomBytes(16).toString('base64')}\r\n\r\n`);
  await once(socket, 'data');
  socket.on('error', () => {});
  return socket;
}

function frame(opcode, payload, fin) {
  const head = Buffer.alloc(14);
  head[0] = (fin ? 0x80 : 0) | opcode;
  head[1] = 0x80 | 127;
  head.writeBigUInt64BE(BigInt(payload.length), 2);
  return Buffer.concat([head, payload]);  // a zero mask
}

async function writeAll(socket, chunks) {
  const closed = new Promise((resolve) => socket.once('close', resolve));
  for (const chunk of chunks()) {
    if (socket.destroyed || !socket.writable) return;
    if (!socket.write(chunk)) await Promise.race([once(socket, 'drain').catch(() => {}), closed, sleep(5000)]);
  }
}

async function fragments(device) {
  const before = device.residentKiB();
  const socket = await rawWebSocket(device);
  socket.resume();
  const chunk = Buffer.alloc(1 << 20, 0x61);
  await writeAll(socket, function* () { for (let i = 0; i < 100; i++) yield frame(i === 0 ? 1 : 0, chunk, false); });
  await sleep(1000);
  console.log(`100 MiB in fragments: launcher ${mib(before)} before, ${mib(device.residentKiB())} after`);
  socket.destroy();
}

async function unread(device) {
  const before = device.residentKiB();
  const socket = await rawWebSocket(device);
  socket.pause();
  const one = Buffer.from([0x81, 0x81, 0, 0, 0, 0, 0x78]);
  const batch = Buffer.concat(Array.from({ length: 1000 }, () => one));
  await writeAll(socket, function* () { for (let i = 0; i < 1000; i++) yield batch; });
  await sleep(2000);
  const during = device.residentKiB();
  socket.destroy();
  await sleep(1000);
  console.log(`a million unread messages: launcher ${mib(before)} before, ${mib(during)} after, ${mib(device.residentKiB())} once closed`);
}

async function pageLoads(device, browser) {
  const times = [];
  for (let i = 0; i < 5; i++) {
    const started = performance.now();
    const page = await openScreen(browser, device);
    times.push(performance.now() - started);
    await page.context().close();
  }
  return times.sort((a, b) => a - b);
}

async function pageLoadBesideIdle(device, browser) {
  const alone = await pageLoads(device, browser);
  console.log(`page load alone: median ${alone[2].toFixed(0)} ms`);
  const idle = [];
  for (let i = 0; i < 1000; i++) {
    const socket = net.connect(device.port, '127.0.0.1');
    socket.on('error', () => {});
    idle.push(socket);
  }
  await sleep(1000);
  const times = await pageLoads(device, browser);
  for (const socket of idle) socket.destroy();
  console.log(`page load with 1,000 idle connections open: median ${times[2].toFixed(0)} ms (${times.map((t) => t.toFixed(0)).join(', ')})`);
}

const device = await Device.start();
const browser = await launchBrowser();
try {
  await fragments(device);
  await unread(device);
  await pageLoadBesideIdle(device, browser);
} finally {
  await browser.close();
  await device.stop();
}
