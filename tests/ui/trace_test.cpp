// The window's whole behaviour as a trace kept in the tree: seeded games and flows played
// through Form1 at its default size, in Japanese, one line per event in order -- every wait
// (seconds and a hash of the canvas), every sound library call, every message box with the
// answer given, and the canvas hash after each press or menu item. A difference prints the
// first lines that differ.
//
// Regenerating: ZUBEKI_WRITE_TRACES=1 ./zubeki_ui_trace_test rewrites tests/ui/traces/*.txt in
// the source tree. Do that only when a change of what the player sees or hears is intended,
// and look at the diff; a refactoring beneath the window must pass with the traces unchanged.
#include "game/moves.h"
#include "harness.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <random>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// FNV-1a 64 over the canvas's pixels, row by row without padding.
QString hashOf(const QImage& image) {
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* row = img.constScanLine(y);
        for (int i = 0; i < img.width() * 4; ++i) h = (h ^ row[i]) * 1099511628211ull;
    }
    return QString::number(h, 16);
}

struct Tracer {
    Harness h;
    QStringList lines;
    std::size_t soundSeen = 0;
    std::mt19937 rng{12345};

    Tracer() {
        flushSound();
        h.onWait = [this] {
            flushSound();
            lines << QStringLiteral("wait %1 %2").arg(h.waits.back()).arg(hashOf(h.image()));
        };
        h.onMessage = [this](const Message& m) {
            flushSound();
            QString answer = QStringLiteral("Ok");
            if (m.buttons == Buttons::YesNo)
                answer = h.answers.empty() || h.answers.front() == Answer::Yes
                             ? QStringLiteral("Yes")
                             : QStringLiteral("No");
            lines << QStringLiteral("box %1 -> %2").arg(m.line(), answer);
        };
    }
    void flushSound() {
        for (const QString& l : FakeSound::lines(soundSeen)) lines << QStringLiteral("sound ") + l;
        soundSeen = FakeSound::log.size();
    }
    void after(const QString& what) {
        flushSound();
        lines << QStringLiteral("%1 => %2").arg(what, hashOf(h.image()));
    }
    void menu(const char* name) {
        lines << QStringLiteral("menu %1").arg(QLatin1String(name));
        h.action(name)->trigger();
        after(QStringLiteral("menu"));
    }
    void press(int x, int y, int button = 1) {
        lines << QStringLiteral("press %1 %2 %3").arg(x).arg(y).arg(button);
        h.press(x, y, button);
        after(QStringLiteral("press"));
    }
    // The side pressed for in 合法手一覧's terms: -1 the lower side, +1 the upper. Against the
    // computer the player has the lower pieces; between humans the lower side moves first.
    int human = 0;
    int side() const { return human != 0 ? human : h.s().MOVE_COUNT % 2 == 0 ? -1 : 1; }
    // A seeded legal move of the side to move, made by presses; a pass is a press anywhere.
    // Now and then a refused press comes first: an opponent's piece or an unreachable square.
    void randomMove(bool refusals) {
        LegalMoves legal;
        合法手一覧(h.s(), side(), legal);
        if (legal.size == 0) return;
        const Move m = legal.at[rng() % static_cast<unsigned>(legal.size)];
        if (m.pass()) return press(5, 5);
        if (refusals && rng() % 4 == 0) {
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    if (h.s().BOARD[x][y] != EMPTY &&
                        (h.s().BOARD[x][y] > 0) == (side() < 0)) { // an opponent's piece
                        press(x, y);
                        x = y = 10;
                    }
        }
        if (refusals && h.s().CHECK_ACTIVE == TRUE_CODE) { // an own piece that cannot answer
            SquareSet sources;
            for (const Move& l : legal) sources.add(l.移動元X, l.移動元Y);
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    if (h.s().BOARD[x][y] != EMPTY && (h.s().BOARD[x][y] > 0) == (side() > 0) &&
                        !sources.contains(x, y)) {
                        press(x, y);
                        x = y = 10;
                    }
        }
        press(m.移動元X, m.移動元Y);
        if (refusals && rng() % 4 == 0) {
            const SquareSet to = legalDestinations(h.s(), m.移動元X, m.移動元Y, m.移動前駒);
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    if (!to.contains(x, y) && h.s().BOARD[x][y] == EMPTY) {
                        press(x, y);
                        x = y = 10;
                    }
            press(m.移動元X, m.移動元Y);
        }
        press(m.移動先X, m.移動先Y, m.promotes() ? RIGHT_BUTTON : 1);
    }
    void play(int plies, bool refusals) {
        // The first press may come with no game running: after stepping back it resumes.
        for (int i = 0; i < plies && !h.f().ended() && (i == 0 || h.session().TURN != NO_SIDE); ++i)
            randomMove(refusals);
    }
};

// Positions set up before a game: a camp filled, passes between humans and against the computer.
// A move with fx 0 is one press on (tx, ty).
struct SetUp {
    const char* name;
    diagram::Rows rows;
    const char* start;
    std::vector<Step> moves;
};
const SetUp kSetUps[] = {
    {"camp", {".R....rrr", "......rrr", ".......rr", "", "", "......r"}, "START", {{7, 6, 7, 3}}},
    {"pass_humans", {"", "", "", "", "", "", "", "R", "rR"}, "START", {{0, 0, 5, 5}, {0, 0, 1, 1}}},
    {"pass_computer", {"", "", "", "", "", "", "", "R", "rR"}, "SENTE", {{0, 0, 5, 5}}},
    {"computer_passes",
     {"", "", "", "", "....r", "", "", "R", "rR"},
     "SENTE",
     {{5, 5, 6, 5}, {6, 5, 6, 4}}},
};

QString traceFile(const QString& name) {
    return QStringLiteral(ZUBEKI_SOURCE_DIR "/tests/ui/traces/") + name + QStringLiteral(".txt");
}

} // namespace

class TraceTest : public QObject {
    Q_OBJECT
  private slots:
    void flows_data();
    void flows();
};

void TraceTest::flows_data() {
    QTest::addColumn<QString>("flow");
    for (const char* f : {"humans", "capture_yes", "capture_no", "level1_sente", "level1_gote",
                          "level2_sente", "level2_gote", "level3_sente", "level3_gote"})
        QTest::addRow("%s", f) << QString::fromLatin1(f);
    for (const SetUp& s : kSetUps) QTest::addRow("%s", s.name) << QString::fromLatin1(s.name);
}

void TraceTest::flows() {
    QFETCH(QString, flow);
    Tracer t;
    if (flow == QLatin1String("humans")) {
        t.menu("START");
        t.play(40, true);
        t.menu("SIDOU");
        t.play(20, true);
        t.menu("KIFU_WRITE");
        t.h.widget<QLineEdit>("Text1")->setText(QStringLiteral("trace"));
        QVERIFY(t.h.f().Command1_Click());
        t.after(QStringLiteral("write"));
        t.menu("SIDOU");
        for (const char* m : {"REPLAY", "REPLAY", "REPLAY", "AFTER"}) t.menu(m);
        t.play(10, false); // a press after stepping back plays on from there
        for (const char* m : {"REVERSE", "REVERSE", "REPLAY", "CANCEL", "AFTER", "AFTER"})
            t.menu(m);
        t.menu("KIFU_READ");
        QVERIFY(t.h.f().File1_Click(QStringLiteral("trace.棋譜")));
        t.after(QStringLiteral("read"));
        for (int i = 0; i < 8; ++i) t.menu("AFTER");
        t.menu("CANCEL");
    } else if (flow.startsWith(QLatin1String("capture"))) {
        const diagram::CaptureGame& g = diagram::kCaptureGames[flow.endsWith("yes") ? 0 : 1];
        t.h.answers = {flow.endsWith("yes") ? Answer::Yes : Answer::No};
        t.h.place(g.rows);
        t.after(QStringLiteral("placed"));
        t.menu("START");
        for (const Step& m : g.moves) {
            t.press(m.fx, m.fy);
            t.press(m.tx, m.ty);
        }
    } else if (!flow.startsWith(QLatin1String("level"))) {
        const SetUp& s = *std::find_if(std::begin(kSetUps), std::end(kSetUps), [&](const SetUp& u) {
            return flow == QLatin1String(u.name);
        });
        t.h.answers = {Answer::No};
        t.h.place(s.rows);
        t.after(QStringLiteral("placed"));
        t.menu(s.start);
        for (const Step& m : s.moves) {
            if (m.fx != 0) t.press(m.fx, m.fy);
            t.press(m.tx, m.ty);
        }
    } else {
        const QString level = flow.section(QLatin1Char('_'), 0, 0).toUpper();
        t.menu(level.toLatin1().constData());
        t.h.answers = {Answer::No};
        t.menu(flow.endsWith(QLatin1String("sente")) ? "SENTE" : "GOTE");
        t.human = -1;
        t.play(30, true);
    }
    t.flushSound();

    const QString path = traceFile(flow);
    if (qEnvironmentVariableIsSet("ZUBEKI_WRITE_TRACES")) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write((t.lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path + QStringLiteral(" is missing")));
    const QStringList stored = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < std::max(stored.size() - 1, t.lines.size()); ++i) {
        const QString want = i < stored.size() - 1 ? stored[i] : QStringLiteral("<end>");
        const QString got = i < t.lines.size() ? t.lines[i] : QStringLiteral("<end>");
        if (want == got) continue;
        QString report = QStringLiteral("%1:%2 differs\n").arg(path).arg(i + 1);
        for (int j = i; j < i + 5; ++j)
            report += QStringLiteral("  line %1\n    stored: %2\n    now:    %3\n")
                          .arg(j + 1)
                          .arg(j < stored.size() - 1 ? stored[j] : QStringLiteral("<end>"))
                          .arg(j < t.lines.size() ? t.lines[j] : QStringLiteral("<end>"));
        QFAIL(qPrintable(report));
    }
}

QTEST_MAIN(TraceTest)
#include "trace_test.moc"
