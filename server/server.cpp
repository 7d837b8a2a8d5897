#include "server/server.h"

#include "game/position_text.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QWebSocket>
#include <QWebSocketServer>

namespace zubeki::server {

namespace {

// Letters and digits that cannot be mistaken for one another when read out: no I, L, O or U.
constexpr char kCodeAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kCodeGroups = 3; // three groups of four: 12 characters of 5 bits, 60 bits
constexpr int kCodeGroupLength = 4;
constexpr int kTokenBytes = 16; // 128 bits

// What each side's player wrote, as the protocol writes it.
QString sideName(Side s) {
    return QString::fromLatin1(sideText(s));
}

QString hashOf(const QString& token) {
    return QString::fromLatin1(
        QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString newToken() {
    QByteArray bytes(kTokenBytes, '\0');
    for (char& b : bytes) b = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return QString::fromLatin1(bytes.toHex());
}

// A code as a person may have typed it: any case, with or without the dashes and blanks, O
// for 0 and I or L for 1.
QString normalisedCode(const QString& typed) {
    QString bare;
    for (QChar c : typed.toUpper()) {
        if (c == u'-' || c == u' ') continue;
        if (c == u'O') c = u'0';
        if (c == u'I' || c == u'L') c = u'1';
        bare += c;
    }
    if (bare.size() != kCodeGroups * kCodeGroupLength) return {};
    QString grouped;
    for (int i = 0; i < bare.size(); ++i) {
        if (i > 0 && i % kCodeGroupLength == 0) grouped += u'-';
        grouped += bare[i];
    }
    return grouped;
}

std::optional<protocol::Clocks> wireClocks(const std::optional<Clocks>& c) {
    if (!c) return std::nullopt;
    return protocol::Clocks{(*c)[0], (*c)[1]};
}

} // namespace

// A game created and waiting for the friend with its code.
struct Server::Waiting {
    QString code;
    Position start;
    std::optional<ClockSettings> clock;
    QString side; // the creator's choice
    QWebSocket* creator = nullptr;
    QString name;
};

struct Server::LiveGame {
    std::int64_t id = 0;
    QString code;
    OnlineGame model;
    std::array<QString, 2> names;
    std::array<QString, 2> tokenHashes;
    std::array<QWebSocket*, 2> players{};
};

// A request played on its game and waiting for the database: the game as it was before, what
// the request did, and what the other player is told besides the moves and the end.
struct Server::Pending {
    std::int64_t game = 0;
    OnlineGame before;
    Outcome out;
    Clocks left{};
    Result result = Result::None;
    EndReason reason = EndReason::None;
    QPointer<QWebSocket> requester;
    Side side = Side::Lower;
    QByteArray notice;
};

Server::Server(Store& store, const Clock& clock, ServerOptions options, QObject* parent)
    : QObject(parent), store_(store), clock_(clock), options_(std::move(options)) {
    server_ = std::make_unique<QWebSocketServer>(QStringLiteral("zubeki-server"),
                                                 options_.tls ? QWebSocketServer::SecureMode
                                                              : QWebSocketServer::NonSecureMode);
    if (options_.tls) server_->setSslConfiguration(*options_.tls);
    connect(server_.get(), &QWebSocketServer::newConnection, this, &Server::accept);
    connect(&sweeper_, &QTimer::timeout, this, &Server::sweep);
}

Server::~Server() {
    for (const auto& [socket, c] : connections_) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

bool Server::start(QString& error) {
    for (StoredGame& stored : store_.unfinished()) {
        std::string why;
        const std::optional<Position> start = Position::fromText(stored.start, why);
        auto g = std::make_unique<LiveGame>(
            LiveGame{stored.id,
                     QString::fromStdString(stored.code),
                     OnlineGame(start.value_or(Position::start()), stored.clock, clock_),
                     {},
                     {},
                     {}});
        if (!start || !g->model.restore(stored.moves, stored.left)) {
            qWarning("zubeki-server: game %lld cannot be brought back; it stays in the database as "
                     "it is",
                     static_cast<long long>(stored.id));
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            g->names[i] = QString::fromStdString(stored.names[i]);
            g->tokenHashes[i] = QString::fromStdString(stored.tokens[i]);
            byToken_.insert(g->tokenHashes[i], g->id);
        }
        games_[g->id] = std::move(g);
    }
    if (!server_->listen(options_.address, options_.port)) {
        error = server_->errorString();
        return false;
    }
    sweeper_.start(250);
    return true;
}

quint16 Server::port() const {
    return server_->serverPort();
}

void Server::accept() {
    while (QWebSocket* socket = server_->nextPendingConnection()) {
        Connection c;
        c.address = socket->peerAddress().toString();
        c.lastHeard = clock_.nowMs();
        connections_.emplace(socket, c);
        const int count = ++perAddress_[c.address];
        socket->setMaxAllowedIncomingMessageSize(16 * protocol::kMaxFrameBytes);
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { received(socket, text.toUtf8()); });
        // A binary frame is read as what it is not: a frame that is no JSON text.
        connect(socket, &QWebSocket::binaryMessageReceived, this,
                [this, socket](const QByteArray&) { received(socket, QByteArray(1, '\0')); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropped(socket); });
        if (socket->requestUrl().path() != u"/play")
            refuseAndClose(socket, QStringLiteral("bad-path"),
                           QStringLiteral("games are played at /play"));
        else if (count > options_.maxConnectionsPerAddress)
            refuseAndClose(socket, QStringLiteral("too-many-connections"),
                           QStringLiteral("at most %1 connections from one address")
                               .arg(options_.maxConnectionsPerAddress));
    }
}

void Server::refuse(QWebSocket* socket, const QString& code, const QString& why) {
    socket->sendTextMessage(QString::fromUtf8(protocol::error(code, why)));
}

void Server::refuseAndClose(QWebSocket* socket, const QString& code, const QString& why) {
    refuse(socket, code, why);
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, code);
}

bool Server::tooFast(Connection& c) {
    const std::int64_t now = clock_.nowMs();
    c.lastHeard = now;
    c.recent.push_back(now);
    while (!c.recent.empty() && now - c.recent.front() >= 1000) c.recent.pop_front();
    return static_cast<int>(c.recent.size()) > options_.maxFramesPerSecond;
}

void Server::received(QWebSocket* socket, const QByteArray& frame) {
    auto found = connections_.find(socket);
    if (found == connections_.end() || socket->state() != QAbstractSocket::ConnectedState) return;
    Connection& c = found->second;
    if (tooFast(c))
        return refuseAndClose(
            socket, QStringLiteral("too-fast"),
            QStringLiteral("at most %1 frames a second").arg(options_.maxFramesPerSecond));
    if (frame.size() > protocol::kMaxFrameBytes)
        return refuseAndClose(socket, QStringLiteral("too-large"),
                              QStringLiteral("a frame is at most 4096 bytes"));
    const protocol::Read read = protocol::readClientMessage(frame);
    if (!read.message) return refuse(socket, read.code, read.why);
    const protocol::ClientMessage& m = *read.message;
    using Kind = protocol::ClientMessage::Kind;
    if (m.kind == Kind::Ping) {
        socket->sendTextMessage(QString::fromUtf8(protocol::pong()));
        return;
    }
    if (m.kind == Kind::Hello) return hello(socket, c, m.name);
    // A player coming back is known by its token: it may resume without a hello.
    if (!c.greeted && m.kind != Kind::Resume)
        return refuse(socket, QStringLiteral("hello-first"), QStringLiteral("say hello first"));
    switch (m.kind) {
    case Kind::Create:
    case Kind::Join:
    case Kind::Resume:
        if (c.game != 0 || !c.waiting.isEmpty())
            return refuse(socket, QStringLiteral("in-game"),
                          QStringLiteral("this connection has a game already"));
        if (m.kind == Kind::Create) return create(socket, c, m);
        if (m.kind == Kind::Join) return join(socket, c, m.code);
        return resume(socket, c, m.token);
    default:
        if (m.kind == Kind::Abort && !c.waiting.isEmpty()) {
            // The creator takes back a game no one has joined yet: its code is no more.
            waiting_.erase(c.waiting);
            c.waiting.clear();
            socket->sendTextMessage(QString::fromUtf8(
                protocol::end(QStringLiteral("aborted"), QStringLiteral("abort"))));
            return;
        }
        return inGame(socket, c, m);
    }
}

void Server::hello(QWebSocket* socket, Connection& c, const QString& name) {
    c.greeted = true;
    c.name = name;
    socket->sendTextMessage(QString::fromUtf8(protocol::welcome()));
}

QString Server::newCode() const {
    for (;;) {
        QString code;
        for (int i = 0; i < kCodeGroups * kCodeGroupLength; ++i) {
            if (i > 0 && i % kCodeGroupLength == 0) code += u'-';
            code += QLatin1Char(kCodeAlphabet[QRandomGenerator::system()->bounded(32)]);
        }
        if (!waiting_.contains(code)) return code;
    }
}

void Server::create(QWebSocket* socket, Connection& c, const protocol::ClientMessage& m) {
    Position start = Position::start();
    if (!m.position.isEmpty()) {
        std::string why;
        const std::optional<Position> p = Position::fromText(m.position.toStdString(), why);
        if (!p) return refuse(socket, QStringLiteral("bad-position"), QString::fromStdString(why));
        start = *p;
    }
    auto w = std::make_unique<Waiting>();
    w->code = newCode();
    w->start = start;
    if (m.hasClock) w->clock = ClockSettings{m.initialS * 1000, m.incrementS * 1000};
    w->side = m.side;
    w->creator = socket;
    w->name = c.name;
    c.waiting = w->code;
    socket->sendTextMessage(QString::fromUtf8(protocol::created(w->code)));
    waiting_[w->code] = std::move(w);
}

void Server::join(QWebSocket* socket, Connection& c, const QString& typed) {
    const auto found = waiting_.find(normalisedCode(typed));
    if (found == waiting_.end())
        return refuse(socket, QStringLiteral("unknown-code"),
                      QStringLiteral("no game waits with this code"));
    if (found->second->creator == socket)
        return refuse(socket, QStringLiteral("own-game"), QStringLiteral("this is your own game"));
    const std::unique_ptr<Waiting> w = std::move(found->second);
    waiting_.erase(found);
    Connection& creator = connections_[w->creator];
    creator.waiting.clear();

    Side creatorSide = w->side == u"upper" ? Side::Upper : Side::Lower;
    if (w->side == u"random")
        creatorSide = QRandomGenerator::system()->bounded(2) ? Side::Upper : Side::Lower;
    const Side joinerSide = opposite(creatorSide);

    auto g = std::make_unique<LiveGame>(
        LiveGame{0, w->code, OnlineGame(w->start, w->clock, clock_), {}, {}, {}});
    g->names[sideIndex(creatorSide)] = w->name;
    g->names[sideIndex(joinerSide)] = c.name;
    std::array<QString, 2> tokens{newToken(), newToken()};
    StoredGame stored;
    stored.code = w->code.toStdString();
    stored.start = 局面表記(w->start, sign(w->start.SIDE));
    stored.clock = w->clock;
    stored.left = g->model.storedClocks();
    for (int i = 0; i < 2; ++i) {
        g->tokenHashes[i] = hashOf(tokens[i]);
        stored.names[i] = g->names[i].toStdString();
        stored.tokens[i] = g->tokenHashes[i].toStdString();
    }
    const QString why = QStringLiteral("the game could not be saved");
    if (!store_.addGame(stored)) {
        refuse(socket, QStringLiteral("storage"), why);
        return refuse(w->creator, QStringLiteral("storage"), why);
    }
    g->id = stored.id;
    OnlineGame next = g->model;
    const Outcome opening = next.begin();
    if (!commit(*g, next, opening)) {
        refuse(socket, QStringLiteral("storage"), why);
        return refuse(w->creator, QStringLiteral("storage"), why);
    }
    LiveGame& live = *g;
    games_[g->id] = std::move(g);
    for (int i = 0; i < 2; ++i) byToken_.insert(live.tokenHashes[i], live.id);
    bind(w->creator, live, creatorSide);
    bind(socket, live, joinerSide);
    sendStart(w->creator, live, creatorSide, tokens[sideIndex(creatorSide)]);
    sendStart(socket, live, joinerSide, tokens[sideIndex(joinerSide)]);
    for (QWebSocket* s : live.players)
        s->sendTextMessage(QString::fromUtf8(protocol::opponent(true)));
    if (live.model.over()) announce(live, Outcome{Refusal::None, {}, {}, true});
}

void Server::bind(QWebSocket* socket, LiveGame& g, Side side) {
    Connection& c = connections_[socket];
    c.game = g.id;
    c.side = side;
    g.players[sideIndex(side)] = socket;
    g.model.setConnected(side, true);
}

void Server::sendStart(QWebSocket* socket, const LiveGame& g, Side side, const QString& token) {
    protocol::Start s;
    s.game = g.id;
    s.position = QString::fromStdString(局面表記(g.model.start(), sign(g.model.start().SIDE)));
    for (const std::string& m : g.model.moves()) s.moves << QString::fromStdString(m);
    s.you = sideName(side);
    s.token = token;
    s.opponent = g.names[sideIndex(opposite(side))];
    if (const auto& clock = g.model.clockSettings()) {
        s.clock = protocol::ClockSetting{clock->initialMs / 1000, clock->incrementMs / 1000};
        s.clocks = wireClocks(g.model.clocks());
    }
    socket->sendTextMessage(QString::fromUtf8(protocol::start(s)));
}

void Server::resume(QWebSocket* socket, Connection& c, const QString& token) {
    flush(); // a returning player hears only of moves the database holds
    const QString hash = hashOf(token);
    const auto id = byToken_.constFind(hash);
    if (id == byToken_.constEnd()) {
        // A game that ended while its player was away: the moves and how it ended.
        const std::optional<StoredGame> stored =
            token.size() == 2 * kTokenBytes ? store_.byToken(hash.toStdString()) : std::nullopt;
        if (!stored || stored->result.empty())
            return refuse(socket, QStringLiteral("unknown-token"),
                          QStringLiteral("no game of yours has this token"));
        protocol::Start s;
        s.game = stored->id;
        s.position = QString::fromStdString(stored->start);
        for (const std::string& m : stored->moves) s.moves << QString::fromStdString(m);
        const int i = stored->tokens[0] == hash.toStdString() ? 0 : 1;
        s.you = sideName(i == 0 ? Side::Lower : Side::Upper);
        s.token = token;
        s.opponent = QString::fromStdString(stored->names[1 - i]);
        if (stored->clock) {
            s.clock = protocol::ClockSetting{stored->clock->initialMs / 1000,
                                             stored->clock->incrementMs / 1000};
            s.clocks = protocol::Clocks{stored->left[0], stored->left[1]};
        }
        socket->sendTextMessage(QString::fromUtf8(protocol::start(s)));
        socket->sendTextMessage(QString::fromUtf8(protocol::end(
            QString::fromStdString(stored->result), QString::fromStdString(stored->reason))));
        return;
    }
    LiveGame& g = *games_.at(*id);
    const Side side = g.tokenHashes[0] == hash ? Side::Lower : Side::Upper;
    if (QWebSocket* old = g.players[sideIndex(side)]) {
        // The same player from a new connection (a reload, a new network): the old one goes.
        connections_[old].game = 0;
        refuseAndClose(old, QStringLiteral("replaced"),
                       QStringLiteral("this game goes on from another connection"));
    }
    c.name = g.names[sideIndex(side)];
    c.greeted = true;
    bind(socket, g, side);
    sendStart(socket, g, side, token);
    QWebSocket* other = g.players[sideIndex(opposite(side))];
    socket->sendTextMessage(QString::fromUtf8(protocol::opponent(other != nullptr)));
    if (other) other->sendTextMessage(QString::fromUtf8(protocol::opponent(true)));
    if (g.model.drawOfferBy() == opposite(side))
        socket->sendTextMessage(QString::fromUtf8(protocol::drawOffered()));
}

void Server::inGame(QWebSocket* socket, Connection& c, const protocol::ClientMessage& m) {
    const auto found = games_.find(c.game);
    if (c.game == 0 || found == games_.end())
        return refuse(socket, QStringLiteral("no-game"),
                      QStringLiteral("this connection plays no game"));
    LiveGame& g = *found->second;
    using Kind = protocol::ClientMessage::Kind;
    Pending p{g.id, g.model, {}, {}, Result::None, EndReason::None, socket, c.side, {}};
    OnlineGame& model = g.model;
    switch (m.kind) {
    case Kind::Move:
        p.out = model.move(c.side, m.move.toStdString());
        break;
    case Kind::Resign:
        p.out = model.resign(c.side);
        break;
    case Kind::Draw:
        p.out = m.offer ? model.offerDraw(c.side) : model.answerDraw(c.side, m.accept);
        if (!p.out.ended)
            p.notice = m.offer ? protocol::drawOffered() : protocol::drawAnswered(false);
        break;
    case Kind::Abort:
        p.out = model.abort(c.side);
        break;
    default: // claim
        p.out = model.claim(c.side, options_.graceMs);
        break;
    }
    if (p.out.refusal != Refusal::None) // a refused request changes nothing
        return refuse(socket, QString::fromLatin1(refusalCode(p.out.refusal)),
                      QString::fromStdString(p.out.why));
    p.left = model.storedClocks();
    p.result = model.result();
    p.reason = model.reason();
    pending_.push_back(std::move(p));
    scheduleFlush();
}

void Server::scheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        flushScheduled_ = false;
        flush();
    });
}

void Server::flush() {
    if (pending_.empty()) return;
    std::vector<Pending> batch = std::move(pending_);
    pending_.clear();
    bool ok = store_.begin();
    for (const Pending& p : batch)
        if (ok && (!p.out.plies.empty() || p.out.ended))
            ok = store_.write(p.game, p.out.plies, p.left, p.result, p.reason);
    ok = ok && store_.commit();
    if (!ok) {
        // Back to before the first request of each game in the batch; nothing was announced.
        for (auto it = batch.rbegin(); it != batch.rend(); ++it) {
            if (const auto g = games_.find(it->game); g != games_.end())
                g->second->model = it->before;
            if (it->requester)
                refuse(it->requester, QStringLiteral("storage"),
                       QStringLiteral("the game could not be saved; try again"));
        }
        return;
    }
    for (const Pending& p : batch) {
        const auto found = games_.find(p.game);
        if (found == games_.end()) continue;
        LiveGame& g = *found->second;
        if (!p.notice.isEmpty())
            if (QWebSocket* other = g.players[sideIndex(opposite(p.side))])
                other->sendTextMessage(QString::fromUtf8(p.notice));
        announce(g, p.out);
    }
}

bool Server::commit(LiveGame& g, OnlineGame& next, const Outcome& out) {
    if ((!out.plies.empty() || out.ended) &&
        !store_.record(g.id, out.plies, next.storedClocks(), next.result(), next.reason()))
        return false;
    g.model = std::move(next);
    return true;
}

void Server::announce(LiveGame& g, const Outcome& out) {
    for (const Ply& p : out.plies) {
        const QString text = QString::fromUtf8(
            protocol::moved(QString::fromStdString(p.move), sideName(p.by), p.n,
                            QString::fromStdString(p.position), wireClocks(p.clocks)));
        for (QWebSocket* s : g.players)
            if (s) s->sendTextMessage(text);
    }
    if (!out.ended) return;
    const QString text =
        QString::fromUtf8(protocol::end(QString::fromLatin1(resultText(g.model.result())),
                                        QString::fromLatin1(reasonText(g.model.reason()))));
    for (QWebSocket* s : g.players)
        if (s) s->sendTextMessage(text);
    finish(g.id);
}

void Server::finish(std::int64_t id) {
    const auto found = games_.find(id);
    if (found == games_.end()) return;
    for (QWebSocket* s : found->second->players)
        if (const auto c = connections_.find(s); s && c != connections_.end()) c->second.game = 0;
    for (const QString& hash : found->second->tokenHashes) byToken_.remove(hash);
    games_.erase(found);
}

void Server::dropped(QWebSocket* socket) {
    const auto found = connections_.find(socket);
    if (found == connections_.end()) return;
    const Connection c = found->second;
    connections_.erase(found);
    if (--perAddress_[c.address] <= 0) perAddress_.remove(c.address);
    if (!c.waiting.isEmpty()) waiting_.erase(c.waiting); // nobody is left to play it
    const auto game = games_.find(c.game);
    if (c.game != 0 && game != games_.end() && game->second->players[sideIndex(c.side)] == socket) {
        LiveGame& g = *game->second;
        g.players[sideIndex(c.side)] = nullptr;
        g.model.setConnected(c.side, false);
        if (QWebSocket* other = g.players[sideIndex(opposite(c.side))])
            other->sendTextMessage(QString::fromUtf8(protocol::opponent(false)));
    }
    socket->deleteLater();
}

void Server::sweep() {
    flush();
    const std::int64_t now = clock_.nowMs();
    std::vector<QWebSocket*> silent;
    for (const auto& [socket, c] : connections_)
        if (now - c.lastHeard > options_.idleMs &&
            socket->state() == QAbstractSocket::ConnectedState)
            silent.push_back(socket);
    for (QWebSocket* socket : silent)
        refuseAndClose(socket, QStringLiteral("idle"),
                       QStringLiteral("nothing heard for too long"));
    std::vector<std::int64_t> flagged;
    for (const auto& [id, g] : games_) {
        const std::optional<std::int64_t> left = g->model.msUntilFlag();
        if (left && *left <= 0) flagged.push_back(id);
    }
    for (const std::int64_t id : flagged) {
        LiveGame& g = *games_.at(id);
        OnlineGame next = g.model;
        const Outcome out = next.checkTime();
        if (out.ended && commit(g, next, out)) announce(g, out);
    }
}

} // namespace zubeki::server
