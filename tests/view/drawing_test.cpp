// The drawing primitives read back from the canvas: pictures, erasing boxes, texts,
// outlines, the edge labels and the inverse mapping used by mouse presses.

#include "tests/view/probe.h"
#include "view/board_view.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <memory>

using namespace zubeki;
using namespace zubeki::probe;

namespace {

constexpr int MAGENTA = 13;

struct Rig {
    Position state;
    Options options;
    Canvas canvas;
    BoardView view{state, options, canvas};

    // A colour no routine draws with, so anything drawn or erased shows.
    void paintMagenta() { canvas.fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, MAGENTA); }
};

bool isMagenta(QRgb c) {
    return isPalette(c, MAGENTA);
}
bool notMagenta(QRgb c) {
    return !isMagenta(c);
}
bool isGreen(QRgb c) {
    return isPalette(c, BOARD_COLOUR);
}
bool notGreen(QRgb c) {
    return !isGreen(c);
}

} // namespace

class DrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void canvasFollowsScreenDensity();
    void pictureFillsItsSquare_data();
    void pictureFillsItsSquare();
    void logoStandsRightOfTheBoard();
    void unknownPictureCodeLeavesTheSquare_data();
    void unknownPictureCodeLeavesTheSquare();
    void numberBoxOnlyErasedWithoutNumeral_data();
    void numberBoxOnlyErasedWithoutNumeral();
    void numberTextHasLeadingBlank();
    void fixedStringByCode_data();
    void fixedStringByCode();
    void notationGlyphsNeverErase_data();
    void notationGlyphsNeverErase();
    void laterOutlineTakesSharedEdge();
    void edgeLabelsBesideTheBoard();
    void squareUnderPressAtBoardEdges_data();
    void squareUnderPressAtBoardEdges();
};

void DrawingTest::canvasFollowsScreenDensity() {
    // Run once at ratio 1 and once with QT_SCALE_FACTOR=2: the image must carry the ratio
    // and cover the whole form in logical pixels.
    Rig r;
    const qreal dpr = QGuiApplication::primaryScreen()->devicePixelRatio();
    qInfo("device pixel ratio %g", dpr);
    QCOMPARE(r.canvas.pixelRatio(), dpr);
    QVERIFY(r.canvas.image().width() >= qRound(Canvas::toPixel(FORM_WIDTH) * dpr));
    QVERIFY(r.canvas.image().height() >= qRound(Canvas::toPixel(FORM_HEIGHT) * dpr));
}

void DrawingTest::pictureFillsItsSquare_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("upper bishop") << UE_BISHOP << 1 << 1;
    QTest::newRow("upper bishop promoted") << UE_BISHOP_PROMOTED << 9 << 9;
    QTest::newRow("upper rook") << UE_ROOK << 4 << 5;
    QTest::newRow("upper rook promoted") << UE_ROOK_PROMOTED << 9 << 1;
    QTest::newRow("lower bishop") << SITA_BISHOP << 1 << 9;
    QTest::newRow("lower bishop promoted") << SITA_BISHOP_PROMOTED << 5 << 3;
    QTest::newRow("lower rook") << SITA_ROOK << 2 << 8;
    QTest::newRow("lower rook promoted") << SITA_ROOK_PROMOTED << 6 << 7;
    QTest::newRow("burst") << PIC_PA << 3 << 3;
    QTest::newRow("own vanishing") << PIC_JI_NAKA << 7 << 2;
    QTest::newRow("enemy vanishing") << PIC_TEKI_NAKA << 8 << 6;
}

void DrawingTest::pictureFillsItsSquare() {
    QFETCH(int, code);
    QFETCH(int, x);
    QFETCH(int, y);
    Rig r;
    r.paintMagenta();
    r.view.描画_絵(code, x, y);

    // The square spans 1050 + 495x .. +495 by 100 + 615y .. +615 twips.
    const Box square = squareBox(x, y);
    QCOMPARE(square.left, Canvas::toPixel(1050 + 495 * x));
    QCOMPARE(square.right, Canvas::toPixel(1050 + 495 * x + 495));
    QCOMPARE(square.top, Canvas::toPixel(100 + 615 * y));
    QCOMPARE(square.bottom, Canvas::toPixel(100 + 615 * y + 615));
    const QImage& img = r.canvas.image();
    QCOMPARE(count(img, square, isMagenta), 0);
    QCOMPARE(countOutside(img, square, notMagenta), 0);

    // And it is the right picture: the one its code names, of all the square pictures.
    const Pictures& p = r.view.pictures();
    const std::vector<std::pair<int, const QImage*>> all = {
        {EMPTY, &p.KARA_MASU},
        {UE_BISHOP, &p.UE_KAKU[0]},
        {UE_BISHOP_PROMOTED, &p.UE_KAKU[1]},
        {UE_ROOK, &p.UE_SYA[0]},
        {UE_ROOK_PROMOTED, &p.UE_SYA[1]},
        {SITA_BISHOP, &p.SITA_KAKU[0]},
        {SITA_BISHOP_PROMOTED, &p.SITA_KAKU[1]},
        {SITA_ROOK, &p.SITA_SYA[0]},
        {SITA_ROOK_PROMOTED, &p.SITA_SYA[1]},
        {PIC_PA, &p.PA},
        {PIC_JI_NAKA, &p.JI_NAKA},
        {PIC_TEKI_NAKA, &p.TEKI_NAKA},
    };
    QCOMPARE(closestPicture(img, x, y, all), code);
}

void DrawingTest::logoStandsRightOfTheBoard() {
    Rig r;
    r.paintMagenta();
    r.view.描画_絵(PIC_LOGO, 10.8, 0);

    QCOMPARE(unitToTwipsX(10.8), 6396.0f);
    QCOMPARE(unitToTwipsY(0), 100.0f);
    const Box logo{Canvas::toPixel(6396), Canvas::toPixel(100), Canvas::toPixel(6396) + 118,
                   Canvas::toPixel(100) + 39};
    const QImage& img = r.canvas.image();
    QCOMPARE(count(img, logo, isMagenta), 0);
    QCOMPARE(countOutside(img, logo, notMagenta), 0);
}

void DrawingTest::unknownPictureCodeLeavesTheSquare_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("empty") << EMPTY;
    QTest::newRow("between the picture codes") << 4;
    QTest::newRow("below the bishops") << 799;
    QTest::newRow("above the rooks") << 902;
    QTest::newRow("negative, not a piece") << -2;
}

void DrawingTest::unknownPictureCodeLeavesTheSquare() {
    QFETCH(int, code);
    Rig r;
    r.view.描画_絵(UE_ROOK, 5, 5);
    const QImage before = r.canvas.image().copy();
    r.view.描画_絵(code, 5, 5);
    QCOMPARE(r.canvas.image(), before);
}

void DrawingTest::numberBoxOnlyErasedWithoutNumeral_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("asString");
    QTest::newRow("ten") << 10 << false;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("negative") << -3 << false;
    QTest::newRow("a string is never a numeral") << 0 << true;
}

void DrawingTest::numberBoxOnlyErasedWithoutNumeral() {
    QFETCH(int, value);
    QFETCH(bool, asString);
    Rig r;
    r.paintMagenta();
    if (asString)
        r.view.描画_数値(3.5, 4.5, QStringLiteral("LEVEL"), COLOUR_WHITE, 1, 12);
    else
        r.view.描画_数値(3.5, 4.5, value, COLOUR_WHITE, 1, 12);

    const Box box = unitBox(3.5, 4.5, 400, 350);
    const QImage& img = r.canvas.image();
    QCOMPARE(count(img, box, notGreen), 0);
    QCOMPARE(countOutside(img, box, notMagenta), 0);
}

void DrawingTest::numberTextHasLeadingBlank() {
    // A number reads as a blank (or its minus sign) and its digits; a string as it stands.
    const std::pair<int, QString> cases[] = {
        {9, QStringLiteral(" 9")}, {100, QStringLiteral(" 100")}, {-5, QStringLiteral("-5")}};
    for (const auto& [number, text] : cases) {
        Rig asNumber, asText;
        asNumber.view.描画_数値(2, 2, number, COLOUR_WHITE, 0, 12);
        asText.view.描画_数値(2, 2, text, COLOUR_WHITE, 0, 12);
        QVERIFY2(asNumber.canvas.image() == asText.canvas.image(), qPrintable(text));
        QVERIFY(count(asNumber.canvas.image(), unitBox(2, 2, 400, 350), isWhitish) > 0);
    }
    Rig blank, noBlank;
    blank.view.描画_数値(2, 2, QStringLiteral(" 9"), COLOUR_WHITE, 0, 12);
    noBlank.view.描画_数値(2, 2, QStringLiteral("9"), COLOUR_WHITE, 0, 12);
    const Box box = unitBox(2, 2, 400, 350);
    QVERIFY(firstColumn(noBlank.canvas.image(), box, isWhitish) <
            firstColumn(blank.canvas.image(), box, isWhitish));
}

void DrawingTest::fixedStringByCode_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("move-number suffix") << 99;
    QTest::newRow("zero") << 0;
    QTest::newRow("one below") << 98;
    QTest::newRow("one above") << 100;
}

void DrawingTest::fixedStringByCode() {
    QFETCH(int, code);
    Rig r;
    r.paintMagenta();
    r.view.描画_文字列(12.7, 2.1, code, COLOUR_WHITE, 10);

    const Box box = unitBox(12.7, 2.1, 2200, 560);
    const QImage& img = r.canvas.image();
    QCOMPARE(countOutside(img, box, notMagenta), 0);
    QCOMPARE(count(img, box, isMagenta), 0);
    const int white = count(img, box, isWhitish);
    if (code != 99) {
        QCOMPARE(white, 0);
        return;
    }
    // "手目" starts at the pen, 120 twips right and 160 twips below the box corner.
    QVERIFY(white > 0);
    const Box left{box.left, box.top, Canvas::toPixel(unitToTwipsX(12.7) + 120), box.bottom};
    const Box above{box.left, box.top, box.right, Canvas::toPixel(unitToTwipsY(2.1) + 160)};
    QCOMPARE(count(img, left, isWhitish), 0);
    QCOMPARE(count(img, above, isWhitish), 0);
}

void DrawingTest::notationGlyphsNeverErase_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("digit 1") << 1 << true;
    QTest::newRow("digit 9") << 9 << true;
    QTest::newRow("numeral 1") << 1001 << true;
    QTest::newRow("numeral 9") << 1009 << true;
    QTest::newRow("bishop") << UE_BISHOP << true;
    QTest::newRow("lower promoted rook") << SITA_ROOK_PROMOTED << true;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("ten") << 10 << false;
    QTest::newRow("numeral zero") << 1000 << false;
    QTest::newRow("numeral ten") << 1010 << false;
    QTest::newRow("not a bishop") << 802 << false;
    QTest::newRow("not a rook") << -899 << false;
    QTest::newRow("minus one") << -1 << false;
}

void DrawingTest::notationGlyphsNeverErase() {
    QFETCH(int, code);
    QFETCH(bool, drawn);
    Rig r;
    r.paintMagenta();
    const QImage before = r.canvas.image().copy();
    r.view.描画_移動駒種類(4, 10, code, COLOUR_WHITE);

    const QImage& img = r.canvas.image();
    if (!drawn) {
        QCOMPARE(img, before);
        return;
    }
    // Glyphs go over whatever is there: white on magenta, and no board colour appears.
    QVERIFY(count(img, unitBox(4, 10, 1000, 400), isWhitish) > 0);
    QCOMPARE(count(img, {0, 0, 100000, 100000}, isGreen), 0);
}

void DrawingTest::laterOutlineTakesSharedEdge() {
    // Square (4, 5) outlined red, then its right neighbour and the one below in the
    // board colour: the red loses exactly those two shared edges.
    Rig r;
    r.view.描画_盤();
    r.view.描画_桝輪郭(COLOUR_LIGHT_RED, 4, 5);
    QVERIFY(outlinedIn(r.canvas.image(), 4, 5, COLOUR_LIGHT_RED));
    r.view.描画_桝輪郭(BOARD_COLOUR, 5, 5);
    r.view.描画_桝輪郭(BOARD_COLOUR, 4, 6);

    const QImage& img = r.canvas.image();
    const Box s = squareBox(4, 5);
    // Left and top edges stay red (away from the corners the neighbours touch).
    for (int py = s.top; py < s.bottom; ++py)
        QVERIFY(isPalette(at(img, s.left, py), COLOUR_LIGHT_RED));
    for (int px = s.left; px < s.right; ++px)
        QVERIFY(isPalette(at(img, px, s.top), COLOUR_LIGHT_RED));
    // The shared right and bottom edges are the neighbours' now.
    for (int py = s.top; py <= s.bottom; ++py) QVERIFY(isGreen(at(img, s.right, py)));
    for (int px = s.left; px <= s.right; ++px) QVERIFY(isGreen(at(img, px, s.bottom)));

    // The other way round the highlight keeps the whole edge.
    r.view.描画_桝輪郭(COLOUR_LIGHT_RED, 4, 5);
    QVERIFY(outlinedIn(r.canvas.image(), 4, 5, COLOUR_LIGHT_RED));
    QVERIFY(!outlinedIn(r.canvas.image(), 5, 5, BOARD_COLOUR));
}

void DrawingTest::edgeLabelsBesideTheBoard() {
    // The board first, then the labels: a label reaching into a square would show.
    Rig r;
    r.view.描画_盤();
    r.view.描画_桝_数値();
    QVERIFY(r.view.bold());
    const QImage& img = r.canvas.image();

    // Nothing white on any square.
    QCOMPARE(count(img, twipsBox(1545, 715, 6000, 6250), isWhitish), 0);

    // Each label inside its own erased box, reading as the same text drawn there.
    QFont bold = windowFont();
    bold.setBold(true);
    Canvas reference;
    int inBoxes = 0;
    for (int i = 1; i <= 9; ++i) {
        const Box column = unitBox(i + 0.1, 0.4, 400, 350);
        const Box row = unitBox(10.1, i + 0.3, 400, 350);
        reference.fillRect(0, 0, FORM_WIDTH * 2, FORM_HEIGHT * 2, BOARD_COLOUR);
        reference.drawText(unitToTwipsX(i + 0.1), unitToTwipsY(0.4),
                           QStringLiteral(" ") + QString::number(10 - i), COLOUR_WHITE, bold, 16);
        reference.drawText(unitToTwipsX(10.1), unitToTwipsY(i + 0.3), BoardView::kanjiNumeral(i),
                           COLOUR_WHITE, bold, 12);
        QVERIFY2(count(img, column, isWhitish) > 0, qPrintable(QString::number(i)));
        QVERIFY2(count(img, row, isWhitish) > 0, qPrintable(QString::number(i)));
        QVERIFY2(sameIn(img, reference.image(), column), qPrintable(QString::number(i)));
        QVERIFY2(sameIn(img, reference.image(), row), qPrintable(QString::number(i)));
        inBoxes += count(img, column, isWhitish) + count(img, row, isWhitish);
    }
    QCOMPARE(count(img, {0, 0, 100000, 100000}, isWhitish), inBoxes);
}

void DrawingTest::squareUnderPressAtBoardEdges_data() {
    QTest::addColumn<double>("X");
    QTest::addColumn<double>("Y");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::newRow("top-left corner") << 1545.0 << 715.0 << 1 << 1;
    QTest::newRow("just left of the board") << 1544.9 << 715.0 << 0 << 1;
    QTest::newRow("just above the board") << 1545.0 << 714.9 << 1 << 0;
    QTest::newRow("last twip of the board") << 5999.9 << 6249.9 << 9 << 9;
    QTest::newRow("right edge") << 6000.0 << 3000.0 << 10 << 4;
    QTest::newRow("bottom edge") << 3000.0 << 6250.0 << 3 << 10;
    QTest::newRow("left of the origin") << 1000.0 << 50.0 << -1 << -1;
    QTest::newRow("square boundary") << 1545.0 + 495 * 3 << 715.0 + 615 * 4 << 4 << 5;
}

void DrawingTest::squareUnderPressAtBoardEdges() {
    QFETCH(double, X);
    QFETCH(double, Y);
    QFETCH(int, column);
    QFETCH(int, row);
    const SquareIndex s = squareAtTwips(X, Y);
    QCOMPARE(s.x, column);
    QCOMPARE(s.y, row);
}

QTEST_MAIN(DrawingTest)
#include "drawing_test.moc"
