#include "view/wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <chrono>
#include <thread>

namespace zubeki {

namespace {

class InputDropper : public QObject {
  public:
    InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDropper() override { QCoreApplication::instance()->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void waitKeepingPainted(double seconds) {
    using clock = std::chrono::steady_clock;
    const auto end = clock::now() + std::chrono::duration_cast<clock::duration>(
                                        std::chrono::duration<double>(std::max(0.0, seconds)));
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_until(end);
        return;
    }
    InputDropper dropper;
    for (auto now = clock::now(); now < end; now = clock::now()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const auto slice =
            std::min<clock::duration>(end - clock::now(), std::chrono::milliseconds(10));
        if (slice > clock::duration::zero()) std::this_thread::sleep_for(slice);
    }
}

} // namespace zubeki
