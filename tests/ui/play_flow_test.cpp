// Moves as the window draws them: the capture animation frame by frame, check squares
// blinking, the move text and number beside the board. The flow's own rules (passes,
// promotion, the end of a game) are tested on the game's flow in tests/play.
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

using diagram::CaptureGame;
using diagram::kCaptureGames;

class PlayFlowTest : public QObject {
    Q_OBJECT
  private slots:
    void captureAnimatesAndWins_data();
    void captureAnimatesAndWins();
    void checkingMoveBlinksAndWritesTheMove();
};

void PlayFlowTest::captureAnimatesAndWins_data() {
    QTest::addColumn<int>("game");
    for (int i = 0; i < 2; ++i) QTest::addRow("%s", kCaptureGames[i].name) << i;
}

void PlayFlowTest::captureAnimatesAndWins() {
    QFETCH(int, game);
    const CaptureGame& g = kCaptureGames[game];
    Harness h;
    h.place(g.rows);
    h.action("START")->trigger();
    for (std::size_t i = 0; i + 1 < g.moves.size(); ++i) {
        const Step& m = g.moves[i];
        h.move(m.fx, m.fy, m.tx, m.ty);
        QCOMPARE(h.s().BOARD[m.fx][m.fy], EMPTY);
    }
    const int victim = h.s().BOARD[g.capturedX][g.capturedY];
    QCOMPARE(victim > 0, g.upperVanishes);

    bool boardWhenWon = false;
    h.onMessage = [&](const Message& m) {
        if (m.text.endsWith(QStringLiteral("の勝ちです")))
            boardWhenWon = h.s().BOARD[g.capturedX][g.capturedY] == EMPTY;
    };
    h.forget();
    h.keepFrames = true;
    const Step& last = g.moves.back();
    h.move(last.fx, last.fy, last.tx, last.ty);

    // The capture's three frames are the last three waits of the move.
    QVERIFY(h.waits.size() >= 3);
    const std::size_t n = h.waits.size();
    for (std::size_t i = n - 3; i < n; ++i) QCOMPARE(h.waits[i], 0.3);
    const Pictures& pics = h.f().view().pictures();
    const int cx = g.capturedX, cy = g.capturedY;
    // The three pictures must tell apart, or the frames below would prove nothing.
    QVERIFY(pictureOn(pics.PA, cx, cy) != pictureOn(pics.KARA_MASU, cx, cy));
    QVERIFY(pictureOn(pics.TEKI_NAKA, cx, cy) != pictureOn(pics.JI_NAKA, cx, cy));
    QCOMPARE(inside(h.frames[n - 3], cx, cy),
             pictureOn(g.upperVanishes ? pics.TEKI_NAKA : pics.JI_NAKA, cx, cy));
    QCOMPARE(inside(h.frames[n - 2], cx, cy), pictureOn(pics.PA, cx, cy));
    QCOMPARE(inside(h.frames[n - 1], cx, cy), pictureOn(pics.KARA_MASU, cx, cy));
    // The vanish sound comes between the side picture and the burst, once.
    const QStringList vanish = FakeSound::only("dsPlay", h.soundAtWait[n - 3]);
    QVERIFY(vanish.contains(QStringLiteral("dsPlay 消滅.wav")));
    QCOMPARE(FakeSound::lines(h.soundAtWait[n - 3])
                 .mid(0, static_cast<int>(h.soundAtWait[n - 2] - h.soundAtWait[n - 3])),
             QStringList{QStringLiteral("dsPlay 消滅.wav")});
    QCOMPARE(FakeSound::only("dsPlay").count(QStringLiteral("dsPlay 消滅.wav")), 1);
    QVERIFY(boardWhenWon);

    QCOMPARE(h.shown(), (QStringList{QString::fromUtf8(g.result),
                                     QStringLiteral("続けますか？ | 再ゲーム | YesNo")}));
    // Yes: a fresh position and no game running.
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.session().TURN, NO_SIDE);
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    QCOMPARE(h.s().MOVE_COUNT, 0);
    QCOMPARE(h.ends, 0);
}

void PlayFlowTest::checkingMoveBlinksAndWritesTheMove() {
    Harness h;
    h.place(kCaptureGames[0].rows);
    h.action("START")->trigger();
    QCOMPARE(ink(lowerSlot(h.image())), 0);
    QCOMPARE(ink(upperSlot(h.image())), 0);
    const QImage rookBefore = inside(h.image(), 5, 5);
    const QImage numberBefore = moveNumberSlot(h.image());

    h.keepFrames = true;
    h.move(5, 9, 5, 6); // the lower rook arrives under the upper rook
    QCOMPARE(h.s().CHECK_ACTIVE, TRUE_CODE);
    QCOMPARE(diagram::marks(h.s().CHECK_SQUARES), diagram::marks({"", "", "", "", "....#"}));
    QCOMPARE(h.waits, (std::vector<double>(6, 0.15)));
    // Off, on, three times: the empty square, then the rook again.
    const QImage empty = pictureOn(h.f().view().pictures().KARA_MASU, 5, 5);
    for (int i = 0; i < 6; i += 2) {
        QCOMPARE(inside(h.frames[static_cast<std::size_t>(i)], 5, 5), empty);
        QCOMPARE(inside(h.frames[static_cast<std::size_t>(i + 1)], 5, 5), rookBefore);
    }
    QCOMPARE(colourName(topEdge(h.image(), 5, 5)), colourName(kLightBlue));
    // The lower side's move is written in its slot, and the number moves on.
    QVERIFY(ink(lowerSlot(h.image())) > 0);
    QCOMPARE(ink(upperSlot(h.image())), 0);
    const QImage numberOne = moveNumberSlot(h.image());
    QVERIFY(numberOne != numberBefore);
    QCOMPARE(h.s().MOVE_COUNT, 1);
    QCOMPARE(FakeSound::only("dsPlay"), QStringList{QStringLiteral("dsPlay 駒打音.wav")});

    // The upper rook answers the check; no check follows, so the six pauses show nothing.
    h.forget();
    h.move(5, 5, 2, 5);
    QCOMPARE(h.waits, (std::vector<double>(6, 0.15)));
    QCOMPARE(h.s().CHECK_ACTIVE, FALSE_CODE);
    QVERIFY(ink(upperSlot(h.image())) > 0);
    QVERIFY(moveNumberSlot(h.image()) != numberOne);
    QCOMPARE(h.session().TURN, SIDE_SENTE);
}

// The lower rook in the corner is walled in by two upper rooks that cannot move either.
QTEST_MAIN(PlayFlowTest)
#include "play_flow_test.moc"
