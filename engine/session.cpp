#include "engine/session.h"

#include "ai/level4.h"
#include "game/line.h"
#include "game/moves.h"
#include "game/position_text.h"
#include "record/encoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace zubeki::engine {

namespace {

constexpr int kMaxMultiPv = 8;
constexpr int kMaxHash = 1024;
constexpr double kDefaultMoveTime = 1000; // ms, when `go` gives no limit

std::string joined(const std::vector<std::string_view>& w, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to && i < w.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += w[i];
    }
    return text;
}

// The text with every byte that is not part of a UTF-8 character written as \xNN, so that
// each line the engine writes is UTF-8 whatever it was sent.
std::string escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t len = utf8CharLength(text);
        if (len > 0) {
            out += text.substr(0, len);
            text.remove_prefix(len);
            continue;
        }
        const auto byte = static_cast<unsigned char>(text.front());
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
        text.remove_prefix(1);
    }
    return out;
}

// A word quoted back in a message: cut short between two characters, control characters as
// '?' and bytes that are not UTF-8 escaped.
std::string echo(std::string_view text) {
    constexpr std::size_t kShown = 60; // bytes of the text at most
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t len = std::max<std::size_t>(utf8CharLength(text.substr(at)), 1);
        if (at + len > kShown) break;
        const std::string_view character = text.substr(at, len);
        out += static_cast<unsigned char>(character.front()) < 0x20 ? "?" : escaped(character);
        at += len;
    }
    if (at < text.size()) out += "...";
    return out;
}

template <class Number> std::optional<Number> number(std::string_view text, Number lo, Number hi) {
    Number v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size() || !(v >= lo && v <= hi))
        return std::nullopt;
    return v;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string scoreText(int score) {
    if (Level4Search::isWinScore(score))
        return "win " + std::to_string(Level4Search::kWinScore - score);
    if (Level4Search::isLossScore(score))
        return "lose " + std::to_string(Level4Search::kWinScore + score);
    return "cp " + std::to_string(score);
}

} // namespace

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (at < line.size()) {
        while (at < line.size() && blank(line[at])) ++at;
        std::size_t end = at;
        while (end < line.size() && !blank(line[end])) ++end;
        if (end > at) out.push_back(line.substr(at, end - at));
        at = end;
    }
    return out;
}

Session::Session(Output out, int cores) : out_(std::move(out)), cores_(cores < 1 ? 1 : cores) {
    position_ = 局面読込(START_POSITION).state;
    computer_.budget.moveLimit = true;
    prepareSearch();
}

Session::~Session() {
    finish();
}

void Session::say(std::string_view line) {
    const std::lock_guard<std::mutex> lock(outLock_);
    if (isValidUtf8(line))
        out_(line);
    else
        out_(escaped(line));
}

bool Session::handle(std::string_view line) {
    if (line.size() > MAX_LINE) {
        say("info string line too long (" + std::to_string(line.size()) + " bytes), ignored");
        return true;
    }
    const std::vector<std::string_view> w = words(line);
    if (w.empty()) return true;
    const std::string_view command = w[0];
    if (command == "zubeki") {
        identify();
    } else if (command == "isready") {
        say("readyok");
    } else if (command == "setoption") {
        stopSearch();
        setOption(w);
    } else if (command == "newgame") {
        stopSearch();
        newGame();
    } else if (command == "position") {
        stopSearch();
        position(w);
    } else if (command == "go") {
        go(w);
    } else if (command == "stop") {
        stop();
    } else if (command == "quit") {
        finish();
        return false;
    } else {
        say("info string unknown command: " + echo(line));
    }
    return true;
}

void Session::identify() {
    say("id name ZUBEKI " ZUBEKI_VERSION);
    say("id author the ZUBEKI developers");
    say("option name Threads type spin default 1 min 1 max " + std::to_string(cores_));
    say("option name Hash type spin default 16 min 1 max " + std::to_string(kMaxHash));
    say("option name MultiPV type spin default 1 min 1 max " + std::to_string(kMaxMultiPv));
    say("zubekiok");
}

void Session::setOption(const std::vector<std::string_view>& w) {
    // setoption name N value V: the name may not hold "value"; the value is the rest.
    std::size_t valueAt = w.size();
    for (std::size_t i = 2; i < w.size(); ++i)
        if (w[i] == "value") {
            valueAt = i;
            break;
        }
    if (w.size() < 3 || w[1] != "name" || valueAt == 2) {
        say("info string setoption needs: setoption name NAME value VALUE");
        return;
    }
    const std::string name = joined(w, 2, valueAt);
    const std::string value = joined(w, valueAt + 1, w.size());
    struct Spin {
        const char* name;
        int lo, hi;
        int* target;
    };
    const Spin spins[] = {{"Threads", 1, cores_, &threads_},
                          {"Hash", 1, kMaxHash, &hashMegabytes_},
                          {"MultiPV", 1, kMaxMultiPv, &multiPv_}};
    for (const Spin& s : spins) {
        if (!sameName(name, s.name)) continue;
        const std::optional<int> v = number<int>(value, s.lo, s.hi);
        if (!v) {
            say(std::string("info string ") + s.name + " must be " + std::to_string(s.lo) + ".." +
                std::to_string(s.hi) + ", not '" + echo(value) + "'");
            return;
        }
        *s.target = *v;
        // The table and the threads are made now, so that readyok means ready to search.
        if (s.target != &multiPv_) prepareSearch();
        return;
    }
    say("info string no option named '" + echo(name) + "'");
}

void Session::prepareSearch() {
    computer_.budget.threads = threads_;
    computer_.budget.tableMegabytes = hashMegabytes_;
    computer_.prepareLevel4();
}

void Session::newGame() {
    // Every search starts from an empty table, so only the game's positions are left to forget.
    computer_.forgetPositions();
}

void Session::position(const std::vector<std::string_view>& w) {
    std::size_t movesAt = w.size();
    for (std::size_t i = 1; i < w.size(); ++i)
        if (w[i] == "moves") {
            movesAt = i;
            break;
        }
    ReadPosition start;
    if (w.size() >= 2 && w[1] == "startpos" && (movesAt == 2)) {
        start = 局面読込(START_POSITION);
    } else if (w.size() >= 2 && w[1] == "pos") {
        start = 局面読込(joined(w, 2, movesAt));
    } else {
        say("info string position needs: position startpos|pos FIELDS [moves M ...]");
        return;
    }
    if (!start.ok) {
        say("info string " + start.error);
        return;
    }
    const ReadLine line = readLine(start.state, joined(w, movesAt + 1, w.size()));
    if (!line.ok()) {
        if (line.afterEnd)
            say("info string the game has already ended before " + echo(line.failedWord));
        else
            say("info string move " + std::to_string(line.failedAt) + ": " + line.why);
        return;
    }
    position_ = line.end;
    side_ = sign(line.end.SIDE);
    ended_ = line.ended;
    line_ = line.before;
}

void Session::go(const std::vector<std::string_view>& w) {
    if (searching_) {
        say("info string already searching: stop it first");
        return;
    }
    join();
    GoLimits limits;
    for (std::size_t i = 1; i < w.size(); ++i) {
        const std::string_view key = w[i];
        const std::string_view value = i + 1 < w.size() ? w[i + 1] : std::string_view{};
        if (key == "infinite") {
            limits.infinite = true;
        } else if (key == "nodes") {
            if (const auto v = number<std::uint64_t>(value, 1, 1'000'000'000'000ULL)) {
                limits.nodes = *v;
                ++i;
            } else {
                say("info string nodes must be 1..1000000000000, not '" + echo(value) + "'");
            }
        } else if (key == "movetime") {
            const auto v = number<double>(value, 1, 3'600'000);
            if (v && std::isfinite(*v)) {
                limits.movetime = *v;
                ++i;
            } else {
                say("info string movetime must be 1..3600000 ms, not '" + echo(value) + "'");
            }
        } else if (key == "depth") {
            if (const auto v = number<int>(value, 1, Level4Search::kMaxDepth)) {
                limits.depth = *v;
                ++i;
            } else {
                say("info string depth must be 1.." + std::to_string(Level4Search::kMaxDepth) +
                    ", not '" + echo(value) + "'");
            }
        } else {
            say("info string go: unknown limit '" + echo(key) + "'");
        }
    }
    if (ended_) {
        say("bestmove none");
        return;
    }
    if (!position_.hasMove(sideOfSign(side_))) {
        say("bestmove pass");
        return;
    }
    stop_ = false;
    {
        const std::lock_guard<std::mutex> lock(stopLock_);
        stopAsked_ = false;
    }
    searching_ = true;
    worker_ = std::thread(&Session::search, this, limits, position_, side_, line_);
}

void Session::search(GoLimits limits, Position state, int side, std::vector<Position> line) {
    ThinkBudget& budget = computer_.budget;
    budget.nodes = limits.nodes;
    budget.depth = limits.depth;
    budget.ms = limits.infinite ? 0 : limits.movetime > 0 ? limits.movetime : 0;
    if (!limits.infinite && limits.nodes == 0 && limits.depth == 0 && limits.movetime == 0)
        budget.ms = kDefaultMoveTime;
    // A GUI that gives a move time expects it used: every iteration that fits is searched.
    budget.wholeMs = true;
    budget.multiPv = multiPv_;
    computer_.forgetPositions();
    for (const Position& s : line) computer_.note(s);

    const Level4Reporter report = [this](const Level4Report& r) {
        for (const Level4Line& l : r.lines) {
            std::string text =
                "info depth " + std::to_string(l.depth) + " seldepth " +
                std::to_string(l.seldepth) + " multipv " + std::to_string(l.multipv) + " score " +
                scoreText(l.score) + " nodes " + std::to_string(r.nodes) + " nps " +
                std::to_string(static_cast<std::uint64_t>(static_cast<double>(r.nodes) * 1000.0 /
                                                          (r.ms > 1 ? r.ms : 1))) +
                " time " + std::to_string(static_cast<long long>(r.ms)) + " hashfull " +
                std::to_string(r.hashfull);
            if (!l.pv.empty()) text += " pv";
            for (const Move& pm : l.pv) text += " " + 指し手文字列(pm);
            say(text);
        }
    };
    const ComputerMove m =
        computer_.choose(state, sideOfSign(side), LEVEL_MAX, ClockDigit{}, &stop_, &report);
    if (limits.infinite) {
        // The GUI asked for no end: the answer waits for its stop (or quit).
        std::unique_lock<std::mutex> lock(stopLock_);
        stopped_.wait(lock, [this] { return stopAsked_; });
    }
    // Done before the answer: a GUI may send its next go the moment it reads it.
    searching_ = false;
    say(m.found ? "bestmove " + 指し手文字列({m.移動元X, m.移動元Y, m.移動先X, m.移動先Y,
                                              m.移動前駒, m.移動駒})
                : std::string("bestmove pass"));
}

void Session::stop() {
    stop_ = true;
    {
        const std::lock_guard<std::mutex> lock(stopLock_);
        stopAsked_ = true;
    }
    stopped_.notify_all();
}

void Session::join() {
    if (worker_.joinable()) worker_.join();
}

void Session::stopSearch() {
    // A search that was asked for no end sends its bestmove now too.
    stop();
    join();
}

void Session::finish() {
    stopSearch();
}

} // namespace zubeki::engine
