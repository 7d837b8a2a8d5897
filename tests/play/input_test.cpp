// The player's presses on the board: every row of the two-press protocol, the outlines it
// asks for, and every message the press can show.
#include "recorder.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace zubeki;
using namespace zubeki::playtest;

namespace {

struct Sq {
    int x, y;
};

// The colour of the last outline drawn on (x, y) among the drawing lines from `from` on, or -1.
int lastOutline(const Recorder& r, std::size_t from, int x, int y) {
    const std::string tail = " " + std::to_string(x) + " " + std::to_string(y);
    int colour = -1;
    for (std::size_t i = from; i < r.drawn.size(); ++i) {
        const std::string& d = r.drawn[i];
        if (!d.starts_with("描画_桝輪郭 ") || !d.ends_with(tail)) continue;
        colour = std::stoi(d.substr(std::string("描画_桝輪郭 ").size()));
    }
    return colour;
}

// The last guidance call among the drawing lines from `from` on, or "".
std::string lastReach(const Recorder& r, std::size_t from) {
    std::string reach;
    for (std::size_t i = from; i < r.drawn.size(); ++i)
        if (r.drawn[i].starts_with("描画_移動可能桝色 ")) reach = r.drawn[i];
    return reach;
}

// Presses from the starting position of a game between humans.
struct PressCase {
    const char* name;
    bool guidance;
    std::vector<Sq> presses;
    int selectState;
    Sq from;
    int piece;            // CLICK_MOVE after the presses
    int outline;          // drawn by the last press on its square, -1 for none
    std::string reach;    // the guidance the last press drew, "" for none
    int refusals;         // refusal sounds over all the presses
    std::vector<Sq> then; // presses that then play a move of the piece picked up
    Sq lands;
};

const PressCase kPressCases[] = {
    {"own rook",
     true,
     {{3, 7}},
     1,
     {3, 7},
     SITA_ROOK,
     COLOUR_LIGHT_RED,
     "描画_移動可能桝色 3 7 15 -900",
     0,
     {},
     {}},
    {"own rook, no guidance",
     false,
     {{3, 7}},
     1,
     {3, 7},
     SITA_ROOK,
     COLOUR_LIGHT_RED,
     "描画_移動可能桝色 3 7 2 -900",
     0,
     {},
     {}},
    {"opponent's rook",
     true,
     {{7, 3}},
     0,
     {7, 3},
     UE_ROOK,
     COLOUR_WHITE,
     "描画_移動可能桝色 7 3 15 900",
     0,
     {},
     {}},
    {"opponent's rook, no guidance",
     false,
     {{7, 3}},
     0,
     {7, 3},
     UE_ROOK,
     OUTLINE_COLOUR,
     "描画_移動可能桝色 7 3 2 900",
     0,
     {},
     {}},
    {"an empty square", true, {{5, 5}}, 0, {0, 0}, EMPTY, -1, "", 0, {}, {}},
    {"an empty square after an opponent's piece",
     true,
     {{7, 3}, {5, 5}},
     0,
     {7, 3},
     UE_ROOK,
     -1,
     "",
     0,
     {},
     {}},
    {"the selected piece again keeps it",
     true,
     {{3, 7}, {3, 7}},
     1,
     {3, 7},
     SITA_ROOK,
     COLOUR_LIGHT_RED,
     "描画_移動可能桝色 3 7 15 -900",
     0,
     {},
     {}},
    {"another own piece takes the selection",
     true,
     {{3, 7}, {2, 7}},
     1,
     {2, 7},
     SITA_BISHOP,
     COLOUR_LIGHT_RED,
     "描画_移動可能桝色 2 7 15 -800",
     0,
     {{4, 5}},
     {4, 5}},
    {"an opponent's piece while selected is shown instead",
     true,
     {{3, 7}, {7, 3}},
     1,
     {7, 3},
     UE_ROOK,
     COLOUR_WHITE,
     "描画_移動可能桝色 7 3 15 900",
     1,
     {},
     {}},
    // The upper rook could go to (6,3), but it is not the lower side's to move.
    {"the shown opponent's piece does not move",
     true,
     {{3, 7}, {7, 3}, {6, 3}},
     1,
     {7, 3},
     UE_ROOK,
     -1,
     "",
     2,
     {{3, 7}, {3, 5}},
     {3, 5}},
    {"an illegal destination keeps the selection",
     true,
     {{3, 7}, {5, 5}, {2, 6}},
     1,
     {3, 7},
     SITA_ROOK,
     -1,
     "",
     2,
     {{3, 6}},
     {3, 6}},
};

class TwoPresses : public testing::TestWithParam<PressCase> {};

TEST_P(TwoPresses, SelectsOutlinesAndMoves) {
    const PressCase& c = GetParam();
    Session p;
    if (!c.guidance) p.game.setGuidance(false);
    p.game.START();
    p.out.forget();
    std::size_t lastPress = 0;
    for (const Sq& at : c.presses) {
        lastPress = p.out.drawn.size();
        p.press(at.x, at.y);
    }
    EXPECT_EQ(p.session().SELECT_STATE, c.selectState);
    EXPECT_EQ(p.game.clickMove().移動元X, c.from.x);
    EXPECT_EQ(p.game.clickMove().移動元Y, c.from.y);
    EXPECT_EQ(p.game.clickMove().移動駒, c.piece);
    const Sq last = c.presses.back();
    EXPECT_EQ(lastOutline(p.out, lastPress, last.x, last.y), c.outline);
    EXPECT_EQ(lastReach(p.out, lastPress), c.reach);
    if (c.outline < 0 && c.refusals == 0) { // a press that changes nothing
        EXPECT_EQ(Lines(p.out.drawn.begin() + static_cast<long>(lastPress), p.out.drawn.end()),
                  Lines{"描画_桝輪郭_全部"});
    }
    EXPECT_EQ(p.out.count(Wave::Forbidden), c.refusals);
    EXPECT_EQ(p.out.sounds.size(), static_cast<std::size_t>(c.refusals));
    EXPECT_EQ(p.board(), startingBoard());
    EXPECT_EQ(p.rec().RECORD_LEN, 0);
    EXPECT_EQ(p.session().TURN, SIDE_SENTE);

    if (c.then.empty()) return;
    for (const Sq& at : c.then) p.press(at.x, at.y);
    ASSERT_EQ(p.rec().RECORD_LEN, 1);
    const int moved = p.rec().REC_PIECE[1];
    EXPECT_EQ(p.s().BOARD[c.lands.x][c.lands.y], moved);
    EXPECT_EQ(p.s().BOARD[p.rec().REC_FROM_X[1]][p.rec().REC_FROM_Y[1]], EMPTY);
    EXPECT_EQ(p.session().SELECT_STATE, 0);
    EXPECT_EQ(p.session().TURN, SIDE_GOTE);
    EXPECT_TRUE(p.out.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Protocol, TwoPresses, testing::ValuesIn(kPressCases),
                         [](const auto& test) {
                             std::string name;
                             for (const char* c = test.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// A press while no game runs: it starts nothing, or resumes the game from the position shown.
struct NoGameCase {
    const char* name;
    int moves;
    int back;
    const char* text;
    bool refusal;
    int turn;
};

const NoGameCase kNoGameCases[] = {
    {"nothing played", 0, 0, "「対局」で始めて下さい | 開始 | OK", true, NO_SIDE},
    {"back to the start", 2, 2, "「対局」で始めて下さい | 開始 | OK", true, NO_SIDE},
    {"upper side next", 2, 1, "OKですか？ | 再開 | OK", false, SIDE_GOTE},
    {"lower side next", 3, 1, "OKですか？ | 再開 | OK", false, SIDE_SENTE},
    {"end of the list", 2, 0, "OKですか？ | 再開 | OK", false, SIDE_SENTE},
};

TEST(PressWithoutAGame, StartsNothingOrResumes) {
    for (const NoGameCase& c : kNoGameCases) {
        SCOPED_TRACE(c.name);
        Session p;
        const Step played[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};
        if (c.moves > 0) {
            p.game.START();
            for (int i = 0; i < c.moves; ++i) p.move(played[i]);
            // Navigation stops the game; with nothing stepped the end of the game does that.
            for (int i = 0; i < c.back; ++i) p.game.REPLAY();
            if (c.back == 0) { // a step back and forward stops the game where it stands
                p.game.REPLAY();
                p.game.AFTER();
            }
        }
        const std::string before = p.board();
        p.out.forget();
        p.press(3, 7);
        EXPECT_EQ(p.out.messages, Lines{c.text});
        EXPECT_EQ(p.out.sounds,
                  c.refusal ? std::vector<Wave>{Wave::Forbidden} : std::vector<Wave>{});
        EXPECT_EQ(p.out.soundAtMessage[0], c.refusal ? 1u : 0u); // the refusal sounds first
        EXPECT_EQ(p.session().TURN, c.turn);
        // The press is not taken as a move or a selection.
        EXPECT_EQ(p.session().SELECT_STATE, 0);
        EXPECT_EQ(p.board(), before);
    }
}

TEST(PressWithoutAGame, InARecordAsksToStepAndNoStartsAfresh) {
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes: keep stepping" : "No: start afresh");
        Session p;
        p.place({"", "", "", "....r"});
        p.alter([](Position&, MoveList& r) {
            r.RECORD_MODE = TRUE_CODE;
            r.RECORD_LEN = 3;
        });
        p.out.forget();
        p.out.answers = {yes ? Answer::Yes : Answer::No};
        p.press(5, 4);
        EXPECT_EQ(p.out.messages, Lines{"棋譜を '進 'で進めて下さい | 棋譜 | YesNo"});
        EXPECT_EQ(p.out.restarts, yes ? 0 : 1);
        EXPECT_EQ(p.rec().RECORD_MODE, TRUE_CODE); // starting afresh is the window's
        EXPECT_EQ(p.s().BOARD[5][4], SITA_ROOK);
        EXPECT_TRUE(p.out.sounds.empty());
        EXPECT_EQ(p.session().TURN, NO_SIDE);
        EXPECT_EQ(p.session().SELECT_STATE, 0);
    }
}

// After the lower rook has checked the upper rook on (5,5), the upper side presses.
struct CheckCase {
    const char* name;
    std::vector<Sq> presses;
    int refusals;
    int selectState;
};

const CheckCase kCheckCases[] = {
    {"own piece not in check", {{1, 1}}, 1, 0},
    {"opponent's piece", {{2, 1}}, 1, 0},
    {"from the checked piece to another own piece", {{5, 5}, {1, 1}}, 1, 1},
    {"from the checked piece to an opponent's piece", {{5, 5}, {2, 1}}, 2, 1},
};

TEST(CheckWarning, OnlyThePieceInCheckMoves) {
    for (const CheckCase& c : kCheckCases) {
        SCOPED_TRACE(c.name);
        Session p;
        p.place({"Br", "", "", "r", "....R", "", "", "", "....r"});
        p.game.START();
        p.move(5, 9, 5, 6);
        ASSERT_EQ(p.s().CHECK_ACTIVE, TRUE_CODE);
        p.out.forget();
        for (const Sq& at : c.presses) p.press(at.x, at.y);
        EXPECT_EQ(p.out.messages, Lines{"チェック駒を動かしてください | 注意 | OK"});
        EXPECT_EQ(p.out.count(Wave::Forbidden), c.refusals);
        EXPECT_EQ(p.out.sounds.size(), static_cast<std::size_t>(c.refusals));
        EXPECT_EQ(p.out.soundAtMessage[0], static_cast<std::size_t>(c.refusals)); // sound first
        // The check squares blink once, after the warning, and their marks are the last
        // thing drawn.
        EXPECT_EQ(p.out.drawnBy("描画_点滅_チェック桝"), Lines{"描画_点滅_チェック桝 3"});
        EXPECT_EQ(p.out.drawn.back(), "描画_点滅_チェック桝 3");
        EXPECT_EQ(p.session().SELECT_STATE, c.selectState);

        // Only the checked rook may move.
        p.press(5, 5);
        p.press(3, 5);
        EXPECT_EQ(p.s().BOARD[3][5], UE_ROOK);
        EXPECT_EQ(p.session().TURN, SIDE_SENTE);
    }
}

} // namespace
