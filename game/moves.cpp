#include "game/moves.h"

namespace zubeki {

AfterMove 指し手後(const Position& s, int side, const Move& m) {
    AfterMove after{s, false};
    after.state.SIDE = sideOfSign(side);
    after.ended = after.state.play(m).end != GameEnd::None;
    return after;
}

} // namespace zubeki
