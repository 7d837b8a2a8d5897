#include "ai/level4.h"

#include "ai/level4_features.h"
#include "ai/level4_table.h"
#include "ai/level4_weights.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace zubeki {

using namespace level4;

namespace {

constexpr int kOrthogonal[4] = {-11, 11, -1, 1};

constexpr Side other(Side m) {
    return m == Side::Upper ? Side::Lower : Side::Upper;
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

// Counts one side's features into `f` (tempo aside: only the side to move has it).
void sideFeatures(const level4::Position& p, Side side, const GroupScan& groups,
                  int (&f)[kFeatureCount]) {
    const int s = sideIndex(side);
    const std::uint8_t* list = p.pieces(side);
    for (int i = 0; i < p.pieceCount(side); ++i) {
        const int sq = list[i];
        const std::int8_t c = p.at(sq);
        f[kFeatureAdvance] +=
            12 - kCampDistance[static_cast<std::size_t>(s)][static_cast<std::size_t>(sq)];
        if (c == kBishopPromoted || c == kRookPromoted || c == -kBishopPromoted ||
            c == -kRookPromoted)
            ++f[kFeaturePromoted];
        const int free = p.freeDirections(sq);
        f[kFeatureMobility] += free;
        if (free == 0) ++f[kFeatureStuck];
    }
    const int camp = p.campCount(side);
    f[kFeatureInCamp] = camp;
    f[kFeatureCampSquared] = camp * camp;
    for (int g = 0; g < groups.groups; ++g) {
        if (groups.liberties[g] == 1)
            ++f[kFeatureOneLiberty];
        else if (groups.liberties[g] == 2)
            ++f[kFeatureTwoLiberties];
    }
}

int weighted(const int (&mine)[kFeatureCount], const int (&theirs)[kFeatureCount]) {
    int v = 0;
    for (int i = 0; i < kFeatureCount; ++i) v += kWeights[i] * (mine[i] - theirs[i]);
    return v;
}

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
    level4::Move killer[2];
    Undo undo;
};

} // namespace

namespace {
// `theirs` already holds the scan of the side not to move.
int evaluateWith(const level4::Position& p, GroupScan& mine, const GroupScan& theirs) {
    const Side me = p.toMove();
    p.scanGroups(me, mine);
    int f[kFeatureCount]{};
    int g[kFeatureCount]{};
    sideFeatures(p, me, mine, f);
    sideFeatures(p, other(me), theirs, g);
    f[kFeatureTempo] = 1;
    return weighted(f, g);
}
} // namespace

int level4Evaluate(const level4::Position& p, GroupScan& mine, GroupScan& theirs) {
    p.scanGroups(other(p.toMove()), theirs);
    return evaluateWith(p, mine, theirs);
}

level4::Trace level4::trace(const Position& p, GroupScan& mine, GroupScan& theirs) {
    Trace t;
    p.scanGroups(p.toMove(), mine);
    p.scanGroups(other(p.toMove()), theirs);
    sideFeatures(p, p.toMove(), mine, t.mine);
    sideFeatures(p, other(p.toMove()), theirs, t.theirs);
    t.mine[kFeatureTempo] = 1;
    t.score = weighted(t.mine, t.theirs);
    return t;
}

namespace {

// A root move with its score and the line the table holds after it.
struct RootLine {
    level4::Move move{};
    int score = 0;
    int depth = 0;
    int seldepth = 0;
    zubeki::Move pv[kMaxPly];
    int pvLength = 0;
};

// What every thread of one search reads. The caller's thread sets it up before the helpers
// are woken and leaves it alone until they have stopped; only the table and the two counters
// below change while they run.
struct Shared {
    explicit Shared(int megabytes) : table(megabytes) {}

    Table table;
    std::uint16_t generation = 0;
    level4::Position root;
    int maxDepth = Level4Search::kMaxDepth;
    // The game's earlier positions, with a filter of their keys' low bits so that most
    // nodes need not look through them.
    const std::uint64_t* seen = nullptr;
    int seenCount = 0;
    std::uint64_t seenFilter[kHistoryFilterWords] = {};
    int contempt = Level4Search::kContempt;

    alignas(64) std::atomic<bool> abort{false};            // the helpers stop at their next node
    alignas(64) std::atomic<std::uint64_t> helperNodes{0}; // added to every 1024 nodes

    // With one line asked for, the threads share each of the caller's iterations: the caller
    // searches the root's first move with the whole window, then opens a split of the other
    // moves, which every thread takes one at a time from one counter with the best score so
    // far as its bound. Between splits the helpers search an iteration deeper than the
    // caller, leaving in the table what the caller will want next.
    bool sharing = false;
    alignas(64) std::atomic<int> callerDepth{0}; // the caller's iteration under way
    alignas(64) std::atomic<int> splitId{0};     // the open split, 0 while none is
    alignas(64) std::atomic<int> nextMove{0};    // of the split's moves, the next to take
    alignas(64) std::atomic<int> busy{0};        // the threads taking the split's moves
    alignas(64) std::atomic<int> splitAlpha{0};  // the best score of the split so far
    int splits = 0;                              // the caller's, for the splits' ids
    // Written by the caller while no thread is in a split.
    int splitDepth = 0;
    MoveList splitMoves; // the root's moves after the first, best first
    bool splitQuiet[kMaxMoves] = {};
    std::mutex splitMutex;
    struct SplitResult {
        int depth = 0;
        int score = 0;
        level4::Move move{};  // the best move so far
        level4::Move first{}; // the move the caller searched first
    } split;                  // guarded by splitMutex

    // The caller's split of the moves after the first, which scored `score`.
    void openSplit(const Ply& p, int depth, int score) {
        splitDepth = depth;
        splitMoves.size = 0;
        for (int i = 1; i < p.moves.size; ++i) {
            splitQuiet[splitMoves.size] = p.order[i] < kOrderQuiet;
            splitMoves.moves[splitMoves.size++] = p.moves.moves[i];
        }
        {
            std::lock_guard<std::mutex> lock(splitMutex);
            split = {depth, score, p.moves.moves[0], p.moves.moves[0]};
        }
        splitAlpha.store(score);
        nextMove.store(0);
        splitId.store(++splits);
    }
    // A move of the split searched to the end: the best so far if it beat them all.
    void offer(level4::Move m, int score) {
        std::lock_guard<std::mutex> lock(splitMutex);
        if (score <= split.score) return;
        split.score = score;
        split.move = m;
        splitAlpha.store(score);
    }
    SplitResult splitResult() {
        std::lock_guard<std::mutex> lock(splitMutex);
        return split;
    }
    // Between searches, with the helpers stopped.
    void clearSplit() {
        splits = 0;
        callerDepth.store(0);
        splitId.store(0);
        nextMove.store(0);
        busy.store(0);
        split = {};
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
};

// One thread's search: its own board, plies, history, killers and group scans. Worker 0 runs
// on the caller's thread, keeps the budgets and searches the root moves it is told to.
struct Worker {
    Worker(Shared& s, int i) : shared(s), index(i) {}

    Shared& shared;
    const int index;

    level4::Position pos;
    Ply plies[kMaxPly];
    GroupScan enemy;
    GroupScan scanA;
    int history[kSquares][kSquares];
    std::uint64_t path[kMaxPly + 1] = {};
    std::uint64_t nodes = 0;
    std::uint64_t published = 0; // of a helper's nodes, added to shared.helperNodes
    int seldepth = 0;
    bool stopped = false;
    int handled = 0;      // of a helper: the last split it joined
    bool inSplit = false; // of a helper: taking a split's moves

    // Worker 0 only.
    const Level4Limits* limits = nullptr;
    double started = 0;
    bool budgetsOn = false;        // after the one-move search
    std::uint64_t helperNodes = 0; // the helpers' nodes at the last poll
    level4::Move rootBest{};
    bool rootImproved = false;
    level4::Move excluded[Level4Search::kMaxMultiPV] = {}; // root moves already given a line
    int excludedCount = 0;

    void reset() {
        nodes = 0;
        published = 0;
        helperNodes = 0;
        seldepth = 0;
        stopped = false;
        handled = 0;
        inSplit = false;
        budgetsOn = false;
        excludedCount = 0;
        std::memset(history, 0, sizeof history);
        for (Ply& p : plies) p.killer[0] = p.killer[1] = level4::Move{};
    }

    // Has the line come back to a position of its own or of the game's? Only positions with
    // the same side to move can match, and the key tells the side.
    bool repeated(int ply) const {
        const std::uint64_t k = path[ply];
        for (int i = ply - 2; i >= 0; i -= 2)
            if (path[i] == k) return true;
        const std::uint64_t bit = k & (kHistoryFilterWords * 64 - 1);
        if ((shared.seenFilter[bit >> 6] >> (bit & 63) & 1u) == 0) return false;
        for (int i = 0; i < shared.seenCount; ++i)
            if (shared.seen[i] == k) return true;
        return false;
    }

    // A repetition for the side to move at `ply`: the searching side moves at even plies.
    int repetitionScore(int ply) const { return ply % 2 == 0 ? -shared.contempt : shared.contempt; }

    // Worker 0: the node budget, over all threads, is spent.
    bool nodesSpent() const {
        return budgetsOn && limits->nodes != 0 && nodes + helperNodes >= limits->nodes;
    }

    void poll() {
        if (index != 0) {
            shared.helperNodes.fetch_add(nodes - published, std::memory_order_relaxed);
            published = nodes;
            return;
        }
        bool ends = limits->stop && limits->stop->load(std::memory_order_relaxed);
        if (budgetsOn && limits->timeMs > 0 && limits->clock() - started >= limits->timeMs)
            ends = true;
        if (ends) stopped = true;
        helperNodes = shared.helperNodes.load(std::memory_order_relaxed);
        if (nodesSpent()) stopped = true;
    }

    static int toTable(int s, int ply) {
        if (Level4Search::isWinScore(s)) return s + ply;
        if (Level4Search::isLossScore(s)) return s - ply;
        return s;
    }
    static int fromTable(int s, int ply) {
        if (Level4Search::isWinScore(s)) return s - ply;
        if (Level4Search::isLossScore(s)) return s + ply;
        return s;
    }

    // Threatening a capture: the destination takes one of the two liberties of an enemy
    // group and the source is not next to it.
    bool threatens(level4::Move m) const {
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

    void orderMoves(Ply& p, level4::Move tableMove) {
        for (int i = 0; i < p.moves.size; ++i) {
            const level4::Move m = p.moves.moves[i];
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

    bool isExcluded(level4::Move m) const {
        for (int i = 0; i < excludedCount; ++i)
            if (excluded[i] == m) return true;
        return false;
    }

    // Counts the node and tells whether the search is to stop: the budgets and the clock are
    // looked at every 1024 nodes, the node budget at every node once the one-move search is
    // done. A helper searching on its own leaves off for a split the caller has opened.
    bool halts() {
        if ((++nodes & 1023) == 0) poll();
        if (nodesSpent()) stopped = true;
        if (shared.abort.load(std::memory_order_relaxed)) stopped = true;
        if (index != 0 && !inSplit && shared.sharing) {
            const int id = shared.splitId.load(std::memory_order_relaxed);
            if (id != 0 && id != handled) stopped = true;
        }
        return stopped;
    }

    // The table's move for the position into `tableMove`; true, with the score in `score`, when
    // the entry is deep enough to settle the node at once (never the root).
    bool probe(int depth, int alpha, int beta, int ply, level4::Move& tableMove, int& score) {
        Table::Hit e;
        if (!shared.table.probe(pos.key(), shared.generation, e)) return false;
        tableMove = e.move;
        const int s = fromTable(e.score, ply);
        if (ply > 0 && e.depth >= depth &&
            (e.bound == kExact || (e.bound == kLower && s >= beta) ||
             (e.bound == kUpper && s <= alpha))) {
            score = s;
            return true;
        }
        return false;
    }

    // No move: a pass, and a second pass in a row is a draw.
    int searchPass(Ply& p, int depth, int alpha, int beta, int ply) {
        if (pos.passCount() > 0) return 0;
        pos.makePass(p.undo);
        const int s = -search(depth - 1, -beta, -alpha, ply + 1);
        pos.unmakePass(p.undo);
        return s;
    }

    // The score of the move `m`, the `tried`-th searched here: the first with the whole window,
    // the others with a null window first.
    int searchMove(Ply& p, level4::Move m, int tried, bool quiet, bool excluding, int depth,
                   int alpha, int beta, int ply) {
        if (excluding && pos.moveWins(m)) {
            seldepth = std::max(seldepth, 1);
            return Level4Search::kWinScore - 1;
        }
        int s;
        pos.make(m, p.undo);
        if (tried == 0) {
            s = -search(depth - 1, -beta, -alpha, ply + 1);
        } else {
            // Late quiet moves are first looked at less deeply; a checked side has few moves
            // and gets them all in full, and so does a move that checks.
            int r = 0;
            if (depth >= 3 && tried >= 3 && quiet && !p.undo.restricted && !pos.restricted())
                r = (depth >= 5 && tried >= 10) ? 2 : 1;
            s = -search(depth - 1 - r, -alpha - 1, -alpha, ply + 1);
            if (s > alpha && r > 0) s = -search(depth - 1, -alpha - 1, -alpha, ply + 1);
            if (s > alpha && s < beta) s = -search(depth - 1, -beta, -alpha, ply + 1);
        }
        pos.unmake(m, p.undo);
        return s;
    }

    // A new best move at the root.
    void noteRootBest(level4::Move m) {
        rootBest = m;
        rootImproved = true;
    }

    // A quiet move that cut the search off: a killer of its ply, and its history grows with
    // the depth (halved all round before it can reach the moves that are not quiet).
    void rememberCutoff(Ply& p, level4::Move m, int depth) {
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

    // The moves of a position that has some, best first, between alpha and beta; the table
    // keeps what they gave (a root searched without some of its moves has no score of its
    // own to keep).
    int searchMoves(Ply& p, bool excluding, bool tableUsable, int depth, int alpha, int beta,
                    int ply) {
        const int alphaIn = alpha;
        int best = -kInfinity;
        level4::Move bestMove = p.moves.moves[0];
        int tried = 0;
        for (int i = 0; i < p.moves.size; ++i) {
            pickNext(p, i);
            const level4::Move m = p.moves.moves[i];
            if (excluding && isExcluded(m)) continue;
            const bool quiet = p.order[i] < kOrderQuiet;
            const int s = searchMove(p, m, tried, quiet, excluding, depth, alpha, beta, ply);
            ++tried;
            if (stopped) return 0;
            if (s <= best) continue;
            best = s;
            bestMove = m;
            if (ply == 0) noteRootBest(m);
            if (s <= alpha) continue;
            alpha = s;
            if (s >= beta) {
                if (quiet) rememberCutoff(p, m, depth);
                break;
            }
        }
        if (tableUsable && !excluding) {
            const Bound b = best >= beta ? kLower : (best > alphaIn ? kExact : kUpper);
            shared.table.store(pos.key(), shared.generation, depth, toTable(best, ply), b,
                               bestMove);
        }
        return best;
    }

    int search(int depth, int alpha, int beta, int ply) {
        if (halts()) return 0;
        if (ply > seldepth) seldepth = ply;
        if (ply > 0 && pos.movesPlayed() >= Level4Search::kMoveLimit) return 0; // a draw
        path[ply] = pos.key();
        if (ply > 0 && repeated(ply)) return repetitionScore(ply);

        // The root's later lines leave out the moves that have theirs already; each of the
        // rest is asked whether it wins at once.
        const bool excluding = ply == 0 && excludedCount > 0;

        // A win in one ends the line: nothing can be better.
        pos.scanGroups(other(pos.toMove()), enemy);
        if (!excluding && pos.findWin(enemy, ply == 0 ? &rootBest : nullptr)) {
            if (ply == 0) rootImproved = true;
            seldepth = std::max(seldepth, ply + 1);
            return Level4Search::kWinScore - (ply + 1);
        }
        if (depth <= 0 || ply >= kMaxPly - 1) return evaluateWith(pos, scanA, enemy);

        // The table says nothing about lines that run into the move limit.
        const bool tableUsable = pos.movesPlayed() + depth < Level4Search::kMoveLimit;
        level4::Move tableMove{};
        int known = 0;
        if (tableUsable && probe(depth, alpha, beta, ply, tableMove, known)) return known;

        Ply& p = plies[ply];
        pos.generate(p.moves);
        if (p.moves.size == 0) return searchPass(p, depth, alpha, beta, ply);
        orderMoves(p, tableMove);
        if (ply == 0 && index == 0 && shared.sharing)
            return searchRootShared(p, tableUsable, depth);
        return searchMoves(p, excluding, tableUsable, depth, alpha, beta, ply);
    }

    // The caller's root on several threads: the first move with the whole window, then the
    // others shared out in a split; the caller waits for the helpers' last moves.
    int searchRootShared(Ply& p, bool tableUsable, int depth) {
        pickNext(p, 0);
        const level4::Move first = p.moves.moves[0];
        const int s = searchMove(p, first, 0, p.order[0] < kOrderQuiet, false, depth, -kInfinity,
                                 kInfinity, 0);
        if (stopped) return 0;
        noteRootBest(first);
        for (int i = 1; i < p.moves.size; ++i) pickNext(p, i);
        shared.openSplit(p, depth, s);
        takeRootMoves();
        shared.splitId.store(0);
        while (!stopped && shared.busy.load() > 0) {
            poll();
            std::this_thread::yield();
        }
        if (stopped) return 0;
        const Shared::SplitResult r = shared.splitResult();
        if (!(r.move == first)) noteRootBest(r.move);
        if (tableUsable)
            shared.table.store(pos.key(), shared.generation, depth, toTable(r.score, 0), kExact,
                               r.move);
        return r.score;
    }

    // The split's moves, one at a time while any are left, each with a null window at the
    // best score so far and searched again in full if it beats it.
    void takeRootMoves() {
        Ply& p = plies[0];
        path[0] = pos.key();
        for (;;) {
            const int i = shared.nextMove.fetch_add(1);
            if (i >= shared.splitMoves.size) return;
            const level4::Move m = shared.splitMoves.moves[i];
            const int alpha = shared.splitAlpha.load();
            const int s = searchMove(p, m, i + 1, shared.splitQuiet[i], false, shared.splitDepth,
                                     alpha, kInfinity, 0);
            if (stopped) return;
            shared.offer(m, s);
        }
    }

    // A helper joins the split `id` unless the caller has closed it meanwhile.
    void joinSplit(int id) {
        handled = id;
        shared.busy.fetch_add(1);
        if (shared.splitId.load() == id) {
            stopped = false;
            inSplit = true;
            takeRootMoves();
            inSplit = false;
        }
        shared.busy.fetch_sub(1);
    }

    // A helper deepens on its own, every other helper one iteration ahead of the caller and
    // the rest beside it, so that the threads spread over the tree and leave in the table what
    // the others will want next. Sharing, it joins every split the caller opens and between
    // them searches an iteration deeper than the caller's.
    void runHelper() {
        reset();
        pos = shared.root;
        if (shared.sharing) {
            int alone = 0; // the deepest iteration it has finished on its own
            while (!shared.abort.load(std::memory_order_relaxed)) {
                const int id = shared.splitId.load();
                if (id != 0 && id != handled) {
                    joinSplit(id);
                    continue;
                }
                const int depth = std::max(alone, shared.callerDepth.load()) + 1;
                if (depth > shared.maxDepth) {
                    std::this_thread::yield();
                    continue;
                }
                stopped = false;
                search(depth, -kInfinity, kInfinity, 0);
                if (!stopped) alone = depth;
            }
        } else {
            for (int depth = 2 + index % 2;
                 depth <= shared.maxDepth && !shared.abort.load(std::memory_order_relaxed);
                 ++depth) {
                search(depth, -kInfinity, kInfinity, 0);
                if (stopped) break;
            }
        }
        shared.helperNodes.fetch_add(nodes - published, std::memory_order_relaxed);
        published = nodes;
    }
};

zubeki::Move playedOf(const level4::Position& p, level4::Move m) {
    const std::int8_t before = p.at(m.from);
    return zubeki::Move{xOf(m.from),        yOf(m.from),
                        xOf(m.to),          yOf(m.to),
                        gameCodeOf(before), gameCodeOf(m.promote ? promotedOf(before) : before)};
}

bool contains(const MoveList& list, level4::Move m) {
    for (int i = 0; i < list.size; ++i)
        if (list.moves[i] == m) return true;
    return false;
}

// Best first; equal scores keep their order.
void sortByScore(RootLine* lines, int n) {
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && lines[j].score > lines[j - 1].score; --j)
            std::swap(lines[j], lines[j - 1]);
}

// Where the caller's iterative deepening stands.
struct Deepening {
    int count = 1;          // the lines asked for
    bool reporting = false; // reports are wanted
    level4::Move best{};
    int bestScore = 0;
    int completed = 0;    // the deepest iteration finished
    int partDepth = 0;    // the unfinished iteration `best` comes from, if it does
    bool helping = false; // the helpers have been started
};

} // namespace

struct Level4Search::Impl {
    Shared shared;
    std::unique_ptr<Worker> main;
    std::vector<std::unique_ptr<Worker>> helpers;
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake; // a new search for the helpers, or the end
    std::condition_variable idle; // the last helper has stopped
    std::uint64_t job = 0;
    int running = 0;
    bool quit = false;

    RootLine lines[kMaxMultiPV]; // the lines the search answers with, best first
    int lineCount = 0;
    RootLine fresh[kMaxMultiPV]; // the iteration under way
    MoveList pvMoves;
    GroupScan pvScan;
    Level4Report report;

    Impl(int megabytes, int threadCount)
        : shared(megabytes), main(std::make_unique<Worker>(shared, 0)) {
        setThreads(threadCount);
    }
    ~Impl() { endThreads(); }

    void endThreads() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        wake.notify_all();
        for (std::thread& t : threads) t.join();
        threads.clear();
        helpers.clear();
        quit = false;
    }

    void setThreads(int n) {
        n = std::clamp(n, 1, kMaxThreads);
        if (n == static_cast<int>(helpers.size()) + 1) return;
        endThreads();
        helpers.reserve(static_cast<std::size_t>(n - 1));
        threads.reserve(static_cast<std::size_t>(n - 1));
        for (int i = 1; i < n; ++i) {
            helpers.push_back(std::make_unique<Worker>(shared, i));
            Worker* w = helpers.back().get();
            threads.emplace_back([this, w, from = job] { helperLoop(*w, from); });
        }
    }

    void helperLoop(Worker& w, std::uint64_t done) {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return quit || job != done; });
            if (quit) return;
            done = job;
            lock.unlock();
            w.runHelper();
            lock.lock();
            if (--running == 0) idle.notify_all();
        }
    }

    void startHelpers() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            running = static_cast<int>(helpers.size());
            ++job;
        }
        wake.notify_all();
    }

    void stopHelpers() {
        shared.abort.store(true, std::memory_order_relaxed);
        std::unique_lock<std::mutex> lock(mutex);
        idle.wait(lock, [&] { return running == 0; });
    }

    std::uint64_t nodes() const {
        return main->nodes + shared.helperNodes.load(std::memory_order_relaxed);
    }

    // The line after the root move as the table holds it, checked move by move against the
    // rules: it ends at a win, a second pass, the move limit, a position it has been through,
    // a table miss or a move that is not legal there, or past the depth searched (the
    // horizon's win in one included) or the plies a forced result takes.
    void extractPv(RootLine& l) {
        int length = l.depth + 1;
        if (isWinScore(l.score) || isLossScore(l.score))
            length = std::min(length, kWinScore - std::abs(l.score));
        level4::Position walk = main->pos;
        std::uint64_t keys[kMaxPly + 1];
        int seen = 0;
        keys[seen++] = walk.key();
        auto repeats = [&](std::uint64_t k) {
            return std::find(keys, keys + seen, k) != keys + seen;
        };
        Undo u;
        level4::Move m = l.move;
        l.pvLength = 0;
        for (;;) {
            l.pv[l.pvLength++] = playedOf(walk, m);
            const bool wins = walk.moveWins(m);
            walk.make(m, u);
            if (wins || l.pvLength >= length || walk.movesPlayed() >= kMoveLimit ||
                repeats(walk.key()))
                return;
            keys[seen++] = walk.key();
            walk.generate(pvMoves);
            if (pvMoves.size == 0) {
                if (walk.passCount() > 0) return;
                l.pv[l.pvLength++] = zubeki::Move{};
                walk.makePass(u);
                if (l.pvLength >= length || repeats(walk.key())) return;
                keys[seen++] = walk.key();
                walk.generate(pvMoves);
                if (pvMoves.size == 0) return;
            }
            // The search takes a win in one without keeping a table move for it.
            walk.scanGroups(other(walk.toMove()), pvScan);
            if (walk.findWin(pvScan, &m)) continue;
            Table::Hit e;
            if (!shared.table.probe(walk.key(), shared.generation, e) || !contains(pvMoves, e.move))
                return;
            m = e.move;
        }
    }

    void send(const Level4Limits& limits, bool final) {
        report.lines.resize(static_cast<std::size_t>(lineCount));
        for (int i = 0; i < lineCount; ++i) {
            const RootLine& l = lines[i];
            Level4Line& out = report.lines[static_cast<std::size_t>(i)];
            out.multipv = i + 1;
            out.depth = l.depth;
            out.seldepth = l.seldepth;
            out.score = l.score;
            out.pv.assign(l.pv, l.pv + l.pvLength);
        }
        report.nodes = nodes();
        report.ms = limits.clock() - main->started;
        report.hashfull = shared.table.permille(shared.generation);
        report.final = final;
        (*limits.report)(report);
    }

    // The first line made to begin with `best` (a stopped iteration's new best move), the
    // others kept in their order behind it.
    void putFirst(level4::Move best, int score, int depth, int count) {
        RootLine first;
        first.move = best;
        first.score = score;
        first.depth = depth;
        first.seldepth = main->seldepth;
        extractPv(first);
        int kept = 0;
        for (int i = 0; i < lineCount && kept < count - 1; ++i)
            if (!(lines[i].move == best)) fresh[kept++] = lines[i];
        lines[0] = first;
        for (int i = 0; i < kept; ++i) lines[i + 1] = fresh[i];
        lineCount = kept + 1;
    }

    // A stopped iteration that gave `done` lines of its own: they go first, then the last
    // iteration's lines for the other moves.
    void mergeStopped(int done, int count) {
        sortByScore(fresh, done);
        int n = done;
        for (int i = 0; i < lineCount && n < count; ++i) {
            bool had = false;
            for (int j = 0; j < done; ++j) had = had || fresh[j].move == lines[i].move;
            if (!had) fresh[n++] = lines[i];
        }
        for (int i = 0; i < n; ++i) lines[i] = fresh[i];
        lineCount = n;
    }

    // Sets the search up for the root: a new generation of the table, the game's earlier
    // positions and the contempt they give, the depth allowed, the threads' flags cleared.
    void begin(const zubeki::Position& 局面, Side side, int movesPlayed, const Level4Limits& limits,
               const Level4History& history) {
        Shared& S = shared;
        Worker& W = *main;
        // Entries of another generation count as empty: every search starts afresh.
        if (++S.generation == 0) {
            S.table.clear();
            S.generation = 1;
        }
        W.reset();
        W.limits = &limits;
        W.started = limits.clock();
        S.root = level4::Position::from(局面, side, movesPlayed);
        W.pos = S.root;
        S.setHistory(history);
        // The more often the game has been here already, the less a repetition is worth: a
        // side that keeps coming back looks harder for another way.
        int returns = 0;
        for (int i = 0; i < S.seenCount; ++i) returns += S.seen[i] == S.root.key() ? 1 : 0;
        S.contempt = std::min(kContempt * (1 + returns), kMaxContempt);
        S.maxDepth = limits.depth > 0 && limits.depth < kMaxDepth ? limits.depth : kMaxDepth;
        S.abort.store(false, std::memory_order_relaxed);
        S.helperNodes.store(0, std::memory_order_relaxed);
    }

    // The side to move has no move and passes: its one line is the pass.
    void reportPass(const Level4Limits& limits) {
        lines[0] = RootLine{};
        lines[0].pvLength = 1;
        lineCount = 1;
        send(limits, true);
    }

    // The deepening before its first iteration: the first root move stands for the best until
    // one has been searched, and with one line asked for the threads share the iterations out.
    Deepening startDeepening(const Level4Limits& limits, bool reporting) {
        const MoveList& moves = main->plies[0].moves;
        Deepening d;
        d.count = std::min(std::clamp(limits.multiPV, 1, kMaxMultiPV), moves.size);
        d.reporting = reporting;
        d.best = moves.moves[0];
        lineCount = 0;
        shared.sharing = d.count == 1 && !helpers.empty();
        shared.clearSplit();
        return d;
    }

    // The lines of one iteration into `fresh`, each searched without the root moves of the
    // lines before it; how many were whole before the search stopped.
    int searchLines(int depth, const Deepening& d) {
        Worker& W = *main;
        shared.callerDepth.store(depth);
        W.seldepth = 0;
        W.excludedCount = 0;
        int done = 0;
        for (; done < d.count; ++done) {
            W.rootImproved = false;
            const int s = W.search(depth, -kInfinity, kInfinity, 0);
            if (W.stopped) break;
            RootLine& l = fresh[done];
            l.move = W.rootBest;
            l.score = s;
            l.depth = depth;
            l.seldepth = W.seldepth;
            if (d.reporting) extractPv(l);
            W.excluded[W.excludedCount++] = W.rootBest;
        }
        return done;
    }

    // What an iteration the budgets or a stop ended leaves, `done` of its lines whole.
    void keepStopped(int depth, int done, Deepening& d) {
        if (done == 0) {
            // A stopped iteration still counts once the previous best has been searched
            // again and something has beaten it.
            if (main->rootImproved && depth > 1) {
                d.best = main->rootBest;
                d.partDepth = depth;
            }
            return;
        }
        // Its first lines are whole.
        mergeStopped(done, d.count);
        d.best = lines[0].move;
        d.bestScore = lines[0].score;
        d.completed = depth;
    }

    // One iteration of the caller's; false when the search stopped in it, which ends the
    // deepening.
    bool iterate(int depth, Deepening& d) {
        Worker& W = *main;
        const int done = searchLines(depth, d);
        if (W.stopped) {
            keepStopped(depth, done, d);
            return false;
        }
        sortByScore(fresh, d.count);
        for (int i = 0; i < d.count; ++i) lines[i] = fresh[i];
        lineCount = d.count;
        d.best = lines[0].move;
        d.bestScore = lines[0].score;
        d.completed = depth;
        return true;
    }

    // After a finished iteration: whether another can still change the move, and has the
    // time to finish.
    bool worthDeepening(const Level4Limits& limits, const Deepening& d) const {
        const int s = d.bestScore;
        // A forced result within the depth searched cannot change any more.
        if ((isWinScore(s) || isLossScore(s)) && kWinScore - (s < 0 ? -s : s) <= d.completed)
            return false;
        if (main->plies[0].moves.size == 1) return false;
        // The next iteration takes a few times as long as this one: do not start what
        // cannot finish.
        return !(limits.timeMs > 0 && !limits.wholeTime &&
                 limits.clock() - main->started >= limits.timeMs * 0.5);
    }

    // The caller's iterative deepening, which starts the helpers once the one-move search is
    // done; the budgets hold from then on.
    void deepen(const Level4Limits& limits, Deepening& d) {
        Worker& W = *main;
        W.poll(); // a stop asked for before the search began
        for (int depth = 1; depth <= shared.maxDepth && !W.stopped;
             depth = std::max(depth, d.completed) + 1) {
            if (!iterate(depth, d)) break;
            W.budgetsOn = true;
            if (d.reporting) send(limits, false);
            if (!worthDeepening(limits, d)) break;
            if (!d.helping && !helpers.empty() && d.completed < shared.maxDepth) {
                startHelpers();
                d.helping = true;
            }
        }
    }

    // The helpers stopped, and what they found deeper than the caller taken.
    void endHelping(Deepening& d) {
        stopHelpers();
        // The split of an iteration the clock stopped: a move that has beaten the first there
        // is the better one.
        const Shared::SplitResult r = shared.splitResult();
        if (shared.sharing && r.depth > d.completed && !(r.move == r.first)) {
            d.best = r.move;
            d.partDepth = r.depth;
        }
    }

    // The move decided on, in the game's terms; the last report begins with its line.
    Level4Move answerOf(const Level4Limits& limits, const Deepening& d) {
        const level4::Move best = d.best;
        const std::int8_t before = main->pos.at(best.from);
        Level4Move answer;
        answer.found = true;
        answer.移動元X = xOf(best.from);
        answer.移動元Y = yOf(best.from);
        answer.移動先X = xOf(best.to);
        answer.移動先Y = yOf(best.to);
        answer.移動前駒 = gameCodeOf(before);
        answer.移動駒 = gameCodeOf(best.promote ? promotedOf(before) : before);
        answer.score = d.bestScore;
        answer.depth = d.completed;
        answer.seldepth = lineCount > 0 ? lines[0].seldepth : main->seldepth;
        answer.nodes = nodes();
        if (d.reporting) {
            if (lineCount == 0 || !(lines[0].move == best))
                putFirst(best, d.bestScore, d.completed, d.count);
            send(limits, true);
        }
        return answer;
    }
};

Level4Search::Level4Search(int tableMegabytes, int threads)
    : impl_(std::make_unique<Impl>(tableMegabytes, threads)) {}

Level4Search::~Level4Search() = default;

void Level4Search::setThreads(int n) {
    impl_->setThreads(n);
}

int Level4Search::threads() const {
    return static_cast<int>(impl_->helpers.size()) + 1;
}

void Level4Search::setTableMegabytes(int megabytes) {
    impl_->shared.table.resize(megabytes);
    impl_->shared.generation = 0;
}

std::uint64_t level4PositionKey(const zubeki::Position& 局面, Side side) {
    return level4::Position::from(局面, side, 0).key();
}

Level4Move Level4Search::bestMove(const zubeki::Position& 局面, Side side, int movesPlayed,
                                  const Level4Limits& limits, const Level4History& history) {
    Impl& I = *impl_;
    I.begin(局面, side, movesPlayed, limits, history);
    const bool reporting = limits.report != nullptr && *limits.report;
    Ply& root = I.main->plies[0];
    I.main->pos.generate(root.moves);
    if (root.moves.size == 0) {
        // A pass.
        if (reporting) I.reportPass(limits);
        return Level4Move{};
    }
    Deepening d = I.startDeepening(limits, reporting);
    I.deepen(limits, d);
    if (d.helping) I.endHelping(d);
    return I.answerOf(limits, d);
}

} // namespace zubeki
