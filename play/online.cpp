#include "play/game.h"

namespace zubeki {

// --- a game online ---

bool Game::beginOnline(const Position& start, const std::vector<std::string>& moves, Side mine,
                       PeerPlayer& peer) {
    online_ = false; // set up quietly first, the end test included
    if (start.text() == Position::start().text())
        初期設定();
    else
        setUpPosition(start);
    rec_.RECORD_MODE = FALSE_CODE;
    session_.PLAY_MODE = MODE_MAN;
    session_.MAN_SIDE = mine == Side::Lower ? SIDE_SENTE : SIDE_GOTE;
    listStartManSide_ = session_.MAN_SIDE;
    peer.clear();
    begin(s_.SIDE, mine == Side::Lower ? nullptr : &peer, mine == Side::Upper ? nullptr : &peer);
    bool legal = true;
    for (const std::string& text : moves) {
        std::string why;
        const std::optional<Move> m = s_.moveFromText(text, why);
        if (!m) {
            legal = false;
            break;
        }
        if (!m->pass())
            手順保存(m->移動元X, m->移動元Y, m->移動先X, m->移動先Y, m->移動前駒, m->移動駒);
        line_.push_back(*m);
        if (s_.play(*m).end != GameEnd::None) break;
    }
    online_ = true;
    onlineSide_ = mine;
    session_.SELECT_STATE = 0;
    setTurn(s_.SIDE);
    if (s_.MOVE_COUNT != start.MOVE_COUNT || !moves.empty())
        out_.positionShown(PositionShown::Restored, s_, s_.MOVE_COUNT);
    return legal;
}

void Game::playOnlineTurns() {
    for (;;) {
        playOn();
        if (!online_ || !session_.running()) return;
        const Side side = sideOfSign(session_.side());
        // The person at the board has no move: the server has passed for them already.
        if (side != onlineSide_ || s_.hasMove(side)) return;
        person_.pressed = true;
        const TurnResult r = playTurn().result;
        person_.pressed = false;
        if (r != TurnResult::Passed) return;
    }
}

bool Game::stopOnline() {
    if (!online_) return false;
    session_.TURN = NO_SIDE;
    session_.SELECT_STATE = 0;
    return true;
}

void Game::endOnline() {
    if (!online_) return;
    stopOnline();
    online_ = false;
    ended_ = GameRecord{listStart_, rec_, false, listStartManSide_, setUp_};
    setPlayers(nullptr, nullptr);
}

} // namespace zubeki
