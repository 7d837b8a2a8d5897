// The real wait keeps painting and drops the presses and keys that arrive meanwhile instead
// of queueing them for afterwards.
#include "view/canvas.h"
#include "view/wait.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace zubeki;

class WaitTest : public QObject {
    Q_OBJECT
  private slots:
    void dropsInputButKeepsPainting();
    void lastsItsLengthInSlicesOfTenMilliseconds();
};

namespace {

class CountingCanvas : public Canvas {
  public:
    int paints = 0;
    int keys = 0;

  protected:
    void paintEvent(QPaintEvent* e) override {
        ++paints;
        Canvas::paintEvent(e);
    }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

} // namespace

void WaitTest::dropsInputButKeepsPainting() {
    CountingCanvas canvas;
    int presses = 0;
    canvas.onMousePress = [&](QMouseEvent*) { ++presses; };
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    QCoreApplication::processEvents();

    const QPointF at(40, 40);
    QCoreApplication::postEvent(&canvas,
                                new QMouseEvent(QEvent::MouseButtonPress, at, at, at,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(&canvas,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    canvas.paints = 0;
    canvas.update();
    waitKeepingPainted(0.05);
    QVERIFY(canvas.paints >= 1);
    QCoreApplication::processEvents();
    QCOMPARE(presses, 0);
    QCOMPARE(canvas.keys, 0);

    // Outside a wait the same press is handled.
    QCoreApplication::postEvent(&canvas,
                                new QMouseEvent(QEvent::MouseButtonPress, at, at, at,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::processEvents();
    QCOMPARE(presses, 1);
}

// A clock whose sleeps move its hands: the wait's length is read off it, not off the wall.
struct HandClock {
    double now = 1000.0;
    std::vector<double> sleeps;
    WaitClock clock() {
        return WaitClock{[](void* c) { return static_cast<HandClock*>(c)->now; },
                         [](void* c, double s) {
                             auto* h = static_cast<HandClock*>(c);
                             h->sleeps.push_back(s);
                             h->now += s;
                         },
                         this};
    }
};

void WaitTest::lastsItsLengthInSlicesOfTenMilliseconds() {
    for (const double seconds : {0.3, 0.5, 0.0, -1.0, 0.0137}) {
        HandClock hands;
        const double start = hands.now;
        waitKeepingPainted(seconds, hands.clock());
        QCOMPARE(hands.now - start + 1.0, std::max(seconds, 0.0) + 1.0); // fuzzy compare near 1
        for (double s : hands.sleeps)
            QVERIFY2(s > 0 && s <= 0.010 + 1e-12, qPrintable(QString::number(s)));
        // Every slice but the last is a whole 10 ms: no busy spinning, no oversleeping
        // (a last sliver the size of a rounding error aside).
        const auto slices = std::count_if(hands.sleeps.begin(), hands.sleeps.end(),
                                          [](double s) { return s > 1e-6; });
        QCOMPARE(static_cast<double>(slices), std::ceil(std::max(seconds, 0.0) / 0.010 - 1e-9));
    }
}

QTEST_MAIN(WaitTest)
#include "wait_test.moc"
