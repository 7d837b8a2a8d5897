#include "cli/match.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

#include "cli/json.h"
#include "cli/replay.h"
#include "record/record_file.h"

namespace zubeki::cli {
namespace {

// A's result in one game: 2 a win, 1 a draw or an unfinished game, 0 a loss.
int halfPoints(const MatchGame& g) {
    switch (g.outcome) {
    case GameOutcome::UpperWin:
        return g.aUpper ? 2 : 0;
    case GameOutcome::LowerWin:
        return g.aUpper ? 0 : 2;
    default:
        return 1;
    }
}

std::string recordName(int game) {
    char name[32];
    std::snprintf(name, sizeof name, "match-%04d", game);
    return name;
}

const char* verdictText(SprtVerdict v) {
    return v == SprtVerdict::AcceptH1 ? "H1" : v == SprtVerdict::AcceptH0 ? "H0" : "continue";
}

} // namespace

std::string playerName(int level) {
    return "COM LEVEL " + std::to_string(level);
}

MatchGame playMatchGame(const MatchOptions& options, int pair, bool second) {
    MatchGame result;
    result.aUpper = !second;
    // Both games of a pair open alike; the clock digits after the opening are each game's own.
    std::seed_seq openingSeeds{options.seed, static_cast<std::uint32_t>(pair)};
    std::mt19937 opening(openingSeeds);
    std::seed_seq gameSeeds{options.seed, static_cast<std::uint32_t>(pair), second ? 2u : 1u};
    std::mt19937 rng(gameSeeds);

    int digit = 0;
    SilentOutside outside([](void* d) { return *static_cast<int*>(d); }, &digit);
    Game play(outside);
    const int first = setUpStart(play, options.start, -1);
    SeededComputer a(options.levelA, options.budgetA, rng, digit);
    SeededComputer b(options.levelB, options.budgetB, rng, digit);
    // The pair's opening: its first moves, whoever makes them, are seeded random ones.
    struct Opening : Player {
        Opening(std::mt19937& rng, int& played, int count, Player& after)
            : random(rng), ply(played), moves(count), then(after) {}
        std::optional<PlayedMove> choose(Game& game, int side) override {
            return ply++ < moves ? random.choose(game, side) : then.choose(game, side);
        }
        RandomPlayer random;
        int& ply;
        int moves;
        Player& then;
    };
    int ply = 0;
    Opening upper(opening, ply, options.openings, result.aUpper ? static_cast<Player&>(a) : b);
    Opening lower(opening, ply, options.openings, result.aUpper ? static_cast<Player&>(b) : a);
    // The lower side opens, unless the position given says otherwise.
    play.begin(first, &lower, &upper);
    result.outcome = play.playToEnd(result.moves);
    result.list = play.record();
    return result;
}

MatchSummary match(const MatchOptions& options) {
    const int pairs = (options.games + 1) / 2;
    std::vector<MatchGame> games(static_cast<std::size_t>(pairs) * 2);
    std::vector<char> done(static_cast<std::size_t>(pairs), 0);
    std::atomic<int> next{0};
    std::atomic<int> stopAt{pairs}; // pairs beyond a verdict are not started
    std::mutex counting;
    int counted = 0; // pairs counted in order so far
    PairCounts pentanomial;
    MatchSummary summary;

    auto countInOrder = [&] {
        // Under `counting`: takes every finished pair that follows the last one counted.
        while (counted < pairs && counted < stopAt && done[static_cast<std::size_t>(counted)]) {
            const int points = halfPoints(games[static_cast<std::size_t>(counted) * 2]) +
                               halfPoints(games[static_cast<std::size_t>(counted) * 2 + 1]);
            pentanomial.pairs[points] += 1;
            ++counted;
            if (options.sprt) {
                const SprtBounds& b = *options.sprt;
                const SprtResult r = sprt(pentanomial, b.elo0, b.elo1, b.alpha, b.beta);
                if (r.verdict != SprtVerdict::Continue) stopAt = counted;
            }
        }
    };
    auto worker = [&] {
        for (int p = next++; p < pairs && p < stopAt; p = next++) {
            MatchGame first = playMatchGame(options, p, false);
            MatchGame second = playMatchGame(options, p, true);
            const std::lock_guard<std::mutex> lock(counting);
            games[static_cast<std::size_t>(p) * 2] = std::move(first);
            games[static_cast<std::size_t>(p) * 2 + 1] = std::move(second);
            done[static_cast<std::size_t>(p)] = 1;
            countInOrder();
        }
    };

    const auto start = std::chrono::steady_clock::now();
    const int threads = options.concurrency < 1 ? 1 : std::min(options.concurrency, pairs);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    GameCounts trinomial;
    for (int g = 0; g < counted * 2; ++g) {
        MatchGame& game = games[static_cast<std::size_t>(g)];
        summary.games += 1;
        summary.moves += game.moves;
        const int points = halfPoints(game);
        if (game.outcome == GameOutcome::Unfinished) ++summary.unfinished;
        if (points == 2) ++summary.winsA, ++trinomial.wins;
        if (points == 0) ++summary.winsB, ++trinomial.losses;
        if (points == 1) ++trinomial.draws;
        if (game.outcome == GameOutcome::Draw) ++summary.draws;
    }
    summary.score = matchScore(pentanomial);
    summary.elo = eloEstimate(pentanomial);
    summary.los = likelihoodOfSuperiority(trinomial);
    if (options.sprt) {
        const SprtBounds& b = *options.sprt;
        summary.sprt = sprt(pentanomial, b.elo0, b.elo1, b.alpha, b.beta);
    }
    games.resize(static_cast<std::size_t>(counted) * 2);

    if (options.records) {
        for (std::size_t g = 0; g < games.size(); ++g) {
            const MatchGame& game = games[g];
            const int a = options.levelA, b = options.levelB;
            const RecordHeader header{
                "match seed " + std::to_string(options.seed) + " pair " + std::to_string(g / 2 + 1),
                playerName(game.aUpper ? a : b) + (game.aUpper ? " (A)" : " (B)"),
                playerName(game.aUpper ? b : a) + (game.aUpper ? " (B)" : " (A)")};
            const WriteResult written = writeRecord(
                *options.records, recordName(static_cast<int>(g) + 1), header, game.list);
            if (!written.ok) {
                summary.error = recordName(static_cast<int>(g) + 1) + ": " + written.error;
                break;
            }
        }
    }
    summary.each = std::move(games);
    return summary;
}

std::string matchJson(const MatchSummary& s) {
    JsonWriter w;
    w.beginObject();
    w.key("games").value(s.games);
    w.key("wins_a").value(s.winsA);
    w.key("wins_b").value(s.winsB);
    w.key("draws").value(s.draws);
    w.key("unfinished").value(s.unfinished);
    w.key("score_a").value(s.score);
    // An interval that runs to infinity (a score of 0 or 1) is written as null.
    auto finite = [&w](double v) {
        if (v == v && v < 1e300 && v > -1e300)
            w.value(v);
        else
            w.null();
    };
    w.key("elo");
    finite(s.elo.elo);
    w.key("elo_95");
    w.beginArray();
    finite(s.elo.lower);
    finite(s.elo.upper);
    w.endArray();
    w.key("los").value(s.los);
    if (s.sprt) {
        w.key("sprt").beginObject();
        w.key("llr").value(s.sprt->llr);
        w.key("lower").value(s.sprt->lower);
        w.key("upper").value(s.sprt->upper);
        w.key("verdict").value(verdictText(s.sprt->verdict));
        w.endObject();
    }
    w.key("moves").value(s.moves);
    w.key("seconds").value(s.seconds);
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
