#include "game/position_check.h"

namespace zubeki {

namespace {

constexpr int MAX_PIECES = 9;

// Is this square inside the camp the piece's own side starts in?
bool inOwnCamp(int code, int x, int y) {
    return isUpperPiece(code) ? inUeCamp(x, y) : inSitaCamp(x, y);
}

// The squares of the side that has more than nine pieces (the lower side first).
SquareSet tooManyPieces(const Position& p) {
    for (const Side side : {Side::Lower, Side::Upper}) {
        SquareSet pieces;
        for (int x = 1; x <= BOARD_SIZE; ++x)
            for (int y = 1; y <= BOARD_SIZE; ++y)
                if (ownerOf(p.BOARD[x][y]) == side) pieces.add(x, y);
        if (pieces.size() > MAX_PIECES) return pieces;
    }
    return {};
}

SquareSet promotedInOwnCamp(const Position& p) {
    SquareSet squares;
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y)
            if (isPromoted(p.BOARD[x][y]) && inOwnCamp(p.BOARD[x][y], x, y)) squares.add(x, y);
    return squares;
}

// The camp filled by its enemy: the upper side's corner (top right) filled by the lower side,
// or the lower side's by the upper.
SquareSet filledCamp(const Position& p) {
    for (const Side side : {Side::Lower, Side::Upper}) {
        if (!p.終了チェック(side)) continue;
        SquareSet camp;
        for (int x = 1; x <= BOARD_SIZE; ++x)
            for (int y = 1; y <= BOARD_SIZE; ++y)
                if (side == Side::Lower ? inUeCamp(x, y) : inSitaCamp(x, y)) camp.add(x, y);
        return camp;
    }
    return {};
}

} // namespace

SquareSet groupWithoutLiberty(const Position& p) {
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) {
            const std::optional<Side> owner = ownerOf(p.BOARD[x][y]);
            if (!owner) continue;
            if (const std::optional<SquareSet> group = p.surroundedGroup(x, y, *owner))
                return *group;
        }
    return {};
}

SquareSet faultSquares(const Position& p, PositionFault fault) {
    switch (fault) {
    case PositionFault::TooManyPieces:
        return tooManyPieces(p);
    case PositionFault::PromotedInOwnCamp:
        return promotedInOwnCamp(p);
    case PositionFault::CampFilled:
        return filledCamp(p);
    case PositionFault::GroupWithoutLiberty:
        return groupWithoutLiberty(p);
    case PositionFault::None:
        break;
    }
    return {};
}

PositionFault unreachableFault(const Position& p) {
    for (const PositionFault fault : {PositionFault::TooManyPieces,
                                      PositionFault::PromotedInOwnCamp, PositionFault::CampFilled})
        if (!faultSquares(p, fault).empty()) return fault;
    return PositionFault::None;
}

PositionFault editorFault(const Position& p) {
    if (const PositionFault fault = unreachableFault(p); fault != PositionFault::None) return fault;
    return groupWithoutLiberty(p).empty() ? PositionFault::None
                                          : PositionFault::GroupWithoutLiberty;
}

std::string_view faultText(PositionFault fault) {
    switch (fault) {
    case PositionFault::TooManyPieces:
        return "a side has more than nine pieces";
    case PositionFault::PromotedInOwnCamp:
        return "a promoted piece stands inside its own camp, where it may never stop";
    case PositionFault::CampFilled:
        return "a camp is already filled by the enemy: the game is over";
    case PositionFault::GroupWithoutLiberty:
        return "a group has no empty square beside it";
    case PositionFault::None:
        break;
    }
    return {};
}

} // namespace zubeki
