#include "cli/match.h"

#include <atomic>
#include <chrono>
#include <cmath>
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

const char* verdictText(SprtVerdict v) {
    return v == SprtVerdict::AcceptH1 ? "H1" : v == SprtVerdict::AcceptH0 ? "H0" : "continue";
}

} // namespace

std::string playerName(const MatchPlayer& player) {
    if (player.engine) return "ENGINE " + player.engine->command.substr(0, 40);
    return "COM LEVEL " + std::to_string(player.level);
}

std::string matchRecordName(long long game) {
    char name[32];
    std::snprintf(name, sizeof name, "match-%04lld", game);
    return name;
}

std::unique_ptr<Player> seatPlayer(const MatchPlayer& who, std::mt19937& rng, int& digit) {
    return std::make_unique<SeededComputer>(who.level, who.budget, rng, digit);
}

namespace {

// The engine of one side, started at its first game; nullptr for a built-in level.
engine::EnginePlayer* engineSeat(const MatchPlayer& who,
                                 std::unique_ptr<engine::EnginePlayer>& seat) {
    if (!who.engine) return nullptr;
    if (!seat) seat = std::make_unique<engine::EnginePlayer>(*who.engine, who.budget);
    return seat.get();
}

} // namespace

MatchGame playMatchGame(const MatchOptions& options, int pair, bool second, EngineSeats* seats) {
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
    const Side first = setUpStart(play, options.start, Side::Lower);
    EngineSeats own;
    EngineSeats& kept = seats ? *seats : own;
    engine::EnginePlayer* engineA = engineSeat(options.a, kept.a);
    engine::EnginePlayer* engineB = engineSeat(options.b, kept.b);
    const std::unique_ptr<Player> builtA = engineA ? nullptr : seatPlayer(options.a, rng, digit);
    const std::unique_ptr<Player> builtB = engineB ? nullptr : seatPlayer(options.b, rng, digit);
    Player& a = engineA ? static_cast<Player&>(*engineA) : *builtA;
    Player& b = engineB ? static_cast<Player&>(*engineB) : *builtB;
    // The pair's opening: its first moves, whoever makes them, are seeded random ones.
    int ply = 0;
    OpeningPlayer upper(opening, ply, options.openings, result.aUpper ? a : b);
    OpeningPlayer lower(opening, ply, options.openings, result.aUpper ? b : a);
    // The lower side opens, unless the position given says otherwise.
    play.begin(first, &lower, &upper);
    const bool readyA = !engineA || engineA->newGame();
    const bool readyB = !engineB || engineB->newGame();
    if (readyA && readyB) result.outcome = play.playToEnd(result.moves);
    // An engine that ended, went silent or played an illegal move loses the game.
    for (engine::EnginePlayer* e : {engineA, engineB}) {
        if (!e || e->fault() == engine::EngineFault::None) continue;
        const bool isA = e == engineA;
        (isA ? result.faultA : result.faultB) = e->fault();
        result.faultText = e->faultText();
        result.outcome = isA == result.aUpper ? GameOutcome::LowerWin : GameOutcome::UpperWin;
        break;
    }
    result.list = play.record();
    return result;
}

void matchFigures(MatchSummary& s, const std::optional<SprtBounds>& bounds) {
    s.score = matchScore(s.pairs);
    s.elo = eloEstimate(s.pairs);
    // With no pair played there is no estimate at all (written as null), not an Elo of 0
    // known exactly.
    if (s.pairs.total() == 0) s.elo.elo = s.elo.lower = s.elo.upper = std::nan("");
    s.los = likelihoodOfSuperiority(s.trinomial);
    s.sprt.reset();
    if (bounds) s.sprt = sprt(s.pairs, bounds->elo0, bounds->elo1, bounds->alpha, bounds->beta);
}

namespace {

// Plays the pairs on `options.concurrency` threads into `games` (two a pair), counting each
// finished pair into `summary.pairs` in order, and stops starting pairs after the sequential
// test's verdict. The answer is the number of pairs counted.
int playPairs(const MatchOptions& options, std::vector<MatchGame>& games, MatchSummary& summary) {
    const int pairs = static_cast<int>(games.size() / 2);
    const int firstIndex = options.firstPair - 1; // the first pair's index for the seed
    std::vector<char> done(static_cast<std::size_t>(pairs), 0);
    std::atomic<int> next{0};
    std::atomic<int> stopAt{pairs}; // pairs beyond a verdict are not started
    std::mutex counting;
    int counted = 0; // pairs counted in order so far

    auto countInOrder = [&] {
        // Under `counting`: takes every finished pair that follows the last one counted.
        while (counted < pairs && counted < stopAt && done[static_cast<std::size_t>(counted)]) {
            const int points = halfPoints(games[static_cast<std::size_t>(counted) * 2]) +
                               halfPoints(games[static_cast<std::size_t>(counted) * 2 + 1]);
            summary.pairs.pairs[points] += 1;
            ++counted;
            if (options.sprt) {
                const SprtBounds& b = *options.sprt;
                const SprtResult r = sprt(summary.pairs, b.elo0, b.elo1, b.alpha, b.beta);
                if (r.verdict != SprtVerdict::Continue) stopAt = counted;
            }
        }
    };
    std::atomic<int> workers{0};
    auto worker = [&] {
        // This worker's own engine processes, their errors in its logs beside the records.
        const int number = ++workers;
        MatchOptions mine = options;
        for (auto [player, name] : {std::pair{&mine.a, "a"}, std::pair{&mine.b, "b"}})
            if (player->engine && options.records)
                player->engine->errorLog =
                    (*options.records /
                     ("engine-" + std::string(name) + "-" + std::to_string(number) + ".log"))
                        .string();
        EngineSeats seats;
        for (int p = next++; p < pairs && p < stopAt; p = next++) {
            MatchGame first = playMatchGame(mine, firstIndex + p, false, &seats);
            MatchGame second = playMatchGame(mine, firstIndex + p, true, &seats);
            for (const MatchGame* g : {&first, &second})
                if (!g->faultText.empty())
                    std::fprintf(stderr, "zubeki-cli: %s\n", g->faultText.c_str());
            const std::lock_guard<std::mutex> lock(counting);
            games[static_cast<std::size_t>(p) * 2] = std::move(first);
            games[static_cast<std::size_t>(p) * 2 + 1] = std::move(second);
            done[static_cast<std::size_t>(p)] = 1;
            countInOrder();
        }
    };

    const int threads = options.concurrency < 1 ? 1 : std::min(options.concurrency, pairs);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    return counted;
}

// The counts of the games played: wins, draws, unfinished games and the engines' faults.
void tallyGames(const std::vector<MatchGame>& games, MatchSummary& summary) {
    for (const MatchGame& game : games) {
        summary.games += 1;
        summary.moves += game.moves;
        const int points = halfPoints(game);
        if (game.outcome == GameOutcome::Unfinished) ++summary.unfinished;
        if (points == 2) ++summary.winsA, ++summary.trinomial.wins;
        if (points == 0) ++summary.winsB, ++summary.trinomial.losses;
        if (points == 1) ++summary.trinomial.draws;
        if (game.outcome == GameOutcome::Draw) ++summary.draws;
        for (const engine::EngineFault f : {game.faultA, game.faultB}) {
            summary.crashes += f == engine::EngineFault::Crash ? 1 : 0;
            summary.timeouts += f == engine::EngineFault::Timeout ? 1 : 0;
            summary.illegal += f == engine::EngineFault::Illegal ? 1 : 0;
        }
    }
}

// Each game written as a record into --records; the first that fails ends the writing.
void writeMatchRecords(const MatchOptions& options, const std::vector<MatchGame>& games,
                       MatchSummary& summary) {
    const int firstIndex = options.firstPair - 1;
    for (std::size_t g = 0; g < games.size(); ++g) {
        const MatchGame& game = games[g];
        const MatchPlayer& upper = game.aUpper ? options.a : options.b;
        const MatchPlayer& lower = game.aUpper ? options.b : options.a;
        // Pairs and games are numbered over the whole seed, so that the records of runs
        // that share it out by --first-pair never clash.
        const long long pair = static_cast<long long>(firstIndex) + 1 + (g / 2);
        const std::string name = matchRecordName(2 * pair - 1 + (g % 2));
        const RecordHeader header{"match seed " + std::to_string(options.seed) + " pair " +
                                      std::to_string(pair),
                                  playerName(upper) + (game.aUpper ? " (A)" : " (B)"),
                                  playerName(lower) + (game.aUpper ? " (B)" : " (A)")};
        const WriteResult written = writeRecord(*options.records, name, header, game.list);
        if (!written.ok) {
            summary.error = name + ": " + written.error;
            return;
        }
    }
}

} // namespace

MatchSummary match(const MatchOptions& options) {
    const int pairs = (options.games + 1) / 2;
    std::vector<MatchGame> games(static_cast<std::size_t>(pairs) * 2);
    MatchSummary summary;
    const auto start = std::chrono::steady_clock::now();
    const int counted = playPairs(options, games, summary);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    games.resize(static_cast<std::size_t>(counted) * 2);
    tallyGames(games, summary);
    matchFigures(summary, options.sprt);
    if (options.records) writeMatchRecords(options, games, summary);
    summary.each = std::move(games);
    return summary;
}

namespace {

// A count in a result read back: a whole number, 0..kMaxCount; false when it is not.
constexpr double kMaxCount = 1e12; // far above any run, far below where sums could overflow

bool readCount(const JsonValue& json, const char* key, long long& out, std::string& error) {
    const JsonValue* v = json.find(key);
    if (!v || v->kind != JsonValue::Kind::Number || !(v->number >= 0 && v->number <= kMaxCount) ||
        v->number != std::floor(v->number)) {
        error = std::string("no count \"") + key + "\" (a whole number, given once)";
        return false;
    }
    out = static_cast<long long>(v->number);
    return true;
}

} // namespace

std::optional<MatchSummary> matchCounts(const JsonValue& json, std::string& error) {
    if (json.kind != JsonValue::Kind::Object) {
        error = "not a JSON object";
        return std::nullopt;
    }
    MatchSummary s;
    if (!readCount(json, "games", s.games, error) || !readCount(json, "wins_a", s.winsA, error) ||
        !readCount(json, "wins_b", s.winsB, error) || !readCount(json, "draws", s.draws, error) ||
        !readCount(json, "unfinished", s.unfinished, error) ||
        !readCount(json, "moves", s.moves, error))
        return std::nullopt;
    const JsonValue* pairs = json.find("pairs");
    if (!pairs || pairs->kind != JsonValue::Kind::Array || pairs->items.size() != 5) {
        error = "no pair counts \"pairs\":[p0,p1,p2,p3,p4]";
        return std::nullopt;
    }
    for (int k = 0; k < 5; ++k) {
        const JsonValue& p = pairs->items[static_cast<std::size_t>(k)];
        if (p.kind != JsonValue::Kind::Number || !(p.number >= 0 && p.number <= kMaxCount) ||
            p.number != std::floor(p.number)) {
            error = "the pair counts must be whole numbers";
            return std::nullopt;
        }
        s.pairs.pairs[k] = static_cast<std::int64_t>(p.number);
    }
    const JsonValue* seconds = json.find("seconds");
    if (!seconds || seconds->kind != JsonValue::Kind::Number || !(seconds->number >= 0) ||
        !std::isfinite(seconds->number)) {
        error = "no \"seconds\"";
        return std::nullopt;
    }
    s.seconds = seconds->number;
    // Results of runs without engines carry no fault counts.
    for (auto [key, count] : {std::pair{"crashes", &s.crashes}, std::pair{"timeouts", &s.timeouts},
                              std::pair{"illegal", &s.illegal}})
        if (json.find(key) && !readCount(json, key, *count, error)) return std::nullopt;
    s.trinomial = GameCounts{s.winsA, s.draws + s.unfinished, s.winsB};
    // The counts must tell one story: two games a pair, every game won, lost or drawn, and
    // A's half-points the same counted by game or by pair.
    long long points = 0;
    for (int k = 0; k < 5; ++k) points += k * s.pairs.pairs[k];
    if (s.games != 2 * s.pairs.total() || s.trinomial.games() != s.games ||
        points != 2 * s.winsA + s.draws + s.unfinished) {
        error = "its game and pair counts do not agree";
        return std::nullopt;
    }
    return s;
}

MatchSummary mergeMatches(const std::vector<MatchSummary>& parts,
                          const std::optional<SprtBounds>& sprt) {
    MatchSummary s;
    for (const MatchSummary& p : parts) {
        s.games += p.games;
        s.winsA += p.winsA;
        s.winsB += p.winsB;
        s.draws += p.draws;
        s.unfinished += p.unfinished;
        s.moves += p.moves;
        s.crashes += p.crashes;
        s.timeouts += p.timeouts;
        s.illegal += p.illegal;
        s.seconds += p.seconds;
        for (int k = 0; k < 5; ++k) s.pairs.pairs[k] += p.pairs.pairs[k];
        s.trinomial.wins += p.trinomial.wins;
        s.trinomial.draws += p.trinomial.draws;
        s.trinomial.losses += p.trinomial.losses;
    }
    matchFigures(s, sprt);
    return s;
}

std::string matchJson(const MatchSummary& s) {
    JsonWriter w;
    w.beginObject();
    w.key("games").value(s.games);
    w.key("wins_a").value(s.winsA);
    w.key("wins_b").value(s.winsB);
    w.key("draws").value(s.draws);
    w.key("unfinished").value(s.unfinished);
    w.key("crashes").value(s.crashes);
    w.key("timeouts").value(s.timeouts);
    w.key("illegal").value(s.illegal);
    // What --merge adds up: the pairs by A's half-points, 0..4.
    w.key("pairs").beginArray();
    for (const std::int64_t n : s.pairs.pairs) w.value(static_cast<long long>(n));
    w.endArray();
    w.key("score_a").value(s.score);
    // An interval that runs to infinity (a score of 0 or 1) is written as null; an even
    // score as 0, never -0.
    auto finite = [&w](double v) {
        if (std::isfinite(v))
            w.value(v + 0.0);
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
    if (!s.error.empty()) w.key("errors").beginArray().value(s.error).endArray();
    w.endObject();
    return w.str();
}

} // namespace zubeki::cli
