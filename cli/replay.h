#pragma once

#include <string>
#include <vector>

#include "game/position.h"
#include "play/game.h"
#include "record/movelist.h"
#include "record/zbk.h"

namespace zubeki::cli {

// A move of the record as the replay found it: its number, the move, and what it did.
struct ReplayedMove {
    int n = 0;
    Move move;
    bool legal = false;
    MoveOutcome outcome; // empty for an illegal move
};

struct Replay {
    std::vector<ReplayedMove> moves; // every move played, then the refused one if any
    Position state;                  // after the last move played
    int lastMover = 0;               // sideOf() of the last move played, 0 before any
    std::string position;            // the position notation after the last move played
    GameEnd end = GameEnd::None;     // how the game ended, if it did
    std::string error;               // "" when every move was played
};

// The starting position with the side codes the replay uses: lower pieces are SIDE_SENTE's,
// upper pieces SIDE_GOTE's, as in a game between two people.
Position replayStart();

// Plays moves 1..RECORD_LEN of the list from the starting position through the game's move
// chain, stopping at the first move that is illegal or that comes after the game has ended.
Replay replayMoves(const MoveList& list);
// The same in a game of the caller's, which is left in the position reached.
Replay replayMoves(const MoveList& list, Game& game);

// The moves of a game from any position, already found legal by its reader, played from its
// position; the passes are not listed, and n counts the moves listed.
Replay replayGame(const ZbkGame& game);

// Plays a move already found legal through the game's turn, as the side its piece belongs to.
MoveOutcome playRecordedMove(Game& game, const Move& m);

// {"moves":[...],"board":[...],"error":...}
std::string replayJson(const Replay& replay);

// The board as nine rows, y = 1 first, each row the codes for x = 1..9.
std::string boardJson(const Position& state);

} // namespace zubeki::cli
