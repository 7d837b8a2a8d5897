// The server with real players: a game to its end, a dropped connection resumed, a claim
// after the grace, the clock's flag, and the limits on what one connection may do.

#include "harness.h"

#include <QCoreApplication>

#include <sqlite3.h>

namespace zubeki::server::test {
namespace {

constexpr const char* kCapture = "bR7/9/9/R8/4r4/9/9/9/4R4 l - 0 1";

QStringList moves(const QJsonObject& start) {
    QStringList list;
    for (const QJsonValue& v : start.value(u"moves").toArray()) list << v.toString();
    return list;
}

TEST_F(ServerTest, AGameToItsEndIsKept) {
    Pair p = game(QString::fromLatin1(kCapture));
    const char* plays[][2] = {{"lower", "5i5f"}, {"upper", "5e8e"}, {"lower", "9d9b"}};
    int n = 0;
    for (const auto& [side, move] : plays) {
        (side == QLatin1String("lower") ? p.lower : p.upper)
            ->send(protocol::move(QString::fromLatin1(move)));
        for (Player* each : {p.lower.get(), p.upper.get()}) {
            const QJsonObject m = each->next(QStringLiteral("moved"));
            EXPECT_EQ(m.value(u"move").toString(), QLatin1String(move));
            EXPECT_EQ(m.value(u"by").toString(), QLatin1String(side));
            EXPECT_EQ(m.value(u"n").toInt(), n + 1);
        }
        ++n;
    }
    for (Player* each : {p.lower.get(), p.upper.get()}) {
        const QJsonObject end = each->next(QStringLiteral("end"));
        EXPECT_EQ(end.value(u"result").toString(), u"lower");
        EXPECT_EQ(end.value(u"reason").toString(), u"capture");
    }
    // The database has it all; a player coming back later hears how it ended.
    EXPECT_TRUE(store_->unfinished().empty());
    const std::unique_ptr<Player> back = player(QStringLiteral("upper"));
    back->send(protocol::resume(p.upperStart.value(u"token").toString()));
    EXPECT_EQ(moves(back->next(QStringLiteral("start"))), (QStringList{"5i5f", "5e8e", "9d9b"}));
    EXPECT_EQ(back->next(QStringLiteral("end")).value(u"reason").toString(), u"capture");
}

TEST_F(ServerTest, ADroppedPlayerResumesAndNoOneElseCanTouchTheGame) {
    Pair p = game();
    p.lower->send(protocol::move(QStringLiteral("9g9f")));
    p.upper->next(QStringLiteral("moved"));
    p.upper->drop();
    EXPECT_FALSE(p.lower->next(QStringLiteral("opponent")).value(u"connected").toBool(true));

    // A stranger neither resumes with a guess nor plays in it.
    const std::unique_ptr<Player> stranger = player(QStringLiteral("stranger"));
    stranger->send(protocol::resume(QStringLiteral("0").repeated(32)));
    EXPECT_EQ(stranger->next().value(u"code").toString(), u"unknown-token");
    stranger->send(protocol::move(QStringLiteral("3c3d")));
    EXPECT_EQ(stranger->next().value(u"code").toString(), u"no-game");

    const std::unique_ptr<Player> back = player(); // the token is enough, no hello needed
    back->send(protocol::resume(p.upperStart.value(u"token").toString()));
    const QJsonObject start = back->next(QStringLiteral("start"));
    EXPECT_EQ(moves(start), QStringList{"9g9f"});
    EXPECT_EQ(start.value(u"you").toString(), u"upper");
    EXPECT_EQ(start.value(u"opponent").toString(), u"下手さん");
    EXPECT_TRUE(back->next(QStringLiteral("opponent")).value(u"connected").toBool());
    EXPECT_TRUE(p.lower->next(QStringLiteral("opponent")).value(u"connected").toBool());
    back->send(protocol::move(QStringLiteral("3c3d")));
    EXPECT_EQ(p.lower->next(QStringLiteral("moved")).value(u"n").toInt(), 2);

    // The same player from yet another connection: the older one is let go.
    const std::unique_ptr<Player> again = player(QStringLiteral("x"));
    again->send(protocol::resume(p.upperStart.value(u"token").toString()));
    EXPECT_EQ(moves(again->next(QStringLiteral("start"))).size(), 2);
    EXPECT_EQ(back->next(QStringLiteral("error")).value(u"code").toString(), u"replaced");
    EXPECT_TRUE(back->waitClosed());
}

TEST_F(ServerTest, TheOneWhoStayedClaimsAfterTheGrace) {
    Pair p = game();
    p.upper->drop();
    p.lower->next(QStringLiteral("opponent"));
    p.lower->send(protocol::claim());
    EXPECT_EQ(p.lower->next(QStringLiteral("error")).value(u"code").toString(), u"too-early");
    clock_.now += 60'001;
    // The absent side is not to move here, or is: either way the one present may claim.
    p.lower->send(protocol::claim());
    const QJsonObject end = p.lower->next(QStringLiteral("end"));
    EXPECT_EQ(end.value(u"result").toString(), u"lower");
    EXPECT_EQ(end.value(u"reason").toString(), u"abandoned");
}

TEST_F(ServerTest, DrawsAndTheFlag) {
    Pair p = game();
    p.lower->send(protocol::offerDraw());
    EXPECT_TRUE(p.upper->next(QStringLiteral("draw")).value(u"offer").toBool());
    p.upper->send(protocol::answerDraw(false));
    EXPECT_FALSE(p.lower->next(QStringLiteral("draw")).value(u"accept").toBool(true));
    p.upper->send(protocol::offerDraw());
    p.lower->next(QStringLiteral("draw"));
    p.lower->send(protocol::answerDraw(true));
    EXPECT_EQ(p.upper->next(QStringLiteral("end")).value(u"reason").toString(), u"agreement");

    Pair timed = game({}, 10);
    EXPECT_EQ(timed.lowerStart.value(u"clock").toObject().value(u"lower_ms").toInt(), 10'000);
    timed.lower->send(protocol::move(QStringLiteral("9g9f")));
    EXPECT_EQ(timed.upper->next(QStringLiteral("moved"))
                  .value(u"clock")
                  .toObject()
                  .value(u"upper_ms")
                  .toInt(),
              10'000);
    clock_.now += 10'001;
    server_->sweep();
    const QJsonObject end = timed.lower->next(QStringLiteral("end"));
    EXPECT_EQ(end.value(u"result").toString(), u"lower");
    EXPECT_EQ(end.value(u"reason").toString(), u"time");
}

// A database that will not take a move: the move is refused and not played, and the game goes on
// from where it was once the database takes moves again.
TEST_F(ServerTest, AMoveTheDatabaseRefusesIsNotPlayed) {
    Pair p = game();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder_.path() + QStringLiteral("/games.sqlite")).toUtf8().constData(),
                           &other),
              SQLITE_OK);
    const auto run = [other](const char* sql) {
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    };
    run("CREATE TRIGGER full BEFORE INSERT ON moves BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    p.lower->send(protocol::move(QStringLiteral("9g9f")));
    EXPECT_EQ(p.lower->next(QStringLiteral("error")).value(u"code").toString(), u"storage");
    run("DROP TRIGGER full");
    sqlite3_close(other);
    p.lower->send(protocol::move(QStringLiteral("9g9f")));
    const QJsonObject moved = p.upper->next(QStringLiteral("moved"));
    EXPECT_EQ(moved.value(u"n").toInt(), 1);
    EXPECT_EQ(moved.value(u"move").toString(), u"9g9f");
    ASSERT_EQ(store_->unfinished().size(), 1u);
    EXPECT_EQ(store_->unfinished()[0].moves, std::vector<std::string>{"9g9f"});
}

TEST_F(ServerTest, LimitsEndTheConnection) {
    const auto expectClosed = [](Player& p, const char* code) {
        EXPECT_EQ(p.next(QStringLiteral("error")).value(u"code").toString(), QLatin1String(code));
        EXPECT_TRUE(p.waitClosed()) << code;
    };
    std::unique_ptr<Player> big = player(QStringLiteral("big"));
    big->send(protocol::hello(QStringLiteral("x").repeated(5000)));
    expectClosed(*big, "too-large");

    std::unique_ptr<Player> fast = player();
    for (int i = 0; i < 21; ++i) fast->socket().sendTextMessage(QStringLiteral(R"({"t":"ping"})"));
    expectClosed(*fast, "too-fast");

    std::unique_ptr<Player> elsewhere =
        std::make_unique<Player>(server_->port(), &clock_, QStringLiteral("/x"));
    expectClosed(*elsewhere, "bad-path");

    std::unique_ptr<Player> silent = player();
    clock_.now += 120'001;
    server_->sweep();
    expectClosed(*silent, "idle");

    restart(); // a server without the connections above
    std::vector<std::unique_ptr<Player>> crowd;
    for (int i = 0; i < 20; ++i) crowd.push_back(player());
    std::unique_ptr<Player> one = player();
    expectClosed(*one, "too-many-connections");
    for (const auto& p : crowd) EXPECT_FALSE(p->closed());
}

} // namespace
} // namespace zubeki::server::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
