#include "ui/seams.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace zubeki {

namespace {

// A question is answered only with its two buttons: Escape and the title bar's close button
// would otherwise count as No, and "No" ends the program or drops a loaded record. An OK box
// still closes with Escape or the close button, as any notice does.
class GameBox : public QMessageBox {
  public:
    GameBox(QWidget* parent, bool question) : QMessageBox(parent), question_(question) {
        if (question_) setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }

  protected:
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
};

} // namespace

Answer showMessageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    GameBox box(QApplication::activeWindow(), buttons == Buttons::YesNo);
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
