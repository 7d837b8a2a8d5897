// The keys do what their menu items do: the same boards, boxes and sounds, refusals included;
// in the record panel's fields they type and move the cursor instead.
#include "harness.h"

#include <QTest>

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

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
