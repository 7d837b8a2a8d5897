#pragma once

// The position as LEVEL4 searches it: a bordered 11x11 board of small codes, a piece list
// per side, the check restriction as a square mask, the pass count and a Zobrist key, all
// changed by make/unmake. A capture ends the game, so no piece ever leaves the board
// inside a search and unmake never has to put a group back.

#include "game/position.h"
#include "game/rules.h"

#include <cstdint>

namespace zubeki::level4 {

// The board's arrays per side: the upper side first, the lower second.
constexpr int sideIndex(Side s) {
    return s == Side::Upper ? 0 : 1;
}

// Square index x * 11 + y, x and y 0..10; row and column 0 and 10 are a wall.
inline constexpr int kSquares = 121;
constexpr int squareOf(int x, int y) {
    return x * 11 + y;
}
constexpr int xOf(int sq) {
    return sq / 11;
}
constexpr int yOf(int sq) {
    return sq % 11;
}

// Compact codes: the sign is the side (upper positive), the size the kind.
inline constexpr std::int8_t kEmpty = 0;
inline constexpr std::int8_t kBishop = 1;
inline constexpr std::int8_t kBishopPromoted = 2;
inline constexpr std::int8_t kRook = 3;
inline constexpr std::int8_t kRookPromoted = 4;
inline constexpr std::int8_t kWall = 16;

constexpr std::int8_t compactOf(int gameCode) {
    switch (gameCode) {
    case UE_BISHOP:
        return kBishop;
    case UE_BISHOP_PROMOTED:
        return kBishopPromoted;
    case UE_ROOK:
        return kRook;
    case UE_ROOK_PROMOTED:
        return kRookPromoted;
    case SITA_BISHOP:
        return -kBishop;
    case SITA_BISHOP_PROMOTED:
        return -kBishopPromoted;
    case SITA_ROOK:
        return -kRook;
    case SITA_ROOK_PROMOTED:
        return -kRookPromoted;
    default:
        return kEmpty;
    }
}

constexpr int gameCodeOf(std::int8_t code) {
    constexpr int kCodes[9] = {SITA_ROOK_PROMOTED, SITA_ROOK, SITA_BISHOP_PROMOTED,
                               SITA_BISHOP,        EMPTY,     UE_BISHOP,
                               UE_BISHOP_PROMOTED, UE_ROOK,   UE_ROOK_PROMOTED};
    return code >= -4 && code <= 4 ? kCodes[code + 4] : EMPTY;
}

// The compact code a piece stands with once promoted (the game's 成駒).
constexpr std::int8_t promotedOf(std::int8_t code) {
    return compactOf(成駒(gameCodeOf(code)));
}

// One move: the source, the destination and whether the piece promotes on arrival.
struct Move {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    std::uint8_t promote = 0;
    std::uint8_t unused = 0;

    bool operator==(const Move&) const = default;
    bool isNull() const { return from == 0; }
};

// Enough for nine promoted pieces with every destination in the camp twice over; a
// crowded position from a diagram stops adding moves at the capacity.
inline constexpr int kMaxMoves = 400;

struct MoveList {
    Move moves[kMaxMoves];
    int size = 0;
};

// A square mask over the 121 indices.
struct SquareMask {
    std::uint64_t lo = 0;
    std::uint64_t hi = 0;

    void add(int sq) {
        if (sq < 64)
            lo |= std::uint64_t{1} << sq;
        else
            hi |= std::uint64_t{1} << (sq - 64);
    }
    bool has(int sq) const { return sq < 64 ? (lo >> sq & 1u) != 0 : (hi >> (sq - 64) & 1u) != 0; }
    bool empty() const { return (lo | hi) == 0; }
    bool operator==(const SquareMask&) const = default;
};

// What make() overwrites, for unmake().
struct Undo {
    std::uint64_t key;
    SquareMask marks;
    bool restricted;
    std::uint8_t passCount;
    std::uint8_t campCount;
    std::int8_t before;
};

// The groups of one side with their liberties, as the capture rule sees them.
struct GroupScan {
    static constexpr int kMaxGroups = 81;
    std::uint8_t label[kSquares]{};    // group number (of a piece, or of a liberty last counted)
    std::uint32_t stamp[kSquares]{};   // the scan that labelled this piece
    std::uint32_t libSeen[kSquares]{}; // the scan that last counted this empty square
    std::uint32_t current = 0;
    int groups = 0;
    std::uint8_t liberties[kMaxGroups]{}; // distinct empty neighbours, counted up to 255
    std::uint8_t lastLiberty[kMaxGroups]{};
    std::uint8_t size[kMaxGroups]{};

    bool inGroup(int sq, int g) const { return stamp[sq] == current && label[sq] == g; }
};

class Position {
  public:
    // The game as it stands: BOARD, CHECK_ACTIVE / CHECK_SQUARES and PASS_COUNT are taken as
    // they are; `movesPlayed` is MOVE_COUNT (for the 500-move limit).
    static Position from(const zubeki::Position& 局面, Side toMove, int movesPlayed);

    std::int8_t at(int sq) const { return board_[sq]; }
    std::int8_t at(int x, int y) const { return board_[squareOf(x, y)]; }
    Side toMove() const { return toMove_; }
    int passCount() const { return passCount_; }
    int movesPlayed() const { return movesPlayed_; }
    bool restricted() const { return restricted_; }
    const SquareMask& marks() const { return marks_; }
    std::uint64_t key() const { return key_; }
    // The key computed from scratch, to check the incremental one.
    std::uint64_t freshKey() const;
    // Pieces of the side standing in its enemy camp.
    int campCount(Side side) const { return campCount_[sideIndex(side)]; }

    // Every legal move of the side to move, with the check restriction; a move that may
    // promote appears twice, promoting first.
    void generate(MoveList& out) const;
    bool hasMove() const;
    // May the piece on `from` go to `to` (the check restriction aside)?
    bool canMove(int from, int to) const;

    void make(Move m, Undo& u);
    void unmake(Move m, const Undo& u);
    // The side to move has no move and hands the turn over; the restriction stays.
    void makePass(Undo& u);
    void unmakePass(const Undo& u);

    // Does this move win at once (a surrounded enemy group next to the destination, or the
    // enemy camp filled)? Worked out on the board after the move.
    bool moveWins(Move m);
    // Is there a winning move for the side to move? `enemy` must be a scan of the other
    // side's groups on this board. Stores one in `found` when there is.
    bool findWin(const GroupScan& enemy, Move* found) const;
    // Labels the groups of `side` and counts their liberties.
    void scanGroups(Side side, GroupScan& out) const;

    // The squares whose pieces the move just made to `to` has put in check.
    SquareMask checkMarksAfter(int to) const;
    // In how many of its directions the piece on `sq` can take a first step (a cheap
    // stand-in for its mobility; a promoted piece's camp rule aside).
    int freeDirections(int sq) const;

    const std::uint8_t* pieces(Side side) const { return list_[sideIndex(side)]; }
    int pieceCount(Side side) const { return count_[sideIndex(side)]; }

  private:
    bool surroundedNextTo(int to, int enemySign) const;
    bool hasAnyMove(int sq) const;

    std::int8_t board_[kSquares]{};
    std::uint8_t slot_[kSquares]{}; // index of the piece in its side's list
    std::uint8_t list_[2][81]{};
    std::uint8_t count_[2]{};
    std::uint8_t campCount_[2]{};
    Side toMove_ = Side::Upper;
    std::uint8_t passCount_ = 0;
    bool restricted_ = false;
    SquareMask marks_{};
    int movesPlayed_ = 0;
    std::uint64_t key_ = 0;
};

// The move sequences of exactly `depth` moves from the position, counted on this board with
// make/unmake as the game's perft counts them on its position: a winning move ends its line, and
// so does the second pass in a row.
std::uint64_t perft(Position& p, int depth);

} // namespace zubeki::level4
