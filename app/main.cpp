#include "ui/app_setup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return zubeki::runGame(app);
}
