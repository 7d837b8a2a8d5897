#pragma once

#include "server/protocol.h"

#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

#include <optional>

// A player's side of an online game: one connection to a server, the player's requests, and
// what the server says as signals. A connection lost during a game is opened again by itself
// (after 1, 2, 4, 8 and then every 15 seconds) and the game resumed with the player's token, so
// the player sees the whole game again, every move in it. Qt Core and Qt WebSockets only.
namespace zubeki::server {

class Client : public QObject {
    Q_OBJECT
  public:
    enum class State {
        Idle,         // no game and no connection
        Connecting,   // opening the connection and asking for the game
        Waiting,      // a game created, waiting for the friend to join
        Playing,      // in a game
        Reconnecting, // the connection lost in a game: trying again
        Ended         // the game is over
    };

    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // The server's address from what a player types: "host", "host:port", or a whole ws:// or
    // wss:// address; the port 7610 and the path /play when not given. Empty when it is none.
    static QUrl addressOf(const QString& text);

    // Opens the connection, greets the server as `name` and creates a game: side "lower",
    // "upper" or "random", `initialS` < 0 for no clock, `position` empty for the start.
    void create(const QUrl& server, const QString& name, const QString& side, qint64 initialS = -1,
                qint64 incrementS = 0, const QString& position = {});
    void join(const QUrl& server, const QString& name, const QString& code);
    // Comes back to a game with the token its start gave.
    void resume(const QUrl& server, const QString& name, const QString& token);

    // Requests in the game; nothing is sent while the connection is down.
    void move(const QString& move);
    void resign();
    void offerDraw();
    void answerDraw(bool accept);
    void abort();
    void claim();
    // Closes the connection for good: no reconnecting.
    void leave();

    State state() const { return state_; }
    QString token() const { return token_; }
    QUrl server() const { return url_; }
    // The time between tries after a lost connection, for tests.
    void setRetryDelays(int firstMs, int mostMs);

  signals:
    // Every message of the server, in order (a resumed game's start included).
    void received(const zubeki::protocol::ServerMessage& message);
    void stateChanged(zubeki::server::Client::State state);
    // The game could not be had: the server cannot be reached, or it refused the request
    // before a game began (a wrong code, say). `code` is the server's error code, or
    // "unreachable".
    void failed(const QString& code, const QString& why);

  private:
    void open();
    void connected();
    void disconnected();
    void frame(const QString& text);
    void send(const QByteArray& frame);
    void setState(State s);
    void retry();

    QWebSocket socket_;
    QTimer ping_;
    QTimer retry_;
    QUrl url_;
    QString name_;
    QByteArray request_; // create, join or resume: sent once the server has welcomed us
    QString token_;
    State state_ = State::Idle;
    bool live_ = false; // a connection opened whose loss has not been handled
    int tries_ = 0;
    int firstRetryMs_ = 1000;
    int mostRetryMs_ = 15000;
};

} // namespace zubeki::server
