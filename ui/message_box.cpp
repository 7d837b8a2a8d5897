#include "ui/seams.h"

#include <QApplication>
#include <QMessageBox>

namespace zubeki {

Answer showMessageBox(const std::string& text, const std::string& title, Buttons buttons,
                      Icon icon) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QApplication::activeWindow());
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
