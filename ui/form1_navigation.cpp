#include "sound/module1.h"
#include "ui/form1.h"

namespace zubeki {

// Navigation replays the move list square by square: it never recomputes legality,
// captures or the end of the game.

void Form1::REPLAY_Click() {
    BoardView& v = *view_;
    closeRecordPanel();
    if (rec.RECORD_POS < 1) {
        dsPlay(SOUND_FORBIDDEN);
        message("できません", "戻る");
        return;
    }
    state.SELECT_STATE = 0;
    v.描画_将棋盤桝();
    const int n = rec.RECORD_POS;
    const int fx = rec.REC_FROM_X[n], fy = rec.REC_FROM_Y[n];
    const int tx = rec.REC_TO_X[n], ty = rec.REC_TO_Y[n];
    state.BOARD[fx][fy] = rec.REC_PIECE[n];
    v.描画_絵(rec.REC_PIECE[n], fx, fy);
    v.描画_桝輪郭(BOARD_COLOUR, fx, fy);
    state.BOARD[tx][ty] = rec.REC_TARGET[n];
    v.描画_桝(tx, ty);
    if (rec.REC_TARGET[n] != EMPTY) {
        v.描画_絵(rec.REC_TARGET[n], tx, ty);
        v.描画_桝輪郭(BOARD_COLOUR, tx, ty);
    }
    dsPlay(SOUND_PIECE);
    // The check squares as they stood after the previous move; before move 1 there were none.
    if (n > 1) {
        state.調査_チェック桝(rec.REC_TO_X[n - 1], rec.REC_TO_Y[n - 1]);
    } else {
        state.CHECK_ACTIVE = FALSE_CODE;
        state.初期化_チェック桝();
    }
    v.描画_桝輪郭_チェック桝();
    if (rec.REC_PIECE[n] > 0)
        v.描画_四角形(UE_RESULT_X, UE_RESULT_Y, 1250, 400, BOARD_COLOUR);
    else
        v.描画_四角形(SITA_RESULT_X, SITA_RESULT_Y, 1250, 400, BOARD_COLOUR);
    state.TURN = NO_SIDE;
    rec.RECORD_POS -= 1;
    state.MOVE_COUNT -= 1;
    v.描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
}

void Form1::AFTER_Click() {
    BoardView& v = *view_;
    closeRecordPanel();
    if (rec.RECORD_POS >= rec.RECORD_LEN) {
        dsPlay(SOUND_FORBIDDEN);
        message(rec.RECORD_MODE == TRUE_CODE ? "終わり" : "できません", "進む");
        return;
    }
    state.SELECT_STATE = 0;
    v.描画_将棋盤桝();
    rec.RECORD_POS += 1;
    state.MOVE_COUNT += 1;
    v.描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
    const int n = rec.RECORD_POS;
    const int fx = rec.REC_FROM_X[n], fy = rec.REC_FROM_Y[n];
    const int tx = rec.REC_TO_X[n], ty = rec.REC_TO_Y[n];
    state.BOARD[fx][fy] = EMPTY;
    v.描画_桝(fx, fy);
    state.BOARD[tx][ty] = rec.REC_RESULT[n];
    v.描画_絵(rec.REC_RESULT[n], tx, ty);
    v.描画_桝輪郭(BOARD_COLOUR, tx, ty);
    dsPlay(SOUND_PIECE);
    state.調査_チェック桝(tx, ty);
    v.描画_桝輪郭_チェック桝();
    if (rec.REC_RESULT[n] > 0)
        v.描画_移動結果(UE_RESULT_X, UE_RESULT_Y, tx, ty, rec.REC_RESULT[n], RESULT_TEXT_COLOUR);
    else
        v.描画_移動結果(SITA_RESULT_X, SITA_RESULT_Y, tx, ty, rec.REC_RESULT[n],
                        RESULT_TEXT_COLOUR);
    state.TURN = NO_SIDE;
    v.描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
}

void Form1::CANCEL_Click() {
    初期設定();
}

void Form1::REVERSE_Click() {
    if (rec.RECORD_MODE == TRUE_CODE) {
        dsPlay(SOUND_FORBIDDEN);
        message("棋譜ﾓｰﾄﾞではできません", "反転");
        return;
    }
    if (state.MOVE_COUNT == 0) {
        dsPlay(SOUND_FORBIDDEN);
        message("最初からはできません", "反転");
        return;
    }
    state.REVERSED = TRUE_CODE;
    state.SELECT_STATE = 0;
    int board[10][10];
    int checks[10][10];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            board[x][y] = state.BOARD[x][y];
            checks[x][y] = state.CHECK_SQUARES[x][y];
        }
    // Half a turn about the centre square, every piece changing sides.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            state.BOARD[10 - x][10 - y] = -board[x][y];
            state.CHECK_SQUARES[10 - x][10 - y] = checks[x][y];
        }
    view_->描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
    view_->描画_盤();
    dsPlay(SOUND_PIECE);
    rec.clear();
    state.TURN = NO_SIDE;
}

} // namespace zubeki
