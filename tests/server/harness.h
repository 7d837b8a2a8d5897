#pragma once

// A server on a free port with a database in a fresh folder and a clock the test moves, and
// players that talk to it over real WebSockets.

#include "server/protocol.h"
#include "server/server.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace zubeki::server::test {

struct FakeClock final : Clock {
    std::int64_t now = 1'000'000;
    std::int64_t nowMs() const override { return now; }
};

// Runs the event loop until `done` holds or five seconds have passed (a fault, not a figure).
inline bool pump(const std::function<bool()>& done) {
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(5000);
    for (;;) {
        if (done()) return true;
        if (!limit.isActive()) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

class Player {
  public:
    Player(quint16 port, FakeClock* clock, const QString& path = QStringLiteral("/play"))
        : clock_(clock) {
        QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const std::optional<QJsonObject> o = protocol::readObject(text.toUtf8());
            if (qEnvironmentVariableIsSet("ZUBEKI_TEST_FRAMES")) qInfo("<- %s", qPrintable(text));
            inbox_.push_back(o.value_or(QJsonObject{{"t", "not-json"}}));
        });
        QObject::connect(&socket_, &QWebSocket::disconnected, [this] { closed_ = true; });
        socket_.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(path)));
        pump([this] { return closed_ || socket_.state() == QAbstractSocket::ConnectedState; });
    }
    // Each frame moves the clock on a little, so no test trips the rate limit by accident.
    void send(const QByteArray& frame) {
        if (clock_) clock_->now += 60;
        socket_.sendTextMessage(QString::fromUtf8(frame));
    }
    void sendBinary(const QByteArray& bytes) { socket_.sendBinaryMessage(bytes); }
    // The next frame of kind `t`, skipping others; an empty object when none comes.
    QJsonObject next(const QString& t) {
        QJsonObject found;
        pump([&] {
            while (!inbox_.empty()) {
                const QJsonObject o = inbox_.front();
                inbox_.pop_front();
                if (o.value(u"t").toString() == t) {
                    found = o;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    QJsonObject next() {
        QJsonObject o;
        if (pump([&] { return !inbox_.empty(); })) {
            o = inbox_.front();
            inbox_.pop_front();
        }
        return o;
    }
    bool waitClosed() {
        return pump([this] { return closed_; });
    }
    bool closed() const { return closed_; }
    void drop() {
        socket_.abort();
        closed_ = true;
    }
    void clear() { inbox_.clear(); }
    QWebSocket& socket() { return socket_; }

  private:
    FakeClock* clock_;
    QWebSocket socket_;
    std::deque<QJsonObject> inbox_;
    bool closed_ = false;
};

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override { restart(); }
    void restart(ServerOptions options = {}) {
        server_.reset();
        store_.reset();
        std::string error;
        store_ =
            Store::open((folder_.path() + QStringLiteral("/games.sqlite")).toStdString(), error);
        ASSERT_TRUE(store_) << error;
        options.port = 0;
        server_ = std::make_unique<Server>(*store_, clock_, options);
        QString why;
        ASSERT_TRUE(server_->start(why)) << why.toStdString();
    }
    std::unique_ptr<Player> player(const QString& name = {}) {
        auto p = std::make_unique<Player>(server_->port(), &clock_);
        if (!name.isEmpty()) {
            p->send(protocol::hello(name));
            EXPECT_EQ(p->next(QStringLiteral("welcome")).value(u"version").toInt(), 1);
        }
        return p;
    }
    // Two players in a game from `position` (the start when empty), the creator the lower side.
    struct Pair {
        std::unique_ptr<Player> lower, upper;
        QJsonObject lowerStart, upperStart;
    };
    Pair game(const QString& position = {}, qint64 initialS = -1) {
        Pair p{player(QStringLiteral("下手さん")), player(QStringLiteral("upper")), {}, {}};
        p.lower->send(protocol::create(QStringLiteral("lower"), position, initialS, 0));
        const QString code = p.lower->next(QStringLiteral("created")).value(u"code").toString();
        p.upper->send(protocol::join(code));
        p.lowerStart = p.lower->next(QStringLiteral("start"));
        p.upperStart = p.upper->next(QStringLiteral("start"));
        EXPECT_TRUE(p.lower->next(QStringLiteral("opponent")).value(u"connected").toBool());
        EXPECT_TRUE(p.upper->next(QStringLiteral("opponent")).value(u"connected").toBool());
        return p;
    }

    QTemporaryDir folder_;
    FakeClock clock_;
    std::unique_ptr<Store> store_;
    std::unique_ptr<Server> server_;
};

} // namespace zubeki::server::test
