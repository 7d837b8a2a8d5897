#pragma once

#include "game/notation.h"
#include "play/dialog.h"

#include <atomic>
#include <chrono>
#include <string_view>

namespace zubeki {

// The sounds the game's flow plays, each once and without waiting for it to end.
enum class Wave { Forbidden, Piece, GameEnd, Vanish };

// The move a hint suggests: the piece's square, its destination, the piece as it stands, and
// whether it promotes on arrival (which the player makes with the right button).
struct HintMove {
    int fromX = 0;
    int fromY = 0;
    int toX = 0;
    int toY = 0;
    int piece = EMPTY;
    bool promotes = false;
};

// The hint's text in the board's notation: "７七の角を３四へ", with a second line on how to
// promote when the move promotes.
inline std::string ヒント表記(const HintMove& hint) {
    std::string text = squareNotation(hint.fromX, hint.fromY);
    text += "の";
    text += notationGlyph(hint.piece);
    text += "を";
    text += squareNotation(hint.toX, hint.toY);
    text += "へ";
    if (hint.promotes) {
        text += "（成）";
        text += '\r';
        text += "成るには右ボタンで指して下さい";
    }
    return text;
}

// Everything the game's flow asks of the world around it: drawing on the board, sounds,
// pauses, message boxes, the clock's seconds digit and the end of the program. The window
// answers with its canvas, sound module and boxes; zubeki-cli answers with nothing; the
// tests answer with a recorder. Squares are board squares (1..9), positions beside the
// board are square units, colours palette indices; texts are UTF-8.
class Outside {
  public:
    virtual ~Outside() = default;

    // --- the board ---
    // An empty square.
    virtual void 描画_桝(double x, double y) = 0;
    // A piece or another picture (PIC_…) on a square.
    virtual void 描画_絵(int 駒種類, double x, double y) = 0;
    // One square's outline in a colour.
    virtual void 描画_桝輪郭(int 描画色, double x, double y) = 0;
    // Every square of the board outlined plain.
    virtual void 描画_将棋盤桝() = 0;
    // The whole board from the position.
    virtual void 描画_盤() = 0;
    // The file and rank labels around the board.
    virtual void 描画_桝_数値() = 0;
    // A filled rectangle (width and height in twips) at a square-unit position.
    virtual void 描画_四角形(double x, double y, double 幅, double 高さ, int 色) = 0;
    // A text at a square-unit position.
    virtual void 描画_文字(double x, double y, std::string_view 文字, int 色, int サイズ) = 0;

    // --- highlights and status ---
    // The squares the piece on (x, y) could reach, outlined in a colour.
    virtual void 描画_移動可能桝色(int x, int y, int 描画色, int 駒) = 0;
    // All square outlines plain again.
    virtual void 描画_桝輪郭_全部() = 0;
    // The check squares outlined.
    virtual void 描画_桝輪郭_チェック桝() = 0;
    // The check squares blinking a number of times.
    virtual void 描画_点滅_チェック桝(int 回数) = 0;
    // A move written in a text slot beside the board.
    virtual void 描画_移動結果(double 欄X, double 欄Y, int x, int y, int 駒, int 色) = 0;
    // The move number.
    virtual void 描画_手数(int 手数, int 色) = 0;
    // The computer's level.
    virtual void 描画_レベル(int レベル) = 0;
    // Shows what has been drawn so far at once (before a pause).
    virtual void refresh() = 0;

    // --- the rest ---
    virtual void 待ち時間(double 秒) = 0;
    virtual void play(Wave wave) = 0;
    virtual Answer message(std::string_view text, std::string_view title,
                           Buttons buttons = Buttons::Ok) = 0;
    // Names the hint's move in a box titled ヒント; the window stands it beside the board.
    virtual void showHint(const HintMove& hint) { message(ヒント表記(hint), "ヒント"); }
    // The last digit of the clock's seconds (0..9), for the computer's evaluation.
    virtual int clockDigit() = 0;
    // The record panel's lists and fields hidden and cleared.
    virtual void closeRecordPanel() = 0;
    // Everything set up again as at start-up (a loaded record dropped).
    virtual void restart() = 0;
    // The sounds released and the program ended at once; nothing is drawn or asked after it.
    virtual void quit() = 0;

    // --- while the computer thinks on another thread ---
    // Keeps the window alive (painted, input dropped) until `done` is set or the program has
    // ended; where nothing needs to stay alive it returns at once and the caller simply waits.
    virtual void 思考待ち(const std::atomic<bool>& done) { (void)done; }
    // Has the program ended (the window closed during a pause)?
    virtual bool ended() const { return false; }
    // Seconds on a monotonic clock, to take the time spent thinking off the computer's pause.
    virtual double clockSeconds() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// An outside world that shows and plays nothing: zubeki-cli plays through it. A Yes/No box
// answers No, so a finished game is left on the board rather than set up anew.
class SilentOutside : public Outside {
  public:
    using DigitSource = int (*)(void* context);
    SilentOutside() = default;
    SilentOutside(DigitSource digit, void* context) : digit_(digit), context_(context) {}

    void 描画_桝(double, double) override {}
    void 描画_絵(int, double, double) override {}
    void 描画_桝輪郭(int, double, double) override {}
    void 描画_将棋盤桝() override {}
    void 描画_盤() override {}
    void 描画_桝_数値() override {}
    void 描画_四角形(double, double, double, double, int) override {}
    void 描画_文字(double, double, std::string_view, int, int) override {}
    void 描画_移動可能桝色(int, int, int, int) override {}
    void 描画_桝輪郭_全部() override {}
    void 描画_桝輪郭_チェック桝() override {}
    void 描画_点滅_チェック桝(int) override {}
    void 描画_移動結果(double, double, int, int, int, int) override {}
    void 描画_手数(int, int) override {}
    void 描画_レベル(int) override {}
    void refresh() override {}
    void 待ち時間(double) override {}
    void play(Wave) override {}
    Answer message(std::string_view, std::string_view, Buttons buttons) override {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    int clockDigit() override { return digit_ ? digit_(context_) : 0; }
    void closeRecordPanel() override {}
    void restart() override {}
    void quit() override {}

  private:
    DigitSource digit_ = nullptr;
    void* context_ = nullptr;
};

} // namespace zubeki
