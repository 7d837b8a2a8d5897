// The page online as its tests drive it in Debian's chromium: a page of its own, the online
// form filled in, moves by clicks, and what the page shows of its game.
import { createRequire } from 'node:module';

const require = createRequire(new URL('../../web/page/package.json', import.meta.url));
export const puppeteer = require('puppeteer-core');

// LEVEL4 against itself from the start (zubeki-cli selfplay --seed 3 --level 4 --nodes 3000,
// its first game): the upper side surrounds a group at move 18.
export const GAME = ['7i4i', '2c6g', '7h6i', '6g7f', '8g7h', '1b6g', '7h9f', '6g7h+', '6i4g', '7f8g+',
                     '9f5b', '3c3i', '4i4h', '3b7f', '5b4c', '3a3g', '4g5f', '3g6g'];

export const idle = (page) => page.waitForFunction(() => !document.body.dataset.busy && document.querySelector('[data-piece]'),
                                                   { timeout: 20000 });
export const state = (page) => page.$eval('#online', (e) => e.dataset.state);
export const position = (page) => page.$eval('#board', (e) => e.dataset.position);
export const boardOf = (text) => text.split(' ')[0];
export const playing = (page) => page.waitForFunction(() => document.getElementById('online').dataset.state === 'playing',
                                                      { timeout: 20000 });

// A page of its own (its own storage) at `url`, accepting what it asks (投了, a draw offered);
// the commands it sends its worker listed in window.sent.
export async function newPage(browser, url) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on('dialog', (d) => void d.accept());
  await page.evaluateOnNewDocument(() => {
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function (m, ...rest) {
      (window.sent ??= []).push(m?.call);
      return post.call(this, m, ...rest);
    };
  });
  await page.goto(url);
  await idle(page);
  return page;
}

// The online form opened and filled in: the fields given by their ids, the side by its value.
export async function fill(page, fields) {
  await page.click('[data-action="online"]');
  for (const [id, text] of Object.entries(fields)) {
    if (id === 'online-side') await page.select(`#${id}`, text);
    else {
      await page.$eval(`#${id}`, (e) => (e.value = ''));
      await page.type(`#${id}`, text);
    }
  }
}

// A move by clicks: the piece, then where it goes (the right button promotes).
export async function play(page, move) {
  await page.click(`[data-square="${move.slice(0, 2)}"]`);
  await idle(page);
  await page.click(`[data-square="${move.slice(2, 4)}"]`, { button: move.endsWith('+') ? 'right' : 'left' });
  await idle(page);
}
