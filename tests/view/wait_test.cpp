// The real wait keeps painting and drops the presses and keys that arrive meanwhile instead
// of queueing them for afterwards.
#include "view/canvas.h"
#include "view/wait.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

using namespace zubeki;

class WaitTest : public QObject {
    Q_OBJECT
  private slots:
    void dropsInputButKeepsPainting();
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

QTEST_MAIN(WaitTest)
#include "wait_test.moc"
