#pragma once

#include "game/position.h"
#include "play/display.h"
#include "view/canvas.h"
#include "view/geometry.h"
#include "view/pictures.h"

#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zubeki {

// The window's font: the Mincho face the game asks for, then the ones found on this system.
QFont windowFont();

// Every drawing routine of the board, the labels and the status texts. It reads the
// game state and draws into the canvas; it never changes the state.
class BoardView {
  public:
    BoardView(const Position& state, const Options& options, Canvas& canvas);

    // The wait seam: the real one waits on a monotonic clock keeping the window painted.
    std::function<void(double seconds)> waiter;

    // --- primitives ---
    void 描画_四角形(double 入力X, double 入力Y, double X_長, double Y_長, int 色);
    void 描画_桝輪郭(int 描画色, double 座標X, double 座標Y);
    void 描画_桝(double 座標X, double 座標Y);
    void 描画_絵(int 駒種類, double 座標X, double 座標Y);
    void 描画_将棋盤桝();
    void 描画_盤();
    void 描画_数値(double 入力X, double 入力Y, int 数値, int 色, int モード, int フォントサイズ);
    void 描画_数値(double 入力X, double 入力Y, const QString& 数値, int 色, int モード,
                   int フォントサイズ);
    void 描画_文字列(double 入力X, double 入力Y, int 数値, int 色, int サイズ, int 手数 = 0);
    void 描画_桝_数値();
    void 描画_移動駒種類(double 入力X, double 入力Y, int 駒種類, int 色);
    void 待ち時間(double IN_秒);

    // --- highlights and status ---
    void 描画_移動可能桝色(int 移動元X, int 移動元Y, int 描画色, int 移動駒);
    void 描画_桝輪郭_全部();
    void 描画_桝輪郭_チェック桝();
    void 描画_点滅_チェック桝(int IN_点滅回数);
    void 描画_移動結果(double WK_X, double WK_Y, int 移動先X, int 移動先Y, int 移動駒, int 駒色);
    void 描画_手数(int 数値, int 色);
    void 描画_レベル(int IN_LEVEL);

    // Text at a twips position in the current drawing state (record header lines).
    void textAtTwips(double x, double y, const QString& text, int colour, int size);

    void refresh() { canvas_.refresh(); }
    Canvas& canvas() { return canvas_; }
    const Pictures& pictures() const { return pictures_; }
    bool bold() const { return bold_; }
    const QFont& font() const { return font_; }

    // Text of a notation glyph code (digits, kanji numerals, piece names); empty if none.
    static QString glyphText(int 駒種類);
    static QString kanjiNumeral(int n);

  private:
    void printAtPen(const QString& text);
    // Erases a number's box and sets the pen, size and colour for it.
    void numberBox(double 入力X, double 入力Y, int 色, int フォントサイズ);

    const Position& s_;
    const Options& options_;
    Canvas& canvas_;
    Pictures pictures_;
    // The same pictures, large enough for any size of the board: read the first time the board
    // is drawn larger than the ordinary pictures allow, not at start-up.
    struct LargePictures {
        std::optional<Pictures> pictures;
        const Pictures& get() {
            if (!pictures) pictures = Pictures::loadLarge();
            return *pictures;
        }
    };
    std::shared_ptr<LargePictures> large_ = std::make_shared<LargePictures>();
    QFont font_;
    int fontSize_ = 9;
    int colour_ = 0;
    bool bold_ = false;
    double penX_ = 0; // twips
    double penY_ = 0;
};

} // namespace zubeki
