// The page: the board drawn from the window's pictures, the commands, the status line; every
// rule and the computer run in the game's worker (worker.ts) over the WebAssembly core.
import './style.css';
import { playWave, restoreSound, setSound, soundOn } from './audio';
import { START_POSITION, pictureOf, readPosition, squareName } from './board';
import type { Asked, Command, GameEvent, Reply, WorkerMessage } from './protocol';
import { OnlineClient, keptSeat, serverUrl } from './online';
import type { Clocks, ServerMessage, Side, State } from './online';
import { addReview, buildReview, closeReview, openReview, renderReview, reviewOpen, selectReview } from './review';
import { currentLanguage, setLanguage, t } from './texts';

const worker = new Worker(new URL('./worker.ts', import.meta.url));

// What the board shows besides its pieces.
const marks = {
  picked: '',
  guide: [] as string[],
  hint: [] as string[],
  computer: [] as string[],
  promoting: [] as string[], // where the picked piece may go promoted
};
let last: Reply | undefined;
let said = '';
let guideOn = true;
let thinkingTimer = 0;
let touched = false; // the last press was a finger's
let pending = 0; // commands the worker has not answered yet (data-busy while there are any)
const SAY_PLAY_AGAIN = 4;

const ACTIONS: [string, string, Command | (() => void)][] = [
  ['new-two-players', '対局(人間)', () => newGame('twoPlayers')],
  ['new-vs-computer-first', '先手', () => newGame('vsComputerFirst')],
  ['new-vs-computer-second', '後手', () => newGame('vsComputerSecond')],
  ['level-1', 'LEVEL1', { call: 'setLevel', args: [1] }],
  ['level-2', 'LEVEL2', { call: 'setLevel', args: [2] }],
  ['level-3', 'LEVEL3', { call: 'setLevel', args: [3] }],
  ['level-4', 'LEVEL4', { call: 'setLevel', args: [4] }],
  ['back', '戻', { call: 'back', args: [] }],
  ['forward', '進', { call: 'forward', args: [] }],
  ['start', '最初', { call: 'toStart', args: [] }],
  ['turn-board', '反転', { call: 'turnBoard', args: [] }],
  ['hint', 'ヒント', { call: 'hint', args: [] }],
  ['move-guide', '移動指導', () => toggleGuide()],
  ['sound', '音', () => void setSound(!soundOn()).then(render)],
  ['open-record', '棋譜を開く', () => openRecord()],
  ['save-record', '棋譜を保存', { call: 'saveRecord', args: ['ZUBEKI', '', ''] }],
  ['review', '検討', { call: 'reviewOpen', args: [] }],
  ['language', 'English', () => switchLanguage()],
  ['online', '通信対局', () => openOnlineForm()],
];

function send(command: Command): void {
  window.clearTimeout(thinkingTimer);
  thinkingTimer = window.setTimeout(() => showStatus(t('考え中…')), 150);
  pending += 1;
  document.body.dataset.busy = 'true';
  worker.postMessage(command);
}

function element<K extends keyof HTMLElementTagNameMap>(tag: K, attrs: Record<string, string> = {}) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  return e;
}

function buildPage(): void {
  const app = document.getElementById('app')!;
  const bar = element('nav', { class: 'commands' });
  for (const [action, label, run] of ACTIONS) {
    const button = element('button', { 'data-action': action, 'data-label': label, type: 'button' });
    button.addEventListener('click', () => {
      if (REFUSED_ONLINE.has(action) && refusedOnline()) return;
      if (typeof run === 'function') run();
      else send(run);
    });
    bar.append(button);
  }
  const status = element('p', { role: 'status', id: 'status', 'aria-live': 'polite' });
  const board = element('div', { id: 'board', role: 'grid' });
  for (let y = 1; y <= 9; ++y)
    for (let x = 1; x <= 9; ++x) board.append(squareButton(squareName(x, y)));
  // The labels as the window draws them: the files 9..1 above the board, the ranks 一..九 to
  // its right, in the board's own notation in either language.
  const files = element('div', { class: 'files', 'aria-hidden': 'true' });
  for (let x = 1; x <= 9; ++x) files.append(Object.assign(element('span'), { textContent: String(10 - x) }));
  const ranks = element('div', { class: 'ranks', 'aria-hidden': 'true' });
  for (const numeral of '一二三四五六七八九') ranks.append(Object.assign(element('span'), { textContent: numeral }));
  const frame = element('div', { class: 'board-frame' });
  frame.append(files, element('span'), board, ranks);
  const side = element('aside', { class: 'side' });
  side.append(element('img', { class: 'logo', src: './pictures/zubeki.png', alt: 'ZUBEKI' }),
              element('ol', { id: 'moves', 'aria-live': 'off' }),
              buildReview(showReviewMove, () => send({ call: 'reviewStop', args: [] }), closeReviewPanel),
              buildOnlinePanel());
  const table = element('main', { class: 'table' });
  table.append(frame, side);
  const file = element('input', { type: 'file', id: 'record-file', accept: '.棋譜,.zbk', hidden: '' });
  file.addEventListener('change', () => readRecordFile(file as HTMLInputElement));
  app.append(bar, status, table, file);
  document.addEventListener('keydown', onKey);
  // A record dropped anywhere on the page opens as the picker's does.
  document.addEventListener('dragover', (e) => {
    if (!e.dataTransfer?.types.includes('Files')) return;
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', (e) => {
    if (!e.relatedTarget) document.body.classList.remove('dropping');
  });
  document.addEventListener('drop', (e) => {
    document.body.classList.remove('dropping');
    const dropped = e.dataTransfer?.files[0];
    if (!dropped) return;
    e.preventDefault();
    void openRecordFile(dropped);
  });
}

function showReviewMove(index: number): void {
  selectReview(index);
  send({ call: 'reviewShow', args: [index] });
}

function closeReviewPanel(): void {
  closeReview();
  send({ call: 'reviewClose', args: [] });
}

function squareButton(square: string): HTMLButtonElement {
  const b = element('button', { 'data-square': square, type: 'button', class: 'square' });
  b.append(element('img', { alt: '', draggable: 'false' }));
  b.addEventListener('click', () => {
    // A touch screen has no right button: a move that may promote asks 成 or 不成 first.
    if (touched && marks.picked && marks.promoting.includes(square)) askPromotion(square);
    else send({ call: 'press', args: [1, square] });
  });
  b.addEventListener('pointerdown', (e) => (touched = e.pointerType === 'touch'));
  b.addEventListener('contextmenu', (e) => {
    e.preventDefault(); // the right button promotes, as in the window
    send({ call: 'press', args: [2, square] });
  });
  return b;
}

function askPromotion(square: string): void {
  const choice = element('div', { class: 'promotion', role: 'dialog' });
  for (const [action, label, button] of [['promote', '成', 2], ['no-promote', '不成', 1]] as const) {
    const b = element('button', { 'data-action': action, type: 'button' });
    b.textContent = t(label);
    b.addEventListener('click', () => {
      choice.remove();
      send({ call: 'press', args: [button, square] });
    });
    choice.append(b);
  }
  document.getElementById('app')!.append(choice);
}

function onKey(e: KeyboardEvent): void {
  // Keys typed into a field (a name, a server, an invite code) are its own, never commands.
  const target = e.target;
  if (target instanceof HTMLInputElement || target instanceof HTMLSelectElement || target instanceof HTMLTextAreaElement)
    return;
  const keys: Record<string, string> = { ArrowLeft: 'back', ArrowRight: 'forward', Home: 'toStart', h: 'hint', H: 'hint' };
  if (!keys[e.key]) return;
  e.preventDefault();
  if (!refusedOnline()) send({ call: keys[e.key], args: [] });
}

// A game from the starting position: the window's 先手 / 後手 go on from the board as it stands.
function newGame(call: string): void {
  if (reviewOpen()) closeReviewPanel(); // a new game closes the review, as in the window
  leaveOnlineBoard();
  send({ call: 'newGame', args: [] });
  send({ call, args: [] });
}

function toggleGuide(): void {
  guideOn = !guideOn;
  send({ call: 'setGuidance', args: [guideOn] });
}

function switchLanguage(): void {
  setLanguage(currentLanguage() === 'ja' ? 'en' : 'ja');
  render();
}

function openRecord(): void {
  (document.getElementById('record-file') as HTMLInputElement).click();
}

async function readRecordFile(input: HTMLInputElement): Promise<void> {
  const f = input.files?.[0];
  if (!f) return;
  await openRecordFile(f);
  input.value = '';
}

async function openRecordFile(f: File): Promise<void> {
  if (refusedOnline()) return;
  document.body.dataset.busy = 'true'; // from the choice of the file on, not only once it is read
  if (reviewOpen()) closeReviewPanel(); // another record closes the review, as in the window
  leaveOnlineBoard();
  send({ call: 'openRecord', args: [new Uint8Array(await f.arrayBuffer())] });
}

function download(bytes: Uint8Array, zbk = false): void {
  const a = element('a', { download: zbk ? 'ZUBEKI.zbk' : 'ZUBEKI.棋譜' });
  a.href = URL.createObjectURL(new Blob([new Uint8Array(bytes)], { type: 'application/octet-stream' }));
  a.click();
  URL.revokeObjectURL(a.href);
}

function pick(square: unknown, guide: unknown, promoting: unknown): void {
  [marks.picked, marks.guide, marks.promoting] = [square as string, guide as string[], promoting as string[]];
}

// The marks and the words the events leave behind them.
function follow([name, ...args]: GameEvent): void {
  if (name === 'marksCleared') [marks.picked, marks.guide, marks.promoting] = ['', [], []];
  else if (name === 'piecePicked') pick(args[0], args[4], args[5]);
  else if (name === 'pickMoved') pick(args[1], args[5], args[6]);
  else if (name === 'hintOutlined') marks.hint = [args[0] as string, args[1] as string];
  else if (name === 'hintCleared') marks.hint = [];
  else if (name === 'computerMoveShown') {
    const move = (args[0] as { move: { from: string; to: string } }).move;
    marks.computer = [move.from, move.to];
  } else if (name === 'moveBegun' || name === 'positionShown') marks.computer = [];
  else if (name === 'ask' && (args[0] as Asked).what !== SAY_PLAY_AGAIN) said = (args[0] as Asked).text;
  else if (name === 'showHint') said = args[1] as string;
  else if (name === 'soundDue') playWave(args[0] as string);
}

function turnText(reply: Reply): string {
  const { side, againstComputer } = reply.session;
  if (reply.session.online) return side === (seat.mine === 'lower' ? -1 : 1) ? t('あなたの番です') : t('相手の番です');
  if (side === 0) return t('対局を選んでください');
  if (againstComputer) return side === -1 ? t('あなたの番です') : t('考え中…');
  return side === -1 ? t('先手の番です') : t('後手の番です');
}

function showStatus(text: string): void {
  document.getElementById('status')!.textContent = text;
}

// The game's moves beside the board, the one the board stands after marked.
function renderMoves(reply: Reply): void {
  const list = document.getElementById('moves')!;
  const at = reply.session.recordPosition;
  list.replaceChildren(...reply.moves.map((m) => {
    const item = element('li', { 'data-move': String(m.n) });
    item.textContent = `${m.n} ${m.side < 0 ? '☗' : '☖'}${m.text}`;
    item.classList.toggle('current', m.n === at);
    item.classList.toggle('later', m.n > at);
    return item;
  }));
  list.querySelector('.current')?.scrollIntoView({ block: 'nearest' });
}

function render(): void {
  for (const b of document.querySelectorAll<HTMLButtonElement>('.commands [data-action]'))
    b.textContent = b.dataset.action === 'language' && currentLanguage() === 'en' ? '日本語' : t(b.dataset.label!);
  const sound = document.querySelector('[data-action="sound"]')!;
  sound.setAttribute('aria-pressed', String(soundOn()));
  document.querySelector('[data-action="move-guide"]')!.setAttribute('aria-pressed', String(guideOn));
  renderReview();
  // Until the worker answers, the starting position: the board is on the page at once.
  const text = last ? last.finalPosition ?? last.position : START_POSITION;
  // Online as the upper side, that side at the bottom: the board half turned, its labels with it.
  document.getElementById('board')!.toggleAttribute('data-turned', seat.turned);
  document.querySelectorAll('.files span').forEach((e, i) => (e.textContent = String(seat.turned ? i + 1 : 9 - i)));
  document.querySelectorAll('.ranks span').forEach((e, i) => (e.textContent = '一二三四五六七八九'[seat.turned ? 8 - i : i]));
  document.getElementById('board')!.dataset.position = text;
  const board = readPosition(text);
  for (const b of document.querySelectorAll<HTMLButtonElement>('[data-square]')) {
    const square = b.dataset.square!;
    const piece = board.pieces.get(square);
    if (piece) b.dataset.piece = piece;
    else delete b.dataset.piece;
    b.setAttribute('aria-label', piece ? `${square} ${piece}` : square);
    b.querySelector('img')!.src = `./pictures/${pictureOf(piece)}`;
    b.classList.toggle('check', board.check.has(square));
    b.classList.toggle('picked', marks.picked === square);
    b.classList.toggle('guide', guideOn && marks.guide.includes(square));
    b.classList.toggle('hint', marks.hint.includes(square));
    b.classList.toggle('computer', marks.computer.includes(square));
  }
  if (last) {
    renderMoves(last);
    showStatus(said ? t(said) : turnText(last));
  }
  renderOnline();
}

// --- a game online ---

const online = new OnlineClient(heard, () => renderOnline(), onlineFailed);
const seat = {
  code: '',
  copied: false, // the invite code went to the clipboard
  mine: 'lower' as Side,
  opponent: '',
  position: '',
  moves: [] as string[], // every move the server announced, passes too
  sent: 0, // moves of the board's line already sent or heard from the server
  connected: true,
  clocks: null as Clocks | null,
  clocksAt: 0,
  active: false,
  ended: '',
  turned: false, // the board shows the upper side at the bottom
};
let formOpen = false;
let formSaid = ''; // why the form's request was not sent
const NAME_KEY = 'zubeki-online-name';
const SERVER_KEY = 'zubeki-online-server';
const REASONS: Record<string, string> = {
  capture: '囲んで勝ち', camp: '敵陣を埋めて勝ち', 'double-pass': '二回続けてパス', resign: '投了',
  agreement: '合意の引き分け', time: '時間切れ', abandoned: '相手の切断', abort: '中止',
};

// While a game online goes on, its board is the server's: whatever would put another game or
// another of its positions there is refused, as in the window.
const REFUSED_ONLINE = new Set(['new-two-players', 'new-vs-computer-first', 'new-vs-computer-second', 'back',
                                'forward', 'start', 'turn-board', 'hint', 'open-record', 'review']);
function refusedOnline(): boolean {
  if (online.state === 'idle' || online.state === 'ended') return false;
  said = '通信対局の間はできません';
  render();
  return true;
}

// Another game put on the board: the online game's turned board goes with it.
function leaveOnlineBoard(): void {
  if (!seat.active) seat.turned = false;
}

function openOnlineForm(): void {
  if (online.state !== 'idle' && online.state !== 'ended') return;
  formOpen = true;
  formSaid = '';
  renderOnline();
  document.getElementById('online-name')!.focus();
}

function fieldValue(id: string): string {
  return (document.getElementById(id) as HTMLInputElement | HTMLSelectElement).value.trim();
}

// The clock a game is created with, [seconds, seconds added a move]: [0, 0] without one, and
// undefined when the form's numbers are out of range.
function formClock(): [number, number] | undefined {
  const minutes = fieldValue('online-minutes');
  if (!minutes || minutes === '0') return [0, 0];
  const [m, increment] = [Number(minutes), Number(fieldValue('online-increment') || '0')];
  const whole = (n: number, top: number, least: number) => Number.isInteger(n) && n >= least && n <= top;
  return whole(m, 1440, 1) && whole(increment, 3600, 0) ? [m * 60, increment] : undefined;
}

function onlineStart(create: boolean): void {
  if (online.state !== 'idle' && online.state !== 'ended') return;
  const name = fieldValue('online-name');
  const typed = fieldValue('online-server');
  const url = serverUrl(typed);
  const clock = formClock();
  const code = fieldValue('online-code').toUpperCase();
  if (name.length < 1 || name.length > 32) formSaid = '名前は1文字から32文字で入れてください';
  else if (!url) formSaid = 'サーバのアドレスが正しくありません';
  else if (create && !clock) formSaid = '持ち時間は1～1440分、加算は0～3600秒です';
  else if (!create && !code) formSaid = '招待コードを入れてください';
  else formSaid = '';
  if (formSaid || !url || !clock) return renderOnline();
  localStorage.setItem(NAME_KEY, name);
  localStorage.setItem(SERVER_KEY, typed);
  Object.assign(seat, { code: '', copied: false, opponent: '', moves: [], sent: 0, connected: true, clocks: null,
                        ended: '' });
  formOpen = false;
  if (create) online.create(url, name, fieldValue('online-side') as Side | 'random', ...clock);
  else online.join(url, name, code);
  renderOnline();
}

function heard(m: ServerMessage): void {
  if (m.t === 'created') seat.code = m.code;
  else if (m.t === 'start') {
    const c = m.clock;
    const clocks = c && { lower_ms: c.lower_ms ?? c.initial_s * 1000, upper_ms: c.upper_ms ?? c.initial_s * 1000 };
    Object.assign(seat, { mine: m.you, opponent: m.opponent, position: m.position, moves: [...m.moves],
                          active: true, ended: '', clocks, clocksAt: Date.now(), turned: m.you === 'upper' });
    if (reviewOpen()) closeReviewPanel();
    send({ call: 'beginOnline', args: [m.position, m.moves, m.you === 'upper' ? 1 : -1] });
  } else if (m.t === 'moved') {
    seat.moves.push(m.move);
    [seat.clocks, seat.clocksAt] = [m.clock, Date.now()];
    if (m.by !== seat.mine) send({ call: 'peerMoved', args: [m.move] });
    else if (m.move === 'pass') send({ call: 'playOnlineTurns', args: [] });
  } else if (m.t === 'end') {
    seat.active = false;
    const what = m.result === 'draw' ? '引き分けです' : m.result === 'aborted' ? '対局は中止になりました'
      : m.result === seat.mine ? 'あなたの勝ちです' : 'あなたの負けです';
    seat.ended = `${t(what)} (${t(REASONS[m.reason] ?? '中止')})`;
    Object.assign(document.getElementById('online')!.dataset, { result: m.result, reason: m.reason });
    send({ call: 'endOnline', args: [] });
  } else if (m.t === 'opponent') seat.connected = m.connected;
  else if (m.t === 'draw' && m.offer) online.answerDraw(window.confirm(t('相手から引き分けの申し出です。受けますか？')));
  else if (m.t === 'draw' && !m.accept) said = '引き分けの申し出は断られました';
  else if (m.t === 'error' && seat.active && (m.code === 'illegal-move' || m.code === 'not-your-turn'))
    // The server is the referee: the board takes its game again.
    send({ call: 'beginOnline', args: [seat.position, seat.moves, seat.mine === 'upper' ? 1 : -1] });
  // The server's words are English: the page says in its own what was refused, as the window.
  else if (m.t === 'error' && m.code === 'too-early') said = '相手が戻るのを待つ時間がまだ過ぎていません';
  else if (m.t === 'error') said = `${t('サーバが受け付けませんでした')}: ${m.message}`;
  render(); // what the server said shows in the status line too
}

function onlineFailed(code: string, why: string): void {
  seat.active = false;
  showStatus(code === 'unreachable' ? t('サーバにつながりません') : `${t('対局に入れませんでした')} ${why}`);
  if (last?.session.online) send({ call: 'endOnline', args: [] });
  renderOnline();
}

// The person's moves since the last reply go to the server; whatever else the board played
// came from it.
function sendOwnMoves(reply: Reply): void {
  if (!seat.active || !reply.session.online) return;
  if (reply.call === 'press')
    for (const m of reply.line.slice(seat.sent)) if (m !== 'pass') online.move(m);
  seat.sent = reply.line.length;
}

// 中止 calls off a game no one has joined yet, or one where a side has still to make a move
// (a pass is none).
function abortable(): boolean {
  if (online.state === 'waiting') return true;
  if (!seat.active) return false;
  const first = seat.position.split(' ')[1] === 'u' ? 1 : 0;
  const moved = [false, false];
  seat.moves.forEach((m, i) => m !== 'pass' && (moved[(first + i) % 2] = true));
  return !(moved[0] && moved[1]);
}

function copyCode(): void {
  void navigator.clipboard?.writeText(seat.code).then(() => {
    seat.copied = true;
    renderOnline();
  }, () => {});
}

function labelled(label: string, input: HTMLElement): HTMLLabelElement {
  const l = element('label');
  l.append(element('span', { 'data-label': label }), input);
  return l;
}

function onlineButton(action: string, label: string, run: () => void): HTMLButtonElement {
  const b = element('button', { 'data-action': action, 'data-label': label, type: 'button' });
  b.addEventListener('click', run);
  return b;
}

// 作成 and 参加: the name and the server (both remembered), the side and the clock of a game
// created, the invite code of one joined.
function buildOnlineForm(): HTMLElement {
  const form = element('form', { class: 'online-form' });
  form.addEventListener('submit', (e) => e.preventDefault());
  const name = element('input', { id: 'online-name', maxlength: '32', autocomplete: 'nickname' });
  name.value = localStorage.getItem(NAME_KEY) ?? '';
  const server = element('input', { id: 'online-server', autocomplete: 'url', spellcheck: 'false' });
  server.value = localStorage.getItem(SERVER_KEY) ?? `${location.hostname}:7610`;
  const side = element('select', { id: 'online-side' });
  for (const [value, label] of [['random', 'おまかせ'], ['lower', '下手'], ['upper', '上手']])
    side.append(element('option', { value, 'data-label': label }));
  const minutes = element('input', { id: 'online-minutes', type: 'number', min: '0', max: '1440', placeholder: '—' });
  const increment = element('input', { id: 'online-increment', type: 'number', min: '0', max: '3600', value: '0' });
  const code = element('input', { id: 'online-code', autocomplete: 'off', spellcheck: 'false' });
  const create = element('fieldset');
  create.append(element('legend', { 'data-label': '作成' }), labelled('手番', side), labelled('持ち時間（分）', minutes),
                labelled('一手ごとの加算（秒）', increment), onlineButton('online-create', '作成', () => onlineStart(true)));
  const join = element('fieldset');
  join.append(element('legend', { 'data-label': '参加' }), labelled('招待コード', code),
              onlineButton('online-join', '参加', () => onlineStart(false)));
  form.append(labelled('名前', name), labelled('サーバ', server), create, join,
              element('p', { id: 'online-form-said', role: 'alert' }),
              onlineButton('online-form-close', '閉じる', () => ((formOpen = false), renderOnline())));
  return form;
}

function buildOnlinePanel(): HTMLElement {
  const panel = element('section', { id: 'online', hidden: '' });
  panel.append(buildOnlineForm(), element('p', { id: 'online-status', 'aria-live': 'polite' }));
  const actions: [string, string, () => void][] = [
    ['online-copy', 'コピー', copyCode],
    ['online-abort', '中止', () => online.abort()],
    ['online-resign', '投了', () => window.confirm(t('投了しますか？')) && online.resign()],
    ['online-draw', '引分提案', () => online.offerDraw()],
    ['online-claim', '勝ちを申請', () => online.claim()],
    ['online-leave', '退出', () => { online.leave(); seat.active = false; send({ call: 'endOnline', args: [] }); }],
  ];
  for (const [action, label, run] of actions) panel.append(onlineButton(action, label, run));
  window.setInterval(() => seat.clocks && seat.active && renderOnline(), 500);
  return panel;
}

function clockText(ms: number): string {
  const s = Math.max(0, Math.ceil(ms / 1000));
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}

function renderOnline(): void {
  const panel = document.getElementById('online');
  if (!panel) return;
  const state: State = online.state;
  const formShown = formOpen && (state === 'idle' || state === 'ended');
  panel.hidden = state === 'idle' && !seat.ended && !formShown;
  panel.dataset.state = state;
  panel.dataset.side = seat.mine;
  for (const e of panel.querySelectorAll<HTMLElement>('[data-label]')) e.textContent = t(e.dataset.label!);
  panel.querySelector<HTMLElement>('.online-form')!.hidden = !formShown;
  document.getElementById('online-form-said')!.textContent = formSaid && t(formSaid);
  const lines: string[] = [];
  if (state === 'connecting') lines.push(t('サーバにつないでいます…'));
  if (state === 'waiting') {
    lines.push(`${t('招待コード：')}${seat.code}`, t('このコードを相手に伝えてください'));
    if (seat.copied) lines.push(t('コピーしました'));
  }
  if (seat.active || seat.ended) {
    lines.push(`${t('相手：')}${seat.opponent}`, `${t('あなた：')}${t(seat.mine === 'lower' ? '下手' : '上手')}`);
    if (state === 'reconnecting') lines.push(t('再接続中…'));
    else if (seat.active) lines.push(seat.connected ? t('相手は接続中') : t('相手は切断中'));
    if (seat.clocks) {
      let { lower_ms: lower, upper_ms: upper } = seat.clocks;
      if (seat.active && last) (last.session.side < 0 ? (lower -= Date.now() - seat.clocksAt) : (upper -= Date.now() - seat.clocksAt));
      lines.push(`${t('下手 ')}${clockText(lower)}${t('　上手 ')}${clockText(upper)}`);
    }
  }
  if (seat.ended) lines.push(seat.ended);
  const status = document.getElementById('online-status')!;
  status.dataset.code = seat.code;
  status.textContent = lines.join('\n');
  for (const b of panel.querySelectorAll<HTMLButtonElement>(':scope > button')) {
    const action = b.dataset.action;
    b.hidden = action === 'online-copy' ? state !== 'waiting' || !seat.code : action === 'online-abort' ? !abortable()
      : formShown || (!seat.active && !seat.ended);
    b.disabled = action === 'online-leave' ? state === 'idle' : action !== 'online-copy' && action !== 'online-abort' &&
      (!seat.active || (action === 'online-claim' && seat.connected));
  }
}

worker.onmessage = (message: MessageEvent<WorkerMessage>) => {
  if (message.data.kind === 'review') {
    addReview(message.data.entries, message.data.summary);
    return;
  }
  window.clearTimeout(thinkingTimer);
  if (--pending === 0) delete document.body.dataset.busy;
  last = message.data;
  said = '';
  sendOwnMoves(last);
  for (const e of last.events) follow(e);
  if (last.error) said = last.error;
  if (last.record) download(last.record, last.recordIsZbk);
  if (last.review?.opened) openReview(last.review.summary);
  else if (last.review) addReview(last.review.entries, last.review.summary, last.review.stopped);
  render();
};

buildPage();
restoreSound();
render();
// Offline play after the first visit (not while developing: the dev server has no worker file).
if ('serviceWorker' in navigator && import.meta.env.PROD) void navigator.serviceWorker.register('./sw.js');
send({ call: 'hello', args: [] });
// A reload in the middle of a game online comes back to it.
const kept = keptSeat();
if (kept) online.resume(kept.server, kept.name, kept.token);
