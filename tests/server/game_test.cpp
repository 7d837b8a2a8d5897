// The online game against the rules: refusals, the passes the server plays, every way a game
// ends, and the clocks on a clock the test moves by hand.

#include "server/game.h"

#include "game/position_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zubeki::server {
namespace {

struct FakeClock final : Clock {
    std::int64_t now = 5'000'000;
    std::int64_t nowMs() const override { return now; }
};

// A lone lower rook on 1e and an upper rook shut in on 9i: the upper side can never move.
constexpr const char* kUpperStuck = "9/9/9/9/8R/9/9/9/r8 l - 0 1";
// Both rooks shut in their corners: neither side can move.
constexpr const char* kBothStuck = "8R/9/9/9/9/9/9/9/r8 l - 0 1";
// A lower rook checks, the upper rook must move, and the lower rook closes round the bishop.
constexpr const char* kCapture = "bR7/9/9/R8/4r4/9/9/9/4R4 l - 0 1";
// Eight lower pieces in the upper camp and the ninth a move away.
constexpr const char* kCamp = "6RRR/6RRR/7RR/9/6R2/9/9/9/r8 l - 0 1";

Position at(const char* text) {
    std::string why;
    const std::optional<Position> p = Position::fromText(text, why);
    EXPECT_TRUE(p) << why;
    return p.value_or(Position::start());
}

std::vector<std::string> movesOf(const Outcome& o) {
    std::vector<std::string> moves;
    for (const Ply& p : o.plies) moves.push_back(p.move + (p.by == Side::Lower ? "/l" : "/u"));
    return moves;
}

TEST(OnlineGame, RefusedRequestsChangeNothing) {
    FakeClock clock;
    OnlineGame g(Position::start(), std::nullopt, clock);
    g.begin();
    const struct {
        Side by;
        const char* move;
        Refusal refusal;
    } cases[] = {
        {Side::Upper, "3c3d", Refusal::NotYourTurn},  {Side::Lower, "9g9h", Refusal::IllegalMove},
        {Side::Lower, "pass", Refusal::BadMove},      {Side::Lower, "9g9", Refusal::BadMove},
        {Side::Lower, "9g9f++", Refusal::BadMove},    {Side::Lower, "0g9f", Refusal::BadMove},
        {Side::Lower, "9g9f+", Refusal::IllegalMove}, {Side::Lower, "", Refusal::BadMove},
    };
    for (const auto& c : cases) {
        const Outcome o = g.move(c.by, c.move);
        EXPECT_EQ(o.refusal, c.refusal) << c.move;
        EXPECT_TRUE(o.plies.empty()) << c.move;
    }
    EXPECT_EQ(g.position(), Position::start());
    EXPECT_TRUE(g.moves().empty());
    EXPECT_EQ(g.answerDraw(Side::Upper, true).refusal, Refusal::NoOffer);

    const Outcome o = g.move(Side::Lower, "9g9f");
    ASSERT_EQ(o.refusal, Refusal::None);
    ASSERT_EQ(o.plies.size(), 1u);
    EXPECT_EQ(o.plies[0].n, 1);
    EXPECT_EQ(o.plies[0].position.substr(o.plies[0].position.find(' ')), " u - 0 2");
}

TEST(OnlineGame, TheServerPassesForASideWithoutAMove) {
    FakeClock clock;
    OnlineGame g(at(kUpperStuck), std::nullopt, clock);
    EXPECT_TRUE(g.begin().plies.empty());
    Outcome o = g.move(Side::Lower, "1e1d");
    EXPECT_EQ(movesOf(o), (std::vector<std::string>{"1e1d/l", "pass/u"}));
    EXPECT_FALSE(o.ended);
    EXPECT_EQ(g.position().SIDE, Side::Lower);
    // The rook reaches its last square: the upper side passes, then the lower side too.
    o = g.move(Side::Lower, "1d1a");
    EXPECT_EQ(movesOf(o), (std::vector<std::string>{"1d1a/l", "pass/u", "pass/l"}));
    EXPECT_TRUE(o.ended);
    EXPECT_EQ(g.result(), Result::Draw);
    EXPECT_EQ(g.reason(), EndReason::DoublePass);
    EXPECT_EQ(g.move(Side::Upper, "9i9h").refusal, Refusal::GameOver);

    OnlineGame stuck(at(kBothStuck), std::nullopt, clock);
    o = stuck.begin();
    EXPECT_EQ(movesOf(o), (std::vector<std::string>{"pass/l", "pass/u"}));
    EXPECT_EQ(stuck.reason(), EndReason::DoublePass);
}

TEST(OnlineGame, EveryEnd) {
    FakeClock clock;
    const struct {
        const char* name;
        const char* start;
        std::vector<std::string> lowerUpper; // moves, sides alternating from the lower side
        std::function<Outcome(OnlineGame&)> last;
        Result result;
        EndReason reason;
    } cases[] = {
        {"capture",
         kCapture,
         {"5i5f", "5e8e"},
         [](OnlineGame& g) { return g.move(Side::Lower, "9d9b"); },
         Result::Lower,
         EndReason::Capture},
        {"camp",
         kCamp,
         {},
         [](OnlineGame& g) { return g.move(Side::Lower, "3e3c"); },
         Result::Lower,
         EndReason::Camp},
        {"resign",
         START_POSITION.data(),
         {"9g9f"},
         [](OnlineGame& g) { return g.resign(Side::Upper); },
         Result::Lower,
         EndReason::Resign},
        {"agreement",
         START_POSITION.data(),
         {"9g9f"},
         [](OnlineGame& g) {
             g.offerDraw(Side::Upper);
             EXPECT_EQ(g.answerDraw(Side::Upper, true).refusal, Refusal::NoOffer); // not one's own
             return g.answerDraw(Side::Lower, true);
         },
         Result::Draw,
         EndReason::Agreement},
        {"abort before the upper side moved",
         START_POSITION.data(),
         {"9g9f"},
         [](OnlineGame& g) { return g.abort(Side::Lower); },
         Result::Aborted,
         EndReason::Abort},
        {"abandoned",
         START_POSITION.data(),
         {},
         [&clock](OnlineGame& g) {
             g.setConnected(Side::Lower, true);
             g.setConnected(Side::Upper, true);
             g.setConnected(Side::Upper, false);
             clock.now += 60'000;
             EXPECT_EQ(g.claim(Side::Lower, 60'000).refusal, Refusal::TooEarly);
             clock.now += 1;
             return g.claim(Side::Lower, 60'000);
         },
         Result::Lower,
         EndReason::Abandoned},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OnlineGame g(at(c.start), std::nullopt, clock);
        g.begin();
        for (std::size_t i = 0; i < c.lowerUpper.size(); ++i)
            ASSERT_EQ(g.move(i % 2 ? Side::Upper : Side::Lower, c.lowerUpper[i]).refusal,
                      Refusal::None);
        const Outcome o = c.last(g);
        EXPECT_EQ(o.refusal, Refusal::None);
        EXPECT_TRUE(o.ended);
        EXPECT_EQ(g.result(), c.result);
        EXPECT_EQ(g.reason(), c.reason);
        EXPECT_EQ(g.resign(Side::Lower).refusal, Refusal::GameOver);
    }
}

TEST(OnlineGame, DrawOffersAndAbortsHaveTheirLimits) {
    FakeClock clock;
    OnlineGame g(Position::start(), std::nullopt, clock);
    g.begin();
    g.offerDraw(Side::Lower);
    EXPECT_EQ(g.answerDraw(Side::Upper, false).refusal, Refusal::None);
    EXPECT_EQ(g.answerDraw(Side::Upper, true).refusal,
              Refusal::NoOffer); // declined offers are gone
    g.offerDraw(Side::Lower);
    ASSERT_EQ(g.move(Side::Lower, "9g9f").refusal, Refusal::None);
    EXPECT_FALSE(g.drawOfferBy()); // a move withdraws it
    ASSERT_EQ(g.move(Side::Upper, "3c3d").refusal, Refusal::None);
    EXPECT_EQ(g.abort(Side::Upper).refusal, Refusal::TooLate);
    EXPECT_FALSE(g.over());
}

TEST(OnlineGame, ClocksRunForTheSideToMove) {
    FakeClock clock;
    OnlineGame g(Position::start(), ClockSettings{60'000, 2'000}, clock);
    g.begin();
    clock.now += 10'000;
    Outcome o = g.move(Side::Lower, "9g9f");
    ASSERT_TRUE(o.plies[0].clocks);
    EXPECT_EQ(*o.plies[0].clocks, (Clocks{52'000, 60'000}));
    clock.now += 59'999;
    EXPECT_EQ(g.msUntilFlag(), 1);
    EXPECT_FALSE(g.checkTime().ended);
    EXPECT_EQ(*g.clocks(), (Clocks{52'000, 1}));
    clock.now += 1;
    // A move that comes after the flag fell is not played: the time has ended the game.
    o = g.move(Side::Upper, "3c3d");
    EXPECT_TRUE(o.ended);
    EXPECT_TRUE(o.plies.empty());
    EXPECT_EQ(g.result(), Result::Lower);
    EXPECT_EQ(g.reason(), EndReason::Time);
    EXPECT_EQ(*g.clocks(), (Clocks{52'000, 0}));
}

TEST(OnlineGame, ARestoredGameGoesOnWhereItStopped) {
    FakeClock clock;
    OnlineGame played(Position::start(), ClockSettings{60'000, 0}, clock);
    played.begin();
    clock.now += 3'000;
    played.move(Side::Lower, "9g9f");
    clock.now += 500'000; // the server was away: no one's time
    OnlineGame back(Position::start(), ClockSettings{60'000, 0}, clock);
    ASSERT_TRUE(back.restore(played.moves(), played.storedClocks()));
    EXPECT_EQ(back.position(), played.position());
    EXPECT_EQ(*back.clocks(), (Clocks{57'000, 60'000}));
    EXPECT_FALSE(back.restore({"9g9e"}, {}));
}

} // namespace
} // namespace zubeki::server
