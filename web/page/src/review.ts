// The 検討 panel: LEVEL4 looks back on the game in the worker, one position at a time, while the
// list of moves with their marks, the graph of the lower side's winning chance and the summary
// per side fill in. Choosing a move (a row or a point of the graph) shows the position it was
// played in on the board, LEVEL4's move there outlined, and its line under the graph.
import type { ReviewEntry, ReviewSummary } from './protocol';
import { t, windowText } from './texts';

const MARKS: Record<string, string> = { inaccuracy: '?!', mistake: '?', blunder: '??' };
const MARK_NAMES: Record<string, string> = { inaccuracy: '疑問手', mistake: '悪手', blunder: '大悪手' };
const SVG = 'http://www.w3.org/2000/svg';
const WIDTH = 300;
const HEIGHT = 100;

let entries: ReviewEntry[] = [];
let summary: ReviewSummary | undefined;
let stopped = false;
let selected = -1;
let choose: (index: number) => void = () => {};

function element<K extends keyof HTMLElementTagNameMap>(tag: K, attrs: Record<string, string> = {}) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  return e;
}

// The panel, hidden until a review opens; `onChoose` shows entry `index` on the board.
export function buildReview(onChoose: (index: number) => void, onStop: () => void, onClose: () => void) {
  choose = onChoose;
  const panel = element('section', { id: 'review', hidden: '' });
  const heading = element('h2', { 'data-label': '検討' });
  const graph = document.createElementNS(SVG, 'svg');
  graph.setAttribute('class', 'chance');
  graph.setAttribute('viewBox', `-4 -4 ${WIDTH + 8} ${HEIGHT + 8}`);
  graph.setAttribute('role', 'img');
  graph.addEventListener('click', (e) => {
    if (!summary || summary.total === 0 || entries.length === 0) return;
    const box = graph.getBoundingClientRect();
    const x = ((e.clientX - box.left) / box.width) * (WIDTH + 8) - 4;
    const index = Math.round((x / WIDTH) * summary.total) - 1;
    choose(Math.max(0, Math.min(entries.length - 1, index)));
  });
  const line = element('p', { class: 'review-line' });
  const table = element('table', { class: 'review-moves' });
  const head = element('tr');
  for (const label of ['手数', '指し手', '先手から見た評価', '印']) head.append(element('th', { 'data-label': label }));
  table.append(element('thead'), element('tbody'));
  table.tHead!.append(head);
  const summaryText = element('p', { class: 'review-summary' });
  const progress = element('progress', { max: '1', value: '0' });
  const stop = element('button', { type: 'button', 'data-action': 'review-stop', 'data-label': '中止' });
  stop.addEventListener('click', onStop);
  const close = element('button', { type: 'button', 'data-action': 'review-close', 'data-label': '閉じる' });
  close.addEventListener('click', onClose);
  const buttons = element('div', { class: 'review-buttons' });
  buttons.append(progress, stop, close);
  panel.append(heading, graph, line, element('div', { class: 'review-list' }), summaryText, buttons);
  panel.querySelector('.review-list')!.append(table);
  return panel;
}

function panel(): HTMLElement {
  return document.getElementById('review')!;
}

export function openReview(first: ReviewSummary): void {
  entries = [];
  stopped = false;
  selected = -1;
  summary = first;
  panel().hidden = false;
  panel().querySelector('tbody')!.replaceChildren();
  panel().querySelector('.review-line')!.textContent = '';
  renderReview();
}

export function closeReview(): void {
  panel().hidden = true;
  entries = [];
  summary = undefined;
}

export function reviewOpen(): boolean {
  return !panel().hidden;
}

// Entries the worker finished, with how far it is; `halted` once 中止 stopped it.
export function addReview(made: ReviewEntry[], now: ReviewSummary, halted = false): void {
  if (panel().hidden) return;
  summary = now;
  stopped ||= halted;
  const body = panel().querySelector('tbody')!;
  for (const e of made) {
    entries.push(e);
    const row = element('tr', { 'data-review-index': String(e.index), tabindex: '0' });
    row.addEventListener('click', () => choose(e.index));
    row.addEventListener('keydown', (k) => {
      if (k.key === 'Enter' || k.key === ' ') choose(e.index);
      else if (k.key === 'ArrowDown' || k.key === 'ArrowUp') {
        const next = e.index + (k.key === 'ArrowDown' ? 1 : -1);
        if (next >= 0 && next < entries.length) {
          (body.children[next] as HTMLElement).focus();
          choose(next);
        }
      } else return;
      k.preventDefault();
      k.stopPropagation();
    });
    for (let c = 0; c < 4; ++c) row.append(element('td'));
    if (e.verdict) row.dataset.verdict = e.verdict;
    body.append(row);
  }
  renderReview();
}

// Entry `index` was chosen: its row and its point are marked, LEVEL4's line is written.
export function selectReview(index: number): void {
  selected = index;
  renderReview();
}

function scoreText(e: ReviewEntry): string {
  if (e.ends) return t(e.pass ? '引き分け' : e.side < 0 ? '先手勝ち' : '後手勝ち');
  if (e.score.kind === 'win') return t('先手勝ち(%1手)').replace('%1', String(e.score.value));
  if (e.score.kind === 'loss') return t('後手勝ち(%1手)').replace('%1', String(e.score.value));
  return e.score.value > 0 ? `+${e.score.value}` : String(e.score.value);
}

function moveText(e: ReviewEntry): string {
  return (e.side < 0 ? '☗' : '☖') + (e.pass ? t('パス') : e.move);
}

function sideSummary(side: string, s: ReviewSummary['lower']): string {
  return t('%1：疑問手 %2　悪手 %3　大悪手 %4　平均損失 %5%')
    .replace('%1', windowText(side)).replace('%2', String(s.inaccuracies)).replace('%3', String(s.mistakes))
    .replace('%4', String(s.blunders)).replace('%5', (100 * s.averageLoss).toFixed(1));
}

function point(x: number, chance: number, total: number): string {
  return `${((x / Math.max(1, total)) * WIDTH).toFixed(1)},${(HEIGHT - chance).toFixed(1)}`;
}

function drawGraph(total: number): void {
  const graph = panel().querySelector('svg')!;
  const shape = (tag: string, attrs: Record<string, string>) => {
    const e = document.createElementNS(SVG, tag);
    for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
    return e;
  };
  const parts: Element[] = [shape('rect', { x: '0', y: '0', width: String(WIDTH), height: String(HEIGHT), class: 'frame' })];
  parts.push(shape('line', { x1: '0', x2: String(WIDTH), y1: '50', y2: '50', class: 'even' }));
  if (entries.length > 0) {
    const points = [point(entries[0].index, entries[0].lowerBefore, total),
                    ...entries.map((e) => point(e.index + 1, e.lowerAfter, total))];
    parts.push(shape('polyline', { points: points.join(' '), class: 'chance-line' }));
  }
  for (const e of entries) {
    if (e.verdict !== 'mistake' && e.verdict !== 'blunder') continue;
    const [cx, cy] = point(e.index + 1, e.lowerAfter, total).split(',');
    parts.push(shape('circle', { cx, cy, r: '3', class: e.verdict }));
  }
  if (selected >= 0) {
    const x = point(selected + 1, 0, total).split(',')[0];
    parts.push(shape('line', { x1: x, x2: x, y1: '0', y2: String(HEIGHT), class: 'selected' }));
  }
  const title = shape('title', {});
  title.textContent = t('先手の勝率');
  graph.setAttribute('aria-label', t('先手の勝率'));
  graph.replaceChildren(title, ...parts);
}

// Every text of the panel in the page's language, and the graph.
export function renderReview(): void {
  const p = panel();
  for (const e of p.querySelectorAll<HTMLElement>('[data-label]')) e.textContent = t(e.dataset.label!);
  if (p.hidden || !summary) return;
  const rows = p.querySelectorAll<HTMLTableRowElement>('tbody tr');
  entries.forEach((e, i) => {
    const cells = rows[i].cells;
    cells[0].textContent = String(e.n);
    cells[1].textContent = moveText(e);
    cells[2].textContent = scoreText(e);
    cells[3].textContent = MARKS[e.verdict] ?? '';
    rows[i].title = t('%1手目 %2　%3').replace('%1', String(e.n)).replace('%2', moveText(e))
      .replace('%3', scoreText(e)) + (e.verdict ? '　' + t(MARK_NAMES[e.verdict]) : '');
    rows[i].classList.toggle('selected', i === selected);
  });
  const s = summary;
  let text = `${sideSummary('先手', s.lower)}\n${sideSummary('後手', s.upper)}`;
  if (stopped && s.done < s.total)
    text += '\n' + t('途中まで：全%2手のうち%1手').replace('%1', String(s.done)).replace('%2', String(s.total));
  p.querySelector('.review-summary')!.textContent = text;
  const progress = p.querySelector('progress')!;
  progress.max = Math.max(1, s.total);
  progress.value = s.done;
  progress.hidden = !s.running || stopped;
  (p.querySelector('[data-action="review-stop"]') as HTMLElement).hidden = !s.running || stopped;
  p.dataset.running = String(s.running && !stopped);
  const e = entries[selected];
  p.querySelector('.review-line')!.textContent = e
    ? t('%1手目 %2　読み筋：%3').replace('%1', String(e.n)).replace('%2', e.pass ? t('パス') : e.move)
        .replace('%3', e.pv.map((m) => (m === 'パス' ? t('パス') : m)).join(' '))
    : '';
  drawGraph(s.total);
}
