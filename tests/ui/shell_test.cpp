// The window around the game: the real message boxes, Escape, the menu bar, and the record
// panel closing whenever the player turns to the board or the menus.
#include "tests/ui/harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zubeki;
using namespace zubeki::uitest;

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    void questionsAnswerOnlyWithTheirButtons_data();
    void questionsAnswerOnlyWithTheirButtons();
    void noticesCloseWithEscape();
    void escapeQuitsFromTheBoardOnly();
    void theMenuBarStaysInTheWindow();
    void theRecordPanelClosesWhenThePlayerTurnsAway_data();
    void theRecordPanelClosesWhenThePlayerTurnsAway();
};

namespace {

// Once the box is up, tries Escape and the close button on it, notes whether it stayed, then
// clicks the button with the given role.
struct BoxDriver {
    QMessageBox::StandardButton press = QMessageBox::No;
    bool stayedUp = false;
    QString text;

    void start() {
        QTimer::singleShot(0, [this] { drive(); });
    }
    void drive() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [this] { drive(); });
            return;
        }
        text = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        QCoreApplication::processEvents();
        stayedUp = box->isVisible();
        if (QAbstractButton* b = box->button(press)) b->click();
    }
};

} // namespace

void ShellTest::questionsAnswerOnlyWithTheirButtons_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("yes");
    QTest::addRow("play again, No") << "続けますか？"
                                    << "再ゲーム" << false;
    QTest::addRow("play again, Yes") << "続けますか？"
                                     << "再ゲーム" << true;
    QTest::addRow("keep stepping, No") << "棋譜を '進 'で進めて下さい"
                                       << "棋譜" << false;
}

void ShellTest::questionsAnswerOnlyWithTheirButtons() {
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(bool, yes);
    BoxDriver driver;
    driver.press = yes ? QMessageBox::Yes : QMessageBox::No;
    driver.start();
    const Answer a =
        showMessageBox(text.toStdString(), title.toStdString(), Buttons::YesNo, Icon::None);
    QCOMPARE(driver.text, text);
    QVERIFY(driver.stayedUp); // Escape and the close button gave no answer
    QCOMPARE(a, yes ? Answer::Yes : Answer::No);
}

void ShellTest::noticesCloseWithEscape() {
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Escape);
        closed = !box->isVisible();
    });
    QCOMPARE(showMessageBox("できません", "戻る", Buttons::Ok, Icon::None), Answer::Ok);
    QVERIFY(closed);
}

void ShellTest::escapeQuitsFromTheBoardOnly() {
    Harness h;
    h.f().show();
    h.f().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.f()));
    // Typing a record's name: Escape in the field leaves the game running.
    h.action("KIFU_WRITE")->trigger();
    for (const char* name : {"Text1", "Dir1", "Drive1"}) {
        QWidget* field = h.widget(name);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
        QCOMPARE(h.ends, 0);
    }
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("対局"));
    QCOMPARE(h.widget<QLineEdit>("Text1")->text(), QStringLiteral("対局"));
    // Back on the board it quits.
    h.f().canvas().setFocus();
    QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
    QCOMPARE(h.ends, 1);
}

void ShellTest::theMenuBarStaysInTheWindow() {
    Harness h;
    QVERIFY(!h.f().menuBar()->isNativeMenuBar());
}

void ShellTest::theRecordPanelClosesWhenThePlayerTurnsAway_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"press", "戻", "進", "その他", "対局", "局面", "ｵﾌﾟｼｮﾝ"})
        QTest::addRow("%s", how) << QString::fromUtf8(how);
}

void ShellTest::theRecordPanelClosesWhenThePlayerTurnsAway() {
    QFETCH(QString, how);
    Harness h;
    h.f().show();
    h.action("START")->trigger();
    h.move(3, 7, 3, 6);
    h.action("KIFU_WRITE")->trigger();
    for (QLineEdit* t : nameFields(h.f())) t->setText(QStringLiteral("名前"));
    QVERIFY(h.widget("Text1")->isVisible() && h.widget("Dir1")->isVisible());

    if (how == QLatin1String("press")) {
        h.press(5, 5);
    } else if (how == QLatin1String("戻")) {
        h.action("REPLAY")->trigger();
    } else if (how == QLatin1String("進")) {
        h.action("AFTER")->trigger();
    } else if (how == QLatin1String("その他")) {
        h.action("VER")->trigger();
    } else {
        QMenu* menu = how == QLatin1String("対局")   ? h.menu("TAIKYOKU")
                      : how == QLatin1String("局面") ? h.menu("STOP")
                                                     : h.menu("OPTION");
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->close();
    }
    for (const char* name : {"Drive1", "Dir1", "File1", "Text1", "Command1"})
        QVERIFY2(!h.widget(name)->isVisible(), qPrintable(how));
    for (QLineEdit* t : nameFields(h.f())) QVERIFY(t->text().isEmpty());
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
