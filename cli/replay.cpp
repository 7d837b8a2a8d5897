#include "cli/replay.h"

#include "cli/json.h"

namespace zubeki::cli {
namespace {

const char* endText(GameEnd end) {
    return end == GameEnd::Capture ? "capture" : "camp";
}

void writeBoard(JsonWriter& w, const GameState& state) {
    w.beginArray();
    for (int y = 1; y <= BOARD_SIZE; ++y) {
        w.beginArray();
        for (int x = 1; x <= BOARD_SIZE; ++x) w.value(state.BOARD[x][y]);
        w.endArray();
    }
    w.endArray();
}

void writeSquares(JsonWriter& w, const SquareList& squares) {
    w.beginArray();
    for (const Square& sq : squares) w.square(sq.x, sq.y);
    w.endArray();
}

} // namespace

GameState replayStart() {
    GameState s;
    s.初期設定();
    s.PLAY_MODE = MODE_MAN;
    s.MAN_SIDE = SIDE_SENTE;
    s.COM_SIDE = SIDE_GOTE;
    return s;
}

Replay replayMoves(const MoveList& list) {
    Replay r;
    r.state = replayStart();
    GameState& s = r.state;
    const int count = list.RECORD_LEN < MoveList::CAPACITY ? list.RECORD_LEN : MoveList::CAPACITY;
    int endedAt = 0;

    for (int n = 1; n <= count; ++n) {
        ReplayedMove m;
        m.n = n;
        m.fromX = list.REC_FROM_X[n];
        m.fromY = list.REC_FROM_Y[n];
        m.toX = list.REC_TO_X[n];
        m.toY = list.REC_TO_Y[n];
        m.piece = list.REC_PIECE[n];
        m.result = list.REC_RESULT[n];
        const int mover = sideOf(m.piece);

        std::string reason;
        if (endedAt != 0) {
            reason = std::string("the game had already ended at move ") + std::to_string(endedAt) +
                     " (" + endText(r.end) + ")";
        } else if (mover != 0 && mover == r.lastMover &&
                   s.パス判定(mover > 0 ? SITA_BISHOP : UE_BISHOP) == PassOutcome::HasMove) {
            // A side moves twice in a row only when the other side had to pass in between.
            reason = std::string("the ") + sideName(mover) + " moved twice in a row while the " +
                     sideName(-mover) + " had a legal move";
        } else {
            reason = 指し手検査(s, m.fromX, m.fromY, m.toX, m.toY, m.piece, m.result,
                                list.REC_TARGET[n]);
        }
        if (!reason.empty()) {
            r.error = "move " + std::to_string(n) + ": " + reason;
            r.moves.push_back(m);
            return r;
        }

        m.legal = true;
        m.outcome = 指し手実行(s, m.fromX, m.fromY, m.toX, m.toY, m.piece, m.result);
        s.MOVE_COUNT += 1;
        r.lastMover = mover;
        if (m.outcome.end != GameEnd::None) {
            r.end = m.outcome.end;
            endedAt = n;
        }
        r.moves.push_back(m);
    }
    return r;
}

std::string boardJson(const GameState& state) {
    JsonWriter w;
    writeBoard(w, state);
    return w.str();
}

std::string replayJson(const Replay& replay) {
    JsonWriter w;
    w.beginObject().key("moves").beginArray();
    for (const ReplayedMove& m : replay.moves) {
        w.beginObject();
        w.key("n").value(m.n);
        w.key("from").square(m.fromX, m.fromY);
        w.key("to").square(m.toX, m.toY);
        w.key("piece").value(m.piece);
        w.key("result").value(m.result);
        w.key("legal").value(m.legal);
        w.key("check");
        writeSquares(w, m.outcome.check);
        w.key("captured");
        writeSquares(w, m.outcome.captured);
        w.key("end");
        if (m.outcome.end == GameEnd::None)
            w.null();
        else
            w.value(endText(m.outcome.end));
        w.endObject();
    }
    w.endArray();
    w.key("board");
    writeBoard(w, replay.state);
    w.key("error");
    if (replay.error.empty())
        w.null();
    else
        w.value(replay.error);
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
