#include "game/notation.h"
#include "sound/module1.h"
#include "ui/editor_panel.h"
#include "ui/form1.h"
#include "ui/game_texts.h"
#include "ui/online_play.h"
#include "view/canvas.h"
#include "view/wait.h"

#include <QCoreApplication>

// The window's answers to the game's flow: the canvas draws, the sound module plays, the
// seams wait, ask and read the clock.
namespace zubeki {

void Form1::描画_桝(double x, double y) {
    view_->描画_桝(x, y);
}
void Form1::描画_絵(int 駒種類, double x, double y) {
    view_->描画_絵(駒種類, x, y);
}
void Form1::描画_桝輪郭(int 描画色, double x, double y) {
    view_->描画_桝輪郭(描画色, x, y);
}
void Form1::描画_将棋盤桝() {
    view_->描画_将棋盤桝();
}
void Form1::描画_盤() {
    view_->描画_盤();
}
void Form1::描画_桝_数値() {
    view_->描画_桝_数値();
}
void Form1::描画_四角形(double x, double y, double 幅, double 高さ, int 色) {
    view_->描画_四角形(x, y, 幅, 高さ, 色);
}
void Form1::描画_文字(double x, double y, std::string_view 文字, int 色, int サイズ) {
    // Words beside the board ("思考中") in the window's language.
    view_->描画_数値(x, y, shownText(文字), 色, 0, サイズ);
}
void Form1::描画_移動可能桝色(int x, int y, int 描画色, int 駒) {
    view_->描画_移動可能桝色(x, y, 描画色, 駒);
}
void Form1::描画_桝輪郭_全部() {
    view_->描画_桝輪郭_全部();
}
void Form1::描画_桝輪郭_チェック桝() {
    view_->描画_桝輪郭_チェック桝();
}
void Form1::描画_点滅_チェック桝(int 回数) {
    view_->描画_点滅_チェック桝(回数);
}
void Form1::描画_移動結果(double 欄X, double 欄Y, int x, int y, int 駒, int 色) {
    view_->描画_移動結果(欄X, 欄Y, x, y, 駒, 色);
}
void Form1::描画_手数(int 手数, int 色) {
    view_->描画_手数(手数, 色);
}
void Form1::描画_レベル(int レベル) {
    view_->描画_レベル(レベル);
}
void Form1::refresh() {
    view_->refresh();
}
void Form1::待ち時間(double 秒) {
    view_->待ち時間(秒);
}

void Form1::play(Wave wave) {
    soundNeeded();
    switch (wave) {
    case Wave::Forbidden:
        dsPlay(SOUND_FORBIDDEN);
        break;
    case Wave::Piece:
        dsPlay(SOUND_PIECE);
        break;
    case Wave::GameEnd:
        dsPlay(SOUND_GAME_END);
        break;
    case Wave::Vanish:
        dsPlay(SOUND_VANISH);
        break;
    }
}

Answer Form1::ask(const Question& q) {
    return message(textOf(q), titleOf(q), buttonsOf(q), Icon::None);
}

void Form1::showHint(const Move& hint) {
    // Squares in the board's own notation whatever the language: "７七", "３四".
    auto square = [](int x, int y) { return QString::fromStdString(squareNotation(x, y)); };
    // Translated in the menus' context, where the translation file keeps them.
    auto tr = [](const char* text) { return QCoreApplication::translate("Form1", text); };
    QString text = tr("%1の%2を%3へ")
                       .arg(square(hint.移動元X, hint.移動元Y), BoardView::glyphText(hint.移動前駒),
                            square(hint.移動先X, hint.移動先Y));
    if (hint.promotes())
        text += tr("（成）") + QLatin1Char('\r') + tr("成るには右ボタンで指して下さい");
    // The box stands beside the board, so the outlined squares stay in sight.
    const QRect board(QPoint(Canvas::toPixel(unitToTwipsX(1)), Canvas::toPixel(unitToTwipsY(1))),
                      QPoint(Canvas::toPixel(unitToTwipsX(10)), Canvas::toPixel(unitToTwipsY(10))));
    const QRect shown = canvas_->toWidget(board);
    boxKeepsClearOf_ = QRect(canvas_->mapToGlobal(shown.topLeft()), shown.size());
    message(text.toStdString(), "ヒント"); // the title is translated with the boxes' words
    boxKeepsClearOf_.reset();
}

int Form1::clockDigit() {
    return seams_.clockDigit();
}

void Form1::restart() {
    Form_Load();
}

void Form1::思考待ち(const std::atomic<bool>& done) {
    // The window stays painted and drops presses and keys, as in any pause; closing it ends
    // the wait at once.
    while (!done && !ended_) waitKeepingPainted(0.01);
}

void Form1::Form_MouseDown(int Button, int, float X, float Y) {
    if (ended_) return;
    closeRecordPanel();
    const SquareIndex sq = squareAtTwips(X, Y);
    if (editor_) {
        editor_->press(Button, sq.x, sq.y);
        return;
    }
    game_.press(Button, sq.x, sq.y);
    if (online_) online_->sendMovesPlayed();
    canvas_->update();
}

void Form1::Form_MouseUp(int Button, int, float X, float Y) {
    if (ended_ || !editor_) return;
    const SquareIndex sq = squareAtTwips(X, Y);
    editor_->release(Button, sq.x, sq.y);
}

} // namespace zubeki
