// The page in Debian's chromium (puppeteer-core, no browser download), served from the built site:
//   node tests/web/page_test.mjs build/web/site
// a game against LEVEL1 played by clicks to its end, the record saved and read back, opened and
// stepped through, the hint outlined, and both languages; the review, the sound, a record
// dropped on the page, the first paint with an empty cache (its time and the size of the
// scripts are reported, never asserted on time).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, readdir } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';
import { gzipSync } from 'node:zlib';
import { levelOneMoves as levelOneFrom } from '../../web/tools/level_one_moves.mjs';
import { serveSite } from '../../web/tools/serve_site.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
const require = createRequire(resolve('web/page/package.json'));
const puppeteer = require('puppeteer-core');
const Z = await require(join(site, 'core/zubeki-core.js'))();

const server = await serveSite(site);
const url = server.url;

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

  // The record reviewed, and 中止 at once: what was reviewed stays, nothing joins it after.
  await act('review');
  // Pressed through the element: rows coming in move the button under a pointer's aim.
  await page.$eval('[data-action="review-stop"]', (b) => b.click());
  await idle();
  const rows = () => page.$$eval('#review tbody tr', (l) => l.length);
  const stoppedAt = await rows();
  await act('forward'); // a later command: any turn of the review would have answered before it
  assert.equal(await rows(), stoppedAt);
  assert.equal(await page.$eval('#review', (e) => e.dataset.running), 'false');
  assert.equal(await page.$eval('[data-action="review-stop"]', (e) => e.hidden), true);
  if (stoppedAt < read.moves.length) // the summary says it covers part of the game
    assert.match(await page.$eval('.review-summary', (e) => e.textContent),
                 new RegExp(`\\b${stoppedAt} of \\d+ moves|のうち${stoppedAt}手`));
  await act('review-close');
});

test('the hint outlines two squares', async () => {
  await act('new-vs-computer-first');
  await act('hint');
  assert.equal((await squares('.square.hint')).length, 2);
});

const levelOneMoves = (count) => levelOneFrom(Z, count);
const boardAfter = (moves) => {
  const p = new Z.Position();
  for (const m of moves) p.play(m);
  const text = p.text().split(' ')[0];
  p.delete();
  return text;
};
const shownBoard = () => page.$eval('#board', (e) => e.dataset.position.split(' ')[0]);

test('the labels and the moves beside the board; the review lists the moves and steps to any', async () => {
  assert.equal((await page.$$eval('.files span', (l) => l.map((e) => e.textContent))).join(''), '987654321');
  assert.equal((await page.$$eval('.ranks span', (l) => l.map((e) => e.textContent))).join(''), '一二三四五六七八九');
  await act('new-two-players');
  const moves = levelOneMoves(6);
  const play = async (m) => {
    await press(m.slice(0, 2));
    await page.click(`[data-square="${m.slice(2, 4)}"]`, { button: m.endsWith('+') ? 'right' : 'left' });
    await idle();
  };
  for (const m of moves.slice(0, 5)) await play(m);
  assert.equal(await shownBoard(), boardAfter(moves.slice(0, 5)));
  const listed = await page.$$eval('#moves li', (l) => l.map((e) => e.textContent));
  assert.equal(listed.length, 5);
  assert.match(listed[0], /^1 ☗[１-９][一二三四五六七八九][飛角]/);

  const reviewed = async () => {
    await page.waitForFunction(() => document.getElementById('review').dataset.running === 'false');
    return page.$$eval('#review tbody tr', (l) => l.map((r) => r.cells[0].textContent));
  };
  await act('review');
  assert.deepEqual(await reviewed(), ['1', '2', '3', '4', '5']);
  // The game goes on: its new move joins the review.
  await play(moves[5]);
  assert.deepEqual(await reviewed(), ['1', '2', '3', '4', '5', '6']);
  // The chance before the first move and after each.
  assert.equal(await page.$eval('#review polyline', (e) => e.getAttribute('points').split(' ').length),
               moves.length + 1);
  assert.match(await page.$eval('.review-summary', (e) => e.textContent), /\d.*\n.*\d/);
  // Move 3 chosen: the position it was played in, LEVEL4's move there outlined, its line written.
  await page.click('[data-review-index="2"]');
  await idle();
  assert.equal(await shownBoard(), boardAfter(moves.slice(0, 2)));
  assert.equal((await squares('.square.hint')).length, 2);
  assert.notEqual(await page.$eval('.review-line', (e) => e.textContent), '');
  await act('review-close');
  assert.equal(await page.$eval('#review', (e) => e.hidden), true);
});

test('a record or a .zbk game dropped on the page opens as a chosen one does; a .zbk game saves as one', async () => {
  const moves = levelOneMoves(8);
  const from = new Z.Position();
  for (const m of moves.slice(0, 3)) from.play(m);
  const zbk = `ZUBEKI-GAME 1\n${from.text()}\n${moves.slice(3).join('\n')}\n`;
  from.delete();
  for (const [name, bytes, before] of [
    ['dropped.棋譜', Z.writeRecord(['drop', '', ''], moves, -1).bytes, []],
    ['dropped.zbk', new TextEncoder().encode(zbk), moves.slice(0, 3)],
  ]) {
    await page.evaluate((data, file) => {
      const dropped = new DataTransfer();
      dropped.items.add(new File([new Uint8Array(data)], file));
      document.getElementById('board').dispatchEvent(
        new DragEvent('drop', { dataTransfer: dropped, bubbles: true, cancelable: true }));
    }, [...bytes], name);
    await idle();
    assert.equal(await shownBoard(), boardAfter(before), name);
    assert.equal((await page.$$('#moves li')).length, moves.length - before.length, name);
    await act('forward');
    assert.equal(await shownBoard(), boardAfter(moves.slice(0, before.length + 1)), name);
  }
  // Saved, the game from a set-up position is the .zbk text again, never a .棋譜 record.
  for (let i = 4; i < moves.length; ++i) await act('forward'); // one was taken above
  await page.evaluate(() => {
    URL.createObjectURL = (blob) => {
      window.saved = blob;
      return 'blob:saved';
    };
    window.realClick = HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click = function () { window.savedAs = this.download; };
  });
  await act('save-record');
  await page.evaluate(() => { HTMLAnchorElement.prototype.click = window.realClick; });
  assert.equal(await page.evaluate(() => window.savedAs), 'ZUBEKI.zbk');
  assert.equal(await page.evaluate(() => window.saved.text()), zbk);
});

test('the sound: on and off, its waves fetched and decoded, the choice kept', async () => {
  const other = await browser.newPage();
  await other.goto(url);
  const soundState = () => other.evaluate(() => [document.body.dataset.sound,
    document.querySelector('[data-action="sound"]').getAttribute('aria-pressed')]);
  assert.deepEqual(await soundState(), ['off', 'false']);
  await other.click('[data-action="sound"]');
  await other.waitForFunction(() => document.body.dataset.wavesDecoded !== undefined);
  assert.deepEqual(await soundState(), ['on', 'true']);
  assert.equal(await other.evaluate(() => document.body.dataset.wavesDecoded), '5');
  const fetched = await other.evaluate(() => performance.getEntriesByType('resource')
    .map((e) => decodeURIComponent(e.name)).filter((n) => n.includes('/sounds/')).map((n) => n.split('/').pop()));
  assert.deepEqual(fetched.sort(), ['BGM.wav', '消滅.wav', '禁止.wav', '終局.wav', '駒打音.wav'].sort());
  // The very bytes the window plays: its generator's, run here afresh.
  if (process.env.ZUBEKI_WAVEGEN) {
    const folder = await mkdtemp(join(tmpdir(), 'zubeki-waves-'));
    execFileSync(process.env.ZUBEKI_WAVEGEN, [folder]);
    for (const wave of fetched) {
      const served = await other.evaluate(async (w) => [...new Uint8Array(await (await fetch(`./sounds/${w}`)).arrayBuffer())], wave);
      assert.ok(Buffer.from(served).equals(await readFile(join(folder, wave))), wave);
    }
  }
  await other.reload();
  assert.deepEqual(await soundState(), ['on', 'true']);
  await other.click('[data-action="sound"]');
  assert.deepEqual(await soundState(), ['off', 'false']);
  await other.close();
});

test('the first paint with an empty cache shows the board', async (t) => {
  const fresh = await browser.createBrowserContext();
  const first = await fresh.newPage();
  await first.setCacheEnabled(false);
  // What the page holds when the browser reports its first paint with content.
  await first.evaluateOnNewDocument(() => {
    new PerformanceObserver((list) => {
      for (const e of list.getEntries())
        if (e.name === 'first-contentful-paint')
          window.firstPaint = { time: e.startTime, squares: document.querySelectorAll('[data-square] img').length };
    }).observe({ type: 'paint', buffered: true });
  });
  await first.goto(url);
  await first.waitForFunction(() => window.firstPaint);
  const painted = await first.evaluate(() => window.firstPaint);
  assert.equal(painted.squares, 81);
  t.diagnostic(`first contentful paint: ${painted.time.toFixed(0)} ms`);
  await fresh.close();
  // The scripts and the WebAssembly the page loads, as a server compressing with gzip sends them.
  const scripts = [...(await readdir(join(site, 'assets'))).filter((f) => f.endsWith('.js')).map((f) => join('assets', f)),
                   'core/zubeki-core.js', 'core/zubeki-core.wasm'];
  let size = 0;
  for (const f of scripts) size += gzipSync(await readFile(join(site, f)), { level: 9 }).length;
  t.diagnostic(`JavaScript + WebAssembly with gzip: ${(size / 1024).toFixed(0)} KiB`);
  assert.ok(size <= 1.5 * 1024 * 1024, `${size} bytes`);
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
