#include "app/command_line.h"
#include "ui/app_setup.h"
#include "view/startup_trace.h"

#include <QApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    zubeki::startupMark("main");
    // --help, --version and a refused line end here, before Qt opens the display.
    zubeki::CommandLine line = zubeki::readCommandLine(argc, argv, std::cout, std::cerr);
    if (line.exitStatus) return *line.exitStatus;
    int qtArgc = static_cast<int>(line.qtArguments.size());
    line.qtArguments.push_back(nullptr);
    QApplication app(qtArgc, line.qtArguments.data());
    zubeki::OnlineAtStart online;
    online.create = !line.onlineCreate.empty();
    online.server = online.create ? line.onlineCreate : line.onlineJoin;
    online.code = line.onlineCode;
    online.name = line.onlineName;
    online.side = line.onlineSide;
    return zubeki::runGame(app, line.language, line.resetSettings, online);
}
