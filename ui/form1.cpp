#include "ui/form1.h"
#include "record/record_file.h"
#include "record/zbk.h"
#include "ui/editor_panel.h"
#include "ui/game_texts.h"
#include "ui/help_window.h"
#include "ui/online_play.h"
#include "ui/paths.h"
#include "ui/review_window.h"

#include "sound/dynlib.h"
#include "sound/module1.h"
#include "view/canvas.h"
#include "view/wait.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <ctime>

namespace zubeki {

namespace {

int px(int twips) {
    return Canvas::toPixel(twips);
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// Gives a menu item or a control its game name, by which tests and tools find it.
template <class T> T* named(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

// The property that holds the key an item is reached by, written beside the item.
constexpr const char* kKeyProperty = "zubekiKey";

// A menu that writes each item's key beside it, as a menu writes an item's shortcut. The keys
// are the window's own shortcuts (createKeys): an item given a shortcut of its own would
// answer the same key a second time.
class KeyedMenu : public QMenu {
  public:
    using QMenu::QMenu;

  protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
        QMenu::initStyleOption(option, action);
        const QString key = action->property(kKeyProperty).toString();
        if (key.isEmpty() || option->text.contains(QLatin1Char('\t'))) return;
        option->text += QLatin1Char('\t') + key;
        // Room for the key, as the style makes for a shortcut: the widest key and a gap.
        int widest = option->fontMetrics.horizontalAdvance(QStringLiteral("Home"));
        for (const QAction* item : actions())
            widest = std::max(widest, option->fontMetrics.horizontalAdvance(
                                          item->property(kKeyProperty).toString()));
        const int room = widest + option->fontMetrics.height();
        option->reservedShortcutWidth = std::max(option->reservedShortcutWidth, room);
    }
};

// A menu of the bar or a menu within a menu.
template <class Owner> QMenu* submenu(Owner* owner, const char* name, const char* caption) {
    auto* menu = new KeyedMenu(QCoreApplication::translate("Form1", caption), owner);
    owner->addMenu(menu);
    return named(menu, name);
}

// A menu item that carries a tick.
constexpr bool ticked = true;

int lastDigitOfSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local.tm_sec % 10;
}

// Where the sound library and the wave files stand: beside the program in the build
// tree, or in the game's own folder when the game is installed.
std::filesystem::path soundFolder(const std::filesystem::path& programFolder) {
    const std::string library = DynamicLibrary::fileName(kSoundLibraryName);
    std::error_code error;
    if (std::filesystem::exists(programFolder / library, error)) return programFolder;
#ifdef ZUBEKI_PRIVATEDIR_FROM_BINDIR
    const std::filesystem::path installed =
        (programFolder / std::filesystem::path(ZUBEKI_PRIVATEDIR_FROM_BINDIR)).lexically_normal();
    if (std::filesystem::exists(installed / library, error)) return installed;
#endif
    return programFolder;
}

} // namespace

Form1::Form1(Seams seams, QWidget* parent)
    : QMainWindow(parent), seams_(std::move(seams)), game_(*this) {
    // LEVEL4 thinks up to a second over a move; the window's game plays on past 500 moves.
    game_.setBudget(ThinkBudget{1000, 0, false});
    reviewBudget_ = defaultReviewBudget();
    fillSeams();
    kept_ = KeptSettings(seams_.settings ? seams_.settings() : nullptr);
    createCanvas();
    sound_ = std::make_unique<Module1>(
        soundFolder(seams_.programFolder),
        [this](const std::string& text, const std::string& title, Buttons b, Icon i) {
            return message(text, title, b, i);
        },
        seams_.soundLibrary);

    createMenus();
    // The record panel is built when it is first opened: most games never open it.
    folder_ = startingFolder();
    // The window grows from its natural size, the board and its panel with it.
    setMinimumSize(px(FORM_WIDTH), px(FORM_HEIGHT));
    canvas_->onScaleChanged = [this] {
        placeRecordPanel();
        if (editor_) editor_->place();
    };
    createEscape();
    createKeys();
}

void Form1::fillSeams() {
    if (!seams_.messageBox)
        seams_.messageBox = [this](const std::string& text, const std::string& title, Buttons b,
                                   Icon i) {
            return showMessageBox(text, title, b, i, this, boxKeepsClearOf_);
        };
    if (!seams_.wait) seams_.wait = [](double seconds) { waitKeepingPainted(seconds); };
    if (!seams_.clockDigit) seams_.clockDigit = lastDigitOfSeconds;
    if (!seams_.endProgram) seams_.endProgram = [] { QCoreApplication::exit(0); };
    if (!seams_.saveFileName)
        seams_.saveFileName = [](QWidget* owner, const QString& folder) {
            return QFileDialog::getSaveFileName(
                owner, QCoreApplication::translate("ReviewWindow", "棋譜を保存"), folder,
                QCoreApplication::translate("ReviewWindow", "棋譜ﾌｧｲﾙ") + QStringLiteral(" (*") +
                    QString::fromUtf8(recordExtension.data(),
                                      static_cast<qsizetype>(recordExtension.size())) +
                    QStringLiteral(" *") + QLatin1String(zbkExtension.data(), zbkExtension.size()) +
                    QLatin1Char(')'));
        };
    if (seams_.programFolder.empty())
        seams_.programFolder = toPath(QCoreApplication::applicationDirPath());
    if (!seams_.askOnline) seams_.askOnline = askOnlineRequest;
}

void Form1::createCanvas() {
    setWindowTitle(QStringLiteral("ZUBEKI"));
    setFont(windowFont());
    canvas_ = new Canvas(this);
    canvas_->setFont(windowFont());
    setCentralWidget(canvas_);
    view_ = std::make_unique<BoardView>(shown(), game_.options(), *canvas_);
    view_->waiter = [this](double seconds) {
        if (!ended_) seams_.wait(seconds);
    };
    canvas_->onMousePress = [this](QMouseEvent* e) {
        const int button = e->button() == Qt::RightButton  ? 2
                           : e->button() == Qt::LeftButton ? 1
                                                           : 4;
        const QPointF at = canvas_->toBoard(e->position());
        Form_MouseDown(button, 0, static_cast<float>(at.x() * TWIPS_PER_PIXEL),
                       static_cast<float>(at.y() * TWIPS_PER_PIXEL));
    };
    canvas_->onMouseRelease = [this](QMouseEvent* e) {
        const int button = e->button() == Qt::RightButton  ? 2
                           : e->button() == Qt::LeftButton ? 1
                                                           : 4;
        const QPointF at = canvas_->toBoard(e->position());
        Form_MouseUp(button, 0, static_cast<float>(at.x() * TWIPS_PER_PIXEL),
                     static_cast<float>(at.y() * TWIPS_PER_PIXEL));
    };
}

void Form1::createEscape() {
    // A shortcut rather than a key handler: after a menu has been opened the menu bar
    // keeps the keyboard and would swallow Escape. It quits from the board only: in a field
    // or a list of the record panel Escape does what it does there, and the game goes on.
    canvas_->setFocusPolicy(Qt::ClickFocus);
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    connect(escape_, &QShortcut::activated, this, [this] {
        // In the position editor Escape leaves it, as 中止 does.
        if (editor_)
            leaveEditor();
        else if (!recordPanelHasFocus())
            quit();
    });
}

// While the keyboard walks the menu bar, ← and → walk on along it rather than step the game.
// An item of the bar itself (戻, 進) names its key in a tip.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuBar() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QAction* item = menuBar()->actionAt(help->pos());
        const QString key = item ? item->property(kKeyProperty).toString() : QString();
        if (key.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), item->iconText() + QLatin1Char(' ') + key);
        return true;
    }
    // Asked of the object's own type, not through review_: the filter also sees the events of a
    // 検討 window that is being destroyed, which is no ReviewWindow any more.
    if (event->type() == QEvent::Close && qobject_cast<ReviewWindow*>(watched) != nullptr)
        keepReviewPlace();
    if (watched == menuBar() && event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Left || key == Qt::Key_Right) && menuBar()->activeAction() != nullptr) {
            event->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::createKeys() {
    menuBar()->installEventFilter(this);
    // Each key triggers its menu item, so it does exactly what the item does, refusals
    // included. Shortcuts rather than QAction::setShortcut, which would make the item answer
    // the key too; the menus write the key beside the item from its property. In the record
    // panel's lists and fields the key does what it does there.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QAction* item;
        const char* written;
    } keys[] = {{Qt::Key_Left, Qt::NoModifier, REPLAY, "\u2190"},
                {Qt::Key_Right, Qt::NoModifier, AFTER, "\u2192"},
                {Qt::Key_Home, Qt::NoModifier, CANCEL, "Home"},
                {Qt::Key_H, Qt::NoModifier, HINT, "H"},
                {Qt::Key_F1, Qt::NoModifier, HOWTO, "F1"},
                {Qt::Key_C, Qt::ControlModifier, COPY, "Ctrl+C"},
                {Qt::Key_V, Qt::ControlModifier, PASTE, "Ctrl+V"}};
    for (const auto& entry : keys) {
        const Qt::Key key = entry.key;
        const Qt::KeyboardModifiers modifiers = entry.modifiers;
        QAction* const item = entry.item;
        item->setProperty(kKeyProperty, QString::fromUtf8(entry.written));
        auto* shortcut = new QShortcut(QKeySequence(key | modifiers), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key, modifiers, item] {
            // F1 opens the rules from anywhere in the window.
            if (key != Qt::Key_F1 && recordPanelHasFocus()) {
                QKeyEvent press(QEvent::KeyPress, key, modifiers);
                QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
                return;
            }
            item->trigger();
        });
    }
}

Form1::~Form1() = default;

Answer Form1::message(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) {
    // Once the program is ending nothing more is asked.
    if (ended_) return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    canvas_->update();
    // The game's words in the language the window speaks.
    return seams_.messageBox(shownText(text).toStdString(), shownText(title).toStdString(), buttons,
                             icon);
}

void Form1::dsPlay(std::intptr_t buffer) {
    sound_->dsPlay(buffer);
}

bool Form1::recordPanelHasFocus() const {
    if (!Drive1) return false;
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* panel[] = {Drive1, Dir1,  File1,          Text1,   Text2,
                              Text3,  Text4, Drive1->view(), Command1};
    for (const QWidget* w : panel)
        if (focus == w && w->isVisible()) return true;
    return false;
}

QAction* Form1::menuItem(QWidget* owner, const char* name, const char* caption,
                         void (Form1::*handler)(), bool checkable) {
    auto* a = named(new QAction(QCoreApplication::translate("Form1", caption), owner), name);
    a->setCheckable(checkable);
    owner->addAction(a);
    connect(a, &QAction::triggered, this, [this, a, handler] {
        if (a->isCheckable()) a->setChecked(!a->isChecked());
        if (!ended_) (this->*handler)();
        canvas_->update();
    });
    return a;
}

void Form1::closesRecordPanel(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, [this] { closeRecordPanel(); });
}

void Form1::createMenus() {
    QMenuBar* bar = menuBar();
    // 戻, 進 and その他 are items of the bar itself, which a desktop-wide menu bar would drop.
    bar->setNativeMenuBar(false);
    createGameMenu();
    createPositionMenu();
    REPLAY = menuItem(bar, "REPLAY", QT_TRANSLATE_NOOP("Form1", "戻"), &Form1::REPLAY_Click);
    AFTER = menuItem(bar, "AFTER", QT_TRANSLATE_NOOP("Form1", "進"), &Form1::AFTER_Click);
    createRecordMenu();
    createOptionMenu();
    VER = menuItem(bar, "VER", QT_TRANSLATE_NOOP("Form1", "その他"), &Form1::VER_Click);
    createHelpMenu();
}

void Form1::createGameMenu() {
    TAIKYOKU = submenu(menuBar(), "TAIKYOKU", QT_TRANSLATE_NOOP("Form1", "対局"));
    closesRecordPanel(TAIKYOKU);
    MATCH_MAN = submenu(TAIKYOKU, "MATCH_MAN", QT_TRANSLATE_NOOP("Form1", "対局(人間)"));
    START =
        menuItem(MATCH_MAN, "START", QT_TRANSLATE_NOOP("Form1", "スタート"), &Form1::START_Click);
    START2 = submenu(TAIKYOKU, "START2", QT_TRANSLATE_NOOP("Form1", "対局(COM)"));
    SENTE = menuItem(START2, "SENTE", QT_TRANSLATE_NOOP("Form1", "先手"), &Form1::SENTE_Click);
    GOTE = menuItem(START2, "GOTE", QT_TRANSLATE_NOOP("Form1", "後手"), &Form1::GOTE_Click);
    LEVEL = submenu(TAIKYOKU, "LEVEL", QT_TRANSLATE_NOOP("Form1", "COM対局ﾚﾍﾞﾙ"));
    LEVEL1 = menuItem(LEVEL, "LEVEL1", QT_TRANSLATE_NOOP("Form1", "LEVEL1"), &Form1::LEVEL1_Click,
                      ticked);
    LEVEL2 = menuItem(LEVEL, "LEVEL2", QT_TRANSLATE_NOOP("Form1", "LEVEL2"), &Form1::LEVEL2_Click,
                      ticked);
    LEVEL3 = menuItem(LEVEL, "LEVEL3", QT_TRANSLATE_NOOP("Form1", "LEVEL3"), &Form1::LEVEL3_Click,
                      ticked);
    LEVEL4 = menuItem(LEVEL, "LEVEL4", QT_TRANSLATE_NOOP("Form1", "LEVEL4"), &Form1::LEVEL4_Click,
                      ticked);
    ONLINE = submenu(TAIKYOKU, "ONLINE", QT_TRANSLATE_NOOP("Form1", "通信対局"));
    ONLINE_CREATE = menuItem(ONLINE, "ONLINE_CREATE", QT_TRANSLATE_NOOP("Form1", "作成"),
                             &Form1::ONLINE_CREATE_Click);
    ONLINE_JOIN = menuItem(ONLINE, "ONLINE_JOIN", QT_TRANSLATE_NOOP("Form1", "参加"),
                           &Form1::ONLINE_JOIN_Click);
    OWARI = menuItem(TAIKYOKU, "OWARI", QT_TRANSLATE_NOOP("Form1", "終わり"), &Form1::quit);
}

void Form1::createPositionMenu() {
    STOP = submenu(menuBar(), "STOP", QT_TRANSLATE_NOOP("Form1", "局面"));
    closesRecordPanel(STOP);
    CANCEL = menuItem(STOP, "CANCEL", QT_TRANSLATE_NOOP("Form1", "最初"), &Form1::CANCEL_Click);
    REVERSE = menuItem(STOP, "REVERSE", QT_TRANSLATE_NOOP("Form1", "反転"), &Form1::REVERSE_Click);
    MATTA = menuItem(STOP, "MATTA", QT_TRANSLATE_NOOP("Form1", "待った"), &Form1::MATTA_Click);
    STOP->addSeparator()->setObjectName(QStringLiteral("STOP_EDIT_SEPARATOR"));
    EDIT = menuItem(STOP, "EDIT", QT_TRANSLATE_NOOP("Form1", "編集"), &Form1::EDIT_Click);
    COPY = menuItem(STOP, "COPY", QT_TRANSLATE_NOOP("Form1", "局面をコピー"), &Form1::COPY_Click);
    PASTE =
        menuItem(STOP, "PASTE", QT_TRANSLATE_NOOP("Form1", "局面を貼り付け"), &Form1::PASTE_Click);
}

void Form1::createRecordMenu() {
    KIFU = submenu(menuBar(), "KIFU", QT_TRANSLATE_NOOP("Form1", "棋譜"));
    KIFU_READ =
        menuItem(KIFU, "KIFU_READ", QT_TRANSLATE_NOOP("Form1", "読込"), &Form1::KIFU_READ_Click);
    KIFU_WRITE =
        menuItem(KIFU, "KIFU_WRITE", QT_TRANSLATE_NOOP("Form1", "書込"), &Form1::KIFU_WRITE_Click);
    KENTOU = menuItem(KIFU, "KENTOU", QT_TRANSLATE_NOOP("Form1", "検討"), &Form1::KENTOU_Click);
}

void Form1::createOptionMenu() {
    OPTION = submenu(menuBar(), "OPTION", QT_TRANSLATE_NOOP("Form1", "ｵﾌﾟｼｮﾝ"));
    closesRecordPanel(OPTION);
    SIDOU = menuItem(OPTION, "SIDOU", QT_TRANSLATE_NOOP("Form1", "移動指導"), &Form1::SIDOU_Click,
                     ticked);
    BGM = menuItem(OPTION, "BGM", QT_TRANSLATE_NOOP("Form1", "BGM"), &Form1::BGM_Click, ticked);
    HINT = menuItem(OPTION, "HINT", QT_TRANSLATE_NOOP("Form1", "ヒント"), &Form1::HINT_Click);
}

void Form1::createHelpMenu() {
    HELP = submenu(menuBar(), "HELP", QT_TRANSLATE_NOOP("Form1", "ヘルプ"));
    HOWTO = menuItem(HELP, "HOWTO", QT_TRANSLATE_NOOP("Form1", "遊び方"), &Form1::HOWTO_Click);
}

void Form1::buildRecordPanel() {
    if (Drive1) return;
    createRecordPanel();
    QWidget* panel[] = {Drive1,    Dir1,  File1, Label1[0], Label1[1], Label1[2],
                        Label1[3], Text2, Text3, Text4,     Text1,     Command1};
    for (QWidget* control : panel) {
        control->hide();
        panelGeometry_.emplace_back(control, control->geometry());
    }
    placeRecordPanel();
    connectRecordPanel();
}

void Form1::createRecordPanel() {
    Drive1 = named(new QComboBox(canvas_), "Drive1");
    Drive1->setGeometry(twipsRect(240, 360, 2535, 300));
    Dir1 = named(new QListWidget(canvas_), "Dir1");
    Dir1->setGeometry(twipsRect(240, 600, 2535, 1710));
    File1 = named(new QListWidget(canvas_), "File1");
    File1->setGeometry(twipsRect(240, 2280, 2535, 930));

    const char* captions[4] = {
        QT_TRANSLATE_NOOP("Form1", "ﾌｧｲﾙ名 ："), QT_TRANSLATE_NOOP("Form1", "後    手 ："),
        QT_TRANSLATE_NOOP("Form1", "先    手 ："), QT_TRANSLATE_NOOP("Form1", "対 局 名：")};
    const int labelTops[4] = {3120, 2880, 2640, 2400};
    for (int i = 0; i < 4; ++i) {
        Label1[i] =
            named(new QLabel(QCoreApplication::translate("Form1", captions[i]), canvas_), "Label1");
        Label1[i]->setGeometry(twipsRect(120, labelTops[i], 855, 255));
        Label1[i]->setAutoFillBackground(true);
    }
    Text2 = named(new QLineEdit(canvas_), "Text2");
    Text2->setGeometry(twipsRect(960, 2400, 2295, 270));
    Text3 = named(new QLineEdit(canvas_), "Text3");
    Text3->setGeometry(twipsRect(960, 2640, 2295, 270));
    Text4 = named(new QLineEdit(canvas_), "Text4");
    Text4->setGeometry(twipsRect(960, 2880, 2295, 270));
    Text1 = named(new QLineEdit(canvas_), "Text1");
    Text1->setGeometry(twipsRect(960, 3120, 2295, 270));
    Command1 =
        named(new QPushButton(QCoreApplication::translate("Form1", "RETURN"), canvas_), "Command1");
    Command1->setGeometry(twipsRect(3360, 3000, 855, 375));
    fitRecordCaptions();
}

void Form1::fitRecordCaptions() {
    // The captions stand in the room left of the name fields; a caption longer than that room
    // in the language shown moves the fields right, their right edges staying where they are.
    // The Japanese captions fit as they are.
    // Measured in the window's own font: the panel may be built while the board is scaled.
    const QFontMetrics metrics(windowFont());
    int widest = 0;
    for (const QLabel* label : Label1)
        widest = std::max(widest, metrics.horizontalAdvance(label->text()) + 2);
    const int room = Text1->x() - Label1[0]->x();
    const int extra = widest - room;
    if (extra <= 0) return;
    for (QLabel* label : Label1) label->resize(label->width() + extra, label->height());
    for (QLineEdit* field : {Text1, Text2, Text3, Text4})
        field->setGeometry(field->geometry().adjusted(extra, 0, 0, 0));
}

void Form1::描画_可視(bool a, bool b, bool c) {
    if (!Drive1 && !a && !b && !c) return;
    buildRecordPanel();
    Drive1->setVisible(a);
    Dir1->setVisible(b);
    File1->setVisible(c);
}

void Form1::描画_棋譜_IO(int フラグ) {
    const bool show = フラグ == 0;
    if (!Drive1 && !show) return;
    buildRecordPanel();
    if (!show) {
        Text1->clear();
        Text2->clear();
        Text3->clear();
        Text4->clear();
    }
    QWidget* fields[] = {Text1,     Text2,     Text3,     Text4,   Label1[0],
                         Label1[1], Label1[2], Label1[3], Command1};
    for (QWidget* w : fields) w->setVisible(show);
}

void Form1::closeRecordPanel() {
    描画_可視(false, false, false);
    描画_棋譜_IO(1);
}

void Form1::Form_Load() {
    BGM->setChecked(kept_.music());
    setUpSounds();
    loadGame();
}

void Form1::loadBeforeSound() {
    soundPending_ = true;
    BGM->setChecked(kept_.music());
    loadGame();
    restoreKeptPlace();
    // After the paint, so that the board is on the screen before the waves are read.
    canvas_->onFirstPaint = [this] { QTimer::singleShot(0, this, [this] { soundNeeded(); }); };
}

void Form1::setUpSounds() {
    soundPending_ = false;
    sound_->SoundInitialize(static_cast<std::intptr_t>(winId()));
    SOUND_OTHER = sound_->SoundLoadWave("その他.wav", 3);
    SOUND_FORBIDDEN = sound_->SoundLoadWave("禁止.wav", 3);
    SOUND_PIECE = sound_->SoundLoadWave("駒打音.wav", 3);
    SOUND_GAME_END = sound_->SoundLoadWave("終局.wav", 3);
    SOUND_VANISH = sound_->SoundLoadWave("消滅.wav", 3);
    SOUND_BGM = sound_->SoundLoadWave("BGM.wav", 1);
    if (BGM->isChecked()) sound_->dsPlayLooping(SOUND_BGM);
}

void Form1::soundNeeded() {
    if (soundPending_ && !ended_) setUpSounds();
}

void Form1::loadGame() {
    // Exactly one level carries the tick, even when start-up runs again after another
    // level was chosen.
    const int level = kept_.level();
    QAction* const levels[] = {LEVEL1, LEVEL2, LEVEL3, LEVEL4};
    for (int n = 1; n <= 4; ++n) levels[n - 1]->setChecked(n == level);
    SIDOU->setChecked(kept_.guidance());
    game_.startUp(level, kept_.guidance());

    // A new background colour clears the window.
    canvas_->fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, BOARD_COLOUR);
    game_.初期設定();
    placeWindow();
    canvas_->update();
}

void Form1::placeWindow() {
    if (pos().y() * TWIPS_PER_PIXEL == FORM_TOP) return;
    move(px(FORM_LEFT), px(FORM_TOP));
    resize(px(FORM_WIDTH), px(FORM_HEIGHT));
}

void Form1::restoreKeptPlace() {
    const std::optional<KeptPlace> place = kept_.windowPlace();
    if (!place) return;
    setGeometry(QRect(place->position, place->size));
    if (place->maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void Form1::keepPlace() {
    const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    kept_.setWindowPlace({normal.topLeft(), normal.size(), isMaximized()});
}

void Form1::keepReviewPlace() {
    if (review_) kept_.setReviewPlace({review_->geometry().topLeft(), review_->size(), false});
}

void Form1::keepFolder() {
    kept_.setFolder(folder_);
}

void Form1::終了処理() {
    if (soundPending_) { // a start-up that never set the sounds up has nothing to release
        soundPending_ = false;
        return;
    }
    sound_->dsFree(SOUND_OTHER);
    sound_->dsFree(SOUND_FORBIDDEN);
    sound_->dsFree(SOUND_PIECE);
    sound_->dsFree(SOUND_GAME_END);
    sound_->dsFree(SOUND_VANISH);
    sound_->dsFree(SOUND_BGM);
    SOUND_OTHER = SOUND_FORBIDDEN = SOUND_PIECE = SOUND_GAME_END = SOUND_VANISH = SOUND_BGM = 0;
    sound_->SoundTerminate();
}

void Form1::quit() {
    if (ended_) return;
    // A game online is written as far as it went; the server keeps it for the friend.
    if (online_) online_->leave();
    keepPlace();
    closeReview();
    終了処理();
    ended_ = true;
    seams_.endProgram();
}

void Form1::closeEvent(QCloseEvent* event) {
    quit();
    event->accept();
}

// --- small menu handlers ---

void Form1::START_Click() {
    if (refusedOnline()) return;
    closeReview();
    game_.START();
}

void Form1::SENTE_Click() {
    if (refusedOnline()) return;
    closeReview();
    game_.SENTE();
}

void Form1::GOTE_Click() {
    if (refusedOnline()) return;
    closeReview();
    game_.GOTE();
}

void Form1::levelClick(QAction* item, int n) {
    if (item->isChecked()) return;
    for (QAction* a : {LEVEL1, LEVEL2, LEVEL3, LEVEL4}) a->setChecked(a == item);
    game_.setLevel(n);
    kept_.setLevel(n);
}

void Form1::LEVEL1_Click() {
    levelClick(LEVEL1, 1);
}
void Form1::LEVEL2_Click() {
    levelClick(LEVEL2, 2);
}
void Form1::LEVEL3_Click() {
    levelClick(LEVEL3, 3);
}
void Form1::LEVEL4_Click() {
    levelClick(LEVEL4, 4);
}

void Form1::HINT_Click() {
    if (refusedOnline()) return;
    game_.ヒント();
}

void Form1::SIDOU_Click() {
    if (SIDOU->isChecked()) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) view_->描画_桝輪郭(OUTLINE_COLOUR, x, y);
        // The cells beside the board in the same grid lose any guidance outline too.
        for (int j = 1; j <= 7; ++j) {
            view_->描画_桝輪郭(OUTLINE_COLOUR, -1, j);
            view_->描画_桝輪郭(OUTLINE_COLOUR, 11, j + 2);
        }
        SIDOU->setChecked(false);
        game_.setGuidance(false);
    } else {
        SIDOU->setChecked(true);
        game_.setGuidance(true);
    }
    kept_.setGuidance(SIDOU->isChecked());
}

void Form1::BGM_Click() {
    soundNeeded();
    if (BGM->isChecked()) {
        BGM->setChecked(false);
        sound_->dsStop(SOUND_BGM);
    } else {
        BGM->setChecked(true);
        sound_->dsPlayLooping(SOUND_BGM);
    }
    kept_.setMusic(BGM->isChecked());
}

// Navigation: the window closes its record panel, the game steps through its move list.

void Form1::REPLAY_Click() {
    if (refusedOnline()) return;
    game_.REPLAY();
}

void Form1::AFTER_Click() {
    if (refusedOnline()) return;
    game_.AFTER();
}

void Form1::CANCEL_Click() {
    if (refusedOnline()) return;
    game_.CANCEL();
}

void Form1::REVERSE_Click() {
    if (refusedOnline()) return;
    game_.REVERSE();
}

void Form1::MATTA_Click() {
    if (refusedOnline()) return;
    game_.待った();
}

HelpWindow* Form1::helpWindow() const {
    return help_;
}

void Form1::HOWTO_Click() {
    if (!help_) {
        help_ = new HelpWindow(this);
        placeBeside(help_);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void Form1::VER_Click() {
    closeRecordPanel();
    soundNeeded();
    dsPlay(SOUND_OTHER);
    message("ZUBEKI  Version 0.94    [12/1999]\r"
            "\r"
            "      The ZUBEKI project\r"
            "\r"
            "Home page\r"
            "https://zubeki.example.org/\r"
            "\r"
            "e-mail\r"
            "zubeki@example.org",
            "ZUBEKI");
}

} // namespace zubeki
