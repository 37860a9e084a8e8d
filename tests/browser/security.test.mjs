// Who may use the screen: the printed address's token, the loopback Host,
// the page's own Origin for the WebSocket, and only well-formed requests of
// the device's processes over it. Each refusal, and that a refused message
// leaves the connection open; the bounds on connections and messages.
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
  for (const path of ['/ws/', '/ws/x', '/ws;x', '/ws%2f', '/ws%2F', '//ws', '/']) {
    for (const origin of [device.origin, `http://127.0.0.1:${device.port + 1}`]) {
      const status = await handshake(upgrade(origin), withToken(path));
      assert.notEqual(status, 101, `${path} from ${origin}`);
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
