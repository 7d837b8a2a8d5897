#include "ai/search.h"

#include "ai/evaluation.h"
#include "game/moves.h"

namespace zubeki {

ComputerMove 最善手探索(Position& 局面, Influence& 勢力, int level, ClockDigit 時計) {
    ComputerMove best;
    EvalContext ctx{局面, 勢力, level, EMPTY, 時計};
    const int(&BOARD)[10][10] = 局面.BOARD;

    for (int x1 = 1; x1 <= 9; ++x1)
        for (int y1 = 1; y1 <= 9; ++y1) {
            const int TRIAL_PIECE = BOARD[x1][y1];
            if (TRIAL_PIECE < UE_BISHOP) continue;
            ctx.TRIAL_PIECE = TRIAL_PIECE;
            // The squares 移動チェック accepts, in the same x-then-y order.
            legalDestinations(局面, x1, y1, TRIAL_PIECE).forEach([&](int x2, int y2) {
                Move trial{x1, y1, x2, y2, TRIAL_PIECE, TRIAL_PIECE};
                const int T = 局面.tryMove(trial);
                勢力.勢力調査(局面);
                double score = 盤評価(ctx, T, TRIAL_PIECE, x1, y1, x2, y2);
                int chosen = TRIAL_PIECE;
                if (局面.調査_駒成(x1, y1, x2, y2, TRIAL_PIECE)) {
                    const int promoted = 成駒(TRIAL_PIECE);
                    trial.移動駒 = promoted;
                    局面.tryMove(trial);
                    勢力.勢力調査(局面);
                    const double score2 = 盤評価(ctx, T, promoted, x1, y1, x2, y2);
                    // Equal scores keep the piece unpromoted.
                    if (score2 > score) {
                        score = score2;
                        chosen = promoted;
                    }
                }
                局面.untry(trial, T);

                // Only a strictly better score replaces the best: ties keep the earlier move.
                if (score > best.BEST_SCORE)
                    best = ComputerMove{{x1, y1, x2, y2, TRIAL_PIECE, chosen}, true, score};
            });
        }
    return best;
}

ComputerMove 反転手(ComputerMove m) {
    if (!m.found) return m;
    m.移動元X = 10 - m.移動元X;
    m.移動元Y = 10 - m.移動元Y;
    m.移動先X = 10 - m.移動先X;
    m.移動先Y = 10 - m.移動先Y;
    m.移動前駒 = -m.移動前駒;
    m.移動駒 = -m.移動駒;
    return m;
}

ComputerMove 下手番探索(const Position& 局面, Influence& 勢力, int level, ClockDigit 時計) {
    Position turned = 反転(局面);
    return 反転手(最善手探索(turned, 勢力, level, 時計));
}

} // namespace zubeki
