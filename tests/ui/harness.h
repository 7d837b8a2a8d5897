// The main window in a test: scripted message boxes, instant waits that can keep every
// frame, a fixed clock digit, a recording sound library and a recorder for the end of the
// program. Presses go through Form_MouseDown in twips; menu items and record panel controls are
// found by their game names (named.h).
#pragma once

#include "tests/game/capture_games.h"
#include "tests/ui/named.h"
#include "ui/form1.h"
#include "view/canvas.h"
#include "view/geometry.h"

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zubeki::uitest {

// ---------------------------------------------------------------------------------------------
// The sound library as static functions over one global log. Each wave file the tests hand
// the window holds its own name, so a buffer handle maps back to the wave it was made from.

struct FakeSound {
    struct Buffer {
        std::string name;
        std::intptr_t device = 0;
        bool alive = true;
        bool looping = false;
    };
    struct Call {
        std::string op;
        std::intptr_t handle = 0; // buffer or device
        int flag = 0;
    };

    inline static std::vector<Call> log;
    inline static std::map<std::intptr_t, Buffer> buffers;
    inline static std::map<std::intptr_t, bool> devices; // handle -> still open
    inline static std::intptr_t nextHandle = 100;
    inline static bool failInitialize = false;

    static void reset() {
        log.clear();
        buffers.clear();
        devices.clear();
        nextHandle = 100;
        failInitialize = false;
    }

    static std::intptr_t dsInitialize(std::intptr_t) {
        if (failInitialize) {
            log.push_back({"dsInitialize", 0, 0});
            return 0;
        }
        const std::intptr_t device = nextHandle++;
        devices[device] = true;
        log.push_back({"dsInitialize", device, 0});
        return device;
    }
    static std::intptr_t dsCreateDSB(std::intptr_t device, const void* image, size_t length,
                                     int flag) {
        if (!devices[device]) return 0;
        const std::intptr_t h = nextHandle++;
        buffers[h] = Buffer{std::string(static_cast<const char*>(image), length), device};
        log.push_back({"dsCreateDSB", h, flag});
        return h;
    }
    static void dsPlay(std::intptr_t h) { log.push_back({"dsPlay", h, 0}); }
    static void dsPlayLooping(std::intptr_t h) {
        log.push_back({"dsPlayLooping", h, 0});
        if (Buffer* b = live(h)) b->looping = true;
    }
    static void dsStop(std::intptr_t h) {
        log.push_back({"dsStop", h, 0});
        if (Buffer* b = live(h)) b->looping = false;
    }
    static void dsFree(std::intptr_t h) {
        log.push_back({"dsFree", h, 0});
        if (Buffer* b = live(h)) b->alive = b->looping = false;
    }
    static void dsTerminate(std::intptr_t device) {
        log.push_back({"dsTerminate", device, 0});
        devices[device] = false;
        for (auto& [h, b] : buffers)
            if (b.device == device) b.alive = b.looping = false;
    }

    static SoundLibrary table() {
        return SoundLibrary{&dsInitialize, &dsCreateDSB, &dsPlay,     &dsPlayLooping,
                            &dsStop,       &dsFree,      &dsTerminate};
    }

    static Buffer* live(std::intptr_t h) {
        auto it = buffers.find(h);
        return it != buffers.end() && it->second.alive ? &it->second : nullptr;
    }
    static QString nameOf(std::intptr_t h) {
        auto it = buffers.find(h);
        return it == buffers.end() ? QString::number(h) : QString::fromStdString(it->second.name);
    }
    // The log from entry `from` on, one "op wave" line per call ("dsCreateDSB 3 BGM.wav");
    // device calls carry no name.
    static QStringList lines(std::size_t from = 0) {
        QStringList out;
        for (std::size_t i = from; i < log.size(); ++i) {
            const Call& c = log[i];
            if (c.op == "dsInitialize" || c.op == "dsTerminate")
                out << QString::fromStdString(c.op);
            else if (c.op == "dsCreateDSB")
                out << QStringLiteral("dsCreateDSB %1 %2").arg(c.flag).arg(nameOf(c.handle));
            else
                out << QString::fromStdString(c.op) + QLatin1Char(' ') + nameOf(c.handle);
        }
        return out;
    }
    static QStringList only(const char* op, std::size_t from = 0) {
        QStringList out;
        for (const QString& l : lines(from))
            if (l.startsWith(QLatin1String(op) + QLatin1Char(' ')) || l == QLatin1String(op))
                out << l;
        return out;
    }
    static int loopingStreams() {
        int n = 0;
        for (const auto& [h, b] : buffers) n += b.looping ? 1 : 0;
        return n;
    }
};

inline const char* const kWaveNames[6] = {"その他.wav", "禁止.wav", "駒打音.wav",
                                          "終局.wav",   "消滅.wav", "BGM.wav"};

// ---------------------------------------------------------------------------------------------

struct Message {
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;

    // "text | title | OK" (or YesNo), with " | !" for the exclamation icon.
    QString line() const {
        QString s = text + QStringLiteral(" | ") + title + QStringLiteral(" | ") +
                    (buttons == Buttons::YesNo ? QStringLiteral("YesNo") : QStringLiteral("OK"));
        if (icon == Icon::Exclamation) s += QStringLiteral(" | !");
        if (icon == Icon::Information) s += QStringLiteral(" | i");
        if (icon == Icon::Question) s += QStringLiteral(" | ?");
        return s;
    }
};

using diagram::Step;

enum class Sound { Fake, FailingFake, NoLibraryFile };

// Twips of the centre of a board square.
inline float centreX(int x) {
    return unitToTwipsX(x + 0.5);
}
inline float centreY(int y) {
    return unitToTwipsY(y + 0.5);
}

class Harness {
  public:
    // `adjust` changes the seams before the window is made (a settings store of the test's own).
    explicit Harness(Sound sound = Sound::Fake, bool load = true,
                     const std::function<void(Seams&)>& adjust = {}) {
        FakeSound::reset();
        FakeSound::failInitialize = sound == Sound::FailingFake;
        for (const char* name : kWaveNames) {
            std::ofstream out(std::filesystem::path(folder.path().toStdString()) / name,
                              std::ios::binary);
            out << name;
        }
        Seams seams;
        seams.messageBox = [this](const std::string& text, const std::string& title, Buttons b,
                                  Icon i) {
            messages.push_back({QString::fromStdString(text), QString::fromStdString(title), b, i});
            soundAtMessage.push_back(FakeSound::log.size());
            if (onMessage) onMessage(messages.back());
            if (b != Buttons::YesNo) return Answer::Ok;
            if (answers.empty()) return Answer::Yes;
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        };
        seams.wait = [this](double seconds) {
            waits.push_back(seconds);
            soundAtWait.push_back(FakeSound::log.size());
            if (keepFrames) frames.push_back(form->canvas().image().copy());
            if (onWait) onWait();
        };
        seams.clockDigit = [this] { return clock; };
        seams.saveFileName = [this](QWidget*, const QString&) { return saveAs; };
        seams.endProgram = [this] { ++ends; };
        if (sound != Sound::NoLibraryFile) seams.soundLibrary = FakeSound::table();
        seams.programFolder = folder.path().toStdString();
        if (adjust) adjust(seams);
        form = std::make_unique<Form1>(std::move(seams));
        if (load) form->Form_Load();
    }

    Form1& f() { return *form; }
    // The window's menu items and controls by their game names.
    QAction* action(const char* name) { return uitest::action(*form, name); }
    QMenu* menu(const char* name) { return uitest::menu(*form, name); }
    template <class T = QWidget> T* widget(const char* name) {
        return uitest::widget<T>(*form, name);
    }
    const Position& s() const { return form->game().state(); }
    const PlaySession& session() const { return form->game().session(); }
    const QImage& image() { return form->canvas().image(); }

    void press(int x, int y, int button = 1) {
        form->Form_MouseDown(button, 0, centreX(x), centreY(y));
    }
    void move(int fx, int fy, int tx, int ty, int button = 1) {
        press(fx, fy);
        press(tx, ty, button);
    }

    // Puts a diagram on the board and draws it, as a position shown before START.
    void place(const diagram::Rows& rows) {
        Position shown = form->game().state();
        diagram::place(shown, rows);
        form->game().restore(shown, form->game().record());
    }
    // Changes the game's state or move list directly, as a position set up elsewhere.
    template <class Change> void alter(Change&& change) {
        Position state = form->game().state();
        MoveList moves = form->game().record();
        change(state, moves);
        form->game().restore(state, moves);
    }
    std::string board() const { return diagram::toDiagram(form->game().state()); }

    QStringList shown(std::size_t from = 0) const {
        QStringList out;
        for (std::size_t i = from; i < messages.size(); ++i) out << messages[i].line();
        return out;
    }
    void forget() {
        messages.clear();
        soundAtMessage.clear();
        waits.clear();
        frames.clear();
        soundAtWait.clear();
        FakeSound::log.clear();
    }

    QTemporaryDir folder;
    QString saveAs; // what the save dialog answers (empty: cancelled)
    std::vector<Message> messages;
    std::vector<std::size_t> soundAtMessage; // length of the sound log at each message
    std::deque<Answer> answers;              // for the Yes/No boxes in order; Yes once they run out
    std::function<void(const Message&)> onMessage;
    std::function<void()> onWait; // runs inside every wait, as window events would
    std::vector<double> waits;
    std::vector<std::size_t> soundAtWait; // length of the sound log at each wait
    bool keepFrames = false;
    std::vector<QImage> frames; // the canvas at each wait while keepFrames is set
    int clock = 5;
    int ends = 0;
    std::unique_ptr<Form1> form;
};

// ---------------------------------------------------------------------------------------------
// Reading the canvas. Positions are in twips, as the board is drawn.

inline QPoint devicePixel(const QImage& img, double twipsX, double twipsY) {
    const qreal r = img.devicePixelRatio();
    return QPoint(static_cast<int>(Canvas::toPixel(twipsX) * r),
                  static_cast<int>(Canvas::toPixel(twipsY) * r));
}

inline QColor pixel(const QImage& img, double twipsX, double twipsY) {
    return img.pixelColor(devicePixel(img, twipsX, twipsY));
}

// The middle of a square's top and left edges: the colour it is outlined in.
inline QColor topEdge(const QImage& img, int x, int y) {
    return pixel(img, centreX(x), unitToTwipsY(y));
}
inline QColor leftEdge(const QImage& img, int x, int y) {
    return pixel(img, unitToTwipsX(x), centreY(y));
}

// A rectangle of the canvas given in twips.
inline QImage region(const QImage& img, double left, double top, double width, double height) {
    const QPoint a = devicePixel(img, left, top);
    const QPoint b = devicePixel(img, left + width, top + height);
    return img.copy(QRect(a, b));
}

// The inside of a square, without its outline.
inline QImage inside(const QImage& img, int x, int y) {
    const double margin = 3 * TWIPS_PER_PIXEL;
    return region(img, unitToTwipsX(x) + margin, unitToTwipsY(y) + margin,
                  SQUARE_WIDTH - 2 * margin, SQUARE_HEIGHT - 2 * margin);
}

// What a picture looks like on square (x, y), drawn on a canvas of its own.
inline QImage pictureOn(const QImage& picture, int x, int y) {
    Canvas scratch;
    scratch.drawPicture(picture, Pictures::SQUARE_SIZE, unitToTwipsX(x), unitToTwipsY(y));
    return inside(scratch.image(), x, y);
}

// Pixels that are not the board's green.
inline int ink(const QImage& part) {
    int n = 0;
    const QColor green = paletteColour(BOARD_COLOUR);
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x) n += part.pixelColor(x, y) != green ? 1 : 0;
    return n;
}

// The text slots beside the board (square units, with the sizes they are cleared with).
inline QImage upperSlot(const QImage& img) {
    return region(img, unitToTwipsX(UE_RESULT_X), unitToTwipsY(UE_RESULT_Y), 1250, 380);
}
inline QImage lowerSlot(const QImage& img) {
    return region(img, unitToTwipsX(SITA_RESULT_X), unitToTwipsY(SITA_RESULT_Y), 1250, 380);
}
inline QImage moveNumberSlot(const QImage& img) {
    return region(img, unitToTwipsX(11.7), unitToTwipsY(2.3), 700, 300);
}

inline const QColor kLightRed = paletteColour(COLOUR_LIGHT_RED);
inline const QColor kWhite = paletteColour(COLOUR_WHITE);
inline const QColor kGreen = paletteColour(BOARD_COLOUR);
inline const QColor kLightBlue = paletteColour(COLOUR_LIGHT_BLUE);

inline QString colourName(const QColor& c) {
    return c.name(QColor::HexRgb).toUpper();
}

// The starting position.
inline std::string startingBoard() {
    GameState s;
    s.初期設定();
    return diagram::toDiagram(s);
}

} // namespace zubeki::uitest
