#pragma once

#include "game/position.h"
#include "play/dialog.h"

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>

// What happens in a game, as the game's flow reports it to the one listener: moves and what
// they did, checks, captures, thinking, hints, stepping through the list, the end, sounds and
// the questions a box asks. Squares are board squares (1..9); there is nothing here of pixels,
// twips, colours or pictures: each front end turns the events into its own.
namespace zubeki {

// The sounds the game's flow plays, each once and without waiting for it to end.
enum class Wave { Forbidden, Piece, GameEnd, Vanish };

// A move as it is shown: the move, its number, and whether the computer made it (its piece then
// lands after a pause, and the move stays outlined).
struct MoveEvent {
    Move move;
    int number = 0; // the move's number in the game
    bool byComputer = false;
    double pause = 0; // the computer's pause before its piece lands
    SquareList check; // the pieces the move put in check
};

// A move the list is stepped over with 戻 or 進: the piece on its source, the piece it became on
// the destination, and what stood on the destination before (back) — the list's own squares.
struct StepEvent {
    int fromX = 0, fromY = 0, toX = 0, toY = 0;
    int piece = EMPTY;  // back: the piece put back on its source; forward: the piece arriving
    int target = EMPTY; // back: what the destination held before the move
    int number = 0;     // the move number shown afterwards
    bool quiet = false; // one of several steps taken at once: no sound
};

// Why the whole position is shown afresh.
enum class PositionShown {
    NewGame,  // the starting position of a new game, with the labels and the logo
    Restored, // a position put back as it stood
    Reviewed, // a game looked back on comes back to the board
    Turned,   // half a turn about the centre, the sides changing places
};

// The texts a box asks with, each with its title; some take a value.
enum class Say {
    FirstPlayersTurn, // 先手の番です
    YourTurn,         // あなたの番です
    Drawn,            // 引き分けです
    Wins,             // <value>の勝ちです
    PlayAgain,        // 続けますか？ (yes or no)
    RecordFull,       // 棋譜は500手までです…
    YouPass,          // あなたはパスです
    ComputerPasses,   // パスします
    OpponentPasses,   // 相手はパスです (online)
    StartFirst,       // 「対局」で始めて下さい
    NoMoveToHint,     // 指せる手がありません
    MoveACheckPiece,  // チェック駒を動かしてください
    StepTheRecord,    // 棋譜を '進 'で進めて下さい (yes or no)
    ResumeHere,       // OKですか？
    UnrecordedBack, // 500手から先の手は記録されていないのでできません (戻る)
    UnrecordedForward,    // the same (進む)
    CannotBack,           // できません (戻る)
    CannotForward,        // できません (進む)
    RecordEnds,           // 終わり (進む)
    NotInRecordMode,      // 棋譜ﾓｰﾄﾞではできません (反転)
    NotFromTheStart,      // 最初からはできません (反転)
    Hint,                 // <value>: the hint's move (ヒント)
    TakeBackComputerOnly, // コンピュータとの対局でだけできます (待った)
    CannotTakeBack,       // できません (待った)
    SecondPlayersTurn,    // 後手の番です: a set-up position with the upper side to move
    LowerToMove,          // この局面は下手の番です… (開始)
    UpperToMove,          // この局面は上手の番です… (開始)
};

struct Question {
    Question(Say w, std::string v = {}) : what(w), value(std::move(v)) {}
    Say what;
    std::string value; // the winner's name for Wins, the move for Hint
};

// The question's text and title in the game's own language (Japanese), as the boxes show them
// before any translation; and whether it is answered yes or no.
std::string textOf(const Question& q);
std::string titleOf(const Question& q);
Buttons buttonsOf(const Question& q);

// The text of a hint's move in the board's notation: "７七の角を３四へ", with a second line on how
// to promote when the move promotes.
std::string ヒント表記(const Move& hint);

// The one listener of a game. The events have empty defaults, so a listener that shows nothing
// (zubeki-cli) overrides none of them; the questions and the world's services are its own.
class GameEvents {
  public:
    virtual ~GameEvents() = default;

    // --- what happened ---
    // The whole position shown afresh; `number` the move number it stands at.
    virtual void positionShown(PositionShown, const Position&, int) {}
    // A game between two people begins.
    virtual void twoPlayerGame() {}
    // The computer's level, at a game's start against it and when it changes.
    virtual void levelShown(int) {}
    // The steps of a move, in order: begun (the number counts up), the piece has moved, the
    // check squares are set, then each group it surrounded, and for the computer its move shown.
    virtual void moveBegun(const MoveEvent&) {}
    virtual void pieceMoved(const MoveEvent&) {}
    virtual void checksSet(const MoveEvent&) {}
    // A group vanishes, its squares in the order they empty; `pieces` what stood on them.
    virtual void groupCaptured(const SquareList&, const int (&)[81]) {}
    virtual void computerMoveShown(const MoveEvent&) {}
    // A side starts thinking (the words beside the board); its move ends it.
    virtual void thinking(Side) {}
    // The two presses: the marks cleared; a piece picked up (`own`: the side to move's) with
    // its reachable squares shown when `guide`; another piece picked instead of the one on
    // `from`; the pieces in check shown to a player who picked another.
    virtual void marksCleared() {}
    virtual void piecePicked(int, int, int, bool, bool) {}
    virtual void pickMoved(Square, int, int, int, bool, bool) {}
    virtual void checkPiecesBlink() {}
    // Stepping through the list, to the position given.
    virtual void steppedBack(const StepEvent&, const Position&) {}
    virtual void steppedForward(const StepEvent&, const Position&) {}
    // The hint's (or the reviewed position's best move's) two squares outlined, and cleared.
    virtual void hintOutlined(Square, Square) {}
    virtual void hintCleared(Square, Square) {}
    virtual void soundDue(Wave) {}

    // --- asked of the world ---
    virtual Answer ask(const Question& q) = 0;
    // Names the hint's move in a box titled ヒント; the window stands it beside the board.
    virtual void showHint(const Move& hint) { (void)ask(Question{Say::Hint, ヒント表記(hint)}); }
    // The last digit of the clock's seconds (0..9), for the computer's evaluation.
    virtual int clockDigit() = 0;
    // The record panel's lists and fields hidden and cleared.
    virtual void closeRecordPanel() {}
    // Everything set up again as at start-up (a loaded record dropped).
    virtual void restart() {}
    // The sounds released and the program ended at once; nothing is drawn or asked after it.
    virtual void quit() {}
    // Keeps the window alive (painted, input dropped) until `done` is set or the program has
    // ended; where nothing needs to stay alive it returns at once and the caller simply waits.
    virtual void 思考待ち(const std::atomic<bool>& done) { (void)done; }
    // Has the program ended (the window closed during a pause)?
    virtual bool ended() const { return false; }
    // Seconds on a monotonic clock, to take the time spent thinking off the computer's pause.
    virtual double clockSeconds() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// A listener that shows and plays nothing: zubeki-cli plays through it. A Yes/No box answers No,
// so a finished game is left on the board rather than set up anew.
class SilentOutside : public GameEvents {
  public:
    using DigitSource = int (*)(void* context);
    SilentOutside() = default;
    SilentOutside(DigitSource digit, void* context) : digit_(digit), context_(context) {}

    Answer ask(const Question& q) override {
        return buttonsOf(q) == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    void showHint(const Move&) override {}
    int clockDigit() override { return digit_ ? digit_(context_) : 0; }

  private:
    DigitSource digit_ = nullptr;
    void* context_ = nullptr;
};

} // namespace zubeki
