#include "play/computer.h"

#include <algorithm>

namespace zubeki {
Computer::Computer() = default;
Computer::~Computer() = default;

void Computer::note(const Position& 局面) {
    remember(局面, 局面.SIDE, 反転(局面));
}

void Computer::remember(const Position& 局面, Side side, const Position& turned) {
    const bool upper = side == Side::Upper;
    const std::uint64_t key = level4PositionKey(局面, upper ? Side::Upper : Side::Lower);
    // A pass leaves the move number as it was: the position before it stays noted.
    while (seen_ > 0 && seenMoves_[seen_ - 1] > 局面.MOVE_COUNT) --seen_;
    if (seen_ > 0 && seenMoves_[seen_ - 1] == 局面.MOVE_COUNT && seenForUpper_[seen_ - 1] == key)
        return;
    if (seen_ == kSeenCapacity) {
        // A very long game: the oldest half is let go.
        const int half = kSeenCapacity / 2;
        for (int i = 0; i < half; ++i) {
            seenMoves_[i] = seenMoves_[i + half];
            seenForUpper_[i] = seenForUpper_[i + half];
            seenForLower_[i] = seenForLower_[i + half];
        }
        seen_ = half;
    }
    const Side turnedSide = upper ? Side::Lower : Side::Upper;
    seenMoves_[seen_] = 局面.MOVE_COUNT;
    seenForUpper_[seen_] = key;                                   // the board as it stands
    seenForLower_[seen_] = level4PositionKey(turned, turnedSide); // the turned board
    ++seen_;
}

void Computer::prepareLevel4() {
    const int megabytes = std::clamp(budget.tableMegabytes, 1, 1024);
    if (!level4_ || megabytes != tableMegabytes_) {
        level4_.reset(); // the old table goes before the new one is made
        level4_ = std::make_unique<Level4Search>(megabytes, budget.threads);
        tableMegabytes_ = megabytes;
    } else if (level4_->threads() != std::clamp(budget.threads, 1, Level4Search::kMaxThreads))
        level4_->setThreads(budget.threads);
}

ComputerMove Computer::choose(Position& 局面, Side side, int level, ClockDigit digit,
                              const std::atomic<bool>* stop, const Level4Reporter* report) {
    const Position turned = 反転(局面);
    remember(局面, side, turned);
    const bool upper = side == Side::Upper;
    if (level < LEVEL_MAX)
        return upper ? 最善手探索(局面, influence_, level, digit)
                     : 下手番探索(局面, influence_, level, digit);

    prepareLevel4();
    Level4Limits limits;
    if (budget.nodes > 0)
        limits.nodes = budget.nodes;
    else
        limits.timeMs = budget.ms;
    limits.wholeTime = budget.wholeMs;
    limits.stop = stop;
    limits.depth = budget.depth;
    limits.multiPV = std::clamp(budget.multiPv, 1, Level4Search::kMaxMultiPV);
    // The lower side is searched on the turned board: its lines are turned back.
    const Level4Reporter turnedBack = [report](const Level4Report& r) {
        Level4Report real = r;
        for (Level4Line& line : real.lines)
            for (Move& m : line.pv)
                if (!m.pass())
                    m = {10 - m.移動元X, 10 - m.移動元Y, 10 - m.移動先X,
                         10 - m.移動先Y, -m.移動前駒,    -m.移動駒};
        (*report)(real);
    };
    limits.report = report && !upper ? &turnedBack : report;
    const int played = budget.moveLimit ? 局面.MOVE_COUNT : 0;
    // The earlier positions, the one being searched (the last noted) left out.
    const Level4History history{upper ? seenForUpper_ : seenForLower_, seen_ - 1};
    const Level4Move found =
        level4_->bestMove(upper ? 局面 : turned, Side::Upper, played, limits, history);
    const ComputerMove m{found, found.found, static_cast<double>(found.score), found.depth,
                         found.nodes};
    return upper ? m : 反転手(m);
}

} // namespace zubeki
