// The page's half of a game against a window: joins the game a window created and plays the
// upper side's moves of the capture game by clicks, each once the window's move before it has
// come; says on standard output what it did, a line at a time, for the script that drives the
// window (tests/e2e/online_window_page.sh):
//   node tests/web/join_window.mjs SITE SERVER CODE
// prints "joined SIDE", "moved N ROWS" after its move N has been played (ROWS: the board as
// the window's screenshot checker reads it, row 1 first and file 9 leftmost, '/' between rows),
// and at the end "ended RESULT REASON MOVES" with what the page shows; a failure is said on
// standard error with exit status 1. Every wait is bounded.
import { resolve } from 'node:path';
import { serveSite } from '../../web/tools/serve_site.mjs';
import { GAME, fill, newPage, play, playing, position, puppeteer } from './online_page.mjs';

const [site, address, code] = process.argv.slice(2);
const movesShown = (page) => page.$$eval('#moves li', (l) => l.length);
const movesAre = (page, k, timeout) =>
  page.waitForFunction((n) => document.querySelectorAll('#moves li').length === n, { timeout }, k);

// The position's board in the checker's letters: R and B the upper side's (this notation's
// lower-case), r and b the lower side's, promoted or not; . an empty square.
const rowsOf = (text) => text.split(' ')[0].split('/')
  .map((rank) => rank.replace(/\+/g, '').replace(/[1-9]/g, (n) => '.'.repeat(Number(n)))
    .replace(/[a-z]/gi, (c) => (c === c.toUpperCase() ? c.toLowerCase() : c.toUpperCase())))
  .join('/');

const served = await serveSite(resolve(site));
const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
                                         args: ['--no-sandbox', '--lang=ja'] });
let status = 0;
try {
  const page = await newPage(browser, served.url);
  await fill(page, { 'online-name': 'ページ', 'online-server': address, 'online-code': code });
  await page.click('[data-action="online-join"]');
  await playing(page);
  console.log(`joined ${await page.$eval('#online', (e) => e.dataset.side)}`);
  for (let n = 1; n < GAME.length; n += 2) {
    // The window's move n (counted from 0) has come: the page's turn.
    await movesAre(page, n, 120000);
    await play(page, GAME[n]);
    await movesAre(page, n + 1, 10000);
    console.log(`moved ${n + 1} ${rowsOf(await position(page))}`);
  }
  await page.waitForFunction(() => document.getElementById('online').dataset.result, { timeout: 20000 });
  const [result, reason] = await page.$eval('#online', (e) => [e.dataset.result, e.dataset.reason]);
  console.log(`ended ${result} ${reason} ${await movesShown(page)}`);
} catch (e) {
  console.error(String(e?.stack ?? e));
  status = 1;
} finally {
  await browser.close();
  served.close();
}
process.exit(status);
