#pragma once

#include "game/position.h"
#include "game/position_check.h"

#include <string>
#include <vector>

namespace zubeki {

// The position being set up by hand: pieces put down, moved and taken off, the side to move,
// the starting position and the empty board, every change undone and redone. The check
// squares of a position edited by hand mean nothing, so an edit clears them, and the passes.
class PositionEditor {
  public:
    explicit PositionEditor(const Position& from);

    const Position& position() const { return p_; }

    // One change each; a change that leaves the position as it was is no change.
    void put(int x, int y, int code); // EMPTY takes the piece off
    void move(int fromX, int fromY, int toX, int toY);
    void setSide(Side side);
    void startPosition();
    void clear();
    // A whole position (a paste), kept as it is, check squares and all.
    void replace(const Position& p);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    void undo();
    void redo();

    // Why the position cannot be handed over: what no game can be in (editorFault), else
    // nobody having a move (both sides would pass at once). None / false when it may.
    PositionFault fault() const { return editorFault(p_); }
    bool nobodyMoves() const;
    bool valid() const { return fault() == PositionFault::None && !nobodyMoves(); }

  private:
    void change(const Position& next);

    Position p_;
    std::vector<Position> undo_;
    std::vector<Position> redo_;
};

} // namespace zubeki
