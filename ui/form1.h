#pragma once

#include "ai/influence.h"
#include "game/state.h"
#include "record/movelist.h"
#include "ui/seams.h"
#include "view/board_view.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QShortcut;

namespace zubeki {

class Canvas;
class Module1;

// The main window. It owns the whole game for the life of the program and wires
// window events to the game's routines.
class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(Seams seams = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // --- start-up and shutdown ---
    void Form_Load();
    // Sets up the starting position and the per-game counters, and draws them.
    void 初期設定();
    // Releases every sound and the sound library.
    void 終了処理();
    // Quitting: release the sounds, then end the program at once.
    void quit();
    bool ended() const { return ended_; }

    // --- menu handlers ---
    void START_Click();
    void SENTE_Click();
    void GOTE_Click();
    void LEVEL1_Click();
    void LEVEL2_Click();
    void LEVEL3_Click();
    void SIDOU_Click();
    void BGM_Click();
    void VER_Click();
    void REPLAY_Click();
    void AFTER_Click();
    void CANCEL_Click();
    void REVERSE_Click();
    void closeRecordPanel();
    void KIFU_READ_Click();
    void KIFU_WRITE_Click();
    void Drive1_Change();
    void Dir1_Change();
    // Reads the chosen record; answers false when the file was refused (the game goes on).
    bool File1_Click(const QString& fileName);
    // Reads a record named on the command line, as choosing it in the file list does.
    bool openRecord(const QString& path);
    // Writes the record; answers true when it was written.
    bool Command1_Click();
    // The folder the folder list shows and the file list reads.
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }

    // --- the player's press on the window (button 1 left, 2 right; X, Y in twips) ---
    void Form_MouseDown(int Button, int Shift, float X, float Y);

    // --- the rules with their drawing, sounds and dialogs ---
    // Moves a piece on the board and redraws both squares.
    void 駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒);
    // Takes the group marked by the last surround test off the board, piece by piece.
    void 描画_当駒消去();
    // Removes every enemy group next to the destination left without a liberty.
    void 捕獲処理(int 移動先X, int 移動先Y, int 手番, int 相手);
    // The game is over: shows the result and asks whether to play again.
    void 終了(const std::string& 勝手);
    // Appends a move to the move list; a full list plays on without recording.
    bool 手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒, int 移動先駒);
    // Carries out a human move found legal: record, promotion, board, checks, captures, end.
    void 人間の手(int sx, int sy, int dx, int dy, int p, int Button);
    // The computer's turn: pass, or search, play and show its best move.
    void com_ban();

    // --- record panel ---
    void 描画_可視(bool a, bool b, bool c);
    void 描画_棋譜_IO(int フラグ);

    // --- the game's data, open to the tests ---
    GameState state;
    MoveList rec;
    Influence influence;
    Options options;
    std::intptr_t SOUND_OTHER = 0;
    std::intptr_t SOUND_FORBIDDEN = 0;
    std::intptr_t SOUND_PIECE = 0;
    std::intptr_t SOUND_GAME_END = 0;
    std::intptr_t SOUND_VANISH = 0;
    std::intptr_t SOUND_BGM = 0;

    // The move being entered between the two presses.
    struct ClickMove {
        int fromX = 0, fromY = 0, toX = 0, toY = 0, piece = EMPTY;
    } CLICK_MOVE;

    BoardView& view() { return *view_; }
    Canvas& canvas() { return *canvas_; }
    Module1& sound() { return *sound_; }

    // Menu items.
    QMenu* TAIKYOKU = nullptr;
    QMenu* MATCH_MAN = nullptr;
    QAction* START = nullptr;
    QMenu* START2 = nullptr;
    QAction* SENTE = nullptr;
    QAction* GOTE = nullptr;
    QMenu* LEVEL = nullptr;
    QAction* LEVEL1 = nullptr;
    QAction* LEVEL2 = nullptr;
    QAction* LEVEL3 = nullptr;
    QAction* OWARI = nullptr;
    QMenu* STOP = nullptr;
    QAction* CANCEL = nullptr;
    QAction* REVERSE = nullptr;
    QAction* REPLAY = nullptr;
    QAction* AFTER = nullptr;
    QMenu* KIFU = nullptr;
    QAction* KIFU_READ = nullptr;
    QAction* KIFU_WRITE = nullptr;
    QMenu* OPTION = nullptr;
    QAction* SIDOU = nullptr;
    QAction* BGM = nullptr;
    QAction* VER = nullptr;

    // Record panel controls.
    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QLabel* Label1[4] = {};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Answer message(const std::string& text, const std::string& title, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None);
    void dsPlay(std::intptr_t buffer);
    void createMenus();
    void createRecordPanel();
    void connectRecordPanel();
    void refreshFileList();
    void showRecord(const struct ReadResult& read);
    void placeWindow();
    void levelClick(QAction* item, int n);
    void warnCheckPiece();
    // The side code whose pieces the current TURN moves: lower (negative) for MAN_SIDE.
    bool ownsPiece(int code) const;
    bool opponentsPiece(int code) const;
    void handOver();

    Seams seams_;
    Canvas* canvas_ = nullptr;
    std::unique_ptr<BoardView> view_;
    std::unique_ptr<Module1> sound_;
    QShortcut* escape_ = nullptr;
    bool ended_ = false;
    bool recordFullTold_ = false;
    int setupCount_ = 0; // new positions set up so far
    QString folder_;
    QString driveIndexFolder_;
};

} // namespace zubeki
