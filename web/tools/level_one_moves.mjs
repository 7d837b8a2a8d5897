// Moves of LEVEL1 against itself from the start, the clock's digit fixed: the same game every
// time, for the page's test and its screenshots. `Z` is the loaded core.
export function levelOneMoves(Z, count) {
  const computer = new Z.Computer();
  const p = new Z.Position();
  const moves = [];
  while (moves.length < count) {
    const c = computer.choose(p, 1, moves.length % 10);
    if (!c.found || p.play(c.move.text).end !== 'none') break;
    moves.push(c.move.text);
  }
  computer.delete();
  p.delete();
  return moves;
}
