#include "ui/help_window.h"

#include <QCoreApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zubeki {

QString HelpWindow::pageFor() {
    // The page's name is translated with the window's words, so each language finds its own.
    return QCoreApplication::translate("HelpWindow", "qrc:/help/how_to_play.ja.html");
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HELP_WINDOW"));
    setWindowTitle(QCoreApplication::translate("HelpWindow", "遊び方"));
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(pageFor()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    // Wide enough for a picture of the board beside the margin, tall enough for two screens.
    resize(620, 640);
}

} // namespace zubeki
