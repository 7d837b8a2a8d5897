// The record panel: writing a game through RETURN, reading it back from the file list and
// stepping through it, and every refusal on the way.
#include "harness.h"

#include "record/record_file.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// Twelve quiet moves: a lower rook climbs file 1 while an upper rook walks down file 9.
std::vector<Step> twelveMoves() {
    std::vector<Step> moves;
    for (int i = 0; i < 6; ++i) {
        moves.push_back({1, 7 - i, 1, 6 - i});
        moves.push_back({9, 3 + i, 9, 4 + i});
    }
    return moves;
}

void playTwoHumans(Harness& h, const std::vector<Step>& moves) {
    h.action("START")->trigger();
    for (const Step& m : moves) h.move(m.fx, m.fy, m.tx, m.ty);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool panelNamesShown(Form1& f) {
    return widget(f, "Text1")->isVisible() && widget(f, "Command1")->isVisible() &&
           childrenNamed<QLabel>(f, "Label1").at(0)->isVisible();
}

} // namespace

class RecordPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void writeAfterSteppingBackThenReadAndStepThrough();
    void writeRefusals();
    void replacesAnExistingRecordWithoutAsking();
    void headerOrderFollowsTheHumansSide();
    void aRefusedFileLeavesTheGameAsItWas();
    void readingDropsTheGameAndTypedNames();
    void aDriveThatIsNotReadyKeepsTheFolder();
    void theDriveListStartsOnTheDriveOfTheFolder();
    void aRecordNamedOnTheCommandLineIsReadFromThatPathOnly();
};

void RecordPanelTest::writeAfterSteppingBackThenReadAndStepThrough() {
    Harness h;
    h.f().show();
    h.f().setFolder(h.folder.path());
    const std::vector<Step> moves = twelveMoves();
    playTwoHumans(h, moves);
    QCOMPARE(h.f().game().record().RECORD_LEN, 12);
    for (int i = 0; i < 7; ++i) h.action("REPLAY")->trigger();
    QCOMPARE(h.f().game().record().RECORD_POS, 5);
    const MoveList played = h.f().game().record();

    h.action("KIFU_WRITE")->trigger();
    QVERIFY(panelNamesShown(h.f()));
    QVERIFY(h.widget("Drive1")->isVisible() && h.widget("Dir1")->isVisible() &&
            !h.widget("File1")->isVisible());
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("round"));
    h.widget<QLineEdit>("Text2")->setText(QStringLiteral("ﾃｽﾄ対局①"));
    h.widget<QLineEdit>("Text3")->setText(QStringLiteral("先手 髙橋"));
    h.widget<QLineEdit>("Text4")->setText(QStringLiteral("後手 ～"));
    h.forget();
    QTest::mouseClick(h.widget<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("棋譜を書き込みました |    | OK")});
    QVERIFY(!panelNamesShown(h.f()));
    QVERIFY(h.widget<QLineEdit>("Text1")->text().isEmpty() &&
            h.widget<QLineEdit>("Text2")->text().isEmpty());

    // Only the moves up to the position shown are written; the second player's name
    // comes first when the human moved first.
    const QString path = QDir(h.folder.path()).filePath(QStringLiteral("round.棋譜"));
    const QByteArray bytes = fileBytes(path);
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 3 + 5 + 1);
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(lines[3], QByteArray(" 1716-900-900   0\r"));
    QCOMPARE(lines[4], QByteArray(" 9394 900 900   0\r"));

    h.action("KIFU_READ")->trigger();
    const QListWidget* files = h.widget<QListWidget>("File1");
    QVERIFY(files->isVisible());
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->item(0)->text(), QStringLiteral("round.棋譜"));
    h.forget();
    QVERIFY(h.f().File1_Click(QStringLiteral("round.棋譜")));
    QCOMPARE(h.shown(), (QStringList{QStringLiteral(" 読み込みました | 棋譜 | OK"),
                                     QStringLiteral("棋譜を '進 'で進めて下さい | 棋譜 | OK")}));
    const MoveList& read = h.f().game().record();
    QCOMPARE(read.RECORD_LEN, 5);
    QCOMPARE(read.RECORD_POS, 0);
    QCOMPARE(read.RECORD_MODE, TRUE_CODE);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(read.REC_FROM_X[n], played.REC_FROM_X[n]);
        QCOMPARE(read.REC_FROM_Y[n], played.REC_FROM_Y[n]);
        QCOMPARE(read.REC_TO_X[n], played.REC_TO_X[n]);
        QCOMPARE(read.REC_TO_Y[n], played.REC_TO_Y[n]);
        QCOMPARE(read.REC_PIECE[n], played.REC_PIECE[n]);
        QCOMPARE(read.REC_RESULT[n], played.REC_RESULT[n]);
        QCOMPARE(read.REC_TARGET[n], EMPTY);
    }
    QCOMPARE(h.board(), startingBoard());
    // The header names are drawn above and below the board.
    QVERIFY(ink(region(h.image(), 3700, 100, 1500, 250)) > 0);
    QVERIFY(ink(region(h.image(), 3700, 6350, 1500, 250)) > 0);
    QVERIFY(ink(region(h.image(), 800, 6350, 1500, 250)) > 0);

    for (int n = 1; n <= 5; ++n) h.action("AFTER")->trigger();
    QCOMPARE(h.s().BOARD[1][4], SITA_ROOK);
    QCOMPARE(h.s().BOARD[9][5], UE_ROOK);
    h.forget();
    h.action("AFTER")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("終わり | 進む | OK")});
}

void RecordPanelTest::writeRefusals() {
    Harness h;
    h.f().show();
    h.f().setFolder(h.folder.path());

    // Nothing applied yet, even with moves beyond the position.
    playTwoHumans(h, {{1, 7, 1, 6}, {9, 3, 9, 4}});
    h.action("REPLAY")->trigger();
    h.action("REPLAY")->trigger();
    h.action("KIFU_WRITE")->trigger();
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("x"));
    h.forget();
    QVERIFY(!h.f().Command1_Click());
    QCOMPARE(h.shown(), QStringList{QStringLiteral("保存するデータがありません | 棋譜保存 | OK")});
    QVERIFY(panelNamesShown(h.f()));

    h.action("AFTER")->trigger();
    h.action("KIFU_WRITE")->trigger();
    h.forget();
    QVERIFY(!h.f().Command1_Click());
    QCOMPARE(h.shown(), QStringList{QStringLiteral("ﾌｧｲﾙ名が入力されていません |    | OK")});

    // A name that is not one file name: the panel stays open with the name.
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("a/b"));
    h.forget();
    QVERIFY(!h.f().Command1_Click());
    QCOMPARE(h.messages.size(), std::size_t{1});
    QCOMPARE(h.messages[0].title, QStringLiteral("棋譜"));
    QVERIFY(panelNamesShown(h.f()));
    QCOMPARE(h.widget<QLineEdit>("Text1")->text(), QStringLiteral("a/b"));
    QVERIFY(QDir(h.folder.path()).entryList({QStringLiteral("*.棋譜")}, QDir::Files).isEmpty());

    // A folder that cannot be written: said in a box, nothing lost, the game goes on.
    h.f().setFolder(h.folder.path());
    QVERIFY(QDir(h.folder.path()).mkdir(QStringLiteral("taken.棋譜")));
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("taken"));
    h.forget();
    QVERIFY(!h.f().Command1_Click());
    QCOMPARE(h.messages.size(), std::size_t{1});
    QCOMPARE(h.messages[0].title, QStringLiteral("棋譜"));
    QVERIFY(h.messages[0].text.startsWith(QStringLiteral("棋譜を書き込めませんでした")));
    QCOMPARE(h.f().game().record().RECORD_POS, 1);

    // After turning the board nothing may be written.
    h.f().closeRecordPanel();
    h.action("REVERSE")->trigger();
    h.forget();
    h.action("KIFU_WRITE")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("反転後は書き込みできません | 棋譜書込 | OK")});
    QVERIFY(!panelNamesShown(h.f()));
}

void RecordPanelTest::replacesAnExistingRecordWithoutAsking() {
    Harness h;
    h.f().show();
    h.f().setFolder(h.folder.path());
    const QString path = QDir(h.folder.path()).filePath(QStringLiteral("same.棋譜"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\nrecord\r\nhere\r\n");
    }
    playTwoHumans(h, {{1, 7, 1, 6}});
    h.action("KIFU_WRITE")->trigger();
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("same"));
    h.forget();
    QVERIFY(h.f().Command1_Click());
    QCOMPARE(h.shown(), QStringList{QStringLiteral("棋譜を書き込みました |    | OK")});
    QCOMPARE(fileBytes(path), QByteArray("\r\n\r\n\r\n 1716-900-900   0\r\n"));
}

void RecordPanelTest::headerOrderFollowsTheHumansSide() {
    for (const bool humanFirst : {true, false}) {
        Harness h;
        h.f().show();
        h.f().setFolder(h.folder.path());
        if (humanFirst) {
            h.action("SENTE")->trigger();
            h.move(1, 7, 1, 6);
        } else {
            h.action("GOTE")->trigger(); // the computer opens
        }
        QVERIFY(h.f().game().record().RECORD_POS >= 1);
        h.action("KIFU_WRITE")->trigger();
        h.widget<QLineEdit>("Text1")->setText(QStringLiteral("order"));
        h.widget<QLineEdit>("Text2")->setText(QStringLiteral("G"));
        h.widget<QLineEdit>("Text3")->setText(QStringLiteral("FIRST"));
        h.widget<QLineEdit>("Text4")->setText(QStringLiteral("SECOND"));
        QVERIFY(h.f().Command1_Click());
        const QList<QByteArray> lines =
            fileBytes(QDir(h.folder.path()).filePath(QStringLiteral("order.棋譜"))).split('\n');
        QCOMPARE(lines[0], QByteArray("G\r"));
        QCOMPARE(lines[1], humanFirst ? QByteArray("SECOND\r") : QByteArray("FIRST\r"));
        QCOMPARE(lines[2], humanFirst ? QByteArray("FIRST\r") : QByteArray("SECOND\r"));
    }
}

void RecordPanelTest::aRefusedFileLeavesTheGameAsItWas() {
    Harness h;
    h.f().show();
    h.f().setFolder(h.folder.path());
    playTwoHumans(h, {{1, 7, 1, 6}});
    const std::string before = h.board();
    {
        QFile bad(QDir(h.folder.path()).filePath(QStringLiteral("bad.棋譜")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("g\r\nu\r\nl\r\n 1716-900-900   0\r\n 0716-900-900   0\r\n");
    }
    h.action("KIFU_READ")->trigger();
    h.forget();
    QVERIFY(!h.f().File1_Click(QStringLiteral("bad.棋譜")));
    QCOMPARE(h.messages.size(), std::size_t{1});
    QCOMPARE(h.messages[0].title, QStringLiteral("棋譜"));
    QVERIFY(h.messages[0].text.contains(QStringLiteral("5 行目")));
    QCOMPARE(h.board(), before);
    QCOMPARE(h.session().TURN, SIDE_GOTE);
    QCOMPARE(h.f().game().record().RECORD_LEN, 1);
    QCOMPARE(h.f().game().record().RECORD_MODE, FALSE_CODE);

    QVERIFY(!h.f().openRecord(QDir(h.folder.path()).filePath(QStringLiteral("missing.棋譜"))));
    QCOMPARE(h.messages.back().title, QStringLiteral("棋譜"));
    QCOMPARE(h.board(), before);
}

void RecordPanelTest::readingDropsTheGameAndTypedNames() {
    Harness h;
    h.f().show();
    h.f().setFolder(h.folder.path());
    {
        QFile empty(QDir(h.folder.path()).filePath(QStringLiteral("empty.棋譜")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write("name\r\nup\r\ndown\r\n");
    }
    playTwoHumans(h, {{1, 7, 1, 6}, {9, 3, 9, 4}});
    h.action("KIFU_WRITE")->trigger();
    h.widget<QLineEdit>("Text2")->setText(QStringLiteral("typed"));
    h.action("KIFU_READ")->trigger(); // reading hides and empties the names
    QVERIFY(h.widget<QLineEdit>("Text2")->text().isEmpty());
    h.forget();
    QVERIFY(h.f().File1_Click(QStringLiteral("empty.棋譜")));
    QCOMPARE(h.shown(), QStringList{QStringLiteral("棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません | 棋譜 | OK")});
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.session().TURN, NO_SIDE);
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    QCOMPARE(h.f().game().record().RECORD_MODE, TRUE_CODE);
}

void RecordPanelTest::aDriveThatIsNotReadyKeepsTheFolder() {
    Harness h;
    h.f().setFolder(h.folder.path());
    QComboBox* drives = h.widget<QComboBox>("Drive1");
    const QString gone = h.folder.path() + QStringLiteral("/no-such-volume");
    drives->addItem(gone, gone);
    drives->setCurrentIndex(drives->count() - 1);
    h.forget();
    h.f().Drive1_Change();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("ﾃﾞﾊﾞｲｽが準備できていません | ｴﾗｰ | OK")});
    QCOMPARE(h.f().folder(), QDir(h.folder.path()).absolutePath());

    // The drive list goes back to the entry it showed before.
    const int before = drives->currentIndex();
    drives->setCurrentIndex(drives->count() - 1);
    h.f().Drive1_Change();
    QCOMPARE(drives->currentIndex(), before);
    QVERIFY(before != drives->count() - 1);

    // A drive that is there but cannot be read is shown, empty, without a word.
    QTemporaryDir locked;
    QVERIFY(QFile::setPermissions(locked.path(), QFileDevice::Permissions{}));
    drives->addItem(locked.path(), locked.path());
    drives->setCurrentIndex(drives->count() - 1);
    h.forget();
    h.f().Drive1_Change();
    QVERIFY(h.shown().isEmpty());
    QCOMPARE(h.f().folder(), QDir(locked.path()).absolutePath());
    QCOMPARE(h.widget<QListWidget>("File1")->count(), 0);
}

void RecordPanelTest::theDriveListStartsOnTheDriveOfTheFolder() {
    // Started in a folder outside the home folder (the first entry): the entry shown is the
    // longest that holds the folder.
    const QString started = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()) && !elsewhere.path().startsWith(QDir::homePath()));
    Harness h;
    QDir::setCurrent(started);
    h.action("KIFU_READ")->trigger();
    const QString folder = h.f().folder() + u'/';
    const QComboBox* drives = h.widget<QComboBox>("Drive1");
    const auto holds = [&](int i) {
        const QString root = QDir::cleanPath(drives->itemData(i).toString());
        return folder.startsWith(root.endsWith(u'/') ? root : root + u'/') ? root.size() : -1;
    };
    const int shown = drives->currentIndex();
    QVERIFY(holds(shown) > 0);
    for (int i = 0; i < drives->count(); ++i) QVERIFY(holds(i) <= holds(shown));
}

void RecordPanelTest::aRecordNamedOnTheCommandLineIsReadFromThatPathOnly() {
    Harness h;
    h.f().show();
    const QString started = QDir::currentPath();
    const QDir here(h.folder.path());
    // A sound record of the same name where the window stands must never be read instead.
    QVERIFY(here.mkdir(QStringLiteral("sub")));
    for (const QString& name : {QStringLiteral("g.棋譜"), QStringLiteral("sub/other.棋譜")}) {
        QFile f(here.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("g\r\nu\r\nl\r\n 1716-900-900   0\r\n");
    }
    QVERIFY(::mkfifo(QFile::encodeName(here.filePath(QStringLiteral("fifo.棋譜"))), 0644) == 0);
    QVERIFY(QDir::setCurrent(here.path()));
    h.f().setFolder(here.path());
    playTwoHumans(h, {{1, 7, 1, 6}});
    const std::string before = h.board();

    const QString refused = QStringLiteral("棋譜ﾌｧｲﾙを開けませんでした：%1 | 棋譜 | OK");
    const QString cases[][2] = {
        {QStringLiteral("/no/such/dir/g.棋譜"), QStringLiteral("ﾌｫﾙﾀﾞが見つかりません")},
        {QStringLiteral("no-such-dir/g.棋譜"), QStringLiteral("ﾌｫﾙﾀﾞが見つかりません")},
        {QStringLiteral("g.棋譜/g.棋譜"), QStringLiteral("ﾌｫﾙﾀﾞが見つかりません")},
        {QStringLiteral("fifo.棋譜"), QStringLiteral("普通のﾌｧｲﾙではありません")},
    };
    for (const auto& c : cases) {
        h.forget();
        ::alarm(20); // a reader stuck in open(2) ends the tests instead of hanging them
        QVERIFY2(!h.f().openRecord(c[0]), qPrintable(c[0]));
        ::alarm(0);
        QCOMPARE(h.shown(), QStringList{refused.arg(c[1])});
        QCOMPARE(h.board(), before);
        QCOMPARE(h.f().game().record().RECORD_MODE, FALSE_CODE);
    }

    // A record in another folder is read from there, and the panel moves there.
    h.forget();
    QVERIFY(h.f().openRecord(here.filePath(QStringLiteral("sub/other.棋譜"))));
    QCOMPARE(h.f().folder(), here.filePath(QStringLiteral("sub")));
    QCOMPARE(h.shown().first(), QStringLiteral(" 読み込みました | 棋譜 | OK"));

    // A folder that cannot be listed is refused, even where the file itself could be opened.
    QVERIFY(QFile::setPermissions(here.filePath(QStringLiteral("sub")), QFileDevice::ExeOwner));
    h.f().setFolder(here.path());
    h.forget();
    const bool opened = h.f().openRecord(here.filePath(QStringLiteral("sub/other.棋譜")));
    QFile::setPermissions(here.filePath(QStringLiteral("sub")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir::setCurrent(started);
    if (opened && ::geteuid() == 0) QSKIP("this user lists every folder");
    QCOMPARE(h.shown(), QStringList{refused.arg(QStringLiteral("読み込みが許可されていません"))});
}

QTEST_MAIN(RecordPanelTest)
#include "record_panel_test.moc"
