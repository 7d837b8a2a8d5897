// The page: the board drawn from the window's pictures, the commands, the status line; every
// rule and the computer run in the game's worker (worker.ts) over the WebAssembly core.
import './style.css';
import { playWave, restoreSound, setSound, soundOn } from './audio';
import { START_POSITION, pictureOf, readPosition, squareName } from './board';
import type { Asked, Command, GameEvent, Reply, WorkerMessage } from './protocol';
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
    button.addEventListener('click', () => (typeof run === 'function' ? run() : send(run)));
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
              buildReview(showReviewMove, () => send({ call: 'reviewStop', args: [] }), closeReviewPanel));
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
  const keys: Record<string, string> = { ArrowLeft: 'back', ArrowRight: 'forward', Home: 'toStart' };
  if (keys[e.key]) send({ call: keys[e.key], args: [] });
  else if (e.key === 'h' || e.key === 'H') send({ call: 'hint', args: [] });
  else return;
  e.preventDefault();
}

// A game from the starting position: the window's 先手 / 後手 go on from the board as it stands.
function newGame(call: string): void {
  if (reviewOpen()) closeReviewPanel(); // a new game closes the review, as in the window
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
  document.body.dataset.busy = 'true'; // from the choice of the file on, not only once it is read
  if (reviewOpen()) closeReviewPanel(); // another record closes the review, as in the window
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
