// The WebAssembly core under Node, against the native zubeki-cli where one is given:
//   node --no-experimental-fetch core_test.mjs zubeki-core.js [zubeki-cli]
// the rules (perft and the legal moves), the computer at LEVEL1 move for move, the game's flow
// with its events, and records read and written byte for byte as the native writer writes them.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { test } from 'node:test';

const [corePath, cliArg] = process.argv.slice(2);
const cliPath = cliArg && resolve(cliArg);
const createZubeki = createRequire(import.meta.url)(resolve(corePath));
const Z = await createZubeki();
const cli = (...args) => JSON.parse(execFileSync(cliPath, args, { encoding: 'utf8' }));
const native = { skip: cliPath ? false : 'no native zubeki-cli given' };

// A square of zubeki-cli's JSON ([x, y], x from the left, y from the top) in the notation.
const square = ([x, y]) => `${10 - x}${'abcdefghi'[y - 1]}`;

// Plays `moves` from the start and answers the position (to be deleted by the caller).
function after(moves) {
  const p = new Z.Position();
  for (const m of moves) assert.equal(p.play(m).ok, true, m);
  return p;
}

test('the start position has the legal moves and perft of the native rules', native, () => {
  const p = new Z.Position();
  assert.equal(p.text(), Z.START_POSITION);
  assert.equal(p.legalMoves().length, p.perft(1));
  for (const depth of [1, 2, 3])
    assert.equal(p.perft(depth), cli('perft', '--depth', String(depth)).nodes, `depth ${depth}`);
  p.delete();
});

test('a move tells what it did, and a wrong one why it is refused', () => {
  const p = new Z.Position();
  const refused = p.play('5e5d');
  assert.equal(refused.ok, false);
  assert.notEqual(refused.why, '');
  const first = p.legalMoves()[0];
  const played = p.play(first);
  assert.equal(played.ok, true);
  assert.equal(played.move.text, first);
  assert.equal(played.end, 'none');
  assert.equal(p.side(), 1);
  assert.equal(p.piece(played.move.to), played.move.piece);
  assert.equal(p.setText('nonsense') !== '', true);
  p.delete();
});

// The computer at LEVEL1 on both sides, the clock's digit fixed by the move number.
function level1Game(length) {
  const computer = new Z.Computer();
  const p = new Z.Position();
  const moves = [];
  while (moves.length < length) {
    const c = computer.choose(p, 1, moves.length % 10);
    if (!c.found) break;
    assert.ok(p.legalMoves().includes(c.move.text), c.move.text);
    moves.push(c.move.text);
    if (p.play(c.move.text).end !== 'none') break;
  }
  computer.delete();
  p.delete();
  return moves;
}

test('LEVEL1 chooses the native computer\'s moves', native, () => {
  const moves = level1Game(24);
  assert.ok(moves.length > 10);
  moves.forEach((m, i) => {
    const t = cli('think', '--position', Z.START_POSITION, '--moves', moves.slice(0, i).join(' '),
                  '--level', '1', '--digit', String(i % 10));
    const text = `${square(t.from)}${square(t.to)}${t.result !== t.piece ? '+' : ''}`;
    assert.equal(m, text, `move ${i + 1}`);
  });
});

test('a game against LEVEL1 by presses reports its moves to the listener', () => {
  const seen = [];
  const listener = {
    moveBegun: (e) => seen.push(e.move.text),
    computerMoveShown: (e) => assert.equal(e.byComputer, true),
    ask: (q) => (q.yesNo ? 'no' : 'ok'),
  };
  const game = new Z.Game(listener);
  game.startUp(1, true);
  game.newGame();
  game.vsComputerFirst();
  for (let turn = 0; turn < 6 && game.session().side !== 0; ++turn) {
    const p = new Z.Position();
    p.setText(game.position());
    const move = p.legalMoves().find((m) => m !== 'pass' && !m.endsWith('+'));
    p.delete();
    game.press(1, move.slice(0, 2));
    game.press(1, move.slice(2, 4));
  }
  assert.ok(seen.length >= 6);
  const replayed = after(seen);
  assert.equal(replayed.text(), game.position());
  replayed.delete();
  // The game's own record holds the same moves as one written from them.
  const header = ['test', 'ｺﾝﾋﾟｭｰﾀ', '人間'];
  const own = game.recordBytes(...header);
  const written = Z.writeRecord(header, seen, -1);
  assert.equal(own.ok && written.ok, true, own.error + written.error);
  assert.deepEqual(own.bytes, written.bytes);
  // 戻 and 進 step through the list, each step with the position it leaves on the board.
  const steps = [];
  Object.assign(listener, {
    steppedBack: (e) => steps.push(['back', e.position, e.from, e.to]),
    steppedForward: (e) => steps.push(['forward', e.position, e.from, e.to]),
  });
  game.back();
  game.back();
  game.forward();
  const stepped = (n) => {
    const p = after(seen.slice(0, n));
    const text = p.text().split(' ')[0];
    p.delete();
    return text;
  };
  assert.deepEqual(steps.map(([way, position]) => [way, position.split(' ')[0]]),
                   [['back', stepped(seen.length - 1)], ['back', stepped(seen.length - 2)],
                    ['forward', stepped(seen.length - 1)]]);
  assert.equal(steps[0][2] + steps[0][3], seen.at(-1).slice(0, 4));
  game.delete();
});

test('records read and written byte for byte as zubeki-cli writes them', native, () => {
  const dir = mkdtempSync(join(tmpdir(), 'zubeki-web-'));
  cli('selfplay', '--games', '2', '--level', '1', '--seed', '7', '--records', dir);
  const names = readdirSync(dir).filter((f) => f.endsWith('.棋譜'));
  assert.equal(names.length, 2);
  for (const name of names) {
    const bytes = new Uint8Array(readFileSync(join(dir, name)));
    const read = Z.readRecord(bytes);
    assert.equal(read.ok, true, read.error);
    assert.ok(read.moves.length > 0);
    const written = Z.writeRecord(read.header, read.moves, read.firstSide);
    assert.equal(written.ok, true, written.error);
    assert.deepEqual(written.bytes, bytes, name);
  }
  // Names in half-width katakana and the code page's extensions survive the round trip.
  const header = ['①髙∥ｺﾝﾋﾟｭｰﾀ', '～－＼', 'abc'];
  const again = Z.readRecord(Z.writeRecord(header, ['9g9f'], -1).bytes);
  assert.deepEqual(again.header, header);
});

test('the review, one position a call, answers as zubeki-cli analyse and steps the board', native, () => {
  const moves = level1Game(8);
  const events = [];
  const game = new Z.Game({
    hintOutlined: (a, b) => events.push(a + b),
    ask: (q) => (q.yesNo ? 'no' : 'ok'),
  });
  game.startUp(3, true);
  game.newGame();
  assert.equal(game.reviewOpen(4000), '検討する手がありません');
  game.twoPlayers();
  for (const m of moves) {
    game.press(1, m.slice(0, 2));
    game.press(m.endsWith('+') ? 2 : 1, m.slice(2, 4));
  }
  assert.equal(game.moves().map((m) => m.side).join(), moves.map((_, i) => (i % 2 ? 1 : -1)).join());
  assert.equal(game.reviewOpen(4000), '');
  const entries = [];
  for (let calls = 0; game.reviewSummary().running && calls < 100; ++calls) entries.push(...game.reviewStep());
  const summary = game.reviewSummary();
  assert.deepEqual([summary.done, summary.total], [moves.length, moves.length]);
  const native = cli('analyse', '--position', Z.START_POSITION, '--moves', moves.join(' '),
                     '--nodes', '4000', '--threads', '1');
  assert.deepEqual(entries.map((e) => [e.best.text, e.verdict || null]),
                   native.moves.map((m) => [m.best, m.verdict]));
  assert.equal(summary.lower.mistakes, native.summary.l.mistake);
  // The position move 3 was played in, LEVEL4's move there outlined.
  game.reviewShow(2);
  const shown = after(moves.slice(0, 2));
  assert.equal(game.position(), shown.text());
  shown.delete();
  assert.deepEqual(events, [entries[2].best.from + entries[2].best.to]);
  game.delete();
});
