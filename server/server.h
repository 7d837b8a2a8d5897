#pragma once

#include "server/game.h"
#include "server/protocol.h"
#include "server/store.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

class QWebSocket;
class QWebSocketServer;

// zubeki-server's network side: players connect over a WebSocket at /play, create and join
// games, and the server relays every move once the database holds it.
namespace zubeki::server {

struct ServerOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 7610;
    std::optional<QSslConfiguration> tls;
    std::int64_t graceMs = 60'000;
    std::int64_t idleMs = 120'000;
    int maxConnectionsPerAddress = 20;
    int maxFramesPerSecond = 20;
};

class Server : public QObject {
    Q_OBJECT
  public:
    Server(Store& store, const Clock& clock, ServerOptions options, QObject* parent = nullptr);
    ~Server() override;

    // Brings back every unfinished game from the database and starts listening; false with
    // the reason when the address cannot be taken.
    bool start(QString& error);
    quint16 port() const;
    int games() const { return static_cast<int>(games_.size()); }
    // Closes connections silent too long and ends games whose side to move ran out of time;
    // the server's timer calls it four times a second.
    void sweep();

  private:
    struct LiveGame;
    struct Waiting;
    struct Connection {
        QString address;
        QString name;
        bool greeted = false;
        std::deque<std::int64_t> recent; // when the last frames arrived
        std::int64_t lastHeard = 0;
        std::int64_t game = 0; // the live game this connection plays in, 0 for none
        Side side = Side::Lower;
        QString waiting; // the code of the game it created and waits on
    };

    void accept();
    void received(QWebSocket* socket, const QByteArray& frame);
    void dropped(QWebSocket* socket);
    void refuse(QWebSocket* socket, const QString& code, const QString& why);
    void refuseAndClose(QWebSocket* socket, const QString& code, const QString& why);
    bool tooFast(Connection& c);

    void hello(QWebSocket* socket, Connection& c, const QString& name);
    void create(QWebSocket* socket, Connection& c, const protocol::ClientMessage& m);
    void join(QWebSocket* socket, Connection& c, const QString& code);
    void resume(QWebSocket* socket, Connection& c, const QString& token);
    // A request of the player in its game: a move, resign, draw, abort or claim.
    void inGame(QWebSocket* socket, Connection& c, const protocol::ClientMessage& m);

    // Writes what the request did and only then tells the players; false when the database
    // would not take it (and then nothing changed).
    bool commit(LiveGame& g, OnlineGame& next, const Outcome& out);
    // What the players' requests did since the last flush is written in one transaction and
    // only then announced; when it cannot be written, the games go back to where they were
    // and each request is refused.
    void flush();
    void scheduleFlush();
    void announce(LiveGame& g, const Outcome& out);
    void finish(std::int64_t id);
    void sendStart(QWebSocket* socket, const LiveGame& g, Side side, const QString& token);
    void bind(QWebSocket* socket, LiveGame& g, Side side);
    QString newCode() const;

    Store& store_;
    const Clock& clock_;
    ServerOptions options_;
    std::unique_ptr<QWebSocketServer> server_;
    QTimer sweeper_;
    // Node-based: a connection stays where it is while others come and go under it (a socket
    // closed while a frame of another is handled may leave at once).
    std::unordered_map<QWebSocket*, Connection> connections_;
    QHash<QString, int> perAddress_;
    std::map<QString, std::unique_ptr<Waiting>> waiting_;
    std::map<std::int64_t, std::unique_ptr<LiveGame>> games_;
    QHash<QString, std::int64_t> byToken_; // token hash -> game
    struct Pending;
    std::vector<Pending> pending_;
    bool flushScheduled_ = false;
};

} // namespace zubeki::server
