#include "ui/seams.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace zubeki {

namespace {

// A question is answered only with its two buttons: Escape and the title bar's close button
// would otherwise count as No, and "No" ends the program or drops a loaded record. An OK box
// still closes with Escape or the close button, as any notice does.
class GameBox : public QMessageBox {
  public:
    GameBox(QWidget* parent, bool question, std::optional<QRect> keepClear)
        : QMessageBox(parent), question_(question), keepClear_(keepClear) {
        if (question_) setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (keepClear_ && screen())
            move(besideRect(frameGeometry().size(), *keepClear_, screen()->availableGeometry()));
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (question_ && event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (question_) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

  private:
    bool question_;
    std::optional<QRect> keepClear_;
};

} // namespace

QPoint besideRect(QSize box, const QRect& clear, const QRect& screen) {
    constexpr int gap = 8;
    const int middleY = clear.center().y() - box.height() / 2;
    const int middleX = clear.center().x() - box.width() / 2;
    const QPoint places[] = {{clear.right() + 1 + gap, middleY},
                             {clear.left() - gap - box.width(), middleY},
                             {middleX, clear.bottom() + 1 + gap},
                             {middleX, clear.top() - gap - box.height()}};
    for (QPoint at : places) {
        // Slid along the side it stands on to stay on the screen, never onto `clear`.
        QRect r(at, box);
        if (r.bottom() > screen.bottom()) r.moveBottom(screen.bottom());
        if (r.right() > screen.right()) r.moveRight(screen.right());
        r.moveTop(std::max(r.top(), screen.top()));
        r.moveLeft(std::max(r.left(), screen.left()));
        if (screen.contains(r) && !r.intersects(clear)) return r.topLeft();
    }
    // No room beside it: over it, centred, and still wholly on the screen.
    QRect over(QPoint(middleX, middleY), box);
    over.moveRight(std::min(over.right(), screen.right()));
    over.moveBottom(std::min(over.bottom(), screen.bottom()));
    over.moveLeft(std::max(over.left(), screen.left()));
    over.moveTop(std::max(over.top(), screen.top()));
    return over.topLeft();
}

Answer showMessageBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                      QWidget* owner, std::optional<QRect> keepClear) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    GameBox box(owner ? owner : QApplication::activeWindow(), buttons == Buttons::YesNo, keepClear);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::None:
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::YesNo) return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

} // namespace zubeki
