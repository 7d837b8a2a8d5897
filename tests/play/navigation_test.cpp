// Stepping through the moves of a game: back, forward, back to the start and turning the
// board, with what a press on the board does afterwards.
#include "recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zubeki;
using namespace zubeki::playtest;

namespace {

const Step kOpening[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};

// Plays the opening between two humans and answers the board after each move.
std::vector<std::string> playOpening(Session& p) {
    std::vector<std::string> boards{p.board()};
    p.game.START();
    for (const Step& m : kOpening) {
        p.move(m);
        boards.push_back(p.board());
    }
    return boards;
}

TEST(Navigation, BackThenForwardRestoresTheGame) {
    Session p;
    const std::vector<std::string> boards = playOpening(p);

    p.out.forget();
    p.game.REPLAY();
    EXPECT_EQ(p.board(), boards[2]);
    EXPECT_EQ(p.s().MOVE_COUNT, 2);
    EXPECT_EQ(p.rec().RECORD_POS, 2);
    EXPECT_EQ(p.rec().RECORD_LEN, 3);
    EXPECT_EQ(p.session().TURN, NO_SIDE);
    // The undone lower move's text is cleared, the upper one's stays; the number goes back.
    EXPECT_EQ(p.out.drawnBy("描画_四角形"), Lines{"描画_四角形 下 1250 400 2"});
    EXPECT_EQ(p.out.drawnBy("描画_手数"), Lines{"描画_手数 2 15"});
    EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Piece});
    p.out.forget();
    p.game.REPLAY();
    EXPECT_EQ(p.board(), boards[1]);
    EXPECT_EQ(p.out.drawnBy("描画_四角形"), Lines{"描画_四角形 上 1250 400 2"});

    p.out.forget();
    p.game.AFTER();
    p.game.AFTER();
    EXPECT_EQ(p.board(), boards[3]);
    EXPECT_EQ(p.s().MOVE_COUNT, 3);
    EXPECT_EQ(p.rec().RECORD_POS, 3);
    EXPECT_EQ(p.session().TURN, NO_SIDE);
    // Each move's text is written again in its side's slot, as it was played.
    EXPECT_EQ(p.out.drawnBy("描画_移動結果"),
              (Lines{"描画_移動結果 上 6 3 900 15", "描画_移動結果 下 3 5 -900 15"}));
    EXPECT_EQ(p.out.drawnBy("描画_手数").back(), "描画_手数 3 15");
    EXPECT_EQ(p.out.sounds, std::vector<Wave>(2, Wave::Piece));
    EXPECT_TRUE(p.out.messages.empty());
}

struct Refusal {
    const char* name;
    int moves;
    bool recordMode;
    void (Game::*item)();
    const char* text;
};

const Refusal kRefusals[] = {
    {"back at the start", 0, false, &Game::REPLAY, "できません | 戻る | OK"},
    {"forward at the end", 1, false, &Game::AFTER, "できません | 進む | OK"},
    {"forward at the end of a record", 0, true, &Game::AFTER, "終わり | 進む | OK"},
    {"turn before any move", 0, false, &Game::REVERSE, "最初からはできません | 反転 | OK"},
    {"turn a record", 1, true, &Game::REVERSE, "棋譜ﾓｰﾄﾞではできません | 反転 | OK"},
    // 待った belongs to games against the computer.
    {"take back between two people", 1, false, &Game::待った,
     "コンピュータとの対局でだけできます | 待った | OK"},
    {"take back in a record", 1, true, &Game::待った,
     "コンピュータとの対局でだけできます | 待った | OK"},
};

TEST(Navigation, Refusals) {
    for (const Refusal& c : kRefusals) {
        SCOPED_TRACE(c.name);
        Session p;
        p.game.START();
        if (c.moves > 0) p.move(3, 7, 3, 6);
        if (c.recordMode) p.alter([](Position&, MoveList& r) { r.RECORD_MODE = TRUE_CODE; });
        const std::string before = p.board();
        const int count = p.s().MOVE_COUNT, turn = p.session().TURN;
        p.out.forget();
        (p.game.*c.item)();
        EXPECT_EQ(p.out.messages, Lines{c.text});
        EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Forbidden});
        EXPECT_EQ(p.out.soundAtMessage[0], 1u);
        // Nothing changes, the game runs on.
        EXPECT_EQ(p.board(), before);
        EXPECT_EQ(p.s().MOVE_COUNT, count);
        EXPECT_EQ(p.session().TURN, turn);
        EXPECT_EQ(p.session().REVERSED, FALSE_CODE);
    }
}

TEST(Navigation, ANewMoveAfterBackDiscardsTheLaterOnes) {
    Session p;
    playOpening(p);
    p.game.REPLAY();
    p.game.REPLAY();
    p.out.forget();
    p.press(5, 5); // resumes; the upper side moves next
    EXPECT_EQ(p.out.messages, Lines{"OKですか？ | 再開 | OK"});
    EXPECT_EQ(p.session().TURN, SIDE_GOTE);
    p.move(9, 3, 9, 5);
    EXPECT_EQ(p.rec().RECORD_LEN, 2);
    EXPECT_EQ(p.rec().REC_TO_Y[2], 5);
    EXPECT_EQ(p.s().MOVE_COUNT, 2);
    p.game.AFTER();
    EXPECT_EQ(Lines(p.out.messages.begin() + 1, p.out.messages.end()),
              Lines{"できません | 進む | OK"});
    EXPECT_EQ(p.s().BOARD[3][5], EMPTY); // the discarded third move stays undone
}

TEST(Navigation, BackOverACaptureDoesNotBringThePiecesBack) {
    Session p;
    p.place({"Br", "", "", "r", "....R", "", "", "", "....r"});
    p.game.START();
    MoveList kept;
    int board[10][10] = {};
    p.out.onMessage = [&](const std::string& m) {
        if (m.find("の勝ちです") == std::string::npos) return;
        kept = p.rec();
        std::copy(&p.s().BOARD[0][0], &p.s().BOARD[0][0] + 100, &board[0][0]);
    };
    p.move(5, 9, 5, 6);
    p.move(5, 5, 2, 5);
    p.move(1, 4, 1, 2); // surrounds the bishop in the corner
    ASSERT_EQ(kept.RECORD_LEN, 3);

    // The game as it stood when it was won, shown again with its list.
    p.alter([&](Position& s, MoveList& r) {
        r = kept;
        std::copy(&board[0][0], &board[0][0] + 100, &s.BOARD[0][0]);
        s.MOVE_COUNT = 3;
    });
    const std::string won = p.board();
    p.out.forget();
    p.game.REPLAY();
    EXPECT_EQ(p.s().BOARD[1][4], SITA_ROOK);
    EXPECT_EQ(p.s().BOARD[1][2], EMPTY);
    EXPECT_EQ(p.s().BOARD[1][1], EMPTY);
    for (const std::string& d : p.out.drawnBy("描画_絵"))
        EXPECT_FALSE(d.ends_with(" 1 1")) << d; // the captured bishop is not drawn back
    p.game.AFTER();
    EXPECT_EQ(p.board(), won);
}

TEST(Navigation, ReverseTwiceGivesThePositionBack) {
    Session p;
    playOpening(p);
    p.game.REPLAY();
    const std::string before = p.board();
    const Position was = p.s();
    p.out.forget();
    p.game.REVERSE();
    // Half a turn about the centre, every piece changing sides.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) EXPECT_EQ(p.s().BOARD[10 - x][10 - y], -was.BOARD[x][y]);
    EXPECT_EQ(p.rec().RECORD_LEN, 0);
    EXPECT_EQ(p.rec().RECORD_POS, 0);
    EXPECT_EQ(p.s().MOVE_COUNT, 2);
    EXPECT_EQ(p.session().REVERSED, TRUE_CODE);
    EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Piece});
    EXPECT_TRUE(p.out.hasDrawn("描画_盤"));
    // The empty list means there is nothing to resume.
    p.press(3, 7);
    EXPECT_EQ(p.out.messages, Lines{"「対局」で始めて下さい | 開始 | OK"});
    p.game.REVERSE();
    EXPECT_EQ(p.board(), before);
    // And START goes on from the position shown.
    p.game.START();
    EXPECT_EQ(p.board(), before);
    EXPECT_EQ(p.session().TURN, SIDE_SENTE);
}

TEST(Navigation, FirstToTheStartResetsEverything) {
    Session p;
    playOpening(p);
    p.game.REVERSE();
    p.game.CANCEL();
    EXPECT_EQ(p.board(), startingBoard());
    EXPECT_EQ(p.rec().RECORD_LEN, 0);
    EXPECT_EQ(p.s().MOVE_COUNT, 0);
    EXPECT_EQ(p.session().REVERSED, FALSE_CODE);
    EXPECT_EQ(p.session().TURN, NO_SIDE);
}

TEST(Navigation, BackInAComputerGameLetsTheComputerMoveFirst) {
    Session p;
    p.game.SENTE();
    p.move(3, 7, 3, 6);
    ASSERT_EQ(p.rec().RECORD_LEN, 2);
    const Step reply{p.rec().REC_FROM_X[2], p.rec().REC_FROM_Y[2], p.rec().REC_TO_X[2],
                     p.rec().REC_TO_Y[2]};
    const std::string afterReply = p.board();
    p.game.REPLAY();
    EXPECT_EQ(p.rec().RECORD_POS, 1);
    p.out.forget();
    p.press(2, 7);
    EXPECT_EQ(p.out.messages, Lines{"OKですか？ | 再開 | OK"});
    // The computer made the upper side's move again, the same one on the same board.
    EXPECT_EQ(p.rec().RECORD_POS, 2);
    EXPECT_EQ(p.rec().RECORD_LEN, 2);
    EXPECT_EQ(p.rec().REC_FROM_X[2], reply.fx);
    EXPECT_EQ(p.rec().REC_FROM_Y[2], reply.fy);
    EXPECT_EQ(p.rec().REC_TO_X[2], reply.tx);
    EXPECT_EQ(p.rec().REC_TO_Y[2], reply.ty);
    EXPECT_EQ(p.board(), afterReply);
    EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
    EXPECT_EQ(p.session().SELECT_STATE, 0);
    // Now the human's press picks up a piece.
    p.press(2, 7);
    EXPECT_EQ(p.session().SELECT_STATE, 1);
}

// A game that has ended stays to be looked back on after 続けますか？ has set up a new
// position, and any of its positions comes back to the board as stepping would show it.
TEST(Navigation, AnEndedGameComesBackToTheBoardAtAnyMove) {
    for (const diagram::CaptureGame& g : diagram::kCaptureGames) {
        SCOPED_TRACE(g.name);
        Session p;
        p.place(g.rows);
        p.game.START();
        std::vector<std::string> boards;
        for (const Step& m : g.moves) {
            boards.push_back(p.board());
            p.move(m);
        }
        ASSERT_EQ(p.rec().RECORD_LEN, 0); // won, and a new position is set up
        const GameRecord ended = p.game.gameToReview();
        ASSERT_EQ(ended.moves.RECORD_LEN, static_cast<int>(g.moves.size()));
        EXPECT_EQ(diagram::toDiagram(ended.start), boards[0]);
        EXPECT_FALSE(ended.fromFile);

        const int last = static_cast<int>(g.moves.size()) - 1;
        for (int n : {last, 0, last, 1}) {
            const Step& next = g.moves[static_cast<std::size_t>(n)];
            // Any piece: only the squares are outlined.
            const Move best{next.fx, next.fy, next.tx, next.ty, UE_BISHOP, UE_BISHOP};
            p.out.forget();
            p.game.showGameMove(ended, n, best);
            EXPECT_EQ(p.board(), boards[static_cast<std::size_t>(n)]);
            EXPECT_EQ(p.rec().RECORD_POS, n);
            EXPECT_EQ(p.s().MOVE_COUNT, n);
            EXPECT_EQ(p.session().TURN, NO_SIDE);
            EXPECT_LE(p.out.sounds.size(), 1u); // one step's sound, however far it goes
            EXPECT_EQ(
                p.out.drawnBy("描画_桝輪郭 14"),
                (Lines{"描画_桝輪郭 14 " + std::to_string(next.fx) + " " + std::to_string(next.fy),
                       "描画_桝輪郭 14 " + std::to_string(next.tx) + " " +
                           std::to_string(next.ty)}));
            EXPECT_TRUE(p.out.messages.empty());
        }
        // A press resumes the game from the position shown, as after 戻.
        p.out.forget();
        p.press(5, 5);
        EXPECT_EQ(p.out.messages, Lines{"OKですか？ | 再開 | OK"});
    }
}

} // namespace

namespace {

// The player's first legal move from the position (the lower pieces), as two presses.
Step firstLowerMove(const Position& s) {
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy)
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (isLowerPiece(s.BOARD[fx][fy]) &&
                        s.移動チェック(fx, fy, tx, ty, s.BOARD[fx][fy]) == TRUE_CODE &&
                        s.調査_駒成(fx, fy, tx, ty, s.BOARD[fx][fy]) != TRUE_CODE)
                        return {fx, fy, tx, ty};
    return {};
}

struct Snapshot {
    std::string board;
    int count, pos, len;
};

Snapshot snap(const Session& p) {
    return {p.board(), p.s().MOVE_COUNT, p.rec().RECORD_POS, p.rec().RECORD_LEN};
}

} // namespace

// 待った against the computer, moving first and second: the computer's reply and the player's
// move before it go in one action, the list ends there, and the player moves again.
TEST(Navigation, TakeBackAgainstTheComputer) {
    for (const bool playerFirst : {true, false}) {
        SCOPED_TRACE(playerFirst ? "player first" : "computer first");
        Session p;
        p.game.setLevel(1);
        if (playerFirst)
            p.game.SENTE();
        else
            p.game.GOTE();
        // Before the player has moved there is nothing of theirs to take back.
        p.out.forget();
        const Snapshot opening = snap(p);
        p.game.待った();
        EXPECT_EQ(p.out.messages, Lines{"できません | 待った | OK"});
        EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Forbidden});
        EXPECT_EQ(snap(p).board, opening.board);

        p.move(firstLowerMove(p.s())); // the computer answers at once
        const Snapshot before = snap(p);
        ASSERT_EQ(before.len, opening.len + 2);
        p.move(firstLowerMove(p.s()));
        ASSERT_EQ(p.rec().RECORD_LEN, before.len + 2);

        p.out.forget();
        p.game.待った();
        const Snapshot after = snap(p);
        EXPECT_EQ(after.board, before.board);
        EXPECT_EQ(after.count, before.count);
        EXPECT_EQ(after.pos, before.len);
        EXPECT_EQ(after.len, before.len);    // the moves taken back are gone from the list
        EXPECT_TRUE(p.out.messages.empty()); // no 再開 box: the player simply moves
        EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Piece}); // on the last step only
        // The computer waits for the player, who moves again and is answered.
        EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
        EXPECT_EQ(p.s().SIDE, Side::Lower);
        p.move(firstLowerMove(p.s()));
        EXPECT_EQ(p.rec().RECORD_LEN, before.len + 2);
        EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
    }
}
