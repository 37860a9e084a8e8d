// Who may use the screen: the printed address's token, the loopback Host,
// the page's own Origin for the WebSocket, and only well-formed requests of
// the device's processes over it. Each refusal, and that a refused message
// leaves the connection open.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import http from 'node:http';
import { randomBytes } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, symlinkSync, writeFileSync } from 'node:fs';
import { settingsPlist } from './support/settings.mjs';
import { Device } from './support/device.mjs';
import { launchBrowser, onScreen } from './support/screen.mjs';

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
function request(path, headers = {}, method = 'GET') {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port: device.port, path, headers, method, agent: false, setHost: !('Host' in headers) },
      (res) => {
        const chunks = [];
        res.on('data', (chunk) => chunks.push(chunk));
        res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
      });
    req.on('error', reject);
    req.end();
  });
}

const cookie = () => `zv_token_${device.port}=${device.token}`;
const upgrade = (origin) => ({
  Cookie: cookie(),
  Connection: 'Upgrade',
  Upgrade: 'websocket',
  'Sec-WebSocket-Version': '13',
  'Sec-WebSocket-Key': randomBytes(16).toString('base64'),
  ...(origin ? { Origin: origin } : {}),
});

// Resolves with the status of a WebSocket handshake (101 when it is taken).
function handshake(headers) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port: device.port, path: '/ws', headers });
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

test('the printed address sets the token cookie; without it every request is refused', async () => {
  const opened = await request(`/?token=${device.token}`);
  assert.equal(opened.status, 303);
  assert.equal(opened.headers.location, '/');
  assert.match(opened.headers['set-cookie'][0], new RegExp(`^zv_token_${device.port}=${device.token};.*HttpOnly`));

  assert.equal((await request('/', { Cookie: cookie() })).status, 200);
  assert.equal((await request('/screen.js', { Cookie: cookie() })).status, 200);
  for (const path of ['/', '/screen.js', '/ws', `/?token=${'0'.repeat(64)}`]) {
    assert.equal((await request(path)).status, 403, path);
  }
  assert.equal((await request('/', { Cookie: `zv_token_${device.port}=${device.token.slice(1)}x` })).status, 403);
  assert.equal((await request('/../../etc/passwd', { Cookie: cookie() })).status, 404);
});

test('a Host other than the loopback address and port is refused (DNS rebinding)', async () => {
  for (const host of ['evil.example', `evil.example:${device.port}`, `127.0.0.1:${device.port + 1}`, '127.0.0.1']) {
    assert.equal((await request(`/?token=${device.token}`, { Host: host, Cookie: cookie() })).status, 403, host);
  }
  assert.equal((await request('/', { Host: `localhost:${device.port}`, Cookie: cookie() })).status, 200);
});

test('the WebSocket refuses every Origin but the page\'s own', async () => {
  assert.equal(await handshake(upgrade(device.origin)), 101);
  for (const origin of ['http://evil.example', `http://127.0.0.1:${device.port + 1}`, 'null', `https://127.0.0.1:${device.port}`]) {
    assert.equal(await handshake(upgrade(origin)), 403, origin);
  }
  assert.equal(await handshake(upgrade(null)), 403, 'no Origin');
  const { Cookie, ...withoutToken } = upgrade(device.origin);
  assert.equal(await handshake(withoutToken), 403, 'no token');
});

test('bad WebSocket messages get an error and the connection stays open', async (t) => {
  await onScreen(t, browser, device, async (page) => {
    const replies = await page.evaluate(async () => {
      const socket = new WebSocket(`ws://${location.host}/ws`);
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
  const get = (name, headers = {}) => request(`/download/${name}`, { Cookie: cookie(), ...headers });

  const settings = await get('net.quellit.zorvane.plist');
  assert.equal(settings.status, 200);
  assert.deepEqual(settings.body, readFileSync(`${folder}/net.quellit.zorvane.plist`));
  assert.match(settings.headers['content-disposition'], /^attachment; filename="net\.quellit\.zorvane\.plist"/);
  const profile = await get('net.quellit.zorvane_Trip.plist');
  assert.equal(profile.status, 200);
  assert.deepEqual(profile.body, readFileSync(`${folder}/net.quellit.zorvane_Trip.plist`));

  // The same access rules as every request: the token, the Host, and no other site's page.
  assert.equal((await request('/download/net.quellit.zorvane.plist')).status, 403, 'no token');
  assert.equal((await get('net.quellit.zorvane.plist', { Host: 'evil.example' })).status, 403, 'Host');
  assert.equal((await get('net.quellit.zorvane.plist', { Origin: 'http://evil.example' })).status, 403, 'Origin');
  assert.equal((await request('/download/net.quellit.zorvane.plist', { Cookie: cookie() }, 'POST')).status, 405);

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
