// The page's one WebSocket to the device (the launcher's /ws): requests go
// out as {"process", "request"}, and every message the launcher pushes is
// handed to the listeners of its "type". The connection comes back by
// itself when it drops (a relaunch of the launcher, a network hiccup),
// trying at least once a second.

export class Connection {
  constructor(url) {
    this.url = url;
    this.listeners = new Map();
    this.waiting = new Map();
    this.nextId = 1;
    this.socket = null;
    this.retry = 250;
  }

  // handler(message) for each pushed message of the type ("device",
  // "layout", "event", "reply", and "open"/"closed" for the connection).
  on(type, handler) {
    if (!this.listeners.has(type)) this.listeners.set(type, []);
    this.listeners.get(type).push(handler);
  }

  open() {
    const socket = new WebSocket(this.url);
    this.socket = socket;
    socket.addEventListener('open', () => {
      this.retry = 250;
      this.emit('open', {});
    });
    socket.addEventListener('message', (e) => this.receive(e.data));
    socket.addEventListener('close', () => {
      for (const [, w] of this.waiting) w.reject(new Error('the connection closed'));
      this.waiting.clear();
      this.emit('closed', {});
      setTimeout(() => this.open(), this.retry);
      this.retry = Math.min(this.retry * 2, 1000);
    });
  }

  // Sends a request to a process; resolves with its reply (an object with
  // "ok"), which may be an error reply.
  request(process, request) {
    const id = this.nextId++;
    const text = JSON.stringify({ process, request: { ...request, id } });
    return new Promise((resolve, reject) => {
      if (!this.socket || this.socket.readyState !== WebSocket.OPEN) {
        reject(new Error('not connected'));
        return;
      }
      this.waiting.set(id, { resolve, reject });
      this.socket.send(text);
    });
  }

  receive(text) {
    let message;
    try {
      message = JSON.parse(text);
    } catch {
      return;
    }
    if (message.type === 'reply' && message.reply && this.waiting.has(message.reply.id)) {
      const w = this.waiting.get(message.reply.id);
      this.waiting.delete(message.reply.id);
      w.resolve(message.reply);
    }
    this.emit(message.type, message);
  }

  emit(type, message) {
    for (const handler of this.listeners.get(type) || []) handler(message);
  }
}
