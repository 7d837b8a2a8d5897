#include "cli/selfplay.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "ai/search.h"
#include "cli/json.h"
#include "cli/replay.h"
#include "record/record_file.h"

namespace zubeki::cli {
int uniformIndex(std::mt19937& rng, int n) {
    return static_cast<int>((static_cast<std::uint64_t>(rng()) * static_cast<std::uint64_t>(n)) >>
                            32);
}

ChosenMove randomMove(GameState& s, bool upper, std::mt19937& rng) {
    struct Candidate {
        signed char fx, fy, tx, ty;
    };
    Candidate moves[9 * 81];
    int n = 0;
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int p = s.BOARD[fx][fy];
            if (upper ? !isUpperPiece(p) : !isLowerPiece(p)) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (n < 9 * 81 && s.移動チェック(fx, fy, tx, ty, p) == TRUE_CODE)
                        moves[n++] =
                            Candidate{static_cast<signed char>(fx), static_cast<signed char>(fy),
                                      static_cast<signed char>(tx), static_cast<signed char>(ty)};
        }
    if (n == 0) return {};
    const Candidate c = moves[uniformIndex(rng, n)];
    ChosenMove m{true, c.fx, c.fy, c.tx, c.ty, s.BOARD[c.fx][c.fy], s.BOARD[c.fx][c.fy]};
    if (s.調査_駒成(m.fromX, m.fromY, m.toX, m.toY, m.before) == TRUE_CODE && (rng() & 1u) != 0)
        m.after = s.PROMOTED_PIECE;
    return m;
}

GameOutcome playOut(Game& play, int side, int& moves,
                    const std::function<ChosenMove(int side)>& choose) {
    for (;;) {
        if (play.record().full()) return GameOutcome::Unfinished; // the 500-move limit
        const PassOutcome pass = play.パス判定(side < 0 ? SITA_BISHOP : UE_BISHOP);
        if (pass == PassOutcome::Draw) return GameOutcome::Draw;
        if (pass == PassOutcome::Pass) {
            side = -side;
            continue;
        }
        const ChosenMove m = choose(side);
        if (!m.found) return GameOutcome::Unfinished; // cannot happen after the pass test
        const MoveOutcome outcome =
            playRecordedMove(play, {m.fromX, m.fromY, m.toX, m.toY, m.before, m.after});
        moves += 1;
        if (outcome.end != GameEnd::None)
            return side > 0 ? GameOutcome::UpperWin : GameOutcome::LowerWin;
        side = -side;
    }
}

ChosenMove fromComputer(const ComputerMove& c) {
    return ChosenMove{c.found, c.移動元X, c.移動元Y, c.移動先X, c.移動先Y, c.移動前駒, c.移動駒};
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
    play.初期設定();
    play.setLevel(options.level);
    play.setBudget(options.budget);
    SelfplayGame result;
    int side = game % 2 == 1 ? -1 : 1;

    result.outcome = playOut(play, side, result.moves, [&](int mover) {
        if (mover > 0 || options.lowerComputer) {
            digit = uniformIndex(rng, 10);
            result.digits.push_back(digit);
            return fromComputer(play.思考(mover > 0));
        }
        GameState probe = play.state(); // the legality queries note promotion codes
        return randomMove(probe, false, rng);
    });
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

        if (options.records) {
            const RecordHeader header{"selfplay seed " + std::to_string(options.seed) + " game " +
                                          std::to_string(game),
                                      upper, lower};
            const WriteResult written =
                writeRecord(*options.records, selfplayRecordName(game), header, list);
            if (!written.ok) {
                summary.error = selfplayRecordName(game) + ": " + written.error;
                break;
            }
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
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
