// The board as the position notation writes it: ranks from the top, squares from the left.

export const FILES = 'abcdefghi';
export const START_POSITION = '6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1';

// The notation square of column x (1..9 from the left) and row y (1..9 from the top): "7g".
export function squareName(x: number, y: number): string {
  return `${10 - x}${FILES[y - 1]}`;
}

export interface Board {
  pieces: Map<string, string>; // square → piece letter ("R", "+b", …)
  side: 'l' | 'u';
  check: Set<string>;
}

// Reads the board, the side to move and the check squares of a position's notation.
export function readPosition(text: string): Board {
  const [ranks, side, check] = text.split(' ');
  const pieces = new Map<string, string>();
  ranks.split('/').forEach((rank, row) => {
    let x = 1;
    let promoted = '';
    for (const c of rank) {
      if (c >= '1' && c <= '9') x += Number(c);
      else if (c === '+') promoted = '+';
      else {
        pieces.set(squareName(x++, row + 1), promoted + c);
        promoted = '';
      }
    }
  });
  const checkSquares = new Set<string>();
  if (check && check !== '-') for (const square of check.split(',')) checkSquares.add(square);
  return { pieces, side: side === 'u' ? 'u' : 'l', check: checkSquares };
}

// The picture of a piece letter, or of an empty square.
export function pictureOf(piece: string | undefined): string {
  if (!piece) return 'kara_masu.png';
  const promoted = piece.startsWith('+') ? '1' : '0';
  const letter = piece.slice(-1);
  const owner = letter === letter.toUpperCase() ? 'sita' : 'ue';
  const kind = letter.toLowerCase() === 'r' ? 'sya' : 'kaku';
  return `${owner}_${kind}${promoted}.png`;
}
