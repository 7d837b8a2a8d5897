// The game runs here, off the page's thread, so that LEVEL4's second of thinking never freezes
// the page: the page sends commands, the worker answers with the events they caused.
/// <reference lib="webworker" />
import type { Asked, Command, GameEvent, Reply, WorkerMessage } from './protocol';

declare function importScripts(...urls: string[]): void;
declare function createZubeki(options: object): Promise<any>;

const coreUrl = new URL('../core/', self.location.href).href;
importScripts(coreUrl + 'zubeki-core.js');

// Boxes that go on with a "yes": resume from a position stepped back to. "Play again?" is answered
// no, so that the finished game stays on the board with its record, as zubeki-cli leaves it (the
// page ignores the program's end that the window would take).
const SAY_RESUME_HERE = 12;
const SAY_WINS = 3;
const SAY_DRAWN = 2;

const EVENT_NAMES = [
  'positionShown', 'twoPlayerGame', 'levelShown', 'moveBegun', 'pieceMoved', 'checksSet',
  'computerMoveShown', 'groupCaptured', 'thinking', 'marksCleared', 'piecePicked', 'pickMoved',
  'checkPiecesBlink', 'steppedBack', 'steppedForward', 'hintOutlined', 'hintCleared', 'soundDue',
  'closeRecordPanel', 'restart', 'quit', 'showHint',
];

let events: GameEvent[] = [];
let finalPosition: string | undefined;
let game: any;

function listener(Z: any): object {
  const l: Record<string, unknown> = {};
  for (const name of EVENT_NAMES) l[name] = (...args: unknown[]) => void events.push([name, ...args]);
  // The squares the picked piece may go to, for the move guide.
  // And those where it may promote, for the choice a touch screen offers.
  const guide = (square: string, show: boolean) => {
    const p = new Z.Position();
    p.setText(game.position());
    const squares: string[] = show ? p.destinations(square) : [];
    const promoting = (p.legalMoves() as string[])
      .filter((m) => m.startsWith(square) && m.endsWith('+'))
      .map((m) => m.slice(2, 4));
    p.delete();
    return [squares, promoting];
  };
  l.piecePicked = (square: string, piece: string, own: boolean, show: boolean) =>
    void events.push(['piecePicked', square, piece, own, show, ...guide(square, show)]);
  l.pickMoved = (from: string, square: string, piece: string, own: boolean, show: boolean) =>
    void events.push(['pickMoved', from, square, piece, own, show, ...guide(square, show)]);
  l.ask = (q: Asked) => {
    events.push(['ask', { ...q }]);
    if (q.what === SAY_WINS || q.what === SAY_DRAWN) finalPosition = game.position();
    if (!q.yesNo) return 'ok';
    return q.what === SAY_RESUME_HERE ? 'yes' : 'no';
  };
  return l;
}

const ready = createZubeki({ locateFile: (file: string) => coreUrl + file }).then((Z) => {
  game = new Z.Game(listener(Z));
  game.startUp(3, true);
  game.setBudget(1000, 0);
  game.newGame();
  return Z;
});

// 検討 runs here between the page's commands: one position a turn of the worker's loop, so a
// press or 中止 is answered within one search.
let reviewRun = 0; // the turns going on; a new start, 中止 or closing ends the last ones
let reviewTurning = false;
let reviewFollows = false; // open and not stopped: the game's new moves join it

function post(message: WorkerMessage): void {
  self.postMessage(message);
}

function reviewTurn(run: number): void {
  if (run !== reviewRun) return;
  const entries = game.reviewStep();
  const summary = game.reviewSummary();
  post({ kind: 'review', entries, summary });
  reviewTurning = summary.running;
  if (reviewTurning) setTimeout(() => reviewTurn(run), 0);
}

function startReviewTurns(): void {
  const run = ++reviewRun;
  reviewTurning = true;
  setTimeout(() => reviewTurn(run), 0);
}

function endReviewTurns(): void {
  ++reviewRun;
  reviewTurning = false;
  reviewFollows = false;
}

// The review's commands: open (the reply says why not, or begins the list), stop, close.
function review(call: string, reply: Partial<Reply>): void {
  if (call === 'reviewOpen') {
    endReviewTurns();
    reply.error = game.reviewOpen(0) || undefined;
    if (reply.error) return;
    reply.review = { entries: [], summary: game.reviewSummary(), opened: true };
    reviewFollows = true;
    startReviewTurns();
  } else if (call === 'reviewStop') {
    endReviewTurns();
    reply.review = { entries: [], summary: game.reviewSummary(), stopped: true };
  } else {
    endReviewTurns();
    game.reviewClose();
  }
}

// After a move on the board: the review takes it in when the game it looks at went on.
function followReview(reply: Partial<Reply>): void {
  if (!reviewFollows || !game.reviewFollow()) return;
  reply.review = { entries: [], summary: game.reviewSummary() };
  if (!reviewTurning) startReviewTurns();
}

function run(Z: any, command: Command): Reply {
  events = [];
  finalPosition = undefined;
  const reply: Partial<Reply> = {};
  if (['reviewOpen', 'reviewStop', 'reviewClose'].includes(command.call)) {
    review(command.call, reply);
  } else if (command.call === 'saveRecord') {
    const [name, upper, lower] = command.args as string[];
    const r = game.recordBytes(name, upper, lower);
    if (r.ok) {
      reply.record = r.bytes;
      reply.recordIsZbk = r.zbk;
    } else {
      reply.error = r.error;
    }
  } else if (command.call === 'openRecord') {
    reply.error = game.loadRecord(command.args[0]) || undefined;
  } else if (command.call !== 'hello') {
    game[command.call](...command.args);
    followReview(reply);
  }
  void Z;
  return { ...reply, kind: 'reply', call: command.call, events, finalPosition, position: game.position(),
           moves: game.moves(), session: game.session(), line: game.line() };
}

self.onmessage = async (message: MessageEvent<Command>) => {
  const Z = await ready;
  post(run(Z, message.data));
};
