// How long the game's window takes to show a full board at 3840 x 2160: the board drawn afresh
// at the new scale when the window grows (once per size), and a repaint at that size (every
// frame). Runs on the offscreen platform with silent sound and boxes; prints milliseconds.
//
//   QT_QPA_PLATFORM=offscreen zubeki_repaint_window [ROUNDS]
#include "ui/form1.h"
#include "view/canvas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zubeki;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    Seams seams;
    seams.messageBox = [](const std::string&, const std::string&, Buttons, Icon) {
        return Answer::Ok;
    };
    seams.wait = [](double) {};
    seams.soundLibrary = SoundLibrary{};
    Form1 form(std::move(seams));
    form.Form_Load();
    form.START_Click();
    form.show();
    app.processEvents();

    std::vector<double> grow, repaint;
    QElapsedTimer t;
    for (int i = 0; i < rounds; ++i) {
        form.resize(567, 533);
        app.processEvents();
        t.start();
        form.resize(3840, 2160);
        app.processEvents(); // the resize: the board drawn afresh at the new scale
        grow.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        t.start();
        form.canvas().repaint();
        repaint.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("window %dx%d, board scale %.2f, %zu drawings kept\n", form.width(), form.height(),
                form.canvas().scale(), form.canvas().keptDrawings());
    std::printf("grow to 3840x2160 (draw afresh + repaint): median %.1f ms\n", median(grow));
    std::printf("repaint at 3840x2160: median %.1f ms\n", median(repaint));
    return 0;
}
