// The device's token, as this tab got it: the printed address carries it
// (?token=… or #token=…); the page keeps it in its tab's session storage,
// takes it out of the address bar, and presents it on the WebSocket and on
// each download. It is never a cookie, which every other server on
// 127.0.0.1 would be sent. A launcher started again on the same device
// root keeps its token, so the page comes back by itself.

const key = 'zvToken';

function takeToken() {
  const given = new URLSearchParams(location.hash.slice(1)).get('token')
    || new URLSearchParams(location.search).get('token');
  if (given) {
    sessionStorage.setItem(key, given);
    history.replaceState(null, '', location.pathname);
  }
  return sessionStorage.getItem(key) || '';
}

const token = takeToken();

// Whether the tab has a token at all (it was opened with the printed address).
export function hasToken() {
  return token !== '';
}

// A path of the launcher with the token added.
export function withToken(path) {
  return `${path}?token=${encodeURIComponent(token)}`;
}
