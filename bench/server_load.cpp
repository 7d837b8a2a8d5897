// zubeki-server under load: N games at once between random movers through one server, each
// player on a WebSocket of its own. Reports how long a move takes to reach the other player
// (the relay latency, 50th and 99th percentile) and the server's peak memory. With --kill-at
// the server is killed with SIGKILL in the middle and started again: every player comes back
// with its token, and at the end every move any player heard of must be in the database.
//
//   zubeki_server_load --server PATH [--games N] [--seconds S] [--think-ms T] [--kill-at S]

#include "game/position.h"
#include "server/protocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace zubeki;

struct Settings {
    QString server;
    int games = 500;
    int seconds = 30;
    int thinkMs = 1000;
    int killAt = 0;
};

struct Seat;
struct Table {
    std::array<Seat*, 2> seats{}; // [0] creates the games, [1] joins them
    QHash<int, qint64> sentAt;    // the ply number -> when its mover sent it
};

// One player: its connection, the game it is in and every move it has heard of.
struct Seat {
    Table* table = nullptr;
    bool creator = false;
    std::unique_ptr<QWebSocket> socket;
    QString token;
    qint64 game = 0;
    Side side = Side::Lower;
    Position position;
    QStringList moves;
    int thought = 0; // which of this player's thoughts is the one that counts
};

class Load : public QObject {
  public:
    explicit Load(Settings s) : settings_(std::move(s)), random_(7) {}

    int run() {
        if (!startServer()) return 1;
        tables_.resize(settings_.games);
        seats_.resize(2 * settings_.games);
        for (int i = 0; i < settings_.games; ++i)
            for (int k = 0; k < 2; ++k) {
                Seat& seat = seats_[2 * i + k];
                seat.table = &tables_[i];
                seat.creator = k == 0;
                tables_[i].seats[k] = &seat;
            }
        clock_.start();
        openAll();
        QTimer::singleShot(settings_.seconds * 1000, [this] { finish(); });
        if (settings_.killAt > 0)
            QTimer::singleShot(settings_.killAt * 1000, [this] { killAndRestart(); });
        return QCoreApplication::exec();
    }

  private:
    bool startServer() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        db_ = folder_.path() + QStringLiteral("/load.sqlite");
        return launch();
    }

    bool launch() {
        server_ = std::make_unique<QProcess>();
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_->start(settings_.server,
                       {QStringLiteral("--port"), QString::number(port_), QStringLiteral("--db"),
                        db_, QStringLiteral("--max-per-address"),
                        QString::number(2 * settings_.games + 10)});
        if (!server_->waitForReadyRead(30000)) {
            std::fprintf(stderr, "zubeki_server_load: the server did not start\n");
            return false;
        }
        std::printf("%s", server_->readLine().constData());
        return true;
    }

    // Opens the players' connections a few at a time, as players arrive.
    void openAll() {
        auto next = std::make_shared<int>(0);
        auto* opener = new QTimer(this);
        connect(opener, &QTimer::timeout, this, [this, next, opener] {
            for (int k = 0; k < 40 && *next < static_cast<int>(seats_.size()); ++k)
                open(seats_[(*next)++]);
            if (*next >= static_cast<int>(seats_.size())) opener->deleteLater();
        });
        opener->start(10);
    }

    void open(Seat& seat) {
        seat.socket = std::make_unique<QWebSocket>();
        QWebSocket* socket = seat.socket.get();
        connect(socket, &QWebSocket::connected, this, [this, &seat] {
            send(seat, protocol::hello(QStringLiteral("load")));
            if (!seat.token.isEmpty())
                send(seat, protocol::resume(seat.token));
            else if (seat.creator)
                send(seat, protocol::create(QStringLiteral("random")));
        });
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, &seat](const QString& text) { received(seat, text.toUtf8()); });
        socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/play").arg(port_)));
    }

    void send(Seat& seat, const QByteArray& frame) {
        if (seat.socket && seat.socket->state() == QAbstractSocket::ConnectedState)
            seat.socket->sendTextMessage(QString::fromUtf8(frame));
    }

    void received(Seat& seat, const QByteArray& frame) {
        const std::optional<QJsonObject> o = protocol::readObject(frame);
        if (!o) return;
        const QString t = o->value(u"t").toString();
        if (t == u"created") {
            Seat& other = *seat.table->seats[1];
            send(other, protocol::join(o->value(u"code").toString()));
        } else if (t == u"start") {
            started(seat, *o);
        } else if (t == u"moved") {
            moved(seat, *o);
        } else if (t == u"end") {
            if (seat.creator) ++ended_;
            seat.token.clear();
            seat.game = 0;
            seat.table->sentAt.clear();
            if (seat.creator && running_) send(seat, protocol::create(QStringLiteral("random")));
        } else if (t == u"error") {
            if (errors_++ < 5)
                std::fprintf(stderr, "error: %s\n", qPrintable(o->value(u"message").toString()));
        }
    }

    void started(Seat& seat, const QJsonObject& o) {
        QStringList moves;
        for (const QJsonValue& v : o.value(u"moves").toArray()) moves << v.toString();
        // Back after the server's restart: what this player heard must all be there.
        if (seat.game != 0 && moves.mid(0, seat.moves.size()) != seat.moves) ++lost_;
        if (seat.game != 0) ++resumed_;
        seat.game = o.value(u"game").toInteger();
        seat.token = o.value(u"token").toString();
        seat.side = o.value(u"you").toString() == u"upper" ? Side::Upper : Side::Lower;
        seat.moves = moves;
        std::string why;
        seat.position = Position::fromText(o.value(u"position").toString().toStdString(), why)
                            .value_or(Position{});
        for (const QString& m : moves) {
            const std::optional<Move> move = seat.position.moveFromText(m.toStdString(), why);
            if (move) seat.position.play(*move);
        }
        think(seat);
    }

    void moved(Seat& seat, const QJsonObject& o) {
        const int n = o.value(u"n").toInt();
        seat.moves << o.value(u"move").toString();
        std::string why;
        if (const std::optional<Position> p =
                Position::fromText(o.value(u"position").toString().toStdString(), why))
            seat.position = *p;
        const Side by = o.value(u"by").toString() == u"upper" ? Side::Upper : Side::Lower;
        if (by != seat.side && seat.table->sentAt.contains(n)) {
            latencies_.push_back(clock_.nsecsElapsed() - seat.table->sentAt.take(n));
            ++relayed_;
        }
        think(seat);
    }

    // A random legal move after a random while, when it is this player's turn.
    void think(Seat& seat) {
        if (seat.position.SIDE != seat.side || seat.game == 0) return;
        const int delay = std::uniform_int_distribution<int>(settings_.thinkMs / 2,
                                                             settings_.thinkMs * 3 / 2)(random_);
        const qint64 game = seat.game;
        const int n = static_cast<int>(seat.moves.size());
        const int thought = ++seat.thought;
        QTimer::singleShot(delay, this, [this, &seat, game, n, thought] {
            if (!running_ || seat.game != game || seat.moves.size() != n || seat.thought != thought)
                return;
            LegalMoves legal;
            seat.position.legalMoves(legal);
            if (legal.size == 0 || legal.at[0].pass()) return;
            const Move& m =
                legal.at[std::uniform_int_distribution<int>(0, legal.size - 1)(random_)];
            seat.table->sentAt.insert(n + 1, clock_.nsecsElapsed());
            send(seat, protocol::move(QString::fromStdString(指し手文字列(m))));
        });
    }

    qint64 peakMemoryKb() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(server_->processId()));
        if (!status.open(QIODevice::ReadOnly)) return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        return 0;
    }

    // The server's processor time so far (user and system), in seconds.
    double cpuSeconds() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(server_->processId()));
        if (!stat.open(QIODevice::ReadOnly)) return 0;
        const QByteArray line = stat.readAll();
        // The fields after the program's name in parentheses; utime and stime are the 12th and
        // 13th.
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() < 13) return 0;
        return static_cast<double>(f[11].toLongLong() + f[12].toLongLong()) / 100.0;
    }

    void killAndRestart() {
        peakKb_ = std::max(peakKb_, peakMemoryKb());
        cpu_ += cpuSeconds();
        server_->kill();
        server_->waitForFinished();
        for (Seat& seat : seats_) {
            seat.socket->disconnect(this);
            seat.socket->abort();
            seat.table->sentAt.clear();
        }
        std::printf("killed the server with SIGKILL after %d s; starting it again\n",
                    settings_.killAt);
        if (!launch()) return QCoreApplication::exit(1);
        killed_ = true;
        openAll();
    }

    // Every move a player heard of, in the database.
    int missingFromDatabase() const {
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        int missing = 0;
        sqlite3_open_v2(db_.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(db, "SELECT move FROM moves WHERE game=? ORDER BY n", -1, &st, nullptr);
        for (const Seat& seat : seats_) {
            if (seat.game == 0) continue;
            QStringList stored;
            sqlite3_reset(st);
            sqlite3_bind_int64(st, 1, seat.game);
            while (sqlite3_step(st) == SQLITE_ROW)
                stored << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            for (int i = 0; i < seat.moves.size(); ++i)
                if (i >= stored.size() || stored[i] != seat.moves[i]) ++missing;
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return missing;
    }

    void finish() {
        running_ = false;
        peakKb_ = std::max(peakKb_, peakMemoryKb());
        cpu_ += cpuSeconds();
        server_->terminate();
        server_->waitForFinished();
        std::sort(latencies_.begin(), latencies_.end());
        const auto percentile = [this](double p) {
            if (latencies_.empty()) return 0.0;
            const auto i = static_cast<std::size_t>(p * static_cast<double>(latencies_.size() - 1));
            return static_cast<double>(latencies_[i]) / 1e6;
        };
        std::printf("games at once: %d, %d s, think %d ms a move (half to one and a half)\n",
                    settings_.games, settings_.seconds, settings_.thinkMs);
        std::printf("moves relayed: %lld (%.0f a second), games ended: %d, errors: %d\n",
                    static_cast<long long>(relayed_),
                    static_cast<double>(relayed_) / settings_.seconds, ended_, errors_);
        std::printf("relay latency: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", percentile(0.5),
                    percentile(0.99), percentile(1.0));
        std::printf(
            "server peak memory (VmHWM): %.1f MB; processor time %.1f s (%.0f%% of one core)\n",
            static_cast<double>(peakKb_) / 1024.0, cpu_, 100.0 * cpu_ / settings_.seconds);
        const int missing = missingFromDatabase();
        if (killed_)
            std::printf(
                "after the kill: %d players resumed, %d found a move they had heard of missing\n",
                resumed_, lost_);
        std::printf("moves heard of but missing from the database: %d\n", missing);
        QCoreApplication::exit(missing == 0 && lost_ == 0 ? 0 : 1);
    }

    Settings settings_;
    std::mt19937 random_;
    QTemporaryDir folder_;
    QString db_;
    quint16 port_ = 0;
    std::unique_ptr<QProcess> server_;
    std::vector<Table> tables_;
    std::vector<Seat> seats_;
    QElapsedTimer clock_;
    std::vector<qint64> latencies_;
    qint64 relayed_ = 0;
    qint64 peakKb_ = 0;
    double cpu_ = 0;
    int ended_ = 0;
    int errors_ = 0;
    int resumed_ = 0;
    int lost_ = 0;
    bool running_ = true;
    bool killed_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Settings s;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString& key = args[i];
        const QString& value = args[i + 1];
        if (key == u"--server")
            s.server = value;
        else if (key == u"--games")
            s.games = value.toInt();
        else if (key == u"--seconds")
            s.seconds = value.toInt();
        else if (key == u"--think-ms")
            s.thinkMs = value.toInt();
        else if (key == u"--kill-at")
            s.killAt = value.toInt();
    }
    if (s.server.isEmpty() || s.games < 1 || s.seconds < 1 || s.thinkMs < 2) {
        std::fprintf(
            stderr,
            "usage: zubeki_server_load --server PATH [--games N] [--seconds S] [--think-ms T] "
            "[--kill-at S]\n");
        return 2;
    }
    Load load(s);
    return load.run();
}
