// The real zubeki-server killed with SIGKILL in the middle of a game and started again over
// the same database: the game goes on with every move that was announced.

#include "harness.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSslError>
#include <QTcpServer>

#include <sqlite3.h>

namespace zubeki::server::test {
namespace {

class RealServer {
  public:
    RealServer(const QString& db, quint16 port, const QStringList& more = {}) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(ZUBEKI_SERVER_PROGRAM),
                       QStringList{QStringLiteral("--port"), QString::number(port),
                                   QStringLiteral("--db"), db} +
                           more);
        // It says where it listens once it does.
        pump([this] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; });
        banner_ = QString::fromUtf8(process_.readLine());
    }
    ~RealServer() {
        process_.kill();
        process_.waitForFinished();
    }
    void killHard() {
        process_.kill(); // SIGKILL
        process_.waitForFinished();
    }
    const QString& banner() const { return banner_; }

  private:
    QProcess process_;
    QString banner_;
};

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

int movesInDatabase(const QString& db) {
    sqlite3* handle = nullptr;
    int count = -1;
    if (sqlite3_open_v2(db.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK)
        sqlite3_exec(
            handle, "SELECT count(*) FROM moves",
            [](void* into, int, char** values, char**) {
                *static_cast<int*>(into) = std::atoi(values[0]);
                return 0;
            },
            &count, nullptr);
    sqlite3_close(handle);
    return count;
}

TEST(KilledServer, EveryAnnouncedMoveIsThereAfterARestart) {
    QTemporaryDir folder;
    const QString db = folder.path() + QStringLiteral("/games.sqlite");
    const quint16 port = freePort();
    const QStringList played{"9g9f", "3c3d", "9f9e", "3d3e", "9e9d", "3e3f"};
    QString upperToken, lowerToken;
    {
        RealServer server(db, port);
        ASSERT_TRUE(server.banner().contains(QStringLiteral("listening")))
            << server.banner().toStdString();
        Player lower(port, nullptr), upper(port, nullptr);
        lower.send(protocol::hello(QStringLiteral("lower")));
        upper.send(protocol::hello(QStringLiteral("upper")));
        lower.send(protocol::create(QStringLiteral("lower")));
        upper.send(protocol::join(lower.next(QStringLiteral("created")).value(u"code").toString()));
        upperToken = upper.next(QStringLiteral("start")).value(u"token").toString();
        lowerToken = lower.next(QStringLiteral("start")).value(u"token").toString();
        for (int i = 0; i < played.size(); ++i) {
            (i % 2 ? upper : lower).send(protocol::move(played[i]));
            // Announced: so it is in the database.
            for (Player* each : {&lower, &upper})
                ASSERT_EQ(each->next(QStringLiteral("moved")).value(u"move").toString(), played[i]);
        }
        server.killHard();
    }
    EXPECT_EQ(movesInDatabase(db), played.size());

    RealServer again(db, port);
    EXPECT_TRUE(again.banner().contains(QStringLiteral("1 games going on")))
        << again.banner().toStdString();
    Player upper(port, nullptr);
    upper.send(protocol::hello(QStringLiteral("upper")));
    upper.send(protocol::resume(upperToken));
    const QJsonObject start = upper.next(QStringLiteral("start"));
    QStringList moves;
    for (const QJsonValue& v : start.value(u"moves").toArray()) moves << v.toString();
    EXPECT_EQ(moves, played);
    Player lower(port, nullptr);
    lower.send(protocol::hello(QStringLiteral("lower")));
    lower.send(protocol::resume(lowerToken));
    lower.send(protocol::move(QStringLiteral("7g7f")));
    EXPECT_EQ(upper.next(QStringLiteral("moved")).value(u"n").toInt(), played.size() + 1);
}

// With a certificate and its key the server speaks wss://, and only that.
TEST(RealServerTls, SpeaksWssWithTheCertificateItIsGiven) {
    QTemporaryDir folder;
    const QString cert = folder.path() + QStringLiteral("/cert.pem"),
                  key = folder.path() + QStringLiteral("/key.pem");
    const int made = QProcess::execute(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
         QStringLiteral("-out"), cert, QStringLiteral("-days"), QStringLiteral("2"),
         QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")});
    if (made != 0) GTEST_SKIP() << "openssl could not make a certificate here";
    const quint16 port = freePort();
    RealServer server(folder.path() + QStringLiteral("/games.sqlite"), port,
                      {QStringLiteral("--cert"), cert, QStringLiteral("--key"), key});
    ASSERT_TRUE(server.banner().contains(QStringLiteral("wss://")))
        << server.banner().toStdString();

    QWebSocket socket;
    QObject::connect(&socket, &QWebSocket::sslErrors, [&socket](const QList<QSslError>&) {
        socket.ignoreSslErrors(); // our own certificate, signed by no one
    });
    QString answer;
    QObject::connect(&socket, &QWebSocket::textMessageReceived,
                     [&answer](const QString& text) { answer = text; });
    QObject::connect(&socket, &QWebSocket::connected,
                     [&socket] { socket.sendTextMessage(QString::fromUtf8(protocol::ping())); });
    socket.open(QUrl(QStringLiteral("wss://127.0.0.1:%1/play").arg(port)));
    EXPECT_TRUE(pump([&answer] { return !answer.isEmpty(); }));
    EXPECT_EQ(answer, QStringLiteral(R"({"t":"pong"})"));

    // Plain ws:// to the same port gets no game.
    Player plain(port, nullptr);
    plain.send(protocol::ping());
    EXPECT_TRUE(plain.next().isEmpty());

    // A key that is not one is refused before the server listens.
    QFile bad(key);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a key\n");
    bad.close();
    EXPECT_EQ(
        QProcess::execute(QStringLiteral(ZUBEKI_SERVER_PROGRAM),
                          {QStringLiteral("--port"), QString::number(freePort()),
                           QStringLiteral("--db"), folder.path() + QStringLiteral("/b.sqlite"),
                           QStringLiteral("--cert"), cert, QStringLiteral("--key"), key}),
        1);
}

} // namespace
} // namespace zubeki::server::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
