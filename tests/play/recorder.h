// The game's flow in a test: an outside world that records what the flow asks of it (messages,
// sounds, waits, the drawing calls as short lines), answers the Yes/No boxes from a script,
// fixes the clock digit and counts restarts and quits; and a session that holds a game on it.
#pragma once

#include "play/game.h"
#include "tests/game/capture_games.h"
#include "view/game_painter.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zubeki::playtest {

inline const char* waveName(Wave w) {
    switch (w) {
    case Wave::Forbidden:
        return "Forbidden";
    case Wave::Piece:
        return "Piece";
    case Wave::GameEnd:
        return "GameEnd";
    case Wave::Vanish:
        return "Vanish";
    }
    return "?";
}

class Recorder : public GamePainter {
  public:
    // Every call in order: the drawing lines below, "refresh", "wait 0.3", "sound Piece" and
    // "message <line>".
    std::vector<std::string> log;
    std::vector<std::string> drawn; // "描画_桝輪郭 12 3 7", "描画_移動結果 下 3 6 -900 15", …
    std::vector<std::string> messages; // "text | title | OK" or "… | YesNo"
    std::vector<Wave> sounds;
    std::vector<std::size_t> soundAtMessage; // sounds played before each message
    std::vector<double> waits;
    std::deque<Answer> answers; // for the Yes/No boxes in order; Yes once they run out
    std::function<void(const std::string&)> onMessage;
    int digit = 5;
    int restarts = 0;
    int quits = 0;

    void forget() {
        log.clear();
        drawn.clear();
        messages.clear();
        sounds.clear();
        soundAtMessage.clear();
        waits.clear();
    }
    int count(Wave w) const {
        int n = 0;
        for (Wave s : sounds) n += s == w ? 1 : 0;
        return n;
    }
    bool hasDrawn(std::string_view line) const {
        for (const std::string& d : drawn)
            if (d == line) return true;
        return false;
    }
    // The drawing lines that start with a routine's name, e.g. every "描画_移動結果 …".
    std::vector<std::string> drawnBy(std::string_view routine) const {
        std::vector<std::string> out;
        for (const std::string& d : drawn)
            if (d.compare(0, routine.size(), routine) == 0 &&
                (d.size() == routine.size() || d[routine.size()] == ' '))
                out.push_back(d);
        return out;
    }

    void 描画_桝(double x, double y) override { draw("描画_桝 " + num(x) + " " + num(y)); }
    void 描画_絵(int 駒種類, double x, double y) override {
        draw("描画_絵 " + std::to_string(駒種類) + " " + num(x) + " " + num(y));
    }
    void 描画_桝輪郭(int 描画色, double x, double y) override {
        draw("描画_桝輪郭 " + std::to_string(描画色) + " " + num(x) + " " + num(y));
    }
    void 描画_将棋盤桝() override { draw("描画_将棋盤桝"); }
    void 描画_盤() override { draw("描画_盤"); }
    void 描画_桝_数値() override { draw("描画_桝_数値"); }
    void 描画_四角形(double x, double y, double 幅, double 高さ, int 色) override {
        draw("描画_四角形 " + slot(x, y) + " " + num(幅) + " " + num(高さ) + " " +
             std::to_string(色));
    }
    void 描画_文字(double x, double y, std::string_view 文字, int 色, int) override {
        draw("描画_文字 " + slot(x, y) + " " + std::string(文字) + " " + std::to_string(色));
    }
    void 描画_移動可能桝色(int x, int y, int 描画色, int 駒) override {
        draw("描画_移動可能桝色 " + std::to_string(x) + " " + std::to_string(y) + " " +
             std::to_string(描画色) + " " + std::to_string(駒));
    }
    void 描画_桝輪郭_全部() override { draw("描画_桝輪郭_全部"); }
    void 描画_桝輪郭_チェック桝() override { draw("描画_桝輪郭_チェック桝"); }
    void 描画_点滅_チェック桝(int 回数) override {
        draw("描画_点滅_チェック桝 " + std::to_string(回数));
    }
    void 描画_移動結果(double 欄X, double 欄Y, int x, int y, int 駒, int 色) override {
        draw("描画_移動結果 " + slot(欄X, 欄Y) + " " + std::to_string(x) + " " + std::to_string(y) +
             " " + std::to_string(駒) + " " + std::to_string(色));
    }
    void 描画_手数(int 手数, int 色) override {
        draw("描画_手数 " + std::to_string(手数) + " " + std::to_string(色));
    }
    void 描画_レベル(int レベル) override { draw("描画_レベル " + std::to_string(レベル)); }
    void refresh() override { log.push_back("refresh"); }
    void 待ち時間(double 秒) override {
        waits.push_back(秒);
        log.push_back("wait " + num(秒));
    }
    void play(Wave wave) override {
        sounds.push_back(wave);
        log.push_back(std::string("sound ") + waveName(wave));
    }
    Answer ask(const Question& q) override { return message(textOf(q), titleOf(q), buttonsOf(q)); }
    Answer message(std::string_view text, std::string_view title, Buttons buttons) {
        std::string line = std::string(text) + " | " + std::string(title) + " | " +
                           (buttons == Buttons::YesNo ? "YesNo" : "OK");
        messages.push_back(line);
        soundAtMessage.push_back(sounds.size());
        log.push_back("message " + line);
        if (onMessage) onMessage(line);
        if (buttons != Buttons::YesNo) return Answer::Ok;
        if (answers.empty()) return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    int clockDigit() override { return digit; }
    void closeRecordPanel() override {}
    void restart() override { ++restarts; }
    void quit() override { ++quits; }

  private:
    void draw(std::string line) {
        log.push_back(line);
        drawn.push_back(std::move(line));
    }
    static std::string num(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }
    // The two move slots beside the board by name, anything else by position.
    static std::string slot(double x, double y) {
        if (x == UE_RESULT_X && y == UE_RESULT_Y) return "上";
        if (x == SITA_RESULT_X && y == SITA_RESULT_Y) return "下";
        return num(x) + " " + num(y);
    }
};

using diagram::Step;

// A game on a recorder, set up as the window sets it up at start-up; the log starts empty.
struct Session {
    Recorder out;
    Game game{out};

    Session() {
        game.startUp();
        game.初期設定();
        out.forget();
    }

    const Position& s() const { return game.state(); }
    const PlaySession& session() const { return game.session(); }
    const MoveList& rec() const { return game.record(); }

    void press(int x, int y, int button = 1) { game.press(button, x, y); }
    void move(int fx, int fy, int tx, int ty, int button = 1) {
        press(fx, fy);
        press(tx, ty, button);
    }
    void move(const Step& m, int button = 1) { move(m.fx, m.fy, m.tx, m.ty, button); }

    // Puts a diagram on the board, as a position shown before a game starts.
    void place(const diagram::Rows& rows) {
        Position shown = game.state();
        diagram::place(shown, rows);
        game.restore(shown, game.record());
    }
    // Changes the game's state or move list directly, as a position set up elsewhere.
    template <class Change> void alter(Change&& change) {
        Position state = game.state();
        MoveList moves = game.record();
        change(state, moves);
        game.restore(state, moves);
    }
    std::string board() const { return diagram::toDiagram(game.state()); }
};

// The starting position.
inline std::string startingBoard() {
    GameState s;
    s.初期設定();
    return diagram::toDiagram(s);
}

using Lines = std::vector<std::string>;

} // namespace zubeki::playtest
