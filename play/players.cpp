#include "game/moves.h"
#include "play/game.h"
#include "play/player.h"
#include "record/movelist.h"

namespace zubeki {

int uniformIndex(std::mt19937& rng, int n) {
    return static_cast<int>((static_cast<std::uint64_t>(rng()) * static_cast<std::uint64_t>(n)) >>
                            32);
}

std::optional<Move> RandomPlayer::choose(Game& game, Side side) {
    const Position& s = game.state();
    LegalMoves legal;
    合法手一覧(s, sign(side), legal);
    // One entry per source and destination: whether the piece promotes is a coin toss.
    Move plain[MAX_LEGAL_MOVES];
    int n = 0;
    for (const Move& m : legal)
        if (!m.pass() && !m.promotes()) plain[n++] = m;
    if (n == 0) return std::nullopt;
    Move m = plain[uniformIndex(rng_, n)];
    if (s.調査_駒成(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒) && (rng_() & 1u) != 0)
        m.移動駒 = 成駒(m.移動前駒);
    return m;
}

RecordPlayer::RecordPlayer(const MoveList& moves, int first) : moves_(moves), next_(first) {}

bool RecordPlayer::ready() const {
    const int last =
        moves_.RECORD_LEN < MoveList::CAPACITY ? moves_.RECORD_LEN : MoveList::CAPACITY;
    return next_ >= 1 && next_ <= last;
}

std::optional<Move> PeerPlayer::choose(Game& game, Side) {
    if (moves_.empty()) return std::nullopt;
    const std::string text = moves_.front();
    moves_.pop_front();
    std::string why;
    // An illegal move is still a move: the game refuses it and the board is set right again.
    return game.state().moveFromText(text, why).value_or(Move{});
}

void PeerPlayer::passed() {
    if (!moves_.empty() && moves_.front() == "pass") moves_.pop_front();
}

std::optional<Move> RecordPlayer::choose(Game&, Side) {
    if (!ready()) return std::nullopt;
    const int n = next_++;
    return Move{moves_.REC_FROM_X[n], moves_.REC_FROM_Y[n], moves_.REC_TO_X[n],
                moves_.REC_TO_Y[n],   moves_.REC_PIECE[n],  moves_.REC_RESULT[n]};
}

} // namespace zubeki
