#pragma once

#include "game/position.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The online game as the server keeps it: the position, every move played, the clocks and how
// the game ended. The server's word on each of them is final; the players only propose. No Qt.
namespace zubeki::server {

// Milliseconds on a clock that never goes back. The server reads the steady clock; tests hand
// in a clock they move by hand.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class SteadyClock final : public Clock {
  public:
    std::int64_t nowMs() const override;
};

enum class Result { None, Lower, Upper, Draw, Aborted };
enum class EndReason { None, Capture, Camp, DoublePass, Resign, Agreement, Time, Abandoned, Abort };

// The words the protocol and the database use for them.
std::string_view resultText(Result);
std::string_view reasonText(EndReason);
std::optional<Result> resultFromText(std::string_view);
std::optional<EndReason> reasonFromText(std::string_view);
std::string_view sideText(Side);

struct ClockSettings {
    std::int64_t initialMs = 0;
    std::int64_t incrementMs = 0;
};

// The time each side has left, lower then upper.
using Clocks = std::array<std::int64_t, 2>;
constexpr int sideIndex(Side s) {
    return s == Side::Lower ? 0 : 1;
}

// One move as it is announced: the move string ("9g9f", "pass"), who played it, its number in
// the game (passes counted), the position after it and the clocks then.
struct Ply {
    std::string move;
    Side by = Side::Lower;
    int n = 0;
    std::string position;
    std::optional<Clocks> clocks;
};

// Why a player's request changed nothing; the protocol's error code for each.
enum class Refusal {
    None,
    NotYourTurn,
    IllegalMove,
    BadMove,
    GameOver,
    TooLate,
    NoOffer,
    TooEarly
};
std::string_view refusalCode(Refusal);

// What a request did: refused (and then nothing else), or the moves it led to (the player's,
// then any passes the server played for a side left without a move) and whether it ended the
// game.
struct Outcome {
    Refusal refusal = Refusal::None;
    std::string why;
    std::vector<Ply> plies;
    bool ended = false;
};

class OnlineGame {
  public:
    OnlineGame(const Position& start, std::optional<ClockSettings> clock, const Clock& time);

    // Starts the clocks; a side to move without a move passes at once.
    Outcome begin();
    // Brings back a game from the database: the moves replayed through the rules and the time
    // left as it was stored; the side to move's clock runs again from now (the time the server
    // was away is no one's). False when a stored move is not legal.
    bool restore(const std::vector<std::string>& moves, const Clocks& left);

    Outcome move(Side by, std::string_view text);
    Outcome resign(Side by);
    Outcome offerDraw(Side by);
    Outcome answerDraw(Side by, bool accept);
    // Allowed while one of the sides has not made a move of its own yet.
    Outcome abort(Side by);
    // The side that stayed wins once the other has been gone longer than the grace.
    Outcome claim(Side by, std::int64_t graceMs);
    // Ends the game when the side to move has run out of time.
    Outcome checkTime();
    // How long until the side to move runs out of time; nullopt without clocks or after the end.
    std::optional<std::int64_t> msUntilFlag() const;

    void setConnected(Side s, bool connected);
    bool connected(Side s) const { return connected_[sideIndex(s)]; }

    const Position& start() const { return start_; }
    const Position& position() const { return position_; }
    const std::vector<std::string>& moves() const { return moves_; }
    const std::optional<ClockSettings>& clockSettings() const { return settings_; }
    // The time left now, the side to move's clock running.
    std::optional<Clocks> clocks() const;
    // The time left as of the last move (what the database keeps).
    const Clocks& storedClocks() const { return left_; }
    Result result() const { return result_; }
    EndReason reason() const { return reason_; }
    bool over() const { return result_ != Result::None; }
    std::optional<Side> drawOfferBy() const { return drawOffer_; }

  private:
    Outcome refuse(Refusal r, std::string why = {}) const;
    // Plays a legal move and then the passes the side to move may owe; fills `out`.
    void playMove(const Move& m, Outcome& out, bool charge);
    Ply plyOf(const std::string& text, Side by) const;
    Outcome end(Result r, EndReason why);

    Position start_;
    Position position_;
    std::vector<std::string> moves_;
    std::optional<ClockSettings> settings_;
    const Clock* time_;
    Clocks left_{};
    std::int64_t turnStarted_ = 0;
    std::array<bool, 2> hasMoved_{};
    std::array<bool, 2> connected_{};
    std::array<std::int64_t, 2> goneSince_{};
    std::optional<Side> drawOffer_;
    Result result_ = Result::None;
    EndReason reason_ = EndReason::None;
};

} // namespace zubeki::server
