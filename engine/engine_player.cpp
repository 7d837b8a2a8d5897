#include "engine/engine_player.h"

#include "game/moves.h"

namespace zubeki::engine {

namespace {

constexpr std::chrono::milliseconds kHandshake{10'000};
// A node budget is given a second of patience for every 500,000 nodes (at least one).
constexpr double kNodesPerSecond = 500'000;

} // namespace

EnginePlayer::EnginePlayer(EngineSettings settings, const ThinkBudget& budget)
    : settings_(std::move(settings)), budget_(budget) {}

EnginePlayer::~EnginePlayer() {
    if (process_) process_->end("quit");
}

void EnginePlayer::fail(EngineFault fault, std::string text) {
    fault_ = fault;
    faultText_ = std::move(text);
    // An engine that failed is ended, whatever it is doing, and started afresh for the next game.
    if (process_) process_->end("quit");
    process_.reset();
}

std::chrono::milliseconds EnginePlayer::patience() const {
    const double seconds = budget_.nodes > 0
                               ? std::max(1.0, static_cast<double>(budget_.nodes) / kNodesPerSecond)
                               : budget_.ms / 1000.0;
    return std::chrono::milliseconds(static_cast<long long>((3 * seconds + 1) * 1000));
}

bool EnginePlayer::start() {
    process_ = std::make_unique<Process>(settings_.command, settings_.errorLog);
    if (!process_->started()) {
        fail(EngineFault::Crash, "cannot start '" + settings_.command + "': " + process_->error());
        return false;
    }
    auto await = [&](std::string_view word) {
        while (const auto line = process_->readLine(kHandshake))
            if (*line == word) return true;
        fail(process_->ended() ? EngineFault::Crash : EngineFault::Timeout,
             "'" + settings_.command + "' did not answer " + std::string(word));
        return false;
    };
    process_->send("zubeki");
    if (!await("zubekiok")) return false;
    for (const auto& [name, value] : settings_.options)
        process_->send("setoption name " + name + " value " + value);
    process_->send("isready");
    return await("readyok");
}

bool EnginePlayer::newGame() {
    fault_ = EngineFault::None;
    faultText_.clear();
    if ((!process_ || process_->ended()) && !start()) return false;
    process_->send("newgame");
    return true;
}

std::optional<Move> EnginePlayer::choose(Game& game, Side side) {
    if (fault_ != EngineFault::None) return std::nullopt;
    if ((!process_ || process_->ended()) && !start()) return std::nullopt;
    std::string position = "position pos " + game.startText();
    if (!game.line().empty()) position += " moves";
    for (const Move& m : game.line()) position += " " + 指し手文字列(m);
    process_->send(position);
    process_->send(budget_.nodes > 0
                       ? "go nodes " + std::to_string(budget_.nodes)
                       : "go movetime " + std::to_string(static_cast<long long>(budget_.ms)));
    const auto deadline = std::chrono::steady_clock::now() + patience();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const std::optional<std::string> line =
            process_->readLine(left.count() > 0 ? left : std::chrono::milliseconds(0));
        if (!line) {
            if (process_->ended())
                fail(EngineFault::Crash, "'" + settings_.command + "' ended during its move");
            else
                fail(EngineFault::Timeout, "'" + settings_.command + "' gave no move in time");
            return std::nullopt;
        }
        if (line->rfind("bestmove ", 0) != 0) continue;
        std::string text = line->substr(9);
        text = text.substr(0, text.find(' '));
        std::string why;
        const std::optional<Move> m = 指し手解釈(game.state(), sign(side), text, why);
        if (!m || m->pass()) {
            fail(EngineFault::Illegal,
                 "'" + settings_.command + "' played " + text + (why.empty() ? "" : ": " + why));
            return std::nullopt;
        }
        return m;
    }
}

} // namespace zubeki::engine
