// The page online, in Debian's chromium, through a real zubeki-server:
//   node tests/web/online_test.mjs build/web/site path/to/zubeki-server
// one page creates a game and another joins it with the invitation code; they play LEVEL4's
// game from the start by clicks to its capture, one of them reloaded half way (it comes back to
// the game by itself); then a game resigned. Every wait is bounded.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtemp } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { serveSite } from '../../web/tools/serve_site.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
const serverProgram = process.argv[3];
const require = createRequire(resolve('web/page/package.json'));
const puppeteer = require('puppeteer-core');

// LEVEL4 against itself from the start (zubeki-cli selfplay --seed 3 --level 4 --nodes 3000,
// its first game): the upper side surrounds a group at move 18.
const GAME = ['7i4i', '2c6g', '7h6i', '6g7f', '8g7h', '1b6g', '7h9f', '6g7h+', '6i4g', '7f8g+',
              '9f5b', '3c3i', '4i4h', '3b7f', '5b4c', '3a3g', '4g5f', '3g6g'];

let server, site_, browser, address;

// zubeki-server on a port of its own: tried until one is free.
async function startServer() {
  const db = join(await mkdtemp(join(tmpdir(), 'zubeki-online-')), 'games.sqlite');
  for (let attempt = 0; attempt < 20; ++attempt) {
    const port = 20000 + Math.floor(Math.random() * 30000);
    const child = spawn(serverProgram, ['--port', String(port), '--db', db], { stdio: ['ignore', 'pipe', 'pipe'] });
    const up = await new Promise((ok) => {
      const timer = setTimeout(() => ok(false), 10000);
      child.stdout.on('data', (d) => { if (String(d).includes('listening')) { clearTimeout(timer); ok(true); } });
      child.on('exit', () => { clearTimeout(timer); ok(false); });
    });
    if (up) return { child, address: `127.0.0.1:${port}` };
    child.kill('SIGKILL');
  }
  throw new Error('zubeki-server did not start');
}

before(async () => {
  ({ child: server, address } = await startServer());
  site_ = await serveSite(site);
  browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
                                     args: ['--no-sandbox', '--lang=ja'] });
});
after(async () => {
  await browser?.close();
  site_?.close();
  server?.kill('SIGKILL');
});

// A page of its own (its own storage), answering the boxes it asks from `answers` in order.
async function openPage(answers) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on('dialog', (d) => void (d.type() === 'confirm' ? d.accept() : d.accept(answers.shift() ?? '')));
  await page.goto(site_.url);
  await idle(page);
  return page;
}
const idle = (page) => page.waitForFunction(() => !document.body.dataset.busy && document.querySelector('[data-piece]'),
                                            { timeout: 20000 });
const state = (page) => page.$eval('#online', (e) => e.dataset.state);
const position = (page) => page.$eval('#board', (e) => e.dataset.position);
const boardOf = (text) => text.split(' ')[0];

async function pair(names) {
  const answersA = [names[0], address, '下手'];
  const a = await openPage(answersA);
  await a.click('[data-action="online-create"]');
  await a.waitForFunction(() => document.getElementById('online-status')?.dataset.code, { timeout: 10000 });
  const code = await a.$eval('#online-status', (e) => e.dataset.code);
  const b = await openPage([names[1], address, code]);
  await b.click('[data-action="online-join"]');
  for (const p of [a, b]) await p.waitForFunction(() => document.getElementById('online').dataset.state === 'playing',
                                                  { timeout: 10000 });
  return [a, b];
}

// A move by clicks: the piece, then where it goes (the right button promotes).
async function play(page, move) {
  await page.click(`[data-square="${move.slice(0, 2)}"]`);
  await idle(page);
  await page.click(`[data-square="${move.slice(2, 4)}"]`, { button: move.endsWith('+') ? 'right' : 'left' });
  await idle(page);
}

async function sameBoard(a, b) {
  const want = boardOf(await position(a));
  await b.waitForFunction((w) => document.getElementById('board').dataset.position.split(' ')[0] === w,
                          { timeout: 10000 }, want);
}

test('two pages play a game through the server to its capture, one reloaded on the way', async () => {
  let [a, b] = await pair(['下手さん', 'upper']);
  assert.equal(await a.$eval('#online', (e) => e.dataset.side), 'lower');
  assert.equal(await b.$eval('#online', (e) => e.dataset.side), 'upper');
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
});

test('a game resigned', async () => {
  const [a, b] = await pair(['one', 'two']);
  await play(a, '9g9f');
  await sameBoard(a, b);
  await b.click('[data-action="online-resign"]');
  for (const p of [a, b]) {
    await p.waitForFunction(() => document.getElementById('online').dataset.reason === 'resign', { timeout: 10000 });
    assert.equal(await p.$eval('#online', (e) => e.dataset.result), 'lower');
  }
});
