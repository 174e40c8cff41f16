// The calls to the server, one at a time and in the order they were made.
//
// The server decides everything, so the order of what the child typed must reach it unchanged:
// a second request is never sent while one is on its way. Keys typed meanwhile wait and go
// together in the next request.

/** The most keys one request may carry; the server refuses more. */
export const kMostKeysPerRequest = 32;

/** A request that took longer than this is given up, and the state asked for afresh. */
const kRequestTimeoutMs = 10000;

/** After the server could not be reached, the page waits this long before asking again. */
const kRetryAfterMs = 2000;

/**
 * The line to the server. `onState(state)` is given every state the server answers with,
 * `onRefusal(status, message, stateGiven)` every answer with a message: a refused call (a 4xx
 * and its plain message), or a state the server could not make whole (a failure of the results
 * file, told beside the state). `onReachable(yes)` is told whether the server answered at all.
 */
export class Channel {
  constructor({ onState, onRefusal, onReachable }) {
    this.onState = onState;
    this.onRefusal = onRefusal;
    this.onReachable = onReachable;
    this.waiting = [];
    this.sending = null;
  }

  /** Asks for the state as it is; a request for it already waiting is enough. */
  refresh() {
    if (!this.waiting.some((request) => request.method === 'GET')) {
      this.enqueue({ method: 'GET', path: './api/state' });
    }
  }

  /** A call of the interface by name (`code`, `login`, `level`, ...), with its body. */
  post(name, body = {}) {
    this.enqueue({ method: 'POST', path: `./api/${name}`, body });
  }

  /** Keys of the drill: joined to the keys still waiting, as long as the request may carry them. */
  keys(keys) {
    const last = this.waiting[this.waiting.length - 1];
    if (last && last.keys && last.keys.length + keys.length <= kMostKeysPerRequest) {
      last.keys.push(...keys);
      return;
    }
    const request = { method: 'POST', path: './api/keys', keys: [...keys] };
    request.body = { keys: request.keys };
    this.enqueue(request);
  }

  /** Whether a call other than a look at the state is waiting or on its way. */
  busy() {
    return [this.sending, ...this.waiting].some((request) => request && request.method !== 'GET');
  }

  /** Forgets keys not yet sent: they were typed into a drill that is no longer shown. */
  dropKeys() {
    this.waiting = this.waiting.filter((request) => !request.keys);
  }

  enqueue(request) {
    this.waiting.push(request);
    if (!this.sending) this.sendNext();
  }

  async sendNext() {
    this.sending = this.waiting.shift() || null;
    if (!this.sending) return;
    const request = this.sending;
    try {
      const answer = await send(request);
      this.onReachable(true);
      const body = answer.body || {};
      if (body.screen) this.onState(body);
      if (!answer.ok || body.error) this.onRefusal(answer.status, body.error, Boolean(body.screen));
    } catch {
      // Whether the server took a request that got no answer is unknown: sending its keys
      // again could type them twice. What was waiting is dropped with it, and the state the
      // server holds is asked for until it answers.
      this.onReachable(false);
      this.waiting = [];
      this.sending = null;
      setTimeout(() => this.refresh(), kRetryAfterMs);
      return;
    }
    this.sendNext();
  }
}

async function send(request) {
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), kRequestTimeoutMs);
  try {
    const init = { method: request.method, signal: abort.signal, cache: 'no-store' };
    if (request.method === 'POST') {
      init.headers = { 'Content-Type': 'application/json' };
      init.body = JSON.stringify(request.body);
    }
    const response = await fetch(request.path, init);
    let body = null;
    try {
      body = await response.json();
    } catch {
      // A refusal without a JSON body still counts as a refusal, with no message to show.
    }
    if (response.ok && !body) throw new Error('no state in the answer');
    return { ok: response.ok, status: response.status, body };
  } finally {
    clearTimeout(timer);
  }
}
