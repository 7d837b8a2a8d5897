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
}

// After each command: the events it caused, and the game as it then stands.
export interface Reply {
  events: GameEvent[];
  position: string;
  // The position when the game ended, before a new one was set up.
  finalPosition?: string;
  session: Session;
  record?: Uint8Array; // for save-record
  error?: string;
}
