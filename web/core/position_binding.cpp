// The position and the computer for the page: notation in and out, the legal moves, a move
// played with what it did, perft, and the computer's choice at any level.
#include <emscripten/bind.h>

#include "ai/level4.h"
#include "game/position_text.h"
#include "play/computer.h"
#include "web/core/convert.h"

namespace zubeki::web {
namespace {

class WebPosition {
  public:
    WebPosition() : p_(Position::start()) {}
    explicit WebPosition(const Position& p) : p_(p) {}

    // Takes the position the notation gives; answers "" or why it cannot.
    std::string setText(const std::string& text) {
        std::string why;
        if (std::optional<Position> p = Position::fromText(text, why)) p_ = *p;
        return why;
    }
    std::string text() const { return p_.text(); }
    std::string piece(const std::string& square) const {
        const auto [x, y] = squareOf(square);
        return x == 0 ? std::string{} : pieceLetter(p_.at(x, y));
    }
    int side() const { return static_cast<int>(p_.SIDE); }
    int moveNumber() const { return p_.MOVE_COUNT + 1; }
    val checkSquares() const {
        val out = val::array();
        for (int x = 1; x <= BOARD_SIZE; ++x)
            for (int y = 1; y <= BOARD_SIZE; ++y)
                if (p_.inCheck(x, y)) out.call<void>("push", squareText(x, y));
        return out;
    }
    val legalMoves() const {
        LegalMoves moves;
        p_.legalMoves(moves);
        val out = val::array();
        for (const Move& m : moves) out.call<void>("push", 指し手文字列(m));
        return out;
    }
    // Where the piece on `square` may go, as the move guide shows it.
    val destinations(const std::string& square) const {
        const auto [x, y] = squareOf(square);
        if (x == 0 || !isPieceCode(p_.at(x, y))) return val::array();
        return squareArray(p_.destinations(x, y, p_.at(x, y)));
    }
    // Plays the move the text names: {ok, why} or {ok, move, end, captured, check}.
    val play(const std::string& text) {
        val out = val::object();
        std::string why;
        const std::optional<Move> m = p_.moveFromText(text, why);
        out.set("ok", m.has_value());
        if (!m) {
            out.set("why", why);
            return out;
        }
        const MoveOutcome outcome = p_.play(*m);
        out.set("move", moveObject(*m));
        out.set("end", std::string(endName(outcome.end)));
        out.set("captured", squareList(outcome.captured));
        out.set("check", squareList(outcome.check));
        return out;
    }
    double perft(int depth) const { return static_cast<double>(zubeki::perft(p_, depth)); }
    WebPosition copy() const { return *this; }
    const Position& position() const { return p_; }

  private:
    static std::pair<int, int> squareOf(const std::string& square) {
        if (square.size() != 2 || square[0] < '1' || square[0] > '9' || square[1] < 'a' ||
            square[1] > 'i')
            return {0, 0};
        return {10 - (square[0] - '0'), square[1] - 'a' + 1};
    }
    Position p_;
};

// The computer's choice in a position, kept between moves (LEVEL4's table and the positions of
// the game so far). Runs on the calling thread: the page calls it from its worker.
class WebComputer {
  public:
    WebComputer() {
        computer_.budget.threads = 1;
        computer_.budget.moveLimit = false;
    }
    // LEVEL4 thinks for `ms` milliseconds, or over `nodes` positions when that is not 0.
    void setBudget(double ms, double nodes) {
        computer_.budget.ms = ms;
        computer_.budget.nodes = static_cast<std::uint64_t>(nodes);
    }
    void note(const WebPosition& p) { computer_.note(p.position()); }
    void forget() { computer_.forgetPositions(); }
    // {found, move, score, depth, nodes} for the side to move at `level` (1..4); `digit` the
    // clock's last digit that levels 1-3 read.
    val choose(const WebPosition& p, int level, int digit) {
        Position position = p.position();
        const ComputerMove m =
            computer_.choose(position, position.SIDE, level, ClockDigit::fixed(digit));
        val out = val::object();
        out.set("found", m.found);
        out.set("move", moveObject(m));
        out.set("score", m.BEST_SCORE);
        out.set("depth", m.depth);
        out.set("nodes", static_cast<double>(m.nodes));
        return out;
    }

  private:
    Computer computer_;
};

} // namespace

EMSCRIPTEN_BINDINGS(zubeki_position) {
    using namespace emscripten;
    class_<WebPosition>("Position")
        .constructor<>()
        .function("setText", &WebPosition::setText)
        .function("text", &WebPosition::text)
        .function("piece", &WebPosition::piece)
        .function("side", &WebPosition::side)
        .function("moveNumber", &WebPosition::moveNumber)
        .function("checkSquares", &WebPosition::checkSquares)
        .function("legalMoves", &WebPosition::legalMoves)
        .function("destinations", &WebPosition::destinations)
        .function("play", &WebPosition::play)
        .function("perft", &WebPosition::perft)
        .function("copy", &WebPosition::copy);
    class_<WebComputer>("Computer")
        .constructor<>()
        .function("setBudget", &WebComputer::setBudget)
        .function("note", &WebComputer::note)
        .function("forget", &WebComputer::forget)
        .function("choose", &WebComputer::choose);
    constant("START_POSITION", std::string(START_POSITION));
}

} // namespace zubeki::web
