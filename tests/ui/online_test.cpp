// 通信対局 between two windows in one process through a real server: a game from the start
// played by presses to its capture, both windows writing the same record; a draw offer
// refused and a resignation; a lost connection resumed by itself; what is refused while a
// game online goes on; and a window that is the server itself.
#include "harness.h"

#include "server/server.h"
#include "server/store.h"
#include "ui/online_play.h"

#include <QFile>
#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// LEVEL4 against itself from the start (zubeki-cli selfplay --seed 3 --level 4 --nodes 3000,
// its first game): the upper side surrounds a group at move 18, two moves promoting on the way.
const char* const kGame[] = {"7i4i", "2c6g",  "7h6i", "6g7f",  "8g7h", "1b6g",
                             "7h9f", "6g7h+", "6i4g", "7f8g+", "9f5b", "3c3i",
                             "4i4h", "3b7f",  "5b4c", "3a3g",  "4g5f", "3g6g"};

struct ServerForTest {
    QTemporaryDir folder;
    server::SteadyClock clock;
    std::unique_ptr<server::Store> store;
    std::unique_ptr<server::Server> server;
    void start(quint16 port = 0) {
        std::string error;
        if (!store)
            store = server::Store::open((folder.path() + "/games.sqlite").toStdString(), error);
        server::ServerOptions o;
        o.port = port;
        o.maxFramesPerSecond = 1000;
        server = std::make_unique<server::Server>(*store, clock, o);
        QString why;
        QVERIFY2(server->start(why), qPrintable(why));
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(server->port()); }
};

// A window whose 通信対局 dialog answers `request`, its records in a folder of its own.
std::unique_ptr<Harness> window(OnlineRequest* request) {
    auto h = std::make_unique<Harness>(Sound::Fake, true, [request](Seams& s) {
        s.askOnline = [request](QWidget*, const OnlineRequest&) { return *request; };
    });
    h->f().setFolder(h->folder.path());
    return h;
}

bool shows(const Harness& h, const QString& text) {
    for (const Message& m : h.messages)
        if (m.text.contains(text)) return true;
    return false;
}

// A move as the two presses that make it: files count from the right, a promotion is pressed
// with the right button.
void play(Harness& h, const QString& move) {
    const int fx = 10 - move[0].digitValue(), fy = move[1].unicode() - 'a' + 1;
    const int tx = 10 - move[2].digitValue(), ty = move[3].unicode() - 'a' + 1;
    h.move(fx, fy, tx, ty, move.endsWith(QLatin1Char('+')) ? RIGHT_BUTTON : 1);
}

// Two windows in a game: `a` created it as the lower side, `b` joined.
struct Pair {
    OnlineRequest askA, askB;
    std::unique_ptr<Harness> a, b;
    Pair(const QString& address) {
        askA.name = QStringLiteral("下手さん");
        askA.server = address;
        askA.side = QStringLiteral("lower");
        askB = askA;
        askB.create = false;
        askB.name = QStringLiteral("upper");
        a = window(&askA);
        b = window(&askB);
        a->action("ONLINE_CREATE")->trigger();
        QTRY_VERIFY(!a->f().onlinePlay()->inviteCode().isEmpty());
        askB.code = a->f().onlinePlay()->inviteCode();
        b->action("ONLINE_JOIN")->trigger();
        QTRY_VERIFY(a->f().game().online() && b->f().game().online());
    }
};

class OnlineTest : public QObject {
    Q_OBJECT
  private slots:
    void aGameToItsEndAndTheSameRecordOnBothSides() {
        ServerForTest s;
        s.start();
        Pair p(s.address());
        QVERIFY(shows(*p.a, QStringLiteral("対局を始めます。あなたは下手です")));
        QVERIFY(shows(*p.b, QStringLiteral("対局を始めます。あなたは上手です")));
        QVERIFY(p.b->f().onlinePlay()->statusText().contains(QStringLiteral("下手さん")));
        int n = 0;
        for (const char* move : kGame) {
            Harness& mover = n % 2 == 0 ? *p.a : *p.b;
            Harness& other = n % 2 == 0 ? *p.b : *p.a;
            play(mover, QString::fromLatin1(move));
            ++n;
            QCOMPARE(mover.f().game().line().size(), static_cast<std::size_t>(n));
            QTRY_COMPARE(other.f().game().line().size(), static_cast<std::size_t>(n));
        }
        QTRY_VERIFY(shows(*p.a, QStringLiteral("あなたの負けです\r囲んで勝ち")));
        QTRY_VERIFY(shows(*p.b, QStringLiteral("あなたの勝ちです\r囲んで勝ち")));
        QVERIFY(!p.a->f().game().online());
        const QString ra = p.a->f().onlinePlay()->lastRecord();
        const QString rb = p.b->f().onlinePlay()->lastRecord();
        QVERIFY(ra.endsWith(QStringLiteral(".棋譜")));
        QFile fa(ra), fb(rb);
        QVERIFY(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
        const QByteArray bytes = fa.readAll();
        QCOMPARE(bytes, fb.readAll());
        QVERIFY(bytes.size() > 18 * 10);
        // The record panel reads it like any other.
        QVERIFY(p.a->f().File1_Click(QFileInfo(ra).fileName()));
        QCOMPARE(p.a->f().game().record().RECORD_LEN, 18);
    }

    void drawRefusedThenResignedAndRefusalsWhileOnline() {
        ServerForTest s;
        s.start();
        Pair p(s.address());
        // The board is not to be changed under a game online.
        for (const char* name : {"START", "SENTE", "GOTE", "HINT", "REPLAY", "AFTER", "CANCEL",
                                 "REVERSE", "MATTA", "KENTOU", "KIFU_READ"}) {
            p.a->messages.clear();
            p.a->action(name)->trigger();
            QVERIFY2(shows(*p.a, QStringLiteral("通信対局の間はできません")), name);
        }
        QVERIFY(p.a->f().game().online());
        // The upper side offers a draw; the lower side says no.
        p.a->answers = {Answer::No};
        p.b->f().onlinePlay()->offerDraw();
        QTRY_VERIFY(shows(*p.a, QStringLiteral("引き分けの申し出です")));
        QTRY_VERIFY(shows(*p.b, QStringLiteral("引き分けの申し出は断られました")));
        play(*p.a, QStringLiteral("9g9f"));
        QTRY_COMPARE(p.b->f().game().line().size(), std::size_t{1});
        // The upper side resigns (and says yes when asked whether it means to).
        p.b->answers = {Answer::Yes};
        p.b->f().onlinePlay()->resign();
        QTRY_VERIFY(shows(*p.a, QStringLiteral("あなたの勝ちです\r投了")));
        QTRY_VERIFY(shows(*p.b, QStringLiteral("あなたの負けです\r投了")));
        QVERIFY(!p.b->f().onlinePlay()->active());
    }

    void theServerGoesAndTheGameResumesByItself() {
        ServerForTest s;
        s.start();
        Pair p(s.address());
        play(*p.a, QStringLiteral("9g9f"));
        QTRY_COMPARE(p.b->f().game().line().size(), std::size_t{1});
        const quint16 port = s.server->port();
        s.server.reset();
        QTRY_VERIFY(p.a->f().onlinePlay()->statusText().contains(QStringLiteral("再接続中")));
        p.a->f().onlinePlay()->client().setRetryDelays(20, 100);
        p.b->f().onlinePlay()->client().setRetryDelays(20, 100);
        s.start(port);
        QTRY_VERIFY_WITH_TIMEOUT(
            p.b->f().onlinePlay()->client().state() == server::Client::State::Playing, 20000);
        play(*p.b, QStringLiteral("1c1d"));
        QTRY_COMPARE(p.a->f().game().line().size(), std::size_t{2});
        // Closing the window writes the game as far as it went.
        p.a->f().close();
        QVERIFY(QFileInfo::exists(p.a->f().onlinePlay()->lastRecord()));
    }

    void thisComputerIsTheServer() {
        OnlineRequest askA;
        askA.name = QStringLiteral("ホスト");
        askA.server = QStringLiteral("no such server");
        askA.side = QStringLiteral("lower");
        auto a = window(&askA);
        a->action("ONLINE_CREATE")->trigger();
        QVERIFY(shows(*a, QStringLiteral("サーバのアドレスが正しくありません")));
        // The window runs the server itself (here on a free port, its games in a folder of the
        // test's), and a friend joins at its address.
        QTemporaryDir own;
        a->f().onlinePlay()->setOwnServerPort(0);
        a->f().onlinePlay()->setOwnServerFolder(own.path());
        askA.thisComputer = true;
        a->action("ONLINE_CREATE")->trigger();
        QTRY_VERIFY(!a->f().onlinePlay()->inviteCode().isEmpty());
        const quint16 port = a->f().onlinePlay()->ownServerPort();
        QVERIFY(port != 0);
        OnlineRequest askB;
        askB.create = false;
        askB.name = QStringLiteral("guest");
        askB.server = QStringLiteral("127.0.0.1:%1").arg(port);
        askB.code = a->f().onlinePlay()->inviteCode();
        auto b = window(&askB);
        b->action("ONLINE_JOIN")->trigger();
        QTRY_VERIFY(a->f().game().online() && b->f().game().online());
        play(*a, QStringLiteral("9g9f"));
        QTRY_COMPARE(b->f().game().line().size(), std::size_t{1});
        QVERIFY(QFileInfo::exists(own.path() + QStringLiteral("/zubeki-window-server.sqlite")));
    }
};

} // namespace

QTEST_MAIN(OnlineTest)
#include "online_test.moc"
