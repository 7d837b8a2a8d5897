// The game for the page: the window's flow (players, turns, the two presses, the hint, 戻/進,
// the move list) with its events handed to a JavaScript listener object. Each event calls the
// listener's method of the same name, when it has one, with plain values in the position
// notation; the listener's ask() answers the boxes ("yes", "no" or "ok").
#include <emscripten/bind.h>

#include <ctime>

#include "game/notation.h"
#include "play/game.h"
#include "play/review.h"
#include "record/record_file.h"
#include "web/core/convert.h"

namespace zubeki::web {
namespace {

const char* positionShownName(PositionShown why) {
    switch (why) {
    case PositionShown::NewGame:
        return "new-game";
    case PositionShown::Restored:
        return "restored";
    case PositionShown::Reviewed:
        return "reviewed";
    case PositionShown::Turned:
        return "turned";
    }
    return "";
}

const char* waveName(Wave wave) {
    switch (wave) {
    case Wave::Forbidden:
        return "forbidden";
    case Wave::Piece:
        return "piece";
    case Wave::GameEnd:
        return "game-end";
    case Wave::Vanish:
        return "vanish";
    }
    return "";
}

val moveEvent(const MoveEvent& e) {
    val out = val::object();
    out.set("move", moveObject(e.move));
    out.set("number", e.number);
    out.set("byComputer", e.byComputer);
    out.set("pause", e.pause);
    out.set("check", squareList(e.check));
    return out;
}

val stepEvent(const StepEvent& e, const Position& p) {
    val out = val::object();
    out.set("from", squareText(e.fromX, e.fromY));
    out.set("to", squareText(e.toX, e.toY));
    out.set("piece", pieceLetter(e.piece));
    out.set("target", pieceLetter(e.target));
    out.set("number", e.number);
    out.set("quiet", e.quiet);
    out.set("position", p.text());
    return out;
}

class JsEvents : public GameEvents {
  public:
    explicit JsEvents(val listener) : js_(std::move(listener)) {}

    void positionShown(PositionShown why, const Position& p, int number) override {
        emit("positionShown", std::string(positionShownName(why)), p.text(), number);
    }
    void twoPlayerGame() override { emit("twoPlayerGame"); }
    void levelShown(int level) override { emit("levelShown", level); }
    void moveBegun(const MoveEvent& e) override { emit("moveBegun", moveEvent(e)); }
    void pieceMoved(const MoveEvent& e) override { emit("pieceMoved", moveEvent(e)); }
    void checksSet(const MoveEvent& e) override { emit("checksSet", moveEvent(e)); }
    void computerMoveShown(const MoveEvent& e) override { emit("computerMoveShown", moveEvent(e)); }
    void groupCaptured(const SquareList& squares, const int (&pieces)[81]) override {
        val letters = val::array();
        for (int i = 0; i < squares.size; ++i) letters.call<void>("push", pieceLetter(pieces[i]));
        emit("groupCaptured", squareList(squares), letters);
    }
    void thinking(Side side) override { emit("thinking", static_cast<int>(side)); }
    void marksCleared() override { emit("marksCleared"); }
    void piecePicked(int x, int y, int piece, bool own, bool guide) override {
        emit("piecePicked", squareText(x, y), pieceLetter(piece), own, guide);
    }
    void pickMoved(Square from, int x, int y, int piece, bool own, bool guide) override {
        emit("pickMoved", squareText(from.x, from.y), squareText(x, y), pieceLetter(piece), own,
             guide);
    }
    void checkPiecesBlink() override { emit("checkPiecesBlink"); }
    void steppedBack(const StepEvent& e, const Position& p) override {
        emit("steppedBack", stepEvent(e, p));
    }
    void steppedForward(const StepEvent& e, const Position& p) override {
        emit("steppedForward", stepEvent(e, p));
    }
    void hintOutlined(Square a, Square b) override {
        emit("hintOutlined", squareText(a.x, a.y), squareText(b.x, b.y));
    }
    void hintCleared(Square a, Square b) override {
        emit("hintCleared", squareText(a.x, a.y), squareText(b.x, b.y));
    }
    void soundDue(Wave wave) override { emit("soundDue", std::string(waveName(wave))); }
    void closeRecordPanel() override { emit("closeRecordPanel"); }
    void restart() override { emit("restart"); }
    void quit() override { emit("quit"); }
    void showHint(const Move& hint) override {
        if (has("showHint"))
            emit("showHint", moveObject(hint), ヒント表記(hint));
        else
            GameEvents::showHint(hint);
    }
    Answer ask(const Question& q) override;
    int clockDigit() override {
        if (has("clockDigit")) return js_.call<int>("clockDigit");
        return static_cast<int>(std::time(nullptr) % 10);
    }

  private:
    bool has(const char* name) const { return js_[name].typeOf().as<std::string>() == "function"; }
    template <class... A> void emit(const char* name, A&&... args) {
        if (has(name)) js_.call<void>(name, std::forward<A>(args)...);
    }
    val js_;
};

Answer JsEvents::ask(const Question& q) {
    const bool yesNo = buttonsOf(q) == Buttons::YesNo;
    if (!has("ask")) return yesNo ? Answer::No : Answer::Ok;
    val question = val::object();
    question.set("what", static_cast<int>(q.what));
    question.set("text", textOf(q));
    question.set("title", titleOf(q));
    question.set("value", q.value);
    question.set("yesNo", yesNo);
    const val answer = js_.call<val>("ask", question);
    if (!yesNo) return Answer::Ok;
    return answer.isString() && answer.as<std::string>() == "yes" ? Answer::Yes : Answer::No;
}

// A move as the list beside the board writes it ("３四角", "２一飛成"); "パス" for the pass.
std::string boardNotation(const Move& m) {
    if (m.pass()) return "パス";
    return 指し手表記(m.移動先X, m.移動先Y, m.移動駒);
}

val scoreObject(const ReviewScore& s) {
    val out = val::object();
    out.set("kind", std::string(s.kind == ReviewScore::Kind::Win    ? "win"
                                : s.kind == ReviewScore::Kind::Loss ? "loss"
                                                                    : "value"));
    out.set("value", s.value);
    return out;
}

// One move of the review: the move and LEVEL4's move and line before it (in the board's
// notation), the score after it for the lower side, the lower side's chance before and after
// it in percent, the verdict ("inaccuracy", "mistake", "blunder" or "").
val reviewEntryObject(const ReviewEntry& e) {
    val out = val::object();
    out.set("index", e.index);
    out.set("n", e.n);
    out.set("side", e.side);
    out.set("move", boardNotation(e.move));
    out.set("pass", e.move.pass());
    out.set("best", moveObject(e.best));
    val pv = val::array();
    for (const Move& m : e.pv) pv.call<void>("push", boardNotation(m));
    out.set("pv", pv);
    out.set("score", scoreObject(e.score));
    out.set("ends", e.ends);
    out.set("lowerBefore", 100 * (e.side < 0 ? e.winBefore : 1 - e.winBefore));
    out.set("lowerAfter", 100 * (e.side < 0 ? e.winAfter : 1 - e.winAfter));
    const char* verdict = verdictName(e.verdict);
    out.set("verdict", std::string(verdict ? verdict : ""));
    return out;
}

val sideSummaryObject(const ReviewSideSummary& s) {
    val out = val::object();
    out.set("moves", s.moves);
    out.set("inaccuracies", s.inaccuracies);
    out.set("mistakes", s.mistakes);
    out.set("blunders", s.blunders);
    out.set("averageLoss", s.averageLoss);
    return out;
}

// The squares of a press: "7g" on the board, anything else off it.
std::pair<int, int> pressSquare(const std::string& square) {
    if (square.size() != 2 || square[0] < '1' || square[0] > '9' || square[1] < 'a' ||
        square[1] > 'i')
        return {0, 0};
    return {10 - (square[0] - '0'), square[1] - 'a' + 1};
}

class WebGame {
  public:
    explicit WebGame(val listener) : events_(std::move(listener)), game_(events_) {}

    void startUp(int level, bool guidance) { game_.startUp(level, guidance); }
    void newGame() { game_.初期設定(); }
    void twoPlayers() { game_.START(); }
    void vsComputerFirst() { game_.SENTE(); }
    void vsComputerSecond() { game_.GOTE(); }
    void setLevel(int level) { game_.setLevel(level); }
    void setGuidance(bool on) { game_.setGuidance(on); }
    void setBudget(double ms, double nodes) {
        ThinkBudget budget = game_.budget();
        budget.ms = ms;
        budget.nodes = static_cast<std::uint64_t>(nodes);
        budget.threads = 1;
        game_.setBudget(budget);
    }
    // A press of button 1 (left) or 2 (right, promoting) on a square ("7g") or off the board.
    void press(int button, const std::string& square) {
        const auto [x, y] = pressSquare(square);
        game_.press(button, x, y);
    }
    void back() { game_.REPLAY(); }
    void forward() { game_.AFTER(); }
    void toStart() { game_.CANCEL(); }
    void turnBoard() { game_.REVERSE(); }
    void hint() { game_.ヒント(); }
    void takeBack() { game_.待った(); }
    std::string position() const { return game_.state().text(); }
    // Whose turn it is (-1 lower, +1 upper, 0 no game), the mode, the level, the list.
    val session() const {
        const PlaySession& s = game_.session();
        val out = val::object();
        out.set("side", s.side());
        out.set("againstComputer", s.PLAY_MODE == MODE_COM);
        out.set("level", s.LEVEL);
        out.set("reversed", s.REVERSED == TRUE_CODE);
        out.set("recordLength", game_.record().RECORD_LEN);
        out.set("recordPosition", game_.record().RECORD_POS);
        out.set("online", game_.online());
        return out;
    }
    // The move list as the board shows it: [{n, side, text}], the moves 1..RECORD_LEN.
    val moves() const {
        const MoveList& list = game_.record();
        val out = val::array();
        for (int n = 1; n <= list.RECORD_LEN; ++n) {
            const Move m = list.move(n);
            val move = val::object();
            move.set("n", n);
            move.set("side", static_cast<int>(sideOf(list.REC_PIECE[n])));
            move.set("text", boardNotation(m));
            out.call<void>("push", move);
        }
        return out;
    }

    // 検討: LEVEL4 looks back on the game on the board (or the one that just ended) one
    // position a call; "" or the window's words why there is nothing to look at.
    std::string reviewOpen(double nodes) {
        reviewClose();
        const GameRecord game = game_.gameToReview();
        if (game.empty()) return "検討する手がありません";
        std::string why;
        std::optional<ReviewGame> review =
            prepareReview(game.start, game.firstSide(), game.played(), why);
        if (!review) return "この棋譜は検討できません";
        reviewBudget_ = defaultReviewBudget();
        reviewBudget_.threads = 1;
        if (nodes > 0) reviewBudget_.nodes = static_cast<std::uint64_t>(nodes);
        reviewed_ = game;
        reviewTotal_ = static_cast<int>(review->moves.size());
        review_ = std::make_unique<ReviewSteps>(std::move(*review), reviewBudget_);
        return {};
    }
    // The game went on since the review began: its new moves join the review, searched from
    // where it stands; false when the game on the board is not the one reviewed gone on.
    bool reviewFollow() {
        if (!review_) return false;
        const GameRecord game = game_.gameToReview();
        if (!game.goesOn(reviewed_)) return false;
        std::string why;
        std::optional<ReviewGame> review =
            prepareReview(game.start, game.firstSide(), game.played(), why);
        if (!review) return false;
        const std::vector<ReviewEntry> earlier = review_->result().entries;
        reviewed_ = game;
        reviewTotal_ = static_cast<int>(review->moves.size());
        review_ = std::make_unique<ReviewSteps>(std::move(*review), reviewBudget_, earlier);
        return true;
    }
    // The next position searched: the entries it completes.
    val reviewStep() {
        val out = val::array();
        if (review_)
            for (const ReviewEntry& e : review_->step())
                out.call<void>("push", reviewEntryObject(e));
        return out;
    }
    // {running, done, total, lower, upper}: how far the review is, and the counts per side.
    val reviewSummary() const {
        val out = val::object();
        const ReviewResult r = review_ ? review_->result() : ReviewResult{};
        out.set("running", review_ != nullptr && !review_->finished());
        out.set("done", static_cast<int>(r.entries.size()));
        out.set("total", reviewTotal_);
        out.set("lower", sideSummaryObject(r.lower));
        out.set("upper", sideSummaryObject(r.upper));
        return out;
    }
    // Shows the position entry `index` was played in, LEVEL4's move there outlined; a press
    // on the board resumes from it.
    void reviewShow(int index) {
        if (!review_) return;
        const ReviewResult r = review_->result();
        if (index < 0 || index >= static_cast<int>(r.entries.size())) return;
        // The board's list holds no passes.
        int n = 0;
        for (int i = 0; i < index; ++i) n += !r.entries[static_cast<std::size_t>(i)].move.pass();
        game_.showGameMove(reviewed_, n, r.entries[static_cast<std::size_t>(index)].best);
    }
    void reviewClose() {
        review_.reset();
        reviewTotal_ = 0;
    }
    // The game's record as its file holds it: {ok, bytes, error, warning}.
    // The game's file: a .棋譜 record, or for a game from a set-up position the .zbk text
    // ("zbk" true), which a .棋譜 reader could not misread.
    val recordBytes(const std::string& name, const std::string& upper, const std::string& lower) {
        const GameRecord game = game_.gameToReview();
        if (game.needsZbk()) {
            std::string why;
            const std::string text = zbkText(game.toZbk(game_.record().RECORD_POS), why);
            val out = val::object();
            out.set("ok", why.empty());
            out.set("zbk", true);
            out.set("bytes", bytesOut(text));
            out.set("error", why);
            out.set("warning", std::string());
            return out;
        }
        const RecordBytes r = zubeki::recordBytes({name, upper, lower}, game_.record());
        val out = val::object();
        out.set("zbk", false);
        out.set("ok", r.ok);
        out.set("bytes", bytesOut(r.bytes));
        out.set("error", r.error);
        out.set("warning", r.warning);
        return out;
    }
    // A record file's bytes put on the board to be stepped through; "" or why it was refused.
    std::string loadRecord(const val& bytes) {
        const std::string in = bytesIn(bytes);
        if (isZbkText(in)) {
            const ZbkRead z = readZbkBytes(in);
            if (!z.ok()) return z.error;
            game_.初期設定();
            game_.loadZbk(z.game);
            return {};
        }
        const ReadResult r = readRecordBytes(in);
        if (!r.ok) return r.error;
        game_.初期設定(); // as the window sets up anew before it shows a record
        game_.loadRecord(r.moves);
        return {};
    }

    // --- a game online: the page talks to the server, the core keeps the board ---
    // The server's game put on the board: its position, every move so far (the position
    // notation's move strings), the person at the board playing `mine` (-1 lower, +1 upper);
    // false when a move is not legal (the board then stands before it).
    bool beginOnline(const std::string& position, const val& moves, int mine) {
        std::string why;
        const std::optional<Position> start = Position::fromText(position, why);
        if (!start) return false;
        std::vector<std::string> list;
        const int n = moves["length"].as<int>();
        for (int i = 0; i < n; ++i) list.push_back(moves[i].as<std::string>());
        const bool legal = game_.beginOnline(*start, list, mine < 0 ? Side::Lower : Side::Upper, peer_);
        game_.playOnlineTurns();
        return legal;
    }
    // The other side's move as the server announced it ("pass" too), played on the board.
    void peerMoved(const std::string& move) {
        peer_.announce(move);
        game_.playOnlineTurns();
    }
    // The person's own pass, once the server has played it.
    void playOnlineTurns() { game_.playOnlineTurns(); }
    void endOnline() { game_.endOnline(); }
    // Every move and pass of the game online so far, as move strings.
    val line() const {
        val out = val::array();
        for (const Move& m : game_.line()) out.call<void>("push", 指し手文字列(m));
        return out;
    }

  private:
    JsEvents events_;
    PeerPlayer peer_; // outlives the game's turns
    Game game_;
    GameRecord reviewed_;
    std::unique_ptr<ReviewSteps> review_;
    ThinkBudget reviewBudget_;
    int reviewTotal_ = 0;
};

} // namespace

EMSCRIPTEN_BINDINGS(zubeki_game) {
    using namespace emscripten;
    class_<WebGame>("Game")
        .constructor<val>()
        .function("startUp", &WebGame::startUp)
        .function("newGame", &WebGame::newGame)
        .function("twoPlayers", &WebGame::twoPlayers)
        .function("vsComputerFirst", &WebGame::vsComputerFirst)
        .function("vsComputerSecond", &WebGame::vsComputerSecond)
        .function("setLevel", &WebGame::setLevel)
        .function("setGuidance", &WebGame::setGuidance)
        .function("setBudget", &WebGame::setBudget)
        .function("press", &WebGame::press)
        .function("back", &WebGame::back)
        .function("forward", &WebGame::forward)
        .function("toStart", &WebGame::toStart)
        .function("turnBoard", &WebGame::turnBoard)
        .function("hint", &WebGame::hint)
        .function("takeBack", &WebGame::takeBack)
        .function("position", &WebGame::position)
        .function("session", &WebGame::session)
        .function("moves", &WebGame::moves)
        .function("reviewOpen", &WebGame::reviewOpen)
        .function("reviewStep", &WebGame::reviewStep)
        .function("reviewSummary", &WebGame::reviewSummary)
        .function("reviewFollow", &WebGame::reviewFollow)
        .function("reviewShow", &WebGame::reviewShow)
        .function("reviewClose", &WebGame::reviewClose)
        .function("recordBytes", &WebGame::recordBytes)
        .function("loadRecord", &WebGame::loadRecord)
        .function("beginOnline", &WebGame::beginOnline)
        .function("peerMoved", &WebGame::peerMoved)
        .function("playOnlineTurns", &WebGame::playOnlineTurns)
        .function("endOnline", &WebGame::endOnline)
        .function("line", &WebGame::line);
}

} // namespace zubeki::web
