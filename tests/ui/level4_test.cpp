// LEVEL4 and the hint through the window: the computer's reply, the hint's outlines and box,
// and closing the window while the computer thinks.
#include "tests/ui/harness.h"

#include "game/notation.h"

#include <QTest>
#include <QTimer>

using namespace zubeki;
using namespace zubeki::uitest;

class Level4Test : public QObject {
    Q_OBJECT
  private slots:
    void theComputerRepliesAtLevel4();
    void aHintOutlinesAMoveAndNamesIt_data();
    void aHintOutlinesAMoveAndNamesIt();
    void aHintOutsideAGameIsRefused();
    void closingWhileItThinksEndsAtOnce();
};

namespace {

// A node budget makes LEVEL4 quick and the same every time.
constexpr ThinkBudget kQuick{1000, 20000, false};

} // namespace

void Level4Test::theComputerRepliesAtLevel4() {
    Harness h;
    h.f().game().setBudget(kQuick);
    h.action("LEVEL4")->trigger();
    QCOMPARE(h.session().LEVEL, 4);
    h.action("SENTE")->trigger();
    h.move(3, 7, 3, 4);
    // The computer moved one of its own pieces, and the turn is the player's again.
    const MoveList& r = h.f().game().record();
    QCOMPARE(r.RECORD_LEN, 2);
    QVERIFY(isUpperPiece(r.REC_PIECE[2]));
    QCOMPARE(h.s().BOARD[r.REC_TO_X[2]][r.REC_TO_Y[2]], r.REC_RESULT[2]);
    QCOMPARE(h.session().TURN, h.session().MAN_SIDE);
    // It thought during its pause: the pause is at most the usual half second.
    QVERIFY(!h.waits.empty());
    QVERIFY(*std::max_element(h.waits.begin(), h.waits.end()) <= 0.5);
}

void Level4Test::aHintOutlinesAMoveAndNamesIt_data() {
    QTest::addColumn<bool>("upperToMove");
    QTest::addRow("the first player") << false;
    QTest::addRow("the second player") << true;
}

void Level4Test::aHintOutlinesAMoveAndNamesIt() {
    QFETCH(bool, upperToMove);
    Harness h;
    h.f().game().setBudget(kQuick);
    h.action("START")->trigger();
    if (upperToMove) h.move(3, 7, 3, 4);
    h.forget();
    h.action("HINT")->trigger();
    QCOMPARE(h.messages.size(), std::size_t{1});
    QCOMPARE(h.messages[0].title, QStringLiteral("ヒント"));

    // The two squares outlined in the hint's colour are the move the box names.
    std::vector<Step> outlined;
    std::vector<std::pair<int, int>> squares;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (topEdge(h.image(), x, y) == paletteColour(HINT_COLOUR) &&
                leftEdge(h.image(), x, y) == paletteColour(HINT_COLOUR))
                squares.push_back({x, y});
    QCOMPARE(squares.size(), std::size_t{2});
    for (int from = 0; from < 2; ++from) {
        const auto [fx, fy] = squares[from];
        const auto [tx, ty] = squares[1 - from];
        const int piece = h.s().BOARD[fx][fy];
        if (piece == EMPTY || (isUpperPiece(piece) != upperToMove)) continue;
        Position s = h.s();
        QCOMPARE(s.移動チェック(fx, fy, tx, ty, piece), TRUE_CODE);
        // The box names the piece's square and its destination.
        auto square = [](int x, int y) {
            return QString::fromUtf8(notationGlyph(10 - x).data()) +
                   QString::fromUtf8(notationGlyph(1000 + y).data());
        };
        QVERIFY(h.messages[0].text.startsWith(square(fx, fy) + QStringLiteral("の")));
        QVERIFY(h.messages[0].text.contains(square(tx, ty) + QStringLiteral("へ")));
        outlined.push_back({fx, fy, tx, ty});
    }
    QCOMPARE(outlined.size(), std::size_t{1});
    // The next press takes the outlines away.
    h.press(5, 5);
    for (const auto& [x, y] : squares)
        QVERIFY(topEdge(h.image(), x, y) != paletteColour(HINT_COLOUR));
}

void Level4Test::aHintOutsideAGameIsRefused() {
    Harness h;
    h.forget();
    h.action("HINT")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("「対局」で始めて下さい | 開始 | OK")});
    QCOMPARE(FakeSound::lines(), QStringList{QStringLiteral("dsPlay 禁止.wav")});
}

void Level4Test::closingWhileItThinksEndsAtOnce() {
    Harness h;
    h.f().show();
    h.f().game().setBudget(ThinkBudget{60'000, 0, false}); // a minute: only closing ends it
    h.action("LEVEL4")->trigger();
    h.action("SENTE")->trigger();
    h.forget();
    QTimer::singleShot(100, &h.f(), [&h] { h.f().close(); });
    h.move(3, 7, 3, 4);
    QCOMPARE(h.ends, 1);
    QVERIFY(h.f().ended());
    // Nothing after the close: the computer's move is not played, nothing more is asked.
    QCOMPARE(h.f().game().record().RECORD_LEN, 1);
    QVERIFY(h.messages.empty());
}

QTEST_MAIN(Level4Test)
#include "level4_test.moc"
