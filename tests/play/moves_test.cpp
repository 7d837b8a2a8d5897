// Moves played through the game's flow: captures with their frames, check squares, the move
// text and number beside the board, games between two humans won by capture and by camp,
// passes, promotion by the right button and the full move list.
#include "recorder.h"

#include <gtest/gtest.h>

using namespace zubeki;
using namespace zubeki::playtest;

namespace {

using diagram::CaptureGame;
using diagram::kCaptureGames;

TEST(Capture, ShowsThreeFramesAndWins) {
    for (const CaptureGame& g : kCaptureGames) {
        SCOPED_TRACE(g.name);
        Session p;
        p.place(g.rows);
        p.game.START();
        for (std::size_t i = 0; i + 1 < g.moves.size(); ++i) {
            p.move(g.moves[i]);
            EXPECT_EQ(p.s().BOARD[g.moves[i].fx][g.moves[i].fy], EMPTY);
        }
        const int cx = g.capturedX, cy = g.capturedY;
        EXPECT_EQ(p.s().BOARD[cx][cy] > 0, g.upperVanishes);

        bool boardWhenWon = false;
        p.out.onMessage = [&](const std::string& m) {
            if (m.find("の勝ちです") != std::string::npos)
                boardWhenWon = p.s().BOARD[cx][cy] == EMPTY;
        };
        p.out.forget();
        p.move(g.moves.back());

        // The captured square's frames: its side's picture, the vanish sound, the burst, the
        // empty square, each held for 0.3 s.
        EXPECT_EQ(p.out.waits, (std::vector<double>{0.3, 0.3, 0.3}));
        EXPECT_EQ(p.out.count(Wave::Vanish), 1);
        const std::string at = " " + std::to_string(cx) + " " + std::to_string(cy);
        Lines frames;
        for (const std::string& l : p.out.log)
            if (l.starts_with("wait") || l == "sound Vanish" ||
                ((l.starts_with("描画_絵 ") || l.starts_with("描画_桝 ")) && l.ends_with(at)))
                frames.push_back(l);
        const std::string side = std::to_string(g.upperVanishes ? PIC_TEKI_NAKA : PIC_JI_NAKA);
        EXPECT_EQ(frames, (Lines{"描画_絵 " + side + at, "wait 0.3", "sound Vanish",
                                 "描画_絵 " + std::to_string(PIC_PA) + at, "wait 0.3",
                                 "描画_桝" + at, "wait 0.3"}));
        EXPECT_TRUE(boardWhenWon);

        EXPECT_EQ(p.out.messages, (Lines{g.result, "続けますか？ | 再ゲーム | YesNo"}));
        // Yes: a fresh position and no game running.
        EXPECT_EQ(p.board(), startingBoard());
        EXPECT_EQ(p.session().TURN, NO_SIDE);
        EXPECT_EQ(p.rec().RECORD_LEN, 0);
        EXPECT_EQ(p.s().MOVE_COUNT, 0);
        EXPECT_EQ(p.out.quits, 0);
    }
}

TEST(Check, MarksBlinkAndTheMoveIsWritten) {
    Session p;
    p.place(kCaptureGames[0].rows);
    p.game.START();
    p.out.forget();
    p.move(5, 9, 5, 6); // the lower rook arrives under the upper rook
    EXPECT_EQ(p.s().CHECK_ACTIVE, TRUE_CODE);
    EXPECT_EQ(diagram::marks(p.s().CHECK_SQUARES), diagram::marks({"", "", "", "", "....#"}));
    EXPECT_TRUE(p.out.hasDrawn("描画_桝輪郭_チェック桝"));
    EXPECT_EQ(p.out.drawnBy("描画_点滅_チェック桝"), Lines{"描画_点滅_チェック桝 3"});
    // The lower side's move is written in its slot, and the number moves on.
    EXPECT_EQ(p.out.drawnBy("描画_移動結果"), Lines{"描画_移動結果 下 5 6 -900 15"});
    EXPECT_EQ(p.out.drawnBy("描画_手数"), Lines{"描画_手数 1 15"});
    EXPECT_EQ(p.s().MOVE_COUNT, 1);
    EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Piece});
    EXPECT_TRUE(p.out.waits.empty());

    // The upper rook answers the check; no check follows, and the blink shows nothing.
    p.out.forget();
    p.move(5, 5, 2, 5);
    EXPECT_EQ(p.out.drawnBy("描画_点滅_チェック桝"), Lines{"描画_点滅_チェック桝 3"});
    EXPECT_EQ(p.s().CHECK_ACTIVE, FALSE_CODE);
    EXPECT_EQ(diagram::marks(p.s().CHECK_SQUARES), diagram::marks({}));
    EXPECT_EQ(p.out.drawnBy("描画_移動結果"), Lines{"描画_移動結果 上 2 5 900 15"});
    EXPECT_EQ(p.out.drawnBy("描画_手数"), Lines{"描画_手数 2 15"});
    EXPECT_EQ(p.session().TURN, SIDE_SENTE);
}

TEST(Camp, WinThenNoEndsTheProgram) {
    Session p;
    // Eight lower pieces already stand in the upper camp; the rook fills the ninth square.
    p.place({".R....rrr", "......rrr", ".......rr", "", "", "......r"});
    p.game.START();
    p.out.answers = {Answer::No};
    p.out.forget();
    p.move(7, 6, 7, 3);
    EXPECT_EQ(p.out.count(Wave::Vanish), 0); // nothing surrounded
    EXPECT_EQ(p.out.messages,
              (Lines{"先手の勝ちです | 終了 | OK", "続けますか？ | 再ゲーム | YesNo"}));
    EXPECT_EQ(p.out.quits, 1);
    EXPECT_EQ(p.out.sounds, (std::vector<Wave>{Wave::Piece, Wave::GameEnd}));
    EXPECT_EQ(p.out.soundAtMessage[0], 2u); // the end sound comes before the result
    // No: the finished game stays on the board.
    EXPECT_EQ(p.s().BOARD[7][3], SITA_ROOK);
    EXPECT_EQ(p.rec().RECORD_LEN, 1);
}

// The lower rook in the corner is walled in by two upper rooks that cannot move either.
TEST(Pass, HumanWalledInPasses) {
    for (bool computer : {true, false}) {
        SCOPED_TRACE(computer ? "against the computer" : "between humans");
        Session p;
        p.place({"", "", "", "", "", "", "", "R", "rR"});
        if (computer)
            p.game.SENTE();
        else
            p.game.START();
        p.out.forget();
        p.press(5, 5);
        if (computer) {
            // The pass goes to the computer, which has to pass too: a draw.
            EXPECT_EQ(p.out.messages,
                      (Lines{"あなたはパスです | パス | OK", "引き分けです | 終了 | OK",
                             "続けますか？ | 再ゲーム | YesNo"}));
        } else {
            EXPECT_EQ(p.out.messages, Lines{"あなたはパスです | パス | OK"});
            EXPECT_EQ(p.session().TURN, SIDE_GOTE);
            EXPECT_EQ(p.s().PASS_COUNT, 1);
            p.press(1, 1);
            EXPECT_EQ(Lines(p.out.messages.begin() + 1, p.out.messages.end()),
                      (Lines{"引き分けです | 終了 | OK", "続けますか？ | 再ゲーム | YesNo"}));
        }
        EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::GameEnd});
        EXPECT_EQ(p.board(), startingBoard());
    }
}

TEST(Pass, TheHumansPassAndTheComputersMoveResetTheCount) {
    // The human passes and the computer's free bishop moves: the count starts again.
    Session p;
    p.place({"", "", "", "", "....B", "", "", "R", "rR"});
    p.game.SENTE();
    p.out.forget();
    p.press(5, 5);
    EXPECT_EQ(p.out.messages, Lines{"あなたはパスです | パス | OK"});
    ASSERT_EQ(p.rec().RECORD_LEN, 1);
    EXPECT_GE(p.rec().REC_RESULT[1], UE_BISHOP);
    EXPECT_EQ(p.s().PASS_COUNT, 0);
    EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
}

TEST(Pass, TheComputersPassIsReportedAndAHumanMoveResetsTheCount) {
    // The computer is walled in; the human's free rook keeps moving between its passes.
    Session p;
    p.place({"", "", "", "", "....r", "", "", "R", "rR"});
    p.game.SENTE();
    p.out.forget();
    p.move(5, 5, 6, 5);
    EXPECT_EQ(p.out.messages, Lines{"パスします | パス | OK"});
    EXPECT_EQ(p.s().PASS_COUNT, 1);
    EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
    EXPECT_EQ(p.rec().RECORD_LEN, 1);
    p.move(6, 5, 6, 4);
    // Not a draw: the human's move in between reset the count.
    EXPECT_EQ(p.out.messages, (Lines{"パスします | パス | OK", "パスします | パス | OK"}));
    EXPECT_EQ(p.s().PASS_COUNT, 1);
    EXPECT_EQ(p.s().BOARD[6][4], SITA_ROOK);
}

struct PromotionCase {
    const char* name;
    bool upper;
    Step move;
    int button;
    int result;
};

const PromotionCase kPromotions[] = {
    {"lower rook, right", false, {7, 6, 7, 3}, 2, SITA_ROOK_PROMOTED},
    {"lower rook, left", false, {7, 6, 7, 3}, 1, SITA_ROOK},
    {"lower bishop, right", false, {5, 5, 7, 3}, 2, SITA_BISHOP_PROMOTED},
    {"lower bishop, left", false, {5, 5, 7, 3}, 1, SITA_BISHOP},
    {"upper rook, right", true, {3, 4, 3, 7}, 2, UE_ROOK_PROMOTED},
    {"upper rook, left", true, {3, 4, 3, 7}, 1, UE_ROOK},
    {"upper bishop, right", true, {6, 5, 3, 8}, 2, UE_BISHOP_PROMOTED},
    {"upper bishop, left", true, {6, 5, 3, 8}, 1, UE_BISHOP},
};

TEST(Promotion, OnlyTheRightButtonPromotes) {
    for (const PromotionCase& c : kPromotions) {
        SCOPED_TRACE(c.name);
        const Step& m = c.move;
        Session p;
        p.place({"r", "", "", "..R", "....bB", "......r"});
        p.game.START();
        if (c.upper) p.move(1, 1, 2, 1); // a quiet lower move first
        const int piece = p.s().BOARD[m.fx][m.fy];
        p.out.forget();
        p.move(m, c.button);
        const int n = p.rec().RECORD_LEN;
        EXPECT_EQ(p.s().BOARD[m.tx][m.ty], c.result);
        EXPECT_EQ(p.rec().REC_RESULT[n], c.result);
        EXPECT_EQ(p.rec().REC_PIECE[n], piece);
        EXPECT_EQ(p.s().BOARD[m.fx][m.fy], EMPTY);
        const std::string placed = "描画_絵 " + std::to_string(c.result) + " " +
                                   std::to_string(m.tx) + " " + std::to_string(m.ty);
        EXPECT_TRUE(p.out.hasDrawn(placed));

        // Back: the piece returns to its source unpromoted; forward: the promoted code again.
        p.game.REPLAY();
        EXPECT_EQ(p.s().BOARD[m.fx][m.fy], piece);
        EXPECT_EQ(p.s().BOARD[m.tx][m.ty], EMPTY);
        p.out.forget();
        p.game.AFTER();
        EXPECT_EQ(p.s().BOARD[m.tx][m.ty], c.result);
        EXPECT_TRUE(p.out.hasDrawn(placed));
    }
}

TEST(MoveList, TheFullListTellsOnceAndPlaysOn) {
    Session p;
    p.game.START();
    // A list that already holds its 500 moves.
    p.alter([](Position&, MoveList& r) {
        r.RECORD_POS = r.RECORD_LEN = MoveList::CAPACITY;
        r.REC_RESULT[MoveList::CAPACITY] = UE_ROOK;
    });
    p.out.forget();
    p.move(1, 7, 1, 6);
    EXPECT_EQ(p.out.messages,
              Lines{"棋譜は500手までです。これから先の手は記録されません | 棋譜 | OK"});
    EXPECT_EQ(p.s().BOARD[1][6], SITA_ROOK); // the move is still played
    EXPECT_EQ(p.rec().RECORD_POS, MoveList::CAPACITY);
    EXPECT_EQ(p.rec().REC_RESULT[MoveList::CAPACITY], UE_ROOK);
    p.out.forget();
    p.move(9, 3, 9, 4);
    EXPECT_TRUE(p.out.messages.empty()); // told once
    EXPECT_EQ(p.s().BOARD[9][4], UE_ROOK);
}

} // namespace
