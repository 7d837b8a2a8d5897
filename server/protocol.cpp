#include "server/protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

namespace zubeki::protocol {

namespace {

using Kind = ClientMessage::Kind;

struct KindName {
    const char* name;
    Kind kind;
};
constexpr KindName kKinds[] = {{"hello", Kind::Hello},   {"create", Kind::Create},
                               {"join", Kind::Join},     {"move", Kind::Move},
                               {"resign", Kind::Resign}, {"draw", Kind::Draw},
                               {"abort", Kind::Abort},   {"resume", Kind::Resume},
                               {"claim", Kind::Claim},   {"ping", Kind::Ping}};

Read refused(const char* code, const QString& why) {
    Read r;
    r.code = QString::fromLatin1(code);
    r.why = why;
    return r;
}

QByteArray frame(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A whole number within [low, high] as JSON writes it (a double in Qt).
std::optional<qint64> wholeNumber(const QJsonValue& v, qint64 low, qint64 high) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(low) ||
        d > static_cast<double>(high))
        return std::nullopt;
    return static_cast<qint64>(d);
}

// A string key that must be there; nullopt otherwise.
std::optional<QString> text(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

bool readCreate(const QJsonObject& o, ClientMessage& m, Read& r) {
    const std::optional<QString> side = text(o, "side");
    if (!side || (*side != u"lower" && *side != u"upper" && *side != u"random")) {
        r = refused("bad-side", QStringLiteral("side is \"lower\", \"upper\" or \"random\""));
        return false;
    }
    m.side = *side;
    if (o.contains(u"position")) {
        const std::optional<QString> p = text(o, "position");
        if (!p) {
            r = refused("bad-field", QStringLiteral("position is a string"));
            return false;
        }
        m.position = *p;
    }
    const QJsonValue clock = o.value(u"clock");
    if (clock.isUndefined() || clock.isNull()) return true;
    const QJsonObject c = clock.toObject();
    const std::optional<qint64> initial = wholeNumber(c.value(u"initial_s"), 1, kMaxInitialSeconds);
    const std::optional<qint64> increment =
        wholeNumber(c.value(u"increment_s"), 0, kMaxIncrementSeconds);
    if (!clock.isObject() || !initial || !increment) {
        r = refused("bad-clock",
                    QStringLiteral("clock is {\"initial_s\":1..86400,\"increment_s\":0..3600}"));
        return false;
    }
    m.hasClock = true;
    m.initialS = *initial;
    m.incrementS = *increment;
    return true;
}

bool readDraw(const QJsonObject& o, ClientMessage& m, Read& r) {
    const QJsonValue offer = o.value(u"offer"), accept = o.value(u"accept");
    if (offer.isBool() && offer.toBool() && accept.isUndefined()) {
        m.offer = true;
        return true;
    }
    if (accept.isBool() && offer.isUndefined()) {
        m.accept = accept.toBool();
        return true;
    }
    r = refused("bad-field", QStringLiteral("draw takes \"offer\":true or \"accept\":true|false"));
    return false;
}

// The keys of each kind past "t"; false with `r` filled when one is missing or wrong.
bool readFields(const QJsonObject& o, ClientMessage& m, Read& r) {
    const auto need = [&](const char* key, QString& into) {
        const std::optional<QString> v = text(o, key);
        if (!v)
            r = refused("bad-field", QStringLiteral("\"%1\" is a string").arg(QLatin1String(key)));
        if (v) into = *v;
        return v.has_value();
    };
    switch (m.kind) {
    case Kind::Hello:
        if (wholeNumber(o.value(u"version"), 0, 1 << 30) != kVersion) {
            r = refused("version", QStringLiteral("this server speaks version %1").arg(kVersion));
            return false;
        }
        if (!need("name", m.name)) return false;
        if (!validName(m.name)) {
            r = refused("bad-name", QStringLiteral("a name is 1 to 32 printable characters"));
            return false;
        }
        return true;
    case Kind::Create:
        return readCreate(o, m, r);
    case Kind::Join:
        return need("code", m.code);
    case Kind::Move:
        return need("move", m.move);
    case Kind::Resume:
        return need("token", m.token);
    case Kind::Draw:
        return readDraw(o, m, r);
    default:
        return true;
    }
}

} // namespace

bool validName(const QString& name) {
    int length = 0;
    for (const char32_t c : name.toUcs4()) {
        if (!QChar::isPrint(c)) return false;
        ++length;
    }
    return length >= 1 && length <= kMaxNameLength;
}

std::optional<QJsonObject> readObject(QByteArrayView bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    return doc.object();
}

Read readClientMessage(QByteArrayView bytes) {
    if (bytes.size() > kMaxFrameBytes)
        return refused("bad-frame", QStringLiteral("a frame is at most 4096 bytes"));
    const std::optional<QJsonObject> o = readObject(bytes);
    if (!o) return refused("bad-frame", QStringLiteral("a frame is one JSON object"));
    const QJsonValue t = o->value(u"t");
    if (!t.isString())
        return refused("bad-frame", QStringLiteral("a frame names its kind in \"t\""));
    Read r;
    for (const KindName& k : kKinds) {
        if (t.toString() != QLatin1String(k.name)) continue;
        ClientMessage m;
        m.kind = k.kind;
        if (readFields(*o, m, r)) r.message = std::move(m);
        return r;
    }
    return refused("unknown-type",
                   QStringLiteral("no message is called \"%1\"").arg(t.toString().left(40)));
}

QByteArray hello(const QString& name) {
    return frame({{"t", "hello"}, {"name", name}, {"version", kVersion}});
}
QByteArray create(const QString& side, const QString& position, qint64 initialS,
                  qint64 incrementS) {
    QJsonObject o{{"t", "create"}, {"side", side}};
    if (!position.isEmpty()) o.insert("position", position);
    if (initialS >= 0)
        o.insert("clock", QJsonObject{{"initial_s", initialS}, {"increment_s", incrementS}});
    return frame(o);
}
QByteArray join(const QString& code) {
    return frame({{"t", "join"}, {"code", code}});
}
QByteArray move(const QString& m) {
    return frame({{"t", "move"}, {"move", m}});
}
QByteArray resign() {
    return frame({{"t", "resign"}});
}
QByteArray offerDraw() {
    return frame({{"t", "draw"}, {"offer", true}});
}
QByteArray answerDraw(bool accept) {
    return frame({{"t", "draw"}, {"accept", accept}});
}
QByteArray abort() {
    return frame({{"t", "abort"}});
}
QByteArray resume(const QString& token) {
    return frame({{"t", "resume"}, {"token", token}});
}
QByteArray claim() {
    return frame({{"t", "claim"}});
}
QByteArray ping() {
    return frame({{"t", "ping"}});
}

QByteArray welcome() {
    return frame({{"t", "welcome"}, {"version", kVersion}});
}
QByteArray created(const QString& code) {
    return frame({{"t", "created"}, {"code", code}});
}

namespace {
QJsonValue clocksValue(const std::optional<Clocks>& c) {
    if (!c) return QJsonValue::Null;
    return QJsonObject{{"lower_ms", c->lowerMs}, {"upper_ms", c->upperMs}};
}
} // namespace

QByteArray start(const Start& s) {
    QJsonObject o{{"t", "start"},           {"game", s.game},
                  {"position", s.position}, {"moves", QJsonArray::fromStringList(s.moves)},
                  {"you", s.you},           {"token", s.token},
                  {"opponent", s.opponent}, {"clock", QJsonValue::Null}};
    if (s.clock) {
        QJsonObject c{{"initial_s", s.clock->initialS}, {"increment_s", s.clock->incrementS}};
        if (s.clocks) {
            c.insert("lower_ms", s.clocks->lowerMs);
            c.insert("upper_ms", s.clocks->upperMs);
        }
        o.insert("clock", c);
    }
    return frame(o);
}
QByteArray moved(const QString& m, const QString& by, int n, const QString& position,
                 const std::optional<Clocks>& clocks) {
    return frame({{"t", "moved"},
                  {"move", m},
                  {"by", by},
                  {"n", n},
                  {"position", position},
                  {"clock", clocksValue(clocks)}});
}
QByteArray end(const QString& result, const QString& reason) {
    return frame({{"t", "end"}, {"result", result}, {"reason", reason}});
}
QByteArray opponent(bool connected) {
    return frame({{"t", "opponent"}, {"connected", connected}});
}
QByteArray drawOffered() {
    return frame({{"t", "draw"}, {"offer", true}});
}
QByteArray drawAnswered(bool accept) {
    return frame({{"t", "draw"}, {"accept", accept}});
}
QByteArray pong() {
    return frame({{"t", "pong"}});
}
QByteArray error(const QString& code, const QString& why) {
    return frame({{"t", "error"}, {"code", code}, {"message", why}});
}

namespace {

std::optional<Clocks> readClocks(const QJsonValue& v) {
    const QJsonObject c = v.toObject();
    if (!c.value(u"lower_ms").isDouble() || !c.value(u"upper_ms").isDouble()) return std::nullopt;
    return Clocks{c.value(u"lower_ms").toInteger(), c.value(u"upper_ms").toInteger()};
}

bool readStart(const QJsonObject& o, Start& s) {
    if (!o.value(u"position").isString() || !o.value(u"moves").isArray() ||
        !o.value(u"you").isString() || !o.value(u"token").isString())
        return false;
    s.game = o.value(u"game").toInteger();
    s.position = o.value(u"position").toString();
    for (const QJsonValue& m : o.value(u"moves").toArray()) {
        if (!m.isString()) return false;
        s.moves << m.toString();
    }
    s.you = o.value(u"you").toString();
    s.token = o.value(u"token").toString();
    s.opponent = o.value(u"opponent").toString();
    const QJsonValue clock = o.value(u"clock");
    if (clock.isObject()) {
        const QJsonObject c = clock.toObject();
        s.clock =
            ClockSetting{c.value(u"initial_s").toInteger(), c.value(u"increment_s").toInteger()};
        s.clocks = readClocks(clock);
    }
    return true;
}

} // namespace

std::optional<ServerMessage> readServerMessage(QByteArrayView frame) {
    using ServerKind = ServerMessage::Kind;
    const std::optional<QJsonObject> read = readObject(frame);
    if (!read) return std::nullopt;
    const QJsonObject& o = *read;
    const QString t = o.value(u"t").toString();
    ServerMessage m;
    if (t == u"welcome") {
        m.kind = ServerKind::Welcome;
    } else if (t == u"created" && o.value(u"code").isString()) {
        m.kind = ServerKind::Created;
        m.code = o.value(u"code").toString();
    } else if (t == u"start" && readStart(o, m.start)) {
        m.kind = ServerKind::Start;
    } else if (t == u"moved" && o.value(u"move").isString() && o.value(u"n").isDouble()) {
        m.kind = ServerKind::Moved;
        m.move = o.value(u"move").toString();
        m.by = o.value(u"by").toString();
        m.n = o.value(u"n").toInt();
        m.position = o.value(u"position").toString();
        m.clocks = readClocks(o.value(u"clock"));
    } else if (t == u"end" && o.value(u"result").isString()) {
        m.kind = ServerKind::End;
        m.result = o.value(u"result").toString();
        m.reason = o.value(u"reason").toString();
    } else if (t == u"opponent" && o.value(u"connected").isBool()) {
        m.kind = ServerKind::Opponent;
        m.connected = o.value(u"connected").toBool();
    } else if (t == u"draw") {
        m.kind = ServerKind::Draw;
        m.offer = o.value(u"offer").toBool();
        m.accept = o.value(u"accept").toBool();
    } else if (t == u"pong") {
        m.kind = ServerKind::Pong;
    } else if (t == u"error" && o.value(u"code").isString()) {
        m.kind = ServerKind::Error;
        m.code = o.value(u"code").toString();
        m.message = o.value(u"message").toString();
    } else {
        return std::nullopt;
    }
    return m;
}

} // namespace zubeki::protocol
