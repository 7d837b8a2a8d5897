#include "server/client.h"

#include <algorithm>

namespace zubeki::server {

namespace {
constexpr int kPingMs = 30'000;
constexpr quint16 kDefaultPort = 7610;
} // namespace

Client::Client(QObject* parent) : QObject(parent) {
    connect(&socket_, &QWebSocket::connected, this, &Client::connected);
    connect(&socket_, &QWebSocket::disconnected, this, &Client::disconnected);
    // (Qt 6.4 names the signal error; later versions errorOccurred.)
    connect(&socket_, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            [this] {
                // A connection that never opened reports no disconnection of its own.
                if (socket_.state() == QAbstractSocket::UnconnectedState) disconnected();
            });
    connect(&socket_, &QWebSocket::textMessageReceived, this, &Client::frame);
    ping_.setInterval(kPingMs);
    connect(&ping_, &QTimer::timeout, this, [this] { send(protocol::ping()); });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &Client::open);
}

Client::~Client() {
    // Closing in the destructor would call back into a half-destroyed object.
    socket_.disconnect(this);
    socket_.abort();
}

QUrl Client::addressOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char(' '))) return {};
    QUrl url(t.contains(QLatin1String("://")) ? t : QStringLiteral("ws://") + t, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"ws" && url.scheme() != u"wss") || !url.userInfo().isEmpty())
        return {};
    if (url.port() == -1 && !t.contains(QLatin1String("://"))) url.setPort(kDefaultPort);
    if (url.path().isEmpty() || url.path() == u"/") url.setPath(QStringLiteral("/play"));
    return url;
}

void Client::create(const QUrl& server, const QString& name, const QString& side, qint64 initialS,
                    qint64 incrementS, const QString& position) {
    url_ = server;
    name_ = name;
    request_ = protocol::create(side, position, initialS, incrementS);
    token_.clear();
    open();
}

void Client::join(const QUrl& server, const QString& name, const QString& code) {
    url_ = server;
    name_ = name;
    request_ = protocol::join(code);
    token_.clear();
    open();
}

void Client::resume(const QUrl& server, const QString& name, const QString& token) {
    url_ = server;
    name_ = name;
    token_ = token;
    request_ = protocol::resume(token);
    open();
}

void Client::move(const QString& m) {
    send(protocol::move(m));
}
void Client::resign() {
    send(protocol::resign());
}
void Client::offerDraw() {
    send(protocol::offerDraw());
}
void Client::answerDraw(bool accept) {
    send(protocol::answerDraw(accept));
}
void Client::abort() {
    send(protocol::abort());
}
void Client::claim() {
    send(protocol::claim());
}

void Client::leave() {
    retry_.stop();
    ping_.stop();
    const State was = state_;
    state_ = State::Idle; // the close below is then no loss
    live_ = false;
    socket_.close();
    if (was != State::Idle) emit stateChanged(state_);
}

void Client::setRetryDelays(int firstMs, int mostMs) {
    firstRetryMs_ = firstMs;
    mostRetryMs_ = mostMs;
}

void Client::open() {
    if (state_ != State::Reconnecting) setState(State::Connecting);
    socket_.abort();
    live_ = true;
    socket_.open(url_);
}

void Client::connected() {
    send(protocol::hello(name_));
    ping_.start();
}

void Client::disconnected() {
    // A lost connection may be reported twice (an error, then the disconnection).
    if (!live_) return;
    live_ = false;
    ping_.stop();
    switch (state_) {
    case State::Playing:
    case State::Reconnecting:
        setState(State::Reconnecting);
        retry();
        break;
    case State::Connecting:
    case State::Waiting:
        // Nothing to come back to: a game waiting for its friend lives only on this connection.
        setState(State::Idle);
        emit failed(QStringLiteral("unreachable"), socket_.errorString());
        break;
    case State::Idle:
    case State::Ended:
        break;
    }
}

void Client::retry() {
    const int delay = std::min(mostRetryMs_, firstRetryMs_ << std::min(tries_, 4));
    ++tries_;
    retry_.start(delay);
}

void Client::frame(const QString& text) {
    using Kind = protocol::ServerMessage::Kind;
    const std::optional<protocol::ServerMessage> m = protocol::readServerMessage(text.toUtf8());
    if (!m) return; // a frame of a kind this client does not know
    switch (m->kind) {
    case Kind::Welcome:
        tries_ = 0;
        send(request_);
        break;
    case Kind::Created:
        setState(State::Waiting);
        break;
    case Kind::Start:
        token_ = m->start.token;
        request_ = protocol::resume(token_);
        setState(State::Playing);
        break;
    case Kind::End:
        setState(State::Ended);
        break;
    case Kind::Error:
        if (state_ == State::Connecting || state_ == State::Reconnecting) {
            // The server would not have the game: a wrong code, or a game that ended while
            // this side was away.
            leave();
            emit failed(m->code, m->message);
            return;
        }
        break;
    default:
        break;
    }
    emit received(*m);
    if (m->kind == Kind::End) {
        ping_.stop();
        live_ = false;
        socket_.close();
    }
}

void Client::send(const QByteArray& frame) {
    if (socket_.state() == QAbstractSocket::ConnectedState)
        socket_.sendTextMessage(QString::fromUtf8(frame));
}

void Client::setState(State s) {
    if (s == state_) return;
    state_ = s;
    emit stateChanged(s);
}

} // namespace zubeki::server
