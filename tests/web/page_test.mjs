// The page in Debian's chromium (puppeteer-core, no browser download), served from the built site:
//   node tests/web/page_test.mjs build/web/site
// a game against LEVEL1 played by clicks to its end, the record saved and read back, opened and
// stepped through, the hint outlined, and both languages.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { extname, join, resolve } from 'node:path';
import { after, before, test } from 'node:test';

const site = resolve(process.argv[2] ?? 'build/web/site');
const require = createRequire(resolve('web/page/package.json'));
const puppeteer = require('puppeteer-core');
const Z = await require(join(site, 'core/zubeki-core.js'))();

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.png': 'image/png' };
const server = createServer(async (req, res) => {
  const path = join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
  try {
    const body = await readFile(path.endsWith('/') ? join(path, 'index.html') : path);
    res.writeHead(200, { 'content-type': TYPES[extname(path) || '.html'] ?? 'application/octet-stream' });
    res.end(body);
  } catch {
    res.writeHead(404).end();
  }
});
await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
const url = `http://127.0.0.1:${server.address().port}/`;

let browser, page;
before(async () => {
  browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
                                     args: ['--no-sandbox', '--lang=en-US'] });
  page = await browser.newPage();
  await page.setViewport({ width: 600, height: 800 });
  await page.goto(url);
  await idle();
});
after(async () => {
  await browser?.close();
  server.close();
});

async function idle() {
  await page.waitForFunction(() => !document.body.dataset.busy && document.querySelector('[data-piece]'));
}
async function act(action) {
  await page.click(`[data-action="${action}"]`);
  await idle();
}
async function press(square) {
  await page.click(`[data-square="${square}"]`);
  await idle();
}
const status = () => page.$eval('[role=status]', (e) => e.textContent);
const squares = (selector) => page.$$eval(selector, (l) => l.map((e) => e.dataset.square));
const pieces = () => page.$$eval('[data-piece]', (l) => l.map((e) => e.dataset.piece));

test('the start position on 81 squares', async () => {
  assert.equal((await squares('[data-square]')).length, 81);
  assert.equal(await page.$eval('[data-square="9g"]', (e) => e.dataset.piece), 'R');
  assert.equal(await page.$eval('[data-square="1a"]', (e) => e.dataset.piece), 'r');
  assert.equal((await pieces()).length, 18);
});

test('a game against LEVEL1 played by clicks to its end', async () => {
  await act('level-1');
  await act('new-vs-computer-first');
  let seed = 12345;
  const random = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
  let captured = false;
  for (let turn = 0; turn < 600 && !/\bwins?\b|drawn/i.test(await status()); ++turn) {
    const before = (await pieces()).length;
    const mine = await page.$$eval('[data-piece]', (l) =>
      l.filter((e) => /^\+?[RB]$/.test(e.dataset.piece)).map((e) => e.dataset.square));
    await press(mine[random(mine.length)]);
    const guide = await squares('.square.guide');
    if (guide.length > 0) await press(guide[random(guide.length)]);
    if ((await pieces()).length < before) captured = true;
  }
  assert.match(await status(), /\bwins?\b|drawn/i);
  assert.ok(captured, 'no capture was shown');
  // Every square shows the piece and the picture of the core's final position.
  const shown = await page.$$eval('[data-square]', (l) =>
    l.map((e) => [e.dataset.square, e.dataset.piece ?? '', e.querySelector('img').src.split('/').pop()]));
  const p = new Z.Position();
  assert.equal(p.setText(await page.$eval('#board', (e) => e.dataset.position)), '');
  const picture = (piece) => (piece ? `${piece.endsWith(piece.slice(-1).toUpperCase()) ? 'sita' : 'ue'}_` +
    `${/r/i.test(piece) ? 'sya' : 'kaku'}${piece.startsWith('+') ? 1 : 0}.png` : 'kara_masu.png');
  for (const [square, piece, img] of shown) {
    assert.equal(piece, p.piece(square), square);
    assert.equal(img, picture(piece), square);
  }
  p.delete();
});

test('the record saved is the core writer\'s, and opens to be stepped through', async () => {
  await page.evaluate(() => {
    URL.createObjectURL = (blob) => {
      window.saved = blob;
      return 'blob:saved';
    };
  });
  await act('save-record');
  const bytes = new Uint8Array(await page.evaluate(async () => [...new Uint8Array(await window.saved.arrayBuffer())]));
  const read = Z.readRecord(bytes);
  assert.equal(read.ok, true, read.error);
  assert.ok(read.moves.length > 2);
  assert.deepEqual(Z.writeRecord(read.header, read.moves, read.firstSide).bytes, bytes);

  const input = await page.$('#record-file');
  const file = join(process.env.TMPDIR ?? '/tmp', `zubeki-page-${process.pid}.棋譜`);
  await (await import('node:fs/promises')).writeFile(file, bytes);
  await input.uploadFile(file);
  await idle();
  const start = await pieces();
  await act('forward');
  await act('forward');
  assert.notDeepEqual(await pieces(), start);
  await act('start');
  assert.deepEqual(await pieces(), start);
});

test('the hint outlines two squares', async () => {
  await act('new-vs-computer-first');
  await act('hint');
  assert.equal((await squares('.square.hint')).length, 2);
});

test('English, then Japanese', async () => {
  assert.equal(await page.$eval('[data-action="back"]', (e) => e.textContent), 'Back');
  await act('language');
  assert.equal(await page.$eval('[data-action="back"]', (e) => e.textContent), '戻');
  assert.equal(await page.$eval('[data-action="language"]', (e) => e.textContent), 'English');
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'ja');
});

test('a phone held upright: the board fits, taps move, and a promotion asks 成 or 不成', async () => {
  const phone = await browser.newPage();
  await phone.setViewport({ width: 390, height: 844, hasTouch: true, isMobile: true });
  await phone.goto(url);
  const settle = () => phone.waitForFunction(() => !document.body.dataset.busy);
  const tap = async (selector) => {
    await phone.tap(selector);
    await settle();
  };
  await settle();
  const box = await (await phone.$('#board')).boundingBox();
  assert.ok(box.width <= 390 && box.height <= 844, JSON.stringify(box));
  await tap('[data-action="new-two-players"]');
  for (const square of ['9g', '9a', '3b', '4a', '8g']) await tap(`[data-square="${square}"]`);
  await tap('[data-square="3b"]'); // the bishop may promote there
  assert.equal(await phone.$eval('[data-square="3b"]', (e) => e.dataset.piece), undefined);
  assert.notEqual(await phone.$('[data-action="no-promote"]'), null);
  await tap('[data-action="promote"]');
  assert.equal(await phone.$eval('[data-square="3b"]', (e) => e.dataset.piece), '+B');
  assert.equal(await phone.$('[data-action="promote"]'), null);
  await phone.close();
});

test('after the first visit the page plays with the network off', async () => {
  const offline = await browser.newPage();
  await offline.goto(url);
  await offline.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
  await offline.setOfflineMode(true);
  await offline.reload();
  await offline.waitForFunction(() => !document.body.dataset.busy);
  await offline.click('[data-action="new-two-players"]');
  await offline.waitForFunction(() => !document.body.dataset.busy);
  await offline.click('[data-square="9g"]');
  await offline.waitForFunction(() => !document.body.dataset.busy);
  await offline.click('[data-square="9f"]');
  await offline.waitForFunction(() => !document.body.dataset.busy);
  assert.equal(await offline.$eval('[data-square="9f"]', (e) => e.dataset.piece), 'R');
  await offline.close();
});
