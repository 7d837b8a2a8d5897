#pragma once

#include "game/position.h"

#include <string_view>

// What makes a position one no game can be in, or one the position editor will not hand over:
// the checks every position read from its notation and every edited position goes through.
namespace zubeki {

enum class PositionFault {
    None,
    TooManyPieces,
    PromotedInOwnCamp,
    CampFilled,
    GroupWithoutLiberty
};

// Faults no game can reach from the start: more than nine pieces a side, a promoted piece inside
// its own camp (a promoted piece may never stop there), a camp already filled by the enemy (the
// game would be over).
PositionFault unreachableFault(const Position&);
// What the editor refuses on top: also a group (orthogonally joined pieces of one side) with no
// empty orthogonal neighbour. Such a group can arise in play (a side may shut in its own group;
// only enemy groups beside the moved piece are captured), but one set up by hand most likely
// stands for a capture the last move should have made.
PositionFault editorFault(const Position&);
// One English line for the fault, "" for None.
std::string_view faultText(PositionFault);

// The squares of the first group without a liberty, in x-then-y order of their first square;
// empty when there is none.
SquareSet groupWithoutLiberty(const Position&);
// The squares that show the fault: the pieces of a side past nine (the whole side), the promoted
// pieces inside their own camp, the filled camp, the group without a liberty; empty for None.
SquareSet faultSquares(const Position&, PositionFault);

} // namespace zubeki
