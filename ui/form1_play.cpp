#include "ai/search.h"
#include "sound/module1.h"
#include "ui/form1.h"
#include "view/canvas.h"

namespace zubeki {

void Form1::駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒) {
    view_->描画_桝(移動元X, 移動元Y);
    state.駒移動(移動元X, 移動元Y, 移動先X, 移動先Y, 移動駒);
    view_->描画_絵(移動駒, 移動先X, 移動先Y);
    view_->描画_桝輪郭(BOARD_COLOUR, 移動先X, 移動先Y);
}

void Form1::描画_当駒消去() {
    BoardView& v = *view_;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (state.GROUP_MARK[x][y] != 1) continue;
            if (state.BOARD[x][y] < 0)
                v.描画_絵(PIC_JI_NAKA, x, y);
            else if (state.BOARD[x][y] > 0)
                v.描画_絵(PIC_TEKI_NAKA, x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            dsPlay(SOUND_VANISH);
            v.描画_絵(PIC_PA, x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            v.描画_桝(x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            state.BOARD[x][y] = EMPTY;
        }
}

void Form1::捕獲処理(int 移動先X, int 移動先Y, int 手番, int 相手) {
    state.捕獲ループ(移動先X, 移動先Y, 手番, 相手, [this] { 描画_当駒消去(); });
}

void Form1::終了(const std::string& 勝手) {
    dsPlay(SOUND_GAME_END);
    if (勝手.empty())
        message("引き分けです", "終了");
    else
        message(勝手 + "の勝ちです", "終了");
    if (message("続けますか？", "再ゲーム", Buttons::YesNo) == Answer::Yes) {
        初期設定();
        canvas_->update();
    } else {
        quit();
    }
}

bool Form1::手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒,
                     int 移動先駒) {
    if (rec.手順保存(移動元X, 移動元Y, 移動先X, 移動先Y, 移動元駒, 移動先駒,
                     state.BOARD[移動先X][移動先Y]))
        return true;
    // The list holds 500 moves: the game goes on, the later moves are not recorded.
    if (!recordFullTold_) {
        recordFullTold_ = true;
        message("棋譜は500手までです。これから先の手は記録されません", "棋譜");
    }
    return false;
}

bool Form1::ownsPiece(int code) const {
    return (state.TURN == state.MAN_SIDE && code <= 0) ||
           (state.TURN == state.COM_SIDE && code >= 0);
}

bool Form1::opponentsPiece(int code) const {
    return (state.TURN == state.MAN_SIDE && code >= 0) ||
           (state.TURN == state.COM_SIDE && code <= 0);
}

void Form1::warnCheckPiece() {
    dsPlay(SOUND_FORBIDDEN);
    message("チェック駒を動かしてください", "注意");
}

void Form1::handOver() {
    if (state.PLAY_MODE == MODE_COM) {
        influence.勢力調査(state);
        com_ban();
    } else {
        state.TURN = state.TURN == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    }
}

void Form1::Form_MouseDown(int Button, int, float X, float Y) {
    if (ended_) return;
    BoardView& v = *view_;
    描画_可視(false, false, false);
    描画_棋譜_IO(1);

    if (state.TURN == NO_SIDE) {
        if (rec.RECORD_MODE == TRUE_CODE) {
            if (message("棋譜を '進 'で進めて下さい", "棋譜", Buttons::YesNo) == Answer::No)
                Form_Load();
        } else if (rec.RECORD_POS == 0) {
            dsPlay(SOUND_FORBIDDEN);
            message("「対局」で始めて下さい", "開始");
        } else {
            message("OKですか？", "再開");
            // Who moves next is read from the move after the position shown; past the end
            // of the list (or at its 500th move) there is none, and the lower side moves.
            const int next =
                rec.RECORD_POS < rec.RECORD_LEN ? rec.REC_RESULT[rec.RECORD_POS + 1] : EMPTY;
            if (next >= UE_BISHOP) {
                if (state.PLAY_MODE == MODE_COM) {
                    // The computer makes the upper side's move; a game it ends stays ended.
                    const int games = setupCount_;
                    com_ban();
                    if (!ended_ && setupCount_ == games) state.TURN = state.MAN_SIDE;
                } else {
                    state.TURN = state.COM_SIDE;
                }
            } else {
                state.TURN = state.MAN_SIDE;
            }
        }
        canvas_->update();
        return;
    }

    // The pass test: a side without any legal move passes.
    const int sideCode = state.PLAY_MODE == MODE_COM ? SITA_BISHOP
                         : state.TURN == SIDE_SENTE  ? SITA_BISHOP
                                                     : UE_BISHOP;
    switch (state.パス判定(sideCode)) {
    case PassOutcome::Draw:
        終了("");
        canvas_->update();
        return;
    case PassOutcome::Pass:
        message("あなたはパスです", "パス");
        handOver();
        canvas_->update();
        return;
    case PassOutcome::HasMove:
        break;
    }

    const SquareIndex sq = squareAtTwips(X, Y);
    const int x = sq.x, y = sq.y;
    if (x < 1 || x > BOARD_SIZE || y < 1 || y > BOARD_SIZE) return;

    v.描画_桝輪郭_全部();
    if (state.SELECT_STATE == 0) {
        const int piece = state.BOARD[x][y];
        if (piece == EMPTY) {
            canvas_->update();
            return;
        }
        if (state.CHECK_ACTIVE == TRUE_CODE && state.CHECK_SQUARES[x][y] == FALSE_CODE) {
            warnCheckPiece();
            v.描画_点滅_チェック桝(3);
            canvas_->update();
            return;
        }
        CLICK_MOVE.fromX = x;
        CLICK_MOVE.fromY = y;
        CLICK_MOVE.piece = piece;
        v.描画_移動可能桝色(x, y, options.GUIDE_COLOUR, piece);
        if (ownsPiece(piece)) {
            state.SELECT_STATE = 1;
            v.描画_桝輪郭(COLOUR_LIGHT_RED, x, y);
        } else {
            v.描画_桝輪郭(options.GUIDE_COLOUR, x, y);
        }
        canvas_->update();
        return;
    }

    CLICK_MOVE.toX = x;
    CLICK_MOVE.toY = y;
    const int t = state.BOARD[x][y];
    const bool moversPiece = (state.TURN == state.MAN_SIDE && t <= SITA_BISHOP) ||
                             (state.TURN == state.COM_SIDE && t >= UE_BISHOP);
    const bool othersPiece = (state.TURN == state.MAN_SIDE && t >= UE_BISHOP) ||
                             (state.TURN == state.COM_SIDE && t <= SITA_BISHOP);
    if (moversPiece || othersPiece) {
        // A mover's piece takes the selection over; an opponent's piece is shown instead,
        // with the refusal sound, since pieces never take by moving onto one another.
        if (othersPiece) dsPlay(SOUND_FORBIDDEN);
        v.描画_桝輪郭(OUTLINE_COLOUR, CLICK_MOVE.fromX, CLICK_MOVE.fromY);
        CLICK_MOVE.fromX = x;
        CLICK_MOVE.fromY = y;
        CLICK_MOVE.piece = t;
        v.描画_移動可能桝色(x, y, options.GUIDE_COLOUR, t);
        v.描画_桝輪郭(moversPiece ? COLOUR_LIGHT_RED : COLOUR_WHITE, x, y);
        const bool unmarked = othersPiece || state.CHECK_SQUARES[x][y] == FALSE_CODE;
        if (state.CHECK_ACTIVE == TRUE_CODE && unmarked) {
            warnCheckPiece();
            v.描画_桝輪郭_全部();
            v.描画_点滅_チェック桝(3);
        }
        canvas_->update();
        return;
    }

    const int sx = CLICK_MOVE.fromX, sy = CLICK_MOVE.fromY, p = CLICK_MOVE.piece;
    if (state.移動チェック(sx, sy, x, y, p) == FALSE_CODE || opponentsPiece(p)) {
        dsPlay(SOUND_FORBIDDEN);
        canvas_->update();
        return;
    }
    人間の手(sx, sy, x, y, p, Button);
    canvas_->update();
}

void Form1::人間の手(int sx, int sy, int dx, int dy, int p, int Button) {
    BoardView& v = *view_;
    const bool recorded = 手順保存(sx, sy, dx, dy, p, state.BOARD[dx][dy]);
    state.MOVE_COUNT += 1;
    v.描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
    const int q = state.調査_駒成(sx, sy, dx, dy, p);
    if (Button == RIGHT_BUTTON && q == TRUE_CODE) {
        p = state.PROMOTED_PIECE;
        CLICK_MOVE.piece = p;
    }
    if (recorded) rec.REC_RESULT[rec.RECORD_POS] = p;
    state.SELECT_STATE = 0;
    v.描画_桝輪郭(OUTLINE_COLOUR, sx, sy);
    v.描画_桝輪郭(OUTLINE_COLOUR, dx, dy);
    v.描画_移動可能桝色(sx, sy, OUTLINE_COLOUR, p);
    駒移動(sx, sy, dx, dy, p);
    dsPlay(SOUND_PIECE);
    state.調査_チェック桝(dx, dy);
    v.描画_桝輪郭_チェック桝();
    v.描画_点滅_チェック桝(3);
    state.PASS_COUNT = 0;
    if (p >= UE_BISHOP)
        v.描画_移動結果(UE_RESULT_X, UE_RESULT_Y, dx, dy, p, RESULT_TEXT_COLOUR);
    else
        v.描画_移動結果(SITA_RESULT_X, SITA_RESULT_Y, dx, dy, p, RESULT_TEXT_COLOUR);
    捕獲処理(dx, dy, state.TURN, -state.TURN);
    if (state.勝利判定(p)) {
        if (state.PLAY_MODE == MODE_MAN)
            終了(state.TURN == SIDE_SENTE ? "先手" : "後手");
        else
            終了("MAN");
        return;
    }
    handOver();
}

void Form1::com_ban() {
    BoardView& v = *view_;
    switch (state.パス判定(UE_BISHOP)) {
    case PassOutcome::Draw:
        終了("");
        return;
    case PassOutcome::Pass:
        message("パスします", "パス");
        return;
    case PassOutcome::HasMove:
        break;
    }

    v.描画_四角形(UE_RESULT_X, UE_RESULT_Y, 1250, 400, BOARD_COLOUR);
    v.描画_数値(UE_RESULT_X, UE_RESULT_Y, QStringLiteral("思考中"), RESULT_TEXT_COLOUR, 0, 12);
    v.refresh();

    const ClockDigit clock{
        [](const void* seam) { return (*static_cast<const std::function<int()>*>(seam))(); },
        &seams_.clockDigit};
    const ComputerMove m = 最善手探索(state, influence, state.LEVEL, clock);
    if (!m.found) return; // cannot happen after the pass test; never play a move that is not there
    const int x1 = m.移動元X, y1 = m.移動元Y, x2 = m.移動先X, y2 = m.移動先Y;

    手順保存(x1, y1, x2, y2, m.移動前駒, m.移動駒);
    state.MOVE_COUNT += 1;
    v.描画_手数(state.MOVE_COUNT, COLOUR_WHITE);
    駒移動(x1, y1, x2, y2, m.移動駒);
    v.待ち時間(0.5);
    dsPlay(SOUND_PIECE);
    v.描画_将棋盤桝();
    state.調査_チェック桝(x2, y2);
    v.描画_桝輪郭_チェック桝();
    v.描画_点滅_チェック桝(3);
    state.PASS_COUNT = 0;
    捕獲処理(x2, y2, state.COM_SIDE, state.MAN_SIDE);
    if (state.勝利判定(m.移動前駒)) {
        終了("ｺﾝﾋﾟｭｰﾀ");
        return;
    }
    v.描画_桝輪郭(COLOUR_WHITE, x2, y2);
    v.描画_移動結果(UE_RESULT_X, UE_RESULT_Y, x2, y2, m.移動駒, COLOUR_WHITE);
    state.TURN = state.MAN_SIDE;
}

} // namespace zubeki
