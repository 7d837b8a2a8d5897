#include "ui/form1.h"

#include "view/canvas.h"
#include "view/wait.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <ctime>

namespace zubeki {

namespace {

int px(int twips) {
    return Canvas::toPixel(twips);
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace

Form1::Form1(Seams seams, QWidget* parent) : QMainWindow(parent), seams_(std::move(seams)) {
    if (!seams_.messageBox) seams_.messageBox = showMessageBox;
    if (!seams_.wait) seams_.wait = waitKeepingPainted;
    if (!seams_.clockDigit)
        seams_.clockDigit = [] {
            const std::time_t now = std::time(nullptr);
            std::tm local{};
#ifdef _WIN32
            localtime_s(&local, &now);
#else
            localtime_r(&now, &local);
#endif
            return local.tm_sec % 10;
        };
    if (!seams_.endProgram) seams_.endProgram = [] { QCoreApplication::exit(0); };

    setWindowTitle(QStringLiteral("ZUBEKI"));
    setFont(windowFont());
    canvas_ = new Canvas(this);
    canvas_->setFont(windowFont());
    setCentralWidget(canvas_);
    view_ = std::make_unique<BoardView>(state, options, *canvas_);
    view_->waiter = [this](double seconds) {
        if (!ended_) seams_.wait(seconds);
    };
    createRecordPanel();

    // A shortcut rather than a key handler: after a menu has been opened the menu bar
    // keeps the keyboard and would swallow Escape.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    connect(escape_, &QShortcut::activated, this, [this] { quit(); });
}

Form1::~Form1() = default;

Answer Form1::message(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) {
    // Once the program is ending nothing more is asked.
    if (ended_) return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    return seams_.messageBox(text, title, buttons, icon);
}

void Form1::dsPlay(std::intptr_t) {}

void Form1::createRecordPanel() {
    Drive1 = new QComboBox(canvas_);
    Drive1->setGeometry(twipsRect(240, 360, 2535, 300));
    Dir1 = new QListWidget(canvas_);
    Dir1->setGeometry(twipsRect(240, 600, 2535, 1710));
    File1 = new QListWidget(canvas_);
    File1->setGeometry(twipsRect(240, 2280, 2535, 930));

    const char* captions[4] = {"ﾌｧｲﾙ名 ：", "後    手 ：", "先    手 ：", "対 局 名："};
    const int labelTops[4] = {3120, 2880, 2640, 2400};
    for (int i = 0; i < 4; ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(captions[i]), canvas_);
        Label1[i]->setGeometry(twipsRect(120, labelTops[i], 855, 255));
        Label1[i]->setAutoFillBackground(true);
    }
    Text2 = new QLineEdit(canvas_);
    Text2->setGeometry(twipsRect(960, 2400, 2295, 270));
    Text3 = new QLineEdit(canvas_);
    Text3->setGeometry(twipsRect(960, 2640, 2295, 270));
    Text4 = new QLineEdit(canvas_);
    Text4->setGeometry(twipsRect(960, 2880, 2295, 270));
    Text1 = new QLineEdit(canvas_);
    Text1->setGeometry(twipsRect(960, 3120, 2295, 270));
    Command1 = new QPushButton(QStringLiteral("RETURN"), canvas_);
    Command1->setGeometry(twipsRect(3360, 3000, 855, 375));

    描画_可視(false, false, false);
    描画_棋譜_IO(1);
}

void Form1::描画_可視(bool a, bool b, bool c) {
    Drive1->setVisible(a);
    Dir1->setVisible(b);
    File1->setVisible(c);
}

void Form1::描画_棋譜_IO(int フラグ) {
    const bool show = フラグ == 0;
    if (!show) {
        Text1->clear();
        Text2->clear();
        Text3->clear();
        Text4->clear();
    }
    for (QWidget* w :
         {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
          static_cast<QWidget*>(Text4), static_cast<QWidget*>(Label1[0]),
          static_cast<QWidget*>(Label1[1]), static_cast<QWidget*>(Label1[2]),
          static_cast<QWidget*>(Label1[3]), static_cast<QWidget*>(Command1)})
        w->setVisible(show);
}

void Form1::Form_Load() {
    // The game and display constants are compile-time values; the options start afresh.
    options.GUIDANCE = 0;
    state.LEVEL = 3;
    options.GUIDANCE = 1;
    options.GUIDE_COLOUR = COLOUR_WHITE;

    // A new background colour clears the window.
    canvas_->fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, BOARD_COLOUR);
    state.SELECT_STATE = 0;
    初期設定();
    placeWindow();
    canvas_->refresh();
}

void Form1::placeWindow() {
    if (pos().y() * TWIPS_PER_PIXEL == FORM_TOP) return;
    move(px(FORM_LEFT), px(FORM_TOP));
    resize(px(FORM_WIDTH), px(FORM_HEIGHT));
}

void Form1::初期設定() {
    state.初期設定();
    rec.RECORD_MODE = FALSE_CODE;
    rec.clear();
    recordFullTold_ = false;
    view_->描画_桝_数値();
    view_->描画_盤();
    view_->描画_絵(PIC_LOGO, 10.8, 0);
}

void Form1::終了処理() {}

void Form1::quit() {
    if (ended_) return;
    終了処理();
    ended_ = true;
    seams_.endProgram();
}

void Form1::closeEvent(QCloseEvent* event) {
    quit();
    event->accept();
}

void Form1::駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒) {
    view_->描画_桝(移動元X, 移動元Y);
    state.駒移動(移動元X, 移動元Y, 移動先X, 移動先Y, 移動駒);
    view_->描画_絵(移動駒, 移動先X, 移動先Y);
    view_->描画_桝輪郭(BOARD_COLOUR, 移動先X, 移動先Y);
}

void Form1::描画_当駒消去() {
    BoardView& v = *view_;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (state.GROUP_MARK[x][y] != 1) continue;
            if (state.BOARD[x][y] < 0)
                v.描画_絵(PIC_JI_NAKA, x, y);
            else if (state.BOARD[x][y] > 0)
                v.描画_絵(PIC_TEKI_NAKA, x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            dsPlay(SOUND_VANISH);
            v.描画_絵(PIC_PA, x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            v.描画_桝(x, y);
            v.描画_桝輪郭(BOARD_COLOUR, x, y);
            v.refresh();
            v.待ち時間(0.3);
            state.BOARD[x][y] = EMPTY;
        }
}

void Form1::捕獲処理(int 移動先X, int 移動先Y, int 手番, int 相手) {
    state.捕獲ループ(移動先X, 移動先Y, 手番, 相手, [this] { 描画_当駒消去(); });
}

void Form1::終了(const std::string& 勝手) {
    dsPlay(SOUND_GAME_END);
    if (勝手.empty())
        message("引き分けです", "終了");
    else
        message(勝手 + "の勝ちです", "終了");
    if (message("続けますか？", "再ゲーム", Buttons::YesNo) == Answer::Yes) {
        初期設定();
        canvas_->refresh();
    } else {
        quit();
    }
}

bool Form1::手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒,
                     int 移動先駒) {
    if (rec.手順保存(移動元X, 移動元Y, 移動先X, 移動先Y, 移動元駒, 移動先駒,
                     state.BOARD[移動先X][移動先Y]))
        return true;
    // The list holds 500 moves: the game goes on, the later moves are not recorded.
    if (!recordFullTold_) {
        recordFullTold_ = true;
        message("棋譜は500手までです。これから先の手は記録されません", "棋譜");
    }
    return false;
}

} // namespace zubeki
