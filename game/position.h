#pragma once

#include "game/rules.h"
#include "game/squares.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The position (局面): the board, the side to move, the check squares, the passes in a row and
// the move number, with every rule that reads or changes them. The one routine that carries out
// a move is Position::play; everything that plays or tries a move stands on it.
namespace zubeki {

// Nine pieces a side with every destination, promoting and not, stay far below this.
inline constexpr int MAX_LEGAL_MOVES = 400;

struct LegalMoves {
    Move at[MAX_LEGAL_MOVES];
    int size = 0;

    void add(const Move& m) {
        if (size < MAX_LEGAL_MOVES) at[size++] = m;
    }
    const Move* begin() const { return at; }
    const Move* end() const { return at + size; }
};

// Arrays are indexed [x][y] with x = column 1..9 from the left and y = row 1..9 from the top;
// row and column 0 are never used. Which side owns a piece is read from its code alone.
struct Position {
    int BOARD[10][10]{};
    int CHECK_SQUARES[10][10]{}; // the pieces that must move (チェック桝), 1 where marked
    bool CHECK_ACTIVE = false;   // some square is marked
    Side SIDE = Side::Lower;     // the side to move (手番)
    int PASS_COUNT = 0;          // passes in a row just before this position
    int MOVE_COUNT = 0;          // moves played so far; a pass is not a move

    // The starting position (初期配置): each side's block a checkerboard with rooks on the
    // corners and the centre, the lower side to move.
    static Position start();
    // A position read from its notation, or nullopt with the reason in `why`: a malformed text,
    // or one no game can reach (unreachableFault in position_check.h).
    static std::optional<Position> fromText(std::string_view text, std::string& why);
    // The notation of the position (see position_text.h).
    std::string text() const;

    int at(int x, int y) const { return BOARD[x][y]; }
    bool inCheck(int x, int y) const { return CHECK_SQUARES[x][y] != 0; }
    void clearCheck();

    // --- legality ---
    // May the piece 移動駒種類 go from the source to the destination in this position?
    bool 移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒種類) const;
    // May this piece promote on arriving at the destination? (It then arrives as 成駒(piece).)
    bool 調査_駒成(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒種類) const;
    // Every square the piece on (x, y) may move to, as the piece `piece`.
    SquareSet destinations(int x, int y, int piece) const;
    // Does the piece on this square have any legal destination?
    bool 調査_移動先があるか(int 移動元X, int 移動元Y) const;
    // Does `side` have any legal move?
    bool hasMove(Side side) const;
    // Every legal move of the side to move with the check restriction in force: sources and
    // then destinations in x-then-y order, a move that may promote once unpromoted and then
    // promoting. A side without a move gets the one pass.
    void legalMoves(LegalMoves& out) const;
    // Is `m` one of the legal moves of the side to move (the pass only for a side without one)?
    bool isLegal(const Move& m) const;
    // The legal move the text ("9g9f", "3c1a+", "pass") names, or nullopt with the reason.
    std::optional<Move> moveFromText(std::string_view text, std::string& why) const;

    // --- carrying out a move ---
    // Plays a legal move (or the pass of a side without one) and hands the turn over: the move
    // number, the board, the check squares, the passes, the groups surrounded and the end test.
    MoveOutcome play(const Move& m);
    // The position after `m`, this one unchanged (copy-make: measured faster than an undo).
    Position after(const Move& m, MoveOutcome* outcome = nullptr) const;
    // A trial: the piece lifted and set down on the destination with the code `m` arrives
    // with, and nothing else (no capture, no check squares, the turn not handed over), as
    // levels 1-3 look at a move they try. The answer is what the destination held, for `untry`.
    int tryMove(const Move& m) {
        const int held = BOARD[m.移動先X][m.移動先Y];
        BOARD[m.移動元X][m.移動元Y] = EMPTY;
        BOARD[m.移動先X][m.移動先Y] = m.移動駒;
        return held;
    }
    // Takes a trial back.
    void untry(const Move& m, int held) {
        BOARD[m.移動先X][m.移動先Y] = held;
        BOARD[m.移動元X][m.移動元Y] = m.移動前駒;
    }
    // 進 through a move list: the move set down again as a step (the piece moved, the check
    // squares of its destination, the move number); the groups it once captured stay on the
    // board, as the list holds only the move.
    void stepForward(const Move& m) {
        tryMove(m);
        調査_チェック桝(m.移動先X, m.移動先Y);
        MOVE_COUNT += 1;
    }
    // 戻: the step taken back (the piece returned, the destination given what it held) with the
    // check squares as they stood after `before`, none before the first move.
    void stepBack(const Move& m, int held, const Move* before) {
        untry(m, held);
        if (before)
            調査_チェック桝(before->移動先X, before->移動先Y);
        else
            clearCheck();
        MOVE_COUNT -= 1;
    }

    // --- the rules between moves ---
    // Recomputes the check squares after a move that ended on this square.
    void 調査_チェック桝(int 移動先X, int 移動先Y);
    // Does `side` fill its enemy's camp (敵陣) with its own pieces?
    bool 終了チェック(Side side) const;
    // The enemy group (of `owner`) holding (x, y), if it has no empty orthogonal neighbour.
    std::optional<SquareSet> surroundedGroup(int x, int y, Side owner) const;

    friend bool operator==(const Position&, const Position&) = default;
};

// The position seen from the other side: (x, y) -> (10 - x, 10 - y) and code -> -code, the
// check squares turned the same way. Everything else is copied unchanged.
Position 反転(const Position& p);

// The number of move sequences of exactly `depth` moves from the position: every legal move,
// both promotion choices apart, or the one pass of a side without a move; a game that has ended
// (capture, camp, a second pass in a row) has no moves after it.
std::uint64_t perft(const Position& p, int depth);

// A square as the position notation writes it: the file label (10 - x), then the rank letter
// a..i (y 1..9). x 1, y 7 is "9g".
std::string squareText(int x, int y);
// "9g9f", "3c1a+" (promoting) or "pass".
std::string 指し手文字列(const Move& m);
// A text quoted back in a message, cut short so that a long line does not make a longer one.
std::string quoted(std::string_view text);

} // namespace zubeki
