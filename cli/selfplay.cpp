#include "cli/selfplay.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "ai/search.h"
#include "cli/json.h"
#include "cli/replay.h"
#include "record/record_file.h"

namespace zubeki::cli {
std::optional<Move> SeededComputer::choose(Game& game, Side side) {
    digit_ = uniformIndex(rng_, 10);
    if (digits_) digits_->push_back(digit_);
    return ComputerPlayer::choose(game, side);
}

Side setUpStart(Game& play, const std::optional<ReadPosition>& start, Side side) {
    play.初期設定();
    if (!start) return side;
    play.restore(start->state, MoveList{});
    return sideOfSign(start->side);
}

std::string selfplayRecordName(int game) {
    char name[32];
    std::snprintf(name, sizeof name, "game-%04d", game);
    return name;
}

SelfplayGame playSelfplayGame(const SelfplayOptions& options, int game, MoveList& list) {
    // One generator per game, so any game of a run can be played again on its own.
    std::seed_seq seeds{options.seed, static_cast<std::uint32_t>(game)};
    std::mt19937 rng(seeds);
    // The seconds digit of the evaluation comes from the game's own generator, drawn once
    // before each of the computer's moves.
    int digit = 0;
    SilentOutside outside([](void* d) { return *static_cast<int*>(d); }, &digit);
    Game play(outside);
    const Side first = setUpStart(play, options.start, game % 2 == 1 ? Side::Lower : Side::Upper);
    SelfplayGame result;
    SeededComputer upper(options.level, options.budget, rng, digit, &result.digits);
    SeededComputer lowerComputer(options.level, options.budget, rng, digit, &result.digits);
    RandomPlayer random(rng);
    Player& lower = options.lowerComputer ? static_cast<Player&>(lowerComputer) : random;
    // Without opening moves nothing more is drawn, so such games stay as they always were.
    int opened = 0;
    OpeningPlayer openUpper(rng, opened, options.openings, upper);
    OpeningPlayer openLower(rng, opened, options.openings, lower);
    play.begin(first, &openLower, &openUpper);
    result.outcome = play.playToEnd(result.moves);
    list = play.record();
    for (int x = 0; x <= 9; ++x)
        for (int y = 0; y <= 9; ++y) result.board[x][y] = play.state().BOARD[x][y];
    return result;
}

SelfplaySummary selfplay(const SelfplayOptions& options) {
    SelfplaySummary summary;
    summary.each.reserve(static_cast<std::size_t>(options.games > 0 ? options.games : 0));
    const std::string upper = "COM LEVEL " + std::to_string(options.level);
    const std::string lower = options.lowerComputer ? upper : "RANDOM";
    std::chrono::steady_clock::duration playing{};

    for (int game = 1; game <= options.games; ++game) {
        MoveList list;
        const auto start = std::chrono::steady_clock::now();
        const SelfplayGame g = playSelfplayGame(options, game, list);
        playing += std::chrono::steady_clock::now() - start;

        summary.games += 1;
        summary.moves += g.moves;
        switch (g.outcome) {
        case GameOutcome::UpperWin:
            ++summary.upperWins;
            break;
        case GameOutcome::LowerWin:
            ++summary.lowerWins;
            break;
        case GameOutcome::Draw:
            ++summary.draws;
            break;
        case GameOutcome::Unfinished:
            ++summary.unfinished;
            break;
        }
        summary.each.push_back(g);

        if (options.records && summary.error.empty()) {
            const RecordHeader header{"selfplay seed " + std::to_string(options.seed) + " game " +
                                          std::to_string(game),
                                      upper, lower};
            const WriteResult written =
                writeRecord(*options.records, selfplayRecordName(game), header, list);
            if (!written.ok) summary.error = selfplayRecordName(game) + ": " + written.error;
        }
    }
    summary.seconds = std::chrono::duration<double>(playing).count();
    return summary;
}

std::string selfplayJson(const SelfplaySummary& summary) {
    JsonWriter w;
    w.beginObject();
    w.key("games").value(summary.games);
    w.key("upper_wins").value(summary.upperWins);
    w.key("lower_wins").value(summary.lowerWins);
    w.key("draws").value(summary.draws);
    w.key("unfinished").value(summary.unfinished);
    w.key("moves").value(summary.moves);
    w.key("seconds").value(summary.seconds);
    w.key("moves_per_second")
        .value(summary.seconds > 0 ? static_cast<double>(summary.moves) / summary.seconds : 0.0);
    if (!summary.error.empty()) w.key("errors").beginArray().value(summary.error).endArray();
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
