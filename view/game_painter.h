#pragma once

#include "play/display.h"
#include "play/events.h"

#include <string_view>

// The board's side of the game's events: each event drawn on the board as the window shows it,
// in the board's own terms (square units, palette colours, pictures), through the drawing
// routines below, which the window's canvas answers (and a test's recorder). The painter keeps
// the position as the board shows it, step by step through a move's animation; the drawing
// routines read that one. No Qt here, so the drawing the events make can be checked without a
// window.
namespace zubeki {

// The colour the hint outlines its move in: used for nothing else.
inline constexpr int HINT_COLOUR = 14;

class GamePainter : public GameEvents {
  public:
    // --- the board's drawing routines: squares 1..9, positions beside the board in square
    // units, colours palette indices, sizes in twips ---
    // An empty square.
    virtual void 描画_桝(double x, double y) = 0;
    // A piece or another picture (PIC_…) on a square.
    virtual void 描画_絵(int 駒種類, double x, double y) = 0;
    // One square's outline in a colour.
    virtual void 描画_桝輪郭(int 描画色, double x, double y) = 0;
    // Every square of the board outlined plain.
    virtual void 描画_将棋盤桝() = 0;
    // The whole board from the position.
    virtual void 描画_盤() = 0;
    // The file and rank labels around the board.
    virtual void 描画_桝_数値() = 0;
    // A filled rectangle (width and height in twips) at a square-unit position.
    virtual void 描画_四角形(double x, double y, double 幅, double 高さ, int 色) = 0;
    // A text at a square-unit position (the game's own words, translated by the window).
    virtual void 描画_文字(double x, double y, std::string_view 文字, int 色, int サイズ) = 0;
    // The squares the piece on (x, y) could reach, outlined in a colour.
    virtual void 描画_移動可能桝色(int x, int y, int 描画色, int 駒) = 0;
    // All square outlines plain again.
    virtual void 描画_桝輪郭_全部() = 0;
    // The check squares outlined.
    virtual void 描画_桝輪郭_チェック桝() = 0;
    // The check squares blinking a number of times.
    virtual void 描画_点滅_チェック桝(int 回数) = 0;
    // A move written in a text slot beside the board.
    virtual void 描画_移動結果(double 欄X, double 欄Y, int x, int y, int 駒, int 色) = 0;
    // The move number.
    virtual void 描画_手数(int 手数, int 色) = 0;
    // The computer's level.
    virtual void 描画_レベル(int レベル) = 0;
    // Shows what has been drawn so far at once (before a pause).
    virtual void refresh() = 0;
    virtual void 待ち時間(double 秒) = 0;
    virtual void play(Wave wave) = 0;

    // The position as the board shows it at this moment.
    const Position& shown() const { return shown_; }

    // --- the events, drawn ---
    void positionShown(PositionShown why, const Position& p, int number) override;
    void twoPlayerGame() override { 描画_桝_数値(); }
    void levelShown(int level) override { 描画_レベル(level); }
    void moveBegun(const MoveEvent& e) override;
    void pieceMoved(const MoveEvent& e) override;
    void checksSet(const MoveEvent& e) override;
    void groupCaptured(const SquareList& squares, const int (&pieces)[81]) override;
    void computerMoveShown(const MoveEvent& e) override;
    void thinking(Side side) override;
    void marksCleared() override { 描画_桝輪郭_全部(); }
    void piecePicked(int x, int y, int piece, bool own, bool guide) override;
    void pickMoved(Square from, int x, int y, int piece, bool own, bool guide) override;
    void checkPiecesBlink() override { 描画_点滅_チェック桝(3); }
    void steppedBack(const StepEvent& e, const Position& p) override;
    void steppedForward(const StepEvent& e, const Position& p) override;
    void hintOutlined(Square a, Square b) override;
    void hintCleared(Square a, Square b) override;
    void soundDue(Wave wave) override { play(wave); }

  private:
    Position shown_ = Position::start();
};

} // namespace zubeki
