// What the window shows about the state of play: the starting picture, move guidance,
// blinking check squares, the last move in notation, the move number and the record panel.

#include "game/state.h"
#include "tests/ui/named.h"
#include "tests/view/probe.h"
#include "ui/form1.h"
#include "view/board_view.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

using namespace zubeki;
using namespace zubeki::probe;
using namespace zubeki::uitest;

namespace {

constexpr int MAGENTA = 13;

struct Rig {
    GameState state;
    Options options;
    Canvas canvas;
    BoardView view{state, options, canvas};
    WaitRecorder waits;

    Rig() { view.waiter = waits.bind(canvas); }
    void paintMagenta() { canvas.fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, MAGENTA); }
};

// The window with every seam scripted: no dialog, no real wait, no real exit.
struct Window {
    std::vector<std::string> messages;
    WaitRecorder waits;
    bool endRequested = false;
    std::unique_ptr<Form1> form;

    Window() {
        Seams seams;
        seams.messageBox = [this](const std::string& text, const std::string&, Buttons, Icon) {
            messages.push_back(text);
            return Answer::Ok;
        };
        seams.wait = [this](double s) { waits.seconds.push_back(s); };
        seams.clockDigit = [] { return 0; };
        seams.endProgram = [this] { endRequested = true; };
        form = std::make_unique<Form1>(std::move(seams));
    }
};

bool isMagenta(QRgb c) {
    return isPalette(c, MAGENTA);
}
bool notMagenta(QRgb c) {
    return !isMagenta(c);
}
bool reddish(QRgb c) {
    return qRed(c) > 128 && qGreen(c) < 100 && qBlue(c) < 100;
}

// The starting position as it reads on screen, row 1 at the top, column 1 at the left.
// R/B upper rook/bishop, r/b lower rook/bishop.
const char* const START[9] = {
    "......RBR", "......BRB", "......RBR", ".........", ".........",
    ".........", "rbr......", "brb......", "rbr......",
};

int codeOf(char c) {
    switch (c) {
    case 'R':
        return UE_ROOK;
    case 'B':
        return UE_BISHOP;
    case 'r':
        return SITA_ROOK;
    case 'b':
        return SITA_BISHOP;
    default:
        return EMPTY;
    }
}

std::vector<std::pair<int, const QImage*>> unpromotedPictures(const Pictures& p) {
    return {{EMPTY, &p.KARA_MASU},
            {UE_ROOK, &p.UE_SYA[0]},
            {UE_BISHOP, &p.UE_KAKU[0]},
            {SITA_ROOK, &p.SITA_SYA[0]},
            {SITA_BISHOP, &p.SITA_KAKU[0]}};
}

} // namespace

class StatusTest : public QObject {
    Q_OBJECT

  private slots:
    void startingPicture();
    void guidance_data();
    void guidance();
    void blinkLeavesPiecesOutlined();
    void blinkWaitsEvenWithoutMarks_data();
    void blinkWaitsEvenWithoutMarks();
    void moveResultInNotation_data();
    void moveResultInNotation();
    void moveNumberPlacement_data();
    void moveNumberPlacement();
    void recordPanelShowAndHide();
};

void StatusTest::startingPicture() {
    Window w;
    w.form->Form_Load();
    const QImage& img = w.form->canvas().image();
    const auto candidates = unpromotedPictures(w.form->view().pictures());

    int pieces = 0, empties = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int expected = codeOf(START[y - 1][x - 1]);
            QCOMPARE(w.form->game().state().BOARD[x][y], expected);
            const int shown = closestPicture(img, x, y, candidates);
            QVERIFY2(shown == expected,
                     qPrintable(QStringLiteral("square (%1, %2) shows %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(shown)
                                    .arg(expected)));
            (expected == EMPTY ? empties : pieces) += 1;
        }
    QCOMPARE(pieces, 18);
    QCOMPARE(empties, 63);

    // Logo at (6396, 100) twips, labels beside the board, green everywhere else.
    const Box logo{Canvas::toPixel(6396), Canvas::toPixel(100), Canvas::toPixel(6396) + 118,
                   Canvas::toPixel(100) + 39};
    QCOMPARE(count(img, logo, [](QRgb c) { return isPalette(c, BOARD_COLOUR); }), 0);
    QVERIFY(count(img, unitBox(1.1, 0.4, 400, 350), isWhitish) > 0);
    QVERIFY(count(img, unitBox(10.1, 9.3, 400, 350), isWhitish) > 0);
    for (const auto& [x, y] : {std::pair{5, 450}, std::pair{300, 500}, std::pair{10, 10},
                               std::pair{560, 200}, std::pair{80, 300}})
        QVERIFY2(isPalette(at(img, x, y), BOARD_COLOUR), qPrintable(QString::number(x)));
}

void StatusTest::guidance_data() {
    QTest::addColumn<int>("guidance");
    QTest::newRow("guidance off") << FALSE_CODE;
    QTest::newRow("guidance on") << TRUE_CODE;
}

void StatusTest::guidance() {
    QFETCH(int, guidance);
    Rig r;
    r.state.初期設定();
    r.options.GUIDANCE = guidance;
    r.view.描画_盤();
    // Leftovers of an earlier selection that the guidance must take off first.
    r.view.描画_桝輪郭(COLOUR_LIGHT_RED, 3, 9);
    r.view.描画_桝輪郭(COLOUR_WHITE, 5, 5);
    r.view.描画_桝輪郭(COLOUR_WHITE, 9, 9);

    r.view.描画_移動可能桝色(3, 7, COLOUR_WHITE, SITA_ROOK);
    const QImage& img = r.canvas.image();

    auto reachable = [&](int x, int y) {
        return guidance == TRUE_CODE && r.state.移動チェック(3, 7, x, y, SITA_ROOK) == TRUE_CODE;
    };
    int outlined = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (reachable(x, y)) {
                QVERIFY(outlinedIn(img, x, y, COLOUR_WHITE));
                ++outlined;
                continue;
            }
            // Neighbours share edges and corners with an outlined square.
            bool besideReachable = false;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) besideReachable |= reachable(x + dx, y + dy);
            if (!besideReachable)
                QVERIFY2(outlinedIn(img, x, y, OUTLINE_COLOUR),
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
    if (guidance == TRUE_CODE)
        QVERIFY(outlined > 0);
    else
        QCOMPARE(count(img, twipsBox(1545, 715, 6000, 6250), isWhitish), 0);
    QCOMPARE(count(img, twipsBox(1545, 715, 6000, 6250),
                   [](QRgb c) { return isPalette(c, COLOUR_LIGHT_RED); }),
             0);
}

void StatusTest::blinkLeavesPiecesOutlined() {
    Rig r;
    r.state.初期設定();
    r.state.BOARD[5][5] = SITA_BISHOP_PROMOTED;
    const std::pair<int, int> marked[] = {{7, 1}, {2, 8}, {5, 5}};
    for (const auto& [x, y] : marked) r.state.CHECK_SQUARES[x][y] = TRUE_CODE;
    r.view.描画_盤();
    const QImage before = r.canvas.image().copy();

    r.view.描画_点滅_チェック桝(3);

    QCOMPARE(r.waits.seconds, std::vector<double>(6, 0.15));
    const Pictures& p = r.view.pictures();
    auto candidates = unpromotedPictures(p);
    candidates.push_back({SITA_BISHOP_PROMOTED, &p.SITA_KAKU[1]});
    for (std::size_t i = 0; i < r.waits.frames.size(); ++i) {
        const bool offPhase = i % 2 == 0;
        for (const auto& [x, y] : marked) {
            const int shown = closestPicture(r.waits.frames[i], x, y, candidates);
            QCOMPARE(shown, offPhase ? EMPTY : r.state.BOARD[x][y]);
            QVERIFY(outlinedIn(r.waits.frames[i], x, y, COLOUR_LIGHT_BLUE));
        }
    }

    const QImage& img = r.canvas.image();
    for (const auto& [x, y] : marked) {
        QCOMPARE(closestPicture(img, x, y, candidates), r.state.BOARD[x][y]);
        QVERIFY(outlinedIn(img, x, y, COLOUR_LIGHT_BLUE));
    }
    // Unmarked squares are not touched.
    QVERIFY(sameIn(img, before, squareInterior(8, 2)));
    QVERIFY(sameIn(img, before, squareInterior(4, 4)));
    QVERIFY(sameIn(img, before, squareInterior(1, 7)));
}

void StatusTest::blinkWaitsEvenWithoutMarks_data() {
    QTest::addColumn<int>("blinks");
    QTest::addColumn<int>("waits");
    QTest::newRow("three blinks") << 3 << 6;
    QTest::newRow("one blink") << 1 << 2;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("negative") << -2 << 0;
}

void StatusTest::blinkWaitsEvenWithoutMarks() {
    QFETCH(int, blinks);
    QFETCH(int, waits);
    Rig r;
    r.state.初期設定();
    r.view.描画_盤();
    const QImage before = r.canvas.image().copy();

    r.view.描画_点滅_チェック桝(blinks);

    QCOMPARE(r.waits.seconds, std::vector<double>(static_cast<std::size_t>(waits), 0.15));
    for (const QImage& frame : r.waits.frames) QCOMPARE(frame, before);
    QCOMPARE(r.canvas.image(), before);
}

void StatusTest::moveResultInNotation_data() {
    QTest::addColumn<double>("slotX");
    QTest::addColumn<double>("slotY");
    QTest::addColumn<int>("toX");
    QTest::addColumn<int>("toY");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QStringList>("glyphs");
    QTest::newRow("upper rook to (3, 6): 7-6 rook")
        << UE_RESULT_X << UE_RESULT_Y << 3 << 6 << UE_ROOK
        << QStringList{QStringLiteral("７"), QStringLiteral("六"), QStringLiteral("飛")};
    QTest::newRow("lower promoted bishop to (9, 1): 1-1 bishop promoted")
        << SITA_RESULT_X << SITA_RESULT_Y << 9 << 1 << SITA_BISHOP_PROMOTED
        << QStringList{QStringLiteral("１"), QStringLiteral("一"), QStringLiteral("角成")};
    QTest::newRow("upper promoted rook to (1, 9)")
        << UE_RESULT_X << UE_RESULT_Y << 1 << 9 << UE_ROOK_PROMOTED
        << QStringList{QStringLiteral("９"), QStringLiteral("九"), QStringLiteral("飛成")};
}

void StatusTest::moveResultInNotation() {
    QFETCH(double, slotX);
    QFETCH(double, slotY);
    QFETCH(int, toX);
    QFETCH(int, toY);
    QFETCH(int, piece);
    QFETCH(QStringList, glyphs);
    Rig r;
    r.view.描画_桝_数値(); // bold, as in the game
    r.paintMagenta();
    r.view.描画_移動結果(slotX, slotY, toX, toY, piece, RESULT_TEXT_COLOUR);

    // The same three glyphs with the same font at the same pens on an erased canvas.
    Canvas reference;
    reference.fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, BOARD_COLOUR);
    QFont font = windowFont();
    font.setBold(true);
    const double pens[3] = {slotX, slotX + 0.4, slotX + 1};
    for (int i = 0; i < 3; ++i)
        reference.drawText(unitToTwipsX(pens[i]), unitToTwipsY(slotY), glyphs[i], COLOUR_WHITE,
                           font, 12);

    const Box slot = unitBox(slotX, slotY, 1250, 380);
    const QImage& img = r.canvas.image();
    QCOMPARE(count(img, slot, isMagenta), 0);
    QCOMPARE(countOutside(img, slot, notMagenta), 0);
    QVERIFY(count(img, slot, isWhitish) > 0);
    QVERIFY(sameIn(img, reference.image(), slot));
}

void StatusTest::moveNumberPlacement_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<double>("pen");
    QTest::addColumn<int>("colour");
    QTest::newRow("9") << 9 << 11.9 << COLOUR_WHITE;
    QTest::newRow("10") << 10 << 11.8 << COLOUR_WHITE;
    QTest::newRow("99") << 99 << 11.8 << COLOUR_WHITE;
    QTest::newRow("100, asked in red") << 100 << 11.7 << COLOUR_LIGHT_RED;
}

void StatusTest::moveNumberPlacement() {
    QFETCH(int, number);
    QFETCH(double, pen);
    QFETCH(int, colour);
    Rig shown, expected;
    shown.view.描画_手数(number, colour);
    expected.view.描画_数値(pen, 2.3, number, COLOUR_WHITE, 0, 12);

    // The number's band, left of where "手目" is written.
    const Box band{Canvas::toPixel(unitToTwipsX(11.5)), Canvas::toPixel(unitToTwipsY(2.3)),
                   Canvas::toPixel(unitToTwipsX(12.7)), Canvas::toPixel(unitToTwipsY(2.3) + 350)};
    const int start = firstColumn(shown.canvas.image(), band, isWhitish);
    QVERIFY(start >= Canvas::toPixel(unitToTwipsX(pen)));
    QCOMPARE(start, firstColumn(expected.canvas.image(), band, isWhitish));
    QVERIFY(sameIn(shown.canvas.image(), expected.canvas.image(), band));

    // Always white, and followed by "手目".
    QCOMPARE(count(shown.canvas.image(), {0, 0, 100000, 100000}, reddish), 0);
    QVERIFY(count(shown.canvas.image(), unitBox(12.7, 2.1, 2200, 560), isWhitish) > 0);
}

void StatusTest::recordPanelShowAndHide() {
    Window w;
    Form1& f = *w.form;
    f.描画_可視(true, true, false); // the panel is built when first shown
    const auto fields = nameFields(f);
    QList<QWidget*> names(fields.begin(), fields.end());
    names << widget(f, "Command1");
    QStringList captions; // the four Label1 captions, in index order
    for (QLabel* label : childrenNamed<QLabel>(f, "Label1")) {
        names << label;
        captions << label->text();
    }
    QCOMPARE(captions, (QStringList{"ﾌｧｲﾙ名 ：", "後    手 ：", "先    手 ：", "対 局 名："}));

    // Writing a record: lists and names shown.
    f.描画_可視(true, true, false);
    f.描画_棋譜_IO(0);
    for (QWidget* c : names) QVERIFY(!c->isHidden());
    int n = 0;
    for (QLineEdit* t : fields) t->setText(QStringLiteral("名前%1").arg(++n));

    // Showing again keeps what was typed.
    f.描画_棋譜_IO(0);
    for (QLineEdit* t : fields) QVERIFY(!t->text().isEmpty());

    // Any non-zero value hides the names and loses the text; the lists are not its business.
    for (int flag : {1, 7, -1}) {
        for (QLineEdit* t : fields) t->setText(QStringLiteral("x"));
        f.描画_棋譜_IO(0);
        f.描画_棋譜_IO(flag);
        for (QWidget* c : names) QVERIFY(c->isHidden());
        for (QLineEdit* t : fields) QVERIFY(t->text().isEmpty());
        QVERIFY(!widget(f, "Drive1")->isHidden());
        QVERIFY(!widget(f, "Dir1")->isHidden());
        QVERIFY(widget(f, "File1")->isHidden());
    }
    QVERIFY(w.messages.empty());
}

QTEST_MAIN(StatusTest)
#include "status_test.moc"
