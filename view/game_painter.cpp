#include "view/game_painter.h"

namespace zubeki {

namespace {

// The text slot beside the board for the last move of a side.
double slotX(int side) {
    return side > 0 ? UE_RESULT_X : SITA_RESULT_X;
}
double slotY(int side) {
    return side > 0 ? UE_RESULT_Y : SITA_RESULT_Y;
}
int sideOfPiece(int piece) {
    return piece > 0 ? 1 : -1;
}

} // namespace

void GamePainter::positionShown(PositionShown why, const Position& p, int number) {
    shown_ = p;
    switch (why) {
    case PositionShown::NewGame:
        描画_桝_数値();
        描画_盤();
        描画_絵(PIC_LOGO, 10.8, 0);
        break;
    case PositionShown::Restored:
        描画_盤();
        break;
    case PositionShown::Reviewed:
        描画_盤();
        描画_手数(number, COLOUR_WHITE);
        break;
    case PositionShown::Turned:
        描画_手数(number, COLOUR_WHITE);
        描画_盤();
        play(Wave::Piece);
        break;
    }
}

void GamePainter::moveBegun(const MoveEvent& e) {
    const Move& m = e.move;
    shown_.MOVE_COUNT = e.number;
    描画_手数(e.number, COLOUR_WHITE);
    if (e.byComputer) return;
    // The player's marks and the piece's reachable squares go.
    描画_桝輪郭(OUTLINE_COLOUR, m.移動元X, m.移動元Y);
    描画_桝輪郭(OUTLINE_COLOUR, m.移動先X, m.移動先Y);
    描画_移動可能桝色(m.移動元X, m.移動元Y, OUTLINE_COLOUR, m.移動駒);
}

void GamePainter::pieceMoved(const MoveEvent& e) {
    const Move& m = e.move;
    shown_.BOARD[m.移動元X][m.移動元Y] = EMPTY;
    shown_.BOARD[m.移動先X][m.移動先Y] = m.移動駒;
    描画_桝(m.移動元X, m.移動元Y);
    描画_絵(m.移動駒, m.移動先X, m.移動先Y);
    描画_桝輪郭(BOARD_COLOUR, m.移動先X, m.移動先Y);
    // The computer pauses before its piece lands, so the player sees it arrive.
    if (e.byComputer) 待ち時間(e.pause);
    play(Wave::Piece);
    if (e.byComputer) 描画_将棋盤桝();
}

void GamePainter::checksSet(const MoveEvent& e) {
    shown_.clearCheck();
    for (const Square& sq : e.check) shown_.CHECK_SQUARES[sq.x][sq.y] = 1;
    shown_.CHECK_ACTIVE = e.check.size > 0;
    描画_桝輪郭_チェック桝();
    描画_点滅_チェック桝(3);
    if (e.byComputer) return;
    const Move& m = e.move;
    const int side = sideOfPiece(m.移動駒);
    描画_移動結果(slotX(side), slotY(side), m.移動先X, m.移動先Y, m.移動駒, RESULT_TEXT_COLOUR);
}

void GamePainter::groupCaptured(const SquareList& squares, const int (&pieces)[81]) {
    // Each piece shows three frames: its side's picture, the burst, the empty square.
    for (int i = 0; i < squares.size; ++i) {
        const int x = squares.at[i].x, y = squares.at[i].y;
        if (pieces[i] < 0)
            描画_絵(PIC_JI_NAKA, x, y);
        else if (pieces[i] > 0)
            描画_絵(PIC_TEKI_NAKA, x, y);
        描画_桝輪郭(BOARD_COLOUR, x, y);
        refresh();
        待ち時間(0.3);
        play(Wave::Vanish);
        描画_絵(PIC_PA, x, y);
        描画_桝輪郭(BOARD_COLOUR, x, y);
        refresh();
        待ち時間(0.3);
        描画_桝(x, y);
        描画_桝輪郭(BOARD_COLOUR, x, y);
        refresh();
        待ち時間(0.3);
        shown_.BOARD[x][y] = EMPTY;
    }
}

void GamePainter::computerMoveShown(const MoveEvent& e) {
    const Move& m = e.move;
    const int side = sideOfPiece(m.移動駒);
    描画_桝輪郭(COLOUR_WHITE, m.移動先X, m.移動先Y);
    描画_移動結果(slotX(side), slotY(side), m.移動先X, m.移動先Y, m.移動駒, COLOUR_WHITE);
}

void GamePainter::thinking(Side side) {
    const int s = sign(side);
    描画_四角形(slotX(s), slotY(s), 1250, 400, BOARD_COLOUR);
    描画_文字(slotX(s), slotY(s), "思考中", RESULT_TEXT_COLOUR, 12);
    refresh();
}

void GamePainter::piecePicked(int x, int y, int piece, bool own, bool guide) {
    const int guideColour = guide ? COLOUR_WHITE : OUTLINE_COLOUR;
    描画_移動可能桝色(x, y, guideColour, piece);
    描画_桝輪郭(own ? COLOUR_LIGHT_RED : guideColour, x, y);
}

void GamePainter::pickMoved(Square from, int x, int y, int piece, bool own, bool guide) {
    描画_桝輪郭(OUTLINE_COLOUR, from.x, from.y);
    描画_移動可能桝色(x, y, guide ? COLOUR_WHITE : OUTLINE_COLOUR, piece);
    描画_桝輪郭(own ? COLOUR_LIGHT_RED : COLOUR_WHITE, x, y);
}

void GamePainter::steppedBack(const StepEvent& e, const Position& p) {
    shown_ = p;
    描画_将棋盤桝();
    描画_絵(e.piece, e.fromX, e.fromY);
    描画_桝輪郭(BOARD_COLOUR, e.fromX, e.fromY);
    描画_桝(e.toX, e.toY);
    if (e.target != EMPTY) {
        描画_絵(e.target, e.toX, e.toY);
        描画_桝輪郭(BOARD_COLOUR, e.toX, e.toY);
    }
    if (!e.quiet) play(Wave::Piece);
    描画_桝輪郭_チェック桝();
    const int side = sideOfPiece(e.piece);
    描画_四角形(slotX(side), slotY(side), 1250, 400, BOARD_COLOUR);
    描画_手数(e.number, COLOUR_WHITE);
}

void GamePainter::steppedForward(const StepEvent& e, const Position& p) {
    shown_ = p;
    描画_将棋盤桝();
    描画_手数(e.number, COLOUR_WHITE);
    描画_桝(e.fromX, e.fromY);
    描画_絵(e.piece, e.toX, e.toY);
    描画_桝輪郭(BOARD_COLOUR, e.toX, e.toY);
    if (!e.quiet) play(Wave::Piece);
    描画_桝輪郭_チェック桝();
    const int side = sideOfPiece(e.piece);
    描画_移動結果(slotX(side), slotY(side), e.toX, e.toY, e.piece, RESULT_TEXT_COLOUR);
    描画_手数(e.number, COLOUR_WHITE);
}

void GamePainter::hintOutlined(Square a, Square b) {
    描画_桝輪郭(HINT_COLOUR, a.x, a.y);
    描画_桝輪郭(HINT_COLOUR, b.x, b.y);
}

void GamePainter::hintCleared(Square a, Square b) {
    描画_桝輪郭(OUTLINE_COLOUR, a.x, a.y);
    描画_桝輪郭(OUTLINE_COLOUR, b.x, b.y);
    描画_桝輪郭_チェック桝();
}

} // namespace zubeki
