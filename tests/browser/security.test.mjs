// Who may use the screen: the printed address's token, the loopback Host,
// the page's own Origin for the WebSocket, and only well-formed requests of
// the device's processes over it. Each refusal, and that a refused message
// leaves the connection open; the bounds on connections and messages.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import http from 'node:http';
import net from 'node:net';
import { once } from 'node:events';
import { setTimeout as sleep } from 'node:timers/promises';
import { randomBytes } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, symlinkSync, writeFileSync } from 'node:fs';
import { settingsPlist } from './support/settings.mjs';
import { Device } from './support/device.mjs';
import { launchBrowser, onScreen, openScreen } from './support/screen.mjs';

let browser;
let device;
before(async () => {
  [browser, device] = await Promise.all([launchBrowser(), Device.start()]);
});
after(async () => {
  await browser?.close();
  await device?.stop();
});

// A raw HTTP request to the screen; resolves with {status, headers, body}.
function request(path, headers = {}, method = 'GET', body = undefined) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port: device.port, path, headers, method, agent: false, setHost: !('Host' in headers) },
      (res) => {
        const chunks = [];
        res.on('data', (chunk) => chunks.push(chunk));
        res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
      });
    req.on('error', reject);
    req.end(body);
  });
}

// The token with its last character changed: a comparison that skips any
// character lets it in.
const nearToken = () => device.token.slice(0, -1) + (device.token.endsWith('0') ? '1' : '0');
const withToken = (path, token = device.token) => `${path}?token=${token}`;
const upgrade = (origin) => ({
  Connection: 'Upgrade',
  Upgrade: 'websocket',
  'Sec-WebSocket-Version': '13',
  'Sec-WebSocket-Key': randomBytes(16).toString('base64'),
  ...(origin ? { Origin: origin } : {}),
});

// Resolves with the status of a WebSocket handshake (101 when it is taken).
function handshake(headers, path = withToken('/ws')) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port: device.port, path, headers, agent: false });
    req.on('upgrade', (res, socket) => {
      socket.destroy();
      resolve(res.statusCode);
    });
    req.on('response', (res) => {
      res.resume();
      resolve(res.statusCode);
    });
    req.on('error', reject);
    req.end();
  });
}

test('the page\'s files go to any request for the screen; the WebSocket and downloads need the exact token, never a cookie', async () => {
  const opened = await request(withToken('/'));
  assert.equal(opened.status, 200);
  assert.equal(opened.headers['set-cookie'], undefined);
  assert.equal(opened.headers['referrer-policy'], 'no-referrer');
  assert.equal((await request('/')).status, 200);
  assert.equal((await request('/screen.js')).status, 200);
  assert.equal((await request('/../../etc/passwd')).status, 404);

  assert.equal(await handshake(upgrade(device.origin)), 101);
  for (const [why, path] of [['no token', '/ws'], ['the last character', withToken('/ws', nearToken())],
    ['a zero token', withToken('/ws', '0'.repeat(64))], ['a prefix', withToken('/ws', device.token.slice(0, -1))]]) {
    assert.equal(await handshake(upgrade(device.origin), path), 403, why);
  }
  assert.equal(await handshake({ ...upgrade(device.origin), Cookie: `zv_token_${device.port}=${device.token}` }, '/ws'), 403,
    'a cookie is no token');
  device.writeSettings(settingsPlist({}));
  assert.equal((await request(withToken('/download/net.quellit.zorvane.plist'))).status, 200);
  assert.equal((await request(withToken('/download/net.quellit.zorvane.plist', nearToken()))).status, 403);
  assert.equal((await request('/download/net.quellit.zorvane.plist')).status, 403);
});

// A WebSocket of the page's own, spoken by hand: resolves with its socket
// once the server took it.
async function rawWebSocket(on = device) {
  const socket = net.connect(on.port, '127.0.0.1');
  await once(socket, 'connect');
  socket.write(`GET /ws?token=${on.token} HTTP/1.1\r\nHost: 127.0.0.1:${on.port}\r\nOrigin: ${on.origin}\r\n`
    + `Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n`
    + `Sec-WebSocket-Key: ${randomBytes(16).toString('base64')}\r\n\r\n`);
  let head = '';
  while (!head.includes('\r\n\r\n')) head += (await once(socket, 'data'))[0].toString('latin1');
  assert.match(head, /^HTTP\/1\.1 101/);
  return socket;
}

// A client's frame (masked): `opcode` 1 text, 0 continuation.
function frame(opcode, payload, fin = true) {
  const length = payload.length;
  const head = length < 126 ? Buffer.from([0, 0x80 | length])
    : length < 65536 ? Buffer.from([0, 0x80 | 126, length >> 8, length & 0xff])
      : Buffer.concat([Buffer.from([0, 0x80 | 127]), (() => { const b = Buffer.alloc(8); b.writeBigUInt64BE(BigInt(length)); return b; })()]);
  head[0] = (fin ? 0x80 : 0) | opcode;
  return Buffer.concat([head, Buffer.alloc(4), payload]);  // a zero mask leaves the payload as it is
}

// Resolves once the socket has ended, or false after `ms`.
function ended(socket, ms) {
  if (socket.destroyed) return Promise.resolve(true);
  return Promise.race([
    new Promise((resolve) => { socket.once('close', () => resolve(true)); socket.once('error', () => {}); }),
    sleep(ms).then(() => false),
  ]);
}

test('no redirect ever leaves the screen, and no request line makes libsoup complain', async () => {
  for (const path of [withToken('//evil.example/'), withToken('///evil.example/'), withToken('/%0D%0ASet-Cookie:%20a=b')]) {
    const answer = await request(path);
    assert.ok(answer.status < 300 || answer.status >= 400, `${path}: ${answer.status}`);
    assert.equal(answer.headers.location, undefined, path);
    assert.equal(answer.headers['set-cookie'], undefined, path);
  }
  await sleep(200);
  assert.deepEqual(device.errors.filter((line) => /CRITICAL|WARNING/.test(line)), []);
});

test('another page of 127.0.0.1 gets neither the token nor the WebSocket, and cannot lock the page out', async (t) => {
  const cookies = [];
  const other = http.createServer((req, res) => {
    cookies.push(req.headers.cookie || '');
    res.setHeader('Content-Type', 'text/html');
    res.end('<!doctype html><title>another server</title>');
  });
  other.listen(0, '127.0.0.1');
  await once(other, 'listening');
  try {
    await onScreen(t, browser, device, async (page) => {
      const foreign = await page.context().newPage();
      await foreign.goto(`http://127.0.0.1:${other.address().port}/`);
      const tried = await foreign.evaluate(async (port) => {
        const results = {};
        for (const path of ['/ws', '/ws/', '/ws/x', '/ws;x', '/ws%2f']) {
          results[path] = await new Promise((resolve) => {
            const socket = new WebSocket(`ws://127.0.0.1:${port}${path}`);
            socket.onopen = () => { socket.close(); resolve('open'); };
            socket.onerror = () => resolve('refused');
          });
        }
        // Cookies of the screen's name, scoped to its paths, to come first.
        for (const path of ['/', '/ws', '/download/']) document.cookie = `zv_token_${port}=tossed; path=${path}`;
        return results;
      }, device.port);
      for (const [path, result] of Object.entries(tried)) assert.equal(result, 'refused', path);
      await foreign.reload();
      assert.ok(cookies.length >= 2);
      for (const cookie of cookies) assert.ok(!cookie.includes(device.token), cookie);

      // The screen's page, reloaded after the toss, is still the device's.
      await page.reload();
      await page.waitForSelector('body[data-connected="true"]', { timeout: 10000 });
      await page.waitForSelector('#status-bar svg g.item');
      const reply = await page.evaluate(() => window.zvScreen.send('springboard', { cmd: 'ping' }));
      assert.equal(reply.ok, true);
    });
  } finally {
    other.close();
  }
});

test('a message is bounded as a whole, fragments included: 64 MiB of fragments close the connection and cost the launcher little', async () => {
  const before = device.residentKiB();
  const socket = await rawWebSocket();
  socket.resume();
  const chunk = Buffer.alloc(1 << 20, 0x61);
  let sent = 0;
  socket.on('error', () => {});
  const closed = new Promise((resolve) => socket.once('close', resolve));
  for (let i = 0; i < 64 && !socket.destroyed && socket.writable; i++) {
    if (!socket.write(frame(i === 0 ? 1 : 0, chunk, false))) {
      await Promise.race([once(socket, 'drain').catch(() => {}), closed, sleep(5000)]);
    }
    sent += chunk.length;
  }
  assert.ok(await ended(socket, 5000), `still open after ${sent} bytes`);
  // The kernel's buffers take tens of MiB before the server reads them; what
  // libsoup holds stays near one message's bound.
  const grown = device.residentKiB() - before;
  assert.ok(grown < 32 * 1024, `the launcher grew by ${grown} KiB`);
  socket.destroy();
});

test('a page that stops reading is cut off instead of queued without end', async () => {
  const socket = await rawWebSocket();
  socket.pause();
  socket.on('error', () => {});
  // A million messages, each answered with an error reply of 144 bytes: more
  // than the kernel's buffers of both ends hold (up to 36 MB here).
  const messages = Buffer.concat(Array.from({ length: 1000 }, () => frame(1, Buffer.from('x'))));
  for (let i = 0; i < 1000 && socket.writable; i++) {
    if (!socket.write(messages)) await Promise.race([once(socket, 'drain').catch(() => {}), sleep(5000)]);
  }
  await sleep(1000);
  let received = 0;
  socket.on('data', (chunk) => { received += chunk.length; });
  socket.resume();
  assert.ok(await ended(socket, 10000), `still open after ${received} bytes`);
  assert.ok(received < 96 << 20, `${received} bytes`);
  // The device goes on for everyone else.
  const other = await rawWebSocket();
  other.destroy();
});

test('the screen survives running out of descriptors: idle and half-sent connections are closed, and it accepts again', async () => {
  const small = await Device.start({ openFiles: 100 });
  const sockets = [];
  try {
    const get = (path) => new Promise((resolve, reject) => {
      const req = http.get({ host: '127.0.0.1', port: small.port, path, agent: false }, (res) => {
        res.resume();
        res.on('end', () => resolve(res.statusCode));
      });
      req.on('error', reject);
      req.setTimeout(15000, () => req.destroy(new Error(`no answer to ${path} within 15 s`)));
    });
    const halfSent = net.connect(small.port, '127.0.0.1');
    halfSent.on('error', () => {});
    halfSent.write(`GET / HTTP/1.1\r\nHost: 127.0.0.1:${small.port}\r\n`);
    for (let i = 0; i < 300; i++) {
      const socket = net.connect(small.port, '127.0.0.1');
      socket.on('error', () => {});
      sockets.push(socket);
    }
    await sleep(500);
    assert.equal(await get('/'), 200, 'while the table is full');
    assert.ok(await ended(halfSent, 10000), 'a half-sent request head is closed');
    for (const socket of sockets) socket.destroy();
    await sleep(500);
    assert.equal(await get('/screen.js'), 200, 'once they are gone');
  } finally {
    for (const socket of sockets) socket.destroy();
    await small.stop();
  }
});

test('a launcher started again on the same root and port takes the open page back; meanwhile the page says the device is away', async () => {
  const first = await Device.start();
  const page = await openScreen(browser, first);
  let second;
  try {
    await first.stop({ keepRoot: true });
    await page.waitForSelector('body[data-connected="false"]');
    assert.match(await page.textContent('#connection'), /away/);
    // The phone and every fieldset of the controls.
    const inert = await page.evaluate(() => [...document.querySelectorAll('.phone, .controls fieldset')].map((e) => e.inert));
    assert.ok(inert.length >= 6 && inert.every((e) => e === true), JSON.stringify(inert));
    await assert.rejects(page.click('#lock', { timeout: 300 }));

    second = await Device.start({ root: first.root, port: first.port });
    assert.equal(second.token, first.token);
    await page.waitForSelector('body[data-connected="true"]', { timeout: 2000 });
    assert.equal((await page.evaluate(() => window.zvScreen.send('springboard', { cmd: 'ping' }))).ok, true);
  } finally {
    await page.context().close();
    await (second ?? first).stop();
  }
});

test('a Host other than the loopback address and port is refused (DNS rebinding)', async () => {
  for (const host of ['evil.example', `evil.example:${device.port}`, `127.0.0.1:${device.port + 1}`, '127.0.0.1']) {
    assert.equal((await request(withToken('/'), { Host: host })).status, 403, host);
  }
  assert.equal((await request('/', { Host: `localhost:${device.port}` })).status, 200);
});

test('the WebSocket refuses every Origin but the page\'s own, and every path but /ws', async () => {
  assert.equal(await handshake(upgrade(device.origin)), 101);
  for (const origin of ['http://evil.example', `http://127.0.0.1:${device.port + 1}`, 'null', `https://127.0.0.1:${device.port}`]) {
    assert.equal(await handshake(upgrade(origin)), 403, origin);
  }
  assert.equal(await handshake(upgrade(null)), 403, 'no Origin');
  // libsoup's WebSocket path also matches below /ws: only /ws itself upgrades.
  // The token is tried as the address carries it and as a cookie of the
  // screen's name would.
  for (const path of ['/ws/', '/ws/x', '/ws;x', '/ws%2f', '/ws%2F', '//ws', '/']) {
    for (const origin of [device.origin, `http://127.0.0.1:${device.port + 1}`]) {
      assert.notEqual(await handshake(upgrade(origin), withToken(path)), 101, `${path} from ${origin}`);
      const cookie = { ...upgrade(origin), Cookie: `zv_token_${device.port}=${device.token}` };
      assert.notEqual(await handshake(cookie, path), 101, `${path} from ${origin}, with a cookie`);
    }
  }
});

test('bad WebSocket messages get an error and the connection stays open', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const replies = await page.evaluate(async () => {
      const socket = new WebSocket(`ws://${location.host}/ws?token=${sessionStorage.getItem('zvToken')}`);
      const replies = [];
      let wake = null;
      socket.addEventListener('message', (e) => {
        const m = JSON.parse(e.data);
        if (m.type === 'reply') {
          replies.push(m.reply);
          wake?.();
        }
      });
      await new Promise((resolve) => socket.addEventListener('open', resolve));
      const answer = async (text) => {
        const before = replies.length;
        socket.send(text);
        while (replies.length === before) await new Promise((resolve) => { wake = resolve; });
        return replies[replies.length - 1];
      };
      const padded = JSON.stringify({ process: 'springboard', request: { cmd: 'ping', id: 1, pad: 'x'.repeat(64 * 1024) } });
      const results = {
        tooLarge: await answer(padded),
        notJson: await answer('lock the phone'),
        notObject: await answer('[1,2]'),
        noProcess: await answer(JSON.stringify({ process: 'kernel', request: { cmd: 'ping', id: 2 } })),
        noCommand: await answer(JSON.stringify({ process: 'springboard', request: { cmd: 'rm -rf', id: 3 } })),
        settingsOnlyCommand: await answer(JSON.stringify({ process: 'springboard', request: { cmd: 'tap', id: 4 } })),
        noRequest: await answer(JSON.stringify({ process: 'springboard' })),
        deep: await answer(JSON.stringify({ process: 'springboard', request: { cmd: 'ping', id: 5, x: JSON.parse('['.repeat(100) + ']'.repeat(100)) } })),
        binary: await answer(new Uint8Array([1, 2, 3])),
        stillOpen: await answer(JSON.stringify({ process: 'springboard', request: { cmd: 'ping', id: 6 } })),
      };
      results.readyState = socket.readyState;
      socket.close();
      return results;
    });
    for (const [name, reply] of Object.entries(replies)) {
      if (name === 'stillOpen' || name === 'readyState') continue;
      assert.equal(reply.ok, false, name);
      assert.ok(reply.error, name);
    }
    assert.match(replies.tooLarge.error, /at most 65536 bytes/);
    assert.match(replies.noProcess.error, /process of the device/);
    assert.match(replies.noCommand.error, /command of springboard/);
    assert.match(replies.deep.error, /nested/);
    assert.equal(replies.noCommand.id, 3);
    assert.deepEqual(replies.stillOpen, { id: 6, ok: true, pong: true });
    assert.equal(replies.readyState, 1);
  });
});

test('"This computer" downloads only the settings file or a profile file, as plain files of the preferences folder', async () => {
  const folder = device.hostPath('/var/mobile/Library/Preferences');
  device.writeSettings(settingsPlist({ left: ['11 Bluetooth'] }));
  writeFileSync(`${folder}/net.quellit.zorvane_Trip.plist`, settingsPlist({ right: ['00 Time'] }));
  writeFileSync(device.hostPath('/secret.plist'), 'not for the browser');
  symlinkSync(device.hostPath('/secret.plist'), `${folder}/net.quellit.zorvane_link.plist`);
  mkdirSync(`${folder}/net.quellit.zorvane_folder.plist`);
  execFileSync('mkfifo', [`${folder}/net.quellit.zorvane_pipe.plist`]);
  const get = (name, headers = {}) => request(withToken(`/download/${name}`), headers);

  const settings = await get('net.quellit.zorvane.plist');
  assert.equal(settings.status, 200);
  assert.deepEqual(settings.body, readFileSync(`${folder}/net.quellit.zorvane.plist`));
  assert.match(settings.headers['content-disposition'], /^attachment; filename="net\.quellit\.zorvane\.plist"/);
  const profile = await get('net.quellit.zorvane_Trip.plist');
  assert.equal(profile.status, 200);
  assert.deepEqual(profile.body, readFileSync(`${folder}/net.quellit.zorvane_Trip.plist`));

  // The token, the Host, and no other site's page: a link another page of
  // 127.0.0.1 follows carries no Origin, but the browser says where it came from.
  assert.equal((await request('/download/net.quellit.zorvane.plist')).status, 403, 'no token');
  assert.equal((await get('net.quellit.zorvane.plist', { Host: 'evil.example' })).status, 403, 'Host');
  assert.equal((await get('net.quellit.zorvane.plist', { Origin: 'http://evil.example' })).status, 403, 'Origin');
  for (const site of ['same-site', 'cross-site']) {
    assert.equal((await get('net.quellit.zorvane.plist', { 'Sec-Fetch-Site': site })).status, 403, site);
  }
  for (const site of ['same-origin', 'none']) {
    assert.equal((await get('net.quellit.zorvane.plist', { 'Sec-Fetch-Site': site })).status, 200, site);
  }
  assert.equal((await request(withToken('/download/net.quellit.zorvane.plist'), {}, 'POST')).status, 405);
  // A profile the Profiles page lists is served, whatever its name holds (".." included).
  writeFileSync(`${folder}/net.quellit.zorvane_...plist`, settingsPlist({ left: ['00 Time'] }));
  assert.equal((await get('net.quellit.zorvane_...plist')).status, 200, 'the profile ".."');

  const refused = {
    'a name of neither kind': 'passwd',
    'another file of the folder': '.GlobalPreferences.plist',
    'dot-dot segments': '../../../etc/passwd',
    'encoded slashes': '..%2F..%2F..%2Fetc%2Fpasswd',
    'an encoded slash inside a profile name': 'net.quellit.zorvane_x%2F..%2F..%2Fsecret.plist',
    'encoded dots and slash before the name': '%2e%2e%2fnet.quellit.zorvane.plist',
    'a NUL byte': 'net.quellit.zorvane_Trip.plist%00.txt',
    'a bad escape': 'net.quellit.zorvane_%zz.plist',
    'a symlink named like a profile': 'net.quellit.zorvane_link.plist',
    'a folder named like a profile': 'net.quellit.zorvane_folder.plist',
    'a FIFO named like a profile': 'net.quellit.zorvane_pipe.plist',
  };
  for (const [why, name] of Object.entries(refused)) {
    const answer = await get(name);
    assert.ok([400, 403, 404].includes(answer.status), `${why}: ${answer.status}`);
    assert.doesNotMatch(answer.body.toString(), /not for the browser|root:/, why);
  }
  assert.equal((await get('net.quellit.zorvane_link.plist')).status, 403);
  // Decoded once only: "%25" is a "%" of the name, and "%252f" never becomes a slash.
  writeFileSync(`${folder}/net.quellit.zorvane_100%.plist`, settingsPlist({}));
  assert.equal((await get('net.quellit.zorvane_100%25.plist')).status, 200);
  assert.equal((await get('net.quellit.zorvane_%252e%252e%252fsecret.plist')).status, 404);
  assert.equal((await get('net.quellit.zorvane_missing.plist')).status, 404);
});

test('"Add from this computer" takes only the page\'s own POSTs, within 4 MiB, of a usable file under a profile\'s name', async () => {
  const folder = device.hostPath('/var/mobile/Library/Preferences');
  const listing = () => execFileSync('ls', ['-A', folder], { encoding: 'utf8' });
  const origin = { Origin: `http://127.0.0.1:${device.port}` };
  const file = settingsPlist({ left: ['00 Time'] });
  const add = (query, headers = origin, body = file, path = '/upload/add') =>
    request(`${withToken(path)}&${query}`, { 'Content-Type': 'application/octet-stream', ...headers }, 'POST', body);
  const before = listing();

  const refusals = [
    ['no token', () => request('/upload/add?name=A', origin, 'POST', file), 403],
    ['a near token', () => request(`${withToken('/upload/add', nearToken())}&name=A`, origin, 'POST', file), 403],
    ['another Host', () => add('name=A', { ...origin, Host: 'evil.example' }), 403],
    ['no Origin', () => add('name=A', {}), 403],
    ['another Origin', () => add('name=A', { Origin: 'http://evil.example' }), 403],
    ['a cross-site fetch', () => add('name=A', { ...origin, 'Sec-Fetch-Site': 'cross-site' }), 403],
    ['a GET', () => request(`${withToken('/upload/add')}&name=A`, origin), 405],
    ['another path', () => add('name=A', origin, file, '/upload/other'), 404],
    ['a body without a length', () => add('name=A', { ...origin, 'Transfer-Encoding': 'chunked' }), 411],
    ['a body over 4 MiB', () => add('name=A', origin, Buffer.alloc(4 * 1024 * 1024 + 1, 0x20)), 413],
    ['an empty name', () => add('name='), 400],
    ['a name with "/"', () => add('name=..%2F..%2Fsecret'), 400],
    ['a name with NUL', () => add('name=A%00B'), 400],
    ['a file the plug-in cannot use', () => add('name=A', origin, '<plist><array/></plist>'), 422],
  ];
  for (const [what, send, status] of refusals) {
    const answer = await send();
    assert.equal(answer.status, status, `${what}: ${answer.body}`);
  }
  assert.equal(listing(), before, 'nothing was written');

  // A usable file is added once; the same name again only with replace=1.
  assert.equal((await add('name=Trip%202')).status, 200);
  const exists = await add('name=Trip%202', origin, settingsPlist({ right: ['00 Time'] }));
  assert.equal(exists.status, 409);
  assert.match(readFileSync(`${folder}/net.quellit.zorvane_Trip 2.plist`, 'utf8'), /<key>left<\/key>\s*<dict>\s*<key>data<\/key>\s*<array>\s*<string>00 Time/);
  assert.equal((await add('name=Trip%202&replace=1', origin, settingsPlist({ right: ['00 Time'] }))).status, 200);
  assert.match(readFileSync(`${folder}/net.quellit.zorvane_Trip 2.plist`, 'utf8'), /<key>right<\/key>\s*<dict>\s*<key>data<\/key>\s*<array>\s*<string>00 Time/);
});
