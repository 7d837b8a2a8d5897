#include "ai/level4.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace zubeki {

using namespace level4;

namespace {

constexpr int kOrthogonal[4] = {-11, 11, -1, 1};

constexpr Mover other(Mover m) {
    return m == Mover::Upper ? Mover::Lower : Mover::Upper;
}

// Steps (orthogonal, as a rook needs them) from each square into the side's enemy camp:
// the lower side aims at x 7..9, y 1..3, the upper side at x 1..3, y 7..9.
constexpr std::array<std::array<std::uint8_t, kSquares>, 2> kCampDistance = [] {
    std::array<std::array<std::uint8_t, kSquares>, 2> t{};
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const auto sq = static_cast<std::size_t>(squareOf(x, y));
            const int upper = (x > 3 ? x - 3 : 0) + (y < 7 ? 7 - y : 0);
            const int lower = (x < 7 ? 7 - x : 0) + (y > 3 ? y - 3 : 0);
            t[0][sq] = static_cast<std::uint8_t>(upper);
            t[1][sq] = static_cast<std::uint8_t>(lower);
        }
    return t;
}();

// The evaluation's weights, in the units of the score.
constexpr int kAdvance = 4;       // per step nearer the enemy camp (of 12)
constexpr int kInCamp = 30;       // a piece standing in the enemy camp
constexpr int kCampSquared = 6;   // times the square of the pieces there: the race speeds up
constexpr int kPromoted = 25;     // a promoted piece
constexpr int kMobility = 6;      // per direction the piece can step into
constexpr int kStuck = 20;        // a piece that cannot move at all
constexpr int kOneLiberty = 90;   // a group one move from being surrounded
constexpr int kTwoLiberties = 15; // a group two moves from it
constexpr int kTempo = 10;        // the side to move

int sideTerms(const Position& p, Mover side, const GroupScan& groups) {
    const int s = sideIndex(side);
    const std::uint8_t* list = p.pieces(side);
    int v = 0;
    for (int i = 0; i < p.pieceCount(side); ++i) {
        const int sq = list[i];
        const std::int8_t c = p.at(sq);
        v += kAdvance *
             (12 - kCampDistance[static_cast<std::size_t>(s)][static_cast<std::size_t>(sq)]);
        if (c == kBishopPromoted || c == kRookPromoted || c == -kBishopPromoted ||
            c == -kRookPromoted)
            v += kPromoted;
        const int free = p.freeDirections(sq);
        v += kMobility * free;
        if (free == 0) v -= kStuck;
    }
    const int camp = p.campCount(side);
    v += kInCamp * camp + kCampSquared * camp * camp;
    for (int g = 0; g < groups.groups; ++g) {
        if (groups.liberties[g] == 1)
            v -= kOneLiberty;
        else if (groups.liberties[g] == 2)
            v -= kTwoLiberties;
    }
    return v;
}

// One slot of the transposition table: 16 bytes.
struct Entry {
    std::uint64_t key;
    std::int16_t score;
    std::uint16_t generation;
    std::uint8_t from;
    std::uint8_t to;
    std::int8_t depth;
    std::uint8_t flags; // bound in bits 0..1, promotion in bit 2
};
static_assert(sizeof(Entry) == 16);

enum Bound : std::uint8_t { kNone = 0, kUpper = 1, kLower = 2, kExact = 3 };

constexpr int kMaxPly = Level4Search::kMaxDepth + 4;
constexpr int kInfinity = Level4Search::kWinScore + 1;

// Order of trying moves, best first.
constexpr int kOrderTable = 1 << 30;
constexpr int kOrderThreat = 1 << 28;
constexpr int kOrderKiller1 = 1 << 27;
constexpr int kOrderKiller2 = (1 << 27) - 1;
constexpr int kOrderQuiet = 1 << 26; // below this a move is quiet (history only)

constexpr int kHistoryFilterWords = 64; // 4096 bits

struct Ply {
    MoveList moves;
    int order[kMaxMoves];
    Move killer[2];
    Undo undo;
};

} // namespace

namespace {
// `theirs` already holds the scan of the side not to move.
int evaluateWith(const Position& p, GroupScan& mine, const GroupScan& theirs) {
    const Mover me = p.toMove();
    p.scanGroups(me, mine);
    return sideTerms(p, me, mine) - sideTerms(p, other(me), theirs) + kTempo;
}
} // namespace

int level4Evaluate(const Position& p, GroupScan& mine, GroupScan& theirs) {
    p.scanGroups(other(p.toMove()), theirs);
    return evaluateWith(p, mine, theirs);
}

struct Level4Search::Impl {
    std::vector<Entry> table;
    std::uint64_t mask = 0;
    std::uint16_t generation = 0;

    Position pos;
    Ply plies[kMaxPly];
    GroupScan enemy;
    GroupScan scanA;
    int history[kSquares][kSquares];

    Level4Limits limits;
    // The game's earlier positions, with a filter of their keys' low bits so that most
    // nodes need not look through them.
    const std::uint64_t* seen = nullptr;
    int seenCount = 0;
    std::uint64_t seenFilter[kHistoryFilterWords] = {};
    std::uint64_t path[kMaxPly + 1] = {};
    int contempt = kContempt;
    double started = 0;
    std::uint64_t nodes = 0;
    bool stopped = false;
    bool budgetsOn = false; // after the one-move search
    Move rootBest{};
    int rootScore = 0;
    bool rootImproved = false;

    explicit Impl(int megabytes) {
        std::size_t entries = 1;
        const std::size_t wanted =
            static_cast<std::size_t>(megabytes < 1 ? 1 : megabytes) * 1024 * 1024 / sizeof(Entry);
        while (entries * 2 <= wanted) entries *= 2;
        table.assign(entries, Entry{});
        mask = entries - 1;
    }

    void newSearch(const Level4Limits& l) {
        limits = l;
        nodes = 0;
        stopped = false;
        budgetsOn = false;
        // Entries of another generation count as empty: every search starts afresh.
        if (++generation == 0) {
            std::memset(table.data(), 0, table.size() * sizeof(Entry));
            generation = 1;
        }
        std::memset(history, 0, sizeof history);
        for (Ply& p : plies) p.killer[0] = p.killer[1] = Move{};
        started = limits.clock();
    }

    void setHistory(const Level4History& h) {
        seen = h.keys;
        seenCount = h.keys && h.size > 0 ? h.size : 0;
        std::memset(seenFilter, 0, sizeof seenFilter);
        for (int i = 0; i < seenCount; ++i) {
            const std::uint64_t bit = seen[i] & (kHistoryFilterWords * 64 - 1);
            seenFilter[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        }
    }

    // Has the line come back to a position of its own or of the game's? Only positions with
    // the same side to move can match, and the key tells the side.
    bool repeated(int ply) const {
        const std::uint64_t k = path[ply];
        for (int i = ply - 2; i >= 0; i -= 2)
            if (path[i] == k) return true;
        const std::uint64_t bit = k & (kHistoryFilterWords * 64 - 1);
        if ((seenFilter[bit >> 6] >> (bit & 63) & 1u) == 0) return false;
        for (int i = 0; i < seenCount; ++i)
            if (seen[i] == k) return true;
        return false;
    }

    // A repetition for the side to move at `ply`: the searching side moves at even plies.
    int repetitionScore(int ply) const { return ply % 2 == 0 ? -contempt : contempt; }

    void poll() {
        if (limits.stop && limits.stop->load(std::memory_order_relaxed)) stopped = true;
        if (budgetsOn && limits.timeMs > 0 && limits.clock() - started >= limits.timeMs)
            stopped = true;
    }

    static int toTable(int s, int ply) {
        if (isWinScore(s)) return s + ply;
        if (isLossScore(s)) return s - ply;
        return s;
    }
    static int fromTable(int s, int ply) {
        if (isWinScore(s)) return s - ply;
        if (isLossScore(s)) return s + ply;
        return s;
    }

    void store(int depth, int ply, int score, Bound bound, Move m) {
        Entry& e = table[pos.key() & mask];
        if (e.generation == generation && e.key != pos.key() && e.depth > depth) return;
        e.key = pos.key();
        e.score = static_cast<std::int16_t>(toTable(score, ply));
        e.generation = generation;
        e.from = m.from;
        e.to = m.to;
        e.depth = static_cast<std::int8_t>(depth);
        e.flags = static_cast<std::uint8_t>(bound | (m.promote ? 4 : 0));
    }

    // Threatening a capture: the destination takes one of the two liberties of an enemy
    // group and the source is not next to it.
    bool threatens(Move m) const {
        for (const int d : kOrthogonal) {
            const int n = m.to + d;
            if (enemy.stamp[n] != enemy.current) continue;
            const int g = enemy.label[n];
            if (!pos.at(n) || enemy.liberties[g] != 2) continue;
            bool touches = false;
            for (const int e : kOrthogonal) touches = touches || enemy.inGroup(m.from + e, g);
            if (!touches) return true;
        }
        return false;
    }

    void orderMoves(Ply& p, Move tableMove) {
        for (int i = 0; i < p.moves.size; ++i) {
            const Move m = p.moves.moves[i];
            int o;
            if (m == tableMove)
                o = kOrderTable;
            else if (threatens(m))
                o = kOrderThreat + history[m.from][m.to];
            else if (m == p.killer[0])
                o = kOrderKiller1;
            else if (m == p.killer[1])
                o = kOrderKiller2;
            else
                o = history[m.from][m.to] + (m.promote ? 1 : 0);
            p.order[i] = o;
        }
    }

    // Brings the best of the moves from i on to position i.
    static void pickNext(Ply& p, int i) {
        int best = i;
        for (int j = i + 1; j < p.moves.size; ++j)
            if (p.order[j] > p.order[best]) best = j;
        if (best != i) {
            std::swap(p.moves.moves[i], p.moves.moves[best]);
            std::swap(p.order[i], p.order[best]);
        }
    }

    int search(int depth, int alpha, int beta, int ply) {
        if ((++nodes & 1023) == 0) poll();
        if (budgetsOn && limits.nodes != 0 && nodes >= limits.nodes) stopped = true;
        if (stopped) return 0;
        if (ply > 0 && pos.movesPlayed() >= kMoveLimit) return 0; // unfinished: a draw
        path[ply] = pos.key();
        if (ply > 0 && repeated(ply)) return repetitionScore(ply);

        // A win in one ends the line: nothing can be better.
        pos.scanGroups(other(pos.toMove()), enemy);
        if (pos.findWin(enemy, ply == 0 ? &rootBest : nullptr)) {
            if (ply == 0) rootImproved = true;
            return kWinScore - (ply + 1);
        }
        if (depth <= 0 || ply >= kMaxPly - 1) return evaluateWith(pos, scanA, enemy);

        // The table says nothing about lines that run into the move limit.
        const bool tableUsable = pos.movesPlayed() + depth < kMoveLimit;
        Move tableMove{};
        if (tableUsable) {
            const Entry& e = table[pos.key() & mask];
            if (e.generation == generation && e.key == pos.key()) {
                tableMove = Move{e.from, e.to, static_cast<std::uint8_t>(e.flags >> 2 & 1u), 0};
                const int s = fromTable(e.score, ply);
                const int bound = e.flags & 3;
                if (ply > 0 && e.depth >= depth &&
                    (bound == kExact || (bound == kLower && s >= beta) ||
                     (bound == kUpper && s <= alpha)))
                    return s;
            }
        }

        Ply& p = plies[ply];
        pos.generate(p.moves);
        if (p.moves.size == 0) {
            // No move: a pass, and a second pass in a row is a draw.
            if (pos.passCount() > 0) return 0;
            pos.makePass(p.undo);
            const int s = -search(depth - 1, -beta, -alpha, ply + 1);
            pos.unmakePass(p.undo);
            return s;
        }
        orderMoves(p, tableMove);

        const int alphaIn = alpha;
        int best = -kInfinity;
        Move bestMove = p.moves.moves[0];
        for (int i = 0; i < p.moves.size; ++i) {
            pickNext(p, i);
            const Move m = p.moves.moves[i];
            const bool quiet = p.order[i] < kOrderQuiet;
            pos.make(m, p.undo);
            int s;
            if (i == 0) {
                s = -search(depth - 1, -beta, -alpha, ply + 1);
            } else {
                // Late quiet moves are first looked at less deeply; a checked side has
                // few moves and gets them all in full, and so does a move that checks.
                int r = 0;
                if (depth >= 3 && i >= 3 && quiet && !p.undo.restricted && !pos.restricted())
                    r = (depth >= 5 && i >= 10) ? 2 : 1;
                s = -search(depth - 1 - r, -alpha - 1, -alpha, ply + 1);
                if (s > alpha && r > 0) s = -search(depth - 1, -alpha - 1, -alpha, ply + 1);
                if (s > alpha && s < beta) s = -search(depth - 1, -beta, -alpha, ply + 1);
            }
            pos.unmake(m, p.undo);
            if (stopped) return 0;
            if (s > best) {
                best = s;
                bestMove = m;
                if (ply == 0) {
                    rootBest = m;
                    rootScore = s;
                    rootImproved = true;
                }
                if (s > alpha) {
                    alpha = s;
                    if (s >= beta) {
                        if (quiet) {
                            if (!(m == p.killer[0])) {
                                p.killer[1] = p.killer[0];
                                p.killer[0] = m;
                            }
                            history[m.from][m.to] += depth * depth;
                            if (history[m.from][m.to] > kOrderQuiet / 2) {
                                for (auto& row : history)
                                    for (int& h : row) h /= 2;
                            }
                        }
                        break;
                    }
                }
            }
        }
        if (tableUsable) {
            const Bound b = best >= beta ? kLower : (best > alphaIn ? kExact : kUpper);
            store(depth, ply, best, b, bestMove);
        }
        return best;
    }
};

Level4Search::Level4Search(int tableMegabytes) : impl_(std::make_unique<Impl>(tableMegabytes)) {}

Level4Search::~Level4Search() = default;

std::uint64_t level4PositionKey(const GameState& 局面, Mover side) {
    return Position::from(局面, side, 0).key();
}

Level4Move Level4Search::bestMove(const GameState& 局面, Mover side, int movesPlayed,
                                  const Level4Limits& limits, const Level4History& history) {
    Impl& I = *impl_;
    I.newSearch(limits);
    I.pos = Position::from(局面, side, movesPlayed);
    I.setHistory(history);
    // The more often the game has been here already, the less a repetition is worth: a
    // side that keeps coming back looks harder for another way.
    int returns = 0;
    for (int i = 0; i < I.seenCount; ++i) returns += I.seen[i] == I.pos.key() ? 1 : 0;
    I.contempt = std::min(kContempt * (1 + returns), kMaxContempt);

    Level4Move answer;
    Ply& root = I.plies[0];
    I.pos.generate(root.moves);
    if (root.moves.size == 0) return answer; // a pass

    const int maxDepth = limits.depth > 0 && limits.depth < kMaxDepth ? limits.depth : kMaxDepth;
    Move best = root.moves.moves[0];
    int bestScore = 0;
    int completed = 0;
    I.poll(); // a stop asked for before the search began
    for (int depth = 1; depth <= maxDepth && !I.stopped; ++depth) {
        I.rootImproved = false;
        const int s = I.search(depth, -kInfinity, kInfinity, 0);
        if (I.stopped) {
            // A stopped iteration still counts once the previous best has been searched
            // again and something has beaten it.
            if (I.rootImproved && depth > 1) best = I.rootBest;
            break;
        }
        best = I.rootBest;
        bestScore = s;
        completed = depth;
        I.budgetsOn = true;
        // A forced result within the depth searched cannot change any more.
        if ((isWinScore(s) || isLossScore(s)) && kWinScore - (s < 0 ? -s : s) <= depth) break;
        if (root.moves.size == 1) break;
        // The next iteration takes a few times as long as this one: do not start what
        // cannot finish.
        if (limits.timeMs > 0 && limits.clock() - I.started >= limits.timeMs * 0.5) break;
    }

    const int fromSq = best.from;
    const int toSq = best.to;
    const std::int8_t before = I.pos.at(fromSq);
    answer.found = true;
    answer.移動元X = xOf(fromSq);
    answer.移動元Y = yOf(fromSq);
    answer.移動先X = xOf(toSq);
    answer.移動先Y = yOf(toSq);
    answer.移動前駒 = gameCodeOf(before);
    answer.移動駒 = gameCodeOf(best.promote ? promotedOf(before) : before);
    answer.score = bestScore;
    answer.depth = completed;
    answer.nodes = I.nodes;
    return answer;
}

} // namespace zubeki
