// A game online from the page: one WebSocket to a zubeki-server (a text frame a JSON object, its
// kind in "t"), the frames built and read strictly, and a lost connection opened again by itself
// and the game resumed with its token. The game's seat (server, name, token) is kept in the
// tab's session storage, so a reload comes back to the game.

export type Side = 'lower' | 'upper';

export interface Clocks {
  lower_ms: number;
  upper_ms: number;
}

export type ServerMessage =
  | { t: 'welcome' }
  | { t: 'created'; code: string }
  // A start's clock has the time left once the game has begun; before, the setting alone.
  | { t: 'start'; game: number; position: string; moves: string[]; you: Side; token: string;
      opponent: string; clock: (Partial<Clocks> & { initial_s: number; increment_s: number }) | null }
  | { t: 'moved'; move: string; by: Side; n: number; position: string; clock: Clocks | null }
  | { t: 'end'; result: Side | 'draw' | 'aborted'; reason: string }
  | { t: 'opponent'; connected: boolean }
  | { t: 'draw'; offer?: boolean; accept?: boolean }
  | { t: 'pong' }
  | { t: 'error'; code: string; message: string };

const isString = (v: unknown): v is string => typeof v === 'string';
const isSide = (v: unknown): v is Side => v === 'lower' || v === 'upper';

// A frame of the server, or undefined for anything that is not a message of a known kind with
// its keys of the right types.
export function readFrame(text: string): ServerMessage | undefined {
  let o: Record<string, unknown>;
  try {
    const parsed: unknown = JSON.parse(text);
    if (typeof parsed !== 'object' || parsed === null || Array.isArray(parsed)) return undefined;
    o = parsed as Record<string, unknown>;
  } catch {
    return undefined;
  }
  switch (o.t) {
    case 'welcome':
    case 'pong':
      return o as ServerMessage;
    case 'created':
      return isString(o.code) ? (o as ServerMessage) : undefined;
    case 'start':
      return isString(o.position) && Array.isArray(o.moves) && o.moves.every(isString) && isSide(o.you) &&
        isString(o.token) ? ({ opponent: '', clock: null, ...o } as ServerMessage) : undefined;
    case 'moved':
      return isString(o.move) && isSide(o.by) && typeof o.n === 'number' && isString(o.position)
        ? ({ clock: null, ...o } as ServerMessage) : undefined;
    case 'end':
      return isString(o.result) && isString(o.reason) ? (o as ServerMessage) : undefined;
    case 'opponent':
      return typeof o.connected === 'boolean' ? (o as ServerMessage) : undefined;
    case 'draw':
      return o as ServerMessage;
    case 'error':
      return isString(o.code) ? ({ message: '', ...o } as ServerMessage) : undefined;
    default:
      return undefined;
  }
}

// The server's address from what a player types: "host", "host:port" or a whole ws:// or wss://
// address; the page's own scheme decides ws or wss, the port is 7610 and the path /play when not
// given. Undefined when it is none.
export function serverUrl(typed: string, secure = location.protocol === 'https:'): string | undefined {
  const text = typed.trim();
  if (!text || /\s/.test(text)) return undefined;
  try {
    const url = new URL(text.includes('://') ? text : `${secure ? 'wss' : 'ws'}://${text}`);
    if (url.protocol !== 'ws:' && url.protocol !== 'wss:') return undefined;
    if (!url.hostname || url.username || url.password) return undefined;
    if (!url.port && !text.includes('://')) url.port = '7610';
    if (url.pathname === '/' || url.pathname === '') url.pathname = '/play';
    return url.toString();
  } catch {
    return undefined;
  }
}

export type State = 'idle' | 'connecting' | 'waiting' | 'playing' | 'reconnecting' | 'ended';

interface Seat {
  server: string;
  name: string;
  token: string;
}
const SEAT_KEY = 'zubeki-online-seat';

export function keptSeat(): Seat | undefined {
  try {
    const s = JSON.parse(sessionStorage.getItem(SEAT_KEY) ?? 'null');
    return s && isString(s.server) && isString(s.name) && isString(s.token) ? s : undefined;
  } catch {
    return undefined;
  }
}

export class OnlineClient {
  state: State = 'idle';
  private socket?: WebSocket;
  private url = '';
  private name = '';
  private request = '';
  private token = '';
  private tries = 0;
  private retry = 0;
  private ping = 0;

  constructor(private readonly heard: (m: ServerMessage) => void,
              private readonly changed: (s: State) => void,
              private readonly failed: (code: string, why: string) => void) {}

  create(url: string, name: string, side: Side | 'random', initialS = 0, incrementS = 0): void {
    const clock = initialS > 0 ? { initial_s: initialS, increment_s: incrementS } : undefined;
    this.open(url, name, JSON.stringify({ t: 'create', side, ...(clock ? { clock } : {}) }));
  }
  join(url: string, name: string, code: string): void {
    this.open(url, name, JSON.stringify({ t: 'join', code }));
  }
  resume(url: string, name: string, token: string): void {
    this.token = token;
    this.open(url, name, JSON.stringify({ t: 'resume', token }));
  }
  move(move: string): void { this.send({ t: 'move', move }); }
  resign(): void { this.send({ t: 'resign' }); }
  offerDraw(): void { this.send({ t: 'draw', offer: true }); }
  answerDraw(accept: boolean): void { this.send({ t: 'draw', accept }); }
  claim(): void { this.send({ t: 'claim' }); }
  // Calls the game off: one not yet joined, or one where a side has not moved yet.
  abort(): void { this.send({ t: 'abort' }); }
  // Closes for good: no coming back to this game from this tab.
  leave(): void {
    sessionStorage.removeItem(SEAT_KEY);
    this.setState('idle');
    this.stop();
  }

  private open(url: string, name: string, request: string): void {
    [this.url, this.name, this.request] = [url, name, request];
    if (this.state !== 'reconnecting') this.setState('connecting');
    this.connect();
  }

  private connect(): void {
    this.stop();
    const socket = new WebSocket(this.url);
    this.socket = socket;
    socket.onopen = () => {
      socket.send(JSON.stringify({ t: 'hello', name: this.name, version: 1 }));
      this.ping = window.setInterval(() => this.send({ t: 'ping' }), 30000);
    };
    socket.onmessage = (e) => this.frame(String(e.data));
    socket.onclose = () => {
      if (this.socket === socket) this.lost();
    };
  }

  private lost(): void {
    this.stop();
    if (this.state === 'playing' || this.state === 'reconnecting') {
      this.setState('reconnecting');
      // 1, 2, 4, 8, then every 15 seconds.
      this.retry = window.setTimeout(() => this.connect(), Math.min(15000, 1000 << Math.min(this.tries++, 4)));
    } else if (this.state === 'connecting' || this.state === 'waiting') {
      this.setState('idle');
      this.failed('unreachable', '');
    }
  }

  private stop(): void {
    window.clearTimeout(this.retry);
    window.clearInterval(this.ping);
    const s = this.socket;
    this.socket = undefined;
    if (s && s.readyState <= WebSocket.OPEN) s.close();
  }

  private frame(text: string): void {
    const m = readFrame(text);
    if (!m) return;
    if (m.t === 'welcome') {
      this.tries = 0;
      this.socket?.send(this.request);
    } else if (m.t === 'created') {
      this.setState('waiting');
    } else if (m.t === 'start') {
      this.token = m.token;
      this.request = JSON.stringify({ t: 'resume', token: m.token });
      sessionStorage.setItem(SEAT_KEY, JSON.stringify({ server: this.url, name: this.name, token: m.token }));
      this.setState('playing');
    } else if (m.t === 'end') {
      sessionStorage.removeItem(SEAT_KEY);
      this.setState('ended');
    } else if (m.t === 'error' && (this.state === 'connecting' || this.state === 'reconnecting')) {
      // The server would not have the game: a wrong code, or one that ended while away.
      sessionStorage.removeItem(SEAT_KEY);
      this.setState('idle');
      this.stop();
      this.failed(m.code, m.message);
      return;
    }
    this.heard(m);
    if (m.t === 'end') this.stop();
  }

  private send(o: object): void {
    if (this.socket?.readyState === WebSocket.OPEN) this.socket.send(JSON.stringify(o));
  }

  private setState(s: State): void {
    if (s === this.state) return;
    this.state = s;
    this.changed(s);
  }
}
