#include "view/board_view.h"

#include "game/notation.h"

#include <QCoreApplication>

namespace zubeki {

QFont windowFont() {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"),
                   QStringLiteral("IPAexMincho"), QStringLiteral("Noto Serif CJK JP")});
    f.setPointSize(9);
    return f;
}

BoardView::BoardView(const Position& state, const Options& options, Canvas& canvas)
    : s_(state), options_(options), canvas_(canvas), pictures_(Pictures::load()),
      font_(windowFont()) {}

void BoardView::描画_四角形(double 入力X, double 入力Y, double X_長, double Y_長, int 色) {
    const double x = unitToTwipsX(入力X);
    const double y = unitToTwipsY(入力Y);
    const float x2 = static_cast<float>(BOARD_ORIGIN_X + 入力X * SQUARE_WIDTH + X_長);
    const float y2 = static_cast<float>(BOARD_ORIGIN_Y + 入力Y * SQUARE_HEIGHT + Y_長);
    canvas_.fillRect(x, y, x2, y2, 色);
}

void BoardView::描画_桝輪郭(int 描画色, double 座標X, double 座標Y) {
    // From the square's corner to the corner of its diagonal neighbour: neighbours share
    // an edge, and whichever is outlined last colours it.
    canvas_.outlineRect(unitToTwipsX(座標X), unitToTwipsY(座標Y), unitToTwipsX(座標X + 1),
                        unitToTwipsY(座標Y + 1), 描画色);
}

void BoardView::描画_桝(double 座標X, double 座標Y) {
    canvas_.drawPicture(pictures_.KARA_MASU, Pictures::SQUARE_SIZE, unitToTwipsX(座標X),
                        unitToTwipsY(座標Y), [large = large_] { return large->get().KARA_MASU; });
    描画_桝輪郭(BOARD_COLOUR, 座標X, 座標Y);
}

void BoardView::描画_絵(int 駒種類, double 座標X, double 座標Y) {
    QSize natural;
    const QImage* picture = pictures_.forCode(駒種類, &natural);
    if (!picture) return;
    canvas_.drawPicture(*picture, natural, unitToTwipsX(座標X), unitToTwipsY(座標Y),
                        [large = large_, code = 駒種類] {
                            QSize largeNatural;
                            return *large->get().forCode(code, &largeNatural);
                        });
}

void BoardView::描画_将棋盤桝() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) 描画_桝輪郭(OUTLINE_COLOUR, x, y);
}

void BoardView::描画_盤() {
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) {
            if (s_.BOARD[x][y] != EMPTY)
                描画_絵(s_.BOARD[x][y], x, y);
            else
                描画_桝(x, y);
            描画_桝輪郭(BOARD_COLOUR, x, y);
        }
}

QString BoardView::kanjiNumeral(int n) {
    return n < 1 || n > 9 ? QString() : glyphText(1000 + n);
}

void BoardView::printAtPen(const QString& text) {
    QFont f = font_;
    f.setBold(bold_);
    canvas_.drawText(penX_, penY_, text, colour_, f, fontSize_);
}

void BoardView::numberBox(double 入力X, double 入力Y, int 色, int フォントサイズ) {
    fontSize_ = フォントサイズ;
    描画_四角形(入力X, 入力Y, 400, 350, BOARD_COLOUR);
    colour_ = 色;
    penX_ = unitToTwipsX(入力X);
    penY_ = unitToTwipsY(入力Y);
}

void BoardView::描画_数値(double 入力X, double 入力Y, int 数値, int 色, int モード,
                          int フォントサイズ) {
    numberBox(入力X, 入力Y, 色, フォントサイズ);
    if (モード == 0) {
        // A number reads with a leading blank where a minus sign would stand.
        printAtPen(数値 < 0 ? QString::number(数値) : QStringLiteral(" ") + QString::number(数値));
    } else {
        printAtPen(kanjiNumeral(数値));
    }
}

void BoardView::描画_数値(double 入力X, double 入力Y, const QString& 数値, int 色, int モード,
                          int フォントサイズ) {
    numberBox(入力X, 入力Y, 色, フォントサイズ);
    if (モード == 0) printAtPen(数値);
}

void BoardView::描画_文字列(double 入力X, double 入力Y, int 数値, int 色, int サイズ, int 手数) {
    描画_四角形(入力X, 入力Y, 2200, 560, BOARD_COLOUR);
    penX_ = static_cast<float>(BOARD_ORIGIN_X + 入力X * SQUARE_WIDTH + 120);
    penY_ = static_cast<float>(BOARD_ORIGIN_Y + 入力Y * SQUARE_HEIGHT + 160);
    fontSize_ = サイズ;
    colour_ = 色;
    // The word after the move number, in the window's language ("12 moves").
    if (数値 == 99) printAtPen(QCoreApplication::translate("BoardView", "手目", nullptr, 手数));
}

void BoardView::描画_桝_数値() {
    bold_ = true; // stays on for every later text
    for (int i = 1; i <= 9; ++i) {
        描画_数値(i + 0.1, 0.4, 10 - i, COLOUR_WHITE, 0, 16);
        描画_数値(10.1, i + 0.3, i, COLOUR_WHITE, 1, 12);
    }
}

QString BoardView::glyphText(int 駒種類) {
    const std::string_view text = notationGlyph(駒種類);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void BoardView::描画_移動駒種類(double 入力X, double 入力Y, int 駒種類, int 色) {
    fontSize_ = 12;
    colour_ = 色;
    penX_ = unitToTwipsX(入力X);
    penY_ = unitToTwipsY(入力Y);
    printAtPen(glyphText(駒種類));
}

void BoardView::待ち時間(double IN_秒) {
    if (waiter) waiter(IN_秒);
}

void BoardView::描画_移動可能桝色(int 移動元X, int 移動元Y, int 描画色, int 移動駒) {
    描画_将棋盤桝();
    if (options_.GUIDANCE == FALSE_CODE) return;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (s_.移動チェック(移動元X, 移動元Y, x, y, 移動駒)) 描画_桝輪郭(描画色, x, y);
}

void BoardView::描画_桝輪郭_全部() {
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) 描画_桝輪郭(BOARD_COLOUR, x, y);
}

void BoardView::描画_桝輪郭_チェック桝() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (s_.CHECK_SQUARES[x][y] == TRUE_CODE) 描画_桝輪郭(COLOUR_LIGHT_BLUE, x, y);
}

void BoardView::描画_点滅_チェック桝(int IN_点滅回数) {
    for (int i = 1; i <= IN_点滅回数; ++i) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (s_.CHECK_SQUARES[x][y] == TRUE_CODE) {
                    描画_桝(x, y);
                    描画_桝輪郭(COLOUR_LIGHT_BLUE, x, y);
                }
        refresh();
        待ち時間(0.15);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (s_.CHECK_SQUARES[x][y] == TRUE_CODE) {
                    描画_絵(s_.BOARD[x][y], x, y);
                    描画_桝輪郭(COLOUR_LIGHT_BLUE, x, y);
                }
        refresh();
        待ち時間(0.15);
    }
}

void BoardView::描画_移動結果(double WK_X, double WK_Y, int 移動先X, int 移動先Y, int 移動駒,
                              int 駒色) {
    描画_四角形(WK_X, WK_Y, 1250, 380, BOARD_COLOUR);
    描画_移動駒種類(WK_X, WK_Y, 10 - 移動先X, 駒色);
    描画_移動駒種類(WK_X + 0.4, WK_Y, 1000 + 移動先Y, 駒色);
    描画_移動駒種類(WK_X + 1, WK_Y, 移動駒, 駒色);
    refresh();
}

void BoardView::描画_手数(int 数値, int) {
    描画_四角形(11.8, 2.3, 1250, 300, BOARD_COLOUR);
    const double u = 数値 < 10 ? 11.9 : 数値 < 100 ? 11.8 : 11.7;
    描画_数値(u, 2.3, 数値, COLOUR_WHITE, 0, 12);
    描画_文字列(12.7, 2.1, 99, COLOUR_WHITE, 10, 数値);
}

void BoardView::描画_レベル(int IN_LEVEL) {
    描画_数値(-1.5, 0.1, QStringLiteral("LEVEL"), COLOUR_WHITE, 0, 10);
    描画_数値(0, 0, IN_LEVEL, COLOUR_WHITE, 0, 12);
}

void BoardView::textAtTwips(double x, double y, const QString& text, int colour, int size) {
    fontSize_ = size;
    colour_ = colour;
    penX_ = static_cast<float>(x);
    penY_ = static_cast<float>(y);
    printAtPen(text);
}

} // namespace zubeki
