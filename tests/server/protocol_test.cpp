// Each message a player may send and each refusal, as one table: a player in a given state
// sends a frame and the server's first answer to it is checked.

#include "harness.h"

#include <QRegularExpression>

namespace zubeki::server::test {
namespace {

enum class State { Fresh, Greeted, Waiting, LowerToMove, UpperWaiting };

struct Row {
    State state;
    const char* frame;
    const char* reply; // the kind of the answer
    const char* code;  // for an error, its code
};

const QByteArray kLongName = QStringLiteral("飛").repeated(32).toUtf8();

const Row kRows[] = {
    {State::Fresh, R"({"t":"ping"})", "pong", ""},
    {State::Fresh, R"({"t":"hello","name":"Aya","version":1})", "welcome", ""},
    {State::Fresh, R"({"t":"hello","name":"Aya","version":2})", "error", "version"},
    {State::Fresh, R"({"t":"hello","name":"Aya"})", "error", "version"},
    {State::Fresh, R"({"t":"hello","name":"","version":1})", "error", "bad-name"},
    {State::Fresh, R"({"t":"hello","name":"a\tb","version":1})", "error", "bad-name"},
    {State::Fresh, R"({"t":"hello","name":"123456789012345678901234567890123","version":1})",
     "error", "bad-name"},
    {State::Fresh, R"({"t":"hello","name":7,"version":1})", "error", "bad-field"},
    {State::Fresh, "not json", "error", "bad-frame"},
    {State::Fresh, "[1,2]", "error", "bad-frame"},
    {State::Fresh, R"({"x":1})", "error", "bad-frame"},
    {State::Fresh, R"({"t":7})", "error", "bad-frame"},
    {State::Fresh, R"({"t":"fly"})", "error", "unknown-type"},
    {State::Fresh, R"({"t":"create","side":"lower"})", "error", "hello-first"},
    {State::Fresh, R"({"t":"move","move":"9g9f"})", "error", "hello-first"},
    {State::Greeted, R"({"t":"create","side":"lower"})", "created", ""},
    {State::Greeted, R"({"t":"create","side":"random","clock":{"initial_s":300,"increment_s":5}})",
     "created", ""},
    {State::Greeted, R"({"t":"create","side":"upper","position":"9/9/9/9/8R/9/9/9/r8 l - 0 1"})",
     "created", ""},
    {State::Greeted, R"({"t":"create","side":"left"})", "error", "bad-side"},
    {State::Greeted, R"({"t":"create"})", "error", "bad-side"},
    {State::Greeted, R"({"t":"create","side":"lower","clock":{"initial_s":0,"increment_s":0}})",
     "error", "bad-clock"},
    {State::Greeted, R"({"t":"create","side":"lower","clock":{"initial_s":1.5,"increment_s":0}})",
     "error", "bad-clock"},
    {State::Greeted, R"({"t":"create","side":"lower","clock":"5m"})", "error", "bad-clock"},
    {State::Greeted, R"({"t":"create","side":"lower","position":"rbr"})", "error", "bad-position"},
    {State::Greeted, R"({"t":"create","side":"lower","position":3})", "error", "bad-field"},
    {State::Greeted, R"({"t":"join","code":"0000-0000-0000"})", "error", "unknown-code"},
    {State::Greeted, R"({"t":"join","code":5})", "error", "bad-field"},
    {State::Greeted, R"({"t":"resume","token":"00112233445566778899aabbccddeeff"})", "error",
     "unknown-token"},
    {State::Greeted, R"({"t":"move","move":"9g9f"})", "error", "no-game"},
    {State::Greeted, R"({"t":"resign"})", "error", "no-game"},
    {State::Greeted, R"({"t":"draw"})", "error", "bad-field"},
    {State::Greeted, R"({"t":"draw","offer":true,"accept":true})", "error", "bad-field"},
    {State::Waiting, R"({"t":"abort"})", "end", ""},
    {State::Waiting, R"({"t":"move","move":"9g9f"})", "error", "no-game"},
    {State::Waiting, R"({"t":"join","code":"0000-0000-0000"})", "error", "in-game"},
    {State::LowerToMove, R"({"t":"move","move":"9g9f"})", "moved", ""},
    {State::LowerToMove, R"({"t":"move","move":"9g9h"})", "error", "illegal-move"},
    {State::LowerToMove, R"({"t":"move","move":"9g"})", "error", "bad-move"},
    {State::LowerToMove, R"({"t":"move"})", "error", "bad-field"},
    {State::LowerToMove, R"({"t":"draw","accept":true})", "error", "no-offer"},
    {State::LowerToMove, R"({"t":"claim"})", "error", "too-early"},
    {State::LowerToMove, R"({"t":"create","side":"lower"})", "error", "in-game"},
    {State::LowerToMove, R"({"t":"join","code":"0000-0000-0000"})", "error", "in-game"},
    {State::LowerToMove, R"({"t":"abort"})", "end", ""},
    {State::UpperWaiting, R"({"t":"move","move":"3c3d"})", "error", "not-your-turn"},
    {State::UpperWaiting, R"({"t":"resign"})", "end", ""},
    {State::UpperWaiting, R"({"t":"ping"})", "pong", ""},
};

class ProtocolTable : public ServerTest {
  protected:
    void SetUp() override {
        ServerOptions many;
        many.maxConnectionsPerAddress = 1000;
        restart(many);
    }
};

TEST_F(ProtocolTable, EachMessageAndEachRefusal) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.frame);
        std::unique_ptr<Player> sender;
        Pair pair;
        switch (row.state) {
        case State::Fresh:
            sender = player();
            break;
        case State::Greeted:
            sender = player(QStringLiteral("Aya"));
            break;
        case State::Waiting:
            sender = player(QStringLiteral("Aya"));
            sender->send(protocol::create(QStringLiteral("lower")));
            sender->next(QStringLiteral("created"));
            break;
        case State::LowerToMove:
        case State::UpperWaiting:
            pair = game();
            sender = std::move(row.state == State::LowerToMove ? pair.lower : pair.upper);
            break;
        }
        sender->clear();
        sender->send(row.frame);
        const QJsonObject reply = sender->next();
        EXPECT_EQ(reply.value(u"t").toString().toStdString(), row.reply);
        if (*row.code) {
            EXPECT_EQ(reply.value(u"code").toString().toStdString(), row.code);
            EXPECT_FALSE(reply.value(u"message").toString().isEmpty());
        }
    }
    // A name of 32 characters of three bytes each is still a name.
    const std::unique_ptr<Player> p = player();
    p->send(protocol::hello(QString::fromUtf8(kLongName)));
    EXPECT_EQ(p->next().value(u"t").toString(), u"welcome");
}

TEST_F(ProtocolTable, InviteCodesAndTokensAreLongAndReadable) {
    Pair p = game();
    const std::unique_ptr<Player> a = player(QStringLiteral("a"));
    a->send(protocol::create(QStringLiteral("lower")));
    const QString created = a->next(QStringLiteral("created")).value(u"code").toString();
    // Twelve characters of a 32-letter alphabet: 60 bits, in three groups of four.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^[0-9A-HJKMNP-TV-Z]{4}(-[0-9A-HJKMNP-TV-Z]{4}){2}$"))
            .match(created)
            .hasMatch())
        << created.toStdString();
    // Typed in lower case without the dashes, the code still finds the game.
    const std::unique_ptr<Player> b = player(QStringLiteral("b"));
    b->send(protocol::join(created.toLower().remove(u'-')));
    EXPECT_EQ(b->next(QStringLiteral("start")).value(u"opponent").toString(), u"a");
    for (const QJsonObject& start : {p.lowerStart, p.upperStart})
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$"))
                        .match(start.value(u"token").toString())
                        .hasMatch());
    EXPECT_NE(p.lowerStart.value(u"token"), p.upperStart.value(u"token"));
    EXPECT_EQ(p.lowerStart.value(u"you").toString(), u"lower");
    EXPECT_EQ(p.upperStart.value(u"opponent").toString(), u"下手さん");
    EXPECT_TRUE(p.lowerStart.value(u"clock").isNull());
}

// What the server sends, read back by the client's reader: nothing lost on the way.
TEST(ServerMessages, ReadBackAsTheyWereBuilt) {
    using Kind = protocol::ServerMessage::Kind;
    protocol::Start s{7,
                      QStringLiteral("9/9/9/9/8R/9/9/9/r8 l - 0 1"),
                      {QStringLiteral("1e1d"), QStringLiteral("pass")},
                      QStringLiteral("upper"),
                      QStringLiteral("ab"),
                      QStringLiteral("相手"),
                      protocol::ClockSetting{300, 5},
                      protocol::Clocks{299000, 300000}};
    const std::optional<protocol::ServerMessage> start =
        protocol::readServerMessage(protocol::start(s));
    ASSERT_TRUE(start && start->kind == Kind::Start);
    EXPECT_EQ(start->start.moves, s.moves);
    EXPECT_EQ(start->start.opponent, s.opponent);
    EXPECT_EQ(start->start.clock->incrementS, 5);
    EXPECT_EQ(start->start.clocks->lowerMs, 299000);

    const auto moved = protocol::readServerMessage(protocol::moved(
        QStringLiteral("pass"), QStringLiteral("upper"), 2, QStringLiteral("p"), std::nullopt));
    ASSERT_TRUE(moved && moved->kind == Kind::Moved);
    EXPECT_EQ(moved->n, 2);
    EXPECT_FALSE(moved->clocks);
    const auto end = protocol::readServerMessage(
        protocol::end(QStringLiteral("draw"), QStringLiteral("double-pass")));
    ASSERT_TRUE(end && end->kind == Kind::End);
    EXPECT_EQ(end->reason, u"double-pass");
    const auto error = protocol::readServerMessage(
        protocol::error(QStringLiteral("illegal-move"), QStringLiteral("x")));
    ASSERT_TRUE(error && error->kind == Kind::Error);
    EXPECT_EQ(error->code, u"illegal-move");
    EXPECT_FALSE(protocol::readServerMessage(R"({"t":"moved","move":3})"));
    EXPECT_FALSE(protocol::readServerMessage("[]"));
}

} // namespace
} // namespace zubeki::server::test
