#pragma once

#include "game/squares.h"
#include "play/computer.h"
#include "play/events.h"

#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace zubeki {

class Game;
struct MoveList;

// Whoever chooses the moves of one side: a person at the board, the computer at a level, a
// record being replayed, a seeded random mover. The game asks it for a move when its side is
// to move and has a move (the pass rule comes first).
class Player {
  public:
    virtual ~Player() = default;
    // Can the player answer now? A person answers only with a press; a record only while it
    // has moves left.
    virtual bool ready() const { return true; }
    // The move for `side` (-1 lower, +1 upper) in the game as it stands, or nullopt when the
    // player has none yet (a person's first press) or none at all.
    virtual std::optional<Move> choose(Game& game, Side side) = 0;
    // The computer shows its moves its own way: its thinking, a pause before the piece lands,
    // the move in white.
    virtual bool isComputer() const { return false; }
    // What the game says when this player has to pass.
    virtual Say passText() const { return Say::YouPass; }
    // The player's side had no move and has passed.
    virtual void passed() {}
};

// The other side of a game online: the moves the server has announced for it, in order, as
// the position notation writes them ("9g9f", "3c1a+", "pass": the server plays a side's
// passes itself). A move the rules refuse comes back as no move at all.
class PeerPlayer : public Player {
  public:
    void announce(std::string move) { moves_.push_back(std::move(move)); }
    void clear() { moves_.clear(); }
    bool ready() const override { return !moves_.empty(); }
    std::optional<Move> choose(Game& game, Side side) override;
    Say passText() const override { return Say::OpponentPasses; }
    void passed() override;

  private:
    std::deque<std::string> moves_;
};

// The computer at a level: 0 plays at the game's own level (the level menu) and within the
// game's budget.
class ComputerPlayer : public Player {
  public:
    ComputerPlayer() = default;
    ComputerPlayer(int level, const ThinkBudget& budget) : level_(level), budget_(budget) {}
    std::optional<Move> choose(Game& game, Side side) override;
    bool isComputer() const override { return true; }
    Say passText() const override { return Say::ComputerPasses; }

  private:
    int level_ = 0;
    ThinkBudget budget_;
};

// Any legal move, the same for the same generator: a source and destination drawn uniformly,
// then a coin toss where the piece may promote.
class RandomPlayer : public Player {
  public:
    explicit RandomPlayer(std::mt19937& rng) : rng_(rng) {}
    std::optional<Move> choose(Game& game, Side side) override;

  private:
    std::mt19937& rng_;
};

// The moves of a record, in order, whoever they belong to; the game checks each.
class RecordPlayer : public Player {
  public:
    explicit RecordPlayer(const MoveList& moves, int first = 1);
    bool ready() const override;
    std::optional<Move> choose(Game& game, Side side) override;
    int next() const { return next_; }

  private:
    const MoveList& moves_;
    int next_;
};

// A uniform index in [0, n) from one draw; the same on every platform, unlike the standard
// distributions.
int uniformIndex(std::mt19937& rng, int n);

} // namespace zubeki
