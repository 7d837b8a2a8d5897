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
    for (QAction* a : {action(f, "LEVEL1"), action(f, "LEVEL2"), action(f, "LEVEL3"),
                       action(f, "LEVEL4"), action(f, "SIDOU"), action(f, "BGM")})
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
    void soundsWaitForTheFirstPaint_data();
    void soundsWaitForTheFirstPaint();
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
             (QStringList{"対局", "局面", "戻", "進", "棋譜", "ｵﾌﾟｼｮﾝ", "その他", "ヘルプ"}));
    const QList<QAction*> bar = f.menuBar()->actions();
    QCOMPARE(bar[0]->menu(), menu(f, "TAIKYOKU"));
    QCOMPARE(bar[1]->menu(), menu(f, "STOP"));
    QCOMPARE(bar[2], action(f, "REPLAY"));
    QCOMPARE(bar[3], action(f, "AFTER"));
    QCOMPARE(bar[4]->menu(), menu(f, "KIFU"));
    QCOMPARE(bar[5]->menu(), menu(f, "OPTION"));
    QCOMPARE(bar[6], action(f, "VER"));
    QCOMPARE(bar[7]->menu(), menu(f, "HELP"));
    QCOMPARE(captions(menu(f, "TAIKYOKU")->actions()),
             (QStringList{"対局(人間)", "対局(COM)", "COM対局ﾚﾍﾞﾙ", "通信対局", "終わり"}));
    QCOMPARE(menu(f, "TAIKYOKU")->actions()[0]->menu(), menu(f, "MATCH_MAN"));
    QCOMPARE(menu(f, "TAIKYOKU")->actions()[1]->menu(), menu(f, "START2"));
    QCOMPARE(menu(f, "TAIKYOKU")->actions()[2]->menu(), menu(f, "LEVEL"));
    QCOMPARE(menu(f, "TAIKYOKU")->actions()[3]->menu(), menu(f, "ONLINE"));
    QCOMPARE(menu(f, "TAIKYOKU")->actions()[4], action(f, "OWARI"));
    // Each menu's items by their game names, and the captions they show.
    const struct {
        const char* menu;
        std::vector<const char*> items;
        QStringList captions;
    } menus[] = {
        {"MATCH_MAN", {"START"}, {"スタート"}},
        {"START2", {"SENTE", "GOTE"}, {"先手", "後手"}},
        {"LEVEL",
         {"LEVEL1", "LEVEL2", "LEVEL3", "LEVEL4"},
         {"LEVEL1", "LEVEL2", "LEVEL3", "LEVEL4"}},
        {"STOP",
         {"CANCEL", "REVERSE", "MATTA", "STOP_EDIT_SEPARATOR", "EDIT", "COPY", "PASTE"},
         {"最初", "反転", "待った", "編集", "局面をコピー", "局面を貼り付け"}},
        {"KIFU", {"KIFU_READ", "KIFU_WRITE", "KENTOU"}, {"読込", "書込", "検討"}},
        {"OPTION", {"SIDOU", "BGM", "HINT"}, {"移動指導", "BGM", "ヒント"}},
        {"HELP", {"HOWTO"}, {"遊び方"}},
        {"ONLINE", {"ONLINE_CREATE", "ONLINE_JOIN"}, {"作成", "参加"}},
    };
    for (const auto& m : menus) {
        QList<QAction*> items;
        for (const char* name : m.items) items << action(f, name);
        QCOMPARE(menu(f, m.menu)->actions(), items);
        QCOMPARE(captions(menu(f, m.menu)->actions()), m.captions);
    }
    for (const char* name :
         {"TAIKYOKU", "MATCH_MAN", "START2", "LEVEL", "STOP", "KIFU", "OPTION", "HELP"})
        for (QAction* a : menu(f, name)->actions()) QVERIFY(a->isEnabled());
    // Only the levels and the two options carry a tick; nothing on the bar itself does.
    QStringList tickable;
    for (const auto& m : menus)
        for (const char* name : m.items)
            if (action(f, name)->isCheckable()) tickable << QLatin1String(name);
    for (QAction* a : bar)
        if (a->isCheckable()) tickable << a->objectName();
    QCOMPARE(tickable, (QStringList{"LEVEL1", "LEVEL2", "LEVEL3", "LEVEL4", "SIDOU", "BGM"}));
}

void MenuTest::startUp() {
    Harness h;
    QStringList expected{QStringLiteral("dsInitialize")};
    for (int i = 0; i < 5; ++i) expected << QStringLiteral("dsCreateDSB 3 ") + kWaveNames[i];
    expected << QStringLiteral("dsCreateDSB 1 BGM.wav") << QStringLiteral("dsPlayLooping BGM.wav");
    QCOMPARE(FakeSound::lines(), expected);
    QCOMPARE(ticks(h.f()), (QStringList{"LEVEL3", "移動指導", "BGM"}));
    QCOMPARE(h.session().LEVEL, 3);
    QCOMPARE(h.f().game().options().GUIDANCE, 1);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, COLOUR_WHITE);
    QCOMPARE(h.session().TURN, NO_SIDE);
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
    QAction* items[] = {h.action("LEVEL1"), h.action("LEVEL2"), h.action("LEVEL3"),
                        h.action("LEVEL4")};
    QAction* item = items[level - 1];
    const QImage atStart = h.image().copy();
    item->trigger();
    QCOMPARE(h.session().LEVEL, level);
    for (QAction* a : items) QCOMPARE(a->isChecked(), a == item);
    QCOMPARE(h.image() != atStart, level != 3); // a new level is shown beside the board
    // The ticked item again changes nothing.
    const QImage shown = h.image().copy();
    item->trigger();
    QCOMPARE(h.session().LEVEL, level);
    for (QAction* a : items) QCOMPARE(a->isChecked(), a == item);
    QCOMPARE(h.image(), shown);
    // And back to another level.
    items[level % 4]->trigger();
    QCOMPARE(h.session().LEVEL, level % 4 + 1);
    QCOMPARE(ticks(h.f()).filter(QStringLiteral("LEVEL")), QStringList{items[level % 4]->text()});
}

void MenuTest::guidanceOffAndOn() {
    Harness h;
    h.action("START")->trigger();
    h.press(3, 7); // its reach is outlined in white
    QCOMPARE(colourName(leftEdge(h.image(), 3, 6)), colourName(kWhite));
    h.action("SIDOU")->trigger();
    QVERIFY(!h.action("SIDOU")->isChecked());
    QCOMPARE(h.f().game().options().GUIDANCE, 0);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, OUTLINE_COLOUR);
    QCOMPARE(colourName(leftEdge(h.image(), 3, 6)), colourName(kGreen));
    QCOMPARE(colourName(topEdge(h.image(), 3, 7)), colourName(kGreen));
    const QImage off = h.image().copy();
    h.action("SIDOU")->trigger();
    QVERIFY(h.action("SIDOU")->isChecked());
    QCOMPARE(h.f().game().options().GUIDANCE, 1);
    QCOMPARE(h.f().game().options().GUIDE_COLOUR, COLOUR_WHITE);
    QCOMPARE(h.image(), off); // switching on redraws nothing
}

void MenuTest::musicToggle() {
    Harness h;
    h.forget();
    h.action("BGM")->trigger();
    QVERIFY(!h.action("BGM")->isChecked());
    QCOMPARE(FakeSound::loopingStreams(), 0);
    h.action("BGM")->trigger();
    QVERIFY(h.action("BGM")->isChecked());
    QCOMPARE(FakeSound::loopingStreams(), 1);
    h.action("BGM")->trigger();
    QCOMPARE(FakeSound::lines(),
             (QStringList{"dsStop BGM.wav", "dsPlayLooping BGM.wav", "dsStop BGM.wav"}));
}

void MenuTest::versionBox() {
    Harness h;
    h.forget();
    h.action("VER")->trigger();
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
    h.action("BGM")->trigger();
    h.action("LEVEL1")->trigger();
    h.action("SIDOU")->trigger();
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
    QCOMPARE(h.session().LEVEL, 3);
    QCOMPARE(h.f().pos(), at);
    QVERIFY(h.messages.empty());
}

void MenuTest::soundsWaitForTheFirstPaint_data() {
    QTest::addColumn<QString>("before");     // what happens before the window is painted
    QTest::addColumn<QStringList>("sounds"); // the sound calls after the first paint
    const QStringList setUp = {"dsInitialize",           "dsCreateDSB 3 その他.wav",
                               "dsCreateDSB 3 禁止.wav", "dsCreateDSB 3 駒打音.wav",
                               "dsCreateDSB 3 終局.wav", "dsCreateDSB 3 消滅.wav",
                               "dsCreateDSB 1 BGM.wav",  "dsPlayLooping BGM.wav"};
    QTest::addRow("nothing: set up after the paint") << "" << setUp;
    QTest::addRow("a sound asked first sets them up at once")
        << "version" << (setUp + QStringList{"dsPlay その他.wav"});
    QTest::addRow("the music turned off first")
        << "music" << (setUp + QStringList{"dsStop BGM.wav"});
    QTest::addRow("quitting first: nothing to set up") << "quit" << QStringList{};
}

void MenuTest::soundsWaitForTheFirstPaint() {
    QFETCH(QString, before);
    QFETCH(QStringList, sounds);
    Harness h(Sound::Fake, false);
    h.f().loadBeforeSound();
    QVERIFY(FakeSound::lines().isEmpty());
    QCOMPARE(ticks(h.f()), (QStringList{"LEVEL3", "移動指導", "BGM"}));
    if (before == "version") h.action("VER")->trigger();
    if (before == "music") h.action("BGM")->trigger();
    if (before == "quit") h.f().quit();
    h.f().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
    QTRY_COMPARE(FakeSound::lines(), sounds);
    QTest::qWait(50); // nothing more comes after the paint
    QCOMPARE(FakeSound::lines(), sounds);
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
    h.action("START")->trigger();
    h.move(3, 7, 3, 6);
    QCOMPARE(h.s().BOARD[3][6], SITA_ROOK);
    h.action("VER")->trigger();
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
        h.menu("TAIKYOKU")->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(h.menu("TAIKYOKU")));
        h.menu("TAIKYOKU")->close();
        h.f().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.f()));
    }
    if (how == QLatin1String("escape") || how == QLatin1String("menu"))
        QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
    else if (how == QLatin1String("close"))
        h.f().close();
    else
        h.action("OWARI")->trigger();
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
    h.action("SENTE")->trigger();
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
