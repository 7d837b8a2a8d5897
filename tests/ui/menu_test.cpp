// The menu bar, the option and level items, the version box, the sound at start-up and the
// ways of ending the program.
#include "harness.h"

#include <QMenuBar>
#include <QTest>
#include <QWindow>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
        if (!a->isSeparator()) out << a->text();
    return out;
}

QStringList ticks(Form1& f) {
    QStringList out;
    for (QAction* a : {f.LEVEL1, f.LEVEL2, f.LEVEL3, f.LEVEL4, f.SIDOU, f.BGM})
        if (a->isChecked()) out << a->text();
    return out;
}

QStringList freeAndTerminate() {
    QStringList out;
    for (const char* name : kWaveNames) out << QStringLiteral("dsFree ") + name;
    out << QStringLiteral("dsTerminate");
    return out;
}

} // namespace

class MenuTest : public QObject {
    Q_OBJECT
  private slots:
    void captionsAndOrder();
    void startUp();
    void levelItems_data();
    void levelItems();
    void guidanceOffAndOn();
    void musicToggle();
    void versionBox();
    void startUpAgainKeepsOneMusicStream();
    void soundWarningOncePerStartUp_data();
    void soundWarningOncePerStartUp();
    void quitting_data();
    void quitting();
    void closingDuringTheComputersPause();
};

void MenuTest::captionsAndOrder() {
    Harness h;
    Form1& f = h.f();
    QCOMPARE(captions(f.menuBar()->actions()),
             (QStringList{"対局", "局面", "戻", "進", "棋譜", "ｵﾌﾟｼｮﾝ", "その他"}));
    const QList<QAction*> bar = f.menuBar()->actions();
    QCOMPARE(bar[0]->menu(), f.TAIKYOKU);
    QCOMPARE(bar[1]->menu(), f.STOP);
    QCOMPARE(bar[2], f.REPLAY);
    QCOMPARE(bar[3], f.AFTER);
    QCOMPARE(bar[4]->menu(), f.KIFU);
    QCOMPARE(bar[5]->menu(), f.OPTION);
    QCOMPARE(bar[6], f.VER);
    QCOMPARE(captions(f.TAIKYOKU->actions()),
             (QStringList{"対局(人間)", "対局(COM)", "COM対局ﾚﾍﾞﾙ", "終わり"}));
    QCOMPARE(f.TAIKYOKU->actions()[0]->menu(), f.MATCH_MAN);
    QCOMPARE(f.TAIKYOKU->actions()[1]->menu(), f.START2);
    QCOMPARE(f.TAIKYOKU->actions()[2]->menu(), f.LEVEL);
    QCOMPARE(f.TAIKYOKU->actions()[3], f.OWARI);
    QCOMPARE(f.MATCH_MAN->actions(), QList<QAction*>{f.START});
    QCOMPARE(captions(f.MATCH_MAN->actions()), QStringList{"スタート"});
    QCOMPARE(f.START2->actions(), (QList<QAction*>{f.SENTE, f.GOTE}));
    QCOMPARE(captions(f.START2->actions()), (QStringList{"先手", "後手"}));
    QCOMPARE(f.LEVEL->actions(), (QList<QAction*>{f.LEVEL1, f.LEVEL2, f.LEVEL3, f.LEVEL4}));
    QCOMPARE(captions(f.LEVEL->actions()), (QStringList{"LEVEL1", "LEVEL2", "LEVEL3", "LEVEL4"}));
    QCOMPARE(f.STOP->actions(), (QList<QAction*>{f.CANCEL, f.REVERSE}));
    QCOMPARE(captions(f.STOP->actions()), (QStringList{"最初", "反転"}));
    QCOMPARE(f.KIFU->actions(), (QList<QAction*>{f.KIFU_READ, f.KIFU_WRITE}));
    QCOMPARE(captions(f.KIFU->actions()), (QStringList{"読込", "書込"}));
    QCOMPARE(f.OPTION->actions(), (QList<QAction*>{f.SIDOU, f.BGM, f.HINT}));
    QCOMPARE(captions(f.OPTION->actions()), (QStringList{"移動指導", "BGM", "ヒント"}));
    for (QMenu* m : {f.TAIKYOKU, f.MATCH_MAN, f.START2, f.LEVEL, f.STOP, f.KIFU, f.OPTION})
        for (QAction* a : m->actions()) QVERIFY(a->isEnabled());
}

void MenuTest::startUp() {
    Harness h;
    QStringList expected{QStringLiteral("dsInitialize")};
    for (int i = 0; i < 5; ++i) expected << QStringLiteral("dsCreateDSB 3 ") + kWaveNames[i];
    expected << QStringLiteral("dsCreateDSB 1 BGM.wav") << QStringLiteral("dsPlayLooping BGM.wav");
    QCOMPARE(FakeSound::lines(), expected);
    QCOMPARE(ticks(h.f()), (QStringList{"LEVEL3", "移動指導", "BGM"}));
    QCOMPARE(h.s().LEVEL, 3);
    QCOMPARE(h.f().game().options().GUIDANCE, 1);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, COLOUR_WHITE);
    QCOMPARE(h.s().TURN, NO_SIDE);
    QCOMPARE(h.board(), startingBoard());
    QVERIFY(h.messages.empty());
    QCOMPARE(h.f().pos(), QPoint(Canvas::toPixel(FORM_LEFT), Canvas::toPixel(FORM_TOP)));
}

void MenuTest::levelItems_data() {
    QTest::addColumn<int>("level");
    QTest::addRow("LEVEL1") << 1;
    QTest::addRow("LEVEL2") << 2;
    QTest::addRow("LEVEL3, already ticked") << 3;
    QTest::addRow("LEVEL4") << 4;
}

void MenuTest::levelItems() {
    QFETCH(int, level);
    Harness h;
    QAction* items[] = {h.f().LEVEL1, h.f().LEVEL2, h.f().LEVEL3, h.f().LEVEL4};
    QAction* item = items[level - 1];
    const QImage atStart = h.image().copy();
    item->trigger();
    QCOMPARE(h.s().LEVEL, level);
    for (QAction* a : items) QCOMPARE(a->isChecked(), a == item);
    QCOMPARE(h.image() != atStart, level != 3); // a new level is shown beside the board
    // The ticked item again changes nothing.
    const QImage shown = h.image().copy();
    item->trigger();
    QCOMPARE(h.s().LEVEL, level);
    for (QAction* a : items) QCOMPARE(a->isChecked(), a == item);
    QCOMPARE(h.image(), shown);
    // And back to another level.
    items[level % 4]->trigger();
    QCOMPARE(h.s().LEVEL, level % 4 + 1);
    QCOMPARE(ticks(h.f()).filter(QStringLiteral("LEVEL")), QStringList{items[level % 4]->text()});
}

void MenuTest::guidanceOffAndOn() {
    Harness h;
    h.f().START->trigger();
    h.press(3, 7); // its reach is outlined in white
    QCOMPARE(colourName(leftEdge(h.image(), 3, 6)), colourName(kWhite));
    h.f().SIDOU->trigger();
    QVERIFY(!h.f().SIDOU->isChecked());
    QCOMPARE(h.f().game().options().GUIDANCE, 0);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, OUTLINE_COLOUR);
    QCOMPARE(colourName(leftEdge(h.image(), 3, 6)), colourName(kGreen));
    QCOMPARE(colourName(topEdge(h.image(), 3, 7)), colourName(kGreen));
    const QImage off = h.image().copy();
    h.f().SIDOU->trigger();
    QVERIFY(h.f().SIDOU->isChecked());
    QCOMPARE(h.f().game().options().GUIDANCE, 1);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, COLOUR_WHITE);
    QCOMPARE(h.image(), off); // switching on redraws nothing
}

void MenuTest::musicToggle() {
    Harness h;
    h.forget();
    h.f().BGM->trigger();
    QVERIFY(!h.f().BGM->isChecked());
    QCOMPARE(FakeSound::loopingStreams(), 0);
    h.f().BGM->trigger();
    QVERIFY(h.f().BGM->isChecked());
    QCOMPARE(FakeSound::loopingStreams(), 1);
    h.f().BGM->trigger();
    QCOMPARE(FakeSound::lines(),
             (QStringList{"dsStop BGM.wav", "dsPlayLooping BGM.wav", "dsStop BGM.wav"}));
}

void MenuTest::versionBox() {
    Harness h;
    h.forget();
    h.f().VER->trigger();
    QCOMPARE(h.messages.size(), std::size_t{1});
    const Message& m = h.messages[0];
    QCOMPARE(m.title, QStringLiteral("ZUBEKI"));
    QVERIFY(m.buttons == Buttons::Ok);
    QVERIFY(!m.text.contains(QLatin1Char('\n')));
    const QStringList lines = m.text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines[0], QStringLiteral("ZUBEKI  Version 0.94    [12/1999]"));
    QVERIFY(lines[1].isEmpty() && lines[3].isEmpty() && lines[6].isEmpty());
    QVERIFY(lines[2].startsWith(QLatin1Char(' ')) && !lines[2].trimmed().isEmpty());
    QCOMPARE(lines[4], QStringLiteral("Home page"));
    QCOMPARE(lines[7], QStringLiteral("e-mail"));
    QVERIFY(!lines[5].isEmpty() && !lines[8].isEmpty());
    QCOMPARE(FakeSound::lines(), QStringList{QStringLiteral("dsPlay その他.wav")});
    QCOMPARE(h.soundAtMessage[0], std::size_t{1});
}

void MenuTest::startUpAgainKeepsOneMusicStream() {
    Harness h;
    h.f().BGM->trigger();
    h.f().LEVEL1->trigger();
    h.f().SIDOU->trigger();
    const QPoint at = h.f().pos();
    h.forget();
    h.f().Form_Load();
    QCOMPARE(FakeSound::loopingStreams(), 1);
    // The first device goes before the second start-up's music plays.
    const QStringList log = FakeSound::lines();
    QVERIFY(log.indexOf(QStringLiteral("dsTerminate")) >= 0);
    QVERIFY(log.indexOf(QStringLiteral("dsTerminate")) <
            log.indexOf(QStringLiteral("dsPlayLooping BGM.wav")));
    QCOMPARE(FakeSound::only("dsPlayLooping").size(), 1);
    QCOMPARE(ticks(h.f()), (QStringList{"LEVEL3", "移動指導", "BGM"}));
    QCOMPARE(h.s().LEVEL, 3);
    QCOMPARE(h.f().pos(), at);
    QVERIFY(h.messages.empty());
}

void MenuTest::soundWarningOncePerStartUp_data() {
    QTest::addColumn<int>("sound");
    QTest::addRow("the device cannot be opened") << static_cast<int>(Sound::FailingFake);
    QTest::addRow("no library file") << static_cast<int>(Sound::NoLibraryFile);
}

void MenuTest::soundWarningOncePerStartUp() {
    QFETCH(int, sound);
    Harness h(static_cast<Sound>(sound));
    const QString warning =
        QStringLiteral("Direct Soundインターフェースが作成できません。 | ZUBEKI.dll | OK | !");
    QCOMPARE(h.shown(), QStringList{warning});
    // The game plays on in silence.
    h.f().START->trigger();
    h.move(3, 7, 3, 6);
    QCOMPARE(h.s().BOARD[3][6], SITA_ROOK);
    h.f().VER->trigger();
    h.f().Form_Load();
    QCOMPARE(h.shown().count(warning), 2);
    QVERIFY(FakeSound::only("dsCreateDSB").isEmpty());
}

void MenuTest::quitting_data() {
    QTest::addColumn<QString>("how");
    QTest::addRow("Escape") << "escape";
    QTest::addRow("Escape after a menu was opened") << "menu";
    QTest::addRow("closing the window") << "close";
    QTest::addRow("終わり") << "owari";
}

void MenuTest::quitting() {
    QFETCH(QString, how);
    Harness h;
    h.f().show();
    h.f().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.f()));
    h.forget();
    QTest::keyClick(h.f().windowHandle(), Qt::Key_A); // any other key does nothing
    QTest::keyClick(h.f().windowHandle(), Qt::Key_Return);
    QCOMPARE(h.ends, 0);
    if (how == QLatin1String("menu")) {
        h.f().TAIKYOKU->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(h.f().TAIKYOKU));
        h.f().TAIKYOKU->close();
        h.f().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.f()));
    }
    if (how == QLatin1String("escape") || how == QLatin1String("menu"))
        QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
    else if (how == QLatin1String("close"))
        h.f().close();
    else
        h.f().OWARI->trigger();
    QCOMPARE(h.ends, 1);
    QVERIFY(h.f().ended());
    QCOMPARE(FakeSound::lines(), freeAndTerminate());
    QVERIFY(h.messages.empty());
    // A second request does not end it twice.
    h.f().close();
    QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
    QCOMPARE(h.ends, 1);
}

void MenuTest::closingDuringTheComputersPause() {
    Harness h;
    h.f().show();
    h.f().SENTE->trigger();
    h.forget();
    // The window is closed while the computer pauses after its move: the program ends at
    // once, and nothing after that waits, asks or ends it again.
    h.onWait = [&h] {
        if (h.waits.back() == 0.5) h.f().close();
    };
    h.move(1, 7, 1, 4);
    QCOMPARE(h.ends, 1);
    QVERIFY(h.f().ended());
    // The human move's six blinks, then the computer's pause; its blinks never come.
    const std::vector<double> waits{0.15, 0.15, 0.15, 0.15, 0.15, 0.15, 0.5};
    QCOMPARE(h.waits, waits);
    QVERIFY(h.messages.empty());
    QCOMPARE(FakeSound::only("dsTerminate").size(), 1);
    h.press(1, 4);
    QCOMPARE(h.ends, 1);
}

QTEST_MAIN(MenuTest)
#include "menu_test.moc"
