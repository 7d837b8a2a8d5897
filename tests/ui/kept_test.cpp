// What the issue of a new player added to the window: choices kept between runs (in a settings
// file of the test's own, never the player's), 待った against the computer, and 遊び方.
#include "tests/ui/harness.h"
#include "ui/app_setup.h"
#include "ui/help_window.h"
#include "ui/review_window.h"

#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QTranslator>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// A window whose choices live in `file`, started as the program starts it.
std::unique_ptr<Harness> run(const QString& file) {
    auto h = std::make_unique<Harness>(Sound::Fake, false, [file](Seams& s) {
        s.settings = [file] { return std::make_unique<QSettings>(file, QSettings::IniFormat); };
    });
    h->f().loadBeforeSound();
    return h;
}

QStringList ticked(Harness& h) {
    QStringList out;
    for (const char* name : {"LEVEL1", "LEVEL2", "LEVEL3", "LEVEL4", "SIDOU", "BGM"})
        if (h.action(name)->isChecked()) out << QLatin1String(name);
    return out;
}

// The player's first legal move from the position (the lower pieces), not promoting.
Step firstLowerMove(const Position& s) {
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy)
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    const int p = s.BOARD[fx][fy];
                    if (isLowerPiece(p) && s.移動チェック(fx, fy, tx, ty, p) == TRUE_CODE &&
                        s.調査_駒成(fx, fy, tx, ty, p) != TRUE_CODE)
                        return {fx, fy, tx, ty};
                }
    return {};
}

void speak(Language language) {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    installTranslations(*qApp, language);
}

} // namespace

class KeptTest : public QObject {
    Q_OBJECT
  private slots:
    void choicesAreKeptForTheNextRun();
    void aPlaceOffTheScreensIsIgnored();
    void theReviewWindowStandsWhereItWasLeft();
    void takeBackAgainstTheComputer();
    void howToPlay();
};

void KeptTest::choicesAreKeptForTheNextRun() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zubeki.ini"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("棋譜")));
    Harness plain(Sound::Fake, false);
    plain.f().loadBeforeSound();
    const QRect place(40, 60, 700, 650);
    {
        // A first run looks as a window that keeps nothing.
        auto h = run(file);
        QCOMPARE(ticked(*h), ticked(plain));
        QCOMPARE(h->f().geometry(), plain.f().geometry());
        QCOMPARE(h->f().folder(), plain.f().folder());
        h->action("LEVEL1")->trigger();
        h->action("SIDOU")->trigger();
        h->action("BGM")->trigger();
        h->f().setFolder(dir.path());
        auto* dirs = h->widget<QListWidget>("Dir1");
        const QList<QListWidgetItem*> sub =
            dirs->findItems(QStringLiteral("棋譜"), Qt::MatchExactly);
        QCOMPARE(sub.size(), 1);
        emit dirs->itemActivated(sub.front());
        h->f().setGeometry(place);
        h->action("OWARI")->trigger();
    }
    auto h = run(file);
    QCOMPARE(ticked(*h), QStringList{"LEVEL1"});
    QCOMPARE(h->session().LEVEL, 1);
    QCOMPARE(h->f().game().options().GUIDANCE, 0);
    QCOMPARE(h->f().geometry(), place);
    QCOMPARE(h->f().folder(), QDir(dir.filePath(QStringLiteral("棋譜"))).absolutePath());
    // The music stays off when the sounds are set up, and after a start-up again.
    h->f().Form_Load();
    QVERIFY(FakeSound::only("dsPlayLooping").isEmpty());
    QCOMPARE(ticked(*h), QStringList{"LEVEL1"});
}

void KeptTest::aPlaceOffTheScreensIsIgnored() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zubeki.ini"));
    Harness plain(Sound::Fake, false);
    plain.f().loadBeforeSound();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* name;
        QPoint position;
        bool kept;
    } cases[] = {
        {"on the screen", screen.topLeft() + QPoint(10, 20), true},
        {"right of every screen", QPoint(screen.right() + 50, 20), false},
        {"above every screen", QPoint(10, screen.top() - 100), false},
        {"title's middle off the screen", QPoint(screen.right() - 100, 20), false},
    };
    for (const auto& c : cases) {
        {
            QSettings s(file, QSettings::IniFormat);
            s.clear();
            s.setValue(QStringLiteral("window/position"), c.position);
            s.setValue(QStringLiteral("window/size"), QSize(600, 560));
            s.setValue(QStringLiteral("game/level"), 2);
        }
        auto h = run(file);
        const QRect expected = c.kept ? QRect(c.position, QSize(600, 560)) : plain.f().geometry();
        QVERIFY2(h->f().geometry() == expected, c.name);
        QVERIFY2(h->session().LEVEL == 2, c.name); // the other choices still count
    }
}

void KeptTest::theReviewWindowStandsWhereItWasLeft() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zubeki.ini"));
    auto review = [](Harness& h) {
        h.action("START")->trigger();
        h.move(1, 7, 1, 6);
        h.f().setReviewBudget(ThinkBudget{1000, 200, true, 1});
        h.action("KENTOU")->trigger();
        return h.f().reviewWindow();
    };
    const QRect left(30, 40, 520, 480);
    QRect first;
    {
        auto h = run(file);
        ReviewWindow* w = review(*h);
        QVERIFY(w);
        first = w->geometry();
        w->setGeometry(left);
        w->close(); // closed by the player: its place is kept
    }
    {
        auto h = run(file);
        QCOMPARE(review(*h)->geometry(), left);
        h->f().quit(); // the program ending closes it and keeps it too
    }
    // A place off every screen is not used: the window stands where it always has.
    QSettings(file, QSettings::IniFormat)
        .setValue(QStringLiteral("review/position"), QPoint(-4000, 40));
    auto h = run(file);
    QCOMPARE(review(*h)->geometry(), first);
}

void KeptTest::takeBackAgainstTheComputer() {
    Harness h;
    h.action("LEVEL1")->trigger();
    // Between two people 待った is refused with a box, as the other refusals are.
    h.action("START")->trigger();
    h.move(3, 7, 3, 6);
    h.forget();
    h.action("MATTA")->trigger();
    QCOMPARE(h.shown(), QStringList{"コンピュータとの対局でだけできます | 待った | OK"});
    QCOMPARE(FakeSound::only("dsPlay"), QStringList{"dsPlay 禁止.wav"});

    h.action("SENTE")->trigger();
    const Step first = firstLowerMove(h.s());
    h.move(first.fx, first.fy, first.tx, first.ty); // the computer answers
    const std::string board = h.board();
    const int count = h.s().MOVE_COUNT;
    const int len = h.f().game().record().RECORD_LEN;
    const QImage number = moveNumberSlot(h.image());
    const Step second = firstLowerMove(h.s());
    h.move(second.fx, second.fy, second.tx, second.ty);
    QCOMPARE(h.f().game().record().RECORD_LEN, len + 2);

    h.forget();
    h.action("MATTA")->trigger();
    QCOMPARE(h.board(), board);
    QCOMPARE(h.s().MOVE_COUNT, count);
    QCOMPARE(moveNumberSlot(h.image()), number);
    QCOMPARE(h.f().game().record().RECORD_POS, len);
    QCOMPARE(h.f().game().record().RECORD_LEN, len);
    QVERIFY(h.shown().isEmpty());
    // The computer waits for the player's move, whatever the window does meanwhile.
    QTest::qWait(50);
    QCOMPARE(h.f().game().record().RECORD_LEN, len);
    QCOMPARE(h.session().TURN, h.session().MAN_SIDE);
    h.move(second.fx, second.fy, second.tx, second.ty);
    QCOMPARE(h.f().game().record().RECORD_LEN, len + 2);
}

void KeptTest::howToPlay() {
    const struct {
        Language language;
        QString title, page, words;
    } cases[] = {
        {Language::Japanese, "遊び方", "qrc:/help/how_to_play.ja.html", "囲んで消す"},
        {Language::English, "How to Play", "qrc:/help/how_to_play.en.html", "Surround to capture"},
    };
    for (const auto& c : cases) {
        speak(c.language);
        Harness h;
        // The last caption of the bar, in sight at the window's natural size.
        h.f().show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
        QMenuBar* bar = h.f().menuBar();
        QCOMPARE(bar->actions().back(), h.menu("HELP")->menuAction());
        QVERIFY(bar->rect().contains(bar->actionGeometry(bar->actions().back())));
        // F1 opens it.
        h.f().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.f()));
        QTest::keyClick(h.f().windowHandle(), Qt::Key_F1);
        HelpWindow* help = h.f().helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), c.title);
        QCOMPARE(help->browser()->source().toString(), c.page);
        QVERIFY(help->browser()->toPlainText().contains(c.words));
        // Every picture of the page is built in.
        static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
        int pictures = 0;
        for (const auto& m : picture.globalMatch(help->browser()->toHtml())) {
            QVERIFY2(!QImage(QStringLiteral(":/help/") + m.captured(1)).isNull(),
                     qPrintable(m.captured(1)));
            ++pictures;
        }
        QCOMPARE(pictures, 4);
        QVERIFY(
            QGuiApplication::primaryScreen()->availableGeometry().contains(help->frameGeometry()));
        // Asked again, the same window comes forward.
        h.action("HOWTO")->trigger();
        QCOMPARE(h.f().findChildren<HelpWindow*>().size(), 1);
        QVERIFY(h.messages.empty());
    }
    speak(Language::Japanese);
}

QTEST_MAIN(KeptTest)
#include "kept_test.moc"
