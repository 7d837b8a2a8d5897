#pragma once

#include "ai/search.h"
#include "game/display.h"
#include "game/state.h"
#include "play/computer.h"
#include "play/outside.h"
#include "record/movelist.h"

#include <string_view>

namespace zubeki {

struct Square {
    int x = 0;
    int y = 0;
    friend bool operator==(const Square&, const Square&) = default;
};

// A fixed list of squares: a move never marks more than 8 check squares or removes more than
// the 81 squares of the board, so playing a move never allocates.
struct SquareList {
    Square at[81];
    int size = 0;

    void add(int x, int y) {
        if (size < 81) at[size++] = Square{x, y};
    }
    const Square* begin() const { return at; }
    const Square* end() const { return at + size; }
};

enum class GameEnd { None, Capture, Camp };

// What one move did.
struct MoveOutcome {
    SquareList check;    // CHECK_SQUARES after the move, x outer, then y
    SquareList captured; // squares the capture loop emptied, in the order it emptied them
    GameEnd end = GameEnd::None;
};

// A move about to be played: source, destination, the piece's code on its source and the
// code it arrives with (promoted or not).
struct PlayedMove {
    int 移動元X = 0, 移動元Y = 0, 移動先X = 0, 移動先Y = 0;
    int 移動前駒 = EMPTY;
    int 移動駒 = EMPTY;
};

// The colour the hint outlines its move in: used for nothing else.
inline constexpr int HINT_COLOUR = 14;

// Who plays a move: a person at the board, or the computer (which pauses before it places
// its piece and shows its move in white).
enum class MoveBy { Human, Computer };

// The game's flow: the position, the move list and the options, with every routine that
// carries a game forward — the one move chain for human and computer moves, the computer's
// turn, the two-press input, resuming, navigation and the game starts. It talks to the
// world only through its Outside.
class Game {
  public:
    explicit Game(Outside& outside) : out_(outside) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const GameState& state() const { return s_; }
    const MoveList& record() const { return rec_; }
    const Options& options() const { return options_; }

    // --- start-up and set-up ---
    // The game's part of start-up: level 3, move guidance on, nothing picked up.
    void startUp();
    // Sets up the starting position and the per-game counters, and draws them.
    void 初期設定();
    // Puts a position and its move list in place as they stand (a game set up elsewhere) and
    // draws the board again.
    void restore(const GameState& state, const MoveList& moves);
    // A record read from a file, shown from its first position, to be stepped through.
    void loadRecord(const MoveList& moves);

    // --- menu items ---
    void START();
    void SENTE();
    void GOTE();
    // Sets the computer's level and shows it.
    void setLevel(int n);
    // Move guidance on or off (the window redraws the outlines when it goes off).
    void setGuidance(bool on);
    void REPLAY();  // one move back
    void AFTER();   // one move forward
    void CANCEL();  // back to the starting position
    void REVERSE(); // half a turn, the sides changing places

    // --- a press on the board (Button 1 left, 2 right; x, y the square, off the board too) ---
    void press(int Button, int x, int y);

    // --- the moves ---
    // The computer's turn: pass, or search, play and show its best move.
    void com_ban();
    // The computer's choice in this position at its level, for the upper side (or the lower);
    // the pass test is the caller's.
    ComputerMove 思考(bool upper = true);
    // How long LEVEL4 thinks over a move (and over a hint).
    void setBudget(const ThinkBudget& budget) { computer_.budget = budget; }
    // A hint for the side to move: LEVEL4's move outlined on the board and named in a box.
    void ヒント();
    // Carries out a legal move through the whole chain: move list, move number, board, placing
    // sound, check squares, pass count, notation, the capture loop and the end test, which ends
    // the game; after a human move the turn is handed over.
    // The computer's move pauses `pause` seconds before its piece lands.
    MoveOutcome 指し手実行(const PlayedMove& m, MoveBy who, double pause = 0.5);
    // Moves a piece on the board and redraws both squares.
    void 駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒);
    // Takes the group marked by the last surround test off the board, piece by piece.
    void 描画_当駒消去();
    // The game is over: shows the result and asks whether to play again.
    void 終了(std::string_view 勝手);
    // Appends a move to the move list; a full list plays on without recording.
    bool 手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒, int 移動先駒);

    // The pass rule before a side moves (IN_駒 a code of that side): counts a pass and says
    // whether the game is drawn.
    PassOutcome パス判定(int IN_駒) { return s_.パス判定(IN_駒); }
    // For zubeki-cli: which side is to move, as the sides of a game between two people.
    void setTurn(int side) { s_.TURN = side; }
    // A new position counts each time one is set up; a game ended inside a call changes it.
    int setups() const { return setups_; }

    // The move being entered between the two presses.
    struct ClickMove {
        int fromX = 0, fromY = 0, toX = 0, toY = 0, piece = EMPTY;
    };
    const ClickMove& clickMove() const { return CLICK_MOVE; }

  private:
    // A game against the computer begins: sides, mode and the level shown.
    void againstTheComputer(int manSide, int comSide);
    void resume();
    void firstPress(int x, int y);
    void secondPress(int Button, int x, int y);
    void warnCheckPiece();
    bool ownsPiece(int code) const;
    bool opponentsPiece(int code) const;
    void handOver();
    // Thinks at `level` on another thread while the window stays alive; levels 1..3 think at
    // once. A program that ends meanwhile stops the search (the answer is then not to be played).
    ComputerMove thinkKeepingAlive(bool upper, int level);
    ClockDigit clock();
    // The hint's outlines taken off again.
    void clearHint();
    // The game has run past its 500 recorded moves: stepping through the list is refused.
    bool refuseUnrecorded(std::string_view title);

    Outside& out_;
    GameState s_;
    MoveList rec_;
    Computer computer_;
    Options options_;
    ClickMove CLICK_MOVE;
    bool recordFullTold_ = false;
    int unrecorded_ = 0; // moves played past the full move list
    int setups_ = 0;
    Square hint_[2] = {};            // the hint's piece and destination while they are outlined
    SquareList* captures_ = nullptr; // where 描画_当駒消去 lists what it removes
};

// +1 for an upper-side code, -1 for a lower-side code, 0 for anything else.
constexpr int sideOf(int code) {
    return isUpperPiece(code) ? 1 : isLowerPiece(code) ? -1 : 0;
}

} // namespace zubeki
