// Where the window's other windows and boxes stand on a 1920×1080 screen: the 検討 window beside
// the main window where there is room, else over it, and the hint's box off the board; always
// wholly on the screen, with the main window at its natural size and maximised.
#include "harness.h"

#include "ui/review_window.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

constexpr ThinkBudget kQuick{1000, 20000, false};

const Step kMoves[] = {{1, 7, 1, 6}, {9, 3, 9, 4}, {1, 6, 1, 5}};

QString shownAt(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT
  private slots:
    void theScreenIsADesktop();
    void windowsAndBoxesStayOnTheScreen();
};

void PlacementTest::theScreenIsADesktop() {
    QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1920, 1080));
}

void PlacementTest::windowsAndBoxesStayOnTheScreen() {
    const struct {
        bool maximised;
        bool besideTheWindow; // the 検討 window clear of the main window
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        Harness h;
        h.f().game().setBudget(kQuick);
        if (c.maximised)
            h.f().showMaximized();
        else
            h.f().show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
        const QRect screen = h.f().screen()->availableGeometry();
        if (c.maximised) QTRY_COMPARE(h.f().frameGeometry(), screen);
        const QRect main = h.f().frameGeometry();

        h.action("START")->trigger();
        for (const Step& m : kMoves) h.move(m.fx, m.fy, m.tx, m.ty);
        // The hint's box: off the board, on the screen, whatever its size.
        std::optional<QRect> clear;
        h.onMessage = [&](const Message&) { clear = h.f().boxKeepsClearOf(); };
        h.action("HINT")->trigger();
        QVERIFY(clear.has_value());
        for (const QSize box : {QSize(240, 120), QSize(600, 300)}) {
            const QRect placed(besideRect(box, *clear, screen), box);
            QVERIFY2(screen.contains(placed), qPrintable(shownAt(placed)));
        }

        h.f().setReviewBudget(ThinkBudget{1000, 2000, true, 1});
        h.action("KENTOU")->trigger();
        ReviewWindow* review = h.f().reviewWindow();
        QVERIFY(review != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(review));
        const QRect placed = review->frameGeometry();
        QVERIFY2(screen.contains(placed), qPrintable(shownAt(placed)));
        QCOMPARE(!placed.intersects(main), c.besideTheWindow);
        if (c.besideTheWindow) QVERIFY(placed.left() > main.right()); // to its right
        review->close();
    }
}

int main(int argc, char** argv) {
    // The offscreen platform's screen as a player's desktop: 1920×1080.
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    PlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "placement_test.moc"
