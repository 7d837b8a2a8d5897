// The page online, in Debian's chromium, through a real zubeki-server:
//   node tests/web/online_test.mjs build/web/site path/to/zubeki-server
// one page creates a game in the online form and another joins it with the invitation code; they
// play LEVEL4's game from the start by clicks to its capture, one of them reloaded half way (it
// comes back to the game by itself); then games resigned, drawn by agreement, claimed when the
// opponent has gone, and one through the server stopped dead and started again; and the form
// itself. Every wait is bounded.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { serveSite } from '../../web/tools/serve_site.mjs';
import { GAME, boardOf, fill, idle, newPage, play, playing, position, puppeteer, state } from './online_page.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
const serverProgram = process.argv[3];
let folder, server, site_, browser, address;

// A port no one listens on just now.
function freePort() {
  return new Promise((ok, fail) => {
    const s = createServer().once('error', fail).listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => ok(port));
    });
  });
}

// zubeki-server on a free port, or on `fixedPort` again (tried a few times while the old one
// lets it go); a player away for a second may be claimed against.
async function startServer(fixedPort) {
  for (let attempt = 0; attempt < 10; ++attempt) {
    const port = fixedPort ?? await freePort();
    const child = spawn(serverProgram, ['--port', String(port), '--grace', '1', '--db', join(folder, 'games.sqlite')],
                        { stdio: ['ignore', 'pipe', 'pipe'] });
    const up = await new Promise((ok) => {
      const timer = setTimeout(() => ok(false), 10000);
      child.stdout.on('data', (d) => { if (String(d).includes('listening')) { clearTimeout(timer); ok(true); } });
      child.on('exit', () => { clearTimeout(timer); ok(false); });
    });
    if (up) return { child, port };
    child.kill('SIGKILL');
    await new Promise((ok) => setTimeout(ok, 300)); // the port not free yet
  }
  throw new Error('zubeki-server did not start');
}

before(async () => {
  folder = await mkdtemp(join(tmpdir(), 'zubeki-online-'));
  server = await startServer();
  address = `127.0.0.1:${server.port}`;
  site_ = await serveSite(site);
  browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
                                     args: ['--no-sandbox', '--lang=ja'] });
});
after(async () => {
  await browser?.close();
  site_?.close();
  server?.child.kill('SIGKILL');
  if (folder) await rm(folder, { recursive: true, force: true });
});

const openPage = () => newPage(browser, site_.url);

// `names[0]` creates a game (lower by default), `names[1]` joins it with the code shown.
async function pair(names, create = {}) {
  const a = await openPage();
  await fill(a, { 'online-name': names[0], 'online-server': address, 'online-side': 'lower', ...create });
  await a.click('[data-action="online-create"]');
  await a.waitForFunction(() => document.getElementById('online-status')?.dataset.code, { timeout: 10000 });
  const code = await a.$eval('#online-status', (e) => e.dataset.code);
  const b = await openPage();
  await fill(b, { 'online-name': names[1], 'online-server': address, 'online-code': code.toLowerCase() });
  await b.click('[data-action="online-join"]');
  for (const p of [a, b]) await playing(p);
  return [a, b];
}
const ended = async (pages, reason) => {
  for (const p of pages)
    await p.waitForFunction((r) => document.getElementById('online').dataset.reason === r, { timeout: 10000 }, reason);
};
const result = (page) => page.$eval('#online', (e) => e.dataset.result);
const closePages = (pages) => Promise.all(pages.map((p) => p.browserContext().close()));

async function sameBoard(a, b) {
  const want = boardOf(await position(a));
  await b.waitForFunction((w) => document.getElementById('board').dataset.position.split(' ')[0] === w,
                          { timeout: 10000 }, want);
}

test('two pages play a game through the server to its capture, one reloaded on the way', async () => {
  let [a, b] = await pair(['下手さん', 'upper']);
  assert.equal(await a.$eval('#online', (e) => e.dataset.side), 'lower');
  assert.equal(await b.$eval('#online', (e) => e.dataset.side), 'upper');
  // The upper side sees its own pieces at the bottom, the labels turned with the board.
  const turned = (p) => p.$eval('#board', (e) => [e.hasAttribute('data-turned'), e.parentElement.querySelector('.files span').textContent]);
  assert.deepEqual(await turned(a), [false, '9']);
  assert.deepEqual(await turned(b), [true, '1']);
  for (const [i, move] of GAME.entries()) {
    const [mover, other] = i % 2 === 0 ? [a, b] : [b, a];
    await play(mover, move);
    await sameBoard(mover, other);
    if (i === 6) {
      // A reload comes back to the game with every move.
      await b.reload();
      await idle(b);
      await b.waitForFunction(() => document.getElementById('online').dataset.state === 'playing', { timeout: 15000 });
      await sameBoard(a, b);
    }
  }
  for (const [p, won] of [[a, false], [b, true]]) {
    await p.waitForFunction(() => document.getElementById('online').dataset.result, { timeout: 10000 });
    assert.equal(await p.$eval('#online', (e) => e.dataset.reason), 'capture');
    assert.equal(await p.$eval('#online', (e) => e.dataset.result), 'upper');
    // In either language the page speaks.
    const said = await p.$eval('#online-status', (e) => e.textContent);
    assert.match(said, won ? /あなたの勝ちです|You win/ : /あなたの負けです|You lose/);
  }
  assert.equal(await state(a), 'ended');
  await closePages([a, b]);
});

test('a game resigned; while it goes on, nothing else is put on its board', async () => {
  const [a, b] = await pair(['one', 'two']);
  await play(a, '9g9f');
  await sameBoard(a, b);
  const before = await position(b);
  const refused = () => b.$eval('#status', (e) => e.textContent);
  for (const action of ['back', 'start', 'new-two-players', 'new-vs-computer-first', 'turn-board', 'review', 'open-record']) {
    await b.click(`[data-action="${action}"]`);
    assert.match(await refused(), /通信対局の間はできません|Not during an online game/, action);
  }
  await b.evaluate(() => (document.getElementById('status').textContent = ''));
  await b.keyboard.press('ArrowLeft');
  assert.match(await refused(), /通信対局の間はできません|Not during an online game/);
  assert.equal(await position(b), before);
  await b.click('[data-action="online-resign"]');
  await ended([a, b], 'resign');
  for (const p of [a, b]) assert.equal(await result(p), 'lower');
  await closePages([a, b]);
});

test('a draw offered and agreed; a win claimed once the opponent has been gone a while', async () => {
  let [a, b] = await pair(['offers', 'agrees']);
  await play(a, '9g9f');
  await sameBoard(a, b);
  await a.click('[data-action="online-draw"]'); // b's page asks, and its person agrees
  await ended([a, b], 'agreement');
  for (const p of [a, b]) assert.equal(await result(p), 'draw');
  await closePages([a, b]);

  [a, b] = await pair(['stays', 'goes']);
  await play(a, '9g9f');
  await sameBoard(a, b);
  assert.equal(await a.$eval('[data-action="online-claim"]', (e) => e.disabled), true);
  await closePages([b]);
  await a.waitForFunction(() => !document.querySelector('[data-action="online-claim"]').disabled, { timeout: 10000 });
  // Refused until the grace is over (and said in the page's words), then won.
  const refusals = new Set();
  for (let tries = 0; tries < 40 && !(await result(a)); ++tries) {
    await a.click('[data-action="online-claim"]');
    await a.waitForFunction(() => document.getElementById('online').dataset.result, { timeout: 500 }).catch(() => {});
    if (!(await result(a))) refusals.add(await a.$eval('#status', (e) => e.textContent));
  }
  for (const said of refusals) assert.match(said, /^(相手が戻るのを待つ時間がまだ過ぎていません|Your opponent still has time to come back)$/);
  assert.equal(await a.$eval('#online', (e) => e.dataset.reason), 'abandoned');
  assert.equal(await result(a), 'lower');
  await closePages([a]);
});

test('the server stopped dead mid-game and started again: both pages reconnect and the game goes on', async () => {
  const [a, b] = await pair(['before', 'after']);
  for (const [i, move] of GAME.slice(0, 4).entries()) {
    await play(i % 2 === 0 ? a : b, move);
    await sameBoard(i % 2 === 0 ? a : b, i % 2 === 0 ? b : a);
  }
  server.child.kill('SIGKILL');
  await new Promise((ok) => (server.child.exitCode !== null ? ok() : server.child.once('exit', ok)));
  for (const p of [a, b]) await p.waitForFunction(() => document.getElementById('online').dataset.state === 'reconnecting',
                                                  { timeout: 10000 });
  server = await startServer(server.port);
  for (const p of [a, b]) await playing(p);
  await play(a, GAME[4]);
  await sameBoard(a, b);
  assert.equal((await a.$$('#moves li')).length, 5);
  assert.equal((await b.$$('#moves li')).length, 5);
  await closePages([a, b]);
});

test('the form: its checks, what it remembers, keys kept in its fields, the code with 中止, a clock', async () => {
  const a = await openPage();
  await fill(a, { 'online-name': '', 'online-server': address });
  // Keys typed into a field stay in it; on the page itself they are commands.
  await a.focus('#online-name');
  for (const key of ['h', 'ArrowLeft', 'Home']) await a.keyboard.press(key);
  const sent = () => a.evaluate(() => window.sent.slice());
  assert.deepEqual((await sent()).filter((c) => ['hint', 'back', 'toStart'].includes(c)), []);
  assert.equal(await a.$eval('#online-name', (e) => e.value), 'h');
  const said = () => a.$eval('#online-form-said', (e) => e.textContent);
  for (const [fields, button, words] of [
    [{ 'online-name': ' ' }, 'online-create', /名前は1文字から32文字|1 to 32 characters/],
    [{ 'online-name': 'me', 'online-server': 'no such server' }, 'online-create', /サーバのアドレス|server address/],
    [{ 'online-server': address, 'online-minutes': '0.5' }, 'online-create', /持ち時間は|The clock is/],
    [{ 'online-minutes': '5', 'online-increment': '4000' }, 'online-create', /持ち時間は|The clock is/],
    [{ 'online-code': '' }, 'online-join', /招待コードを|invitation code/i],
  ]) {
    for (const [id, text] of Object.entries(fields)) {
      await a.$eval(`#${id}`, (e) => (e.value = ''));
      await a.type(`#${id}`, text);
    }
    await a.click(`[data-action="${button}"]`);
    assert.match(await said(), words);
    assert.equal(await state(a), 'idle');
  }
  // A game created and called off before anyone joins: its code shown with a copy button.
  await a.$eval('#online-increment', (e) => (e.value = '3'));
  await a.click('[data-action="online-create"]');
  await a.waitForFunction(() => document.getElementById('online-status').dataset.code, { timeout: 10000 });
  assert.equal(await state(a), 'waiting');
  const code = await a.$eval('#online-status', (e) => e.dataset.code);
  assert.match(await a.$eval('#online-status', (e) => e.textContent), new RegExp(code));
  assert.equal(await a.$eval('[data-action="online-copy"]', (e) => e.hidden), false);
  await a.click('[data-action="online-abort"]');
  await ended([a], 'abort');
  assert.equal(await result(a), 'aborted');
  // The name and the server are remembered across a reload.
  await a.reload();
  await idle(a);
  await a.click('[data-action="online"]');
  assert.deepEqual(await a.$$eval('#online-name, #online-server', (l) => l.map((e) => e.value)), ['me', address]);
  await closePages([a]);

  // A game with a clock (5 minutes, 3 s a move): 中止 stands until both sides have moved.
  const [c, d] = await pair(['timed', 'too'], { 'online-minutes': '5', 'online-increment': '3' });
  assert.match(await c.$eval('#online-status', (e) => e.textContent), /[45]:\d\d\D+5:00/);
  const abortShown = (p) => p.$eval('[data-action="online-abort"]', (e) => !e.hidden);
  await play(c, '9g9f');
  await sameBoard(c, d);
  assert.deepEqual([await abortShown(c), await abortShown(d)], [true, true]);
  await d.click('[data-action="online-abort"]');
  await ended([c, d], 'abort');
  for (const p of [c, d]) assert.equal(await result(p), 'aborted');
  await closePages([c, d]);
});
