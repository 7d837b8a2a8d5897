#include "record/movelist.h"

namespace zubeki {

bool MoveList::手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒,
                        int 移動先駒, int 移動先内容) {
    if (full()) return false;
    const int p = ++RECORD_POS;
    REC_FROM_X[p] = 移動元X;
    REC_FROM_Y[p] = 移動元Y;
    REC_TO_X[p] = 移動先X;
    REC_TO_Y[p] = 移動先Y;
    REC_PIECE[p] = 移動元駒;
    REC_RESULT[p] = 移動先駒;
    REC_TARGET[p] = 移動先内容;
    RECORD_LEN = p;
    return true;
}

} // namespace zubeki
