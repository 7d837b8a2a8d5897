// The keys do what their menu items do: the same boards, boxes and sounds, refusals included;
// in the record panel's fields they type and move the cursor instead.
#include "harness.h"

#include <QHelpEvent>
#include <QMenuBar>
#include <QTest>
#include <QToolTip>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

const Step kOpening[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};

// What an item or its key left behind.
struct Outcome {
    std::string before, board;
    QStringList boxes;
    QStringList sounds;
    QImage canvas;
};

// A shown window in the state `setup` leaves, then `act`.
template <class Act> Outcome run(const char* setup, Act&& act) {
    Harness h;
    h.f().show();
    h.f().activateWindow();
    if (!QTest::qWaitForWindowActive(&h.f())) qFatal("the window is not active");
    const QByteArray steps(setup);
    if (steps.contains("play")) {
        h.action("START")->trigger();
        for (const Step& m : kOpening) h.move(m.fx, m.fy, m.tx, m.ty);
    }
    if (steps.contains("back")) h.action("REPLAY")->trigger();
    h.forget();
    const std::string before = h.board();
    act(h);
    return {before, h.board(), h.shown(), FakeSound::lines(), h.image().copy()};
}

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
  private slots:
    void aKeyDoesWhatItsItemDoes();
    void inTheRecordPanelKeysEditTheField();
    void theMenusWriteEachKey();
};

void KeysTest::aKeyDoesWhatItsItemDoes() {
    const struct {
        Qt::Key key;
        const char* item;
        const char* setup;
    } cases[] = {
        {Qt::Key_Left, "REPLAY", "play"},       {Qt::Key_Left, "REPLAY", ""},
        {Qt::Key_Right, "AFTER", "play back"},  {Qt::Key_Right, "AFTER", "play"},
        {Qt::Key_Home, "CANCEL", "play"},       {Qt::Key_H, "HINT", ""},
        {Qt::Key_Right, "AFTER", "play unset"}, // the item switched off: neither does anything
    };
    for (const auto& c : cases) {
        const bool disabled = QByteArray(c.setup).contains("unset");
        const auto byItem = run(c.setup, [&](Harness& h) {
            h.action(c.item)->setEnabled(!disabled);
            h.action(c.item)->trigger();
        });
        const auto byKey = run(c.setup, [&](Harness& h) {
            h.action(c.item)->setEnabled(!disabled);
            QTest::keyClick(h.f().windowHandle(), c.key);
        });
        const QString what = QLatin1String(c.item) + QLatin1Char(' ') + QLatin1String(c.setup);
        QVERIFY2(byKey.board == byItem.board, qPrintable(what));
        QVERIFY2(byKey.boxes == byItem.boxes, qPrintable(what));
        QVERIFY2(byKey.sounds == byItem.sounds, qPrintable(what));
        QVERIFY2(byKey.canvas == byItem.canvas, qPrintable(what));
        // Something happened, unless the item was switched off.
        const bool acted =
            !byKey.boxes.isEmpty() || !byKey.sounds.isEmpty() || byKey.board != byKey.before;
        QVERIFY2(acted != disabled, qPrintable(what));
    }
}

void KeysTest::inTheRecordPanelKeysEditTheField() {
    const Outcome typed = run("play", [](Harness& h) {
        h.action("KIFU_WRITE")->trigger();
        QLineEdit* name = h.widget<QLineEdit>("Text1");
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        for (Qt::Key k : {Qt::Key_G, Qt::Key_H, Qt::Key_Left, Qt::Key_Left, Qt::Key_H, Qt::Key_Home,
                          Qt::Key_H, Qt::Key_Right})
            QTest::keyClick(h.f().windowHandle(), k);
        QCOMPARE(name->text(), QStringLiteral("hhgh"));
        QCOMPARE(name->cursorPosition(), 2);
    });
    QVERIFY(typed.boxes.isEmpty());
    QVERIFY(typed.sounds.isEmpty()); // no step back, no hint, no refusal
}

namespace {

// Dark pixels (text) in the right-hand part of an item's row, where a menu writes keys.
int inkInKeyColumn(QMenu* menu, QAction* item) {
    menu->adjustSize();
    const QImage image = menu->grab().toImage();
    const QRect row = menu->actionGeometry(item);
    const int captionEnd =
        row.left() + 30 + menu->fontMetrics().horizontalAdvance(item->iconText());
    int n = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = captionEnd; x < row.right() - 2; ++x)
            n += qGray(image.pixel(x * image.width() / menu->width(), y)) < 96 ? 1 : 0;
    return n;
}

} // namespace

void KeysTest::theMenusWriteEachKey() {
    Harness h;
    h.f().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
    // Items of a menu: the key written beside the caption; an item without a key has none.
    const struct {
        const char* menu;
        const char* item;
        bool keyed;
    } items[] = {{"STOP", "CANCEL", true},
                 {"STOP", "REVERSE", false},
                 {"OPTION", "HINT", true},
                 {"OPTION", "BGM", false}};
    for (const auto& c : items) {
        const int ink = inkInKeyColumn(h.menu(c.menu), h.action(c.item));
        QVERIFY2((ink > 0) == c.keyed, qPrintable(QStringLiteral("%1 %2").arg(c.item).arg(ink)));
    }
    // Items of the bar itself name their key in a tip.
    const struct {
        const char* item;
        const char* tip;
    } bar[] = {{"REPLAY", "戻 ←"}, {"AFTER", "進 →"}};
    QMenuBar* menuBar = h.f().menuBar();
    for (const auto& c : bar) {
        const QPoint at = menuBar->actionGeometry(h.action(c.item)).center();
        QHelpEvent help(QEvent::ToolTip, at, menuBar->mapToGlobal(at));
        QCoreApplication::sendEvent(menuBar, &help);
        QCOMPARE(QToolTip::text(), QString::fromUtf8(c.tip));
    }
    // Writing the key gives no item a shortcut of its own, which would answer the key twice.
    for (QAction* a : h.f().findChildren<QAction*>()) QVERIFY(a->shortcut().isEmpty());
}

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
