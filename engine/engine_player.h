#pragma once

#include "engine/process.h"
#include "play/game.h"
#include "play/player.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Any program that speaks the engine protocol, as a player: the game's line is sent as a
// position, the budget as `go`, and its `bestmove` comes back as the move.
namespace zubeki::engine {

enum class EngineFault { None, Crash, Timeout, Illegal };

struct EngineSettings {
    std::string command;                                      // run through the shell
    std::vector<std::pair<std::string, std::string>> options; // sent as setoption
    std::string errorLog; // where its standard error goes ("" for nowhere)
};

class EnginePlayer : public Player {
  public:
    EnginePlayer(EngineSettings settings, const ThinkBudget& budget);
    ~EnginePlayer() override;

    // Readies the engine for a new game, starting it (again) where it is not running; false,
    // with the fault noted, when it does not answer.
    bool newGame();
    std::optional<Move> choose(Game& game, Side side) override;
    bool isComputer() const override { return true; }
    Say passText() const override { return Say::ComputerPasses; }

    // What went wrong in the last game, if anything, and in a few words.
    EngineFault fault() const { return fault_; }
    const std::string& faultText() const { return faultText_; }

  private:
    bool start();
    void fail(EngineFault fault, std::string text);
    // How long the engine may take over a move: three times its budget and a second.
    std::chrono::milliseconds patience() const;

    EngineSettings settings_;
    ThinkBudget budget_;
    std::unique_ptr<Process> process_;
    EngineFault fault_ = EngineFault::None;
    std::string faultText_;
};

} // namespace zubeki::engine
