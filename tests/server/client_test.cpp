// A player's client against a real server: a game created and joined, its moves heard by both,
// the server gone and back (both sides resume by themselves with every move), a wrong code and
// a server that is not there, and the addresses a player may type.

#include "harness.h"
#include "server/client.h"

#include <vector>

namespace zubeki::server::test {
namespace {

using Kind = protocol::ServerMessage::Kind;

// A client with everything it heard.
struct Seat {
    Client client;
    std::vector<protocol::ServerMessage> heard;
    QString failure;
    Seat() {
        client.setRetryDelays(20, 100);
        QObject::connect(&client, &Client::received,
                         [this](const protocol::ServerMessage& m) { heard.push_back(m); });
        QObject::connect(&client, &Client::failed,
                         [this](const QString& code, const QString&) { failure = code; });
    }
    const protocol::ServerMessage* last(Kind kind) const {
        for (auto it = heard.rbegin(); it != heard.rend(); ++it)
            if (it->kind == kind) return &*it;
        return nullptr;
    }
    int count(Kind kind) const {
        int n = 0;
        for (const auto& m : heard) n += m.kind == kind ? 1 : 0;
        return n;
    }
};

QUrl local(quint16 port) {
    return Client::addressOf(QStringLiteral("127.0.0.1:%1").arg(port));
}

TEST_F(ServerTest, ClientsPlayAndComeBackByThemselvesWhenTheServerReturns) {
    Seat lower, upper;
    lower.client.create(local(server_->port()), QStringLiteral("下手さん"),
                        QStringLiteral("lower"));
    ASSERT_TRUE(pump([&] { return lower.last(Kind::Created) != nullptr; }));
    EXPECT_EQ(lower.client.state(), Client::State::Waiting);
    upper.client.join(local(server_->port()), QStringLiteral("upper"),
                      lower.last(Kind::Created)->code);
    ASSERT_TRUE(pump([&] { return lower.last(Kind::Start) && upper.last(Kind::Start); }));
    EXPECT_EQ(lower.last(Kind::Start)->start.opponent, u"upper");
    EXPECT_EQ(upper.last(Kind::Start)->start.you, u"upper");
    EXPECT_EQ(upper.client.state(), Client::State::Playing);

    lower.client.move(QStringLiteral("9g9f"));
    ASSERT_TRUE(pump([&] { return upper.last(Kind::Moved) != nullptr; }));
    upper.client.move(QStringLiteral("1c1d"));
    ASSERT_TRUE(pump([&] { return lower.count(Kind::Moved) == 2; }));

    // The server goes and comes back on the same port with the same database.
    const quint16 port = server_->port();
    server_.reset();
    ASSERT_TRUE(pump([&] {
        return lower.client.state() == Client::State::Reconnecting &&
               upper.client.state() == Client::State::Reconnecting;
    }));
    ServerOptions again;
    again.port = port;
    server_ = std::make_unique<Server>(*store_, clock_, again);
    QString why;
    ASSERT_TRUE(server_->start(why)) << why.toStdString();
    ASSERT_TRUE(
        pump([&] { return lower.count(Kind::Start) == 2 && upper.count(Kind::Start) == 2; }));
    EXPECT_EQ(lower.last(Kind::Start)->start.moves, (QStringList{"9g9f", "1c1d"}));
    EXPECT_EQ(lower.client.state(), Client::State::Playing);

    // The game goes on and ends; both hear how.
    upper.client.resign();
    ASSERT_TRUE(pump([&] { return lower.last(Kind::End) && upper.last(Kind::End); }));
    EXPECT_EQ(lower.last(Kind::End)->reason, u"resign");
    EXPECT_EQ(lower.client.state(), Client::State::Ended);
    EXPECT_TRUE(lower.failure.isEmpty());
}

TEST_F(ServerTest, ClientsToldWhenTheGameCannotBeHad) {
    Seat wrong;
    wrong.client.join(local(server_->port()), QStringLiteral("guess"),
                      QStringLiteral("AAAA-BBBB-CCCC-DDDD"));
    ASSERT_TRUE(pump([&] { return !wrong.failure.isEmpty(); }));
    EXPECT_EQ(wrong.client.state(), Client::State::Idle);

    // Nothing listens on the port of a server that has gone.
    const quint16 port = server_->port();
    server_.reset();
    Seat nobody;
    nobody.client.create(local(port), QStringLiteral("alone"), QStringLiteral("random"));
    ASSERT_TRUE(pump([&] { return !nobody.failure.isEmpty(); }));
    EXPECT_EQ(nobody.failure, u"unreachable");
    EXPECT_EQ(nobody.client.state(), Client::State::Idle);
}

TEST(ClientAddress, WhatAPlayerTypes) {
    const struct {
        const char* typed;
        const char* url; // empty: refused
    } cases[] = {
        {"127.0.0.1", "ws://127.0.0.1:7610/play"},
        {"192.168.1.20:8000", "ws://192.168.1.20:8000/play"},
        {" game.example.org ", "ws://game.example.org:7610/play"},
        {"wss://game.example.org/play", "wss://game.example.org/play"},
        {"ws://[::1]:7610", "ws://[::1]:7610/play"},
        {"http://game.example.org", ""},
        {"", ""},
        {"two words", ""},
        {"ws://user:secret@host", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Client::addressOf(QString::fromUtf8(c.typed)).toString(), QLatin1String(c.url))
            << c.typed;
}

} // namespace
} // namespace zubeki::server::test
