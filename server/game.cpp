#include "server/game.h"

#include "game/position_text.h"

#include <chrono>

namespace zubeki::server {

std::int64_t SteadyClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

constexpr std::string_view kResults[] = {"", "lower", "upper", "draw", "aborted"};
constexpr std::string_view kReasons[] = {
    "", "capture", "camp", "double-pass", "resign", "agreement", "time", "abandoned", "abort"};

// A move string's shape: two squares ("9g9f"), and '+' when the piece promotes.
bool wellFormed(std::string_view text) {
    if (text.size() != 4 && !(text.size() == 5 && text[4] == '+')) return false;
    for (int i = 0; i < 4; i += 2)
        if (text[i] < '1' || text[i] > '9' || text[i + 1] < 'a' || text[i + 1] > 'i') return false;
    return true;
}

Result winner(Side s) {
    return s == Side::Lower ? Result::Lower : Result::Upper;
}

} // namespace

std::string_view resultText(Result r) {
    return kResults[static_cast<int>(r)];
}
std::string_view reasonText(EndReason r) {
    return kReasons[static_cast<int>(r)];
}
std::optional<Result> resultFromText(std::string_view text) {
    for (int i = 1; i < 5; ++i)
        if (kResults[i] == text) return static_cast<Result>(i);
    return std::nullopt;
}
std::optional<EndReason> reasonFromText(std::string_view text) {
    for (int i = 1; i < 9; ++i)
        if (kReasons[i] == text) return static_cast<EndReason>(i);
    return std::nullopt;
}
std::string_view sideText(Side s) {
    return s == Side::Lower ? "lower" : "upper";
}

std::string_view refusalCode(Refusal r) {
    switch (r) {
    case Refusal::None:
        return "";
    case Refusal::NotYourTurn:
        return "not-your-turn";
    case Refusal::IllegalMove:
        return "illegal-move";
    case Refusal::BadMove:
        return "bad-move";
    case Refusal::GameOver:
        return "game-over";
    case Refusal::TooLate:
        return "too-late";
    case Refusal::NoOffer:
        return "no-offer";
    case Refusal::TooEarly:
        return "too-early";
    }
    return "";
}

OnlineGame::OnlineGame(const Position& start, std::optional<ClockSettings> clock, const Clock& time)
    : start_(start), position_(start), settings_(clock), time_(&time) {
    if (settings_) left_ = {settings_->initialMs, settings_->initialMs};
    turnStarted_ = time_->nowMs();
    goneSince_ = {turnStarted_, turnStarted_};
}

Outcome OnlineGame::refuse(Refusal r, std::string why) const {
    static constexpr std::string_view kWhy[] = {
        "",
        "it is the other side's turn",
        "",
        "",
        "the game is over",
        "both sides have moved: resign or offer a draw instead",
        "no draw has been offered to you",
        "the other player has not been away long enough"};
    Outcome out;
    out.refusal = r;
    out.why = why.empty() ? std::string(kWhy[static_cast<int>(r)]) : std::move(why);
    return out;
}

Outcome OnlineGame::begin() {
    Outcome out;
    turnStarted_ = time_->nowMs();
    if (!position_.hasMove(position_.SIDE)) {
        LegalMoves legal;
        position_.legalMoves(legal);
        playMove(legal.at[0], out, false);
    }
    return out;
}

bool OnlineGame::restore(const std::vector<std::string>& moves, const Clocks& left) {
    for (const std::string& text : moves) {
        std::string why;
        const std::optional<Move> m = position_.moveFromText(text, why);
        if (!m || over()) return false;
        const Side mover = position_.SIDE;
        if (!m->pass()) hasMoved_[sideIndex(mover)] = true;
        const MoveOutcome o = position_.play(*m);
        moves_.push_back(text);
        if (o.end == GameEnd::Draw) result_ = Result::Draw;
        if (o.end == GameEnd::Capture || o.end == GameEnd::Camp) result_ = winner(mover);
    }
    if (over()) return false; // an ended game is not brought back
    if (settings_) left_ = left;
    turnStarted_ = time_->nowMs();
    goneSince_ = {turnStarted_, turnStarted_};
    return true;
}

Ply OnlineGame::plyOf(const std::string& text, Side by) const {
    return Ply{text, by, static_cast<int>(moves_.size()), 局面表記(position_, sign(position_.SIDE)),
               clocks()};
}

void OnlineGame::playMove(const Move& first, Outcome& out, bool charge) {
    Move m = first;
    for (;;) {
        const Side mover = position_.SIDE;
        const std::int64_t now = time_->nowMs();
        if (settings_) {
            // A pass the server plays costs no time and earns no increment.
            if (charge) left_[sideIndex(mover)] += settings_->incrementMs - (now - turnStarted_);
            turnStarted_ = now;
        }
        charge = false;
        if (!m.pass()) hasMoved_[sideIndex(mover)] = true;
        const MoveOutcome o = position_.play(m);
        moves_.push_back(指し手文字列(m));
        drawOffer_.reset();
        out.plies.push_back(plyOf(moves_.back(), mover));
        if (o.end != GameEnd::None) {
            const bool drawn = o.end == GameEnd::Draw;
            end(drawn ? Result::Draw : winner(mover), drawn ? EndReason::DoublePass
                                                      : o.end == GameEnd::Capture
                                                          ? EndReason::Capture
                                                          : EndReason::Camp);
            out.ended = true;
            return;
        }
        if (position_.hasMove(position_.SIDE)) return;
        LegalMoves legal;
        position_.legalMoves(legal);
        m = legal.at[0]; // the one pass
    }
}

Outcome OnlineGame::move(Side by, std::string_view text) {
    if (over()) return refuse(Refusal::GameOver);
    if (!wellFormed(text)) return refuse(Refusal::BadMove, quoted(text) + " is not a move");
    Outcome flag = checkTime();
    if (flag.ended) return flag;
    if (by != position_.SIDE) return refuse(Refusal::NotYourTurn);
    std::string why;
    const std::optional<Move> m = position_.moveFromText(text, why);
    if (!m) return refuse(Refusal::IllegalMove, why);
    Outcome out;
    playMove(*m, out, true);
    return out;
}

Outcome OnlineGame::end(Result r, EndReason why) {
    if (settings_ && !over()) {
        const std::int64_t now = time_->nowMs();
        left_[sideIndex(position_.SIDE)] -= now - turnStarted_;
        turnStarted_ = now;
    }
    result_ = r;
    reason_ = why;
    drawOffer_.reset();
    Outcome out;
    out.ended = true;
    return out;
}

Outcome OnlineGame::resign(Side by) {
    if (over()) return refuse(Refusal::GameOver);
    return end(winner(opposite(by)), EndReason::Resign);
}

Outcome OnlineGame::offerDraw(Side by) {
    if (over()) return refuse(Refusal::GameOver);
    drawOffer_ = by;
    return {};
}

Outcome OnlineGame::answerDraw(Side by, bool accept) {
    if (over()) return refuse(Refusal::GameOver);
    if (drawOffer_ != opposite(by)) return refuse(Refusal::NoOffer);
    if (accept) return end(Result::Draw, EndReason::Agreement);
    drawOffer_.reset();
    return {};
}

Outcome OnlineGame::abort(Side) {
    if (over()) return refuse(Refusal::GameOver);
    if (hasMoved_[0] && hasMoved_[1]) return refuse(Refusal::TooLate);
    return end(Result::Aborted, EndReason::Abort);
}

Outcome OnlineGame::claim(Side by, std::int64_t graceMs) {
    if (over()) return refuse(Refusal::GameOver);
    const int other = sideIndex(opposite(by));
    if (connected_[other] || time_->nowMs() - goneSince_[other] <= graceMs)
        return refuse(Refusal::TooEarly);
    return end(winner(by), EndReason::Abandoned);
}

Outcome OnlineGame::checkTime() {
    const std::optional<std::int64_t> until = msUntilFlag();
    if (!until || *until > 0) return {};
    end(winner(opposite(position_.SIDE)), EndReason::Time);
    left_[sideIndex(position_.SIDE)] = 0;
    Outcome out;
    out.ended = true;
    return out;
}

std::optional<std::int64_t> OnlineGame::msUntilFlag() const {
    if (!settings_ || over()) return std::nullopt;
    return left_[sideIndex(position_.SIDE)] - (time_->nowMs() - turnStarted_);
}

std::optional<Clocks> OnlineGame::clocks() const {
    if (!settings_) return std::nullopt;
    Clocks now = left_;
    if (!over()) now[sideIndex(position_.SIDE)] -= time_->nowMs() - turnStarted_;
    for (std::int64_t& ms : now)
        if (ms < 0) ms = 0;
    return now;
}

void OnlineGame::setConnected(Side s, bool connected) {
    const int i = sideIndex(s);
    if (connected_[i] && !connected) goneSince_[i] = time_->nowMs();
    connected_[i] = connected;
}

} // namespace zubeki::server
