#include "record/record_file.h"
#include "record/zbk.h"
#include "ui/form1.h"
#include "ui/paths.h"
#include "ui/review_window.h"
#include "view/canvas.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>

namespace zubeki {

namespace {

// The drives of this machine: the home folder, then every mounted volume.
QStringList driveRoots() {
    QStringList roots{QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid()) continue;
        const QString root = volume.rootPath();
        if (!roots.contains(root)) roots << root;
    }
    return roots;
}

// The drive a folder is on: the longest of the drive list's roots that holds it, -1 if none.
int driveOf(const QComboBox& drives, const QString& folder) {
#ifdef _WIN32
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives.count(); ++i) {
        QString root = QDir::cleanPath(drives.itemData(i).toString());
        const bool holds = folder.compare(root, cs) == 0 ||
                           folder.startsWith(root.endsWith(u'/') ? root : root + u'/', cs);
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

} // namespace

void Form1::connectRecordPanel() {
    for (const QString& root : driveRoots()) Drive1->addItem(root, root);
    connect(Drive1, &QComboBox::activated, this, [this](int) { Drive1_Change(); });
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        setFolder(item->data(Qt::UserRole).toString());
        keepFolder();
    });
    connect(File1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { File1_Click(item->text()); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    setFolder(folder_);
}

QString Form1::startingFolder() const {
    // The folder the player last used, if it is still there, else the current one.
    const QDir kept(kept_.folder());
    if (!kept_.folder().isEmpty() && kept.exists() && kept.isReadable()) return kept.absolutePath();
    return QDir::current().absolutePath();
}

void Form1::setFolder(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) return;
    buildRecordPanel();
    folder_ = dir.absolutePath();
    // The drive list shows the drive of the folder the folder list shows.
    if (const int drive = driveOf(*Drive1, folder_); drive >= 0) {
        Drive1->setCurrentIndex(drive);
        driveIndexFolder_ = Drive1->itemData(drive).toString();
    }
    Dir1_Change();
}

void Form1::Drive1_Change() {
    const QString root = Drive1->currentData().toString();
    const QStorageInfo volume(root);
    if (!volume.isValid() || !volume.isReady()) {
        message("ﾃﾞﾊﾞｲｽが準備できていません", "ｴﾗｰ");
        // The folder list keeps its folder; the drive list goes back to the drive it showed.
        const int at = Drive1->findData(driveIndexFolder_);
        if (at >= 0) Drive1->setCurrentIndex(at);
        return;
    }
    driveIndexFolder_ = root;
    // A drive that is there but cannot be read is shown as it is: empty.
    folder_ = QDir(root).absolutePath();
    keepFolder();
    Dir1_Change();
}

void Form1::Dir1_Change() {
    // The folder list: the folder itself, its parent, then its sub-folders.
    Dir1->clear();
    QDir dir(folder_);
    auto add = [this](const QString& label, const QString& path) {
        auto* item = new QListWidgetItem(label, Dir1);
        item->setData(Qt::UserRole, path);
    };
    add(QStringLiteral("[") + QDir::toNativeSeparators(folder_) + QStringLiteral("]"), folder_);
    QDir parent = dir;
    if (parent.cdUp()) add(QStringLiteral(".."), parent.absolutePath());
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        add(sub, dir.absoluteFilePath(sub));
    // The file list follows the folder list.
    refreshFileList();
}

void Form1::refreshFileList() {
    File1->clear();
    QDir dir(folder_);
    const QString pattern =
        QStringLiteral("*") +
        QString::fromUtf8(recordExtension.data(), static_cast<int>(recordExtension.size()));
    // Games from a set-up position beside the records.
    const QString zbk = QStringLiteral("*") +
                        QLatin1String(zbkExtension.data(), static_cast<int>(zbkExtension.size()));
    for (const QString& name : dir.entryList({pattern, zbk}, QDir::Files, QDir::Name))
        File1->addItem(name);
}

void Form1::KIFU_READ_Click() {
    if (refusedOnline()) return;
    描画_可視(true, true, true);
    描画_棋譜_IO(1);
    refreshFileList();
}

void Form1::KIFU_WRITE_Click() {
    // A game from a set-up position, turned or not, goes to a .zbk file, which holds any
    // position; a .棋譜 record holds only games from the start.
    if (game_.session().REVERSED == TRUE_CODE && !game_.fromSetUp()) {
        message("反転後は書き込みできません", "棋譜書込");
        return;
    }
    描画_可視(true, true, false);
    描画_棋譜_IO(0);
    if (!game_.fromSetUp()) return;
    // Such a file has no names in it: only the file name is asked.
    QWidget* const names[] = {Text2, Text3, Text4, Label1[1], Label1[2], Label1[3]};
    for (QWidget* w : names) w->hide();
}

bool Form1::File1_Click(const QString& fileName) {
    描画_可視(false, false, false);
    const std::filesystem::path path = toPath(QDir(folder_).absoluteFilePath(fileName));
    if (isZbkFile(path)) return showZbk(path);
    // The whole file is read and checked before the game in progress is dropped.
    const ReadResult read = readRecord(path);
    if (!read.ok) {
        message(read.error, "棋譜");
        return false;
    }
    keepFolder();
    showRecord(read);
    return true;
}

bool Form1::openRecord(const QString& path) {
    // The record named is read from its own folder or not at all: never a file of the same name
    // in the folder the panel happens to show.
    const QFileInfo file(path);
    const QDir folder = file.absoluteDir();
    const bool listable = folder.exists() && folder.isReadable();
    if (listable) setFolder(folder.absolutePath());
    if (!listable || folder_ != folder.absolutePath()) {
        message(recordOpenFailure(std::make_error_code(
                    folder.exists() ? std::errc::permission_denied : std::errc::not_a_directory)),
                "棋譜");
        return false;
    }
    return File1_Click(file.fileName());
}

void Form1::showRecord(const ReadResult& read) {
    closeReview();
    Form_Load();
    game_.loadRecord(read.moves);
    // Game name under the board on the left, upper player above it, lower player below.
    const double at[3][2] = {{800, 6350}, {3700, 100}, {3700, 6350}};
    for (int i = 0; i < 3; ++i)
        view_->textAtTwips(at[i][0], at[i][1],
                           QString::fromStdString(read.header[static_cast<size_t>(i)]),
                           COLOUR_WHITE, 12);
    canvas_->update();
    if (!read.warning.empty()) message(read.warning, "棋譜");
    if (game_.record().RECORD_LEN == 0) {
        message("棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません", "棋譜");
    } else {
        message(" 読み込みました", "棋譜");
        message("棋譜を '進 'で進めて下さい", "棋譜");
    }
}

bool Form1::Command1_Click() {
    const std::string name = Text1->text().toStdString();
    if (name.empty()) {
        message("ﾌｧｲﾙ名が入力されていません", "  ");
        return false;
    }
    if (game_.record().RECORD_POS < 1) {
        message("保存するデータがありません", "棋譜保存");
        return false;
    }
    if (const std::string why = checkRecordName(name); !why.empty()) {
        message(why, "棋譜");
        return false;
    }
    if (game_.fromSetUp()) return writeSetUpGame(name);
    const RecordHeader header =
        recordHeader(Text2->text().toStdString(), Text3->text().toStdString(),
                     Text4->text().toStdString(), game_.session().MAN_SIDE);
    const WriteResult written = writeRecord(toPath(folder_), name, header, game_.record());
    if (!written.ok) {
        // The panel stays open with the name, so the player can try another.
        message(written.error, "棋譜");
        return false;
    }
    keepFolder();
    描画_可視(false, false, false);
    描画_棋譜_IO(1);
    refreshFileList();
    if (!written.warning.empty()) message(written.warning, "棋譜");
    message("棋譜を書き込みました", "  ");
    return true;
}

void Form1::placeRecordPanel() {
    for (const auto& [control, natural] : panelGeometry_)
        control->setGeometry(canvas_->toWidget(natural));
    // The controls take their font from the canvas; at the natural size it is the window's own.
    QFont font = windowFont();
    if (canvas_->scale() != 1) font.setPointSizeF(font.pointSizeF() * canvas_->scale());
    canvas_->setFont(font);
}

} // namespace zubeki

namespace zubeki {

ReviewWindow* Form1::reviewWindow() const {
    return review_;
}

void Form1::closeReview() {
    if (review_) review_->close();
}

void Form1::checksSet(const MoveEvent& e) {
    GamePainter::checksSet(e);
    followReview();
}

void Form1::followReview() {
    if (!review_) return;
    const GameRecord game = game_.gameToReview();
    if (!game.goesOn(review_->game())) return;
    std::string why;
    const std::optional<ReviewGame> review =
        prepareReview(game.start, game.firstSide(), game.played(), why);
    if (review) review_->follow(game, *review);
}

void Form1::KENTOU_Click() {
    closeRecordPanel();
    // Its rows put earlier positions on the board, which online is the server's.
    if (refusedOnline()) return;
    const GameRecord game = game_.gameToReview();
    if (game.empty()) {
        message("検討する手がありません", "検討");
        return;
    }
    std::string why;
    const std::optional<ReviewGame> review =
        prepareReview(game.start, game.firstSide(), game.played(), why);
    if (!review) {
        message("この棋譜は検討できません", "検討");
        return;
    }
    closeReview();
    ReviewWindow::Hooks hooks;
    hooks.show = [this](int n, const Move& best) {
        if (ended_) return;
        const GameRecord shown = review_ ? review_->game() : GameRecord{};
        game_.showGameMove(shown, n, best);
        canvas_->update();
    };
    hooks.message = [this](const std::string& text, const std::string& title) {
        message(text, title);
    };
    hooks.saveFileName = seams_.saveFileName;
    hooks.folder = folder_;
    review_ = new ReviewWindow(game, *review, reviewBudget_, std::move(hooks), this);
    placeBeside(review_);
    // Where the player left the last one, when that is on a screen now.
    if (const std::optional<KeptPlace> kept = kept_.reviewPlace())
        review_->setGeometry(QRect(kept->position, kept->size));
    review_->installEventFilter(this);
    review_->show();
}

void Form1::placeBeside(QWidget* window) const {
    // On the screen that holds the main window: beside it, to its right where the screen has
    // room, else over it; never larger than the screen.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    window->resize(window->size().boundedTo(room.size() - frame));
    window->move(besideRect(window->frameGeometry().size(), frameGeometry(), room));
}

} // namespace zubeki
