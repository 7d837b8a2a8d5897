#include "cli/replay.h"

#include "cli/json.h"
#include "game/moves.h"
#include "game/position_text.h"

#include <cstdio>

namespace zubeki::cli {
namespace {

std::string pairText(int x, int y) {
    // snprintf rather than "(" + to_string(x) + ...: GCC 12 at -O3 warns falsely on the latter.
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", x, y);
    return text;
}

const char* sideName(int side) {
    return side > 0 ? "upper side" : "lower side";
}

// Why the move may not be played in this position, or "" when it may. Looks at the squares,
// the piece on the source, the destination (it must be empty and the recorded target 0),
// 移動チェック with the check restriction of the last move, and the promotion (`result` is the
// piece itself, or its promoted code where 調査_駒成 allows it). The turn order is the caller's.
std::string 指し手検査(const Position& s, int 移動元X, int 移動元Y, int 移動先X, int 移動先Y,
                       int piece, int result, int target) {
    if (!onBoard(移動元X, 移動元Y))
        return "the source " + pairText(移動元X, 移動元Y) + " is off the board";
    if (!onBoard(移動先X, 移動先Y))
        return "the destination " + pairText(移動先X, 移動先Y) + " is off the board";
    if (!isPieceCode(piece)) return "the piece code " + std::to_string(piece) + " is no piece";
    const int standing = s.BOARD[移動元X][移動元Y];
    if (standing != piece)
        return "the piece " + std::to_string(piece) + " is not on its source " +
               pairText(移動元X, 移動元Y) + " (it holds " + std::to_string(standing) + ")";
    if (s.BOARD[移動先X][移動先Y] != EMPTY)
        return "the destination " + pairText(移動先X, 移動先Y) + " is occupied by " +
               std::to_string(s.BOARD[移動先X][移動先Y]);
    if (target != EMPTY)
        return "the recorded target " + std::to_string(target) + " is not 0 (empty)";
    if (!s.移動チェック(移動元X, 移動元Y, 移動先X, 移動先Y, piece)) {
        if (s.CHECK_ACTIVE && s.CHECK_SQUARES[移動元X][移動元Y] != TRUE_CODE)
            return "the piece on " + pairText(移動元X, 移動元Y) +
                   " is not in check, and only a piece in check may move";
        return "the piece " + std::to_string(piece) + " cannot move from " +
               pairText(移動元X, 移動元Y) + " to " + pairText(移動先X, 移動先Y);
    }
    if (result == piece) return {};
    if (s.調査_駒成(移動元X, 移動元Y, 移動先X, 移動先Y, piece) && result == 成駒(piece)) return {};
    return "the piece " + std::to_string(piece) + " cannot arrive on " +
           pairText(移動先X, 移動先Y) + " as " + std::to_string(result);
}

// One move given beforehand, as a player.
class RecordedMove : public Player {
  public:
    explicit RecordedMove(const Move& m) : m_(m) {}
    std::optional<Move> choose(Game&, Side) override { return m_; }

  private:
    Move m_;
};

const char* endText(GameEnd end) {
    return end == GameEnd::Capture ? "capture" : "camp";
}

void writeBoard(JsonWriter& w, const Position& state) {
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

Position replayStart() {
    SilentOutside outside;
    Game game(outside);
    game.初期設定();
    return game.state();
}

Replay replayMoves(const MoveList& list) {
    SilentOutside outside;
    Game game(outside);
    return replayMoves(list, game);
}

Replay replayMoves(const MoveList& list, Game& game) {
    Replay r;
    game.初期設定();
    RecordPlayer player(list);
    const int count = list.RECORD_LEN < MoveList::CAPACITY ? list.RECORD_LEN : MoveList::CAPACITY;
    int endedAt = 0;
    int firstMover = 0;

    for (int n = 1; n <= count; ++n) {
        ReplayedMove m;
        m.n = n;
        m.move = {list.REC_FROM_X[n], list.REC_FROM_Y[n], list.REC_TO_X[n],
                  list.REC_TO_Y[n],   list.REC_PIECE[n],  list.REC_RESULT[n]};
        const Move& move = m.move;
        const int mover = sideOf(move.移動前駒);
        if (n == 1) firstMover = mover;

        const Position& now = game.state();
        std::string reason;
        if (endedAt != 0) {
            reason = std::string("the game had already ended at move ") + std::to_string(endedAt) +
                     " (" + endText(r.end) + ")";
        } else if (mover != 0 && mover == r.lastMover && now.hasMove(sideOfSign(-mover))) {
            // A side moves twice in a row only when the other side had to pass in between.
            reason = std::string("the ") + sideName(mover) + " moved twice in a row while the " +
                     sideName(-mover) + " had a legal move";
        } else {
            reason = 指し手検査(now, move.移動元X, move.移動元Y, move.移動先X, move.移動先Y,
                                move.移動前駒, move.移動駒, list.REC_TARGET[n]);
        }
        if (!reason.empty()) {
            r.error = "move " + std::to_string(n) + ": " + reason;
            r.moves.push_back(m);
            break;
        }

        // The record says who moves first; after that the turns go round, the other side
        // passing where it has no move.
        if (n == 1) game.begin(sideOfSign(mover), &player, &player);
        Turn t = game.playTurn();
        while (t.result == TurnResult::Passed) t = game.playTurn();
        m.legal = true;
        m.outcome = t.outcome;
        r.lastMover = mover;
        if (m.outcome.end != GameEnd::None) {
            r.end = m.outcome.end;
            endedAt = n;
        }
        r.moves.push_back(m);
    }
    r.state = game.state();
    // The game goes on from here with the other side to move, even after a move that ended it.
    const int next = r.lastMover != 0 ? -r.lastMover : firstMover != 0 ? firstMover : -1;
    r.position = 局面表記(r.state, next);
    return r;
}

Replay replayGame(const ZbkGame& game) {
    Replay r;
    Position p = game.start;
    int n = 0;
    for (const Move& m : game.moves) {
        const MoveOutcome outcome = p.play(m);
        if (m.pass()) continue;
        r.moves.push_back({++n, m, true, outcome});
        r.lastMover = sign(m.side());
        if (outcome.end != GameEnd::None) r.end = outcome.end;
    }
    r.state = p;
    r.position = p.text();
    return r;
}

MoveOutcome playRecordedMove(Game& game, const Move& m) {
    RecordedMove player(m);
    game.begin(m.side(), &player, &player);
    return game.playTurn().outcome;
}

std::string boardJson(const Position& state) {
    JsonWriter w;
    writeBoard(w, state);
    return w.str();
}

std::string replayJson(const Replay& replay) {
    JsonWriter w;
    w.beginObject();
    w.key("position").value(replay.position);
    w.key("moves").beginArray();
    for (const ReplayedMove& m : replay.moves) {
        w.beginObject();
        w.key("n").value(m.n);
        w.key("move").value(指し手文字列(m.move));
        w.key("from").square(m.move.移動元X, m.move.移動元Y);
        w.key("to").square(m.move.移動先X, m.move.移動先Y);
        w.key("piece").value(m.move.移動前駒);
        w.key("result").value(m.move.移動駒);
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
