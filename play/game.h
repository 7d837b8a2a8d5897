#pragma once

#include "ai/search.h"
#include "game/position.h"
#include "play/computer.h"
#include "play/display.h"
#include "play/events.h"
#include "play/player.h"
#include "play/session.h"
#include "record/movelist.h"
#include "record/zbk.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zubeki {

// How a move is shown: a person's at once; the computer's after a pause before its piece
// lands, in white.
struct ShowMove {
    bool computer = false;
    double pause = 0.5;
};

// What one turn came to.
enum class TurnResult {
    Waiting, // the player has no move to give yet (a person between presses), or none at all
    Moved,   // a move was played and the game goes on
    Passed,  // the side had no move and passed
    Won,     // the move won the game
    Drawn,   // the second pass in a row drew the game
    Illegal, // the player answered a move the rules do not allow; nothing was played
    Stopped, // the program ended meanwhile
};

enum class GameOutcome { UpperWin, LowerWin, Draw, Unfinished };

// A game as its move list holds it: the position the list starts from and the list (moves
// 1..RECORD_LEN), and whether it came from a record file.
struct GameRecord {
    Position start;
    MoveList moves;
    bool fromFile = false;
    int manSide = SIDE_SENTE; // who the person played when the list began (the record's header)
    bool setUp = false; // the list starts from a position set up by hand or pasted, not the start

    bool empty() const { return moves.RECORD_LEN == 0; }
    // The side that makes the list's first move: -1 lower, +1 upper.
    int firstSide() const;
    // Moves 1..RECORD_LEN as played moves (no passes: the list holds none).
    std::vector<Move> played() const;
    // The same game from the same position, gone on by one move or more.
    bool goesOn(const GameRecord& earlier) const;
    // Does the list start from the starting position (the only one a .棋譜 record holds)?
    bool fromStart() const;
    // A game a .棋譜 record cannot hold (set up, or from another position): a .zbk file's.
    bool needsZbk() const { return setUp || !fromStart(); }
    // Moves 1..n of the list as a .zbk game, the side that made the first move to move.
    ZbkGame toZbk(int n) const;
};

struct Turn {
    TurnResult result = TurnResult::Waiting;
    std::optional<Side> side; // who was to move; none when no game runs
    Move move;
    MoveOutcome outcome;
};

// The game's flow: the position, the move list and the options, with every routine that
// carries a game forward — the one move chain for human and computer moves, the computer's
// turn, the two-press input, resuming, navigation and the game starts. It reports what happens
// to one listener of its events.
class Game {
  public:
    explicit Game(GameEvents& outside) : out_(outside) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const Position& state() const { return s_; }
    const PlaySession& session() const { return session_; }
    const MoveList& record() const { return rec_; }
    const Options& options() const { return options_; }

    // --- start-up and set-up ---
    // The game's part of start-up: the level (3 on a first run), move guidance (on), nothing
    // picked up, LEVEL4 on every core.
    void startUp(int level = 3, bool guidance = true);
    // Sets up the starting position and the per-game counters, and draws them.
    void 初期設定();
    // Puts a position and its move list in place as they stand (a game set up elsewhere) and
    // draws the board again.
    void restore(const Position& state, const MoveList& moves);
    // A record read from a file, shown from its first position, to be stepped through.
    void loadRecord(const MoveList& moves);

    // --- a position set up by hand or pasted ---
    // Puts the position on the board as the start of the games played from it: nothing runs,
    // the move list starts from it, 最初 comes back to it, and the 対局 items play it with its
    // own side to move.
    void setUpPosition(const Position& p);
    // A .zbk file's game put on the board from its position, to be stepped through as a
    // record is; false when its moves run past what the move list holds (the rest is left).
    bool loadZbk(const ZbkGame& game);
    // Does the game on the board start from such a position (until the next new game)?
    bool fromSetUp() const { return setUp_; }
    // The side to move in the position the board shows.
    Side sideShown() const;
    // The position the board shows, in the position notation.
    std::string shownText() const;

    // The game to look back on: the one on the board when its list holds a move, else the
    // game that ended before "続けますか？" set up a new position (empty when there is none).
    GameRecord gameToReview() const;
    // Shows the position after move n (0..RECORD_LEN) of `game` as stepping with 戻 / 進 does:
    // the game stops there and a press resumes from it. The board takes `game`'s list first
    // unless its own list begins with it. `best`, unless it is a pass, is outlined in the
    // hint's colour until the next press.
    void showGameMove(const GameRecord& game, int n, const Move& best);

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
    // 待った: against the computer, takes back the computer's last move and the player's move
    // before it, and the player moves again from there; the list ends where the board stands.
    // Refused with a box in any other game, or when the player has no move to take back.
    void 待った();

    // --- players and turns ---
    // Who plays each side from now on (a person at the board where none is given); the
    // players must outlive their turns.
    void setPlayers(Player* lower, Player* upper);
    // A game begins from the position as it stands with `side` (-1 lower, +1 upper) to move,
    // between these players.
    void begin(Side side, Player* lower, Player* upper);
    // One turn of the side to move: the pass rule, the player's move, the move chain, the
    // hand-over to the other side.
    Turn playTurn();
    // The position the game began in at begin(), and every move and pass played since: what
    // an engine is told of the game.
    const std::string& startText() const { return startText_; }
    const std::vector<Move>& line() const { return line_; }
    // Plays turns while the side to move has a player who answers at once (the computer);
    // stops at a person who has not pressed yet, and when the game ends.
    void playOn();
    // Plays turns until the game is won or drawn, a player has no answer, or the move list is
    // full (the game is then unfinished); counts the moves played into `moves`.
    GameOutcome playToEnd(int& moves);
    // The computer's turn: its move, thought out at `level` within `budget` for `side`, with
    // its thinking shown; nullopt when the program ended meanwhile.
    std::optional<Move> computerMove(Side side, int level, const ThinkBudget& budget);

    // --- a press on the board (Button 1 left, 2 right; x, y the square, off the board too) ---
    void press(int Button, int x, int y);
    // The person's part of a turn: the press taken as the first or second of a move; answers
    // the move once the second press completes one.
    std::optional<Move> takePress(int Button, int x, int y);

    // --- the moves ---
    // The computer's turn: pass, or search, play and show its best move (and any turns after
    // it that need no press).
    void com_ban();
    // The computer's choice in this position at its level, for the upper side (or the lower);
    // the pass test is the caller's.
    ComputerMove 思考(Side side = Side::Upper);
    // How long LEVEL4 thinks over a move (and over a hint).
    void setBudget(const ThinkBudget& budget) { computer_.budget = budget; }
    const ThinkBudget& budget() const { return computer_.budget; }
    // A hint for the side to move: LEVEL4's move outlined on the board and named in a box.
    void ヒント();
    // Carries out a legal move through the whole chain: move list, move number, board, placing
    // sound, check squares, pass count, notation, the capture loop and the end test, which ends
    // the game. The turn is not handed over here.
    MoveOutcome 指し手実行(const Move& m, const ShowMove& show = {});
    // Tells the listener of each group the move surrounded, piece by piece.
    void showCaptures(const Position& before, const MoveOutcome& outcome);
    // The game is over: shows the result and asks whether to play again.
    void 終了(std::string_view 勝手);
    // Appends a move to the move list; a full list plays on without recording.
    bool 手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒, int 移動先駒);

    // --- a game online (the server is the referee) ---
    // Puts a game played over the network on the board: its starting position and the moves
    // so far (played without being shown, passes as the pass), the person at the board playing
    // `mine` and `peer` the other side. A move that wins or the second pass ends the game on
    // the board without the end's boxes: the end is the server's to say (endOnline).
    // False when a move is not legal; the board then shows the game up to it.
    bool beginOnline(const Position& start, const std::vector<std::string>& moves, Side mine,
                     PeerPlayer& peer);
    // Plays the turns that need no press: the peer's moves announced, and the person's pass
    // when the person has no move (the server has played it already).
    void playOnlineTurns();
    // The server has ended the game: nothing runs, and the game is kept to look back on.
    void endOnline();
    bool online() const { return online_; }
    // The side the person at the board plays online.
    Side onlineSide() const { return onlineSide_; }

    // A new position counts each time one is set up; a game ended inside a call changes it.
    int setups() const { return setups_; }

    // The move being entered between the two presses: the piece picked up, then where it goes
    // and what it arrives as.
    const Move& clickMove() const { return CLICK_MOVE; }

  private:
    // A game against the computer begins: sides, mode and the level shown.
    void againstTheComputer(int manSide, int comSide);
    void resume();
    void firstPress(int x, int y);
    std::optional<Move> secondPress(int Button, int x, int y);
    void warnCheckPiece();
    bool ownsPiece(int code) const;
    bool opponentsPiece(int code) const;
    // TURN and the position's side to move set to `side` (-1 lower, +1 upper).
    void setTurn(Side side);
    void handOver();
    Player& playerFor(Side side);
    // Thinks at `level` on another thread while the window stays alive; levels 1..3 think at
    // once. A program that ends meanwhile stops the search (the answer is then not to be played).
    ComputerMove thinkKeepingAlive(Side side, int level);
    ClockDigit clock();
    // The hint's outlines taken off again.
    void clearHint();
    // Steps 戻 / 進 until the list stands at move n, the piece's sound on the last step only.
    void stepTo(int n);
    // The game has run past its 500 recorded moves: stepping through the list is refused.
    bool refuseUnrecorded(bool back);
    // The moves of the list after its position withdrawn, from the engine's line too.
    void dropMovesAfterPosition(int taken);
    // Online, a game that has ended on the board stops without the end's boxes: true then.
    bool stopOnline();

    GameEvents& out_;
    Position s_;
    PlaySession session_;
    MoveList rec_;
    Computer computer_;
    Options options_;
    Move CLICK_MOVE;
    bool recordFullTold_ = false;
    int unrecorded_ = 0; // moves played past the full move list
    int setups_ = 0;
    Square hint_[2] = {}; // the hint's piece and destination while they are outlined
    Position listStart_;  // the position the move list starts from
    int listStartManSide_ = SIDE_SENTE;
    GameRecord ended_; // the game that ended last, kept past the new position
    bool quietSteps_ = false;

    // A person at the board answers with the press that started the turn.
    class PersonAtBoard : public Player {
      public:
        bool ready() const override { return pressed; }
        std::optional<Move> choose(Game& game, Side side) override;
        bool pressed = false;
        int Button = 0, x = 0, y = 0;
    };
    PersonAtBoard person_;
    ComputerPlayer computerPlayer_;             // the computer at the menu's level
    Player* players_[2] = {&person_, &person_}; // lower, upper
    double pause_ = 0.5; // what is left of the computer's pause once it has thought
    std::string startText_;
    std::vector<Move> line_;
    bool online_ = false; // a game online is on the board
    Side onlineSide_ = Side::Lower;
    bool setUp_ = false;  // the list starts from a set-up position
    Position setUpStart_; // that position, where 最初 goes back to
    // A set-up position is played with its own side to move: the item that would give the
    // move to the other side is refused.
    bool refusedForSide(Side itemMoves);
};

} // namespace zubeki
