// What the page and the game's worker say to each other.

// A call of the core's Game (press, back, hint, …) or of the worker's own record routines.
export interface Command {
  call: string;
  args: unknown[];
}

// One event of the game as the core reported it: its name and its values.
export type GameEvent = [string, ...unknown[]];

// A box the game asked: its text and title in Japanese, as the window shows them.
export interface Asked {
  what: number;
  text: string;
  title: string;
  value: string;
  yesNo: boolean;
}

export interface Session {
  side: number; // -1 lower, +1 upper, 0 no game
  againstComputer: boolean;
  level: number;
  reversed: boolean;
  recordLength: number;
  recordPosition: number;
  online: boolean; // a game online is on the board
}

// A move of the list beside the board, in the board's notation ("３四角").
export interface ListedMove {
  n: number;
  side: number;
  text: string;
}

// One move of the review: the move, LEVEL4's move and line in the position before it, the score
// after it for the lower side, the lower side's chance (percent) before and after, the verdict.
export interface ReviewEntry {
  index: number;
  n: number;
  side: number;
  move: string;
  pass: boolean;
  best: { text: string; from?: string; to?: string };
  pv: string[];
  score: { kind: 'value' | 'win' | 'loss'; value: number };
  ends: boolean;
  lowerBefore: number;
  lowerAfter: number;
  verdict: '' | 'inaccuracy' | 'mistake' | 'blunder';
}

export interface SideSummary {
  moves: number;
  inaccuracies: number;
  mistakes: number;
  blunders: number;
  averageLoss: number;
}

export interface ReviewSummary {
  running: boolean;
  done: number;
  total: number;
  lower: SideSummary;
  upper: SideSummary;
}

// How the review stands: the entries made since the last word, and the summary.
export interface ReviewProgress {
  entries: ReviewEntry[];
  summary: ReviewSummary;
  opened?: boolean; // the review has just begun
  stopped?: boolean; // 中止 ended it
}

// After each command: the events it caused, and the game as it then stands.
export interface Reply {
  kind: 'reply';
  call: string; // the command answered
  line: string[]; // the moves and passes of the game begun last, as move strings
  events: GameEvent[];
  position: string;
  moves: ListedMove[];
  // The position when the game ended, before a new one was set up.
  finalPosition?: string;
  session: Session;
  record?: Uint8Array; // for save-record
  recordIsZbk?: boolean; // a game from a set-up position: a .zbk file, not a .棋譜 record
  error?: string;
  review?: ReviewProgress;
}

// The worker's words: the reply to each command, and the review's progress between them.
export type WorkerMessage = Reply | ({ kind: 'review' } & ReviewProgress);
