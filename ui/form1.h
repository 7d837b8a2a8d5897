#pragma once

#include "play/game.h"
#include "play/review.h"
#include "ui/kept_settings.h"
#include "ui/seams.h"
#include "view/board_view.h"
#include "view/game_painter.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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
class EditorPanel;
class HelpWindow;
class Module1;
class OnlinePlay;
class ReviewWindow;

// The main window: the shell around the game. It holds the game's flow for the life of the
// program, turns window events into its calls, and listens to its events: the board's painter
// draws them on the canvas, the sound module plays their sounds, boxes ask its questions.
class Form1 : public QMainWindow, private GamePainter {
    Q_OBJECT
  public:
    explicit Form1(Seams seams = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // --- start-up and shutdown ---
    void Form_Load();
    // Start-up: the game set up and its board drawn now, the sounds and the music once the
    // window has painted the board (or at the first sound asked before that).
    void loadBeforeSound();
    // Releases every sound and the sound library.
    void 終了処理();
    // Quitting: release the sounds, then end the program at once.
    void quit() override;
    bool ended() const override { return ended_; }
    bool eventFilter(QObject* watched, QEvent* event) override;

    // --- menu handlers ---
    void START_Click();
    void SENTE_Click();
    void GOTE_Click();
    void LEVEL1_Click();
    void LEVEL2_Click();
    void LEVEL3_Click();
    void LEVEL4_Click();
    void HINT_Click();
    void SIDOU_Click();
    void BGM_Click();
    void VER_Click();
    void REPLAY_Click();
    void AFTER_Click();
    void CANCEL_Click();
    void REVERSE_Click();
    // 待った: against the computer, its last move and the player's before it taken back.
    void MATTA_Click();
    // 編集: the board becomes a position editor; 完了 plays from the position set up.
    void EDIT_Click();
    // 局面をコピー / 局面を貼り付け (Ctrl+C / Ctrl+V): the position shown as notation text to
    // the clipboard, and a notation from it put on the board (or into the editor).
    void COPY_Click();
    void PASTE_Click();
    // The position editor while the board is one.
    EditorPanel* editor() const { return editor_.get(); }
    // 遊び方: the rules in a window of their own (F1 too).
    void HOWTO_Click();
    // 通信対局 > 作成 / 参加: a game against a friend over the network.
    void ONLINE_CREATE_Click();
    void ONLINE_JOIN_Click();
    // Begins a game online as asked (the command line's way in, without the dialog); a game
    // created tells `inviteCode` its code once the server has given it.
    void startOnline(OnlineRequest request,
                     std::function<void(const QString&)> inviteCode = nullptr);
    // The game online while one is going on or has been (nullptr before the first).
    OnlinePlay* onlinePlay() const { return online_.get(); }
    HelpWindow* helpWindow() const;
    void closeRecordPanel() override;
    void KIFU_READ_Click();
    void KIFU_WRITE_Click();
    // 検討: LEVEL4 looks back over the game on the board in a window of its own.
    void KENTOU_Click();
    // The 検討 window while it is open.
    ReviewWindow* reviewWindow() const;
    // How long LEVEL4 looks at each position of a game under review.
    void setReviewBudget(const ThinkBudget& budget) { reviewBudget_ = budget; }
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
    // The button let go again: only the position editor takes it (a piece dragged).
    void Form_MouseUp(int Button, int Shift, float X, float Y);

    // --- record panel ---
    void 描画_可視(bool a, bool b, bool c);
    void 描画_棋譜_IO(int フラグ);

    // The game's flow the window wires its events to.
    Game& game() { return game_; }
    const Game& game() const { return game_; }

    // Names a hinted move in a box beside the board.
    void showHint(const Move& hint) override;
    // While a box is up that must stand beside the board: the board's place on the screen.
    std::optional<QRect> boxKeepsClearOf() const { return boxKeepsClearOf_; }

    BoardView& view() { return *view_; }
    Canvas& canvas() { return *canvas_; }
    Module1& sound() { return *sound_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Answer message(const std::string& text, const std::string& title, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None);
    void dsPlay(std::intptr_t buffer);

    // --- the board's drawing routines, on the canvas ---
    void 描画_桝(double x, double y) override;
    void 描画_絵(int 駒種類, double x, double y) override;
    void 描画_桝輪郭(int 描画色, double x, double y) override;
    void 描画_将棋盤桝() override;
    void 描画_盤() override;
    void 描画_桝_数値() override;
    void 描画_四角形(double x, double y, double 幅, double 高さ, int 色) override;
    void 描画_文字(double x, double y, std::string_view 文字, int 色, int サイズ) override;
    void 描画_移動可能桝色(int x, int y, int 描画色, int 駒) override;
    void 描画_桝輪郭_全部() override;
    void 描画_桝輪郭_チェック桝() override;
    void 描画_点滅_チェック桝(int 回数) override;
    void 描画_移動結果(double 欄X, double 欄Y, int x, int y, int 駒, int 色) override;
    void 描画_手数(int 手数, int 色) override;
    void 描画_レベル(int レベル) override;
    void refresh() override;
    void 待ち時間(double 秒) override;
    void play(Wave wave) override;
    Answer ask(const Question& q) override;
    int clockDigit() override;
    void restart() override;
    void 思考待ち(const std::atomic<bool>& done) override;
    // A move has been played: the 検討 window follows the game it looks back on.
    void checksSet(const MoveEvent& e) override;

    // What the seams leave empty: the real message box, wait, clock, end and save dialog.
    void fillSeams();
    // The board's canvas, its view and the mouse on it.
    void createCanvas();
    // Escape quits from the board.
    void createEscape();
    void createMenus();
    // One item of a menu or of the bar itself. A ticked item keeps its mark until its
    // handler decides: Qt would flip it before the handler runs, so the flip is undone.
    QAction* menuItem(QWidget* owner, const char* name, const char* caption,
                      void (Form1::*handler)(), bool checkable = false);
    // Opening the menu closes the record panel.
    void closesRecordPanel(QMenu* menu);
    void createGameMenu();     // 対局
    void createPositionMenu(); // 局面
    void createRecordMenu();   // 棋譜
    void createOptionMenu();   // ｵﾌﾟｼｮﾝ
    void createHelpMenu();     // ヘルプ
    // ← → Home and H: 戻, 進, 最初 and ヒント from the keyboard.
    void createKeys();
    void buildRecordPanel();
    void createRecordPanel();
    QString startingFolder() const;
    void connectRecordPanel();
    // The name fields' captions wide enough for their text in the language shown.
    void fitRecordCaptions();
    // The record panel's controls at the board's scale and place, their text with them.
    void placeRecordPanel();
    void refreshFileList();
    void showRecord(const struct ReadResult& read);
    // A game from any position (.zbk) read into the list, shown from its position.
    bool showZbk(const std::filesystem::path& file);
    // The game from a set-up position written as a .zbk file named `name` in the panel's folder.
    bool writeSetUpGame(const std::string& name);
    // The editor closed: the menus as they were.
    void leaveEditor();
    // While the editor is open only the items that work on it stay enabled.
    void enableMenusForEditing(bool editing);
    void placeWindow();
    // The game's part of Form_Load: the ticks of the menus, the game and the first drawing.
    void loadGame();
    // The sound device and the six waves, the music started.
    void setUpSounds();
    // Sets the sounds up now if start-up left them for later.
    void soundNeeded();
    // Is the keyboard in one of the record panel's lists, fields or its button?
    bool recordPanelHasFocus() const;
    void levelClick(QAction* item, int n);
    // A new game or another record: the 検討 window of the last one closes.
    void closeReview();
    // The 検討 window takes the moves played since it opened, when the game on the board is
    // its game gone on.
    void followReview();
    // Stands a window of the game's beside the main window, wholly on its screen.
    void placeBeside(QWidget* window) const;
    // The window where the player left it last time, when that is on a screen now.
    void restoreKeptPlace();
    // Where the window and the 検討 window stand, kept for the next run.
    void keepPlace();
    void keepReviewPlace();
    // The record panel's folder, kept for the next run.
    void keepFolder();

    Seams seams_;
    Game game_;
    std::intptr_t SOUND_OTHER = 0;
    std::intptr_t SOUND_FORBIDDEN = 0;
    std::intptr_t SOUND_PIECE = 0;
    std::intptr_t SOUND_GAME_END = 0;
    std::intptr_t SOUND_VANISH = 0;
    std::intptr_t SOUND_BGM = 0;
    Canvas* canvas_ = nullptr;
    std::unique_ptr<BoardView> view_;
    std::unique_ptr<Module1> sound_;
    QShortcut* escape_ = nullptr;
    bool ended_ = false;
    bool soundPending_ = false; // start-up has not set the sounds up yet
    QString folder_;
    std::optional<QRect> boxKeepsClearOf_;
    // Each record panel control with its place on the unscaled board.
    std::vector<std::pair<QWidget*, QRect>> panelGeometry_;
    QString driveIndexFolder_;
    QPointer<ReviewWindow> review_;
    QPointer<HelpWindow> help_;
    KeptSettings kept_;
    ThinkBudget reviewBudget_;
    std::unique_ptr<EditorPanel> editor_;
    std::unique_ptr<OnlinePlay> online_;
    void onlineClick(bool create);
    // While a game online goes on, what would change the board under it is refused with a box.
    bool refusedOnline();
    std::vector<QAction*> disabledForEditing_;

    // Menu items. Every item and control below carries its own name as its objectName, which
    // is how tests and tools outside the window find them.
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
    QAction* LEVEL4 = nullptr;
    QMenu* ONLINE = nullptr;
    QAction* ONLINE_CREATE = nullptr;
    QAction* ONLINE_JOIN = nullptr;
    QAction* OWARI = nullptr;
    QMenu* STOP = nullptr;
    QAction* CANCEL = nullptr;
    QAction* REVERSE = nullptr;
    QAction* MATTA = nullptr;
    QAction* EDIT = nullptr;
    QAction* COPY = nullptr;
    QAction* PASTE = nullptr;
    QAction* REPLAY = nullptr;
    QAction* AFTER = nullptr;
    QMenu* KIFU = nullptr;
    QAction* KIFU_READ = nullptr;
    QAction* KIFU_WRITE = nullptr;
    QAction* KENTOU = nullptr;
    QMenu* OPTION = nullptr;
    QAction* SIDOU = nullptr;
    QAction* BGM = nullptr;
    QAction* HINT = nullptr;
    QAction* VER = nullptr;
    QMenu* HELP = nullptr;
    QAction* HOWTO = nullptr;

    // Record panel controls; the four captions are all named Label1, created in index order.
    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QLabel* Label1[4] = {};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace zubeki
