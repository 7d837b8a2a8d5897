// A game online on the board: the person plays one side by presses, the server's moves play the
// other, a game comes back with its moves, and the end waits for the server's word.
#include "recorder.h"

#include <gtest/gtest.h>

using namespace zubeki;
using namespace zubeki::playtest;

namespace {

// A lower group about to be surrounded: 5i5f, 5e8e, 9d9b and the upper bishop on 9a is taken.
constexpr const char* kCapture = "bR7/9/9/R8/4r4/9/9/9/4R4 l - 0 1";

Position positionOf(const char* text) {
    std::string why;
    return *Position::fromText(text, why);
}

TEST(Online, ThePersonPlaysOneSideAndTheServersMovesTheOther) {
    Session g;
    PeerPlayer peer;
    ASSERT_TRUE(g.game.beginOnline(Position::start(), {}, Side::Lower, peer));
    EXPECT_TRUE(g.game.online());
    g.move(1, 7, 1, 6); // 9g9f (files count from the right)
    EXPECT_EQ(g.rec().RECORD_LEN, 1);
    // The other side's pieces stay put while the server has said nothing.
    g.move(9, 3, 9, 4);
    EXPECT_EQ(g.rec().RECORD_LEN, 1);
    peer.announce("1c1d");
    g.game.playOnlineTurns();
    EXPECT_EQ(g.rec().RECORD_LEN, 2);
    EXPECT_NE(g.s().at(9, 4), EMPTY);
    EXPECT_EQ(g.s().SIDE, Side::Lower);

    // A move the rules refuse plays nothing; the board waits for the server to set it right.
    g.move(3, 7, 3, 6); // 7g7f
    peer.announce("1a5a");
    g.game.playOnlineTurns();
    EXPECT_EQ(g.rec().RECORD_LEN, 3);
    EXPECT_FALSE(peer.ready());
    EXPECT_TRUE(g.out.messages.empty());
}

TEST(Online, AGameComesBackWithItsMovesAndItsEndWaitsForTheServer) {
    Session g;
    PeerPlayer peer;
    // Back in the game as the upper side, one move played: the upper side to move.
    ASSERT_TRUE(g.game.beginOnline(positionOf(kCapture), {"5i5f"}, Side::Upper, peer));
    EXPECT_EQ(g.rec().RECORD_LEN, 1);
    EXPECT_EQ(g.s().SIDE, Side::Upper);
    g.move(5, 5, 2, 5); // 5e8e
    EXPECT_EQ(g.rec().RECORD_LEN, 2);
    peer.announce("9d9b"); // surrounds the upper bishop
    g.game.playOnlineTurns();
    EXPECT_EQ(g.rec().RECORD_LEN, 3);
    EXPECT_FALSE(g.session().running());
    EXPECT_TRUE(g.out.messages.empty()) << g.out.messages.front();
    EXPECT_EQ(g.out.quits, 0);
    // Presses wait for the server's word; then the game is there to look back on.
    g.move(2, 5, 2, 6);
    EXPECT_EQ(g.rec().RECORD_LEN, 3);
    g.game.endOnline();
    EXPECT_FALSE(g.game.online());
    EXPECT_EQ(g.game.gameToReview().moves.RECORD_LEN, 3);
    EXPECT_TRUE(g.game.gameToReview().setUp);

    // A list the rules refuse is put on the board up to the move refused.
    Session h;
    EXPECT_FALSE(h.game.beginOnline(Position::start(), {"9g9f", "9f9a"}, Side::Lower, peer));
    EXPECT_EQ(h.rec().RECORD_LEN, 1);
}

} // namespace
