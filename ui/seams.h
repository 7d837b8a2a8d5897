#pragma once

#include "play/dialog.h"
#include "sound/module1.h"
#include "ui/online_request.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QSettings;
class QWidget;

namespace zubeki {

// What the window takes from outside, each with the real thing as default:
// tests hand in scripted answers, instant waits, a fixed clock digit, a fake sound
// library and a recorder for the end of the program.
struct Seams {
    MessageBoxFn messageBox;          // default: a modal QMessageBox
    std::function<void(double)> wait; // default: a monotonic wait keeping the window painted
    std::function<int()> clockDigit;  // default: last digit of the clock's seconds
    std::function<void()> endProgram; // default: leave the event loop with status 0
    std::optional<SoundLibrary> soundLibrary; // default: libZUBEKI loaded from programFolder
    std::filesystem::path programFolder;      // default: the folder of the running program
    // The standard save dialog for a record: the path chosen, empty when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> saveFileName;
    // Opens the store of the choices kept between runs. Left empty nothing is kept, so a window
    // made in a test never touches the player's own settings; the program hands in the
    // platform's native place, a test an INI file in a folder of its own.
    std::function<std::unique_ptr<QSettings>()> settings;
    // 通信対局's dialog: what the player asked for, nullopt when cancelled.
    std::function<std::optional<OnlineRequest>(QWidget* parent, const OnlineRequest& request)>
        askOnline;
};

// The real message box: Japanese buttons come from Qt's translation. It stands centred on
// `owner` (the active window when none is given), or, given a rectangle of the screen to keep
// clear, beside that rectangle.
Answer showMessageBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                      QWidget* owner = nullptr, std::optional<QRect> keepClear = std::nullopt);

// Where a box of `box`'s size stands beside `clear` on `screen`: to its right, else to its left,
// below or above, the first place where it fits on the screen (top-left corner); where none
// fits, over `clear`, centred on it as far as the screen allows.
QPoint besideRect(QSize box, const QRect& clear, const QRect& screen);

} // namespace zubeki
