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

namespace {

double monotonicNow(void*) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void monotonicSleep(void*, double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

} // namespace

void waitKeepingPainted(double seconds) {
    waitKeepingPainted(seconds, WaitClock{&monotonicNow, &monotonicSleep, nullptr});
}

void waitKeepingPainted(double seconds, const WaitClock& clock) {
    constexpr double slice = 0.010;
    const double end = clock.now(clock.context) + std::max(0.0, seconds);
    if (!QCoreApplication::instance()) {
        for (double now = clock.now(clock.context); now < end; now = clock.now(clock.context))
            clock.sleep(clock.context, end - now);
        return;
    }
    InputDropper dropper;
    for (double now = clock.now(clock.context); now < end; now = clock.now(clock.context)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double left = end - clock.now(clock.context);
        if (left > 0) clock.sleep(clock.context, std::min(left, slice));
    }
}

} // namespace zubeki
