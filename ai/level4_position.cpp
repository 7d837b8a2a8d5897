#include "ai/level4_position.h"

#include <array>
#include <bit>

namespace zubeki::level4 {

namespace {

// The game's eight directions as steps on the bordered board.
constexpr std::array<int, 8> kDelta = [] {
    std::array<int, 8> d{};
    for (std::size_t i = 0; i < 8; ++i) d[i] = DIRECTIONS[i].dx * 11 + DIRECTIONS[i].dy;
    return d;
}();
constexpr int kOrthogonal[4] = {kDelta[0], kDelta[1], kDelta[2], kDelta[3]};

struct Lines {
    std::uint8_t slide[4];
    std::uint8_t slides;
    std::uint8_t step[4];
    std::uint8_t steps;
};

// The game's lines of each piece, indexed by compact code + 4.
constexpr std::array<Lines, 9> kLines = [] {
    std::array<Lines, 9> t{};
    for (int c = -4; c <= 4; ++c) {
        const PieceLines l = 駒の動き(gameCodeOf(static_cast<std::int8_t>(c)));
        Lines& out = t[static_cast<std::size_t>(c + 4)];
        out.slides = static_cast<std::uint8_t>(l.slides);
        out.steps = static_cast<std::uint8_t>(l.steps);
        for (int i = 0; i < 4; ++i) {
            out.slide[i] = static_cast<std::uint8_t>(l.slide[i]);
            out.step[i] = static_cast<std::uint8_t>(l.step[i]);
        }
    }
    return t;
}();

constexpr const Lines& linesOf(std::int8_t code) {
    return kLines[static_cast<std::size_t>(code + 4)];
}

constexpr bool isPromotedCode(std::int8_t code) {
    return code == kBishopPromoted || code == kRookPromoted || code == -kBishopPromoted ||
           code == -kRookPromoted;
}

constexpr int signOf(Side m) {
    return m == Side::Upper ? 1 : -1;
}

constexpr Side other(Side m) {
    return m == Side::Upper ? Side::Lower : Side::Upper;
}

constexpr bool belongsTo(std::int8_t c, int sign) {
    return sign > 0 ? (c > 0 && c < kWall) : c < 0;
}

// The camp each side starts in; the other side's is its enemy camp.
constexpr std::array<std::array<bool, kSquares>, 2> kOwnCamp = [] {
    std::array<std::array<bool, kSquares>, 2> t{};
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            t[0][static_cast<std::size_t>(squareOf(x, y))] = inUeCamp(x, y);
            t[1][static_cast<std::size_t>(squareOf(x, y))] = inSitaCamp(x, y);
        }
    return t;
}();

inline bool ownCamp(int side, int sq) {
    return kOwnCamp[static_cast<std::size_t>(side)][static_cast<std::size_t>(sq)];
}
inline bool enemyCamp(int side, int sq) {
    return kOwnCamp[static_cast<std::size_t>(1 - side)][static_cast<std::size_t>(sq)];
}

// Zobrist keys from a fixed seed, so every build hashes alike.
constexpr std::uint64_t splitmix(std::uint64_t& s) {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct Keys {
    std::uint64_t piece[9][kSquares]{};
    std::uint64_t mark[kSquares]{};
    std::uint64_t lowerToMove = 0;
    std::uint64_t passed = 0;
    std::uint64_t restricted = 0;
};

constexpr Keys kKeys = [] {
    Keys k{};
    std::uint64_t s = 0x5A5542454B49ull;
    for (auto& row : k.piece)
        for (auto& v : row) v = splitmix(s);
    for (auto& v : k.mark) v = splitmix(s);
    k.lowerToMove = splitmix(s);
    k.passed = splitmix(s);
    k.restricted = splitmix(s);
    return k;
}();

inline std::uint64_t pieceKey(std::int8_t code, int sq) {
    return kKeys.piece[code + 4][sq];
}

std::uint64_t markKeys(const SquareMask& m) {
    std::uint64_t k = kKeys.restricted;
    for (std::uint64_t b = m.lo; b != 0; b &= b - 1) k ^= kKeys.mark[std::countr_zero(b)];
    for (std::uint64_t b = m.hi; b != 0; b &= b - 1) k ^= kKeys.mark[64 + std::countr_zero(b)];
    return k;
}

// The line from one square to another: its direction 0..7, or -1 when they share none.
constexpr int directionTo(int from, int to, int& distance) {
    return directionBetween(xOf(from), yOf(from), xOf(to), yOf(to), distance);
}

inline void push(MoveList& out, int from, int to, bool promote) {
    if (out.size < kMaxMoves)
        out.moves[out.size++] = Move{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                                     static_cast<std::uint8_t>(promote ? 1 : 0), 0};
}

// Every destination of the piece on `sq`, in slide-then-step order; `add` answers true to
// stop early.
template <class Add>
bool forEachDestination(const std::int8_t* board, int side, int sq, Add&& add) {
    const std::int8_t code = board[sq];
    const Lines& l = linesOf(code);
    const bool promoted = isPromotedCode(code);
    for (int i = 0; i < l.slides; ++i) {
        const int d = kDelta[l.slide[i]];
        for (int t = sq + d; board[t] == kEmpty; t += d) {
            // A promoted piece may cross its own camp but never stop in it.
            if (promoted && ownCamp(side, t)) continue;
            if (add(t)) return true;
        }
    }
    for (int i = 0; i < l.steps; ++i) {
        const int t = sq + kDelta[l.step[i]];
        if (board[t] == kEmpty && !ownCamp(side, t) && add(t)) return true;
    }
    return false;
}

} // namespace

Position Position::from(const zubeki::Position& 局面, Side toMove, int movesPlayed) {
    Position p;
    for (int sq = 0; sq < kSquares; ++sq) p.board_[sq] = kWall;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int sq = squareOf(x, y);
            const std::int8_t c = compactOf(局面.BOARD[x][y]);
            p.board_[sq] = c;
            if (c == kEmpty) continue;
            const int side = c > 0 ? 0 : 1;
            p.slot_[sq] = p.count_[side];
            p.list_[side][p.count_[side]++] = static_cast<std::uint8_t>(sq);
            if (enemyCamp(side, sq)) ++p.campCount_[side];
        }
    p.toMove_ = toMove;
    p.passCount_ = 局面.PASS_COUNT > 0 ? 1 : 0;
    p.restricted_ = 局面.CHECK_ACTIVE;
    if (p.restricted_)
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (局面.CHECK_SQUARES[x][y] == TRUE_CODE) p.marks_.add(squareOf(x, y));
    p.movesPlayed_ = movesPlayed;
    p.key_ = p.freshKey();
    return p;
}

std::uint64_t Position::freshKey() const {
    std::uint64_t k = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int sq = squareOf(x, y);
            if (board_[sq] != kEmpty) k ^= pieceKey(board_[sq], sq);
        }
    if (toMove_ == Side::Lower) k ^= kKeys.lowerToMove;
    if (passCount_ != 0) k ^= kKeys.passed;
    if (restricted_) k ^= markKeys(marks_);
    return k;
}

void Position::generate(MoveList& out) const {
    out.size = 0;
    const int side = sideIndex(toMove_);
    for (int i = 0; i < count_[side]; ++i) {
        const int sq = list_[side][i];
        if (restricted_ && !marks_.has(sq)) continue;
        const bool mayPromote = !isPromotedCode(board_[sq]);
        forEachDestination(board_, side, sq, [&](int t) {
            if (mayPromote && enemyCamp(side, t)) push(out, sq, t, true);
            push(out, sq, t, false);
            return false;
        });
    }
}

bool Position::hasMove() const {
    const int side = sideIndex(toMove_);
    for (int i = 0; i < count_[side]; ++i) {
        const int sq = list_[side][i];
        if (restricted_ && !marks_.has(sq)) continue;
        if (forEachDestination(board_, side, sq, [](int) { return true; })) return true;
    }
    return false;
}

bool Position::hasAnyMove(int sq) const {
    const int side = board_[sq] > 0 ? 0 : 1;
    return forEachDestination(board_, side, sq, [](int) { return true; });
}

int Position::freeDirections(int sq) const {
    const Lines& l = linesOf(board_[sq]);
    int n = 0;
    for (int i = 0; i < l.slides; ++i) n += board_[sq + kDelta[l.slide[i]]] == kEmpty ? 1 : 0;
    for (int i = 0; i < l.steps; ++i) n += board_[sq + kDelta[l.step[i]]] == kEmpty ? 1 : 0;
    return n;
}

bool Position::canMove(int from, int to) const {
    if (board_[to] != kEmpty) return false;
    const std::int8_t code = board_[from];
    const int side = code > 0 ? 0 : 1;
    int distance = 0;
    const int dir = directionTo(from, to, distance);
    if (dir < 0) return false;
    const bool promoted = isPromotedCode(code);
    if (promoted) {
        if (ownCamp(side, to)) return false;
        if (distance == 1) return true;
    }
    const Lines& l = linesOf(code);
    bool along = false;
    for (int i = 0; i < l.slides; ++i) along = along || l.slide[i] == dir;
    if (!along) return false;
    const int d = kDelta[dir];
    for (int t = from + d; t != to; t += d)
        if (board_[t] != kEmpty) return false;
    return true;
}

SquareMask Position::checkMarksAfter(int to) const {
    SquareMask marks;
    const std::int8_t P = board_[to];
    const int side = P > 0 ? 0 : 1;
    const int enemySign = P > 0 ? -1 : 1;
    const bool promoted = isPromotedCode(P);
    const Lines& l = linesOf(P);
    for (int k = 0; k < 8; ++k) {
        const int n = to + kDelta[k];
        const std::int8_t Q = board_[n];
        // Only unpromoted enemy pieces are put in check.
        if (Q != enemySign * kBishop && Q != enemySign * kRook) continue;
        // Could P step onto Q's square if it were empty?
        bool reaches;
        if (promoted) {
            reaches = !ownCamp(side, n);
        } else {
            reaches = false;
            for (int i = 0; i < l.slides; ++i) reaches = reaches || l.slide[i] == k;
        }
        // A piece that cannot move anywhere is not held to the check.
        if (reaches && hasAnyMove(n)) marks.add(n);
    }
    return marks;
}

void Position::make(Move m, Undo& u) {
    const int side = sideIndex(toMove_);
    const std::int8_t before = board_[m.from];
    const std::int8_t after = m.promote ? promotedOf(before) : before;
    u.key = key_;
    u.marks = marks_;
    u.restricted = restricted_;
    u.passCount = passCount_;
    u.campCount = campCount_[side];
    u.before = before;

    board_[m.from] = kEmpty;
    board_[m.to] = after;
    const std::uint8_t s = slot_[m.from];
    slot_[m.to] = s;
    list_[side][s] = m.to;
    if (enemyCamp(side, m.from)) --campCount_[side];
    if (enemyCamp(side, m.to)) ++campCount_[side];

    std::uint64_t k = key_ ^ pieceKey(before, m.from) ^ pieceKey(after, m.to) ^ kKeys.lowerToMove;
    if (passCount_ != 0) k ^= kKeys.passed;
    if (restricted_) k ^= markKeys(marks_);
    passCount_ = 0;
    marks_ = checkMarksAfter(m.to);
    restricted_ = !marks_.empty();
    if (restricted_) k ^= markKeys(marks_);
    key_ = k;
    toMove_ = other(toMove_);
    ++movesPlayed_;
}

void Position::unmake(Move m, const Undo& u) {
    toMove_ = other(toMove_);
    --movesPlayed_;
    const int side = sideIndex(toMove_);
    board_[m.to] = kEmpty;
    board_[m.from] = u.before;
    const std::uint8_t s = slot_[m.to];
    slot_[m.from] = s;
    list_[side][s] = m.from;
    campCount_[side] = u.campCount;
    key_ = u.key;
    marks_ = u.marks;
    restricted_ = u.restricted;
    passCount_ = u.passCount;
}

void Position::makePass(Undo& u) {
    u.key = key_;
    u.passCount = passCount_;
    if (passCount_ == 0) key_ ^= kKeys.passed;
    passCount_ = static_cast<std::uint8_t>(passCount_ + 1);
    key_ ^= kKeys.lowerToMove;
    toMove_ = other(toMove_);
}

void Position::unmakePass(const Undo& u) {
    toMove_ = other(toMove_);
    key_ = u.key;
    passCount_ = u.passCount;
}

bool Position::surroundedNextTo(int to, int enemySign) const {
    for (const int d : kOrthogonal) {
        const int start = to + d;
        if (!belongsTo(board_[start], enemySign)) continue;
        // Flood the group; an empty orthogonal neighbour anywhere is a liberty.
        SquareMask seen;
        std::uint8_t stack[81];
        int top = 0;
        stack[top++] = static_cast<std::uint8_t>(start);
        seen.add(start);
        bool liberty = false;
        while (top > 0 && !liberty) {
            const int sq = stack[--top];
            for (const int e : kOrthogonal) {
                const int n = sq + e;
                if (board_[n] == kEmpty) {
                    liberty = true;
                    break;
                }
                if (belongsTo(board_[n], enemySign) && !seen.has(n)) {
                    seen.add(n);
                    stack[top++] = static_cast<std::uint8_t>(n);
                }
            }
        }
        if (!liberty) return true;
    }
    return false;
}

bool Position::moveWins(Move m) {
    const int side = sideIndex(toMove_);
    const std::int8_t before = board_[m.from];
    const std::int8_t after = m.promote ? promotedOf(before) : before;
    const int camp =
        campCount_[side] - (enemyCamp(side, m.from) ? 1 : 0) + (enemyCamp(side, m.to) ? 1 : 0);
    board_[m.from] = kEmpty;
    board_[m.to] = after;
    const bool wins = camp == 9 || surroundedNextTo(m.to, -signOf(toMove_));
    board_[m.to] = kEmpty;
    board_[m.from] = before;
    return wins;
}

void Position::scanGroups(Side side, GroupScan& out) const {
    const int sign = signOf(side);
    if (++out.current == 0) {
        for (auto& v : out.stamp) v = 0;
        for (auto& v : out.libSeen) v = 0;
        out.current = 1;
    }
    const std::uint32_t scan = out.current;
    out.groups = 0;
    // Groups are flooded one after another, so an empty square already counted in this
    // scan is a liberty of the current group only when it carries the group's label.
    const int s = sideIndex(side);
    std::uint8_t stack[81];
    for (int i = 0; i < count_[s]; ++i) {
        const int start = list_[s][i];
        if (out.stamp[start] == scan) continue;
        const int g = out.groups++;
        int libs = 0;
        int last = 0;
        int members = 0;
        int top = 0;
        stack[top++] = static_cast<std::uint8_t>(start);
        out.stamp[start] = scan;
        out.label[start] = static_cast<std::uint8_t>(g);
        while (top > 0) {
            const int sq = stack[--top];
            ++members;
            for (const int d : kOrthogonal) {
                const int n = sq + d;
                const std::int8_t c = board_[n];
                if (c == kEmpty) {
                    // An empty square belongs to this group's liberties once.
                    if (out.libSeen[n] != scan || out.label[n] != g) {
                        out.libSeen[n] = scan;
                        out.label[n] = static_cast<std::uint8_t>(g);
                        if (libs < 255) ++libs;
                        last = n;
                    }
                } else if (belongsTo(c, sign) && out.stamp[n] != scan) {
                    out.stamp[n] = scan;
                    out.label[n] = static_cast<std::uint8_t>(g);
                    stack[top++] = static_cast<std::uint8_t>(n);
                }
            }
        }
        out.liberties[g] = static_cast<std::uint8_t>(libs);
        out.lastLiberty[g] = static_cast<std::uint8_t>(last);
        out.size[g] = static_cast<std::uint8_t>(members);
    }
}

bool Position::findWin(const GroupScan& enemy, Move* found) const {
    const int side = sideIndex(toMove_);
    const std::uint8_t* mine = list_[side];
    const int n = count_[side];
    auto movable = [&](int sq) { return !restricted_ || marks_.has(sq); };

    // The race: one more piece into the last empty square of the enemy camp.
    if (campCount_[side] >= 8) {
        MoveList moves;
        generate(moves);
        for (int i = 0; i < moves.size; ++i) {
            const Move m = moves.moves[i];
            if (campCount_[side] - (enemyCamp(side, m.from) ? 1 : 0) +
                    (enemyCamp(side, m.to) ? 1 : 0) ==
                9) {
                if (found) *found = m;
                return true;
            }
        }
    }

    // A group with one liberty falls to a piece that reaches it, unless the piece leaves
    // a square next to the group and so gives it a new liberty.
    for (int g = 0; g < enemy.groups; ++g) {
        if (enemy.liberties[g] != 1) continue;
        const int L = enemy.lastLiberty[g];
        for (int i = 0; i < n; ++i) {
            const int f = mine[i];
            if (!movable(f)) continue;
            bool touches = false;
            for (const int d : kOrthogonal) touches = touches || enemy.inGroup(f + d, g);
            if (touches || !canMove(f, L)) continue;
            if (found)
                *found = Move{static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(L), 0, 0};
            return true;
        }
    }
    return false;
}

std::uint64_t perft(Position& p, int depth) {
    if (depth <= 0) return 1;
    MoveList moves;
    p.generate(moves);
    Undo u;
    if (moves.size == 0) {
        // The pass is the one move; a second pass in a row ends the game.
        if (depth == 1) return 1;
        if (p.passCount() > 0) return 0;
        p.makePass(u);
        const std::uint64_t n = perft(p, depth - 1);
        p.unmakePass(u);
        return n;
    }
    if (depth == 1) return static_cast<std::uint64_t>(moves.size);
    std::uint64_t nodes = 0;
    for (int i = 0; i < moves.size; ++i) {
        const Move m = moves.moves[i];
        if (p.moveWins(m)) continue;
        p.make(m, u);
        nodes += perft(p, depth - 1);
        p.unmake(m, u);
    }
    return nodes;
}

} // namespace zubeki::level4
