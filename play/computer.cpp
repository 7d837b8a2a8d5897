#include "play/computer.h"

namespace zubeki {
Computer::Computer() = default;
Computer::~Computer() = default;

ComputerMove Computer::choose(GameState& 局面, bool upper, int level, ClockDigit digit,
                              const std::atomic<bool>* stop) {
    if (level < LEVEL_MAX)
        return upper ? 最善手探索(局面, influence_, level, digit)
                     : 下手番探索(局面, influence_, level, digit);

    if (!level4_) level4_ = std::make_unique<Level4Search>();
    Level4Limits limits;
    if (budget.nodes > 0)
        limits.nodes = budget.nodes;
    else
        limits.timeMs = budget.ms;
    limits.stop = stop;
    const GameState turned = upper ? GameState{} : 反転局面(局面);
    const int played = budget.moveLimit ? 局面.MOVE_COUNT : 0;
    const Level4Move found =
        level4_->bestMove(upper ? 局面 : turned, level4::Mover::Upper, played, limits);
    ComputerMove m;
    m.found = found.found;
    m.移動元X = found.移動元X;
    m.移動元Y = found.移動元Y;
    m.移動先X = found.移動先X;
    m.移動先Y = found.移動先Y;
    m.移動前駒 = found.移動前駒;
    m.移動駒 = found.移動駒;
    m.BEST_SCORE = found.score;
    m.depth = found.depth;
    m.nodes = found.nodes;
    return upper ? m : 反転手(m);
}

} // namespace zubeki
