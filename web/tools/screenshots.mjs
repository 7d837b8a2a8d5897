// The README's pictures of the page, taken in Debian's chromium from the built site:
//   node --no-experimental-fetch web/tools/screenshots.mjs build/web/site docs
// a desktop window with a game, its moves and the review beside the board, and a phone held
// upright (390×844) in the middle of a game.
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { serveSite } from './serve_site.mjs';
import { levelOneMoves } from './level_one_moves.mjs';

const [siteArg = 'build/web/site', out = 'docs'] = process.argv.slice(2);
const require = createRequire(resolve('web/page/package.json'));
const puppeteer = require('puppeteer-core');
const { url, close } = await serveSite(resolve(siteArg));
const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
                                         args: ['--no-sandbox', '--lang=ja'] });
const Z = await require(resolve(siteArg, 'core/zubeki-core.js'))();

const MOVES = levelOneMoves(Z, 12);

async function play(page) {
  // The page speaks the browser's language: Japanese, as the window on a Japanese desktop.
  await page.evaluateOnNewDocument(() => Object.defineProperty(navigator, 'language', { get: () => 'ja' }));
  await page.goto(url);
  const idle = () => page.waitForFunction(() => !document.body.dataset.busy && document.querySelector('[data-piece]'));
  await idle();
  await page.click('[data-action="new-two-players"]');
  await idle();
  for (const m of MOVES) {
    await page.click(`[data-square="${m.slice(0, 2)}"]`);
    await idle();
    await page.click(`[data-square="${m.slice(2, 4)}"]`, { button: m.endsWith('+') ? 'right' : 'left' });
    await idle();
  }
  return idle;
}

try {
  const desktop = await browser.newPage();
  await desktop.setViewport({ width: 1100, height: 760 });
  const idle = await play(desktop);
  await desktop.click('[data-action="review"]');
  await desktop.waitForFunction(() => document.getElementById('review')?.dataset.running === 'false');
  await desktop.click('[data-review-index="7"]');
  await idle();
  await desktop.screenshot({ path: join(out, 'screenshot-web.png') });

  const phone = await browser.newPage();
  await phone.setViewport({ width: 390, height: 844, hasTouch: true, isMobile: true, deviceScaleFactor: 1 });
  await play(phone);
  await phone.screenshot({ path: join(out, 'screenshot-web-phone.png') });
} finally {
  await browser.close();
  close();
}
