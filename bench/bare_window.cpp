// A bare Qt window with a menu bar, for setting the game's start against: it notes the same
// stages as the game (see view/startup_trace.h), loads a translation as the game does (Qt's
// Japanese one; with --lang en the game loads its own English one instead) and paints nothing
// but its background.
#include "view/startup_trace.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTranslator>
#include <QWidget>

namespace {

class Surface : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::darkGreen);
        if (!painted_) {
            painted_ = true;
            zubeki::startupMark("painted");
        }
    }

  private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    zubeki::startupMark("main");
    QApplication app(argc, argv);
    zubeki::startupMark("qt");
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    zubeki::startupMark("translation");
    QMainWindow window;
    for (const char* title : {"Game", "Position", "Back", "Forward", "Records", "Options"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    window.setCentralWidget(new Surface);
    window.resize(567, 533);
    zubeki::startupMark("window");
    window.show();
    return app.exec();
}
