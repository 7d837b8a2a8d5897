#include "play/position_editor.h"

namespace zubeki {

namespace {

// A position edited by hand: its check squares and passes go with the last move it came from.
Position edited(Position p) {
    p.clearCheck();
    p.PASS_COUNT = 0;
    return p;
}

} // namespace

PositionEditor::PositionEditor(const Position& from) : p_(edited(from)) {}

void PositionEditor::change(const Position& next) {
    if (next == p_) return;
    undo_.push_back(p_);
    redo_.clear();
    p_ = next;
}

void PositionEditor::put(int x, int y, int code) {
    if (!onBoard(x, y)) return;
    Position next = edited(p_);
    next.BOARD[x][y] = code;
    change(next);
}

void PositionEditor::move(int fromX, int fromY, int toX, int toY) {
    if (!onBoard(fromX, fromY) || !onBoard(toX, toY) || (fromX == toX && fromY == toY)) return;
    if (p_.BOARD[fromX][fromY] == EMPTY) return;
    Position next = edited(p_);
    next.BOARD[toX][toY] = next.BOARD[fromX][fromY];
    next.BOARD[fromX][fromY] = EMPTY;
    change(next);
}

void PositionEditor::setSide(Side side) {
    Position next = edited(p_);
    next.SIDE = side;
    change(next);
}

void PositionEditor::startPosition() {
    change(Position::start());
}

void PositionEditor::clear() {
    Position next;
    next.SIDE = p_.SIDE;
    change(next);
}

void PositionEditor::replace(const Position& p) {
    change(p);
}

void PositionEditor::undo() {
    if (undo_.empty()) return;
    redo_.push_back(p_);
    p_ = undo_.back();
    undo_.pop_back();
}

void PositionEditor::redo() {
    if (redo_.empty()) return;
    undo_.push_back(p_);
    p_ = redo_.back();
    redo_.pop_back();
}

bool PositionEditor::nobodyMoves() const {
    return !p_.hasMove(Side::Lower) && !p_.hasMove(Side::Upper);
}

} // namespace zubeki
